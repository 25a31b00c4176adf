// What explains a difference between the bank's balance and the books: the smallest set of
// amounts that add up to it exactly, found by meeting halves in the middle, within a time limit.
#pragma once

#include "common/Money.h"

#include <chrono>
#include <vector>

namespace orla {

struct ExactSubset {
    std::vector<int> members;  // indices into the amounts, when found
    bool found = false;
    bool timedOut = false;  // gave up before every size up to the largest was tried
};

// The fewest amounts (at most maxSize, at most six) whose sum is exactly `target`.
ExactSubset SmallestExactSubset(const std::vector<Money>& amounts, Money target,
                                std::chrono::milliseconds limit, int maxSize = 6);

}  // namespace orla
