// Damaged files fed to every reader: cut, bit-flipped and random images.
// Seeds are fixed, so a failure reproduces; counts are bounded so the suite
// stays fast under the sanitizers. A reader may accept a damaged image whose
// damage lands in a value, but it must never crash, trap, read past its input
// or allocate beyond the input's size, which the sanitizer build checks.

#include "divedata/binaryfile.h"
#include "divedata/divecbor.h"
#include "divedata/divejson.h"
#include "divedata/planfile.h"
#include "divedata/planificator.h"

#include "damage.h"
#include "divefixtures.h"

#include <QCborStreamReader>
#include <QCborValue>
#include <QDataStream>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

namespace {

using namespace damage;

// Cuts, flips, flips then cuts, and random images; returns how many of the
// random images were accepted.
int shake(const QByteArray& valid, const Reader& read, quint32 seed)
{
    QRandomGenerator random(seed);
    for (qsizetype cut = 0; cut < valid.size(); cut += 1 + valid.size() / 200)
        read(valid.left(cut));
    for (int i = 0; i < FlipRounds; ++i) {
        const QByteArray damaged = flipped(valid, random);
        read(damaged);
        read(damaged.left(qsizetype(random.bounded(quint32(damaged.size()) + 1))));
    }
    int accepted = 0;
    for (int i = 0; i < RandomRounds; ++i)
        accepted += read(randomBytes(random, 2048)) ? 1 : 0;
    return accepted;
}

} // namespace

class TestDiveFileFuzz : public QObject
{
    Q_OBJECT

private slots:
    void binaryStream();
    void payloadReaderAgreesWithQt();
    void planStream();
    void planFile();
    void jsonText();
};

void TestDiveFileFuzz::binaryStream()
{
    QByteArray valid;
    {
        QDataStream out(&valid, QIODevice::WriteOnly);
        QVERIFY(BinaryFile().writeStream(out, fixtures::sampleDive(6)));
    }
    const Reader read = [](const QByteArray& bytes) {
        QDataStream in(bytes);
        Dive dive;
        const bool ok = BinaryFile().readStream(in, dive);
        // Whatever was accepted still fits in what was read.
        return ok && dive.lines.size() <= bytes.size();
    };
    QVERIFY(read(valid));
    QCOMPARE(shake(valid, read, 0xD1CE), 0);

    // The payload alone, damaged behind an intact frame.
    const QByteArray payload = BinaryFile::encodePayload(fixtures::sampleDive(6));
    const Reader readPayload = [](const QByteArray& bytes) {
        Dive dive;
        return BinaryFile::decodePayload(bytes, dive);
    };
    QCOMPARE(shake(payload, readPayload, 0xCB0F), 0);
}

void TestDiveFileFuzz::payloadReaderAgreesWithQt()
{
    // The payload reader decodes the lines straight from CBOR; it must accept
    // exactly what Qt's decoder accepts as one map and read it as Qt's
    // CBOR-to-JSON conversion plus the JSON reader would.
    const QByteArray valid = BinaryFile::encodePayload(fixtures::sampleDive(3));
    QRandomGenerator random(0xA6EE);
    int bothAccepted = 0;
    for (int i = 0; i < 1500; ++i) {
        QByteArray damaged = flipped(valid, random);
        if (i % 3 == 0)
            damaged.truncate(qsizetype(random.bounded(quint32(damaged.size()) + 1)));

        QCborStreamReader reader(damaged);
        const QCborValue value = QCborValue::fromCbor(reader);
        const bool qtAccepts = reader.lastError() == QCborError::NoError && value.isMap()
            && reader.currentOffset() == damaged.size();
        Dive mine;
        const bool accepted = diveFromCbor(damaged, mine);
        QVERIFY2(accepted == qtAccepts, qPrintable(QString::number(i) + ": " + damaged.toHex()));
        if (!accepted)
            continue;
        ++bothAccepted;
        Dive viaJson;
        diveFromJson(value.toJsonValue().toObject(), viaJson);
        QVERIFY2(diveToJson(mine) == diveToJson(viaJson), qPrintable(QString::number(i)));
    }
    QVERIFY(bothAccepted > 100); // flips that land in values keep the payload readable
}

void TestDiveFileFuzz::planStream()
{
    QByteArray valid;
    {
        QDataStream out(&valid, QIODevice::WriteOnly);
        QVERIFY(Planificator().writeStream(out, fixtures::sampleDive(6)));
    }
    const Reader read = [](const QByteArray& bytes) {
        QDataStream in(bytes);
        Dive dive;
        const bool ok = Planificator().readStream(in, dive);
        return ok && dive.lines.size() * 96 <= bytes.size();
    };
    QVERIFY(read(valid));
    QCOMPARE(shake(valid, read, 0x9A7), 0);
}

void TestDiveFileFuzz::planFile()
{
    const QList<PlanSlotRecord> three(3);
    const QByteArray valid = PlanFile::encode(three);
    const Reader read = [](const QByteArray& bytes) {
        QList<PlanSlotRecord> records;
        const bool ok = PlanFile::decode(bytes, records);
        return ok && records.size() <= PlanFile::MaxSlots;
    };
    QVERIFY(read(valid));
    QCOMPARE(shake(valid, read, 0x5107), 0);
}

void TestDiveFileFuzz::jsonText()
{
    // The JSON reader never fails; damaged text that still parses as an object
    // must read without trouble.
    const QByteArray valid = QJsonDocument(diveToJson(fixtures::sampleDive(4))).toJson();
    const Reader read = [](const QByteArray& bytes) {
        const QJsonDocument document = QJsonDocument::fromJson(bytes);
        if (!document.isObject())
            return false;
        Dive dive;
        diveFromJson(document.object(), dive);
        return true;
    };
    QVERIFY(read(valid));
    shake(valid, read, 0x150);
}

QTEST_GUILESS_MAIN(TestDiveFileFuzz)
#include "tst_divefilefuzz.moc"
