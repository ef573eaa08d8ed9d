#include "profilor/profilelayout_p.h"

#include "profilor/profilestyle.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include <cmath>
#include <cstring>

namespace {

// Pens of up to 4 pixels (sample dots) stay visible this far outside the graph.
constexpr double kPenReach = 4.0;

// The class of ProfileStyle::speedColor without building a colour: 0 green,
// 1 orange, 2 red on the ascent side, 3 orange, 4 red on the descent side.
int speedColourClass(double v, double ascentLimit, double descentLimit)
{
    if (v < -ascentLimit - 0.01)
        return 2;
    if (v < 2.0 - ascentLimit)
        return 1;
    if (v > descentLimit + 0.01)
        return 4;
    if (v > descentLimit - 2.0)
        return 3;
    return 0;
}

} // namespace

ColourRuns::ColourRuns(double visibleLeft, double visibleRight, double columnWidth,
                       std::vector<ProfileLayout::ColouredLines>* out)
    : mLeft(visibleLeft)
    , mRight(visibleRight)
    , mColumnWidth(columnWidth)
    , mOut(out)
    , mReducer(visibleLeft, visibleRight, columnWidth, &mPoints)
{
}

void ColourRuns::segment(const QPointF& from, const QPointF& to, int colourKey, const QColor& colour)
{
    if (!mOpen || colourKey != mColourKey) {
        finish();
        mOpen = true;
        mColourKey = colourKey;
        mColour = colour;
        mReducer.add(from);
    }
    mReducer.add(to);
}

void ColourRuns::finish()
{
    if (!mOpen)
        return;
    mOpen = false;
    mReducer.finish();
    QVector<QLineF> lines;
    lines.reserve(mPoints.size());
    for (qsizetype k = 1; k < mPoints.size(); ++k) {
        const QPointF& a = mPoints[k - 1];
        const QPointF& b = mPoints[k];
        // A segment wholly on one side of the visible band draws nothing.
        if ((a.x() < mLeft && b.x() < mLeft) || (a.x() > mRight && b.x() > mRight))
            continue;
        lines.append(QLineF(a, b));
    }
    mPoints.clear();
    if (!lines.isEmpty())
        mOut->push_back({mColour, std::move(lines)});
}

LayoutBuilder::LayoutBuilder(const ProfileLayoutInput& input)
    : mInput(input)
    , mDive(*input.dive)
    , mView(input.view)
    , mClip(input.view.graph)
{
}

ProfileLayout LayoutBuilder::build()
{
    mOut.hasProfile = mDive.lines.size() >= 2;
    if (!mOut.hasProfile)
        return std::move(mOut);
    buildProfile();
    buildYoyos();
    buildDeco();
    buildCeiling();
    buildOverlay();
    return std::move(mOut);
}

bool LayoutBuilder::nearClip(const QPointF& p, double margin) const
{
    return p.x() >= mClip.left() - margin && p.x() <= mClip.right() + margin && p.y() >= mClip.top() - margin
        && p.y() <= mClip.bottom() + margin;
}

void LayoutBuilder::addCircle(const QPointF& centre, const QColor& colour)
{
    if (nearClip(centre, 3.0 + kPenReach))
        mOut.circles.push_back({centre, colour});
}

bool LayoutBuilder::addCurveLabel(const QPointF& curvePoint, const QString& text, const QColor& colour)
{
    // Past the graph's right edge: nothing to draw, and the place counts as
    // labelled. Left of the graph a label cannot show whole: the first point
    // inside takes it.
    const double usualLeft = curvePoint.x() + 5.0;
    if (usualLeft > mClip.right())
        return true;
    if (usualLeft < mClip.left())
        return false;
    // Above right of the point as usual; else below it, else on its left
    // (at the graph's right edge). A label that fits nowhere whole, clear of
    // the others, is left to a later point.
    // Measuring shapes the text: a dive repeats few values, measure each once.
    auto known = mLabelBoxes.constFind(text);
    if (known == mLabelBoxes.constEnd())
        known = mLabelBoxes.insert(text, mInput.labelMetrics.boundingRect(text));
    const QRectF box = *known;
    const double below = 5.0 + mInput.labelMetrics.ascent();
    const double left = -5.0 - box.width();
    for (const QPointF& offset : {QPointF(5, -5), QPointF(5, below), QPointF(left, -5), QPointF(left, below)}) {
        const QPointF at = curvePoint + offset;
        const QRectF area = box.translated(at);
        if (area.left() < mClip.left() || area.right() > mClip.right() || area.top() < mClip.top()
            || area.bottom() > mClip.bottom())
            continue;
        const bool free = std::none_of(mTaken.begin(), mTaken.end(),
                                       [&area](const QRectF& taken) { return taken.intersects(area); });
        if (!free)
            continue;
        mTaken.push_back(area);
        mOut.curveLabels.push_back({at, text, colour, area});
        return true;
    }
    return false;
}

void LayoutBuilder::placeMaxDepth()
{
    const QList<DiveLine>& lines = mDive.lines;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].deepestPoint) {
            mOut.hasMaxDepth = true;
            mOut.maxDepthPoint = mProfilePoints[i];
            mOut.maxDepthText = QStringLiteral("%1m").arg(ProfileStyle::shortNumber(lines[i].depth));
            mOut.maxDepthArea = mInput.labelMetrics.boundingRect(mOut.maxDepthText)
                                    .translated(mOut.maxDepthPoint + QPointF(0, -10));
            // Its label and its circle come first; the curve labels keep clear.
            mTaken.push_back(mOut.maxDepthArea);
            mTaken.push_back(QRectF(mOut.maxDepthPoint - QPointF(4, 4), QSizeF(8, 8)));
            return;
        }
    }
}

void LayoutBuilder::buildProfile()
{
    const QList<DiveLine>& lines = mDive.lines;
    const qsizetype n = lines.size();
    const ShowItemsState& flags = mInput.flags;
    const double cw = mInput.columnWidth;
    const double left = mClip.left() - kPenReach;
    const double right = mClip.right() + kPenReach;

    mProfilePoints.resize(n);
    for (qsizetype i = 0; i < n; ++i)
        mProfilePoints[i] = mView.toItem(lines[i].timeSec, lines[i].depth);
    if (flags.maxDepth)
        placeMaxDepth();

    QVector<QPointF> decoPoints;
    decoPoints.reserve(mDive.decoLines.size());
    for (const DiveLine& line : mDive.decoLines)
        decoPoints.append(mView.toItem(line.timeSec, line.depth));

    // The planned ascent is part of the filled area.
    mOut.areaColour = mDive.invalidReason != 0 ? QColor(255, 10, 10, 128) : QColor(150, 150, 218, 128);
    {
        QVector<QPointF> outline = mProfilePoints;
        outline += decoPoints;
        mOut.area = fillOutline(outline, mClip.left(), mClip.right(), cw, mInput.columnPhase);
    }

    const bool temperature = flags.temperature;
    bool pressure = false;
    if (flags.tankPressure) {
        for (const DiveLine& line : lines) {
            if (line.tankPressure > 0) {
                pressure = true;
                break;
            }
        }
    }
    const double third = mView.graph.height() / 3.0;
    auto temperaturePoint = [&](qsizetype i) {
        const DiveLine& line = lines[i];
        return QPointF(mProfilePoints[i].x(),
                       (mDive.maxTemperature - line.ambientTemp) * mView.temperatureScale + 2.0 * third
                           + mView.graph.y());
    };
    auto pressurePoint = [&](qsizetype i) {
        const DiveLine& line = lines[i];
        return QPointF(mProfilePoints[i].x(),
                       double(int(mDive.maxTankPressure) - int(line.tankPressure)) * mView.pressureScale + third
                           + mView.graph.y());
    };

    ColourRuns speedRuns(left, right, cw, &mOut.speedLines);
    std::vector<ProfileLayout::ColouredLines> temperatureRuns;
    ColourRuns temperatureCurve(left, right, cw, &temperatureRuns);
    ColourRuns pressureRuns(left, right, cw, &mOut.pressureLines);
    const QColor blue(Qt::blue);

    int lastSpeedClass = -1;
    QColor colour;
    int lastPressureClass = -1;
    QColor pen;
    double lastLabelX = -9999.0;
    // One curve's labels: the value labelled last, and where a label that found
    // no room is tried next (a few pixels on, not at every line).
    struct CurveLabels
    {
        int lastValue;
        double retryX;
    };
    CurveLabels temperatureLabels{-100, -9999.0};
    CurveLabels pressureLabels{-1, -9999.0};
    const QString temperatureFormat = QStringLiteral("%1°C");
    const QString pressureFormat = QStringLiteral("%1b");
    // Labels a curve at `point` with `value` when the value changed, the place is
    // inside the graph and clear of the last label of either curve.
    auto placeCurveLabel = [&](CurveLabels& curve, const QPointF& point, int value, const QString& format,
                               const QColor& labelColour) {
        constexpr double kRetryStep = 4.0;
        const double x = point.x() + 5.0;
        if (x > lastLabelX + 50.0 && value != curve.lastValue && x >= mClip.left() && x >= curve.retryX) {
            if (addCurveLabel(point, format.arg(value), labelColour)) {
                lastLabelX = x;
                curve.lastValue = value;
            } else {
                curve.retryX = x + kRetryStep;
            }
        }
    };
    QPointF previousTemperature = temperature ? temperaturePoint(0) : QPointF();
    QPointF previousPressure = pressure ? pressurePoint(0) : QPointF();

    for (qsizetype i = 1; i < n; ++i) {
        const DiveLine& line = lines[i];
        const DiveLine& before = lines[i - 1];

        if (i == 1 && flags.gases && line.gasIndex >= 0)
            addGasIcon(line.gasIndex, mProfilePoints[0] + QPointF(10, 0));

        // The colour changes rarely along a dive: classify cheaply, build the QColor on a change.
        const int speedClass = speedColourClass(line.speed, mInput.ascentLimit, mInput.descentLimit);
        if (speedClass != lastSpeedClass) {
            lastSpeedClass = speedClass;
            colour = ProfileStyle::speedColor(line.speed, mInput.ascentLimit, mInput.descentLimit);
        }
        speedRuns.segment(mProfilePoints[i - 1], mProfilePoints[i], speedClass, colour);

        if (flags.alerts)
            addAlarms(i, colour);

        if (flags.gases && line.gasIndex != before.gasIndex && line.gasIndex >= 0) {
            addCircle(mProfilePoints[i - 1], QColor(Qt::darkGreen));
            addGasIcon(line.gasIndex, mProfilePoints[i - 1]);
        }

        if (temperature) {
            const QPointF current = temperaturePoint(i);
            temperatureCurve.segment(previousTemperature, current, 0, blue);
            placeCurveLabel(temperatureLabels, previousTemperature, qRound(before.ambientTemp), temperatureFormat,
                            blue);
            previousTemperature = current;
        }

        if (pressure) {
            const QPointF current = pressurePoint(i);
            const int value = int(before.tankPressure);
            const int pressureClass = value < 50 ? 0 : value < 100 ? 1 : 2;
            if (pressureClass != lastPressureClass) {
                lastPressureClass = pressureClass;
                pen = ProfileStyle::pressureColor(value);
            }
            pressureRuns.segment(previousPressure, current, pressureClass, pen);
            placeCurveLabel(pressureLabels, previousPressure, value, pressureFormat, pen);
            previousPressure = current;
        }
    }
    speedRuns.finish();
    temperatureCurve.finish();
    pressureRuns.finish();
    for (auto& run : temperatureRuns)
        mOut.temperatureLines += run.lines;

    if (flags.points && !mInput.editMode) {
        // Dots at the same device pixel draw the same square once.
        QSet<quint64> seen;
        auto addDot = [&](const QPointF& p) {
            if (!nearClip(p, kPenReach) || !std::isfinite(p.x()) || !std::isfinite(p.y()))
                return;
            const quint64 key = (quint64(quint32(qRound(p.x() / cw))) << 32) | quint32(qRound(p.y() / cw));
            if (!seen.contains(key)) {
                seen.insert(key);
                mOut.sampleDots.append(p);
            }
        };
        for (const QPointF& p : std::as_const(mProfilePoints))
            addDot(p);
        for (const QPointF& p : std::as_const(decoPoints))
            addDot(p);
    }
}

ProfileLayout buildProfileLayout(const ProfileLayoutInput& input)
{
    if (input.dive == nullptr)
        return ProfileLayout();
    return LayoutBuilder(input).build();
}

namespace {

class SignatureHasher
{
public:
    void add(quint64 v)
    {
        // Four interleaved lanes keep the multiply chains independent.
        quint64& lane = mLanes[mNext++ & 3u];
        lane = (lane ^ v) * 0x100000001b3ULL;
    }
    void add(double d)
    {
        quint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        add(bits);
    }
    void add(const QString& s) { add(quint64(qHash(s))); }
    quint64 result() const
    {
        quint64 h = 0xcbf29ce484222325ULL;
        for (quint64 lane : mLanes)
            h = (h ^ lane) * 0x100000001b3ULL;
        return h;
    }

private:
    quint64 mLanes[4] = {0x84222325ULL, 0xcbf29ce4ULL, 0x9e3779b9ULL, 0x7f4a7c15ULL};
    unsigned mNext = 0;
};

quint64 bitsOf(double d)
{
    quint64 bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

quint64 rotl(quint64 v, int r)
{
    return (v << r) | (v >> (64 - r));
}

void addLines(SignatureHasher& h, const QList<DiveLine>& lines)
{
    h.add(quint64(lines.size()));
    for (const DiveLine& l : lines) {
        // Each field through its own rotation: any one changed field changes the word.
        const quint64 ints = quint64(quint32(l.gasIndex)) | quint64(l.tankPressure) << 32 | quint64(l.battery) << 48;
        const quint64 flags = quint64(l.alertFlag) | quint64(l.pelagonAlerts[0]) << 8
            | quint64(l.pelagonAlerts[1]) << 16 | quint64(l.deepestPoint) << 24;
        h.add(bitsOf(l.timeSec) ^ rotl(bitsOf(l.depth), 7) ^ rotl(bitsOf(l.speed), 15) ^ rotl(bitsOf(l.ambientTemp), 23)
              ^ rotl(bitsOf(l.decoCeiling), 31) ^ rotl(bitsOf(l.ppO2), 39) ^ rotl(bitsOf(l.cns), 47)
              ^ rotl(ints, 55) ^ rotl(flags, 61));
    }
}

void addCurve(SignatureHasher& h, const QList<CurvePoint>& curve)
{
    h.add(quint64(curve.size()));
    for (const CurvePoint& p : curve)
        h.add(quint64(qHash(p.time)) ^ quint64(qHash(p.depth)) << 20 ^ quint64(quint16(p.level)) << 48);
}

} // namespace

quint64 diveDrawingSignature(const Dive& dive)
{
    SignatureHasher h;
    addLines(h, dive.lines);
    addLines(h, dive.decoLines);
    addLines(h, dive.ceilTrackingLines);
    addLines(h, dive.overlayLines);
    addCurve(h, dive.ceilingProfile);
    addCurve(h, dive.yoyoList);
    h.add(quint64(dive.gases.size()));
    for (const DiveGas& g : dive.gases) {
        h.add(g.mName);
        h.add(quint64(qHash(g.o2)) ^ quint64(qHash(g.he)) << 16 ^ quint64(g.usage) << 40
              ^ quint64(g.diluent) << 48);
    }
    h.add(dive.maxTemperature);
    h.add(quint64(dive.maxTankPressure) | quint64(dive.minTankPressure) << 16 | quint64(quint32(dive.computerModel)) << 32);
    h.add(quint64(quint32(dive.format)) | quint64(quint32(dive.dtrStartIndex)) << 32);
    h.add(quint64(quint32(dive.invalidReason)) | quint64(dive.decoNotTerminated) << 32);
    return h.result();
}
