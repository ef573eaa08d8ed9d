#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <array>

struct Dive;

// The texts of the details panel for one dive, made without widgets so that
// every field can be checked on its own.
struct DiveDetails
{
    Q_DECLARE_TR_FUNCTIONS(DiveDetails)

public:
    // The five alert LEDs, in the panel's order.
    enum Alert { Ceiling = 0, AscentSpeed = 1, HighO2 = 2, Battery = 3, Transmitter = 4, AlertCount = 5 };

    struct GasRow
    {
        QString o2;      // percent
        QString he;      // percent
        QString kind;    // "OC", "CC" or "BO"
    };

    QString name;
    QString startTime;
    QString duration;
    QString maxDepth;
    QString avgDepth;
    QString diveMode;
    QString waterType;
    QString surfacePressure;
    QString gradientFactors;
    QString place;
    QString site;
    QString buddy;
    QString computerName;
    QString sampleInterval;
    QString serial;
    QList<GasRow> gases;
    std::array<int, AlertCount> alertLevels{};

    static DiveDetails describe(const Dive& dive);

    // The level (0..3) of each LED, from the dive's alert summary: the
    // 2-bit levels of the ceiling and hyperoxia fields (summary byte 0) and
    // of the battery (byte 1), the fast-ascent flag of byte 1 as a warning,
    // and the highest of the transmitter's four 2-bit fields.
    static std::array<int, AlertCount> alertLevelsOf(const Dive& dive);
    // Green for 0, orange for 2, red for 3; level 1 is red for the battery
    // and the transmitter, orange for the others.
    static QString ledIcon(Alert alert, int level);
    static QString diveModeText(int divemode);
};
