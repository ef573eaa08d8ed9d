#include "profilor/diveprofileitem.h"

#include "divedata/dive.h"
#include "profilor/profileiconitem.h"
#include "profilor/profilelayout.h"
#include "profilor/profilestyle.h"

#include <QCoreApplication>
#include <QGraphicsScene>

#include <algorithm>
#include <cmath>

double DiveProfileItem::vascSpeedLimit = 15.0;
double DiveProfileItem::vdscSpeedLimit = 30.0;
QIcon DiveProfileItem::effortIcon;
std::function<void(const QString&)> DiveProfileItem::mLogCallback;

void DiveProfileItem::setDiveProfile(Dive* dive)
{
    mMarkers.clear();
    mDive = dive;
    internalFitAll();
    internalUpdateTitle();
    viewChanged();
    createDivePoints();
}

void DiveProfileItem::update()
{
    mUndo.clear();
    internalFitAll();
    createDivePoints();
    viewChanged();
}

void DiveProfileItem::fitAll()
{
    internalFitAll();
    updateDivePoints();
    viewChanged();
}

void DiveProfileItem::updateTitle()
{
    internalUpdateTitle();
    repaintScene();
}

void DiveProfileItem::internalUpdateTitle()
{
    if (mDive == nullptr)
        return;
    auto label = [](const QString& text) {
        return QStringLiteral("<span style=\" font-size:12pt; color:#5a5a5a;\">") + text + QStringLiteral("</span>");
    };
    auto value = [](const QString& text) {
        return QStringLiteral("<span style=\" font-size:12pt; font-weight:700;\">") + text + QStringLiteral("</span>");
    };
    QString title = QStringLiteral("<html><head/><body><p>");
    // The name is the user's text: escaped so that it cannot break the markup.
    title += label(QStringLiteral("Plongee : ")) + value(mDive->name.toHtmlEscaped());
    title += label(QStringLiteral(" - Profondeur : "))
        + value(QStringLiteral("%1m").arg(mDive->maxDepth, 0, 'f', 1));
    title += label(QStringLiteral(" - DTP : ")) + value(Dive::formatDuration(mDive->maxTime));
    if (mGraphMode == GraphMode::Planning) {
        title += label(QStringLiteral(" - DTR : ")) + value(Dive::formatDuration(mDive->ascentTime));
        title += label(QStringLiteral(" - DTPal : ")) + value(Dive::formatDuration(mDive->totalDecoTime));
    }
    title += QStringLiteral("</p></body></html>");
    if (title != mTitle) {
        mTitle = title;
        mTitleText.setText(mTitle);
    }
}

QString DiveProfileItem::divePointToolTip(int index, const DiveLine& line)
{
    QString text = QStringLiteral("Point <b>%1</b><br>Depth <b>%2m</b><br>Time <b>%3</b>")
                       .arg(QString::number(index), ProfileStyle::shortNumber(line.depth),
                            Dive::formatDuration(line.timeSec));
    if (line.decoCeiling > 0.0)
        text += QStringLiteral("<br>Ceil <b>%1m</b>").arg(ProfileStyle::shortNumber(line.decoCeiling));
    return text;
}

void DiveProfileItem::showItems(const ShowItemsState& state)
{
    mItemFlags = state;
    // In edit mode the points flag is the visibility of the handles.
    setShowDivePoints(state.points);
    viewChanged();
}

void DiveProfileItem::setItemFlag(bool ShowItemsState::*flag, bool value)
{
    if (flag != nullptr)
        mItemFlags.*flag = value;
}

void DiveProfileItem::addDecoLine(const DiveLine& line)
{
    if (mDive == nullptr)
        return;
    mDive->decoLines.append(line);
    mView.endTime = mDive->maxTime;
    viewChanged();
}

void DiveProfileItem::addCeilTrackingLine(const DiveLine& line)
{
    if (mDive == nullptr)
        return;
    mDive->ceilTrackingLines.append(line);
    viewChanged();
}

void DiveProfileItem::setEffortIconResource(const QString& path)
{
    // The icon holds pixmaps, which must not outlive the application.
    static const bool registered = [] {
        qAddPostRoutine([] { effortIcon = QIcon(); });
        return true;
    }();
    Q_UNUSED(registered);
    effortIcon = QIcon(path);
}

void DiveProfileItem::setLog(std::function<void(const QString&)> callback)
{
    mLogCallback = std::move(callback);
}

void DiveProfileItem::log(const QString& message)
{
    if (mLogCallback)
        mLogCallback(message);
}

// Markers ----------------------------------------------------------------------

int DiveProfileItem::addMarkerAt(double time, bool visible, MarkerType::MarkerTypeIn type, const QString& text)
{
    int id = 0;
    if (!mMarkers.isEmpty()) {
        const auto highest = std::max_element(mMarkers.cbegin(), mMarkers.cend(),
                                              [](const Marker& a, const Marker& b) { return a.id < b.id; });
        id = highest->id + 1;
    }
    mMarkers.append(Marker(id, type, text, visible));
    setMarkerAt(id, time, -1.0);
    return id;
}

void DiveProfileItem::setMarkerAt(int id, double time, double depth)
{
    if (mDive == nullptr || mDive->lines.isEmpty())
        return;
    const auto found = std::find_if(mMarkers.begin(), mMarkers.end(), [id](const Marker& m) { return m.id == id; });
    if (found == mMarkers.end())
        return;
    const double duration = std::max(0.0, mDive->maxTime);
    found->time = std::isnan(time) ? 0.0 : std::clamp(time, 0.0, duration);
    found->depth = std::isnan(depth) ? 0.0 : std::max(depth, 0.0);
    UpdateMarkers();
    repaintScene();
}

void DiveProfileItem::removeMarker(int id)
{
    mMarkers.removeIf([id](const Marker& m) { return m.id == id; });
}

void DiveProfileItem::UpdateMarkers()
{
    for (Marker& marker : mMarkers) {
        marker.x = (marker.time - mView.startTime) * mView.timeScale + mView.graph.x();
        marker.y = marker.depth * mView.depthScale + mView.graph.y();
    }
}

const Marker* DiveProfileItem::getMarkerAtPosition(const QPointF& p) const
{
    // The topmost (last drawn) marker wins.
    for (auto it = mMarkers.crbegin(); it != mMarkers.crend(); ++it) {
        if (!it->visible || it->image == nullptr || it->image->isNull() || (it->isAlarm() && !mItemFlags.alerts))
            continue;
        const QRectF icon(it->x - it->iconOffsetX, it->y - it->iconOffsetY, it->image->width(), it->image->height());
        if (icon.contains(p))
            return &*it;
    }
    return nullptr;
}

void DiveProfileItem::repaintScene()
{
    if (QGraphicsScene* owner = scene())
        owner->update();
    else
        QGraphicsObject::update();
}
