// The main window on a heavy logbook: 5,000 dives from four computers (two
// minutes of profile each) plus one ten-hour dive of 36,000 lines, built once
// per run in a temporary data directory.
// Targets: the window shown within 1 s of its construction; the list refilled
// within 100 ms after a sort click or after storing a dive; the 36,000-line
// dive opened from the list and drawn within 200 ms; the filter dialog opened
// and the list refilled with its choice within 100 ms.

#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "db/divedb.h"
#include "divedata/binaryfile.h"
#include "divedata/dive.h"
#include "profilor/graphview.h"
#include "scripteddialogs.h"
#include "runbenchmarks.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QSqlDatabase>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kDives = 5000;
constexpr int kLines = 24;          // 2 minutes at 5 s
constexpr int kLongLines = 36000;   // 10 hours at 1 s
constexpr qint64 kFirstStart = 1'500'000'000;
const QString kLongName = QStringLiteral("Ten hours");

Dive makeDive(const QString& name, const QString& serial, qint64 begin, int lines, double period, double bottom)
{
    Dive dive;
    dive.name = name;
    dive.computerSerial = serial;
    dive.computerName = QStringLiteral("Pelagon ") + serial;
    dive.computerModel = ComputerModel::Pelagon;
    dive.beginTime = begin;
    DiveGas nitrox;
    nitrox.setO2(0.32);
    dive.gases = {DiveGas(), nitrox};
    dive.lines.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        DiveLine line;
        line.timeSec = period * i;
        line.depth = bottom * std::sin(M_PI * i / (lines - 1)) + (i % 7) * 0.1;
        line.ambientTemp = 14.0 + (i % 30) * 0.1;
        line.decoCeiling = i > lines / 2 && i < lines * 3 / 4 ? 3.0 : 0.0;
        line.gasIndex = i < lines * 9 / 10 ? 0 : 1;
        line.tankPressure = quint16(220 - (150 * i) / lines);
        dive.lines.append(line);
    }
    dive.computeStatistics();
    return dive;
}

// The data directory (and so the logbook) of this run.
QTemporaryDir& dataHome()
{
    static QTemporaryDir dir;
    return dir;
}

bool buildLogbook()
{
    DataDirectory::ensure();
    DiveDb* db = DiveDb::instance();
    if (db->open(DataDirectory::databaseFile()) != DiveDb::Opened)
        return false;
    QSqlDatabase connection = QSqlDatabase::database();
    connection.transaction(); // one commit for the whole logbook
    bool stored = true;
    for (int i = 0; i < kDives && stored; ++i) {
        stored = db->insertDive(makeDive(QString::number(i), QStringLiteral("SN%1").arg(i % 4),
                                         kFirstStart + qint64(i) * 86'400, kLines, 5.0, 10.0 + i % 40))
            == DiveDb::Stored;
    }
    stored = stored
        && db->insertDive(makeDive(kLongName, QStringLiteral("SN0"), kFirstStart - 86'400, kLongLines, 1.0, 60.0))
            == DiveDb::Stored;
    connection.commit();
    db->close();
    return stored;
}

std::unique_ptr<MainWindow> shownWindow()
{
    auto window = std::make_unique<MainWindow>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        fprintf(stderr, "the window was not shown\n");
    window->repaint();
    return window;
}

QTableWidget* diveList(MainWindow& window)
{
    return window.findChild<QTableWidget*>(QStringLiteral("diveList"));
}

int rowOf(QTableWidget* list, const QString& name)
{
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem* item = list->item(row, 0);
        if (item && item->data(Qt::UserRole).toInt() >= 0 && item->text() == name)
            return row;
    }
    return -1;
}

void clickRow(QTableWidget* list, int row)
{
    list->scrollToItem(list->item(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 1)).center());
}

void BM_WindowShown(benchmark::State& state)
{
    for (auto _ : state) {
        auto window = shownWindow();
        state.PauseTiming();
        window.reset();
        DiveDb::instance()->close();
        state.ResumeTiming();
    }
    state.counters["dives"] = kDives + 1;
}

void BM_RefillAfterSortClick(benchmark::State& state)
{
    auto window = shownWindow();
    QHeaderView* header = diveList(*window)->horizontalHeader();
    const int section = int(state.range(0));
    const QPoint pos(header->sectionViewportPosition(section) + 10, header->height() / 2);
    for (auto _ : state) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
        diveList(*window)->viewport()->repaint();
    }
    state.counters["rows"] = diveList(*window)->rowCount();
    window.reset();
    DiveDb::instance()->close();
}

void BM_RefillAfterStore(benchmark::State& state)
{
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    auto window = shownWindow();
    auto* open = window->findChild<QToolButton*>(QStringLiteral("btImportDive"));
    auto* store = window->findChild<QToolButton*>(QStringLiteral("btStoreDive"));
    QTemporaryDir files;
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = files.filePath(QStringLiteral("stored%1.divebin").arg(next));
        BinaryFile().writeDive(path, makeDive(QStringLiteral("Stored %1").arg(next), QStringLiteral("SN1"),
                                              kFirstStart + 86'400LL * (kDives + next), kLines, 5.0, 20.0));
        ++next;
        dialogs->fileNames.enqueue(path);
        QTest::mouseClick(open, Qt::LeftButton);
        state.ResumeTiming();
        QTest::mouseClick(store, Qt::LeftButton);
        diveList(*window)->viewport()->repaint();
    }
    if (!dialogs->messages.isEmpty())
        state.SkipWithError(qPrintable(dialogs->messages.first().text));
    window.reset();
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
}

void BM_OpenLongDiveFromList(benchmark::State& state)
{
    auto window = shownWindow();
    QTableWidget* list = diveList(*window);
    auto* graph = window->findChild<GraphView*>(QStringLiteral("graphView"));
    for (auto _ : state) {
        state.PauseTiming();
        clickRow(list, rowOf(list, QStringLiteral("0")));
        state.ResumeTiming();
        clickRow(list, rowOf(list, kLongName));
        graph->viewport()->repaint(); // drawn
    }
    if (window->currentDive().lines.size() != kLongLines)
        state.SkipWithError("the long dive did not open");
    state.counters["lines"] = double(window->currentDive().lines.size());
    window.reset();
    DiveDb::instance()->close();
}

// The filter dialog opened on the logbook's computers, two of the four
// chosen, and the list refilled with them.
void BM_FilterOpenAndRefill(benchmark::State& state)
{
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    auto window = shownWindow();
    auto* filter = window->findChild<QToolButton*>(QStringLiteral("btFilter"));
    int rows = 0;
    for (auto _ : state) {
        dialogs->onDialog = [&rows](QDialog& dialog) {
            dialog.findChild<QGroupBox*>(QStringLiteral("grComputer"))->setChecked(true);
            auto* computers = dialog.findChild<QTableWidget*>(QStringLiteral("tblComputers"));
            rows = computers->rowCount();
            for (int row = 0; row < rows; ++row)
                computers->item(row, 0)->setCheckState(row % 2 == 0 ? Qt::Checked : Qt::Unchecked);
            return int(QDialog::Accepted);
        };
        QTest::mouseClick(filter, Qt::LeftButton);
        diveList(*window)->viewport()->repaint();
    }
    if (rows != 4)
        state.SkipWithError(qPrintable(QStringLiteral("the filter listed %1 computers, not four").arg(rows)));
    state.counters["rows"] = diveList(*window)->rowCount();
    window.reset();
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
}

BENCHMARK(BM_WindowShown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RefillAfterSortClick)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefillAfterStore)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenLongDiveFromList)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FilterOpenAndRefill)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A data directory of its own: the user's logbook is never touched.
    qputenv("XDG_DATA_HOME", dataHome().path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (!buildLogbook()) {
        fprintf(stderr, "cannot build the logbook\n");
        return 1;
    }
    const int status = BenchMain::runBenchmarks(argc, argv);
    DiveDb::instance()->close();
    return status;
}
