#include "Timing.h"
#include <algorithm>
#include <vector>

double NowSeconds()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TimeBatch(const std::function<void()>& op, int iterations, const std::function<void()>& prepare)
{
    if (prepare)
        prepare();
    double start = NowSeconds();
    for (int i = 0; i < iterations; ++i)
        op();
    return (NowSeconds() - start) / iterations;
}

}

Comparison Compare(const std::function<void()>& real, const std::function<void()>& floor, int runs, int iterations,
                   const std::function<void()>& prepare)
{
    std::vector<double> reals, floors;
    for (int run = 0; run < runs; ++run) {
        // Alternate which goes first, so that neither always runs on a warmer cache.
        if (run % 2) {
            floors.push_back(TimeBatch(floor, iterations, prepare));
            reals.push_back(TimeBatch(real, iterations, prepare));
        } else {
            reals.push_back(TimeBatch(real, iterations, prepare));
            floors.push_back(TimeBatch(floor, iterations, prepare));
        }
    }
    std::vector<double> ratios;
    for (size_t i = 0; i < reals.size(); ++i)
        if (floors[i] > 0)
            ratios.push_back(reals[i] / floors[i]);
    Comparison result;
    result.real = Median(reals);
    result.floor = Median(floors);
    result.ratio = ratios.empty() ? 0 : Median(ratios);
    return result;
}

namespace {

double TimeOnce(const std::function<void()>& op)
{
    op();  // warm up: first loads and caches
    double start = NowSeconds();
    op();
    return NowSeconds() - start;
}

}

int IterationsFor(const std::function<void()>& op, const std::function<void()>& other, double targetSeconds)
{
    double once = std::max(TimeOnce(op), TimeOnce(other));
    if (once <= 0)
        return 1000;
    int iterations = int(targetSeconds / once);
    return iterations < 1 ? 1 : iterations;
}
