#include "app/floatinginformation.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int kCornerRadius = 14;
}

FloatingInformation::FloatingInformation(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("floatingInformation"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    mText = new QTextEdit(this);
    mText->setObjectName(QStringLiteral("floatingInformationText"));
    mText->setReadOnly(true);
    mText->setTextInteractionFlags(Qt::NoTextInteraction);
    mText->setFrameShape(QFrame::NoFrame);
    mText->setStyleSheet(QStringLiteral("background: transparent;"));
    // Presses go to the window, so that a drag anywhere on it moves it.
    mText->setAttribute(Qt::WA_TransparentForMouseEvents);
    mText->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(mText);
    resize(260, 290);
}

void FloatingInformation::setInformation(const QString& html)
{
    mText->setHtml(html);
}

QString FloatingInformation::information() const
{
    return mText->toPlainText();
}

void FloatingInformation::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void FloatingInformation::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // A thin outline, so that the white window stands out on the white
    // profile behind it.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(160, 160, 160), 1.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), kCornerRadius, kCornerRadius);
}

void FloatingInformation::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        mDragging = true;
        mDragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void FloatingInformation::mouseMoveEvent(QMouseEvent* event)
{
    if (mDragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - mDragOffset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void FloatingInformation::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        mDragging = false;
    QWidget::mouseReleaseEvent(event);
}

void FloatingInformation::keyPressEvent(QKeyEvent* event)
{
    // Escape belongs to the window below (it clears the profile selection).
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QWidget::keyPressEvent(event);
}
