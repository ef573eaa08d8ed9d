#pragma once

#include "corvane/ble/blelinkmodel.h"
#include "corvane/corvaneglobal.h"

#include <QBluetoothDeviceInfo>
#include <QBluetoothUuid>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QLowEnergyCharacteristic>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

class SimulatedCentral;

// One characteristic a simulated peripheral offers.
struct CORVANE_EXPORT SimulatedCharacteristic
{
    QBluetoothUuid uuid;
    QLowEnergyCharacteristic::PropertyTypes properties;
    bool hasCccd = true; // has the Client Characteristic Configuration descriptor
};

// One service a simulated peripheral offers, with ready-made dive-computer ones.
struct CORVANE_EXPORT SimulatedService
{
    QBluetoothUuid uuid;
    QList<SimulatedCharacteristic> characteristics;

    // The transparent-UART service: one data characteristic that notifies and
    // takes writes with and without response.
    static SimulatedService transparentUart();
    // The serial port service: FIFO (notify, write) and credits (notify, write).
    static SimulatedService serialPort();
    // Generic Access (0x1800) with the device name, as every peripheral lists first.
    static SimulatedService genericAccess();
};

// A Bluetooth Low Energy peripheral that lives in the program: what it
// advertises, the services it offers and the link a simulated central makes to
// it (MTU, pace, acknowledgement of the notification switch, loss on demand).
//
// Its byte pipe faces whatever plays the device behind the radio (a simulated
// dive computer): every write of the central arrives as `written`, and `send`
// returns bytes as notifications of at most MTU - 3 bytes each, at the link's
// pace. Add it to a SimulatedBleBackend to make it visible to scans and links.
class CORVANE_EXPORT SimulatedPeripheral : public QObject
{
    Q_OBJECT
public:
    // A Low Energy dive computer "Kelvo Sim" at 00:11:22:33:44:55 with Generic
    // Access and the transparent-UART service, MTU 247, instant link.
    explicit SimulatedPeripheral(QObject* parent = nullptr);
    ~SimulatedPeripheral() override;

    // -- What scans see
    void setName(const QString& name) { m_name = name; }
    QString name() const { return m_name; }
    // Any text QBluetoothAddress takes; kept as it prints it ("AA:BB:..").
    void setAddress(const QString& address);
    QString address() const { return m_address; }
    void setLowEnergy(bool lowEnergy) { m_lowEnergy = lowEnergy; }
    bool isLowEnergy() const { return m_lowEnergy; }
    void setRssi(qint16 rssi) { m_rssi = rssi; }
    qint16 rssi() const { return m_rssi; }
    // Advertising: found by scans and open to a link. A linked peripheral is
    // not found by a new link until the first one ends.
    void setAdvertising(bool advertising) { m_advertising = advertising; }
    bool isAdvertising() const { return m_advertising; }
    // The record a scan reports for it.
    QBluetoothDeviceInfo deviceInfo() const;

    // -- What a link finds
    void setServices(const QList<SimulatedService>& services) { m_services = services; }
    QList<SimulatedService> services() const { return m_services; }
    // The ATT MTU a link settles on: 23, 185, 247, 512...; 0 for a stack that
    // does not tell (writes and notifications then carry 20 bytes).
    void setMtu(int mtu) { m_mtu = mtu; }
    int mtu() const { return m_mtu; }
    // Bytes one notification or write without response carries: MTU - 3.
    int payloadSize() const { return (m_mtu > 3 ? m_mtu : 23) - 3; }
    // Whether writes of the notification switch (CCCD) are acknowledged.
    void setCccdAcknowledged(bool acknowledged) { m_cccdAcknowledged = acknowledged; }
    bool isCccdAcknowledged() const { return m_cccdAcknowledged; }
    void setLinkModel(const BleLinkModel& model);
    BleLinkModel linkModel() const { return m_linkModel; }

    // -- The link
    bool isLinked() const { return m_link == Link::Up; }
    // Whether the central switched notifications or indications of that characteristic on.
    bool isSubscribed(const QBluetoothUuid& characteristic) const;
    // Loses the link now, whatever its state: what is still on the air is
    // lost; the central sees a disconnection (or a failed connection). False
    // when there was no link.
    bool dropLink();
    // Changes each time a link ends: a drop decided on one link compares it
    // before it acts, so that it never cuts a later one.
    quint64 linkGeneration() const { return m_generation; }

    // -- The pipe, for the device behind the radio
    // Sends `bytes` to the central as consecutive notifications (indications
    // where so subscribed) of the characteristic, each at most payloadSize().
    // False (nothing sent) without a link or without the central's subscription.
    bool send(const QBluetoothUuid& characteristic, const QByteArray& bytes);
    // One notification exactly as given, any length, 0 and beyond MTU included
    // (for faults a real stack would not produce). False without a link.
    bool sendNotification(const QBluetoothUuid& characteristic, const QByteArray& value);
    // Notifications queued on the link and not yet delivered.
    int pendingNotifications() const { return m_pendingNotifications; }

signals:
    void linkUp();
    void linkDown();
    // The central switched notifications of the characteristic on or off.
    void subscriptionChanged(const QBluetoothUuid& characteristic, bool subscribed);
    // The central wrote one value to the characteristic (one ATT write).
    void written(const QBluetoothUuid& characteristic, const QByteArray& data);
    // A write without response longer than the link carries: lost, as on air.
    void writeLost(const QBluetoothUuid& characteristic, int size);
    // Everything sent has reached the central.
    void notificationsDrained();

private:
    friend class SimulatedCentral;
    friend class SimulatedGattService;
    enum class Link { Idle, Connecting, Up };
    enum Direction { ToPeripheral = 0, ToCentral = 1 };
    struct LinkItem
    {
        Direction direction;
        qint64 readyAt; // connection event
        bool notification;
        std::function<void()> deliver;
    };

    // Called by the simulated central.
    bool attach(SimulatedCentral* central);
    void detach(SimulatedCentral* central);
    void requestServices();
    void requestDetails(int serviceIndex);
    void centralWrite(int serviceIndex, int characteristicIndex, const QByteArray& value, bool withResponse);
    void centralWriteDescriptor(int serviceIndex, int characteristicIndex, const QBluetoothUuid& descriptor,
                                const QByteArray& value);

    bool findCharacteristic(const QBluetoothUuid& uuid, int* service, int* characteristic) const;
    void schedule(Direction direction, int events, bool notification, std::function<void()> deliver);
    void queueNotification(int service, int characteristic, const QByteArray& value);
    void runEvents();
    void runEvent(qint64 event);
    void deliver(LinkItem& item);
    void resetLink();

    QString m_name;
    QString m_address;
    bool m_lowEnergy = true;
    qint16 m_rssi = -60;
    bool m_advertising = true;
    QList<SimulatedService> m_services;
    int m_mtu = 247;
    bool m_cccdAcknowledged = true;
    BleLinkModel m_linkModel;

    Link m_link = Link::Idle;
    QPointer<SimulatedCentral> m_central;
    QSet<QBluetoothUuid> m_subscribed;
    QSet<QBluetoothUuid> m_indicating;
    std::deque<LinkItem> m_queue;
    int m_pendingNotifications = 0;
    qint64 m_event = 0;     // connection events run so far
    qint64 m_clockBase = 0; // microseconds on m_clock at event m_event
    QElapsedTimer m_clock;
    QTimer m_eventTimer;
    bool m_running = false;
    quint64 m_generation = 0; // counts link resets
};
