// Point editing on the planning tab: the point table, the profile's handles
// and their menu.

#include "app/divepointtable.h"
#include "app/planningpanel.h"
#include "app/pointmeasure.h"
#include "app/userdialogs.h"
#include "profilor/divepoint.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "ui_planningpanel.h"

#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QUiLoader>

#include <memory>

void PlanningPanel::setupPointTable()
{
    QTableView* table = ui->tblViewlDivePoints;
    mPointModel = new TblDivePointsModel([this]() -> const Dive* { return mPlanner.currentDive(); }, table, this);
    mPointDelegate = new SpinBoxDelegate(this);
    mPointDelegate->setDepthCallback([this](int row, double depth) {
        if (!mPlanner.currentDive())
            return;
        mGraph->profileItem()->modifyDepthOfDivePoint(row, depth);
        mPointModel->refresh(row);
        simulate();
    });
    mPointDelegate->setTimeCallback([this](int row, int& seconds) {
        const Dive* dive = mPlanner.currentDive();
        if (!dive || row <= 0 || row >= dive->lines.size() || !mGraph->profileItem()->getDivePointAtIndex(row))
            return false;
        double time = seconds;
        mGraph->profileItem()->modifyTimeOfDivePoint(row, time);
        seconds = int(std::lround(time));
        mPointModel->refresh(row);
        simulate();
        return true;
    });
    table->setModel(mPointModel);
    table->setItemDelegate(mPointDelegate);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table->setColumnWidth(TblDivePointsModel::DeleteColumn, 30);
    table->setColumnWidth(TblDivePointsModel::DepthColumn, 60);
    table->setColumnWidth(TblDivePointsModel::TimeColumn, 75);
    table->horizontalHeader()->setStretchLastSection(true);
    connect(table, &QTableView::clicked, this, [this](const QModelIndex& index) {
        mSelectedPoint = index.row();
        if (index.column() == TblDivePointsModel::DeleteColumn)
            deleteDivePointFrom(index.row());
    });

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("planningPointMenu"));
    connect(menu->addAction(tr("Delete this point")), &QAction::triggered, this, &PlanningPanel::deleteMenuPoint);
    connect(menu->addAction(tr("Set start of DTR")), &QAction::triggered, this, &PlanningPanel::setStartOfDtr);
    connect(menu->addAction(tr("Measure between 2 points")), &QAction::triggered, this,
            &PlanningPanel::measureBetweenTwoPoints);
    DivePoint::contextMenu = menu;
}

void PlanningPanel::resetPointTable()
{
    mPointModel->refresh(-1);
    ui->tblViewlDivePoints->clearSelection();
}

void PlanningPanel::pointsChanged()
{
    mSelectedPoint = -1;
    resetPointTable();
    simulate();
}

void PlanningPanel::pointMoved(int index)
{
    mPointModel->refresh(index);
    simulate();
}

void PlanningPanel::addDivePoint()
{
    if (!hasSlot())
        return;
    if (mSelectedPoint < 0) {
        showCritical(this, tr("Error"), tr("Select a line after which insert a point"));
        return;
    }
    // Emits the profile item's point-added signal, which re-plans.
    mGraph->profileItem()->addDivePointAfter(mSelectedPoint);
}

void PlanningPanel::removeDivePoint()
{
    if (!hasSlot())
        return;
    if (mSelectedPoint < 0) {
        showCritical(this, tr("Error"), tr("Select the dive point to remove"));
        return;
    }
    deleteDivePointFrom(mSelectedPoint);
}

void PlanningPanel::deleteDivePointFrom(int row)
{
    // The first line, where the dive starts, stays.
    if (!hasSlot() || row < 1)
        return;
    DiveProfileItem* item = mGraph->profileItem();
    DivePoint* point = item->getDivePointAtIndex(row);
    if (!point)
        return;
    item->deleteDivePoint(point);
    pointsChanged();
}

void PlanningPanel::deleteMenuPoint()
{
    if (!hasSlot())
        return;
    DiveProfileItem* item = mGraph->profileItem();
    if (item->nbSelectedPoints() >= 2) {
        item->deleteSelectedPoints();
        pointsChanged();
        return;
    }
    DivePoint* point = DivePoint::currentPoint;
    if (!point || point->profileItem() != item || point->diveLineInfo().index <= 0)
        return;
    item->deleteDivePoint(point);
    pointsChanged();
}

void PlanningPanel::setStartOfDtr()
{
    Dive* dive = mPlanner.currentDive();
    DivePoint* point = DivePoint::currentPoint;
    if (!dive || !point || point->profileItem() != mGraph->profileItem())
        return;
    if (dive->format == Dive::PlannedProfile) {
        showCritical(this, tr("Error"), tr("Impossible to set start of DTR on planified profile"));
        return;
    }
    dive->dtrStartIndex = point->diveLineInfo().index;
    mGraph->profileItem()->updateTitle();
}

void PlanningPanel::measureBetweenTwoPoints()
{
    const Dive* dive = mPlanner.currentDive();
    if (!dive)
        return;
    const QPair<int, int> pair = mGraph->profileItem()->getSelectedPair();
    const std::optional<PointMeasure> measure = PointMeasure::between(*dive, pair.first, pair.second);
    if (!measure) {
        showCritical(this, tr("Error"), tr("Select two points to measure between them"));
        return;
    }
    QFile form(QStringLiteral(":/Form/formMeasureTwoPoints.ui"));
    if (!form.open(QIODevice::ReadOnly))
        return;
    QUiLoader loader;
    std::unique_ptr<QDialog> dialog(qobject_cast<QDialog*>(loader.load(&form, this)));
    if (!dialog)
        return;
    dialog->setWindowTitle(tr("Measure between two points"));
    if (auto* points = dialog->findChild<QTableWidget*>(QStringLiteral("tblPoints"))) {
        points->setColumnCount(3);
        points->setRowCount(2);
        points->setHorizontalHeaderLabels({tr("Point"), tr("Time"), tr("Depth")});
        points->verticalHeader()->setVisible(false);
        const auto fill = [points](int row, int index, double time, double depth) {
            points->setItem(row, 0, new QTableWidgetItem(QString::number(index)));
            points->setItem(row, 1, new QTableWidgetItem(Dive::formatDuration(time)));
            points->setItem(row, 2, new QTableWidgetItem(tr("%1m").arg(depth, 0, 'f', 1)));
        };
        fill(0, measure->first, measure->firstTime, measure->firstDepth);
        fill(1, measure->second, measure->secondTime, measure->secondDepth);
    }
    if (auto* values = dialog->findChild<QTableWidget*>(QStringLiteral("tblValues"))) {
        values->setColumnCount(2);
        values->setRowCount(3);
        values->horizontalHeader()->setVisible(false);
        values->verticalHeader()->setVisible(false);
        values->horizontalHeader()->setStretchLastSection(true);
        const QStringList names = {tr("Duration"), tr("Depth difference"), tr("Speed")};
        const QStringList shown = {Dive::formatDuration(measure->duration),
                                   tr("%1m").arg(measure->depthChange, 0, 'f', 1),
                                   measure->speed ? tr("%1m/mn").arg(*measure->speed, 0, 'f', 1) : tr("none")};
        for (int row = 0; row < 3; ++row) {
            values->setItem(row, 0, new QTableWidgetItem(names.at(row)));
            values->setItem(row, 1, new QTableWidgetItem(shown.at(row)));
        }
    }
    UserDialogs::current().exec(*dialog);
}
