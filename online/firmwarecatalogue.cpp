#include "online/firmwarecatalogue.h"

#include "divedata/safefile.h"
#include "online/safenames.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QRegularExpression>

QString FirmwareEntry::localName() const
{
    return SafeNames::localFirmwareName(file, dateTime);
}

QString FirmwareEntry::uploadName() const
{
    QString name = file;
    if (name.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

namespace FirmwareCatalogue {

namespace {

QString text(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toString();
}

bool isImageName(const QString& name)
{
    return !SafeNames::plainBaseName(name).isEmpty() && name.size() > 4
        && name.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive);
}

} // namespace

QList<FirmwareEntry> fromTableOfContents(const QJsonArray& toc)
{
    QList<FirmwareEntry> entries;
    for (const QJsonValue& value : toc) {
        const QJsonObject object = value.toObject();
        FirmwareEntry entry;
        entry.file = text(object, "File");
        if (!isImageName(entry.file) || entry.localName().isEmpty()) {
            qDebug().noquote() << "Firmware catalogue: refused file name" << entry.file;
            continue;
        }
        entry.version = parseVersion(text(object, "Version"));
        entry.versionText = versionText(entry.version);
        entry.description = text(object, "Description");
        entry.color = parseColor(text(object, "Color"));
        entry.dateTime = text(object, "DateTime");
        entries.append(entry);
    }
    return entries;
}

void applyListing(QList<FirmwareEntry>& entries, const QJsonArray& listing)
{
    // The entries by file name: a listing and a table of contents of many
    // thousand names each (the server decides) are matched in linear time.
    QHash<QString, QList<qsizetype>> byFile;
    for (qsizetype i = 0; i < entries.size(); ++i)
        byFile[entries.at(i).file].append(i);
    for (const QJsonValue& value : listing) {
        const QJsonObject object = value.toObject();
        const QString name = text(object, "name");
        if (!name.endsWith(QLatin1String("bin")))
            continue;
        const auto described = byFile.constFind(name);
        if (described == byFile.constEnd())
            continue;
        // Only a web address downloads: never a local file or another scheme.
        const QUrl url(text(object, "download_url"));
        if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
            continue;
        for (const qsizetype i : *described)
            entries[i].downloadUrl = url;
    }
}

quint32 parseVersion(const QString& text, bool* ok)
{
    static const QRegularExpression pattern(QStringLiteral("^0[xX]([0-9A-Fa-f]{8})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (ok)
        *ok = match.hasMatch();
    return match.hasMatch() ? match.captured(1).toUInt(nullptr, 16) : 0;
}

QString versionText(quint32 version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version >> 24)
        .arg((version >> 16) & 0xff)
        .arg((version >> 8) & 0xff)
        .arg(QChar(char16_t(version & 0xff)));
}

QColor parseColor(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!pattern.match(text.trimmed()).hasMatch())
        return QColor(Qt::white);
    return QColor(text.trimmed());
}

bool isImageSize(qint64 size)
{
    return size >= kMinImageSize && size <= kMaxImageSize;
}

bool loadImage(const QString& path, QByteArray& image, QString* reason)
{
    const QFileInfo info(path);
    if (info.exists() && !isImageSize(info.size())) {
        if (reason)
            *reason = QCoreApplication::translate("FirmwareCatalogue", "A firmware file holds %1 to %2 bytes; %3 has %4")
                          .arg(kMinImageSize)
                          .arg(kMaxImageSize)
                          .arg(info.fileName())
                          .arg(info.size());
        return false;
    }
    if (!readFileCapped(path, kMaxImageSize, image) || !isImageSize(image.size())) {
        if (reason)
            *reason = QCoreApplication::translate("FirmwareCatalogue", "Impossible to load binary file");
        return false;
    }
    return true;
}

} // namespace FirmwareCatalogue
