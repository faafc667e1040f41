#ifndef BENCHMARKRUN_H
#define BENCHMARKRUN_H

#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside the application object Application (the Qt
// event loop and its platform are there for the benchmarks that need them).
template<typename Application>
int runBenchmarks(int &argc, char **argv)
{
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#endif // BENCHMARKRUN_H
