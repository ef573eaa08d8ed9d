#include "logbookfixture.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QTest>

#include <ctime>

namespace {

QStringList names(const QList<DiveListEntry>& entries)
{
    QStringList out;
    for (const DiveListEntry& e : entries)
        out << e.name;
    return out;
}

QStringList listed(const DiveFilter& filter, int column = DiveDb::ByDate, bool descending = false)
{
    int count = 0;
    return names(DiveDb::instance()->listDives(filter, column, descending, count));
}

void store(const QString& name, const QString& serial, qint64 begin, int points = 12, double depth = 20.0,
           const QString& computer = QString())
{
    Dive dive = makeDive(name, serial, begin, points, depth);
    if (!computer.isEmpty())
        dive.computerName = computer;
    QCOMPARE(DiveDb::instance()->insertDive(dive), int(DiveDb::Stored));
}

DiveFilter dateFilter(QDate start, QDate end = QDate())
{
    DiveFilter filter;
    filter.byDate = true;
    filter.startDate = QDateTime(start, QTime(15, 30)); // only the day counts
    filter.hasEndDate = end.isValid();
    filter.endDate = QDateTime(end, QTime(8, 0));
    return filter;
}

} // namespace

class TestDiveDbList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A zone with daylight saving: day and time-of-day bounds are local.
        qputenv("TZ", "Europe/Paris");
        tzset();
    }
    void init() { QVERIFY(mLogbook.open()); }
    void cleanup() { mLogbook.close(); }

    void entriesCarryDurationAndDepth();
    void serialFilterTakesAnyText();
    void dateFilterKeepsWholeDays();
    void timeOfDayFilter();
    void sortsKeepSerialsAscending();
    void computerCountCountsGroups();
    void serialsAndComputers();
    void summariesFollowProfileChanges();
    void olderAndReadOnlyLogbooksList();

private:
    LogbookFixture mLogbook;
};

void TestDiveDbList::entriesCarryDurationAndDepth()
{
    Dive dive = makeDive(QStringLiteral("one"), QStringLiteral("S1"), localSecs(2024, 7, 14, 9, 30), 25, 31.5);
    dive.gfLow = 40;
    dive.gfHigh = 70;
    QCOMPARE(DiveDb::instance()->insertDive(dive), int(DiveDb::Stored));
    store(QStringLiteral("empty"), QStringLiteral("S1"), localSecs(2024, 7, 15), 0);
    int count = 0;
    const QList<DiveListEntry> entries = DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDate, false, count);
    QCOMPARE(entries.size(), 2);
    const DiveListEntry& e = entries[0];
    QCOMPARE(e.diveId, 1);
    QCOMPARE(e.name, QStringLiteral("one"));
    QCOMPARE(e.serial, QStringLiteral("S1"));
    QCOMPARE(e.computerName, QStringLiteral("Comp S1"));
    QCOMPARE(e.dateTime, QDateTime(QDate(2024, 7, 14), QTime(9, 30)));
    QCOMPARE(e.dateTime.date(), QDate(2024, 7, 14));
    QCOMPARE(e.dateTime.time(), QTime(9, 30));
    QCOMPARE(e.dateTime.offsetFromUtc(), 2 * 3600); // summer time in Paris
    QCOMPARE(entries[1].dateTime.time(), QTime(0, 0));
    QCOMPARE(e.duration, 120.0);
    QCOMPARE(e.maxDepth, 31.5);
    QCOMPARE(e.gfLow, 40);
    QCOMPARE(e.gfHigh, 70);
    // A dive without profile lines lists with zero duration and depth.
    QCOMPARE(entries[1].duration, 0.0);
    QCOMPARE(entries[1].maxDepth, 0.0);
}

void TestDiveDbList::serialFilterTakesAnyText()
{
    const QStringList serials = {QStringLiteral("A'B"), QStringLiteral("C\"D"), QStringLiteral("x' OR '1'='1"),
                                 QStringLiteral("plain")};
    int n = 0;
    for (const QString& serial : serials) {
        ++n;
        store(QStringLiteral("d%1").arg(n), serial, localSecs(2024, 1, n));
    }

    DiveFilter filter;
    filter.byComputer = true;
    filter.serials = {QStringLiteral("A'B"), QStringLiteral("x' OR '1'='1")};
    QCOMPARE(listed(filter), QStringList({"d1", "d3"}));
    filter.serials = {QStringLiteral("C\"D")};
    QCOMPARE(listed(filter), QStringList({"d2"}));
    filter.serials = {QStringLiteral("nobody")};
    QVERIFY(listed(filter).isEmpty());
    // The flag with an empty list keeps no dive (the filter dialog's group
    // active with no computer checked); the flag off restricts nothing.
    filter.serials.clear();
    QVERIFY(listed(filter).isEmpty());
    filter.byComputer = false;
    filter.serials = {QStringLiteral("plain")};
    QCOMPARE(listed(filter).size(), 4);

    // Serials and dates together: only dives of the serials inside the range.
    filter.byComputer = true;
    filter.serials = {QStringLiteral("A'B"), QStringLiteral("C\"D"), QStringLiteral("plain")};
    filter.byDate = true;
    filter.startDate = QDateTime(QDate(2024, 1, 2), QTime());
    filter.hasEndDate = true;
    filter.endDate = QDateTime(QDate(2024, 1, 3), QTime());
    QCOMPARE(listed(filter), QStringList({"d2"}));
}

void TestDiveDbList::dateFilterKeepsWholeDays()
{
    store(QStringLiteral("feb28 late"), QStringLiteral("S"), localSecs(2025, 2, 28, 23, 59, 59));
    store(QStringLiteral("mar1 midnight"), QStringLiteral("S"), localSecs(2025, 3, 1, 0, 0, 0));
    store(QStringLiteral("mar1 noon"), QStringLiteral("S"), localSecs(2025, 3, 1, 12, 0, 0));
    store(QStringLiteral("mar1 late"), QStringLiteral("S"), localSecs(2025, 3, 1, 23, 59, 59));
    store(QStringLiteral("mar2 midnight"), QStringLiteral("S"), localSecs(2025, 3, 2, 0, 0, 0));
    store(QStringLiteral("2040"), QStringLiteral("S"), localSecs(2040, 6, 1, 10, 0, 0));

    // 1 March to 1 March: that whole day, whatever times the editors hold.
    QCOMPARE(listed(dateFilter(QDate(2025, 3, 1), QDate(2025, 3, 1))),
             QStringList({"mar1 midnight", "mar1 noon", "mar1 late"}));
    QCOMPARE(listed(dateFilter(QDate(2025, 2, 28), QDate(2025, 3, 2))).size(), 5);
    // Without an end date: every dive from the start day on, 2038 and later too.
    QCOMPARE(listed(dateFilter(QDate(2025, 3, 1))),
             QStringList({"mar1 midnight", "mar1 noon", "mar1 late", "mar2 midnight", "2040"}));
    QCOMPARE(listed(dateFilter(QDate(2039, 1, 1))), QStringList({"2040"}));
    // An end before the start keeps nothing.
    QVERIFY(listed(dateFilter(QDate(2025, 3, 2), QDate(2025, 3, 1))).isEmpty());
    // The date flag off ignores the dates.
    DiveFilter off = dateFilter(QDate(2030, 1, 1), QDate(2030, 1, 1));
    off.byDate = false;
    QCOMPARE(listed(off).size(), 6);
}

void TestDiveDbList::timeOfDayFilter()
{
    store(QStringLiteral("dawn"), QStringLiteral("S"), localSecs(2025, 5, 10, 6, 0));
    store(QStringLiteral("noon"), QStringLiteral("S"), localSecs(2025, 5, 11, 12, 0));
    store(QStringLiteral("night"), QStringLiteral("S"), localSecs(2025, 5, 12, 22, 30));
    store(QStringLiteral("small hours"), QStringLiteral("S"), localSecs(2025, 5, 14, 1, 0));
    // The night daylight saving starts: 03:30 exists, 02:30 does not.
    store(QStringLiteral("dst"), QStringLiteral("S"), localSecs(2025, 3, 30, 3, 30));

    DiveFilter filter = dateFilter(QDate(2025, 1, 1));
    filter.byTime = true;
    filter.startTime = QTime(5, 0);
    filter.endTime = QTime(12, 0); // both bounds included
    QCOMPARE(listed(filter), QStringList({"dawn", "noon"}));
    // A range through midnight keeps the late evening and the small hours.
    filter.startTime = QTime(21, 0);
    filter.endTime = QTime(3, 30);
    QCOMPARE(listed(filter), QStringList({"dst", "night", "small hours"}));
    // Combined with a date range: each day of the range, in those hours only.
    filter.hasEndDate = true;
    filter.endDate = QDateTime(QDate(2025, 5, 13), QTime());
    QCOMPARE(listed(filter), QStringList({"dst", "night"}));
    // The time range alone, without the date flag, restricts nothing.
    filter.byDate = false;
    QCOMPARE(listed(filter).size(), 5);
    // Unset times count as midnight.
    filter = dateFilter(QDate(2025, 1, 1));
    filter.byTime = true;
    QVERIFY(listed(filter).isEmpty());
}

void TestDiveDbList::sortsKeepSerialsAscending()
{
    // name, serial, start, points (duration = 5 s per step), depth
    store(QStringLiteral("b-old-long-shallow"), QStringLiteral("B"), localSecs(2024, 1, 1), 40, 10.0);
    store(QStringLiteral("b-new-short-deep"), QStringLiteral("B"), localSecs(2024, 3, 1), 10, 40.0);
    store(QStringLiteral("b-mid-mid-mid"), QStringLiteral("B"), localSecs(2024, 2, 1), 20, 25.0);
    store(QStringLiteral("a-only"), QStringLiteral("A"), localSecs(2025, 1, 1), 5, 5.0);

    const QStringList byDate = {"a-only", "b-old-long-shallow", "b-mid-mid-mid", "b-new-short-deep"};
    QCOMPARE(listed(DiveFilter(), DiveDb::ByDate, false), byDate);
    QCOMPARE(listed(DiveFilter(), DiveDb::ByDate, true),
             QStringList({"a-only", "b-new-short-deep", "b-mid-mid-mid", "b-old-long-shallow"}));
    QCOMPARE(listed(DiveFilter(), DiveDb::ByDuration, false),
             QStringList({"a-only", "b-new-short-deep", "b-mid-mid-mid", "b-old-long-shallow"}));
    QCOMPARE(listed(DiveFilter(), DiveDb::ByDuration, true), byDate);
    QCOMPARE(listed(DiveFilter(), DiveDb::ByMaxDepth, false), byDate);
    QCOMPARE(listed(DiveFilter(), DiveDb::ByMaxDepth, true),
             QStringList({"a-only", "b-new-short-deep", "b-mid-mid-mid", "b-old-long-shallow"}));
    // Any other column leaves the dives of a serial in the stored order.
    QCOMPARE(listed(DiveFilter(), 7, true),
             QStringList({"a-only", "b-old-long-shallow", "b-new-short-deep", "b-mid-mid-mid"}));
}

void TestDiveDbList::computerCountCountsGroups()
{
    int count = -1;
    QVERIFY(DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDate, false, count).isEmpty());
    QCOMPARE(count, 0);
    // Serial S2 was known under two names; sorted by date its dives interleave.
    store(QStringLiteral("1"), QStringLiteral("S1"), localSecs(2024, 1, 1), 12, 20.0, QStringLiteral("X"));
    store(QStringLiteral("2"), QStringLiteral("S2"), localSecs(2024, 1, 2), 12, 20.0, QStringLiteral("Y"));
    store(QStringLiteral("3"), QStringLiteral("S2"), localSecs(2024, 1, 3), 12, 20.0, QStringLiteral("Z"));
    store(QStringLiteral("4"), QStringLiteral("S2"), localSecs(2024, 1, 4), 12, 20.0, QStringLiteral("Y"));
    store(QStringLiteral("5"), QStringLiteral("S1"), localSecs(2024, 1, 5), 12, 20.0, QStringLiteral("X"));
    QCOMPARE(names(DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDate, false, count)),
             QStringList({"1", "5", "2", "3", "4"}));
    QCOMPARE(count, 3);
    DiveFilter filter;
    filter.byComputer = true;
    filter.serials = {QStringLiteral("S1")};
    DiveDb::instance()->listDives(filter, DiveDb::ByDate, true, count);
    QCOMPARE(count, 1);
}

void TestDiveDbList::serialsAndComputers()
{
    store(QStringLiteral("1"), QStringLiteral("S2"), 1, 2, 1.0, QStringLiteral("Zed"));
    store(QStringLiteral("2"), QStringLiteral("S1"), 2, 2, 1.0, QStringLiteral("One"));
    store(QStringLiteral("3"), QStringLiteral("S2"), 3, 2, 1.0, QStringLiteral("Alpha"));
    store(QStringLiteral("4"), QStringLiteral("S2"), 4, 2, 1.0, QStringLiteral("Zed"));
    QStringList serials = {QStringLiteral("stale")};
    QStringList computers;
    DiveDb::instance()->serialsAndComputers(serials, computers);
    QCOMPARE(serials, QStringList({"S1", "S2"}));
    QCOMPARE(computers, QStringList({"One", "Alpha, Zed"}));
}

void TestDiveDbList::summariesFollowProfileChanges()
{
    // Another program (or an older version of this one) changing profile rows
    // directly must not leave the list showing old durations or depths.
    store(QStringLiteral("a"), QStringLiteral("S"), 1, 12, 20.0);
    store(QStringLiteral("b"), QStringLiteral("S"), 2, 12, 20.0);
    const auto entryOf = [](const QString& name) {
        int count = 0;
        for (const DiveListEntry& e : DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDate, false, count)) {
            if (e.name == name)
                return e;
        }
        return DiveListEntry();
    };
    QCOMPARE(entryOf(QStringLiteral("a")).duration, 55.0);

    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE profiles SET depth=48.5 WHERE diveid=1 AND pointid=3")));
    QCOMPARE(entryOf(QStringLiteral("a")).maxDepth, 48.5);
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE profiles SET time=600 WHERE diveid=1 AND pointid=11")));
    QCOMPARE(entryOf(QStringLiteral("a")).duration, 600.0);
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE profiles SET diveid=2, pointid=99 WHERE diveid=1 AND pointid=11")));
    QCOMPARE(entryOf(QStringLiteral("a")).duration, 50.0);
    QCOMPARE(entryOf(QStringLiteral("b")).duration, 600.0);
    QVERIFY(QSqlQuery().exec(QStringLiteral("DELETE FROM profiles WHERE diveid=1")));
    QCOMPARE(entryOf(QStringLiteral("a")).duration, 0.0);
    QCOMPARE(entryOf(QStringLiteral("a")).maxDepth, 0.0);

    // An older version deletes the last dive, which had no lines, and stores
    // a new dive under the same id: the list shows the new dive's profile.
    store(QStringLiteral("empty"), QStringLiteral("S"), 3, 0);
    QCOMPARE(entryOf(QStringLiteral("empty")).duration, 0.0);
    for (const char* statement :
         {"DELETE FROM profiles WHERE diveid=3", "DELETE FROM gases WHERE diveid=3", "DELETE FROM dives WHERE diveid=3",
          "INSERT INTO dives (diveid, name, serial, computer, datetime) VALUES (3, 'replacement', 'S', 'C', 4)",
          "INSERT INTO profiles (diveid, pointid, time, depth) VALUES (3, 0, 0, 0), (3, 1, 300, 12.5)"})
        QVERIFY2(QSqlQuery().exec(QLatin1String(statement)), statement);
    QCOMPARE(entryOf(QStringLiteral("replacement")).duration, 300.0);
    QCOMPARE(entryOf(QStringLiteral("replacement")).maxDepth, 12.5);

    // A file whose keeping triggers were removed is summarised afresh.
    QVERIFY(QSqlQuery().exec(QStringLiteral("DROP TRIGGER divelist_profileupdate")));
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE profiles SET depth=77 WHERE diveid=2 AND pointid=0")));
    DiveDb::instance()->close();
    QCOMPARE(DiveDb::instance()->open(mLogbook.path()), int(DiveDb::Opened));
    QCOMPARE(entryOf(QStringLiteral("b")).maxDepth, 77.0);
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'divelist_%'")).toInt(), 2);
}

void TestDiveDbList::olderAndReadOnlyLogbooksList()
{
    const QString kSummaryColumnCount =
        QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('dives') WHERE name LIKE 'list%'");
    // A logbook written without the summaries, as older versions did.
    for (int id = 1; id <= 3; ++id) {
        QVERIFY(QSqlQuery().exec(QStringLiteral("INSERT INTO dives (diveid, name, serial, computer, datetime) "
                                                "VALUES (%1, 'old %1', 'S', 'C', %2)")
                                     .arg(id)
                                     .arg(1500000000 + id)));
        for (int p = 0; p < 4; ++p)
            QVERIFY(QSqlQuery().exec(QStringLiteral("INSERT INTO profiles (diveid, pointid, time, depth) "
                                                    "VALUES (%1, %2, %3, %4)")
                                         .arg(id)
                                         .arg(p)
                                         .arg(10 * p * id)
                                         .arg(p == 2 ? 5.0 * id : 1.0)));
    }
    DiveDb::instance()->close();

    // Opened read-only, it lists all the same, reading each profile.
    QSqlDatabase connection = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    connection.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QCOMPARE(DiveDb::instance()->open(mLogbook.path()), int(DiveDb::Opened));
    int count = 0;
    for (int round = 0; round < 2; ++round) {
        const QList<DiveListEntry> entries =
            DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByMaxDepth, true, count);
        QCOMPARE(names(entries), QStringList({"old 3", "old 2", "old 1"}));
        QCOMPARE(entries[0].duration, 90.0);
        QCOMPARE(entries[0].maxDepth, 15.0);
    }
    DiveDb::instance()->close();

    // Writable but held by another program that is writing it: listed at
    // once, reading each profile, instead of waiting for the lock (a long
    // busy wait would make the test run for it); the summaries come later.
    connection.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    QCOMPARE(DiveDb::instance()->open(mLogbook.path()), int(DiveDb::Opened));
    {
        const OtherProgram other(mLogbook.path());
        QVERIFY(other.isOpen());
        QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(names(DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDuration, false, count)),
                 QStringList({"old 1", "old 2", "old 3"}));
        QVERIFY2(clock.elapsed() < 15000, "waited for the other program's lock");
        QCOMPARE(sqlValue(kSummaryColumnCount).toInt(), 0);
        QVERIFY(other.exec(QStringLiteral("ROLLBACK")));
    }
    DiveDb::instance()->close();

    // Writable, the first listing stores the summaries for the next ones.
    connection.setConnectOptions();
    QCOMPARE(DiveDb::instance()->open(mLogbook.path()), int(DiveDb::Opened));
    QCOMPARE(sqlValue(kSummaryColumnCount).toInt(), 0);
    QCOMPARE(names(DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDuration, false, count)),
             QStringList({"old 1", "old 2", "old 3"}));
    QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(listDuration) FROM dives")).toInt(), 3);
    QCOMPARE(sqlValue(QStringLiteral("SELECT listMaxDepth FROM dives WHERE diveid=2")).toDouble(), 10.0);
    const QList<DiveListEntry> again = DiveDb::instance()->listDives(DiveFilter(), DiveDb::ByDuration, false, count);
    QCOMPARE(again[2].duration, 90.0);
    QCOMPARE(again[2].maxDepth, 15.0);
}

QTEST_GUILESS_MAIN(TestDiveDbList)
#include "tst_divedb_list.moc"
