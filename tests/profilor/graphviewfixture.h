#pragma once

// A real graph view shown offscreen, and the input it is driven with.

#include "profilor/diveprofileitem.h"
#include "profilor/graphview.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace ViewTest {

// Sends a mouse event to the view's viewport as the window system would.
inline void mouse(GraphView& view, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* viewport = view.viewport();
    QMouseEvent event(type, pos, viewport->mapTo(viewport->window(), pos), viewport->mapToGlobal(pos), button, buttons,
                      modifiers, QPointingDevice::primaryPointingDevice());
    QApplication::sendEvent(viewport, &event);
}

inline void press(GraphView& view, QPointF pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    mouse(view, QEvent::MouseButtonPress, pos, button, button, modifiers);
}

inline void move(GraphView& view, QPointF pos, Qt::MouseButtons buttons = Qt::NoButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    mouse(view, QEvent::MouseMove, pos, Qt::NoButton, buttons, modifiers);
}

inline void release(GraphView& view, QPointF pos, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    mouse(view, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, modifiers);
}

inline void doubleClick(GraphView& view, QPointF pos, Qt::MouseButton button = Qt::LeftButton)
{
    press(view, pos, button);
    release(view, pos, button);
    mouse(view, QEvent::MouseButtonDblClick, pos, button, button);
    release(view, pos, button);
}

// A press, a drag in a few steps and a release with the left button.
inline void drag(GraphView& view, QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                 int steps = 4)
{
    press(view, from, Qt::LeftButton, modifiers);
    for (int i = 1; i <= steps; ++i)
        move(view, from + (to - from) * (double(i) / steps), Qt::LeftButton, modifiers);
    release(view, to, Qt::LeftButton, modifiers);
}

inline void wheel(GraphView& view, QPointF pos, QPoint angleDelta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* viewport = view.viewport();
    QWheelEvent event(pos, viewport->mapToGlobal(pos), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

// A shown view of the given size; the scene then matches its viewport.
inline std::unique_ptr<GraphView> shownView(QSize size = QSize(900, 580))
{
    auto view = std::make_unique<GraphView>();
    view->resize(size);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    return view;
}

} // namespace ViewTest
