#pragma once

// The main of the profile benchmarks: an offscreen application with the
// program's icons registered, then the benchmarks.

#include "profiletestutil.h"
#include "runbenchmarks.h"

#include <QApplication>

inline int runProfileBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProfileTest::registerIcons();
    return BenchMain::runBenchmarks(argc, argv);
}
