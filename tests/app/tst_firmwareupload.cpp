// The firmware dialog end to end in demo mode's set-up: the demo catalogue on
// loopback, the real dialog, the session's uploader and the simulated
// computer, which ends up running what was chosen.

#include "app/democatalogue.h"
#include "app/firmwaremgt.h"
#include "app/sessionfirmwareuploader.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/simulatedcomputer.h"
#include "scripteddialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class TestFirmwareUpload : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void install_data();
    void install();
    void refusedBeforeSending();

private:
    bool connectSession();
    void openDialog();
    void download(const QString& file);
    QString info() const { return mDialog->findChild<QLabel*>(QStringLiteral("lbInfo"))->text(); }

    std::unique_ptr<QTemporaryDir> mData;
    std::unique_ptr<QSettings> mSettings;
    std::unique_ptr<DemoComputer> mDemo;
    std::unique_ptr<KelvoSession> mSession;
    std::unique_ptr<DemoFirmwareCatalogue> mCatalogue;
    std::unique_ptr<SessionFirmwareUploader> mUploader;
    std::unique_ptr<FirmwareMgt> mDialog;
    ScriptedDialogs* mDialogs = nullptr;
};

void TestFirmwareUpload::init()
{
    mDialogs = ScriptedDialogs::install();
    mData = std::make_unique<QTemporaryDir>();
    mSettings = std::make_unique<QSettings>(mData->filePath(QStringLiteral("settings.cfg")), QSettings::IniFormat);
    DemoComputer::Options options;
    options.logbook.diveCount = 1;
    options.link = BleLinkModel::instantLink();
    mDemo = std::make_unique<DemoComputer>(options, nullptr);
    mSession = std::make_unique<KelvoSession>(mDemo->backend(), nullptr);
    mCatalogue = std::make_unique<DemoFirmwareCatalogue>();
    QVERIFY(mCatalogue->isServing());
    mUploader = std::make_unique<SessionFirmwareUploader>(mSession.get());
}

void TestFirmwareUpload::cleanup()
{
    mDialog.reset();
    mUploader.reset();
    mSession.reset();
    mDemo.reset();
    UserDialogs::install(nullptr);
}

bool TestFirmwareUpload::connectSession()
{
    QSignalSpy ready(mSession.get(), &KelvoSession::connectControllerStatus);
    mSession->autoConnect();
    if (!ready.wait(5000) || ready.last().at(0).toInt() != ConnectControllerStatus::Connected)
        return false;
    QSignalSpy ended(mSession.get(), &KelvoSession::endCommand);
    mSession->startCommand(PelagonCommand::Identification);
    return ended.wait(5000);
}

void TestFirmwareUpload::openDialog()
{
    mDialog = std::make_unique<FirmwareMgt>(nullptr, mData->path(), mSettings.get(), mCatalogue->repository());
    mDialog->setUploader(mUploader.get());
    mDialog->show();
    QTRY_COMPARE(info(), QStringLiteral("4 Firmwares Available"));
}

void TestFirmwareUpload::download(const QString& file)
{
    auto* table = mDialog->findChild<QTableWidget*>(QStringLiteral("tbFirmwares"));
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0)->text() == file) {
            auto* button = mDialog->findChild<QToolButton*>(QStringLiteral("btDownload%1").arg(row));
            QVERIFY(button);
            button->click();
            return;
        }
    }
    QFAIL(qPrintable(file + QStringLiteral(" is not listed")));
}

void TestFirmwareUpload::install_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("linkLossAfter");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("bootloader");
    QTest::addColumn<QString>("message");
    QTest::newRow("newer firmware") << "Pelagon.2.0.13.c.bin" << -1 << "2.0.13.c" << "1.2.0.a" << "";
    QTest::newRow("bootloader") << "Bootloader.1.3.0.a.bin" << -1 << "2.0.12.b" << "1.3.0.a" << "";
    QTest::newRow("without header") << "Legacy.2.0.11.a.bin" << -1 << "2.0.11.a" << "1.2.0.a" << "";
    QTest::newRow("installed firmware") << "Pelagon.2.0.12.b.bin" << -1 << "2.0.12.b" << "1.2.0.a"
                                        << "Firmware already installed";
    QTest::newRow("link lost") << "Pelagon.2.0.13.c.bin" << 40 << "2.0.12.b" << "1.2.0.a"
                               << "The firmware upload failed: the link to the dive computer was lost";
}

void TestFirmwareUpload::install()
{
    QFETCH(QString, file);
    QFETCH(int, linkLossAfter);
    QFETCH(QString, firmware);
    QFETCH(QString, bootloader);
    QFETCH(QString, message);
    QVERIFY(connectSession());
    mDemo->computer()->faults().linkLossAfterChunks = linkLossAfter;
    openDialog();
    mDialogs->answers.enqueue(true);
    download(file);
    if (message.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(info().startsWith(QStringLiteral("Installation Successfull in ")), 20000);
        QByteArray sent;
        for (const DemoFirmwareCatalogue::Image& image : DemoFirmwareCatalogue::images()) {
            if (image.file == file)
                sent = image.bytes;
        }
        const FirmwareReceiver& flash = mDemo->computer()->state().firmware;
        QCOMPARE(file.startsWith(QStringLiteral("Boot")) ? flash.installedBootloader : flash.installedFirmware, sent);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(mDialogs->messages.size(), 1, 20000);
        QCOMPARE(mDialogs->messages.first().text, message);
        QVERIFY(info().isEmpty() || !info().startsWith(QStringLiteral("Number of bytes sent")));
    }
    // Either way the dialog is free again, and closes.
    QVERIFY(!mDialog->uploadRunning());
    QVERIFY(mDialog->findChild<QPushButton*>(QStringLiteral("btOk"))->isEnabled());
    mDialog->reject();
    QVERIFY(!mDialog->isVisible());

    // The computer runs what it has.
    mDemo->computer()->faults().linkLossAfterChunks = -1;
    QVERIFY(connectSession());
    QCOMPARE(mSession->firmwareVersionStr(), firmware);
    QCOMPARE(mSession->bootloaderVersionStr(), bootloader);
}

void TestFirmwareUpload::refusedBeforeSending()
{
    openDialog(); // no computer connected
    mDialogs->answers.enqueue(true);
    download(QStringLiteral("Pelagon.2.0.13.c.bin"));
    QTRY_COMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages.first().text,
             QStringLiteral("The firmware upload could not start: No dive computer connected"));
    QVERIFY(!mDialog->uploadRunning());
    QCOMPARE(mDemo->computer()->requestCount(), 0);
}

QTEST_MAIN(TestFirmwareUpload)
#include "tst_firmwareupload.moc"
