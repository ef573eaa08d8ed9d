#include "corvane/protocol/pelagondiveconverter.h"

#include "corvane/protocol/kelvodata.h"

namespace {
constexpr int kComputerGases = 12;
constexpr quint32 kGasColour = 0xFFFFFF;
} // namespace

Dive PelagonDiveConverter::toDive(const PelagonDiveHeader& header, const QList<DiveSample>& samples,
                                  const KelvoData& computer)
{
    Dive dive;
    static_cast<DiveHeader&>(dive) = header;
    dive.name = QString::number(header.diveNumber);
    dive.computerSerial = computer.serialNumber();
    dive.firmwareVersion = computer.firmwareVersionStr();
    dive.computerName = computer.computer().nameText();
    dive.format = Dive::RecordedDive;
    dive.diverMode = header.diverMode;
    // Without a period every line would land at 0 s.
    const quint8 period = header.samplePeriod ? header.samplePeriod : 1;
    dive.samplePeriod = period;

    if (header.computerModel == ComputerModel::Pelagon) {
        for (size_t i = 0; i < dive.alertsPelagon.size(); ++i)
            dive.alertsPelagon[i] = quint8(header.alertFlags >> (8 * i));
    } else {
        for (size_t i = 0; i < dive.alertsKelvo.size(); ++i)
            dive.alertsKelvo[i] = quint8(header.alertFlags >> (8 * i));
    }

    QList<int> gasMap;
    dive.gases = buildGases(header, gasMap);

    dive.lines.reserve(samples.size());
    double time = 0.0;
    for (const DiveSample& sample : samples) {
        DiveLine line = toLine(sample, time);
        const int number = sample.gasNumber();
        line.gasIndex = number < gasMap.size() && gasMap[number] >= 0 ? gasMap[number] : 0;
        dive.lines.append(line);
        time += period;
    }
    // The dive leaves whole: statistics, speeds and ceiling curve from its lines.
    dive.refreshDerived();
    return dive;
}

DiveLine PelagonDiveConverter::toLine(const DiveSample& sample, double timeSec)
{
    DiveLine line;
    line.timeSec = timeSec;
    line.depth = (sample.depth & 0x0FFF) / 10.0;
    line.ccr = (sample.flags & 1) != 0;
    line.setpointIndex = sample.setpoint & 0x03;
    line.ambientTemp = sample.temperature;
    const int code = sample.ceilingCode & 0x0FFF;
    const int value = (code & 0x0800) ? code - 0x1000 : code;
    if (code & 0x0800)
        line.ndl = qint16(-value);
    else
        line.decoCeiling = value / 10.0;
    line.alertFlag = sample.alertFlag;
    line.alertFlagTransmitter = sample.alertFlagTransmitter;
    line.pelagonAlerts = sample.pelagonAlerts;
    line.battery = sample.battery;
    line.tankPressure = sample.tankPressure;
    line.tankPressureTxIndex = sample.tankPressureTxIndex;
    line.gfLow = sample.gfLow;
    line.gfHigh = sample.gfHigh;
    return line;
}

QList<DiveGas> PelagonDiveConverter::buildGases(const PelagonDiveHeader& header, QList<int>& gasMap)
{
    while (gasMap.size() < kComputerGases)
        gasMap.append(-1);
    const bool closedCircuit = header.divemode != 0;
    QList<DiveGas> gases;
    for (int i = 0; i < kComputerGases; ++i) {
        if (!(header.gasEnabled & (1u << i)))
            continue;
        DiveGas gas;
        gas.color = kGasColour;
        gas.setO2(header.gasPO2[size_t(i)] / 100.0);
        gas.setHe(header.gasPHe[size_t(i)] / 100.0);
        if (closedCircuit) {
            const bool diluent = i < 3;
            gas.diluent = diluent;
            gas.usage = diluent ? GasUsage::Diluent : GasUsage::Sidemount;
        }
        gasMap[i] = int(gases.size());
        gases.append(gas);
    }
    return gases;
}
