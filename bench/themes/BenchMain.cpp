// The themes' benchmarks run on the offscreen platform with one theme runtime, as the program's windows do.

#include "themes/ThemeRuntime.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ovrel::themes::TThemeRuntime runtime;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
