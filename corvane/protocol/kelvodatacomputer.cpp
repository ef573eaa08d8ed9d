// The computer record: settings and computer parts, three layouts.

#include "corvane/protocol/kelvodata.h"

#include "corvane/protocol/recordio.h"

#include <algorithm>

namespace {

constexpr quint16 kLegacyComputerLimit = 255;
constexpr int kNewGasTableVersion = 13;

} // namespace

void KelvoData::processComputer(const RecordBuffer& buffer, bool newLayout)
{
    RecordReader reader(buffer.data(), qsizetype(buffer.size()), 1);
    const auto marker = reader.get<quint16>();
    int version = 0;
    int family = 1;
    if (marker < kLegacyComputerLimit) {
        m_config.firstSetting = marker;
    } else {
        version = marker & 0xFF;
        family = reader.get<quint8>();
        reader.field(m_config.firstSetting);
    }
    reader.bytes(m_config.commonSettings);
    reader.field(m_config.commonWord);
    reader.field(m_config.waterType);
    reader.field(m_config.surfacePressure);
    reader.bytes(m_config.commonTail);

    switch (family) {
    case 0:
    case 1:
        readKelvoComputer(reader, version, newLayout);
        break;
    case 2:
        readPelagonComputer(reader, version, newLayout);
        break;
    case 3:
        readBrixComputer(reader, version, newLayout);
        break;
    default:
        break; // a family this program does not know: nothing further
    }
}

void KelvoData::readKelvoComputer(RecordReader& reader, int version, bool /*newLayout*/)
{
    reader.bytes(m_config.familySettings);
    reader.skip(1);
    const size_t gases = version < kNewGasTableVersion ? 8 : 12;
    for (size_t i = 0; i < gases; ++i) {
        m_config.gases[i].o2 = std::min<quint8>(reader.get<quint8>(), 100);
        m_config.gases[i].he = std::min<quint8>(reader.get<quint8>(), 100);
    }
    reader.field(m_config.settingAfterGases);
    reader.bytes(m_config.setpoints);
    reader.bytes(m_computer.name);
    reader.field(m_computer.batteryType);
    m_computer.rest = reader.takeRest();
}

// The layouts of the newer families are kept as received after the common
// block; only the fields the program uses are named.
void KelvoData::readPelagonComputer(RecordReader& reader, int /*version*/, bool /*newLayout*/)
{
    m_computer.rest = reader.takeRest();
}

void KelvoData::readBrixComputer(RecordReader& reader, int /*version*/, bool /*newLayout*/)
{
    m_computer.rest = reader.takeRest();
}
