#include "tools/divefiles.h"

#include "tools/tooloutput.h"

#include "divedata/csvfile.h"
#include "divedata/dive.h"
#include "divedata/divelinesio.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QStringList>

#include <cmath>
#include <memory>

namespace divetool {

namespace {

// The tool's messages are English: the registry's names as written there.
QString formatName(int type)
{
    const DiveFileFormat* format = diveFileFormat(type);
    return format != nullptr ? QString::fromLatin1(format->displayName) : QStringLiteral("dive file");
}

int percent(float fraction)
{
    return std::isfinite(fraction) ? int(std::lround(double(fraction) * 100.0)) : 0;
}

QString dashIfEmpty(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

bool hasTemperatures(const Dive& dive)
{
    return dive.minTemperature != 0.0 || dive.maxTemperature != 0.0;
}

} // namespace

bool isDiveFileType(int type)
{
    const DiveFileFormat* format = diveFileFormat(type);
    return format != nullptr && format->has(DiveFileAbility::ReadsDive) && format->has(DiveFileAbility::WritesDive);
}

QString diveFileSuffixes()
{
    QStringList suffixes;
    for (const DiveFileFormat& format : diveFileFormats()) {
        if (isDiveFileType(format.type))
            suffixes.append(QLatin1Char('.') + QLatin1String(format.suffix));
    }
    const QString last = suffixes.isEmpty() ? QString() : suffixes.takeLast();
    return suffixes.isEmpty() ? last : suffixes.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

bool readDiveFiles(const QString& path, QList<Dive>& dives, QString& problem)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        problem = QStringLiteral("no such file");
        return false;
    }
    if (info.isDir()) {
        problem = QStringLiteral("is a folder, not a dive file");
        return false;
    }
    const int type = DiveLinesIO::fileTypeOf(path);
    if (!isDiveFileType(type)) {
        problem = QStringLiteral("not a dive file type (expected %1)").arg(diveFileSuffixes());
        return false;
    }
    const std::unique_ptr<DiveLinesIO> reader = DiveLinesIO::createReader(path);
    if (reader == nullptr) {
        problem = QStringLiteral("%1s cannot be read by this build").arg(formatName(type));
        return false;
    }
    if (!info.isFile()) {
        problem = QStringLiteral("is not a regular file (a device, a pipe or a socket)");
        return false;
    }
    if (!info.isReadable()) {
        problem = QStringLiteral("cannot be opened for reading (permission denied)");
        return false;
    }
    QList<Dive> read;
    if (!reader->readDives(path, read)) {
        switch (reader->readProblem()) {
        case DiveLinesIO::ReadProblem::NotAFile:
            problem = QStringLiteral("is not a regular file (a device, a pipe or a socket)");
            break;
        case DiveLinesIO::ReadProblem::CannotOpen:
            problem = QStringLiteral("cannot be opened for reading");
            break;
        case DiveLinesIO::ReadProblem::NoProfile:
            problem = QStringLiteral("holds no dive: not a single profile line was read");
            break;
        case DiveLinesIO::ReadProblem::OutOfLimits:
            problem = QStringLiteral("holds impossible values (depths, times running backwards or too many gases)");
            break;
        default:
            problem = QStringLiteral("cannot be read: not a valid %1, damaged or too large").arg(formatName(type));
            break;
        }
        return false;
    }
    for (Dive& dive : read)
        dive.refreshDerived();
    dives.append(std::move(read));
    return true;
}

bool readDiveFile(const QString& path, Dive& dive, QString& problem)
{
    QList<Dive> dives;
    if (!readDiveFiles(path, dives, problem))
        return false;
    dive = std::move(dives.first());
    return true;
}

bool writeDiveFile(const QString& path, const Dive& dive, QChar csvSeparator, QString& problem)
{
    const int type = DiveLinesIO::fileTypeOf(path);
    if (!isDiveFileType(type)) {
        problem = QStringLiteral("not a dive file type (expected %1)").arg(diveFileSuffixes());
        return false;
    }
    // Every format whose handler writes by path, the binary one included
    // (the program offers no binary export, but it keeps every field).
    std::unique_ptr<DiveLinesIO> writer = DiveLinesIO::createByType(type);
    if (writer == nullptr) {
        problem = QStringLiteral("%1s cannot be written by this build").arg(formatName(type));
        return false;
    }
    if (auto* csv = dynamic_cast<CsvFile*>(writer.get()); csv != nullptr && !csvSeparator.isNull())
        csv->setSeparator(csvSeparator);
    const QFileInfo info(path);
    if (info.isDir()) {
        problem = QStringLiteral("is a folder");
        return false;
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        problem = QStringLiteral("its folder %1 does not exist").arg(QDir::toNativeSeparators(folder.filePath()));
        return false;
    }
    if (!writer->writeDive(path, dive)) {
        problem = folder.isWritable() && (!info.exists() || info.isWritable())
            ? QStringLiteral("cannot be written as a %1").arg(formatName(type))
            : QStringLiteral("cannot be written (permission denied)");
        return false;
    }
    return true;
}

bool parseCsvSeparator(const QString& text, QChar& separator)
{
    const QString name = text.toLower();
    if (name == QLatin1String("comma") || name == QLatin1String(","))
        separator = u',';
    else if (name == QLatin1String("dot") || name == QLatin1String("."))
        separator = u'.';
    else if (name == QLatin1String("semicolon") || name == QLatin1String(";"))
        separator = u';';
    else
        return false;
    return true;
}

namespace {

// The stops of a recorded profile: the diver holding one depth (within
// 0.3 m) for at least 30 s while the computer showed a ceiling.
struct RecordedStop
{
    double depth = 0.0;
    double duration = 0.0;
};

QList<RecordedStop> recordedStops(const Dive& dive)
{
    constexpr double kHold = 0.3;
    constexpr double kShortest = 30.0;
    QList<RecordedStop> stops;
    qsizetype first = -1;
    const auto close = [&](qsizetype end) {
        if (first < 0)
            return;
        const double duration = dive.lines.at(end).timeSec - dive.lines.at(first).timeSec;
        double sum = 0.0;
        for (qsizetype k = first; k <= end; ++k)
            sum += dive.lines.at(k).depth;
        if (duration >= kShortest)
            stops.append({std::round(sum / double(end - first + 1) * 10.0) / 10.0, duration});
        first = -1;
    };
    for (qsizetype i = 0; i < dive.lines.size(); ++i) {
        const DiveLine& line = dive.lines.at(i);
        const bool held = first >= 0 && std::fabs(line.depth - dive.lines.at(first).depth) <= kHold;
        if (first >= 0 && (!held || !(line.decoCeiling > 0.0)))
            close(i - 1);
        if (first < 0 && line.decoCeiling > 0.0)
            first = i;
    }
    if (!dive.lines.isEmpty())
        close(dive.lines.size() - 1);
    return stops;
}

} // namespace

QJsonObject diveSummaryJson(const Dive& dive, bool logbookFields)
{
    QJsonObject summary;
    summary.insert(QStringLiteral("name"), dive.name);
    const QString start = isoStartTime(dive.beginTime);
    summary.insert(QStringLiteral("start"), start.isEmpty() ? QJsonValue() : QJsonValue(start));
    summary.insert(QStringLiteral("duration"), jsonNumber(dive.maxTime));
    summary.insert(QStringLiteral("maxDepth"), jsonNumber(dive.maxDepth));
    summary.insert(QStringLiteral("avgDepth"), jsonNumber(dive.avgDepth));
    const bool temperatures = hasTemperatures(dive);
    summary.insert(QStringLiteral("minTemperature"), temperatures ? jsonNumber(dive.minTemperature) : QJsonValue());
    summary.insert(QStringLiteral("maxTemperature"), temperatures ? jsonNumber(dive.maxTemperature) : QJsonValue());
    summary.insert(QStringLiteral("lines"), dive.lines.size());
    QJsonArray gases;
    for (const DiveGas& gas : dive.gases) {
        gases.append(QJsonObject{{QStringLiteral("name"), gas.gasName()},
                                 {QStringLiteral("o2"), percent(gas.o2)},
                                 {QStringLiteral("he"), percent(gas.he)}});
    }
    summary.insert(QStringLiteral("gases"), gases);
    QJsonArray stops;
    for (const RecordedStop& stop : recordedStops(dive))
        stops.append(QJsonObject{{QStringLiteral("depth"), jsonNumber(stop.depth)},
                                 {QStringLiteral("duration"), jsonNumber(stop.duration)}});
    summary.insert(QStringLiteral("stops"), stops);
    summary.insert(QStringLiteral("computerName"), dive.computerName);
    summary.insert(QStringLiteral("computerSerial"), dive.computerSerial);
    if (logbookFields) {
        summary.insert(QStringLiteral("place"), dive.place);
        summary.insert(QStringLiteral("site"), dive.site);
        summary.insert(QStringLiteral("buddy"), dive.buddy);
        summary.insert(QStringLiteral("gfLow"), int(dive.gfLow));
        summary.insert(QStringLiteral("gfHigh"), int(dive.gfHigh));
        summary.insert(QStringLiteral("freshWater"), dive.density != 0);
        summary.insert(QStringLiteral("surfacePressure"), int(dive.surfacePressure));
        summary.insert(QStringLiteral("samplePeriod"), int(dive.samplePeriod));
    }
    return summary;
}

QString diveSummaryText(const Dive& dive, bool logbookFields)
{
    QStringList gases;
    for (const DiveGas& gas : dive.gases)
        gases.append(QStringLiteral("%1 (O2 %2 %, He %3 %)")
                          .arg(gas.gasName(), QString::number(percent(gas.o2)), QString::number(percent(gas.he))));
    const QString start = isoStartTime(dive.beginTime);
    const QString temperature = hasTemperatures(dive)
        ? QStringLiteral("%1 to %2 °C").arg(numberText(dive.minTemperature), numberText(dive.maxTemperature))
        : QStringLiteral("none recorded");

    QStringList rows;
    const auto add = [&rows](const char* label, const QString& value) {
        rows.append(QStringLiteral("  %1 %2").arg(QLatin1String(label), -18).arg(printable(value)));
    };
    add("Name:", dashIfEmpty(dive.name));
    add("Start:", start.isEmpty() ? QStringLiteral("unknown") : start);
    add("Duration:", Dive::formatDuration(dive.maxTime));
    add("Max depth:", numberText(dive.maxDepth) + QStringLiteral(" m"));
    add("Average depth:", numberText(dive.avgDepth) + QStringLiteral(" m"));
    add("Temperature:", temperature);
    add("Lines:", QString::number(dive.lines.size()));
    add("Gases:", gases.isEmpty() ? QStringLiteral("none") : gases.join(QStringLiteral(", ")));
    QStringList stops;
    for (const RecordedStop& stop : recordedStops(dive))
        stops.append(numberText(stop.depth) + QStringLiteral(" m ") + Dive::formatDuration(stop.duration));
    add("Stops:", stops.isEmpty() ? QStringLiteral("none") : stops.join(QStringLiteral(", ")));
    add("Computer:", dashIfEmpty(dive.computerName));
    add("Serial:", dashIfEmpty(dive.computerSerial));
    if (logbookFields) {
        add("Place:", dashIfEmpty(dive.place));
        add("Site:", dashIfEmpty(dive.site));
        add("Buddy:", dashIfEmpty(dive.buddy));
        add("Gradient factors:", QStringLiteral("%1/%2").arg(dive.gfLow).arg(dive.gfHigh));
        add("Water:", dive.density != 0 ? QStringLiteral("fresh") : QStringLiteral("salt"));
        add("Surface pressure:", QStringLiteral("%1 mbar").arg(dive.surfacePressure));
        add("Sample interval:", QStringLiteral("%1 s").arg(dive.samplePeriod));
    }
    return rows.join(QLatin1Char('\n'));
}

} // namespace divetool
