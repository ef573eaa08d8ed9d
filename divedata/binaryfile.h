#pragma once

#include "divedata/divelinesio.h"

#include <QByteArray>

// ".divebin": a Qt data stream (format version 20, big-endian) holding the
// magic "SondrelBinaryFile" as a byte array, the 32-bit version 1 and, as a
// second byte array, the CBOR encoding of the dive's JSON form (divejson.h).
class BinaryFile : public DiveLinesIO
{
public:
    static constexpr int StreamVersion = 20; // QDataStream::Qt_6_0
    static constexpr qint32 FormatVersion = 1;
    // Largest payload read or written: about 200,000 profile lines, far
    // beyond any real dive; anything larger is refused before it is loaded.
    static constexpr quint32 MaxPayloadBytes = 64u * 1024u * 1024u;

    static QByteArray magic();

    // False on a wrong magic, a version other than 0 or 1, a truncated
    // stream, an oversized payload, a payload that is not one CBOR map
    // (divecbor.h), more than DiveFileLimits::MaxGases gases, no profile line
    // or a profile outside DiveFileLimits. A dive without a name gets
    // DiveFileLimits::defaultDiveName(). The dive is only changed on success.
    bool readStream(QDataStream& in, Dive& dive) override;
    bool readDive(const QString& path, Dive& dive) override;
    bool writeStream(QDataStream& out, const Dive& dive) override;
    // Replaces the file atomically; false leaves any previous file intact.
    bool writeDive(const QString& path, const Dive& dive) override;
    int typeCode() const override { return DiveFileType::Binary; }

    // The payload alone, for callers that frame it themselves.
    static QByteArray encodePayload(const Dive& dive);
    static bool decodePayload(const QByteArray& payload, Dive& dive);
    static bool decodePayload(const QByteArray& payload, Dive& dive, ReadProblem& problem);
};
