#pragma once

#include "db/divedb.h"
#include "divedata/dive.h"
#include "recordeddive.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cmath>
#include <memory>

// A fresh logbook file per test function: init() opens it, cleanup() closes it.
class LogbookFixture
{
public:
    bool open()
    {
        mDir = std::make_unique<QTemporaryDir>();
        mPath = mDir->filePath(QStringLiteral("diveDB.db"));
        return mDir->isValid() && DiveDb::instance()->open(mPath) == DiveDb::Opened;
    }
    void close()
    {
        DiveDb::instance()->close();
        // Options a test set for its own file must not leak into the next one.
        QSqlDatabase::database(QSqlDatabase::defaultConnection, false).setConnectOptions();
        mDir.reset();
    }
    QString path() const { return mPath; }
    QString dir() const { return mDir->path(); }

private:
    std::unique_ptr<QTemporaryDir> mDir;
    QString mPath;
};

// A connection of its own to a database file, as another program holds one;
// closed and removed when it goes (queries on it must be gone first).
class OtherProgram
{
public:
    explicit OtherProgram(const QString& path, const QString& name = QStringLiteral("other program"))
        : mName(name)
    {
        QSqlDatabase connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), mName);
        connection.setDatabaseName(path);
        mOpen = connection.open();
    }
    ~OtherProgram()
    {
        database().close();
        QSqlDatabase::removeDatabase(mName);
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    bool isOpen() const { return mOpen; }
    QSqlDatabase database() const { return QSqlDatabase::database(mName, false); }
    bool exec(const QString& statement) const { return QSqlQuery(database()).exec(statement); }

private:
    QString mName;
    bool mOpen = false;
};

// A recorded dive of `points` lines every 5 s down to `depth` and back.
inline Dive makeDive(const QString& name, const QString& serial, qint64 begin, int points = 12, double depth = 20.0)
{
    return RecordedDive::make(name, serial, begin, points, depth);
}

// Runs one statement outside DiveDb; the result of its first column.
inline QVariant sqlValue(const QString& statement)
{
    QSqlQuery query;
    if (!query.exec(statement) || !query.next())
        return QVariant();
    return query.value(0);
}

inline qint64 localSecs(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second)).toSecsSinceEpoch();
}
