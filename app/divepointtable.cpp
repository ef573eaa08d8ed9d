#include "app/divepointtable.h"

#include "divedata/dive.h"

#include <QDoubleSpinBox>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimeEdit>

namespace {

const char* const kRowProperty = "id";

QPersistentModelIndex editedIndex(const QObject* editor)
{
    return editor->property(kRowProperty).value<QPersistentModelIndex>();
}

QString gasText(const Dive& dive, const DiveLine& line)
{
    if (line.gasIndex < 0 || line.gasIndex >= dive.gases.size())
        return QString();
    return dive.gases.at(line.gasIndex).gasName();
}

} // namespace

TblDivePointsModel::TblDivePointsModel(DiveSource dive, QTableView* view, QObject* parent)
    : QAbstractTableModel(parent)
    , mDive(std::move(dive))
    , mView(view)
{
}

int TblDivePointsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const Dive* dive = mDive ? mDive() : nullptr;
    return dive ? int(dive->lines.size()) : 0;
}

int TblDivePointsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QPixmap TblDivePointsModel::deleteIcon(const QSize& cell) const
{
    if (mDeleteIcon.isNull() || mDeleteIcon.size() != cell) {
        QPixmap pixmap(cell.expandedTo(QSize(18, 18)));
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const QPixmap icon = QPixmap(QStringLiteral(":/TestGraphics/icons/cancel.png"))
                                 .scaled(18, 18, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawPixmap((pixmap.width() - 18) / 2, (pixmap.height() - 18) / 2, icon);
        mDeleteIcon = pixmap;
    }
    return mDeleteIcon;
}

QVariant TblDivePointsModel::data(const QModelIndex& index, int role) const
{
    const Dive* dive = mDive ? mDive() : nullptr;
    if (!dive || !index.isValid() || index.row() >= dive->lines.size())
        return {};
    const DiveLine& line = dive->lines.at(index.row());
    switch (index.column()) {
    case DeleteColumn:
        if (role == Qt::DecorationRole) {
            const QSize cell = mView ? QSize(mView->columnWidth(0), mView->rowHeight(index.row())) : QSize(18, 18);
            return deleteIcon(cell);
        }
        break;
    case DepthColumn:
        if (role == Qt::DisplayRole)
            return QString::number(line.depth, 'f', 1);
        if (role == Qt::EditRole)
            return line.depth;
        break;
    case TimeColumn:
        if (role == Qt::DisplayRole)
            return Dive::formatDuration(line.timeSec);
        if (role == Qt::EditRole)
            return int(line.timeSec);
        break;
    case GasColumn:
        if (role == Qt::DisplayRole)
            return gasText(*dive, line);
        break;
    default:
        break;
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant TblDivePointsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section;
    switch (section) {
    case DepthColumn: return tr("Depth");
    case TimeColumn: return tr("Time");
    case GasColumn: return tr("Gas");
    default: return QString();
    }
}

Qt::ItemFlags TblDivePointsModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TblDivePointsModel::refresh(int row)
{
    if (row < 0 || row >= rowCount()) {
        beginResetModel();
        endResetModel();
        return;
    }
    emit dataChanged(index(row, DeleteColumn), index(row, TimeColumn));
}

// Delegate ---------------------------------------------------------------------

SpinBoxDelegate::SpinBoxDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

QString SpinBoxDelegate::timeFormat(int seconds)
{
    return seconds >= 3600 ? QStringLiteral("hh:mm:ss") : QStringLiteral("mm:ss");
}

QWidget* SpinBoxDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    if (index.row() == 0)
        return nullptr;
    if (index.column() == TblDivePointsModel::DepthColumn) {
        auto* spin = new QDoubleSpinBox(parent);
        spin->setFrame(false);
        spin->setRange(0.0, 100.0);
        spin->setDecimals(1);
        spin->setSingleStep(0.5);
        spin->setProperty(kRowProperty, QVariant::fromValue(QPersistentModelIndex(index)));
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this, spin](double depth) {
            const QPersistentModelIndex edited = editedIndex(spin);
            if (edited.isValid() && mDepthChanged)
                mDepthChanged(edited.row(), depth);
        });
        return spin;
    }
    if (index.column() == TblDivePointsModel::TimeColumn) {
        auto* edit = new QTimeEdit(parent);
        edit->setProperty(kRowProperty, QVariant::fromValue(QPersistentModelIndex(index)));
        connect(edit, &QTimeEdit::timeChanged, this, [this, edit](QTime time) {
            const QPersistentModelIndex edited = editedIndex(edit);
            if (!edited.isValid())
                return;
            int seconds = QTime(0, 0).secsTo(time);
            const bool accepted = mTimeChanged && mTimeChanged(edited.row(), seconds);
            if (!accepted)
                seconds = edited.data(Qt::EditRole).toInt();
            const QSignalBlocker blocker(edit);
            edit->setDisplayFormat(timeFormat(seconds));
            edit->setTime(QTime(0, 0).addSecs(seconds));
        });
        return edit;
    }
    return nullptr;
}

void SpinBoxDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    editor->setProperty(kRowProperty, QVariant::fromValue(QPersistentModelIndex(index)));
    const QSignalBlocker blocker(editor);
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(editor)) {
        spin->setValue(index.data(Qt::EditRole).toDouble());
    } else if (auto* edit = qobject_cast<QTimeEdit*>(editor)) {
        const int seconds = index.data(Qt::EditRole).toInt();
        edit->setDisplayFormat(timeFormat(seconds));
        edit->setTime(QTime(0, 0).addSecs(seconds));
    }
}

void SpinBoxDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
}

void SpinBoxDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}
