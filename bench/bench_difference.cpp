// The difference search over 200 open movements: a difference made of four of them, and one
// that no combination makes (the search runs to its limit). The floor is one pass summing the
// amounts in the same run.
#include "BestOf.h"
#include "statement/DifferenceSearch.h"

#include <QRandomGenerator>

#include <cstdio>

using namespace orla;

int main() {
    QRandomGenerator random(2026);
    std::vector<Money> amounts;
    for (int i = 0; i < 200; ++i)
        amounts.push_back(*Money::FromVariant(QString::number(
            (random.bounded(2) ? 1 : -1) * (1 + random.bounded(500000)) / 100.0, 'f', 2)));
    const Money four = amounts[3] + amounts[50] + amounts[120] + amounts[199];
    Money total;
    const double floor = BestOf([&] {
        for (const Money& amount : amounts)
            total += amount;
    });
    ExactSubset found, none;
    const double explained = BestOf(
        [&] { found = SmallestExactSubset(amounts, four, std::chrono::milliseconds(2000)); }, 1);
    const double unexplained = BestOf(
        [&] {
            none = SmallestExactSubset(amounts, *Money::FromVariant("0.001"),
                                       std::chrono::milliseconds(2000));
        },
        1);
    std::printf(
        "difference search, 200 open movements: four of them %.0f ms (found %zu), "
        "none %.0f ms (timed out: %s); floor %.4f ms\n",
        explained, found.members.size(), unexplained, none.timedOut ? "yes" : "no", floor);
    return found.found ? 0 : 1;
}
