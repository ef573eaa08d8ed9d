#include "divedata/binaryfile.h"
#include "divedata/divecbor.h"
#include "divedata/divejson.h"

#include "divefixtures.h"

#include <QBuffer>
#include <QCborArray>
#include <QCborMap>
#include <QCborStreamWriter>
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

// The magic, version and a payload length of our own, then `tail`.
QByteArray header(const QByteArray& magic, quint32 version, quint32 length, const QByteArray& tail)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << magic << version << length;
    return bytes + tail;
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
    void framing_data();
    void framing();
    void truncationRefused();
    void payloadEncodingsReadAsJson();
    void oversizedPayloadsRefused();
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

    // A dive without profile lines is written, but no dive file reader
    // takes a file that holds no profile.
    Dive empty;
    QVERIFY(!readsBack(written(Dive()), empty));
    QVERIFY(empty.lines.isEmpty());

    QVERIFY(!BinaryFile().readDive(dir.filePath("missing.divebin"), read));
    QVERIFY(!BinaryFile().readDive(dir.path(), read));
}

void TestBinaryFile::framing_data()
{
    // A file image, and the lines and low gradient factor of the dive read
    // from it (0: refused).
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("gfLow");
    const auto refused = [](const QByteArray& name, const QByteArray& bytes) {
        QTest::addRow("%s", name.constData()) << bytes << 0 << 0;
    };
    const QByteArray magic = BinaryFile::magic();
    const QByteArray payload = BinaryFile::encodePayload(fixtures::sampleDive(1));
    QTest::addRow("as written") << framed(magic, 1, payload) << 1 << 35;
    for (int i = 0; i < magic.size(); ++i) {
        QByteArray changed = magic;
        changed[i] = char(changed.at(i) ^ 0x01);
        refused("magic byte " + QByteArray::number(i) + " changed", framed(changed, 1, payload));
    }
    refused("magic in lower case", framed("sondrelBinaryFile", 1, payload));
    refused("magic cut short", framed("SondrelBinaryFil", 1, payload));
    refused("magic with a null", framed(QByteArray("SondrelBinaryFile\0", 18), 1, payload));
    refused("no magic", framed(QByteArray(), 1, payload));
    refused("magic of 2 GiB", QByteArray::fromHex("7fffffff"));

    QTest::addRow("version 0") << framed(magic, 0, payload) << 1 << 35;
    refused("version 2", framed(magic, 2, payload));
    refused("version -1 as unsigned", framed(magic, 0xFFFFFFFFu, payload));

    // The payload is one CBOR map holding a profile, and nothing else.
    refused("payload an array", framed(magic, 1, QCborArray{1, 2}.toCborValue().toCbor()));
    refused("payload a text", framed(magic, 1, QCborValue(QStringLiteral("dive")).toCbor()));
    refused("payload empty", framed(magic, 1, QByteArray()));
    refused("map cut short", framed(magic, 1, QByteArray("\xa1", 1)));
    refused("stray byte after the map", framed(magic, 1, payload + '\0'));
    refused("null payload", header(magic, 1, 0xFFFFFFFFu, QByteArray()));
    refused("map without a profile", framed(magic, 1, QCborMap().toCborValue().toCbor()));
    QCborMap oneLine;
    oneLine.insert(QStringLiteral("lines"), QCborArray{QCborMap()});
    QTest::addRow("map of one default line") << framed(magic, 1, oneLine.toCborValue().toCbor()) << 1 << 80;

    // Lengths that claim far more than the file holds, or more than any dive
    // needs, are refused before anything that size is allocated.
    for (const quint32 length : {0x7FFFFFFFu, 0xFFFFFFFEu, BinaryFile::MaxPayloadBytes + 1, 1000u})
        refused("payload length " + QByteArray::number(length), header(magic, 1, length, QByteArray(64, '\xa0')));
}

void TestBinaryFile::framing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lines);
    QFETCH(int, gfLow);
    Dive dive = fixtures::sampleDive(2);
    dive.gfLow = 40;
    const QJsonObject before = diveToJson(dive);
    QCOMPARE(readsBack(bytes, dive), lines > 0);
    if (lines == 0) {
        QCOMPARE(diveToJson(dive), before); // a refusal leaves the dive alone
    } else {
        QCOMPARE(dive.lines.size(), lines);
        QCOMPARE(dive.gfLow, quint8(gfLow)); // the file's dive, its defaults where it is silent
    }
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

void TestBinaryFile::payloadEncodingsReadAsJson()
{
    // Encodings another CBOR writer may choose: indefinite lengths, half and
    // single floats, chunked and tagged keys, keys that are not text, repeated
    // keys, big and non-finite numbers. The lines are read straight from the
    // bytes; they must come out as Qt's JSON conversion would give them.
    QByteArray payload;
    QCborStreamWriter w(&payload);
    w.startMap(); // indefinite
    w.append(QLatin1String("name"));
    w.append(QLatin1String("odd"));
    w.append(QLatin1String("lines"));
    w.append(QCborArray{1}.toCborValue().toCbor()); // a first "lines" that the second replaces
    w.append(QLatin1String("lines"));
    w.startArray(); // indefinite
    {
        w.startMap(9);
        w.append(QLatin1String("depth"));
        w.append(qfloat16(12.5f));
        w.append(QLatin1String("timeSec"));
        w.append(7.25f);
        w.appendTextString("gas", 3); // replaced below by a chunked key
        w.append(QLatin1String("x"));
        w.append(QLatin1String("ndl"));
        w.append(std::numeric_limits<double>::quiet_NaN());
        w.append(QLatin1String("ccr"));
        w.append(true);
        w.append(QLatin1String("tag"));
        w.append(QCborTag(1000));
        w.append(Q_UINT64_C(123456));
        w.append(QLatin1String("battery"));
        w.append(Q_UINT64_C(0xFFFFFFFFFFFFFFFF)); // past qint64: a double, not an integer
        w.append(5); // an integer key
        w.append(QLatin1String("five"));
        w.append(QLatin1String("otu"));
        w.append(QLatin1String("not a number"));
        w.endMap();
    }
    w.append(QLatin1String("not a line"));
    w.startMap();
    w.append(QLatin1String("depth"));
    w.append(3);
    w.append(QLatin1String("depth"));
    w.append(-4.5); // a repeated key: the last one wins
    w.append(QLatin1String("gasIndex"));
    w.append(QCborNegativeInteger(9)); // -9
    w.endMap();
    w.endArray();
    w.append(QLatin1String("header"));
    w.startMap(1);
    w.append(QLatin1String("beginTime"));
    w.append(Q_INT64_C(0x123456789A));
    w.endMap();
    w.endMap();

    // Splice a chunked text key into the first line: the entry "gas": "x"
    // becomes "gas" + "Index" in two chunks, with the value 2.
    const QByteArray plainEntry = QByteArray::fromHex("636761736178");
    const QByteArray chunkedEntry = QByteArray::fromHex("7f63676173" "65496e646578" "ff" "02");
    QVERIFY(payload.contains(plainEntry));
    payload.replace(payload.indexOf(plainEntry), plainEntry.size(), chunkedEntry);

    Dive direct;
    QVERIFY(diveFromCbor(payload, direct));
    Dive viaJson;
    diveFromJson(QCborValue::fromCbor(payload).toJsonValue().toObject(), viaJson);
    QCOMPARE(diveToJson(direct), diveToJson(viaJson));

    QCOMPARE(direct.lines.size(), 3);
    const DiveLine& first = direct.lines.at(0);
    QCOMPARE(first.depth, 12.5);
    QCOMPARE(first.timeSec, 7.25);
    QCOMPARE(first.gasIndex, 2);
    QCOMPARE(first.ndl, qint16(0)); // NaN reads as null: the default
    QCOMPARE(first.ccr, true);
    QCOMPARE(first.tag, 123456u); // the tag is dropped, its value kept
    QCOMPARE(first.battery, quint16(0));
    QCOMPARE(first.otu, 0.0);
    QCOMPARE(direct.lines.at(1).depth, 0.0); // a text element: a default line
    QCOMPARE(direct.lines.at(2).depth, -4.5);
    QCOMPARE(direct.lines.at(2).gasIndex, -9);
    QCOMPARE(direct.beginTime, Q_INT64_C(0x123456789A));
    QCOMPARE(direct.name, QStringLiteral("odd"));
}

void TestBinaryFile::oversizedPayloadsRefused()
{
    // Small payloads that would unfold into huge dives: more lines than any
    // dive holds (one byte each), an oversized text, nesting without end.
    const auto linesOf = [](qint64 count) {
        QByteArray payload;
        QCborStreamWriter w(&payload);
        w.startMap(1);
        w.append(QLatin1String("lines"));
        w.startArray(quint64(count));
        for (qint64 i = 0; i < count; ++i)
            w.append(QCborValue::Null);
        w.endArray();
        w.endMap();
        return payload;
    };
    Dive dive;
    QVERIFY(diveFromCbor(linesOf(3), dive));
    QCOMPARE(dive.lines.size(), 3);
    QVERIFY(!diveFromCbor(linesOf(DiveLinesIO::MaxLines + 1), dive));
    QCOMPARE(dive.lines.size(), 3);

    QCborMap notes;
    notes.insert(QLatin1String("notes"), QString(DiveCbor::MaxOtherBytes, QLatin1Char('n')));
    QVERIFY(!diveFromCbor(notes.toCborValue().toCbor(), dive));

    const QByteArray deep = QByteArray::fromHex("a1656c696e6573") + QByteArray(100000, '\x81') + '\x01';
    QVERIFY(!diveFromCbor(deep, dive));
    const QByteArray deepOther = QByteArray::fromHex("a1646e6f7465") + QByteArray(100000, '\x9f');
    QVERIFY(!diveFromCbor(deepOther, dive));
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
