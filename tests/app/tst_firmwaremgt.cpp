// The firmware dialog against a loopback repository: catalogue, download,
// confirmation, upload through a scripted uploader, and every failure.

#include "app/firmwaremgt.h"
#include "app/firmwareuploader.h"
#include "loopbackhttpserver.h"
#include "online/firmwaredownloader.h"
#include "online/onlineconfig.h"
#include "scripteddialogs.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// Plays the computer's side of an upload.
class ScriptedUploader final : public FirmwareUploader
{
public:
    int uploadFirmware(const QByteArray& image, const QString& name, bool force) override
    {
        ++calls;
        lastImage = image;
        lastName = name;
        lastForce = force;
        return result;
    }
    qint64 uploadElapsedMs() const override { return 83000; }

    int result = 0;
    int calls = 0;
    QByteArray lastImage;
    QString lastName;
    bool lastForce = false;
};

const QString kContents = QStringLiteral("/repos/Tessaly-Systems/Pelagon_Repository/contents");

} // namespace

Q_DECLARE_METATYPE(LoopbackHttpServer::Reply)

class TestFirmwareMgt : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url) { mOpened.append(url); }

private slots:
    void init();
    void cleanup();
    void catalogueAndInstall();
    void confirmationAndResults_data();
    void confirmationAndResults();
    void downloadFailures_data();
    void downloadFailures();
    void catalogueFailure();
    void uploadFailureResetsTheDialog();
    void fromDisk();
    void openFolder();

private:
    void serveRepository();
    void openDialog();
    template <class T>
    T* child(const char* name) const { return mDialog->findChild<T*>(QLatin1String(name)); }
    QString info() const { return child<QLabel>("lbInfo")->text(); }
    void download(int row);

    std::unique_ptr<QTemporaryDir> mData;
    std::unique_ptr<QSettings> mSettings;
    std::unique_ptr<LoopbackHttpServer> mApi;
    std::unique_ptr<LoopbackHttpServer> mFiles;
    std::unique_ptr<FirmwareMgt> mDialog;
    ScriptedUploader mUploader;
    ScriptedDialogs* mDialogs = nullptr;
    QList<QUrl> mOpened;
    QByteArray mImage = LoopbackHttpServer::pattern(0, 2048);
};

void TestFirmwareMgt::init()
{
    mDialogs = ScriptedDialogs::install();
    mData = std::make_unique<QTemporaryDir>();
    mApi = std::make_unique<LoopbackHttpServer>();
    mFiles = std::make_unique<LoopbackHttpServer>();
    QVERIFY(mApi->listen() && mFiles->listen());
    mSettings = std::make_unique<QSettings>(mData->filePath("settings.cfg"), QSettings::IniFormat);
    mSettings->setValue(OnlineKey::repositoryApi, mApi->url().toString());
    mSettings->setValue(OnlineKey::repositoryToken, "abc123");
    mUploader.result = 2048;
    mUploader.calls = 0;
    mOpened.clear();
    serveRepository();
}

void TestFirmwareMgt::cleanup()
{
    mDialog.reset();
    UserDialogs::install(nullptr);
}

void TestFirmwareMgt::serveRepository()
{
    const QJsonArray toc{
        QJsonObject{{"File", "K2.1.4.2.b.bin"}, {"Version", "0x01040262"}, {"Description", "Stable"},
                    {"Color", "#FF8000"}, {"DateTime", "2024-05-01T10:20:30Z"}},
        QJsonObject{{"File", "K2.1.3.0.a.bin"}, {"Version", "0x01030061"}, {"Description", "Old"}, {"Color", ""},
                    {"DateTime", "2023-01-02T03:04:05Z"}},
        QJsonObject{{"File", "K2.2.0.0.a.bin"}, {"Version", "0x02000061"}, {"Description", "Coming"}, {"Color", ""},
                    {"DateTime", ""}},
    };
    const QJsonArray listing{
        QJsonObject{{"name", "K2.1.4.2.b.bin"}, {"download_url", mFiles->url("/raw/K2.1.4.2.b.bin").toString()}},
        QJsonObject{{"name", "K2.1.3.0.a.bin"}, {"download_url", mFiles->url("/raw/K2.1.3.0.a.bin").toString()}},
        QJsonObject{{"name", "UNLISTED.9.9.9.z.bin"}, {"download_url", mFiles->url("/raw/UNLISTED.bin").toString()}},
        QJsonObject{{"name", "toc-private.json"}, {"download_url", mFiles->url("/raw/toc-private.json").toString()}},
    };
    mApi->setReply(kContents + "/toc-private.json",
                   LoopbackHttpServer::ok(LoopbackHttpServer::repositoryFileObject(
                                              "toc-private.json", QJsonDocument(toc).toJson()),
                                          "application/json"));
    mApi->setReply(kContents, LoopbackHttpServer::json(QJsonDocument(listing)));
    mFiles->setReply("/raw/K2.1.4.2.b.bin", LoopbackHttpServer::ok(mImage));
    mFiles->setReply("/raw/K2.1.3.0.a.bin", LoopbackHttpServer::ok(mImage));
}

void TestFirmwareMgt::openDialog()
{
    mDialog = std::make_unique<FirmwareMgt>(nullptr, mData->path(), mSettings.get());
    mDialog->setUploader(&mUploader);
    mDialog->downloader().setTransferTimeout(300);
    mDialog->show();
}

void TestFirmwareMgt::download(int row)
{
    auto* button = child<QToolButton>(qPrintable(QStringLiteral("btDownload%1").arg(row)));
    QVERIFY(button);
    button->click();
}

void TestFirmwareMgt::catalogueAndInstall()
{
    openDialog();
    QCOMPARE(mDialog->windowTitle(), QStringLiteral("Firmware"));
    QVERIFY(!child<QProgressBar>("progressBar")->isVisible());
    QTRY_COMPARE(info(), QStringLiteral("3 Firmwares Available"));
    auto* table = child<QTableWidget>("tbFirmwares");
    QCOMPARE(table->rowCount(), 3);
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers.append(table->horizontalHeaderItem(column)->text());
    QVERIFY(headers.contains("Version") && headers.contains("Date") && headers.contains("Description"));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("K2.1.4.2.b.bin"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("1.4.2.b"));
    QCOMPARE(table->item(0, 2)->background().color(), QColor(255, 128, 0));
    QCOMPARE(table->item(1, 3)->background().color(), QColor(Qt::white));
    // The image that is described but not published has no download button.
    QVERIFY(child<QToolButton>("btDownload1"));
    QVERIFY(!child<QToolButton>("btDownload2"));
    // The token went to the API host only.
    for (const auto& request : mApi->requests())
        QCOMPARE(request.headers.value("authorization"), "Basic " + QByteArray("Tessaly-Systems:abc123").toBase64());

    mDialogs->answers.enqueue(true);
    download(0);
    QTRY_COMPARE(mUploader.calls, 1);
    QVERIFY(mFiles->requests().first().headers.value("authorization").isEmpty());
    QCOMPARE(mDialogs->questions.last().title, QStringLiteral("Confirmation"));
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Upload firmware K2.1.4.2.b.bin?"));
    QCOMPARE(mUploader.lastImage, mImage);
    QCOMPARE(mUploader.lastName, QStringLiteral("K2.1.4.2.b"));
    QVERIFY(!mUploader.lastForce);
    QFile stored(QDir(mDialog->firmwareFolder()).filePath("2024-05-01_10-20-30__K2.1.4.2.b.bin"));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), mImage);

    // While the computer is written the dialog stays and starts nothing else.
    auto* bar = child<QProgressBar>("progressBar");
    QVERIFY(bar->isVisible());
    QCOMPARE(info(), QStringLiteral("Number of bytes sent: 0/2048"));
    QVERIFY(mDialog->uploadRunning());
    mDialog->reject();
    mDialog->close();
    QVERIFY(mDialog->isVisible());
    QVERIFY(!child<QPushButton>("btOk")->isEnabled());
    QVERIFY(!child<QPushButton>("btFirmwareFromDisk")->isEnabled());
    download(1);
    QTest::qWait(50);
    QCOMPARE(mFiles->requests().size(), 1);

    emit mUploader.uploadProgress(1024, 50);
    QCOMPARE(bar->value(), 50);
    QCOMPARE(info(), QStringLiteral("Number of bytes sent: 1024/2048"));
    // The picture of the dialog in docs/ is taken here.
    if (const QString shots = qEnvironmentVariable("PELAGON_SCREENSHOT_DIR"); !shots.isEmpty())
        QVERIFY(mDialog->grab().save(QDir(shots).filePath("firmware-dialog.png")));
    emit mUploader.uploadProgress(0, 100);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(info(), QStringLiteral("Nb sent: 0/0"));
    emit mUploader.uploadFinished();
    QCOMPARE(info(), QStringLiteral("Installation Successfull in 00:01:23"));
    QVERIFY(!mDialog->uploadRunning());
    QVERIFY(mDialogs->messages.isEmpty());
    mDialog->reject();
    QVERIFY(!mDialog->isVisible());
}

void TestFirmwareMgt::confirmationAndResults_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("force");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("no") << false << false << 2048 << "";
    QTest::newRow("forced same version") << true << true << 2048 << "";
    QTest::newRow("needs bootloader") << true << false << -4 << "Update firmware needs bootloader update";
    QTest::newRow("firmware installed") << true << false << -3 << "Firmware already installed";
    QTest::newRow("bootloader installed") << true << false << -2 << "Bootloader already installed";
    QTest::newRow("too old") << true << false << -1 << "Too old firmware file";
    QTest::newRow("nothing started") << true << false << 0 << "The firmware upload could not start";
}

void TestFirmwareMgt::confirmationAndResults()
{
    QFETCH(bool, answer);
    QFETCH(bool, force);
    QFETCH(int, result);
    QFETCH(QString, message);
    openDialog();
    QTRY_COMPARE(info(), QStringLiteral("3 Firmwares Available"));
    child<QCheckBox>("ckForceSameVersion")->setChecked(force);
    mUploader.result = result;
    mDialogs->answers.enqueue(answer);
    download(1);
    QTRY_COMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mUploader.calls, answer ? 1 : 0);
    // The downloaded image stays in the folder whatever the answer.
    QVERIFY(QFileInfo::exists(QDir(mDialog->firmwareFolder()).filePath("2023-01-02_03-04-05__K2.1.3.0.a.bin")));
    if (answer)
        QCOMPARE(mUploader.lastForce, force);
    QCOMPARE(mDialogs->messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(mDialogs->messages[0].title, QStringLiteral("Error"));
        QCOMPARE(mDialogs->messages[0].text, message);
    }
    QCOMPARE(mDialog->uploadRunning(), answer && result > 0);
    QCOMPARE(child<QProgressBar>("progressBar")->isVisible(), answer && result > 0);
}

void TestFirmwareMgt::downloadFailures_data()
{
    using Reply = LoopbackHttpServer::Reply;
    QTest::addColumn<Reply>("reply");
    QTest::newRow("not found") << LoopbackHttpServer::status(404);
    QTest::newRow("cut short") << LoopbackHttpServer::withMode(LoopbackHttpServer::ok(mImage), Reply::Mode::CutShort);
    QTest::newRow("stalled") << LoopbackHttpServer::withMode(LoopbackHttpServer::ok(mImage), Reply::Mode::Stall);
    QTest::newRow("too small") << LoopbackHttpServer::ok(QByteArray(543, 'x'));
    QTest::newRow("too large") << LoopbackHttpServer::generated(16 * 1024 * 1024 + 1);
}

void TestFirmwareMgt::downloadFailures()
{
    QFETCH(LoopbackHttpServer::Reply, reply);
    mFiles->setReply("/raw/K2.1.4.2.b.bin", reply);
    // An earlier download of the same image is kept.
    const QString stored = QDir(mData->path()).filePath("Firmwares/2024-05-01_10-20-30__K2.1.4.2.b.bin");
    QVERIFY(QDir().mkpath(QFileInfo(stored).path()));
    QFile previous(stored);
    QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write(mImage) == mImage.size());
    previous.close();

    openDialog();
    QTRY_COMPARE(info(), QStringLiteral("3 Firmwares Available"));
    mDialogs->answers.enqueue(true);
    download(0);
    QTRY_COMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].title, QStringLiteral("Download Error"));
    QVERIFY(mDialogs->questions.isEmpty());
    QCOMPARE(mUploader.calls, 0);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), mImage);
    QCOMPARE(QDir(QFileInfo(stored).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    // The next download goes ahead.
    mFiles->setReply("/raw/K2.1.4.2.b.bin", LoopbackHttpServer::ok(mImage));
    download(0);
    QTRY_COMPARE(mUploader.calls, 1);
}

void TestFirmwareMgt::catalogueFailure()
{
    mApi->setReply(kContents + "/toc-private.json", LoopbackHttpServer::status(404));
    openDialog();
    QTRY_COMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].title, QStringLiteral("Download Error"));
    QVERIFY(info() != QStringLiteral("0 Firmwares Available"));
    QCOMPARE(child<QTableWidget>("tbFirmwares")->rowCount(), 0);
    QCOMPARE(mApi->requests().size(), 1); // no listing asked for a failed table
}

void TestFirmwareMgt::uploadFailureResetsTheDialog()
{
    openDialog();
    QTRY_COMPARE(info(), QStringLiteral("3 Firmwares Available"));
    mDialogs->answers.enqueue(true);
    download(0);
    QTRY_VERIFY(mDialog->uploadRunning());
    emit mUploader.uploadProgress(1024, 50);
    emit mUploader.uploadFailed(QStringLiteral("Link lost"));
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].title, QStringLiteral("Error"));
    QVERIFY(mDialogs->messages[0].text.contains("Link lost"));
    QVERIFY(!mDialog->uploadRunning());
    QVERIFY(!child<QProgressBar>("progressBar")->isVisible());
    QVERIFY(child<QPushButton>("btOk")->isEnabled());
    // A late report of the dead upload changes nothing.
    emit mUploader.uploadFinished();
    QVERIFY(!info().startsWith("Installation"));
}

void TestFirmwareMgt::fromDisk()
{
    QTemporaryDir images;
    const QString image = images.filePath("BOOT.2.0.1.a.bin");
    QFile file(image);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(mImage) == mImage.size());
    file.close();
    mSettings->setValue("directories/lastFirmwares", "/nowhere");

    openDialog();
    mDialogs->fileNames.enqueue(image);
    mDialogs->fileNames.enqueue(images.filePath("missing.bin"));
    mDialogs->answers.enqueue(true);
    child<QPushButton>("btFirmwareFromDisk")->click();
    QCOMPARE(mDialogs->fileDialogs[0].title, QStringLiteral("Open Firmware"));
    QCOMPARE(mDialogs->fileDialogs[0].text, QStringLiteral("/nowhere|Firmware Files (*.bin)"));
    QCOMPARE(mSettings->value("directories/lastFirmwares").toString(), images.path());
    QCOMPARE(mUploader.calls, 1);
    QCOMPARE(mUploader.lastName, QStringLiteral("BOOT.2.0.1.a"));
    QCOMPARE(mUploader.lastImage, mImage);

    emit mUploader.uploadFinished();
    child<QPushButton>("btFirmwareFromDisk")->click();
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].text, QStringLiteral("Impossible to load binary file"));
    QCOMPARE(mUploader.calls, 1);
}

void TestFirmwareMgt::openFolder()
{
    QDesktopServices::setUrlHandler("file", this, "openUrl");
    openDialog();
    child<QPushButton>("btOpenFolder")->click();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(mOpened, QList<QUrl>{QUrl::fromLocalFile(mDialog->firmwareFolder())});
    QVERIFY(QFileInfo(mDialog->firmwareFolder()).isDir());
}

QTEST_MAIN(TestFirmwareMgt)
#include "tst_firmwaremgt.moc"
