// The window's file commands and the shown dive's notes: opening and dropping
// dive files, storing, the unsaved-changes question, and the panel switch.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "divedata/binaryfile.h"
#include "divedata/csvfile.h"
#include "divedata/uddffile.h"

#include <QGraphicsView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

using namespace windowtest;

class TestMainWindowFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openFilesOfEachSuffix();
    void openFailuresKeepTheShownDive();
    void droppedFiles();
    void storeTwice();
    void fileOfSeveralDives();
    void unsavedChangesOnSwitchingDive();
    void unsavedChangesOnClosing();
    void notesOfADiveNotInTheLogbook();
    void maximiseAndMinimise();

private:
    QString writeFile(const QString& name, const Dive& dive);
    QString storedPlace(const QString& name);
    bool drop(MainWindow& window, const QStringList& files);

    ScriptedDialogs* mDialogs = nullptr;
    std::unique_ptr<QTemporaryDir> mDir;
};

void TestMainWindowFiles::init()
{
    clearDataDirectory();
    mDialogs = ScriptedDialogs::install();
    mDir = std::make_unique<QTemporaryDir>();
}

void TestMainWindowFiles::cleanup()
{
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
    mDir.reset();
}

QString TestMainWindowFiles::writeFile(const QString& name, const Dive& dive)
{
    const QString path = mDir->filePath(name);
    const bool written = name.endsWith(QLatin1String(".divebin")) ? BinaryFile().writeDive(path, dive)
                                                                   : UddfFile().writeDive(path, dive);
    return written ? path : QString();
}

QString TestMainWindowFiles::storedPlace(const QString& name)
{
    int computers = 0;
    for (const DiveListEntry& entry : DiveDb::instance()->listDives({}, DiveDb::ByDate, true, computers)) {
        if (entry.name == name) {
            Dive dive;
            return DiveDb::instance()->loadDive(entry.diveId, dive) ? dive.place : QStringLiteral("<unreadable>");
        }
    }
    return QStringLiteral("<missing>");
}

bool TestMainWindowFiles::drop(MainWindow& window, const QStringList& files)
{
    return QMetaObject::invokeMethod(&window, "dropFiles", Q_ARG(QStringList, files));
}

void TestMainWindowFiles::openFilesOfEachSuffix()
{
    const auto window = shownWindow();
    QVERIFY(window);
    auto* store = child<QToolButton>(*window, "btStoreDive");
    auto* open = child<QToolButton>(*window, "btImportDive");
    const QString settings = DataDirectory::settingsFile();

    const QString binary = writeFile("night.divebin", makeDive("Night", "B1", localSecs(2023, 8, 1), 80, 22.0));
    const QString uddf = writeFile("wall.uddf", makeDive("Wall", "U1", localSecs(2023, 8, 2), 90, 31.0));
    const QString csv = mDir->filePath("lake.csv");
    {
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 30; ++i)
            file.write(QStringLiteral("%1\t%2\t0\t12.5\t0\t0\t0\t99\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\n")
                           .arg(10 * i)
                           .arg(i < 15 ? i : 30 - i)
                           .toUtf8());
    }
    QVERIFY(!binary.isEmpty() && !uddf.isEmpty());

    struct Case
    {
        QString path;
        QString name;
        QString maxDepth;
    };
    for (const Case& c : {Case{binary, "Night", "22.0m"}, Case{uddf, "Wall", "31.0m"}, Case{csv, "lake", "15.0m"}}) {
        script(mDialogs->fileNames, {c.path});
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(window->currentDive().name, c.name);
        QCOMPARE(window->currentDiveId(), -1);
        QCOMPARE(child<QLabel>(*window, "lbMaxDepth")->text(), c.maxDepth);
        QVERIFY(store->isEnabled());
        QVERIFY(child<QTabWidget>(*window, "tabProfile")->isTabEnabled(1));
        QCOMPARE(QSettings(settings, QSettings::IniFormat).value("directories/lastDiveFile").toString(), mDir->path());
    }
    QVERIFY(mDialogs->messages.isEmpty());
    QCOMPARE(mDialogs->fileDialogs.size(), 3);
    QCOMPARE(mDialogs->fileDialogs[0].title, QStringLiteral("Open Dive File"));
    QCOMPARE(mDialogs->fileDialogs[0].text,
             QStringLiteral("|Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;"
                            "Binary dive file (*.divebin)"));
    QCOMPARE(mDialogs->fileDialogs[1].text.section(u'|', 0, 0), mDir->path());
}

void TestMainWindowFiles::openFailuresKeepTheShownDive()
{
    const auto window = shownWindow();
    QVERIFY(window);
    auto* open = child<QToolButton>(*window, "btImportDive");
    script(mDialogs->fileNames, {writeFile("wall.uddf", makeDive("Wall", "U1", localSecs(2023, 8, 2)))});
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(window->currentDive().name, QStringLiteral("Wall"));

    // Cancelled: nothing happens.
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(mDialogs->messages.isEmpty());

    // A damaged file, an unknown suffix, a missing file and a CSV export
    // (which holds no profile lines to show) are refused alike.
    const QString damaged = mDir->filePath("damaged.uddf");
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<uddf><profiledata>");
    file.close();
    const QString exported = mDir->filePath("export.csv");
    QVERIFY(CsvFile().writeDive(exported, makeDive("Exported", "C1", localSecs(2023, 1, 1))));
    script(mDialogs->fileNames, {damaged, mDir->filePath("notes.txt"), mDir->filePath("gone.divebin"), exported});
    for (int attempt = 0; attempt < 4; ++attempt)
        QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 4);
    for (const ScriptedDialogs::Shown& shown : std::as_const(mDialogs->messages)) {
        QCOMPARE(shown.title, QStringLiteral("Error"));
        QVERIFY2(shown.text.startsWith(QStringLiteral("Impossible to open file")), qPrintable(shown.text));
    }
    // The export holds no profile line: the message says so.
    QCOMPARE(mDialogs->messages[3].text,
             QStringLiteral("Impossible to open file\nIt holds no dive: not a single profile line could be read."));
    QCOMPARE(window->currentDive().name, QStringLiteral("Wall"));
    QCOMPARE(child<QLabel>(*window, "lbDiveName")->text(), QStringLiteral("Wall"));
}

void TestMainWindowFiles::droppedFiles()
{
    const auto window = shownWindow();
    QVERIFY(window);
    const QString uddf = writeFile("wall.uddf", makeDive("Wall", "U1", localSecs(2023, 8, 2)));
    const QString binary = writeFile("night.divebin", makeDive("Night", "B1", localSecs(2023, 8, 1)));
    const QString csv = mDir->filePath("lake.csv");
    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::WriteOnly));
    csvFile.close();

    QVERIFY(drop(*window, {csv, uddf}));
    QCOMPARE(mDialogs->messageTexts(), QStringList{"Error|Invalid File"});
    QVERIFY(window->currentDive().name.isEmpty());

    // Only the first file counts.
    QVERIFY(drop(*window, {binary, csv, uddf}));
    QCOMPARE(window->currentDive().name, QStringLiteral("Night"));
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).value("directories/lastDiveFile").toString(),
             mDir->path());
    QVERIFY(drop(*window, {uddf}));
    QCOMPARE(window->currentDive().name, QStringLiteral("Wall"));

    // The suffix is compared as written.
    const QString upper = mDir->filePath("WALL.UDDF");
    QVERIFY(QFile::copy(uddf, upper));
    QVERIFY(drop(*window, {upper}));
    QCOMPARE(mDialogs->messageTexts(), QStringList(2, QStringLiteral("Error|Invalid File")));
    QVERIFY(drop(*window, {}));
    QCOMPARE(mDialogs->messages.size(), 2);
}

void TestMainWindowFiles::storeTwice()
{
    const auto window = shownWindow();
    QVERIFY(window);
    auto* store = child<QToolButton>(*window, "btStoreDive");
    auto* list = diveList(*window);
    const QString uddf = writeFile("wall.uddf", makeDive("Wall", "U1", localSecs(2023, 8, 2)));

    script(mDialogs->fileNames, {uddf, uddf});
    QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
    QVERIFY(store->isEnabled());
    QTest::mouseClick(store, Qt::LeftButton);
    QVERIFY(mDialogs->messages.isEmpty());
    QVERIFY(!store->isEnabled());
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("1 Computer / 1 Dives"));
    const int row = rowOf(list, "Wall");
    QVERIFY(row >= 0);
    // The stored dive is now the one shown from the logbook.
    QCOMPARE(window->currentDiveId(), list->item(row, 0)->data(Qt::UserRole).toInt());
    QCOMPARE(list->item(row, 0)->font().weight(), QFont::Bold);

    QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
    QVERIFY(store->isEnabled());
    QCOMPARE(list->item(row, 0)->font().weight(), QFont::Normal); // a file dive highlights nothing
    QTest::mouseClick(store, Qt::LeftButton);
    QCOMPARE(mDialogs->messageTexts(),
             QStringList{"Write Database Error|Impossible to write profile Wall\nDive Id already exists"});
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("1 Computer / 1 Dives"));

    // Refused by the database itself: its own reason after a line break,
    // and nothing stored.
    for (const char* table : {"dives", "profiles", "gases"})
        QVERIFY(QSqlQuery().exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table))));
    QVERIFY(QSqlQuery().exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON profiles "
                                            "BEGIN SELECT RAISE(ABORT, 'no room'); END")));
    QTest::mouseClick(store, Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 2);
    QVERIFY2(mDialogs->messages[1].text.startsWith(QStringLiteral("Impossible to write profile Wall\n")),
             qPrintable(mDialogs->messages[1].text));
    QVERIFY2(mDialogs->messages[1].text.contains(QStringLiteral("no room")), qPrintable(mDialogs->messages[1].text));
    QSqlQuery dives(QStringLiteral("SELECT COUNT(*) FROM dives"));
    QVERIFY(dives.next());
    QCOMPARE(dives.value(0).toInt(), 0);
    dives.finish();
    QVERIFY(store->isEnabled());
    QVERIFY(QSqlQuery().exec(QStringLiteral("DROP TRIGGER refuse")));

    DiveDb::instance()->close();
    QTest::mouseClick(store, Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 3);
    QCOMPARE(mDialogs->messages[2].text, QStringLiteral("Impossible to write profile Wall\nDatabase not open"));
}

void TestMainWindowFiles::fileOfSeveralDives()
{
    const auto window = shownWindow();
    QVERIFY(window);
    // A UDDF logbook: a placeholder dive without samples, then two dives.
    QByteArray document = UddfFile::toDocument(makeDive("First", "U1", localSecs(2023, 8, 2)));
    const QByteArray second = UddfFile::toDocument(makeDive("Second", "U1", localSecs(2023, 8, 3)));
    const auto diveElement = [](const QByteArray& bytes) {
        const qsizetype from = bytes.indexOf("<dive ");
        return bytes.mid(from, bytes.indexOf("</dive>") + 7 - from);
    };
    const QByteArray first = diveElement(document);
    document.replace(first, "<dive id=\"previous\" />" + first + diveElement(second));
    const QString path = mDir->filePath("log.uddf");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(document) == document.size());
    file.close();

    // Declined: the first dive is shown, nothing is stored.
    script(mDialogs->fileNames, {path, path});
    mDialogs->answers << false << true;
    QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
    QCOMPARE(window->currentDive().name, QStringLiteral("First"));
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions[0].text,
             QStringLiteral("This file holds 2 dives; the first one is shown. Store all of them in the logbook?"));
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("0 Computer / 0 Dives"));

    // Accepted: both are stored and the shown one is the stored first.
    QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("1 Computer / 2 Dives"));
    QVERIFY(window->currentDiveId() >= 0);
    QVERIFY(!child<QToolButton>(*window, "btStoreDive")->isEnabled());
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].text, QStringLiteral("2 of 2 dives stored."));

    // Again: each is checked for a copy.
    script(mDialogs->fileNames, {path});
    mDialogs->answers << true;
    QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 2);
    QCOMPARE(mDialogs->messages[1].text, QStringLiteral("0 of 2 dives stored.\n2 already in the logbook."));
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("1 Computer / 2 Dives"));
}

void TestMainWindowFiles::unsavedChangesOnSwitchingDive()
{
    QVERIFY(storeDives({makeDive("First", "S1", localSecs(2022, 1, 1)), makeDive("Second", "S1", localSecs(2022, 1, 2)),
                        makeDive("Third", "S1", localSecs(2022, 1, 3))}));
    const auto window = shownWindow();
    QVERIFY(window);
    auto* list = diveList(*window);
    auto* place = child<QLineEdit>(*window, "edPlace");
    auto* site = child<QLineEdit>(*window, "edSite");
    auto* save = child<QPushButton>(*window, "btSaveUserInformation");

    clickRow(list, rowOf(list, "First"));
    QVERIFY(!save->isEnabled());
    QTest::keyClicks(place, "Cassis");
    QTest::keyClicks(site, "Pharillons");
    QVERIFY(save->isEnabled());
    QVERIFY(window->userInformationModified());

    script(mDialogs->answers, {true});
    clickRow(list, rowOf(list, "Second"));
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Unsaved changes"));
    QCOMPARE(mDialogs->questions[0].text, QStringLiteral("You have unsaved changes. Do you want to save them?"));
    QCOMPARE(window->currentDive().name, QStringLiteral("Second"));
    QCOMPARE(storedPlace("First"), QStringLiteral("Cassis"));
    QVERIFY(!save->isEnabled());
    QVERIFY(place->text().isEmpty()); // the second dive's own notes

    QTest::keyClicks(place, "Elsewhere");
    script(mDialogs->answers, {false});
    clickRow(list, rowOf(list, "Third"));
    QCOMPARE(mDialogs->questions.size(), 2);
    QCOMPARE(storedPlace("Second"), QString());
    QVERIFY(!window->userInformationModified());

    // Back on the first dive its notes come from the logbook; the save
    // button stores without asking.
    clickRow(list, rowOf(list, "First"));
    QCOMPARE(mDialogs->questions.size(), 2);
    QCOMPARE(place->text(), QStringLiteral("Cassis"));
    QCOMPARE(site->text(), QStringLiteral("Pharillons"));
    place->clear();
    QTest::keyClicks(place, "Calanques");
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(storedPlace("First"), QStringLiteral("Calanques"));
    QVERIFY(!save->isEnabled());
    QVERIFY(mDialogs->messages.isEmpty());

    // Clicking the dive already shown reads it again: unsaved notes are asked
    // about first, and answering No brings back the stored ones.
    place->clear();
    QTest::keyClicks(place, "Nowhere");
    script(mDialogs->answers, {false});
    clickRow(list, rowOf(list, "First"));
    QCOMPARE(mDialogs->questions.size(), 3);
    QCOMPARE(place->text(), QStringLiteral("Calanques"));
    QVERIFY(!window->userInformationModified());
}

void TestMainWindowFiles::unsavedChangesOnClosing()
{
    QVERIFY(storeDives({makeDive("First", "S1", localSecs(2022, 1, 1))}));
    {
        const auto window = shownWindow();
        QVERIFY(window);
        clickRow(diveList(*window), 1);
        QTest::keyClicks(child<QLineEdit>(*window, "edBuddy"), "Max");
        script(mDialogs->answers, {false});
        QVERIFY(window->close());
        QCOMPARE(mDialogs->questions.size(), 1);
        QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Unsaved changes"));
    }
    DiveDb::instance()->open(DataDirectory::databaseFile());
    Dive dive;
    QVERIFY(DiveDb::instance()->loadDive(DiveDb::instance()->findDiveId("First", "S1"), dive));
    QCOMPARE(dive.buddy, QString());
    DiveDb::instance()->close();

    // Yes stores, once; the quit command closes the same way.
    mDialogs->questions.clear();
    const auto window = shownWindow();
    QVERIFY(window);
    clickRow(diveList(*window), 1);
    QTest::keyClicks(child<QLineEdit>(*window, "edBuddy"), "Max");
    script(mDialogs->answers, {true});
    child<QAction>(*window, "actionQuit")->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(mDialogs->questions.size(), 1);
    QVERIFY(DiveDb::instance()->loadDive(DiveDb::instance()->findDiveId("First", "S1"), dive));
    QCOMPARE(dive.buddy, QStringLiteral("Max"));
    // Nothing modified: no question.
    window->show();
    QVERIFY(window->close());
    QCOMPARE(mDialogs->questions.size(), 1);
}

void TestMainWindowFiles::notesOfADiveNotInTheLogbook()
{
    QVERIFY(storeDives({makeDive("First", "S1", localSecs(2022, 1, 1)), makeDive("Second", "S1", localSecs(2022, 1, 2))}));
    const auto window = shownWindow();
    QVERIFY(window);
    auto* list = diveList(*window);
    auto* place = child<QLineEdit>(*window, "edPlace");
    auto* save = child<QPushButton>(*window, "btSaveUserInformation");

    // A dive from a file has no logbook row: saving its notes says so.
    script(mDialogs->fileNames, {writeFile("wall.uddf", makeDive("Wall", "U1", localSecs(2023, 8, 2)))});
    QTest::mouseClick(child<QToolButton>(*window, "btImportDive"), Qt::LeftButton);
    QTest::keyClicks(place, "Hyeres");
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 1);
    QCOMPARE(mDialogs->messages[0].title, QStringLiteral("Database Error"));
    QVERIFY(mDialogs->messages[0].text.startsWith(QStringLiteral("Impossible to save the place, site and buddy")));
    QVERIFY(save->isEnabled()); // still unsaved
    // Storing the dive takes the notes along.
    QTest::mouseClick(child<QToolButton>(*window, "btStoreDive"), Qt::LeftButton);
    QCOMPARE(storedPlace("Wall"), QStringLiteral("Hyeres"));
    QVERIFY(!save->isEnabled());

    // The shown dive deleted from the list: its id is forgotten, and its
    // notes are not reported as saved.
    clickRow(list, rowOf(list, "First"));
    const int firstId = window->currentDiveId();
    script(mDialogs->answers, {true});
    QVERIFY(triggerRowMenu(list, rowOf(list, "First"), {"Delete"}));
    QCOMPARE(window->currentDiveId(), -1);
    QTest::keyClicks(place, "Lost");
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(mDialogs->messages.size(), 2);
    QCOMPARE(mDialogs->messages[1].title, QStringLiteral("Database Error"));
    QCOMPARE(DiveDb::instance()->findDiveId("First", "S1"), -1);
    QVERIFY(firstId >= 0);
    // The same through the unsaved-changes question.
    script(mDialogs->answers, {true});
    clickRow(list, rowOf(list, "Second"));
    QCOMPARE(mDialogs->messages.size(), 3);
    QCOMPARE(window->currentDive().name, QStringLiteral("Second"));
}

void TestMainWindowFiles::maximiseAndMinimise()
{
    QVERIFY(storeDives({makeDive("First", "S1", localSecs(2022, 1, 1))}));
    const auto window = shownWindow();
    QVERIFY(window);
    auto* button = child<QToolButton>(*window, "btMaxMinProfile");
    auto* summary = child<QWidget>(*window, "widget_32");
    auto* docked = child<QTextEdit>(*window, "edInformation");
    auto* floating = window->findChild<QWidget*>("floatingInformation");
    QVERIFY(floating);
    QVERIFY(!floating->isVisible()); // no dive yet

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(summary->isHidden());
    QVERIFY(docked->isVisible());
    QCOMPARE(button->toolTip(), QStringLiteral("Maximize profile area"));
    clickRow(diveList(*window), 1); // the summary is hidden: no floating window
    QVERIFY(!floating->isVisible());

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!summary->isHidden());
    QVERIFY(!docked->isVisible());
    QCOMPARE(button->toolTip(), QStringLiteral("Minimize profile area"));
    // Nothing to say yet: no floating window until the pointer is on the
    // profile; then it comes back with each showing of the summary.
    QVERIFY(!floating->isVisible());
    QWidget* viewport = child<QGraphicsView>(*window, "graphView")->viewport();
    const QPointF middle(viewport->width() / 2.0, viewport->height() / 2.0);
    QMouseEvent hover(QEvent::MouseMove, middle, viewport->mapToGlobal(middle), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &hover);
    QVERIFY(floating->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!floating->isVisible());

    // The floating window: frameless tool window, rounded, 260 wide and no
    // taller than 290.
    QVERIFY(floating->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(floating->windowType(), Qt::Tool);
    QCOMPARE(floating->width(), 260);
    QVERIFY(floating->height() <= 290);
    QVERIFY(!floating->mask().contains(QPoint(0, 0)));
    QVERIFY(floating->mask().contains(QPoint(130, floating->height() / 2)));

    // Dragged anywhere with the left button, it follows; Escape is left to
    // the window below.
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(floating->isVisible());
    const QPoint start = floating->pos();
    const auto send = [floating](QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, floating->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(floating, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(130, 50), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(170, 80), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(170, 80), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(floating->pos(), start + QPoint(40, 30));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(floating, &escape);
    QVERIFY(!escape.isAccepted());

    // A dive from a file is not in the logbook: showing the summary again
    // brings no floating window back.
    const QString uddf = writeFile("reef.uddf", makeDive("Reef", "U1", localSecs(2023, 1, 1)));
    QVERIFY(drop(*window, {uddf}));
    QCOMPARE(window->currentDiveId(), -1);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!floating->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!summary->isHidden());
    QVERIFY(!floating->isVisible());
}

QTEST_MAIN(TestMainWindowFiles)
#include "tst_mainwindow_files.moc"
