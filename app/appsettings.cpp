#include "app/appsettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace DataDirectory {

QString path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

bool ensure()
{
    const QString dir = path();
    return !dir.isEmpty() && QDir().mkpath(dir);
}

QString settingsFile()
{
    return QDir(path()).filePath(QStringLiteral("settings.cfg"));
}

QString optionsFile()
{
    return QDir(path()).filePath(QStringLiteral("options.ini"));
}

QString databaseFile()
{
    return QDir(path()).filePath(QStringLiteral("diveDB.db"));
}

} // namespace DataDirectory

namespace CsvSeparator {

Choice choiceFromStored(const QVariant& stored)
{
    bool ok = false;
    const int value = stored.toInt(&ok);
    if (ok && value == 1)
        return Comma;
    if (ok && value == 2)
        return Semicolon;
    return Dot;
}

int storedFromChoice(Choice choice)
{
    switch (choice) {
    case Comma: return 1;
    case Semicolon: return 2;
    case Dot: break;
    }
    return 0;
}

QChar character(Choice choice)
{
    switch (choice) {
    case Comma: return u',';
    case Semicolon: return u';';
    case Dot: break;
    }
    return u'.';
}

} // namespace CsvSeparator

OptionSwitches OptionSwitches::read(const QString& iniPath)
{
    const QSettings ini(iniPath, QSettings::IniFormat);
    const auto on = [&ini](const char* key) {
        bool ok = false;
        const int value = ini.value(QLatin1String(key)).toInt(&ok);
        return ok && value == 1;
    };
    OptionSwitches switches;
    switches.simulation = on("hidden/simulation");
    switches.planificationAddOn = on("hidden/planificationaddon");
    switches.planification = on("hidden/planification");
    switches.import = on("hidden/import");
    return switches;
}

OptionSwitches OptionSwitches::allOn()
{
    OptionSwitches switches;
    switches.simulation = true;
    switches.planificationAddOn = true;
    switches.planification = true;
    switches.import = true;
    return switches;
}

OptionSwitches OptionSwitches::inForce(const QString& iniPath, bool demoMode)
{
    return demoMode ? allOn() : read(iniPath);
}
