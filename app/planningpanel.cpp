#include "app/planningpanel.h"

#include "app/divepointtable.h"
#include "deco/config.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "ui_planningpanel.h"

#include <QIcon>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kEffortOn = QStringLiteral(":/TestGraphics/icons/effortOn.png");
const QString kEffortOff = QStringLiteral(":/TestGraphics/icons/effort.png");
// The gas sets offered only to open-circuit divers, from this entry on.
constexpr int kOpenCircuitGasSets = 2;
const QStringList kOpenCircuitGasSetNames = {QStringLiteral("Air + VidAD"), QStringLiteral("Air + ZezUR"),
                                             QStringLiteral("CF Oxy")};

} // namespace

PlanningPanel::PlanningPanel(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PlanningPanelClass>())
{
    ui->setupUi(this);
    mPlanTable = std::make_unique<PlanTableDocument>(ui->edInfoPlanif->document());
    mPlanner.setTextCallback([this](const QString& text) { planText(text); });
    mPlanner.setPlanCallback([this](const deco::LinePlan& record) { planRecord(record); });
    createGraph();
    setupPointTable();
    connectWidgets();

    ui->tblDives->setRowCount(deco::DivePlanner::kSlots);
    ui->tblDives->setColumnCount(2);
    ui->tblDives->horizontalHeader()->setVisible(false);
    ui->tblDives->horizontalHeader()->setStretchLastSection(true);
    ui->tblDives->setColumnWidth(0, 30);
    ui->tblDives->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->tblDives->setSelectionMode(QAbstractItemView::NoSelection);
    rebuildSlotTable();
    setSlotWidgetsEnabled(false);
    setAddOnEnabled(false);
}

PlanningPanel::~PlanningPanel()
{
    // The view and the point table reach into the planner's slots, which go
    // before the widgets.
    mGraph->setDiveProfile(nullptr);
    ui->tblViewlDivePoints->setModel(nullptr);
}

void PlanningPanel::createGraph()
{
    DiveProfileItem::setEffortIconResource(kEffortOn);
    auto* layout = new QVBoxLayout(ui->widgetSimul);
    layout->setContentsMargins(0, 0, 0, 0);
    mGraph = new GraphView(ui->widgetSimul);
    mGraph->setObjectName(QStringLiteral("graphViewPlanification"));
    layout->addWidget(mGraph);
    DiveProfileItem* item = mGraph->profileItem();
    item->setGraphMode(GraphMode::Planning);
    item->setEditMode(true);
    ShowItemsState shown;
    shown.points = true;
    mGraph->showItems(shown);
    mGraph->enableMultiSelect(true);
    connect(mGraph, &GraphView::mouseMove, this, &PlanningPanel::graphViewPlanificationMouseMove);
    connect(mGraph, &GraphView::selectInRect, this,
            [this](QRectF rect) { mGraph->profileItem()->selectPointsInRect(rect); });
    connect(item, &DiveProfileItem::onAddDivePoint, this, &PlanningPanel::pointsChanged);
    connect(item, &DiveProfileItem::onUpdateDivePoint, this, &PlanningPanel::pointMoved);
}

void PlanningPanel::connectWidgets()
{
    const auto icon = [](const char* name) {
        return QIcon(QStringLiteral(":/TestGraphics/icons/%1.png").arg(QLatin1String(name)));
    };
    ui->btLoadSimulation->setIcon(icon("dossier"));
    ui->btSaveSimulation->setIcon(icon("download"));
    ui->btFitAll->setIcon(icon("maximize"));
    ui->btShowHidePoints->setIcon(icon("diver"));
    ui->btNewSimulation->setIcon(icon("import"));

    connect(ui->btAddDive, &QToolButton::clicked, this, &PlanningPanel::addDefaultDive);
    auto* fileMenu = new QMenu(ui->btAddExistingDive);
    fileMenu->setObjectName(QStringLiteral("addDiveMenu"));
    connect(fileMenu->addAction(tr("Add dive")), &QAction::triggered, this, &PlanningPanel::addDiveFromFile);
    connect(fileMenu->addAction(tr("Replace current dive")), &QAction::triggered, this,
            &PlanningPanel::replaceDiveFromFile);
    ui->btAddExistingDive->setMenu(fileMenu);
    ui->btAddExistingDive->setPopupMode(QToolButton::InstantPopup);
    connect(ui->btNewReplace, &QToolButton::clicked, this, &PlanningPanel::replaceCurrentDive);
    connect(ui->btRemoveDive, &QToolButton::clicked, this, &PlanningPanel::deleteCurrentDive);
    connect(ui->btNewSimulation, &QToolButton::clicked, this, &PlanningPanel::newPlanification);
    connect(ui->btLoadSimulation, &QToolButton::clicked, this, &PlanningPanel::loadPlan);
    connect(ui->btSaveSimulation, &QToolButton::clicked, this, &PlanningPanel::savePlan);
    connect(ui->btFitAll, &QToolButton::clicked, this, [this] { mGraph->profileItem()->fitAll(); });
    connect(ui->btShowHidePoints, &QToolButton::clicked, this, [this] {
        DiveProfileItem* item = mGraph->profileItem();
        item->setShowDivePoints(!item->itemFlags().points);
    });
    connect(ui->btCopyPlan, &QPushButton::clicked, this, &PlanningPanel::copyPlanTable);
    connect(ui->btExportPlanPdf, &QPushButton::clicked, this, &PlanningPanel::exportPlanPdf);
    connect(ui->btAddDivePoint, &QToolButton::clicked, this, &PlanningPanel::addDivePoint);
    connect(ui->btRemoveDivePoint, &QToolButton::clicked, this, &PlanningPanel::removeDivePoint);
    connect(ui->tblDives, &QTableWidget::cellClicked, this, [this](int row, int) { changeCurrentPlanifDive(row); });

    connect(ui->spSurfPressure, &QSpinBox::valueChanged, this, &PlanningPanel::slotSettingChanged);
    connect(ui->cbWaterType, &QComboBox::currentIndexChanged, this, &PlanningPanel::slotSettingChanged);
    connect(ui->edSurfaceInterval, &QTimeEdit::timeChanged, this, &PlanningPanel::slotSettingChanged);
    connect(ui->cbGases, &QComboBox::currentIndexChanged, this, &PlanningPanel::slotSettingChanged);
    connect(ui->cbDiverType, &QComboBox::currentIndexChanged, this, &PlanningPanel::diverTypeChanged);
    for (QSpinBox* box : {ui->spGfLow, ui->spGfhigh, ui->spReduction})
        connect(box, &QSpinBox::valueChanged, this, &PlanningPanel::simulate);
    connect(ui->rbStartOfDive, &QRadioButton::toggled, this, &PlanningPanel::refreshTissues);
    connect(ui->ckDecoGases, &QCheckBox::toggled, this, &PlanningPanel::decoGasesChanged);
    connect(ui->spDecoPpO2, &QDoubleSpinBox::valueChanged, this, &PlanningPanel::decoGasesChanged);
    connect(ui->spSwitchStop, &QSpinBox::valueChanged, this, &PlanningPanel::decoGasesChanged);
}

void PlanningPanel::decoGasesChanged()
{
    deco::DecoGasSettings settings;
    settings.enabled = ui->ckDecoGases->isChecked();
    // The box's tenths, as the engine's table of limits holds them.
    settings.maxPpO2 = float(std::lround(ui->spDecoPpO2->value() * 10.0)) / 10.0f;
    settings.switchStopMinutes = float(ui->spSwitchStop->value());
    mPlanner.setDecoGases(settings);
    enableDecoGasLimits();
    simulate();
}

void PlanningPanel::enableDecoGasLimits()
{
    const bool on = ui->ckDecoGases->isEnabled() && ui->ckDecoGases->isChecked();
    ui->spDecoPpO2->setEnabled(on);
    ui->spSwitchStop->setEnabled(on);
}

void PlanningPanel::setAddOnEnabled(bool on)
{
    mAddOn = on;
    ui->wdPlanifAddOn->setVisible(on);
}

void PlanningPanel::setSlotWidgetsEnabled(bool enabled)
{
    for (QWidget* widget : {static_cast<QWidget*>(ui->spSurfPressure), static_cast<QWidget*>(ui->cbWaterType),
                            static_cast<QWidget*>(ui->cbGases), static_cast<QWidget*>(ui->wdPlanifAddOn),
                            static_cast<QWidget*>(ui->edSurfaceInterval), static_cast<QWidget*>(ui->ckDecoGases)})
        widget->setEnabled(enabled);
    if (enabled)
        ui->edSurfaceInterval->setEnabled(mPlanner.currentIndex() == 1 || mPlanner.currentIndex() == 2);
    enableDecoGasLimits();
}

void PlanningPanel::showSlotSettings()
{
    const deco::PlannedDive* slot = mPlanner.currentSlot();
    if (!slot)
        return;
    const QSignalBlocker pressure(ui->spSurfPressure);
    const QSignalBlocker water(ui->cbWaterType);
    const QSignalBlocker interval(ui->edSurfaceInterval);
    ui->spSurfPressure->setValue(int(std::lround(slot->surfacePressure * 1000.0f)));
    ui->cbWaterType->setCurrentIndex(slot->freshWater ? 1 : 0);
    ui->edSurfaceInterval->setTime(QTime(0, 0).addSecs(std::clamp(slot->surfaceInterval, 0, 86399)));
}

void PlanningPanel::showCurrentSlot(bool justFilled)
{
    deco::PlannedDive* slot = mPlanner.currentSlot();
    setSlotWidgetsEnabled(slot != nullptr);
    if (slot && justFilled) {
        slot->dive.refreshDerived();
    }
    showSlotSettings();
    mGraph->setDiveProfile(slot ? &slot->dive : nullptr);
    rebuildSlotTable();
    mSelectedPoint = -1;
    resetPointTable();
    if (!slot) {
        clearPlan();
        return;
    }
    simulate();
    // Fitted once the computed ascent is there, so that it shows whole.
    mGraph->profileItem()->setShowEffortIcon(slot->effort);
    mGraph->profileItem()->fitAll();
}

void PlanningPanel::simulate()
{
    if (!mPlanner.currentSlot())
        return;
    std::optional<deco::GradientFactors> factors;
    std::optional<float> reduction;
    if (mAddOn) {
        factors = deco::GradientFactors(float(ui->spGfLow->value()), float(ui->spGfhigh->value()));
        reduction = float(ui->spReduction->value()) / 100.0f;
    }
    // With deco gases the plan's records carry indexes into the dive's gases.
    QStringList gasNames;
    if (mPlanner.decoGases().enabled) {
        for (const DiveGas& gas : std::as_const(mPlanner.currentSlot()->dive.gases))
            gasNames.append(gas.gasName());
    }
    mReport.setGasNames(gasNames);
    mSimulating = true;
    mPlanner.simulateCurrentDive(factors, reduction);
    mSimulating = false;
    showPlan();
    refreshTissues();
    mGraph->profileItem()->updateTitle();
}

void PlanningPanel::refreshTissues()
{
    const deco::PlannedDive* slot = mPlanner.currentSlot();
    if (!slot) {
        ui->tissuesGraph->reset();
        return;
    }
    if (ui->rbStartOfDive->isChecked())
        ui->tissuesGraph->setValues(mPlanner.startingN2().data());
    else
        ui->tissuesGraph->setValues(slot->tissues.n2.data());
}

void PlanningPanel::rebuildSlotTable()
{
    QTableWidget* table = ui->tblDives;
    for (int row = 0; row < deco::DivePlanner::kSlots; ++row) {
        const deco::PlannedDive* slot = mPlanner.slot(row);
        const bool current = slot && row == mPlanner.currentIndex();
        table->removeCellWidget(row, 0);
        if (slot) {
            auto* button = new QToolButton(table);
            button->setObjectName(QStringLiteral("btEffort%1").arg(row));
            button->setCheckable(true);
            button->setChecked(slot->effort);
            button->setIcon(QIcon(slot->effort ? kEffortOn : kEffortOff));
            button->setToolTip(tr("Activate on/off effort mode"));
            button->setEnabled(current);
            connect(button, &QToolButton::toggled, this, &PlanningPanel::enabledDisabledEffortMode);
            table->setCellWidget(row, 0, button);
        }
        auto* name = new QTableWidgetItem(slot ? slot->dive.name : QString());
        name->setBackground(current ? QColor(0, 255, 0) : QColor(Qt::white));
        table->setItem(row, 1, name);
    }
}

void PlanningPanel::enabledDisabledEffortMode(bool on)
{
    deco::PlannedDive* slot = mPlanner.currentSlot();
    if (!slot)
        return;
    if (auto* button = qobject_cast<QToolButton*>(sender()))
        button->setIcon(QIcon(on ? kEffortOn : kEffortOff));
    slot->effort = on;
    mGraph->profileItem()->setShowEffortIcon(on);
    simulate();
}

void PlanningPanel::slotSettingChanged()
{
    deco::PlannedDive* slot = mPlanner.currentSlot();
    if (!slot)
        return;
    slot->surfacePressure = float(ui->spSurfPressure->value()) / 1000.0f;
    slot->freshWater = ui->cbWaterType->currentIndex() != 0;
    if (mPlanner.currentIndex() > 0)
        slot->surfaceInterval = QTime(0, 0).secsTo(ui->edSurfaceInterval->time());
    simulate();
}

void PlanningPanel::diverTypeChanged(int index)
{
    QComboBox* gases = ui->cbGases;
    const QSignalBlocker blocker(gases);
    if (index == 0) {
        if (gases->count() <= kOpenCircuitGasSets)
            gases->addItems(kOpenCircuitGasSetNames);
    } else {
        while (gases->count() > kOpenCircuitGasSets)
            gases->removeItem(gases->count() - 1);
    }
    simulate();
}

void PlanningPanel::planText(const QString& text)
{
    // An empty text clears the panel, any other is appended to it.
    if (text.isEmpty())
        mPending = PendingPlan{true, false, {}};
    else
        mPending.texts.append(text);
    if (!mSimulating)
        showPlan();
}

void PlanningPanel::planRecord(const deco::LinePlan& record)
{
    // The summary completes the table, which replaces the panel's contents;
    // a text of the same run (why the profile was not simulated) stays, shown
    // under it, rather than being wiped by a table of zeros.
    if (mReport.add(record)) {
        mPending.cleared = false;
        mPending.table = true;
    }
    if (!mSimulating)
        showPlan();
}

void PlanningPanel::showPlan()
{
    // Every run clears the panel and then completes a table: the table is
    // written over the previous one, only its changed rows (a drag re-plans
    // on every pointer move).
    QTextEdit* panel = ui->edInfoPlanif;
    if (mPending.table) {
        mPlanTable->show(mReport);
    } else if (mPending.cleared) {
        panel->clear();
        mPlanTable->forget();
    }
    for (const QString& text : std::as_const(mPending.texts)) {
        panel->append(text);
        mPlanTable->forget();
    }
    mPending = PendingPlan();
}

void PlanningPanel::clearPlan()
{
    ui->edInfoPlanif->clear();
    mPlanTable->forget();
    mPending = PendingPlan();
    mReport = PlanReport();
    ui->tissuesGraph->reset();
}

void PlanningPanel::graphViewPlanificationMouseMove(QPointF scenePoint, int time)
{
    QLabel* panel = ui->edPlanPosition;
    if (time < 0) {
        panel->clear();
        return;
    }
    DivePosition position;
    if (!mGraph->getInfosOnPosition(scenePoint, time, position) || !position.before || !position.after)
        return;
    const DiveLine& before = *position.before;
    const DiveLine& after = *position.after;
    const double span = after.timeSec - before.timeSec;
    const double f = span > 0.0 ? std::clamp((time - before.timeSec) / span, 0.0, 1.0) : 0.0;
    const double depth = before.depth + f * (after.depth - before.depth);
    const double speed = span > 0.0 ? (after.depth - before.depth) * 60.0 / span : 0.0;
    // The plan's lines carry no ppO2 of their own: the planner's breathing
    // gas at that depth, in the slot's water and surface pressure.
    double ppO2 = before.ppO2;
    if (const deco::PlannedDive* slot = mPlanner.currentSlot()) {
        deco::config_t config;
        config.applyDefaults();
        config.setSurfacePressure(slot->surfacePressure);
        config.setWaterType(slot->freshWater ? deco::FreshWater : deco::SaltWater);
        const deco::GasMix gas = mPlanner.breathingGas().value_or(config.gas(config.firstGasIndex()));
        ppO2 = double(gas.fO2 * deco::depthToPressure(config, float(depth)));
    }
    panel->setText(tr("Time: ") + Dive::formatDuration(time) + QStringLiteral("   ")
                   + tr("Depth: %1m").arg(std::fabs(depth), 0, 'f', 1) + QStringLiteral("   ")
                   + tr("Speed: %1m/mn").arg(std::fabs(speed), 0, 'f', 1) + QStringLiteral("   ")
                   + tr("PpO2: %1").arg(ppO2, 0, 'f', 2) + QStringLiteral("   ")
                   + tr("Ceil: %1").arg(position.ceiling, 0, 'f', 2));
}
