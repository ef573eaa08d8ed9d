#include "app/mainwindow.h"

#include "app/floatinginformation.h"
#include "app/flowlayout.h"
#include "app/formfilter.h"
#include "app/planningpanel.h"
#include "app/profileicons.h"
#include "app/userdialogs.h"
#include "corvane/corvane.h"
#include "corvane/simulator/democomputer.h"
#include "db/divedb.h"
#include "profilor/profilor.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindowClass>())
{
    // Profile items load their icons when they are made: register first.
    registerProfileIcons();

    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/AppIcon/TessalySystemsDiveIcon.ico")));
    setToolIcons();
    arrangeGraphTools();
    createGraph();
    mFloatingInformation = new FloatingInformation(this);
    mFloatingInformation->setFrame(ui->widgetGraph);

    ui->console->appendPlainText(tr("Corvane %1, Profilor %2").arg(Corvane::version(), Profilor::version()));

    createPlanning();
    openDataFiles();

    setupDiveList();
    buildComputerMenu();

    setWindowTitle(windowTitleForVersion(QCoreApplication::applicationVersion()));
    for (int tab = 0; tab < 3; ++tab)
        ui->tabProfile->setTabEnabled(tab, false);
    ui->tabProfile->setCurrentIndex(0);
    ui->btStoreDive->setEnabled(false);
    ui->btSaveUserInformation->setEnabled(false);
    connectLogbook();
}

MainWindow::~MainWindow()
{
    // The profile view outlives the shown dive by a moment: let go of it first.
    graphShowDive(nullptr);
}

void MainWindow::showFitted(const QRect& available)
{
    // The form is laid out for a large screen; on a smaller one the window
    // takes the free area instead of running off its edges.
    if (!available.isValid() || (width() <= available.width() && height() <= available.height())) {
        show();
        return;
    }
    resize(size().boundedTo(available.size()).expandedTo(minimumSizeHint()));
    move(available.topLeft());
    showMaximized();
}

QString MainWindow::windowTitleForVersion(const QString& version)
{
    QString shown = version;
    const int lastDot = shown.lastIndexOf(u'.');
    if (lastDot >= 0)
        shown.truncate(lastDot);
    return tr("Pelagon DiveLog") + QStringLiteral(" - ") + shown;
}

void MainWindow::setToolIcons()
{
    const auto icon = [](const char* name) {
        return QIcon(QStringLiteral(":/TestGraphics/icons/%1.png").arg(QLatin1String(name)));
    };
    ui->btImportDive->setIcon(icon("dossier"));
    ui->btStoreDive->setIcon(icon("download"));
    ui->btImportPelagon->setIcon(icon("Pelagon-power-off"));
    ui->imgPelagon->setPixmap(QPixmap(QStringLiteral(":/TestGraphics/icons/Pelagon-power-off.png"))
                                  .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ui->btFilter->setIcon(icon("filter"));
    ui->btFitAllVisu->setIcon(icon("fitall"));
    ui->btMaxMinProfile->setIcon(icon("minimize"));
    for (QToolButton* button : {ui->btImportDive, ui->btStoreDive, ui->btImportPelagon})
        button->setIconSize(QSize(32, 32));
    ui->splitVert->setStretchFactor(1, 1);
    ui->edInformation->setVisible(false);
}

namespace {

// The information area is as tall as the page shown needs, not as its tallest
// page (the simulation's), so the profile keeps its room on small screens.
void sizeToCurrentPage(QTabWidget* tabs)
{
    for (int index = 0; index < tabs->count(); ++index) {
        QWidget* page = tabs->widget(index);
        QSizePolicy policy = page->sizePolicy();
        policy.setVerticalPolicy(index == tabs->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored);
        page->setSizePolicy(policy);
    }
}

} // namespace

void MainWindow::arrangeGraphTools()
{
    // The layer switches wrap onto a second row when the profile's side is
    // narrow, so the dive list keeps the width its columns need.
    QHBoxLayout* row = ui->layoutGraphTools;
    auto* switches = new FlowLayout;
    for (QCheckBox* box : {ui->ckPoints, ui->ckTemperature, ui->ckGases, ui->ckDeco, ui->ckAlerts, ui->ckMaxDepth,
                           ui->ckTankPressure}) {
        row->removeWidget(box);
        switches->addWidget(box);
    }
    delete row->takeAt(row->indexOf(ui->spacerGraphTools));
    row->insertLayout(1, switches, 1);
    row->setAlignment(ui->btFitAllVisu, Qt::AlignTop);
    row->setAlignment(ui->btMaxMinProfile, Qt::AlignTop);

    sizeToCurrentPage(ui->tabProfile);
    connect(ui->tabProfile, &QTabWidget::currentChanged, this, [this] { sizeToCurrentPage(ui->tabProfile); });
}

void MainWindow::openDataFiles()
{
    DataDirectory::ensure();
    mSettings = new QSettings(DataDirectory::settingsFile(), QSettings::IniFormat, this);
    mPlanning->setSettings(mSettings);
    mCsvSeparator = CsvSeparator::choiceFromStored(mSettings->value(SettingsKey::csvSeparator));

    // Demo mode shows every hidden feature to whoever tries the program.
    mOptions = OptionSwitches::inForce(DataDirectory::optionsFile(), DemoComputer::installed() != nullptr);
    applyOptionSwitches();

    const QString databasePath = DataDirectory::databaseFile();
    if (!databasePath.isEmpty())
        openDatabase(databasePath);
}

void MainWindow::applyOptionSwitches()
{
    // The two simulation tabs are the last ones of the information tabs.
    const int tabCount = ui->tabProfile->count();
    for (int tab = tabCount - 2; tab < tabCount; ++tab)
        ui->tabProfile->setTabVisible(tab, mOptions.simulation);
    mPlanning->setAddOnEnabled(mOptions.planificationAddOn);
    ui->tabMain->setTabVisible(1, mOptions.planification);
    ui->btImportDive->setVisible(mOptions.import);
    ui->btStoreDive->setVisible(mOptions.import);
    ui->actionOpen->setEnabled(mOptions.import);
}

void MainWindow::openDatabase(const QString& path)
{
    switch (DiveDb::instance()->open(path)) {
    case DiveDb::CannotOpen:
        showCritical(this, tr("Database Error"), tr("Impossible to open database"));
        break;
    case DiveDb::CannotCreate:
        showCritical(this, tr("Database Error"), tr("Impossible to create database \n") + DiveDb::instance()->lastError());
        break;
    case DiveDb::NotALogbook:
    case DiveDb::Busy:
        // The file was left as it was: it is not ours, or another program
        // is writing to it.
        showCritical(this, tr("Database Error"), tr("Impossible to open database") + QLatin1Char('\n')
                                                     + DiveDb::instance()->lastError());
        break;
    default:
        if (DiveDb::instance()->isReadOnly())
            showWarning(this, tr("Database"), DiveDb::instance()->lastError());
        break;
    }
}

void MainWindow::connectLogbook()
{
    connect(ui->btImportDive, &QToolButton::clicked, this, &MainWindow::openDiveProfile);
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::openDiveProfile);
    connect(ui->btStoreDive, &QToolButton::clicked, this, &MainWindow::storeCurrentDive);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::about);
    connect(ui->btFilter, &QToolButton::clicked, this, &MainWindow::setFilter);
    connect(ui->btMaxMinProfile, &QToolButton::clicked, this, &MainWindow::maxMinProfile);
    connect(ui->btFitAllVisu, &QToolButton::clicked, this, &MainWindow::fitAll);
    for (QCheckBox* box : {ui->ckPoints, ui->ckTemperature, ui->ckGases, ui->ckDeco, ui->ckAlerts, ui->ckMaxDepth,
                           ui->ckTankPressure})
        connect(box, &QCheckBox::toggled, this, &MainWindow::showItems);

    for (QLineEdit* edit : {ui->edPlace, ui->edSite, ui->edBuddy})
        connect(edit, &QLineEdit::textEdited, this, [this] { setUserInformationModified(true); });
    connect(ui->btSaveUserInformation, &QPushButton::clicked, this, &MainWindow::saveUserInformation);
}

void MainWindow::setCsvSeparatorChoice(CsvSeparator::Choice choice)
{
    mCsvSeparator = choice;
    mSettings->setValue(SettingsKey::csvSeparator, CsvSeparator::storedFromChoice(choice));
    mSettings->sync();
}

void MainWindow::setFilter()
{
    FormFilter dialog(mFilter, this);
    if (UserDialogs::current().exec(dialog) == QDialog::Accepted)
        setDiveFilter(dialog.filter());
}

void MainWindow::setDiveFilter(const DiveFilter& filter)
{
    mFilter = filter;
    fillDiveList();
}

void MainWindow::maxMinProfile()
{
    const bool show = !summaryVisible();
    ui->widget_32->setVisible(show);
    // Without the summary the position information docks under the profile,
    // in a strip that leaves the profile the room it gained.
    ui->edInformation->setVisible(!show);
    ui->wdInformations->setMaximumHeight(show ? QWIDGETSIZE_MAX : 190);
    if (show) {
        ui->btMaxMinProfile->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/minimize.png")));
        ui->btMaxMinProfile->setToolTip(tr("Minimize profile area"));
        mFloatingInformation->showAgain();
    } else {
        ui->btMaxMinProfile->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/maximize.png")));
        ui->btMaxMinProfile->setToolTip(tr("Maximize profile area"));
        mFloatingInformation->hide();
    }
}

void MainWindow::on_actionQuit_triggered()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    askToSaveUserInformation();
    mFloatingInformation->hide();
    event->accept();
}
