#include "tools/dbcommands.h"

#include "tools/divefiles.h"
#include "tools/logbookfile.h"
#include "tools/toolargs.h"
#include "tools/tooloutput.h"

#include "db/divedb.h"
#include "db/divedbtypes.h"
#include "divedata/dive.h"
#include "divedata/divefilelimits.h"
#include "divedata/divelinesio.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace divetool {

namespace {

using Logbook = LogbookFile;

bool parseDiveId(const QString& text, int& diveId)
{
    bool ok = false;
    diveId = text.toInt(&ok);
    return ok && diveId >= 0;
}

// The start as ISO 8601 with its UTC offset; empty for a dive without a start.
QString startText(const DiveListEntry& entry)
{
    return entry.dateTime.isValid() && entry.dateTime.toSecsSinceEpoch() > 0 ? entry.dateTime.toString(Qt::ISODate)
                                                                              : QString();
}

QJsonObject entryJson(const DiveListEntry& entry)
{
    const QString start = startText(entry);
    return QJsonObject{
        {QStringLiteral("id"), entry.diveId},
        {QStringLiteral("name"), entry.name},
        {QStringLiteral("serial"), entry.serial},
        {QStringLiteral("computerName"), entry.computerName},
        {QStringLiteral("start"), start.isEmpty() ? QJsonValue() : QJsonValue(start)},
        {QStringLiteral("duration"), jsonNumber(entry.duration)},
        {QStringLiteral("maxDepth"), jsonNumber(entry.maxDepth)},
        {QStringLiteral("gfLow"), entry.gfLow},
        {QStringLiteral("gfHigh"), entry.gfHigh},
    };
}

int importFiles(const ParsedArguments& arguments, bool json)
{
    const QStringList files = arguments.positional().mid(1);
    Logbook logbook(arguments.positional().at(0));
    if (!logbook.open())
        return Failure;

    int status = Success;
    QJsonArray imported;
    QJsonArray failed;
    QStringList report;
    for (const QString& path : files) {
        QList<Dive> dives;
        QString problem;
        if (!readDiveFiles(path, dives, problem)) {
            printError(path, problem);
            failed.append(QJsonObject{{QStringLiteral("file"), path}, {QStringLiteral("error"), problem}});
            status = Failure;
            continue;
        }
        // Every dive of the file, each checked for a copy already stored.
        for (const Dive& dive : std::as_const(dives)) {
            int diveId = -1;
            const int result = Logbook::db()->insertDive(dive, &diveId);
            const QString storedName = dive.name.isEmpty() ? DiveFileLimits::defaultDiveName() : dive.name;
            if (result == DiveDb::Stored) {
                imported.append(QJsonObject{{QStringLiteral("file"), path},
                                            {QStringLiteral("id"), diveId},
                                            {QStringLiteral("name"), storedName}});
                report.append(QStringLiteral("Stored %1 as dive %2 \"%3\"")
                                  .arg(printable(path), QString::number(diveId), printable(storedName)));
                continue;
            }
            problem = QStringLiteral("Impossible to write profile ") + storedName + QStringLiteral(": ");
            switch (result) {
            case DiveDb::NotOpen:
                problem += QStringLiteral("Database not open");
                break;
            case DiveDb::DiveExists:
                problem += QStringLiteral("Dive Id already exists");
                break;
            default:
                problem += Logbook::db()->lastError();
                break;
            }
            printError(path, problem);
            failed.append(QJsonObject{{QStringLiteral("file"), path},
                                      {QStringLiteral("name"), storedName},
                                      {QStringLiteral("error"), problem}});
            status = Failure;
        }
    }

    if (json) {
        printJson(QJsonObject{{QStringLiteral("database"), logbook.path()},
                              {QStringLiteral("imported"), imported},
                              {QStringLiteral("failed"), failed}});
    } else if (!report.isEmpty()) {
        printText(report.join(QLatin1Char('\n')));
    }
    return status;
}

// YYYY-MM-DD and nothing else: Qt's ISO parser passes over trailing text
// ("2024-01-01x"), which would let a mistyped date filter silently.
QDate parseDate(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!pattern.match(text).hasMatch())
        return QDate();
    return QDate::fromString(text, Qt::ISODate);
}

// --time HH:MM-HH:MM
bool parseTimeRange(const QString& text, QTime& start, QTime& end)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{2})-(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    start = QTime(match.captured(1).toInt(), match.captured(2).toInt());
    end = QTime(match.captured(3).toInt(), match.captured(4).toInt());
    return start.isValid() && end.isValid();
}

int listDives(const ParsedArguments& arguments, bool json)
{
    const auto usage = [](const QString& problem) {
        printError(QStringLiteral("db list"), problem);
        return UsageError;
    };
    DiveFilter filter;
    const QStringList serials = arguments.values(QStringLiteral("--serial"));
    if (!serials.isEmpty()) {
        filter.byComputer = true;
        filter.serials = serials;
    }
    if (arguments.isSet(QStringLiteral("--from"))) {
        const QDate from = parseDate(arguments.value(QStringLiteral("--from")));
        if (!from.isValid())
            return usage(QStringLiteral("--from expects a date as YYYY-MM-DD"));
        filter.byDate = true;
        filter.startDate = from.startOfDay();
    }
    if (arguments.isSet(QStringLiteral("--to"))) {
        const QDate to = parseDate(arguments.value(QStringLiteral("--to")));
        if (!to.isValid())
            return usage(QStringLiteral("--to expects a date as YYYY-MM-DD"));
        if (filter.byDate && to < filter.startDate.date())
            return usage(QStringLiteral("--to is before --from"));
        filter.byDate = true;
        filter.hasEndDate = true;
        filter.endDate = to.startOfDay();
    }
    if (arguments.isSet(QStringLiteral("--time"))) {
        if (!parseTimeRange(arguments.value(QStringLiteral("--time")), filter.startTime, filter.endTime))
            return usage(QStringLiteral("--time expects a range of times of day as HH:MM-HH:MM"));
        // The logbook applies a time of day only together with a date range;
        // without dates the range is open at both ends.
        filter.byDate = true;
        filter.byTime = true;
    }
    int column = DiveDb::ByDate;
    if (arguments.isSet(QStringLiteral("--sort"))) {
        const QString sort = arguments.value(QStringLiteral("--sort"));
        if (sort == QLatin1String("date"))
            column = DiveDb::ByDate;
        else if (sort == QLatin1String("duration"))
            column = DiveDb::ByDuration;
        else if (sort == QLatin1String("depth"))
            column = DiveDb::ByMaxDepth;
        else
            return usage(QStringLiteral("--sort expects date, duration or depth"));
    }
    const bool descending = !arguments.isSet(QStringLiteral("--ascending"));

    Logbook logbook(arguments.positional().at(0));
    if (!logbook.open())
        return Failure;
    int computers = 0;
    const QString errorBefore = Logbook::db()->lastError();
    const QList<DiveListEntry> dives = Logbook::db()->listDives(filter, column, descending, computers);
    const QString error = Logbook::db()->lastError();
    if (dives.isEmpty() && error != errorBefore && !error.isEmpty()) {
        printError(logbook.path(), error);
        return Failure;
    }

    if (json) {
        QJsonArray entries;
        for (const DiveListEntry& entry : dives)
            entries.append(entryJson(entry));
        printJson(QJsonObject{{QStringLiteral("computers"), computers}, {QStringLiteral("dives"), entries}});
        return Success;
    }

    // The program's count line, then the dives grouped by serial under the
    // computer's name, as in its dive list.
    QStringList rows;
    rows.append(QStringLiteral("%1 %2 / %3 %4")
                    .arg(computers)
                    .arg(computers > 1 ? QStringLiteral("Computers") : QStringLiteral("Computer"))
                    .arg(dives.size())
                    .arg(QStringLiteral("Dives")));
    qsizetype nameWidth = 4;
    for (const DiveListEntry& entry : dives)
        nameWidth = std::max(nameWidth, entry.name.size());
    nameWidth = std::min<qsizetype>(nameWidth, 40);
    // Names are the user's text: padded, never used as a format.
    const auto row = [nameWidth](const QString& id, const QString& name, const QString& start,
                                 const QString& duration, const QString& depth) {
        return id.rightJustified(6) + QStringLiteral("  ") + name.leftJustified(nameWidth) + QStringLiteral("  ")
            + start.leftJustified(25) + QStringLiteral("  ") + duration.rightJustified(8) + QStringLiteral("  ")
            + depth.rightJustified(8);
    };
    for (qsizetype i = 0; i < dives.size();) {
        const QString serial = dives.at(i).serial;
        qsizetype end = i;
        while (end < dives.size() && dives.at(end).serial == serial)
            ++end;
        const QString computer = dives.at(i).computerName;
        rows.append(QString());
        rows.append(QStringLiteral("%1 - %2 - %3 dives")
                        .arg(computer.isEmpty() ? QStringLiteral("No name") : printable(computer), printable(serial),
                             QString::number(end - i)));
        rows.append(row(QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("Start"),
                        QStringLiteral("Duration"), QStringLiteral("Depth")));
        for (; i < end; ++i) {
            const DiveListEntry& entry = dives.at(i);
            const QString start = startText(entry);
            rows.append(row(QString::number(entry.diveId), printable(entry.name), start.isEmpty() ? QStringLiteral("unknown") : start,
                            Dive::formatDuration(entry.duration), numberText(entry.maxDepth) + QStringLiteral(" m")));
        }
    }
    printText(rows.join(QLatin1Char('\n')));
    return Success;
}

int showDive(const ParsedArguments& arguments, bool json, int diveId)
{
    Logbook logbook(arguments.positional().at(0));
    Dive dive;
    if (!logbook.open() || !logbook.load(diveId, dive))
        return Failure;
    if (json) {
        QJsonObject document = diveSummaryJson(dive, true);
        document.insert(QStringLiteral("id"), diveId);
        printJson(document);
    } else {
        printText(QStringLiteral("Dive %1\n").arg(diveId) + diveSummaryText(dive, true));
    }
    return Success;
}

int exportDive(const ParsedArguments& arguments, bool json, int diveId)
{
    const QString out = arguments.positional().at(2);
    QChar separator;
    if (arguments.isSet(QStringLiteral("--csv-separator"))
        && !parseCsvSeparator(arguments.value(QStringLiteral("--csv-separator")), separator)) {
        printError(QStringLiteral("db export"), QStringLiteral("--csv-separator expects comma, dot or semicolon"));
        return UsageError;
    }
    // The format is checked before the logbook is touched, as the program
    // refuses the file name before loading the dive.
    const int type = DiveLinesIO::fileTypeOf(out);
    if (!isDiveFileType(type)) {
        printError(out, QStringLiteral("Invalid File Name (expected %1)").arg(diveFileSuffixes()));
        return Failure;
    }
    Logbook logbook(arguments.positional().at(0));
    Dive dive;
    if (!logbook.open() || !logbook.load(diveId, dive))
        return Failure;
    QString problem;
    if (!writeDiveFile(out, dive, separator, problem)) {
        printError(out, problem);
        return Failure;
    }
    if (json) {
        printJson(QJsonObject{{QStringLiteral("id"), diveId},
                              {QStringLiteral("name"), dive.name},
                              {QStringLiteral("output"), out},
                              {QStringLiteral("lines"), dive.lines.size()}});
    } else {
        printText(QStringLiteral("Exported dive %1 \"%2\" to %3")
                      .arg(QString::number(diveId), printable(dive.name), printable(out)));
    }
    return Success;
}

int deleteDive(const ParsedArguments& arguments, bool json, int diveId)
{
    Logbook logbook(arguments.positional().at(0));
    if (!logbook.open())
        return Failure;
    // Deleting an id that is not there succeeds in the logbook; the tool
    // says so instead of reporting a deletion that did not happen.
    const std::optional<DiveListEntry> entry = logbook.entry(diveId);
    if (!entry) {
        logbook.reportMissing(diveId);
        return Failure;
    }
    if (!Logbook::db()->deleteDive(diveId)) {
        printError(logbook.path(),
                   QStringLiteral("Impossible to delete profile(%1): %2").arg(QString::number(diveId), Logbook::db()->lastError()));
        return Failure;
    }
    if (json)
        printJson(QJsonObject{{QStringLiteral("id"), diveId}, {QStringLiteral("name"), entry->name}});
    else
        printText(QStringLiteral("Deleted dive %1 \"%2\"").arg(QString::number(diveId), printable(entry->name)));
    return Success;
}

int renameDive(const ParsedArguments& arguments, bool json, int diveId)
{
    const QString name = arguments.positional().at(2);
    Logbook logbook(arguments.positional().at(0));
    if (name.trimmed().isEmpty()) {
        printError(logbook.path(), QStringLiteral("Invalid name"));
        return Failure;
    }
    if (!logbook.open())
        return Failure;
    const std::optional<DiveListEntry> entry = logbook.entry(diveId);
    if (!entry) {
        logbook.reportMissing(diveId);
        return Failure;
    }
    const QString errorBefore = Logbook::db()->lastError();
    if (!Logbook::db()->renameDive(diveId, name)) {
        // The logbook refuses a name its computer already has; any other
        // refusal comes with the database's reason.
        const QString error = Logbook::db()->lastError();
        printError(logbook.path(), error != errorBefore && !error.isEmpty() ? error : QStringLiteral("Name already exists"));
        return Failure;
    }
    if (json) {
        printJson(QJsonObject{{QStringLiteral("id"), diveId},
                              {QStringLiteral("name"), name},
                              {QStringLiteral("previousName"), entry->name}});
    } else {
        printText(QStringLiteral("Renamed dive %1 \"%2\" to \"%3\"")
                      .arg(QString::number(diveId), printable(entry->name), printable(name)));
    }
    return Success;
}

} // namespace

int runDb(const QString& action, const ParsedArguments& arguments, bool json)
{
    if (action == QLatin1String("import"))
        return importFiles(arguments, json);
    if (action == QLatin1String("list"))
        return listDives(arguments, json);

    int diveId = 0;
    if (!parseDiveId(arguments.positional().at(1), diveId)) {
        printError(QStringLiteral("db ") + action, QStringLiteral("ID must be a dive id (a whole number)"));
        return UsageError;
    }
    if (action == QLatin1String("show"))
        return showDive(arguments, json, diveId);
    if (action == QLatin1String("export"))
        return exportDive(arguments, json, diveId);
    if (action == QLatin1String("delete"))
        return deleteDive(arguments, json, diveId);
    return renameDive(arguments, json, diveId);
}

} // namespace divetool
