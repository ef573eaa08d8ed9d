#pragma once

#include "divedata/divelinesio.h"

#include <QByteArray>

// ".uddf": writes one dive as a UDDF 3.2 document (valid against the 3.2.3
// schema) and reads the dives of a UDDF document, including the forms other
// dive logs and dive computers write (decimal times, zoned date-times,
// several dives, dives without samples, unknown elements).
class UddfFile : public DiveLinesIO
{
public:
    // Largest document read. A document of MaxLines verbose waypoints stays
    // below it; the parsed tree takes at most about sixteen times the
    // document, so the cap bounds the memory a hostile file can take.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // The gases, the computer's name and serial, and the id (as the name;
    // DiveFileLimits::defaultDiveName() when empty), date and profile of the
    // first dive that has samples. False when the file cannot be read or
    // parsed, has no uddf root, no dive with a profile line, more than
    // MaxLines or a profile outside DiveFileLimits; the dive is then left as
    // it was.
    bool readDive(const QString& path, Dive& dive) override;
    // Every dive that has samples, in document order, each as readDive reads
    // the first; their lines together stay within MaxLines. Dives past
    // DiveFileLimits::MaxDives are not read.
    bool readDives(const QString& path, QList<Dive>& dives) override;
    // Replaces the file atomically; false leaves any previous file intact.
    // False for a dive of more than MaxLines lines (never written what the
    // reader would refuse).
    bool writeDive(const QString& path, const Dive& dive) override;
    int typeCode() const override { return DiveFileType::Uddf; }

    // The document as the file holds it.
    static QByteArray toDocument(const Dive& dive);
    // readDive on a document in memory; the bytes are parsed in place.
    static bool readDocument(QByteArray document, Dive& dive);
    // Appends up to maxDives dives that have samples, each starting from
    // `base`; false (nothing appended, `problem` set) as readDive would be.
    static bool readDocumentDives(QByteArray document, const Dive& base, qsizetype maxDives, QList<Dive>& dives,
                                  ReadProblem& problem);

private:
    bool readFile(const QString& path, const Dive& base, qsizetype maxDives, QList<Dive>& dives);
};
