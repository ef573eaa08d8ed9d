// Downloading 100 dives of the simulated computer in the program, through the
// real window, connection panel and import dialog (each dive converted,
// stored and the dive list refilled as it arrives), next to the command-line
// companion's download loop (the same session calls, conversion and logbook
// writes, no window) over the same link, in the same run.
//
// Link: MTU 247 (244 bytes per notification), a 15 ms connection interval
// and 4 packets per interval, about 65 KB/s of notifications. Dives: 60 min
// sampled every 2 s.
// The window must stay responsive: the longest gap between two turns of the
// event loop (seen by a 1 ms timer) is reported, and no gap may exceed 50 ms.

#include "app/appsettings.h"
#include "app/computerconnector.h"
#include "app/divedownload.h"
#include "app/mainwindow.h"
#include "corvane/protocol/kelvosession.h"
#include "corvane/simulator/democomputer.h"
#include "db/divedb.h"
#include "runbenchmarks.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <memory>

#include <time.h>

namespace {

constexpr int kDives = 100;
constexpr double kStallLimitMs = 50.0;

QTemporaryDir& dataHome()
{
    static QTemporaryDir dir;
    return dir;
}

DemoComputer::Options linkOptions()
{
    DemoComputer::Options o;
    o.logbook.diveCount = kDives;
    o.logbook.durationMinutes = 60;
    o.logbook.samplePeriod = 2;
    o.mtu = 247;
    o.link = BleLinkModel::paced(15000, 4);
    return o;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Watches the event loop: the gaps between the turns of a 1 ms timer, as
// wall-clock time and as the GUI thread's own CPU time. On a machine shared
// with other work the wall-clock gaps include the time the thread waited for
// a core; the CPU gaps are the work the program did in one turn.
class StallWatch
{
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const double gap = double(m_clock.nsecsElapsed()) / 1e6;
            const double cpu = threadCpuMs();
            m_clock.restart();
            m_longest = std::max(m_longest, gap);
            m_longestCpu = std::max(m_longestCpu, cpu - m_lastCpu);
            m_lastCpu = cpu;
            if (gap > kStallLimitMs)
                ++m_over;
        });
    }
    void start()
    {
        m_longest = 0.0;
        m_longestCpu = 0.0;
        m_over = 0;
        m_lastCpu = threadCpuMs();
        m_clock.start();
        m_timer.start(1);
    }
    void stop() { m_timer.stop(); }
    double longestMs() const { return m_longest; }
    double longestCpuMs() const { return m_longestCpu; }
    int overLimit() const { return m_over; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest = 0.0;
    double m_longestCpu = 0.0;
    double m_lastCpu = 0.0;
    int m_over = 0;
};

// A fresh data directory and a fresh computer for each run.
struct Run
{
    std::unique_ptr<DemoComputer> demo;

    Run()
    {
        DiveDb::instance()->close();
        QDir(DataDirectory::path()).removeRecursively();
        DataDirectory::ensure();
        demo.reset(new DemoComputer(linkOptions(), QCoreApplication::instance()));
    }
    ~Run() { DiveDb::instance()->close(); }
};

void report(benchmark::State& state, const char* name, double seconds, const StallWatch& watch, int dives)
{
    state.counters["seconds"] = seconds;
    state.counters["dives"] = dives;
    state.counters["longest_stall_ms"] = watch.longestMs();
    state.counters["stalls_over_50ms"] = watch.overLimit();
    state.counters["longest_turn_cpu_ms"] = watch.longestCpuMs();
    state.SetIterationTime(seconds);
    if (dives != kDives)
        fprintf(stderr, "%s: %d of %d dives arrived\n", name, dives, kDives);
}

void BM_ProgramDownload(benchmark::State& state)
{
    for (auto _ : state) {
        Run run;
        ScriptedDialogs* dialogs = ScriptedDialogs::install();
        StallWatch watch;
        double seconds = 0.0;
        dialogs->onDialog = [&](QDialog& dialog) {
            if (dialog.objectName() == QLatin1String("FormBluetoothConnect")) {
                if (!QTest::qWaitFor([&] { return !dialog.isVisible(); }, 30000))
                    dialog.reject();
                return dialog.result();
            }
            auto* progress = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("listDives"));
            auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btOk"));
            if (!QTest::qWaitFor([&] { return progress->maximum() != 0; }, 30000))
                return int(QDialog::Rejected);
            for (int row = 0; row < list->count(); ++row)
                list->item(row)->setCheckState(Qt::Checked);
            QElapsedTimer clock;
            watch.start();
            clock.start();
            dialog.findChild<QPushButton*>(QStringLiteral("btImport"))->click();
            if (!QTest::qWaitFor([&] { return ok->isEnabled(); }, 600000))
                qWarning("download did not end");
            seconds = double(clock.nsecsElapsed()) / 1e9;
            watch.stop();
            ok->click();
            return dialog.result();
        };
        MainWindow window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            fprintf(stderr, "window not shown\n");
        auto* button = window.findChild<QToolButton*>(QStringLiteral("btImportPelagon"));
        button->menu()->actions().first()->trigger();
        const int stored = int(DiveDb::instance()->storedDiveNumbers(window.computerSession()->serialNumber()).size());
        report(state, "program", seconds, watch, stored);
        UserDialogs::install(nullptr);
    }
}

// The companion's loop: logbook, then each dive's samples, converted and
// stored, with nothing else on the event loop.
void BM_ToolDownload(benchmark::State& state)
{
    for (auto _ : state) {
        Run run;
        DiveDb::instance()->open(DataDirectory::databaseFile());
        KelvoSession session(run.demo->backend(), nullptr);
        // Connected and read as the companion does: identification, serial
        // number, sensors and settings.
        ComputerConnector connector(&session);
        QSignalSpy ready(&connector, &ComputerConnector::succeeded);
        connector.start();
        if (!ready.wait(30000))
            fprintf(stderr, "not connected\n");
        StallWatch watch;
        QEventLoop loop;
        int next = 0;
        const auto store = [&session](const PelagonDiveHeader& header) {
            DiveDb::instance()->insertDive(DiveDownload::convert(header, session));
        };
        QObject::connect(&session, &KelvoSession::endCommand, &loop, [&](PelagonCommand::PelagonCommandIn command) {
            if (command == PelagonCommand::Fullsamples)
                store(session.diveHeaders().at(next - 1));
            if (next < session.diveHeaders().size())
                session.startGetDiveSamples(session.diveHeaders().at(next++).diveNumber);
            else
                loop.quit();
        });
        QObject::connect(&session, &KelvoSession::disconnectController, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        watch.start();
        clock.start();
        session.startGetLogbook(DiveDb::instance()->storedDiveNumbers(session.serialNumber()));
        loop.exec();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        watch.stop();
        report(state, "tool", seconds, watch, int(DiveDb::instance()->storedDiveNumbers(session.serialNumber()).size()));
    }
}

BENCHMARK(BM_ToolDownload)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();
BENCHMARK(BM_ProgramDownload)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A data directory of its own: the user's logbook is never touched.
    qputenv("XDG_DATA_HOME", dataHome().path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const int status = BenchMain::runBenchmarks(argc, argv);
    DiveDb::instance()->close();
    return status;
}
