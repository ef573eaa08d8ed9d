#pragma once

#include "corvane/ble/bledeviceinfo.h"
#include "corvane/corvaneglobal.h"
#include "corvane/protocol/firmwareupload.h"
#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/layoutentry.h"
#include "corvane/protocol/protocoltypes.h"
#include "divedata/divetypes.h"

#include <QBluetoothDeviceInfo>
#include <QList>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <optional>

class BleBackend;
class BleDevice;
class BleScanner;
class KelvoBleProtocol;

namespace CreateControllerStatus {
Q_NAMESPACE_EXPORT(CORVANE_EXPORT)
// How the scan phase of a connection ended.
enum CreateControllerStatusIn : int { NotFound = 0, NotCreated = 1, Created = 2, Error = 3 };
Q_ENUM_NS(CreateControllerStatusIn)
} // namespace CreateControllerStatus

namespace ConnectControllerStatus {
Q_NAMESPACE_EXPORT(CORVANE_EXPORT)
// How the connection phase ended.
enum ConnectControllerStatusIn : int { NoController = 0, NoService = 1, Connected = 2 };
Q_ENUM_NS(ConnectControllerStatusIn)
} // namespace ConnectControllerStatus

// A settings record sent with startAmphorSettings; its fields are carried
// as the computer defines them. Its wire form is 14 bytes, little-endian.
struct CORVANE_EXPORT AmphorSettings
{
    quint8 byte0 = 0;
    quint8 byte1 = 0;
    float value2 = 0.0f;
    quint8 byte3 = 0;
    float value4 = 0.0f;
    quint8 byte5 = 0;
    quint8 byte6 = 0;
    quint8 byte7 = 0;

    QByteArray toBytes() const;
};

// The program's one object for a dive computer: it owns the scanner, the
// GATT link and the frame protocol of one connection, runs the connection
// flows, starts command jobs (one at a time), decodes every answer into its
// KelvoData and reports through signals and one status message.
class CORVANE_EXPORT KelvoSession : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)

public:
    // On the platform's Bluetooth stack.
    explicit KelvoSession(QObject* parent = nullptr);
    // On another radio (a simulated one in tests, divetool and demo mode);
    // the backend is not owned and must outlive the session.
    KelvoSession(BleBackend* backend, QObject* parent);
    ~KelvoSession() override;

    // Connection flows.
    Q_INVOKABLE void autoConnect(BleMode mode);
    Q_INVOKABLE void autoConnect() { autoConnect(Gatt); }
    Q_INVOKABLE void createController() { autoConnect(Gatt); }
    Q_INVOKABLE void connectTo(const BleDeviceInfo& device, BleMode mode = Gatt);
    Q_INVOKABLE void controllerConnect();
    Q_INVOKABLE void controllerDisconnect();
    Q_INVOKABLE void controllerDisConnect() { controllerDisconnect(); }

    // Command jobs. Each sends one request; its end comes as endCommand or
    // exchangeError. While a job is in flight a new one is refused
    // (jobRefused, and false where a result is returned).
    Q_INVOKABLE bool startCommand(PelagonCommand::PelagonCommandIn command);
    Q_INVOKABLE bool startGetLogbook(const QList<quint16>& existingDiveIds);
    Q_INVOKABLE bool startGetDiveSamples(quint16 diveName);
    Q_INVOKABLE bool startSetPressure(quint32 pressure);
    Q_INVOKABLE bool startSetTime();
    Q_INVOKABLE bool setOwner(const QString& owner);
    Q_INVOKABLE bool startGetGases(quint8 gasType);
    bool startAmphorSettings(const AmphorSettings& settings);
    Q_INVOKABLE bool startSuperUserMode(bool activate);
    Q_INVOKABLE bool startGetBatteryInformation();
    // Stops a running scan; a command in flight is left alone.
    Q_INVOKABLE void stopJob();

    // Display layouts: list, read, write, remove and activate them. Each
    // ends with endCommand(command) or exchangeError(command, GenericError).
    Q_INVOKABLE bool startLayoutList();
    Q_INVOKABLE bool startLayoutGet(quint8 index);
    Q_INVOKABLE bool startLayoutAdd(const QByteArray& blob);
    Q_INVOKABLE bool startLayoutRemove(quint8 index);
    Q_INVOKABLE bool startLayoutRemoveAll();
    Q_INVOKABLE bool startLayoutActiveGet();
    Q_INVOKABLE bool startLayoutActiveSet(quint8 diveMode, qint8 index);

    // Writes a firmware or bootloader image into the computer. Returns the
    // image size once the first request is out; 0 when nothing was sent (an
    // image that cannot be described, an upload or job already running, no
    // link), with the reason in message(); -1 unknown magic, -2 that
    // bootloader is installed, -3 that firmware is installed (both unless
    // `force`), -4 an application while the bootloader version is unknown.
    // Progress comes as uploadFirmwareProgress, the end as
    // endCommand(End_program), a failure or a lost link as exchangeError.
    int uploadFirmware(const QByteArray& image, const QString& fileName, bool force);
    // The same from a file; 0 when it cannot be read.
    int uploadFirmware(const QString& path, bool force);
    bool isUploading() const { return m_uploading; }
    // Duration of the last completed upload.
    FirmwareUpload::Ticks uploadElapsed() const { return m_upload.elapsed(); }

    // For scripts.
    Q_INVOKABLE bool qmlConnected() const { return isConnected(); }
    Q_INVOKABLE int qmlCurrentMode() const { return int(currentMode()); }
    Q_INVOKABLE int qmlComputerModel() const { return int(computerModel()); }
    Q_INVOKABLE QString qmlGetSerialNumber() const { return serialNumber(); }
    Q_INVOKABLE QString qmlGetFirmwareVersionStr() const { return firmwareVersionStr(); }
    Q_INVOKABLE QString qmlGetOwner() const { return owner(); }
    Q_INVOKABLE QString qmlGetMessage() const { return message(); }
    Q_INVOKABLE QString qmlControllerError(QLowEnergyController::Error error) const;
    Q_INVOKABLE bool qmlStartGetLogbook(const QList<int>& existingDiveIds);

    // State.
    bool isConnected() const { return m_connected; }
    QString message() const { return m_message; }
    BleDeviceInfo lastDevice() const;
    // The command whose answer is awaited, if any.
    std::optional<PelagonCommand::PelagonCommandIn> jobInFlight() const { return m_jobInFlight; }
    const KelvoData& data() const { return m_data; }

    quint8 recordVersion() const { return m_data.recordVersion(); }
    QString serialNumber() const { return m_data.serialNumber(); }
    quint32 bootloaderVersion() const { return m_data.bootloaderVersion(); }
    QString bootloaderVersionStr() const { return m_data.bootloaderVersionStr(); }
    quint32 firmwareVersion() const { return m_data.firmwareVersion(); }
    QString firmwareVersionStr() const { return m_data.firmwareVersionStr(); }
    CurrentMode::CurrentModeIn currentMode() const { return m_data.currentMode(); }
    ComputerModel::ComputerModelIn computerModel() const { return m_data.computerModel(); }
    QString computerModelStr() const;
    const BleConfig& config() const { return m_data.config(); }
    const BleComputer& computer() const { return m_data.computer(); }
    const QList<PelagonDiveHeader>& diveHeaders() const { return m_data.diveHeaders(); }
    const QList<DiveSample>& diveSamples() const { return m_data.samples(); }
    QString syslog() const { return m_data.syslog(); }
    QList<SyslogBinRecord> syslogBin() const { return m_data.syslogBin(); }
    QList<BatteryInfoRecord> batteryInfo() const { return m_data.batteryInfo(); }
    qint64 computerTime() const { return m_data.computerTime(); }
    const std::array<float, 16>& diverN2() const { return m_data.diverN2(); }
    const std::array<float, 16>& diverHe() const { return m_data.diverHe(); }
    float diverCns() const { return m_data.diverCns(); }
    quint32 psurf() const { return m_data.psurf(); }
    quint32 pamb() const { return m_data.pamb(); }
    quint16 density() const { return m_data.density(); }
    quint16 dstop() const { return m_data.dstop(); }
    QString owner() const { return m_data.owner(); }
    DeleteDivesResult deleteResult() const { return m_deleteResult; }
    bool lastEraseFlashSuccess() const { return m_data.lastEraseFlashSuccess(); }
    const QList<LayoutEntry>& layouts() const { return m_layouts; }
    // One layout per dive mode, -1 where none is known.
    const std::array<qint8, 5>& activeLayouts() const { return m_activeLayouts; }
    const QByteArray& layoutBlob() const { return m_layoutBlob; }
    bool layoutCommandSuccess() const { return m_layoutSuccess; }
    // The first downloaded header of that dive number.
    std::optional<PelagonDiveHeader> diveHeader(quint16 number) const;

signals:
    void createControllerStatus(CreateControllerStatus::CreateControllerStatusIn status);
    void connectControllerStatus(ConnectControllerStatus::ConnectControllerStatusIn status);
    void disconnectController();
    void errorController(QLowEnergyController::Error error);
    void serviceError(QLowEnergyService::ServiceError error);
    void endCommand(PelagonCommand::PelagonCommandIn command);
    void exchangeError(PelagonCommand::PelagonCommandIn command, ExchangeError::ExchangeErrorIn error);
    void uploadFirmwareProgress(int bytesSent, int percentDone);
    void messageChanged();
    // A job was asked for while another was in flight; nothing was sent.
    void jobRefused(PelagonCommand::PelagonCommandIn command);
    // The computer took the layout's bytes up to `bytesSent` of `total`.
    void layoutAddProgress(int bytesSent, int total);

private slots:
    void onDeviceFound(const BleDeviceInfo& device);
    void onScanFinished();
    void onScanError(const QString& message);
    void onBleConnected();
    void onBleDisconnected();
    void onBleServicesDiscovered();
    void onBleError(const QString& message);
    void onResponseReceived(PelagonCommand::PelagonCommandIn command, const QByteArray& payload,
                            quint16 payloadLength);
    void onProtocolError(PelagonCommand::PelagonCommandIn command, ExchangeError::ExchangeErrorIn error);
    void onReceiveTimeout(PelagonCommand::PelagonCommandIn command);
    void onProtocolReady();

private:
    void setMessage(const QString& message);
    void createBleObjects(BleMode mode);
    void createProtocol(BleMode mode);
    void cleanup();
    // Sends one job's request; false (and a signal) when it cannot go out.
    bool sendJob(PelagonCommand::PelagonCommandIn command, const QByteArray& payload = {});
    bool refuseWhileBusy(PelagonCommand::PelagonCommandIn command);
    void finishJob(PelagonCommand::PelagonCommandIn command);
    void failJob(PelagonCommand::PelagonCommandIn command, ExchangeError::ExchangeErrorIn error);
    void dispatchResponse(PelagonCommand::PelagonCommandIn command, const QByteArray& payload,
                          quint16 payloadLength);
    void dispatchFirmwareResponse(PelagonCommand::PelagonCommandIn command, const RecordBuffer& buffer,
                                  quint16 payloadLength);
    void dispatchLayoutResponse(PelagonCommand::PelagonCommandIn command, const RecordBuffer& buffer,
                                const QByteArray& payload, quint16 payloadLength);
    int refuseUpload(const QString& reason);
    // Sends one step of the upload; a step the link does not take ends it.
    void sendUploadStep(PelagonCommand::PelagonCommandIn command, const QByteArray& payload);
    void firmwareExecuteProgram();
    // Ends a running upload with the error of the step it was at.
    void failUpload(PelagonCommand::PelagonCommandIn step);
    // A lost link or a clean-up while an upload runs: told, never silent.
    void abortUpload();
    void sendNextLayoutAddChunk();

    BleBackend* m_backend = nullptr;
    QPointer<BleScanner> m_scanner;
    QPointer<BleDevice> m_device;
    QPointer<KelvoBleProtocol> m_protocol;
    bool m_connected = false;
    bool m_autoConnect = false;
    bool m_deviceFound = false;
    bool m_pressureBusy = false;
    QString m_message;
    KelvoData m_data;
    DeleteDivesResult m_deleteResult;
    QString m_ownerSent;
    std::optional<PelagonCommand::PelagonCommandIn> m_jobInFlight;

    QList<LayoutEntry> m_layouts;
    std::array<qint8, 5> m_activeLayouts{-1, -1, -1, -1, -1};
    QByteArray m_layoutBlob;
    bool m_layoutSuccess = false;
    QByteArray m_layoutToWrite;
    int m_layoutOffset = 0;

    FirmwareUpload m_upload;
    bool m_uploading = false;
    PelagonCommand::PelagonCommandIn m_uploadStep = PelagonCommand::Begin_program;
};
