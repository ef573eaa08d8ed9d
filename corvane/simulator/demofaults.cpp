#include "corvane/simulator/demofaults.h"

#include "corvane/protocol/protocoltypes.h"
#include "corvane/simulator/computerstate.h"

#include <QMetaEnum>

namespace DemoFaults {

namespace {

// "Logbook" → its code; -1 for a name that is no command.
int commandCode(const QString& name)
{
    bool ok = false;
    const int code = QMetaEnum::fromType<PelagonCommand::PelagonCommandIn>().keyToValue(name.toLatin1().constData(), &ok);
    return ok ? code : -1;
}

} // namespace

QString request(const QStringList& arguments)
{
    for (const QString& argument : arguments)
        if (argument.startsWith(kOption))
            return argument.mid(kOption.size());
    return qEnvironmentVariable(kVariable);
}

QStringList withoutOption(QStringList arguments)
{
    arguments.erase(std::remove_if(arguments.begin(), arguments.end(),
                                   [](const QString& argument) { return argument.startsWith(kOption); }),
                    arguments.end());
    return arguments;
}

bool parse(const QString& list, ComputerFaults& faults, QString& problem)
{
    ComputerFaults parsed = faults;
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = item.section(QLatin1Char('='), 0, 0).trimmed();
        const bool hasValue = item.contains(QLatin1Char('='));
        const QString value = item.section(QLatin1Char('='), 1).trimmed();
        if (name == QLatin1String("link-loss")) {
            bool ok = false;
            const int dives = value.toInt(&ok);
            if (!ok || dives < 0) {
                problem = QStringLiteral("link-loss needs a number of dives, as in link-loss=2");
                return false;
            }
            parsed.linkLossAfterDives = dives;
            continue;
        }
        if (name == QLatin1String("truncated-samples") && !hasValue) {
            parsed.truncatedSamples = true;
            continue;
        }
        if (name == QLatin1String("bad-gases") && !hasValue) {
            parsed.outOfRangeGases = true;
            continue;
        }
        int* command = name == QLatin1String("bad-crc")   ? &parsed.badCrcCommand
                       : name == QLatin1String("silence") ? &parsed.silentCommand
                       : name == QLatin1String("garbage") ? &parsed.garbageCommand
                                                          : nullptr;
        if (!command) {
            problem = QStringLiteral("unknown demo fault \"%1\"").arg(item.trimmed());
            return false;
        }
        *command = hasValue ? commandCode(value) : int(PelagonCommand::Fullsamples);
        if (*command < 0) {
            problem = QStringLiteral("unknown command \"%1\" in demo fault %2").arg(value, name);
            return false;
        }
    }
    faults = parsed;
    return true;
}

bool isValid(const QString& list, QString& problem)
{
    ComputerFaults faults;
    return parse(list, faults, problem);
}

QString help()
{
    return QStringLiteral(
        "  link-loss=N          the link drops while dive N+1 is sent (N dives arrive whole)\n"
        "  bad-crc[=COMMAND]    the answers to COMMAND carry a wrong CRC\n"
        "  silence[=COMMAND]    COMMAND is never answered\n"
        "  garbage[=COMMAND]    bytes that are no frame come before the answer to COMMAND\n"
        "  truncated-samples    the last sample record of each dive is cut short\n"
        "  bad-gases            every fourth sample names a gas the dive does not have\n"
        "COMMAND is a command name such as Fullsamples (the default), Logbook or\n"
        "Identification; items are separated by commas (\"link-loss=2,bad-gases\").\n");
}

} // namespace DemoFaults
