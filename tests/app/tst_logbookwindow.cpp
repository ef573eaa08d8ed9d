// The logbook window as a new user meets it: the first-start hint, the
// floating position window's place and text, the dive list followed by the
// keyboard, and list columns that fit.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "app/firststarthint.h"
#include "app/languageholder.h"
#include "app/floatinginformation.h"
#include "divedata/uddffile.h"
#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

using namespace windowtest;

class TestLogbookWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartHint();
    void floatingInformationPlacedAndCleared();
    void keyboardShowsTheDive();
    void columnsFitTheirTexts_data();
    void columnsFitTheirTexts();
    void fitsSmallScreens();
    void screenshots();

private:
    std::unique_ptr<MainWindow> showWindow(QSize size = QSize(1400, 900));
    // A pointer move over the logbook profile at a dive time, or at a point
    // of its viewport.
    void hover(double time);
    void hoverAt(QPointF pos);

    ScriptedDialogs* mDialogs = nullptr;
    GraphView* mGraph = nullptr;
};

void TestLogbookWindow::init()
{
    clearDataDirectory();
    mDialogs = ScriptedDialogs::install();
}

void TestLogbookWindow::cleanup()
{
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
    mGraph = nullptr;
}

std::unique_ptr<MainWindow> TestLogbookWindow::showWindow(QSize size)
{
    auto window = shownWindow(size);
    mGraph = window ? window->findChild<GraphView*>(QStringLiteral("graphView")) : nullptr;
    return window;
}

void TestLogbookWindow::hover(double time)
{
    const DiveProfileItem* item = mGraph->profileItem();
    const QPointF itemPoint(item->view().timeToX(time + 0.5), item->view().graph.center().y());
    hoverAt(mGraph->mapFromScene(item->mapToScene(itemPoint)));
}

void TestLogbookWindow::hoverAt(QPointF pos)
{
    QWidget* viewport = mGraph->viewport();
    QMouseEvent event(QEvent::MouseMove, pos, viewport->mapTo(viewport->window(), pos), viewport->mapToGlobal(pos),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(viewport, &event);
}

void TestLogbookWindow::firstStartHint()
{
    // An empty logbook with the file commands hidden: the computer button,
    // demo mode and the switch that shows the file commands.
    {
        const auto window = showWindow();
        QVERIFY(window);
        auto* hint = child<FirstStartHint>(*window, "firstStartHint");
        QVERIFY(hint && hint->isVisible());
        QVERIFY(hint->text().contains(QStringLiteral("Download dives")));
        QVERIFY(hint->text().contains(QStringLiteral("--demo")));
        QVERIFY(hint->text().contains(QStringLiteral("import=1")));
        QVERIFY(hint->text().contains(QDir::toNativeSeparators(DataDirectory::optionsFile())));
        QVERIFY(!child<QToolButton>(*window, "btImportDive")->isVisible());
    }

    // With the file commands: the hint names them, and is gone once a dive
    // is shown, and for good once the logbook holds one.
    QSettings options(DataDirectory::optionsFile(), QSettings::IniFormat);
    options.setValue(QStringLiteral("hidden/import"), 1);
    options.sync();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("reef.uddf"));
    QVERIFY(UddfFile().writeDive(path, makeDive("Reef", "U1", localSecs(2023, 1, 1))));
    {
        const auto window = showWindow();
        QVERIFY(window);
        auto* hint = child<FirstStartHint>(*window, "firstStartHint");
        QVERIFY(hint->isVisible());
        QVERIFY(hint->text().contains(QStringLiteral("folder button")));
        QVERIFY(!hint->text().contains(QStringLiteral("import=1")));
        mDialogs->fileNames.enqueue(path);
        QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
        QCOMPARE(window->currentDive().name, QStringLiteral("Reef"));
        QVERIFY(!hint->isVisible());
        QTest::mouseClick(child<QToolButton>(*window, "btStoreDive"), Qt::LeftButton);
        QCOMPARE(diveList(*window)->rowCount(), 2);
    }
    const auto window = showWindow();
    QVERIFY(window);
    QVERIFY(!child<FirstStartHint>(*window, "firstStartHint")->isVisible());
    QVERIFY(mDialogs->messages.isEmpty());
}

void TestLogbookWindow::floatingInformationPlacedAndCleared()
{
    QVERIFY(storeDives({makeDive("Reef", "S1", localSecs(2023, 6, 1), 61, 30.0),
                        makeDive("Wall", "S1", localSecs(2023, 6, 2), 61, 20.0)}));
    const auto window = showWindow();
    QVERIFY(window && mGraph);
    auto* floating = child<FloatingInformation>(*window, "floatingInformation");
    auto* profileArea = child<QWidget>(*window, "widgetGraph");
    const auto frame = [profileArea] { return QRect(profileArea->mapToGlobal(QPoint(0, 0)), profileArea->size()); };
    QTableWidget* list = diveList(*window);

    // A dive just opened has nothing to say yet: no empty box.
    clickRow(list, 1);
    QVERIFY(!floating->isVisible());
    QVERIFY(!floating->hasInformation());

    // The pointer on the right half: the window shows in the top-left corner
    // of the profile, inside it, sized to its text.
    hover(250);
    QVERIFY(floating->isVisible());
    QVERIFY(floating->information().contains(QStringLiteral("Position information")));
    QVERIFY(frame().contains(floating->geometry()));
    QVERIFY(floating->geometry().center().x() < frame().center().x());
    QVERIFY(floating->height() < 290);

    // The pointer comes near it: it moves to the other corner.
    const QRect before = floating->geometry();
    const QPointF near = mGraph->viewport()->mapFromGlobal(QPoint(before.right() + 10, before.center().y()));
    hoverAt(near);
    QVERIFY(floating->geometry().center().x() > frame().center().x());
    QVERIFY(frame().contains(floating->geometry()));
    hoverAt(near + QPointF(5, 0)); // stays: the pointer is far from its new place
    QVERIFY(floating->geometry().center().x() > frame().center().x());

    // The window shrinks and moves: the floating window stays inside.
    window->resize(1024, 680);
    window->move(window->pos() + QPoint(37, 21));
    QTRY_VERIFY(frame().contains(floating->geometry()));
    // A narrower profile: the window takes about a third of it, its text whole.
    hover(250);
    QVERIFY(frame().contains(floating->geometry()));
    QVERIFY2(floating->width() * 5 < frame().width() * 2, qPrintable(QString::number(floating->width())));
    const auto* text = child<QTextEdit>(*window, "floatingInformationText");
    QVERIFY(text->document()->size().height() <= text->viewport()->height() + 1);

    // Another dive: the old text, selection table and all, is gone.
    clickRow(list, 2);
    QVERIFY(!floating->isVisible());
    QVERIFY(floating->information().isEmpty());
    // Hiding and showing the summary brings nothing back while it is empty.
    auto* toggle = child<QToolButton>(*window, "btMaxMinProfile");
    QTest::mouseClick(toggle, Qt::LeftButton);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QVERIFY(!floating->isVisible());
}

void TestLogbookWindow::keyboardShowsTheDive()
{
    QVERIFY(storeDives({makeDive("Newest", "S1", localSecs(2023, 6, 3)), makeDive("Middle", "S1", localSecs(2023, 6, 2)),
                        makeDive("Oldest", "S1", localSecs(2023, 6, 1))}));
    const auto window = showWindow();
    QVERIFY(window);
    QTableWidget* list = diveList(*window);
    clickRow(list, 1);
    QCOMPARE(window->currentDive().name, QStringLiteral("Newest"));

    // The arrow keys move the selection, and the dive shown follows.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(window->currentDive().name, QStringLiteral("Middle"));
    QVERIFY(list->item(2, 0)->font().bold());

    // Unsaved notes are asked about as for a click: No discards them.
    auto* place = child<QLineEdit>(*window, "edPlace");
    QTest::keyClicks(place, QStringLiteral("Blue hole"));
    QVERIFY(window->userInformationModified());
    mDialogs->answers.enqueue(false);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Unsaved changes"));
    QCOMPARE(window->currentDive().name, QStringLiteral("Oldest"));
    Dive stored;
    QVERIFY(DiveDb::instance()->loadDive(list->item(2, 0)->data(Qt::UserRole).toInt(), stored));
    QVERIFY(stored.place.isEmpty());

    // Yes stores them with the dive they were typed for.
    const int oldestId = window->currentDiveId();
    QTest::keyClicks(place, QStringLiteral("Canyon"));
    mDialogs->answers.enqueue(true);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(mDialogs->questions.size(), 2);
    QCOMPARE(window->currentDive().name, QStringLiteral("Middle"));
    QVERIFY(DiveDb::instance()->loadDive(oldestId, stored));
    QCOMPARE(stored.place, QStringLiteral("Canyon"));

    // The computer's header row has no dive; Shift extends the selection
    // without showing another dive.
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(window->currentDive().name, QStringLiteral("Newest"));
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(window->currentDive().name, QStringLiteral("Newest"));
    QTest::keyClick(list, Qt::Key_PageDown);
    QCOMPARE(window->currentDive().name, QStringLiteral("Oldest"));
    QCOMPARE(mDialogs->questions.size(), 2);
    QVERIFY(mDialogs->messages.isEmpty());
}

void TestLogbookWindow::columnsFitTheirTexts_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("language");
    QTest::newRow("1024x680") << QSize(1024, 680) << QStringLiteral("en");
    QTest::newRow("1024x680 French") << QSize(1024, 680) << QStringLiteral("fr");
    QTest::newRow("1600x1000") << QSize(1600, 1000) << QStringLiteral("en");
}

void TestLogbookWindow::columnsFitTheirTexts()
{
    QFETCH(QSize, size);
    QFETCH(QString, language);
    const QString dir = QCoreApplication::applicationDirPath();
    QVERIFY(LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), dir, language));
    const auto restore = qScopeGuard(
        [&dir] { LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), dir, QStringLiteral("en")); });

    // Every column's title whole in the pane, no horizontal scroll bar, and
    // every layer switch of the profile's tool row shown whole beside it.
    const auto fitsItsPane = [&size](MainWindow& window) {
        QCOMPARE(window.size(), size);
        QTableWidget* list = diveList(window);
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        QHeaderView* header = list->horizontalHeader();
        const QFontMetrics title(header->font());
        for (int column = 0; column < 4; ++column) {
            const int left = header->sectionViewportPosition(column);
            const int width = header->sectionSize(column);
            const QString text = list->horizontalHeaderItem(column)->text();
            QVERIFY2(left >= 0 && left + width <= header->viewport()->width(), qPrintable(text));
            QVERIFY2(title.horizontalAdvance(text) < width, qPrintable(text));
        }
        const auto* side = child<QWidget>(window, "wdGraphSide");
        for (auto* box : side->findChildren<QCheckBox*>()) {
            QVERIFY2(box->isVisible(), qPrintable(box->objectName()));
            QVERIFY2(side->rect().contains(QRect(box->mapTo(side, QPoint(0, 0)), box->sizeHint())),
                     qPrintable(box->objectName()));
        }
    };
    {
        const auto window = showWindow(size);
        QVERIFY(window);
        fitsItsPane(*window);
        if (QTest::currentTestFailed())
            return;
    }

    const QString longName = QStringLiteral("Blue hole, second dive of the day along the north wall");
    Dive deep = makeDive(longName, "S1", localSecs(2023, 12, 28, 23, 59), 60, 104.5);
    QVERIFY(storeDives({deep, makeDive("Short", "S1", localSecs(2023, 1, 1))}));
    const auto window = showWindow(size);
    QVERIFY(window);
    QTableWidget* list = diveList(*window);
    const int row = rowOf(list, longName);
    clickRow(list, row); // its row in bold
    fitsItsPane(*window);
    if (QTest::currentTestFailed())
        return;
    QFont bold = list->font();
    bold.setWeight(QFont::Bold);
    const QFontMetrics metrics(bold);
    for (int column = 1; column < 4; ++column) {
        const QString text = list->item(row, column)->text();
        QVERIFY2(metrics.horizontalAdvance(text) < list->columnWidth(column), qPrintable(text));
    }
    int total = 0;
    for (int column = 0; column < 4; ++column)
        total += list->columnWidth(column);
    QVERIFY(total <= list->viewport()->width());
    // What a column cannot show whole, its tool tip does.
    QCOMPARE(list->item(row, 0)->toolTip(), longName);
    QCOMPARE(list->item(row, 1)->toolTip(), list->item(row, 1)->text());
    QCOMPARE(list->item(0, 0)->toolTip(), list->item(0, 0)->text());

    // Each command its own icon.
    const QImage fit = child<QToolButton>(*window, "btFitAllVisu")->icon().pixmap(32).toImage();
    const QImage maximise = child<QToolButton>(*window, "btMaxMinProfile")->icon().pixmap(32).toImage();
    const QImage filter = child<QToolButton>(*window, "btFilter")->icon().pixmap(32).toImage();
    QVERIFY(fit != maximise);
    QVERIFY(fit != QIcon(QStringLiteral(":/TestGraphics/icons/maximize.png")).pixmap(32).toImage());
    QVERIFY(filter != QIcon(QStringLiteral(":/TestGraphics/icons/mark_info.png")).pixmap(32).toImage());
}

void TestLogbookWindow::fitsSmallScreens()
{
    // Every tab on, so the largest pages count in the window's minimum, in
    // English and in French (longer texts).
    QSettings options(DataDirectory::optionsFile(), QSettings::IniFormat);
    for (const char* key : {"hidden/simulation", "hidden/planification", "hidden/import", "hidden/planificationaddon"})
        options.setValue(QLatin1String(key), 1);
    options.sync();
    for (const char* language : {"en", "fr"}) {
        QVERIFY(LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), QCoreApplication::applicationDirPath(),
                                                 QLatin1String(language)));
        MainWindow window;
        const QSize least = window.minimumSizeHint();
        QVERIFY2(least.width() <= 1024 && least.height() <= 680,
                 qPrintable(QStringLiteral("%1: %2 x %3").arg(QLatin1String(language)).arg(least.width()).arg(least.height())));
        // The form's 1400 x 900 does not fit a 1024 x 680 screen: the window
        // takes the screen's free area.
        window.showFitted(QRect(0, 0, 1024, 680));
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isMaximized());
        window.close();
        DiveDb::instance()->close();
        // On a large screen it keeps the form's size.
        MainWindow large;
        large.showFitted(QRect(0, 0, 1600, 1000));
        QVERIFY(QTest::qWaitForWindowExposed(&large));
        QVERIFY(!large.isMaximized());
        QCOMPARE(large.size(), QSize(1400, 900));
        DiveDb::instance()->close();
    }
    LanguageHolder::instance()->load(QStringLiteral("PelagonDiveLog"), QCoreApplication::applicationDirPath(),
                                     QStringLiteral("en"));
}

// A recorded-looking dive: down at 18 m/min, a slightly wavy bottom, up at
// 9 m/min with a stop at 5 m; the water cools on the way down and the tank
// empties with depth.
static Dive screenshotDive(int number, const QString& serial, qint64 begin, double depth, int minutes)
{
    Dive dive = makeDive(QString::number(number), serial, begin, 0);
    dive.computerName = QStringLiteral("Pelagon");
    dive.surfacePressure = 1013;
    dive.gfLow = 40;
    dive.gfHigh = 85;
    double tank = 200.0;
    const double bottomEnd = minutes * 60.0 - depth / 9.0 * 60.0 - 180.0;
    for (double t = 0; t <= minutes * 60.0; t += 5.0) {
        DiveLine line;
        line.timeSec = t;
        const double ascent = (t - bottomEnd) / 60.0 * 9.0;
        if (t < depth / 18.0 * 60.0)
            line.depth = t / 60.0 * 18.0;
        else if (t < bottomEnd)
            line.depth = depth + 0.3 * std::sin(t / 7.0);
        else if (depth - ascent > 5.0)
            line.depth = depth - ascent;
        else if (t < minutes * 60.0 - 40.0)
            line.depth = 5.0;
        else
            line.depth = std::max(0.0, 5.0 * (minutes * 60.0 - t) / 40.0);
        line.ambientTemp = 26.0 - 3.0 * std::min(1.0, line.depth / 15.0);
        tank -= (1.0 + line.depth / 10.0) * 5.0 / 60.0 * 1.6;
        line.tankPressure = quint16(tank);
        line.gasIndex = 0;
        dive.lines.append(line);
    }
    dive.lines.last().depth = 0.0;
    dive.refreshDerived();
    return dive;
}

// Not a check: with PELAGON_SCREENSHOT_DIR set, saves the logbook window at
// 1024 x 680 and 1600 x 1000 for docs/, a dive shown with its position
// information.
void TestLogbookWindow::screenshots()
{
    const QString target = qEnvironmentVariable("PELAGON_SCREENSHOT_DIR");
    if (target.isEmpty())
        QSKIP("PELAGON_SCREENSHOT_DIR not set");
    QList<Dive> dives;
    const QStringList serials = {QStringLiteral("00A1B2C3-00000017-20240601"), QStringLiteral("00A1B2C3-00000021-20240915"),
                                 QStringLiteral("00B40017-00000003-20230310"), QStringLiteral("00B40017-00000009-20250122")};
    qint64 begin = localSecs(2020, 1, 4, 9);
    for (int number = 1; number <= 320; ++number) {
        begin += 86400 + (number * 7919 % 86400);
        const double depth = 12.0 + (number * 37 % 47);
        dives.append(screenshotDive(number, serials.at(number * 5 % 4), begin, depth, 25 + number * 13 % 50));
    }
    QVERIFY(storeDives(dives));
    for (const QSize& size : {QSize(1024, 680), QSize(1600, 1000)}) {
        const auto window = showWindow(size);
        QVERIFY(window);
        QTableWidget* list = diveList(*window);
        clickRow(list, 5);
        hover(600);
        // Let the details panel settle before the picture.
        QCoreApplication::processEvents();
        // The floating window is a window of its own: drawn over the grab.
        QPixmap picture = window->grab();
        auto* floating = child<FloatingInformation>(*window, "floatingInformation");
        QVERIFY(floating->isVisible());
        {
            QPainter painter(&picture);
            painter.drawPixmap(window->mapFromGlobal(floating->mapToGlobal(QPoint(0, 0))), floating->grab());
        }
        QVERIFY(picture.save(
            target + QStringLiteral("/logbook-window-%1x%2.png").arg(size.width()).arg(size.height())));
    }
}

QTEST_MAIN(TestLogbookWindow)
#include "tst_logbookwindow.moc"
