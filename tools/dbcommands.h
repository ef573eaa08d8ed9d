#pragma once

#include <QString>

namespace divetool {

class ParsedArguments;

// divetool db import | list | show | export | delete | rename, on the logbook
// file given as first argument; `action` is the word after "db".
int runDb(const QString& action, const ParsedArguments& arguments, bool json);

} // namespace divetool
