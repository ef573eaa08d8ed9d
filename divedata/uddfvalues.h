#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The text forms of UDDF values that need more than a number: date-times and
// element ids.
namespace UddfValues {

// Reads a date-time as other programs write it, with surrounding blanks
// allowed:
//   "2025-03-21T12:20:48Z", "2025-07-02T17:04:28.000+02:00", "...-0530":
//       a UTC-based time, converted exactly (fractions of a second dropped);
//   "2014-04-02T10:00:00", "2014-04-02 10:00", no zone: local time;
//   "2004-09-30", a bare date: midnight local time.
// False for any other text, and for fields out of range (month 13, 31 April,
// hour 25, offset beyond 14 h); `secs` is then untouched.
bool parseDateTime(QByteArrayView text, qint64& secs);

// The UTC form "yyyy-MM-ddTHH:mm:ssZ" of a time in seconds since the epoch;
// the epoch itself for a time outside the years 1 to 9999.
QByteArray formatDateTime(qint64 secs);

// Element ids are XML names (xs:ID): a letter or '_' first, then letters,
// digits, '-', '.', '_', and unique in the document. A dive's name is written
// as its id, so a name that is not such a name ("17", "Dive 17", "Zoé") has
// each character that may not stand where it is written as "_xHHHH_" (its
// UTF-16 code in hex); an '_' followed by 'x' is escaped the same way so that
// decoding is unambiguous. When the result equals one of `taken`, its first
// character is escaped too. The empty text gives "_", which cannot clash
// with an escaped name.
QByteArray encodeId(const QString& text, const QList<QByteArray>& taken = {});
// The reverse: every "_xHHHH_" becomes its character; other text is kept, so
// ids of other programs read as written.
QString decodeId(QByteArrayView id);

} // namespace UddfValues
