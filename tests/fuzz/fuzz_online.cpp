// Feeds arbitrary bytes to what the program reads from servers. The first
// byte picks the reader:
//  - Contents: the repository's answer for the table of contents (a file
//    object whose content is Base64 text of a JSON array).
//  - Catalogue: a table of contents (16-bit length, JSON array) and the
//    folder listing (the rest) joined into firmware entries.
//  - Media: a page of the website's media library, searched for an update.
//  - Archive: a downloaded update archive, unpacked into a fresh folder.
// A reader may refuse the bytes, never crash, hang, leak, step outside its
// buffers or write outside its folder.
//
// With PELAGON_FUZZ_SEEDS=<folder> set, the program writes one well-formed
// input per reader into the folder and stops.

#include "online/firmwarecatalogue.h"
#include "online/firmwaredownloader.h"
#include "online/updatearchive.h"
#include "online/updateoffer.h"
#include "fuzzinput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

enum Reader : quint8 { Contents, Catalogue, Media, Archive, ReaderCount };

// Unpacked archives stay small: the limits are tested elsewhere, the
// fuzzer looks for what goes wrong on the way.
constexpr qint64 kUnpackBytes = 8 * 1024 * 1024;

QTemporaryDir* scratch()
{
    static std::unique_ptr<QTemporaryDir> dir(new QTemporaryDir);
    return dir.get();
}

QByteArray tocText()
{
    QJsonArray toc;
    for (int i = 0; i < 3; ++i)
        toc.append(QJsonObject{{"File", QStringLiteral("firmware_1.%1.bin").arg(i)},
                               {"Version", QStringLiteral("0x0104%1062").arg(i, 2, 10, QLatin1Char('0'))},
                               {"Description", "Fixes"},
                               {"Color", "#FF8000"},
                               {"DateTime", "2024-05-01 10:00"}});
    return QJsonDocument(toc).toJson();
}

QByteArray listingText()
{
    QJsonArray listing;
    for (int i = 0; i < 3; ++i)
        listing.append(QJsonObject{{"name", QStringLiteral("firmware_1.%1.bin").arg(i)},
                                   {"download_url", QStringLiteral("https://example.org/f/firmware_1.%1.bin").arg(i)}});
    return QJsonDocument(listing).toJson();
}

QByteArray zipOf(const QList<std::pair<QByteArray, QByteArray>>& entries)
{
    const QString path = scratch()->filePath(QStringLiteral("seed.zip"));
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    for (const auto& [name, contents] : entries) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 1);
        zipWriteInFileInZip(zip, contents.constData(), unsigned(contents.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    file.remove();
    return bytes;
}

void writeSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    const auto put = [&](const char* name, Reader reader, const QByteArray& bytes) {
        QFile file(QDir(folder).filePath(QLatin1String(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1, char(reader)) + bytes);
    };
    const QByteArray toc = tocText();
    put("contents", Contents,
        QJsonDocument(QJsonObject{{"name", "toc.json"}, {"encoding", "base64"},
                                  {"content", QString::fromLatin1(toc.toBase64())}})
            .toJson());
    put("catalogue", Catalogue,
        QByteArray(1, char(toc.size() & 0xFF)) + char(toc.size() >> 8 & 0xFF) + char(toc.size() >> 16) + toc
            + listingText());
    QJsonArray media;
    for (const char* title : {"Manual", "PelagonDiveLogSetup_1.5.0", "PelagonDiveLogSetup_2.0.1"})
        media.append(QJsonObject{{"title", QJsonObject{{"rendered", title}}},
                                 {"source_url", QStringLiteral("https://example.org/%1.zip").arg(QLatin1String(title))}});
    put("media", Media, QJsonDocument(media).toJson());
    put("archive", Archive,
        zipOf({{"PelagonDiveLogSetup_1.5.0.exe", QByteArray(3000, 'x')},
               {"docs/", QByteArray()},
               {"docs/readme.txt", "Install me"}}));
}

void readArchive(const QByteArray& bytes)
{
    const QString archive = scratch()->filePath(QStringLiteral("update.zip"));
    {
        QFile file(archive);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(bytes);
    }
    const QString folder = UpdateArchive::freshFolderFor(archive);
    UpdateArchive::unpack(archive, folder, kUnpackBytes);
    // Nothing may land beside the folder: the scratch folder holds the
    // archive and, at most, the folder.
    const QStringList beside = QDir(scratch()->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (beside.size() > 2 || (beside.size() == 2 && !beside.contains(QFileInfo(folder).fileName())))
        std::abort();
    QDir(folder).removeRecursively();
    QFile::remove(archive);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The catalogue reports every name it refuses; the fuzzer would drown in it.
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    static QCoreApplication app(*argc, *argv);
    writeSeedsIfAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzInput in(bytes, size);
    switch (in.byte() % ReaderCount) {
    case Contents: {
        const QList<FirmwareEntry> entries =
            FirmwareCatalogue::fromTableOfContents(FirmwareDownloader::tableOfContents(in.rest()));
        for (const FirmwareEntry& entry : entries)
            entry.uploadName();
        break;
    }
    case Catalogue: {
        const std::size_t length = in.word() | std::size_t(in.byte()) << 16;
        const QByteArray toc = in.take(length);
        QList<FirmwareEntry> entries = FirmwareCatalogue::fromTableOfContents(QJsonDocument::fromJson(toc).array());
        FirmwareCatalogue::applyListing(entries, QJsonDocument::fromJson(in.rest()).array());
        break;
    }
    case Media: {
        QList<QJsonObject> media;
        for (const QJsonValue& value : QJsonDocument::fromJson(in.rest()).array())
            media.append(value.toObject());
        UpdateCheck::findOffer(media, VersionTriple::fromString(QStringLiteral("1.4.0.1")));
        break;
    }
    case Archive:
        readArchive(in.rest());
        break;
    }
    return 0;
}
