#pragma once

// Writes zip archives for the update tests with minizip: any entry name,
// including the ones a hostile archive would carry ("../x", "/x").

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>

#include <zip.h>
#include <zlib.h>

namespace testzip {

using Entry = QPair<QString, QByteArray>; // name (a trailing '/' makes a folder), contents

inline bool write(const QString& path, const QList<Entry>& entries)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const Entry& entry : entries) {
        zip_fileinfo info{};
        const QByteArray name = entry.first.toUtf8();
        ok = ok
            && zipOpenNewFileInZip64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                     Z_DEFAULT_COMPRESSION, 1)
                == ZIP_OK;
        if (ok && !entry.second.isEmpty())
            ok = zipWriteInFileInZip(zip, entry.second.constData(), unsigned(entry.second.size())) == ZIP_OK;
        ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

inline QByteArray bytes(const QList<Entry>& entries, const QString& scratchPath)
{
    QFile::remove(scratchPath);
    if (!write(scratchPath, entries))
        return {};
    QFile file(scratchPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testzip
