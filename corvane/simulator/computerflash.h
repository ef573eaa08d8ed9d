#pragma once

#include "corvane/corvaneglobal.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <array>

// What the simulated computer keeps in its flash besides dives: the firmware
// image being written, the images installed, and the display layouts.

// One display layout in the computer's store. Its blob starts with the type
// byte and the name up to a zero byte; the computer reads nothing further.
struct SimulatedLayout
{
    quint8 index = 0;
    quint8 type = 0;
    QByteArray name; // Latin-1
    QByteArray blob;
};

// The firmware image on its way in, and what was installed.
struct FirmwareReceiver
{
    enum class Procedure { None, Described, Headed };

    Procedure procedure = Procedure::None;
    quint32 magic = 0;        // headed images: application or bootloader
    quint32 version = 0;
    quint32 expectedSize = 0; // from the description, or the header's word at 516
    quint16 expectedCrc = 0;  // described images: CRC-16 of the whole image
    QByteArray header;        // headed images: the 32 bytes at 512
    QByteArray received;      // the image assembled so far, from its first byte
    int chunks = 0;           // chunks taken since the opening request

    // A headed upload the link interrupted, offered for continuation when
    // `resume` is set and the same header comes again.
    bool resume = false;
    QByteArray interruptedHeader;
    QByteArray interrupted;

    QByteArray installedFirmware;
    QByteArray installedBootloader;
    int installs = 0;
};

// The layout store and the layout active in each of the five dive modes.
struct LayoutStore
{
    static constexpr int kCapacity = 16;
    static constexpr int kModes = 5;
    static constexpr int kMaxBlob = 64 * 1024;

    QList<SimulatedLayout> layouts;
    std::array<qint8, kModes> active{-1, -1, -1, -1, -1};
    // Bytes of a LayoutActiveGet answer (an older computer knows fewer modes).
    int activeAnswerBytes = kModes;
    QByteArray incoming;
    bool receiving = false;
    int chunks = 0;
};

namespace SimulatedFlash {

// An image the simulated computer accepts: deterministic bytes from `seed`,
// and for the headed kinds (magic 0xDEADBEEF application, 0x424F4F54
// bootloader) the header at 512 with the image size at 516 and `version` at
// 520. Magic 0 gives a headerless image (its version is in its file name).
CORVANE_EXPORT QByteArray firmwareImage(quint32 magic, quint32 version, int size, quint32 seed = 1);
// A layout blob the computer can list: type, name, zero, design bytes.
CORVANE_EXPORT QByteArray layoutBlob(quint8 type, const QByteArray& name, const QByteArray& design);
// Five layouts, one active in each dive mode: the demo computer's store.
CORVANE_EXPORT LayoutStore demoLayouts();

} // namespace SimulatedFlash
