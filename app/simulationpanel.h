#pragma once

#include "app/replay.h"
#include "app/simulationcomputer.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class GraphView;
class KelvoSession;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;

// The simulation tab: replays the logbook's dive to the dive computer as one
// ambient pressure a second, sets the pressure by hand, or runs a programmed
// ascent. Pressures go out through a PressureSink (the computer's session);
// without one the tab's commands stay disabled.
class SimulationPanel : public QWidget
{
    Q_OBJECT

public:
    // What the computer's configuration says of the water and the surface.
    struct WaterConfig
    {
        double density = 1.03;       // kg/l
        int surfaceMillibar = 1013;
    };

    SimulationPanel(GraphView* logbookView, QWidget* parent = nullptr);
    ~SimulationPanel() override;

    // The computer to send pressures to (null: none connected). Not owned.
    void setSink(PressureSink* sink);
    // Works with the dive computer of `session` (not owned): connects it when
    // it is not, reads its settings (surface pressure, water) and then
    // enables the tab's commands; they are disabled again when its link goes.
    void useComputer(KelvoSession* session);
    const SimulationComputer& computer() const { return *mComputer; }
    const WaterConfig& waterConfig() const { return mWater; }
    void setWaterConfig(const WaterConfig& config) { mWater = config; }
    // The lowest pressure of the manual controls (the computer's surface
    // pressure when it reports one below 1101 mbar).
    void setSurfaceMillibar(int millibar);
    void setLog(std::function<void(const QString&)> log) { mLog = std::move(log); }
    // Timer interval of the replay and the ascent (1000 ms; tests shorten it).
    void setTickInterval(int ms) { mTickMs = ms; }

    bool replaying() const { return mReplayTimer != nullptr; }
    bool ascending() const { return mAscentTimer != nullptr; }

signals:
    // The tab's connect button: the window hands over its session.
    void connectRequested();

public slots:
    void on_btStartStopSimul_clicked();
    void on_btAscent_clicked();
    // Stops the replay and the ascent: before any other command to the
    // computer, and when its link is lost.
    void stopAll();

private:
    void timeOutSimulation();
    void ascentTick();
    void stopReplay();
    void stopAscent();
    void pressureChanged(double bar);
    void sliderChanged(int millibar);
    void setManualEnabled(bool enabled);
    void computerReady();
    void computerGone(const QString& why);
    QTimer* startTimer(void (SimulationPanel::*tick)());

    GraphView* mLogbookView = nullptr;
    QPointer<PressureSink> mSink;
    PressureSender mSender;
    SimulationComputer* mComputer = nullptr;
    WaterConfig mWater;
    int mStoredMinimum = 1013; // mbar: the last surface pressure a computer reported
    std::function<void(const QString&)> mLog;
    int mTickMs = 1000;

    ReplayRun mReplay;
    AscentRun mAscent;
    QTimer* mReplayTimer = nullptr;
    QTimer* mAscentTimer = nullptr;
    int mMarkerId = -1;

    QSlider* mSlider = nullptr;
    QDoubleSpinBox* mSpin = nullptr;
    QPushButton* mAscentButton = nullptr;
    QPushButton* mStartStop = nullptr;
    QPushButton* mConnect = nullptr;
    QLabel* mComputerState = nullptr;
    QProgressBar* mProgress = nullptr;
    QLineEdit* mPointNumber = nullptr;
    QLineEdit* mTime = nullptr;
    QLineEdit* mDepth = nullptr;
    QLineEdit* mNdlCeil = nullptr;
    QLabel* mNdlCeilLabel = nullptr;
};
