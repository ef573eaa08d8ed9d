#include "tools/plancommands.h"

#include "tools/divefiles.h"
#include "tools/toolargs.h"
#include "tools/tooloutput.h"

#include "deco/config.h"
#include "deco/decogases.h"
#include "deco/decostate.h"
#include "deco/diveplanner.h"
#include "deco/livedive.h"
#include "deco/simulation.h"
#include "deco/tissuemodel.h"
#include "divedata/dive.h"

#include <QJsonArray>
#include <QStringList>

#include <cmath>
#include <optional>

namespace divetool {

namespace {

// The settings shared by plan and ndl, as given on the command line.
struct EngineSettings
{
    std::optional<deco::GradientFactors> gradientFactors;
    int gfLow = 0;
    int gfHigh = 0;
    bool freshWater = false;
    float surfacePressure = deco::kStandardSurfacePressure;
    double surfacePressureBar = 0.0; // as given (the standard pressure when not), for the output
    int o2 = 21;
    int he = 0;
};

// The planner takes a slot's surface pressure only strictly between these
// (bar); outside them it computes with the standard pressure. The tool
// refuses such values rather than planning with another pressure than given.
constexpr double kLowestSurfacePressure = 0.5;
constexpr double kHighestSurfacePressure = 1.05;

int percentOf(float fraction)
{
    return int(std::lround(double(fraction) * 100.0));
}

// The engine's own defaults, so that what is printed is what it used.
deco::GradientFactors defaultGradientFactors()
{
    deco::dive_t config;
    config.applyDefaults();
    return config.gradientFactors();
}

DiveGas diveGas(int o2, int he)
{
    DiveGas gas;
    gas.setO2(o2 / 100.0);
    gas.setHe(he / 100.0);
    return gas;
}

bool parseWholeNumber(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high;
}

// Reads --gf, --fresh, --psurf, --o2 and --he; false with the problem.
bool parseEngineSettings(const ParsedArguments& arguments, EngineSettings& settings, QString& problem)
{
    if (arguments.isSet(QStringLiteral("--gf"))) {
        const QStringList parts = arguments.value(QStringLiteral("--gf")).split(QLatin1Char('/'));
        if (parts.size() != 2 || !parseWholeNumber(parts.at(0), 1, 100, settings.gfLow)
            || !parseWholeNumber(parts.at(1), 1, 100, settings.gfHigh) || settings.gfLow > settings.gfHigh) {
            problem = QStringLiteral("--gf expects LOW/HIGH in percent, 1 to 100 with LOW not above HIGH (e.g. 30/70)");
            return false;
        }
        settings.gradientFactors = deco::GradientFactors(settings.gfLow, settings.gfHigh);
    } else {
        const deco::GradientFactors defaults = defaultGradientFactors();
        settings.gfLow = percentOf(defaults.gfLow);
        settings.gfHigh = percentOf(defaults.gfHigh);
    }
    settings.freshWater = arguments.isSet(QStringLiteral("--fresh"));
    settings.surfacePressureBar = std::round(double(deco::kStandardSurfacePressure) * 1000.0) / 1000.0;
    if (arguments.isSet(QStringLiteral("--psurf"))) {
        bool ok = false;
        const double pressure = arguments.value(QStringLiteral("--psurf")).toDouble(&ok);
        if (!ok || !(pressure > kLowestSurfacePressure && pressure < kHighestSurfacePressure)) {
            problem = QStringLiteral("--psurf expects the surface pressure in bar, above %1 and below %2 (e.g. 1.013)")
                          .arg(kLowestSurfacePressure)
                          .arg(kHighestSurfacePressure);
            return false;
        }
        settings.surfacePressure = float(pressure);
        settings.surfacePressureBar = pressure;
    }
    if (arguments.isSet(QStringLiteral("--o2"))
        && !parseWholeNumber(arguments.value(QStringLiteral("--o2")), 1, 100, settings.o2)) {
        problem = QStringLiteral("--o2 expects a whole percentage from 1 to 100");
        return false;
    }
    if (arguments.isSet(QStringLiteral("--he"))
        && !parseWholeNumber(arguments.value(QStringLiteral("--he")), 0, 100 - settings.o2, settings.he)) {
        problem = QStringLiteral("--he expects a whole percentage from 0 to %1 (100 - O2)").arg(100 - settings.o2);
        return false;
    }
    return true;
}

QJsonObject gasJson(const DiveGas& gas)
{
    return QJsonObject{{QStringLiteral("name"), gas.gasName()},
                       {QStringLiteral("o2"), percentOf(gas.o2)},
                       {QStringLiteral("he"), percentOf(gas.he)}};
}

// --deco-gas (repeatable), --deco-ppo2 and --switch-stop. The setting is on
// when a deco gas is given; the other two need one.
struct DecoGasOptions
{
    deco::DecoGasSettings settings;
    QList<DiveGas> gases;
};

bool parseDecoGases(const ParsedArguments& arguments, DecoGasOptions& options, QString& problem)
{
    for (const QString& value : arguments.values(QStringLiteral("--deco-gas"))) {
        const QStringList parts = value.split(QLatin1Char('/'));
        int o2 = 0;
        int he = 0;
        if (parts.size() > 2 || !parseWholeNumber(parts.at(0), 1, 100, o2)
            || (parts.size() == 2 && !parseWholeNumber(parts.at(1), 0, 100 - o2, he))) {
            problem = QStringLiteral("--deco-gas expects O2[/HE] in whole percent with O2 + HE at most 100 (e.g. 50 or 35/25)");
            return false;
        }
        options.gases.append(diveGas(o2, he));
    }
    options.settings.enabled = !options.gases.isEmpty();
    const bool tuned = arguments.isSet(QStringLiteral("--deco-ppo2")) || arguments.isSet(QStringLiteral("--switch-stop"));
    if (tuned && !options.settings.enabled) {
        problem = QStringLiteral("--deco-ppo2 and --switch-stop need at least one --deco-gas");
        return false;
    }
    bool ok = true;
    if (arguments.isSet(QStringLiteral("--deco-ppo2")))
        options.settings.maxPpO2 = arguments.value(QStringLiteral("--deco-ppo2")).toFloat(&ok);
    deco::DecoGasSettings ppO2Only = options.settings;
    ppO2Only.switchStopMinutes = 0.0f;
    if (!ok || !deco::usableDecoGasSettings(ppO2Only)) {
        problem = QStringLiteral("--deco-ppo2 expects a ppO2 in bar from 1.0 to 1.7 by 0.1 (e.g. 1.6)");
        return false;
    }
    if (arguments.isSet(QStringLiteral("--switch-stop")))
        options.settings.switchStopMinutes = arguments.value(QStringLiteral("--switch-stop")).toFloat(&ok);
    if (!ok || !deco::usableDecoGasSettings(options.settings)) {
        problem = QStringLiteral("--switch-stop expects minutes from 0 to %1").arg(double(deco::kLongestSwitchStop));
        return false;
    }
    return true;
}

// The gas a record was breathed on: the plan breathes the bottom gas (the
// dive's gas 0) except where the computed ascent switched to a deco gas.
const DiveGas& breathedGas(const Dive& dive, const DiveGas& bottom, bool decoGases, int gasIndex)
{
    if (decoGases && gasIndex > 0 && gasIndex < dive.gases.size())
        return dive.gases.at(gasIndex);
    return bottom;
}

// "SECONDS:METRES,SECONDS:METRES,...": times from the start of the dive,
// strictly increasing; depths from 0 to the deepest the simulation follows.
bool parseProfile(const QString& text, const DiveGas& gas, Dive& dive, QString& problem)
{
    const QStringList points = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QList<DiveLine> lines;
    for (const QString& point : points) {
        const QStringList parts = point.split(QLatin1Char(':'));
        bool timeOk = false;
        bool depthOk = false;
        const double time = parts.size() == 2 ? parts.at(0).trimmed().toDouble(&timeOk) : 0.0;
        const double depth = parts.size() == 2 ? parts.at(1).trimmed().toDouble(&depthOk) : 0.0;
        if (!timeOk || !depthOk || !std::isfinite(time) || !std::isfinite(depth)) {
            problem = QStringLiteral("--profile: \"%1\" is not SECONDS:METRES").arg(point.trimmed());
            return false;
        }
        if (time < 0.0 || time > deco::kMaxSimulatedSeconds || (!lines.isEmpty() && time <= lines.constLast().timeSec)) {
            problem = QStringLiteral("--profile: times must start at 0 or later and increase from point to point");
            return false;
        }
        if (depth < 0.0 || depth > deco::kMaxSimulatedDepth) {
            problem = QStringLiteral("--profile: depths must lie between 0 and %1 m").arg(deco::kMaxSimulatedDepth);
            return false;
        }
        DiveLine line;
        line.timeSec = time;
        line.depth = depth;
        line.gasIndex = 0;
        line.tankPressureTxIndex = 255;
        lines.append(line);
    }
    if (lines.size() < 2) {
        problem = QStringLiteral("--profile needs at least two points, e.g. \"0:0,60:20,600:20\"");
        return false;
    }
    dive.name = QStringLiteral("Profile");
    dive.format = Dive::PlannedProfile;
    dive.gases = {gas};
    dive.lines = std::move(lines);
    return true;
}

QString minutesText(float minutes)
{
    return Dive::formatDuration(std::round(double(minutes) * 60.0));
}

QString segmentName(const deco::LinePlan& record)
{
    switch (record.segmentType) {
    case deco::LinePlan::Descent:
        return QStringLiteral("descent");
    case deco::LinePlan::Ascent:
        return QStringLiteral("ascent");
    default:
        return record.computed != 0 ? QStringLiteral("stop") : QStringLiteral("level");
    }
}

bool isStop(const deco::LinePlan& record)
{
    return record.computed != 0 && record.segmentType == deco::LinePlan::Level;
}

// What one simulation reported through the planner's callbacks.
struct PlanRecords
{
    QList<deco::LinePlan> segments;
    std::optional<deco::LinePlan> summary;
    QStringList messages;
};

QJsonObject planJson(const QString& source, const Dive& dive, const EngineSettings& settings,
                     const DecoGasOptions& decoGases, bool effort, const PlanRecords& plan, double ascentMinutes)
{
    const DiveGas bottom = diveGas(settings.o2, settings.he);
    QJsonArray records;
    QJsonArray stops;
    for (const deco::LinePlan& record : plan.segments) {
        const QJsonObject gas = gasJson(breathedGas(dive, bottom, decoGases.settings.enabled, record.gasIndex));
        const QJsonObject entry{{QStringLiteral("kind"), QStringLiteral("segment")},
                                {QStringLiteral("type"), segmentName(record)},
                                {QStringLiteral("computed"), record.computed != 0},
                                {QStringLiteral("depth"), jsonNumber(record.depth)},
                                {QStringLiteral("duration"), jsonNumber(record.duration)},
                                {QStringLiteral("runtime"), jsonNumber(record.runtime)},
                                {QStringLiteral("gasIndex"), int(record.gasIndex)},
                                {QStringLiteral("gas"), gas}};
        records.append(entry);
        if (isStop(record)) {
            stops.append(QJsonObject{{QStringLiteral("depth"), jsonNumber(record.depth)},
                                     {QStringLiteral("duration"), jsonNumber(record.duration)},
                                     {QStringLiteral("runtime"), jsonNumber(record.runtime)},
                                     {QStringLiteral("gas"), gas.value(QStringLiteral("name"))}});
        }
    }
    QJsonArray decoGasList;
    for (const DiveGas& gas : decoGases.gases)
        decoGasList.append(gasJson(gas));
    const float cns = plan.summary ? plan.summary->cns : 0.0f;
    const float otu = plan.summary ? plan.summary->otu : 0.0f;
    records.append(QJsonObject{{QStringLiteral("kind"), QStringLiteral("summary")},
                               {QStringLiteral("cns"), jsonNumber(cns)},
                               {QStringLiteral("otu"), jsonNumber(otu)}});

    QJsonArray decoLines;
    for (const DiveLine& line : dive.decoLines) {
        decoLines.append(QJsonObject{{QStringLiteral("time"), jsonNumber(line.timeSec)},
                                     {QStringLiteral("depth"), jsonNumber(line.depth)},
                                     {QStringLiteral("gasIndex"), line.gasIndex}});
    }
    QJsonArray ceiling;
    for (const CurvePoint& point : dive.ceilingProfile) {
        ceiling.append(QJsonObject{{QStringLiteral("time"), jsonNumber(point.time)},
                                   {QStringLiteral("depth"), jsonNumber(point.depth)}});
    }
    const bool custom = settings.gradientFactors.has_value() && !effort;
    const int gfLow = effort ? percentOf(deco::kEffortGradientFactors.gfLow) : settings.gfLow;
    const int gfHigh = effort ? percentOf(deco::kEffortGradientFactors.gfHigh) : settings.gfHigh;
    return QJsonObject{
        {QStringLiteral("source"), source},
        {QStringLiteral("name"), dive.name},
        {QStringLiteral("settings"),
         QJsonObject{{QStringLiteral("gfLow"), gfLow},
                     {QStringLiteral("gfHigh"), gfHigh},
                     {QStringLiteral("customGradientFactors"), custom},
                     {QStringLiteral("effort"), effort},
                     {QStringLiteral("freshWater"), settings.freshWater},
                     {QStringLiteral("surfacePressure"), jsonNumber(settings.surfacePressureBar)},
                     {QStringLiteral("gas"), gasJson(bottom)},
                     {QStringLiteral("decoGases"), decoGasList},
                     {QStringLiteral("decoPpO2"), jsonNumber(decoGases.settings.maxPpO2)},
                     {QStringLiteral("switchStop"), jsonNumber(decoGases.settings.switchStopMinutes)}}},
        {QStringLiteral("records"), records},
        {QStringLiteral("stops"), stops},
        {QStringLiteral("ascentTime"), jsonNumber(ascentMinutes)},
        {QStringLiteral("cns"), jsonNumber(cns)},
        {QStringLiteral("otu"), jsonNumber(otu)},
        {QStringLiteral("decoLines"), decoLines},
        {QStringLiteral("ceilingProfile"), ceiling},
        {QStringLiteral("decoNotTerminated"), dive.decoNotTerminated},
        {QStringLiteral("messages"), QJsonArray::fromStringList(plan.messages)},
    };
}

QString planText(const QString& source, bool fromProfile, const Dive& dive, const EngineSettings& settings,
                 const DecoGasOptions& decoGases, bool effort, const PlanRecords& plan, double ascentMinutes)
{
    const DiveGas bottom = diveGas(settings.o2, settings.he);
    const QString gasName = bottom.gasName();
    QStringList rows;
    rows.append(QStringLiteral("Plan of ") + source
                + (dive.name.isEmpty() || fromProfile ? QString() : QStringLiteral(" (") + dive.name + QLatin1Char(')')));
    const QString factors = effort ? QStringLiteral("GF %1/%2 (effort)")
                                         .arg(percentOf(deco::kEffortGradientFactors.gfLow))
                                         .arg(percentOf(deco::kEffortGradientFactors.gfHigh))
                                   : QStringLiteral("GF %1/%2").arg(settings.gfLow).arg(settings.gfHigh);
    rows.append(QStringLiteral("%1, %2 water, surface %3 bar, breathing %4")
                    .arg(factors, settings.freshWater ? QStringLiteral("fresh") : QStringLiteral("salt"),
                         QString::number(settings.surfacePressureBar, 'f', 3), gasName));
    if (decoGases.settings.enabled) {
        QStringList names;
        for (const DiveGas& gas : decoGases.gases)
            names.append(gas.gasName());
        rows.append(QStringLiteral("Deco gases %1 (ppO2 %2 bar, switch stop %3)")
                        .arg(names.join(QStringLiteral(", ")), QString::number(decoGases.settings.maxPpO2, 'f', 1),
                             minutesText(decoGases.settings.switchStopMinutes)));
    }
    rows.append(QString());
    rows.append(QStringLiteral("Segment     Depth  Duration   Runtime  Gas"));
    for (const deco::LinePlan& record : plan.segments) {
        const QString name = segmentName(record) + (record.computed != 0 ? QStringLiteral(" *") : QString());
        rows.append(name.leftJustified(9) + (numberText(record.depth) + QStringLiteral(" m")).rightJustified(9)
                    + minutesText(record.duration).rightJustified(10) + minutesText(record.runtime).rightJustified(10)
                    + QStringLiteral("  ")
                    + breathedGas(dive, bottom, decoGases.settings.enabled, record.gasIndex).gasName());
    }
    if (!plan.segments.isEmpty())
        rows.append(QStringLiteral("(* computed ascent)"));
    rows.append(QString());

    QStringList stops;
    for (const deco::LinePlan& record : plan.segments) {
        if (isStop(record))
            stops.append(numberText(record.depth, 0) + QStringLiteral(" m ") + minutesText(record.duration));
    }
    rows.append(QStringLiteral("Stops: ") + (stops.isEmpty() ? QStringLiteral("none") : stops.join(QStringLiteral(", "))));
    rows.append(QStringLiteral("Total ascent time: ") + minutesText(float(ascentMinutes)));
    const float cns = plan.summary ? plan.summary->cns : 0.0f;
    const float otu = plan.summary ? plan.summary->otu : 0.0f;
    rows.append(QStringLiteral("CNS: %1 %").arg(std::lround(double(cns))));
    rows.append(QStringLiteral("OTU: %1").arg(std::lround(double(otu))));
    if (dive.decoNotTerminated)
        rows.append(QStringLiteral("The profile reached the surface with a decompression ceiling."));
    for (const QString& message : plan.messages)
        rows.append(QStringLiteral("Note: ") + message);
    return rows.join(QLatin1Char('\n'));
}

} // namespace

int runPlan(const ParsedArguments& arguments, bool json)
{
    const auto usage = [](const QString& problem) {
        printError(QStringLiteral("plan"), problem);
        return UsageError;
    };
    EngineSettings settings;
    QString problem;
    if (!parseEngineSettings(arguments, settings, problem))
        return usage(problem);
    DecoGasOptions decoGases;
    if (!parseDecoGases(arguments, decoGases, problem))
        return usage(problem);
    const bool effort = arguments.isSet(QStringLiteral("--effort"));
    const bool fromProfile = arguments.isSet(QStringLiteral("--profile"));
    if (fromProfile == !arguments.positional().isEmpty())
        return usage(QStringLiteral("give either a dive FILE or --profile, not both"));

    Dive dive;
    QString source;
    if (fromProfile) {
        source = QStringLiteral("the profile given");
        if (!parseProfile(arguments.value(QStringLiteral("--profile")), diveGas(settings.o2, settings.he), dive, problem))
            return usage(problem);
    } else {
        source = arguments.positional().constFirst();
        if (!readDiveFile(source, dive, problem)) {
            printError(source, problem);
            return Failure;
        }
        if (dive.lines.size() < 2) {
            printError(source, QStringLiteral("no profile to plan: the dive has fewer than two points"));
            return Failure;
        }
        dive.fillGasIndexes();
    }

    const QString subject = fromProfile ? QStringLiteral("plan") : source;
    // With deco gases the dive's gases are the breathing gas and the deco
    // gases in the order given; the profile is breathed on the first.
    if (decoGases.settings.enabled) {
        dive.gases = QList<DiveGas>{diveGas(settings.o2, settings.he)} + decoGases.gases;
        for (DiveLine& line : dive.lines)
            line.gasIndex = 0;
    }

    // The dive goes into the first slot of a planner of its own, which is
    // what the program's planning tab does with a dive file.
    deco::DivePlanner planner;
    planner.setBreathingGas(deco::GasMix(settings.o2, settings.he));
    planner.setDecoGases(decoGases.settings);
    const int slot = planner.addDiveFrom([&dive](Dive& filled) {
        filled = dive;
        return true;
    });
    if (slot < 0 || planner.currentSlot() == nullptr) {
        printError(subject, QStringLiteral("the planner refused the dive"));
        return Failure;
    }
    PlanRecords plan;
    planner.setTextCallback([&plan](const QString& text) {
        if (!text.isEmpty())
            plan.messages.append(text);
    });
    planner.setPlanCallback([&plan](const deco::LinePlan& record) {
        switch (record.kind) {
        case deco::LinePlan::Reset:
            plan = PlanRecords();
            break;
        case deco::LinePlan::Segment:
            plan.segments.append(record);
            break;
        default:
            plan.summary = record;
            break;
        }
    });
    deco::PlannedDive& current = *planner.currentSlot();
    current.effort = effort;
    current.freshWater = settings.freshWater;
    current.surfacePressure = settings.surfacePressure;
    deco::simulateCurrentDive(planner, settings.gradientFactors);

    // A profile the engine cannot follow (a damaged file) gives no segment:
    // that is no plan.
    if (plan.segments.isEmpty()) {
        printError(subject, plan.messages.isEmpty() ? QStringLiteral("the profile could not be simulated")
                                                   : plan.messages.join(QLatin1Char(' ')));
        return Failure;
    }
    double ascentMinutes = 0.0;
    for (const deco::LinePlan& record : plan.segments) {
        if (record.computed != 0)
            ascentMinutes += double(record.duration);
    }
    const Dive& simulated = *planner.currentDive();
    if (json)
        printJson(planJson(fromProfile ? QStringLiteral("profile") : source, simulated, settings, decoGases, effort,
                           plan, ascentMinutes));
    else
        printText(planText(source, fromProfile, simulated, settings, decoGases, effort, plan, ascentMinutes));
    return Success;
}

int runNdl(const ParsedArguments& arguments, bool json)
{
    const auto usage = [](const QString& problem) {
        printError(QStringLiteral("ndl"), problem);
        return UsageError;
    };
    EngineSettings settings;
    QString problem;
    if (!parseEngineSettings(arguments, settings, problem))
        return usage(problem);
    if (!arguments.isSet(QStringLiteral("--depth")))
        return usage(QStringLiteral("--depth METRES is required"));
    bool ok = false;
    const double depth = arguments.value(QStringLiteral("--depth")).toDouble(&ok);
    if (!ok || !(depth >= 0.0 && depth <= deco::kMaxSimulatedDepth))
        return usage(QStringLiteral("--depth expects metres from 0 to %1").arg(deco::kMaxSimulatedDepth));

    // A diver saturated at the surface, put at the depth at once: the first
    // update of a decompression state there gives the limit.
    deco::dive_t config;
    config.applyDefaults();
    config.setSurfacePressure(settings.surfacePressure);
    config.setWaterType(settings.freshWater ? deco::FreshWater : deco::SaltWater);
    if (settings.gradientFactors)
        config.setGradientFactors(*settings.gradientFactors);
    config.setOpenCircuitGas(0, deco::GasMix(settings.o2, settings.he));
    deco::selectZhl16c();
    deco::TissueState tissues;
    deco::initTissues(tissues, settings.surfacePressure);
    deco::DecoState state;
    deco::initDecoState(state, config);
    const float ambient = depth > 0.0 ? deco::depthToPressure(config, float(depth)) : config.surfacePressure();
    deco::updateDecoState(state, config, tissues, ambient);
    const float ndl = state.stopCount > 0 ? 0.0f : state.ndl;
    const bool unlimited = ndl >= deco::kNdlLimit;
    const int minutes = int(std::floor(double(ndl)));
    const double ppO2 = double(deco::ppO2(config.currentGas(), deco::kOpenCircuitSetpoint, ambient));

    if (json) {
        printJson(QJsonObject{{QStringLiteral("depth"), depth},
                              {QStringLiteral("ndl"), jsonNumber(ndl)},
                              {QStringLiteral("minutes"), minutes},
                              {QStringLiteral("unlimited"), unlimited},
                              {QStringLiteral("gfLow"), settings.gfLow},
                              {QStringLiteral("gfHigh"), settings.gfHigh},
                              {QStringLiteral("freshWater"), settings.freshWater},
                              {QStringLiteral("surfacePressure"), jsonNumber(settings.surfacePressureBar)},
                              {QStringLiteral("ambientPressure"), jsonNumber(ambient)},
                              {QStringLiteral("ppO2"), jsonNumber(ppO2)},
                              {QStringLiteral("gas"), gasJson(diveGas(settings.o2, settings.he))}});
        return Success;
    }
    const QString limit = unlimited ? QStringLiteral("%1 min or more").arg(minutes) : QStringLiteral("%1 min").arg(minutes);
    printText(QStringLiteral("NDL at %1 m: %2\n%3, GF %4/%5, %6 water, surface %7 bar, ppO2 %8 bar")
                  .arg(numberText(depth), limit, diveGas(settings.o2, settings.he).gasName(),
                       QString::number(settings.gfLow), QString::number(settings.gfHigh),
                       settings.freshWater ? QStringLiteral("fresh") : QStringLiteral("salt"),
                       QString::number(settings.surfacePressureBar, 'f', 3), numberText(ppO2, 2)));
    return Success;
}

} // namespace divetool
