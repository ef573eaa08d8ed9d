#include "app/floatinginformation.h"

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kCornerRadius = 14;
constexpr int kMargin = 10;
constexpr int kWidth = 260;
constexpr int kMinWidth = 200;
constexpr int kMaxHeight = 290;
// The profile's title band and its depth- and time-label margins, in pixels
// from the frame's edges, and what the window keeps from the pointer.
constexpr int kTitleBand = 34;
constexpr int kLeftLabels = 56;
constexpr int kRightMargin = 44;
constexpr int kPointerReach = 40;

// A wide profile gives the window its full width, a narrow one about a third
// of its own, so that the window hides less of the dive.
int widthIn(const QRect& frame)
{
    return std::clamp(frame.width() / 3, kMinWidth, kWidth);
}
} // namespace

FloatingInformation::FloatingInformation(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("floatingInformation"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    mText = new QTextEdit(this);
    mText->setObjectName(QStringLiteral("floatingInformationText"));
    mText->setReadOnly(true);
    mText->setTextInteractionFlags(Qt::NoTextInteraction);
    mText->setFrameShape(QFrame::NoFrame);
    mText->setStyleSheet(QStringLiteral("background: transparent;"));
    // Presses go to the window, so that a drag anywhere on it moves it.
    mText->setAttribute(Qt::WA_TransparentForMouseEvents);
    mText->setFocusPolicy(Qt::NoFocus);
    mText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(mText);
    resize(kWidth, kMaxHeight);
}

void FloatingInformation::setFrame(QWidget* frame)
{
    if (mFrame != nullptr) {
        mFrame->removeEventFilter(this);
        mFrame->window()->removeEventFilter(this);
    }
    mFrame = frame;
    if (frame != nullptr) {
        frame->installEventFilter(this);
        frame->window()->installEventFilter(this);
    }
}

void FloatingInformation::showInformation(const QString& html, const QPoint& pointer)
{
    if (html.isEmpty())
        return;
    mText->setHtml(html);
    fitToText();
    const QRect frame = frameRect();
    if (!isVisible()) {
        // First shown for this text: on the side away from the pointer.
        mOnLeft = pointer.x() > frame.center().x();
        placeInFrame();
    } else if (pointerNear(geometry(), pointer)) {
        mOnLeft = !mOnLeft;
        placeInFrame();
    }
    show();
    raise();
}

void FloatingInformation::showAgain()
{
    if (!hasInformation())
        return;
    placeInFrame();
    show();
    raise();
}

void FloatingInformation::clearInformation()
{
    mText->clear();
    hide();
}

bool FloatingInformation::hasInformation() const
{
    return !mText->document()->isEmpty();
}

QPoint FloatingInformation::cornerPosition(const QRect& frame, const QSize& size, bool left)
{
    const int x = left ? frame.left() + kLeftLabels : frame.left() + frame.width() - kRightMargin - size.width();
    const int y = frame.top() + kTitleBand;
    // A frame too small for the window keeps at least its top-left corner.
    const int maxX = std::max(frame.left(), frame.left() + frame.width() - size.width());
    const int maxY = std::max(frame.top(), frame.top() + frame.height() - size.height());
    return {std::clamp(x, frame.left(), maxX), std::clamp(y, frame.top(), maxY)};
}

bool FloatingInformation::pointerNear(const QRect& box, const QPoint& pointer)
{
    return box.adjusted(-kPointerReach, -kPointerReach, kPointerReach, kPointerReach).contains(pointer);
}

QRect FloatingInformation::frameRect() const
{
    if (mFrame == nullptr)
        return parentWidget() != nullptr ? QRect(parentWidget()->mapToGlobal(QPoint(0, 0)), parentWidget()->size())
                                         : QRect(pos(), size());
    return {mFrame->mapToGlobal(QPoint(0, 0)), mFrame->size()};
}

void FloatingInformation::fitToText()
{
    // The document laid out at the text box's width tells the height it needs.
    const QRect frame = frameRect();
    const int width = widthIn(frame);
    QTextDocument* document = mText->document();
    document->setTextWidth(width - 2 * kMargin);
    const int wanted = int(std::ceil(document->size().height())) + 2 * kMargin + 2;
    const int room = std::max(60, frame.height() - kTitleBand - kMargin);
    resize(width, std::clamp(wanted, 60, std::min(kMaxHeight, room)));
}

void FloatingInformation::placeInFrame()
{
    move(cornerPosition(frameRect(), size(), mOnLeft));
}

bool FloatingInformation::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        // The main window or the profile area moved or changed size: sized
        // to it again and back into its corner.
        if (isVisible()) {
            fitToText();
            placeInFrame();
        }
        break;
    case QEvent::Hide:
        if (watched == mFrame)
            hide();
        break;
    case QEvent::WindowStateChange:
        if (mFrame != nullptr && watched == mFrame->window() && mFrame->window()->isMinimized())
            hide();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
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
