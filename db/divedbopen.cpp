// Recognising, creating and upgrading the logbook file.

#include "db/divedb.h"

#include <QSet>
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

// The columns every version of the logbook had: a file whose tables lack one
// of them is not a logbook, whatever its tables are called.
const char* const kFirstDiveColumns[] = {"diveid", "name", "computer", "datetime", "serial",
                                         "divemode", "gfslow", "gfshigh", "waterdensity", "psurf"};
const char* const kFirstProfileColumns[] = {"diveid", "pointid", "time", "depth", "temperature",
                                            "OTU", "CNS", "decoCeiling", "gradientFactor"};
const char* const kFirstGasColumns[] = {"diveid", "gasid", "o2", "he"};

struct ColumnUpgrade
{
    const char* table;
    const char* column;
    int type;
};

// Columns that older versions of the program did not have, in the order they
// are added. Those that are INTEGER in the CREATE statement were historically
// added as TEXT; the values in them still read back as numbers.
const ColumnUpgrade kUpgrades[] = {
    {"dives", "period", DiveDb::Text},           {"dives", "alerts", DiveDb::Text},
    {"dives", "alertsAI", DiveDb::Text},         {"dives", "computertype", DiveDb::Text},
    {"dives", "firmwareversion", DiveDb::Text},  {"dives", "place", DiveDb::Text},
    {"dives", "site", DiveDb::Text},             {"dives", "buddy", DiveDb::Text},
    {"dives", "diveNumber", DiveDb::Integer},    {"dives", "uploaded", DiveDb::Integer},
    {"dives", "gasSet", DiveDb::Integer},        {"dives", "divermode", DiveDb::Integer},
    {"dives", "ocdivemode", DiveDb::Integer},    {"dives", "diverN2", DiveDb::Blob},
    {"dives", "diverHe", DiveDb::Blob},          {"profiles", "alertFlag", DiveDb::Integer},
    {"profiles", "alertAI", DiveDb::Integer},    {"profiles", "tissues", DiveDb::Integer},
    {"profiles", "gasindex", DiveDb::Integer},   {"profiles", "tankpressure", DiveDb::Integer},
    {"profiles", "battery", DiveDb::Integer},    {"profiles", "gfLow", DiveDb::Integer},
    {"profiles", "gfHigh", DiveDb::Integer},     {"profiles", "ppo2", DiveDb::Integer},
    {"profiles", "tankPressureTxIndex", DiveDb::Integer}, {"profiles", "alertPelagon", DiveDb::Integer},
    {"gases", "gasClass", DiveDb::Integer},
};
constexpr int kUploadedUpgrade = 9;

const char* const kListTriggers[] = {"divesummary_newdive", "divesummary_update", "divesummary_delete"};

bool isBusy(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    // SQLITE_BUSY and SQLITE_LOCKED, with their extended codes.
    return ok && ((code & 0xFF) == 5 || (code & 0xFF) == 6);
}

// The table's columns in lower case (SQLite compares them without regard to
// case); empty when the table does not exist.
QSet<QString> columnsOf(const QSqlDatabase& db, const QString& table, bool& failed)
{
    QSet<QString> columns;
    QSqlQuery info(db);
    info.setForwardOnly(true);
    if (!info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
        failed = true;
        return columns;
    }
    while (info.next())
        columns.insert(info.value(1).toString().toLower());
    return columns;
}

template <std::size_t N>
bool hasAll(const QSet<QString>& columns, const char* const (&names)[N])
{
    for (const char* name : names) {
        if (!columns.contains(QString::fromLatin1(name).toLower()))
            return false;
    }
    return true;
}

} // namespace

QString DiveDb::busyReason()
{
    return tr("The logbook is busy: another program is writing to it. Close that program or try again later.");
}

bool DiveDb::LogbookShape::upToDate() const
{
    return !empty && hasGases && missingColumns.isEmpty() && !nullUploaded && !orphanTriggers
        && version >= kUserVersion;
}

bool DiveDb::inspectLogbook(const QSqlDatabase& db, LogbookShape& shape)
{
    const auto failWith = [&](const QSqlQuery& query) {
        shape.busy = isBusy(query.lastError());
        mLastError = shape.busy ? busyReason() : tr("The file is not a dive logbook");
        return false;
    };
    QSqlQuery objects(db);
    objects.setForwardOnly(true);
    if (!objects.exec(QStringLiteral("SELECT type, name FROM sqlite_master")))
        return failWith(objects);
    QSet<QString> tables;
    QSet<QString> triggers;
    bool anything = false;
    while (objects.next()) {
        anything = true;
        const QString type = objects.value(0).toString();
        const QString name = objects.value(1).toString().toLower();
        if (type == QLatin1String("table"))
            tables.insert(name);
        else if (type == QLatin1String("trigger"))
            triggers.insert(name);
    }
    objects.finish();

    QSqlQuery version(db);
    version.setForwardOnly(true);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return failWith(version);
    shape.version = version.value(0).toInt();
    version.finish();
    if (!anything) {
        shape.empty = true;
        return true;
    }

    bool failed = false;
    const QSet<QString> dives = columnsOf(db, QStringLiteral("dives"), failed);
    const QSet<QString> profiles = columnsOf(db, QStringLiteral("profiles"), failed);
    const QSet<QString> gases = columnsOf(db, QStringLiteral("gases"), failed);
    if (failed) {
        mLastError = tr("The file is not a dive logbook");
        return false;
    }
    shape.hasGases = tables.contains(QStringLiteral("gases"));
    if (!hasAll(dives, kFirstDiveColumns) || !hasAll(profiles, kFirstProfileColumns)
        || (shape.hasGases && !hasAll(gases, kFirstGasColumns))) {
        mLastError = tr("The file is not a dive logbook");
        return false;
    }

    for (int i = 0; i < int(std::size(kUpgrades)); ++i) {
        const ColumnUpgrade& up = kUpgrades[i];
        const QLatin1String table(up.table);
        const QSet<QString>& columns = table == QLatin1String("dives") ? dives
            : table == QLatin1String("profiles")                       ? profiles
                                                                        : gases;
        // A gases table made now gets its columns from its CREATE statement.
        if (table == QLatin1String("gases") && !shape.hasGases)
            continue;
        if (!columns.contains(QString::fromLatin1(up.column).toLower()))
            shape.missingColumns.append(i);
    }
    if (dives.contains(QStringLiteral("uploaded"))) {
        QSqlQuery unset(db);
        unset.setForwardOnly(true);
        if (!unset.exec(QStringLiteral("SELECT 1 FROM dives WHERE uploaded IS NULL LIMIT 1")))
            return failWith(unset);
        shape.nullUploaded = unset.next();
    }
    // The list's triggers without their table would make every insert fail,
    // ours and other programs' alike.
    if (!tables.contains(QStringLiteral("divesummary"))) {
        for (const char* trigger : kListTriggers)
            shape.orphanTriggers = shape.orphanTriggers || triggers.contains(QLatin1String(trigger));
    }
    return true;
}

int DiveDb::upgradeLogbook(QSqlDatabase& db, const LogbookShape& shape)
{
    // All changes in one transaction: an upgrade that fails half-way leaves
    // the file as it was.
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const bool busy = isBusy(begin.lastError());
        mLastError = busy ? busyReason() : begin.lastError().text();
        db.close();
        return busy ? Busy : CannotCreate;
    }
    QString failure;
    bool busy = false;
    const auto run = [&](const QString& statement) {
        if (!failure.isEmpty())
            return;
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            failure = query.lastError().text();
            busy = isBusy(query.lastError());
        }
    };
    if (shape.empty) {
        run(QString::fromLatin1(kCreateDives));
        run(QString::fromLatin1(kCreateProfiles));
    }
    if (!shape.hasGases)
        run(QString::fromLatin1(kCreateGases));
    bool uploadedAdded = false;
    for (const int i : shape.missingColumns) {
        const ColumnUpgrade& up = kUpgrades[i];
        if (!failure.isEmpty() || !addColumnIfMissing(QString::fromLatin1(up.table), QString::fromLatin1(up.column), up.type))
            failure = failure.isEmpty() ? tr("Impossible to add the column %1").arg(QLatin1String(up.column)) : failure;
        uploadedAdded = uploadedAdded || i == kUploadedUpgrade;
    }
    if (shape.nullUploaded || uploadedAdded)
        run(QStringLiteral("UPDATE dives SET uploaded=0 WHERE uploaded IS NULL"));
    // Triggers whose table is gone are dropped; the list makes the set again.
    if (shape.orphanTriggers) {
        for (const char* trigger : kListTriggers)
            run(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(trigger)));
    }
    if (shape.version < kUserVersion)
        run(QStringLiteral("PRAGMA user_version = %1").arg(kUserVersion));
    if (failure.isEmpty())
        run(QStringLiteral("COMMIT"));
    if (failure.isEmpty())
        return Opened;
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    mLastError = busy ? busyReason() : failure;
    db.close();
    return busy ? Busy : CannotCreate;
}
