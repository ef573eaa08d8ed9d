// Feeds arbitrary bytes to every dive file reader. The first byte picks the
// reader (its value modulo the number of readers); the rest is the file. A
// binary file is read as a stream when it starts with the format's framing
// and as a bare payload otherwise. A dive a reader accepts then gets its
// derived values, as a file opened in the program does. A reader may refuse
// the bytes, never crash, hang, leak or step outside its buffers (the build
// adds the sanitizers).
//
// With PELAGON_FUZZ_SEEDS=<folder> set, the program writes one well-formed
// file per reader into the folder and stops: a corpus to start from.

#include "divedata/binaryfile.h"
#include "divedata/csvfile.h"
#include "divedata/dive.h"
#include "divedata/divefilelimits.h"
#include "divedata/divejson.h"
#include "divedata/planfile.h"
#include "divedata/planificator.h"
#include "divedata/uddffile.h"
#include "fuzzinput.h"

#include <QBuffer>
#include <QCborMap>
#include <QCborValue>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <cstdint>
#include <cstdlib>

namespace {

enum Reader : char { Uddf, Csv, Binary, PlanStream, PlanFileImage, Json, UddfDives, ReaderCount };

Dive seedDive()
{
    Dive dive;
    dive.name = QStringLiteral("seed");
    DiveGas air;
    air.setO2(0.21);
    DiveGas nitrox;
    nitrox.setO2(0.5);
    dive.gases = {air, nitrox};
    for (int s = 0; s <= 600; s += 10) {
        DiveLine line;
        line.timeSec = s;
        line.depth = s < 300 ? s / 10.0 : (600 - s) / 10.0;
        line.ambientTemp = 18.0 - line.depth / 5.0;
        line.tankPressure = quint16(200 - s / 10);
        line.gasIndex = s < 450 ? 0 : 1;
        dive.lines.append(line);
    }
    dive.computeStatistics();
    dive.recomputeDerived();
    return dive;
}

void writeSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    const Dive dive = seedDive();
    auto put = [&](const char* name, Reader reader, const QByteArray& bytes) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1, reader) + bytes);
    };
    put("uddf", Uddf, UddfFile::toDocument(dive));
    QByteArray profile = "title\n";
    for (const DiveLine& line : dive.lines) {
        QByteArrayList fields;
        for (int k = 0; k < 20; ++k)
            fields.append(QByteArray::number(k == 0 ? line.timeSec : k == 1 ? line.depth : k));
        profile += fields.join('\t') + '\n';
    }
    put("csv", Csv, profile);
    QByteArray binary;
    {
        QDataStream out(&binary, QIODevice::WriteOnly);
        BinaryFile().writeStream(out, dive);
    }
    put("binary", Binary, binary);
    QByteArray plan;
    {
        QDataStream out(&plan, QIODevice::WriteOnly);
        Planificator().writeStream(out, dive);
    }
    put("plan", PlanStream, plan);
    put("planfile", PlanFileImage, PlanFile::encode(QList<PlanSlotRecord>(2)));
    put("json", Json, QJsonDocument(diveToJson(dive)).toJson());

    // A UDDF logbook: a placeholder without samples, then several dives.
    QByteArray logbook = UddfFile::toDocument(dive);
    const qsizetype from = logbook.indexOf("<dive ");
    const QByteArray element = logbook.mid(from, logbook.indexOf("</dive>") + 7 - from);
    QByteArray dives = "<dive id=\"previous\" />";
    for (int i = 0; i < 8; ++i)
        dives += QByteArray(element).replace("id=\"seed\"", "id=\"seed" + QByteArray::number(i) + "\"");
    logbook.replace(element, dives);
    put("uddfdives", UddfDives, logbook);

    // A binary payload with keys the reader does not know at every level.
    QCborMap payload = QCborMap::fromJsonObject(diveToJson(dive));
    QCborMap header = payload.value(QStringLiteral("header")).toMap();
    for (int i = 0; i < 64; ++i) {
        payload.insert(QStringLiteral("unknown%1").arg(i), i);
        header.insert(QStringLiteral("extra%1").arg(i), QCborMap{{i, QStringLiteral("x")}});
    }
    payload.insert(QStringLiteral("header"), header);
    QByteArray keyed;
    {
        QDataStream out(&keyed, QIODevice::WriteOnly);
        out.setVersion(BinaryFile::StreamVersion);
        out << BinaryFile::magic() << BinaryFile::FormatVersion << payload.toCborValue().toCbor();
    }
    put("binarykeys", Binary, keyed);
    put("binarypayload", Binary, payload.toCborValue().toCbor());
}

// True when the bytes start as a binary dive file does: the length of the
// magic, then the magic.
bool framedAsBinaryFile(const QByteArray& bytes)
{
    static const QByteArray frame = [] {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(BinaryFile::StreamVersion);
        out << BinaryFile::magic();
        return bytes;
    }();
    return bytes.startsWith(frame);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    writeSeedsIfAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QList<Dive> dives(1);
    bool read = false;
    switch (data[0] % ReaderCount) {
    case Uddf:
        read = UddfFile::readDocument(bytes, dives.first());
        break;
    case Csv: {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        read = CsvFile::readProfile(buffer, dives.first().lines) && !dives.first().lines.isEmpty()
            && DiveFileLimits::linesAreSane(dives.first().lines);
        break;
    }
    case Binary:
        if (framedAsBinaryFile(bytes)) {
            QDataStream in(bytes);
            read = BinaryFile().readStream(in, dives.first());
        } else {
            read = BinaryFile::decodePayload(bytes, dives.first());
        }
        break;
    case PlanStream: {
        QDataStream in(bytes);
        read = Planificator().readStream(in, dives.first());
        break;
    }
    case PlanFileImage: {
        QList<PlanSlotRecord> records;
        PlanFile::decode(bytes, records);
        break;
    }
    case Json:
        diveFromJson(QJsonDocument::fromJson(bytes).object(), dives.first());
        break;
    case UddfDives: {
        DiveLinesIO::ReadProblem problem = DiveLinesIO::ReadProblem::None;
        QList<Dive> logbook;
        read = UddfFile::readDocumentDives(bytes, Dive(), DiveFileLimits::MaxDives, logbook, problem);
        dives = std::move(logbook);
        break;
    }
    }
    // What opening the file does next.
    if (read) {
        for (Dive& dive : dives)
            dive.refreshDerived();
    }
    return 0;
}
