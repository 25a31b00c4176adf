#include "statement/BankMatching.h"

#include <QHash>

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

bool Better(const Candidate& a, const Candidate& b) {
    return a.fit < b.fit;
}

}  // namespace

bool SameAmountAndSide(const BankLine& line, const BookMovement& movement) {
    return movement.amount == (line.credit ? line.amount : -line.amount);
}

std::vector<BankPair> MatchBankLines(const QList<BankLine>& lines,
                                     const std::vector<BookMovement>& movements, int windowDays) {
    // The movements by what they add to the balance, so a line looks only at its own amount.
    QHash<qint64, std::vector<int>> byAmount;
    for (int m = 0; m < int(movements.size()); ++m)
        byAmount[movements[m].amount.Units()].push_back(m);
    // Each line's pairings that the amounts, sides and dates allow, best first; and all of them.
    std::vector<std::vector<Candidate>> ofLine(lines.size());
    std::vector<Candidate> candidates;
    for (int l = 0; l < int(lines.size()); ++l) {
        const BankLine& line = lines[l];
        const Money wanted = line.credit ? line.amount : -line.amount;
        for (const int m : byAmount.value(wanted.Units()))
            if (qAbs(movements[m].date.daysTo(line.booking)) <= windowDays)
                ofLine[l].push_back({FitOf(line, movements[m]), l, m});
        std::stable_sort(ofLine[l].begin(), ofLine[l].end(), Better);
        candidates.insert(candidates.end(), ofLine[l].begin(), ofLine[l].end());
    }
    std::stable_sort(candidates.begin(), candidates.end(), Better);

    std::vector<BankPair> pairs(lines.size());
    std::vector<bool> taken(movements.size(), false);
    // Reconciled movements first, so that a file imported again finds its lines done; then the
    // others. A line takes its best free movement unless another free one fits it as well.
    for (const bool reconciled : {true, false}) {
        for (const Candidate& c : candidates) {
            if (pairs[c.line].state != PairState::None || pairs[c.line].ambiguous ||
                taken[c.movement] || movements[c.movement].reconciled != reconciled)
                continue;
            const bool tie = !reconciled &&
                             std::any_of(ofLine[c.line].begin(), ofLine[c.line].end(),
                                         [&](const Candidate& other) {
                                             return other.movement != c.movement &&
                                                    other.fit == c.fit && !taken[other.movement] &&
                                                    !movements[other.movement].reconciled;
                                         });
            if (tie) {
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
