#pragma once

#include <QString>

// Unpacks a downloaded update archive (zip) into a folder of its own. An
// archive is refused as a whole, and the folder removed again, when an entry
// would land outside that folder (absolute paths, drive letters, ".."), when
// it holds more than the allowed number of entries or bytes (counted while
// inflating, not taken from the archive's claims), or when it is damaged.
namespace UpdateArchive {

constexpr qint64 kMaxUnpackedBytes = 1024LL * 1024 * 1024;
constexpr int kMaxEntries = 10000;

struct Result
{
    bool ok = false;
    QString error;     // why it was refused
    qint64 bytes = 0;  // written
    int files = 0;     // written
};

// A folder beside the archive, named after it without its last extension,
// that does not exist yet ("Setup_1.5.0", else "Setup_1.5.0-2", ...).
QString freshFolderFor(const QString& archivePath);

// Unpacks into `folder`, which must not exist yet.
Result unpack(const QString& archivePath, const QString& folder, qint64 maxBytes = kMaxUnpackedBytes,
              int maxEntries = kMaxEntries);

// The entry name as a relative path inside the folder ("a/b.txt"); empty
// when it would leave the folder or is not a usable name.
QString entryPath(const QString& name);

// The installer an archive brings: the archive's name without its last
// extension, with ".exe", inside `folder`.
QString installerPath(const QString& folder, const QString& archivePath);

} // namespace UpdateArchive
