#pragma once

#include <QString>

namespace divetool {

class ParsedArguments;
struct DemoSetting;

// divetool computer info | dives | download DB [--all] | owner [NAME] |
// time [--set]: talks to the first dive computer found, or to the simulated
// one when `demo` is on.
int runComputer(const QString& action, const ParsedArguments& arguments, bool json, const DemoSetting& demo);

} // namespace divetool
