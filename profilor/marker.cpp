#include "profilor/marker.h"

#include <utility>

QString Marker::sInfoFilename;
QString Marker::sWarningFilename;
QString Marker::sErrorFilename;
QString Marker::sGasFilename;
QString Marker::sDiverFilename;
QString Marker::sAlertCeilFilename;
QString Marker::sAlertRRFilename;
QString Marker::sAlertYoyoFilename;
QString Marker::sAlertSecurityFilename;
QString Marker::sAlert24HFilename;

QString Marker::sOxygenTankFilename;
QString Marker::sDTRFilename;
QString Marker::sAlertPmaxFilename;
QString Marker::sYoyoInfoFilename;
QString Marker::sYoyoWarningFilename;
QString Marker::sYoyoErrorFilename;
QString Marker::sAlertO2HyperoxicFilename;
QString Marker::sAlertO2HypoxicFilename;
QString Marker::sAlertN2Filename;
QString Marker::sAlertBatteryFilename;
QString Marker::sAlertCNSFilename;
QString Marker::sAlertDensityFilename;

std::array<QString, Marker::kGasIconCount> Marker::sGasFilenames;

QImage Marker::mMarkInfo;
QImage Marker::mMarkWarning;
QImage Marker::mMarkError;
QImage Marker::mMarkGas;
QImage Marker::mMarkDiver;
QImage Marker::mMarkAlertCeil;
QImage Marker::mMarkAlertRR;
QImage Marker::mMarkAlertYoyo;
QImage Marker::mMarkAlertSecurity;
QImage Marker::mMarkAlert24h;

QImage Marker::mMarkOxygenTank;
QImage Marker::mMarkDTR;
QImage Marker::mMarkAlertPmax;
QImage Marker::mMarkYoyoInfo;
QImage Marker::mMarkYoyoWarning;
QImage Marker::mMarkYoyoError;
QImage Marker::mMarkAlertO2Hyperoxic;
QImage Marker::mMarkAlertO2Hypoxic;
QImage Marker::mMarkAlertN2;
QImage Marker::mMarkAlertBattery;
QImage Marker::mMarkAlertCNS;
QImage Marker::mMarkAlertDensity;

std::array<QImage, Marker::kGasIconCount> Marker::mMarkGases;

namespace {

quint64 sPicturesGeneration = 0;

// File name and image of one table entry, indexed by the enumeration value.
using Entry = std::pair<QString*, QImage*>;

const std::array<Entry, 10>& markerTable()
{
    static const std::array<Entry, 10> table{{
        {&Marker::sInfoFilename, &Marker::mMarkInfo},
        {&Marker::sWarningFilename, &Marker::mMarkWarning},
        {&Marker::sErrorFilename, &Marker::mMarkError},
        {&Marker::sGasFilename, &Marker::mMarkGas},
        {&Marker::sDiverFilename, &Marker::mMarkDiver},
        {&Marker::sAlertCeilFilename, &Marker::mMarkAlertCeil},
        {&Marker::sAlertRRFilename, &Marker::mMarkAlertRR},
        {&Marker::sAlertYoyoFilename, &Marker::mMarkAlertYoyo},
        {&Marker::sAlertSecurityFilename, &Marker::mMarkAlertSecurity},
        {&Marker::sAlert24HFilename, &Marker::mMarkAlert24h},
    }};
    return table;
}

const std::array<Entry, 12>& iconTable()
{
    static const std::array<Entry, 12> table{{
        {&Marker::sOxygenTankFilename, &Marker::mMarkOxygenTank},
        {&Marker::sDTRFilename, &Marker::mMarkDTR},
        {&Marker::sAlertPmaxFilename, &Marker::mMarkAlertPmax},
        {&Marker::sYoyoInfoFilename, &Marker::mMarkYoyoInfo},
        {&Marker::sYoyoWarningFilename, &Marker::mMarkYoyoWarning},
        {&Marker::sYoyoErrorFilename, &Marker::mMarkYoyoError},
        {&Marker::sAlertO2HyperoxicFilename, &Marker::mMarkAlertO2Hyperoxic},
        {&Marker::sAlertO2HypoxicFilename, &Marker::mMarkAlertO2Hypoxic},
        {&Marker::sAlertN2Filename, &Marker::mMarkAlertN2},
        {&Marker::sAlertBatteryFilename, &Marker::mMarkAlertBattery},
        {&Marker::sAlertCNSFilename, &Marker::mMarkAlertCNS},
        {&Marker::sAlertDensityFilename, &Marker::mMarkAlertDensity},
    }};
    return table;
}

void loadEntry(const QString& path, QImage& image)
{
    if (!path.isEmpty())
        image = QImage(path); // null when the file cannot be read
}

} // namespace

Marker::Marker(int markerId, MarkerType::MarkerTypeIn markerType, const QString& markerText, bool isVisible)
    : id(markerId)
    , type(markerType)
    , visible(isVisible)
    , text(markerText)
{
    placeIcon();
}

Marker::Marker(MarkerType::MarkerTypeIn markerType, const QString& markerText, bool isVisible)
    : Marker(0, markerType, markerText, isVisible)
{
}

void Marker::placeIcon()
{
    image = markerImage(type);
    if (image == nullptr || image->isNull())
        return;
    iconOffsetX = image->width() / 2;
    // The diver stands on the point; every other icon is centred on it.
    iconOffsetY = type == MarkerType::Diver ? image->height() : image->height() / 2;
}

void Marker::setMarkerIconFileName(MarkerType::MarkerTypeIn markerType, const QString& path)
{
    const int index = int(markerType);
    if (index >= 0 && index < int(markerTable().size()))
        *markerTable()[std::size_t(index)].first = path;
}

void Marker::setIconFilename(IconType::IconTypeIn iconType, const QString& path)
{
    const int index = int(iconType);
    if (index >= 0 && index < int(iconTable().size()))
        *iconTable()[std::size_t(index)].first = path;
}

void Marker::setGasIconFilename(int gasIndex, const QString& path)
{
    if (gasIndex >= 0 && gasIndex < kGasIconCount)
        sGasFilenames[std::size_t(gasIndex)] = path;
}

void Marker::loadPictures()
{
    for (const Entry& entry : markerTable())
        loadEntry(*entry.first, *entry.second);
    for (const Entry& entry : iconTable())
        loadEntry(*entry.first, *entry.second);
    for (std::size_t i = 0; i < sGasFilenames.size(); ++i)
        loadEntry(sGasFilenames[i], mMarkGases[i]);
    ++sPicturesGeneration;
}

const QImage* Marker::markerImage(int markerType)
{
    if (markerType < 1 || markerType >= int(markerTable().size()))
        return &mMarkInfo;
    return markerTable()[std::size_t(markerType)].second;
}

const QImage* Marker::iconImage(int iconType)
{
    if (iconType < 0 || iconType >= int(iconTable().size()))
        return nullptr;
    return iconTable()[std::size_t(iconType)].second;
}

const QImage* Marker::gasImage(int gasIndex)
{
    if (gasIndex < 0 || gasIndex >= kGasIconCount)
        return nullptr;
    return &mMarkGases[std::size_t(gasIndex)];
}

quint64 Marker::picturesGeneration()
{
    return sPicturesGeneration;
}
