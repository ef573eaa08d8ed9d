#include "db/divedb.h"
#include "logbookfixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList columnsOf(const QString& table)
{
    QStringList names;
    QSqlQuery query;
    query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (query.next())
        names << query.value(1).toString();
    return names;
}

QStringList createStatements()
{
    QStringList statements;
    QSqlQuery query(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' ORDER BY name"));
    while (query.next())
        statements << query.value(0).toString();
    return statements;
}

int userVersion()
{
    QSqlQuery query(QStringLiteral("PRAGMA user_version"));
    return query.next() ? query.value(0).toInt() : -1;
}

} // namespace

class TestDiveDbOpen : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DiveDb::instance()->close(); }

    void newFileGetsExactSchema();
    void reopeningChangesNothing();
    void olderFileIsBroughtUpToDate();
    void fileWithoutGasesTable();
    void missingFolderCannotOpen();
    void notADatabaseCannotCreate();
    void otherDatabaseLeftUntouched();
};

void TestDiveDbOpen::newFileGetsExactSchema()
{
    QTemporaryDir dir;
    QCOMPARE(DiveDb::instance()->open(dir.filePath(QStringLiteral("diveDB.db"))), 0);
    const QStringList expected = {
        QStringLiteral("CREATE TABLE dives (diveid INTEGER, name TEXT, computer TEXT, datetime INTEGER, serial TEXT, "
                       "divermode INTEGER, divemode INTEGER, ocdivemode INTEGER, gfslow INTEGER, gfshigh INTEGER, "
                       "waterdensity INTEGER, psurf INTEGER, period INTEGER, alerts INTEGER, alertsAI INTEGER, "
                       "computertype INTEGER, firmwareversion TEXT, place TEXT, site TEXT, buddy TEXT, diveNumber "
                       "INTEGER, uploaded INTEGER DEFAULT 0, gasSet INTEGER, diverN2 BLOB, diverHe BLOB, PRIMARY "
                       "KEY(diveid))"),
        QStringLiteral("CREATE TABLE gases (diveid INTEGER, gasid INTEGER, o2 INTEGER, he INTEGER, gasClass INTEGER, "
                       "PRIMARY KEY(diveid, gasid))"),
        QStringLiteral("CREATE TABLE profiles (diveid INTEGER, pointid INTEGER, time REAL, depth REAL, temperature "
                       "REAL, OTU REAL, CNS REAL, decoCeiling REAL, gradientFactor REAL, alertFlag INTEGER, alertAI "
                       "INTEGER, tissues BLOB, gasindex INTEGER, battery INTEGER, tankPressure INTEGER, gfLow INTEGER, "
                       "gfHigh INTEGER, ppo2 REAL, tankPressureTxIndex INTEGER, alertPelagon INTEGER, PRIMARY "
                       "KEY(diveid, pointid))"),
    };
    QCOMPARE(createStatements(), expected);
    QCOMPARE(userVersion(), 1);
    QVERIFY(DiveDb::instance()->isOpen());
}

void TestDiveDbOpen::reopeningChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diveDB.db"));
    QCOMPARE(DiveDb::instance()->open(path), 0);
    const QStringList before = createStatements();
    DiveDb::instance()->close();
    QCOMPARE(DiveDb::instance()->open(path), 0);
    QCOMPARE(createStatements(), before);
}

void TestDiveDbOpen::olderFileIsBroughtUpToDate()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.db"));
    {
        // A logbook of an early version: few columns, no gases table, no upload flag.
        const OtherProgram old(path);
        QVERIFY(old.isOpen());
        QVERIFY(old.exec(QStringLiteral("CREATE TABLE dives (diveid INTEGER, name TEXT, computer TEXT, datetime "
                                      "INTEGER, serial TEXT, divemode INTEGER, gfslow INTEGER, gfshigh INTEGER, "
                                      "waterdensity INTEGER, psurf INTEGER, PRIMARY KEY(diveid))")));
        QVERIFY(old.exec(QStringLiteral("CREATE TABLE profiles (diveid INTEGER, pointid INTEGER, time REAL, depth "
                                      "REAL, temperature REAL, OTU REAL, CNS REAL, decoCeiling REAL, gradientFactor "
                                      "REAL, PRIMARY KEY(diveid, pointid))")));
        QVERIFY(old.exec(QStringLiteral("INSERT INTO dives (diveid, name, datetime) VALUES (1, 'first', 1500000000)")));
        QVERIFY(old.exec(QStringLiteral("INSERT INTO dives (diveid, name, datetime) VALUES (2, 'second', 1500003600)")));
    }

    QCOMPARE(DiveDb::instance()->open(path), 0);
    const QStringList dives = columnsOf(QStringLiteral("dives"));
    for (const char* column : {"period", "alerts", "alertsAI", "computertype", "firmwareversion", "place", "site",
                               "buddy", "diveNumber", "uploaded", "gasSet", "divermode", "ocdivemode", "diverN2",
                               "diverHe"})
        QVERIFY2(dives.contains(QLatin1String(column)), column);
    // Columns that an upgrade adds come in the historical order and types.
    QCOMPARE(dives.indexOf(QStringLiteral("period")), 10);
    QSqlQuery types(QStringLiteral("SELECT type FROM pragma_table_info('dives') WHERE name='period'"));
    QVERIFY(types.next());
    QCOMPARE(types.value(0).toString(), QStringLiteral("TEXT"));

    const QStringList profiles = columnsOf(QStringLiteral("profiles"));
    for (const char* column : {"alertFlag", "alertAI", "tissues", "gasindex", "tankpressure", "battery", "gfLow",
                               "gfHigh", "ppo2", "tankPressureTxIndex", "alertPelagon"})
        QVERIFY2(profiles.contains(QLatin1String(column)), column);
    QCOMPARE(columnsOf(QStringLiteral("gases")),
             QStringList({"diveid", "gasid", "o2", "he", "gasClass"}));

    QSqlQuery uploaded(QStringLiteral("SELECT uploaded FROM dives ORDER BY diveid"));
    int rows = 0;
    while (uploaded.next()) {
        QVERIFY(!uploaded.value(0).isNull());
        QCOMPARE(uploaded.value(0).toInt(), 0);
        ++rows;
    }
    QCOMPARE(rows, 2);
    QCOMPARE(userVersion(), 1);

    // A value written into a column added as TEXT reads back as a number.
    QVERIFY(QSqlQuery().exec(QStringLiteral("UPDATE dives SET period=5 WHERE diveid=1")));
    QSqlQuery period(QStringLiteral("SELECT period FROM dives WHERE diveid=1"));
    QVERIFY(period.next());
    QCOMPARE(period.value(0).toInt(), 5);
}

void TestDiveDbOpen::fileWithoutGasesTable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nogases.db"));
    QCOMPARE(DiveDb::instance()->open(path), 0);
    QVERIFY(QSqlQuery().exec(QStringLiteral("DROP TABLE gases")));
    QVERIFY(QSqlQuery().exec(QStringLiteral("INSERT INTO dives (diveid, name) VALUES (7, 'kept')")));
    DiveDb::instance()->close();

    QCOMPARE(DiveDb::instance()->open(path), 0);
    QCOMPARE(columnsOf(QStringLiteral("gases")).size(), 5);
    QSqlQuery kept(QStringLiteral("SELECT name FROM dives WHERE diveid=7"));
    QVERIFY(kept.next());
    QCOMPARE(kept.value(0).toString(), QStringLiteral("kept"));
}

void TestDiveDbOpen::missingFolderCannotOpen()
{
    QTemporaryDir dir;
    QCOMPARE(DiveDb::instance()->open(dir.filePath(QStringLiteral("missing/folder/diveDB.db"))), 1);
    QVERIFY(!DiveDb::instance()->isOpen());
}

void TestDiveDbOpen::notADatabaseCannotCreate()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("garbage.db"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    QCOMPARE(DiveDb::instance()->open(path), int(DiveDb::NotALogbook));
    QVERIFY(!DiveDb::instance()->lastError().isEmpty());
}

void TestDiveDbOpen::otherDatabaseLeftUntouched()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contacts.db"));
    {
        const OtherProgram other(path);
        QVERIFY(other.isOpen() && other.exec(QStringLiteral("CREATE TABLE contacts (name TEXT)")));
    }

    QCOMPARE(DiveDb::instance()->open(path), int(DiveDb::NotALogbook));
    QCOMPARE(DiveDb::instance()->lastError(), QStringLiteral("The file is not a dive logbook"));
    QVERIFY(!DiveDb::instance()->isOpen());
    QStringList names;
    {
        const OtherProgram other(path);
        QVERIFY(other.isOpen());
        QSqlQuery tables(QStringLiteral("SELECT name FROM sqlite_master"), other.database());
        while (tables.next())
            names << tables.value(0).toString();
    }
    QCOMPARE(names, QStringList{QStringLiteral("contacts")});
}

QTEST_GUILESS_MAIN(TestDiveDbOpen)
#include "tst_divedb_open.moc"
