// The computer commands through the real window and dialogs, against the
// simulated computer: connection panel, dive import, owner name, system log
// files, the picture's menu and double click.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "app/democatalogue.h"
#include "app/divedownload.h"
#include "app/importbluetooth.h"
#include "app/simulationpanel.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/simulatedcomputer.h"
#include "online/onlineconfig.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

using namespace windowtest;
using namespace PelagonCommand;

namespace {
// Waits inside a played dialog, where a failed check cannot return.
template <class Condition>
void waitFor(Condition condition, int timeoutMs)
{
    if (!QTest::qWaitFor(condition, timeoutMs))
        qWarning("dialog did not reach the awaited state");
}
} // namespace

class TestComputerWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void downloadTwice();
    void panelFailureKeepsTheWindowDisconnected();
    void linkLostDuringImportKeepsTheDives();
    void cancelKeepsTheDives();
    void programName();
    void systemLogs_data();
    void systemLogs();
    void systemLogSaveFailures();
    void bootloaderMode();
    void firmwareNotice();
    void pictureMenuAndDoubleClick();
    void simulationTabSharesTheComputer();
    void commandWaitsForThePressure_data();
    void commandWaitsForThePressure();
    void screenshots();

private:
    QAction* computerAction(MainWindow& window, const QString& text);
    // Plays the user: the panel runs to its end (Close when it stopped); the
    // import dialog ticks the dives whose row is in `tick` (all when empty
    // and mTickAll), imports and presses OK.
    int playDialog(QDialog& dialog);
    ComputerState& computer() { return mDemo->computer()->state(); }

    ScriptedDialogs* mDialogs = nullptr;
    std::unique_ptr<DemoComputer> mDemo;
    std::unique_ptr<QTemporaryDir> mDir;
    QStringList mPanelStatus;  // last status of each panel run
    QStringList mImportInfo;   // lbinfo when each import dialog was left
    QStringList mProgressText; // progress text at the end of each import
    QList<int> mOffered;       // rows offered in each import dialog
    bool mTickAll = true;
    std::function<void(QDialog&)> mDuringImport;
};

void TestComputerWindow::init()
{
    clearDataDirectory();
    mDialogs = ScriptedDialogs::install();
    mDialogs->onDialog = [this](QDialog& dialog) { return playDialog(dialog); };
    mDir = std::make_unique<QTemporaryDir>();
    DemoComputer::Options options;
    options.link = BleLinkModel::instantLink();
    options.logbook.diveCount = 4;
    options.logbook.firstDiveNumber = 254;
    // Owned by the application: the window's session finds it as demo mode.
    mDemo.reset(new DemoComputer(options, QCoreApplication::instance()));
    QVERIFY(DemoComputer::installed() == mDemo.get());
    // The computer runs the newest firmware of demo mode's catalogue: no
    // notice unless a test asks for one.
    for (const DemoFirmwareCatalogue::Image& image : DemoFirmwareCatalogue::images())
        computer().firmwareVersion = qMax(computer().firmwareVersion, image.version);
    // No request of the firmware dialog leaves this machine.
    DataDirectory::ensure();
    QSettings settings(DataDirectory::settingsFile(), QSettings::IniFormat);
    settings.setValue(OnlineKey::repositoryApi, QStringLiteral("http://127.0.0.1:9/"));
    mPanelStatus.clear();
    mImportInfo.clear();
    mProgressText.clear();
    mOffered.clear();
    mTickAll = true;
    mDuringImport = nullptr;
}

void TestComputerWindow::cleanup()
{
    mDemo.reset();
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
    mDir.reset();
}

QAction* TestComputerWindow::computerAction(MainWindow& window, const QString& text)
{
    return menuAction(child<QToolButton>(window, "btImportPelagon")->menu(), {text});
}

int TestComputerWindow::playDialog(QDialog& dialog)
{
    if (dialog.objectName() == QLatin1String("FormBluetoothConnect")) {
        auto* close = dialog.findChild<QPushButton*>(QStringLiteral("btClose"));
        waitFor([&] { return !dialog.isVisible() || close->isVisible(); }, 20000);
        mPanelStatus.append(dialog.findChild<QLabel*>(QStringLiteral("lbStatus"))->text());
        if (dialog.isVisible())
            close->click();
        return dialog.result();
    }
    if (dialog.objectName() == QLatin1String("ImportBluetooth")) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("listDives"));
        auto* info = dialog.findChild<QLabel*>(QStringLiteral("lbinfo"));
        auto* import = dialog.findChild<QPushButton*>(QStringLiteral("btImport"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btOk"));
        auto* progress = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
        waitFor([&] { return progress->maximum() != 0; }, 10000);
        mOffered.append(list->count());
        for (int row = 0; mTickAll && row < list->count(); ++row)
            list->item(row)->setCheckState(Qt::Checked);
        if (import->isEnabled()) {
            import->click();
            if (mDuringImport)
                mDuringImport(dialog);
            waitFor([&] { return ok->isEnabled() || !dialog.isVisible(); }, 20000);
        }
        mImportInfo.append(info->text());
        mProgressText.append(progress->text());
        if (dialog.isVisible())
            ok->click();
        return dialog.result();
    }
    return QDialog::Rejected;
}

void TestComputerWindow::downloadTwice()
{
    auto window = shownWindow();
    QVERIFY(window);
    auto* picture = child<QLabel>(*window, "imgPelagon");
    QVERIFY(child<QToolButton>(*window, "btImportPelagon")->isEnabled());

    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mDialogs->dialogs, QStringList({"FormBluetoothConnect", "ImportBluetooth"}));
    QCOMPARE(mDialogs->dialogTitles, QStringList({"Bluetooth Connection", "Import Dives"}));
    KelvoSession* session = window->computerSession();
    QVERIFY(session->isConnected());
    QCOMPARE(picture->styleSheet(), QStringLiteral("image: url(:/TestGraphics/icons/Pelagon-bluetooth-on.png);"));
    QVERIFY(picture->toolTip().contains("Serial " + session->serialNumber()));
    QVERIFY(picture->toolTip().contains(QStringLiteral("Mode Normal")));

    // All four dives (numbers above 255 among them) arrived and are listed.
    QCOMPARE(mOffered, QList<int>{4});
    QCOMPARE(mImportInfo, QStringList{"Dive imported"});
    QCOMPARE(mProgressText, QStringList{"Dive 4 of 4"});
    QCOMPARE(DiveDb::instance()->storedDiveNumbers(session->serialNumber()), QList<quint16>({254, 255, 256, 257}));
    QCOMPARE(diveList(*window)->rowCount() >= 4, true);
    for (const char* name : {"254", "255", "256", "257"})
        QVERIFY2(rowOf(diveList(*window), QLatin1String(name)) >= 0, name);

    // Connected: the second download goes straight to the dialog, which
    // offers nothing.
    mDialogs->dialogs.clear();
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mDialogs->dialogs, QStringList({"ImportBluetooth"}));
    QCOMPARE(mOffered.last(), 0);
    QCOMPARE(mImportInfo.last(), QStringLiteral("No new dive on the computer"));
    QVERIFY(mDialogs->messages.isEmpty());
}

void TestComputerWindow::panelFailureKeepsTheWindowDisconnected()
{
    mDemo->peripheral()->setAdvertising(false);
    auto window = shownWindow();
    QVERIFY(window);
    computerAction(*window, "Download dives")->trigger();
    // The panel stopped with its reason and could be closed; no import.
    QCOMPARE(mDialogs->dialogs, QStringList({"FormBluetoothConnect"}));
    QCOMPARE(mPanelStatus, QStringList{"No Device Found"});
    QVERIFY(!window->computerSession()->isConnected());
    QVERIFY(child<QLabel>(*window, "imgPelagon")->styleSheet().isEmpty());

    // An exchange error after the link is up shows Close again.
    mDemo->peripheral()->setAdvertising(true);
    computer().faults.badCrcCommand = Sensors;
    computerAction(*window, "Get system logs")->trigger();
    QVERIFY(mPanelStatus.last().startsWith(QStringLiteral("Exchange Error: ")));
    QCOMPARE(mDialogs->dialogs.count(QStringLiteral("ImportBluetooth")), 0);
}

void TestComputerWindow::linkLostDuringImportKeepsTheDives()
{
    computer().faults.linkLossAfterDives = 2;
    auto window = shownWindow();
    QVERIFY(window);
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mImportInfo, QStringList{"The connection to the computer was lost."});
    KelvoSession* session = window->computerSession();
    QVERIFY(!session->isConnected());
    QCOMPARE(DiveDb::instance()->storedDiveNumbers(session->serialNumber()), QList<quint16>({254, 255}));
    QVERIFY(rowOf(diveList(*window), "255") >= 0);
    QCOMPARE(child<QLabel>(*window, "imgPelagon")->toolTip(), QStringLiteral("Computer Disconnected"));

    // Reconnected, the two dives are not offered again.
    computer().faults.linkLossAfterDives = -1;
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mOffered.last(), 2);
    QCOMPARE(DiveDb::instance()->storedDiveNumbers(session->serialNumber()), QList<quint16>({254, 255, 256, 257}));
}

void TestComputerWindow::cancelKeepsTheDives()
{
    auto window = shownWindow();
    QVERIFY(window);
    mDuringImport = [](QDialog& dialog) {
        // Closing the dialog while the first dive downloads stops after it.
        QVERIFY(qobject_cast<ImportBluetooth*>(&dialog)->download()->isDownloading());
        dialog.reject();
        QVERIFY(dialog.isVisible());
    };
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mImportInfo, QStringList{"Download stopped: 1 dives imported"});
    const QString serial = window->computerSession()->serialNumber();
    QCOMPARE(DiveDb::instance()->storedDiveNumbers(serial), QList<quint16>{254});

    // Ticking nothing and pressing Import sends nothing.
    mTickAll = false;
    mDuringImport = nullptr;
    const int requests = mDemo->computer()->requestCount();
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mOffered.last(), 3);
    QCOMPARE(mDemo->computer()->requestCount(), requests + 1); // the logbook only
}

void TestComputerWindow::programName()
{
    auto window = shownWindow();
    QVERIFY(window);
    QAction* action = computerAction(*window, "Program name");

    // Cancelled, then confirmed empty: nothing is sent.
    action->trigger();
    QTRY_COMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions.last().title, QStringLiteral("Set owner"));
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Owner name|Demo Diver"));
    script(mDialogs->texts, {QString()});
    action->trigger();
    QTRY_COMPARE(mDialogs->questions.size(), 2);
    const int requests = mDemo->computer()->requestCount();
    QVERIFY(!QTest::qWaitFor([&] { return mDemo->computer()->requestCount() > requests; }, 100));
    QCOMPARE(computer().owner, QStringLiteral("Demo Diver"));

    // A name longer than the computer's field is cut on a whole character.
    const QString longName = QString(29, u'x') + QString::fromUtf8("ßé");
    script(mDialogs->texts, {longName});
    action->trigger();
    QTRY_COMPARE(computer().owner, QString(29, u'x') + QString::fromUtf8("ß"));
    QTRY_COMPARE(window->computerSession()->owner(), computer().owner);
    QVERIFY(mDialogs->messages.isEmpty());

    // The computer refusing the name is reported.
    computer().faults.badCrcCommand = Set_owner;
    script(mDialogs->texts, {QStringLiteral("Other")});
    action->trigger();
    QTRY_COMPARE(mDialogs->messages.size(), 1);
    QVERIFY(mDialogs->messages.first().text.startsWith(QStringLiteral("Exchange Error: ")));
}

void TestComputerWindow::systemLogs_data()
{
    QTest::addColumn<quint32>("firmware");
    QTest::addColumn<bool>("binary");
    QTest::newRow("text before 2.0.11") << quint32(0x2000AFF) << false;
    QTest::newRow("binary from 2.0.11") << quint32(0x2000B00) << true;
}

void TestComputerWindow::systemLogs()
{
    QFETCH(quint32, firmware);
    QFETCH(bool, binary);
    computer().firmwareVersion = firmware;
    computer().syslog = {QStringLiteral("Boot 1"), QStringLiteral("Boot 2")};
    computer().syslogBin = {{0, 30, 0, 0}, {0x0102030405060708ULL, 5, 30, 135}};
    auto window = shownWindow();
    QVERIFY(window);
    const QString path = mDir->filePath(QStringLiteral("computer.syslog"));
    script(mDialogs->fileNames, {path});
    computerAction(*window, "Get system logs")->trigger();
    QTRY_COMPARE(mDialogs->fileDialogs.size(), 1);
    QCOMPARE(mDialogs->fileDialogs.first().title, QStringLiteral("Save Syslog"));
    QVERIFY(mDialogs->fileDialogs.first().text.endsWith(QStringLiteral("|Syslog files (*.syslog)")));
    QCOMPARE(mDemo->computer()->lastCommand(), binary ? 29 : 2);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (binary) {
        QCOMPARE(bytes, QByteArray("SysLogBinary") + QByteArray::fromHex("0000000000000000" "1e000000" "00000000"
                                                                         "00000000" "00000000"
                                                                         "0807060504030201" "05000000" "1e000000"
                                                                         "87000000" "00000000"));
    } else {
        const QString text = QString::fromUtf8(QByteArray::fromBase64(bytes, QByteArray::AbortOnBase64DecodingErrors));
        const QStringList lines = text.split(u'\n');
        QCOMPARE(lines.at(0), QStringLiteral("-------------------- SYSLOG HEADER --------------------"));
        QVERIFY(QRegularExpression(QStringLiteral("^Extraction date: \\d\\d/\\d\\d/\\d{4}_\\d\\d:\\d\\d:\\d\\d$"))
                    .match(lines.at(1))
                    .hasMatch());
        QCOMPARE(lines.mid(2, 3), QStringList({"Computer model: Pelagon",
                                               "Serial number: " + window->computerSession()->serialNumber(),
                                               "-------------------- SYSLOG BODY --------------------"}));
        QVERIFY(lines.at(5).startsWith(QStringLiteral("Boot 1")));
    }
    QSettings settings(DataDirectory::settingsFile(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("directories/lastSyslogDir")).toString(), mDir->path());
}

void TestComputerWindow::systemLogSaveFailures()
{
    auto window = shownWindow();
    QVERIFY(window);
    QAction* action = computerAction(*window, "Get system logs");
    // Cancelled: nothing written, no folder kept.
    action->trigger();
    QTRY_COMPARE(mDialogs->fileDialogs.size(), 1);
    // A folder that does not exist: reported, nothing kept.
    script(mDialogs->fileNames, {mDir->filePath(QStringLiteral("missing/computer.syslog"))});
    action->trigger();
    QTRY_COMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages.first().title, QStringLiteral("Save Syslog"));
    QSettings settings(DataDirectory::settingsFile(), QSettings::IniFormat);
    QVERIFY(!settings.contains(QStringLiteral("directories/lastSyslogDir")));
    QVERIFY(QDir(mDir->path()).entryList(QDir::Files).isEmpty());

    // A computer that never answers: the progress dialog closes with a message.
    computer().faults.silentCommand = SyslogBin;
    action->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(mDialogs->messages.size(), 2, 15000);
    QCOMPARE(mDialogs->messages.last().text, QStringLiteral("The computer did not answer in time."));
    QVERIFY(!window->findChild<QWidget*>(QStringLiteral("syslogProgress")));
}

void TestComputerWindow::bootloaderMode()
{
    computer().bootloaderMode = true;
    computer().firmwareVersion = 0x2000A00;
    auto window = shownWindow();
    QVERIFY(window);
    computerAction(*window, "Program name")->trigger();
    computerAction(*window, "Get system logs")->trigger();
    QCOMPARE(mDialogs->messages.size(), 2);
    for (const ScriptedDialogs::Shown& shown : mDialogs->messages)
        QCOMPARE(shown.text, QStringLiteral("The computer is in Bootloader mode"));
    QVERIFY(child<QLabel>(*window, "imgPelagon")->toolTip().contains(QStringLiteral("Mode Firmware")));
    // Older firmware in bootloader mode: both entries open the firmware dialog.
    computerAction(*window, "Download dives")->trigger();
    computerAction(*window, "Install firmware/bootloader")->trigger();
    QCOMPARE(mDialogs->dialogs.count(QStringLiteral("FirmwareMgt")), 2);
    QCOMPARE(mDialogs->dialogs.count(QStringLiteral("ImportBluetooth")), 0);
}

void TestComputerWindow::firmwareNotice()
{
    // Demo mode's catalogue, served on loopback, offers 2.0.13.c.
    computer().firmwareVersion = 0x02000C62;
    auto window = shownWindow();
    QVERIFY(window);
    QCOMPARE(window->newestFirmware(), 0u);
    // The first command asks the catalogue in the background.
    computerAction(*window, "Program name")->trigger();
    QTRY_COMPARE(window->newestFirmware(), 0x02000D63u);
    QTRY_VERIFY(!window->computerSession()->jobInFlight());
    mDialogs->messages.clear();
    qsizetype shownBeforeImport = -1;
    mDuringImport = [&](QDialog&) { shownBeforeImport = mDialogs->messages.size(); };
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages.first().title, QStringLiteral("Firmware Update Available"));
    QCOMPARE(mDialogs->messages.first().text,
             QStringLiteral("The connected device is using an earlier firmware version 2.0.12.b.\n"
                            "A more recent version 2.0.13.c is available."));
    QCOMPARE(shownBeforeImport, 1);
    QCOMPARE(mDialogs->dialogs.last(), QStringLiteral("ImportBluetooth"));
    // The firmware entry shows it too, then opens the firmware dialog.
    computerAction(*window, "Install firmware/bootloader")->trigger();
    QCOMPARE(mDialogs->messages.size(), 2);
    QCOMPARE(mDialogs->dialogs.last(), QStringLiteral("FirmwareMgt"));
    // Nothing newer than the computer's: no notice.
    window->setNewestFirmware(computer().firmwareVersion);
    computerAction(*window, "Download dives")->trigger();
    QCOMPARE(mDialogs->messages.size(), 2);
    QCOMPARE(mDialogs->dialogs.last(), QStringLiteral("ImportBluetooth"));
}

void TestComputerWindow::pictureMenuAndDoubleClick()
{
    auto window = shownWindow();
    QVERIFY(window);
    auto* picture = child<QLabel>(*window, "imgPelagon");
    const auto pictureMenu = [&]() -> QMenu* {
        emit picture->customContextMenuRequested(QPoint(5, 5));
        QMenu* menu = nullptr;
        for (QMenu* m : window->findChildren<QMenu*>(QStringLiteral("computerImageMenu")))
            if (m->isVisible())
                menu = m;
        return menu;
    };
    // Not connected: no menu; a double click still asks, and does nothing.
    QVERIFY(!pictureMenu());
    QTest::mouseDClick(picture, Qt::LeftButton);
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions.first().title, QStringLiteral("Disconnect Computer"));

    // "Program name" connects; its owner question ends its command.
    const auto connectComputer = [&] {
        const qsizetype asked = mDialogs->questions.size();
        computerAction(*window, "Program name")->trigger();
        return QTest::qWaitFor([&] { return mDialogs->questions.size() > asked; }, 10000);
    };
    QVERIFY(connectComputer());
    KelvoSession* session = window->computerSession();
    QVERIFY(session->isConnected());
    // Close Connection answered No, then Yes.
    QMenu* menu = pictureMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 2);
    menuAction(menu, {"Close Connection"})->trigger();
    menu->close();
    QVERIFY(session->isConnected());
    script(mDialogs->answers, {true});
    menu = pictureMenu();
    menuAction(menu, {"Close Connection"})->trigger();
    menu->close();
    QVERIFY(!session->isConnected());
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to disconnect the computer?"));
    QCOMPARE(picture->styleSheet(), QStringLiteral("image: url(:/TestGraphics/icons/Pelagon-power-off.png);"));

    // Double click while connected, answered Yes.
    QVERIFY(connectComputer());
    QVERIFY(session->isConnected());
    script(mDialogs->answers, {true});
    QTest::mouseDClick(picture, Qt::LeftButton);
    QVERIFY(!session->isConnected());

    // Reset: the computer gets the command and the link ends.
    QVERIFY(connectComputer());
    QVERIFY(session->isConnected());
    script(mDialogs->answers, {true});
    menu = pictureMenu();
    menuAction(menu, {"Reset Computer"})->trigger();
    menu->close();
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to reset the computer?"));
    QTRY_VERIFY(!session->isConnected());
    QCOMPARE(mDemo->computer()->lastCommand(), 254);
}

// Not a check: with PELAGON_SCREENSHOT_DIR set, saves pictures of the
// connection panel and of the import dialog during a download.
void TestComputerWindow::simulationTabSharesTheComputer()
{
    auto window = shownWindow();
    QVERIFY(window);
    auto* tab = child<SimulationPanel>(*window, "simulationPanel");
    auto* ascent = child<QPushButton>(*tab, "btAscent");
    // The tab's connect button runs the window's connection step on its one
    // session: a panel that finds no computer offers the button again.
    auto* connectButton = child<QPushButton>(*tab, "btConnectBluetooth");
    mDemo->peripheral()->setName(QStringLiteral("Headphones"));
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connectButton->isEnabled(), 10000);
    QVERIFY(!ascent->isEnabled());
    mDemo->peripheral()->setName(QStringLiteral("Pelagon"));
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(ascent->isEnabled(), 10000);
    QVERIFY(window->computerSession()->isConnected());

    // A programmed ascent runs; any other computer command stops it first.
    child<QDoubleSpinBox>(*tab, "spPressure")->setValue(3.0);
    mDialogs->onDialog = [](QDialog&) { return int(QDialog::Accepted); }; // to the surface at 10 m/min
    QTest::mouseClick(ascent, Qt::LeftButton);
    QVERIFY(tab->ascending());
    computerAction(*window, "Program name")->trigger(); // and cancelled
    QTRY_COMPARE(mDialogs->questions.size() + mDialogs->messages.size(), 1);
    QVERIFY2(mDialogs->messages.isEmpty(), qPrintable(mDialogs->messages.value(0).text));
    QVERIFY(!tab->ascending());
}

void TestComputerWindow::commandWaitsForThePressure_data()
{
    QTest::addColumn<QString>("pressureEnd");
    QTest::addColumn<int>("panelRuns"); // connection panels shown for the command

    QTest::newRow("answered") << "answer" << 0;
    QTest::newRow("answer with a bad CRC") << "error" << 0;
    QTest::newRow("link lost: connected again") << "link" << 1;
}

void TestComputerWindow::commandWaitsForThePressure()
{
    // A computer command given while a pressure of the simulation tab is on
    // its way waits for that pressure's answer, failure or the link's loss,
    // without blocking the window, and then runs (not refused as busy).
    QFETCH(QString, pressureEnd);
    QFETCH(int, panelRuns);

    auto window = shownWindow();
    QVERIFY(window);
    auto* tab = child<SimulationPanel>(*window, "simulationPanel");
    auto* pressure = child<QDoubleSpinBox>(*tab, "spPressure");
    QTest::mouseClick(child<QPushButton>(*tab, "btConnectBluetooth"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(pressure->isEnabled(), 10000);
    KelvoSession* session = window->computerSession();
    const int panels = mPanelStatus.size();
    if (pressureEnd == QLatin1String("error"))
        computer().faults.badCrcCommand = Set_sensors;

    pressure->setValue(2.5);
    QCOMPARE(session->jobInFlight(), std::optional(Set_sensors));
    // Asked twice while waiting: one command runs (the last asked).
    computerAction(*window, "Program name")->trigger();
    computerAction(*window, "Program name")->trigger();
    // Back at once, the pressure still on its way: the command waits.
    QCOMPARE(session->jobInFlight(), std::optional(Set_sensors));
    QVERIFY(mDialogs->questions.isEmpty());
    if (pressureEnd == QLatin1String("link"))
        mDemo->peripheral()->dropLink();

    QTRY_COMPARE_WITH_TIMEOUT(mDialogs->questions.size(), 1, 10000); // the owner asked for
    QVERIFY2(mDialogs->messages.isEmpty(), qPrintable(mDialogs->messages.value(0).text));
    QCOMPARE(mDialogs->questions.last().title, QStringLiteral("Set owner"));
    QCOMPARE(mPanelStatus.size() - panels, panelRuns);
    QVERIFY(session->isConnected());
    QTRY_VERIFY(!session->jobInFlight());
    QCOMPARE(mDialogs->questions.size(), 1);
    QVERIFY(mDialogs->messages.isEmpty());
}

void TestComputerWindow::screenshots()
{
    const QString target = qEnvironmentVariable("PELAGON_SCREENSHOT_DIR");
    if (target.isEmpty())
        QSKIP("PELAGON_SCREENSHOT_DIR not set");
    // The computer of demo mode, on its realistic link.
    mDemo.reset(new DemoComputer(QCoreApplication::instance()));
    auto window = shownWindow();
    QVERIFY(window);
    mDialogs->onDialog = [this, target](QDialog& dialog) {
        if (dialog.objectName() == QLatin1String("FormBluetoothConnect")) {
            auto* status = dialog.findChild<QLabel*>(QStringLiteral("lbStatus"));
            waitFor([&] { return status->text().startsWith(QStringLiteral("Serial number")); }, 20000);
            dialog.grab().save(target + QStringLiteral("/connection-panel.png"));
            waitFor([&] { return !dialog.isVisible(); }, 20000);
            return dialog.result();
        }
        if (dialog.objectName() == QLatin1String("ImportBluetooth")) {
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("listDives"));
            auto* progress = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
            waitFor([&] { return progress->maximum() != 0; }, 10000);
            for (int row = 0; row < list->count(); row += 3)
                list->item(row)->setCheckState(Qt::Checked);
            dialog.findChild<QPushButton*>(QStringLiteral("btImport"))->click();
            waitFor([&] { return progress->value() >= 1; }, 20000);
            dialog.grab().save(target + QStringLiteral("/import-dialog.png"));
            waitFor([&] { return dialog.findChild<QPushButton*>(QStringLiteral("btOk"))->isEnabled(); }, 60000);
            dialog.findChild<QPushButton*>(QStringLiteral("btOk"))->click();
            return dialog.result();
        }
        return int(QDialog::Rejected);
    };
    computerAction(*window, "Download dives")->trigger();
    window->grab().save(target + QStringLiteral("/logbook-after-download.png"));
}

QTEST_MAIN(TestComputerWindow)
#include "tst_computerwindow.moc"
