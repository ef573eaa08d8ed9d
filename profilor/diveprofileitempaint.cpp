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
#include <QStyleOptionGraphicsItem>
#include <QTextOption>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// The font of the grid labels and of the labels in the layers.
QFont layerFont()
{
    return QFont(QStringLiteral("Arial"), 10);
}

bool sameFlags(const ShowItemsState& a, const ShowItemsState& b)
{
    return a.points == b.points && a.temperature == b.temperature && a.deco == b.deco && a.alerts == b.alerts
        && a.gases == b.gases && a.maxDepth == b.maxDepth && a.tankPressure == b.tankPressure;
}

// The painter's device pixel columns in item units, so that thinning never
// merges points a high-density or zoomed device would show apart, and fills
// are sampled where the device samples them.
struct Columns
{
    double width = 1.0;
    double phase = 0.0;
    bool operator==(const Columns& o) const { return width == o.width && phase == o.phase; }
};

Columns columnsOf(const QPainter* painter)
{
    const QTransform& t = painter->deviceTransform();
    if (t.type() > QTransform::TxScale || !(t.m11() > 0.0) || !std::isfinite(t.m11()) || !std::isfinite(t.dx()))
        return Columns();
    const double width = std::min(1.0, 1.0 / t.m11());
    // Device x = m11 * x + dx; device columns start at whole device x.
    double phase = std::fmod(-t.dx() / t.m11(), width);
    if (phase < 0.0)
        phase += width;
    return {width, phase};
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
    double columnPhase = 0.0;
    double ascentLimit = 0.0;
    double descentLimit = 0.0;
    quint64 pictures = 0;

    // The same view of the same dive object, whatever its lines hold.
    bool sameStateAs(const LayoutKey& o) const
    {
        return dive == o.dive && view == o.view && sameFlags(flags, o.flags) && editMode == o.editMode
            && columnWidth == o.columnWidth && columnPhase == o.columnPhase && ascentLimit == o.ascentLimit
            && descentLimit == o.descentLimit && pictures == o.pictures;
    }
    bool operator==(const LayoutKey& o) const { return signature == o.signature && sameStateAs(o); }
};

DiveProfileItem::DiveProfileItem(QGraphicsItem* parent)
    : QGraphicsObject(parent)
    , mLayout(std::make_unique<ProfileLayout>())
{
    // Painting copies only the exposed part of the cached picture.
    setFlag(ItemUsesExtendedStyleOption);
    // The program registers the icon file names before it creates a profile view.
    Marker::loadPictures();
}

DiveProfileItem::~DiveProfileItem() = default;

DiveProfileItem::LayoutKey DiveProfileItem::currentLayoutKey(double columnWidth, double columnPhase) const
{
    LayoutKey key;
    key.dive = mDive;
    key.signature = mDive != nullptr ? diveDrawingSignature(*mDive) : 0;
    key.view = mView;
    key.flags = mItemFlags;
    key.editMode = mEditMode;
    key.columnWidth = columnWidth;
    key.columnPhase = columnPhase;
    key.ascentLimit = vascSpeedLimit;
    key.descentLimit = vdscSpeedLimit;
    key.pictures = Marker::picturesGeneration();
    return key;
}

const ProfileLayout& DiveProfileItem::ensureLayout(double columnWidth, double columnPhase, bool painting)
{
    const LayoutKey key = currentLayoutKey(columnWidth, columnPhase);
    if (!mLayoutKey || !(*mLayoutKey == key)) {
        ProfileLayoutInput input;
        input.dive = mDive;
        input.view = mView;
        input.flags = mItemFlags;
        input.editMode = mEditMode;
        input.columnWidth = columnWidth;
        input.columnPhase = columnPhase;
        input.ascentLimit = vascSpeedLimit;
        input.descentLimit = vdscSpeedLimit;
        // Before the first picture, the metrics of the screen.
        input.labelMetrics = mPicture.isNull() ? QFontMetricsF(layerFont()) : QFontMetricsF(layerFont(), &mPicture);
        *mLayout = buildProfileLayout(input);
        mLayoutKey = std::make_unique<LayoutKey>(key);
        ++mLayoutGeneration;
    }
    mColumnWidth = columnWidth;
    mColumnPhase = columnPhase;
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
    ensureLayout(mColumnWidth, mColumnPhase, false);
}

QList<QPair<QString, QRectF>> DiveProfileItem::labelAreas() const
{
    QList<QPair<QString, QRectF>> areas;
    if (mLayout->hasMaxDepth)
        areas.append({mLayout->maxDepthText, mLayout->maxDepthArea});
    for (const ProfileLayout::Label& label : mLayout->curveLabels)
        areas.append({label.text, label.area});
    return areas;
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

// What the cached picture shows; any difference paints it again.
struct DiveProfileItem::PictureKey
{
    quint64 layoutGeneration = 0;
    QPainter::RenderHints hints;
    QString title;
    QRectF itemRect;
    bool effortIcon = false;
    qint64 effortIconKey = 0;
    std::vector<std::tuple<double, double, bool, int, const QImage*>> markers;

    // Everything but the layout: what is drawn around and over the profile.
    bool sameFrameAs(const PictureKey& o) const
    {
        return hints == o.hints && title == o.title && itemRect == o.itemRect && effortIcon == o.effortIcon
            && effortIconKey == o.effortIconKey && markers == o.markers;
    }
    bool operator==(const PictureKey& o) const { return layoutGeneration == o.layoutGeneration && sameFrameAs(o); }
};

DiveProfileItem::PictureKey DiveProfileItem::currentPictureKey(QPainter::RenderHints hints) const
{
    PictureKey key;
    key.layoutGeneration = mLayoutGeneration;
    key.hints = hints;
    key.title = mDive != nullptr ? mTitle : QString();
    key.itemRect = mView.itemRect;
    key.effortIcon = mShowEffortIcon;
    key.effortIconKey = mShowEffortIcon ? effortIcon.cacheKey() : 0;
    key.markers.reserve(std::size_t(mMarkers.size()));
    for (const Marker& m : std::as_const(mMarkers))
        key.markers.emplace_back(m.x, m.y, m.visible, int(m.type), m.image);
    return key;
}

namespace {

// The picture can stand in for direct painting when the painter maps item
// coordinates to device pixels by the device's pixel ratio and a whole-pixel
// shift. Returns that ratio, or 0 when the picture cannot be used.
double pictureRatio(const QPainter* painter, const QRectF& itemRect)
{
    if (painter->device() == nullptr)
        return 0.0;
    const double ratio = painter->device()->devicePixelRatio();
    const QTransform& t = painter->deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() != ratio || t.m22() != ratio || !(ratio >= 1.0) || ratio > 4.0)
        return 0.0;
    auto whole = [](double v) { return v == std::round(v); };
    if (!whole(t.dx()) || !whole(t.dy()) || !whole(itemRect.x() * ratio) || !whole(itemRect.y() * ratio))
        return 0.0;
    const bool sane = itemRect.width() >= 1.0 && itemRect.height() >= 1.0 && itemRect.width() * ratio <= 8192.0
        && itemRect.height() * ratio <= 8192.0;
    return sane ? ratio : 0.0;
}

} // namespace

void DiveProfileItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*)
{
    if (scene() == nullptr)
        return;
    if (mDive != nullptr && mEditMode)
        internalUpdateTitle();
    mClipRect = mView.graph;

    const double ratio = pictureRatio(painter, mView.itemRect);
    if (ratio == 0.0) {
        const Columns columns = columnsOf(painter);
        paintContent(painter, ensureLayout(columns.width, columns.phase, true));
        paintDivePoints(painter, option);
        return;
    }

    // Drawn once per state into a picture; a repaint (an expose, a moving cursor
    // line over the profile) then only copies the part the view asks for.
    const ProfileLayout& layout = ensureLayout(1.0 / ratio, 0.0, true);
    PictureKey key = currentPictureKey(painter->renderHints());

    const QSize pixels = (mView.itemRect.size() * ratio).toSize();
    if (!mPictureKey || !(*mPictureKey == key) || mPicture.size() != pixels || mPicture.devicePixelRatio() != ratio) {
        if (mPicture.size() != pixels)
            mPicture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        mPicture.setDevicePixelRatio(ratio);
        mPicture.fill(Qt::transparent);
        QPainter picturePainter(&mPicture);
        picturePainter.translate(-mView.itemRect.topLeft());
        picturePainter.setRenderHints(key.hints);
        paintContent(&picturePainter, layout);
        mPictureKey = std::make_unique<PictureKey>(std::move(key));
    }

    QRectF exposed = mView.itemRect;
    if (option != nullptr && !option->exposedRect.isEmpty())
        exposed = option->exposedRect.intersected(mView.itemRect).toAlignedRect();
    const QRectF source = exposed.translated(-mView.itemRect.topLeft());
    painter->drawImage(exposed, mPicture,
                       QRectF(source.topLeft() * ratio, source.size() * ratio));
    paintDivePoints(painter, option);
}

void DiveProfileItem::repaintEditedLines()
{
    // Only a picture of the current layout in this very view can be patched.
    if (scene() == nullptr || mDive == nullptr || !mPictureKey || !mLayoutKey || mPicture.isNull()
        || mPictureKey->layoutGeneration != mLayoutGeneration) {
        repaintScene();
        return;
    }
    const double ratio = mPicture.devicePixelRatio();
    const LayoutKey wanted = currentLayoutKey(1.0 / ratio, 0.0);
    if (wanted == *mLayoutKey)
        return; // the edit changed nothing that is drawn
    if (!wanted.sameStateAs(*mLayoutKey)) {
        repaintScene();
        return;
    }
    if (mEditMode)
        internalUpdateTitle();

    std::unique_ptr<ProfileLayout> before = std::exchange(mLayout, std::make_unique<ProfileLayout>());
    const ProfileLayout& after = ensureLayout(1.0 / ratio, 0.0, false);
    PictureKey key = currentPictureKey(mPictureKey->hints);
    const ProfileLayoutChange change = key.sameFrameAs(*mPictureKey)
        ? profileLayoutChange(*before, after, QFontMetricsF(layerFont(), &mPicture))
        : ProfileLayoutChange{QRectF(), true};
    if (change.whole) {
        repaintScene();
        return;
    }
    mPictureKey = std::make_unique<PictureKey>(std::move(key));
    const QRectF changed = change.area.intersected(mView.itemRect);
    if (changed.isEmpty())
        return;

    // Whole picture pixels, so that every pixel of the band is painted afresh.
    const QPointF origin = mView.itemRect.topLeft();
    const QRect pixels = QRectF((changed.topLeft() - origin) * ratio, changed.size() * ratio).toAlignedRect();
    const QRectF band(QPointF(pixels.topLeft()) / ratio + origin, QSizeF(pixels.size()) / ratio);
    {
        QPainter picturePainter(&mPicture);
        picturePainter.translate(-origin);
        picturePainter.setClipRect(band);
        picturePainter.setCompositionMode(QPainter::CompositionMode_Source);
        picturePainter.fillRect(band, Qt::transparent);
        picturePainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        picturePainter.setRenderHints(mPictureKey->hints);
        paintContent(&picturePainter, after);
    }
    QGraphicsObject::update(band);
}

void DiveProfileItem::paintContent(QPainter* painter, const ProfileLayout& layout)
{
    painter->save();

    if (mDive != nullptr) {
        painter->setFont(QFont(QStringLiteral("Arial"), 12));
        if (mTitleText.textWidth() != mView.itemRect.width()) {
            mTitleText.setTextWidth(mView.itemRect.width());
            mTitleText.setTextOption(QTextOption(Qt::AlignHCenter | Qt::AlignVCenter));
            mTitleText.setTextFormat(Qt::RichText);
        }
        painter->drawStaticText(QPointF(0, 2), mTitleText);
    }

    ProfilePainter::paintAxes(painter, mView);
    if (mDive == nullptr || !layout.hasProfile) {
        painter->restore();
        return;
    }

    painter->setFont(layerFont());
    const ProfilePainter::GridMetrics metrics = ProfilePainter::gridMetrics(painter);
    ProfilePainter::paintDepthGrid(painter, mView, metrics);
    ProfilePainter::paintTimeGrid(painter, mView, metrics);

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
