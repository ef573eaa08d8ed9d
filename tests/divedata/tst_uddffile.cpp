#include "divedata/divejson.h"
#include "divedata/divelinesio.h"
#include "divedata/uddffile.h"

#include "divefixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <ctime>
#include <tuple>

namespace {

// A UDDF document around the given parts, shaped as other programs write them.
QByteArray document(const QByteArray& gases, const QByteArray& waypoints,
                    const QByteArray& before = "<informationbeforedive/>", const QByteArray& diveId = "d1")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<uddf xmlns=\"http://www.streit.cc/uddf/3.2/\" version=\"3.2.0\">\n"
           "<generator><name>Other</name></generator>\n"
           + (gases.isEmpty() ? QByteArray() : "<gasdefinitions>" + gases + "</gasdefinitions>\n")
           + "<profiledata><repetitiongroup id=\"g\"><dive id=\"" + diveId + "\">" + before + "<samples>" + waypoints
           + "</samples></dive></repetitiongroup></profiledata></uddf>\n";
}

QByteArray waypoint(const QByteArray& divetime, const QByteArray& depth, const QByteArray& more = {})
{
    return "<waypoint><depth>" + depth + "</depth><divetime>" + divetime + "</divetime>" + more + "</waypoint>";
}

Dive read(const QByteArray& bytes, bool* ok = nullptr)
{
    Dive dive;
    const bool accepted = UddfFile::readDocument(bytes, dive);
    if (ok != nullptr)
        *ok = accepted;
    return dive;
}

DiveGas gas(double o2, double he, int gasClass, const QString& name)
{
    DiveGas g;
    g.setO2(o2);
    g.setHe(he);
    g.setGasClass(gasClass);
    g.mName = name;
    return g;
}

DiveLine line(double time, double depth, double temperature, qint32 gasIndex, bool ccr = false)
{
    DiveLine l;
    l.timeSec = time;
    l.depth = depth;
    l.ambientTemp = temperature;
    l.gasIndex = gasIndex;
    l.ccr = ccr;
    return l;
}

// A dive using every field the format carries: three gas classes, closed
// circuit on and off, ceilings, no-deco times, alerts and gas switches.
Dive roundTripDive()
{
    Dive d;
    d.name = QStringLiteral("Dive 17 à Sormiou");
    d.beginTime = 1'742'559'648;
    d.gases = {gas(0.21, 0.0, DiveGas::OpenCircuit, "Air"), gas(1.0, 0.0, DiveGas::Bailout, "Oxygen"),
               gas(0.18, 0.45, DiveGas::DiluentClass, QString())};
    d.lines = {line(0, 0, 24, 0), line(60, 20, 18.5, 0), line(120.9, 30, 16, 2, true), line(300, 6, 17, 2, true),
               line(400, 6, 17.25, 1), line(500, 0, 18, 1)};
    d.lines[1].ndl = 12;
    d.lines[1].alertFlag = 0x88;
    d.lines[2].decoCeiling = 3.5;
    d.lines[2].ndl = 7; // hidden by the ceiling
    d.lines[3].alertFlag = 0x01;
    return d;
}

bool xmllintAvailable(QString& xmllint, QString& schema)
{
    xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    schema = QStringLiteral(PELAGON_SHARED_DIR "/uddf/uddf_3.2.3.xsd");
    return !xmllint.isEmpty() && QFileInfo::exists(schema);
}

} // namespace

class TestUddfFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writtenMixesAndRoundTrip();
    void namesAsIds_data();
    void namesAsIds();
    void writtenFilesValidate();
    void profileRules();
    void gasClassesFromIds();
    void realFileForms();
    void dateTimeForms_data();
    void dateTimeForms();
    void numbersThatAreNot();
    void refusedDocuments_data();
    void refusedDocuments();
    void sampleDocuments();
    void factoryAndFailedWrites();
};

void TestUddfFile::initTestCase()
{
    // Local times are read in a fixed zone with daylight saving (POSIX rule,
    // no zone database needed): UTC+1, UTC+2 from the end of March.
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
}

void TestUddfFile::writtenMixesAndRoundTrip()
{
    const Dive written = roundTripDive();
    const QByteArray bytes = UddfFile::toDocument(written);
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    // Ids by class, numbered in list order; fractions as rounded decimals.
    QVERIFY(bytes.contains("<mix id=\"OC1\">\n      <name>Air</name>\n      <o2>0.21</o2>\n      <he>0</he>"));
    QVERIFY(bytes.contains("<mix id=\"BO2\">\n      <name>Oxygen</name>\n      <o2>1</o2>"));
    QVERIFY(bytes.contains("<mix id=\"DIL3\">\n      <name />\n      <o2>0.18</o2>\n      <he>0.45</he>"));
    QVERIFY(bytes.contains("<divetime>120</divetime>")); // whole seconds
    QVERIFY(bytes.contains("<temperature>291.65</temperature>"));
    QVERIFY(bytes.contains("<nodecotime>720</nodecotime>"));
    QVERIFY(bytes.contains("<decostop kind=\"mandatory\" decodepth=\"3.5\" duration=\"0\" />"));
    QCOMPARE(bytes.count("<nodecotime>"), 1); // a ceiling hides the no-deco time
    QCOMPARE(bytes.count("<divemode "), 3);   // first waypoint, then each change
    QCOMPARE(bytes.count("<switchmix "), 3);  // 0, 2, 1
    QVERIFY(bytes.contains("<alarm level=\"136\">error</alarm>"));
    QVERIFY(bytes.contains("<alarm level=\"1\">ascent</alarm>"));

    QTemporaryDir dir;
    const QString path = dir.filePath("dive.uddf");
    QVERIFY(DiveLinesIO::writeDiveFile(path, written));
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    QVERIFY(reader);
    Dive got;
    QVERIFY(reader->readDive(path, got));

    QCOMPARE(got.name, written.name);
    QCOMPARE(got.beginTime, written.beginTime);
    QCOMPARE(got.gases.size(), 3);
    const QStringList ids{"OC1", "BO2", "DIL3"};
    for (int i = 0; i < 3; ++i) {
        const DiveGas& g = got.gases.at(i);
        const DiveGas& w = written.gases.at(i);
        QVERIFY2(std::tie(g.o2, g.he, g.n2, g.mName, g.usage, g.diluent)
                     == std::tie(w.o2, w.he, w.n2, w.mName, w.usage, w.diluent),
                 qPrintable(g.gasName()));
        QCOMPARE(g.mId, ids.at(i));
    }
    QCOMPARE(got.lines.size(), written.lines.size());
    for (int i = 0; i < got.lines.size(); ++i) {
        const DiveLine& g = got.lines.at(i);
        const DiveLine& w = written.lines.at(i);
        QCOMPARE(g.timeSec, std::trunc(w.timeSec));
        QCOMPARE(g.depth, w.depth);
        QVERIFY(std::abs(g.ambientTemp - w.ambientTemp) < 1e-9);
        QCOMPARE(g.decoCeiling, w.decoCeiling);
        QCOMPARE(g.ndl, w.decoCeiling > 0 ? qint16(0) : w.ndl);
        QCOMPARE(g.ccr, w.ccr);
        QCOMPARE(g.gasIndex, w.gasIndex);
    }
    // The reader joins the ceiling from the line before it.
    QCOMPARE(got.ceilingProfile.size(), 2);
    QCOMPARE(got.ceilingProfile.at(0).time, 60.0f);
    QCOMPARE(got.ceilingProfile.at(1).depth, 3.5f);
}

void TestUddfFile::namesAsIds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("empty") << "" << "000000";
    QTest::newRow("plain") << "Reef_2.b-1" << "Reef_2.b-1";
    QTest::newRow("digits") << "17" << "17";
    QTest::newRow("space and accent") << "Dive 17 à Zoé" << "Dive 17 à Zoé";
    QTest::newRow("escape lookalike") << "_x0041_ a_xb" << "_x0041_ a_xb";
    QTest::newRow("clashes with a mix") << "OC1" << "OC1";
    QTest::newRow("clashes with the group") << "_000000" << "_000000";
    QTest::newRow("outside the BMP") << QString::fromUtf8("clef \xF0\x9D\x84\x9E") << QString::fromUtf8("clef \xF0\x9D\x84\x9E");
    QTest::newRow("markup") << "<a href=\"x\">&amp;</a>" << "<a href=\"x\">&amp;</a>";
}

void TestUddfFile::namesAsIds()
{
    QFETCH(QString, name);
    QFETCH(QString, readBack);
    Dive dive;
    dive.name = name;
    dive.gases = {gas(0.21, 0, DiveGas::OpenCircuit, "Air")};
    dive.lines = {line(0, 0, 20, 0), line(60, 10, 20, 0)};
    bool ok = false;
    const Dive got = read(UddfFile::toDocument(dive), &ok);
    QVERIFY(ok);
    QCOMPARE(got.name, readBack);
}

void TestUddfFile::writtenFilesValidate()
{
    QString xmllint, schema;
    if (!xmllintAvailable(xmllint, schema))
        QSKIP("xmllint or the UDDF schema is missing; schema validation not run");

    Dive emptyName = roundTripDive();
    emptyName.name.clear();
    Dive clash = roundTripDive();
    clash.name = QStringLiteral("OC1");
    Dive noGases = roundTripDive();
    noGases.gases.clear();
    Dive noLines = roundTripDive();
    noLines.lines.clear();
    Dive oddValues = fixtures::sampleDive(8);
    oddValues.lines[1].depth = std::nan("");
    oddValues.lines[2].timeSec = -HUGE_VAL;
    oddValues.beginTime = std::numeric_limits<qint64>::max();
    oddValues.gases[0].mName = QStringLiteral("<Nx32> & \"co\"\x01\tend\x1f");

    QTemporaryDir dir;
    QStringList arguments{"--noout", "--schema", schema};
    const QList<Dive> dives{roundTripDive(), emptyName, clash, noGases, noLines, oddValues, fixtures::sampleDive(40)};
    for (int i = 0; i < dives.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("dive%1.uddf").arg(i));
        QVERIFY(UddfFile().writeDive(path, dives.at(i)));
        arguments << path;
    }
    QProcess process;
    process.start(xmllint, arguments);
    QVERIFY(process.waitForFinished(60000));
    const QByteArray report = process.readAllStandardError();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, report.constData());
    QCOMPARE(report.count("validates"), dives.size());
}

void TestUddfFile::profileRules()
{
    const QByteArray gases = "<mix id=\"OC1\"><name>Air</name><o2>0.21</o2></mix>";
    // Waypoints from 10 s: a surface line in front. No temperature at first:
    // 20 °C; 295.15 K reads as 22 °C and is kept by the waypoints after it.
    const QByteArray waypoints = waypoint("10", "5") + waypoint("20", "8", "<temperature>295.15</temperature>")
        + waypoint("30", "12", "<decostop kind=\"mandatory\" decodepth=\"3\" duration=\"60\"/>"
                               "<decostop kind=\"safety\" decodepth=\"5\" duration=\"180\"/>")
        + waypoint("40", "9", "<nodecotime>90</nodecotime><cns>12.5</cns>")
        + waypoint("50", "3.2", "<nodecotime>150</nodecotime><divemode type=\"closedcircuit\"/>");
    bool ok = false;
    const Dive dive = read(document(gases, waypoints), &ok);
    QVERIFY(ok);
    QCOMPARE(dive.lines.size(), 7);
    const DiveLine& surface = dive.lines.at(0);
    QVERIFY(std::tie(surface.timeSec, surface.depth, surface.ambientTemp, surface.gasIndex)
            == std::make_tuple(0.0, 0.0, 0.0, -1));
    QCOMPARE(dive.lines.at(1).ambientTemp, 20.0);
    QVERIFY(std::abs(dive.lines.at(2).ambientTemp - 22.0) < 1e-9);
    QVERIFY(std::abs(dive.lines.at(3).ambientTemp - 22.0) < 1e-9);
    QCOMPARE(dive.lines.at(3).decoCeiling, 3.0); // the first stop counts
    QCOMPARE(dive.lines.at(4).ndl, qint16(2));  // 1.5 min, halves away from zero
    QCOMPARE(dive.lines.at(4).cns, 12.5);
    QCOMPARE(dive.lines.at(5).ndl, qint16(3));  // 2.5 min
    QVERIFY(!dive.lines.at(4).ccr && dive.lines.at(5).ccr);
    // The dive ends at 3.2 m: a last line at the same time at the surface.
    const DiveLine& last = dive.lines.at(6);
    QCOMPARE(last.timeSec, 50.0);
    QCOMPARE(last.depth, 0.0);
    QVERIFY(last.ccr);
    QCOMPARE(dive.beginTime, 0); // no date
}

void TestUddfFile::gasClassesFromIds()
{
    const QByteArray gases = "<mix id=\"CCR1\"><name>Dil</name><o2>0.21</o2></mix>"
                             "<mix id=\"bo1\"><name>Lower</name><o2>0.5</o2></mix>"
                             "<mix id=\"DIL7\"><o2>0.1</o2><he>0.7</he></mix>"
                             "<mix id=\"BOx\"><o2>0.804</o2></mix>"
                             "<mix id=\"Oc2\"><o2>0.32</o2></mix>";
    bool ok = false;
    const Dive dive = read(document(gases, waypoint("0", "0")), &ok);
    QVERIFY(ok);
    QCOMPARE(dive.gases.size(), 5);
    const QList<int> classes{DiveGas::DiluentClass, DiveGas::OpenCircuit, DiveGas::DiluentClass, DiveGas::Bailout,
                             DiveGas::OpenCircuit};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(dive.gases.at(i).gasClass(), classes.at(i));
    QCOMPARE(dive.gases.at(1).mName, QStringLiteral("Lower"));
    QCOMPARE(dive.gases.at(2).gasName(), QStringLiteral("Tx10/70"));
    QCOMPARE(dive.gases.at(2).mName, QString());
    QCOMPARE(dive.gases.at(3).o2, 0.8f); // whole percents
}

void TestUddfFile::realFileForms()
{
    // Shaped as other dive logs write: decimal times, a zoned date, odd mix
    // ids, elements this reader does not know, several dives.
    const QByteArray bytes = R"UDDF(<?xml version="1.0" encoding="UTF-8"?>
<uddf xmlns="http://www.streit.cc/uddf/3.2/" version="3.2.0">
  <generator><name>Other Log</name><type>divecomputer</type><datetime>2025-07-02T17:04:28.000+02:00</datetime></generator>
  <diver><owner id="me"><personal><firstname>A</firstname></personal>
    <equipment><divecomputer id="dc1"><name>Reef 2</name><model>x</model><serialnumber>00A7</serialnumber></divecomputer></equipment>
  </owner></diver>
  <gasdefinitions>
    <mix id="OC1:21/00"><name>Air</name><o2>0.21</o2><he>0.0</he></mix>
    <mix id="mix(16/45)"><name>Tx16/45</name><o2>0.16</o2><he>0.45</he><maximumpo2>1.4</maximumpo2></mix>
    <mix id="CC3"><name>Dil</name><o2>0.21</o2></mix>
  </gasdefinitions>
  <profiledata>
    <repetitiongroup id="rg1">
      <dive id="dive-2025-03-21">
        <informationbeforedive><divenumber>3</divenumber><datetime>2025-03-21T12:20:48Z</datetime></informationbeforedive>
        <tankdata><tankpressurebegin>200</tankpressurebegin></tankdata>
        <samples>
          <waypoint><depth>0.0</depth><divetime>0.0</divetime><temperature>293.15</temperature><switchmix ref="OC1:21/00"/></waypoint>
          <waypoint><depth> 6.5 </depth><divetime>30.5</divetime><heading>90</heading><vendor><x a="1"/></vendor></waypoint>
          <waypoint><switchmix ref="mix(16/45)"/><depth>18.25</depth><divetime>605.5</divetime><temperature>288.15</temperature></waypoint>
          <waypoint><divetime>610.0</divetime><tankpressure ref="t1">180</tankpressure></waypoint>
          <!-- a reference to no mix keeps the gas -->
          <waypoint><depth>5</depth><divetime>1200.75</divetime><switchmix ref="nope"/></waypoint>
          <waypoint><depth>0</depth><divetime>1260</divetime></waypoint>
        </samples>
        <informationafterdive><greatestdepth>18.25</greatestdepth></informationafterdive>
      </dive>
      <dive id="second"><informationbeforedive><datetime>2025-03-22</datetime></informationbeforedive>
        <samples><waypoint><depth>40</depth><divetime>10</divetime></waypoint></samples></dive>
    </repetitiongroup>
  </profiledata>
</uddf>
)UDDF";
    bool ok = false;
    const Dive dive = read(bytes, &ok);
    QVERIFY(ok);
    QCOMPARE(dive.name, QStringLiteral("dive-2025-03-21"));
    QCOMPARE(dive.beginTime, 1'742'559'648);
    QCOMPARE(dive.computerName, QStringLiteral("Reef 2"));
    QCOMPARE(dive.computerSerial, QStringLiteral("00A7"));
    QCOMPARE(dive.gases.size(), 3);
    QCOMPARE(dive.gases.at(0).mId, QStringLiteral("OC1:21/00"));
    QCOMPARE(dive.gases.at(1).gasName(), QStringLiteral("Tx16/45"));
    QCOMPARE(dive.gases.at(1).he, 0.45f);
    QCOMPARE(dive.gases.at(2).gasClass(), int(DiveGas::DiluentClass));

    const QList<std::tuple<double, double, double, int>> expected{
        {0.0, 0.0, 20.0, 0},     {30.5, 6.5, 20.0, 0},    {605.5, 18.25, 15.0, 1},
        {610.0, 18.25, 15.0, 1}, {1200.75, 5.0, 15.0, 1}, {1260.0, 0.0, 15.0, 1}};
    QCOMPARE(dive.lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const DiveLine& l = dive.lines.at(i);
        const auto [time, depth, temperature, gasIndex] = expected.at(i);
        QCOMPARE(l.timeSec, time);
        QCOMPARE(l.depth, depth); // a waypoint without depth keeps the last one
        QVERIFY(std::abs(l.ambientTemp - temperature) < 1e-9);
        QCOMPARE(l.gasIndex, gasIndex);
    }

    // Prefixed names (a namespace bound to a prefix) read the same.
    const QByteArray prefixed = "<u:uddf xmlns:u=\"http://www.streit.cc/uddf/3.2/\"><u:profiledata><u:repetitiongroup "
                                "id=\"g\"><u:dive id=\"p\"><u:samples><u:waypoint><u:depth>7</u:depth><u:divetime>0"
                                "</u:divetime></u:waypoint></u:samples></u:dive></u:repetitiongroup></u:profiledata>"
                                "</u:uddf>";
    const Dive other = read(prefixed, &ok);
    QVERIFY(ok);
    QCOMPARE(other.lines.size(), 2);
    QCOMPARE(other.lines.at(0).depth, 7.0);
}

void TestUddfFile::dateTimeForms_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("beginTime");
    QTest::newRow("Z") << QByteArray("2025-03-21T12:20:48Z") << Q_INT64_C(1742559648);
    QTest::newRow("fraction and offset") << QByteArray("2025-07-02T17:04:28.000+02:00") << Q_INT64_C(1751468668);
    QTest::newRow("offset without colon") << QByteArray("2014-01-15T15:00:00+0530") << Q_INT64_C(1389778200);
    QTest::newRow("negative offset") << QByteArray("2014-01-15T04:30:00-05:00") << Q_INT64_C(1389778200);
    QTest::newRow("no zone, summer time") << QByteArray("2014-04-02T10:00:00") << Q_INT64_C(1396425600);
    QTest::newRow("no zone, no seconds") << QByteArray("2014-04-02 10:00") << Q_INT64_C(1396425600);
    QTest::newRow("no zone, winter") << QByteArray("2014-01-15T10:30:00.75") << Q_INT64_C(1389778200);
    QTest::newRow("bare date") << QByteArray("2004-09-30") << Q_INT64_C(1096495200);
    QTest::newRow("blanks, leap day") << QByteArray(" 2024-02-29T00:00:00Z\n") << Q_INT64_C(1709164800);
    QTest::newRow("end of day") << QByteArray("2024-02-28T24:00:00Z") << Q_INT64_C(1709164800);
    QTest::newRow("before 1970") << QByteArray("1969-12-31T23:59:59Z") << Q_INT64_C(-1);
    for (const char* bad : {"2023-02-29T00:00:00Z", "2025-13-01", "2025-04-31", "2025-03-21T25:00:00Z",
                            "2025-03-21T12:61:00Z", "2025-03-21T12:20:48+15:00", "2025-03-21T12:20:48Zjunk",
                            "2025-03-21T12:20:48.", "2025-03-21T", "1916", "", "21/03/2025", "2025-3-21"})
        QTest::newRow(bad) << QByteArray(bad) << Q_INT64_C(0);
}

void TestUddfFile::dateTimeForms()
{
    QFETCH(QByteArray, text);
    QFETCH(qint64, beginTime);
    bool ok = false;
    const Dive dive = read(document({}, waypoint("0", "0"),
                                    "<informationbeforedive><datetime>" + text + "</datetime></informationbeforedive>"),
                           &ok);
    QVERIFY(ok);
    QCOMPARE(dive.beginTime, beginTime);
}

void TestUddfFile::numbersThatAreNot()
{
    // Times that are no number skip their waypoint; other values fall back to
    // their defaults; nothing converts out of range.
    const QByteArray gases = "<mix id=\"a\"><o2>inf</o2><he>nan</he></mix><mix id=\"b\"><o2>1e400</o2><he>0.3</he></mix>";
    const QByteArray waypoints = waypoint("0", "4") + waypoint("inf", "1") + waypoint("nan", "1")
        + waypoint("1e400", "1") + waypoint("-3", "1") + waypoint("12s", "1") + waypoint("", "1")
        + waypoint("+5", "nan", "<temperature>INF</temperature><nodecotime>1e9</nodecotime>")
        + waypoint("6", "-inf", "<nodecotime>-60</nodecotime><cns>NaN</cns>")
        + waypoint("3600", "2", "<decostop kind=\"mandatory\" decodepth=\"inf\" duration=\"0\"/>");
    bool ok = false;
    const Dive dive = read(document(gases, waypoints), &ok);
    QVERIFY(ok);
    QCOMPARE(dive.gases.at(0).o2, 0.21f);
    QCOMPARE(dive.gases.at(0).he, 0.0f);
    QCOMPARE(dive.gases.at(1).o2, 0.21f);
    QCOMPARE(dive.gases.at(1).he, 0.3f);
    QCOMPARE(dive.lines.size(), 5); // 0, +5, 6, 3600, and the surface
    QCOMPARE(dive.lines.at(1).timeSec, 5.0);
    QCOMPARE(dive.lines.at(1).depth, 4.0);
    QCOMPARE(dive.lines.at(1).ambientTemp, 20.0);
    QCOMPARE(dive.lines.at(1).ndl, qint16(32767));
    QCOMPARE(dive.lines.at(2).ndl, qint16(0));
    QCOMPARE(dive.lines.at(2).cns, 0.0);
    QCOMPARE(dive.lines.at(3).timeSec, 3600.0);
    QCOMPARE(dive.lines.at(3).decoCeiling, 0.0);
    // A time beyond any dive (1e300 s) is damage: the file is refused.
    read(document(gases, waypoints + waypoint("1e300", "2")), &ok);
    QVERIFY(!ok);
}

void TestUddfFile::refusedDocuments_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not xml") << QByteArray("depth,time\n1,2\n");
    QTest::newRow("cut") << document({}, waypoint("0", "1")).left(200);
    QTest::newRow("other root") << QByteArray("<dives><profiledata/></dives>");
    QTest::newRow("no profile data") << QByteArray("<uddf><generator><name>x</name></generator></uddf>");
    QTest::newRow("no dive") << QByteArray("<uddf><profiledata><repetitiongroup id=\"a\"/></profiledata></uddf>");
    QTest::newRow("no samples") << document({}, {}).replace("<samples></samples>", "");
    QTest::newRow("no time anywhere") << document({}, "<waypoint><depth>3</depth></waypoint>");
    QTest::newRow("unclosed") << QByteArray("<uddf><profiledata><repetitiongroup><dive><samples><waypoint>");
    QTest::newRow("doctype entity") << QByteArray("<!DOCTYPE uddf [<!ENTITY e SYSTEM \"/etc/passwd\">]><uddf>&e;</uddf>");
}

void TestUddfFile::refusedDocuments()
{
    QFETCH(QByteArray, bytes);
    Dive dive = fixtures::sampleDive(2);
    const Dive before = dive;
    QVERIFY(!UddfFile::readDocument(bytes, dive));
    QCOMPARE(diveToJson(dive), diveToJson(before)); // untouched
    QCOMPARE(dive.ceilingProfile.size(), before.ceilingProfile.size());
}

void TestUddfFile::sampleDocuments()
{
    // The standard's samples carry diver, site and species data but no dive
    // profile: read without trouble and refused for want of a dive.
    const QDir shared(QStringLiteral(PELAGON_SHARED_DIR "/uddf"));
    const QStringList samples = shared.entryList({"*.uddf"}, QDir::Files);
    if (samples.isEmpty())
        QSKIP("the UDDF sample documents are not there");
    for (const QString& name : samples) {
        Dive dive;
        QVERIFY2(!UddfFile().readDive(shared.filePath(name), dive), qPrintable(name));
        QVERIFY(dive.lines.isEmpty());
    }
}

void TestUddfFile::factoryAndFailedWrites()
{
    const std::unique_ptr<DiveLinesIO> handler = DiveLinesIO::createByType(DiveFileType::Uddf);
    QVERIFY(handler);
    QCOMPARE(handler->typeCode(), int(DiveFileType::Uddf));
    QVERIFY(DiveLinesIO::createWriter("x.UDDF"));

    QTemporaryDir dir;
    const QString path = dir.filePath("dive.uddf");
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write("previous");
    previous.close();

    // A dive the reader would refuse is not written, and the old file stays.
    Dive tooLong;
    tooLong.lines.resize(DiveLinesIO::MaxLines + 1);
    QVERIFY(!UddfFile().writeDive(path, tooLong));
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), QByteArray("previous"));
    previous.close();
    QVERIFY(!UddfFile().writeDive(dir.path(), roundTripDive()));
    QVERIFY(!UddfFile().writeDive(dir.filePath("missing/dive.uddf"), roundTripDive()));

    Dive dive;
    QVERIFY(!UddfFile().readDive(dir.filePath("missing.uddf"), dive));
}

QTEST_GUILESS_MAIN(TestUddfFile)
#include "tst_uddffile.moc"
