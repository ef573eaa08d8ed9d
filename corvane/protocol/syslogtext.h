#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/protocol/kelvorecords.h"

#include <QString>

// One English text line for a binary system log record: the record's UTC
// time stamp "yyyy-MM-dd hh:mm:ss " (left out when `withoutTime`) followed by
// the event text of its type. A time too large for a four-digit year is
// printed as the raw number of seconds instead, followed by a blank.
CORVANE_EXPORT QString convertSyslogRecord(const SyslogBinRecord& record, bool withoutTime);
