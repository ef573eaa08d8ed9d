#pragma once

#include "corvane/corvaneglobal.h"
#include "corvane/protocol/kelvorecords.h"

#include <QByteArray>
#include <QList>

// The responses of a dive computer, built from records: what the simulated
// computer sends. Each is the exact inverse of the matching decoder of
// KelvoData for the same record version and computer model.
namespace KelvoRecords {

// Identification payload: firmware version, kind byte (record version plus 10
// for a Kelvo, 20 for a Pelagon, 30 for a Brix) and bootloader version.
CORVANE_EXPORT QByteArray identificationPayload(quint32 firmwareVersion, quint8 kind, quint32 bootloaderVersion);

// One Logbook response payload for `header` in the layout of `version` (0:
// the legacy layout, whose dive number must not exceed 0x8000) and `model`.
CORVANE_EXPORT QByteArray logbookPayload(const PelagonDiveHeader& header, int version, int model);

// The sample bytes of a dive for sample `version` and `model`: the version
// mark (0x80, version) unless the version is 0, then one record per sample.
// A Fullsamples download sends them cut into payloads, then an empty one.
CORVANE_EXPORT QByteArray sampleBytes(const QList<DiveSample>& samples, int version, int model);

// Bytes of one sample record.
CORVANE_EXPORT int sampleRecordSize(int version, int model);

} // namespace KelvoRecords
