// Databases that are not ours, or not of this version, and other programs
// writing ours: recognised before anything is written, and never changed by
// the logbook unless they are an older form of it.

#include "db/divedb.h"
#include "logbookfixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs statements on the file through a connection of its own, as another
// program would; false at the first that fails.
bool runElsewhere(const QString& path, const QStringList& statements)
{
    const OtherProgram other(path, QStringLiteral("elsewhere"));
    bool ok = other.isOpen();
    for (const QString& statement : statements) {
        QSqlQuery query(other.database());
        if (ok && !query.exec(statement)) {
            qWarning("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
            ok = false;
        }
    }
    return ok;
}

} // namespace

class TestDiveDbForeign : public QObject
{
    Q_OBJECT

    LogbookFixture mLogbook;

private slots:
    void init() { QVERIFY(mLogbook.open()); }
    void cleanup() { mLogbook.close(); }

    // Read commands and the opening itself leave these files byte for byte
    // as they were.
    void filesThatAreNotOursStayUnchanged_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<int>("result");
        // Another program's tables that happen to carry the logbook's names.
        QTest::newRow("other dives and profiles")
            << QStringList{"CREATE TABLE dives (id INTEGER PRIMARY KEY, site TEXT, depth REAL)",
                           "CREATE TABLE profiles (id INTEGER, t REAL, d REAL)",
                           "INSERT INTO dives VALUES (1, 'reef', 18.5)"}
            << int(DiveDb::NotALogbook);
        QTest::newRow("dives only")
            << QStringList{"CREATE TABLE dives (diveid INTEGER, name TEXT)"} << int(DiveDb::NotALogbook);
        QTest::newRow("profiles without depth")
            << QStringList{"CREATE TABLE dives (diveid INTEGER, name TEXT, computer TEXT, datetime INTEGER, serial "
                           "TEXT, divemode INTEGER, gfslow INTEGER, gfshigh INTEGER, waterdensity INTEGER, psurf "
                           "INTEGER)",
                           "CREATE TABLE profiles (diveid INTEGER, pointid INTEGER, time REAL)"}
            << int(DiveDb::NotALogbook);
        // Written by a newer version: opened, read-only.
        QTest::newRow("newer logbook") << QStringList{"PRAGMA user_version = 2"} << int(DiveDb::Opened);
    }

    void filesThatAreNotOursStayUnchanged()
    {
        QFETCH(QStringList, statements);
        QFETCH(int, result);
        DiveDb* db = DiveDb::instance();
        const QString path = mLogbook.dir() + QStringLiteral("/other.db");
        if (result == DiveDb::Opened) {
            // A logbook of ours with one dive, then marked newer.
            QCOMPARE(db->open(path), int(DiveDb::Opened));
            QCOMPARE(db->insertDive(makeDive(QStringLiteral("1"), QStringLiteral("S"), 1500000000)), 0);
            db->close();
        }
        QVERIFY(runElsewhere(path, statements));
        const QByteArray before = hashOf(path);

        QCOMPARE(db->open(path), result);
        if (result == DiveDb::Opened) {
            QVERIFY(db->isReadOnly());
            QCOMPARE(db->lastError(), DiveDb::readOnlyReason());
            int computers = 0;
            QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
            Dive dive;
            QVERIFY(db->loadDive(1, dive));
            QCOMPARE(db->insertDive(makeDive(QStringLiteral("2"), QStringLiteral("S"), 1500003600)),
                     int(DiveDb::SqlError));
            QCOMPARE(db->lastError(), DiveDb::readOnlyReason());
            QVERIFY(!db->deleteDive(1));
            QVERIFY(!db->renameDive(1, QStringLiteral("x")));
            QCOMPARE(db->updatePlaceSiteBuddy(1, {}), int(DiveDb::SqlError));
        } else {
            QVERIFY(!db->isOpen());
            QCOMPARE(db->lastError(), QStringLiteral("The file is not a dive logbook"));
        }
        db->close();
        QCOMPARE(hashOf(path), before);
        // And the next logbook opened is writable again.
        QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
        QVERIFY(!db->isReadOnly());
    }

    // An up-to-date logbook is opened and read without a single write, so
    // another program's write lock keeps nobody waiting; an upgrade that
    // needs the lock says the logbook is busy.
    void anotherProgramsLockOnlyStopsWrites()
    {
        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->insertDive(makeDive(QStringLiteral("1"), QStringLiteral("S"), 1500000000)), 0);
        int computers = 0;
        QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
        db->close();
        const QByteArray before = hashOf(mLogbook.path());
        QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
        db->close();
        QCOMPARE(hashOf(mLogbook.path()), before);

        bool ok = true;
        {
            const OtherProgram other(mLogbook.path(), QStringLiteral("writer"));
            ok = other.isOpen() && other.exec(QStringLiteral("BEGIN IMMEDIATE"));
            QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
            QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
            Dive dive;
            QVERIFY(db->loadDive(1, dive));
            db->close();
            // Older: the missing column needs the lock the writer holds.
            ok = ok && other.exec(QStringLiteral("ALTER TABLE dives DROP COLUMN diverHe"))
                && other.exec(QStringLiteral("COMMIT")) && other.exec(QStringLiteral("BEGIN IMMEDIATE"));
            QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
                .setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Busy));
            QCOMPARE(db->lastError(), DiveDb::busyReason());
            QVERIFY(!db->isOpen());
            ok = ok && other.exec(QStringLiteral("COMMIT"));
        }
        QVERIFY(ok);
        QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
        QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('dives') WHERE name='diverHe'")).toInt(), 1);
    }

    // Another program that knows nothing of the list's summaries (and drops
    // what it does not know) can always write: nothing the logbook adds
    // refers to anything but the logbook's own tables. A file of the earlier
    // design, whose triggers wrote into a table of their own, loses table and
    // triggers at the first list; with them only dropping the table made
    // every later insert fail.
    void otherProgramsWriteWhateverTheyDropped_data()
    {
        QTest::addColumn<bool>("earlierDesign");
        QTest::newRow("this version") << false;
        QTest::newRow("earlier design") << true;
    }
    void otherProgramsWriteWhateverTheyDropped()
    {
        QFETCH(bool, earlierDesign);
        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->insertDive(makeDive(QStringLiteral("1"), QStringLiteral("S"), 1500000000)), 0);
        int computers = 0;
        QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
        db->close();
        if (earlierDesign) {
            QVERIFY(runElsewhere(mLogbook.path(),
                {"CREATE TABLE divesummary (diveid INTEGER PRIMARY KEY, duration REAL, maxdepth REAL)",
                 "CREATE TRIGGER divesummary_newdive AFTER INSERT ON dives "
                 "BEGIN DELETE FROM divesummary WHERE diveid=new.diveid; END",
                 "CREATE TRIGGER divesummary_delete AFTER DELETE ON profiles "
                 "BEGIN DELETE FROM divesummary WHERE diveid=old.diveid; END"}));
            QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
            QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
            db->close();
            QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'divesummary%'")).toInt(), 0);
        }

        // The other program drops every table it does not know, then writes
        // dives and changes profiles.
        QStringList drops;
        {
            const OtherProgram other(mLogbook.path(), QStringLiteral("inventory"));
            QVERIFY(other.isOpen());
            QSqlQuery objects(QStringLiteral("SELECT type, name FROM sqlite_master WHERE type='table' AND name NOT IN "
                                             "('dives', 'profiles', 'gases') AND name NOT LIKE 'sqlite_%'"),
                              other.database());
            while (objects.next())
                drops.append(QStringLiteral("DROP %1 IF EXISTS %2").arg(objects.value(0).toString(), objects.value(1).toString()));
        }
        QVERIFY2(runElsewhere(mLogbook.path(), drops), qPrintable(drops.join(u'\n')));
        QVERIFY(runElsewhere(mLogbook.path(),
            {"INSERT INTO dives (diveid, name, serial, computer, datetime) VALUES (9, 'x', 'S', 'C', 1600000000)",
             "INSERT INTO profiles (diveid, pointid, time, depth) VALUES (9, 0, 0, 0), (9, 1, 120, 31.5)",
             "UPDATE profiles SET depth=44 WHERE diveid=1 AND pointid=1",
             "DELETE FROM profiles WHERE diveid=9 AND pointid=1"}));

        // The list sees every change, and keeps its summaries again after.
        QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
        for (int round = 0; round < 2; ++round) {
            const QList<DiveListEntry> entries = db->listDives(DiveFilter(), DiveDb::ByDate, false, computers);
            QCOMPARE(entries.size(), 2);
            QCOMPARE(entries[0].maxDepth, 44.0);
            QCOMPARE(entries[1].duration, 0.0);
        }
        QVERIFY(runElsewhere(mLogbook.path(), {"UPDATE profiles SET time=999 WHERE diveid=9 AND pointid=0"}));
        QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers)[1].duration, 999.0);
    }

    // A dive without a name is stored under the default name, with an id,
    // and found again as a duplicate.
    void namelessDiveGetsANameAndAnId()
    {
        DiveDb* db = DiveDb::instance();
        Dive nameless = makeDive(QString(), QStringLiteral("S"), 1500000000);
        int id = -1;
        QCOMPARE(db->insertDive(nameless, &id), int(DiveDb::Stored));
        QCOMPARE(id, 1);
        QCOMPARE(db->findDiveId(QStringLiteral("000000"), QStringLiteral("S")), 1);
        QCOMPARE(db->insertDive(nameless, &id), int(DiveDb::DiveExists));
    }
};

QTEST_GUILESS_MAIN(TestDiveDbForeign)
#include "tst_divedb_foreign.moc"
