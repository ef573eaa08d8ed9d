#include "divedata/binaryfile.h"

#include "divefixtures.h"

#include <QBuffer>
#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray written(const Dive& dive)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    BinaryFile file;
    if (!file.writeStream(out, dive))
        return QByteArray();
    return bytes;
}

// A file image with its own magic, version and payload, framed as the
// writer frames them.
QByteArray framed(const QByteArray& magic, quint32 version, const QByteArray& payload)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << magic << version << payload;
    return bytes;
}

bool readsBack(const QByteArray& bytes, Dive& dive)
{
    QDataStream in(bytes);
    BinaryFile file;
    return file.readStream(in, dive);
}

} // namespace

class TestBinaryFile : public QObject
{
    Q_OBJECT

private slots:
    void byteLayout();
    void roundTripThroughFile();
    void wrongMagicRefused();
    void versions();
    void truncationRefused();
    void payloadMustBeOneMap();
    void oversizedLengthsRefused();
    void failedWriteReportsFalse();
};

void TestBinaryFile::byteLayout()
{
    const QByteArray bytes = written(fixtures::sampleDive());
    QVERIFY(bytes.size() > 30);
    QCOMPARE(bytes.left(4), QByteArray::fromHex("00000011"));
    QCOMPARE(bytes.mid(4, 17), QByteArray("SondrelBinaryFile"));
    QCOMPARE(bytes.mid(21, 4), QByteArray::fromHex("00000001"));
    const quint32 payloadLength = qFromBigEndian<quint32>(bytes.constData() + 25);
    QCOMPARE(qsizetype(payloadLength), bytes.size() - 29);
    QCOMPARE(quint8(bytes.at(29)) >> 5, 5); // CBOR major type 5: a map

    const QCborValue payload = QCborValue::fromCbor(bytes.mid(29));
    QVERIFY(payload.isMap());
    QVERIFY(payload[QLatin1String("header")].isMap());
    QCOMPARE(payload[QLatin1String("lines")].toArray().size(), 4);
    QCOMPARE(payload[QLatin1String("name")].toString(), QStringLiteral("Dive 17"));
    // Whole numbers are CBOR integers, not floats.
    QVERIFY(payload[QLatin1String("header")][QLatin1String("beginTime")].isInteger());

    // The file form is the stream form.
    QTemporaryDir dir;
    const QString path = dir.filePath("dive.divebin");
    QVERIFY(BinaryFile().writeDive(path, fixtures::sampleDive()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestBinaryFile::roundTripThroughFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Dive.DIVEBIN");
    const Dive original = fixtures::sampleDive(25);
    QVERIFY(BinaryFile().writeDive(path, original));

    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    QVERIFY(reader);
    QCOMPARE(reader->typeCode(), int(DiveFileType::Binary));
    Dive read;
    QVERIFY(reader->readDive(path, read));
    fixtures::compareJsonDive(read, original);

    // An empty dive survives too.
    Dive empty;
    QVERIFY(readsBack(written(Dive()), empty));
    QVERIFY(empty.lines.isEmpty());
    QCOMPARE(empty.surfacePressure, quint16(0));

    QVERIFY(!BinaryFile().readDive(dir.filePath("missing.divebin"), read));
    QVERIFY(!BinaryFile().readDive(dir.path(), read));
}

void TestBinaryFile::wrongMagicRefused()
{
    const QByteArray payload = BinaryFile::encodePayload(fixtures::sampleDive(1));
    Dive dive;
    QVERIFY(readsBack(framed(BinaryFile::magic(), 1, payload), dive));

    QByteArray magic = BinaryFile::magic();
    for (int i = 0; i < magic.size(); ++i) {
        QByteArray changed = magic;
        changed[i] = char(changed.at(i) ^ 0x01);
        Dive untouched = fixtures::sampleDive(2);
        QVERIFY2(!readsBack(framed(changed, 1, payload), untouched), qPrintable(QString::number(i)));
        QCOMPARE(untouched.lines.size(), 2); // a refusal leaves the dive alone
    }
    QVERIFY(!readsBack(framed("sondrelBinaryFile", 1, payload), dive));
    QVERIFY(!readsBack(framed("SondrelBinaryFil", 1, payload), dive));
    QVERIFY(!readsBack(framed(QByteArray("SondrelBinaryFile\0", 18), 1, payload), dive));
    QVERIFY(!readsBack(framed(QByteArray(), 1, payload), dive));
}

void TestBinaryFile::versions()
{
    const QByteArray payload = BinaryFile::encodePayload(fixtures::sampleDive(1));
    Dive dive;
    QVERIFY(readsBack(framed(BinaryFile::magic(), 0, payload), dive));
    QVERIFY(readsBack(framed(BinaryFile::magic(), 1, payload), dive));
    QVERIFY(!readsBack(framed(BinaryFile::magic(), 2, payload), dive));
    QVERIFY(!readsBack(framed(BinaryFile::magic(), 0xFFFFFFFFu, payload), dive)); // -1 compared as unsigned
}

void TestBinaryFile::truncationRefused()
{
    const QByteArray bytes = written(fixtures::sampleDive(3));
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        Dive dive = fixtures::sampleDive(1);
        QVERIFY2(!readsBack(bytes.left(cut), dive), qPrintable(QString::number(cut)));
        QCOMPARE(dive.lines.size(), 1);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("empty.divebin");
    QFile empty(path);
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    Dive dive;
    QVERIFY(!BinaryFile().readDive(path, dive));
}

void TestBinaryFile::payloadMustBeOneMap()
{
    Dive dive = fixtures::sampleDive(2);
    const QByteArray magic = BinaryFile::magic();
    QVERIFY(!readsBack(framed(magic, 1, QCborArray{1, 2}.toCborValue().toCbor()), dive));
    QVERIFY(!readsBack(framed(magic, 1, QCborValue(QStringLiteral("dive")).toCbor()), dive));
    QVERIFY(!readsBack(framed(magic, 1, QByteArray()), dive));   // empty payload
    QVERIFY(!readsBack(framed(magic, 1, QByteArray("\xa1", 1)), dive)); // a map cut short
    // A valid map followed by stray bytes is not what the writer produces.
    QVERIFY(!readsBack(framed(magic, 1, BinaryFile::encodePayload(Dive()) + '\0'), dive));
    // The null byte array (length 0xFFFFFFFF).
    QByteArray nullPayload;
    QDataStream out(&nullPayload, QIODevice::WriteOnly);
    out << magic << quint32(1) << quint32(0xFFFFFFFFu);
    QVERIFY(!readsBack(nullPayload, dive));
    QCOMPARE(dive.lines.size(), 2);

    // An empty map is a dive of defaults.
    QVERIFY(readsBack(framed(magic, 1, QCborMap().toCborValue().toCbor()), dive));
    QVERIFY(dive.lines.isEmpty());
    QCOMPARE(dive.gfLow, quint8(80));
}

void TestBinaryFile::oversizedLengthsRefused()
{
    // Lengths that claim far more than the file holds, or more than any dive
    // needs, are refused before anything that size is allocated.
    for (const quint32 length : {0x7FFFFFFFu, 0xFFFFFFFEu, BinaryFile::MaxPayloadBytes + 1, 1000u}) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << BinaryFile::magic() << quint32(1) << length;
        bytes.append(QByteArray(64, '\xa0'));
        Dive dive;
        QVERIFY(!readsBack(bytes, dive));
    }
    QByteArray hugeMagic;
    QDataStream out(&hugeMagic, QIODevice::WriteOnly);
    out << quint32(0x7FFFFFFFu);
    Dive dive;
    QVERIFY(!readsBack(hugeMagic, dive));
}

void TestBinaryFile::failedWriteReportsFalse()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("notadir"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!BinaryFile().writeDive(dir.filePath("notadir/dive.divebin"), fixtures::sampleDive()));
    QVERIFY(!BinaryFile().writeDive(dir.filePath("missing/dive.divebin"), fixtures::sampleDive()));
    // The binary format is read-only through the factory.
    QVERIFY(!DiveLinesIO::createWriter(dir.filePath("dive.divebin")));
    QVERIFY(!DiveLinesIO::writeDiveFile(dir.filePath("dive.divebin"), fixtures::sampleDive()));
    QVERIFY(!QFile::exists(dir.filePath("dive.divebin")));
}

QTEST_GUILESS_MAIN(TestBinaryFile)
#include "tst_binaryfile.moc"
