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
class DiveDb : public QObject
{
    Q_OBJECT

public:
    // Results of open().
    enum OpenResult { Opened = 0, CannotOpen = 1, CannotCreate = 3 };
    // Column types understood by addColumnIfMissing().
    enum ColumnType { Integer = 0, Real = 1, Text = 2, Blob = 3 };
    // Results of insertDive() and of the updates that report an int.
    enum StoreResult { Stored = 0, NotOpen = 1, DiveExists = 2, SqlError = 3 };
    // Columns listDives() can sort the dives of one serial by.
    enum SortColumn { ByDate = 0, ByDuration = 1, ByMaxDepth = 2 };

    static DiveDb* instance();

    int open(const QString& path);
    // Closes the file; the connection stays registered and open() may be
    // called again with another path (used by tests and tools).
    void close();
    bool isOpen() const;
    bool addColumnIfMissing(const QString& table, const QString& column, int type);
    QString lastError() const { return mLastError; }

    // Storing and changing dives. Every write runs in its own transaction (a
    // savepoint, so that it also nests in a caller's transaction) and leaves
    // nothing behind when it fails.
    int insertDive(const Dive& dive);
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

    // The dive list needs each dive's duration and depth. They are kept per
    // dive in a table "divesummary" whose rows triggers on "dives" and
    // "profiles" drop whenever a dive is added or a profile changes, whoever
    // writes the file. It is made on first need, not by open().
    enum ListCache { CacheUnknown, CacheReady, CacheUnavailable };
    bool listCacheReady();
    int nextDiveId();

    QString mLastError;
    ListCache mListCache = CacheUnknown;
};
