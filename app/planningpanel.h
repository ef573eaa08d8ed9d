#pragma once

#include "app/planreport.h"
#include "app/plantabledocument.h"
#include "deco/diveplanner.h"

#include <QPointF>
#include <QWidget>

#include <memory>

class GraphView;
class QMenu;
class QSettings;
class QTableWidgetItem;
class SpinBoxDelegate;
class TblDivePointsModel;

namespace Ui {
class PlanningPanelClass;
}

// The planning tab: up to three repetitive planned dives held by the planner,
// their settings, the editable profile and point table, and what every edit
// re-plans (the plan table, the computed ascent on the profile, the tissues).
//
// Split over planningpanel.cpp (showing slots, settings, simulating, the plan
// report), planningpanel_commands.cpp (slot, plan file and export commands)
// and planningpanel_points.cpp (point editing, the profile's menu).
class PlanningPanel : public QWidget
{
    Q_OBJECT

public:
    explicit PlanningPanel(QWidget* parent = nullptr);
    ~PlanningPanel() override;

    // The settings file holding the last plan and dive file directories.
    void setSettings(QSettings* settings) { mSettings = settings; }
    // The gradient-factor add-on: shown, and its factors used, when on.
    void setAddOnEnabled(bool on);

    deco::DivePlanner& planner() { return mPlanner; }
    GraphView* graph() const { return mGraph; }
    bool hasSlot() const { return mPlanner.currentSlot() != nullptr; }
    // The plan table as shown (rich text) and as plain text.
    const PlanReport& report() const { return mReport; }
    QString planTableText() const;
    // Writes the plan table and the profile as a PDF; false when it cannot.
    bool writePlanPdf(const QString& path) const;

    // The dive list's two planning entries: the logbook dive added as a new
    // slot, or replacing the current slot's dive. False when nothing changed
    // (the user was told why).
    bool addPlanificationFromExistingDBDive(int diveId, bool replace);

public slots:
    void newPlanification();
    void addDefaultDive();
    void addDiveFromFile();
    void replaceDiveFromFile();
    void replaceCurrentDive();
    void deleteCurrentDive();
    void changeCurrentPlanifDive(int row);
    void loadPlan();
    void savePlan();
    void enabledDisabledEffortMode(bool on);
    void addDivePoint();
    void removeDivePoint();
    void copyPlanTable();
    void exportPlanPdf();
    void graphViewPlanificationMouseMove(QPointF scenePoint, int time);

signals:
    // A planning command of another tab wants this one shown.
    void showRequested();

private:
    // planningpanel.cpp
    void createGraph();
    void connectWidgets();
    void showCurrentSlot(bool justFilled);
    void simulate();
    void rebuildSlotTable();
    void setSlotWidgetsEnabled(bool enabled);
    void showSlotSettings();
    void slotSettingChanged();
    void diverTypeChanged(int index);
    void decoGasesChanged();
    void enableDecoGasLimits();
    void refreshTissues();
    void planText(const QString& text);
    void planRecord(const deco::LinePlan& record);
    void showPlan();
    void clearPlan();

    // planningpanel_commands.cpp
    QString askDiveFile();
    void replaceCurrentDiveBy(Dive dive);

    // planningpanel_points.cpp
    void setupPointTable();
    void resetPointTable();
    void pointsChanged();
    void pointMoved(int index);
    void deleteDivePointFrom(int row);
    void deleteMenuPoint();
    void setStartOfDtr();
    void measureBetweenTwoPoints();

    std::unique_ptr<Ui::PlanningPanelClass> ui;
    deco::DivePlanner mPlanner;
    QSettings* mSettings = nullptr;
    GraphView* mGraph = nullptr;
    TblDivePointsModel* mPointModel = nullptr;
    SpinBoxDelegate* mPointDelegate = nullptr;
    PlanReport mReport;
    std::unique_ptr<PlanTableDocument> mPlanTable;
    // What the planner's callbacks asked of the plan panel during a run,
    // shown once the run is over: the panel cleared or the table completed,
    // then the run's texts.
    struct PendingPlan
    {
        bool cleared = false;
        bool table = false;
        QStringList texts;
    } mPending;
    bool mSimulating = false;
    bool mAddOn = false;
    int mSelectedPoint = -1;
};
