#include "db/divedbtransaction.h"

#include <QSqlError>
#include <QSqlQuery>

DbTransaction::DbTransaction(const QSqlDatabase& db)
    : mDb(db)
{
    mActive = run("SAVEPOINT pelagon_write");
}

DbTransaction::~DbTransaction()
{
    if (!mActive)
        return;
    // Undo the work, then leave the savepoint. When the savepoint was the
    // outermost transaction and even leaving it fails, ROLLBACK ends it.
    run("ROLLBACK TO pelagon_write");
    if (!run("RELEASE pelagon_write"))
        run("ROLLBACK");
}

bool DbTransaction::commit()
{
    if (!mActive)
        return false;
    if (run("RELEASE pelagon_write")) {
        mActive = false;
        return true;
    }
    // Committing failed (the file is locked, the disk is full ...): the
    // destructor rolls back, which also keeps the savepoints balanced.
    return false;
}

bool DbTransaction::run(const char* statement)
{
    QSqlQuery query(mDb);
    if (query.exec(QString::fromLatin1(statement)))
        return true;
    mError = query.lastError().text();
    return false;
}
