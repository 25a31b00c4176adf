#include "statement/BankMatching.h"

#include <algorithm>
#include <tuple>

namespace orla {
namespace {

// How well a movement fits a line: lower is better.
using Fit = std::tuple<int, int, qint64>;  // not the exact date, no reference found, days apart

bool Mentions(const BankLine& line, const QString& word) {
    const QString wanted = word.simplified();
    if (wanted.size() < 3)
        return false;
    return line.text.contains(wanted, Qt::CaseInsensitive) ||
           line.reference.contains(wanted, Qt::CaseInsensitive);
}

Fit FitOf(const BankLine& line, const BookMovement& movement) {
    const qint64 days = qAbs(movement.date.daysTo(line.booking));
    const bool mentioned =
        Mentions(line, movement.documento) || Mentions(line, movement.referencia);
    return {days == 0 ? 0 : 1, mentioned ? 0 : 1, days};
}

struct Candidate {
    Fit fit;
    int line;
    int movement;
};

}  // namespace

bool SameAmountAndSide(const BankLine& line, const BookMovement& movement) {
    return movement.amount == (line.credit ? line.amount : -line.amount);
}

std::vector<BankPair> MatchBankLines(const QList<BankLine>& lines,
                                     const std::vector<BookMovement>& movements, int windowDays) {
    std::vector<BankPair> pairs(lines.size());
    std::vector<bool> taken(movements.size(), false);
    // Every pairing that the amounts, sides and dates allow, best first.
    std::vector<Candidate> candidates;
    for (int l = 0; l < int(lines.size()); ++l)
        for (int m = 0; m < int(movements.size()); ++m)
            if (SameAmountAndSide(lines[l], movements[m]) &&
                qAbs(movements[m].date.daysTo(lines[l].booking)) <= windowDays)
                candidates.push_back({FitOf(lines[l], movements[m]), l, m});
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.fit < b.fit; });

    // Reconciled movements first, so that a file imported again finds its lines done; then the
    // others. A line takes its best free movement unless another free one fits it as well.
    for (const bool reconciled : {true, false}) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const Candidate& c = candidates[i];
            if (pairs[c.line].state != PairState::None || pairs[c.line].ambiguous ||
                taken[c.movement] || movements[c.movement].reconciled != reconciled)
                continue;
            const bool tie = std::any_of(
                candidates.begin() + i + 1, candidates.end(), [&](const Candidate& other) {
                    return other.line == c.line && other.fit == c.fit && !taken[other.movement] &&
                           movements[other.movement].reconciled == reconciled;
                });
            if (tie && !reconciled) {
                pairs[c.line].ambiguous = true;
                continue;
            }
            pairs[c.line] = {reconciled ? PairState::Reconciled : PairState::Proposed, c.movement,
                             false};
            taken[c.movement] = true;
        }
    }
    return pairs;
}

}  // namespace orla
