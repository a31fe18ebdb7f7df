#pragma once
// Side-by-side timing for the benchmarks: every iteration times the engine and raw SQLite doing
// the same work, in alternating order, so a loaded machine slows both alike. The figures are
// reported as counters: milliseconds of each side per iteration and their ratios (engine/raw),
// on process CPU time (steadiest under load) and on wall time. The two sides can be given other
// names for the counters (the ratio is still first side / second side).

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <string>

class SideBySide {
public:
    explicit SideBySide(benchmark::State& state, std::string first = "engine", std::string second = "raw")
        : state_(state), first_(std::move(first)), second_(std::move(second))
    {
    }

    // Runs both sides once; which goes first alternates from call to call.
    template <class Engine, class Raw>
    void run(Engine&& engine, Raw&& raw)
    {
        if (turn_++ % 2 == 0) {
            time(raw, raw_);
            time(engine, engine_);
        } else {
            time(engine, engine_);
            time(raw, raw_);
        }
    }

    void report()
    {
        const double n = turn_ ? double(turn_) : 1.0;
        state_.counters[first_ + "_ms"] = engine_.cpu / n * 1e3;
        state_.counters[second_ + "_ms"] = raw_.cpu / n * 1e3;
        state_.counters["x_cpu"] = raw_.cpu > 0 ? engine_.cpu / raw_.cpu : 0;
        state_.counters["x_wall"] = raw_.wall > 0 ? engine_.wall / raw_.wall : 0;
    }

private:
    struct Total {
        double cpu = 0, wall = 0;
    };

    static double cpuNow()
    {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
    }

    template <class F>
    static void time(F& f, Total& t)
    {
        const double c0 = cpuNow();
        const auto w0 = std::chrono::steady_clock::now();
        f();
        t.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        t.cpu += cpuNow() - c0;
    }

    benchmark::State& state_;
    std::string first_, second_;
    Total engine_, raw_;
    unsigned turn_ = 0;
};

// The run a closing ratio reads: the median when repetitions were asked for, else the run itself.
inline bool isFigureRun(const benchmark::BenchmarkReporter::Run& r)
{
    return r.run_type != benchmark::BenchmarkReporter::Run::RT_Aggregate || r.aggregate_name == "median";
}
