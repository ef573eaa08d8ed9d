#include "profilor/tissuesgraph.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

TissuesGraph::TissuesGraph(QWidget* parent)
    : QWidget(parent)
    , mFont(QApplication::font())
{
    mFont.setPointSizeF(7.0);
    mFontHeight = QFontMetrics(mFont).height();
}

void TissuesGraph::setValues(const float* values)
{
    if (values == nullptr)
        return;
    for (int k = 0; k < kCompartments; ++k)
        mValues[std::size_t(k)] = std::isfinite(values[k]) ? values[k] : 0.0f;
    repaint();
}

void TissuesGraph::setValues(const Values& values)
{
    setValues(values.data());
}

void TissuesGraph::reset()
{
    mValues.fill(0.0f);
    repaint();
}

void TissuesGraph::setFrontColor(const QColor& color)
{
    mFrontColor = color;
    update();
}

void TissuesGraph::setBackgroundColor(const QColor& color)
{
    mBackgroundColor = color;
    update();
}

QSize TissuesGraph::sizeHint() const
{
    return QSize(2 * mMargin + 17 * mSpacing + 16 * 18, 120);
}

void TissuesGraph::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    const int m = mMargin;
    const int s = mSpacing;

    QPainter painter(this);
    painter.setFont(mFont);
    painter.fillRect(rect(), mBackgroundColor);
    painter.setBrush(QColor(Qt::green));
    // The front colour draws the base line and the texts, so that they stay
    // readable when the palette is dark.
    painter.setPen(mFrontColor);

    const int baseY = h - 3 * m;
    painter.drawLine(m, baseY, w - m, baseY);

    const auto [lowest, highest] = std::minmax_element(mValues.cbegin(), mValues.cend());
    if (*highest < 0.01f)
        return; // an empty or cleared set draws no bars
    const double lo = std::min(99.0, double(*lowest));
    const double hi = std::max(0.0, double(*highest));
    const double range = hi - lo;

    const int barWidth = std::max(0, (w - 2 * m - 17 * s) / 16);
    const double available = double(h - 6 * m);
    int x = m + s;
    for (int k = 1; k <= kCompartments; ++k) {
        const double v = mValues[std::size_t(k - 1)];
        // Equal values (no range to scale by) stand at half the height.
        const int barHeight = range > 0.01 ? int((v - lo) * available / range) : int(available * 0.5);
        painter.drawRect(x, baseY - barHeight, barWidth, barHeight);
        painter.drawText(QPointF(x, baseY - barHeight - 2), QStringLiteral("%1").arg(v, 0, 'f', 2));
        painter.drawText(QRect(x, baseY, barWidth, mFontHeight), Qt::AlignCenter, QString::number(k));
        x += barWidth + s;
    }
}

void TissuesGraph::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
        updateColorsFromSystemPalette();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TissuesGraph::updateColorsFromSystemPalette()
{
    const QPalette palette = QApplication::palette();
    mBackgroundColor = palette.color(QPalette::Window);
    mFrontColor = palette.color(QPalette::WindowText);
    update();
}
