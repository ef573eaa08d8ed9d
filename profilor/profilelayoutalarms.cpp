#include "profilor/profilelayout_p.h"

#include "profilor/marker.h"
#include "profilor/profilestyle.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("DiveProfileItem", text);
}

// One alarm of a dive computer's per-line alarm field.
struct ComputerAlarm
{
    quint16 mask;      // bits of the field; set when any of them is set
    int imageKind;     // marker type (< 100) or icon type + 100
    bool once;         // shown only at the first line that carries it
};

constexpr int kIcon = 100;

// In drawing order; the index is the slot in LayoutBuilder::mShownOnce.
constexpr ComputerAlarm kComputerAlarms[8] = {
    {1u << 10, MarkerType::AlertRR, false},
    {0x0003, MarkerType::AlertCeil, false},
    {0x000c, kIcon + IconType::AlertO2Hyperoxic, true},
    {0x0030, kIcon + IconType::AlertO2Hypoxic, true},
    {1u << 12, kIcon + IconType::AlertN2, true},
    {0x0300, kIcon + IconType::AlertBattery, true},
    {0x00c0, kIcon + IconType::AlertCNS, true},
    {1u << 11, kIcon + IconType::AlertDensity, true},
};

const QImage* alarmImage(int kind)
{
    return kind >= kIcon ? Marker::iconImage(kind - kIcon) : Marker::markerImage(kind);
}

QString alarmToolTip(int slot, const DiveLine& line)
{
    switch (slot) {
    case 0:
        return tr("Fast ascent: %1m/mn").arg(ProfileStyle::shortNumber(std::fabs(line.speed)));
    case 1:
        return tr("Ceiling violation: %1m").arg(ProfileStyle::shortNumber(line.depth));
    case 2:
        return tr("Hyperoxic: %1bar").arg(ProfileStyle::shortNumber(line.ppO2));
    case 3:
        return tr("Hypoxic: %1bar").arg(ProfileStyle::shortNumber(line.ppO2));
    case 4:
        return tr("Narcotic: %1m").arg(ProfileStyle::shortNumber(line.depth));
    case 5:
        return tr("Battery warning: %1mV").arg(line.battery);
    case 6:
        return tr("CNS warning: %1").arg(ProfileStyle::shortNumber(line.cns));
    default:
        return tr("Density warning");
    }
}

} // namespace

void LayoutBuilder::addPicture(std::vector<ProfileLayout::Picture>& list, const QImage* image, const QPointF& topLeft)
{
    if (image == nullptr || image->isNull())
        return;
    const QRectF area(topLeft, QSizeF(image->size()));
    if (area.intersects(mClip))
        list.push_back({image, topLeft});
}

void LayoutBuilder::addGasIcon(int gasIndex, const QPointF& at)
{
    // Images exist for gas indexes 0 to 7 only, while a dive may carry more
    // gases: beyond the table the icon draws nothing but keeps its tool tip.
    const QImage* image = Marker::gasImage(gasIndex);
    const DiveGas* gas = gasIndex >= 0 && gasIndex < mDive.gases.size() ? &mDive.gases[gasIndex] : nullptr;
    const QSizeF size = image != nullptr && !image->isNull() ? QSizeF(image->size()) : QSizeF(8, 8);
    if (QRectF(at, size).intersects(mView.itemRect))
        mOut.icons.push_back({at, image, ProfileStyle::gasToolTip(gas)});
}

void LayoutBuilder::addAlarms(qsizetype i, const QColor& segmentColour)
{
    if (mDive.computerModel == 1)
        addKelvoAlarms(i, segmentColour);
    else
        addComputerAlarms(i);
}

void LayoutBuilder::addKelvoAlarms(qsizetype i, const QColor& segmentColour)
{
    const DiveLine& line = mDive.lines[i];
    const DiveLine& before = mDive.lines[i - 1];
    QPointF point = mProfilePoints[i];
    auto mark = [&](const QImage* image) {
        addCircle(point, segmentColour);
        point += QPointF(5, 5);
        addPicture(mOut.pictures, image, point);
    };

    if (line.alertFlag & 0x04)
        mark(&Marker::mMarkAlertRR);

    // The ppO2 alarm of a recorded dive is shown where a run of it starts;
    // a planned profile shows it on every line.
    const bool pmax = (line.alertFlag & 0x08) != 0;
    if (pmax && (mPmaxArmed || mDive.format == 3))
        mark(&Marker::mMarkAlertPmax);
    mPmaxArmed = !pmax;

    const double ceiling = before.decoCeiling;
    const bool ceilingBroken = ceiling > before.depth && ceiling > 0.0 && line.timeSec - before.timeSec >= 30.0
        && ceiling > line.depth;
    if (ceilingBroken || (line.alertFlag & 0x03) == 0x03)
        mark(&Marker::mMarkAlertCeil);

    if (i == mDive.dtrStartIndex)
        addPicture(mOut.pictures, &Marker::mMarkDTR, mProfilePoints[i - 1]);
}

void LayoutBuilder::addComputerAlarms(qsizetype i)
{
    const DiveLine& line = mDive.lines[i];
    const quint16 field = quint16(line.pelagonAlerts[0] | (line.pelagonAlerts[1] << 8));
    if (field == 0)
        return;
    const QPointF point = mProfilePoints[i] + QPointF(5, 5);
    for (int slot = 0; slot < 8; ++slot) {
        const ComputerAlarm& alarm = kComputerAlarms[slot];
        if ((field & alarm.mask) == 0)
            continue;
        if (alarm.once) {
            if (mShownOnce[std::size_t(slot)])
                continue;
            mShownOnce[std::size_t(slot)] = true;
        }
        addCircle(point, QColor(Qt::red));
        const QImage* image = alarmImage(alarm.imageKind);
        const QSizeF size = image != nullptr && !image->isNull() ? QSizeF(image->size()) : QSizeF(8, 8);
        if (QRectF(point, size).intersects(mView.itemRect))
            mOut.icons.push_back({point, image, alarmToolTip(slot, line)});
    }
}
