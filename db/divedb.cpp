#include "db/divedb.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

QString typeName(int type)
{
    static const QStringList names = {QStringLiteral("INTEGER"), QStringLiteral("REAL"),
                                      QStringLiteral("TEXT"), QStringLiteral("BLOB")};
    return type >= 0 && type < names.size() ? names.at(type) : QString();
}

} // namespace

QString DiveDb::readOnlyReason()
{
    return tr("This logbook was written by a newer version of the program. It is opened read-only: "
              "no dive can be stored, changed or deleted.");
}

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

void DiveDb::restoreConnectOptions(QSqlDatabase& db)
{
    // The read-only switch of a newer logbook was ours, not the caller's.
    if (mReadOnly)
        db.setConnectOptions(mCallerOptions);
    mReadOnly = false;
}

void DiveDb::close()
{
    QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    db.close();
    restoreConnectOptions(db);
    mListCache = CacheUnknown;
}

int DiveDb::open(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
    if (db.isOpen())
        db.close();
    restoreConnectOptions(db);
    mListCache = CacheUnknown;
    db.setDatabaseName(path);
    if (!db.open())
        return CannotOpen;

    // Everything is looked at before anything is written: a file that is not
    // a logbook, or one of a newer version, is never changed.
    LogbookShape shape;
    if (!inspectLogbook(db, shape)) {
        db.close();
        return shape.busy ? Busy : NotALogbook;
    }
    if (shape.version > kUserVersion) {
        // Written by a newer version of the program: shown, never written.
        db.close();
        mCallerOptions = db.connectOptions();
        db.setConnectOptions(mCallerOptions.isEmpty() ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                                      : mCallerOptions + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        mReadOnly = true;
        if (!db.open()) {
            restoreConnectOptions(db);
            return CannotOpen;
        }
        mLastError = readOnlyReason();
        return Opened;
    }
    if (shape.upToDate())
        return Opened;
    return upgradeLogbook(db, shape);
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
