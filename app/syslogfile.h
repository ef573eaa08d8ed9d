#pragma once

#include "corvane/protocol/kelvorecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The two forms of a ".syslog" file: the text log of older computers, with a
// header, UTF-8 encoded and then Base64 encoded as a whole; and the binary
// records of newer ones after the marker "SysLogBinary".
namespace SyslogFile {

// Bytes of the text form. `extraction` is shown in local time.
QByteArray textForm(const QDateTime& extraction, const QString& computerModel, const QString& serialNumber,
                    const QString& log);

// Bytes of the binary form: the 12-byte marker, then 24 little-endian bytes
// per record (time u64, type u8, three zero bytes, value1 u32, value2 u32,
// four zero bytes).
QByteArray binaryForm(const QList<SyslogBinRecord>& records);

// Replaces the file at `path` as a whole or not at all; false leaves any
// previous file as it was.
bool write(const QString& path, const QByteArray& bytes);

} // namespace SyslogFile
