// The repetitive-dive planner: slot creation from nothing, a file or a
// callable, deletion and the current index, reset, and plan files, including
// the damaged ones and a planner without a current slot.

#include "plannertesting.h"

#include "divedata/binaryfile.h"
#include "divedata/planfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <memory>

using namespace deco;

namespace {

QStringList names(const DivePlanner& planner)
{
    QStringList out;
    for (int i = 0; i < planner.slotCount(); ++i)
        out.append(planner.slot(i)->dive.name);
    return out;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestDivePlanner : public QObject
{
    Q_OBJECT

private slots:
    void slotsFillUpToThree();
    void unreadableFilesLeaveThePlannerAsItWas();
    void addDiveFromACallable();
    void deletionShiftsSlotsAndMovesCurrent();
    void resetKeepsTissuesAndSettings();
    void planFileRoundTrip();
    void damagedPlanFilesChangeNothing();
    void withoutCurrentSlotNothingHappens();
};

void TestDivePlanner::slotsFillUpToThree()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(planner.freeSlot(), i);
        QCOMPARE(planner.addDive(), i);
        QCOMPARE(planner.currentIndex(), i);
        const PlannedDive& slot = *planner.slot(i);
        QCOMPARE(slot.dive.name, QString("Dive %1").arg(i + 1));
        QCOMPARE(slot.dive.format, qint32(Dive::PlannedProfile));
        QCOMPARE(slot.dive.lines.size(), 3);
        QCOMPARE(slot.dive.lines[2].timeSec, 600.0);
        QCOMPARE(slot.dive.maxDepth, 20.0);
        QCOMPARE(slot.surfaceInterval, i == 0 ? 0 : 7200);
        QVERIFY(!slot.dive.decoLines.isEmpty()); // simulated on creation
    }
    const QList<DiveGas>& gases = planner.slot(0)->dive.gases;
    QCOMPARE(gases.size(), 6);
    QCOMPARE(gases[0].gasName(), QString("Air"));
    QCOMPARE(gases[2].gasName(), QString("Nx40"));
    QCOMPARE(gases[5].gasName(), QString("Oxy"));

    // The last slot started from the end state of the slot before it.
    QVERIFY(planner.startingN2() == planner.slot(1)->tissues.n2);
    const int records = recorder.records.size();
    QCOMPARE(planner.freeSlot(), -1);
    QCOMPARE(planner.addDive(), DivePlanner::kNoFreeSlot);
    QCOMPARE(planner.addDiveFrom([](Dive&) { return true; }), DivePlanner::kNoFreeSlot);
    QCOMPARE(planner.slotCount(), 3);
    QCOMPARE(planner.currentIndex(), 2);
    QCOMPARE(recorder.records.size(), records);
}

void TestDivePlanner::unreadableFilesLeaveThePlannerAsItWas()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DivePlanner planner;
    planner.addDive();
    planner.addDive();
    QVERIFY(planner.setCurrentIndex(0));

    QVERIFY(writeBytes(dir.filePath("notes.txt"), "0,0\n60,20\n"));
    QVERIFY(writeBytes(dir.filePath("broken.divebin"), "not a dive"));
    for (const char* name : {"missing.divebin", "notes.txt", "broken.divebin"}) {
        QCOMPARE(planner.addDive(dir.filePath(name)), DivePlanner::kUnreadable);
        QCOMPARE(planner.slotCount(), 2);
        QCOMPARE(planner.currentIndex(), 0);
    }

    Dive recorded;
    recorded.name = "Reef";
    recorded.lines = profile({{0, 0}, {90, 18}, {1200, 15}});
    recorded.gases.append(DiveGas());
    const QString path = dir.filePath("reef.divebin");
    QVERIFY(BinaryFile().writeDive(path, recorded));
    QCOMPARE(planner.addDive(path), 2);
    const Dive& dive = *planner.currentDive();
    QCOMPARE(dive.name, QString("Reef"));
    QCOMPARE(dive.format, qint32(Dive::PlannedProfile));
    QCOMPARE(dive.lines.size(), 3);
    QCOMPARE(dive.maxDepth, 18.0);
    QCOMPARE(dive.gases.size(), 1);
    QCOMPARE(dive.decoLines.constLast().depth, 0.0);
}

void TestDivePlanner::addDiveFromACallable()
{
    DivePlanner planner;
    auto captured = std::make_shared<int>(0);

    QCOMPARE(planner.addDiveFrom([captured](Dive&) { return false; }), DivePlanner::kUnreadable);
    QCOMPARE(captured.use_count(), 1);
    QCOMPARE(planner.slotCount(), 0);
    QCOMPARE(planner.currentIndex(), -1);
    QCOMPARE(planner.addDiveFrom(DivePlanner::DiveFiller()), DivePlanner::kUnreadable);

    const int index = planner.addDiveFrom([captured](Dive& dive) {
        dive.lines = profile({{0, 0}, {120, 30}, {900, 30}});
        return true;
    });
    QCOMPARE(index, 0);
    QCOMPARE(captured.use_count(), 1);
    const Dive& dive = *planner.currentDive();
    QCOMPARE(dive.format, qint32(Dive::RecordedDive)); // a logbook dive stays recorded
    QCOMPARE(dive.name, QString("Dive 1"));
    QCOMPARE(dive.maxDepth, 30.0);
    QVERIFY(!dive.decoLines.isEmpty());
}

void TestDivePlanner::deletionShiftsSlotsAndMovesCurrent()
{
    DivePlanner planner;
    for (int i = 0; i < 3; ++i)
        planner.addDive();
    planner.slot(0)->dive.name = "A";
    planner.slot(1)->dive.name = "B";
    planner.slot(2)->dive.name = "C";
    planner.slot(2)->surfaceInterval = 3600;

    QVERIFY(planner.setCurrentIndex(0));
    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(names(planner), (QStringList{"B", "C"}));
    QCOMPARE(planner.currentIndex(), 0);
    QCOMPARE(planner.slot(1)->surfaceInterval, 3600); // settings travel with their slot

    planner.addDive();
    QVERIFY(planner.setCurrentIndex(1));
    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(names(planner), (QStringList{"B", "Dive 3"}));
    QCOMPARE(planner.currentIndex(), 1);

    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(names(planner), QStringList{"B"});
    QCOMPARE(planner.currentIndex(), 0);

    planner.addDive();
    planner.addDive();
    QCOMPARE(planner.currentIndex(), 2);
    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(planner.currentIndex(), 1);

    QVERIFY(!planner.setCurrentIndex(2));
    QVERIFY(planner.deleteCurrentDive());
    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(planner.slotCount(), 0);
    QCOMPARE(planner.currentIndex(), -1);
    QVERIFY(!planner.deleteCurrentDive());
}

void TestDivePlanner::resetKeepsTissuesAndSettings()
{
    DivePlanner planner;
    planner.addDive();
    planner.addDive();
    PlannedDive& slot = *planner.currentSlot();
    slot.dive.lines = profile({{0, 0}, {100, 33}});
    slot.dive.name = "Wreck";
    slot.dive.format = Dive::RecordedDive;
    slot.effort = true;
    slot.surfacePressure = 0.95f;
    slot.tissues.n2[5] = 1.5f;

    QVERIFY(planner.resetCurrentDive());
    QCOMPARE(slot.dive.name, QString("Dive 2"));
    QCOMPARE(slot.dive.format, qint32(Dive::PlannedProfile));
    QCOMPARE(slot.dive.lines.size(), 3);
    QCOMPARE(slot.dive.maxDepth, 20.0);
    QCOMPARE(slot.dive.gases.size(), 6);
    QVERIFY(slot.effort);
    QCOMPARE(slot.surfacePressure, 0.95f);
    QCOMPARE(slot.tissues.n2[5], 1.5f);
}

void TestDivePlanner::planFileRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("day.diveplan");
    DivePlanner planner;
    planner.addDive();
    planner.addDive();
    PlannedDive& second = *planner.slot(1);
    second.effort = true;
    second.freshWater = true;
    second.surfacePressure = 0.92f;
    second.surfaceInterval = 5400;
    second.tissues.he[2] = 0.25f;
    second.tissues.heliumUsed = 1;
    QVERIFY(planner.savePlan(path));
    QCOMPARE(QFileInfo(path).size(), qint64(304));

    DivePlanner loaded;
    loaded.addDive();
    QVERIFY(loaded.loadPlan(path));
    QCOMPARE(loaded.slotCount(), 2);
    QCOMPARE(loaded.currentIndex(), 0);
    for (int i = 0; i < 2; ++i) {
        const PlannedDive& original = *planner.slot(i);
        const PlannedDive& copy = *loaded.slot(i);
        QVERIFY(copy.dive.lines.isEmpty());
        QVERIFY(copy.dive.name.isEmpty());
        QVERIFY(copy.tissues.n2 == original.tissues.n2);
        QVERIFY(copy.tissues.he == original.tissues.he);
        QCOMPARE(copy.tissues.cns, original.tissues.cns);
        QCOMPARE(copy.tissues.heliumUsed, original.tissues.heliumUsed);
        QCOMPARE(copy.surfaceInterval, original.surfaceInterval);
        QCOMPARE(copy.effort, original.effort);
        QCOMPARE(copy.freshWater, original.freshWater);
        QCOMPARE(copy.surfacePressure, original.surfacePressure);
    }

    // A loaded slot without lines simulates to an empty plan and keeps the
    // end state the file holds, which the next slot starts from.
    PlanRecorder recorder;
    recorder.attach(loaded);
    QVERIFY(loaded.simulateCurrentDive());
    QCOMPARE(recorder.records.size(), 2);
    QVERIFY(loaded.slot(0)->tissues.n2 == planner.slot(0)->tissues.n2);
    QVERIFY(loaded.setCurrentIndex(1));
    loaded.currentDive()->lines = profile({{0, 0}, {60, 10}, {300, 10}});
    QVERIFY(loaded.simulateCurrentDive());
    QVERIFY(loaded.startingN2() == planner.slot(0)->tissues.n2);
}

void TestDivePlanner::damagedPlanFilesChangeNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DivePlanner source;
    source.addDive();
    source.addDive();
    const QString good = dir.filePath("good.diveplan");
    QVERIFY(source.savePlan(good));
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray image = file.readAll();

    auto withCount = [](QByteArray bytes, qint32 count) {
        qToLittleEndian(count, bytes.data());
        return bytes;
    };
    const QList<QPair<QString, QByteArray>> damaged = {
        {"short.diveplan", image.left(200)},
        {"four.diveplan", withCount(image + image.mid(4), 4)}, // 4 + 4 x 150 bytes
        {"negative.diveplan", withCount(image, -1)},
        {"claimsthree.diveplan", withCount(image, 3)},
        {"empty.diveplan", QByteArray()},
    };

    DivePlanner planner;
    for (int i = 0; i < 3; ++i)
        planner.addDive();
    QVERIFY(planner.setCurrentIndex(1));
    const QStringList before = names(planner);
    QVERIFY(!planner.loadPlan(dir.filePath("missing.diveplan")));
    for (const auto& [name, bytes] : damaged) {
        QVERIFY(writeBytes(dir.filePath(name), bytes));
        QVERIFY2(!planner.loadPlan(dir.filePath(name)), qPrintable(name));
        QCOMPARE(names(planner), before);
        QCOMPARE(planner.currentIndex(), 1);
        QCOMPARE(planner.slot(0)->dive.lines.size(), 3);
    }

    // A plan of no slots is valid and empties the planner.
    QVERIFY(writeBytes(dir.filePath("none.diveplan"), QByteArray(4, '\0')));
    QVERIFY(planner.loadPlan(dir.filePath("none.diveplan")));
    QCOMPARE(planner.slotCount(), 0);
    QCOMPARE(planner.currentIndex(), -1);
    QVERIFY(planner.currentDive() == nullptr);
}

void TestDivePlanner::withoutCurrentSlotNothingHappens()
{
    DivePlanner planner;
    PlanRecorder recorder;
    recorder.attach(planner);
    QVERIFY(planner.currentDive() == nullptr);
    QVERIFY(planner.currentSlot() == nullptr);
    QVERIFY(!planner.resetCurrentDive());
    QVERIFY(!planner.deleteCurrentDive());
    QVERIFY(!planner.simulateCurrentDive());
    QVERIFY(!simulateCurrentDive(planner, GradientFactors(30, 70)));
    QVERIFY(!planner.setCurrentIndex(0));
    QVERIFY(!planner.setCurrentIndex(-1));
    QVERIFY(recorder.records.isEmpty());
    QVERIFY(recorder.texts.isEmpty());

    // A planner cleared for a new planification is empty in the same way.
    planner.addDive();
    planner.clear();
    recorder.clear();
    QCOMPARE(planner.currentIndex(), -1);
    QVERIFY(!planner.simulateCurrentDive());
    QVERIFY(recorder.records.isEmpty());
    QCOMPARE(planner.addDive(), 0);
}

QTEST_GUILESS_MAIN(TestDivePlanner)
#include "tst_diveplanner.moc"
