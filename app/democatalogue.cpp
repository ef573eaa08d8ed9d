#include "app/democatalogue.h"

#include "corvane/simulator/computerflash.h"
#include "online/loopbackfileserver.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr quint32 kApplication = 0xDEADBEEF;
constexpr quint32 kBootloader = 0x424F4F54;
const QString kTableOfContents = QStringLiteral("toc-private.json");

// The repository's answer for one file: its Base64 in lines of 60 characters.
QByteArray fileObject(const QString& name, const QByteArray& contents)
{
    const QByteArray base64 = contents.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < base64.size(); at += 60)
        lines += base64.mid(at, 60) + '\n';
    return QJsonDocument(QJsonObject{{QStringLiteral("name"), name},
                                     {QStringLiteral("path"), name},
                                     {QStringLiteral("type"), QStringLiteral("file")},
                                     {QStringLiteral("encoding"), QStringLiteral("base64")},
                                     {QStringLiteral("size"), int(contents.size())},
                                     {QStringLiteral("content"), QString::fromLatin1(lines)}})
        .toJson(QJsonDocument::Compact);
}

} // namespace

DemoFirmwareCatalogue::DemoFirmwareCatalogue(QObject* parent)
    : QObject(parent), m_server(new LoopbackFileServer(this))
{
    setObjectName(QStringLiteral("DemoFirmwareCatalogue"));
    if (!m_server->listen())
        return;
    const QString contents = repository().contentsUrl().path();
    QJsonArray toc;
    QJsonArray listing;
    for (const Image& image : images()) {
        const QString filePath = QStringLiteral("/files/") + image.file;
        m_server->serve(filePath, image.bytes);
        toc.append(QJsonObject{{QStringLiteral("File"), image.file},
                               {QStringLiteral("Version"), QStringLiteral("0x%1").arg(image.version, 8, 16, QLatin1Char('0'))},
                               {QStringLiteral("Description"), image.description},
                               {QStringLiteral("Color"), image.color},
                               {QStringLiteral("DateTime"), image.dateTime}});
        listing.append(QJsonObject{{QStringLiteral("name"), image.file},
                                   {QStringLiteral("download_url"), m_server->url(filePath).toString()}});
    }
    listing.append(QJsonObject{{QStringLiteral("name"), kTableOfContents},
                               {QStringLiteral("download_url"), m_server->url(QStringLiteral("/files/") + kTableOfContents).toString()}});
    m_server->serve(contents, QJsonDocument(listing).toJson(QJsonDocument::Compact), "application/json");
    m_server->serve(contents + QLatin1Char('/') + kTableOfContents,
                    fileObject(kTableOfContents, QJsonDocument(toc).toJson()), "application/json");
}

DemoFirmwareCatalogue::~DemoFirmwareCatalogue() = default;

bool DemoFirmwareCatalogue::isServing() const
{
    return m_server->isListening();
}

RepositoryAccess DemoFirmwareCatalogue::repository() const
{
    return RepositoryAccess(m_server->url(), QString());
}

QList<DemoFirmwareCatalogue::Image> DemoFirmwareCatalogue::images()
{
    // The demo computer runs firmware 2.0.12.b over bootloader 1.2.0.a.
    return {
        {QStringLiteral("Pelagon.2.0.13.c.bin"), 0x02000D63, QStringLiteral("Newer firmware: try it"), QStringLiteral("#2E8B57"),
         QStringLiteral("2026-11-20T09:00:00Z"), SimulatedFlash::firmwareImage(kApplication, 0x02000D63, 96 * 1024, 213)},
        {QStringLiteral("Pelagon.2.0.12.b.bin"), 0x02000C62, QStringLiteral("The firmware the demo computer runs"), QString(),
         QStringLiteral("2026-06-01T09:00:00Z"), SimulatedFlash::firmwareImage(kApplication, 0x02000C62, 96 * 1024, 212)},
        {QStringLiteral("Bootloader.1.3.0.a.bin"), 0x01030061, QStringLiteral("Bootloader"), QStringLiteral("#B22222"),
         QStringLiteral("2026-09-15T14:30:00Z"), SimulatedFlash::firmwareImage(kBootloader, 0x01030061, 24 * 1024, 130)},
        {QStringLiteral("Legacy.2.0.11.a.bin"), 0x02000B61, QStringLiteral("Older image format, without header"), QString(),
         QStringLiteral("2025-12-01T08:00:00Z"), SimulatedFlash::firmwareImage(0, 0, 32 * 1024, 211)},
    };
}

DemoFirmwareCatalogue* DemoFirmwareCatalogue::install()
{
    if (DemoFirmwareCatalogue* existing = installed())
        return existing;
    return new DemoFirmwareCatalogue(QCoreApplication::instance());
}

DemoFirmwareCatalogue* DemoFirmwareCatalogue::installed()
{
    QCoreApplication* application = QCoreApplication::instance();
    return application ? application->findChild<DemoFirmwareCatalogue*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}
