// The window's logic without widgets: list grouping and texts, the details
// panel's texts and alert levels, and the export helpers.

#include "app/diveexport.h"
#include "app/divedetails.h"
#include "app/divelistbuilder.h"
#include "divedata/csvfile.h"
#include "divedata/dive.h"
#include "divedata/divelinesio.h"
#include "windowfixture.h"

#include <QTest>

class TestLogbookLogic : public QObject
{
    Q_OBJECT

private slots:
    void listGroupsBySerial();
    void durationText_data();
    void durationText();
    void detailsTexts();
    void alertLevelsAndLeds();
    void selectionRangeOrderedAndClamped();
    void exportWriters();
};

namespace {

DiveListEntry entry(int id, const QString& name, const QString& serial, const QString& computer = QString())
{
    DiveListEntry e;
    e.diveId = id;
    e.name = name;
    e.serial = serial;
    e.computerName = computer;
    e.dateTime = QDateTime(QDate(2023, 7, 14), QTime(9, 5, 7), Qt::OffsetFromUTC, 7200);
    e.duration = 3725.9;
    e.maxDepth = 31.46;
    return e;
}

} // namespace

void TestLogbookLogic::listGroupsBySerial()
{
    const QList<DiveListRow> rows = DiveListBuilder::rows(
        {entry(4, "a", "S1", "Alpha"), entry(7, "b", "S1", "Alpha"), entry(2, "c", "S2"), entry(9, "d", "S3", "G")});
    QCOMPARE(rows.size(), 7);
    QVERIFY(rows[0].header);
    QCOMPARE(rows[0].diveId, -1);
    QCOMPARE(rows[0].cells[0], QStringLiteral("Alpha - S1 - 2 dives"));
    QCOMPARE(rows[1].diveId, 4);
    QCOMPARE(rows[2].diveId, 7);
    QCOMPARE(rows[3].cells[0], QStringLiteral("No name - S2 - 1 dives"));
    QCOMPARE(rows[5].cells[0], QStringLiteral("G - S3 - 1 dives"));
    // The date and time as listed (local, with its offset), not shifted.
    QCOMPARE(rows[1].cells[0], QStringLiteral("a"));
    QCOMPARE(rows[1].cells[1], QStringLiteral("14/07/2023 09:05:07"));
    QCOMPARE(rows[1].cells[2], QStringLiteral("01:02:05"));
    QCOMPARE(rows[1].cells[3], QStringLiteral("31.46m")); // the plain number, as stored
    QVERIFY(DiveListBuilder::rows({}).isEmpty());
}

void TestLogbookLogic::durationText_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "00:00";
    QTest::newRow("fraction dropped") << 59.9 << "00:59";
    QTest::newRow("below an hour") << 3599.0 << "59:59";
    QTest::newRow("an hour") << 3600.0 << "01:00:00";
    QTest::newRow("past a day") << 90061.0 << "25:01:01";
    QTest::newRow("negative") << -5.0 << "00:00";
    QTest::newRow("not a number") << std::nan("") << "00:00";
}

void TestLogbookLogic::durationText()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(Dive::formatDuration(seconds), text);
}

void TestLogbookLogic::detailsTexts()
{
    Dive dive = windowtest::makeDive("Deep one", "SN7", windowtest::localSecs(2024, 3, 2), 121, 42.26);
    dive.divemode = 4;
    dive.density = 1;
    dive.surfacePressure = 1013;
    dive.gfLow = 30;
    dive.gfHigh = 85;
    dive.samplePeriod = 2;
    dive.place = "Marseille";
    DiveGas trimix;
    trimix.setO2(0.185);
    trimix.setHe(0.454);
    trimix.setGasClass(DiveGas::DiluentClass);
    DiveGas bailout;
    bailout.setO2(0.5);
    bailout.setGasClass(DiveGas::Bailout);
    dive.gases.append(trimix);
    dive.gases.append(bailout);
    dive.computeStatistics();

    const DiveDetails details = DiveDetails::describe(dive);
    QCOMPARE(details.name, QStringLiteral("Deep one"));
    QCOMPARE(details.duration, QStringLiteral("10:00"));
    QCOMPARE(details.maxDepth, QStringLiteral("42.3m"));
    QCOMPARE(details.diveMode, QStringLiteral("Semi Closed Circuit"));
    QCOMPARE(details.waterType, QStringLiteral("Fresh"));
    QCOMPARE(details.surfacePressure, QStringLiteral("1013mb"));
    QCOMPARE(details.gradientFactors, QStringLiteral("30/85"));
    QCOMPARE(details.sampleInterval, QStringLiteral("2sec"));
    QCOMPARE(details.serial, QStringLiteral("SN7"));
    QCOMPARE(details.place, QStringLiteral("Marseille"));
    QVERIFY(!details.startTime.isEmpty());
    QCOMPARE(details.gases.size(), 3);
    QCOMPARE(details.gases[0].o2, QStringLiteral("21"));
    QCOMPARE(details.gases[0].kind, QStringLiteral("OC"));
    QCOMPARE(details.gases[1].o2, QStringLiteral("19")); // 18.5 % rounds half away from zero
    QCOMPARE(details.gases[1].he, QStringLiteral("45"));
    QCOMPARE(details.gases[1].kind, QStringLiteral("CC"));
    QCOMPARE(details.gases[2].kind, QStringLiteral("BO"));

    for (const auto& [mode, text] : std::initializer_list<std::pair<int, const char*>>{
             {0, "Open Circuit"}, {1, "Closed Circuit"}, {5, "Free Dive"}, {2, "Unknown"}, {255, "Unknown"}})
        QCOMPARE(DiveDetails::diveModeText(mode), QLatin1String(text));
    dive.density = 0;
    QCOMPARE(DiveDetails::describe(dive).waterType, QStringLiteral("Salt"));

    // A dive without profile lines shows the header's duration.
    Dive header;
    header.beginTime = 1000;
    header.endTime = 1000 + 4000;
    QCOMPARE(DiveDetails::describe(header).duration, QStringLiteral("01:06:40"));
    QVERIFY(DiveDetails::describe(Dive()).startTime.isEmpty());
}

void TestLogbookLogic::alertLevelsAndLeds()
{
    Dive dive;
    QCOMPARE(DiveDetails::alertLevelsOf(dive), (std::array<int, 5>{0, 0, 0, 0, 0}));
    dive.alertsPelagon = {quint8(0x02 | (0x3 << 2) | (0x1 << 4)), quint8(0x01 | 0x04), 0};
    dive.alertsAI = quint8(0x1 | (0x3 << 4));
    // Ceiling 2, fast ascent flagged, hyperoxia 3, battery 1, transmitter 3.
    QCOMPARE(DiveDetails::alertLevelsOf(dive), (std::array<int, 5>{2, 2, 3, 1, 3}));

    const auto led = [](DiveDetails::Alert alert, int level) {
        return DiveDetails::ledIcon(alert, level).section(u'/', -1);
    };
    for (int alert = 0; alert < DiveDetails::AlertCount; ++alert) {
        const auto a = DiveDetails::Alert(alert);
        QCOMPARE(led(a, 0), QStringLiteral("Led_Green.png"));
        QCOMPARE(led(a, 2), QStringLiteral("Led_Orange.png"));
        QCOMPARE(led(a, 3), QStringLiteral("Led_Red.png"));
    }
    QCOMPARE(led(DiveDetails::Ceiling, 1), QStringLiteral("Led_Orange.png"));
    QCOMPARE(led(DiveDetails::HighO2, 1), QStringLiteral("Led_Orange.png"));
    QCOMPARE(led(DiveDetails::AscentSpeed, 1), QStringLiteral("Led_Orange.png"));
    QCOMPARE(led(DiveDetails::Battery, 1), QStringLiteral("Led_Red.png"));
    QCOMPARE(led(DiveDetails::Transmitter, 1), QStringLiteral("Led_Red.png"));
    QVERIFY(QFile::exists(DiveDetails::ledIcon(DiveDetails::Battery, 1)));
}

void TestLogbookLogic::selectionRangeOrderedAndClamped()
{
    const Dive dive = windowtest::makeDive("d", "S", 1000, 61); // 0 .. 300 s
    using Range = std::optional<std::pair<qint64, qint64>>;
    QCOMPARE(DiveExport::selectionRange(60, 120, dive), Range({60, 120}));
    QCOMPARE(DiveExport::selectionRange(120, 60, dive), Range({60, 120}));   // dragged right to left
    QCOMPARE(DiveExport::selectionRange(250, 900, dive), Range({250, 300})); // past the end
    QCOMPARE(DiveExport::selectionRange(-40, 30, dive), Range({0, 30}));
    QCOMPARE(DiveExport::selectionRange(90, 90, dive), Range());
    QCOMPARE(DiveExport::selectionRange(400, 500, dive), Range()); // wholly past the end
    QCOMPARE(DiveExport::selectionRange(0, 10, Dive()), Range());
}

void TestLogbookLogic::exportWriters()
{
    QVERIFY(!DiveExport::writerFor("dive.divebin", u','));
    QVERIFY(!DiveExport::writerFor("dive.diveplan", u','));
    QVERIFY(!DiveExport::writerFor("dive", u','));
    const auto uddf = DiveExport::writerFor("/x/dive.UDDF", u',');
    QVERIFY(uddf);
    QCOMPARE(uddf->typeCode(), int(DiveFileType::Uddf));
    for (const QChar separator : {QChar(u','), QChar(u'.'), QChar(u';')}) {
        const auto csv = DiveExport::writerFor("dive.csv", separator);
        QVERIFY(csv);
        auto* csvFile = dynamic_cast<CsvFile*>(csv.get());
        QVERIFY(csvFile);
        QCOMPARE(csvFile->separator(), separator);
    }
}

QTEST_MAIN(TestLogbookLogic)
#include "tst_logbooklogic.moc"
