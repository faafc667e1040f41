#ifndef MEASURED_H
#define MEASURED_H

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include <cstdlib>

// Two ways to run a benchmark. Timed: five repetitions of Google Benchmark's own timing
// run. Counted (scripts/bench.sh --summary): one run under callgrind of a fixed number of
// operations, pass 1 or 2 in VORN_BENCH_PASS, where pass p makes p times the benchmark's
// operations and callgrind counts only the instructions of the benchmark loop. The
// difference of the two passes, divided by the operations, is one operation without its
// set-up and without whatever only the first operations pay (lazy initialisation, first
// allocations).
namespace Measured {

// 0 for a timed run, else the counting pass.
inline int pass()
{
    const char *pass = std::getenv("VORN_BENCH_PASS");
    return pass ? std::atoi(pass) : 0;
}

// The runs of a benchmark that makes `Operations` operations per counting pass; for
// registrations: BENCHMARK(name)->Apply(Measured::runs<1000>).
template<int Operations>
void runs(benchmark::internal::Benchmark *benchmark)
{
    if (const int counting = pass())
        benchmark->Iterations(benchmark::IterationCount(Operations) * counting);
    else
        benchmark->Repetitions(5)->ReportAggregatesOnly(true);
}

// The benchmark loop with callgrind counting while it runs:
// for (auto _ : Measured::loop(state)) ...
class Loop
{
public:
    class Iterator
    {
    public:
        explicit Iterator(benchmark::State::StateIterator iterator) : m_iterator(iterator) { }
        benchmark::State::StateIterator::Value operator*() const { return *m_iterator; }
        Iterator &operator++()
        {
            ++m_iterator;
            return *this;
        }
        bool operator!=(const Iterator &end)
        {
            if (m_iterator != end.m_iterator)
                return true;
            CALLGRIND_TOGGLE_COLLECT;
            CALLGRIND_STOP_INSTRUMENTATION;
            return false;
        }

    private:
        benchmark::State::StateIterator m_iterator;
    };

    explicit Loop(benchmark::State &state) : m_state(state) { }

    Iterator begin() { return Iterator(m_state.begin()); }
    // The range-based for takes the end after the beginning, just before the first
    // operation: the count starts here.
    Iterator end()
    {
        const Iterator end(m_state.end());
        CALLGRIND_START_INSTRUMENTATION;
        CALLGRIND_TOGGLE_COLLECT;
        return end;
    }

private:
    benchmark::State &m_state;
};

inline Loop loop(benchmark::State &state)
{
    return Loop(state);
}

} // namespace Measured

#endif // MEASURED_H
