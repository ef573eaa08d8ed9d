// Where the planning and simulation tabs meet the rest of the window: their
// places in the tabs and the dive list's planning entries.

#include "app/mainwindow.h"
#include "app/planningpanel.h"
#include "app/simulationpanel.h"
#include "ui_mainwindow.h"

#include <QMenu>

void MainWindow::createPlanning()
{
    mPlanning = new PlanningPanel(ui->tabPlanification);
    mPlanning->setObjectName(QStringLiteral("planningPanel"));
    ui->layoutPlanification->addWidget(mPlanning);
    connect(mPlanning, &PlanningPanel::showRequested, this, [this] { ui->tabMain->setCurrentIndex(1); });

    // The replay works on the logbook's dive; its pressures go to the
    // computer once a session is there to take them.
    mSimulation = new SimulationPanel(mGraph, ui->tabSimulation);
    mSimulation->setObjectName(QStringLiteral("simulationPanel"));
    mSimulation->setLog([this](const QString& text) { ui->console->appendPlainText(text); });
    ui->layoutSimulation->addWidget(mSimulation);
    // The tab's connect button: the window's connection step (the panel,
    // unless a computer is connected), then the tab reads the computer's
    // settings; a connection that did not come offers the button again.
    connect(mSimulation, &SimulationPanel::connectRequested, this, [this] {
        ensureConnected(
            [this](bool connected) { mSimulation->useComputer(connected ? computerSession() : nullptr); });
    });
}

void MainWindow::addPlanningEntries(QMenu& menu, int diveId)
{
    // Offered with the planning tab, and for a dive row only.
    const bool usable = mOptions.planification && diveId >= 0;
    QAction* add = menu.addAction(tr("Add to planification"));
    add->setEnabled(usable);
    connect(add, &QAction::triggered, this, [this, diveId] {
        if (diveId >= 0)
            mPlanning->addPlanificationFromExistingDBDive(diveId, false);
    });
    if (!usable || !mPlanning->hasSlot())
        return;
    connect(menu.addAction(tr("Replace current in planification")), &QAction::triggered, this,
            [this, diveId] { mPlanning->addPlanificationFromExistingDBDive(diveId, true); });
}
