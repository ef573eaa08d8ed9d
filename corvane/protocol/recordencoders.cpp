#include "corvane/protocol/recordencoders.h"

#include "corvane/protocol/recordlayouts_p.h"

QByteArray KelvoRecords::identificationPayload(quint32 firmwareVersion, quint8 kind, quint32 bootloaderVersion)
{
    RecordWriter writer;
    writer.put(firmwareVersion);
    writer.put(kind);
    writer.put(bootloaderVersion);
    return writer.bytes();
}

QByteArray KelvoRecords::logbookPayload(const PelagonDiveHeader& header, int version, int model)
{
    PelagonDiveHeader copy = header;
    RecordWriter writer;
    if (version == 0) {
        writer.put(copy.diveNumber);
    } else {
        writer.put(quint16(0x8000 | (version & 0xFF)));
        writer.put(copy.diveNumber);
    }
    KelvoLayouts::logbookLayout(writer, copy, version, model);
    return writer.bytes();
}

QByteArray KelvoRecords::sampleBytes(const QList<DiveSample>& samples, int version, int model)
{
    RecordWriter writer;
    if (version != 0) {
        writer.put(quint8(0x80));
        writer.put(quint8(version));
    }
    for (DiveSample sample : samples)
        KelvoLayouts::sampleLayout(writer, sample, version, model);
    return writer.bytes();
}

int KelvoRecords::sampleRecordSize(int version, int model)
{
    return KelvoLayouts::sampleRecordSize(version, model);
}
