#pragma once

// The end of every benchmark program's main, once its application object and
// fixtures exist: parse the benchmark arguments, run, report.

#include <QLoggingCategory>

#include <benchmark/benchmark.h>

namespace BenchMain {

// 0 when the benchmarks ran; 1 when an argument was not understood.
inline int runBenchmarks(int& argc, char** argv)
{
    // Debug traces (the link's, for one) would bury the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace BenchMain
