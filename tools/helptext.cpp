#include "tools/helptext.h"

#include "corvane/simulator/demofaults.h"

namespace divetool {

namespace {

struct HelpSection
{
    const char* command;
    const char* text;
};

// One section per command, in the order the general help shows them.
const HelpSection kSections[] = {
    {"info",
     "  info FILE...\n"
     "      For each dive file: its name, start time (ISO 8601, local time with\n"
     "      its UTC offset), duration, maximum and average depth, water\n"
     "      temperatures, number of profile lines, gases (names and O2/He\n"
     "      percentages), computer name and serial. Every file is reported on;\n"
     "      unreadable ones are named on stderr and make the status 1.\n"
     "      JSON: {\"files\": [{\"file\", \"name\", \"start\", \"duration\" (s),\n"
     "      \"maxDepth\", \"avgDepth\" (m), \"minTemperature\", \"maxTemperature\"\n"
     "      (degrees C or null), \"lines\", \"gases\": [{\"name\", \"o2\", \"he\"}],\n"
     "      \"computerName\", \"computerSerial\"}]}\n"},
    {"convert",
     "  convert [--csv-separator comma|dot|semicolon] IN OUT\n"
     "      Reads IN and writes OUT, each in the format of its suffix: .uddf,\n"
     "      .csv or .divebin. OUT is replaced as a whole or left untouched.\n"
     "      A .csv file is written as the program's spreadsheet export; read,\n"
     "      a .csv file is the tab-separated profile of twenty columns.\n"
     "      --csv-separator   field separator of a CSV export (default comma)\n"
     "      JSON: {\"input\", \"output\", \"name\", \"lines\"}\n"},
    {"db import",
     "  db import DB FILE...\n"
     "      Stores each dive file in the logbook DB. A dive whose name the\n"
     "      logbook already holds for the same computer serial is refused\n"
     "      with \"Dive Id already exists\"; the other files are still stored.\n"
     "      JSON: {\"database\", \"imported\": [{\"file\", \"id\", \"name\"}],\n"
     "      \"failed\": [{\"file\", \"error\"}]}\n"},
    {"db list",
     "  db list DB [--serial S]... [--from DATE] [--to DATE] [--time HH:MM-HH:MM]\n"
     "             [--sort date|duration|depth] [--ascending]\n"
     "      Lists the stored dives grouped by computer serial, as the program's\n"
     "      dive list does, newest (longest, deepest) first.\n"
     "      --serial S        only dives of the computer with serial S;\n"
     "                        repeat the option for several computers\n"
     "      --from DATE       only dives from that day on (YYYY-MM-DD, local)\n"
     "      --to DATE         only dives up to that day, the day included\n"
     "      --time HH:MM-HH:MM  only dives that start in that time of day;\n"
     "                        22:00-02:00 runs through midnight\n"
     "      --sort COLUMN     date (the default), duration or depth\n"
     "      --ascending       oldest (shortest, shallowest) first\n"
     "      JSON: {\"computers\", \"dives\": [{\"id\", \"name\", \"serial\",\n"
     "      \"computerName\", \"start\", \"duration\" (s), \"maxDepth\" (m),\n"
     "      \"gfLow\", \"gfHigh\"}]}\n"},
    {"db show",
     "  db show DB ID\n"
     "      Prints the stored dive ID: what info prints, and its place, site,\n"
     "      buddy, gradient factors, water, surface pressure and sample interval.\n"
     "      JSON: the object of info (without \"file\") with \"id\", \"place\",\n"
     "      \"site\", \"buddy\", \"gfLow\", \"gfHigh\", \"freshWater\",\n"
     "      \"surfacePressure\" (mbar) and \"samplePeriod\" (s)\n"},
    {"db export",
     "  db export [--csv-separator comma|dot|semicolon] DB ID OUT\n"
     "      Writes the stored dive ID to OUT in the format of its suffix\n"
     "      (.uddf, .csv or .divebin).\n"
     "      JSON: {\"id\", \"name\", \"output\", \"lines\"}\n"},
    {"db delete",
     "  db delete DB ID\n"
     "      Deletes the stored dive ID with its profile and gases.\n"
     "      JSON: {\"id\", \"name\"}\n"},
    {"db rename",
     "  db rename DB ID NAME\n"
     "      Renames the stored dive ID. Names are unique per computer serial:\n"
     "      \"Name already exists\" otherwise, \"Invalid name\" for an empty one.\n"
     "      JSON: {\"id\", \"name\", \"previousName\"}\n"},
    {"plan",
     "  plan [--gf LOW/HIGH] [--effort] [--fresh] [--psurf BAR] [--o2 PERCENT]\n"
     "       [--he PERCENT] [--deco-gas O2[/HE] ...] [--deco-ppo2 BAR]\n"
     "       [--switch-stop MIN] (FILE | --profile \"SECONDS:METRES,...\")\n"
     "      Simulates the dive as the program's planner does for its first\n"
     "      dive: the profile is followed, then the ascent and the stops the\n"
     "      engine requires are computed. Prints the plan table (segment,\n"
     "      depth, duration, runtime, gas; computed rows are marked *), the\n"
     "      stops, the total ascent time, CNS % and OTU. The profile is\n"
     "      breathed on one gas; with deco gases the computed ascent switches\n"
     "      to the richest one allowed at each stop.\n"
     "      FILE              a dive file (.csv, .uddf or .divebin)\n"
     "      --profile POINTS  the profile as time:depth points, seconds from\n"
     "                        the start and metres, e.g. \"0:0,60:20,600:20\"\n"
     "      --gf LOW/HIGH     gradient factors in percent (default 80/80)\n"
     "      --effort          effort mode: gradient factors 68/68, over --gf\n"
     "      --fresh           fresh water (default salt water)\n"
     "      --psurf BAR       surface pressure, above 0.5 and below 1.05 bar\n"
     "                        (default 1.013)\n"
     "      --o2 PERCENT      oxygen of the breathing gas (default 21)\n"
     "      --he PERCENT      helium of the breathing gas (default 0)\n"
     "      --deco-gas O2[/HE]  a deco gas in percent (e.g. 50, 100 or 35/25);\n"
     "                        repeat for several. Only gases richer in oxygen\n"
     "                        than the breathing gas are used. The dive's gases\n"
     "                        become the breathing gas (0) and these, in order\n"
     "      --deco-ppo2 BAR   deepest use of a deco gas: its ppO2 there, 1.0 to\n"
     "                        1.7 by 0.1 (default 1.6); needs --deco-gas\n"
     "      --switch-stop MIN least time at a gas switch, 0 to 60 minutes\n"
     "                        (default 1); needs --deco-gas\n"
     "      JSON: {\"source\", \"name\", \"settings\": {\"gfLow\", \"gfHigh\",\n"
     "      \"customGradientFactors\", \"effort\", \"freshWater\",\n"
     "      \"surfacePressure\", \"gas\", \"decoGases\", \"decoPpO2\",\n"
     "      \"switchStop\"}, \"records\": [{\"kind\": \"segment\",\n"
     "      \"type\": descent|level|stop|ascent, \"computed\", \"depth\" (m),\n"
     "      \"duration\", \"runtime\" (min), \"gasIndex\", \"gas\": {\"name\",\n"
     "      \"o2\", \"he\"}}, ..., {\"kind\": \"summary\", \"cns\", \"otu\"}],\n"
     "      \"stops\": [{\"depth\", \"duration\", \"runtime\", \"gas\"}],\n"
     "      \"ascentTime\" (min), \"cns\" (%), \"otu\",\n"
     "      \"decoLines\": [{\"time\" (s), \"depth\", \"gasIndex\"}],\n"
     "      \"ceilingProfile\": [{\"time\" (s), \"depth\" (m)}],\n"
     "      \"decoNotTerminated\", \"messages\"}\n"},
    {"ndl",
     "  ndl --depth METRES [--o2 PERCENT] [--he PERCENT] [--gf LOW/HIGH]\n"
     "      [--psurf BAR] [--fresh]\n"
     "      The no-decompression limit in minutes at that depth for a diver\n"
     "      saturated at the surface who descends there at once, as the engine\n"
     "      computes it (250 minutes is its longest answer).\n"
     "      --depth METRES    depth, 0 to 1000 m (required)\n"
     "      --o2, --he, --gf, --psurf, --fresh   as for plan\n"
     "      JSON: {\"depth\", \"ndl\" (min), \"minutes\" (whole), \"unlimited\",\n"
     "      \"gfLow\", \"gfHigh\", \"freshWater\", \"surfacePressure\",\n"
     "      \"ambientPressure\" (bar), \"ppO2\" (bar), \"gas\": {\"name\", \"o2\",\n"
     "      \"he\"}}\n"},
    {"computer info",
     "  computer info\n"
     "      Connects to the first dive computer found (a 30 s scan) and prints\n"
     "      its model, mode, firmware and bootloader versions, serial number,\n"
     "      name, owner and battery type.\n"
     "      JSON: {\"model\", \"mode\", \"firmware\", \"bootloader\", \"serial\",\n"
     "      \"name\", \"owner\", \"battery\", \"device\": {\"name\", \"address\"}}\n"},
    {"computer dives",
     "  computer dives\n"
     "      Lists the dives in the computer's logbook.\n"
     "      JSON: {\"serial\", \"dives\": [{\"number\", \"start\", \"duration\" (s),\n"
     "      \"maxDepth\", \"avgDepth\" (m), \"samplePeriod\" (s), \"samples\",\n"
     "      \"closedCircuit\"}]}\n"},
    {"computer download",
     "  computer download DB [--all]\n"
     "      Downloads the computer's dives that the logbook DB does not hold yet\n"
     "      and stores them, converted as the program does. The dives stored\n"
     "      before a failure stay stored.\n"
     "      --all             asks for every dive; those already stored are\n"
     "                        skipped as \"already stored\"\n"
     "      JSON: {\"database\", \"serial\", \"stored\": [{\"number\", \"id\",\n"
     "      \"name\"}], \"skipped\": [{\"number\", \"reason\"}]}\n"},
    {"computer owner",
     "  computer owner [NAME]\n"
     "      Prints the owner name kept by the computer; with NAME, sets it first\n"
     "      (at most 31 bytes of UTF-8).\n"
     "      JSON: {\"owner\"}\n"},
    {"computer time",
     "  computer time [--set]\n"
     "      Prints the computer's clock next to this machine's local time.\n"
     "      --set             sets the computer's clock to the local time first\n"
     "      JSON: {\"computer\", \"host\", \"difference\" (s), \"set\"}\n"},
    {"computer firmware",
     "  computer firmware FILE [--force]\n"
     "      Writes the firmware or bootloader image FILE into the computer, with\n"
     "      progress on stderr; the computer restarts into it and its versions are\n"
     "      read again. Images with a header at byte 512 (application or\n"
     "      bootloader) are refused when that version is installed already;\n"
     "      images without one take their name and version from FILE's name\n"
     "      (NAME.1.4.2.b.bin).\n"
     "      --force           installs the version already installed\n"
     "      JSON: {\"file\", \"bytes\", \"seconds\", \"firmwareBefore\",\n"
     "      \"bootloaderBefore\", \"firmware\", \"bootloader\"}\n"},
    {"computer layouts",
     "  computer layouts list | get INDEX FILE | add FILE | remove INDEX|all |\n"
     "                   active [MODE INDEX]\n"
     "      The display layouts kept by the computer: lists them with the layout\n"
     "      active in each of the five dive modes, saves one to FILE, adds the\n"
     "      layout in FILE (progress on stderr), removes one or all, shows the\n"
     "      active layouts or makes INDEX (none: no layout) active in dive MODE\n"
     "      (0-4).\n"
     "      JSON: list {\"layouts\": [{\"index\", \"type\", \"name\"}], \"active\"};\n"
     "      get {\"index\", \"bytes\", \"file\"}; add {\"index\", \"name\",\n"
     "      \"bytes\"}; remove {\"removed\"}; active {\"active\"}\n"},
    {"help",
     "  help [COMMAND]\n"
     "      Prints this help, or the help of one command (\"help db list\").\n"},
};

const char* const kIntroduction =
    "Usage: divetool [--json] [--demo] [--demo-fault=LIST] COMMAND [ARGUMENTS]\n"
    "\n"
    "The command-line companion of PelagonDiveLog: reads and converts dive\n"
    "files, works on a logbook database and plans dives with the program's\n"
    "decompression engine. It opens a logbook only at the path it is given;\n"
    "a logbook that does not exist yet is created with the program's tables.\n"
    "With --demo (or PELAGON_DEMO=1 in the environment) the computer commands\n"
    "talk to a simulated dive computer instead of the Bluetooth adapter.\n"
    "With --demo-fault=LIST (or PELAGON_DEMO_FAULT=LIST) that computer, in\n"
    "demo mode by this alone, misbehaves as LIST says:\n"
    "%1"
    "\n"
    "Commands:\n";

const char* const kCommonOptions =
    "Options of every command:\n"
    "  --json            print one JSON document on stdout instead of text\n"
    "  -h, --help        print the help of the command\n"
    "  --                what follows is not an option (a file named -x)\n"
    "Options take their value as \"--gf 30/70\" or \"--gf=30/70\".\n"
    "\n"
    "Errors are one line each on stderr, naming the file and the problem.\n"
    "Exit status: 0 success; 1 a file, the logbook or a dive could not be\n"
    "handled; 2 the command line is wrong.\n";

} // namespace

QStringList commandNames()
{
    QStringList names;
    for (const HelpSection& section : kSections)
        names.append(QLatin1String(section.command));
    return names;
}

QString generalHelp()
{
    QString help = QString::fromLatin1(kIntroduction).arg(DemoFaults::help());
    for (const HelpSection& section : kSections)
        help += QLatin1String(section.text) + QLatin1Char('\n');
    return help + QLatin1String(kCommonOptions);
}

QString commandHelp(const QString& command)
{
    QString help;
    for (const HelpSection& section : kSections) {
        const QString name = QLatin1String(section.command);
        // "db" gives every db command.
        if (name == command || name.startsWith(command + QLatin1Char(' ')))
            help += QLatin1String(section.text) + QLatin1Char('\n');
    }
    if (help.isEmpty())
        return help;
    return QStringLiteral("Usage:\n") + help + QLatin1String(kCommonOptions);
}

} // namespace divetool
