// The dive list: filling, grouping, sorting, the highlight of the shown dive,
// and the commands of its context menu.

#include "app/mainwindow.h"

#include "app/diveexport.h"
#include "app/divelistbuilder.h"
#include "app/keyboardrowfollower.h"
#include "app/userdialogs.h"
#include "db/divedb.h"
#include "divedata/divelinesio.h"
#include "ui_mainwindow.h"

#include <QActionGroup>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSet>
#include <QSettings>
#include <QStyle>

#include <algorithm>

#include <array>

namespace {

// Dynamic properties of the list: the direction of each sortable column
// (non-zero: newest, longest or deepest first) and the active column.
const std::array<const char*, 4> kSortOrderProperty = {nullptr, "sortOrderDate", "sortOrderDuration",
                                                       "sortOrderDepth"};
const char* const kSortColumnProperty = "sortColumn";

const QColor kHeaderBackground(0x9B, 0xC9, 0xFF);

// The date, duration and depth columns take the room their widest text needs
// in bold (the shown dive's row) or their title with the sort arrow; the name
// column takes the rest of the pane, at least its title. Returns the width the
// list needs to show every column without a horizontal scroll bar, its
// vertical scroll bar and frame included. Names longer than their column show
// whole in their tool tip.
int fitDiveListColumns(QTableWidget* list)
{
    QFont bold = list->font();
    bold.setWeight(QFont::Bold);
    const QFontMetrics cell(bold);
    const QFontMetrics title(list->horizontalHeader()->font());
    constexpr int kPadding = 16;    // the cell's margins and a little air
    constexpr int kSortArrow = 20;  // the header's sort indicator
    // The widest texts of each format: "dd/MM/yyyy hh:mm:ss", "hh:mm:ss" and
    // six significant digits of metres.
    const std::array<QString, 4> widest = {QString(), QStringLiteral("00/00/0000 00:00:00"), QStringLiteral("00:00:00"),
                                           QStringLiteral("000.000m")};
    const QStringList titles = DiveListBuilder::columnTitles();
    QHeaderView* header = list->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const int nameWidth = title.horizontalAdvance(titles.at(0)) + kPadding;
    int needed = nameWidth;
    for (int column = 1; column < 4; ++column) {
        const int width = std::max(cell.horizontalAdvance(widest[std::size_t(column)]),
                                   title.horizontalAdvance(titles.at(column)) + kSortArrow)
            + kPadding;
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        list->setColumnWidth(column, width);
        needed += width;
    }
    return needed + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) + 2 * list->frameWidth();
}

void setRowLook(QTableWidget* list, int row, bool highlighted)
{
    for (int column = 0; column < list->columnCount(); ++column) {
        QTableWidgetItem* item = list->item(row, column);
        if (!item)
            continue;
        QFont font = item->font();
        font.setWeight(highlighted ? QFont::Bold : QFont::Normal);
        item->setFont(font);
        item->setForeground(highlighted ? QBrush(Qt::blue) : QBrush(Qt::black));
    }
}

} // namespace

void MainWindow::setupDiveList()
{
    QTableWidget* list = ui->diveList;
    list->setSortingEnabled(false);
    list->setColumnCount(4);
    list->setHorizontalHeaderLabels(DiveListBuilder::columnTitles());
    list->verticalHeader()->hide();
    // One text line per row: a bold (shown) date keeps to its line.
    list->setWordWrap(false);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 8);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (int section = 1; section <= 3; ++section)
        list->setProperty(kSortOrderProperty[std::size_t(section)], 1);
    list->setProperty(kSortColumnProperty, 1);

    QHeaderView* header = list->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(1, Qt::DescendingOrder);
    // The pane never gets narrower than its columns; the profile's tool row
    // wraps instead.
    ui->wdDiveList->setMinimumWidth(fitDiveListColumns(list));
    ui->splitVert->setSizes({400, 1000});

    connect(header, &QHeaderView::sectionClicked, this, &MainWindow::sortBySection);
    connect(list, &QTableWidget::itemClicked, this, [this](QTableWidgetItem* item) {
        // Control and Shift clicks build a selection for the context menu.
        if (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
            return;
        openDiveProfileItem(item);
    });
    connect(list, &QTableWidget::itemActivated, this, &MainWindow::openDiveProfileItem);
    // The keyboard moves the current row: the dive shown follows it.
    connect(new KeyboardRowFollower(list), &KeyboardRowFollower::rowReached, this,
            [this](int row) { openDiveProfileItem(ui->diveList->item(row, 0)); });
    connect(list, &QWidget::customContextMenuRequested, this, &MainWindow::onDiveListContextMenu);

    fillDiveList();
}

void MainWindow::sortBySection(int section)
{
    QTableWidget* list = ui->diveList;
    if (section >= 1 && section <= 3) {
        const char* property = kSortOrderProperty[std::size_t(section)];
        const int order = list->property(property).toInt() != 0 ? 0 : 1;
        list->setProperty(property, order);
        list->setProperty(kSortColumnProperty, section);
        list->horizontalHeader()->setSortIndicator(section, order != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
        fillDiveList();
        return;
    }
    // The name column does not sort: the header flipped its indicator on the
    // click, put it back on the active column.
    const int active = list->property(kSortColumnProperty).toInt();
    const bool descending = list->property(kSortOrderProperty[std::size_t(active)]).toInt() != 0;
    list->horizontalHeader()->setSortIndicator(active, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void MainWindow::fillDiveList()
{
    QTableWidget* list = ui->diveList;
    const int section = list->property(kSortColumnProperty).toInt();
    const bool descending = list->property(kSortOrderProperty[std::size_t(section)]).toInt() != 0;
    int computers = 0;
    const QList<DiveListEntry> dives = DiveDb::instance()->listDives(mFilter, section - 1, descending, computers);
    ui->lbFilter->setText(DiveListBuilder::countLabel(computers, int(dives.size())));

    mListedDives.clear();
    mListedDives.reserve(dives.size());
    for (const DiveListEntry& dive : dives)
        mListedDives.insert(dive.diveId, dive);
    const QList<DiveListRow> rows = DiveListBuilder::rows(dives);

    list->setUpdatesEnabled(false);
    list->clearSpans();
    list->clearContents();
    list->setRowCount(int(rows.size()));
    QFont headerFont = list->font();
    headerFont.setWeight(QFont::Bold);
    // The model would tell the view about each of the thousands of items on
    // its own; it tells it once, after the last one.
    QAbstractItemModel* model = list->model();
    QSignalBlocker quiet(model);
    for (int r = 0; r < rows.size(); ++r) {
        const DiveListRow& row = rows.at(r);
        if (row.header) {
            auto* item = new QTableWidgetItem(row.cells[0]);
            item->setToolTip(row.cells[0]);
            item->setFont(headerFont);
            item->setBackground(kHeaderBackground);
            item->setData(Qt::UserRole, -1);
            list->setItem(r, 0, item);
            list->setSpan(r, 0, 1, 4);
            continue;
        }
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(row.cells[std::size_t(column)]);
            item->setToolTip(row.cells[std::size_t(column)]);
            item->setTextAlignment(Qt::AlignCenter);
            if (column == 0)
                item->setData(Qt::UserRole, row.diveId);
            list->setItem(r, column, item);
        }
    }
    if (!rows.isEmpty()) {
        quiet.unblock();
        emit model->dataChanged(model->index(0, 0), model->index(int(rows.size()) - 1, 3));
    }
    mHighlightedRow = -1;
    highlightShownDive();
    list->setUpdatesEnabled(true);
    updateFirstStartHint();
}

void MainWindow::highlightShownDive()
{
    QTableWidget* list = ui->diveList;
    if (mHighlightedRow >= 0 && mHighlightedRow < list->rowCount())
        setRowLook(list, mHighlightedRow, false);
    mHighlightedRow = -1;
    if (mCurrentDiveId < 0)
        return;
    for (int row = 0; row < list->rowCount(); ++row) {
        if (diveIdAtRow(row) == mCurrentDiveId) {
            setRowLook(list, row, true);
            mHighlightedRow = row;
            return;
        }
    }
}

int MainWindow::diveIdAtRow(int row) const
{
    const QTableWidgetItem* item = ui->diveList->item(row, 0);
    if (!item)
        return -1;
    const QVariant id = item->data(Qt::UserRole);
    return id.isValid() ? id.toInt() : -1;
}

void MainWindow::openDiveProfileItem(QTableWidgetItem* pItem)
{
    if (!pItem)
        return;
    // Header rows carry no dive; the shown dive is read again (its notes are
    // asked about first, as for any other dive).
    const int diveId = diveIdAtRow(pItem->row());
    if (diveId >= 0)
        openListedDive(diveId);
}

void MainWindow::onDiveListContextMenu(QPoint pos)
{
    const QTableWidgetItem* item = ui->diveList->itemAt(pos);
    if (!item)
        return;
    // On a header row (no dive, id -1) the dive commands do nothing; the
    // separator choice still works.
    QMenu* menu = createDiveListMenu(diveIdAtRow(item->row()));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(ui->diveList->viewport()->mapToGlobal(pos));
}

QMenu* MainWindow::createDiveListMenu(int diveId)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("diveListMenu"));
    connect(menu->addAction(tr("Open")), &QAction::triggered, this, [this, diveId] {
        if (diveId >= 0)
            openListedDive(diveId);
    });
    connect(menu->addAction(tr("Delete")), &QAction::triggered, this, &MainWindow::deleteSelectedDives);
    menu->addSeparator();
    connect(menu->addAction(tr("Rename")), &QAction::triggered, this, [this, diveId] {
        if (diveId >= 0)
            renameListedDive(diveId);
    });
    connect(menu->addAction(tr("Export")), &QAction::triggered, this, [this, diveId] {
        if (diveId >= 0)
            exportListedDive(diveId);
    });

    QMenu* separators = menu->addMenu(tr("csv separator"));
    auto* group = new QActionGroup(separators);
    const std::array<std::pair<QString, CsvSeparator::Choice>, 3> choices = {{
        {tr("Dot ."), CsvSeparator::Dot},
        {tr("Comma ,"), CsvSeparator::Comma},
        {tr("Semicolon ;"), CsvSeparator::Semicolon},
    }};
    for (const auto& [text, choice] : choices) {
        QAction* action = separators->addAction(text);
        action->setCheckable(true);
        action->setChecked(choice == mCsvSeparator);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, choice = choice] { setCsvSeparatorChoice(choice); });
    }

    menu->addSeparator();
    addPlanningEntries(*menu, diveId);
    return menu;
}

void MainWindow::deleteSelectedDives()
{
    QSet<int> rows;
    for (const QModelIndex& index : ui->diveList->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    QList<int> diveIds;
    for (const int row : std::as_const(rows)) {
        const int diveId = diveIdAtRow(row);
        if (diveId >= 0)
            diveIds.append(diveId);
    }
    if (diveIds.isEmpty())
        return;

    const QString question =
        rows.size() > 1 ? tr("Are you sure to delete these dives?") : tr("Are you sure to delete this dive?");
    if (!UserDialogs::current().question(this, tr("Delete dive"), question))
        return;

    bool deletedAny = false;
    for (const int diveId : std::as_const(diveIds)) {
        if (!DiveDb::instance()->deleteDive(diveId))
            continue;
        deletedAny = true;
        // The shown dive stays on screen but is no longer in the logbook:
        // its notes cannot be saved there any more, and it may be stored again.
        if (diveId == mCurrentDiveId) {
            mCurrentDiveId = -1;
            ui->btStoreDive->setEnabled(true);
        }
    }
    if (!deletedAny) {
        showCritical(this, tr("Database Error"), tr("Impossible to delete profile("));
        return;
    }
    ui->diveList->clearSelection();
    fillDiveList();
}

void MainWindow::renameListedDive(int diveId)
{
    const DiveListEntry entry = mListedDives.value(diveId);
    const std::optional<QString> name = UserDialogs::current().text(this, tr("Rename"), tr("Name"), entry.name);
    if (!name)
        return;
    if (name->isEmpty()) {
        showWarning(this, tr("Error"), tr("Invalid name"));
        return;
    }
    DiveDb* db = DiveDb::instance();
    if (!db->renameDive(diveId, *name)) {
        if (db->findDiveId(*name, entry.serial) >= 0)
            showWarning(this, tr("Error"), tr("Name already exists"));
        else
            showCritical(this, tr("Database Error"), tr("Impossible to rename dive") + QLatin1Char('\n') + db->lastError());
        return;
    }
    if (diveId == mCurrentDiveId) {
        mCurrentDive.name = *name;
        fillDetails();
        graphShowDive(&mCurrentDive);
    }
    fillDiveList();
}

void MainWindow::exportListedDive(int diveId)
{
    QString path;
    const std::unique_ptr<DiveLinesIO> writer =
        askExportFile(tr("Export Profile"), CsvSeparator::character(mCsvSeparator), path);
    if (!writer)
        return;
    Dive dive;
    if (!DiveDb::instance()->loadDive(diveId, dive)) {
        showCritical(this, tr("Database Error"), tr("Impossible to read profile"));
        return;
    }
    writeExportFile(*writer, path, dive);
}
