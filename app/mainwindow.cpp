#include "app/mainwindow.h"

#include "app/userdialogs.h"
#include "corvane/corvane.h"
#include "profilor/profilor.h"
#include "db/divedb.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QIcon>
#include <QSettings>
#include <QToolButton>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindowClass>())
{
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/AppIcon/TessalySystemsDiveIcon.ico")));
    setWindowTitle(windowTitleForVersion(QCoreApplication::applicationVersion()));
    setToolIcons();

    ui->console->appendPlainText(tr("Corvane %1, Profilor %2").arg(Corvane::version(), Profilor::version()));

    openDataFiles();

    for (int tab = 0; tab < 3; ++tab)
        ui->tabProfile->setTabEnabled(tab, false);
    ui->tabProfile->setCurrentIndex(0);
}

MainWindow::~MainWindow() = default;

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
    ui->btFilter->setIcon(icon("mark_info"));
    ui->btFitAllVisu->setIcon(icon("maximize"));
    ui->btMaxMinProfile->setIcon(icon("minimize"));
    for (QToolButton* button : {ui->btImportDive, ui->btStoreDive, ui->btImportPelagon})
        button->setIconSize(QSize(32, 32));
    ui->splitVert->setStretchFactor(1, 1);
    ui->splitVert->setSizes({400, 1000});
}

void MainWindow::openDataFiles()
{
    DataDirectory::ensure();
    mSettings = new QSettings(DataDirectory::settingsFile(), QSettings::IniFormat, this);
    mCsvSeparator = CsvSeparator::choiceFromStored(mSettings->value(SettingsKey::csvSeparator));

    mOptions = OptionSwitches::read(DataDirectory::optionsFile());
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
    ui->wdPlanifAddOn->setVisible(mOptions.planificationAddOn);
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
    default:
        break;
    }
}

void MainWindow::setCsvSeparatorChoice(CsvSeparator::Choice choice)
{
    mCsvSeparator = choice;
    mSettings->setValue(SettingsKey::csvSeparator, CsvSeparator::storedFromChoice(choice));
    mSettings->sync();
}
