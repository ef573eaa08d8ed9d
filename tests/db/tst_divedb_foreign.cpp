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
    bool ok = true;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("elsewhere"));
        other.setDatabaseName(path);
        ok = other.open();
        for (const QString& statement : statements) {
            QSqlQuery query(other);
            if (ok && !query.exec(statement)) {
                qWarning("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
                ok = false;
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("elsewhere"));
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
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            other.setDatabaseName(mLogbook.path());
            ok = other.open() && QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
            QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
            QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
            Dive dive;
            QVERIFY(db->loadDive(1, dive));
            db->close();
            // Older: the missing column needs the lock the writer holds.
            ok = ok && QSqlQuery(other).exec(QStringLiteral("ALTER TABLE dives DROP COLUMN diverHe"))
                && QSqlQuery(other).exec(QStringLiteral("COMMIT"))
                && QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
            QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
                .setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Busy));
            QCOMPARE(db->lastError(), DiveDb::busyReason());
            QVERIFY(!db->isOpen());
            ok = ok && QSqlQuery(other).exec(QStringLiteral("COMMIT"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        QVERIFY(ok);
        QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
        QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('dives') WHERE name='diverHe'")).toInt(), 1);
    }

    // The list's triggers without their table would fail every insert of a
    // program that knows nothing of them: the next open drops them, and the
    // list makes table and triggers again together.
    void listTriggersNeverOutliveTheirTable()
    {
        DiveDb* db = DiveDb::instance();
        QCOMPARE(db->insertDive(makeDive(QStringLiteral("1"), QStringLiteral("S"), 1500000000)), 0);
        int computers = 0;
        QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 1);
        db->close();
        QVERIFY(runElsewhere(mLogbook.path(), {QStringLiteral("DROP TABLE divesummary")}));

        QCOMPARE(db->open(mLogbook.path()), int(DiveDb::Opened));
        QVERIFY(runElsewhere(mLogbook.path(), {QStringLiteral("INSERT INTO dives (diveid, name, serial) VALUES (9, 'x', 'S')")}));
        QCOMPARE(db->listDives(DiveFilter(), DiveDb::ByDate, false, computers).size(), 2);
        QCOMPARE(sqlValue(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'divesummary%'")).toInt(), 4);
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
