#include "app/divelistbuilder.h"

#include <cmath>

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
            row.cells[1] = dive.dateTime.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
            row.cells[2] = durationText(dive.duration);
            row.cells[3] = QStringLiteral("%1m").arg(dive.maxDepth, 0, 'f', 1);
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

QString DiveListBuilder::durationText(double seconds)
{
    // Whole seconds; a negative or unreadable duration shows as zero.
    const qint64 total = std::isfinite(seconds) && seconds > 0.0 ? qint64(seconds) : 0;
    const QChar zero(u'0');
    const qint64 minutes = (total / 60) % 60;
    const qint64 secs = total % 60;
    if (total < 3600)
        return QStringLiteral("%1:%2").arg(minutes, 2, 10, zero).arg(secs, 2, 10, zero);
    return QStringLiteral("%1:%2:%3").arg(total / 3600, 2, 10, zero).arg(minutes, 2, 10, zero).arg(secs, 2, 10, zero);
}

QStringList DiveListBuilder::columnTitles()
{
    return {tr("Dive Id"), tr("Date/Time"), tr("Duration"), tr("Depth")};
}
