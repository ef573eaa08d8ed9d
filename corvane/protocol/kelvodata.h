#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/protocol/kelvorecords.h"
#include "corvane/protocol/protocoltypes.h"

#include <QList>
#include <QString>

#include <array>

class RecordReader;

// Everything decoded from the dive computer, and the decoders that turn
// response payloads into it. Each decoder takes the record buffer of one
// response (byte 0 the command code, the payload from byte 1) and never
// reads outside it, whatever the computer sent: a missing byte reads as 0.
class CORVANE_EXPORT KelvoData
{
public:
    // The record buffer of one response: the code, then at most 511 payload
    // bytes (a longer payload is cut), zero-filled beyond.
    static RecordBuffer recordBuffer(quint8 command, const QByteArray& payload);

    // "a.b.c.d": three decimal numbers from the top bytes and the character of
    // the low byte (0x01040262 gives "1.4.2.b").
    static QString firmwareVersionToString(quint32 version);

    void processIdentification(const RecordBuffer& buffer);
    void processSerialNumber(const RecordBuffer& buffer);
    void processSyslog(const RecordBuffer& buffer);
    void processSyslogBin(const RecordBuffer& buffer);
    void processComputer(const RecordBuffer& buffer, bool newLayout);
    void processOwner(const RecordBuffer& buffer);
    void processSensors(const RecordBuffer& buffer);
    void processTime(const RecordBuffer& buffer);
    void processLogbook(const RecordBuffer& buffer);
    // `payloadLength` is the frame's length field (payload size + 1); below 2
    // it marks the end of the samples, which are then decoded.
    void processSamples(const RecordBuffer& buffer, quint16 payloadLength);
    void processDiver(const RecordBuffer& buffer);
    void processDeleteDives(const RecordBuffer& buffer, DeleteDivesResult& result) const;
    void processEraseDivesFlash(const RecordBuffer& buffer);
    void processSimulationParams(const RecordBuffer& buffer);
    void processBootloaderVersion(const RecordBuffer& buffer);
    void processGetGases(const RecordBuffer& buffer, quint16 payloadLength);
    void processBatteryInformation(const RecordBuffer& buffer, quint16 payloadLength);

    // Clearing before a job of the same kind starts.
    void clearDiveHeaders() { m_diveHeaders.clear(); }
    void clearSamples();
    void clearBatteryInfo() { m_batteryInfo.clear(); }
    void clearSyslog();

    CurrentMode::CurrentModeIn currentMode() const { return m_currentMode; }
    ComputerModel::ComputerModelIn computerModel() const { return m_computerModel; }
    quint8 recordVersion() const { return m_recordVersion; }
    quint32 bootloaderVersion() const { return m_bootloaderVersion; }
    QString bootloaderVersionStr() const { return m_bootloaderVersionStr; }
    quint32 firmwareVersion() const { return m_firmwareVersion; }
    QString firmwareVersionStr() const { return m_firmwareVersionStr; }
    QString serialNumber() const { return m_serialNumber; }
    QString syslog() const { return m_syslog; }
    QList<SyslogBinRecord> syslogBin() const { return m_syslogBin; }
    QList<BatteryInfoRecord> batteryInfo() const { return m_batteryInfo; }
    const BleConfig& config() const { return m_config; }
    const BleComputer& computer() const { return m_computer; }
    QString owner() const { return m_owner; }
    void setOwner(const QString& owner) { m_owner = owner; }
    quint32 psurf() const { return m_psurf; }
    quint32 pamb() const { return m_pamb; }
    quint16 dstop() const { return m_dstop; }
    quint16 density() const { return m_density; }
    qint64 computerTime() const { return m_computerTime; }
    const QList<PelagonDiveHeader>& diveHeaders() const { return m_diveHeaders; }
    const QByteArray& rawSamples() const { return m_rawSamples; }
    const QList<DiveSample>& samples() const { return m_samples; }
    const std::array<float, 16>& diverN2() const { return m_diverN2; }
    const std::array<float, 16>& diverHe() const { return m_diverHe; }
    float diverCns() const { return m_diverCns; }
    bool lastEraseFlashSuccess() const { return m_eraseFlashResult == 1; }

private:
    void readKelvoComputer(RecordReader& reader, int version, bool newLayout);
    void readPelagonComputer(RecordReader& reader, int version, bool newLayout);
    void readBrixComputer(RecordReader& reader, int version, bool newLayout);

    CurrentMode::CurrentModeIn m_currentMode = CurrentMode::Unknown;
    ComputerModel::ComputerModelIn m_computerModel = ComputerModel::Unknown;
    quint8 m_recordVersion = 0;
    quint32 m_bootloaderVersion = 0;
    QString m_bootloaderVersionStr;
    quint32 m_firmwareVersion = 0;
    QString m_firmwareVersionStr;
    QString m_serialNumber;
    QString m_syslog;
    QList<SyslogBinRecord> m_syslogBin;
    QList<BatteryInfoRecord> m_batteryInfo;
    BleConfig m_config;
    BleComputer m_computer;
    QString m_owner;
    quint32 m_psurf = 0;
    quint32 m_pamb = 0;
    quint16 m_dstop = 0;
    quint16 m_density = 0;
    qint64 m_computerTime = 0;
    QList<PelagonDiveHeader> m_diveHeaders;
    QByteArray m_rawSamples;
    QList<DiveSample> m_samples;
    std::array<float, 16> m_diverN2{};
    std::array<float, 16> m_diverHe{};
    float m_diverCns = 0.0f;
    quint8 m_eraseFlashResult = 0;
};
