#include "divedata/linefields.h"

#include <QJsonValue>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace LineFields {

namespace {

const DiveLine kNewLine;

template <auto Member>
void setFromJson(DiveLine& line, const QJsonValue& value)
{
    using T = std::decay_t<decltype(line.*Member)>;
    const T fallback = kNewLine.*Member;
    if constexpr (std::is_same_v<T, double>)
        line.*Member = value.toDouble(fallback);
    else if constexpr (std::is_same_v<T, bool>)
        line.*Member = value.toBool(fallback);
    else
        line.*Member = T(value.toInteger(fallback));
}

// One row of the table: the member once, everything else derived from it.
template <auto Member>
Field field(Id id, const char* json, int planPosition, const char* column, int csvExport, int csvImport)
{
    return Field{id, Member, json, planPosition, column, csvExport, csvImport, &setFromJson<Member>};
}

//                                 member                              JSON key   plan  logbook column  CSV out/in
const Table kTable = {
    field<&DiveLine::timeSec>(TimeSec, "timeSec", 0, "time", 1, 0),
    field<&DiveLine::depth>(Depth, "depth", 1, "depth", 2, 1),
    field<&DiveLine::pressure>(Pressure, "pressure", 2, nullptr, -1, -1),
    field<&DiveLine::speed>(Speed, "speed", 5, nullptr, -1, -1),
    field<&DiveLine::ambientTemp>(AmbientTemp, "ambientTemp", 3, "temperature", 4, 3),
    field<&DiveLine::decoCeiling>(DecoCeiling, "decoCeiling", 4, "decoCeiling", 3, 6),
    field<&DiveLine::ndl>(Ndl, "ndl", 10, nullptr, -1, 7),
    field<&DiveLine::gradientFactor>(GradientFactor, "gradientFactor", 9, "gradientFactor", -1, -1),
    field<&DiveLine::otu>(Otu, "otu", 6, "OTU", -1, 4),
    field<&DiveLine::cns>(Cns, "cns", 7, "CNS", -1, 5),
    field<&DiveLine::ppO2>(PpO2, "ppO2", 8, "ppo2", 12, -1),
    field<&DiveLine::gasIndex>(GasIndex, "gasIndex", 11, "gasindex", -1, -1),
    field<&DiveLine::setpointIndex>(SetpointIndex, "setpointIndex", 14, nullptr, -1, -1),
    field<&DiveLine::ccr>(Ccr, "ccr", 15, nullptr, -1, -1),
    field<&DiveLine::alertFlag>(AlertFlag, "alertFlag", 12, "alertFlag", -1, -1),
    field<&DiveLine::alertFlagTransmitter>(AlertFlagTransmitter, "alertFlagTransmitter", 13, "alertAI", -1, -1),
    field<&DiveLine::battery>(Battery, "battery", 16, "battery", 5, -1),
    field<&DiveLine::tankPressure>(TankPressure, "tankPressure", 17, "tankPressure", 8, -1),
    field<&DiveLine::gfLow>(GfLow, "gfLow", 18, "gfLow", 10, -1),
    field<&DiveLine::gfHigh>(GfHigh, "gfHigh", 19, "gfHigh", 11, -1),
    field<&DiveLine::tag>(Tag, "tag", -1, nullptr, -1, -1),
    field<&DiveLine::tankPressureTxIndex>(TankPressureTxIndex, nullptr, -1, "tankPressureTxIndex", -1, -1),
};

// The JSON keys by their length and last letter (no two keys share both;
// the table test finds every key), made once at start.
constexpr std::size_t kLongestKey = 24;
using KeyIndex = std::array<std::array<const Field*, 32>, kLongestKey + 1>;

KeyIndex keyIndex()
{
    KeyIndex index{};
    for (const Field& field : kTable) {
        if (!field.json)
            continue;
        const std::size_t length = std::strlen(field.json);
        index[length][std::size_t(field.json[length - 1]) & 31] = &field;
    }
    return index;
}

const KeyIndex kKeyIndex = keyIndex();

int positionIn(const Field& field, Format format)
{
    switch (format) {
    case Format::Json:
        return field.json ? int(field.id) : -1;
    case Format::PlanStream:
        return field.planPosition;
    case Format::Logbook:
        return field.column ? int(field.id) : -1;
    case Format::CsvExport:
        return field.csvExport;
    case Format::CsvImport:
        return field.csvImport;
    }
    return -1;
}

QList<const Field*> ordered(Format format)
{
    QList<const Field*> fields;
    for (const Field& field : kTable) {
        if (positionIn(field, format) >= 0)
            fields.append(&field);
    }
    std::stable_sort(fields.begin(), fields.end(), [format](const Field* a, const Field* b) {
        return positionIn(*a, format) < positionIn(*b, format);
    });
    return fields;
}

} // namespace

const Table& table()
{
    return kTable;
}

const QList<const Field*>& inOrder(Format format)
{
    static const std::array<QList<const Field*>, 5> orders = {
        ordered(Format::Json), ordered(Format::PlanStream), ordered(Format::Logbook), ordered(Format::CsvExport),
        ordered(Format::CsvImport)};
    return orders[std::size_t(format)];
}

const Field* byJsonKey(QLatin1String key)
{
    // This runs for every value of every line of a long dive: one look-up
    // and one comparison.
    const auto length = std::size_t(key.size());
    if (length == 0 || length > kLongestKey)
        return nullptr;
    const Field* field = kKeyIndex[length][std::size_t(key.data()[length - 1]) & 31];
    return field && std::memcmp(field->json, key.data(), length) == 0 ? field : nullptr;
}

} // namespace LineFields
