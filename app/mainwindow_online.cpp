// The main window's online side: the About box and the update check.

#include "app/aboutbox.h"
#include "app/applicationupdater.h"
#include "app/languageholder.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"

#include <QCoreApplication>
#include <QSettings>

void MainWindow::about()
{
    AboutBox box(this, OnlineConfig::fromSettings(*mSettings), LanguageHolder::instance()->languageCode(),
                 QCoreApplication::applicationVersion());
    UserDialogs::current().exec(box);
}

void MainWindow::checkForUpdate()
{
    if (mUpdater)
        return;
    mUpdater = new ApplicationUpdater(this, OnlineConfig::fromSettings(*mSettings),
                                      QCoreApplication::applicationVersion());
    connect(mUpdater, &ApplicationUpdater::mediaListed, this, &MainWindow::mediaListReady);
    connect(mUpdater, &ApplicationUpdater::finished, this, [this] {
        mUpdater->deleteLater();
        mUpdater = nullptr;
    });
    mUpdater->check();
}

void MainWindow::mediaListReady(const QList<QJsonObject>& list)
{
    if (mUpdater)
        mUpdater->offer(list);
}
