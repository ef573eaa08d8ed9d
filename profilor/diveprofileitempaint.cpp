// Painting of the profile item: the drawing cache, the icon items and the
// paint entry point. The layers themselves are drawn by ProfilePainter.

#include "profilor/diveprofileitem.h"

#include "divedata/dive.h"
#include "profilor/profileiconitem.h"
#include "profilor/profilelayout.h"
#include "profilor/profilepainter_p.h"
#include "profilor/profilestyle.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QTextOption>

#include <cmath>

namespace {

bool sameFlags(const ShowItemsState& a, const ShowItemsState& b)
{
    return a.points == b.points && a.temperature == b.temperature && a.deco == b.deco && a.alerts == b.alerts
        && a.gases == b.gases && a.maxDepth == b.maxDepth && a.tankPressure == b.tankPressure;
}

// Item units per device pixel column of the painter, so that thinning never
// merges points a high-density or zoomed device would show apart.
double columnWidthOf(const QPainter* painter)
{
    const double scale = std::hypot(painter->deviceTransform().m11(), painter->deviceTransform().m12());
    return std::isfinite(scale) && scale > 0.0 ? std::min(1.0, 1.0 / scale) : 1.0;
}

} // namespace

// What a cached layout was built from; any difference rebuilds it.
struct DiveProfileItem::LayoutKey
{
    const Dive* dive = nullptr;
    quint64 signature = 0;
    ProfileView view;
    ShowItemsState flags;
    bool editMode = false;
    double columnWidth = 1.0;
    double ascentLimit = 0.0;
    double descentLimit = 0.0;
    quint64 pictures = 0;

    bool operator==(const LayoutKey& o) const
    {
        return dive == o.dive && signature == o.signature && view == o.view && sameFlags(flags, o.flags)
            && editMode == o.editMode && columnWidth == o.columnWidth && ascentLimit == o.ascentLimit
            && descentLimit == o.descentLimit && pictures == o.pictures;
    }
};

DiveProfileItem::DiveProfileItem(QGraphicsItem* parent)
    : QGraphicsObject(parent)
    , mLayout(std::make_unique<ProfileLayout>())
{
    // The program registers the icon file names before it creates a profile view.
    Marker::loadPictures();
}

DiveProfileItem::~DiveProfileItem() = default;

const ProfileLayout& DiveProfileItem::ensureLayout(double columnWidth, bool painting)
{
    LayoutKey key;
    key.dive = mDive;
    key.signature = mDive != nullptr ? diveDrawingSignature(*mDive) : 0;
    key.view = mView;
    key.flags = mItemFlags;
    key.editMode = mEditMode;
    key.columnWidth = columnWidth;
    key.ascentLimit = vascSpeedLimit;
    key.descentLimit = vdscSpeedLimit;
    key.pictures = Marker::picturesGeneration();

    if (!mLayoutKey || !(*mLayoutKey == key)) {
        ProfileLayoutInput input;
        input.dive = mDive;
        input.view = mView;
        input.flags = mItemFlags;
        input.editMode = mEditMode;
        input.columnWidth = columnWidth;
        input.ascentLimit = vascSpeedLimit;
        input.descentLimit = vdscSpeedLimit;
        *mLayout = buildProfileLayout(input);
        mLayoutKey = std::make_unique<LayoutKey>(key);
        ++mLayoutGeneration;
    }
    mColumnWidth = columnWidth;
    if (mIconGeneration != mLayoutGeneration) {
        // Items must not be added or removed while the scene paints.
        if (painting)
            scheduleIconSync();
        else
            syncIconItems();
    }
    return *mLayout;
}

void DiveProfileItem::prepareLayout()
{
    ensureLayout(mColumnWidth, false);
}

void DiveProfileItem::scheduleIconSync()
{
    if (mIconSyncPending)
        return;
    mIconSyncPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            mIconSyncPending = false;
            prepareLayout();
        },
        Qt::QueuedConnection);
}

void DiveProfileItem::syncIconItems()
{
    // Existing items are reused and moved: a zoom or pan step does not delete
    // and recreate every icon.
    const auto& icons = mLayout->icons;
    const qsizetype wanted = qsizetype(icons.size());
    while (mIconItems.size() > wanted)
        delete mIconItems.takeLast();
    for (qsizetype k = 0; k < wanted; ++k) {
        if (k == mIconItems.size())
            mIconItems.append(new ProfileIconItem(this)); // owned by this item
        ProfileIconItem* item = mIconItems[k];
        item->setImage(icons[std::size_t(k)].image);
        item->setPos(icons[std::size_t(k)].position);
        if (item->toolTip() != icons[std::size_t(k)].toolTip)
            item->setToolTip(icons[std::size_t(k)].toolTip);
    }
    mIconGeneration = mLayoutGeneration;
}

void DiveProfileItem::viewChanged()
{
    UpdateMarkers();
    scheduleIconSync();
    repaintScene();
}

void DiveProfileItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (scene() == nullptr)
        return;
    painter->save();

    if (mDive != nullptr) {
        if (mEditMode)
            internalUpdateTitle();
        painter->setFont(QFont(QStringLiteral("Arial"), 12));
        if (mTitleText.textWidth() != mView.itemRect.width()) {
            mTitleText.setTextWidth(mView.itemRect.width());
            mTitleText.setTextOption(QTextOption(Qt::AlignHCenter | Qt::AlignVCenter));
            mTitleText.setTextFormat(Qt::RichText);
        }
        painter->drawStaticText(QPointF(0, 2), mTitleText);
    }

    ProfilePainter::paintAxes(painter, mView);
    const ProfileLayout& layout = ensureLayout(columnWidthOf(painter), true);
    if (mDive == nullptr || !layout.hasProfile) {
        painter->restore();
        return;
    }

    painter->setFont(QFont(QStringLiteral("Arial"), 10));
    const ProfilePainter::GridMetrics metrics = ProfilePainter::gridMetrics(painter);
    ProfilePainter::paintDepthGrid(painter, mView, metrics);
    ProfilePainter::paintTimeGrid(painter, mView, metrics);

    mClipRect = mView.graph;
    painter->save();
    // Intersected with the exposed area rather than replacing it, so nothing is
    // drawn outside what the view asked for.
    painter->setClipRect(mClipRect, Qt::IntersectClip);
    ProfilePainter::paintLayers(painter, layout, mView, metrics);
    painter->restore();

    paintMarkers(painter);
    if (mShowEffortIcon)
        effortIcon.paint(painter, QRect(5, 5, 32, 32), Qt::AlignCenter, QIcon::Normal, QIcon::Off);
    paintInvalidDive(painter);
    painter->restore();
}

void DiveProfileItem::paintMarkers(QPainter* painter) const
{
    for (const Marker& marker : mMarkers) {
        if (!marker.visible || marker.image == nullptr || marker.image->isNull())
            continue;
        if (marker.isAlarm() && !mItemFlags.alerts)
            continue;
        painter->drawImage(QPoint(ProfileStyle::saturatedInt(marker.x - marker.iconOffsetX),
                                  ProfileStyle::saturatedInt(marker.y - marker.iconOffsetY)),
                           *marker.image);
    }
}

void DiveProfileItem::paintInvalidDive(QPainter* painter) const
{
    QString text;
    switch (mDive->invalidReason) {
    case 1:
        text = tr("Invalid dive: Yoyo on one of previous dives");
        break;
    case 2:
        text = tr("Invalid dive: Dive not allowed because of TAR > 0.8");
        break;
    case 3:
        text = tr("Invalid dive: Too many yoyos");
        break;
    case 4:
        text = tr("Invalid dive: Contains surface interval greater than 15mn");
        break;
    default:
        return;
    }
    painter->setFont(QFont(QStringLiteral("Arial"), 12));
    painter->setPen(QPen(Qt::red));
    painter->drawText(mView.itemRect.bottomLeft() + QPointF(5, -5), text);
}
