// Feeds arbitrary bytes to the program as the dive computer's answers. The
// first byte picks the path, the second the size of the notifications:
//  - Raw: the rest arrives as notifications, as it is, at the frame receiver;
//    every good frame goes to its decoder.
//  - Framed: the rest is a series of responses (code, 16-bit length, payload)
//    that are framed with their CRC, so that the decoders behind the receiver
//    see them, with the input's bytes cut at the notification size.
//  - Direct: the same responses go to the decoders without frames.
// Every downloaded dive header is then turned into a dive with the samples
// and its derived values are computed, as a download does, and the binary
// system log records are turned into text. Nothing may crash,
// hang, leak or step outside a buffer.
//
// With PELAGON_FUZZ_SEEDS=<folder> set, the program writes a download of a
// few dives of every computer model for each path into the folder and stops.

#include "corvane/protocol/frame.h"
#include "corvane/protocol/framereceiver.h"
#include "corvane/protocol/kelvodata.h"
#include "corvane/protocol/pelagondiveconverter.h"
#include "corvane/protocol/recordencoders.h"
#include "corvane/protocol/syslogtext.h"
#include "fuzzinput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace PelagonCommand;

enum Path : quint8 { Raw, Framed, Direct, PathCount };

// The decoder the session hands each answer to.
void decode(KelvoData& data, PelagonCommandIn command, const QByteArray& payload, quint16 length)
{
    const RecordBuffer buffer = KelvoData::recordBuffer(quint8(command), payload);
    const bool endMarker = length < 2;
    DeleteDivesResult deleted;
    switch (command) {
    case Identification: data.processIdentification(buffer); break;
    case Syslog: if (!endMarker) data.processSyslog(buffer); break;
    case Serialnumber: data.processSerialNumber(buffer); break;
    case Computer:
    case Computer_new: data.processComputer(buffer, command == Computer_new); break;
    case Time:
    case Set_time: data.processTime(buffer); break;
    case Sensors:
    case Set_sensors: data.processSensors(buffer); break;
    case Diver: data.processDiver(buffer); break;
    case Logbook: if (!endMarker) data.processLogbook(buffer); break;
    case Fullsamples: data.processSamples(buffer, length); break;
    case Owner: data.processOwner(buffer); break;
    case DeleteLastDive:
    case EraseDives: data.processDeleteDives(buffer, deleted); break;
    case SimulParams: data.processSimulationParams(buffer); break;
    case SyslogBin: if (!endMarker) data.processSyslogBin(buffer); break;
    case BootloaderVersion: data.processBootloaderVersion(buffer); break;
    case GetGases: if (payload.size() >= 2) data.processGetGases(buffer, length); break;
    case BatteryInformation: if (!endMarker) data.processBatteryInformation(buffer, length); break;
    case EraseDivesFlash: data.processEraseDivesFlash(buffer); break;
    default: break;
    }
}

// The responses of the input: code, length (little-endian, cut to what is
// left), payload.
QList<ReceivedFrame> responsesOf(FuzzInput& in)
{
    QList<ReceivedFrame> responses;
    while (!in.atEnd()) {
        ReceivedFrame response;
        response.command = in.byte();
        const quint16 size = in.word();
        response.payload = in.take(size);
        response.length = quint16(response.payload.size() + 1);
        responses.append(response);
    }
    return responses;
}

// What a download leaves: the dives with their derived values, and the
// binary system log as text lines.
void convertDives(const KelvoData& data)
{
    for (const SyslogBinRecord& record : data.syslogBin()) {
        convertSyslogRecord(record, false);
        convertSyslogRecord(record, true);
    }
    for (const PelagonDiveHeader& header : data.diveHeaders()) {
        ::Dive dive = PelagonDiveConverter::toDive(header, data.samples(), data);
        dive.refreshDerived();
    }
}

void writeSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    // A download as the computer answers it: who it is, its settings, the
    // logbook, then the samples of one dive cut into payloads.
    for (int model = ComputerModel::Kelvo; model <= ComputerModel::Brix; ++model) {
        for (int version : {0, 1, 3}) {
            QList<std::pair<quint8, QByteArray>> answers;
            answers.append({Identification, KelvoRecords::identificationPayload(0x01040262, quint8(model * 10 + version), 0x01000061)});
            answers.append({Serialnumber, QByteArray("K-000123")});
            answers.append({Computer_new, QByteArray(300, '\x01')});
            PelagonDiveHeader header;
            header.diveNumber = 7;
            header.computerModel = model;
            header.beginTime = 1700000000;
            header.endTime = 1700000000 + 1800;
            header.samplePeriod = 10;
            header.sampleCount = 180;
            header.gasEnabled = 3;
            header.gasPO2 = {21, 50};
            answers.append({Logbook, KelvoRecords::logbookPayload(header, version, model)});
            answers.append({Logbook, QByteArray()});
            QList<DiveSample> samples;
            for (int i = 0; i < 180; ++i) {
                DiveSample s;
                s.version = quint16(version);
                s.depth = quint16(i < 90 ? i * 3 : (180 - i) * 3);
                s.temperature = qint8(20 - i / 20);
                s.tankPressure = quint16(200 - i / 2);
                s.flags = quint8(i > 150 ? 2 : 0);
                samples.append(s);
            }
            const QByteArray sampleBytes = KelvoRecords::sampleBytes(samples, version, model);
            for (qsizetype at = 0; at < sampleBytes.size(); at += 200)
                answers.append({Fullsamples, sampleBytes.mid(at, 200)});
            answers.append({Fullsamples, QByteArray()});
            answers.append({SyslogBin, QByteArray(24, '\x05')});
            answers.append({BatteryInformation, QByteArray(16, '\x81')});

            QByteArray records;
            QByteArray frames;
            for (const auto& [code, payload] : answers) {
                records += char(code);
                records += char(payload.size() & 0xFF);
                records += char(payload.size() >> 8);
                records += payload;
                frames += KelvoFrame::build(code, payload);
            }
            const QString name = QStringLiteral("%1-%2-%3").arg(model).arg(version);
            const auto put = [&](Path path, const QByteArray& bytes) {
                QFile file(QDir(folder).filePath(name.arg(int(path))));
                if (file.open(QIODevice::WriteOnly))
                    file.write(QByteArray(1, char(path)) + char(60) + bytes);
            };
            put(Raw, frames);
            put(Framed, records);
            put(Direct, records);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The frame receiver's timers need an application object.
    static QCoreApplication app(*argc, *argv);
    writeSeedsIfAsked(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzInput in(bytes, size);
    const Path path = Path(in.byte() % PathCount);
    const int chunkSize = 1 + in.byte();
    KelvoData data;

    if (path == Direct) {
        for (const ReceivedFrame& response : responsesOf(in))
            decode(data, PelagonCommandIn(response.command), response.payload, response.length);
    } else {
        QByteArray stream;
        if (path == Raw) {
            stream = in.rest();
        } else {
            for (const ReceivedFrame& response : responsesOf(in))
                stream += KelvoFrame::build(response.command, response.payload);
        }
        FrameReceiver receiver;
        QObject::connect(&receiver, &FrameReceiver::frameReceived,
                         [&](PelagonCommandIn command, const QByteArray& payload, quint16 length) {
                             decode(data, command, payload, length);
                         });
        // Each answer as the session expects it: the receiver is armed for
        // the code of the first frame of the input.
        receiver.expect(stream.size() > 8 ? PelagonCommandIn(quint8(stream.at(8))) : Sync);
        for (qsizetype at = 0; at < stream.size(); at += chunkSize)
            receiver.receive(stream.mid(at, chunkSize));
        receiver.stop();
    }
    convertDives(data);
    return 0;
}
