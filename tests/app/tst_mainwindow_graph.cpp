// The window and its logbook profile view: the dive shown, the layer check
// boxes, position information under the pointer, files dropped on the
// profile and "Save selection" of its context menu.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "app/floatinginformation.h"
#include "divedata/divelinesio.h"
#include "divedata/uddffile.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"
#include "profilor/profiletypes.h"

#include <QCheckBox>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

using namespace windowtest;

class TestMainWindowGraph : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void diveShownAndLayers();
    void positionInformation();
    void droppedOnTheProfile();
    void saveSelection();
    void saveSelectionOrdersAndClampsTheRange();
    void saveSelectionFailures();

private:
    // A window showing the first dive of a one-dive logbook (300 s, 30 m).
    std::unique_ptr<MainWindow> windowWithDive();
    QPointF at(double time) const;
    void mouse(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers);
    // A Shift drag from one time to another, released at `releaseAt` (a
    // viewport point, so that it can lie outside the graph).
    void shiftDrag(double from, double to, std::optional<QPointF> releaseAt = std::nullopt);
    // Opens the profile's context menu; triggers the entry when it is there.
    // False when no menu opened.
    bool graphMenu(const QString& entry);
    Dive savedDive(const QString& path);

    ScriptedDialogs* mDialogs = nullptr;
    GraphView* mGraph = nullptr;
    std::unique_ptr<QTemporaryDir> mDir;
};

void TestMainWindowGraph::init()
{
    clearDataDirectory();
    mDialogs = ScriptedDialogs::install();
    mDir = std::make_unique<QTemporaryDir>();
}

void TestMainWindowGraph::cleanup()
{
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
    mDir.reset();
    mGraph = nullptr;
}

std::unique_ptr<MainWindow> TestMainWindowGraph::windowWithDive()
{
    if (!storeDives({makeDive("Reef", "S1", localSecs(2023, 6, 1), 61, 30.0)}))
        return nullptr;
    auto window = shownWindow(QSize(1400, 900));
    if (!window)
        return nullptr;
    mGraph = window->findChild<GraphView*>(QStringLiteral("graphView"));
    if (!mGraph)
        return nullptr;
    clickRow(diveList(*window), 1);
    return window;
}

QPointF TestMainWindowGraph::at(double time) const
{
    const DiveProfileItem* item = mGraph->profileItem();
    // Half a second in, so that the view's whole-second time is `time`.
    const QPointF itemPoint(item->view().timeToX(time + 0.5), item->view().graph.center().y());
    return QPointF(mGraph->mapFromScene(item->mapToScene(itemPoint)));
}

void TestMainWindowGraph::mouse(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                                Qt::KeyboardModifiers modifiers)
{
    QWidget* viewport = mGraph->viewport();
    QMouseEvent event(type, pos, viewport->mapTo(viewport->window(), pos), viewport->mapToGlobal(pos), button,
                      buttons, modifiers, QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(viewport, &event);
}

void TestMainWindowGraph::shiftDrag(double from, double to, std::optional<QPointF> releaseAt)
{
    mouse(QEvent::MouseMove, at(from), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    mouse(QEvent::MouseButtonPress, at(from), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseMove, at(to), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, releaseAt.value_or(at(to)), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
}

bool TestMainWindowGraph::graphMenu(const QString& entry)
{
    // The view runs its menu modally: answer it from inside its event loop.
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        opened = true;
        if (QAction* action = menuAction(menu, {entry}))
            action->trigger();
        menu->close();
    });
    const QPoint pos = at(150).toPoint();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, mGraph->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(mGraph->viewport(), &event);
    QCoreApplication::processEvents(); // the timer, when no menu ran its own loop
    return opened;
}

Dive TestMainWindowGraph::savedDive(const QString& path)
{
    Dive dive;
    UddfFile().readDive(path, dive);
    return dive;
}

void TestMainWindowGraph::diveShownAndLayers()
{
    const auto window = windowWithDive();
    QVERIFY(window);
    QCOMPARE(mGraph->getDiveProfile(), &window->currentDive());
    QVERIFY(mGraph->profileItem()->title().contains(QStringLiteral("Reef")));

    // The window gave the profile its icons before making it.
    QCOMPARE(Marker::sInfoFilename, QStringLiteral(":/TestGraphics/icons/mark_info.png"));
    QCOMPARE(Marker::sAlertRRFilename, QStringLiteral(":/TestGraphics/icons/alertRR.png"));
    QCOMPARE(Marker::sAlertDensityFilename, QStringLiteral(":/TestGraphics/icons/alertDensity.png"));
    QCOMPARE(Marker::sGasFilenames[7], QStringLiteral(":/TestGraphics/icons/gas8.png"));
    QVERIFY(Marker::sDTRFilename.isEmpty() && Marker::sAlertYoyoFilename.isEmpty());
    QVERIFY(!Marker::gasImage(0)->isNull());
    QVERIFY(!Marker::markerImage(MarkerType::Diver)->isNull());
    QVERIFY(!Marker::iconImage(IconType::AlertCNS)->isNull());
    QVERIFY(Marker::iconImage(IconType::DTR)->isNull());

    const ShowItemsState& flags = mGraph->profileItem()->itemFlags();
    QVERIFY(!flags.points); // as the form's check boxes start
    QVERIFY(flags.temperature && flags.tankPressure);
    child<QCheckBox>(*window, "ckPoints")->click();
    child<QCheckBox>(*window, "ckTemperature")->click();
    child<QCheckBox>(*window, "ckTankPressure")->click();
    QVERIFY(mGraph->profileItem()->itemFlags().points);
    QVERIFY(!mGraph->profileItem()->itemFlags().temperature);
    QVERIFY(!mGraph->profileItem()->itemFlags().tankPressure);
    QVERIFY(mGraph->profileItem()->itemFlags().deco);

    // Zoomed in, the fit button shows the whole dive again.
    DiveProfileItem* item = mGraph->profileItem();
    const double span = item->view().endTime - item->view().startTime;
    item->zoom(Axis::Time, 2.0, item->view().timeToX(200));
    QVERIFY(item->view().endTime - item->view().startTime < span * 0.75);
    QTest::mouseClick(child<QToolButton>(*window, "btFitAllVisu"), Qt::LeftButton);
    QCOMPARE(item->view().startTime, 0.0);
    QCOMPARE(item->view().endTime - item->view().startTime, span);
}

void TestMainWindowGraph::positionInformation()
{
    const auto window = windowWithDive();
    QVERIFY(window);
    auto* floating = window->findChild<FloatingInformation*>(QStringLiteral("floatingInformation"));
    auto* floatingText = window->findChild<QTextEdit*>(QStringLiteral("floatingInformationText"));
    auto* docked = child<QTextEdit>(*window, "edInformation");
    QVERIFY(floating && floatingText);

    // The text the view gives for a time, as the text boxes show it.
    const auto shownText = [this](int time) {
        QTextDocument document;
        document.setHtml(mGraph->getInfosOnPosition(QPointF(), time));
        return document.toPlainText();
    };

    // The summary is shown: the text goes to the floating window.
    mouse(QEvent::MouseMove, at(120), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QVERIFY(floatingText->toPlainText().contains(QStringLiteral("Position information")));
    QCOMPARE(floatingText->toPlainText(), shownText(120));
    QVERIFY(docked->toPlainText().isEmpty());
    // Outside the profile the floating window keeps its last text.
    mouse(QEvent::MouseMove, QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCOMPARE(floatingText->toPlainText(), shownText(120));

    // The summary hidden: the docked box shows it, and clears outside.
    QTest::mouseClick(child<QToolButton>(*window, "btMaxMinProfile"), Qt::LeftButton);
    mouse(QEvent::MouseMove, at(60), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCOMPARE(docked->toPlainText(), shownText(60));
    QVERIFY(docked->toPlainText().contains(QStringLiteral("Depth")));
    QCOMPARE(floatingText->toPlainText(), shownText(120));
    mouse(QEvent::MouseMove, QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QVERIFY(docked->toPlainText().isEmpty());
}

void TestMainWindowGraph::droppedOnTheProfile()
{
    const auto window = windowWithDive();
    QVERIFY(window);
    const QString uddf = mDir->filePath("wall.uddf");
    QVERIFY(UddfFile().writeDive(uddf, makeDive("Wall", "U1", localSecs(2023, 8, 2))));
    const QString csv = mDir->filePath("lake.csv");
    QVERIFY(QFile::copy(uddf, csv));

    const auto drop = [this](const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        const QPoint pos = at(100).toPoint();
        // As a real drag: it enters the profile, then drops there.
        QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mGraph->viewport(), &enter);
        QDropEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mGraph->viewport(), &event);
    };
    drop({csv, uddf});
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].text, QStringLiteral("Invalid File"));
    QCOMPARE(window->currentDive().name, QStringLiteral("Reef"));

    drop({uddf, csv});
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(window->currentDive().name, QStringLiteral("Wall"));
    QCOMPARE(window->currentDiveId(), -1);
    QCOMPARE(mGraph->getDiveProfile(), &window->currentDive());
    QVERIFY(child<QToolButton>(*window, "btStoreDive")->isEnabled());
}

void TestMainWindowGraph::saveSelection()
{
    const auto window = windowWithDive();
    QVERIFY(window);
    // No selection: the profile has no menu.
    QVERIFY(!graphMenu(QStringLiteral("Save selection")));

    shiftDrag(100, 200);
    QVERIFY(mGraph->hasSelection());
    const QString path = mDir->filePath("part.uddf");
    script(mDialogs->fileNames, {path});
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    QCOMPARE(mDialogs->fileDialogs.size(), 1);
    QCOMPARE(mDialogs->fileDialogs[0].title, QStringLiteral("Save Dive File"));
    QVERIFY(mDialogs->fileDialogs[0].text.endsWith(
        QStringLiteral("|Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)")));
    QVERIFY(mDialogs->messages.isEmpty());

    Dive part = savedDive(path);
    QVERIFY(part.lines.size() > 4);
    // The extracted part as it stands: a planned profile with the dive's
    // gases, no name or date of its own (a nameless dive's
    // UDDF id, and so its name read back, is "000000").
    QCOMPARE(part.name, QStringLiteral("000000"));
    QCOMPARE(part.beginTime, 0);
    QCOMPARE(part.gases.size(), window->currentDive().gases.size());
    part.computeStatistics();
    // 100 s of bottom between a descent and an ascent at the selected depths.
    Dive expected = window->currentDive().extractPortion(100, 200);
    expected.computeStatistics();
    QCOMPARE(part.lines.size(), expected.lines.size());
    QVERIFY(std::abs(part.maxTime - expected.maxTime) < 1.0);

    // Cancelled: nothing written, nothing said.
    QVERIFY(QFile::remove(path));
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(mDialogs->messages.isEmpty());

    // A CSV file keeps the files' own separator ','; the separator choice is
    // that of "Export".
    window->setCsvSeparatorChoice(CsvSeparator::Semicolon);
    const QString csv = mDir->filePath("part.csv");
    script(mDialogs->fileNames, {csv});
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString titles = QString::fromUtf8(file.readLine());
    QVERIFY(titles.contains(QStringLiteral("Nom de l'ordinateur,")));
    QVERIFY(!titles.contains(u';'));

    // Escape clears the selection, and the menu with it.
    QTest::keyClick(mGraph, Qt::Key_Escape);
    QVERIFY(!graphMenu(QStringLiteral("Save selection")));
}

void TestMainWindowGraph::saveSelectionOrdersAndClampsTheRange()
{
    const auto window = windowWithDive();
    QVERIFY(window);
    const Dive& shown = window->currentDive();

    // A selection whose start came after its end: a new Shift press at 280 s,
    // released outside the graph, keeps the old end of 150 s.
    shiftDrag(100, 150);
    QCOMPARE(mGraph->getSelection(), qMakePair(100, 150));
    mouse(QEvent::MouseButtonPress, at(280), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, QPointF(2, 2), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    QCOMPARE(mGraph->getSelection(), qMakePair(280, 150));
    QVERIFY(mGraph->hasSelection());
    const QString reversed = mDir->filePath("reversed.uddf");
    script(mDialogs->fileNames, {reversed});
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    Dive part = savedDive(reversed);
    QVERIFY(!part.lines.isEmpty());
    for (qsizetype i = 1; i < part.lines.size(); ++i)
        QVERIFY2(part.lines[i].timeSec >= part.lines[i - 1].timeSec, "times run forward");
    QCOMPARE(part.lines.size(), shown.extractPortion(150, 280).lines.size());

    // A selection that ends past the dive stops at its end (the profile
    // moved on, so that the graph shows time after the dive).
    mGraph->profileItem()->pan(200);
    const double pastEnd = shown.maxTime + 30.0;
    QVERIFY(mGraph->insideGraph(mGraph->mapToScene(at(pastEnd).toPoint())));
    shiftDrag(200, pastEnd);
    QVERIFY(mGraph->getSelection().second > 300);
    const QString beyond = mDir->filePath("beyond.uddf");
    script(mDialogs->fileNames, {beyond});
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    part = savedDive(beyond);
    part.computeStatistics();
    Dive clamped = shown.extractPortion(200, 300);
    clamped.computeStatistics();
    QCOMPARE(part.lines.size(), clamped.lines.size());
    QVERIFY(std::abs(part.maxTime - clamped.maxTime) < 1.0);
    QVERIFY(mDialogs->messages.isEmpty());
}

void TestMainWindowGraph::saveSelectionFailures()
{
    const auto window = windowWithDive();
    QVERIFY(window);
    shiftDrag(60, 240);

    script(mDialogs->fileNames, {mDir->filePath("part.divebin")});
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    const QStringList refusals{"Error|Invalid File Name", "Error|Impossible to open file"};
    QCOMPARE(mDialogs->messageTexts(), refusals.mid(0, 1));

    // A file that cannot be written is reported, not passed over.
    script(mDialogs->fileNames, {mDir->filePath("no/such/folder/part.uddf")});
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    QCOMPARE(mDialogs->messageTexts(), refusals);

    // A selection wholly past the end of the dive holds nothing to save.
    const double end = window->currentDive().maxTime;
    mGraph->profileItem()->pan(200);
    shiftDrag(end + 5, end + 15);
    QVERIFY(mGraph->hasSelection());
    QVERIFY(graphMenu(QStringLiteral("Save selection")));
    QCOMPARE(mDialogs->messages.size(), 3);
    QCOMPARE(mDialogs->messages[2].text, QStringLiteral("Invalid selection"));
    QCOMPARE(mDialogs->fileDialogs.size(), 2); // no dialog for it
}

QTEST_MAIN(TestMainWindowGraph)
#include "tst_mainwindow_graph.moc"
