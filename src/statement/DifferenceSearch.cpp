#include "statement/DifferenceSearch.h"

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

// A set of at most three indices packed 21 bits each, for the halves kept in memory.
quint64 Packed(const std::vector<int>& set) {
    quint64 packed = 0;
    for (const int i : set)
        packed = (packed << 21) | quint64(i + 1);
    return packed;
}

std::vector<int> Unpacked(quint64 packed) {
    std::vector<int> set;
    for (; packed; packed >>= 21)
        set.push_back(int(packed & 0x1FFFFF) - 1);
    return set;
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
        // Sets of the smaller half sorted by their sums; each set of the larger half looks up
        // the rest.
        const int half = size / 2;
        std::vector<std::pair<qint64, quint64>> halves;
        bool complete = ForEachSet(
            cents, half,
            [&](const std::vector<int>& set, qint64 sum) {
                halves.emplace_back(sum, Packed(set));
                return true;
            },
            deadline);
        std::sort(halves.begin(), halves.end());
        if (complete)
            complete = ForEachSet(
                cents, size - half,
                [&](const std::vector<int>& set, qint64 sum) {
                    const qint64 rest = target.Units() - sum;
                    auto it = std::lower_bound(halves.begin(), halves.end(),
                                               std::pair<qint64, quint64>(rest, 0));
                    for (; it != halves.end() && it->first == rest; ++it) {
                        const std::vector<int> other = Unpacked(it->second);
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
