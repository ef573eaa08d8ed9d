#include "divedata/linefields.h"

#include <algorithm>
#include <cstring>

namespace LineFields {

namespace {

//                 member                            JSON key                plan  logbook column         CSV out/in
const Table kTable = {{
    {TimeSec, &DiveLine::timeSec, "timeSec", 0, "time", 1, 0},
    {Depth, &DiveLine::depth, "depth", 1, "depth", 2, 1},
    {Pressure, &DiveLine::pressure, "pressure", 2, nullptr, -1, -1},
    {Speed, &DiveLine::speed, "speed", 5, nullptr, -1, -1},
    {AmbientTemp, &DiveLine::ambientTemp, "ambientTemp", 3, "temperature", 4, 3},
    {DecoCeiling, &DiveLine::decoCeiling, "decoCeiling", 4, "decoCeiling", 3, 6},
    {Ndl, &DiveLine::ndl, "ndl", 10, nullptr, -1, 7},
    {GradientFactor, &DiveLine::gradientFactor, "gradientFactor", 9, "gradientFactor", -1, -1},
    {Otu, &DiveLine::otu, "otu", 6, "OTU", -1, 4},
    {Cns, &DiveLine::cns, "cns", 7, "CNS", -1, 5},
    {PpO2, &DiveLine::ppO2, "ppO2", 8, "ppo2", 12, -1},
    {GasIndex, &DiveLine::gasIndex, "gasIndex", 11, "gasindex", -1, -1},
    {SetpointIndex, &DiveLine::setpointIndex, "setpointIndex", 14, nullptr, -1, -1},
    {Ccr, &DiveLine::ccr, "ccr", 15, nullptr, -1, -1},
    {AlertFlag, &DiveLine::alertFlag, "alertFlag", 12, "alertFlag", -1, -1},
    {AlertFlagTransmitter, &DiveLine::alertFlagTransmitter, "alertFlagTransmitter", 13, "alertAI", -1, -1},
    {Battery, &DiveLine::battery, "battery", 16, "battery", 5, -1},
    {TankPressure, &DiveLine::tankPressure, "tankPressure", 17, "tankPressure", 8, -1},
    {GfLow, &DiveLine::gfLow, "gfLow", 18, "gfLow", 10, -1},
    {GfHigh, &DiveLine::gfHigh, "gfHigh", 19, "gfHigh", 11, -1},
    {Tag, &DiveLine::tag, "tag", -1, nullptr, -1, -1},
    {TankPressureTxIndex, &DiveLine::tankPressureTxIndex, nullptr, -1, "tankPressureTxIndex", -1, -1},
}};

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
    // By the key's length first: this runs for every value of every line of
    // a long dive, and few keys share a length.
    constexpr int kLongest = 24;
    static const auto byLength = [] {
        std::array<QList<const Field*>, kLongest + 1> lists;
        for (const Field& field : kTable) {
            if (field.json)
                lists[std::strlen(field.json)].append(&field);
        }
        return lists;
    }();
    if (key.size() > kLongest)
        return nullptr;
    for (const Field* field : byLength[std::size_t(key.size())]) {
        if (key == QLatin1String(field->json))
            return field;
    }
    return nullptr;
}

} // namespace LineFields
