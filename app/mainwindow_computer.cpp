// The dive computer's side of the main window: the connection step every
// computer command goes through, the computer menu and the picture's menu.
#include "app/mainwindow.h"
#include "app/simulationpanel.h"

#include "app/commandwait.h"
#include "app/computercommandgate.h"
#include "app/divedownload.h"
#include "app/computertext.h"
#include "app/firmwaremgt.h"
#include "app/formbluetoothconnect.h"
#include "app/sessionfirmwareuploader.h"
#include "app/importbluetooth.h"
#include "app/newestfirmware.h"
#include "app/syslogfile.h"
#include "app/userdialogs.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/democomputer.h"
#include "db/divedb.h"
#include "ui_mainwindow.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QSettings>
#include <QToolButton>

namespace {
enum ComputerAction { FirmwareAction = 0, DownloadAction = 1 };
const char* const kActionId = "id";
} // namespace

void MainWindow::buildComputerMenu()
{
    auto* menu = new QMenu(ui->btImportPelagon);
    menu->setObjectName(QStringLiteral("computerMenu"));
    QAction* download = menu->addAction(tr("Download dives"));
    download->setProperty(kActionId, int(DownloadAction));
    connect(download, &QAction::triggered, this, [this, download] { downloadOrFirmware(download); });
    connect(menu->addAction(tr("Program name")), &QAction::triggered, this, &MainWindow::programName);
    menu->addSeparator();
    QAction* firmware = menu->addAction(tr("Install firmware/bootloader"));
    firmware->setProperty(kActionId, int(FirmwareAction));
    connect(firmware, &QAction::triggered, this, [this, firmware] { downloadOrFirmware(firmware); });
    menu->addSeparator();
    connect(menu->addAction(tr("Get system logs")), &QAction::triggered, this, &MainWindow::getSystemLogs);
    ui->btImportPelagon->setMenu(menu);
    ui->btImportPelagon->setPopupMode(QToolButton::InstantPopup);

    ui->imgPelagon->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->imgPelagon, &QWidget::customContextMenuRequested, this, &MainWindow::showComputerImageMenu);
    ui->imgPelagon->installEventFilter(this);
}

KelvoSession* MainWindow::computerSession()
{
    if (mSession)
        return mSession;
    DemoComputer* demo = DemoComputer::installed();
    mSession = demo ? new KelvoSession(demo->backend(), this) : new KelvoSession(this);
    connect(mSession, &KelvoSession::messageChanged, this,
            [this] { ui->console->appendPlainText(tr("Log: ") + mSession->message()); });
    connect(mSession, &KelvoSession::disconnectController, this, [this] { showComputerConnected(false); });
    connect(mSession, &KelvoSession::serviceError, this, [this](QLowEnergyService::ServiceError error) {
        ui->console->appendPlainText(tr("Service Error: ") + KelvoBleProtocol::serviceErrorString(error));
    });
    return mSession;
}

void MainWindow::ensureConnected(std::function<void(bool connected)> then)
{
    // The simulation tab's replay and ascent leave the computer to the
    // command; a pressure still on its way is answered (or fails) within the
    // command time-out, and the command waits for it rather than be refused.
    mSimulation->stopAll();
    if (!mFirmwareCheck) {
        mFirmwareCheck = new NewestFirmwareCheck(programFirmwareRepository(*mSettings), this);
        connect(mFirmwareCheck, &NewestFirmwareCheck::newestVersionFound, this, &MainWindow::setNewestFirmware);
    }
    mFirmwareCheck->check();
    if (!mComputerGate)
        mComputerGate = new ComputerCommandGate(this);
    mComputerGate->run(computerSession(), [this, then = std::move(then)] {
        // A link made elsewhere (the simulation tab) has not read the
        // computer's identity yet: dives stored without their serial would
        // come back.
        KelvoSession* session = computerSession();
        if (session->isConnected() && !session->serialNumber().isEmpty()) {
            then(true);
            return;
        }
        FormBluetoothConnect panel(session, this);
        const bool connected = panel.run() == 1;
        if (connected)
            showComputerConnected(true);
        then(connected);
    });
}

void MainWindow::showComputerConnected(bool connected)
{
    const char* icon = connected ? "Pelagon-bluetooth-on" : "Pelagon-power-off";
    ui->imgPelagon->setPixmap(QPixmap());
    ui->imgPelagon->setStyleSheet(
        QStringLiteral("image: url(:/TestGraphics/icons/%1.png);").arg(QLatin1String(icon)));
    ui->imgPelagon->setToolTip(connected ? ComputerText::connectedToolTip(mSession->serialNumber(),
                                                                          mSession->currentMode())
                                         : tr("Computer Disconnected"));
}

void MainWindow::setNewestFirmware(quint32 version)
{
    mNewestFirmware = version;
}

void MainWindow::downloadOrFirmware(QAction* action)
{
    const bool download = action->property(kActionId).toInt() == DownloadAction;
    ensureConnected([this, download](bool connected) {
        if (connected)
            downloadOrFirmwareOnComputer(download);
    });
}

void MainWindow::downloadOrFirmwareOnComputer(bool download)
{
    // Dives stored earlier carry the computer's name as it is now.
    const QString name = mSession->computer().nameText();
    if (!name.isEmpty()) {
        bool changed = false;
        if (DiveDb::instance()->updateComputerName(mSession->serialNumber(), name, changed) == DiveDb::Stored
            && changed)
            fillDiveList();
    }
    bool wantsDownload = false;
    if (mSession->firmwareVersion() >= ComputerText::kBinaryLogFirmware) {
        const QString notice = ComputerText::firmwareNotice(mSession->firmwareVersion(), mNewestFirmware);
        if (!notice.isEmpty())
            showInformation(this, tr("Firmware Update Available"), notice);
        wantsDownload = download;
    } else {
        wantsDownload = mSession->currentMode() == CurrentMode::Normal;
    }
    if (wantsDownload)
        downloadDives();
    else
        runSessionFirmwareDialog(this, mSettings, mSession);
}

void MainWindow::downloadDives()
{
    ImportBluetooth dialog(this);
    // Each dive is stored as soon as it arrived: the list grows while the
    // download runs and a cancel or a lost link keeps what arrived.
    connect(&dialog, &ImportBluetooth::diveImported, this, [this, &dialog](const Dive& dive) {
        DiveDb* db = DiveDb::instance();
        const int result = db->insertDive(dive);
        if (result == DiveDb::Stored) {
            fillDiveList();
            return;
        }
        // One message, not one per dive: the rest stays on the computer.
        if (dialog.download())
            dialog.download()->cancel();
        showCritical(this, tr("Write Database Error"), storeFailureText(dive.name, result));
    });
    QList<Dive> dives;
    dialog.run(mSession, dives);
}

void MainWindow::programName()
{
    ensureConnected([this](bool connected) {
        if (connected)
            programNameOnComputer();
    });
}

void MainWindow::programNameOnComputer()
{
    if (mSession->currentMode() != CurrentMode::Normal) {
        showWarning(this, tr("Warning"), tr("The computer is in Bootloader mode"));
        return;
    }
    auto* wait = new CommandWait(mSession, this);
    connect(wait, &CommandWait::failed, this, [this, wait](const QString& reason) {
        wait->deleteLater();
        showCritical(this, tr("Program name"), reason);
    });
    connect(wait, &CommandWait::finished, this, [this, wait](PelagonCommand::PelagonCommandIn command) {
        if (command != PelagonCommand::Owner) {
            wait->deleteLater();
            return;
        }
        const std::optional<QString> owner =
            UserDialogs::current().text(this, tr("Set owner"), tr("Owner name"), mSession->owner());
        if (!owner || owner->isEmpty() || !mSession->isConnected()) {
            wait->deleteLater();
            return;
        }
        const QString name = ComputerText::ownerName(*owner);
        wait->start(PelagonCommand::Set_owner, [this, name] { return mSession->setOwner(name); });
    });
    wait->start(PelagonCommand::Owner);
}

void MainWindow::getSystemLogs()
{
    ensureConnected([this](bool connected) {
        if (connected)
            getSystemLogsOnComputer();
    });
}

void MainWindow::getSystemLogsOnComputer()
{
    if (mSession->currentMode() == CurrentMode::BootLoader) {
        showWarning(this, tr("Warning"), tr("The computer is in Bootloader mode"));
        return;
    }
    const bool binary = mSession->firmwareVersion() >= ComputerText::kBinaryLogFirmware;
    auto* progress = new QProgressDialog(tr("Get syslog..."), QString(), 0, 0, this);
    progress->setObjectName(QStringLiteral("syslogProgress"));
    progress->setCancelButton(nullptr);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setMinimumWidth(progress->sizeHint().width() * 3 / 2);
    progress->setFixedSize(progress->minimumWidth(), progress->sizeHint().height());
    auto* wait = new CommandWait(mSession, progress);
    const auto close = [progress] {
        progress->hide();
        progress->deleteLater();
    };
    connect(wait, &CommandWait::finished, this, [this, close, binary] {
        close();
        saveSystemLog(binary);
    });
    connect(wait, &CommandWait::failed, this, [this, close](const QString& reason) {
        close();
        showCritical(this, tr("Get system logs"), reason);
    });
    progress->open();
    wait->start(binary ? PelagonCommand::SyslogBin : PelagonCommand::Syslog);
}

void MainWindow::saveSystemLog(bool binary)
{
    const QString path = UserDialogs::current().saveFileName(this, tr("Save Syslog"),
                                                             mSettings->value(SettingsKey::lastSyslogDir).toString(),
                                                             tr("Syslog files (*.syslog)"));
    if (path.isEmpty())
        return;
    const QByteArray bytes = binary ? SyslogFile::binaryForm(mSession->syslogBin())
                                    : SyslogFile::textForm(QDateTime::currentDateTime(), mSession->computerModelStr(),
                                                           mSession->serialNumber(), mSession->syslog());
    if (!SyslogFile::write(path, bytes)) {
        showCritical(this, tr("Save Syslog"), tr("Impossible to write the file %1").arg(path));
        return;
    }
    rememberDirectory(SettingsKey::lastSyslogDir, path);
}

void MainWindow::showComputerImageMenu(const QPoint& position)
{
    if (!mSession || !mSession->isConnected())
        return;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("computerImageMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(tr("Close Connection")), &QAction::triggered, this, [this] { askToDisconnect(); });
    connect(menu->addAction(tr("Reset Computer")), &QAction::triggered, this, [this] {
        if (!UserDialogs::current().question(this, tr("Reset Computer"), tr("Are you sure to reset the computer?"))
            || !mSession->isConnected())
            return;
        // The computer answers, then restarts: the session ends the link.
        if (!mSession->startCommand(PelagonCommand::Reset))
            showWarning(this, tr("Reset Computer"), tr("The computer is still busy with another command, please try again."));
    });
    menu->popup(ui->imgPelagon->mapToGlobal(position));
}

void MainWindow::askToDisconnect()
{
    if (UserDialogs::current().question(this, tr("Disconnect Computer"),
                                        tr("Are you sure to disconnect the computer?"))
        && mSession && mSession->isConnected())
        mSession->controllerDisconnect();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->imgPelagon && event->type() == QEvent::MouseButtonDblClick) {
        askToDisconnect();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
