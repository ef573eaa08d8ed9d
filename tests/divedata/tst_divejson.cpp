#include "divedata/divejson.h"
#include "divedata/linefields.h"
#include "divedata/planificator.h"

#include "divefixtures.h"

#include <QDataStream>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class TestDiveJson : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsCarriedFields();
    void roundTripThroughText();
    void readingReplacesAndResets();
    void missingKeysGiveDocumentedDefaults();
    void headerGradientFactorsYieldToDiveLevel();
    void wideIntegersKeepAllBits();
    void gasDefaults();
    void mistypedValuesGiveDefaults();
    void surfacePressureRounding();
    void lineFieldTable();
};

void TestDiveJson::roundTripKeepsCarriedFields()
{
    const Dive original = fixtures::sampleDive();
    Dive read;
    diveFromJson(diveToJson(original), read);
    fixtures::compareJsonDive(read, original);
}

void TestDiveJson::roundTripThroughText()
{
    // Through JSON text every number becomes a double on the way back:
    // whole numbers must still land in their integer fields.
    const Dive original = fixtures::sampleDive();
    const QByteArray text = QJsonDocument(diveToJson(original)).toJson(QJsonDocument::Compact);
    Dive read;
    diveFromJson(QJsonDocument::fromJson(text).object(), read);
    fixtures::compareJsonDive(read, original);
}

void TestDiveJson::readingReplacesAndResets()
{
    Dive target = fixtures::sampleDive(6);
    target.uploaded = true;
    Dive source;
    source.lines = {fixtures::sampleLine(1)};
    source.name = QStringLiteral("other");
    diveFromJson(diveToJson(source), target);

    QCOMPARE(target.name, QStringLiteral("other"));
    QCOMPARE(target.lines.size(), 1);
    QVERIFY(target.gases.isEmpty());
    QVERIFY(target.decoLines.isEmpty());
    QVERIFY(target.ceilTrackingLines.isEmpty());
    QVERIFY(target.overlayLines.isEmpty());
    QVERIFY(target.ceilingProfile.isEmpty());
    QVERIFY(target.yoyoList.isEmpty());
    QCOMPARE(target.invalidReason, 0);
    QCOMPARE(target.dtrStartIndex, -1);
    QCOMPARE(target.decoNotTerminated, false);
    QCOMPARE(target.ocdivemode, quint8(1));
    QCOMPARE(target.perGasWords[0], 0u);
    // The upload flag belongs to the logbook, not to the file.
    QCOMPARE(target.uploaded, true);
}

void TestDiveJson::missingKeysGiveDocumentedDefaults()
{
    Dive dive = fixtures::sampleDive();
    diveFromJson(QJsonObject(), dive);
    QCOMPARE(dive.samplePeriod, quint8(5));
    QCOMPARE(dive.gfLow, quint8(80));
    QCOMPARE(dive.gfHigh, quint8(80));
    QCOMPARE(dive.surfacePressure, quint16(1013));
    QCOMPARE(dive.format, int(Dive::RecordedDive));
    QCOMPARE(dive.gasSet, quint16(1));
    QCOMPARE(dive.diverMode, quint8(0));
    QCOMPARE(dive.beginTime, 0);
    QCOMPARE(dive.computerModel, 0);
    QVERIFY(dive.name.isEmpty());
    QVERIFY(dive.site.isEmpty());
    QVERIFY(dive.lines.isEmpty());
    QVERIFY(dive.gases.isEmpty());
    QCOMPARE(dive.alertsKelvo, (std::array<quint8, 4>{}));

    const DiveLine line = lineFromJson(QJsonObject());
    QCOMPARE(line.gasIndex, -1);
    QCOMPARE(line.tankPressureTxIndex, quint8(255));
    QCOMPARE(line.ccr, false);
    QCOMPARE(line.timeSec, 0.0);

    // A short header array fills from the front; the rest is 0.
    QJsonObject header;
    header.insert("diverN2", QJsonArray{1, 2, 3});
    header.insert("setpoint", QJsonArray{5, 6, 7, 8, 9});
    DiveHeader h;
    h.diverN2.fill(77);
    headerFromJson(header, h);
    QCOMPARE(h.diverN2[2], quint16(3));
    QCOMPARE(h.diverN2[3], quint16(0));
    QCOMPARE(h.setpoint, (std::array<quint16, 3>{5, 6, 7}));
    QCOMPARE(h.samplePeriod, quint8(5));
}

void TestDiveJson::headerGradientFactorsYieldToDiveLevel()
{
    QJsonObject object;
    object.insert("header", QJsonObject{{"gfLow", 40}, {"diveSite", "ignored"}, {"site", "from header"}});
    Dive dive;
    headerFromJson(object.value("header").toObject(), dive);
    QCOMPARE(dive.gfLow, quint8(40));
    QCOMPARE(dive.gfHigh, quint8(0)); // a header without the key gives 0
    QCOMPARE(dive.site, QStringLiteral("from header"));

    diveFromJson(object, dive);
    QCOMPARE(dive.gfLow, quint8(80)); // the dive-level default wins
    QCOMPARE(dive.gfHigh, quint8(80));
    QVERIFY(dive.site.isEmpty()); // the dive-level "site" sets it, empty when missing

    object.insert("gfLow", 25);
    diveFromJson(object, dive);
    QCOMPARE(dive.gfLow, quint8(25));
}

void TestDiveJson::wideIntegersKeepAllBits()
{
    Dive dive;
    dive.beginTime = Q_INT64_C(4102444800);  // 2100-01-01, past 2^31
    dive.endTime = Q_INT64_C(0x7FFFFFFFFFFF);
    dive.alertsKelvo = {0xFF, 0xFF, 0xFF, 0xFF};
    dive.sampleCount = 0xFFFFFFFFu;
    dive.alertFlags = 0x80000001u;
    const QJsonObject json = diveToJson(dive);
    QCOMPARE(json.value("alertsKelvo").toInteger(), Q_INT64_C(0xFFFFFFFF));

    Dive read;
    diveFromJson(json, read);
    QCOMPARE(read.beginTime, dive.beginTime);
    QCOMPARE(read.endTime, dive.endTime);
    QCOMPARE(read.alertsKelvo, dive.alertsKelvo);
    QCOMPARE(read.sampleCount, dive.sampleCount);
    QCOMPARE(read.alertFlags, dive.alertFlags);

    // The same through text, where the values arrive as doubles.
    Dive fromText;
    diveFromJson(QJsonDocument::fromJson(QJsonDocument(json).toJson()).object(), fromText);
    QCOMPARE(fromText.beginTime, dive.beginTime);
    QCOMPARE(fromText.alertsKelvo, dive.alertsKelvo);
}

void TestDiveJson::gasDefaults()
{
    const DiveGas air = gasFromJson(QJsonObject{{"color", QJsonValue::Null}});
    QCOMPARE(air.o2, 0.21f);
    QCOMPARE(air.he, 0.0f);
    QCOMPARE(air.color, 0xFFFFFFu);
    QCOMPARE(air.maxPpO2, 1.6f); // missing maxPpO2 reads as 0, which stores 1.6
    QCOMPARE(air.gasClass(), int(DiveGas::OpenCircuit));

    const DiveGas trimix = gasFromJson(QJsonObject{{"o2", 18}, {"he", 45}, {"gasClass", 2}, {"color", 0x00FF00}});
    QCOMPARE(trimix.o2, 0.18f);
    QCOMPARE(trimix.he, 0.45f);
    QCOMPARE(trimix.gasClass(), int(DiveGas::Bailout));
    QCOMPARE(trimix.color, 0x00FF00u);

    // Out-of-range percentages are refused by the setters; an unknown class is 0.
    const DiveGas odd = gasFromJson(QJsonObject{{"o2", 4}, {"he", 150}, {"gasClass", 7}});
    QCOMPARE(odd.o2, 0.21f);
    QCOMPARE(odd.he, 0.0f);
    QCOMPARE(odd.gasClass(), int(DiveGas::OpenCircuit));
}

void TestDiveJson::mistypedValuesGiveDefaults()
{
    // Every key of a dive, a line and a gas holding a value of the wrong kind,
    // or a number far outside its field's range: defaults, no trap.
    const QJsonValue odd[] = {QJsonValue(QStringLiteral("x")), QJsonValue(QJsonObject{}), QJsonValue(1e300),
                              QJsonValue(-1e300), QJsonValue(true)};
    const Dive sample = fixtures::sampleDive(2);
    for (const QJsonValue& value : odd) {
        QJsonObject dive = diveToJson(sample);
        QJsonObject line = lineToJson(sample.lines.first());
        QJsonObject gas = gasToJson(sample.gases.first());
        for (QJsonObject* object : {&dive, &line, &gas}) {
            for (const QString& key : object->keys())
                object->insert(key, value);
        }
        Dive read;
        diveFromJson(dive, read);
        QVERIFY(read.lines.isEmpty());
        QCOMPARE(read.samplePeriod, quint8(5));
        QCOMPARE(lineFromJson(line).gasIndex, -1);
        QCOMPARE(gasFromJson(gas).o2, 0.21f);
    }

    // Elements of the wrong kind in "lines" and "gases" read as defaults.
    Dive dive;
    diveFromJson(QJsonObject{{"lines", QJsonArray{1, "two"}}, {"gases", QJsonArray{QJsonValue::Null}}}, dive);
    QCOMPARE(dive.lines.size(), 2);
    QCOMPARE(dive.lines.at(1).gasIndex, -1);
    QCOMPARE(dive.gases.size(), 1);
    QCOMPARE(dive.gases.at(0).o2, 0.21f);
}

void TestDiveJson::surfacePressureRounding()
{
    Dive dive;
    diveFromJson(QJsonObject{{"pSurf", 0.9876}}, dive);
    QCOMPARE(dive.surfacePressure, quint16(988));
    diveFromJson(QJsonObject{{"pSurf", -3.0}}, dive);
    QCOMPARE(dive.surfacePressure, quint16(0));
    diveFromJson(QJsonObject{{"pSurf", 1e9}}, dive);
    QCOMPARE(dive.surfacePressure, quint16(65535));
}

void TestDiveJson::lineFieldTable()
{
    using namespace LineFields;
    // Each format's places are distinct and, where the format is dense, gapless.
    const auto places = [](Format format, int Field::*place) {
        QList<int> out;
        for (const Field* field : inOrder(format))
            out << field->*place;
        return out;
    };
    QList<int> plan;
    for (int i = 0; i < 20; ++i)
        plan << i;
    QCOMPARE(places(Format::PlanStream, &Field::planPosition), plan);
    // The CSV export interleaves the number, gas and alert columns (0, 6, 7, 9).
    QCOMPARE(places(Format::CsvExport, &Field::csvExport), (QList<int>{1, 2, 3, 4, 5, 8, 10, 11, 12}));
    QCOMPARE(places(Format::CsvImport, &Field::csvImport), (QList<int>{0, 1, 3, 4, 5, 6, 7}));
    QCOMPARE(inOrder(Format::Json).size(), 21);
    QCOMPARE(inOrder(Format::Logbook).size(), 16);
    for (int i = 0; i < Count; ++i)
        QCOMPARE(int(table()[std::size_t(i)].id), i);

    // Keys are found exactly; neighbours of a key are not.
    for (const Field* field : inOrder(Format::Json))
        QCOMPARE(byJsonKey(QLatin1String(field->json)), field);
    for (const char* key : {"timesec", "TimeSec", "gasIndex ", "", "alertFlagTransmitterX", "tankPressureTxIndex"})
        QVERIFY2(!byJsonKey(QLatin1String(key)), key);

    // A plan-stream line record is 96 bytes: ten doubles, ndl 2, gas index 4,
    // four single bytes, battery and tank pressure 2 each, two gradient factors.
    Dive one;
    one.lines.append(DiveLine());
    QByteArray withLine;
    QByteArray without;
    {
        QDataStream out(&withLine, QIODevice::WriteOnly);
        QVERIFY(Planificator().writeStream(out, one));
    }
    one.lines.clear();
    {
        QDataStream out(&without, QIODevice::WriteOnly);
        QVERIFY(Planificator().writeStream(out, one));
    }
    QCOMPARE(withLine.size() - without.size(), 96);
}

QTEST_GUILESS_MAIN(TestDiveJson)
#include "tst_divejson.moc"
