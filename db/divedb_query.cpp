// Finding and listing stored dives.

#include "db/divedb.h"
#include "db/divedbtransaction.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <iterator>
#include <ctime>

namespace {

QSqlDatabase connection()
{
    return QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
}

// The per-dive summary that keeps the dive list from reading every profile:
// two columns of the dive's own row, listDuration and listMaxDepth, holding
// MAX(time) and MAX(depth) of its profile rows; NULL means not known yet, and
// the list computes and stores it. A dive row starts without them whoever
// stores it, so an id used again by another program needs nothing. Triggers
// on the profiles, which every program writing the file runs, clear them when
// a profile row is changed or deleted. They touch no table but dives, which
// no writer of a logbook can do without: another program can never make them
// fail (a trigger's body is compiled with the statement that fires it, and a
// missing table would fail that statement). Profile rows are only ever
// inserted right after their dive row, so inserting them needs no trigger; a
// per-row trigger there would make every line insert keep a statement
// journal, tripling the cost of storing a dive inside a caller's transaction.
const char* const kSummaryColumns[] = {"listDuration", "listMaxDepth"};
const char* const kSummaryTriggers[] = {
    "CREATE TRIGGER IF NOT EXISTS divelist_profileupdate AFTER UPDATE OF diveid, time, depth ON profiles "
    "BEGIN UPDATE dives SET listDuration=NULL, listMaxDepth=NULL "
    "WHERE diveid IN (old.diveid, new.diveid) AND listDuration IS NOT NULL; END",
    "CREATE TRIGGER IF NOT EXISTS divelist_profiledelete AFTER DELETE ON profiles "
    "BEGIN UPDATE dives SET listDuration=NULL, listMaxDepth=NULL "
    "WHERE diveid=old.diveid AND listDuration IS NOT NULL; END",
};
// Earlier versions kept the summaries in a table of their own, with triggers
// on dives and profiles writing into it. Those triggers made every insert of
// another program fail once that program had dropped the table: table and
// triggers go when the columns are made.
const char* const kOldSummaryObjects[] = {
    "DROP TRIGGER IF EXISTS divesummary_newdive", "DROP TRIGGER IF EXISTS divesummary_update",
    "DROP TRIGGER IF EXISTS divesummary_delete", "DROP TABLE IF EXISTS divesummary",
};

// The local start of a dive as a date-time that carries its UTC offset. Qt
// re-reads the system time zone (a stat() of /etc/localtime) for every
// local-time date-time it builds, which took half the time of listing 5,000
// dives; the C library is asked once per listing (tzset() in listDives) and
// then converts in memory. The date-time shows the same local date and time
// and compares as the same instant.
QDateTime localStart(qint64 secs)
{
#if defined(Q_OS_UNIX)
    const time_t t = time_t(secs);
    std::tm local{};
    if (qint64(t) == secs && localtime_r(&t, &local))
        return QDateTime::fromSecsSinceEpoch(secs, Qt::OffsetFromUTC, int(local.tm_gmtoff));
#endif
    return QDateTime::fromSecsSinceEpoch(secs);
}

// A dive of the list with what sorting and filtering need besides the entry.
struct ListedDive
{
    DiveListEntry entry;
    qint64 startSecs = 0;
    bool summarised = false;
};

// True when a local time of day (ms) lies in the range; a range whose start
// is after its end runs through midnight.
bool inTimeRange(int timeOfDay, int start, int end)
{
    if (start <= end)
        return timeOfDay >= start && timeOfDay <= end;
    return timeOfDay >= start || timeOfDay <= end;
}

// Keeps statements from waiting for another program's lock while it lives:
// for writes the logbook can do without (the list's summaries), which are
// simply left for a later time when the file is locked.
class NoBusyWait
{
public:
    explicit NoBusyWait(const QSqlDatabase& db)
        : m_db(db)
    {
        QSqlQuery pragma(m_db);
        if (pragma.exec(QStringLiteral("PRAGMA busy_timeout")) && pragma.next())
            m_timeout = pragma.value(0).toInt();
        if (m_timeout > 0)
            QSqlQuery(m_db).exec(QStringLiteral("PRAGMA busy_timeout = 0"));
    }
    ~NoBusyWait()
    {
        if (m_timeout > 0)
            QSqlQuery(m_db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(m_timeout));
    }
    NoBusyWait(const NoBusyWait&) = delete;
    NoBusyWait& operator=(const NoBusyWait&) = delete;

private:
    QSqlDatabase m_db;
    int m_timeout = -1;
};

int compareColumn(const ListedDive& a, const ListedDive& b, int column)
{
    const auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (column) {
    case DiveDb::ByDate:
        return cmp(a.startSecs, b.startSecs);
    case DiveDb::ByDuration:
        return cmp(a.entry.duration, b.entry.duration);
    case DiveDb::ByMaxDepth:
        return cmp(a.entry.maxDepth, b.entry.maxDepth);
    default:
        return 0;
    }
}

} // namespace

bool DiveDb::listCacheReady()
{
    if (mListCache != CacheUnknown)
        return mListCache == CacheReady;
    if (mReadOnly) {
        mListCache = CacheUnavailable;
        return false;
    }
    QSqlDatabase db = connection();

    // Ready when both columns and both triggers are there and no table or
    // trigger of the earlier design is left.
    QSqlQuery present(db);
    present.setForwardOnly(true);
    int columns = -1;
    int triggers = -1;
    int old = -1;
    if (present.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM pragma_table_info('dives') "
                                    "WHERE name IN ('listDuration', 'listMaxDepth')), "
                                    "(SELECT COUNT(*) FROM sqlite_master WHERE type='trigger' "
                                    "AND name IN ('divelist_profileupdate', 'divelist_profiledelete')), "
                                    "(SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'divesummary%')"))
        && present.next()) {
        columns = present.value(0).toInt();
        triggers = present.value(1).toInt();
        old = present.value(2).toInt();
    }
    present.finish();
    if (columns < 0) {
        mListCache = CacheUnavailable;
        return false;
    }
    if (columns == int(std::size(kSummaryColumns)) && triggers == int(std::size(kSummaryTriggers)) && old == 0) {
        mListCache = CacheReady;
        return true;
    }

    // Made together or not at all, and only in a transaction of their own:
    // made inside a caller's transaction they could vanish in its rollback
    // while this object counted on them. BEGIN fails inside a transaction;
    // the objects are then made by a later call. When a trigger was missing,
    // profiles may have changed unseen: stored summaries are cleared. Nor is
    // another program's write lock waited for (it may be held for as long as
    // that program likes): the list reads each profile meanwhile.
    bool began = false;
    {
        const NoBusyWait noWait(db);
        began = QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    if (!began)
        return false;
    bool done = true;
    for (const char* column : kSummaryColumns)
        done = done && addColumnIfMissing(QStringLiteral("dives"), QLatin1String(column), Real);
    for (const char* statement : kOldSummaryObjects)
        done = done && QSqlQuery(db).exec(QLatin1String(statement));
    for (const char* statement : kSummaryTriggers)
        done = done && QSqlQuery(db).exec(QLatin1String(statement));
    if (done && triggers != int(std::size(kSummaryTriggers)))
        done = QSqlQuery(db).exec(QStringLiteral("UPDATE dives SET listDuration=NULL, listMaxDepth=NULL "
                                                 "WHERE listDuration IS NOT NULL OR listMaxDepth IS NOT NULL"));
    if (done)
        done = QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    if (!done) {
        // A read-only logbook lists its dives all the same, reading each profile.
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        mListCache = CacheUnavailable;
        return false;
    }
    mListCache = CacheReady;
    return true;
}

int DiveDb::findDiveId(const QString& name, const QString& serial)
{
    if (!isOpen())
        return -1;
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT diveid FROM dives WHERE name=:name AND serial=:serial")))
        return -1;
    query.bindValue(QStringLiteral(":name"), name);
    query.bindValue(QStringLiteral(":serial"), serial);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

QList<quint16> DiveDb::storedDiveNumbers(const QString& serial)
{
    QList<quint16> numbers;
    if (!isOpen())
        return numbers;
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT diveNumber FROM dives WHERE serial=:serial AND diveNumber > 0")))
        return numbers;
    query.bindValue(QStringLiteral(":serial"), serial);
    if (!query.exec())
        return numbers;
    while (query.next())
        numbers.append(quint16(query.value(0).toInt()));
    return numbers;
}

void DiveDb::serialsAndComputers(QStringList& serials, QStringList& computers)
{
    serials.clear();
    computers.clear();
    if (!isOpen())
        return;
    QSqlDatabase db = connection();
    QSqlQuery serialQuery(db);
    serialQuery.setForwardOnly(true);
    if (!serialQuery.exec(QStringLiteral("SELECT DISTINCT serial FROM dives ORDER BY serial")))
        return;
    while (serialQuery.next())
        serials.append(serialQuery.value(0).toString());
    serialQuery.finish();

    QSqlQuery names(db);
    names.setForwardOnly(true);
    const bool prepared =
        names.prepare(QStringLiteral("SELECT DISTINCT computer FROM dives WHERE serial=:serial ORDER BY computer"));
    for (const QString& serial : std::as_const(serials)) {
        QStringList found;
        if (prepared) {
            names.bindValue(QStringLiteral(":serial"), serial);
            if (names.exec()) {
                while (names.next())
                    found.append(names.value(0).toString());
            }
        }
        computers.append(found.join(QStringLiteral(", ")));
    }
}

QList<DiveListEntry> DiveDb::listDives(const DiveFilter& filter, int column, bool descending, int& computerCount)
{
    computerCount = 0;
    QList<DiveListEntry> result;
    if (!isOpen())
        return result;
    bool summaries = listCacheReady();
    QSqlDatabase db = connection();
    DbTransaction snapshot(db);

    // The condition carries no value of the filter in its text: serials and
    // bounds are bound as parameters.
    QStringList conditions;
    QVariantList parameters;
    // A computer restriction that keeps no serial keeps no dive.
    if (filter.byComputer && filter.serials.isEmpty())
        conditions.append(QStringLiteral("0"));
    if (filter.byComputer && !filter.serials.isEmpty()) {
        QStringList alternatives;
        for (const QString& serial : filter.serials) {
            alternatives.append(QStringLiteral("d.serial=?"));
            parameters.append(serial);
        }
        conditions.append(QLatin1Char('(') + alternatives.join(QStringLiteral(" OR ")) + QLatin1Char(')'));
    }
    // Whole days, in local time, from the start date to the end date included.
    if (filter.byDate) {
        const QDate first = filter.startDate.date();
        if (first.isValid()) {
            conditions.append(QStringLiteral("d.datetime>=?"));
            parameters.append(qlonglong(first.startOfDay().toSecsSinceEpoch()));
        }
        const QDate last = filter.endDate.date();
        if (filter.hasEndDate && last.isValid()) {
            conditions.append(QStringLiteral("d.datetime<?"));
            parameters.append(qlonglong(last.addDays(1).startOfDay().toSecsSinceEpoch()));
        }
    }
    const bool byTime = filter.byDate && filter.byTime;
    const int timeStart = filter.startTime.msecsSinceStartOfDay();
    const int timeEnd = filter.endTime.msecsSinceStartOfDay();

    const QString where =
        conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Without the summary columns the dives are listed all the same, reading
    // each profile.
    if (!summaries
        || !query.prepare(QStringLiteral("SELECT d.diveid, d.name, d.serial, d.datetime, d.computer, d.gfslow, "
                                         "d.gfshigh, d.listDuration, d.listMaxDepth, d.listDuration IS NOT NULL "
                                         "FROM dives d")
                           + where)) {
        if (summaries)
            mListCache = CacheUnknown;
        summaries = false;
        if (!query.prepare(QStringLiteral("SELECT d.diveid, d.name, d.serial, d.datetime, d.computer, d.gfslow, "
                                          "d.gfshigh, NULL, NULL, 0 FROM dives d")
                           + where)) {
            mLastError = query.lastError().text();
            return result;
        }
    }

#if defined(Q_OS_UNIX)
    tzset(); // the zone may have changed since the last listing
#endif
    QList<ListedDive> dives;
    for (int i = 0; i < parameters.size(); ++i)
        query.bindValue(i, parameters.at(i));
    if (!query.exec()) {
        mLastError = query.lastError().text();
        return result;
    }
    int unsummarised = 0;
    while (query.next()) {
        ListedDive dive;
        dive.startSecs = query.value(3).toLongLong();
        dive.entry.dateTime = localStart(dive.startSecs);
        if (byTime && !inTimeRange(dive.entry.dateTime.time().msecsSinceStartOfDay(), timeStart, timeEnd))
            continue;
        dive.entry.diveId = query.value(0).toInt();
        dive.entry.name = query.value(1).toString();
        dive.entry.serial = query.value(2).toString();
        dive.entry.computerName = query.value(4).toString();
        dive.entry.gfLow = query.value(5).toInt();
        dive.entry.gfHigh = query.value(6).toInt();
        dive.entry.duration = query.value(7).toDouble();
        dive.entry.maxDepth = query.value(8).toDouble();
        dive.summarised = query.value(9).toBool();
        if (!dive.summarised)
            ++unsummarised;
        dives.append(std::move(dive));
    }
    query.finish();
    // The read ends here; missing summaries are written in a transaction of
    // their own, which must not end up inside this one and be rolled back.
    snapshot.commit();

    // Dives stored by older versions of the program, or whose profile changed
    // since, are summarised from their profile rows once.
    if (unsummarised > 0) {
        QSqlQuery profile(db);
        profile.setForwardOnly(true);
        const bool prepared =
            profile.prepare(QStringLiteral("SELECT COALESCE(MAX(time), 0), COALESCE(MAX(depth), 0) FROM profiles "
                                           "WHERE diveid=:id"));
        QSqlQuery store(db);
        const NoBusyWait noWait(db);
        const bool storing = summaries
            && store.prepare(QStringLiteral(
                "UPDATE dives SET listDuration=:duration, listMaxDepth=:depth WHERE diveid=:id"));
        DbTransaction transaction(db);
        bool stored = storing && transaction.isActive();
        for (ListedDive& dive : dives) {
            if (dive.summarised || !prepared)
                continue;
            profile.bindValue(QStringLiteral(":id"), dive.entry.diveId);
            if (!profile.exec() || !profile.next())
                continue;
            const QVariant duration = profile.value(0);
            const QVariant depth = profile.value(1);
            profile.finish();
            dive.entry.duration = duration.toDouble();
            dive.entry.maxDepth = depth.toDouble();
            if (stored) {
                store.bindValue(QStringLiteral(":id"), dive.entry.diveId);
                store.bindValue(QStringLiteral(":duration"), duration);
                store.bindValue(QStringLiteral(":depth"), depth);
                stored = store.exec();
            }
        }
        // Summaries that cannot be stored (a read-only file) are simply
        // computed again next time.
        if (stored)
            transaction.commit();
    }

    // Serials in ascending order, the dives of one serial by the chosen column,
    // dives equal on both by computer name, then in the order they were stored.
    // Sorting pointers: the entries themselves are not moved around.
    QList<ListedDive*> order;
    order.reserve(dives.size());
    for (ListedDive& dive : dives)
        order.append(&dive);
    std::sort(order.begin(), order.end(), [column, descending](const ListedDive* a, const ListedDive* b) {
        if (const int bySerial = a->entry.serial.compare(b->entry.serial))
            return bySerial < 0;
        if (const int byColumn = compareColumn(*a, *b, column))
            return descending ? byColumn > 0 : byColumn < 0;
        if (const int byComputer = a->entry.computerName.compare(b->entry.computerName))
            return byComputer < 0;
        return a->entry.diveId < b->entry.diveId;
    });

    // The number of computers: distinct (serial, computer name) pairs. Counting
    // changes along the sorted list would count a serial known under two names
    // again each time its dives alternate between them.
    QSet<std::pair<QString, QString>> computers;
    result.reserve(order.size());
    for (ListedDive* dive : std::as_const(order)) {
        computers.insert({dive->entry.serial, dive->entry.computerName});
        result.append(std::move(dive->entry));
    }
    computerCount = int(computers.size());
    return result;
}
