#pragma once

namespace divetool {

class ParsedArguments;

// divetool info FILE...
int runInfo(const ParsedArguments& arguments, bool json);
// divetool convert [--csv-separator S] IN OUT
int runConvert(const ParsedArguments& arguments, bool json);

} // namespace divetool
