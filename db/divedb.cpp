#include "db/divedb.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

const char* const kCreateDives =
    "CREATE TABLE dives (diveid INTEGER, name TEXT, computer TEXT, datetime INTEGER, serial TEXT, "
    "divermode INTEGER, divemode INTEGER, ocdivemode INTEGER, gfslow INTEGER, gfshigh INTEGER, "
    "waterdensity INTEGER, psurf INTEGER, period INTEGER, alerts INTEGER, alertsAI INTEGER, "
    "computertype INTEGER, firmwareversion TEXT, place TEXT, site TEXT, buddy TEXT, diveNumber INTEGER, "
    "uploaded INTEGER DEFAULT 0, gasSet INTEGER, diverN2 BLOB, diverHe BLOB, PRIMARY KEY(diveid))";

const char* const kCreateProfiles =
    "CREATE TABLE profiles (diveid INTEGER, pointid INTEGER, time REAL, depth REAL, temperature REAL, "
    "OTU REAL, CNS REAL, decoCeiling REAL, gradientFactor REAL, alertFlag INTEGER, alertAI INTEGER, "
    "tissues BLOB, gasindex INTEGER, battery INTEGER, tankPressure INTEGER, gfLow INTEGER, gfHigh INTEGER, "
    "ppo2 REAL, tankPressureTxIndex INTEGER, alertPelagon INTEGER, PRIMARY KEY(diveid, pointid))";

const char* const kCreateGases =
    "CREATE TABLE gases (diveid INTEGER, gasid INTEGER, o2 INTEGER, he INTEGER, gasClass INTEGER, "
    "PRIMARY KEY(diveid, gasid))";

struct ColumnUpgrade
{
    const char* table;
    const char* column;
    int type;
};

// Columns that older versions of the program did not have, in the order they
// are added. Those that are INTEGER in the CREATE statement were historically
// added as TEXT; the values in them still read back as numbers.
const ColumnUpgrade kDiveUpgrades[] = {
    {"dives", "period", DiveDb::Text},        {"dives", "alerts", DiveDb::Text},
    {"dives", "alertsAI", DiveDb::Text},      {"dives", "computertype", DiveDb::Text},
    {"dives", "firmwareversion", DiveDb::Text}, {"dives", "place", DiveDb::Text},
    {"dives", "site", DiveDb::Text},          {"dives", "buddy", DiveDb::Text},
    {"dives", "diveNumber", DiveDb::Integer}, {"dives", "uploaded", DiveDb::Integer},
    {"dives", "gasSet", DiveDb::Integer},     {"dives", "divermode", DiveDb::Integer},
    {"dives", "ocdivemode", DiveDb::Integer}, {"dives", "diverN2", DiveDb::Blob},
    {"dives", "diverHe", DiveDb::Blob},
};

const ColumnUpgrade kLaterUpgrades[] = {
    {"profiles", "alertFlag", DiveDb::Integer},   {"profiles", "alertAI", DiveDb::Integer},
    {"profiles", "tissues", DiveDb::Integer},     {"profiles", "gasindex", DiveDb::Integer},
    {"profiles", "tankpressure", DiveDb::Integer}, {"profiles", "battery", DiveDb::Integer},
    {"profiles", "gfLow", DiveDb::Integer},       {"profiles", "gfHigh", DiveDb::Integer},
    {"profiles", "ppo2", DiveDb::Integer},        {"profiles", "tankPressureTxIndex", DiveDb::Integer},
    {"profiles", "alertPelagon", DiveDb::Integer}, {"gases", "gasClass", DiveDb::Integer},
};

QString typeName(int type)
{
    static const QStringList names = {QStringLiteral("INTEGER"), QStringLiteral("REAL"),
                                      QStringLiteral("TEXT"), QStringLiteral("BLOB")};
    return type >= 0 && type < names.size() ? names.at(type) : QString();
}

} // namespace

DiveDb::DiveDb()
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
}

DiveDb* DiveDb::instance()
{
    // Created on first use and kept for the whole process: the connection is
    // registered once, before any query needs it.
    static DiveDb* const db = new DiveDb;
    return db;
}

bool DiveDb::isOpen() const
{
    return QSqlDatabase::database(QSqlDatabase::defaultConnection, false).isOpen();
}

void DiveDb::close()
{
    QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    db.close();
    mListCache = CacheUnknown;
}

int DiveDb::open(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    if (db.isOpen())
        db.close();
    mListCache = CacheUnknown;
    db.setDatabaseName(path);
    if (!db.open())
        return CannotOpen;

    const QStringList tables = db.tables(QSql::Tables);
    // A database of another program is left as it is: adding the logbook's
    // tables to it would change a file that is not ours and still fail.
    const bool isLogbook = tables.contains(QStringLiteral("dives"), Qt::CaseInsensitive)
                           && tables.contains(QStringLiteral("profiles"), Qt::CaseInsensitive);
    if (!tables.isEmpty() && !isLogbook) {
        mLastError = tr("The file is not a dive logbook");
        return CannotCreate;
    }
    if (tables.isEmpty()) {
        for (const char* statement : {kCreateDives, kCreateProfiles}) {
            QSqlQuery query(db);
            if (!query.exec(QString::fromLatin1(statement))) {
                mLastError = query.lastError().text();
                return CannotCreate;
            }
        }
    }
    if (!tables.contains(QStringLiteral("gases"), Qt::CaseSensitive)) {
        QSqlQuery query(db);
        if (!query.exec(QString::fromLatin1(kCreateGases))) {
            mLastError = query.lastError().text();
            return CannotCreate;
        }
    }

    for (const ColumnUpgrade& up : kDiveUpgrades) {
        if (!addColumnIfMissing(QString::fromLatin1(up.table), QString::fromLatin1(up.column), up.type))
            return CannotCreate;
    }
    QSqlQuery(db).exec(QStringLiteral("UPDATE dives SET uploaded=0 WHERE uploaded IS NULL"));
    for (const ColumnUpgrade& up : kLaterUpgrades) {
        if (!addColumnIfMissing(QString::fromLatin1(up.table), QString::fromLatin1(up.column), up.type))
            return CannotCreate;
    }

    QSqlQuery version(db);
    if (version.exec(QStringLiteral("PRAGMA user_version")) && version.next() && version.value(0).toInt() < kUserVersion)
        QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = %1").arg(kUserVersion));
    return Opened;
}

bool DiveDb::addColumnIfMissing(const QString& table, const QString& column, int type)
{
    QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    // The declared columns tell whether the column exists without scanning the
    // table (a MIN() over a large logbook takes seconds). SQLite compares
    // column names without regard to case, and so does this check.
    QSqlQuery info(db);
    if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
        return false;
    while (info.next()) {
        if (info.value(1).toString().compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    const QString type_ = typeName(type);
    if (type_.isEmpty())
        return false;
    QSqlQuery alter(db);
    return alter.exec(QStringLiteral("ALTER TABLE %1 ADD %2 %3").arg(table, column, type_));
}
