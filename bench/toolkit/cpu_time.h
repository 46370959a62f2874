// Timing for the toolkit benchmarks: the best of three runs in process CPU
// time, so that other work on a shared machine skews it less.
#pragma once

#include <time.h>

#include <functional>

inline double best_seconds(const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        timespec t0{}, t1{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t0);
        run();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t1);
        const double s = double(t1.tv_sec - t0.tv_sec) + 1e-9 * double(t1.tv_nsec - t0.tv_nsec);
        if (s < best) best = s;
    }
    return best;
}
