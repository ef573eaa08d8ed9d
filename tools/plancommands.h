#pragma once

namespace divetool {

class ParsedArguments;

// divetool plan [options] (FILE | --profile "SECONDS:METRES,...")
int runPlan(const ParsedArguments& arguments, bool json);
// divetool ndl --depth METRES [options]
int runNdl(const ParsedArguments& arguments, bool json);

} // namespace divetool
