// The form dialog of several typed values, and the planned dive's point
// table with its editors.

#include "scripteddialogs.h"

#include "app/divepointtable.h"
#include "app/inputdialogmulti.h"
#include "divedata/dive.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

namespace {

Dive plannedDive(const QList<std::pair<double, double>>& points)
{
    Dive dive;
    dive.gases.append(DiveGas());
    for (const auto& [time, depth] : points) {
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.gasIndex = 0;
        dive.lines.append(line);
    }
    return dive;
}

} // namespace

class TestInputDialogs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void fieldsReadBack();
    void enableBoxes();
    void colorChoice();
    void pointTableShowsLines();
    void pointTableEditors();
};

void TestInputDialogs::cleanup()
{
    UserDialogs::install(nullptr);
}

void TestInputDialogs::fieldsReadBack()
{
    InputDialogMulti dialog(QStringLiteral("Ascent definition"));
    const int text = dialog.addField(std::make_unique<InputDialogMultiFieldString>("Name", "a"));
    const int depth = dialog.addField(std::make_unique<InputDialogMultiFieldInt>("Target depth", 0, 0, 60));
    const int ratio = dialog.addField(std::make_unique<InputDialogMultiFieldDouble>("Ratio", 0.5, 0.0, 1.0, 2));
    const int flag = dialog.addField(std::make_unique<InputDialogMultiFieldBool>("Flag", false));
    QCOMPARE(dialog.fieldCount(), 4);
    QSignalSpy changed(&dialog, &InputDialogMulti::fieldChanged);

    qobject_cast<QLineEdit*>(dialog.field(text)->editor())->setText(QStringLiteral("abc"));
    auto* spin = qobject_cast<QSpinBox*>(dialog.field(depth)->editor());
    spin->setValue(75); // clamped to the field's range
    qobject_cast<QDoubleSpinBox*>(dialog.field(ratio)->editor())->setValue(0.25);
    qobject_cast<QCheckBox*>(dialog.field(flag)->editor())->setChecked(true);

    QCOMPARE(dialog.field(text)->value().toString(), QStringLiteral("abc"));
    QCOMPARE(dialog.field(depth)->value().toInt(), 60);
    QCOMPARE(dialog.field(ratio)->value().toDouble(), 0.25);
    QCOMPARE(dialog.field(flag)->value().toBool(), true);
    QCOMPARE(changed.size(), 4);
    QCOMPARE(changed.at(1).at(0).toInt(), depth);
    QVERIFY(dialog.field(4) == nullptr);
    QVERIFY(dialog.field(-1) == nullptr);
}

void TestInputDialogs::enableBoxes()
{
    InputDialogMulti dialog(QStringLiteral("Options"));
    const int boxed = dialog.addField(std::make_unique<InputDialogMultiFieldInt>("Boxed", 3, 0, 9, true, false));
    const int plain = dialog.addField(std::make_unique<InputDialogMultiFieldInt>("Plain", 3, 0, 9, false, false));
    InputDialogMultiField* field = dialog.field(boxed);
    auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("enable%1").arg(boxed));
    QVERIFY(box);
    QVERIFY(!box->isChecked());
    QVERIFY(!field->editor()->isEnabled());
    box->setChecked(true);
    QVERIFY(field->isChecked());
    QVERIFY(field->editor()->isEnabled());
    field->setChecked(false);
    QVERIFY(!box->isChecked());
    QVERIFY(!field->editor()->isEnabled());

    // Created disabled without a box: label and editor both disabled.
    QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("enable%1").arg(plain)) == nullptr);
    QVERIFY(!dialog.field(plain)->editor()->isEnabled());
    bool labelDisabled = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == QStringLiteral("Plain"))
            labelDisabled = !label->isEnabled() && label->minimumWidth() == 100;
    QVERIFY(labelDisabled);
}

void TestInputDialogs::colorChoice()
{
    ScriptedDialogs* dialogs = ScriptedDialogs::install();
    InputDialogMulti dialog(QStringLiteral("Colour"));
    const int index = dialog.addField(std::make_unique<InputDialogMultiFieldColor>("Colour", QColor(Qt::blue)));
    auto* combo = qobject_cast<QComboBox*>(dialog.field(index)->editor());
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names.append(combo->itemText(i));
    QCOMPARE(names, QStringList({"Rouge", "Vert", "Bleu", "Jaune", "Orange", "Autre...", "Sans couleur"}));
    QCOMPARE(combo->currentText(), QStringLiteral("Bleu"));
    QCOMPARE(combo->itemData(4).value<QColor>(), QColor(QStringLiteral("#FFA500")));

    // "Autre..." asks; a valid colour becomes the entry's and stays chosen.
    dialogs->colors.enqueue(QColor(10, 20, 30));
    combo->setCurrentIndex(5);
    emit combo->activated(5);
    QCOMPARE(dialogs->dialogTitles.last(), QStringLiteral("Choisir une couleur"));
    QCOMPARE(combo->currentIndex(), 5);
    QCOMPARE(dialog.field(index)->value().value<QColor>(), QColor(10, 20, 30));

    // Cancelling the chooser keeps the previous choice.
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    combo->setCurrentIndex(5);
    emit combo->activated(5); // no colour queued: cancelled
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(dialog.field(index)->value().value<QColor>(), QColor(Qt::red));

    combo->setCurrentIndex(6);
    emit combo->activated(6);
    QCOMPARE(dialog.field(index)->value().value<QColor>().alpha(), 0);
}

void TestInputDialogs::pointTableShowsLines()
{
    Dive dive = plannedDive({{0, 0}, {90, 21.5}, {3600, 21.5}, {4000, 0}});
    const Dive* shown = &dive;
    QTableView view;
    TblDivePointsModel model([&shown] { return shown; }, &view);
    view.setModel(&model);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Depth"));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Gas"));
    QCOMPARE(model.headerData(2, Qt::Vertical).toInt(), 2);
    QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("21.5"));
    QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("01:30"));
    QCOMPARE(model.index(2, 2).data().toString(), QStringLiteral("01:00:00"));
    QCOMPARE(model.index(3, 3).data().toString(), QStringLiteral("Air"));
    const QPixmap icon = model.index(0, 0).data(Qt::DecorationRole).value<QPixmap>();
    QCOMPARE(icon.width(), std::max(18, view.columnWidth(0)));
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);

    // No slot: no rows, and a reset before the view asks again.
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    shown = nullptr;
    model.refresh(-1);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.index(0, 1).data().isValid());
}

void TestInputDialogs::pointTableEditors()
{
    Dive dive = plannedDive({{0, 0}, {60, 20}, {600, 20}, {3500, 0}});
    QTableView view;
    TblDivePointsModel model([&dive] { return &dive; }, &view);
    SpinBoxDelegate delegate;
    view.setModel(&model);
    QList<std::pair<int, double>> depths;
    QList<std::pair<int, int>> times;
    delegate.setDepthCallback([&](int row, double depth) { depths.append({row, depth}); });
    // Refuses times past 3000 s, pulls times below 100 s up to 100 s.
    delegate.setTimeCallback([&](int row, int& seconds) {
        times.append({row, seconds});
        if (seconds > 3000)
            return false;
        seconds = std::max(seconds, 100);
        dive.lines[row].timeSec = seconds;
        return true;
    });
    QStyleOptionViewItem option;

    // Row 0 and the icon and gas columns have no editor.
    for (const QModelIndex& index : {model.index(0, 1), model.index(0, 2), model.index(1, 0), model.index(1, 3)})
        QVERIFY(delegate.createEditor(view.viewport(), option, index) == nullptr);

    std::unique_ptr<QWidget> depthEditor(delegate.createEditor(view.viewport(), option, model.index(2, 1)));
    auto* spin = qobject_cast<QDoubleSpinBox*>(depthEditor.get());
    QVERIFY(spin);
    QVERIFY(!spin->hasFrame());
    QCOMPARE(spin->maximum(), 100.0);
    // Filling the editor again and again neither calls back nor connects twice.
    delegate.setEditorData(spin, model.index(2, 1));
    delegate.setEditorData(spin, model.index(2, 1));
    QCOMPARE(spin->value(), 20.0);
    QVERIFY(depths.isEmpty());
    spin->setValue(25.0);
    QCOMPARE(depths, (QList<std::pair<int, double>>{{2, 25.0}}));

    // Once the lines were renumbered (table reset), an editor left open
    // edits no line rather than whichever line now has its old row.
    model.refresh(-1);
    spin->setValue(30.0);
    QCOMPARE(depths.size(), 1);
    std::unique_ptr<QWidget> timeEditor(delegate.createEditor(view.viewport(), option, model.index(2, 2)));
    auto* edit = qobject_cast<QTimeEdit*>(timeEditor.get());
    QVERIFY(edit);
    delegate.setEditorData(edit, model.index(2, 2));
    QCOMPARE(edit->displayFormat(), QStringLiteral("mm:ss"));
    QCOMPARE(edit->time(), QTime(0, 10, 0));

    edit->setTime(QTime(0, 0, 30)); // corrected to 100 s
    QCOMPARE(times.last(), (std::pair<int, int>{2, 30}));
    QCOMPARE(edit->time(), QTime(0, 1, 40));
    QCOMPARE(dive.lines[2].timeSec, 100.0);
    edit->setTime(QTime(0, 55, 0)); // refused: the cell keeps its time
    QCOMPARE(dive.lines[2].timeSec, 100.0);
    QCOMPARE(edit->time(), QTime(0, 1, 40));
    QCOMPARE(times.size(), 2); // showing a corrected or kept time does not call back again

    // From one hour on the editor shows hours.
    dive.lines[3].timeSec = 3725;
    std::unique_ptr<QWidget> longEditor(delegate.createEditor(view.viewport(), option, model.index(3, 2)));
    delegate.setEditorData(longEditor.get(), model.index(3, 2));
    QCOMPARE(qobject_cast<QTimeEdit*>(longEditor.get())->displayFormat(), QStringLiteral("hh:mm:ss"));
    QCOMPARE(qobject_cast<QTimeEdit*>(longEditor.get())->time(), QTime(1, 2, 5));
    QCOMPARE(SpinBoxDelegate::timeFormat(3599), QStringLiteral("mm:ss"));
}

QTEST_MAIN(TestInputDialogs)
#include "tst_inputdialogs.moc"
