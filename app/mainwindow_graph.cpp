// Everything the window asks of the logbook's profile view, in one place.

#include "app/mainwindow.h"

#include "app/firststarthint.h"

#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "ui_mainwindow.h"

#include <QMenu>
#include <QVBoxLayout>

void MainWindow::createGraph()
{
    auto* layout = new QVBoxLayout(ui->widgetGraph);
    layout->setContentsMargins(0, 0, 0, 0);
    mGraph = new GraphView(ui->widgetGraph);
    mGraph->setObjectName(QStringLiteral("graphView"));
    mGraph->enabledSelection(true);
    layout->addWidget(mGraph);

    // An empty logbook says over the profile how dives get in.
    auto* hintLayout = new QVBoxLayout(mGraph->viewport());
    mFirstStartHint = new FirstStartHint(mGraph->viewport());
    mFirstStartHint->hide();
    hintLayout->addWidget(mFirstStartHint);

    connect(mGraph, &GraphView::mouseMove, this, &MainWindow::graphViewMouseMove);
    connect(mGraph, &GraphView::dragDropFiles, this, &MainWindow::dropFiles);
    mGraph->setContextualMenuCallback([this](QMenu& menu) { return fillGraphMenu(menu); });
    graphShowItems();
}

void MainWindow::graphShowDive(Dive* dive)
{
    mGraph->setDiveProfile(dive);
}

void MainWindow::showItems()
{
    graphShowItems();
}

void MainWindow::graphShowItems()
{
    ShowItemsState state;
    state.points = ui->ckPoints->isChecked();
    state.temperature = ui->ckTemperature->isChecked();
    state.deco = ui->ckDeco->isChecked();
    state.alerts = ui->ckAlerts->isChecked();
    state.gases = ui->ckGases->isChecked();
    state.maxDepth = ui->ckMaxDepth->isChecked();
    state.tankPressure = ui->ckTankPressure->isChecked();
    mGraph->showItems(state);
}

void MainWindow::fitAll()
{
    if (mGraph->getDiveProfile())
        mGraph->profileItem()->fitAll();
}

bool MainWindow::fillGraphMenu(QMenu& menu)
{
    qint64 first = 0;
    qint64 second = 0;
    if (!graphSelection(first, second))
        return false;
    connect(menu.addAction(tr("Save selection")), &QAction::triggered, this, &MainWindow::saveSelection);
    return true;
}

bool MainWindow::graphSelection(qint64& first, qint64& second) const
{
    if (!mGraph->getDiveProfile() || !mGraph->hasSelection())
        return false;
    const QPair<int, int> selection = mGraph->getSelection();
    if (selection.first < 0 || selection.second < 0)
        return false;
    first = selection.first;
    second = selection.second;
    return true;
}

QString MainWindow::graphInformationAt(QPointF scenePoint, int time) const
{
    return mGraph->getInfosOnPosition(scenePoint, time);
}

QPoint MainWindow::graphPointToGlobal(QPointF scenePoint) const
{
    // The view's scene matches its viewport.
    return mGraph->viewport()->mapToGlobal(scenePoint.toPoint());
}
