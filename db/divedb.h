#pragma once

#include <QObject>
#include <QString>

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

    static DiveDb* instance();

    int open(const QString& path);
    // Closes the file; the connection stays registered and open() may be
    // called again with another path (used by tests and tools).
    void close();
    bool isOpen() const;
    bool addColumnIfMissing(const QString& table, const QString& column, int type);
    QString lastError() const { return mLastError; }

    static constexpr int kUserVersion = 1;

private:
    DiveDb();

    QString mLastError;
};
