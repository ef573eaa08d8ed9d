#include "app/keyboardrowfollower.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTableWidget>

KeyboardRowFollower::KeyboardRowFollower(QTableWidget* list)
    : QObject(list)
    , mList(list)
{
    list->viewport()->installEventFilter(this);
    connect(list, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) { currentCellChanged(row, previousRow); });
}

bool KeyboardRowFollower::eventFilter(QObject* watched, QEvent* event)
{
    // The press reaches the list after this, so the current-row change it
    // makes finds the pointer down.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mPointerDown = true;
        break;
    case QEvent::MouseButtonRelease:
        mPointerDown = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KeyboardRowFollower::currentCellChanged(int row, int previousRow)
{
    if (row < 0 || row == previousRow || mPointerDown || !mList->updatesEnabled())
        return;
    if (QGuiApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        return;
    emit rowReached(row);
}
