// Where two layouts of one view state draw differently. A drag step moves one
// line: the layouts before and after it share long runs at both ends of every
// list, so comparing each list from the front and from the back leaves a short
// middle whose bounds (pens, text and antialiasing included) are all that needs
// painting again.

#include "profilor/profilelayout.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Pixels that antialiasing may touch beyond a shape's exact outline.
constexpr double kSmear = 2.0;
// A 2-pixel pen with square caps reaches one pixel beyond its ends on every side.
constexpr double kWidePen = 1.0 + kSmear;
constexpr double kThinPen = 0.5 + kSmear;
// Circles of radius 3 drawn with a 2-pixel pen; sample dots with a 4-pixel pen.
constexpr double kCircle = 3.0 + 1.0 + kSmear;
constexpr double kDot = 2.0 + kSmear;

class ChangedArea
{
public:
    void add(const QRectF& r)
    {
        if (!std::isfinite(r.left()) || !std::isfinite(r.top()) || !std::isfinite(r.right())
            || !std::isfinite(r.bottom()))
            whole = true;
        else
            area = area.isNull() ? r : area.united(r);
    }
    void add(const QPointF& p, double reach) { add(QRectF(p.x() - reach, p.y() - reach, 2 * reach, 2 * reach)); }
    void add(const QLineF& l, double reach)
    {
        add(QRectF(l.p1(), l.p2()).normalized().adjusted(-reach, -reach, reach, reach));
    }

    QRectF area;
    bool whole = false;
};

// Lengths of the common prefix and suffix of two sequences (not overlapping).
template <typename Sequence, typename Same>
std::pair<qsizetype, qsizetype> commonEnds(const Sequence& a, const Sequence& b, Same same)
{
    const qsizetype na = qsizetype(a.size());
    const qsizetype nb = qsizetype(b.size());
    const qsizetype shorter = std::min(na, nb);
    qsizetype prefix = 0;
    while (prefix < shorter && same(a[std::size_t(prefix)], b[std::size_t(prefix)]))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && same(a[std::size_t(na - 1 - suffix)], b[std::size_t(nb - 1 - suffix)]))
        ++suffix;
    return {prefix, suffix};
}

// Independent elements (lines, circles, labels): each differing one of either
// layout is marked.
template <typename Sequence, typename Same, typename Mark>
void diffElements(const Sequence& a, const Sequence& b, Same same, Mark mark)
{
    const auto [prefix, suffix] = commonEnds(a, b, same);
    for (qsizetype k = prefix; k < qsizetype(a.size()) - suffix; ++k)
        mark(a[std::size_t(k)]);
    for (qsizetype k = prefix; k < qsizetype(b.size()) - suffix; ++k)
        mark(b[std::size_t(k)]);
}

// A polyline or polygon: the differing points and the points joined to them.
void diffPath(const QPolygonF& a, const QPolygonF& b, bool closed, double reach, ChangedArea& out)
{
    const auto [prefix, suffix] = commonEnds(a, b, [](const QPointF& p, const QPointF& q) {
        return p.x() == q.x() && p.y() == q.y();
    });
    for (const QPolygonF* path : {&a, &b}) {
        const qsizetype n = path->size();
        if (prefix + suffix == n && a.size() == b.size())
            continue;
        const qsizetype from = std::max<qsizetype>(0, prefix - 1);
        const qsizetype to = std::min<qsizetype>(n - 1, n - suffix);
        for (qsizetype k = from; k <= to; ++k)
            out.add(path->at(k), reach);
        // A polygon's closing edge joins its last point to its first.
        if (closed && n > 0 && (prefix == 0 || suffix == 0)) {
            out.add(path->first(), reach);
            out.add(path->last(), reach);
        }
    }
}

struct Stroke
{
    QRgb colour;
    QLineF line;
    bool operator==(const Stroke& o) const { return colour == o.colour && line == o.line; }
};

std::vector<Stroke> strokesOf(const std::vector<ProfileLayout::ColouredLines>& runs)
{
    std::size_t count = 0;
    for (const auto& run : runs)
        count += std::size_t(run.lines.size());
    std::vector<Stroke> strokes;
    strokes.reserve(count);
    for (const auto& run : runs) {
        const QRgb colour = run.colour.rgba();
        for (const QLineF& line : run.lines)
            strokes.push_back({colour, line});
    }
    return strokes;
}

// Lines drawn in one list order: the order of overlapping strokes decides the
// colour where they meet, and it is kept by comparing in drawing order.
void diffStrokes(const std::vector<ProfileLayout::ColouredLines>& a,
                 const std::vector<ProfileLayout::ColouredLines>& b, double reach, ChangedArea& out)
{
    diffElements(strokesOf(a), strokesOf(b), std::equal_to<Stroke>(),
                 [&](const Stroke& s) { out.add(s.line, reach); });
}

bool sameLabel(const ProfileLayout::Label& a, const ProfileLayout::Label& b)
{
    return a.position == b.position && a.text == b.text && a.colour == b.colour;
}

bool samePicture(const ProfileLayout::Picture& a, const ProfileLayout::Picture& b)
{
    return a.image == b.image && a.topLeft == b.topLeft;
}

bool sameLabels(const std::vector<ProfileLayout::Label>& a, const std::vector<ProfileLayout::Label>& b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), sameLabel);
}

bool samePictures(const std::vector<ProfileLayout::Picture>& a, const std::vector<ProfileLayout::Picture>& b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), samePicture);
}

bool sameYoyos(const std::vector<ProfileLayout::Yoyo>& a, const std::vector<ProfileLayout::Yoyo>& b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), [](const auto& p, const auto& q) {
        return p.centre == q.centre && p.colour == q.colour && p.number == q.number;
    });
}

// The deco, ceiling, overlay and yoyo layers come from lists a line edit does
// not touch; a difference there is handled as a change of everything.
bool sameDecoLayers(const ProfileLayout& a, const ProfileLayout& b)
{
    return a.decoLine == b.decoLine && samePictures(a.decoPictures, b.decoPictures)
        && sameLabels(a.decoLabels, b.decoLabels) && a.ceilTrackingLine == b.ceilTrackingLine
        && a.ceilTrackingInLabelPen == b.ceilTrackingInLabelPen && a.ceiling == b.ceiling
        && a.decoNotTerminated == b.decoNotTerminated && a.lastCeilingPoint == b.lastCeilingPoint
        && a.overlayLine == b.overlayLine && sameLabels(a.overlayLabels, b.overlayLabels)
        && sameYoyos(a.yoyos, b.yoyos);
}

} // namespace

ProfileLayoutChange profileLayoutChange(const ProfileLayout& before, const ProfileLayout& after,
                                        const QFontMetricsF& labelMetrics)
{
    ProfileLayoutChange change;
    if (before.hasProfile != after.hasProfile || before.areaColour != after.areaColour
        || !sameDecoLayers(before, after)) {
        change.whole = true;
        return change;
    }
    ChangedArea out;
    auto labelArea = [&](const QPointF& at, const QString& text) {
        out.add(labelMetrics.boundingRect(text).translated(at).adjusted(-kSmear, -kSmear, kSmear, kSmear));
    };

    diffPath(before.area, after.area, true, kSmear, out);
    diffStrokes(before.speedLines, after.speedLines, kWidePen, out);
    diffElements(before.temperatureLines, after.temperatureLines, std::equal_to<QLineF>(),
                 [&](const QLineF& l) { out.add(l, kThinPen); });
    diffStrokes(before.pressureLines, after.pressureLines, kThinPen, out);
    diffElements(
        before.circles, after.circles,
        [](const auto& p, const auto& q) { return p.centre == q.centre && p.colour == q.colour; },
        [&](const ProfileLayout::Circle& c) { out.add(c.centre, kCircle); });
    diffElements(before.pictures, after.pictures, samePicture, [&](const ProfileLayout::Picture& p) {
        if (p.image != nullptr) {
            const QSizeF size = p.image->deviceIndependentSize();
            out.add(QRectF(p.topLeft, size).adjusted(-kSmear, -kSmear, kSmear, kSmear));
        }
    });
    diffElements(before.curveLabels, after.curveLabels, sameLabel,
                 [&](const ProfileLayout::Label& l) { labelArea(l.position, l.text); });
    if (before.hasMaxDepth != after.hasMaxDepth || before.maxDepthPoint != after.maxDepthPoint
        || before.maxDepthText != after.maxDepthText) {
        for (const ProfileLayout* layout : {&before, &after}) {
            if (!layout->hasMaxDepth)
                continue;
            out.add(layout->maxDepthPoint, kCircle);
            labelArea(layout->maxDepthPoint + QPointF(0, -10), layout->maxDepthText);
        }
    }
    diffElements(before.sampleDots, after.sampleDots, std::equal_to<QPointF>(),
                 [&](const QPointF& p) { out.add(p, kDot); });

    change.area = out.area;
    change.whole = out.whole;
    return change;
}
