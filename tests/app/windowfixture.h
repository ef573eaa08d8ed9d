#pragma once

// Helpers for the main-window tests: dives made with the record code, a
// logbook filled before the window opens, and the window's widgets and menus
// reached through their object names and texts.

#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "db/divedb.h"
#include "divedata/dive.h"
#include "recordeddive.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QQueue>
#include <QTableWidget>
#include <QTest>

#include <cmath>

namespace windowtest {

// A recorded dive: `points` lines every 5 s down to `depth` and back up.
inline Dive makeDive(const QString& name, const QString& serial, qint64 begin, int points = 60, double depth = 20.0)
{
    Dive dive = RecordedDive::make(name, serial, begin, points, depth);
    dive.computerModel = ComputerModel::Pelagon;
    dive.samplePeriod = 5;
    dive.computeStatistics();
    return dive;
}

inline qint64 localSecs(int year, int month, int day, int hour = 10, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute)).toSecsSinceEpoch();
}

// Removes the data directory of the test program so that each test starts
// without settings and without logbook.
inline void clearDataDirectory()
{
    DiveDb::instance()->close();
    QDir(DataDirectory::path()).removeRecursively();
}

// The main window shown, at `size` when one is given; null when it never shows.
inline std::unique_ptr<MainWindow> shownWindow(const QSize& size = QSize())
{
    auto window = std::make_unique<MainWindow>();
    if (size.isValid())
        window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

// Stores the dives in the logbook the window will open.
inline bool storeDives(const QList<Dive>& dives)
{
    if (!DataDirectory::ensure() || DiveDb::instance()->open(DataDirectory::databaseFile()) != DiveDb::Opened)
        return false;
    bool stored = true;
    for (const Dive& dive : dives)
        stored = DiveDb::instance()->insertDive(dive) == DiveDb::Stored && stored;
    DiveDb::instance()->close();
    return stored;
}

template <class T>
struct Same
{
    using type = T;
};

// Replaces the scripted answers of a dialog queue.
template <class T>
void script(QQueue<T>& queue, const QList<typename Same<T>::type>& answers)
{
    queue.clear();
    for (const T& answer : answers)
        queue.enqueue(answer);
}

template <class T>
T* child(const QWidget& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

inline QTableWidget* diveList(const QWidget& window)
{
    return child<QTableWidget>(window, "diveList");
}

// The row showing the dive of that name, or -1.
inline int rowOf(const QTableWidget* list, const QString& name)
{
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem* item = list->item(row, 0);
        if (item && item->data(Qt::UserRole).toInt() >= 0 && item->text() == name)
            return row;
    }
    return -1;
}

inline QPoint cellCentre(QTableWidget* list, int row, int column = 1)
{
    return list->visualRect(list->model()->index(row, column)).center();
}

inline void clickRow(QTableWidget* list, int row, int column = 1, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, cellCentre(list, row, column));
}

// Right-clicks a row the way a user does (the press selects the row when it
// is not selected yet) and returns the context menu that opened, if any.
inline QMenu* openRowMenu(QTableWidget* list, int row, int column = 1)
{
    const QPoint pos = cellCentre(list, row, column);
    if (!list->selectionModel()->isRowSelected(row, QModelIndex()))
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, list->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(list->viewport(), &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// The enabled action reached through the menu texts, or null.
inline QAction* menuAction(QMenu* menu, const QStringList& path)
{
    QAction* found = nullptr;
    for (const QString& text : path) {
        if (!menu)
            return nullptr;
        found = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                found = action;
                break;
            }
        }
        if (!found)
            return nullptr;
        menu = found->menu();
    }
    return found;
}

// Opens the row's menu, triggers the entry and closes the menu.
inline bool triggerRowMenu(QTableWidget* list, int row, const QStringList& path)
{
    QMenu* menu = openRowMenu(list, row);
    QAction* action = menuAction(menu, path);
    const bool usable = action && action->isEnabled();
    if (usable)
        action->trigger();
    if (menu)
        menu->close();
    return usable;
}

} // namespace windowtest
