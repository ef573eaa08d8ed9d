#include "corvane/protocol/syslogtext.h"

#include <QLatin1String>

namespace {

// 9999-12-31 23:59:59 UTC: the last second a four-digit year can show.
constexpr quint64 kLastPrintableSecond = 253402300799ULL;

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// "yyyy-MM-dd hh:mm:ss " in UTC, or the raw number and a blank when the
// value is past the year 9999.
QString timeStamp(quint64 seconds)
{
    if (seconds > kLastPrintableSecond)
        return QString::number(seconds) + QLatin1Char(' ');
    const qint64 secs = qint64(seconds);
    // Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
    const qint64 z = secs / 86400 + 719468;
    const qint64 era = z / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 mp = (5 * dayOfYear + 2) / 153;
    const qint64 day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const qint64 month = mp < 10 ? mp + 3 : mp - 9;
    const qint64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const qint64 secondOfDay = secs % 86400;
    return QStringLiteral("%1-%2-%3 %4:%5:%6 ")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(twoDigits(month), twoDigits(day), twoDigits(secondOfDay / 3600), twoDigits(secondOfDay / 60 % 60),
             twoDigits(secondOfDay % 60));
}

// The date some records carry in the low 16 bits of both values.
QString packedDate(const SyslogBinRecord& r)
{
    return timeStamp((quint64(r.value2 & 0xFFFF) << 16) | quint64(r.value1 & 0xFFFF));
}

QString duration(quint32 seconds)
{
    const QString minutesSeconds = twoDigits(seconds / 60 % 60) + QLatin1Char(':') + twoDigits(seconds % 60);
    return seconds < 3600 ? minutesSeconds : twoDigits(seconds / 3600) + QLatin1Char(':') + minutesSeconds;
}

// Events that carry no value, by type; empty where the type has values.
const char* const kPlainTexts[73] = {
    nullptr, nullptr, "RTC: Failed to read register", "RTC: Time invalid", "RTC: Set to default", nullptr,
    nullptr, nullptr, "No offgasing with no reduction", "Lost time", "Computer not restored",
    "No surface interval", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, "Emergency set time", "Diver invalidated by tick load", nullptr, nullptr, nullptr, nullptr,
    "-------------------- Power down --------------------", "Begin dive", "Begin logging", "End logging",
    "End dive", "Oversize packet", "Writing bad diver", "Bad data in diver", nullptr, "Startup: Tamb fail",
    "Startup: Pamb fail", "Stop mode timeout, power off", "Manual end dive", "Computer restored",
    "Diver restored", "Diver not restored", "RTC restored", "RTC not restored", nullptr, nullptr, nullptr,
    nullptr, "End of interval yoyo 20H", "End of interval CNC 12H", "End of interval Gauge 12H",
    "Computer end during dive", "---------- to bootloader ----------", nullptr, nullptr,
    "Dive with yoyo, start 20H period", "Gauge dive, start 12H period", "Dive with CNC, start 12H period",
    nullptr, "PACKET OVERRUN", "CORRUPT PACKET", "READ TIMEOUT", "MONITOR TIMEOUT", "Read computer: bad data",
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

QString eventText(const SyslogBinRecord& r)
{
    const quint32 a = r.value1;
    const quint32 b = r.value2;
    if (r.type < 73 && kPlainTexts[r.type])
        return QLatin1String(kPlainTexts[r.type]);
    switch (r.type) {
    case 0: return QStringLiteral("Start battery with %1mV").arg(a);
    case 1: return QStringLiteral("Check battery: Current=%1, Last=%2").arg(a).arg(b);
    case 5: return QStringLiteral("Offgasing %1% reduction during %2h %3mn").arg(a).arg(b / 60).arg(b % 60);
    case 6: return QStringLiteral("No offgasing %1% reduction").arg(a);
    case 7: return QStringLiteral("Offgasing with no reduction during %1h %2mn").arg(a).arg(b);
    case 12: return QStringLiteral("Surface date time: ") + packedDate(r);
    case 13: return QStringLiteral("Load inert from: ") + packedDate(r);
    case 14: return QStringLiteral("Load inert to: ") + packedDate(r);
    case 15: return QStringLiteral("Diver reset (%1mb)").arg(a);
    case 16: return QStringLiteral("Wet startup %1mb (%2mb)").arg(a).arg(b);
    case 17: return QStringLiteral("Dry startup %1mb (%2mb)").arg(a).arg(b);
    case 18: return QStringLiteral("AI transmitter %1 timed out").arg(a);
    case 19: return QStringLiteral("Automatic change to bottom setpoint at %1m").arg(a);
    case 20: return QStringLiteral("Automatic change to deco setpoint at %1m").arg(a);
    case 21: return QStringLiteral("Automatic change to surface setpoint at %1m").arg(a);
    case 22: return QStringLiteral("Cancel deco setpoint and change to bottom setpoint at %1m").arg(a);
    case 25: return QStringLiteral("pamb %1 to %2").arg(a).arg(b);
    case 26: return QStringLiteral("gas %1/%2").arg(a).arg(b);
    case 27: return QStringLiteral("Setpoint %1").arg(a);
    case 28: return QStringLiteral("Pressure %1").arg(a);
    // Kept 64 bits wide so that no bit of value2 is lost.
    case 37: return QStringLiteral("Erase block 0x%1").arg((quint64(b) << 16) | a, 0, 16);
    case 47: return QStringLiteral("Startup at %1mb").arg(a);
    case 48: return QStringLiteral("Dive with yoyo since: ") + duration(a);
    case 49: return QStringLiteral("Number of previous dives since 24H: %1").arg(a);
    case 50: return QStringLiteral("Invalid depth calculated with pamb %1").arg(a);
    case 56: return QStringLiteral("Begin consecutive dive at: ") + packedDate(r);
    case 57: return QStringLiteral("End dive at: ") + packedDate(r);
    case 61: return QStringLiteral("End logging at: ") + packedDate(r);
    case 67: return QStringLiteral("Read computer: versions %1 current %2").arg(a).arg(b);
    case 68:
        return QStringLiteral("read computer: header %1 %2 footer %3 %4")
            .arg(a >> 8)
            .arg(a & 15)
            .arg(b >> 8)
            .arg(b & 15);
    case 69: return QStringLiteral("First dive: %1 Count: %2").arg(a).arg(b);
    case 70: return QStringLiteral("RTC power on reset flag: %1").arg(a);
    case 71: return QStringLiteral("RTC backup config written to eeprom: %1 -> %2").arg(a).arg(b);
    case 72: return QStringLiteral("RTC backup config eeprom write failed: %1 -> %2").arg(a).arg(b);
    default: return QStringLiteral("Unknow type %1").arg(r.type);
    }
}

} // namespace

QString convertSyslogRecord(const SyslogBinRecord& record, bool withoutTime)
{
    const QString text = eventText(record);
    return withoutTime ? text : timeStamp(record.time) + text;
}
