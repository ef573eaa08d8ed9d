// The plan table built from the planner's records, and the measure between
// two profile points.

#include "app/planreport.h"
#include "app/plantabledocument.h"
#include "app/pointmeasure.h"
#include "divedata/dive.h"

#include <QTest>
#include <QTextDocument>

using deco::LinePlan;

Q_DECLARE_METATYPE(deco::LinePlan)
Q_DECLARE_METATYPE(QList<QList<deco::LinePlan>>)

namespace {

LinePlan segment(int type, bool computed, float depth, float duration, float runtime, int gas)
{
    LinePlan record;
    record.kind = LinePlan::Segment;
    record.segmentType = type;
    record.computed = computed ? 1 : 0;
    record.depth = depth;
    record.duration = duration;
    record.runtime = runtime;
    record.gasIndex = gas;
    return record;
}

LinePlan ofKind(int kind, float cns = 0.0f, float otu = 0.0f)
{
    LinePlan record;
    record.kind = std::int16_t(kind);
    record.cns = cns;
    record.otu = otu;
    return record;
}

const QString kStyle = QStringLiteral(
    "style=\" line-height:1em; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
    "-qt-block-indent:0; text-indent:0px;\"");

QString icon(const char* name)
{
    return QStringLiteral("<img src = \":/TestGraphics/icons/%1.png\" style=\"vertical-align:middle\"/>")
        .arg(QLatin1String(name));
}

// A whole run of the planner: reset, the segments, the summary.
QList<LinePlan> run(QList<LinePlan> segments, float cns = 5.0f, float otu = 12.0f)
{
    segments.prepend(ofKind(LinePlan::Reset));
    segments.append(ofKind(LinePlan::Summary, cns, otu));
    return segments;
}

// A dive to `depth` and the computed ascent's two stops.
QList<LinePlan> dive(float depth, float bottomRuntime = 25.0f, int decoGas = 0, float lastStop = 4.0f)
{
    return {segment(LinePlan::Descent, false, depth, 2.0f, 2.0f, 0),
            segment(LinePlan::Level, false, depth, bottomRuntime - 2.0f, bottomRuntime, 0),
            segment(LinePlan::Ascent, true, 6.0f, 1.0f, bottomRuntime + 1.0f, 0),
            segment(LinePlan::Level, true, 6.0f, 1.0f, bottomRuntime + 2.0f, decoGas),
            segment(LinePlan::Level, true, 3.0f, lastStop, bottomRuntime + 2.5f + lastStop, decoGas),
            segment(LinePlan::Ascent, true, 0.0f, 0.5f, bottomRuntime + 3.0f + lastStop, decoGas)};
}

} // namespace

class TestPlanReport : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void wholeTable();
    void gasesNamedAfterTheDive();
    void documentFollowsTheReport_data();
    void documentFollowsTheReport();
    void measure_data();
    void measure();
};

void TestPlanReport::documentFollowsTheReport_data()
{
    QTest::addColumn<QList<QList<LinePlan>>>("runs");
    QTest::addColumn<QList<int>>("rowsWritten");

    QTest::newRow("first table whole, same again untouched") << QList<QList<LinePlan>>{run(dive(30.0f)), run(dive(30.0f))}
                                                             << QList<int>{8, 0};
    QTest::newRow("a dragged depth: its rows and nothing else")
        << QList<QList<LinePlan>>{run(dive(30.0f)), run(dive(31.5f)), run(dive(30.0f))} << QList<int>{8, 2, 2};
    QTest::newRow("longer last stop, CNS and OTU") << QList<QList<LinePlan>>{run(dive(30.0f)), run(dive(30.0f, 25.0f, 0, 6.0f), 7.0f, 15.0f)}
                                                   << QList<int>{8, 4};
    QTest::newRow("a switch to another gas names it")
        << QList<QList<LinePlan>>{run(dive(30.0f)), run(dive(30.0f, 25.0f, 1))} << QList<int>{8, 1};
    QTest::newRow("runtime passing the hour") << QList<QList<LinePlan>>{run(dive(30.0f, 50.0f)), run(dive(30.0f, 58.0f))}
                                              << QList<int>{8, 5};
    QTest::newRow("one stop more, one less: written whole")
        << QList<QList<LinePlan>>{run(dive(30.0f)), run(dive(30.0f) << segment(LinePlan::Level, true, 0.0f, 1.0f, 40.0f, 0)),
                                  run(dive(30.0f))}
        << QList<int>{8, 9, 8};
    QTest::newRow("no segment at all") << QList<QList<LinePlan>>{run({}), run(dive(30.0f)), run({})} << QList<int>{2, 8, 2};
}

void TestPlanReport::documentFollowsTheReport()
{
    // The document updated row by row reads exactly as the report's rich text
    // set whole (what the plan panel showed before): text, paragraph and
    // character formats, images, in the document's own HTML.
    QFETCH(QList<QList<LinePlan>>, runs);
    QFETCH(QList<int>, rowsWritten);

    QTextDocument shown;
    PlanTableDocument table(&shown);
    PlanReport report;
    const auto readsAsWhole = [&] {
        QTextDocument whole;
        whole.setHtml(report.html());
        return shown.toHtml() == whole.toHtml() && shown.toPlainText() == whole.toPlainText();
    };
    for (qsizetype i = 0; i < runs.size(); ++i) {
        for (const LinePlan& record : runs.at(i))
            report.add(record);
        table.show(report);
        QVERIFY(readsAsWhole());
        QCOMPARE(table.rowsWritten(), rowsWritten.at(i));
        QCOMPARE(report.header() + report.rows().join(QString()) + report.footer(), report.html());
    }
    QVERIFY(!shown.isUndoAvailable());

    // Someone else wrote into the document: the next table is written whole,
    // whether it was said (forget) or not.
    shown.setPlainText(QStringLiteral("other text"));
    table.show(report);
    QCOMPARE(table.rowsWritten(), int(report.rows().size()));
    QVERIFY(readsAsWhole());
    table.forget();
    table.show(report);
    QCOMPARE(table.rowsWritten(), int(report.rows().size()));
}

void TestPlanReport::rows_data()
{
    QTest::addColumn<LinePlan>("record");
    QTest::addColumn<int>("lastGasBefore");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("text");

    QTest::newRow("own descent, air named") << segment(LinePlan::Descent, false, 20.0f, 1.0f, 1.0f, 0) << -1
                                            << icon("arrowDdive") + QStringLiteral("     20m |    01:00 |    01:00 | Air</p>")
                                            << QStringLiteral("\u2193     20m |    01:00 |    01:00 | Air");
    QTest::newRow("computed stop, same gas unnamed") << segment(LinePlan::Level, true, 3.0f, 2.5f, 41.25f, 0) << 0
                                                     << icon("arrowR") + QStringLiteral("      3m |    02:30 |    41:15 | </p>")
                                                     << QStringLiteral("\u2192      3m |    02:30 |    41:15 |");
    QTest::newRow("computed ascent on oxygen") << segment(LinePlan::Ascent, true, 6.0f, 0.5f, 30.0f, 3) << 0
                                               << icon("arrowU") + QStringLiteral("      6m |    00:30 |    30:00 | Oxy</p>")
                                               << QStringLiteral("\u2191      6m |    00:30 |    30:00 | Oxy");
    QTest::newRow("sixth gas never named") << segment(LinePlan::Level, false, 12.5f, 3.0f, 10.0f, 5) << 0
                                           << icon("arrowRdive") + QStringLiteral("   12.5m |    03:00 |    10:00 | </p>")
                                           << QStringLiteral("\u2192   12.5m |    03:00 |    10:00 |");
    QTest::newRow("runtime from one hour: hours, no gas") << segment(LinePlan::Level, false, 40.0f, 61.0f, 75.5f, 1)
                                                          << 0
                                                          << icon("arrowRdive") + QStringLiteral("     40m | 01:01:00 | 01:15:30 |</p>")
                                                          << QStringLiteral("\u2192     40m | 01:01:00 | 01:15:30 |");
    QTest::newRow("just under an hour") << segment(LinePlan::Ascent, false, 0.0f, 0.25f, 59.99f, 1) << 0
                                        << icon("arrowUdive") + QStringLiteral("      0m |    00:15 |    59:59 | Nx40</p>")
                                        << QStringLiteral("\u2191      0m |    00:15 |    59:59 | Nx40");
}

void TestPlanReport::rows()
{
    QFETCH(LinePlan, record);
    QFETCH(int, lastGasBefore);
    QFETCH(QString, row);
    QFETCH(QString, text);

    PlanReport report;
    report.add(ofKind(LinePlan::Reset));
    if (lastGasBefore >= 0)
        report.add(segment(LinePlan::Descent, false, 1.0f, 0.1f, 0.1f, lastGasBefore));
    const QString before = report.html();
    const QString beforeText = report.text();
    QVERIFY(!report.add(record));
    QCOMPARE(report.html().mid(before.size()), QStringLiteral("<p %1>").arg(kStyle) + row);
    QCOMPARE(report.text().mid(beforeText.size()), text + QLatin1Char('\n'));
}

void TestPlanReport::wholeTable()
{
    PlanReport report;
    QCOMPARE(report.lastGasShown(), -1);
    report.add(ofKind(LinePlan::Reset));
    QVERIFY(report.html().startsWith(QStringLiteral("<html><head><meta name=\"qrichtext\" content=\"1\" />")));
    QVERIFY(report.html().endsWith(
        QStringLiteral("li.checked::marker { content: \"\\2612\"; }</style></head><body style=\" font-family:'Courier "
                       "New'; font-size:9pt; font-weight:400; font-style:normal;\">")));
    report.add(segment(LinePlan::Descent, false, 20.0f, 1.0f, 1.0f, 0));
    QCOMPARE(report.lastGasShown(), 0);
    QVERIFY(report.add(ofKind(LinePlan::Summary, 12.6f, 33.4f)));
    QVERIFY(report.html().endsWith(QStringLiteral("<p %1>CNS 13%<p %1>OTU 33  </body></html>").arg(kStyle)));
    QVERIFY(report.text().endsWith(QStringLiteral("CNS 13%\nOTU 33\n")));

    // A new run starts over: the gas is named again.
    report.add(ofKind(LinePlan::Reset));
    QCOMPARE(report.lastGasShown(), -1);
    QVERIFY(report.text().isEmpty());
    // Values that are not numbers show as 0 rather than garbage.
    report.add(ofKind(LinePlan::Summary, std::nanf(""), INFINITY));
    QVERIFY(report.html().endsWith(QStringLiteral("<p %1>CNS 0%<p %1>OTU 0  </body></html>").arg(kStyle)));
}

void TestPlanReport::gasesNamedAfterTheDive()
{
    // Deco-gas plans carry indexes into the dive's gases (here air, 30 %, 40 %
    // and three oxygens): the fixed table would call gas 1 "Nx40" and gas 2
    // "Oxy". Gas 5 is a real gas then and gets its name; an index past the
    // dive's gases gets none.
    PlanReport report;
    report.setGasNames({QStringLiteral("Air"), QStringLiteral("Nx30"), QStringLiteral("Nx40"), QStringLiteral("Oxy"),
                        QStringLiteral("Oxy"), QStringLiteral("Oxy")});
    report.add(ofKind(LinePlan::Reset));
    for (const int gas : {0, 1, 2, 2, 5, 6})
        report.add(segment(LinePlan::Level, true, 9.0f, 1.0f, 20.0f, gas));
    const QStringList rows = report.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList names;
    for (const QString& row : rows)
        names << row.section(QLatin1Char('|'), 3).trimmed();
    QCOMPARE(names, (QStringList{"Air", "Nx30", "Nx40", "", "Oxy", ""}));
    QCOMPARE(report.lastGasShown(), 5);

    // Without names the fixed table holds, and survives a reset.
    report.setGasNames({});
    report.add(ofKind(LinePlan::Reset));
    report.add(segment(LinePlan::Level, true, 9.0f, 1.0f, 20.0f, 2));
    QVERIFY(report.text().endsWith(QStringLiteral("| Oxy\n")));
}

void TestPlanReport::measure_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("duration");
    QTest::addColumn<double>("speed"); // NaN: none

    QTest::newRow("descent") << 0 << 1 << true << 120.0 << 10.0;
    QTest::newRow("either order, ascent") << 3 << 2 << true << 180.0 << -5.0;
    QTest::newRow("same time: no speed") << 1 << 2 << true << 0.0 << qQNaN();
    QTest::newRow("one point twice") << 2 << 2 << false << 0.0 << 0.0;
    QTest::newRow("missing point") << -1 << 2 << false << 0.0 << 0.0;
    QTest::newRow("past the end") << 1 << 4 << false << 0.0 << 0.0;
}

void TestPlanReport::measure()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, valid);
    QFETCH(double, duration);
    QFETCH(double, speed);

    Dive dive;
    const std::pair<double, double> points[] = {{0.0, 0.0}, {120.0, 20.0}, {120.0, 30.0}, {300.0, 15.0}};
    for (const auto& [time, depth] : points) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        dive.lines.append(line);
    }
    const auto measured = PointMeasure::between(dive, a, b);
    QCOMPARE(measured.has_value(), valid);
    if (!valid)
        return;
    QVERIFY(measured->first < measured->second);
    QCOMPARE(measured->duration, duration);
    QCOMPARE(measured->speed.has_value(), !qIsNaN(speed));
    if (measured->speed)
        QCOMPARE(*measured->speed, speed);
}

QTEST_MAIN(TestPlanReport)
#include "tst_planreport.moc"
