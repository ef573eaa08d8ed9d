// The dive filter dialog: filling from a filter, reading the edited filter
// back, and the logbook list it restricts through the window's filter button.

#include "scripteddialogs.h"
#include "windowfixture.h"

#include "app/formfilter.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>

using namespace windowtest;

namespace {

template <class T>
T* in(QDialog& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
}

QTableWidget* computers(QDialog& dialog)
{
    return in<QTableWidget>(dialog, "tblComputers");
}

void setChecked(QDialog& dialog, const QList<bool>& rows)
{
    for (int row = 0; row < rows.size(); ++row)
        computers(dialog)->item(row, 0)->setCheckState(rows.at(row) ? Qt::Checked : Qt::Unchecked);
}

const QStringList kSerials = {QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3")};
const QStringList kNames = {QStringLiteral("Kelvo"), QStringLiteral("Pelagon"), QStringLiteral("Brix, Pelagon")};

} // namespace

class TestFormFilter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fillsFromFilter();
    void computerChoice_data();
    void computerChoice();
    void dateAndTimeRead();
    void filterButtonRestrictsList();
};

void TestFormFilter::init()
{
    clearDataDirectory();
}

void TestFormFilter::cleanup()
{
    DiveDb::instance()->close();
    UserDialogs::install(nullptr);
}

void TestFormFilter::fillsFromFilter()
{
    DiveFilter filter;
    filter.byComputer = true;
    filter.serials = {QStringLiteral("S3"), QStringLiteral("gone")};
    filter.byDate = true;
    filter.startDate = QDateTime(QDate(2023, 4, 5), QTime(0, 0));
    filter.hasEndDate = false;
    filter.endDate = QDateTime(QDate(2023, 6, 7), QTime(0, 0));
    filter.byTime = true;
    filter.startTime = QTime(22, 0);
    filter.endTime = QTime(2, 30);
    FormFilter dialog(filter, kSerials, kNames);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Filter"));
    QTableWidget* table = computers(dialog);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Serial"));
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("Brix, Pelagon"));
    QCOMPARE(table->item(0, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(table->item(2, 0)->checkState(), Qt::Checked);
    QVERIFY(in<QGroupBox>(dialog, "grComputer")->isChecked());
    QVERIFY(in<QGroupBox>(dialog, "grDateTime")->isChecked());
    QVERIFY(!in<QGroupBox>(dialog, "grEndDate")->isChecked());
    QVERIFY(in<QGroupBox>(dialog, "grTime")->isChecked());
    QCOMPARE(in<QDateEdit>(dialog, "startDate")->date(), QDate(2023, 4, 5));
    QCOMPARE(in<QDateEdit>(dialog, "endDate")->date(), QDate(2023, 6, 7));
    QCOMPARE(in<QTimeEdit>(dialog, "endTime")->time(), QTime(2, 30));

    // "All" and "None" act on every row.
    QTest::mouseClick(in<QPushButton>(dialog, "btCheckAll"), Qt::LeftButton);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(table->item(row, 0)->checkState(), Qt::Checked);
    QTest::mouseClick(in<QPushButton>(dialog, "btUncheckAll"), Qt::LeftButton);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(table->item(row, 0)->checkState(), Qt::Unchecked);
}

void TestFormFilter::computerChoice_data()
{
    QTest::addColumn<bool>("groupActive");
    QTest::addColumn<QList<bool>>("rows");
    QTest::addColumn<bool>("byComputer");
    QTest::addColumn<QStringList>("serials");

    const QStringList before = {QStringLiteral("old")};
    QTest::newRow("inactive keeps the old list") << false << QList<bool>{true, false, true} << false << before;
    QTest::newRow("some, in table order") << true << QList<bool>{true, false, true} << true
                                          << QStringList{"S1", "S3"};
    QTest::newRow("all restricts nothing") << true << QList<bool>{true, true, true} << false
                                           << QStringList{"S1", "S2", "S3"};
    QTest::newRow("none keeps no dive") << true << QList<bool>{false, false, false} << true << QStringList();
}

void TestFormFilter::computerChoice()
{
    QFETCH(bool, groupActive);
    QFETCH(QList<bool>, rows);
    QFETCH(bool, byComputer);
    QFETCH(QStringList, serials);

    DiveFilter filter;
    filter.serials = {QStringLiteral("old")};
    FormFilter dialog(filter, kSerials, kNames);
    in<QGroupBox>(dialog, "grComputer")->setChecked(groupActive);
    setChecked(dialog, rows);
    const DiveFilter edited = dialog.filter();
    QCOMPARE(edited.byComputer, byComputer);
    QCOMPARE(edited.serials, serials);
}

void TestFormFilter::dateAndTimeRead()
{
    DiveFilter filter;
    filter.hasEndDate = true;
    filter.startTime = QTime(8, 0);
    filter.endTime = QTime(9, 0);
    FormFilter dialog(filter, kSerials, kNames);
    in<QTimeEdit>(dialog, "startTime")->setTime(QTime(6, 15));

    // The date group inactive: nothing of it is read, not even the time range.
    in<QGroupBox>(dialog, "grTime")->setChecked(true);
    DiveFilter edited = dialog.filter();
    QVERIFY(!edited.byDate);
    QVERIFY(!edited.byTime);
    QVERIFY(edited.hasEndDate);
    QCOMPARE(edited.startTime, QTime(8, 0));

    // Active without an end date: every dive from the start date on.
    in<QGroupBox>(dialog, "grDateTime")->setChecked(true);
    in<QGroupBox>(dialog, "grEndDate")->setChecked(false);
    in<QDateEdit>(dialog, "startDate")->setDate(QDate(2022, 2, 1));
    edited = dialog.filter();
    QVERIFY(edited.byDate);
    QVERIFY(!edited.hasEndDate);
    QCOMPARE(edited.startDate, QDateTime(QDate(2022, 2, 1), QTime(0, 0)));
    QVERIFY(edited.byTime);
    QCOMPARE(edited.startTime, QTime(6, 15));
}

void TestFormFilter::filterButtonRestrictsList()
{
    QVERIFY(storeDives({
        makeDive("S1-a", "S1", localSecs(2021, 5, 1)),
        makeDive("S1-b", "S1", localSecs(2023, 5, 1, 22)),
        makeDive("S2-a", "S2", localSecs(2022, 1, 1)),
    }));
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* button = child<QToolButton>(window, "btFilter");
    QVERIFY(button->isEnabled());
    const auto listedNames = [&window] {
        QStringList names;
        for (const char* name : {"S1-a", "S1-b", "S2-a"})
            if (rowOf(diveList(window), name) >= 0)
                names.append(QString::fromLatin1(name));
        return names;
    };
    QCOMPARE(listedNames().size(), 3);

    // Computer group active, nothing checked: an empty list.
    dialogs->onDialog = [](QDialog& dialog) {
        in<QGroupBox>(dialog, "grComputer")->setChecked(true);
        QTest::mouseClick(in<QPushButton>(dialog, "btUncheckAll"), Qt::LeftButton);
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(dialogs->dialogTitles.last(), QStringLiteral("Filter"));
    QVERIFY(listedNames().isEmpty());

    // S1 only, from 2022 on, evenings: one dive.
    int computerRows = 0;
    dialogs->onDialog = [&computerRows](QDialog& dialog) {
        QTableWidget* table = computers(dialog);
        computerRows = table->rowCount();
        table->item(0, 0)->setCheckState(Qt::Checked);
        in<QGroupBox>(dialog, "grDateTime")->setChecked(true);
        in<QDateEdit>(dialog, "startDate")->setDate(QDate(2022, 1, 1));
        in<QGroupBox>(dialog, "grTime")->setChecked(true);
        in<QTimeEdit>(dialog, "startTime")->setTime(QTime(20, 0));
        in<QTimeEdit>(dialog, "endTime")->setTime(QTime(23, 0));
        return int(QDialog::Accepted);
    };
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(computerRows, 2);
    QCOMPARE(listedNames(), QStringList{"S1-b"});

    // Cancel leaves the filter as it is.
    dialogs->onDialog = [](QDialog& dialog) {
        QTest::mouseClick(in<QPushButton>(dialog, "btCheckAll"), Qt::LeftButton);
        in<QGroupBox>(dialog, "grDateTime")->setChecked(false);
        QTest::mouseClick(in<QPushButton>(dialog, "btCancel"), Qt::LeftButton);
        return dialog.result();
    };
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(listedNames(), QStringList{"S1-b"});
    QCOMPARE(window.diveFilter().serials, QStringList{"S1"});
}

QTEST_MAIN(TestFormFilter)
#include "tst_formfilter.moc"
