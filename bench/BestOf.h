// The best of a few timed rounds, in milliseconds: the figure least disturbed
// by whatever else the machine is doing.
#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>

inline double BestOf(const std::function<void()>& run, int rounds = 3) {
    double best = 1e12;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}
