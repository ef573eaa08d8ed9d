// The repetitive-dive planner: slot creation from nothing, a file or a
// callable, deletion and the current index, reset, and plan files, including
// the damaged ones and a planner without a current slot.

#include "plannertesting.h"

#include "divedata/binaryfile.h"

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
    RecordedPlanner p;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(p.planner.addDive(), i);
        QCOMPARE(p.planner.currentIndex(), i);
        const PlannedDive& slot = p.slot();
        QCOMPARE(slot.dive.name, QString("Dive %1").arg(i + 1));
        QCOMPARE(slot.dive.format, qint32(Dive::PlannedProfile));
        QCOMPARE(slot.dive.maxDepth, 20.0);
        QCOMPARE(slot.surfaceInterval, i == 0 ? 0 : 7200);
        QVERIFY(!slot.dive.decoLines.isEmpty()); // simulated on creation
    }
    QStringList gases;
    for (const DiveGas& gas : p.dive().gases)
        gases.append(gas.gasName());
    QCOMPARE(gases, (QStringList{"Air", "Nx30", "Nx40", "Oxy", "Oxy", "Oxy"}));
    // The last slot started from the end state of the slot before it, after
    // the default two hours on air at the surface.
    TissueState rested = p.planner.slot(1)->tissues;
    loadConstant(rested, 7200, kAir, kOpenCircuitSetpoint, 1.013f);
    QVERIFY(p.planner.startingN2() == rested.n2);
    QVERIFY(rested.n2 != p.planner.slot(1)->tissues.n2);

    const qsizetype records = p.records.size();
    QCOMPARE(p.planner.addDive(), DivePlanner::kNoFreeSlot);
    QCOMPARE(p.planner.addDiveFrom([](Dive&) { return true; }), DivePlanner::kNoFreeSlot);
    QCOMPARE(p.planner.slotCount(), 3);
    QCOMPARE(p.planner.currentIndex(), 2);
    QCOMPARE(p.records.size(), records);
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
    const QString path = dir.filePath("reef.divebin");
    QVERIFY(BinaryFile().writeDive(path, recorded));
    QCOMPARE(planner.addDive(path), 2);
    const Dive& dive = *planner.currentDive();
    QCOMPARE(dive.name, QString("Reef"));
    QCOMPARE(dive.format, qint32(Dive::PlannedProfile));
    QCOMPARE(dive.maxDepth, 18.0);
    QCOMPARE(dive.decoLines.constLast().depth, 0.0);
}

void TestDivePlanner::addDiveFromACallable()
{
    DivePlanner planner;
    auto captured = std::make_shared<int>(0);
    QCOMPARE(planner.addDiveFrom([captured](Dive&) { return false; }), DivePlanner::kUnreadable);
    QCOMPARE(captured.use_count(), 1);
    QCOMPARE(planner.currentIndex(), -1);
    QCOMPARE(planner.addDiveFrom(DivePlanner::DiveFiller()), DivePlanner::kUnreadable);

    QCOMPARE(planner.addDiveFrom([captured](Dive& dive) {
        dive.lines = profile({{0, 0}, {120, 30}, {900, 30}});
        return true;
    }), 0);
    QCOMPARE(captured.use_count(), 1);
    QCOMPARE(planner.currentDive()->format, qint32(Dive::RecordedDive)); // a logbook dive stays recorded
    QCOMPARE(planner.currentDive()->maxDepth, 30.0);
    QVERIFY(!planner.currentDive()->decoLines.isEmpty());
}

void TestDivePlanner::deletionShiftsSlotsAndMovesCurrent()
{
    DivePlanner planner;
    for (const char* name : {"A", "B", "C"}) {
        planner.addDive();
        planner.currentDive()->name = name;
    }
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
    QCOMPARE(planner.currentIndex(), 0);

    planner.addDive();
    planner.addDive();
    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(planner.currentIndex(), 1);
    QVERIFY(!planner.setCurrentIndex(2));
    QVERIFY(planner.deleteCurrentDive());
    QVERIFY(planner.deleteCurrentDive());
    QCOMPARE(planner.currentIndex(), -1);
    QVERIFY(!planner.deleteCurrentDive());
}

void TestDivePlanner::resetKeepsTissuesAndSettings()
{
    RecordedPlanner p(2);
    p.dive().lines = profile({{0, 0}, {100, 33}});
    p.dive().format = Dive::RecordedDive;
    p.slot().effort = true;
    p.slot().tissues.n2[5] = 1.5f;

    QVERIFY(p.planner.resetCurrentDive());
    QCOMPARE(p.dive().name, QString("Dive 2"));
    QCOMPARE(p.dive().format, qint32(Dive::PlannedProfile));
    QCOMPARE(p.dive().maxDepth, 20.0);
    QCOMPARE(p.dive().gases.size(), 6);
    QVERIFY(p.slot().effort);
    QCOMPARE(p.slot().tissues.n2[5], 1.5f);
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

    RecordedPlanner loaded(1);
    QVERIFY(loaded.planner.loadPlan(path));
    QCOMPARE(loaded.planner.slotCount(), 2);
    QCOMPARE(loaded.planner.currentIndex(), 0);
    for (int i = 0; i < 2; ++i) {
        const PlannedDive& original = *planner.slot(i);
        const PlannedDive& copy = *loaded.planner.slot(i);
        QVERIFY(copy.dive.lines.isEmpty() && copy.dive.name.isEmpty());
        QVERIFY(copy.tissues.n2 == original.tissues.n2 && copy.tissues.he == original.tissues.he);
        QCOMPARE(copy.tissues.heliumUsed, original.tissues.heliumUsed);
        QCOMPARE(copy.surfaceInterval, original.surfaceInterval);
        QCOMPARE(copy.effort, original.effort);
        QCOMPARE(copy.freshWater, original.freshWater);
        QCOMPARE(copy.surfacePressure, original.surfacePressure);
    }

    // A loaded slot without lines simulates to an empty plan and keeps the
    // end state the file holds, which the next slot starts from.
    loaded.records.clear();
    QVERIFY(loaded.planner.simulateCurrentDive());
    QCOMPARE(loaded.kinds(), QString("0 2"));
    QVERIFY(loaded.planner.setCurrentIndex(1));
    loaded.run(profile({{0, 0}, {60, 10}, {300, 10}}));
    TissueState rested = planner.slot(0)->tissues; // 1 h 30 at the slot's own 0.92 bar
    loadConstant(rested, 5400, kAir, kOpenCircuitSetpoint, 0.92f);
    QVERIFY(loaded.planner.startingN2() == rested.n2);
}

void TestDivePlanner::damagedPlanFilesChangeNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DivePlanner source;
    source.addDive();
    source.addDive();
    QVERIFY(source.savePlan(dir.filePath("good.diveplan")));
    QFile file(dir.filePath("good.diveplan"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray image = file.readAll();
    auto withCount = [](QByteArray bytes, qint32 count) {
        qToLittleEndian(count, bytes.data());
        return bytes;
    };
    const QList<QByteArray> damaged = {
        image.left(200),                         // short
        withCount(image + image.mid(4), 4),      // 4 + 4 x 150 bytes: one slot too many
        withCount(image, -1),
        withCount(image, 3),                     // claims more than it holds
        QByteArray(),
    };

    DivePlanner planner;
    for (int i = 0; i < 3; ++i)
        planner.addDive();
    QVERIFY(planner.setCurrentIndex(1));
    const QStringList before = names(planner);
    QVERIFY(!planner.loadPlan(dir.filePath("missing.diveplan")));
    for (const QByteArray& bytes : damaged) {
        QVERIFY(writeBytes(dir.filePath("bad.diveplan"), bytes));
        QVERIFY(!planner.loadPlan(dir.filePath("bad.diveplan")));
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
    RecordedPlanner p(1);
    p.planner.clear(); // a new planification
    QVERIFY(p.planner.currentDive() == nullptr);
    QVERIFY(!p.planner.resetCurrentDive());
    QVERIFY(!p.planner.deleteCurrentDive());
    QVERIFY(!p.planner.setCurrentIndex(0));
    p.records.clear();
    p.texts.clear();
    QVERIFY(!p.planner.simulateCurrentDive());
    QVERIFY(!simulateCurrentDive(p.planner, GradientFactors(30, 70)));
    QVERIFY(p.records.isEmpty() && p.texts.isEmpty());
    QCOMPARE(p.planner.addDive(), 0);
}

QTEST_GUILESS_MAIN(TestDivePlanner)
#include "tst_diveplanner.moc"
