// Files a new user meets: exports of other programs, files that hold no dive,
// damaged values and things that are not files at all. One rule for every
// reader: no profile line, no dive.

#include "divedata/binaryfile.h"
#include "divedata/csvfile.h"
#include "divedata/divefilelimits.h"
#include "divedata/divejson.h"
#include "divedata/divelinesio.h"
#include "divedata/uddffile.h"

#include "divefixtures.h"

#include <QCborArray>
#include <QCborMap>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using Problem = DiveLinesIO::ReadProblem;
Q_DECLARE_METATYPE(DiveLinesIO::ReadProblem)

namespace {

QByteArray uddf(const QByteArray& dives, const QByteArray& gases = {})
{
    return "<?xml version=\"1.0\"?>\n<uddf xmlns=\"http://www.streit.cc/uddf/3.2/\" version=\"3.2.0\">"
           + (gases.isEmpty() ? QByteArray() : "<gasdefinitions>" + gases + "</gasdefinitions>")
           + "<profiledata><repetitiongroup id=\"g\">" + dives + "</repetitiongroup></profiledata></uddf>\n";
}

QByteArray uddfDive(const QByteArray& id, const QByteArray& samples, const QByteArray& datetime = {})
{
    return "<dive id=\"" + id + "\"><informationbeforedive>"
           + (datetime.isEmpty() ? QByteArray("<surfaceintervalbeforedive><passedtime>3600</passedtime>"
                                              "</surfaceintervalbeforedive>")
                                 : "<datetime>" + datetime + "</datetime>")
           + "</informationbeforedive>" + (samples.isEmpty() ? QByteArray() : "<samples>" + samples + "</samples>")
           + "</dive>";
}

QByteArray waypoints(const QList<std::pair<const char*, const char*>>& points)
{
    QByteArray out;
    for (const auto& [time, depth] : points)
        out += QByteArray("<waypoint><depth>") + depth + "</depth><divetime>" + time + "</divetime></waypoint>";
    return out;
}

// A profile row; `field` (3 temperature, 4 OTU, 5 CNS, 6 ceiling) gets `value`.
QByteArray csvRow(const char* time, const char* depth, int field = 0, const char* value = "0")
{
    QByteArrayList fields(20, "0");
    fields[field] = value;
    fields[0] = time;
    fields[1] = depth;
    return fields.join('\t') + '\n';
}

QByteArray temperatures(const QList<const char*>& kelvins)
{
    QByteArray out;
    int time = 0;
    for (const char* kelvin : kelvins)
        out += "<waypoint><depth>5</depth><divetime>" + QByteArray::number(time += 10) + "</divetime><temperature>"
               + kelvin + "</temperature></waypoint>";
    return out;
}

// A binary dive file around a JSON-shaped object.
QByteArray divebin(const QCborMap& payload)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(BinaryFile::StreamVersion);
    out << BinaryFile::magic() << BinaryFile::FormatVersion << payload.toCborValue().toCbor();
    return bytes;
}

QCborMap payloadOf(const Dive& dive)
{
    return QCborMap::fromJsonObject(diveToJson(dive));
}

Dive twoLineDive(double firstDepth = 0.0, double secondTime = 60.0, double secondDepth = 10.0)
{
    Dive dive;
    dive.name = QStringLiteral("d");
    DiveLine a;
    a.depth = firstDepth;
    DiveLine b;
    b.timeSec = secondTime;
    b.depth = secondDepth;
    dive.lines = {a, b};
    return dive;
}

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    // Every reader, through the factory as every caller uses it.
    void readersRefuseWhatHoldsNoDive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Problem>("problem");

        CsvFile exporter;
        const QByteArray ownExport = exporter.exportBytes(fixtures::sampleDive(3));
        QTest::newRow("csv empty") << "a.csv" << QByteArray() << Problem::NoProfile;
        QTest::newRow("csv text") << "b.csv" << QByteArray("dive log\nof last summer\n") << Problem::NoProfile;
        QTest::newRow("csv NUL bytes") << "c.csv" << QByteArray(4096, '\0') << Problem::NoProfile;
        QTest::newRow("csv own export") << "d.csv" << ownExport << Problem::NoProfile;
        QTest::newRow("csv depth 1e308") << "e.csv" << csvRow("0", "0") + csvRow("10", "1e308") << Problem::OutOfLimits;
        QTest::newRow("csv time backwards") << "f.csv" << csvRow("20", "3") + csvRow("10", "5") << Problem::OutOfLimits;
        QTest::newRow("csv temperature 1e300")
            << "g.csv" << csvRow("0", "0") + csvRow("10", "5", 3, "1e300") << Problem::OutOfLimits;
        QTest::newRow("csv temperature below absolute zero")
            << "h.csv" << csvRow("0", "0", 3, "-300") + csvRow("10", "5") << Problem::OutOfLimits;
        QTest::newRow("csv ceiling -1e9") << "i.csv" << csvRow("0", "0") + csvRow("10", "5", 6, "-1e9") << Problem::OutOfLimits;
        QTest::newRow("csv CNS 1e300") << "j.csv" << csvRow("0", "0") + csvRow("10", "5", 5, "1e300") << Problem::OutOfLimits;
        QTest::newRow("uddf no samples") << "a.uddf" << uddf(uddfDive("p", {})) << Problem::NoProfile;
        QTest::newRow("uddf empty samples")
            << "b.uddf" << uddf(uddfDive("p", "<waypoint><depth>3</depth></waypoint>")) << Problem::NoProfile;
        QTest::newRow("uddf depth 1e308")
            << "c.uddf" << uddf(uddfDive("p", waypoints({{"0", "0"}, {"10", "1e308"}}))) << Problem::OutOfLimits;
        QTest::newRow("uddf temperature 1e300 K")
            << "e.uddf" << uddf(uddfDive("p", temperatures({"290", "1e300"}))) << Problem::OutOfLimits;
        QTest::newRow("uddf time backwards")
            << "d.uddf" << uddf(uddfDive("p", waypoints({{"20", "3"}, {"10", "5"}}))) << Problem::OutOfLimits;
        QTest::newRow("uddf not xml") << "e.uddf" << QByteArray("<uddf") << Problem::Damaged;
        QTest::newRow("divebin no lines") << "a.divebin" << divebin(payloadOf(Dive())) << Problem::NoProfile;
        QTest::newRow("divebin depth 1e308")
            << "b.divebin" << divebin(payloadOf(twoLineDive(0.0, 60.0, 1e308))) << Problem::OutOfLimits;
        QTest::newRow("divebin time backwards")
            << "c.divebin" << divebin(payloadOf(twoLineDive(0.0, -5.0, 3.0))) << Problem::OutOfLimits;
        Dive hot = twoLineDive();
        hot.lines[1].ambientTemp = 5000.0;
        QTest::newRow("divebin temperature 5000") << "e.divebin" << divebin(payloadOf(hot)) << Problem::OutOfLimits;
        Dive rich = twoLineDive();
        rich.lines[0].ppO2 = -1e300;
        QTest::newRow("divebin ppO2 -1e300") << "f.divebin" << divebin(payloadOf(rich)) << Problem::OutOfLimits;
        QTest::newRow("divebin text") << "d.divebin" << QByteArray("not a dive") << Problem::Damaged;
    }

    void readersRefuseWhatHoldsNoDive()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(Problem, problem);
        const QString path = put(name, bytes);
        const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
        QVERIFY(reader);
        Dive dive = fixtures::sampleDive(2);
        const Dive before = dive;
        QVERIFY(!reader->readDive(path, dive));
        QCOMPARE(reader->readProblem(), problem);
        QCOMPARE(dive.name, before.name);
        QCOMPARE(dive.lines.size(), before.lines.size());
        QList<Dive> dives;
        QVERIFY(!reader->readDives(path, dives));
        QVERIFY(dives.isEmpty());
    }

    // A sensor's glitches and the coldest possible reading are shown, not
    // refused: only impossible values are damage.
    void oddButPossibleTemperaturesAreKept_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("csv") << "k.csv" << csvRow("0", "0", 3, "-40") + csvRow("10", "5", 3, "85") + csvRow("20", "1", 3, "-273.15");
        QTest::newRow("uddf") << "k.uddf" << uddf(uddfDive("p", temperatures({"233.15", "358.15", "0"})));
    }

    void oddButPossibleTemperaturesAreKept()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = put(name, bytes);
        const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
        Dive dive;
        QVERIFY(reader->readDive(path, dive));
        for (const double celsius : {-40.0, 85.0, -273.15}) {
            const bool found = std::any_of(dive.lines.cbegin(), dive.lines.cend(),
                                           [&](const DiveLine& line) { return qAbs(line.ambientTemp - celsius) < 1e-9; });
            QVERIFY2(found, qPrintable(QString::number(celsius)));
        }
    }

    // A FIFO would block the reader until someone writes to it and /dev/zero
    // never ends: both are refused before a byte is read. Writing over them
    // would replace them with a regular file.
    void nonRegularFilesAreRefusedBothWays_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("csv") << "csv";
        QTest::newRow("uddf") << "uddf";
        QTest::newRow("divebin") << "divebin";
    }

    void nonRegularFilesAreRefusedBothWays()
    {
        QFETCH(QString, suffix);
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.") + suffix);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString zero = m_dir.filePath(QStringLiteral("zero.") + suffix);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        const QString toFifo = m_dir.filePath(QStringLiteral("tofifo.") + suffix);
        QVERIFY(QFile::link(fifo, toFifo));

        const QString folder = m_dir.filePath(QStringLiteral("folder.") + suffix);
        QVERIFY(QDir().mkpath(folder));
        for (const QString& path : {fifo, zero, toFifo, folder}) {
            const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createByType(DiveLinesIO::fileTypeOf(path));
            Dive dive;
            QVERIFY2(!reader->readDive(path, dive), qPrintable(path));
            QCOMPARE(reader->readProblem(), Problem::NotAFile);
        }

        const std::unique_ptr<DiveLinesIO> writer = DiveLinesIO::createByType(DiveLinesIO::fileTypeOf(fifo));
        for (const QString& path : {fifo, toFifo})
            QVERIFY2(!writer->writeDive(path, fixtures::sampleDive(2)), qPrintable(path));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(fifo).constData(), &status), 0);
        QVERIFY(S_ISFIFO(status.st_mode));
        QVERIFY(QFileInfo(toFifo).isSymLink());
    }

    // The same bound on gases in every format that defines them.
    void gasCountIsBoundedAlike()
    {
        for (const qsizetype count : {DiveFileLimits::MaxGases, DiveFileLimits::MaxGases + 1}) {
            const bool allowed = count <= DiveFileLimits::MaxGases;
            QByteArray mixes;
            for (qsizetype i = 0; i < count; ++i)
                mixes += "<mix id=\"m" + QByteArray::number(i) + "\"><o2>0.21</o2></mix>";
            Dive dive;
            QCOMPARE(UddfFile::readDocument(uddf(uddfDive("d", waypoints({{"0", "0"}, {"60", "5"}})), mixes), dive),
                     allowed);

            Dive many = twoLineDive();
            many.gases = QList<DiveGas>(count);
            Dive read;
            QCOMPARE(BinaryFile::decodePayload(payloadOf(many).toCborValue().toCbor(), read), allowed);
        }
    }

    // Some programs write a placeholder "previous dive" that only carries the
    // surface interval; the dives after it hold the profiles.
    void uddfReadsEveryDiveWithSamples()
    {
        const QByteArray bytes =
            uddf(uddfDive("previous", {}) + uddfDive("first", waypoints({{"10", "5"}, {"70", "12"}}), "2024-06-01T09:30:00")
                 + uddfDive("", waypoints({{"0", "0"}, {"60", "20"}, {"120", "0"}}), "2024-06-01T12:00:00"),
                 "<mix id=\"air\"><o2>0.21</o2></mix>");
        const QString path = put(QStringLiteral("log.uddf"), bytes);

        Dive first;
        UddfFile reader;
        QVERIFY(reader.readDive(path, first));
        QCOMPARE(first.name, QStringLiteral("first"));
        // A surface line in front and one at the end.
        QCOMPARE(first.lines.size(), 4);
        QCOMPARE(first.lines.at(2).depth, 12.0);

        QList<Dive> dives;
        QVERIFY(reader.readDives(path, dives));
        QCOMPARE(dives.size(), 2);
        QCOMPARE(dives.at(0).name, QStringLiteral("first"));
        QCOMPARE(dives.at(1).name, DiveFileLimits::defaultDiveName());
        QCOMPARE(dives.at(1).lines.size(), 3);
        QCOMPARE(dives.at(1).gases.size(), 1);
        QCOMPARE(dives.at(1).beginTime - dives.at(0).beginTime, qint64(9000));
    }

    void namelessBinaryDiveGetsTheDefaultName()
    {
        Dive nameless = twoLineDive();
        nameless.name.clear();
        const QString path = put(QStringLiteral("nameless.divebin"), divebin(payloadOf(nameless)));
        Dive dive;
        QVERIFY(BinaryFile().readDive(path, dive));
        QCOMPARE(dive.name, QStringLiteral("000000"));
    }

    // Keys the reader does not know, at every level, change nothing.
    void unknownBinaryKeysAreIgnored()
    {
        const Dive sample = fixtures::sampleDive(4);
        QCborMap payload = payloadOf(sample);
        QCborMap header = payload.value(QStringLiteral("header")).toMap();
        QCborArray gases = payload.value(QStringLiteral("gases")).toArray();
        QCborMap gas = gases.at(0).toMap();
        for (int i = 0; i < 2000; ++i) {
            const QString key = QStringLiteral("unknown%1").arg(i);
            payload.insert(key, i);
            header.insert(key, QCborMap{{QStringLiteral("gfLow"), 3}});
            gas.insert(key, QStringLiteral("x"));
        }
        // A known key holding a map reads as its default, as before.
        payload.insert(QStringLiteral("notes"), QCborMap{{QStringLiteral("notes"), QStringLiteral("no")}});
        header.insert(99, 5); // a key that is not text
        payload.insert(QStringLiteral("header"), header);
        gases[0] = gas;
        payload.insert(QStringLiteral("gases"), gases);

        Dive plain;
        Dive noisy;
        QVERIFY(BinaryFile::decodePayload(payloadOf(sample).toCborValue().toCbor(), plain));
        QVERIFY(BinaryFile::decodePayload(payload.toCborValue().toCbor(), noisy));
        // The header carries the dive's notes, here replaced by a map.
        QJsonObject noisyHeader = diveToJson(noisy).value(QStringLiteral("header")).toObject();
        QJsonObject plainHeader = diveToJson(plain).value(QStringLiteral("header")).toObject();
        noisyHeader.remove(QStringLiteral("notes"));
        plainHeader.remove(QStringLiteral("notes"));
        QCOMPARE(noisyHeader, plainHeader);
        QCOMPARE(diveToJson(noisy).value(QStringLiteral("gases")), diveToJson(plain).value(QStringLiteral("gases")));
        QCOMPARE(noisy.lines.size(), plain.lines.size());
        QCOMPARE(noisy.notes, QString());
    }

    // With '.' between the fields, numbers take the decimal comma so that the
    // fields can be split again; the other separators keep the point.
    void csvDotSeparatorWritesDecimalCommas_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("dot") << QChar(u'.') << QByteArray("1.60.12,5.0.18,5.0.Inconnu..0..0.0.0");
        QTest::newRow("comma") << QChar(u',') << QByteArray("1,60,12.5,0,18.5,0,Inconnu,,0,,0,0,0");
        QTest::newRow("semicolon") << QChar(u';') << QByteArray("1;60;12.5;0;18.5;0;Inconnu;;0;;0;0;0");
    }

    void csvDotSeparatorWritesDecimalCommas()
    {
        QFETCH(QChar, separator);
        QFETCH(QByteArray, row);
        Dive dive;
        DiveLine first;
        first.ambientTemp = 18.5;
        DiveLine second = first;
        second.timeSec = 60;
        second.depth = 12.5;
        dive.lines = {first, second};
        CsvFile writer;
        writer.setSeparator(separator);
        const QList<QByteArray> rows = writer.exportBytes(dive).split('\n');
        QCOMPARE(rows.at(4), row);
        const QByteArray fields = rows.at(4);
        QCOMPARE(fields.count(separator.toLatin1()), 12);
    }
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
