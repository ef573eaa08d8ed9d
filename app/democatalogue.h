#pragma once

#include "online/onlineconfig.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class LoopbackFileServer;

// Demo mode's firmware repository: a few images the simulated computer
// accepts (a newer firmware, the one it runs, a bootloader and an image in
// the older headerless format), published on a loopback server in the same
// shape as the real repository (listing, table of contents, files), so the
// firmware dialog can be tried end to end without hardware or internet.
class DemoFirmwareCatalogue : public QObject
{
    Q_OBJECT

public:
    struct Image
    {
        QString file;
        quint32 version = 0;
        QString description;
        QString color;
        QString dateTime;
        QByteArray bytes;
    };

    explicit DemoFirmwareCatalogue(QObject* parent = nullptr);
    ~DemoFirmwareCatalogue() override;

    // False when no loopback port could be had.
    bool isServing() const;
    // Where the firmware dialog finds the repository: the loopback server,
    // without a token.
    RepositoryAccess repository() const;

    // The published images, the same on every run.
    static QList<Image> images();

    // The catalogue of demo mode, owned by the application object and started
    // on first use; found again by installed().
    static DemoFirmwareCatalogue* install();
    static DemoFirmwareCatalogue* installed();

private:
    LoopbackFileServer* m_server;
};
