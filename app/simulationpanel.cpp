#include "app/simulationpanel.h"

#include "app/inputdialogmulti.h"
#include "app/userdialogs.h"
#include "divedata/dive.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kRunIcon = QStringLiteral(":/TestGraphics/icons/run_simulation.png");
const QString kPauseIcon = QStringLiteral(":/TestGraphics/icons/pause.png");
constexpr int kMaxMillibar = 11000;

QLineEdit* readOut(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setMaximumWidth(160);
    return edit;
}

} // namespace

SimulationPanel::SimulationPanel(GraphView* logbookView, QWidget* parent)
    : QWidget(parent)
    , mLogbookView(logbookView)
{
    auto* layout = new QVBoxLayout(this);
    auto* computerRow = new QHBoxLayout;
    mConnect = new QPushButton(tr("Connect"), this);
    mConnect->setObjectName(QStringLiteral("btConnectBluetooth"));
    mConnect->setIcon(QIcon(QStringLiteral(":/TestGraphics/icons/Pelagon-power-off.png")));
    mConnect->setToolTip(tr("Connect the dive computer to replay dives to it"));
    mComputerState = new QLabel(tr("No computer connected"), this);
    mComputerState->setObjectName(QStringLiteral("lbSimComputer"));
    computerRow->addWidget(mConnect);
    computerRow->addWidget(mComputerState, 1);
    layout->addLayout(computerRow);
    auto* pressureGroup = new QGroupBox(tr("Ambient Pressure"), this);
    auto* pressureLayout = new QHBoxLayout(pressureGroup);
    pressureLayout->addWidget(new QLabel(tr("Manual"), pressureGroup));
    mSlider = new QSlider(Qt::Horizontal, pressureGroup);
    mSlider->setObjectName(QStringLiteral("tbPressure"));
    mSpin = new QDoubleSpinBox(pressureGroup);
    mSpin->setObjectName(QStringLiteral("spPressure"));
    mSpin->setDecimals(3);
    mSpin->setSingleStep(0.01);
    mSpin->setSuffix(QStringLiteral(" bar"));
    mAscentButton = new QPushButton(tr("Ascent"), pressureGroup);
    mAscentButton->setObjectName(QStringLiteral("btAscent"));
    pressureLayout->addWidget(mSlider, 1);
    pressureLayout->addWidget(mSpin);
    pressureLayout->addWidget(mAscentButton);
    layout->addWidget(pressureGroup);

    auto* values = new QFormLayout;
    mPointNumber = readOut("edSimPointNumber", this);
    mTime = readOut("edSimTime", this);
    mDepth = readOut("edSimDepth", this);
    mNdlCeil = readOut("edSimNdlCeil", this);
    mNdlCeilLabel = new QLabel(tr("NDL/Ceil:"), this);
    mNdlCeilLabel->setObjectName(QStringLiteral("lbSimNdlCeil"));
    values->addRow(tr("Point number:"), mPointNumber);
    values->addRow(tr("Time:"), mTime);
    values->addRow(tr("Depth:"), mDepth);
    values->addRow(mNdlCeilLabel, mNdlCeil);
    layout->addLayout(values);

    auto* runRow = new QHBoxLayout;
    mStartStop = new QPushButton(this);
    mStartStop->setObjectName(QStringLiteral("btStartStopSimul"));
    mStartStop->setIcon(QIcon(kRunIcon));
    mStartStop->setToolTip(tr("Replay the logbook dive to the computer"));
    mProgress = new QProgressBar(this);
    mProgress->setObjectName(QStringLiteral("progressSimul"));
    mProgress->setRange(0, 100);
    mProgress->setValue(0);
    runRow->addWidget(mStartStop);
    runRow->addWidget(mProgress, 1);
    layout->addLayout(runRow);
    layout->addStretch(1);

    setSurfaceMillibar(1013);
    connect(mSlider, &QSlider::valueChanged, this, &SimulationPanel::sliderChanged);
    connect(mSpin, &QDoubleSpinBox::valueChanged, this, &SimulationPanel::pressureChanged);
    connect(mStartStop, &QPushButton::clicked, this, &SimulationPanel::on_btStartStopSimul_clicked);
    connect(mAscentButton, &QPushButton::clicked, this, &SimulationPanel::on_btAscent_clicked);
    connect(mConnect, &QPushButton::clicked, this, [this] {
        mConnect->setEnabled(false);
        mComputerState->setText(tr("Connecting..."));
        emit connectRequested();
    });
    mComputer = new SimulationComputer(this);
    connect(mComputer, &SimulationComputer::ready, this, &SimulationPanel::computerReady);
    connect(mComputer, &SimulationComputer::failed, this, &SimulationPanel::computerGone);
    connect(mComputer, &SimulationComputer::lost, this, [this] { computerGone(tr("Computer disconnected")); });
    setSink(nullptr);
}

SimulationPanel::~SimulationPanel()
{
    // The timers are children: they go with the panel. Only the marker on
    // the logbook view, which outlives this panel, is taken away.
    if (mMarkerId >= 0 && mLogbookView)
        mLogbookView->profileItem()->removeMarker(mMarkerId);
}

void SimulationPanel::setSink(PressureSink* sink)
{
    if (!sink)
        stopAll();
    mSink = sink;
    mSender.setSink(sink);
    for (QWidget* widget : {static_cast<QWidget*>(mStartStop), static_cast<QWidget*>(mSlider),
                            static_cast<QWidget*>(mSpin), static_cast<QWidget*>(mAscentButton)})
        widget->setEnabled(sink != nullptr);
}

void SimulationPanel::useComputer(KelvoSession* session)
{
    // Whatever ran on the computer before stops first.
    setSink(nullptr);
    mConnect->setEnabled(false);
    mComputerState->setText(tr("Connecting..."));
    mComputer->connectTo(session);
}

void SimulationPanel::computerReady()
{
    const int surface = mComputer->surfaceMillibar();
    // A surface pressure from 1101 mbar on is no surface: keep the last good one.
    if (surface < 1101)
        mStoredMinimum = surface;
    mWater.density = mComputer->density();
    mWater.surfaceMillibar = mStoredMinimum;
    setSurfaceMillibar(mStoredMinimum);
    setSink(mComputer);
    mConnect->setEnabled(false);
    KelvoSession* session = mComputer->session();
    mComputerState->setText(tr("Computer connected: %1").arg(session ? session->serialNumber() : QString()));
}

void SimulationPanel::computerGone(const QString& why)
{
    setSink(nullptr);
    mConnect->setEnabled(true);
    mComputerState->setText(why);
}

void SimulationPanel::setSurfaceMillibar(int millibar)
{
    const QSignalBlocker slider(mSlider);
    const QSignalBlocker spin(mSpin);
    mSlider->setRange(millibar, kMaxMillibar);
    mSpin->setRange(millibar / 1000.0, kMaxMillibar / 1000.0);
    mSlider->setValue(millibar);
    mSpin->setValue(millibar / 1000.0);
}

void SimulationPanel::setManualEnabled(bool enabled)
{
    const bool usable = enabled && mSink;
    mSlider->setEnabled(usable);
    mSpin->setEnabled(usable);
}

QTimer* SimulationPanel::startTimer(void (SimulationPanel::*tick)())
{
    auto* timer = new QTimer(this);
    timer->setInterval(mTickMs);
    connect(timer, &QTimer::timeout, this, tick);
    timer->start();
    return timer;
}

void SimulationPanel::on_btStartStopSimul_clicked()
{
    if (mReplayTimer) {
        stopReplay();
        return;
    }
    const Dive* dive = mLogbookView ? mLogbookView->getDiveProfile() : nullptr;
    if (!dive) {
        showCritical(this, tr("Simulation Error"), tr("No dive profile loaded"));
        return;
    }
    if (!mSink)
        return;
    if (!mReplay.prepare(*dive, mWater.density, mWater.surfaceMillibar / 1000.0)) {
        showCritical(this, tr("Simulation Error"), tr("The dive has no profile to replay"));
        return;
    }
    stopAscent();
    mSender.clear();
    DiveProfileItem* item = mLogbookView->profileItem();
    if (mMarkerId < 0)
        mMarkerId = item->addMarkerAt(0.0, true, MarkerType::Diver, tr("Simulation"));
    mReplayTimer = startTimer(&SimulationPanel::timeOutSimulation);
    mStartStop->setIcon(QIcon(kPauseIcon));
    setManualEnabled(false);
}

void SimulationPanel::timeOutSimulation()
{
    if (mReplay.finished()) {
        stopReplay();
        return;
    }
    const StepSimulation& step = mReplay.current();
    const ReplayReadout readout = mReplay.readout();
    mPointNumber->setText(readout.point);
    mTime->setText(readout.time);
    mDepth->setText(readout.depth);
    mNdlCeilLabel->setText(readout.ndl ? tr("NDL") : tr("Ceiling"));
    mNdlCeil->setText(readout.ndlCeil);
    mSender.send(mReplay.currentMillibar());
    if (mMarkerId >= 0)
        mLogbookView->profileItem()->setMarkerAt(mMarkerId, step.timeSec, step.depthDm / 10.0);
    mProgress->setValue(mReplay.advance());
    if (mReplay.finished())
        stopReplay();
}

void SimulationPanel::stopReplay()
{
    if (!mReplayTimer)
        return;
    // Possibly inside the timer's own timeout: released later, not here.
    mReplayTimer->stop();
    mReplayTimer->deleteLater();
    mReplayTimer = nullptr;
    if (mMarkerId >= 0 && mLogbookView) {
        mLogbookView->profileItem()->removeMarker(mMarkerId);
        mMarkerId = -1;
    }
    mStartStop->setIcon(QIcon(kRunIcon));
    mProgress->setValue(0);
    setManualEnabled(true);
    if (mLogbookView)
        mLogbookView->viewport()->update();
}

void SimulationPanel::on_btAscent_clicked()
{
    if (mAscentTimer) {
        mAscentTimer->stop();
        if (UserDialogs::current().question(this, tr("Stop ascent"), tr("Are you sure to stop ascent?")))
            stopAscent();
        else if (mAscentTimer)
            mAscentTimer->start();
        return;
    }
    if (!mSink)
        return;
    InputDialogMulti dialog(tr("Ascent definition"), this);
    const int depthField = dialog.addField(std::make_unique<InputDialogMultiFieldInt>(tr("Target depth"), 0, 0, 60));
    const int speedField = dialog.addField(std::make_unique<InputDialogMultiFieldInt>(tr("Ascent speed"), 10, 1, 30));
    if (UserDialogs::current().exec(dialog) != QDialog::Accepted)
        return;
    const int depth = dialog.field(depthField)->value().toInt();
    const int speed = dialog.field(speedField)->value().toInt();
    const double target = ReplayRun::pressureAt(depth, mWater.density, mWater.surfaceMillibar / 1000.0);
    if (!mAscent.start(mSpin->value(), target, AscentRun::decrementPerTick(mWater.density, speed),
                       mSpin->minimum())) {
        showWarning(this, tr("Ascent definition"), tr("The target depth must be shallower than the present one"));
        return;
    }
    stopReplay();
    mAscentTimer = startTimer(&SimulationPanel::ascentTick);
    mAscentButton->setText(tr("Stop ascent"));
    setManualEnabled(false);
}

void SimulationPanel::ascentTick()
{
    const double pressure = mAscent.tick();
    {
        // The spin box shows the rounded value; the exact one stays in the run.
        const QSignalBlocker blocker(mSpin);
        mSpin->setValue(pressure);
    }
    pressureChanged(pressure);
    if (!mAscent.running())
        stopAscent();
}

void SimulationPanel::stopAscent()
{
    mAscent.stop();
    if (!mAscentTimer)
        return;
    mAscentTimer->stop();
    mAscentTimer->deleteLater();
    mAscentTimer = nullptr;
    mAscentButton->setText(tr("Ascent"));
    setManualEnabled(true);
}

void SimulationPanel::stopAll()
{
    stopReplay();
    stopAscent();
    mSender.clear();
}

void SimulationPanel::sliderChanged(int millibar)
{
    const QSignalBlocker blocker(mSpin);
    mSpin->setValue(millibar / 1000.0);
    mSender.send(millibar);
}

void SimulationPanel::pressureChanged(double bar)
{
    {
        const QSignalBlocker blocker(mSlider);
        mSlider->setValue(int(std::lround(bar * 1000.0)));
    }
    if (mLog)
        mLog(tr("Pressure: %1 bar").arg(bar, 0, 'f', 3));
    mSender.send(int(std::lround(bar * 1000.0)));
}
