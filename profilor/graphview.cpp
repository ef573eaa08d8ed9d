// The graph view: its scene and items, the owner's setters, and the position
// and hover information. Input handling is in graphviewinput.cpp.

#include "profilor/graphview.h"

#include "divedata/dive.h"
#include "profilor/diveprofileitem.h"
#include "profilor/profilestyle.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>

#include <algorithm>
#include <cmath>

namespace {

// The whole-second part of a line time, as the lookup compares it.
int wholeSeconds(const DiveLine& line)
{
    return ProfileStyle::saturatedInt(line.timeSec);
}

// The segment of `lines` that contains the whole-second time t: the first
// i >= 1 with int(time[i-1]) <= t <= int(time[i]). Lines are in time order, so
// a bisection finds it in a few steps on the longest dive.
bool positionAmong(const QList<DiveLine>& lines, int t, DivePosition& out)
{
    out = DivePosition();
    const qsizetype n = lines.size();
    if (n < 2)
        return false;

    auto containsAt = [&](qsizetype i) { return wholeSeconds(lines[i - 1]) <= t && t <= wholeSeconds(lines[i]); };
    qsizetype found = -1;
    const auto first = std::lower_bound(lines.cbegin() + 1, lines.cend(), t,
                                        [](const DiveLine& line, int time) { return wholeSeconds(line) < time; });
    const qsizetype candidate = first - lines.cbegin();
    if (candidate < n && containsAt(candidate)) {
        found = candidate;
        // Equal whole seconds before the candidate also contain t; the first wins.
        while (found > 1 && containsAt(found - 1))
            --found;
    } else if (wholeSeconds(lines.first()) <= t && t <= wholeSeconds(lines.last())) {
        // Lines in time order always have a segment between their first and
        // last times: a miss there means the time goes back somewhere (an
        // edited profile), and only a scan finds the first segment. Outside
        // that span, where the pointer is beside the profile, no scan is made.
        for (qsizetype i = 1; i < n; ++i) {
            if (containsAt(i)) {
                found = i;
                break;
            }
        }
    }
    if (found < 0)
        return false;

    const DiveLine& before = lines[found - 1];
    const DiveLine& after = lines[found];
    const double span = after.timeSec - before.timeSec;
    const double f = span > 0.0 ? (t - before.timeSec) / span : 0.0;
    out.before = &before;
    out.after = &after;
    out.ceiling = before.decoCeiling + f * (after.decoCeiling - before.decoCeiling);
    out.tankPressure = double(before.tankPressure) + f * (double(after.tankPressure) - double(before.tankPressure));
    return true;
}

const QString kShadedRow = QStringLiteral("    <tr style=\"background-color:#DFF5D8;\"><td width=\"50%\">");
const QString kPlainRow = QStringLiteral("    <tr><td>");

QString row(const QString& start, const QString& label, const QString& value)
{
    return start + label + QStringLiteral("</td> <td>") + value + QStringLiteral("</td></tr>");
}

QString tableHeading(const QString& title)
{
    return QStringLiteral("    <p align=\"center\" style=\"font-size:10pt; font-weight:700;\">") + title
        + QStringLiteral("< / p>    <table width=\"98%\" align=\"center\">");
}

} // namespace

GraphView::GraphView(QWidget* parent)
    : QGraphicsView(parent)
    , mScene(new QGraphicsScene(this))
{
    mScene->setBackgroundBrush(QColor(242, 242, 230));
    // A handful of top-level items, but in edit mode one handle per profile
    // line under the profile item: a spatial index would be walked whole on
    // every full repaint (it maps each indexed handle to its top-level item),
    // which costs more than the plain list does for pointer look-ups.
    mScene->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(mScene);
    // The scene always matches the viewport: no scrolling, and viewport
    // coordinates equal scene coordinates.
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);

    mProfileItem = new DiveProfileItem; // owned by the scene
    mScene->addItem(mProfileItem);

    const double height = mScene->sceneRect().height();
    mCursorLine = mScene->addLine(QLineF(0, 0, 0, height)); // owned by the scene
    mSelectionEndLine = mScene->addLine(QLineF(0, 0, 0, height));
    mSelectionEndLine->setVisible(false);
    mSelectionRect = mScene->addRect(QRectF(), QPen(Qt::NoPen), QBrush(QColor(128, 128, 128, 128)));
    mSelectionRect->setFlag(QGraphicsItem::ItemIsSelectable, false);
    mSelectionRect->setVisible(false);
    // The auxiliary items are drawn over the profile and its points.
    for (QGraphicsItem* item : {static_cast<QGraphicsItem*>(mCursorLine), static_cast<QGraphicsItem*>(mSelectionEndLine),
                                static_cast<QGraphicsItem*>(mSelectionRect)}) {
        item->setZValue(1.0);
        item->setAcceptedMouseButtons(Qt::NoButton);
    }
}

GraphView::~GraphView()
{
    // The callback may hold references into the owner: drop it before the scene goes.
    mContextMenuCallback = nullptr;
}

void GraphView::setDiveProfile(Dive* dive)
{
    mProfileItem->setDiveProfile(dive);
    mSelectionRect->setVisible(false);
}

Dive* GraphView::getDiveProfile()
{
    return mProfileItem->getDiveProfile();
}

const Dive* GraphView::getDiveProfile() const
{
    return mProfileItem->getDiveProfile();
}

void GraphView::showItems(const ShowItemsState& state)
{
    mProfileItem->showItems(state);
    mScene->update();
}

void GraphView::updateTitle()
{
    mProfileItem->updateTitle();
}

bool GraphView::hasSelection() const
{
    return mSelectionRect->isVisible();
}

void GraphView::clearSelection()
{
    mSelectionRect->setVisible(false);
}

void GraphView::setContextualMenuCallback(std::function<bool(QMenu&)> callback)
{
    mContextMenuCallback = std::move(callback);
}

int GraphView::timeAtSceneX(double x) const
{
    return mProfileItem->xpositionToTime(x);
}

bool GraphView::insideGraph(const QPointF& scenePoint) const
{
    return mProfileItem->pointInRect(scenePoint);
}

void GraphView::placeVerticalLine(QGraphicsLineItem* line, double x)
{
    const double top = mProfileItem->getOrigin().y();
    line->setLine(QLineF(x, top, x, mProfileItem->getYTimeAxis()));
}

void GraphView::updateBandFromLines()
{
    const QLineF start = mCursorLine->line();
    const QLineF end = mSelectionEndLine->line();
    mSelectionRect->setRect(QRectF(QPointF(start.x1(), start.y1()), QPointF(end.x2(), end.y2())).normalized());
}

void GraphView::panByPixels(double dx)
{
    // The item refuses a pan that would start before time 0, and repositions
    // the points and repaints after any other.
    mProfileItem->pan(dx);
}

// Position information ------------------------------------------------------------

bool GraphView::getInfosOnPosition(QPointF, int time, DivePosition& out) const
{
    out = DivePosition();
    const Dive* dive = getDiveProfile();
    if (dive == nullptr)
        return false;
    if (positionAmong(dive->lines, time, out))
        return true;
    return positionAmong(dive->decoLines, time, out);
}

QString GraphView::getInfosOnPosition(QPointF, int time) const
{
    const Dive* dive = getDiveProfile();
    DivePosition position;
    if (dive == nullptr || !positionAmong(dive->lines, time, position))
        return QString();

    const DiveLine& before = *position.before;
    const DiveLine& after = *position.after;
    QString text = QStringLiteral(
        "<html>  <head>    <style>      table, caption, th, td { padding:4px; border:1px solid black; "
        "border-collapse: collapse; font-family: Arial, sans-serif; font-size:8pt; font-weight:100}    </style>  "
        "</head>  <body>");
    text += tableHeading(tr("Position information"));
    text += row(kShadedRow, tr("Time"), Dive::formatDuration(time));
    text += row(kPlainRow, tr("Depth"), QStringLiteral("%1m").arg(std::fabs(before.depth), 0, 'f', 1));
    text += row(kShadedRow, tr("Speed"), QStringLiteral("%1m/mn").arg(std::fabs(after.speed), 0, 'f', 1));
    text += row(kPlainRow, tr("Temperature"), QStringLiteral("%1&deg;C").arg(std::fabs(after.ambientTemp), 0, 'f', 1));
    const int tankPressure = ProfileStyle::saturatedInt(position.tankPressure);
    if (tankPressure > 0)
        text += row(kPlainRow, tr("Tank Pressure"), QStringLiteral("%1b").arg(tankPressure));
    const double ceiling = position.ceiling;
    text += row(kShadedRow, before.decoCeiling < 0.0 ? tr("NDL") : tr("Ceiling"),
                QStringLiteral("%1%2").arg(std::fabs(ceiling), 0, 'f', 1).arg(ceiling < 0.0 ? QStringLiteral("mn")
                                                                                            : QStringLiteral("m")));
    text += QStringLiteral("    </table>");
    if (hasSelection()) {
        text += tableHeading(tr("Selection"));
        text += row(kShadedRow, tr("Start Time"), Dive::formatDuration(mSelectionStart));
        text += row(kPlainRow, tr("End Time"), Dive::formatDuration(mSelectionEnd));
        text += row(kShadedRow, tr("Elapsed Time"), Dive::formatDuration(mSelectionEnd - mSelectionStart));
        text += QStringLiteral("    </table>");
    }
    text += QStringLiteral("  </body></html>");
    return text;
}
