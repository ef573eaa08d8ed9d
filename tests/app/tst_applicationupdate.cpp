// The update check from the main window against a loopback website: the
// media pages, the offer, the download with its progress dialog, the
// unpacking and what the user is told; and the About box's links.

#include "app/applicationupdater.h"
#include "app/languageholder.h"
#include "app/mainwindow.h"
#include "loopbackhttpserver.h"
#include "online/genericfiledownloader.h"
#include "online/onlineconfig.h"
#include "scripteddialogs.h"
#include "testzip.h"
#include "windowfixture.h"

#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

using namespace windowtest;

class TestApplicationUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void updateFlows_data();
    void updateFlows();
    void progressAndCancel();
    void aboutBox();

private:
    void serveMedia(const QString& installerTitle);
    QString downloads() const { return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation); }
    std::unique_ptr<MainWindow> runCheck();

    std::unique_ptr<LoopbackHttpServer> mSite;
    ScriptedDialogs* mDialogs = nullptr;
};

void TestApplicationUpdate::init()
{
    clearDataDirectory();
    QDir(downloads()).removeRecursively();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.0.1"));
    mDialogs = ScriptedDialogs::install();
    mSite = std::make_unique<LoopbackHttpServer>();
    QVERIFY(mSite->listen());
    QVERIFY(DataDirectory::ensure());
    QSettings settings(DataDirectory::settingsFile(), QSettings::IniFormat);
    settings.setValue(OnlineKey::website, mSite->url().toString());
    settings.setValue(OnlineKey::productPageEnglish, "https://site.example/en/product/");
    settings.setValue(OnlineKey::productPage, "https://site.example/produit/");
    settings.setValue(OnlineKey::licensePrefix, "https://site.example/license-");
}

void TestApplicationUpdate::cleanup()
{
    UserDialogs::install(nullptr);
    QDir(downloads()).removeRecursively();
    clearDataDirectory();
}

// 250 media in three pages, the installer on the second.
void TestApplicationUpdate::serveMedia(const QString& installerTitle)
{
    QList<QJsonObject> media;
    for (int i = 0; i < 250; ++i) {
        const QString title = i == 180 ? installerTitle : QStringLiteral("Photo %1").arg(i);
        const QString name = i == 180 ? installerTitle + ".zip" : QStringLiteral("photo%1.zip").arg(i);
        media.append(QJsonObject{{"id", i},
                                 {"title", QJsonObject{{"rendered", title}}},
                                 {"source_url", mSite->url("/wp-content/uploads/" + name).toString()}});
    }
    mSite->serveMedia("/wp-json/wp/v2/media", media, 100, "&mime_type=application/zip");
}

std::unique_ptr<MainWindow> TestApplicationUpdate::runCheck()
{
    auto window = std::make_unique<MainWindow>();
    window->checkForUpdate();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!window->updater(), 10000); }();
    return window;
}

void TestApplicationUpdate::updateFlows_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QList<testzip::Entry>>("archive"); // empty: the address answers 404
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("outcome"); // "installed", "kept", "failed", "" (nothing downloaded)
    const QList<testzip::Entry> installer{{"PelagonDiveLogSetup_1.5.0.exe", QByteArray(100000, 'x')},
                                          {"doc/readme.txt", "new"}};
    QTest::newRow("newer version") << "PelagonDiveLogSetup_1.5.0" << installer << true << "installed";
    QTest::newRow("declined") << "PelagonDiveLogSetup_1.5.0" << installer << false << "";
    QTest::newRow("equal version") << "PelagonDiveLogSetup_1.4.0" << installer << true << "";
    QTest::newRow("malformed version") << "PelagonDiveLogSetup_1.5" << installer << true << "";
    QTest::newRow("zip slip") << "PelagonDiveLogSetup_1.5.0"
                              << QList<testzip::Entry>{{"setup.exe", "x"}, {"../../evil.txt", "evil"}} << true
                              << "kept";
    QTest::newRow("not found") << "PelagonDiveLogSetup_1.5.0" << QList<testzip::Entry>() << true << "failed";
}

void TestApplicationUpdate::updateFlows()
{
    QFETCH(QString, title);
    QFETCH(QList<testzip::Entry>, archive);
    QFETCH(bool, answer);
    QFETCH(QString, outcome);
    serveMedia(title);
    QTemporaryDir scratch;
    const QString archiveName = title + ".zip";
    if (!archive.isEmpty())
        mSite->setReply("/wp-content/uploads/" + archiveName,
                        LoopbackHttpServer::ok(testzip::bytes(archive, scratch.filePath("a.zip")), "application/zip"));
    mDialogs->answers.enqueue(answer);

    const auto window = runCheck();
    const bool offered = title.endsWith("1.5.0");
    QCOMPARE(mDialogs->questions.size(), offered ? 1 : 0);
    if (offered) {
        QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Application update"));
        QCOMPARE(mDialogs->questions[0].text,
                 QStringLiteral("A new version 1.5.0 is available, do you want to download and install it?"));
    }
    const QString archivePath = QDir(downloads()).filePath(archiveName);
    const QString folder = QDir(downloads()).filePath(title);
    const bool downloaded = std::any_of(mSite->requests().cbegin(), mSite->requests().cend(),
                                        [](const auto& request) { return request.target.contains("uploads"); });
    QCOMPARE(downloaded, !outcome.isEmpty());
    if (outcome.isEmpty()) {
        QVERIFY(mDialogs->messages.isEmpty());
        return;
    }
    QCOMPARE(mDialogs->messages.size(), 1);
    const auto& message = mDialogs->messages[0];
    if (outcome == "failed") {
        QCOMPARE(message.title, QStringLiteral("Download failed"));
        QVERIFY(!QFileInfo::exists(archivePath));
        return;
    }
    QCOMPARE(message.title, QStringLiteral("Download finished"));
    if (outcome == "installed") {
        // Nothing is run here: the user is told where the new version is.
        QCOMPARE(message.text, QStringLiteral("The new version has been downloaded to %1").arg(QDir::toNativeSeparators(folder)));
        QVERIFY(!QFileInfo::exists(archivePath));
        QVERIFY(QFileInfo(QDir(folder).filePath("PelagonDiveLogSetup_1.5.0.exe")).isFile());
    } else {
        QCOMPARE(message.text,
                 QStringLiteral("The new version has been downloaded to %1").arg(QDir::toNativeSeparators(archivePath)));
        QVERIFY(QFileInfo::exists(archivePath));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(!QFileInfo::exists(QDir(downloads()).filePath("../evil.txt")));
        QVERIFY(!QFileInfo::exists(QDir(downloads()).filePath("../../evil.txt")));
    }
}

void TestApplicationUpdate::progressAndCancel()
{
    serveMedia("PelagonDiveLogSetup_2.0.0");
    mSite->setReply("/wp-content/uploads/PelagonDiveLogSetup_2.0.0.zip",
                    LoopbackHttpServer::withMode(LoopbackHttpServer::generated(1 << 20),
                                                 LoopbackHttpServer::Reply::Mode::Stall, 300000));
    mDialogs->answers.enqueue(true);
    auto window = std::make_unique<MainWindow>();
    window->checkForUpdate();
    QTRY_VERIFY(window->updater() && window->updater()->progressDialog());
    QProgressDialog* progress = window->updater()->progressDialog();
    QCOMPARE(progress->windowTitle(), QStringLiteral("Downloading"));
    QCOMPARE(progress->labelText(), QStringLiteral("Downloading new version..."));
    QCOMPARE(progress->windowModality(), Qt::WindowModal);
    QVERIFY(progress->isVisible());

    // An unknown total shows the busy bar, a known one the percentage.
    emit window->updater()->downloader().progressChanged(4096, -1);
    QCOMPARE(progress->maximum(), 0);
    emit window->updater()->downloader().progressChanged(300, 1200);
    QCOMPARE(progress->maximum(), 100);
    QCOMPARE(progress->value(), 25);

    QTRY_VERIFY(std::any_of(mSite->requests().cbegin(), mSite->requests().cend(),
                            [](const auto& request) { return request.target.contains("uploads"); }));
    auto* cancel = progress->findChild<QPushButton*>();
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    cancel->click();
    QTRY_VERIFY(!window->updater());
    QTest::qWait(100);
    QVERIFY(mDialogs->messages.isEmpty());
    QCOMPARE(QDir(downloads()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestApplicationUpdate::aboutBox()
{
    LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), QStringLiteral("/nowhere"), QStringLiteral("en"));
    auto window = std::make_unique<MainWindow>();
    QStringList shown;
    mDialogs->onDialog = [&shown](QDialog& dialog) {
        for (const char* name : {"lbVersion", "lbWebsite", "lbLicense"})
            shown.append(dialog.findChild<QLabel*>(QLatin1String(name))->text());
        if (const QString shots = qEnvironmentVariable("PELAGON_SCREENSHOT_DIR"); !shots.isEmpty())
            dialog.grab().save(QDir(shots).filePath("about-box.png"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btOk"));
        shown.append(QStringLiteral("%1x%2 at %3").arg(ok->width()).arg(ok->height()).arg(dialog.width() - ok->x()));
        ok->click();
        return dialog.result();
    };
    child<QAction>(*window, "actionAbout")->trigger();
    QCOMPARE(mDialogs->dialogs, QStringList{"AboutBox"});
    QCOMPARE(shown, (QStringList{"V1.4.0.1", "<a href=\"https://site.example/en/product/\">Visit the website</a>",
                                 "<a href=\"https://site.example/license-en.pdf\">View license terms</a>",
                                 "100x50 at 140"}));
}

QTEST_MAIN(TestApplicationUpdate)
#include "tst_applicationupdate.moc"
