#pragma once

#include "divedata/divelinesio.h"

#include <QByteArray>

// ".uddf": writes one dive as a UDDF 3.2 document (valid against the 3.2.3
// schema) and reads the first dive of a UDDF document, including the forms
// other dive logs and dive computers write (decimal times, zoned date-times,
// several dives, unknown elements).
class UddfFile : public DiveLinesIO
{
public:
    // Largest document read. A document of MaxLines verbose waypoints stays
    // below it; the parsed tree takes at most about sixteen times the
    // document, so the cap bounds the memory a hostile file can take.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // The gases, the computer's name and serial, the first dive's id (as the
    // name), date and profile. False when the file cannot be read or parsed,
    // has no uddf root or no dive, yields no profile line or more than
    // MaxLines; the dive is then left as it was.
    bool readDive(const QString& path, Dive& dive) override;
    // Replaces the file atomically; false leaves any previous file intact.
    // False for a dive of more than MaxLines lines (never written what the
    // reader would refuse).
    bool writeDive(const QString& path, const Dive& dive) override;
    int typeCode() const override { return DiveFileType::Uddf; }

    // The document as the file holds it.
    static QByteArray toDocument(const Dive& dive);
    // readDive on a document in memory; the bytes are parsed in place.
    static bool readDocument(QByteArray document, Dive& dive);
};
