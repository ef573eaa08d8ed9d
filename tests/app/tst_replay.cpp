// Replaying a dive to the computer as pressures, the programmed ascent, and
// the sender that keeps the latest pressure while the computer is busy.

#include "app/replay.h"
#include "divedata/dive.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A computer that answers when told to.
class FakeSink final : public PressureSink
{
public:
    bool sendPressure(int millibar) override
    {
        sent.append(millibar);
        mBusy = true;
        return true;
    }
    bool busy() const override { return mBusy; }
    void answer()
    {
        mBusy = false;
        emit answered();
    }

    QList<int> sent;

private:
    bool mBusy = false;
};

Dive diveOf(const QList<std::pair<double, double>>& points)
{
    Dive dive;
    for (const auto& [time, depth] : points) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.decoCeiling = -7.0;
        dive.lines.append(line);
    }
    return dive;
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void senderKeepsLatest();
    void replayToComputer();
    void replayWithoutLines();
    void readouts();
    void ascent_data();
    void ascent();
};

void TestReplay::senderKeepsLatest()
{
    PressureSender sender;
    sender.send(1000); // no sink: dropped, no crash
    FakeSink sink;
    sender.setSink(&sink);
    sender.send(1013);
    QCOMPARE(sink.sent, QList<int>{1013});
    sender.send(1100);
    sender.send(1200); // replaces 1100 while the computer is busy
    QCOMPARE(sink.sent, QList<int>{1013});
    QCOMPARE(sender.pending(), std::optional<int>(1200));
    sink.answer();
    QCOMPARE(sink.sent, (QList<int>{1013, 1200}));
    sink.answer();
    QCOMPARE(sink.sent.size(), 2);

    // A waiting value is forgotten before another command.
    sender.send(1300);
    sender.send(1400);
    sender.clear();
    sink.answer();
    QCOMPARE(sink.sent, (QList<int>{1013, 1200, 1300}));
}

void TestReplay::replayToComputer()
{
    // 10 m after 60 s, surface again at 120 s; salt water, 1013 mbar.
    const Dive dive = diveOf({{0, 0}, {60, 10}, {120, 0}});
    ReplayRun run;
    QVERIFY(run.prepare(dive, 1.03, 1.013));
    QVERIFY(run.stepCount() >= 121);
    FakeSink sink;
    PressureSender sender;
    sender.setSink(&sink);
    QList<int> progress;
    while (!run.finished()) {
        sender.send(run.currentMillibar());
        sink.answer();
        progress.append(run.advance());
    }
    QCOMPARE(sink.sent.size(), run.stepCount());
    QCOMPARE(sink.sent.first(), 1013);
    // 1.03 kg/l · 9.80665 · 10 m / 100 + 1.013 bar = 2.0231 bar
    QCOMPARE(sink.sent.at(60), 2023);
    QCOMPARE(sink.sent.last(), 1013);
    QVERIFY(std::is_sorted(sink.sent.begin(), sink.sent.begin() + 61));
    // i · 100 / n: moving from the first step on, ending at 100.
    QVERIFY(progress.first() == 0 && progress.at(1) == 1);
    QCOMPARE(progress.last(), 100);
    QVERIFY(std::is_sorted(progress.begin(), progress.end()));
}

void TestReplay::replayWithoutLines()
{
    ReplayRun run;
    QVERIFY(!run.prepare(Dive(), 1.0, 1.0));
    QCOMPARE(run.stepCount(), 0);
    QVERIFY(run.finished());
    QCOMPARE(run.progress(), 0);
    QCOMPARE(run.advance(), 0);
}

void TestReplay::readouts()
{
    Dive dive = diveOf({{0, 0}, {65, 12.34}, {3700, 12.34}});
    dive.lines[1].decoCeiling = 3.04;
    ReplayRun run;
    QVERIFY(run.prepare(dive, 1.0, 1.0));
    ReplayReadout first = run.readout();
    QCOMPARE(first.point, QStringLiteral("0"));
    QCOMPARE(first.time, QStringLiteral("00:00"));
    QVERIFY(first.ndl);
    QCOMPARE(first.ndlCeil, QStringLiteral("7mn"));
    for (int i = 0; i < 66; ++i)
        run.advance();
    const ReplayReadout at65 = run.readout();
    QCOMPARE(at65.point, QStringLiteral("66"));
    QCOMPARE(at65.time, QStringLiteral("01:06"));
    QCOMPARE(at65.depth, QStringLiteral("12.3m"));
    QVERIFY(!at65.ndl);
    QCOMPARE(at65.ndlCeil, QStringLiteral("3.0m"));
    while (run.index() < 3690)
        run.advance();
    QCOMPARE(run.readout().time, QStringLiteral("61:30"));
}

void TestReplay::ascent_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<double>("end");

    // 1.7 mbar a tick: a spin box with two decimals would never move.
    QTest::newRow("tiny steps reach the target") << 2.0 << 1.5 << 0.0017 << 1.0 << true << 295 << 1.5;
    QTest::newRow("10 m/min in salt water") << 4.0 << 1.013 << AscentRun::decrementPerTick(1.03, 10.0) << 1.0
                                            << true << 178 << 1.013;
    QTest::newRow("stops at the minimum") << 1.25 << 0.5 << 0.125 << 0.875 << true << 3 << 0.875;
    QTest::newRow("target deeper: refused") << 2.0 << 2.5 << 0.1 << 1.0 << false << 0 << 2.0;
    QTest::newRow("target here: refused") << 2.0 << 2.0 << 0.1 << 1.0 << false << 0 << 2.0;
    QTest::newRow("no speed: refused") << 2.0 << 1.0 << 0.0 << 1.0 << false << 0 << 2.0;
}

void TestReplay::ascent()
{
    QFETCH(double, from);
    QFETCH(double, target);
    QFETCH(double, step);
    QFETCH(double, minimum);
    QFETCH(bool, starts);
    QFETCH(int, ticks);
    QFETCH(double, end);

    AscentRun ascent;
    QCOMPARE(ascent.start(from, target, step, minimum), starts);
    double pressure = from;
    int count = 0;
    while (ascent.running() && count < 100000) {
        const double next = ascent.tick();
        QVERIFY(next < pressure || !ascent.running());
        pressure = next;
        ++count;
    }
    QCOMPARE(count, ticks);
    QCOMPARE(starts ? ascent.pressure() : from, end);
}

QTEST_APPLESS_MAIN(TestReplay)
#include "tst_replay.moc"
