// The simulated computer's firmware writing and layout store.

#include "corvane/protocol/frame.h"
#include "corvane/protocol/protocoltypes.h"
#include "corvane/simulator/computerflash.h"
#include "corvane/simulator/computerhandlers_p.h"
#include "corvane/simulator/computerrecords.h"

#include <QtEndian>

namespace {

constexpr quint32 kApplicationMagic = 0xDEADBEEF;
constexpr quint32 kBootloaderMagic = 0x424F4F54;
constexpr int kHeaderOffset = 512;
constexpr int kHeaderSize = 32;
constexpr quint32 kSmallestImage = kHeaderOffset + kHeaderSize;
constexpr quint32 kFlashSize = 16 * 1024 * 1024;
// Erased flash reads as ones.
constexpr char kErased = char(0xFF);

quint32 wordAt(const QByteArray& bytes, int offset)
{
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0;
}

void putWord(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void refuse(ComputerReply& reply)
{
    reply.payloads = {ComputerRecords::status(false)};
}

void abandon(FirmwareReceiver& f)
{
    f.procedure = FirmwareReceiver::Procedure::None;
    f.received.clear();
}

// The image kind is in place: keep it, then the computer restarts into it
// once its answer is out.
void install(ComputerState& s, ComputerReply& reply)
{
    FirmwareReceiver& f = s.firmware;
    if (f.procedure == FirmwareReceiver::Procedure::Headed && f.magic == kBootloaderMagic) {
        f.installedBootloader = f.received;
        s.bootloaderVersion = f.version;
    } else {
        f.installedFirmware = f.received;
        s.firmwareVersion = f.version;
    }
    ++f.installs;
    s.bootloaderMode = false;
    abandon(f);
    reply.payloads = {ComputerRecords::status(true)};
    reply.dropLinkAfter = true;
}

} // namespace

namespace ComputerHandlers {

void beginProgram(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    FirmwareReceiver& f = s.firmware;
    abandon(f);
    const quint32 size = wordAt(request, 36);
    if (request.size() < 44 || size < kSmallestImage || size > kFlashSize)
        return refuse(reply);
    f.procedure = FirmwareReceiver::Procedure::Described;
    f.version = wordAt(request, 32);
    f.expectedSize = size;
    f.expectedCrc = quint16(wordAt(request, 40));
    f.chunks = 0;
    reply.payloads = {ComputerRecords::status(true)};
}

void beginUpdate(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    FirmwareReceiver& f = s.firmware;
    abandon(f);
    const QByteArray header = request.left(kHeaderSize);
    const quint32 magic = wordAt(header, 0);
    const quint32 size = wordAt(header, 4);
    if (header.size() < kHeaderSize || (magic != kApplicationMagic && magic != kBootloaderMagic)
        || size < kSmallestImage || size > kFlashSize)
        return refuse(reply);
    f.procedure = FirmwareReceiver::Procedure::Headed;
    f.magic = magic;
    f.version = wordAt(header, 8);
    f.expectedSize = size;
    f.header = header;
    f.chunks = 0;
    quint32 offset = 0;
    if (s.faults.beginUpdateOffset >= 0) {
        // The computer claims to hold the start already: its flash does.
        offset = quint32(s.faults.beginUpdateOffset);
        const QByteArray& flash = magic == kBootloaderMagic ? f.installedBootloader : f.installedFirmware;
        f.received = flash.left(int(qMin<quint32>(offset, kFlashSize)));
        f.received.append(int(qMin<quint32>(offset, kFlashSize)) - f.received.size(), kErased);
    } else if (f.resume && header == f.interruptedHeader && !f.interrupted.isEmpty()) {
        f.received = f.interrupted;
        offset = quint32(f.received.size());
    }
    f.interrupted.clear();
    f.interruptedHeader.clear();
    QByteArray answer = ComputerRecords::status(true);
    answer.append(4, '\0');
    putWord(answer, 1, offset);
    reply.payloads = {answer};
}

void programChunk(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    FirmwareReceiver& f = s.firmware;
    if (f.procedure == FirmwareReceiver::Procedure::None)
        return refuse(reply);
    ++f.chunks;
    if (quint32(f.received.size() + request.size()) > f.expectedSize) {
        abandon(f);
        return refuse(reply);
    }
    f.received += request;
    if (s.faults.linkLossAfterChunks >= 0 && f.chunks > s.faults.linkLossAfterChunks) {
        // The chunk is written, its answer never leaves.
        reply.silent = true;
        reply.dropLinkAfter = true;
        return;
    }
    reply.payloads = {ComputerRecords::status(true)};
}

void endProgram(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    const FirmwareReceiver& f = s.firmware;
    bool complete = f.procedure != FirmwareReceiver::Procedure::None && quint32(f.received.size()) == f.expectedSize;
    if (complete && f.procedure == FirmwareReceiver::Procedure::Described)
        complete = KelvoFrame::crc16(f.received) == f.expectedCrc;
    if (complete && f.procedure == FirmwareReceiver::Procedure::Headed)
        complete = f.received.mid(kHeaderOffset, kHeaderSize) == f.header;
    if (!complete) {
        abandon(s.firmware);
        return refuse(reply);
    }
    install(s, reply);
}

void refuseDamagedChunk(ComputerState& s, int command, ComputerReply& reply)
{
    if (command == PelagonCommand::LayoutAdd) {
        s.layouts.receiving = false;
        s.layouts.incoming.clear();
    } else {
        abandon(s.firmware);
    }
    refuse(reply);
}

void linkLost(ComputerState& s)
{
    FirmwareReceiver& f = s.firmware;
    if (f.procedure == FirmwareReceiver::Procedure::Headed && !f.received.isEmpty()) {
        f.interruptedHeader = f.header;
        f.interrupted = f.received;
    }
    abandon(f);
    s.layouts.receiving = false;
    s.layouts.incoming.clear();
}

void layoutList(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    for (const SimulatedLayout& layout : s.layouts.layouts) {
        QByteArray entry;
        entry.append(char(layout.index)).append(char(layout.type)).append(layout.name);
        reply.payloads.append(entry);
    }
    reply.payloads.append(QByteArray());
}

void layoutGet(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    const int index = request.isEmpty() ? -1 : quint8(request.at(0));
    for (const SimulatedLayout& layout : s.layouts.layouts) {
        if (layout.index == index) {
            stream(layout.blob, s.framePayload, reply);
            return;
        }
    }
    reply.payloads = {QByteArray()};
}

namespace {

// Stores a complete blob under the lowest free number; false when the blob
// does not name itself or the store is full.
bool storeLayout(LayoutStore& store, const QByteArray& blob)
{
    const qsizetype zero = blob.indexOf('\0', 1);
    if (blob.size() < 2 || zero < 0 || zero > 32)
        return false;
    for (int index = 0; index < LayoutStore::kCapacity; ++index) {
        bool taken = false;
        for (const SimulatedLayout& layout : store.layouts)
            taken = taken || layout.index == index;
        if (!taken) {
            store.layouts.append({quint8(index), quint8(blob.at(0)), blob.mid(1, zero - 1), blob});
            return true;
        }
    }
    return false;
}

bool layoutExists(const LayoutStore& store, int index)
{
    for (const SimulatedLayout& layout : store.layouts) {
        if (layout.index == index)
            return true;
    }
    return false;
}

} // namespace

void layoutAdd(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    LayoutStore& store = s.layouts;
    const quint8 flags = request.isEmpty() ? 0 : quint8(request.at(0));
    if (flags & 1) {
        store.incoming.clear();
        store.receiving = true;
        store.chunks = 0;
    }
    ++store.chunks;
    if (!store.receiving || request.isEmpty() || store.incoming.size() + request.size() - 1 > LayoutStore::kMaxBlob) {
        store.receiving = false;
        return refuse(reply);
    }
    store.incoming += request.mid(1);
    bool accepted = true;
    if (flags & 2) {
        store.receiving = false;
        accepted = storeLayout(store, store.incoming);
        store.incoming.clear();
    }
    reply.payloads = {ComputerRecords::status(accepted)};
}

void layoutRemove(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    LayoutStore& store = s.layouts;
    const int index = request.isEmpty() ? -1 : quint8(request.at(0));
    if (!layoutExists(store, index))
        return refuse(reply);
    store.layouts.removeIf([index](const SimulatedLayout& layout) { return layout.index == index; });
    for (qint8& slot : store.active) {
        if (slot == index)
            slot = -1;
    }
    reply.payloads = {ComputerRecords::status(true)};
}

void layoutRemoveAll(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    s.layouts.layouts.clear();
    s.layouts.active.fill(-1);
    reply.payloads = {ComputerRecords::status(true)};
}

void layoutActiveGet(ComputerState& s, const QByteArray&, ComputerReply& reply)
{
    const int n = qBound(0, s.layouts.activeAnswerBytes, LayoutStore::kModes);
    reply.payloads = {QByteArray(reinterpret_cast<const char*>(s.layouts.active.data()), n)};
}

void layoutActiveSet(ComputerState& s, const QByteArray& request, ComputerReply& reply)
{
    const int mode = request.size() >= 2 ? quint8(request.at(0)) : LayoutStore::kModes;
    const int index = request.size() >= 2 ? qint8(request.at(1)) : -2;
    if (mode >= LayoutStore::kModes || (index != -1 && !layoutExists(s.layouts, index)))
        return refuse(reply);
    s.layouts.active[std::size_t(mode)] = qint8(index);
    reply.payloads = {ComputerRecords::status(true)};
}

} // namespace ComputerHandlers

namespace SimulatedFlash {

QByteArray firmwareImage(quint32 magic, quint32 version, int size, quint32 seed)
{
    QByteArray image(qMax(size, int(kSmallestImage)), '\0');
    // A xorshift stream: the same image for the same seed everywhere.
    quint32 x = seed ? seed : 0x9E3779B9u;
    for (char& byte : image) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = char(x >> 24);
    }
    image.truncate(size);
    if (size >= int(kSmallestImage)) {
        image.replace(kHeaderOffset, kHeaderSize, QByteArray(kHeaderSize, '\0'));
        if (magic != 0) {
            putWord(image, kHeaderOffset, magic);
            putWord(image, kHeaderOffset + 4, quint32(size));
            putWord(image, kHeaderOffset + 8, version);
        }
    }
    return image;
}

QByteArray layoutBlob(quint8 type, const QByteArray& name, const QByteArray& design)
{
    QByteArray blob(1, char(type));
    blob += name.left(31);
    blob += '\0';
    blob += design;
    return blob;
}

LayoutStore demoLayouts()
{
    static const char* const names[] = {"Classic", "Big numbers", "Technical", "Gauge", "Apnea"};
    LayoutStore store;
    for (int i = 0; i < LayoutStore::kModes; ++i) {
        QByteArray design(300 + 97 * i, '\0');
        for (int b = 0; b < design.size(); ++b)
            design[b] = char((b * 31 + i * 7) & 0xFF);
        const QByteArray blob = layoutBlob(quint8(i + 1), names[i], design);
        store.layouts.append({quint8(i), quint8(i + 1), names[i], blob});
        store.active[std::size_t(i)] = qint8(i);
    }
    return store;
}

} // namespace SimulatedFlash
