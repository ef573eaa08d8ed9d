#include "divedata/binaryfile.h"

#include "divedata/dive.h"
#include "divedata/divecbor.h"
#include "divedata/divefilelimits.h"
#include "divedata/divejson.h"
#include "divedata/safefile.h"

#include <QCborMap>
#include <QCborValue>
#include <QDataStream>
#include <QIODevice>

namespace {

constexpr quint32 NullByteArray = 0xFFFFFFFFu;

// The framing bytes around the payload: magic with its length, version and
// the payload's length.
constexpr qint64 FrameBytes = 4 + 17 + 4 + 4;

// Reads a data-stream byte array whose length must not exceed maxBytes. The
// length is checked before anything is allocated, so a corrupt length cannot
// make the reader reserve gigabytes.
bool readBoundedBytes(QDataStream& in, quint32 maxBytes, QByteArray& bytes)
{
    quint32 length = 0;
    in >> length;
    if (in.status() != QDataStream::Ok)
        return false;
    if (length == NullByteArray) {
        bytes = QByteArray();
        return true;
    }
    if (length > maxBytes) {
        in.setStatus(QDataStream::ReadCorruptData);
        return false;
    }
    QByteArray data(qsizetype(length), Qt::Uninitialized);
    if (in.readRawData(data.data(), int(length)) != int(length)) {
        in.setStatus(QDataStream::ReadPastEnd);
        return false;
    }
    bytes = std::move(data);
    return true;
}

} // namespace

QByteArray BinaryFile::magic()
{
    return QByteArrayLiteral("SondrelBinaryFile");
}

QByteArray BinaryFile::encodePayload(const Dive& dive)
{
    return QCborMap::fromJsonObject(diveToJson(dive)).toCborValue().toCbor();
}

bool BinaryFile::decodePayload(const QByteArray& payload, Dive& dive)
{
    ReadProblem problem = ReadProblem::None;
    return decodePayload(payload, dive, problem);
}

bool BinaryFile::decodePayload(const QByteArray& payload, Dive& dive, ReadProblem& problem)
{
    Dive read = dive;
    problem = ReadProblem::Damaged;
    if (!diveFromCbor(payload, read))
        return false;
    problem = read.lines.isEmpty() ? ReadProblem::NoProfile
        : DiveFileLimits::linesAreSane(read.lines) ? ReadProblem::None
                                                   : ReadProblem::OutOfLimits;
    if (problem != ReadProblem::None)
        return false;
    // A nameless dive would be stored without a name, and so again on every
    // import; it gets the name a nameless dive gets everywhere.
    if (read.name.isEmpty())
        read.name = DiveFileLimits::defaultDiveName();
    dive = std::move(read);
    return true;
}

bool BinaryFile::readStream(QDataStream& in, Dive& dive)
{
    clearReadProblem();
    in.setVersion(StreamVersion);
    in.setByteOrder(QDataStream::BigEndian);

    const QByteArray expected = magic();
    QByteArray found;
    if (!readBoundedBytes(in, quint32(expected.size()), found) || found != expected)
        return false;

    quint32 version = 0;
    in >> version;
    if (in.status() != QDataStream::Ok || version > quint32(FormatVersion))
        return false;

    QByteArray payload;
    if (!readBoundedBytes(in, MaxPayloadBytes, payload))
        return false;
    ReadProblem problem = ReadProblem::None;
    if (!decodePayload(payload, dive, problem))
        return refuse(problem);
    return true;
}

bool BinaryFile::readDive(const QString& path, Dive& dive)
{
    clearReadProblem();
    QByteArray contents;
    if (!readFileCapped(path, FrameBytes + MaxPayloadBytes, contents))
        return refuseUnread(path);
    QDataStream in(contents);
    if (readStream(in, dive))
        return true;
    if (readProblem() == ReadProblem::None)
        return refuse(ReadProblem::Damaged);
    return false;
}

bool BinaryFile::writeStream(QDataStream& out, const Dive& dive)
{
    if (dive.lines.size() > MaxLines)
        return false;
    const QByteArray payload = encodePayload(dive);
    // Never write what the reader would refuse.
    if (payload.size() > qsizetype(MaxPayloadBytes))
        return false;
    out.setVersion(StreamVersion);
    out.setByteOrder(QDataStream::BigEndian);
    out << magic() << FormatVersion << payload;
    return out.status() == QDataStream::Ok;
}

bool BinaryFile::writeDive(const QString& path, const Dive& dive)
{
    return saveFileAtomically(path, [&](QIODevice& device) {
        QDataStream out(&device);
        return writeStream(out, dive);
    });
}
