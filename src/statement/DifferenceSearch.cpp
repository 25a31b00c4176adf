#include "statement/DifferenceSearch.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace orla {
namespace {

using Clock = std::chrono::steady_clock;

// Every set of `size` indices in increasing order, handed to `visit` with its sum, until
// `visit` answers false or time runs out; false when it stopped early.
bool ForEachSet(const std::vector<qint64>& cents, int size,
                const std::function<bool(const std::vector<int>&, qint64)>& visit,
                Clock::time_point deadline) {
    const int n = int(cents.size());
    if (size == 0)
        return visit({}, 0);
    std::vector<int> set(size);
    for (int i = 0; i < size; ++i)
        set[i] = i;
    std::size_t visited = 0;
    while (true) {
        qint64 sum = 0;
        for (const int i : set)
            sum += cents[i];
        if (!visit(set, sum))
            return false;
        if (++visited % 4096 == 0 && Clock::now() > deadline)
            return false;
        int i = size - 1;
        while (i >= 0 && set[i] == n - size + i)
            --i;
        if (i < 0)
            return true;
        ++set[i];
        for (int j = i + 1; j < size; ++j)
            set[j] = set[j - 1] + 1;
    }
}

bool Disjoint(const std::vector<int>& a, const std::vector<int>& b) {
    return std::none_of(a.begin(), a.end(),
                        [&b](int i) { return std::find(b.begin(), b.end(), i) != b.end(); });
}

}  // namespace

ExactSubset SmallestExactSubset(const std::vector<Money>& amounts, Money target,
                                std::chrono::milliseconds limit, int maxSize) {
    const Clock::time_point deadline = Clock::now() + limit;
    std::vector<qint64> cents;
    for (const Money& amount : amounts)
        cents.push_back(amount.Units());
    ExactSubset result;
    for (int size = 1; size <= std::min(maxSize, int(cents.size())); ++size) {
        // Sets of the smaller half by their sums; each set of the larger half looks up the rest.
        const int half = size / 2;
        QHash<qint64, std::vector<std::vector<int>>> halves;
        bool complete = ForEachSet(
            cents, half,
            [&](const std::vector<int>& set, qint64 sum) {
                halves[sum].push_back(set);
                return true;
            },
            deadline);
        if (complete)
            complete = ForEachSet(
                cents, size - half,
                [&](const std::vector<int>& set, qint64 sum) {
                    const auto found = halves.constFind(target.Units() - sum);
                    if (found == halves.constEnd())
                        return true;
                    for (const std::vector<int>& other : *found) {
                        if (Disjoint(set, other)) {
                            result.members = set;
                            result.members.insert(result.members.end(), other.begin(), other.end());
                            std::sort(result.members.begin(), result.members.end());
                            result.found = true;
                            return false;
                        }
                    }
                    return true;
                },
                deadline);
        if (result.found)
            return result;
        if (!complete) {
            result.timedOut = true;
            return result;
        }
    }
    return result;
}

}  // namespace orla
