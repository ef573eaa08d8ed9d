#include "divedata/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool saveFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;
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

bool openRegularFile(const QString& path, QFile& file)
{
#if defined(Q_OS_UNIX)
    // Opened without blocking (a FIFO would otherwise wait for a writer before
    // open() returns) and checked on the open descriptor, so that nothing
    // swapped in after a check by name gets through.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.isSequential()) {
        file.close();
        return false;
    }
    return true;
#endif
}

bool readFileCapped(const QString& path, qint64 maxBytes, QByteArray& contents)
{
    QFile file;
    if (!openRegularFile(path, file))
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
