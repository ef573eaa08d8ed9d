#include "divedata/uddfvalues.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <cstdio>

namespace {

// Reads the digits of text[at .. at+count) as a number; false when one of
// them is not a digit or the text is too short.
bool digits(QByteArrayView text, qsizetype at, int count, int& value)
{
    if (at + count > text.size())
        return false;
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text.at(at + i);
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
qint64 daysFromCivil(int year, int month, int day)
{
    const qint64 y = month <= 2 ? year - 1 : year;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void appendEscape(QByteArray& out, char16_t c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "_x%04X_", unsigned(c));
    out.append(buffer, 7);
}

} // namespace

namespace UddfValues {

bool parseDateTime(QByteArrayView text, qint64& secs)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);

    int year = 0, month = 0, day = 0;
    if (!digits(text, 0, 4, year) || text.size() < 10 || text.at(4) != '-' || !digits(text, 5, 2, month)
        || text.at(7) != '-' || !digits(text, 8, 2, day))
        return false;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return false;

    int hour = 0, minute = 0, second = 0;
    qsizetype at = 10;
    if (at < text.size()) {
        if (text.at(at) != 'T' && text.at(at) != ' ')
            return false;
        if (!digits(text, at + 1, 2, hour) || at + 3 >= text.size() || text.at(at + 3) != ':'
            || !digits(text, at + 4, 2, minute))
            return false;
        at += 6;
        if (at < text.size() && text.at(at) == ':') {
            if (!digits(text, at + 1, 2, second))
                return false;
            at += 3;
            if (at < text.size() && text.at(at) == '.') {
                ++at;
                const qsizetype first = at;
                while (at < text.size() && text.at(at) >= '0' && text.at(at) <= '9')
                    ++at;
                if (at == first)
                    return false;
            }
        }
        // 24:00:00 is the end of the day; 60 a leap second.
        const bool endOfDay = hour == 24 && minute == 0 && second == 0;
        if ((hour > 23 && !endOfDay) || minute > 59 || second > 60)
            return false;
    }

    const qint64 timeOfDay = qint64(hour) * 3600 + minute * 60 + second;
    if (at == text.size()) {
        // No zone: local time. QTime takes neither 24:00 nor a leap second,
        // so the seconds beyond 23:59:59 are added after the conversion.
        const int clampedHour = std::min(hour, 23);
        const int clampedSecond = std::min(second, 59);
        const QDateTime local(QDate(year, month, day), QTime(clampedHour, minute, clampedSecond), Qt::LocalTime);
        if (!local.isValid())
            return false;
        const qint64 beyond = timeOfDay - (qint64(clampedHour) * 3600 + minute * 60 + clampedSecond);
        secs = local.toSecsSinceEpoch() + beyond;
        return true;
    }

    qint64 offset = 0;
    const char zone = text.at(at);
    if (zone == 'Z' && at + 1 == text.size()) {
        offset = 0;
    } else if (zone == '+' || zone == '-') {
        int offsetHours = 0, offsetMinutes = 0;
        if (!digits(text, at + 1, 2, offsetHours))
            return false;
        qsizetype end = at + 3;
        if (end < text.size() && text.at(end) == ':')
            ++end;
        if (end < text.size()) {
            if (!digits(text, end, 2, offsetMinutes))
                return false;
            end += 2;
        }
        if (end != text.size() || offsetHours > 14 || offsetMinutes > 59)
            return false;
        offset = (zone == '-' ? -1 : 1) * (qint64(offsetHours) * 3600 + offsetMinutes * 60);
    } else {
        return false;
    }
    secs = daysFromCivil(year, month, day) * 86400 + timeOfDay - offset;
    return true;
}

QByteArray formatDateTime(qint64 secs)
{
    // Years 1 to 9999 keep the four-digit form the schema reads.
    constexpr qint64 first = Q_INT64_C(-62135596800); // 0001-01-01T00:00:00Z
    constexpr qint64 last = Q_INT64_C(253402300799);  // 9999-12-31T23:59:59Z
    if (secs < first || secs > last)
        secs = 0;
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
    return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toLatin1();
}

QByteArray encodeId(const QString& text, const QList<QByteArray>& taken)
{
    const auto encode = [&text](bool escapeFirst) {
        QByteArray out;
        out.reserve(text.size() + 8);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            const bool nameStart = isAsciiLetter(c) || c == u'_';
            const bool nameChar = nameStart || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
            const bool startsEscape = c == u'_' && i + 1 < text.size() && text.at(i + 1) == u'x';
            const bool allowed = i == 0 ? nameStart && !escapeFirst : nameChar;
            if (allowed && !startsEscape)
                out.append(char(c));
            else
                appendEscape(out, c);
        }
        return out;
    };
    if (text.isEmpty())
        return QByteArrayLiteral("_");
    QByteArray id = encode(false);
    if (taken.contains(id))
        id = encode(true);
    return id;
}

QString decodeId(QByteArrayView id)
{
    QString out;
    out.reserve(id.size());
    qsizetype i = 0;
    while (i < id.size()) {
        if (id.at(i) == '_' && i + 6 < id.size() && id.at(i + 1) == 'x' && id.at(i + 6) == '_') {
            int code = 0;
            bool hex = true;
            for (int k = 2; k < 6 && hex; ++k) {
                const int h = hexValue(id.at(i + k));
                hex = h >= 0;
                code = code * 16 + h;
            }
            if (hex) {
                out.append(QChar(char16_t(code)));
                i += 7;
                continue;
            }
        }
        // Copy the run up to the next '_' as UTF-8.
        qsizetype end = i + 1;
        while (end < id.size() && id.at(end) != '_')
            ++end;
        out.append(QString::fromUtf8(id.sliced(i, end - i)));
        i = end;
    }
    return out;
}

} // namespace UddfValues
