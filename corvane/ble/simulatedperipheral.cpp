#include "corvane/ble/simulatedperipheral.h"

#include "corvane/ble/simulatedcentral_p.h"

#include <QBluetoothAddress>
#include <QDebug>

#include <limits>
#include <utility>

namespace {

const QBluetoothUuid kCccd(QBluetoothUuid::DescriptorType::ClientCharacteristicConfiguration);

// Link events a request costs before its answer is back: the request goes out
// at one connection event, the answer comes at the next.
constexpr int kRoundTrip = 2;

SimulatedCharacteristic characteristic(const char* uuid, QLowEnergyCharacteristic::PropertyTypes properties,
                                       bool hasCccd = true)
{
    return {QBluetoothUuid(QString::fromLatin1(uuid)), properties, hasCccd};
}

} // namespace

SimulatedService SimulatedService::transparentUart()
{
    return {QBluetoothUuid(QStringLiteral("49535343-fe7d-4ae5-8fa9-9fafd205e455")),
            {characteristic("49535343-1e4d-4bd9-ba61-23c647249616",
                            QLowEnergyCharacteristic::Notify | QLowEnergyCharacteristic::Write
                                | QLowEnergyCharacteristic::WriteNoResponse)}};
}

SimulatedService SimulatedService::serialPort()
{
    const auto both = QLowEnergyCharacteristic::Notify | QLowEnergyCharacteristic::Write
                      | QLowEnergyCharacteristic::WriteNoResponse;
    return {QBluetoothUuid(QStringLiteral("2456e1b9-26e2-8f83-e744-f34f01e9d701")),
            {characteristic("2456e1b9-26e2-8f83-e744-f34f01e9d703", both),
             characteristic("2456e1b9-26e2-8f83-e744-f34f01e9d704", both)}};
}

SimulatedService SimulatedService::genericAccess()
{
    return {QBluetoothUuid(QBluetoothUuid::ServiceClassUuid::GenericAccess),
            {{QBluetoothUuid(QBluetoothUuid::CharacteristicType::DeviceName), QLowEnergyCharacteristic::Read, false}}};
}

SimulatedPeripheral::SimulatedPeripheral(QObject* parent)
    : QObject(parent)
    , m_name(QStringLiteral("Kelvo Sim"))
    , m_address(QStringLiteral("00:11:22:33:44:55"))
    , m_services({SimulatedService::genericAccess(), SimulatedService::transparentUart()})
{
    m_clock.start();
    m_eventTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_eventTimer, &QTimer::timeout, this, &SimulatedPeripheral::runEvents);
}

SimulatedPeripheral::~SimulatedPeripheral()
{
    dropLink(); // gone from the air: the central sees the link lost
}

void SimulatedPeripheral::setAddress(const QString& address)
{
    m_address = QBluetoothAddress(address).toString();
}

QBluetoothDeviceInfo SimulatedPeripheral::deviceInfo() const
{
    QBluetoothDeviceInfo info(QBluetoothAddress(m_address), m_name, 0);
    info.setCoreConfigurations(m_lowEnergy ? QBluetoothDeviceInfo::LowEnergyCoreConfiguration
                                           : QBluetoothDeviceInfo::BaseRateCoreConfiguration);
    info.setRssi(m_rssi);
    return info;
}

void SimulatedPeripheral::setLinkModel(const BleLinkModel& model)
{
    m_linkModel = model;
    if (m_running) { // re-paced from now on
        m_eventTimer.stop();
        m_running = false;
        if (!m_queue.empty())
            schedule(ToCentral, 0, false, {});
    }
}

bool SimulatedPeripheral::isSubscribed(const QBluetoothUuid& characteristic) const
{
    return m_subscribed.contains(characteristic);
}

bool SimulatedPeripheral::dropLink()
{
    if (m_link == Link::Idle)
        return false;
    const bool wasUp = m_link == Link::Up;
    SimulatedCentral* const central = m_central;
    resetLink();
    if (wasUp)
        emit linkDown();
    if (central)
        QMetaObject::invokeMethod(central, [central, wasUp] { central->linkLost(wasUp); }, Qt::QueuedConnection);
    return true;
}

bool SimulatedPeripheral::send(const QBluetoothUuid& characteristicUuid, const QByteArray& bytes)
{
    int service = -1;
    int characteristic = -1;
    if (m_link != Link::Up || !m_subscribed.contains(characteristicUuid)
        || !findCharacteristic(characteristicUuid, &service, &characteristic))
        return false;
    const qsizetype piece = payloadSize();
    if (bytes.isEmpty())
        return true;
    if (bytes.size() <= piece) {
        queueNotification(service, characteristic, bytes);
        return true;
    }
    for (qsizetype offset = 0; offset < bytes.size(); offset += piece)
        queueNotification(service, characteristic, bytes.mid(offset, piece));
    return true;
}

bool SimulatedPeripheral::sendNotification(const QBluetoothUuid& characteristicUuid, const QByteArray& value)
{
    int service = -1;
    int characteristic = -1;
    if (m_link != Link::Up || !findCharacteristic(characteristicUuid, &service, &characteristic))
        return false;
    queueNotification(service, characteristic, value);
    return true;
}

void SimulatedPeripheral::queueNotification(int service, int characteristic, const QByteArray& value)
{
    ++m_pendingNotifications;
    const QBluetoothUuid uuid = m_services.at(service).characteristics.at(characteristic).uuid;
    // An indication waits for its confirmation: one per round trip.
    const int events = m_indicating.contains(uuid) ? kRoundTrip : 1;
    schedule(ToCentral, events, true, [this, service, characteristic, value] {
        if (m_central)
            m_central->notificationArrived(service, characteristic, value);
    });
}

bool SimulatedPeripheral::findCharacteristic(const QBluetoothUuid& uuid, int* service, int* characteristic) const
{
    for (int s = 0; s < m_services.size(); ++s) {
        const QList<SimulatedCharacteristic>& list = m_services.at(s).characteristics;
        for (int c = 0; c < list.size(); ++c) {
            if (list.at(c).uuid == uuid) {
                *service = s;
                *characteristic = c;
                return true;
            }
        }
    }
    return false;
}

bool SimulatedPeripheral::attach(SimulatedCentral* central)
{
    if (!m_advertising || !m_lowEnergy || m_link != Link::Idle)
        return false;
    m_central = central;
    m_link = Link::Connecting;
    schedule(ToCentral, kRoundTrip, false, [this] {
        m_link = Link::Up;
        emit linkUp();
        if (m_central)
            m_central->linkConnected();
    });
    return true;
}

void SimulatedPeripheral::detach(SimulatedCentral* central)
{
    if (m_central != central || m_link == Link::Idle)
        return;
    const bool wasUp = m_link == Link::Up;
    resetLink();
    if (wasUp)
        emit linkDown();
}

void SimulatedPeripheral::requestServices()
{
    schedule(ToCentral, kRoundTrip * int(m_services.size() + 1), false, [this] {
        if (m_central)
            m_central->servicesListed();
    });
}

void SimulatedPeripheral::requestDetails(int serviceIndex)
{
    const int characteristics = int(m_services.value(serviceIndex).characteristics.size());
    schedule(ToCentral, kRoundTrip * (characteristics + 1), false, [this, serviceIndex] {
        if (m_central)
            m_central->detailsDiscovered(serviceIndex);
    });
}

void SimulatedPeripheral::centralWrite(int service, int characteristic, const QByteArray& value, bool withResponse)
{
    schedule(ToPeripheral, 1, false, [this, service, characteristic, value, withResponse] {
        const QBluetoothUuid uuid = m_services.at(service).characteristics.at(characteristic).uuid;
        if (!withResponse && value.size() > payloadSize()) {
            qWarning().noquote() << "SimulatedPeripheral: write without response of" << value.size()
                                 << "bytes does not fit the link's" << payloadSize() << "bytes; lost";
            emit writeLost(uuid, int(value.size()));
            return;
        }
        if (withResponse) {
            schedule(ToCentral, 1, false, [this, service, characteristic, value] {
                if (m_central)
                    m_central->writeAcknowledged(service, characteristic, value);
            });
        }
        emit written(uuid, value);
    });
}

void SimulatedPeripheral::centralWriteDescriptor(int service, int characteristic, const QBluetoothUuid& descriptor,
                                                 const QByteArray& value)
{
    schedule(ToPeripheral, 1, false, [this, service, characteristic, descriptor, value] {
        if (descriptor == kCccd) {
            const QBluetoothUuid uuid = m_services.at(service).characteristics.at(characteristic).uuid;
            const char flags = value.isEmpty() ? 0 : value.at(0);
            const bool subscribed = (flags & 0x03) != 0;
            if (subscribed)
                m_subscribed.insert(uuid);
            else
                m_subscribed.remove(uuid);
            if (flags & 0x02 && !(flags & 0x01))
                m_indicating.insert(uuid);
            else
                m_indicating.remove(uuid);
            emit subscriptionChanged(uuid, subscribed);
            if (!m_cccdAcknowledged)
                return;
        }
        schedule(ToCentral, 1, false, [this, service, descriptor, value] {
            if (m_central)
                m_central->descriptorAcknowledged(service, descriptor, value);
        });
    });
}

void SimulatedPeripheral::schedule(Direction direction, int events, bool notification, std::function<void()> deliver)
{
    if (deliver)
        m_queue.push_back({direction, m_event + events, notification, std::move(deliver)});
    if (m_running)
        return;
    m_running = true;
    if (m_linkModel.instant) {
        m_eventTimer.setSingleShot(true);
        m_eventTimer.start(0);
        return;
    }
    // The next connection event is one interval from now.
    m_clockBase = m_clock.nsecsElapsed() / 1000;
    m_eventTimer.setSingleShot(false);
    m_eventTimer.start(qMax(1, m_linkModel.connectionIntervalUs / 1000));
}

void SimulatedPeripheral::runEvents()
{
    const quint64 generation = m_generation;
    if (m_linkModel.instant) {
        // Everything queued before this turn, in order; what it queues goes next turn.
        m_running = false;
        std::deque<LinkItem> batch;
        batch.swap(m_queue);
        while (!batch.empty() && generation == m_generation) {
            LinkItem item = std::move(batch.front());
            batch.pop_front();
            deliver(item);
        }
        return; // a reset link drops what was still on the air
    }
    const qint64 nowUs = m_clock.nsecsElapsed() / 1000;
    while (!m_queue.empty() && m_clockBase + m_linkModel.connectionIntervalUs <= nowUs) {
        m_clockBase += m_linkModel.connectionIntervalUs;
        ++m_event;
        runEvent(m_event);
        if (generation != m_generation)
            return; // the link was reset inside
    }
    if (m_queue.empty()) {
        m_eventTimer.stop();
        m_running = false;
    }
}

void SimulatedPeripheral::deliver(LinkItem& item)
{
    if (item.notification)
        --m_pendingNotifications;
    const quint64 generation = m_generation;
    item.deliver(); // may queue more, or reset the link
    if (item.notification && generation == m_generation && m_pendingNotifications == 0)
        emit notificationsDrained();
}

void SimulatedPeripheral::runEvent(qint64 event)
{
    // Up to packetsPerInterval packets each way; each direction keeps its order.
    const int perEvent = m_linkModel.instant ? std::numeric_limits<int>::max() : m_linkModel.packetsPerInterval;
    int budget[2] = {perEvent, perEvent};
    for (;;) {
        bool blocked[2] = {false, false};
        auto it = m_queue.begin();
        for (; it != m_queue.end(); ++it) {
            const int d = it->direction;
            if (blocked[d])
                continue;
            if (it->readyAt > event || budget[d] == 0) {
                blocked[d] = true;
                if (blocked[0] && blocked[1])
                    return;
                continue;
            }
            break;
        }
        if (it == m_queue.end())
            return;
        LinkItem item = std::move(*it);
        m_queue.erase(it);
        --budget[item.direction];
        deliver(item);
    }
}

void SimulatedPeripheral::resetLink()
{
    m_queue.clear();
    m_pendingNotifications = 0;
    m_subscribed.clear();
    m_indicating.clear();
    m_link = Link::Idle;
    m_central = nullptr;
    m_eventTimer.stop();
    m_running = false;
    ++m_generation;
}
