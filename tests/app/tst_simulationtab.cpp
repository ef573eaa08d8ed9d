// The simulation tab on a logbook view and a fake computer: the replay sends
// the dive's pressures in order, the programmed ascent reaches its target,
// and both stop when the computer goes away.

#include "scripteddialogs.h"

#include "app/inputdialogmulti.h"
#include "app/simulationpanel.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/democomputer.h"
#include "corvane/simulator/simulatedcomputer.h"
#include "divedata/dive.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QtEndian>

namespace {

// A computer that answers each pressure at once, or holds it while `hold`.
class FakeComputer final : public PressureSink
{
public:
    bool sendPressure(int millibar) override
    {
        sent.append(millibar);
        mBusy = true;
        if (!hold)
            QMetaObject::invokeMethod(this, [this] { release(); }, Qt::QueuedConnection);
        return true;
    }
    bool busy() const override { return mBusy; }
    void release()
    {
        mBusy = false;
        emit answered();
    }

    QList<int> sent;
    bool hold = false;

private:
    bool mBusy = false;
};

Dive shortDive()
{
    Dive dive;
    const std::pair<double, double> points[] = {{0, 0}, {4, 4}, {8, 0}};
    for (const auto& [time, depth] : points) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.decoCeiling = -30.0;
        dive.lines.append(line);
    }
    dive.computeStatistics();
    dive.recomputeDerived();
    return dive;
}

} // namespace

class TestSimulationTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void replaySendsPressuresInOrder();
    void replayRefusals();
    void manualPressure();
    void ascentReachesTarget();
    void lostComputerStopsEverything();
    void replayToTheSimulatedComputer();
    void computerThatCannotBeReached();

private:
    template <class T>
    T* get(const char* name) const
    {
        return mPanel->findChild<T*>(QLatin1String(name));
    }

    ScriptedDialogs* mDialogs = nullptr;
    std::unique_ptr<GraphView> mView;
    std::unique_ptr<SimulationPanel> mPanel;
    FakeComputer mComputer;
    Dive mDive;
};

void TestSimulationTab::init()
{
    mDialogs = ScriptedDialogs::install();
    mView = std::make_unique<GraphView>();
    mPanel = std::make_unique<SimulationPanel>(mView.get());
    mPanel->setTickInterval(1);
    mComputer.sent.clear();
    mComputer.hold = false;
    mComputer.release();
    mDive = shortDive();
}

void TestSimulationTab::cleanup()
{
    mPanel.reset();
    mView->setDiveProfile(nullptr);
    mView.reset();
    UserDialogs::install(nullptr);
}

void TestSimulationTab::replaySendsPressuresInOrder()
{
    mView->setDiveProfile(&mDive);
    mPanel->setSink(&mComputer);
    auto* start = get<QPushButton>("btStartStopSimul");
    QVERIFY(start->isEnabled());
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(mPanel->replaying());
    QVERIFY(!get<QSlider>("tbPressure")->isEnabled());
    QTRY_VERIFY(!mPanel->replaying());
    // One a second from 0 to 8 s, then the surface: 1013, 1013 + 1.03 · 9.80665 · d / 100 · 1000.
    QTRY_COMPARE(mComputer.sent, (QList<int>{1013, 1114, 1215, 1316, 1417, 1316, 1215, 1114, 1013, 1013}));
    QCOMPARE(get<QLineEdit>("edSimTime")->text(), QStringLiteral("00:08"));
    QCOMPARE(get<QLabel>("lbSimNdlCeil")->text(), QStringLiteral("NDL"));
    QCOMPARE(get<QProgressBar>("progressSimul")->value(), 0);
    QVERIFY(get<QSlider>("tbPressure")->isEnabled());
    QVERIFY(mDialogs->messages.isEmpty());

    // Stopped by hand half-way.
    mComputer.sent.clear();
    mPanel->setTickInterval(1000);
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(mPanel->replaying());
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(!mPanel->replaying());
    QVERIFY(mView->profileItem()->markers().isEmpty());
}

void TestSimulationTab::replayRefusals()
{
    mPanel->setSink(&mComputer);
    QTest::mouseClick(get<QPushButton>("btStartStopSimul"), Qt::LeftButton);
    Dive empty;
    mView->setDiveProfile(&empty);
    QTest::mouseClick(get<QPushButton>("btStartStopSimul"), Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 2);
    QCOMPARE(mDialogs->messages.at(0).text, QStringLiteral("No dive profile loaded"));
    QCOMPARE(mDialogs->messages.at(0).title, QStringLiteral("Simulation Error"));
    QCOMPARE(mDialogs->messages.at(1).text, QStringLiteral("The dive has no profile to replay"));
    QVERIFY(!mPanel->replaying());
    QVERIFY(mComputer.sent.isEmpty());
    mView->setDiveProfile(nullptr);
}

void TestSimulationTab::manualPressure()
{
    auto* slider = get<QSlider>("tbPressure");
    auto* spin = get<QDoubleSpinBox>("spPressure");
    QVERIFY(!slider->isEnabled()); // no computer yet
    mPanel->setSink(&mComputer);
    mPanel->setSurfaceMillibar(980);
    QCOMPARE(slider->minimum(), 980);
    QCOMPARE(spin->minimum(), 0.98);
    slider->setValue(1500);
    QCOMPARE(spin->value(), 1.5);
    spin->setValue(2.25);
    QCOMPARE(slider->value(), 2250);
    QTRY_COMPARE(mComputer.sent, (QList<int>{1500, 2250}));
    QTRY_VERIFY(!mComputer.busy());

    // While the computer is busy only the latest value waits, and goes next.
    mComputer.hold = true;
    spin->setValue(2.5);
    spin->setValue(2.6);
    spin->setValue(2.7);
    QCOMPARE(mComputer.sent.last(), 2500);
    mComputer.hold = false;
    mComputer.release();
    QCOMPARE(mComputer.sent, (QList<int>{1500, 2250, 2500, 2700}));
}

void TestSimulationTab::ascentReachesTarget()
{
    mPanel->setSink(&mComputer);
    auto* spin = get<QDoubleSpinBox>("spPressure");
    auto* ascent = get<QPushButton>("btAscent");
    spin->setValue(2.0);

    // A target deeper than now is refused.
    mDialogs->onDialog = [](QDialog& dialog) {
        auto& form = static_cast<InputDialogMulti&>(dialog);
        qobject_cast<QSpinBox*>(form.field(0)->editor())->setValue(20);
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(ascent, Qt::LeftButton);
    QVERIFY(!mPanel->ascending());
    QCOMPARE(mDialogs->messages.size(), 1);

    // To 5 m at 1 m/min: 0.168 mbar steps the spin box cannot show, all the
    // way to the target.
    QStringList labels;
    mDialogs->onDialog = [&labels](QDialog& dialog) {
        auto& form = static_cast<InputDialogMulti&>(dialog);
        labels = {dialog.windowTitle(), form.field(0)->label(), form.field(1)->label()};
        qobject_cast<QSpinBox*>(form.field(0)->editor())->setValue(5);
        qobject_cast<QSpinBox*>(form.field(1)->editor())->setValue(1);
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(ascent, Qt::LeftButton);
    QCOMPARE(labels, (QStringList{"Ascent definition", "Target depth", "Ascent speed"}));
    QVERIFY(mPanel->ascending());
    QVERIFY(!spin->isEnabled());

    // "No" keeps it going, "Yes" stops it.
    mDialogs->answers.enqueue(false);
    QTest::mouseClick(ascent, Qt::LeftButton);
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to stop ascent?"));
    QVERIFY(mPanel->ascending());
    QTRY_VERIFY_WITH_TIMEOUT(!mPanel->ascending(), 20000);
    // 1.03 · 9.80665 · 5 / 100 + 1.013 = 1.518 bar
    QCOMPARE(mComputer.sent.last(), 1518);
    QCOMPARE(ascent->text(), QStringLiteral("Ascent"));
    QVERIFY(spin->isEnabled());
    QVERIFY(std::is_sorted(mComputer.sent.rbegin(), mComputer.sent.rend() - 1));

    spin->setValue(1.6);
    mDialogs->onDialog = [](QDialog&) { return int(QDialog::Accepted); }; // to the surface, 10 m/min
    QTest::mouseClick(ascent, Qt::LeftButton);
    QVERIFY(mPanel->ascending());
    mDialogs->answers.enqueue(true);
    QTest::mouseClick(ascent, Qt::LeftButton);
    QVERIFY(!mPanel->ascending());
    QCOMPARE(ascent->text(), QStringLiteral("Ascent"));
}

void TestSimulationTab::lostComputerStopsEverything()
{
    mView->setDiveProfile(&mDive);
    mPanel->setTickInterval(1000);
    mPanel->setSink(&mComputer);
    QTest::mouseClick(get<QPushButton>("btStartStopSimul"), Qt::LeftButton);
    QVERIFY(mPanel->replaying());
    mPanel->setSink(nullptr);
    QVERIFY(!mPanel->replaying());
    QVERIFY(!get<QPushButton>("btStartStopSimul")->isEnabled());
    QVERIFY(!get<QSlider>("tbPressure")->isEnabled());
}

void TestSimulationTab::replayToTheSimulatedComputer()
{
    // A computer set for fresh water at 980 mbar, over a link of its own pace.
    DemoComputer::Options options;
    options.logbook.diveCount = 1;
    DemoComputer demo(options, nullptr);
    demo.computer()->state().settings.waterType = 1;
    demo.computer()->state().settings.surfacePressure = 980;
    QList<quint32> received;
    connect(demo.computer(), &SimulatedComputer::requestReceived, this, [&received](int command, const QByteArray& payload) {
        if (command == PelagonCommand::Set_sensors && payload.size() == 4)
            received.append(qFromLittleEndian<quint32>(payload.constData()));
    });
    KelvoSession session(demo.backend(), nullptr);
    connect(mPanel.get(), &SimulationPanel::connectRequested, this, [this, &session] { mPanel->useComputer(&session); });

    auto* connectButton = get<QPushButton>("btConnectBluetooth");
    auto* start = get<QPushButton>("btStartStopSimul");
    QVERIFY(!start->isEnabled());
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QVERIFY(!connectButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), 10000);
    QVERIFY(!connectButton->isEnabled());
    QCOMPARE(get<QSlider>("tbPressure")->minimum(), 980);
    QCOMPARE(mPanel->waterConfig().density, 1.0);

    // One pressure a second, each answered before the next: 980 + 98.0665 · depth.
    mView->setDiveProfile(&mDive);
    mPanel->setTickInterval(40);
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!mPanel->replaying(), 10000);
    QTRY_COMPARE(received, (QList<quint32>{980, 1078, 1176, 1274, 1372, 1274, 1176, 1078, 980, 980}));
    QTRY_VERIFY(!session.jobInFlight());

    // The link goes in the middle of a replay: everything stops, connecting is offered again.
    mPanel->setTickInterval(1000);
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(mPanel->replaying());
    QVERIFY(demo.peripheral()->dropLink());
    QTRY_VERIFY(!mPanel->replaying());
    QVERIFY(!start->isEnabled());
    QVERIFY(!get<QSlider>("tbPressure")->isEnabled());
    QVERIFY(connectButton->isEnabled());
    QCOMPARE(get<QLabel>("lbSimComputer")->text(), QStringLiteral("Computer disconnected"));

    // Connecting again reconnects to the same computer.
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), 10000);
    mView->setDiveProfile(nullptr);
}

void TestSimulationTab::computerThatCannotBeReached()
{
    // A radio with nothing in range: the scan ends without a computer.
    DemoComputer::Options options;
    options.name = QStringLiteral("Headphones");
    options.logbook.diveCount = 1;
    DemoComputer demo(options, nullptr);
    KelvoSession session(demo.backend(), nullptr);
    mPanel->useComputer(&session);
    QTRY_VERIFY_WITH_TIMEOUT(get<QPushButton>("btConnectBluetooth")->isEnabled(), 10000);
    QCOMPARE(get<QLabel>("lbSimComputer")->text(), QStringLiteral("No Device Found"));
    QVERIFY(!get<QPushButton>("btStartStopSimul")->isEnabled());
}

QTEST_MAIN(TestSimulationTab)
#include "tst_simulationtab.moc"
