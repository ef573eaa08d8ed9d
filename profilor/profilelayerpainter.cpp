#include "profilor/profilepainter_p.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>

namespace ProfilePainter {

namespace {

QPen solidPen(const QColor& colour, double width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void paintLabels(QPainter* painter, const std::vector<ProfileLayout::Label>& labels)
{
    QColor current;
    for (const ProfileLayout::Label& label : labels) {
        if (label.colour != current || !current.isValid()) {
            current = label.colour;
            painter->setPen(QPen(current));
        }
        painter->drawText(label.position, label.text);
    }
}

void paintPictures(QPainter* painter, const std::vector<ProfileLayout::Picture>& pictures)
{
    for (const ProfileLayout::Picture& picture : pictures)
        painter->drawImage(picture.topLeft, *picture.image);
}

void paintProfile(QPainter* painter, const ProfileLayout& layout, const ProfileView& view)
{
    QLinearGradient gradient(0.0, 0.0, view.graph.width(), view.graph.height());
    gradient.setColorAt(0.0, Qt::white);
    gradient.setColorAt(1.0, layout.areaColour);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawPolygon(layout.area, Qt::OddEvenFill);

    for (const ProfileLayout::ColouredLines& run : layout.speedLines) {
        painter->setPen(solidPen(run.colour, 2));
        painter->drawLines(run.lines);
    }
    if (!layout.temperatureLines.isEmpty()) {
        painter->setPen(QPen(Qt::blue));
        painter->drawLines(layout.temperatureLines);
    }
    for (const ProfileLayout::ColouredLines& run : layout.pressureLines) {
        painter->setPen(QPen(run.colour));
        painter->drawLines(run.lines);
    }
    // Circles keep the area brush, as every circle drawn after the area does.
    for (const ProfileLayout::Circle& circle : layout.circles) {
        painter->setPen(solidPen(circle.colour, 2));
        painter->drawEllipse(circle.centre, 3.0, 3.0);
    }
    paintPictures(painter, layout.pictures);
    paintLabels(painter, layout.curveLabels);

    if (layout.hasMaxDepth) {
        painter->setPen(solidPen(Qt::darkRed, 2));
        painter->drawEllipse(layout.maxDepthPoint, 3.0, 3.0);
        painter->drawText(layout.maxDepthPoint + QPointF(0, -10), layout.maxDepthText);
    }
    if (!layout.sampleDots.isEmpty()) {
        painter->setPen(solidPen(Qt::blue, 4));
        painter->drawPoints(layout.sampleDots.constData(), int(layout.sampleDots.size()));
    }
}

void paintYoyos(QPainter* painter, const ProfileLayout& layout)
{
    if (layout.yoyos.empty())
        return;
    painter->save();
    QFont font(QStringLiteral("Arial"), 9);
    font.setWeight(QFont::Bold);
    painter->setFont(font);
    for (const ProfileLayout::Yoyo& yoyo : layout.yoyos) {
        painter->setPen(QPen(yoyo.colour));
        painter->setBrush(QBrush(yoyo.colour));
        painter->drawEllipse(yoyo.centre, 4.0, 4.0);
        painter->drawText(yoyo.centre + QPointF(6, 4), QStringLiteral("Y%1").arg(yoyo.number));
    }
    painter->restore();
}

void paintDeco(QPainter* painter, const ProfileLayout& layout, const GridMetrics& metrics)
{
    const QPen decoPen = solidPen(Qt::cyan, 2);
    painter->setPen(decoPen);
    if (layout.decoLine.size() > 1)
        painter->drawPolyline(layout.decoLine);
    paintPictures(painter, layout.decoPictures);
    paintLabels(painter, layout.decoLabels);

    if (layout.ceilTrackingLine.size() > 1) {
        painter->setPen(layout.ceilTrackingInLabelPen ? QPen(Qt::blue) : decoPen);
        painter->drawPolyline(layout.ceilTrackingLine);
    }

    if (!layout.ceiling.isEmpty()) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(240, 155, 90, 128));
        painter->drawPolygon(layout.ceiling);
        if (layout.decoNotTerminated) {
            const QString text = QCoreApplication::translate("DiveProfileItem", "Deco not terminated");
            painter->setPen(QPen(Qt::red));
            painter->drawText(QPointF(layout.lastCeilingPoint.x() - text.size() * metrics.w,
                                      layout.lastCeilingPoint.y() + metrics.h),
                              text);
        }
    }

    if (!layout.overlayLine.isEmpty()) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(QColor(230, 120, 0), 2, Qt::DashLine));
        painter->drawPolyline(layout.overlayLine);
        paintLabels(painter, layout.overlayLabels);
    }
}

} // namespace

void paintLayers(QPainter* painter, const ProfileLayout& layout, const ProfileView& view,
                 const GridMetrics& metrics)
{
    if (!layout.hasProfile)
        return;
    paintProfile(painter, layout, view);
    paintYoyos(painter, layout);
    paintDeco(painter, layout, metrics);
}

} // namespace ProfilePainter
