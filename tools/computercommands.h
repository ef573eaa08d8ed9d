#pragma once

#include <QString>

namespace divetool {

class ParsedArguments;

// divetool computer info | dives | download DB [--all] | owner [NAME] |
// time [--set]: talks to the first dive computer found, or to the simulated
// one when `demo` is set.
int runComputer(const QString& action, const ParsedArguments& arguments, bool json, bool demo);

} // namespace divetool
