#include "tools/filecommands.h"

#include "tools/divefiles.h"
#include "tools/toolargs.h"
#include "tools/tooloutput.h"

#include "divedata/dive.h"

#include <QJsonArray>
#include <QStringList>

namespace divetool {

int runInfo(const ParsedArguments& arguments, bool json)
{
    // Every file is reported on, even after a bad one: a folder of dives is
    // checked in one call and the bad files are named on stderr.
    int status = Success;
    QJsonArray files;
    QStringList blocks;
    for (const QString& path : arguments.positional()) {
        QList<Dive> dives;
        QString problem;
        if (!readDiveFiles(path, dives, problem)) {
            printError(path, problem);
            status = Failure;
            continue;
        }
        // A file of several dives (a UDDF logbook) lists each of them.
        for (qsizetype i = 0; i < dives.size(); ++i) {
            const Dive& dive = dives.at(i);
            if (json) {
                QJsonObject entry = diveSummaryJson(dive, false);
                entry.insert(QStringLiteral("file"), path);
                if (dives.size() > 1)
                    entry.insert(QStringLiteral("dive"), i + 1);
                files.append(entry);
            } else {
                const QString heading = dives.size() > 1
                    ? QStringLiteral("%1 (dive %2 of %3)").arg(printable(path)).arg(i + 1).arg(dives.size())
                    : printable(path);
                blocks.append(heading + QLatin1Char('\n') + diveSummaryText(dive, false));
            }
        }
    }
    if (json)
        printJson(QJsonObject{{QStringLiteral("files"), files}});
    else if (!blocks.isEmpty())
        printText(blocks.join(QStringLiteral("\n\n")));
    return status;
}

int runConvert(const ParsedArguments& arguments, bool json)
{
    const QString in = arguments.positional().at(0);
    const QString out = arguments.positional().at(1);
    QChar separator;
    if (arguments.isSet(QStringLiteral("--csv-separator"))
        && !parseCsvSeparator(arguments.value(QStringLiteral("--csv-separator")), separator)) {
        printError(QStringLiteral("convert"), QStringLiteral("--csv-separator expects comma, dot or semicolon"));
        return UsageError;
    }

    Dive dive;
    QString problem;
    if (!readDiveFile(in, dive, problem)) {
        printError(in, problem);
        return Failure;
    }
    if (!writeDiveFile(out, dive, separator, problem)) {
        printError(out, problem);
        return Failure;
    }
    if (json) {
        printJson(QJsonObject{{QStringLiteral("input"), in},
                              {QStringLiteral("output"), out},
                              {QStringLiteral("name"), dive.name},
                              {QStringLiteral("lines"), dive.lines.size()}});
    } else {
        printText(QStringLiteral("Converted %1 to %2 (%3 lines)")
                      .arg(printable(in), printable(out), QString::number(dive.lines.size())));
    }
    return Success;
}

} // namespace divetool
