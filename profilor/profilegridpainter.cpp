#include "profilor/profilepainter_p.h"

#include "divedata/dive.h"
#include "profilor/profilestyle.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace ProfilePainter {

namespace {

bool positiveFinite(double v)
{
    return std::isfinite(v) && v > 0.0;
}

QPen gridPen(const QColor& colour, double width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

GridMetrics gridMetrics(QPainter* painter)
{
    const QRectF zero = QFontMetricsF(painter->font(), painter->device()).boundingRect(QStringLiteral("0"));
    return {zero.width(), zero.height()};
}

void paintAxes(QPainter* painter, const ProfileView& view)
{
    const int x = int(view.graph.x());
    const int y = int(view.graph.y());
    const int right = int(view.graph.x() + view.graph.width() + 10.0);
    const int axis = int(view.timeAxisY);
    painter->setPen(gridPen(Qt::lightGray, 2));
    painter->drawLine(x, y, right, y);
    painter->drawLine(x, axis, right, axis);
    painter->drawLine(x, int(view.graph.y() - 10.0), x, int(view.graph.y() + view.graph.height()));
}

QVector<double> depthGridValues(const ProfileView& view, const GridMetrics& metrics)
{
    QVector<double> values;
    if (!positiveFinite(view.depthScale) || !positiveFinite(view.depthRange))
        return values;
    // Labels one and a half text lines apart at least.
    const double step = ProfileStyle::spacedDepthGridStep(ProfileStyle::depthGridStep(view.depthRange),
                                                          view.depthScale, 1.5 * metrics.h);
    for (int k = 1; k <= kMaxGridTicks; ++k) {
        const double y = view.graph.y() + k * step * view.depthScale;
        if (k > 1 && y > view.timeAxisY)
            break;
        values.append(k * step);
    }
    return values;
}

QVector<double> timeGridValues(const ProfileView& view, const GridMetrics& metrics)
{
    QVector<double> values;
    const double span = view.endTime - view.startTime;
    if (!positiveFinite(view.timeScale) || !positiveFinite(span) || !std::isfinite(view.startTime))
        return values;
    // The widest label of the view ("hh:mm:ss" once it reaches an hour) and
    // two characters between neighbours.
    const double labelChars = double(Dive::formatDuration(view.endTime).size());
    const double step = ProfileStyle::spacedTimeGridStep(ProfileStyle::timeGridStep(span), view.timeScale,
                                                         (labelChars + 2.0) * metrics.w);
    const double first = std::ceil(view.startTime / 60.0) * 60.0;
    const double right = view.graph.x() + view.graph.width();
    for (int k = 0; k < kMaxGridTicks; ++k) {
        const double t = first + k * step;
        if (k > 0 && view.timeToX(t) > right)
            break;
        values.append(t);
    }
    return values;
}

void paintDepthGrid(QPainter* painter, const ProfileView& view, const GridMetrics& metrics)
{
    const QVector<double> values = depthGridValues(view, metrics);
    if (values.isEmpty())
        return;
    QVector<QLineF> lines;
    lines.reserve(values.size());
    for (double depth : values) {
        const double y = view.graph.y() + depth * view.depthScale;
        lines.append(QLineF(view.graph.x(), y, view.graph.x() + view.graph.width(), y));
    }
    painter->setPen(gridPen(Qt::lightGray, 1));
    painter->drawLines(lines);
    painter->setPen(QColor(Qt::darkGray));
    for (qsizetype k = 0; k < values.size(); ++k) {
        const QString label = QString::number(values[k], 'f', 1);
        painter->drawText(QPointF(view.graph.x() - label.size() * 1.5 * metrics.w, lines[k].y1() + metrics.h / 2.0),
                          label);
    }
}

void paintTimeGrid(QPainter* painter, const ProfileView& view, const GridMetrics& metrics)
{
    const QVector<double> values = timeGridValues(view, metrics);
    if (values.isEmpty())
        return;
    QVector<QLineF> lines;
    lines.reserve(values.size());
    for (double t : values) {
        const double x = view.timeToX(t);
        lines.append(QLineF(x, view.graph.y(), x, view.timeAxisY));
    }
    painter->setPen(gridPen(Qt::lightGray, 1));
    painter->drawLines(lines);
    painter->setPen(QColor(Qt::darkGray));
    for (qsizetype k = 0; k < values.size(); ++k) {
        const QString label = Dive::formatDuration(values[k]);
        painter->drawText(QPointF(lines[k].x1() - label.size() * metrics.w / 2.0, view.timeAxisY + 1.5 * metrics.h),
                          label);
    }
}

} // namespace ProfilePainter
