#pragma once

#include <QByteArray>
#include <QColor>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QUrl>

// One firmware image published in the repository, as its table of contents
// describes it.
struct FirmwareEntry
{
    QString file;        // "File": plain base name ending in ".bin"
    quint32 version = 0; // "Version": major, minor, patch, letter code
    QString versionText; // "1.4.2.b"
    QString description;
    QColor color = Qt::white;
    QString dateTime;
    QUrl downloadUrl; // from the listing; empty when the file is not published

    // The name of the downloaded image in the local firmware folder.
    QString localName() const;
    // The file name up to ".bin": what the computer is told the image is.
    QString uploadName() const;
};

namespace FirmwareCatalogue {

// The sizes an image may have: a 512-byte preamble plus the 32-byte header,
// up to 16 MiB.
constexpr qint64 kMinImageSize = 544;
constexpr qint64 kMaxImageSize = 16 * 1024 * 1024;

// The entries of a table of contents, in its order. Elements whose "File" is
// not a plain base name ending in ".bin" are left out (a name from the
// server never leads outside the firmware folder).
QList<FirmwareEntry> fromTableOfContents(const QJsonArray& toc);

// Gives each entry the "download_url" of the listed file of the same name;
// listed files whose name does not end in "bin", or that the table of
// contents does not describe, are ignored.
void applyListing(QList<FirmwareEntry>& entries, const QJsonArray& listing);

// "0x01040262" → 0x01040262; 0 when malformed.
quint32 parseVersion(const QString& text, bool* ok = nullptr);
// 0x01040262 → "1.4.2.b".
QString versionText(quint32 version);
// "#FF8000" → orange; empty or malformed → white.
QColor parseColor(const QString& text);

bool isImageSize(qint64 size);
// Loads an image file of a valid size; false with a reason otherwise.
bool loadImage(const QString& path, QByteArray& image, QString* reason = nullptr);

} // namespace FirmwareCatalogue
