#pragma once

#include <QPoint>
#include <QWidget>

class QTextEdit;

// A small frameless tool window over the profile that shows the position
// information under the pointer. It has no title bar, so it is moved by
// dragging it anywhere with the left button.
class FloatingInformation : public QWidget
{
    Q_OBJECT

public:
    explicit FloatingInformation(QWidget* parent);

    void setInformation(const QString& html);
    QString information() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextEdit* mText = nullptr;
    QPoint mDragOffset;
    bool mDragging = false;
};
