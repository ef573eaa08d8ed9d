#pragma once

#include <QChar>
#include <QJsonObject>
#include <QList>
#include <QString>

struct Dive;

namespace divetool {

// The dive file formats the tool reads and writes: those whose handler does
// both by path. Their suffixes as a list: ".csv, .uddf or .divebin".
bool isDiveFileType(int type);
QString diveFileSuffixes();

// Reads the first dive of the file at path with the reader its suffix selects
// and rebuilds the dive's derived values. On false the dive is unspecified
// and `problem` says in one line what is wrong with the file (a file from
// which no profile line was read is refused).
bool readDiveFile(const QString& path, Dive& dive, QString& problem);
// The same for every dive the file holds (a UDDF logbook holds several);
// they are appended to `dives`.
bool readDiveFiles(const QString& path, QList<Dive>& dives, QString& problem);

// Writes the dive in the format of the path's suffix, replacing the file as a
// whole or not at all. `csvSeparator` is the field separator of a CSV export
// (a null QChar keeps the writer's own).
bool writeDiveFile(const QString& path, const Dive& dive, QChar csvSeparator, QString& problem);

// "comma", "dot" or "semicolon" (or the character itself).
bool parseCsvSeparator(const QString& text, QChar& separator);

// What `info` and `db show` print of a dive. The logbook fields (place, site,
// buddy, gradient factors, water, surface pressure, sample interval) are added
// when asked for.
QJsonObject diveSummaryJson(const Dive& dive, bool logbookFields);
QString diveSummaryText(const Dive& dive, bool logbookFields);

} // namespace divetool
