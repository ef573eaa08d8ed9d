#include "divedata/csvfile.h"
#include "divedata/dive.h"

#include "divefixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <ctime>

namespace {

using fixtures::contentsOf;
using fixtures::writeRaw;

DiveLine exportLine(double time, double depth, double ceiling, double temperature, int gasIndex)
{
    DiveLine l;
    l.timeSec = time;
    l.depth = depth;
    l.decoCeiling = ceiling;
    l.ambientTemp = temperature;
    l.gasIndex = gasIndex;
    l.gfLow = 30;
    l.gfHigh = 85;
    return l;
}

// The dive of the golden export file.
Dive exportDive()
{
    Dive d;
    d.computerName = QStringLiteral("Pelagon P1");
    d.name = QStringLiteral("17");
    d.beginTime = 1'700'000'000; // 2023-11-14 22:13:20 UTC
    d.computerSerial = QStringLiteral("SN-000123");
    d.diverMode = 0;
    d.divemode = 0;
    d.gasSet = 3; // no name
    d.gfLow = 30;
    d.gfHigh = 85;
    d.surfacePressure = 1013;
    d.alertsKelvo = {0x04, 0x00, 0x40, 0x48};
    d.maxDepth = 12.5;
    d.maxTime = 59.9;
    d.avgDepth = 6.25;
    d.minTemperature = 17.5;
    d.maxTemperature = 21.0;
    d.firmwareVersion = QStringLiteral("2.9.1");
    d.otu = 0.5f;
    DiveGas air;
    air.mName = QStringLiteral("Air 21");
    d.gases = {air};
    d.lines = {exportLine(0, 0, 0, 21, -1), exportLine(30, 12.5, -1, 17.5, 0), exportLine(59.9, 3.25, 3, 1.2345e-5, 5)};
    d.lines[0].battery = 3700;
    d.lines[0].ppO2 = 0.21;
    d.lines[1].battery = 3650;
    d.lines[1].alertFlag = 0x88;
    d.lines[1].tankPressure = 200;
    d.lines[1].alertFlagTransmitter = 0x05;
    d.lines[1].ppO2 = 0.4725;
    d.lines[2].battery = 3600;
    d.lines[2].alertFlag = 0x73;
    d.lines[2].tankPressure = 190;
    d.lines[2].alertFlagTransmitter = 0x0A;
    d.lines[2].gfLow = 35;
    d.lines[2].gfHigh = 80;
    d.lines[2].ppO2 = 1.23456789;
    return d;
}

QList<QByteArray> rows(const QByteArray& bytes)
{
    QList<QByteArray> list = bytes.split('\n');
    if (!list.isEmpty() && list.constLast().isEmpty())
        list.removeLast();
    return list;
}

// A 20-field profile row from its fields.
QByteArray profileRow(const QList<QByteArray>& fields)
{
    QList<QByteArray> all = fields;
    while (all.size() < 20)
        all.append(QByteArray("9"));
    return all.join('\t');
}

// Splits CSV text into records as RFC 4180 reads it: quoted fields may hold
// the separator, doubled quotes and line breaks.
QList<QStringList> parseCsv(const QString& text, QChar separator)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (c == separator) {
            record << field;
            field.clear();
        } else if (c == u'\n') {
            records << (record << field);
            record.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    return records;
}

} // namespace

class TestCsvFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void goldenExport();
    void separatorAndLocale();
    void textFieldsQuoted();
    void durationsDatesAndGases();
    void profileRows();
    void profileLimits();
    void factoryAndFailures();
};

void TestCsvFile::initTestCase()
{
    // The export writes the date in local time.
    qputenv("TZ", "UTC0");
    tzset();
}

void TestCsvFile::goldenExport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("export.csv");
    QVERIFY(DiveLinesIO::writeDiveFile(path, exportDive()));
    const QByteArray golden = contentsOf(QStringLiteral(PELAGON_SOURCE_DIR "/tests/divedata/golden/dive_export.csv"));
    const QList<QByteArray> got = rows(contentsOf(path));
    const QList<QByteArray> want = rows(golden);
    for (int i = 0; i < std::min(got.size(), want.size()); ++i)
        QCOMPARE(got.at(i), want.at(i));
    QCOMPARE(got.size(), want.size());
    QCOMPARE(contentsOf(path), golden); // byte for byte, BOM and last newline included
}

void TestCsvFile::separatorAndLocale()
{
    const Dive dive = exportDive();
    CsvFile dot;
    dot.setSeparator(u'.');
    QList<QByteArray> lines = rows(dot.exportBytes(dive));
    // With the dot separator numbers take the decimal comma, so that the
    // fields can be split again. Only a text holding the separator is quoted.
    QCOMPARE(lines.at(4), QByteArray("1.30.12,5.0.17,5.3650.Air 21.D24H/Pmax.200.Tx0:1/Tx2:1.30.85.0,4725"));
    QVERIFY(lines.at(1).endsWith(".12,5.00:59.6,25.17,5.21.\"2.9.1\".0,5"));

    CsvFile french;
    french.setSeparator(u';');
    french.setLocaleSwitch(CsvFile::FrenchLocale);
    lines = rows(french.exportBytes(dive));
    QVERIFY(lines.at(1).contains(";Salée;1,013;RARRYoyo24H;12,5;00:59;6,25;17,5;21;2.9.1;0,5"));
    QCOMPARE(lines.at(5), QByteArray("2;59,9;3,25;3;1,2345E-05;3600;Inconnu;Effort/Yoyo/RA;190;Tx1:1/Tx3:1;35;80;1,23457"));

    // Large whole numbers get no group separator.
    Dive big = dive;
    big.lines[0].timeSec = 36000;
    lines = rows(french.exportBytes(big));
    QVERIFY(lines.at(3).startsWith("0;36000;0;"));

    CsvFile other;
    other.setLocaleSwitch(7); // anything but 1 is the decimal point
    QCOMPARE(other.exportBytes(dive), CsvFile().exportBytes(dive));
}

void TestCsvFile::textFieldsQuoted()
{
    Dive dive = exportDive();
    dive.computerName = QStringLiteral("Reef, \"deep\" 2");
    dive.name = QStringLiteral("line\nbreak");
    dive.computerSerial = QStringLiteral("A;B");
    dive.firmwareVersion = QStringLiteral("cr\rhere");
    dive.gases[0].mName = QStringLiteral("Nx32, deco");
    const QList<QByteArray> lines = rows(CsvFile().exportBytes(dive));
    QCOMPARE(lines.at(1), QByteArray("\"Reef, \"\"deep\"\" 2\",\"line"));
    QCOMPARE(lines.at(2), QByteArray("break\",Brix,2023-11-14 22:13:20,A;B,PLB OC,Inconnu,GFlow30_GFhigh85,Salée,1.013,"
                                     "RARRYoyo24H,12.5,00:59,6.25,17.5,21,\"cr\rhere\",0.5"));
    QVERIFY(lines.at(5).contains(",17.5,3650,\"Nx32, deco\",D24H/Pmax,"));

    // Read back as RFC 4180 says, with each separator: every text comes back
    // whole and every row keeps its number of columns.
    dive.gases[0].mName = QStringLiteral("a;b.c,\"d\"");
    for (const QChar separator : {u',', u'.', u';'}) {
        CsvFile csv;
        csv.setSeparator(separator);
        const QList<QStringList> records = parseCsv(QString::fromUtf8(csv.exportBytes(dive)).mid(1), separator);
        QCOMPARE(records.size(), 6);
        const QStringList& row = records.at(1);
        QCOMPARE(records.at(0).size(), 18);
        QCOMPARE(row.at(0), dive.computerName);
        QCOMPARE(row.at(1), dive.name);
        QCOMPARE(row.at(4), dive.computerSerial);
        if (separator != u'.') { // with '.' the numbers themselves split
            QCOMPARE(row.size(), 18);
            QCOMPARE(row.at(16), dive.firmwareVersion);
            QCOMPARE(records.at(4).size(), 13);
            QCOMPARE(records.at(4).at(6), dive.gases[0].mName);
        }
    }
}

void TestCsvFile::durationsDatesAndGases()
{
    const auto diveRow = [](const Dive& dive) { return rows(CsvFile().exportBytes(dive)).at(1).split(','); };
    Dive dive = exportDive();
    dive.beginTime = 0;
    dive.maxTime = 3723.9;
    QList<QByteArray> fields = diveRow(dive);
    QCOMPARE(fields.at(3), QByteArray());
    QCOMPARE(fields.at(12), QByteArray("01:02:03"));
    dive.maxTime = 3599.99;
    QCOMPARE(diveRow(dive).at(12), QByteArray("59:59"));
    for (const double odd : {std::nan(""), -5.0, HUGE_VAL, 1e300}) {
        dive.maxTime = odd;
        QVERIFY(!diveRow(dive).at(12).isEmpty()); // no crash, no trap
    }
    dive.maxTime = -5.0;
    QCOMPARE(diveRow(dive).at(12), QByteArray("00:00"));

    dive.beginTime = -100;
    dive.density = 1;
    dive.diverMode = 255;
    dive.divemode = 1;
    dive.gasSet = 256;
    dive.alertsKelvo = {0x03, 0xFF, 0x3F, 0x33};
    fields = diveRow(dive);
    QCOMPARE(fields.at(3), QByteArray());
    QCOMPARE(fields.at(5), QByteArray("PLS"));
    QCOMPARE(fields.at(6), QByteArray("Nx40"));
    QCOMPARE(fields.at(8), QByteArray("Douce"));
    QCOMPARE(fields.at(10), QByteArray("Aucune"));

    dive.gases.clear();
    const QList<QByteArray> lines = rows(CsvFile().exportBytes(dive));
    for (int i = 3; i < lines.size(); ++i)
        QCOMPARE(lines.at(i).split(',').at(6), QByteArray("Inconnu"));
}

void TestCsvFile::profileRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Lac.du.Bourget.csv");
    const QByteArray bytes = "\xEF\xBB\xBF" + profileRow({"0", "0", "x", "21.5", "0.5", "1", "0", "99"}) + "\n"
        + profileRow({"10.5", "3.25", "", "20", "1", "2", "0", "12.9"}) + "\r\n" // CRLF
        + profileRow({"0", "1"}) + "\t9\n"                                       // 21 fields
        + profileRow({"0", "1"}).left(profileRow({"0", "1"}).lastIndexOf('\t')) + "\n" // 19 fields
        + "\n"
        + "time\tdepth\n"
        + profileRow({" 20 ", "+4", "", "abc", "inf", "nan", "1e400", "-40000.7"}) + "\n"
        + profileRow({"30", "-0.5", "", "1e-3", "", "", "3.5", "1e9"}); // no final newline
    writeRaw(path, bytes);

    Dive dive;
    dive.site = QStringLiteral("kept");
    dive.lines = {DiveLine()}; // lines are appended
    QVERIFY(CsvFile().readDive(path, dive));
    QCOMPARE(dive.name, QStringLiteral("Lac.du.Bourget"));
    QCOMPARE(dive.site, QStringLiteral("kept"));
    QCOMPARE(dive.lines.size(), 5);

    const DiveLine& first = dive.lines.at(1);
    QCOMPARE(first.timeSec, 0.0); // behind the byte-order mark
    QCOMPARE(first.ambientTemp, 21.5);
    QCOMPARE(first.otu, 0.5);
    QCOMPARE(first.cns, 1.0);
    QCOMPARE(first.ndl, qint16(99));
    QCOMPARE(first.gasIndex, -1);
    QCOMPARE(first.tankPressureTxIndex, quint8(255));

    const DiveLine& second = dive.lines.at(2);
    QCOMPARE(second.timeSec, 10.5);
    QCOMPARE(second.depth, 3.25);
    QCOMPARE(second.ndl, qint16(12)); // truncated

    // What is not a finite number reads as 0; ndl is clamped to its range.
    const DiveLine& third = dive.lines.at(3);
    QCOMPARE(third.timeSec, 20.0);
    QCOMPARE(third.depth, 4.0);
    QCOMPARE(third.ambientTemp, 0.0);
    QCOMPARE(third.otu, 0.0);
    QCOMPARE(third.cns, 0.0);
    QCOMPARE(third.decoCeiling, 0.0);
    QCOMPARE(third.ndl, qint16(-32768));
    QCOMPARE(dive.lines.at(4).ndl, qint16(32767));
    QCOMPARE(dive.lines.at(4).decoCeiling, 3.5);

    // Rows of 19 or 21 fields only: no profile line, no dive.
    const QString wrong = dir.filePath("wrong.csv");
    writeRaw(wrong, profileRow({}) + "\t1\n" + profileRow({}).left(profileRow({}).lastIndexOf('\t')) + "\n");
    Dive empty;
    QVERIFY(!CsvFile().readDive(wrong, empty));
    QVERIFY(empty.lines.isEmpty());
    QVERIFY(empty.name.isEmpty());
}

void TestCsvFile::profileLimits()
{
    QTemporaryDir dir;
    // A line far longer than any profile row is skipped without being held.
    const QString longLine = dir.filePath("long.csv");
    writeRaw(longLine, profileRow({"1"}) + QByteArray(CsvFile::MaxLineBytes * 3, '\t') + "\n" + profileRow({"2"}) + "\n");
    Dive dive;
    QVERIFY(CsvFile().readDive(longLine, dive));
    QCOMPARE(dive.lines.size(), 1);
    QCOMPARE(dive.lines.at(0).timeSec, 2.0);

    // One row more than MaxLines is refused, and the dive is left as it was.
    const QString tooMany = dir.filePath("many.csv");
    {
        QFile file(tooMany);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray row = QByteArray(19, '\t') + '\n';
        const QByteArray block = row.repeated(10'000);
        for (qint32 written = 0; written <= DiveLinesIO::MaxLines; written += 10'000)
            QVERIFY(file.write(block) == block.size());
    }
    Dive kept;
    kept.name = QStringLiteral("kept");
    QVERIFY(!CsvFile().readDive(tooMany, kept));
    QCOMPARE(kept.name, QStringLiteral("kept"));
    QVERIFY(kept.lines.isEmpty());
}

void TestCsvFile::factoryAndFailures()
{
    const std::unique_ptr<DiveLinesIO> handler = DiveLinesIO::createByType(DiveFileType::Csv);
    QVERIFY(handler);
    QCOMPARE(handler->typeCode(), int(DiveFileType::Csv));
    QCOMPARE(dynamic_cast<CsvFile*>(handler.get())->separator(), QChar(u','));
    QCOMPARE(dynamic_cast<CsvFile*>(handler.get())->localeSwitch(), int(CsvFile::CLocale));

    QTemporaryDir dir;
    Dive dive;
    QVERIFY(!CsvFile().readDive(dir.filePath("missing.csv"), dive));
    QVERIFY(!CsvFile().readDive(dir.path(), dive)); // a folder
    QVERIFY(!CsvFile().writeDive(dir.filePath("no/such/folder.csv"), exportDive()));
    QVERIFY(!CsvFile().writeDive(dir.path(), exportDive()));
    QVERIFY(dive.name.isEmpty());
}

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"
