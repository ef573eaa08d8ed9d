#pragma once

#include <QObject>

class QTableWidget;

// Tells when the keyboard makes another row of a list current: arrow and page
// keys, Home, End and type-ahead all end in such a change that no pointer
// press caused. A pointer press makes its row current too, but the click that
// follows is the list's own business, so presses are not reported; neither
// are changes while Shift or Control extend a selection, nor those of a list
// being refilled (its updates are off then).
class KeyboardRowFollower : public QObject
{
    Q_OBJECT

public:
    explicit KeyboardRowFollower(QTableWidget* list);

signals:
    void rowReached(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void currentCellChanged(int row, int previousRow);

    QTableWidget* mList;
    bool mPointerDown = false;
};
