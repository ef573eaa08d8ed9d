#include "divedata/planfile.h"
#include "divedata/planificator.h"

#include "divefixtures.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

QByteArray planStream(const Dive& dive, quint32 marker = Planificator::Marker)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    if (!Planificator().writeStream(out, dive))
        return QByteArray();
    qToBigEndian(marker, bytes.data());
    return bytes;
}

bool readPlanStream(const QByteArray& bytes, Dive& dive)
{
    QDataStream in(bytes);
    return Planificator().readStream(in, dive);
}

PlanSlotRecord sampleSlot(int k)
{
    PlanSlotRecord s;
    for (int i = 0; i < 16; ++i) {
        s.n2Tensions[std::size_t(i)] = 0.75f + 0.01f * float(i + k);
        s.heTensions[std::size_t(i)] = 0.125f * float(i * k);
    }
    s.cns = 0.25f + float(k);
    s.heliumUsed = quint8(k);
    s.tissueCarriedByte = quint8(2 + k);
    s.tissueCarriedFloat = 0.32f + float(k);
    s.surfaceInterval = 7200 * k + 1;
    s.effort = k % 2 == 1;
    s.freshWater = k % 2 == 0;
    s.surfacePressure = 0.95f + 0.01f * float(k);
    return s;
}

float floatAt(const QByteArray& bytes, int offset)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes.constData() + offset);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray withCount(QByteArray image, qint32 count)
{
    qToLittleEndian(count, image.data());
    return image;
}

} // namespace

class TestPlanFiles : public QObject
{
    Q_OBJECT

private slots:
    void planStreamRoundTrip();
    void planStreamMarkers();
    void planStreamRefusesDamage();
    void planStreamKeepsCallerSettings();
    void planHandlerInFactory();
    void planFileLayout();
    void planFileRoundTrip();
    void planFileRefusedWhole_data();
    void planFileRefusedWhole();
    void planFileWriteIsAtomic();
};

void TestPlanFiles::planStreamRoundTrip()
{
    const Dive original = fixtures::sampleDive(5);
    const QByteArray bytes = planStream(original);
    QCOMPARE(bytes.left(4), QByteArray::fromHex("FF000002"));
    // One profile line adds a record of 10 doubles and 16 bytes of integers.
    QCOMPARE(planStream(fixtures::sampleDive(6)).size() - bytes.size(), 96);

    Dive read;
    read.uploaded = true;
    read.site = QStringLiteral("kept");
    QVERIFY(readPlanStream(bytes, read));
    const Dive& g = read;
    const Dive& w = original;
    QVERIFY(std::tie(g.name, g.computerName, g.computerManufacturer, g.computerSerial)
            == std::tie(w.name, w.computerName, w.computerManufacturer, w.computerSerial));
    QVERIFY(std::tie(g.beginTime, g.format, g.maxTime, g.maxDepth, g.avgDepth, g.maxTemperature)
            == std::tie(w.beginTime, w.format, w.maxTime, w.maxDepth, w.avgDepth, w.maxTemperature));
    QVERIFY(std::tie(g.divemode, g.samplePeriod, g.alertsKelvo, g.gfLow, g.gfHigh)
            == std::tie(w.divemode, w.samplePeriod, w.alertsKelvo, w.gfLow, w.gfHigh));
    // Fields outside the stream are left as they were.
    QCOMPARE(read.site, QStringLiteral("kept"));
    QCOMPARE(read.uploaded, true);

    QCOMPARE(read.gases.size(), original.gases.size());
    for (qsizetype i = 0; i < read.gases.size(); ++i) {
        const DiveGas& a = read.gases.at(i);
        const DiveGas& b = original.gases.at(i);
        QVERIFY(std::tie(a.mId, a.mName, a.o2, a.he, a.maxPpO2) == std::tie(b.mId, b.mName, b.o2, b.he, b.maxPpO2));
        QCOMPARE(a.color, DiveGas().color); // not carried
    }
    QCOMPARE(read.lines.size(), original.lines.size());
    for (qsizetype i = 0; i < read.lines.size(); ++i) {
        const DiveLine& a = read.lines.at(i);
        const DiveLine& b = original.lines.at(i);
        QVERIFY(std::tie(a.timeSec, a.depth, a.pressure, a.ambientTemp, a.decoCeiling, a.speed, a.otu, a.cns, a.ppO2,
                         a.gradientFactor)
                == std::tie(b.timeSec, b.depth, b.pressure, b.ambientTemp, b.decoCeiling, b.speed, b.otu, b.cns,
                            b.ppO2, b.gradientFactor));
        QVERIFY(std::tie(a.ndl, a.gasIndex, a.alertFlag, a.alertFlagTransmitter, a.setpointIndex, a.ccr, a.battery,
                         a.tankPressure, a.gfLow, a.gfHigh)
                == std::tie(b.ndl, b.gasIndex, b.alertFlag, b.alertFlagTransmitter, b.setpointIndex, b.ccr, b.battery,
                            b.tankPressure, b.gfLow, b.gfHigh));
        QCOMPARE(a.tag, 0u); // not carried
    }
}

void TestPlanFiles::planStreamMarkers()
{
    const Dive original = fixtures::sampleDive(1);
    for (const quint32 marker : {0x00000002u, 0x7F000001u, 0xFF000000u, 0xAB000002u}) {
        Dive read;
        QVERIFY2(readPlanStream(planStream(original, marker), read), qPrintable(QString::number(marker, 16)));
        QCOMPARE(read.name, original.name);
    }
    for (const quint32 marker : {0xFF000003u, 0x00000003u, 0xFFFFFFFFu, 0x00010002u}) {
        Dive read;
        QVERIFY2(!readPlanStream(planStream(original, marker), read), qPrintable(QString::number(marker, 16)));
        QVERIFY(read.name.isEmpty());
    }
}

void TestPlanFiles::planStreamRefusesDamage()
{
    const QByteArray bytes = planStream(fixtures::sampleDive(2));
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        Dive dive;
        dive.name = QStringLiteral("before");
        QVERIFY2(!readPlanStream(bytes.left(cut), dive), qPrintable(QString::number(cut)));
        // Nothing of a truncated stream reaches the dive.
        QCOMPARE(dive.name, QStringLiteral("before"));
        QVERIFY(dive.gases.isEmpty());
        QVERIFY(dive.lines.isEmpty());
    }

    // Counts that no real dive has, in front of a short stream.
    auto withCounts = [](qint32 gases, qint32 lines) {
        QByteArray b;
        QDataStream out(&b, QIODevice::WriteOnly);
        out << Planificator::Marker << QString() << QString() << QString() << QString() << qint64(0) << qint32(4)
            << 0.0 << 0.0 << 0.0 << 0.0 << gases;
        if (gases == 0)
            out << qint32(0) << quint8(5) << quint32(0) << quint8(80) << quint8(80) << lines;
        return b;
    };
    Dive dive;
    QVERIFY(readPlanStream(withCounts(0, 0), dive));
    QVERIFY(!readPlanStream(withCounts(-1, 0), dive));
    QVERIFY(!readPlanStream(withCounts(0x7FFFFFFF, 0), dive));
    QVERIFY(!readPlanStream(withCounts(0, -5), dive));
    QVERIFY(!readPlanStream(withCounts(0, 0x7FFFFFFF), dive));
    QVERIFY(!readPlanStream(withCounts(0, 1000), dive)); // claims lines it does not hold

    // A string length beyond any name, or odd for UTF-16.
    for (const quint32 length : {0x7FFFFFFEu, 3u}) {
        QByteArray b;
        QDataStream out(&b, QIODevice::WriteOnly);
        out << Planificator::Marker << length << quint32(0);
        QVERIFY(!readPlanStream(b, dive));
    }
}

void TestPlanFiles::planStreamKeepsCallerSettings()
{
    // The format fixes big-endian 64-bit doubles whatever the caller set, and
    // gives the caller's settings back.
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QVERIFY(Planificator().writeStream(out, fixtures::sampleDive(3)));
    QCOMPARE(out.byteOrder(), QDataStream::LittleEndian);
    QCOMPARE(out.floatingPointPrecision(), QDataStream::SinglePrecision);
    QCOMPARE(bytes, planStream(fixtures::sampleDive(3)));

    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    Dive dive;
    QVERIFY(Planificator().readStream(in, dive));
    QCOMPARE(dive.lines.size(), 3);
    QCOMPARE(in.byteOrder(), QDataStream::LittleEndian);
}

void TestPlanFiles::planHandlerInFactory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("day.diveplan");
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    QVERIFY(reader);
    QCOMPARE(reader->typeCode(), int(DiveFileType::Plan));
    // The path forms are not the plan file: they refuse.
    Dive dive;
    QVERIFY(!reader->readDive(path, dive));
    QVERIFY(!reader->writeDive(path, dive));
    QVERIFY(!DiveLinesIO::writeDiveFile(path, dive));
    QVERIFY(!QFile::exists(path));
}

void TestPlanFiles::planFileLayout()
{
    const QByteArray image = PlanFile::encode({sampleSlot(0), sampleSlot(1)});
    QCOMPARE(image.size(), 304);
    QCOMPARE(image.left(4), QByteArray::fromHex("02000000"));
    for (int k = 0; k < 2; ++k) {
        const int at = 4 + 150 * k;
        const PlanSlotRecord s = sampleSlot(k);
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(floatAt(image, at + 4 * i), s.n2Tensions[std::size_t(i)]);
            QCOMPARE(floatAt(image, at + 64 + 4 * i), s.heTensions[std::size_t(i)]);
        }
        QCOMPARE(floatAt(image, at + 128), s.cns);
        QCOMPARE(quint8(image.at(at + 132)), s.heliumUsed);
        QCOMPARE(quint8(image.at(at + 133)), s.tissueCarriedByte);
        QCOMPARE(image.mid(at + 134, 2), QByteArray(2, '\0'));
        QCOMPARE(floatAt(image, at + 136), s.tissueCarriedFloat);
        QCOMPARE(qFromLittleEndian<qint32>(image.constData() + at + 140), s.surfaceInterval);
        QCOMPARE(image.at(at + 144), char(s.effort ? 1 : 0));
        QCOMPARE(image.at(at + 145), char(s.freshWater ? 1 : 0));
        QCOMPARE(floatAt(image, at + 146), s.surfacePressure);
    }
    // A default record carries the tissue defaults 2 and 0.32, and 1.013 bar.
    const QByteArray one = PlanFile::encode({PlanSlotRecord()});
    QCOMPARE(quint8(one.at(4 + 133)), quint8(2));
    QCOMPARE(floatAt(one, 4 + 136), 0.32f);
    QCOMPARE(floatAt(one, 4 + 146), 1.013f);
    QCOMPARE(PlanFile::encode({}), QByteArray(4, '\0'));
}

void TestPlanFiles::planFileRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("day.diveplan");
    const QList<PlanSlotRecord> saved = {sampleSlot(0), sampleSlot(1), sampleSlot(2)};
    QVERIFY(PlanFile::save(path, saved));
    QCOMPARE(QFileInfo(path).size(), 454);
    QList<PlanSlotRecord> loaded;
    QVERIFY(PlanFile::load(path, loaded));
    QCOMPARE(loaded, saved);

    // Any non-zero flag byte reads as set; the filler is ignored.
    QByteArray image = PlanFile::encode({sampleSlot(0)});
    image[4 + 144] = char(0x7F);
    image[4 + 134] = char(0xEE);
    QVERIFY(PlanFile::decode(image, loaded));
    QCOMPARE(loaded.size(), 1);
    QVERIFY(loaded.first().effort);

    QVERIFY(PlanFile::decode(QByteArray(4, '\0'), loaded));
    QVERIFY(loaded.isEmpty());
}

void TestPlanFiles::planFileRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("image");
    const QByteArray two = PlanFile::encode({sampleSlot(0), sampleSlot(1)});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("count cut") << QByteArray(3, '\0');
    QTest::newRow("negative count") << withCount(two, -1);
    QTest::newRow("count 4") << withCount(two + two.mid(4, 300), 4);
    QTest::newRow("huge count") << withCount(two, 0x7FFFFFFF);
    QTest::newRow("shorter than its count") << two.left(303);
    QTest::newRow("one record for two") << two.left(154);
    QTest::newRow("trailing bytes") << two + '\0';
    QByteArray nan = two;
    const float quietNan = std::numeric_limits<float>::quiet_NaN();
    quint32 bits = 0;
    std::memcpy(&bits, &quietNan, sizeof bits);
    qToLittleEndian(bits, nan.data() + 154 + 8);
    QTest::newRow("NaN tension") << nan;
    QByteArray negative = two;
    qToLittleEndian(qint32(-60), negative.data() + 4 + 140);
    QTest::newRow("negative interval") << negative;
}

void TestPlanFiles::planFileRefusedWhole()
{
    QFETCH(QByteArray, image);
    const QList<PlanSlotRecord> before = {sampleSlot(2)};
    QList<PlanSlotRecord> records = before;
    QVERIFY(!PlanFile::decode(image, records));
    QCOMPARE(records, before);

    QTemporaryDir dir;
    const QString path = dir.filePath("bad.diveplan");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();
    QVERIFY(!PlanFile::load(path, records));
    QCOMPARE(records, before);
}

void TestPlanFiles::planFileWriteIsAtomic()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("day.diveplan");
    QVERIFY(PlanFile::save(path, {sampleSlot(1)}));
    // Four slots cannot be written: the earlier file stays as it was.
    const QList<PlanSlotRecord> four(4);
    QVERIFY(PlanFile::encode(four).isEmpty());
    QVERIFY(!PlanFile::save(path, four));
    QList<PlanSlotRecord> loaded;
    QVERIFY(PlanFile::load(path, loaded));
    QCOMPARE(loaded, QList<PlanSlotRecord>{sampleSlot(1)});
    QVERIFY(!PlanFile::save(dir.filePath("missing/day.diveplan"), {sampleSlot(1)}));
    QVERIFY(!PlanFile::load(dir.filePath("none.diveplan"), loaded));
    QCOMPARE(loaded.size(), 1);
    // Nothing but the plan file is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"day.diveplan"});
}

QTEST_GUILESS_MAIN(TestPlanFiles)
#include "tst_planfiles.moc"
