#pragma once

#include <QChar>
#include <QString>
#include <QVariant>

// Where the program keeps its files: the first application-local data
// location, named after the program.
namespace DataDirectory {
QString path();
// Creates the directory when missing; false when it cannot be created.
bool ensure();
QString settingsFile(); // "settings.cfg"
QString optionsFile();  // "options.ini"
QString databaseFile(); // "diveDB.db"
} // namespace DataDirectory

// Keys of "settings.cfg".
namespace SettingsKey {
inline const QString lastDiveFile = QStringLiteral("directories/lastDiveFile");
inline const QString lastPlanFile = QStringLiteral("directories/lastPlanFile");
inline const QString lastExportDir = QStringLiteral("directories/lastExportDir");
inline const QString lastFirmwares = QStringLiteral("directories/lastFirmwares");
inline const QString lastSyslogDir = QStringLiteral("directories/lastSyslogDir");
inline const QString csvSeparator = QStringLiteral("export/csvSeparator");
} // namespace SettingsKey

// The field separator of CSV export. The menu order (comma, dot, semicolon)
// differs from the values that "settings.cfg" has always stored.
namespace CsvSeparator {
enum Choice { Comma = 0, Dot = 1, Semicolon = 2 };
Choice choiceFromStored(const QVariant& stored);
int storedFromChoice(Choice choice);
QChar character(Choice choice);
} // namespace CsvSeparator

// Feature switches of "options.ini": a value of exactly 1 turns one on.
struct OptionSwitches
{
    bool simulation = false;         // "hidden/simulation"
    bool planificationAddOn = false; // "hidden/planificationaddon"
    bool planification = false;      // "hidden/planification"
    bool import = false;             // "hidden/import"

    static OptionSwitches read(const QString& iniPath);
    // Every feature on.
    static OptionSwitches allOn();
    // The switches the program applies: every one in demo mode, so that a
    // user trying the program sees all of it, else those of the file.
    static OptionSwitches inForce(const QString& iniPath, bool demoMode);
};
