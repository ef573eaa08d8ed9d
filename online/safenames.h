#pragma once

#include <QString>

class QUrl;

// Names that come from a server become local file names only through these
// functions: whatever the server says, the result is one plain name inside
// the folder it is joined to.
namespace SafeNames {

// `name` itself when it is a plain base name: not empty, no '/' or '\\', no
// ':' , no control characters, not "." or "..", not starting with "..", at
// most 255 UTF-16 units. Empty when refused.
QString plainBaseName(const QString& name);

// The last path segment of `url`, percent-decoded, as a plain base name
// (empty when there is none or it is refused).
QString fileNameOfUrl(const QUrl& url);

// The local name of a published firmware image: the publication time with
// "T" and "Z" turned into "_" and ":" into "-", "_", then the repository file
// name ("2024-05-01_10-00-00__K2.1.4.2.b.bin"); just the file name when the
// time is empty. Empty when the result is not a plain base name.
QString localFirmwareName(const QString& file, const QString& dateTime);

} // namespace SafeNames
