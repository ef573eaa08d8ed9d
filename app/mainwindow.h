#pragma once

#include "app/appsettings.h"
#include "db/divedbtypes.h"
#include "divedata/dive.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMainWindow>
#include <QPointF>
#include <QStringList>

#include <functional>
#include <memory>

class ApplicationUpdater;
class ComputerCommandGate;
class DiveLinesIO;
class FirstStartHint;
class FloatingInformation;
class GraphView;
class KelvoSession;
class NewestFirmwareCheck;
class PlanningPanel;
class SimulationPanel;
class QMenu;
class QSettings;
class QTableWidgetItem;

namespace Ui {
class MainWindowClass;
}

// The program's single top-level window: the place where the logbook, the
// profile views, the planner and the dive computer meet.
//
// The logbook side is split by responsibility over several source files:
// mainwindow.cpp (construction, settings, window commands),
// mainwindow_divelist.cpp (the dive list and its commands),
// mainwindow_files.cpp (opening, storing and exporting dives),
// mainwindow_details.cpp (the details panel and the user information),
// mainwindow_graph.cpp (everything that talks to the profile view) and
// mainwindow_planning.cpp (where the planning tabs meet the rest).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    CsvSeparator::Choice csvSeparatorChoice() const { return mCsvSeparator; }
    void setCsvSeparatorChoice(CsvSeparator::Choice choice);
    const OptionSwitches& optionSwitches() const { return mOptions; }
    bool planningAddOn() const { return mOptions.planificationAddOn; }

    // The dive shown, and its logbook id (-1 when it did not come from the
    // logbook, or was deleted from it since).
    const Dive& currentDive() const { return mCurrentDive; }
    int currentDiveId() const { return mCurrentDiveId; }
    bool userInformationModified() const { return mUserInformationModified; }

    const DiveFilter& diveFilter() const { return mFilter; }
    // Keeps the filter and refills the list with it.
    void setDiveFilter(const DiveFilter& filter);

    // Shows the window on a screen whose free area is `available`: as the
    // form sizes it when it fits, else maximised on that area.
    void showFitted(const QRect& available);

    // "1.4.0.1176" shows as "1.4.0".
    static QString windowTitleForVersion(const QString& version);

    // Looks for a newer version on the website (mainwindow_online.cpp).
    void checkForUpdate();
    ApplicationUpdater* updater() const { return mUpdater; }

    // The dive computer (mainwindow_computer.cpp). The session is made on
    // first need. ensureConnected() is every computer command's first step:
    // the simulation tab stops, a pressure still on its way is answered first
    // (the command waits for it without blocking), the connection panel runs
    // unless a computer is connected, then `then` learns whether one is.
    KelvoSession* computerSession();
    void ensureConnected(std::function<void(bool connected)> then);
    // The newest firmware the catalogue offers, for the notice shown before
    // a download. Every computer command asks the catalogue for it, in the
    // background, until it is known.
    void setNewestFirmware(quint32 version);
    quint32 newestFirmware() const { return mNewestFirmware; }

public slots:
    void openDiveProfile();
    void openDiveProfileItem(QTableWidgetItem* pItem);
    void dropFiles(QStringList pFiles);
    void storeCurrentDive();
    void showItems();
    void about();
    void setFilter();
    void maxMinProfile();
    void onDiveListContextMenu(QPoint pos);
    void on_actionQuit_triggered();
    void graphViewMouseMove(QPointF pScenePoint, int pTime);
    void saveUserInformation();
    void fitAll();
    void mediaListReady(const QList<QJsonObject>& list);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (mainwindow.cpp).
    void setToolIcons();
    void arrangeGraphTools();
    void openDataFiles();
    void applyOptionSwitches();
    void openDatabase(const QString& path);
    void buildComputerMenu();
    void connectLogbook();

    // The dive list (mainwindow_divelist.cpp).
    void setupDiveList();
    void fillDiveList();
    void sortBySection(int section);
    void highlightShownDive();
    int diveIdAtRow(int row) const;
    void openListedDive(int diveId);
    void deleteSelectedDives();
    void renameListedDive(int diveId);
    void exportListedDive(int diveId);
    QMenu* createDiveListMenu(int diveId);

    // Dive files (mainwindow_files.cpp).
    bool openDiveFile(const QString& path);
    // Asks whether to store every dive of a file that holds several.
    void offerToStoreAll(const QList<Dive>& dives);
    void saveSelection();
    // The save dialog of both exports and the writer for the chosen suffix;
    // none when cancelled or when no format fits (the user is told).
    std::unique_ptr<DiveLinesIO> askExportFile(const QString& caption, QChar csvSeparator, QString& path);
    void writeExportFile(DiveLinesIO& writer, const QString& path, const Dive& dive);
    void rememberDirectory(const QString& key, const QString& filePath);
    // The message of a failed logbook write of the dive called `name`.
    static QString storeFailureText(const QString& name, int result);

    // The computer commands (mainwindow_computer.cpp); each goes through
    // ensureConnected, then its ...OnComputer part runs.
    void showComputerConnected(bool connected);
    void downloadOrFirmware(QAction* action);
    void downloadOrFirmwareOnComputer(bool download);
    void downloadDives();
    void programName();
    void programNameOnComputer();
    void getSystemLogs();
    void getSystemLogsOnComputer();
    void saveSystemLog(bool binary);
    void showComputerImageMenu(const QPoint& position);
    void askToDisconnect();

    // Details and user information (mainwindow_details.cpp).
    void showCurrentDive();
    void fillDetails();
    void setUserInformationModified(bool modified);
    void askToSaveUserInformation();
    bool storeUserInformation();
    bool summaryVisible() const;
    void updateFirstStartHint();

    // The profile view (mainwindow_graph.cpp).
    void createGraph();
    void graphShowDive(Dive* dive);
    void graphShowItems();
    bool fillGraphMenu(QMenu& menu);
    bool graphSelection(qint64& first, qint64& second) const;
    QString graphInformationAt(QPointF scenePoint, int time) const;
    QPoint graphPointToGlobal(QPointF scenePoint) const;

    // The planning and simulation tabs (mainwindow_planning.cpp).
    void createPlanning();
    void addPlanningEntries(QMenu& menu, int diveId);

    std::unique_ptr<Ui::MainWindowClass> ui;
    QSettings* mSettings = nullptr;
    OptionSwitches mOptions;
    CsvSeparator::Choice mCsvSeparator = CsvSeparator::Dot;

    Dive mCurrentDive;
    int mCurrentDiveId = -1;
    bool mUserInformationModified = false;

    DiveFilter mFilter;
    QHash<int, DiveListEntry> mListedDives; // by dive id, as last listed
    int mHighlightedRow = -1;
    FloatingInformation* mFloatingInformation = nullptr;
    FirstStartHint* mFirstStartHint = nullptr;
    GraphView* mGraph = nullptr;
    ApplicationUpdater* mUpdater = nullptr;
    PlanningPanel* mPlanning = nullptr;
    SimulationPanel* mSimulation = nullptr;
    KelvoSession* mSession = nullptr;
    ComputerCommandGate* mComputerGate = nullptr;
    quint32 mNewestFirmware = 0;
    NewestFirmwareCheck* mFirmwareCheck = nullptr;
};
