#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QTextEdit;

// A small frameless tool window over the profile that shows the position
// information under the pointer. It has no title bar, so it is moved by
// dragging it anywhere with the left button.
//
// It lives inside the profile area (its frame): in the top corner away from
// the pointer, moving to the other corner when the pointer comes near, and
// back into place whenever the main window moves or resizes. It shows only
// while it has something to say.
class FloatingInformation : public QWidget
{
    Q_OBJECT

public:
    explicit FloatingInformation(QWidget* parent);

    // The profile area the window keeps inside; it hides when that does.
    void setFrame(QWidget* frame);
    // Shows the text, sized to it, placed for the pointer (global position).
    // Empty text changes nothing.
    void showInformation(const QString& html, const QPoint& pointer);
    // Shows the last text again, if there is one, where it belongs.
    void showAgain();
    // Forgets the text and hides: a new dive has nothing to say yet.
    void clearInformation();
    bool hasInformation() const;
    QString information() const;

    // Top-left of a window of `size` in the top corner of `frame` (global
    // coordinates) on the left or the right: below the profile's title and
    // clear of its axis labels, never outside the frame.
    static QPoint cornerPosition(const QRect& frame, const QSize& size, bool left);
    // True when the pointer comes within reach of the window at `box`.
    static bool pointerNear(const QRect& box, const QPoint& pointer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect frameRect() const;
    void fitToText();
    void placeInFrame();

    QTextEdit* mText = nullptr;
    QPointer<QWidget> mFrame;
    bool mOnLeft = false;
    QPoint mDragOffset;
    bool mDragging = false;
};
