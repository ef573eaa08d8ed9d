#include "divedata/safefile.h"

#include <QFile>
#include <QSaveFile>

bool saveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!write(file)) {
        file.cancelWriting();
        return false;
    }
    // commit() also reports any write error met on the way and then discards
    // the temporary file instead of renaming it.
    return file.commit();
}

bool readFileCapped(const QString& path, qint64 maxBytes, QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A regular file states its size; refuse early without reading.
    if (!file.isSequential() && file.size() > maxBytes)
        return false;

    constexpr qint64 chunk = 64 * 1024;
    QByteArray data;
    if (!file.isSequential())
        data.reserve(qsizetype(file.size()) + 1);
    for (;;) {
        const qint64 room = maxBytes + 1 - data.size();
        const qint64 want = qMin(chunk, room);
        if (want <= 0)
            return false; // more than maxBytes
        const qsizetype before = data.size();
        data.resize(before + want);
        const qint64 got = file.read(data.data() + before, want);
        if (got < 0)
            return false;
        data.resize(before + got);
        if (got == 0)
            break;
    }
    if (data.size() > maxBytes)
        return false;
    contents = std::move(data);
    return true;
}
