// The value search of the statement list ("Procurar" and F3): what the user typed,
// read once, and whether a row holds it.
#pragma once

#include "statement/StatementRows.h"

#include <QString>

#include <optional>

namespace orla {

struct SearchTerm {
    QString text;
    // The amount the text reads as, when it reads as one (see ReadSearchTerm).
    std::optional<Money> amount;
    bool exact = false;   // typed with more than two decimals: every decimal counts
    bool anySign = true;  // typed without a sign: amounts of either sign match
};

// The search as typed. The text reads as an amount when it is digits with an optional
// sign and "€" around them, grouped or not: the locale's decimal mark with up to four
// decimals, groups of three after the first split by blanks (no-break ones too), the
// locale's group separator or the other of "," and "." ("1062,93", "1 062,93" and
// "€ 1.062,93" in pt_PT). Anything else, "12.50" among them, is only a text.
SearchTerm ReadSearchTerm(const QString& typed);

// Whether a row holds the term: a visible cell contains its text, capitals or not, or the
// debit, credit or balance is its amount as the list shows it (to the cent). Hidden values
// (store and document numbers, the time of the date) are not looked at.
bool RowHolds(const StatementRow& row, const SearchTerm& term);

}  // namespace orla
