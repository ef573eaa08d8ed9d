#pragma once

#include "tools/divefiles.h"
#include "tools/tooloutput.h"

#include "db/divedb.h"
#include "db/divedbtypes.h"
#include "divedata/dive.h"
#include "divedata/divelinesio.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <optional>

namespace divetool {

// The logbook file of one command: opened (and created with the program's
// schema when it does not exist) on construction, closed on destruction.
class LogbookFile
{
public:
    explicit LogbookFile(const QString& path) : m_path(path) {}
    ~LogbookFile() { DiveDb::instance()->close(); }
    LogbookFile(const LogbookFile&) = delete;
    LogbookFile& operator=(const LogbookFile&) = delete;

    bool open()
    {
        // An empty name would give SQLite's temporary database, and a dive
        // file's name most likely means the arguments were swapped: neither
        // is opened (nor created) as a logbook.
        if (m_path.isEmpty()) {
            printError(QStringLiteral("db"), QStringLiteral("the logbook path is empty"));
            return false;
        }
        if (DiveLinesIO::fileTypeOf(m_path) != DiveFileType::Unknown) {
            printError(m_path, QStringLiteral("is a dive file, not a logbook (the logbook comes first)"));
            return false;
        }
        if (QFileInfo(m_path).isDir()) {
            printError(m_path, QStringLiteral("Impossible to open database: it is a folder"));
            return false;
        }
        switch (db()->open(m_path)) {
        case DiveDb::Opened:
            return true;
        case DiveDb::CannotCreate:
            printError(m_path, QStringLiteral("Impossible to create database: ") + db()->lastError());
            return false;
        case DiveDb::NotALogbook:
        case DiveDb::Busy:
            // Left as it was: not a logbook, or another program is writing it.
            printError(m_path, QStringLiteral("Impossible to open database: ") + db()->lastError());
            return false;
        default:
            printError(m_path, QStringLiteral("Impossible to open database"));
            return false;
        }
    }

    // The dive's line of the dive list, or none when no dive has that id.
    std::optional<DiveListEntry> entry(int diveId) const
    {
        int computers = 0;
        const QList<DiveListEntry> all = db()->listDives(DiveFilter(), DiveDb::ByDate, true, computers);
        const auto found = std::find_if(all.cbegin(), all.cend(),
                                        [diveId](const DiveListEntry& e) { return e.diveId == diveId; });
        if (found == all.cend())
            return std::nullopt;
        return *found;
    }

    // Loads the dive; on false the problem is reported: no such dive, or the
    // program's "Impossible to read profile" with the database's reason.
    bool load(int diveId, Dive& dive) const
    {
        const QString errorBefore = db()->lastError();
        if (db()->loadDive(diveId, dive))
            return true;
        if (!entry(diveId)) {
            reportMissing(diveId);
            return false;
        }
        const QString reason = db()->lastError();
        printError(m_path, reason != errorBefore && !reason.isEmpty()
                               ? QStringLiteral("Impossible to read profile: ") + reason
                               : QStringLiteral("Impossible to read profile"));
        return false;
    }

    void reportMissing(int diveId) const
    {
        printError(m_path, QStringLiteral("no dive with id %1").arg(diveId));
    }

    static DiveDb* db() { return DiveDb::instance(); }
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace divetool
