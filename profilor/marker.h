#pragma once

#include "profilor/profilorglobal.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <array>

namespace MarkerType {
Q_NAMESPACE_EXPORT(PROFILOR_EXPORT)
// Kinds of user markers. 5 to 9 are alarm markers, shown only with the alarm layer.
enum MarkerTypeIn : int {
    Info = 0,
    Warning = 1,
    Error = 2,
    Gas = 3,
    Diver = 4,
    AlertCeil = 5,
    AlertRR = 6,
    AlertYoyo = 7,
    AlertSecurity = 8,
    Alert24H = 9,
};
Q_ENUM_NS(MarkerTypeIn)
} // namespace MarkerType

namespace IconType {
Q_NAMESPACE_EXPORT(PROFILOR_EXPORT)
// Icons that the profile painting places by itself (not user markers).
enum IconTypeIn : int {
    OxygenTank = 0,
    DTR = 1,
    AlertPmax = 2,
    YoyoInfo = 3,
    YoyoWarning = 4,
    YoyoError = 5,
    AlertO2Hyperoxic = 6,
    AlertO2Hypoxic = 7,
    AlertN2 = 8,
    AlertBattery = 9,
    AlertCNS = 10,
    AlertDensity = 11,
};
Q_ENUM_NS(IconTypeIn)
} // namespace IconType

// One user marker on a profile, and the class-wide tables of icon file names and
// loaded images shared by every profile item. The program registers the file
// names once at start-up; each profile item loads them when it is created.
class PROFILOR_EXPORT Marker
{
public:
    static constexpr int kGasIconCount = 8;

    Marker(int id, MarkerType::MarkerTypeIn type, const QString& text, bool visible);
    Marker(MarkerType::MarkerTypeIn type, const QString& text, bool visible);

    bool isAlarm() const { return type >= MarkerType::AlertCeil && type <= MarkerType::Alert24H; }

    int id = 0;
    MarkerType::MarkerTypeIn type = MarkerType::Info;
    bool visible = true;
    double time = 0.0;  // s
    double depth = 0.0; // m
    double x = 0.0;     // item coordinates, derived from time and depth
    double y = 0.0;
    int iconOffsetX = 0; // from the icon's top-left corner to its anchor
    int iconOffsetY = 0;
    QString text;
    const QImage* image = nullptr; // one of the class-wide images, not owned

    // Registration. Out-of-range types and indexes are ignored.
    static void setMarkerIconFileName(MarkerType::MarkerTypeIn type, const QString& path);
    static void setIconFilename(IconType::IconTypeIn type, const QString& path);
    static void setGasIconFilename(int gasIndex, const QString& path);
    // Loads every registered non-empty path; a path that cannot be read leaves a null image.
    static void loadPictures();

    // The image of a marker type (the Info image for an unknown type).
    static const QImage* markerImage(int type);
    // The image of an icon, or null for an unknown icon type.
    static const QImage* iconImage(int type);
    // The image of a gas index 0..7, or null outside the table.
    static const QImage* gasImage(int gasIndex);
    // Changes whenever loadPictures runs, so that cached drawings can notice new images.
    static quint64 picturesGeneration();

    static QString sInfoFilename;
    static QString sWarningFilename;
    static QString sErrorFilename;
    static QString sGasFilename;
    static QString sDiverFilename;
    static QString sAlertCeilFilename;
    static QString sAlertRRFilename;
    static QString sAlertYoyoFilename;
    static QString sAlertSecurityFilename;
    static QString sAlert24HFilename;

    static QString sOxygenTankFilename;
    static QString sDTRFilename;
    static QString sAlertPmaxFilename;
    static QString sYoyoInfoFilename;
    static QString sYoyoWarningFilename;
    static QString sYoyoErrorFilename;
    static QString sAlertO2HyperoxicFilename;
    static QString sAlertO2HypoxicFilename;
    static QString sAlertN2Filename;
    static QString sAlertBatteryFilename;
    static QString sAlertCNSFilename;
    static QString sAlertDensityFilename;

    static std::array<QString, kGasIconCount> sGasFilenames;

    static QImage mMarkInfo;
    static QImage mMarkWarning;
    static QImage mMarkError;
    static QImage mMarkGas;
    static QImage mMarkDiver;
    static QImage mMarkAlertCeil;
    static QImage mMarkAlertRR;
    static QImage mMarkAlertYoyo;
    static QImage mMarkAlertSecurity;
    static QImage mMarkAlert24h;

    static QImage mMarkOxygenTank;
    static QImage mMarkDTR;
    static QImage mMarkAlertPmax;
    static QImage mMarkYoyoInfo;
    static QImage mMarkYoyoWarning;
    static QImage mMarkYoyoError;
    static QImage mMarkAlertO2Hyperoxic;
    static QImage mMarkAlertO2Hypoxic;
    static QImage mMarkAlertN2;
    static QImage mMarkAlertBattery;
    static QImage mMarkAlertCNS;
    static QImage mMarkAlertDensity;

    static std::array<QImage, kGasIconCount> mMarkGases;

private:
    void placeIcon();
};
