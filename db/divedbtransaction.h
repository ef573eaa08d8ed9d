#pragma once

#include <QSqlDatabase>
#include <QString>

// One all-or-nothing unit of work on the logbook. It is a named savepoint
// rather than BEGIN so that it works alone (where it is a transaction of its
// own) and inside a transaction the caller already holds. Unless commit()
// succeeded, the destructor rolls every change back.
class DbTransaction
{
public:
    explicit DbTransaction(const QSqlDatabase& db);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    bool isActive() const { return mActive; }
    // Text of the error that kept the savepoint from starting or committing.
    QString error() const { return mError; }
    bool commit();

private:
    bool run(const char* statement);

    QSqlDatabase mDb;
    bool mActive = false;
    QString mError;
};
