#include "divedata/divejson.h"

#include "divedata/dive.h"
#include "divedata/linefields.h"

#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>

namespace {

using L1 = QLatin1String;

// Whole numbers go through QJsonValue::toInteger, which keeps all 64 bits;
// toInt() would turn anything past 32 bits into the default.
qint64 intOf(const QJsonObject& object, L1 key, qint64 fallback)
{
    return object.value(key).toInteger(fallback);
}

double numberOf(const QJsonObject& object, L1 key, double fallback)
{
    return object.value(key).toDouble(fallback);
}

QString textOf(const QJsonObject& object, L1 key)
{
    return object.value(key).toString();
}

// A double narrowed to float without the undefined behaviour of converting a
// finite value beyond the float range.
float toFloat(double value)
{
    if (std::isfinite(value))
        return float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
    return float(value);
}

// Nearest whole number of an unsigned field, clamped into its range.
template <typename T>
T roundedInto(double value)
{
    if (!(value > 0.0))
        return 0; // also NaN
    const double top = double(std::numeric_limits<T>::max());
    return value >= top ? std::numeric_limits<T>::max() : T(std::llround(value));
}

template <typename T, std::size_t N>
QJsonArray arrayOf(const std::array<T, N>& values)
{
    QJsonArray array;
    for (const T value : values)
        array.append(qint64(value));
    return array;
}

// Fills the field from the front; elements past the array's end become 0.
template <typename T, std::size_t N>
void fillFrom(const QJsonValue& value, std::array<T, N>& field)
{
    field.fill(0);
    const QJsonArray array = value.toArray();
    const qsizetype n = qMin(array.size(), qsizetype(N));
    for (qsizetype i = 0; i < n; ++i)
        field[std::size_t(i)] = T(array.at(i).toInteger(0));
}

template <std::size_t N>
qint64 packLittleEndian(const std::array<quint8, N>& bytes)
{
    quint64 packed = 0;
    for (std::size_t i = 0; i < N; ++i)
        packed |= quint64(bytes[i]) << (8 * i);
    return qint64(packed);
}

template <std::size_t N>
void unpackLittleEndian(qint64 value, std::array<quint8, N>& bytes)
{
    const quint64 packed = quint64(value);
    for (std::size_t i = 0; i < N; ++i)
        bytes[i] = quint8(packed >> (8 * i));
}

} // namespace

QJsonObject headerToJson(const DiveHeader& h)
{
    QJsonObject o;
    o.insert(L1("diveNumber"), qint64(h.diveNumber));
    o.insert(L1("computerModel"), qint64(h.computerModel));
    o.insert(L1("beginTime"), h.beginTime);
    o.insert(L1("endTime"), h.endTime);
    o.insert(L1("maxDepth"), h.maxDepth);
    o.insert(L1("avgDepth"), h.avgDepth);
    o.insert(L1("samplePeriod"), qint64(h.samplePeriod));
    o.insert(L1("sampleCount"), qint64(h.sampleCount));
    o.insert(L1("divemode"), qint64(h.divemode));
    o.insert(L1("surfacePressure"), qint64(h.surfacePressure));
    o.insert(L1("density"), qint64(h.density));
    o.insert(L1("gfLow"), qint64(h.gfLow));
    o.insert(L1("gfHigh"), qint64(h.gfHigh));
    o.insert(L1("deepestStop"), qint64(h.deepestStop));
    o.insert(L1("cnsBegin"), qint64(h.cnsBegin));
    o.insert(L1("cnsMax"), qint64(h.cnsMax));
    o.insert(L1("ndl"), qint64(h.ndl));
    o.insert(L1("totalDecoTime"), h.totalDecoTime);
    o.insert(L1("ascentTime"), h.ascentTime);
    o.insert(L1("desatTime"), qint64(h.desatTime));
    o.insert(L1("diverN2"), arrayOf(h.diverN2));
    o.insert(L1("diverHe"), arrayOf(h.diverHe));
    o.insert(L1("gasEnabled"), qint64(h.gasEnabled));
    o.insert(L1("gasPO2"), arrayOf(h.gasPO2));
    o.insert(L1("gasPHe"), arrayOf(h.gasPHe));
    o.insert(L1("activeGas"), qint64(h.activeGas));
    o.insert(L1("activeGasSetPoint"), qint64(h.activeGasSetPoint));
    o.insert(L1("setpointEnabled"), qint64(h.setpointEnabled));
    o.insert(L1("setpoint"), arrayOf(h.setpoint));
    o.insert(L1("alertFlags"), qint64(h.alertFlags));
    o.insert(L1("alertFlags16"), qint64(h.alertFlags16));
    o.insert(L1("minTemperature"), h.minTemperature);
    o.insert(L1("maxTemperature"), h.maxTemperature);
    o.insert(L1("pO2Min"), qint64(h.pO2Min));
    o.insert(L1("pO2Max"), qint64(h.pO2Max));
    o.insert(L1("otu"), double(h.otu));
    o.insert(L1("iss"), double(h.iss));
    o.insert(L1("buddy"), h.buddy);
    o.insert(L1("diveSite"), h.site);
    o.insert(L1("notes"), h.notes);
    return o;
}

void headerFromJson(const QJsonObject& o, DiveHeader& header)
{
    // Start from a fresh header so that the fields the object does not carry
    // (reserved words, tank-pressure bounds, place) do not keep stale values.
    DiveHeader h;
    h.diveNumber = quint16(intOf(o, L1("diveNumber"), 0));
    h.computerModel = qint32(intOf(o, L1("computerModel"), 0));
    h.beginTime = intOf(o, L1("beginTime"), 0);
    h.endTime = intOf(o, L1("endTime"), 0);
    h.maxDepth = numberOf(o, L1("maxDepth"), 0.0);
    h.avgDepth = numberOf(o, L1("avgDepth"), 0.0);
    h.samplePeriod = quint8(intOf(o, L1("samplePeriod"), 5));
    h.sampleCount = quint32(intOf(o, L1("sampleCount"), 0));
    h.divemode = quint8(intOf(o, L1("divemode"), 0));
    h.surfacePressure = quint16(intOf(o, L1("surfacePressure"), 0));
    h.density = quint8(intOf(o, L1("density"), 0));
    h.gfLow = quint8(intOf(o, L1("gfLow"), 0));
    h.gfHigh = quint8(intOf(o, L1("gfHigh"), 0));
    h.deepestStop = quint16(intOf(o, L1("deepestStop"), 0));
    h.cnsBegin = quint16(intOf(o, L1("cnsBegin"), 0));
    h.cnsMax = quint16(intOf(o, L1("cnsMax"), 0));
    h.ndl = quint32(intOf(o, L1("ndl"), 0));
    h.totalDecoTime = numberOf(o, L1("totalDecoTime"), 0.0);
    h.ascentTime = numberOf(o, L1("ascentTime"), 0.0);
    h.desatTime = quint32(intOf(o, L1("desatTime"), 0));
    fillFrom(o.value(L1("diverN2")), h.diverN2);
    fillFrom(o.value(L1("diverHe")), h.diverHe);
    h.gasEnabled = quint16(intOf(o, L1("gasEnabled"), 0));
    fillFrom(o.value(L1("gasPO2")), h.gasPO2);
    fillFrom(o.value(L1("gasPHe")), h.gasPHe);
    h.activeGas = quint8(intOf(o, L1("activeGas"), 0));
    h.activeGasSetPoint = quint8(intOf(o, L1("activeGasSetPoint"), 0));
    h.setpointEnabled = quint8(intOf(o, L1("setpointEnabled"), 0));
    fillFrom(o.value(L1("setpoint")), h.setpoint);
    h.alertFlags = quint32(intOf(o, L1("alertFlags"), 0));
    h.alertFlags16 = quint16(intOf(o, L1("alertFlags16"), 0));
    h.minTemperature = numberOf(o, L1("minTemperature"), 0.0);
    h.maxTemperature = numberOf(o, L1("maxTemperature"), 0.0);
    h.pO2Min = quint16(intOf(o, L1("pO2Min"), 0));
    h.pO2Max = quint16(intOf(o, L1("pO2Max"), 0));
    h.otu = toFloat(numberOf(o, L1("otu"), 0.0));
    h.iss = toFloat(numberOf(o, L1("iss"), 0.0));
    h.buddy = textOf(o, L1("buddy"));
    // The writer names the site "diveSite"; the dive-level "site" key is the
    // one that restores it.
    h.site = textOf(o, L1("site"));
    h.notes = textOf(o, L1("notes"));
    header = std::move(h);
}

QJsonObject lineToJson(const DiveLine& l)
{
    QJsonObject o;
    for (const LineFields::Field* field : LineFields::inOrder(LineFields::Format::Json)) {
        LineFields::visit(*field, l, [&o, field](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, double> || std::is_same_v<T, bool>)
                o.insert(L1(field->json), value);
            else
                o.insert(L1(field->json), qint64(value));
        });
    }
    return o;
}

void setLineField(DiveLine& l, QLatin1String key, const QJsonValue& v)
{
    if (const LineFields::Field* field = LineFields::byJsonKey(key))
        field->setFromJson(l, v);
}

DiveLine lineFromJson(const QJsonObject& o)
{
    // A missing key leaves the field at its default; pelagonAlerts,
    // tankPressureTxIndex and deepestPoint are never carried. Keys are ASCII,
    // so a key with other characters matches none of them after toLatin1().
    DiveLine l;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QByteArray key = it.key().toLatin1();
        setLineField(l, L1(key), it.value());
    }
    return l;
}

QJsonObject gasToJson(const DiveGas& g)
{
    QJsonObject o;
    o.insert(L1("mId"), g.mId);
    o.insert(L1("mName"), g.mName);
    o.insert(L1("o2"), qint64(std::lround(double(g.o2) * 100.0)));
    o.insert(L1("he"), qint64(std::lround(double(g.he) * 100.0)));
    o.insert(L1("maxPpO2"), double(g.maxPpO2));
    o.insert(L1("color"), qint64(g.color));
    o.insert(L1("gasClass"), g.gasClass());
    return o;
}

DiveGas gasFromJson(const QJsonObject& o)
{
    DiveGas g;
    g.mId = textOf(o, L1("mId"));
    g.mName = textOf(o, L1("mName"));
    // Percent values: a huge or negative number is refused by the setters,
    // which leave the default mixture.
    g.setO2(numberOf(o, L1("o2"), 21.0) / 100.0);
    g.setHe(numberOf(o, L1("he"), 0.0) / 100.0);
    g.setMaxPpO2(toFloat(numberOf(o, L1("maxPpO2"), 0.0)));
    g.color = quint32(intOf(o, L1("color"), 0xFFFFFF));
    g.setGasClass(int(intOf(o, L1("gasClass"), 0)));
    return g;
}

QJsonObject diveToJson(const Dive& dive)
{
    QJsonObject o;
    o.insert(L1("header"), headerToJson(dive));
    o.insert(L1("name"), dive.name);
    o.insert(L1("computerModel"), qint64(dive.computerModel));
    o.insert(L1("computerName"), dive.computerName);
    o.insert(L1("computerManufacturer"), dive.computerManufacturer);
    o.insert(L1("computerSerial"), dive.computerSerial);
    o.insert(L1("firmwareVersion"), dive.firmwareVersion);
    o.insert(L1("format"), qint64(dive.format));

    QJsonArray lines;
    for (const DiveLine& line : dive.lines)
        lines.append(lineToJson(line));
    o.insert(L1("lines"), lines);

    QJsonArray gases;
    for (const DiveGas& gas : dive.gases)
        gases.append(gasToJson(gas));
    o.insert(L1("gases"), gases);

    o.insert(L1("divemode"), qint64(dive.divemode));
    o.insert(L1("density"), qint64(dive.density));
    o.insert(L1("samplePeriod"), qint64(dive.samplePeriod));
    o.insert(L1("pSurf"), double(dive.surfacePressure) / 1000.0);
    o.insert(L1("gfLow"), qint64(dive.gfLow));
    o.insert(L1("gfHigh"), qint64(dive.gfHigh));
    o.insert(L1("otu"), double(dive.otu));
    o.insert(L1("alertsKelvo"), packLittleEndian(dive.alertsKelvo));
    o.insert(L1("alertsPelagon"), packLittleEndian(dive.alertsPelagon));
    o.insert(L1("alertsAI"), qint64(dive.alertsAI));
    o.insert(L1("place"), dive.place);
    o.insert(L1("site"), dive.site);
    o.insert(L1("buddy"), dive.buddy);
    o.insert(L1("notes"), dive.notes);
    o.insert(L1("maxTime"), dive.maxTime);
    o.insert(L1("maxDepth"), dive.maxDepth);
    o.insert(L1("averageDepth"), dive.avgDepth);
    o.insert(L1("minTemperature"), dive.minTemperature);
    o.insert(L1("maxTemperature"), dive.maxTemperature);
    o.insert(L1("ascentTime"), dive.ascentTime);
    o.insert(L1("totalStageDuration"), dive.totalDecoTime);
    o.insert(L1("diverMode"), qint64(dive.diverMode));
    o.insert(L1("gasSet"), qint64(dive.gasSet));
    return o;
}

void diveFromJson(const QJsonObject& o, Dive& dive)
{
    const QJsonArray lineArray = o.value(L1("lines")).toArray();
    QList<DiveLine> lines;
    lines.reserve(lineArray.size());
    for (const auto& value : lineArray)
        lines.append(lineFromJson(value.toObject()));
    diveFromJsonWithLines(o, std::move(lines), dive);
}

void diveFromJsonWithLines(const QJsonObject& o, QList<DiveLine> lines, Dive& dive)
{
    headerFromJson(o.value(L1("header")).toObject(), dive);

    dive.name = textOf(o, L1("name"));
    dive.computerModel = qint32(intOf(o, L1("computerModel"), 0));
    dive.computerName = textOf(o, L1("computerName"));
    dive.computerManufacturer = textOf(o, L1("computerManufacturer"));
    dive.computerSerial = textOf(o, L1("computerSerial"));
    dive.firmwareVersion = textOf(o, L1("firmwareVersion"));
    dive.format = qint32(intOf(o, L1("format"), Dive::RecordedDive));

    dive.lines = std::move(lines);
    dive.decoLines.clear();
    dive.ceilTrackingLines.clear();

    const QJsonArray gasArray = o.value(L1("gases")).toArray();
    QList<DiveGas> gases;
    gases.reserve(gasArray.size());
    for (const auto& value : gasArray)
        gases.append(gasFromJson(value.toObject()));
    dive.gases = std::move(gases);

    // Dive-level keys come last: where they repeat a header field they win.
    dive.divemode = quint8(intOf(o, L1("divemode"), 0));
    dive.density = quint8(intOf(o, L1("density"), 0));
    dive.samplePeriod = quint8(intOf(o, L1("samplePeriod"), 5));
    dive.surfacePressure = roundedInto<quint16>(numberOf(o, L1("pSurf"), 1.013) * 1000.0);
    dive.gfLow = quint8(intOf(o, L1("gfLow"), 80));
    dive.gfHigh = quint8(intOf(o, L1("gfHigh"), 80));
    dive.otu = toFloat(numberOf(o, L1("otu"), 0.0));
    unpackLittleEndian(intOf(o, L1("alertsKelvo"), 0), dive.alertsKelvo);
    unpackLittleEndian(intOf(o, L1("alertsPelagon"), 0), dive.alertsPelagon);
    dive.alertsAI = quint8(intOf(o, L1("alertsAI"), 0));
    dive.place = textOf(o, L1("place"));
    dive.site = textOf(o, L1("site"));
    dive.buddy = textOf(o, L1("buddy"));
    dive.notes = textOf(o, L1("notes"));
    dive.maxTime = numberOf(o, L1("maxTime"), 0.0);
    dive.maxDepth = numberOf(o, L1("maxDepth"), 0.0);
    dive.avgDepth = numberOf(o, L1("averageDepth"), 0.0);
    dive.minTemperature = numberOf(o, L1("minTemperature"), 0.0);
    dive.maxTemperature = numberOf(o, L1("maxTemperature"), 0.0);
    dive.ascentTime = numberOf(o, L1("ascentTime"), 0.0);
    dive.totalDecoTime = numberOf(o, L1("totalStageDuration"), 0.0);
    dive.diverMode = quint8(intOf(o, L1("diverMode"), 0));
    dive.gasSet = quint16(intOf(o, L1("gasSet"), 1));

    // Simulation results belong to the last simulation run, not to the file.
    dive.invalidReason = 0;
    dive.dtrStartIndex = -1;
    dive.ceilingProfile.clear();
    dive.yoyoList.clear();
    dive.overlayLines.clear();
    dive.decoNotTerminated = false;
}
