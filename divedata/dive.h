#pragma once

#include "divedata/divegas.h"
#include "divedata/diveline.h"
#include "divedata/divetypes.h"

#include <QList>
#include <QString>

#include <array>

// The part of a dive that the dive computer's logbook header carries as well.
struct DiveHeader
{
    quint16 diveNumber = 0;
    qint32 computerModel = ComputerModel::Unknown;
    qint64 beginTime = 0;          // s since the epoch, UTC
    qint64 endTime = 0;
    double maxDepth = 0.0;         // derived
    double avgDepth = 0.0;         // derived
    quint8 samplePeriod = 5;
    quint32 sampleCount = 0;
    quint8 divemode = 0;           // 0 open circuit, else closed circuit
    quint8 ocdivemode = 1;         // carried as reported
    quint16 surfacePressure = 0;   // mbar
    quint8 density = 0;            // 0 salt water, else fresh water
    quint8 gfLow = 80;
    quint8 gfHigh = 80;
    quint16 deepestStop = 0;
    quint16 cnsBegin = 0;
    quint16 cnsMax = 0;
    quint32 ndl = 0;
    double totalDecoTime = 0.0;    // s spent at stops (derived)
    double ascentTime = 0.0;       // s of the computed ascent (derived)
    quint32 desatTime = 0;
    std::array<quint16, 16> diverN2{};
    std::array<quint16, 16> diverHe{};
    quint16 gasEnabled = 0;
    quint8 headerSpare = 0;
    std::array<quint8, 12> gasPO2{};
    std::array<quint8, 12> gasPHe{};
    std::array<quint32, 12> perGasWords{};
    quint8 activeGas = 0;
    quint8 activeGasSetPoint = 0;
    quint8 setpointEnabled = 0;
    std::array<quint16, 3> setpoint{};
    quint32 alertFlags = 0;
    quint16 alertFlags16 = 0;
    double minTemperature = 0.0;   // derived
    double maxTemperature = 0.0;   // derived
    quint16 minTankPressure = 0;   // derived
    quint16 maxTankPressure = 0;   // derived
    quint16 pO2Min = 0;
    quint16 pO2Max = 0;
    float otu = 0.0f;
    float iss = 0.0f;
    QString place;
    QString buddy;
    QString site;
    QString notes;
};

// One dive: recorded, read from a file, loaded from the logbook or planned.
struct Dive : DiveHeader
{
    enum Format { PlannedProfile = 3, RecordedDive = 4 };

    QString name;
    QString computerName;
    QString computerManufacturer;
    QString computerSerial;
    QString firmwareVersion;
    qint32 format = RecordedDive;
    QList<DiveLine> lines;
    QList<DiveLine> decoLines;
    QList<DiveLine> ceilTrackingLines;
    QList<DiveLine> overlayLines;
    QList<DiveGas> gases;
    std::array<quint8, 4> alertsKelvo{};
    std::array<quint8, 3> alertsPelagon{};
    quint8 alertsAI = 0;
    bool uploaded = false;
    double maxTime = 0.0;          // s, largest time of every line list (derived)
    qint32 invalidReason = 0;
    qint32 dtrStartIndex = -1;
    QList<CurvePoint> ceilingProfile;
    bool decoNotTerminated = false;
    QList<CurvePoint> yoyoList;
    quint8 diverMode = 255;
    quint16 gasSet = 1;

    void clear();

    // What a refresh does with the ceiling curve: rebuild it from the lines'
    // ceilings, or keep the one a simulation computed.
    enum class CeilingCurve { Rebuild, Keep };
    // Brings every value derived from the profile up to date in one go: the
    // statistics, the vertical speeds of the profile and of the computed
    // ascent, and (unless kept) the ceiling curve. Whoever fills or changes a
    // dive's lines (a file read, the logbook, an editor) calls this and
    // nothing else, so every reader of the dive sees the same values.
    void refreshDerived(CeilingCurve ceiling = CeilingCurve::Rebuild);

    void computeStatistics();
    static void computeSpeeds(QList<DiveLine>& lines);
    void recomputeDerived(bool skipMainProfile = false);
    void rebuildCeilingProfile();
    void fillGasIndexes();
    void computePelagonAlertSummary();

    double depthAt(double time) const;
    Dive extractPortion(qint64 from, qint64 to) const;

    QString dateText() const;
    QString durationText() const;
    // "mm:ss" below one hour, else "hh:mm:ss" (hours not wrapped); negative or
    // non-finite durations show as "00:00".
    static QString formatDuration(double seconds);
    QString gasSetName() const;
    QString diveModeLabel() const;
};
