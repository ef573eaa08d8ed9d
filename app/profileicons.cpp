#include "app/profileicons.h"

#include "profilor/marker.h"

#include <QString>

namespace {

QString icon(const char* name)
{
    return QStringLiteral(":/TestGraphics/icons/%1.png").arg(QLatin1String(name));
}

} // namespace

void registerProfileIcons()
{
    Marker::setMarkerIconFileName(MarkerType::Info, icon("mark_info"));
    Marker::setMarkerIconFileName(MarkerType::Error, icon("mark_error"));
    Marker::setMarkerIconFileName(MarkerType::Warning, icon("mark_warning"));
    Marker::setMarkerIconFileName(MarkerType::Gas, icon("mark_gas"));
    Marker::setMarkerIconFileName(MarkerType::Diver, icon("diver"));
    Marker::setMarkerIconFileName(MarkerType::AlertCeil, icon("alertCeil"));
    Marker::setMarkerIconFileName(MarkerType::AlertRR, icon("alertRR"));
    // No images are drawn for these: their paths stay empty.
    Marker::setMarkerIconFileName(MarkerType::AlertYoyo, QString());
    Marker::setMarkerIconFileName(MarkerType::AlertSecurity, QString());
    Marker::setMarkerIconFileName(MarkerType::Alert24H, QString());

    Marker::setIconFilename(IconType::OxygenTank, icon("oxygen-tank"));
    Marker::setIconFilename(IconType::AlertPmax, icon("alertPmax"));
    Marker::setIconFilename(IconType::AlertO2Hyperoxic, icon("alertO2Hyperoxic"));
    Marker::setIconFilename(IconType::AlertO2Hypoxic, icon("alertO2Hypoxic"));
    Marker::setIconFilename(IconType::AlertN2, icon("alertN2"));
    Marker::setIconFilename(IconType::AlertBattery, icon("alertBattery"));
    Marker::setIconFilename(IconType::AlertCNS, icon("alertCNS"));
    Marker::setIconFilename(IconType::AlertDensity, icon("alertDensity"));
    Marker::setIconFilename(IconType::DTR, QString());
    Marker::setIconFilename(IconType::YoyoInfo, QString());
    Marker::setIconFilename(IconType::YoyoWarning, QString());
    Marker::setIconFilename(IconType::YoyoError, QString());

    for (int gas = 0; gas < Marker::kGasIconCount; ++gas)
        Marker::setGasIconFilename(gas, QStringLiteral(":/TestGraphics/icons/gas%1.png").arg(gas + 1));
}
