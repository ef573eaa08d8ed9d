#include "online/updatearchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <unzip.h>

#include <memory>

namespace UpdateArchive {

namespace {

struct ZipCloser
{
    void operator()(void* zip) const { unzClose(zip); }
};
using ZipHandle = std::unique_ptr<void, ZipCloser>;

// Inflates the current entry into `target`, counting against `budget`.
QString inflateEntry(unzFile zip, const QString& target, qint64& budget, qint64& written)
{
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return QCoreApplication::translate("UpdateArchive", "Damaged archive entry");
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        unzCloseCurrentFile(zip);
        return QCoreApplication::translate("UpdateArchive", "Cannot write %1: %2").arg(target, file.errorString());
    }
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const int read = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
        if (read < 0) {
            unzCloseCurrentFile(zip);
            return QCoreApplication::translate("UpdateArchive", "Damaged archive entry");
        }
        if (read == 0)
            break;
        budget -= read;
        if (budget < 0) {
            unzCloseCurrentFile(zip);
            return QCoreApplication::translate("UpdateArchive", "The archive unpacks to more than the allowed size");
        }
        if (file.write(buffer.constData(), read) != read) {
            unzCloseCurrentFile(zip);
            return QCoreApplication::translate("UpdateArchive", "Cannot write %1: %2").arg(target, file.errorString());
        }
        written += read;
    }
    if (unzCloseCurrentFile(zip) != UNZ_OK)
        return QCoreApplication::translate("UpdateArchive", "Damaged archive entry");
    if (!file.flush())
        return QCoreApplication::translate("UpdateArchive", "Cannot write %1: %2").arg(target, file.errorString());
    return {};
}

QString unpackAll(unzFile zip, const QString& folder, qint64 maxBytes, int maxEntries, Result& result)
{
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK)
        return QCoreApplication::translate("UpdateArchive", "Not a zip archive");
    if (global.number_entry > ZPOS64_T(maxEntries))
        return QCoreApplication::translate("UpdateArchive", "The archive holds too many files");
    const QDir root(folder);
    qint64 budget = maxBytes;
    int entries = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        if (++entries > maxEntries)
            return QCoreApplication::translate("UpdateArchive", "The archive holds too many files");
        unz_file_info64 info{};
        char rawName[1024];
        if (unzGetCurrentFileInfo64(zip, &info, rawName, sizeof rawName, nullptr, 0, nullptr, 0) != UNZ_OK)
            return QCoreApplication::translate("UpdateArchive", "Damaged archive entry");
        const bool utf8 = info.flag & (1u << 11);
        const QByteArray raw(rawName, int(qstrnlen(rawName, sizeof rawName)));
        const QString name = utf8 ? QString::fromUtf8(raw) : QString::fromLatin1(raw);
        const QString relative = entryPath(name);
        if (relative.isEmpty())
            return QCoreApplication::translate("UpdateArchive", "The archive holds an entry outside its folder: %1").arg(name);
        const QString target = root.filePath(relative);
        if (name.endsWith(u'/') || name.endsWith(u'\\')) {
            if (!QDir().mkpath(target))
                return QCoreApplication::translate("UpdateArchive", "Cannot create %1").arg(target);
            continue;
        }
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return QCoreApplication::translate("UpdateArchive", "Cannot create %1").arg(QFileInfo(target).absolutePath());
        const QString error = inflateEntry(zip, target, budget, result.bytes);
        if (!error.isEmpty())
            return error;
        ++result.files;
    }
    return {};
}

} // namespace

QString entryPath(const QString& name)
{
    QString path = name;
    path.replace(u'\\', u'/');
    if (path.startsWith(u'/') || path.contains(u':'))
        return {};
    QStringList segments;
    for (const QString& segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String(".."))
            return {};
        for (const QChar c : segment) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return {};
        }
        segments.append(segment);
    }
    return segments.join(u'/');
}

QString freshFolderFor(const QString& archivePath)
{
    const QFileInfo archive(archivePath);
    const QString base = archive.absoluteDir().filePath(archive.completeBaseName());
    QString folder = base;
    for (int n = 2; QFileInfo::exists(folder); ++n)
        folder = base + QStringLiteral("-%1").arg(n);
    return folder;
}

Result unpack(const QString& archivePath, const QString& folder, qint64 maxBytes, int maxEntries)
{
    Result result;
    if (QFileInfo::exists(folder)) {
        result.error = QCoreApplication::translate("UpdateArchive", "The folder %1 exists already").arg(folder);
        return result;
    }
    ZipHandle zip(unzOpen64(QFile::encodeName(archivePath).constData()));
    if (!zip) {
        result.error = QCoreApplication::translate("UpdateArchive", "Not a zip archive");
        return result;
    }
    if (!QDir().mkpath(folder)) {
        result.error = QCoreApplication::translate("UpdateArchive", "Cannot create %1").arg(folder);
        return result;
    }
    result.error = unpackAll(zip.get(), folder, maxBytes, maxEntries, result);
    result.ok = result.error.isEmpty();
    if (!result.ok) {
        QDir(folder).removeRecursively();
        result.bytes = 0;
        result.files = 0;
    }
    return result;
}

QString installerPath(const QString& folder, const QString& archivePath)
{
    return QDir(folder).filePath(QFileInfo(archivePath).completeBaseName() + QStringLiteral(".exe"));
}

} // namespace UpdateArchive
