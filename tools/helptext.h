#pragma once

#include <QString>
#include <QStringList>

namespace divetool {

// Every command word the tool knows: "info", "convert", "db import", ...
QStringList commandNames();

// The whole help: every command with its options, the common options, the
// JSON output and the exit statuses.
QString generalHelp();
// The help of one command ("plan", "db list", or "db" for all db commands);
// empty for an unknown command.
QString commandHelp(const QString& command);

} // namespace divetool
