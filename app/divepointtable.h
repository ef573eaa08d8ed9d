#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <functional>

struct Dive;
class QTableView;

// The lines of the planned dive as an editable table: a delete icon, the
// depth, the time and the gas of each line. The dive is reached through a
// callable, so the table always shows the planner's current dive (none: no
// rows); call refresh(-1) whenever lines were added or removed.
class TblDivePointsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DeleteColumn = 0, DepthColumn = 1, TimeColumn = 2, GasColumn = 3 };
    using DiveSource = std::function<const Dive*()>;

    TblDivePointsModel(DiveSource dive, QTableView* view, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Below 0 the whole table is reset; otherwise the row's first three
    // columns are reported changed.
    void refresh(int row);

private:
    QPixmap deleteIcon(const QSize& cell) const;

    DiveSource mDive;
    QTableView* mView = nullptr;
    mutable QPixmap mDeleteIcon; // built once per cell size
};

// Editors of the depth and time columns. Each change is handed at once to
// the owner's callbacks (which re-plan), so the plan follows the editing.
class SpinBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using DepthChanged = std::function<void(int row, double depth)>;
    // `seconds` may be corrected by the callee; false refuses the change.
    using TimeChanged = std::function<bool(int row, int& seconds)>;

    explicit SpinBoxDelegate(QObject* parent = nullptr);

    void setDepthCallback(DepthChanged callback) { mDepthChanged = std::move(callback); }
    void setTimeCallback(TimeChanged callback) { mTimeChanged = std::move(callback); }

    // None for row 0 and for columns other than depth and time.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // The callbacks already changed the dive: nothing to write back.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The editor's display format for a time: hours from one hour on.
    static QString timeFormat(int seconds);

private:
    DepthChanged mDepthChanged;
    TimeChanged mTimeChanged;
};
