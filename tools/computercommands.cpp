#include "tools/computercommands.h"

#include "tools/computerlink.h"
#include "tools/flashcommands.h"
#include "tools/logbookfile.h"
#include "tools/toolargs.h"
#include "tools/tooloutput.h"

#include "corvane/protocol/firmwareimage.h"
#include "corvane/protocol/kelvobleprotocol.h"
#include "corvane/protocol/pelagondiveconverter.h"
#include "db/divedb.h"
#include "divedata/dive.h"

#include <QDateTime>
#include <QJsonArray>
#include <QStringList>

#include <optional>

namespace divetool {

namespace {

using namespace PelagonCommand;

// Layout files beyond this are no display layout.
constexpr qint64 kLargestLayout = 1024 * 1024;

QString modeText(CurrentMode::CurrentModeIn mode)
{
    switch (mode) {
    case CurrentMode::Normal: return QStringLiteral("Normal");
    case CurrentMode::BootLoader: return QStringLiteral("Bootloader");
    default: return QStringLiteral("Unknown");
    }
}

// The computer's 32-byte name text.
QString computerName(const KelvoSession& session)
{
    return session.computer().nameText();
}

// The computer's clock counts local wall-clock seconds from 1970: shown as
// that wall-clock time, without a zone.
QString clockText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int fail(const QString& problem)
{
    printError(QStringLiteral("computer"), problem);
    return Failure;
}

int info(ComputerLink& link, bool json)
{
    QString problem;
    if (!link.run(Owner, problem))
        return fail(problem);
    KelvoSession& s = link.session();
    const BleDeviceInfo device = s.lastDevice();
    if (json) {
        printJson(QJsonObject{
            {QStringLiteral("model"), s.computerModelStr()},
            {QStringLiteral("mode"), modeText(s.currentMode())},
            {QStringLiteral("firmware"), s.firmwareVersionStr()},
            {QStringLiteral("bootloader"), s.bootloaderVersionStr()},
            {QStringLiteral("serial"), s.serialNumber()},
            {QStringLiteral("name"), computerName(s)},
            {QStringLiteral("owner"), s.owner()},
            {QStringLiteral("battery"), s.computer().getBatteryStr()},
            {QStringLiteral("device"),
             QJsonObject{{QStringLiteral("name"), device.name()}, {QStringLiteral("address"), device.address()}}},
        });
        return Success;
    }
    printText(QStringList{
        QStringLiteral("Device:     ") + link.deviceText(),
        QStringLiteral("Model:      ") + s.computerModelStr(),
        QStringLiteral("Mode:       ") + modeText(s.currentMode()),
        QStringLiteral("Firmware:   ") + s.firmwareVersionStr(),
        QStringLiteral("Bootloader: ") + s.bootloaderVersionStr(),
        QStringLiteral("Serial:     ") + s.serialNumber(),
        QStringLiteral("Name:       ") + computerName(s),
        QStringLiteral("Owner:      ") + s.owner(),
        QStringLiteral("Battery:    ") + s.computer().getBatteryStr(),
    }.join(QLatin1Char('\n')));
    return Success;
}

QJsonObject headerJson(const PelagonDiveHeader& h)
{
    return QJsonObject{
        {QStringLiteral("number"), h.diveNumber},
        {QStringLiteral("start"), isoStartTime(h.beginTime)},
        {QStringLiteral("duration"), jsonNumber(double(h.endTime - h.beginTime))},
        {QStringLiteral("maxDepth"), jsonNumber(h.maxDepth)},
        {QStringLiteral("avgDepth"), jsonNumber(h.avgDepth)},
        {QStringLiteral("samplePeriod"), h.samplePeriod},
        {QStringLiteral("samples"), qint64(h.sampleCount)},
        {QStringLiteral("closedCircuit"), h.divemode != 0},
    };
}

int dives(ComputerLink& link, bool json)
{
    QString problem;
    KelvoSession& s = link.session();
    if (!link.run(Logbook, [&s] { return s.startGetLogbook({}); }, problem))
        return fail(problem);
    if (json) {
        QJsonArray list;
        for (const PelagonDiveHeader& h : s.diveHeaders())
            list.append(headerJson(h));
        printJson(QJsonObject{{QStringLiteral("serial"), s.serialNumber()}, {QStringLiteral("dives"), list}});
        return Success;
    }
    QStringList lines;
    for (const PelagonDiveHeader& h : s.diveHeaders()) {
        lines.append(QStringLiteral("%1  %2  %3 m  %4%5")
                         .arg(h.diveNumber, 4)
                         .arg(isoStartTime(h.beginTime), -25)
                         .arg(numberText(h.maxDepth), 5)
                         .arg(::Dive::formatDuration(double(h.endTime - h.beginTime)))
                         .arg(h.divemode != 0 ? QStringLiteral("  CC") : QString()));
    }
    lines.append(QStringLiteral("%1 dives on %2").arg(s.diveHeaders().size()).arg(s.serialNumber()));
    printText(lines.join(QLatin1Char('\n')));
    return Success;
}

int download(ComputerLink& link, LogbookFile& logbook, const ParsedArguments& arguments, bool json)
{
    KelvoSession& s = link.session();
    const QList<quint16> known =
        arguments.isSet(QStringLiteral("--all")) ? QList<quint16>() : LogbookFile::db()->storedDiveNumbers(s.serialNumber());
    QString problem;
    if (!link.run(Logbook, [&s, &known] { return s.startGetLogbook(known); }, problem))
        return fail(problem);

    const QList<PelagonDiveHeader> headers = s.diveHeaders();
    QJsonArray stored;
    QJsonArray skipped;
    QStringList report;
    int status = Success;
    for (const PelagonDiveHeader& header : headers) {
        const quint16 number = header.diveNumber;
        if (!link.run(Fullsamples, [&s, number] { return s.startGetDiveSamples(number); }, problem)) {
            // The dives stored so far stay; the rest waits for the next run.
            printError(QStringLiteral("computer"), QStringLiteral("dive %1: %2").arg(number).arg(problem));
            status = Failure;
            break;
        }
        const ::Dive dive = PelagonDiveConverter::toDive(header, s.diveSamples(), s.data());
        const int result = LogbookFile::db()->insertDive(dive);
        if (result == DiveDb::Stored) {
            const int id = LogbookFile::db()->findDiveId(dive.name, dive.computerSerial);
            stored.append(QJsonObject{{QStringLiteral("number"), number}, {QStringLiteral("id"), id},
                                      {QStringLiteral("name"), dive.name}});
            report.append(QStringLiteral("Stored dive %1 as %2").arg(number).arg(id));
        } else {
            const QString why = result == DiveDb::DiveExists ? QStringLiteral("already stored")
                                                             : LogbookFile::db()->lastError();
            skipped.append(QJsonObject{{QStringLiteral("number"), number}, {QStringLiteral("reason"), why}});
            report.append(QStringLiteral("Dive %1 not stored: %2").arg(number).arg(why));
            if (result != DiveDb::DiveExists)
                status = Failure;
        }
    }
    if (json) {
        printJson(QJsonObject{{QStringLiteral("database"), logbook.path()},
                              {QStringLiteral("serial"), s.serialNumber()},
                              {QStringLiteral("stored"), stored},
                              {QStringLiteral("skipped"), skipped}});
    } else {
        report.append(QStringLiteral("%1 new dives stored").arg(stored.size()));
        printText(report.join(QLatin1Char('\n')));
    }
    return status;
}

int owner(ComputerLink& link, const ParsedArguments& arguments, bool json)
{
    KelvoSession& s = link.session();
    QString problem;
    if (!arguments.positional().isEmpty()) {
        const QString name = arguments.positional().constFirst();
        if (!link.run(Set_owner, [&s, &name] { return s.setOwner(name); }, problem))
            return fail(problem);
    }
    if (!link.run(Owner, problem))
        return fail(problem);
    if (json)
        printJson(QJsonObject{{QStringLiteral("owner"), s.owner()}});
    else
        printText(QStringLiteral("Owner: ") + s.owner());
    return Success;
}

int time(ComputerLink& link, const ParsedArguments& arguments, bool json)
{
    KelvoSession& s = link.session();
    QString problem;
    const bool set = arguments.isSet(QStringLiteral("--set"));
    const bool ok = set ? link.run(Set_time, [&s] { return s.startSetTime(); }, problem) : link.run(Time, problem);
    if (!ok)
        return fail(problem);
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 host = now.toSecsSinceEpoch() + now.offsetFromUtc();
    const qint64 difference = s.computerTime() - host;
    if (json) {
        printJson(QJsonObject{{QStringLiteral("computer"), clockText(s.computerTime())},
                              {QStringLiteral("host"), clockText(host)},
                              {QStringLiteral("difference"), difference},
                              {QStringLiteral("set"), set}});
    } else {
        printText(QStringLiteral("Computer: %1\nHost:     %2\nAhead by: %3 s")
                      .arg(clockText(s.computerTime()), clockText(host))
                      .arg(difference));
    }
    return Success;
}

} // namespace

int runComputer(const QString& action, const ParsedArguments& arguments, bool json, const DemoSetting& demo)
{
    // The logbook is opened first: a wrong path is told before any scan.
    std::optional<LogbookFile> logbook;
    if (action == QLatin1String("download")) {
        logbook.emplace(arguments.positional().at(0));
        if (!logbook->open())
            return Failure;
    }
    // Files and words are checked before any scan, too.
    QByteArray input;
    if (action == QLatin1String("layouts")) {
        const QString usage = layoutsUsageProblem(arguments.positional());
        if (!usage.isEmpty()) {
            printError(QStringLiteral("computer layouts"), usage);
            return UsageError;
        }
        if (arguments.positional().constFirst() == QLatin1String("add")
            && !readInputFile(arguments.positional().at(1), kLargestLayout, input))
            return Failure;
    }
    if (action == QLatin1String("firmware")
        && !readInputFile(arguments.positional().constFirst(), FirmwareImage::kMaximumSize, input))
        return Failure;
    ComputerLink link(demo);
    QString problem;
    if (!link.connect(problem))
        return fail(problem);
    if (action == QLatin1String("firmware"))
        return runFirmwareUpload(link, arguments.positional().constFirst(), input,
                                 arguments.isSet(QStringLiteral("--force")), json);
    if (action == QLatin1String("layouts"))
        return runLayouts(link, arguments.positional(), input, json);
    if (action == QLatin1String("info"))
        return info(link, json);
    if (action == QLatin1String("dives"))
        return dives(link, json);
    if (logbook)
        return download(link, *logbook, arguments, json);
    if (action == QLatin1String("owner"))
        return owner(link, arguments, json);
    return time(link, arguments, json);
}

} // namespace divetool
