#pragma once

#include "db/divedbtypes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

struct Dive;

// The logbook: one SQLite file holding every stored dive, its profile lines
// and its gases. One instance per process, on the default Qt SQL connection,
// so every query of the program that names no connection runs on it.
class QSqlDatabase;

class DiveDb : public QObject
{
    Q_OBJECT

public:
    // Results of open(). NotALogbook and Busy leave the file as it was and
    // the logbook closed; lastError() says why.
    enum OpenResult { Opened = 0, CannotOpen = 1, CannotCreate = 3, NotALogbook = 4, Busy = 5 };
    // Column types understood by addColumnIfMissing().
    enum ColumnType { Integer = 0, Real = 1, Text = 2, Blob = 3 };
    // Results of insertDive() and of the updates that report an int.
    enum StoreResult { Stored = 0, NotOpen = 1, DiveExists = 2, SqlError = 3 };
    // Columns listDives() can sort the dives of one serial by.
    enum SortColumn { ByDate = 0, ByDuration = 1, ByMaxDepth = 2 };

    static DiveDb* instance();

    // Opens the logbook at path: a new (empty) file gets the tables, a file
    // written by an older version of the program is brought up to date in one
    // transaction, an up-to-date logbook is opened without writing anything.
    // A file that is not a logbook (recognised by its tables' columns) is
    // refused unchanged; one written by a newer version is opened read-only
    // (isReadOnly(), with the reason in lastError()).
    int open(const QString& path);
    // Closes the file; the connection stays registered and open() may be
    // called again with another path (used by tests and tools).
    void close();
    bool isOpen() const;
    // Every write is refused (SqlError or false, with readOnlyReason() in
    // lastError()).
    bool isReadOnly() const { return mReadOnly; }
    static QString readOnlyReason();
    static QString busyReason();
    bool addColumnIfMissing(const QString& table, const QString& column, int type);
    QString lastError() const { return mLastError; }

    // Storing and changing dives. Every write runs in its own transaction (a
    // savepoint, so that it also nests in a caller's transaction) and leaves
    // nothing behind when it fails.
    // A dive without a name is stored under DiveFileLimits::defaultDiveName();
    // storedId, when given, receives the new dive's id on success.
    int insertDive(const Dive& dive, int* storedId = nullptr);
    // False, with the dive left as it was, when the dive or its profile
    // cannot be read; missing gas rows only leave the dive without gases.
    bool loadDive(int diveId, Dive& dive);
    bool deleteDive(int diveId);
    bool renameDive(int diveId, const QString& name);
    int updatePlaceSiteBuddy(int diveId, const DivePlace& place);
    int updateComputerName(const QString& serial, const QString& computerName, bool& changed);

    // Finding and listing dives.
    int findDiveId(const QString& name, const QString& serial);
    QList<quint16> storedDiveNumbers(const QString& serial);
    void serialsAndComputers(QStringList& serials, QStringList& computers);
    // Serials ascending, the dives of one serial by `column` (a SortColumn);
    // computerCount is the number of distinct (serial, computer name) pairs.
    QList<DiveListEntry> listDives(const DiveFilter& filter, int column, bool descending, int& computerCount);

    static constexpr int kUserVersion = 1;

private:
    DiveDb();

    // What open() finds in a file before it writes anything.
    struct LogbookShape
    {
        bool empty = false;       // no table yet: a new logbook
        bool busy = false;        // another program kept it locked
        int version = 0;          // PRAGMA user_version
        bool hasGases = false;
        QList<int> missingColumns; // indexes into the column upgrades
        bool nullUploaded = false; // dives whose uploaded flag is not set
        bool orphanTriggers = false; // list triggers whose table is gone
        bool upToDate() const;
    };
    bool inspectLogbook(const QSqlDatabase& db, LogbookShape& shape);
    int upgradeLogbook(QSqlDatabase& db, const LogbookShape& shape);
    // False, with lastError() set, when the logbook is read-only.
    bool writable();
    void restoreConnectOptions(QSqlDatabase& db);

    // The dive list needs each dive's duration and depth. They are kept in
    // two columns of the dive's row, which triggers on "profiles" clear
    // whenever a profile changes, whoever writes the file. They are made on
    // first need, not by open().
    enum ListCache { CacheUnknown, CacheReady, CacheUnavailable };
    bool listCacheReady();
    int nextDiveId();

    QString mLastError;
    ListCache mListCache = CacheUnknown;
    bool mReadOnly = false;
    QString mCallerOptions; // the connection's options before a read-only open
};
