#include "app/newestfirmware.h"

#include "app/democatalogue.h"
#include "corvane/simulator/democomputer.h"
#include "online/firmwarecatalogue.h"
#include "online/firmwaredownloader.h"

#include <QDebug>

NewestFirmwareCheck::NewestFirmwareCheck(const RepositoryAccess& repository, QObject* parent)
    : QObject(parent), m_downloader(new FirmwareDownloader(repository, this))
{
    connect(m_downloader, &FirmwareDownloader::downloaded, this, [this] {
        quint32 newest = 0;
        for (const FirmwareEntry& entry : FirmwareCatalogue::fromTableOfContents(m_downloader->tableOfContents()))
            newest = qMax(newest, entry.version);
        if (newest == 0)
            return;
        m_newest = newest;
        emit newestVersionFound(newest);
    });
    connect(m_downloader, &FirmwareDownloader::downloadFailed, this,
            [](const QString& reason) { qDebug().noquote() << "Firmware catalogue not read:" << reason; });
}

void NewestFirmwareCheck::check()
{
    if (m_newest != 0 || m_downloader->isBusy())
        return;
    const int error = m_downloader->request(m_downloader->url(FirmwareDownloader::TableOfContentsUrl),
                                            FirmwareDownloader::TableOfContents);
    if (error != 0)
        qDebug().noquote() << "Firmware catalogue not requested: error" << error;
}

RepositoryAccess programFirmwareRepository(const QSettings& settings)
{
    if (DemoComputer::installed()) {
        const DemoFirmwareCatalogue* catalogue = DemoFirmwareCatalogue::install();
        if (catalogue->isServing())
            return catalogue->repository();
    }
    return OnlineConfig::fromSettings(settings).repository;
}
