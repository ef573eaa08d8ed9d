#include "app/divelistbuilder.h"

#include "divedata/dive.h"

#include <algorithm>
#include <cmath>

namespace {

// The list formats thousands of dates and durations on every refill: plain
// digits into a buffer, without QDateTime's and QString::arg's general
// formatting machinery.
void putTwoDigits(char*& out, int value)
{
    *out++ = char('0' + (value / 10) % 10);
    *out++ = char('0' + value % 10);
}

// "dd/MM/yyyy hh:mm:ss" of the date-time as it stands (local, with its offset).
QString listDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return QString();
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const int year = date.year();
    if (year < 0 || year > 9999)
        return dateTime.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    char buffer[19];
    char* out = buffer;
    putTwoDigits(out, date.day());
    *out++ = '/';
    putTwoDigits(out, date.month());
    *out++ = '/';
    putTwoDigits(out, year / 100);
    putTwoDigits(out, year % 100);
    *out++ = ' ';
    putTwoDigits(out, time.hour());
    *out++ = ':';
    putTwoDigits(out, time.minute());
    *out++ = ':';
    putTwoDigits(out, time.second());
    return QString::fromLatin1(buffer, int(sizeof(buffer)));
}

} // namespace

QList<DiveListRow> DiveListBuilder::rows(const QList<DiveListEntry>& dives)
{
    QList<DiveListRow> result;
    result.reserve(dives.size() + 8);
    qsizetype groupStart = 0;
    while (groupStart < dives.size()) {
        const QString& serial = dives.at(groupStart).serial;
        qsizetype groupEnd = groupStart + 1;
        while (groupEnd < dives.size() && dives.at(groupEnd).serial == serial)
            ++groupEnd;

        const DiveListEntry& first = dives.at(groupStart);
        DiveListRow header;
        header.header = true;
        const QString computer = first.computerName.isEmpty() ? tr("No name") : first.computerName;
        header.cells[0] = computer + QStringLiteral(" - ") + serial + QStringLiteral(" - ")
            + tr("%1 dives").arg(groupEnd - groupStart);
        result.append(std::move(header));

        for (qsizetype i = groupStart; i < groupEnd; ++i) {
            const DiveListEntry& dive = dives.at(i);
            DiveListRow row;
            row.diveId = dive.diveId;
            row.cells[0] = dive.name;
            row.cells[1] = listDateTime(dive.dateTime);
            row.cells[2] = Dive::formatDuration(dive.duration);
            row.cells[3] = QStringLiteral("%1m").arg(dive.maxDepth);
            result.append(std::move(row));
        }
        groupStart = groupEnd;
    }
    return result;
}

QString DiveListBuilder::countLabel(int computers, int dives)
{
    return QStringLiteral("%1 %2 / %3 %4")
        .arg(computers)
        .arg(computers > 1 ? tr("Computers") : tr("Computer"))
        .arg(dives)
        .arg(tr("Dives"));
}

QStringList DiveListBuilder::columnTitles()
{
    return {tr("Dive Id"), tr("Date/Time"), tr("Duration"), tr("Depth")};
}
