#pragma once

#include "online/onlineconfig.h"

#include <QObject>

class FirmwareDownloader;
class QSettings;

// Asks the firmware repository's table of contents, in the background, which
// firmware is the newest published, for the notice shown before a download.
// A failed request is only logged; the next check() asks again.
class NewestFirmwareCheck : public QObject
{
    Q_OBJECT

public:
    explicit NewestFirmwareCheck(const RepositoryAccess& repository, QObject* parent = nullptr);

    // Sends the request unless the version is known or a request is in flight.
    void check();
    // 0 until a table of contents with at least one version has arrived.
    quint32 newestVersion() const { return m_newest; }

signals:
    void newestVersionFound(quint32 version);

private:
    FirmwareDownloader* m_downloader;
    quint32 m_newest = 0;
};

// The repository the program's firmware commands use: demo mode's loopback
// catalogue while the demo computer is installed, else the configured one.
RepositoryAccess programFirmwareRepository(const QSettings& settings);
