// Stopwatch and medians: every figure is the median of several runs, so that a busy machine
// disturbs single runs rather than the result.
#pragma once
#include <windows.h>
#include <functional>

double NowSeconds();

struct Comparison {
    double real = 0;   // seconds per operation, median
    double floor = 0;
    double ratio = 0;  // median of each run's real against the floor measured beside it
    double Ratio() const { return ratio; }
};

// Runs real and floor alternately, each batch `iterations` times, `runs` batches each; before
// the batch, prepare (if given) runs untimed. Returns the medians of the per-operation times and
// of the runs' ratios: a pair is measured back to back, so a machine that slows down for a while
// moves both of its times together.
Comparison Compare(const std::function<void()>& real, const std::function<void()>& floor, int runs, int iterations,
                   const std::function<void()>& prepare = nullptr);
// Iterations that make one batch of the slower of the two last about targetSeconds (at least 1).
int IterationsFor(const std::function<void()>& op, const std::function<void()>& other, double targetSeconds);
