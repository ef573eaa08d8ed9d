// The planning tab driven through the real window: slots and their
// settings, plan files, dives from the logbook and from files, point editing
// and the profile's point menu.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "app/divepointtable.h"
#include "app/planningpanel.h"
#include "divedata/divelinesio.h"
#include "profilor/divepoint.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "profilor/tissuesgraph.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimeEdit>
#include <QToolButton>

using namespace windowtest;

namespace {

// Triggers the enabled entry of that text; false when there is none.
bool triggerAction(QMenu* menu, const char* text)
{
    QAction* action = menu ? menuAction(menu, {QString::fromLatin1(text)}) : nullptr;
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

} // namespace

class TestPlanningTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nothingWithoutSlot();
    void slotsAndSettings();
    void gradientFactorsAndGasSets();
    void decoGasLimits_data();
    void decoGasLimits();
    void planFileRoundTrip();
    void divesFromLogbook();
    void divesFromFiles();
    void pointEditing();
    void pointMenu();
    void tissuesAndPosition();
    void screenshots();

private:
    void openWindow();
    template <class T>
    T* get(const char* name) const
    {
        return child<T>(*mWindow, name);
    }
    void click(const char* button) { QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton); }
    void clickSlot(int row);
    deco::DivePlanner& planner() { return mPanel->planner(); }
    QString planHtml() const { return mPanel->report().html(); }

    ScriptedDialogs* mDialogs = nullptr;
    std::unique_ptr<MainWindow> mWindow;
    PlanningPanel* mPanel = nullptr;
};

void TestPlanningTab::init()
{
    clearDataDirectory();
    mDialogs = ScriptedDialogs::install();
}

void TestPlanningTab::cleanup()
{
    mWindow.reset();
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
}

void TestPlanningTab::openWindow()
{
    QVERIFY(DataDirectory::ensure());
    {
        QSettings options(DataDirectory::optionsFile(), QSettings::IniFormat);
        options.setValue(QStringLiteral("hidden/planification"), 1);
        options.setValue(QStringLiteral("hidden/planificationaddon"), 1);
        options.setValue(QStringLiteral("hidden/simulation"), 1);
    }
    mWindow = shownWindow(QSize(1400, 900));
    QVERIFY(mWindow);
    get<QTabWidget>("tabMain")->setCurrentIndex(1);
    mPanel = get<PlanningPanel>("planningPanel");
    QVERIFY(mPanel);
}

void TestPlanningTab::clickSlot(int row)
{
    auto* table = get<QTableWidget>("tblDives");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 1)).center());
}

void TestPlanningTab::nothingWithoutSlot()
{
    openWindow();
    for (const char* button : {"btRemoveDive", "btNewReplace", "btNewSimulation", "btExportPlanPdf"})
        click(button);
    clickSlot(1);
    mPanel->replaceDiveFromFile();
    QVERIFY(!mPanel->addPlanificationFromExistingDBDive(1, true));
    QCOMPARE(planner().slotCount(), 0);
    QCOMPARE(get<QTableView>("tblViewlDivePoints")->model()->rowCount(), 0);
    QVERIFY(!get<QSpinBox>("spSurfPressure")->isEnabled());
    QVERIFY(mDialogs->messages.isEmpty());
    QVERIFY(mDialogs->questions.isEmpty());
    QVERIFY(mDialogs->fileDialogs.isEmpty());
}

void TestPlanningTab::slotsAndSettings()
{
    openWindow();
    auto* interval = get<QTimeEdit>("edSurfaceInterval");
    auto* slotTable = get<QTableWidget>("tblDives");
    for (int i = 0; i < 3; ++i)
        click("btAddDive");
    QCOMPARE(planner().slotCount(), 3);
    click("btAddDive");
    QCOMPARE(mDialogs->messageTexts(), QStringList{"Error|No free location fro a new dive"});
    QCOMPARE(planner().currentIndex(), 2);
    QVERIFY(interval->isEnabled());
    QVERIFY(get<QTextEdit>("edInfoPlanif")->toPlainText().contains(QStringLiteral("CNS")));

    clickSlot(0);
    QCOMPARE(planner().currentIndex(), 0);
    QVERIFY(!interval->isEnabled());
    QCOMPARE(slotTable->item(0, 1)->background().color(), QColor(0, 255, 0));
    QCOMPARE(slotTable->item(1, 1)->background().color(), QColor(Qt::white));
    QVERIFY(!qobject_cast<QToolButton*>(slotTable->cellWidget(1, 0))->isEnabled());

    // Slot 1: effort mode, fresh water at altitude, three hours after slot 0.
    clickSlot(1);
    QVERIFY(interval->isEnabled());
    auto* effort = qobject_cast<QToolButton*>(slotTable->cellWidget(1, 0));
    QVERIFY(effort->isEnabled());
    QCOMPARE(effort->toolTip(), QStringLiteral("Activate on/off effort mode"));
    QTest::mouseClick(effort, Qt::LeftButton);
    get<QComboBox>("cbWaterType")->setCurrentIndex(1);
    get<QSpinBox>("spSurfPressure")->setValue(800);
    interval->setTime(QTime(3, 0));
    const deco::PlannedDive* slot = planner().slot(1);
    QVERIFY(slot->effort);
    QVERIFY(slot->freshWater);
    QCOMPARE(slot->surfacePressure, 0.8f);
    QCOMPARE(slot->surfaceInterval, 3 * 3600);
    QVERIFY(!planner().slot(0)->effort);

    // Back on slot 0 and again on 1: each slot shows its own settings.
    clickSlot(0);
    QCOMPARE(get<QSpinBox>("spSurfPressure")->value(), 1013);
    QCOMPARE(get<QComboBox>("cbWaterType")->currentIndex(), 0);
    clickSlot(1);
    QCOMPARE(get<QSpinBox>("spSurfPressure")->value(), 800);
    QCOMPARE(interval->time(), QTime(3, 0));

    // Deleting slots down to none clears the plan and the slot widgets.
    for (int i = 0; i < 3; ++i)
        click("btRemoveDive");
    QCOMPARE(planner().slotCount(), 0);
    QVERIFY(get<QTextEdit>("edInfoPlanif")->toPlainText().isEmpty());
    QVERIFY(!get<QSpinBox>("spSurfPressure")->isEnabled());
    QCOMPARE(get<QTableView>("tblViewlDivePoints")->model()->rowCount(), 0);
}

void TestPlanningTab::gradientFactorsAndGasSets()
{
    openWindow();
    click("btAddDive");
    // A deeper, longer profile that needs stops.
    DiveProfileItem* item = mPanel->graph()->profileItem();
    item->modifyDepthOfDivePoint(1, 45.0);
    item->modifyDepthOfDivePoint(2, 45.0);
    double end = 1800.0;
    item->modifyTimeOfDivePoint(2, end);
    get<QSpinBox>("spGfLow")->setValue(90);
    get<QSpinBox>("spGfhigh")->setValue(90);
    const QString loose = planHtml();
    get<QSpinBox>("spGfLow")->setValue(20);
    get<QSpinBox>("spGfhigh")->setValue(40);
    const QString strict = planHtml();
    QVERIFY(strict != loose);
    QVERIFY(strict.count(QStringLiteral("arrowR.png")) >= loose.count(QStringLiteral("arrowR.png")));
    QVERIFY(strict.contains(QStringLiteral("OTU")));

    // Deco gases: the ascent switches to the dive's richer gases, shorter.
    auto* decoGases = get<QCheckBox>("ckDecoGases");
    QVERIFY(decoGases->isEnabled());
    decoGases->setChecked(true);
    QVERIFY(planner().decoGases().enabled);
    QVERIFY(planHtml() != strict);
    // The switch to the dive's 40 % gas is named after it (before the first
    // hour; from then on the table names no gas).
    QVERIFY(planHtml().contains(QStringLiteral("| Nx40</p>")));
    decoGases->setChecked(false);
    QCOMPARE(planHtml(), strict);

    auto* gases = get<QComboBox>("cbGases");
    QCOMPARE(gases->count(), 5);
    QCOMPARE(gases->itemText(4), QStringLiteral("CF Oxy"));
    get<QComboBox>("cbDiverType")->setCurrentIndex(1);
    QCOMPARE(gases->count(), 2);
    get<QComboBox>("cbDiverType")->setCurrentIndex(0);
    QCOMPARE(gases->count(), 5);
    QCOMPARE(gases->itemText(2), QStringLiteral("Air + VidAD"));
}

void TestPlanningTab::decoGasLimits_data()
{
    QTest::addColumn<double>("ppO2");
    QTest::addColumn<int>("switchStop");
    QTest::addColumn<QStringList>("switches"); // "depth gas" of each row naming a gas after air

    // 40 m for 20 min on air with the default dive's 30 %, 40 % and oxygen, in
    // salt water at 1.013 bar (0.101 bar/m): each gas is first breathed at the
    // deepest 3 m stop where its ppO2 is within the limit (40 % at 1.6 bar:
    // 27 m = 1.50, 30 m = 1.62; oxygen: 3 m = 1.32, 6 m = 1.62), or at the
    // first stop when no switch stop is asked.
    QTest::newRow("1.6 bar, 1 min") << 1.6 << 1 << QStringList{"39m Nx30", "27m Nx40", "3m Oxy"};
    QTest::newRow("1.4 bar, 1 min") << 1.4 << 1 << QStringList{"36m Nx30", "24m Nx40", "3m Oxy"};
    QTest::newRow("1.0 bar, 5 min: no oxygen") << 1.0 << 5 << QStringList{"21m Nx30", "12m Nx40"};
    QTest::newRow("1.6 bar, no switch stop") << 1.6 << 0 << QStringList{"15m Nx40", "3m Oxy"};
}

void TestPlanningTab::decoGasLimits()
{
    QFETCH(double, ppO2);
    QFETCH(int, switchStop);
    QFETCH(QStringList, switches);

    openWindow();
    auto* limit = get<QDoubleSpinBox>("spDecoPpO2");
    auto* stop = get<QSpinBox>("spSwitchStop");
    auto* decoGases = get<QCheckBox>("ckDecoGases");
    const auto limitsEnabled = [&] { return limit->isEnabled() && stop->isEnabled(); };
    // Without a slot, or with deco gases off, the limits wait.
    QVERIFY(!limitsEnabled());
    decoGases->setChecked(true);
    QVERIFY(!limitsEnabled());
    click("btAddDive");
    QVERIFY(limitsEnabled());
    DiveProfileItem* item = mPanel->graph()->profileItem();
    item->modifyDepthOfDivePoint(1, 40.0);
    item->modifyDepthOfDivePoint(2, 40.0);
    double end = 1200.0;
    item->modifyTimeOfDivePoint(2, end);
    decoGases->setChecked(false);
    QVERIFY(!limitsEnabled());
    const QString airOnly = mPanel->report().text();
    QVERIFY(airOnly.contains(QStringLiteral("40m")));

    decoGases->setChecked(true);
    QVERIFY(limitsEnabled());
    limit->setValue(ppO2);
    stop->setValue(switchStop);
    QCOMPARE(planner().decoGases().maxPpO2, float(ppO2));
    QCOMPARE(planner().decoGases().switchStopMinutes, float(switchStop));
    QStringList named;
    for (const QString& row : mPanel->report().text().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList cells = row.split(QLatin1Char('|'));
        if (cells.size() < 4 || cells.at(3).trimmed().isEmpty() || cells.at(3).trimmed() == QLatin1String("Air"))
            continue;
        named << cells.at(0).mid(1).trimmed() + QLatin1Char(' ') + cells.at(3).trimmed();
        // A switch made at a stop keeps the diver there for the switch time.
        if (switchStop > 0 && named.size() < switches.size())
            QVERIFY2(QTime::fromString(cells.at(1).trimmed(), QStringLiteral("mm:ss")) >= QTime(0, switchStop),
                     qPrintable(row));
    }
    QCOMPARE(named, switches);

    // Off again: the plan on air alone, whatever the limits say.
    decoGases->setChecked(false);
    QCOMPARE(mPanel->report().text(), airOnly);
}

void TestPlanningTab::planFileRoundTrip()
{
    QTemporaryDir dir;
    openWindow();
    click("btAddDive");
    click("btAddDive");
    get<QTimeEdit>("edSurfaceInterval")->setTime(QTime(1, 30));
    get<QComboBox>("cbWaterType")->setCurrentIndex(1);
    const QString path = dir.filePath(QStringLiteral("two.diveplan"));
    mDialogs->fileNames.enqueue(path);
    click("btSaveSimulation");
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(mDialogs->fileDialogs.last().title, QStringLiteral("Save Plan"));
    QVERIFY(mDialogs->fileDialogs.last().text.endsWith(QStringLiteral("|Dive plan file (*.diveplan)")));
    QCOMPARE(QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).value("directories/lastPlanFile").toString(),
             dir.path());

    mDialogs->answers.enqueue(true);
    click("btNewSimulation");
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to create new planification?"));
    QCOMPARE(planner().slotCount(), 0);

    mDialogs->fileNames.enqueue(path);
    click("btLoadSimulation");
    QCOMPARE(mDialogs->fileDialogs.last().text, dir.path() + QStringLiteral("|Dive plan file (*.diveplan)"));
    QCOMPARE(planner().slotCount(), 2);
    QCOMPARE(planner().currentIndex(), 0);
    QCOMPARE(planner().slot(1)->surfaceInterval, 5400);
    QVERIFY(planner().slot(1)->freshWater);
    QVERIFY(!get<QTimeEdit>("edSurfaceInterval")->isEnabled());

    // A file that is not a plan changes nothing and says so.
    const QString junk = dir.filePath(QStringLiteral("junk.diveplan"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a plan");
    file.close();
    mDialogs->fileNames.enqueue(junk);
    click("btLoadSimulation");
    QCOMPARE(planner().slotCount(), 2);
    QCOMPARE(mDialogs->messageTexts(), QStringList{"Error|Impossible to load plan file"});

    // The plan table as text on the clipboard, and as a PDF with the profile.
    click("btCopyPlan");
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.contains(QStringLiteral("CNS")));
    QVERIFY(!copied.contains(QLatin1Char('<')));
    mDialogs->fileNames.enqueue(dir.filePath(QStringLiteral("plan")));
    click("btExportPlanPdf");
    QFile pdf(dir.filePath(QStringLiteral("plan.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(pdf.size() > 1000);
}

void TestPlanningTab::divesFromLogbook()
{
    QVERIFY(storeDives({makeDive("Logged", "S1", localSecs(2024, 3, 1), 80, 25.0),
                        makeDive("Other", "S1", localSecs(2024, 3, 2), 40, 12.0)}));
    openWindow();
    get<QTabWidget>("tabMain")->setCurrentIndex(0);
    QTableWidget* list = diveList(*mWindow);
    QVERIFY(triggerRowMenu(list, rowOf(list, "Logged"), {"Add to planification"}));
    QCOMPARE(get<QTabWidget>("tabMain")->currentIndex(), 1);
    QCOMPARE(planner().slotCount(), 1);
    Dive* dive = planner().currentDive();
    QCOMPARE(dive->name, QStringLiteral("Logged"));
    QCOMPARE(dive->format, qint32(Dive::RecordedDive));
    QCOMPARE(get<QTableView>("tblViewlDivePoints")->model()->rowCount(), 80);

    // "Set start of DTR" on a recorded dive sets it.
    DiveProfileItem* item = mPanel->graph()->profileItem();
    auto* menu = mPanel->findChild<QMenu*>(QStringLiteral("planningPointMenu"));
    DivePoint::currentPoint = item->getDivePointAtIndex(30);
    QVERIFY(triggerAction(menu, "Set start of DTR"));
    QCOMPARE(planner().currentDive()->dtrStartIndex, 30);

    // Replacing makes it a planned profile, where DTR is refused.
    get<QTabWidget>("tabMain")->setCurrentIndex(0);
    QVERIFY(triggerRowMenu(list, rowOf(list, "Other"), {"Replace current in planification"}));
    QCOMPARE(planner().slotCount(), 1);
    QCOMPARE(planner().currentDive()->name, QStringLiteral("Other"));
    QCOMPARE(planner().currentDive()->format, qint32(Dive::PlannedProfile));
    DivePoint::currentPoint = item->getDivePointAtIndex(10);
    QVERIFY(triggerAction(menu, "Set start of DTR"));
    QCOMPARE(planner().currentDive()->dtrStartIndex, -1);
    QCOMPARE(mDialogs->messageTexts(), QStringList{"Error|Impossible to set start of DTR on planified profile"});

    // A fourth dive has no room.
    click("btAddDive");
    click("btAddDive");
    get<QTabWidget>("tabMain")->setCurrentIndex(0);
    QVERIFY(triggerRowMenu(list, rowOf(list, "Other"), {"Add to planification"}));
    QCOMPARE(mDialogs->messageTexts().last(), QStringLiteral("Error|No free location for a new dive"));
    QCOMPARE(planner().slotCount(), 3);
}

void TestPlanningTab::divesFromFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dive.uddf"));
    QVERIFY(DiveLinesIO::writeDiveFile(path, makeDive("From file", "S9", localSecs(2024, 1, 1), 50, 18.0)));
    const QString junk = dir.filePath(QStringLiteral("junk.uddf"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<uddf");
    file.close();

    Dive written;
    QVERIFY(DiveLinesIO::createReader(path)->readDive(path, written));
    const int lineCount = int(written.lines.size());

    openWindow();
    auto* menu = get<QToolButton>("btAddExistingDive")->menu();
    mDialogs->fileNames.enqueue(path);
    QVERIFY(triggerAction(menu, "Add dive"));
    QCOMPARE(mDialogs->fileDialogs.last().title, QStringLiteral("Open Dive File"));
    QCOMPARE(planner().slotCount(), 1);
    QCOMPARE(planner().currentDive()->lines.size(), lineCount);

    mDialogs->fileNames.enqueue(junk);
    QVERIFY(triggerAction(menu, "Add dive"));
    mDialogs->fileNames.enqueue(junk);
    QVERIFY(triggerAction(menu, "Replace current dive"));
    QCOMPARE(mDialogs->messageTexts(), (QStringList{"Error|Impossible to load dive file",
                                          "Database Error|Impossible to read profile"}));
    QCOMPARE(planner().slotCount(), 1);

    click("btAddDive");
    mDialogs->fileNames.enqueue(path);
    QVERIFY(triggerAction(menu, "Replace current dive"));
    QCOMPARE(planner().currentIndex(), 1);
    QCOMPARE(planner().currentDive()->lines.size(), lineCount);
    QCOMPARE(get<QTableView>("tblViewlDivePoints")->model()->rowCount(), lineCount);

    // The "Replace dive" button brings back the default profile.
    mDialogs->answers.enqueue(true);
    click("btNewReplace");
    QCOMPARE(mDialogs->questions.last().title, QStringLiteral("Replace dive"));
    QCOMPARE(planner().currentDive()->lines.size(), 3);

    click("btAddDive");
    mDialogs->fileNames.enqueue(path);
    QVERIFY(triggerAction(menu, "Add dive"));
    QCOMPARE(mDialogs->messageTexts().last(), QStringLiteral("Error|No free location for a new dive"));
}

void TestPlanningTab::pointEditing()
{
    openWindow();
    click("btAddDive");
    auto* table = get<QTableView>("tblViewlDivePoints");
    QCOMPARE(table->model()->rowCount(), 3);
    click("btAddDivePoint");
    click("btRemoveDivePoint");
    QCOMPARE(mDialogs->messageTexts(), (QStringList{"Error|Select a line after which insert a point",
                                          "Error|Select the dive point to remove"}));

    const auto clickCell = [table](int row, int column) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(row, column)).center());
    };
    // The first point stays, from the button and from its delete icon.
    clickCell(0, 1);
    click("btRemoveDivePoint");
    clickCell(0, 0);
    QCOMPARE(planner().currentDive()->lines.size(), 3);

    clickCell(1, 1);
    click("btAddDivePoint");
    QCOMPARE(planner().currentDive()->lines.size(), 4);
    QCOMPARE(table->model()->rowCount(), 4);
    QVERIFY(!table->selectionModel()->hasSelection());
    clickCell(2, 0);
    QCOMPARE(planner().currentDive()->lines.size(), 3);
    QCOMPARE(table->model()->rowCount(), 3);

    // Dragging a point re-plans at each step and updates its row.
    DiveProfileItem* item = mPanel->graph()->profileItem();
    const QString before = planHtml();
    DiveLineInfo info = item->getDivePointAtIndex(2)->diveLineInfo();
    item->updateDivePoint(info, item->timeDepthToGraphCoordinates(900.0, 35.0));
    const double dragged = planner().currentDive()->lines[2].depth;
    QVERIFY(dragged > 20.0);
    QCOMPARE(table->model()->index(2, 1).data().toString(), QString::number(dragged, 'f', 1));
    QVERIFY(planHtml() != before);
    // The panel shows exactly the new table, written over the previous one.
    auto* panel = get<QTextEdit>("edInfoPlanif");
    const auto showsTheTable = [&] {
        QTextDocument whole;
        whole.setHtml(planHtml());
        return panel->toHtml() == whole.toHtml();
    };
    QVERIFY(showsTheTable());
    item->updateDivePoint(info, item->timeDepthToGraphCoordinates(900.0, 25.0));
    QVERIFY(showsTheTable());

    // A profile the planner refuses: its message stays under the empty
    // table; once mended, the table alone again.
    const QString refused = QStringLiteral("Profile not simulated");
    planner().currentDive()->lines[2].depth = qQNaN();
    get<QSpinBox>("spSurfPressure")->setValue(990);
    QVERIFY(panel->toPlainText().contains(QStringLiteral("OTU 0")));
    QVERIFY(panel->toPlainText().contains(refused));
    planner().currentDive()->lines[2].depth = 30.0;
    get<QSpinBox>("spSurfPressure")->setValue(1000);
    QVERIFY(!panel->toPlainText().contains(refused));
    QVERIFY(showsTheTable());
}

void TestPlanningTab::pointMenu()
{
    openWindow();
    click("btAddDive");
    DiveProfileItem* item = mPanel->graph()->profileItem();
    auto* menu = mPanel->findChild<QMenu*>(QStringLiteral("planningPointMenu"));

    // Line 0 is never deleted; another line is.
    DivePoint::currentPoint = item->getDivePointAtIndex(0);
    QVERIFY(triggerAction(menu, "Delete this point"));
    QCOMPARE(planner().currentDive()->lines.size(), 3);
    item->addDivePointAfter(2);
    QCOMPARE(planner().currentDive()->lines.size(), 4);
    DivePoint::currentPoint = item->getDivePointAtIndex(3);
    QVERIFY(triggerAction(menu, "Delete this point"));
    QCOMPARE(planner().currentDive()->lines.size(), 3);

    // Measuring needs two points.
    QVERIFY(triggerAction(menu, "Measure between 2 points"));
    QCOMPARE(mDialogs->messageTexts().last(), QStringLiteral("Error|Select two points to measure between them"));
    item->getDivePointAtIndex(1)->setSelected(true);
    item->getDivePointAtIndex(2)->setSelected(true);
    QString speed;
    mDialogs->onDialog = [&speed](QDialog& dialog) {
        auto* values = dialog.findChild<QTableWidget*>(QStringLiteral("tblValues"));
        speed = values ? values->item(2, 1)->text() : QString();
        return int(QDialog::Accepted);
    };
    QVERIFY(triggerAction(menu, "Measure between 2 points"));
    QCOMPARE(mDialogs->dialogTitles.last(), QStringLiteral("Measure between two points"));
    QCOMPARE(speed, QStringLiteral("0.0m/mn")); // 20 m to 20 m

    // Two or more selected points are deleted together.
    QVERIFY(triggerAction(menu, "Delete this point"));
    QCOMPARE(planner().currentDive()->lines.size(), 1);
}

void TestPlanningTab::tissuesAndPosition()
{
    openWindow();
    auto* tissues = get<TissuesGraph>("tissuesGraph");
    click("btAddDive"); // 20 m from 1 to 10 min on air
    // Start of the first dive: every compartment saturated at the surface,
    // (1.013 - 0.0627 water vapour) * 0.79 = 0.7507 bar of nitrogen.
    get<QRadioButton>("rbStartOfDive")->setChecked(true);
    for (const float value : tissues->values())
        QVERIFY2(std::fabs(value - 0.7507f) < 0.0005f, qPrintable(QString::number(value)));
    // End of dive: loaded, the fast compartments the most.
    get<QRadioButton>("rbEndOfDive")->setChecked(true);
    const TissuesGraph::Values end = tissues->values();
    QVERIFY(end[0] > end[8] && end[8] > end[15] && end[15] > 0.7507f);
    // The next dive starts from what the first left, relaxed on air over the
    // hour at the surface: the 4-minute compartment back at 0.7507 bar, the
    // 635-minute one having given off 1 - 2^(-60/635) of its excess.
    click("btAddDive");
    get<QTimeEdit>("edSurfaceInterval")->setTime(QTime(1, 0));
    get<QRadioButton>("rbStartOfDive")->setChecked(true);
    const TissuesGraph::Values rested = tissues->values();
    QVERIFY2(std::fabs(rested[0] - 0.7507f) < 0.0005f, qPrintable(QString::number(rested[0])));
    const double slowest = 0.7507 + (end[15] - 0.7507) * std::exp2(-60.0 / 635.0);
    QVERIFY2(std::fabs(rested[15] - slowest) < 0.0005, qPrintable(QString::number(rested[15])));
    QVERIFY(rested[15] < end[15]);
    click("btNewSimulation"); // not confirmed: nothing changes
    mDialogs->answers.enqueue(true);
    click("btNewSimulation");
    QVERIFY(std::all_of(tissues->values().begin(), tissues->values().end(), [](float v) { return v == 0.0f; }));

    // The pointer over the planning profile: where it is on the dive.
    click("btAddDive");
    GraphView* graph = mPanel->graph();
    DiveProfileItem* item = graph->profileItem();
    const QPointF scene = item->mapToScene(item->timeDepthToGraphCoordinates(300.0, 10.0));
    QTest::mouseMove(graph->viewport(), graph->mapFromScene(scene));
    auto* position = get<QLabel>("edPlanPosition");
    // Air at 20 m of salt water under 1.013 bar: 0.21 * (1.013 + 2.020).
    QVERIFY(position->text().startsWith(QStringLiteral("Time: 05:")));
    QVERIFY2(position->text().contains(QStringLiteral("Depth: 20.0m   Speed: 0.0m/mn   PpO2: 0.64   Ceil: 0.00")),
             qPrintable(position->text()));
    // On the way down, fresh water at altitude: 0.21 * (0.800 + 1.961).
    get<QComboBox>("cbWaterType")->setCurrentIndex(1);
    get<QSpinBox>("spSurfPressure")->setValue(800);
    QTest::mouseMove(graph->viewport(),
                     graph->mapFromScene(item->mapToScene(item->timeDepthToGraphCoordinates(30.0, 10.0))));
    const QRegularExpressionMatch shown = QRegularExpression(QStringLiteral(
        "Depth: ([0-9.]+)m   Speed: 20.0m/mn   PpO2: ([0-9.]+)   ")).match(position->text());
    QVERIFY2(shown.hasMatch(), qPrintable(position->text()));
    QVERIFY(std::fabs(shown.captured(2).toDouble() - 0.21 * (0.8 + 0.0980665 * shown.captured(1).toDouble())) < 0.006);
    emit graph->mouseMove(scene, -1);
    QVERIFY(position->text().isEmpty());
}

// Not a check: with PELAGON_SCREENSHOT_DIR set, saves the pictures of the
// planning tab, the simulation tab and the filter dialog for docs/.
void TestPlanningTab::screenshots()
{
    const QString target = qEnvironmentVariable("PELAGON_SCREENSHOT_DIR");
    if (target.isEmpty())
        QSKIP("PELAGON_SCREENSHOT_DIR not set");
    QVERIFY(storeDives({makeDive("Morning dive", "S1", localSecs(2024, 6, 1, 9), 120, 32.0),
                        makeDive("Evening dive", "S2", localSecs(2024, 6, 2, 18), 80, 18.0)}));
    openWindow();
    mWindow->resize(1500, 900);
    click("btAddDive");
    DiveProfileItem* item = mPanel->graph()->profileItem();
    item->modifyDepthOfDivePoint(1, 40.0);
    item->modifyDepthOfDivePoint(2, 40.0);
    double end = 1500.0;
    item->modifyTimeOfDivePoint(2, end);
    get<QSpinBox>("spGfLow")->setValue(30);
    click("btAddDive");
    click("btAddDive");
    clickSlot(0);
    QVERIFY(mWindow->grab().save(target + QStringLiteral("/planning-tab.png")));

    get<QTabWidget>("tabMain")->setCurrentIndex(0);
    QTableWidget* list = diveList(*mWindow);
    clickRow(list, rowOf(list, "Morning dive"));
    auto* info = get<QTabWidget>("tabProfile");
    info->setCurrentIndex(info->count() - 2);
    QVERIFY(mWindow->grab().save(target + QStringLiteral("/simulation-tab.png")));

    bool saved = false;
    mDialogs->onDialog = [&saved, &target](QDialog& dialog) {
        dialog.findChild<QGroupBox*>(QStringLiteral("grComputer"))->setChecked(true);
        dialog.findChild<QTableWidget*>(QStringLiteral("tblComputers"))->item(0, 0)->setCheckState(Qt::Checked);
        dialog.resize(420, 380);
        dialog.show();
        saved = dialog.grab().save(target + QStringLiteral("/filter-dialog.png"));
        return int(QDialog::Rejected);
    };
    QTest::mouseClick(get<QToolButton>("btFilter"), Qt::LeftButton);
    QVERIFY(saved);
}

QTEST_MAIN(TestPlanningTab)
#include "tst_planningtab.moc"
