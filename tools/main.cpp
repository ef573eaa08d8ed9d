// divetool: the command-line companion of the program. It links the same dive
// files, logbook and planner code and needs no display.

#include "tools/computercommands.h"
#include "tools/computerlink.h"
#include "tools/dbcommands.h"
#include "tools/filecommands.h"
#include "tools/helptext.h"
#include "tools/plancommands.h"
#include "tools/toolargs.h"
#include "tools/tooloutput.h"
#include "corvane/simulator/demofaults.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QStringList>

#include <functional>

using namespace divetool;

namespace {

using Runner = std::function<int(const ParsedArguments&, bool json)>;

// Demo mode: the simulated dive computer stands where the Bluetooth stack is.
DemoSetting demo;

struct Command
{
    QString name;
    CommandSyntax syntax;
    Runner run;
};

QList<Command> commands()
{
    const auto db = [](const char* action) {
        return [action](const ParsedArguments& arguments, bool json) {
            return runDb(QLatin1String(action), arguments, json);
        };
    };
    const auto computer = [](const char* action) {
        return [action](const ParsedArguments& arguments, bool json) {
            return runComputer(QLatin1String(action), arguments, json, demo);
        };
    };
    const QString separator = QStringLiteral("--csv-separator");
    return {
        {QStringLiteral("info"), {{}, {}, {}, 1, -1}, runInfo},
        {QStringLiteral("convert"), {{}, {separator}, {}, 2, 2}, runConvert},
        {QStringLiteral("db import"), {{}, {}, {}, 2, -1}, db("import")},
        {QStringLiteral("db list"),
         {{QStringLiteral("--ascending")},
          {QStringLiteral("--serial"), QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--time"),
           QStringLiteral("--sort")},
          {QStringLiteral("--serial")},
          1,
          1},
         db("list")},
        {QStringLiteral("db show"), {{}, {}, {}, 2, 2}, db("show")},
        {QStringLiteral("computer info"), {{}, {}, {}, 0, 0}, computer("info")},
        {QStringLiteral("computer dives"), {{}, {}, {}, 0, 0}, computer("dives")},
        {QStringLiteral("computer download"), {{QStringLiteral("--all")}, {}, {}, 1, 1}, computer("download")},
        {QStringLiteral("computer owner"), {{}, {}, {}, 0, 1}, computer("owner")},
        {QStringLiteral("computer time"), {{QStringLiteral("--set")}, {}, {}, 0, 0}, computer("time")},
        {QStringLiteral("computer firmware"), {{QStringLiteral("--force")}, {}, {}, 1, 1}, computer("firmware")},
        {QStringLiteral("computer layouts"), {{}, {}, {}, 1, 3}, computer("layouts")},
        {QStringLiteral("db export"), {{}, {separator}, {}, 3, 3}, db("export")},
        {QStringLiteral("db delete"), {{}, {}, {}, 2, 2}, db("delete")},
        {QStringLiteral("db rename"), {{}, {}, {}, 3, 3}, db("rename")},
        {QStringLiteral("plan"),
         {{QStringLiteral("--effort"), QStringLiteral("--fresh")},
          {QStringLiteral("--gf"), QStringLiteral("--psurf"), QStringLiteral("--o2"), QStringLiteral("--he"),
           QStringLiteral("--profile"), QStringLiteral("--deco-gas"), QStringLiteral("--deco-ppo2"),
           QStringLiteral("--switch-stop")},
          {QStringLiteral("--deco-gas")},
          0,
          1},
         runPlan},
        {QStringLiteral("ndl"),
         {{QStringLiteral("--fresh")},
          {QStringLiteral("--depth"), QStringLiteral("--gf"), QStringLiteral("--psurf"), QStringLiteral("--o2"),
           QStringLiteral("--he")},
          {},
          0,
          0},
         runNdl},
    };
}

int usageError(const QString& subject, const QString& problem)
{
    printError(subject, problem + QStringLiteral(" (see divetool --help)"));
    return UsageError;
}

int printHelp(const QStringList& topic)
{
    if (topic.isEmpty()) {
        printText(generalHelp());
        return Success;
    }
    const QString help = commandHelp(topic.join(QLatin1Char(' ')));
    if (help.isEmpty())
        return usageError(QStringLiteral("help"), QStringLiteral("unknown command \"%1\"").arg(topic.join(QLatin1Char(' '))));
    printText(help);
    return Success;
}

int run(QStringList arguments)
{
    // Options before the command word apply to every command.
    bool json = false;
    bool help = false;
    while (!arguments.isEmpty() && arguments.constFirst().startsWith(QLatin1Char('-'))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--json"))
            json = true;
        else if (option == QLatin1String("--demo"))
            demo.on = true;
        else if (option.startsWith(DemoFaults::kOption)) {
            demo.on = true;
            demo.faults = option.mid(DemoFaults::kOption.size());
        }
        else if (option == QLatin1String("--help") || option == QLatin1String("-h"))
            help = true;
        else if (option == QLatin1String("--version")) {
            printText(QStringLiteral("divetool ") + QCoreApplication::applicationVersion());
            return Success;
        } else
            return usageError(QStringLiteral("divetool"), QStringLiteral("unknown option %1").arg(option));
    }
    QString faultProblem;
    if (!DemoFaults::isValid(demo.faults, faultProblem))
        return usageError(QStringLiteral("divetool"), faultProblem);
    if (arguments.isEmpty()) {
        if (help)
            return printHelp({});
        return usageError(QStringLiteral("divetool"), QStringLiteral("no command given"));
    }
    if (arguments.constFirst() == QLatin1String("help"))
        return printHelp(arguments.mid(1));

    QString name = arguments.takeFirst();
    if (name == QLatin1String("computer")) {
        if (arguments.isEmpty() || arguments.constFirst().startsWith(QLatin1Char('-'))) {
            if (help || arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))
                return printHelp({name});
            return usageError(name, QStringLiteral("missing action: info, dives, download, owner, time, firmware or layouts"));
        }
        name += QLatin1Char(' ') + arguments.takeFirst();
    } else if (name == QLatin1String("db")) {
        const bool helpAsked = help || arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
        if (arguments.isEmpty() || arguments.constFirst().startsWith(QLatin1Char('-'))) {
            if (helpAsked)
                return printHelp({name});
            return usageError(name, QStringLiteral("missing action: import, list, show, export, delete or rename"));
        }
        name += QLatin1Char(' ') + arguments.takeFirst();
    }
    for (const Command& command : commands()) {
        if (command.name != name)
            continue;
        ParsedArguments parsed;
        QString problem;
        if (!parsed.parse(command.syntax, arguments, problem)) {
            printError(name, problem + QStringLiteral(" (see divetool help %1)").arg(name));
            return UsageError;
        }
        if (help || parsed.isSet(QStringLiteral("--help")))
            return printHelp({name});
        return command.run(parsed, json || parsed.isSet(QStringLiteral("--json")));
    }
    return usageError(name, QStringLiteral("unknown command"));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("divetool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELAGON_VERSION));
    demo.faults = qEnvironmentVariable(DemoFaults::kVariable);
    demo.on = qEnvironmentVariable("PELAGON_DEMO") == QLatin1String("1") || !demo.faults.isEmpty();
    // stderr carries the tool's own one-line errors only, not the link's
    // debug trace.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\nqt.bluetooth*=false"));
    return run(QCoreApplication::arguments().mid(1));
}
