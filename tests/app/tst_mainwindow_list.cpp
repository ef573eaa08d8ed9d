// The logbook's dive list driven through the real window: grouping, counts,
// sorting, opening dives from it and the commands of its context menu.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "divedata/divelinesio.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace windowtest;

class TestMainWindowList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyLogbook();
    void groupsAndCounts();
    void sortToggles_data();
    void sortToggles();
    void openFromList();
    void contextMenuEntries();
    void deleteQuestions();
    void deleteFailureReported();
    void renameRules();
    void exportWithEachSeparator();
    void exportFailuresReported_data();
    void exportFailuresReported();

private:
    // Three computers: S1 with three dives, S2 with two, S3 with one.
    bool storeLogbook();
    std::unique_ptr<MainWindow> showWindow();
    // The window on the logbook above; null when either cannot be had.
    std::unique_ptr<MainWindow> showLogbook() { return storeLogbook() ? showWindow() : nullptr; }
    QString listedOrder(int firstRow, int count) const;

    ScriptedDialogs* mDialogs = nullptr;
    QTableWidget* mList = nullptr;
};

void TestMainWindowList::init()
{
    clearDataDirectory();
    mDialogs = ScriptedDialogs::install();
}

void TestMainWindowList::cleanup()
{
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
}

bool TestMainWindowList::storeLogbook()
{
    // Durations and depths chosen so that each order differs from the others.
    return storeDives({
        makeDive("S1-old-long", "S1", localSecs(2021, 5, 1), 200, 18.0),
        makeDive("S1-new-short", "S1", localSecs(2023, 5, 1), 40, 35.0),
        makeDive("S1-mid-mid", "S1", localSecs(2022, 5, 1), 100, 9.0),
        makeDive("S2-a", "S2", localSecs(2022, 1, 1), 60, 12.0),
        makeDive("S2-b", "S2", localSecs(2022, 2, 1), 60, 14.0),
        makeDive("S3-a", "S3", localSecs(2020, 1, 1), 60, 25.0),
    });
}

std::unique_ptr<MainWindow> TestMainWindowList::showWindow()
{
    auto window = shownWindow();
    mList = window ? diveList(*window) : nullptr;
    return window;
}

QString TestMainWindowList::listedOrder(int firstRow, int count) const
{
    QStringList names;
    for (int row = firstRow; row < firstRow + count; ++row)
        names.append(mList->item(row, 0)->text());
    return names.join(u' ');
}

void TestMainWindowList::emptyLogbook()
{
    const auto window = showWindow();
    QVERIFY(window);
    QCOMPARE(mList->rowCount(), 0);
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("0 Computer / 0 Dives"));
    QStringList titles;
    for (int column = 0; column < mList->columnCount(); ++column)
        titles.append(mList->horizontalHeaderItem(column)->text());
    QCOMPARE(titles, QStringList({"Dive Id", "Date/Time", "Duration", "Depth"}));
    QVERIFY(mDialogs->messages.isEmpty());
    QVERIFY(!child<QToolButton>(*window, "btStoreDive")->isEnabled());
    // The computer commands are there from the start.
    QVERIFY(child<QToolButton>(*window, "btImportPelagon")->isEnabled());
    child<QAction>(*window, "actionAbout")->trigger();
    QCOMPARE(mDialogs->dialogs, QStringList{"AboutBox"});
    QVERIFY(mDialogs->messages.isEmpty());
    // A click or a menu on the empty list does nothing.
    QTest::mouseClick(mList->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!openRowMenu(mList, 0));
    QCOMPARE(window->currentDiveId(), -1);
}

void TestMainWindowList::groupsAndCounts()
{
    const auto window = showLogbook();
    QVERIFY(window);
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("3 Computers / 6 Dives"));
    QCOMPARE(mList->rowCount(), 9);

    for (const auto& [row, text] : std::initializer_list<std::pair<int, const char*>>{
             {0, "Comp S1 - S1 - 3 dives"}, {4, "Comp S2 - S2 - 2 dives"}, {7, "Comp S3 - S3 - 1 dives"}}) {
        const QTableWidgetItem* header = mList->item(row, 0);
        QCOMPARE(header->text(), QLatin1String(text));
        QCOMPARE(header->data(Qt::UserRole).toInt(), -1);
        QCOMPARE(header->font().weight(), QFont::Bold);
        QCOMPARE(header->background().color(), QColor("#9BC9FF"));
    }
    // Newest first by default.
    QCOMPARE(listedOrder(1, 3), QStringLiteral("S1-new-short S1-mid-mid S1-old-long"));
    const int row = rowOf(mList, "S1-mid-mid");
    QCOMPARE(mList->item(row, 1)->text(), QStringLiteral("01/05/2022 10:00:00"));
    QCOMPARE(mList->item(row, 2)->text(), QStringLiteral("08:15"));
    // The stored maximum as a plain number (six significant digits).
    QCOMPARE(mList->item(row, 3)->text(), QStringLiteral("8.99887m"));
    QCOMPARE(mList->item(row, 2)->textAlignment(), int(Qt::AlignCenter));
    QVERIFY(mList->item(row, 0)->data(Qt::UserRole).toInt() >= 0);

    // The name column takes what the others, fitted to their texts, leave.
    QCOMPARE(mList->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    QVERIFY(!mList->isSortingEnabled());
}

void TestMainWindowList::sortToggles_data()
{
    // The header sections clicked in turn, then the list's sort properties
    // (date, duration and depth orders, sort column), the header's indicator
    // and the order of the S1 dives.
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("properties");
    QTest::addColumn<int>("indicator");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QString>("dives");
    QTest::addRow("newest first by default") << QList<int>{} << "1 1 1 1" << 1 << Qt::DescendingOrder
                                             << "S1-new-short S1-mid-mid S1-old-long";
    QTest::addRow("date again: oldest first") << QList<int>{1} << "0 1 1 1" << 1 << Qt::AscendingOrder
                                              << "S1-old-long S1-mid-mid S1-new-short";
    QTest::addRow("duration: shortest first") << QList<int>{1, 2} << "0 0 1 2" << 2 << Qt::AscendingOrder
                                              << "S1-new-short S1-mid-mid S1-old-long";
    QTest::addRow("duration again: longest first") << QList<int>{1, 2, 2} << "0 1 1 2" << 2 << Qt::DescendingOrder
                                                   << "S1-old-long S1-mid-mid S1-new-short";
    QTest::addRow("depth: shallowest first") << QList<int>{1, 2, 2, 3} << "0 1 0 3" << 3 << Qt::AscendingOrder
                                             << "S1-mid-mid S1-old-long S1-new-short";
    // The name column sorts nothing and the indicator stays where it was.
    QTest::addRow("name sorts nothing") << QList<int>{1, 2, 2, 3, 0} << "0 1 0 3" << 3 << Qt::AscendingOrder
                                        << "S1-mid-mid S1-old-long S1-new-short";
}

void TestMainWindowList::sortToggles()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, properties);
    QFETCH(int, indicator);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QString, dives);
    const auto window = showLogbook();
    QVERIFY(window);
    QHeaderView* header = mList->horizontalHeader();
    for (const int section : clicks) {
        const QPoint pos(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                         header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
    }
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(mList->property("sortOrderDate").toInt())
                 .arg(mList->property("sortOrderDuration").toInt())
                 .arg(mList->property("sortOrderDepth").toInt())
                 .arg(mList->property("sortColumn").toInt()),
             properties);
    QCOMPARE(header->sortIndicatorSection(), indicator);
    QCOMPARE(header->sortIndicatorOrder(), order);
    QCOMPARE(listedOrder(1, 3), dives);
    // Groups keep their serial order whatever the column.
    QCOMPARE(mList->item(4, 0)->text(), QStringLiteral("Comp S2 - S2 - 2 dives"));
}

void TestMainWindowList::openFromList()
{
    const auto window = showLogbook();
    QVERIFY(window);
    auto* tabs = child<QTabWidget>(*window, "tabProfile");
    QVERIFY(!tabs->isTabEnabled(0));

    // A header row has no dive: nothing opens.
    clickRow(mList, 0);
    QCOMPARE(window->currentDiveId(), -1);
    QVERIFY(!tabs->isTabEnabled(0));

    const int row = rowOf(mList, "S2-b");
    clickRow(mList, row, 2);
    QCOMPARE(window->currentDive().name, QStringLiteral("S2-b"));
    QCOMPARE(window->currentDiveId(), mList->item(row, 0)->data(Qt::UserRole).toInt());
    for (int tab = 0; tab < 3; ++tab)
        QVERIFY(tabs->isTabEnabled(tab));
    QVERIFY(!child<QToolButton>(*window, "btStoreDive")->isEnabled());
    QCOMPARE(child<QLabel>(*window, "lbDiveName")->text(), QStringLiteral("S2-b"));
    QCOMPARE(child<QLabel>(*window, "lbMaxDepth")->text(), QStringLiteral("14.0m"));
    QCOMPARE(child<QLineEdit>(*window, "edComputerSerial")->text(), QStringLiteral("S2"));
    QCOMPARE(child<QLineEdit>(*window, "edComputerName")->text(), QStringLiteral("Comp S2"));
    QCOMPARE(child<QLineEdit>(*window, "edSampleInterval")->text(), QStringLiteral("5sec"));
    auto* gases = child<QTableWidget>(*window, "tblGases");
    QCOMPARE(gases->rowCount(), 1);
    QCOMPARE(gases->item(0, 0)->text(), QStringLiteral("21"));
    QCOMPARE(gases->item(0, 2)->text(), QStringLiteral("OC"));
    QCOMPARE(child<QLabel>(*window, "alertCeil")->pixmap().toImage(),
             QPixmap(":/TestGraphics/icons/Led_Green.png").toImage());
    // The floating position window waits for the pointer: a dive just
    // opened has nothing to say yet.
    QVERIFY(!window->findChild<QWidget*>("floatingInformation")->isVisible());

    const auto isHighlighted = [this](int r) {
        for (int column = 0; column < 4; ++column) {
            const QTableWidgetItem* item = mList->item(r, column);
            if (item->font().weight() != QFont::Bold || item->foreground().color() != QColor(Qt::blue))
                return false;
        }
        return true;
    };
    const auto isPlain = [this](int r) {
        const QTableWidgetItem* item = mList->item(r, 1);
        return item->font().weight() == QFont::Normal && item->foreground().color() == QColor(Qt::black);
    };
    QVERIFY(isHighlighted(row));
    QVERIFY(isPlain(rowOf(mList, "S2-a")));

    // Another dive moves the highlight; a refill keeps it on the same dive.
    const int other = rowOf(mList, "S1-old-long");
    clickRow(mList, other, 3);
    QCOMPARE(window->currentDive().name, QStringLiteral("S1-old-long"));
    QVERIFY(isHighlighted(other));
    QVERIFY(isPlain(row));
    QTest::mouseClick(mList->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(mList->horizontalHeader()->sectionViewportPosition(1) + 10, 5));
    QVERIFY(isHighlighted(rowOf(mList, "S1-old-long")));
    QVERIFY(isPlain(rowOf(mList, "S1-mid-mid")));

    // The context menu's "Open" does the same.
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S3-a"), {"Open"}));
    QCOMPARE(window->currentDive().name, QStringLiteral("S3-a"));
    QVERIFY(mDialogs->messages.isEmpty());
    QVERIFY(mDialogs->questions.isEmpty());

    // A listed dive gone from the logbook (another program removed it): said,
    // and the shown dive stays.
    const int gone = rowOf(mList, "S2-a");
    QVERIFY(QSqlQuery().exec(QStringLiteral("DELETE FROM dives WHERE name='S2-a'")));
    clickRow(mList, gone);
    QCOMPARE(mDialogs->messageTexts(), QStringList{"Database Error|Impossible to read profile"});
    QCOMPARE(window->currentDive().name, QStringLiteral("S3-a"));
    QVERIFY(isHighlighted(rowOf(mList, "S3-a")));
}

void TestMainWindowList::contextMenuEntries()
{
    const auto window = showLogbook();
    QVERIFY(window);
    // On a header row the menu opens (for the separator choice); its dive
    // commands do nothing.
    QMenu* headerMenu = openRowMenu(mList, 0);
    QVERIFY(headerMenu);
    const int rows = mList->rowCount();
    headerMenu->close();
    for (const char* command : {"Open", "Rename", "Export"}) {
        QVERIFY(triggerRowMenu(mList, 0, {QString::fromLatin1(command)}));
        QCOMPARE(mList->rowCount(), rows);
    }
    QVERIFY(mDialogs->messages.isEmpty());
    QVERIFY(mDialogs->questions.isEmpty());

    QMenu* menu = openRowMenu(mList, rowOf(mList, "S2-a"), 0);
    QVERIFY(menu);
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, QStringList({"Open", "Delete", "-", "Rename", "Export", "csv separator", "-",
                                 "Add to planification"}));
    QVERIFY(!menuAction(menu, {"Add to planification"})->isEnabled());
    // Without a settings file the separator is the dot.
    QVERIFY(menuAction(menu, {"csv separator", "Dot ."})->isChecked());
    QVERIFY(!menuAction(menu, {"csv separator", "Comma ,"})->isChecked());
    menu->close();

    // Choosing a separator stores it with the settings file's values.
    const auto stored = [] {
        return QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).value("export/csvSeparator").toInt();
    };
    QVERIFY(triggerRowMenu(mList, 1, {"csv separator", "Comma ,"}));
    QCOMPARE(stored(), 1);
    QCOMPARE(window->csvSeparatorChoice(), CsvSeparator::Comma);
    QVERIFY(triggerRowMenu(mList, 1, {"csv separator", "Semicolon ;"}));
    QCOMPARE(stored(), 2);
    menu = openRowMenu(mList, 1);
    QVERIFY(menuAction(menu, {"csv separator", "Semicolon ;"})->isChecked());
    QVERIFY(!menuAction(menu, {"csv separator", "Comma ,"})->isChecked());
    menu->close();
    QVERIFY(triggerRowMenu(mList, 1, {"csv separator", "Dot ."}));
    QCOMPARE(stored(), 0);
}

void TestMainWindowList::deleteQuestions()
{
    const auto window = showLogbook();
    QVERIFY(window);
    clickRow(mList, rowOf(mList, "S2-a"));
    QCOMPARE(window->currentDive().name, QStringLiteral("S2-a"));

    // One dive, answered No: nothing changes.
    script(mDialogs->answers, {false});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S3-a"), {"Delete"}));
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions.last().title, QStringLiteral("Delete dive"));
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to delete this dive?"));
    QCOMPARE(mList->rowCount(), 9);

    // A header row with one dive: two rows, so the plural question (the
    // header row itself is not deleted).
    mList->clearSelection();
    clickRow(mList, 0, 1, Qt::ControlModifier);
    clickRow(mList, rowOf(mList, "S3-a"), 1, Qt::ControlModifier);
    script(mDialogs->answers, {false});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S3-a"), {"Delete"}));
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to delete these dives?"));
    QCOMPARE(mList->rowCount(), 9);
    mList->clearSelection();

    // One dive, answered Yes: its group goes with it.
    script(mDialogs->answers, {true});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S3-a"), {"Delete"}));
    QCOMPARE(mList->rowCount(), 7);
    QCOMPARE(rowOf(mList, "S3-a"), -1);
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("2 Computers / 5 Dives"));

    // Several dives, among them the one shown (and a header row, ignored).
    mList->clearSelection();
    clickRow(mList, 0, 1, Qt::ControlModifier);
    clickRow(mList, rowOf(mList, "S1-mid-mid"), 1, Qt::ControlModifier);
    clickRow(mList, rowOf(mList, "S2-a"), 1, Qt::ControlModifier);
    QCOMPARE(window->currentDive().name, QStringLiteral("S2-a")); // Control clicks only select
    script(mDialogs->answers, {true});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S2-a"), {"Delete"}));
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Are you sure to delete these dives?"));
    QCOMPARE(child<QLabel>(*window, "lbFilter")->text(), QStringLiteral("2 Computers / 3 Dives"));
    QCOMPARE(rowOf(mList, "S1-mid-mid"), -1);
    QCOMPARE(rowOf(mList, "S2-a"), -1);
    QVERIFY(mList->selectionModel()->selectedIndexes().isEmpty());
    // The shown dive stays on screen, no longer in the logbook: it may be
    // stored again.
    QCOMPARE(window->currentDive().name, QStringLiteral("S2-a"));
    QCOMPARE(window->currentDiveId(), -1);
    QVERIFY(child<QToolButton>(*window, "btStoreDive")->isEnabled());
    QVERIFY(mDialogs->messages.isEmpty());
}

void TestMainWindowList::deleteFailureReported()
{
    const auto window = showLogbook();
    QVERIFY(window);
    DiveDb::instance()->close(); // the logbook went away under the window
    script(mDialogs->answers, {true});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S2-a"), {"Delete"}));
    QCOMPARE(mDialogs->messageTexts(), QStringList{"Database Error|Impossible to delete profile("});
    QVERIFY(rowOf(mList, "S2-a") >= 0);
}

void TestMainWindowList::renameRules()
{
    const auto window = showLogbook();
    QVERIFY(window);
    clickRow(mList, rowOf(mList, "S2-a"));

    // Cancelled: nothing happens.
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S2-a"), {"Rename"}));
    QCOMPARE(mDialogs->questions.last().title, QStringLiteral("Rename"));
    QCOMPARE(mDialogs->questions.last().text, QStringLiteral("Name|S2-a"));
    QVERIFY(mDialogs->messages.isEmpty());

    script(mDialogs->texts, {QString(), QStringLiteral("S2-b"), QStringLiteral("Wreck")});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S2-a"), {"Rename"}));
    const QStringList refusals{"Error|Invalid name", "Error|Name already exists"};
    QCOMPARE(mDialogs->messageTexts(), refusals.mid(0, 1));
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S2-a"), {"Rename"}));
    QCOMPARE(mDialogs->messageTexts(), refusals);
    QVERIFY(rowOf(mList, "S2-a") >= 0);

    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S2-a"), {"Rename"}));
    QCOMPARE(mDialogs->messageTexts(), refusals);
    QCOMPARE(rowOf(mList, "S2-a"), -1);
    QVERIFY(rowOf(mList, "Wreck") >= 0);
    // The shown dive was the renamed one.
    QCOMPARE(window->currentDive().name, QStringLiteral("Wreck"));
    QCOMPARE(child<QLabel>(*window, "lbDiveName")->text(), QStringLiteral("Wreck"));

    // Names are unique per computer: another computer's name is free.
    script(mDialogs->texts, {QStringLiteral("S2-b")});
    QVERIFY(triggerRowMenu(mList, rowOf(mList, "S3-a"), {"Rename"}));
    QCOMPARE(mDialogs->messageTexts(), refusals);
    QVERIFY(rowOf(mList, "S2-b") >= 0);
}

void TestMainWindowList::exportWithEachSeparator()
{
    const auto window = showLogbook();
    QVERIFY(window);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const int row = rowOf(mList, "S1-mid-mid");

    struct Case
    {
        const char* entry;
        QChar separator;
    };
    for (const Case& c : {Case{"Dot .", u'.'}, Case{"Comma ,", u','}, Case{"Semicolon ;", u';'}}) {
        QVERIFY(triggerRowMenu(mList, row, {"csv separator", c.entry}));
        const QString path = dir.filePath(QStringLiteral("export%1.csv").arg(c.separator == u';' ? 's' : c.separator.toLatin1()));
        script(mDialogs->fileNames, {path});
        QVERIFY(triggerRowMenu(mList, row, {"Export"}));
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("Nom de l'ordinateur") + c.separator + QStringLiteral("N° de plongée")),
                 qPrintable(text.left(80)));
        QVERIFY(text.contains(QStringLiteral("S1-mid-mid")));
    }
    QCOMPARE(mDialogs->fileDialogs.last().title, QStringLiteral("Export Profile"));
    QCOMPARE(mDialogs->fileDialogs.last().text,
             dir.path() + QStringLiteral("|Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)"));

    const QString uddf = dir.filePath(QStringLiteral("reread.uddf"));
    script(mDialogs->fileNames, {uddf});
    QVERIFY(triggerRowMenu(mList, row, {"Export"}));
    QVERIFY(mDialogs->messages.isEmpty());
    QCOMPARE(QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).value("directories/lastExportDir").toString(),
             dir.path());

    // The exported UDDF file opens again as the same profile.
    const auto reader = DiveLinesIO::createReader(uddf);
    Dive reread;
    QVERIFY(reader && reader->readDive(uddf, reread));
    reread.computeStatistics();
    QVERIFY(reread.lines.size() >= 100);
    QVERIFY(std::abs(reread.maxDepth - 9.0) < 0.05);
    QCOMPARE(reread.name, QStringLiteral("S1-mid-mid"));
}

void TestMainWindowList::exportFailuresReported_data()
{
    // The file chosen (empty: the dialog cancelled), whether the logbook went
    // away first, and the messages said.
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("logbookClosed");
    QTest::addColumn<QStringList>("messages");
    QTest::addRow("cancelled") << QString() << false << QStringList();
    QTest::addRow("suffix of no format") << "profile.txt" << false << QStringList{"Error|Invalid File Name"};
    QTest::addRow("folder missing") << "missing/folder/profile.uddf" << false
                                    << QStringList{"Error|Impossible to open file"};
    QTest::addRow("dive unreadable") << "profile.uddf" << true << QStringList{"Database Error|Impossible to read profile"};
}

void TestMainWindowList::exportFailuresReported()
{
    QFETCH(QString, fileName);
    QFETCH(bool, logbookClosed);
    QFETCH(QStringList, messages);
    const auto window = showLogbook();
    QVERIFY(window);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const int row = rowOf(mList, "S2-a");
    if (logbookClosed)
        DiveDb::instance()->close();
    if (!fileName.isEmpty())
        script(mDialogs->fileNames, {dir.filePath(fileName)});
    QVERIFY(triggerRowMenu(mList, row, {"Export"}));
    // Nothing written, the failure said (never passed over), nothing remembered.
    QCOMPARE(mDialogs->messageTexts(), messages);
    QVERIFY(!QSettings(DataDirectory::settingsFile(), QSettings::IniFormat).contains("directories/lastExportDir"));
    QVERIFY(!fileName.isEmpty() || QDir(dir.path()).isEmpty());
    QVERIFY(fileName.isEmpty() || !QFile::exists(dir.filePath(fileName)));
}

QTEST_MAIN(TestMainWindowList)
#include "tst_mainwindow_list.moc"
