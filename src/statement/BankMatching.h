// Pairing the lines of a bank's statement with the account's movements: same amount, same
// side, dates close; a movement is never paired twice and a line that fits several movements
// equally is left for the user.
#pragma once

#include "bankfiles/BankStatement.h"
#include "statement/ReconciliationStatements.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace orla {

// A movement of the account as matching sees it.
struct BookMovement {
    SourceRecord record;
    QString key;   // the statement row's key
    QDate date;    // the movement's date
    Money amount;  // what it adds to the balance: positive when money comes in
    bool reconciled = false;
    QString documento;  // document number and reference, looked for in the bank's text
    QString referencia;
    QString entidade;  // shown beside them
};

enum class PairState {
    None,        // not paired
    Proposed,    // found by matching, not yet accepted
    Accepted,    // accepted or paired by hand: confirming reconciles it
    Reconciled,  // the movement was reconciled already: nothing to do
};

struct BankPair {
    PairState state = PairState::None;
    std::optional<int> movement;  // index into the movements
    bool ambiguous = false;       // several movements fit equally: left for the user
};

// Whether a line and a movement can be paired at all: the same amount on the same side (money
// into the account is a credit on the bank's statement and a debit in the books).
bool SameAmountAndSide(const BankLine& line, const BookMovement& movement);

// One pair per line, in the lines' order. A line already reconciled in the books (a reconciled
// movement of the same amount and side within the window) is recognised first; the others
// take the unreconciled movements, preferring the exact date, then a document number or
// reference found in the bank's text, then the nearest date.
std::vector<BankPair> MatchBankLines(const QList<BankLine>& lines,
                                     const std::vector<BookMovement>& movements,
                                     int windowDays = 4);

}  // namespace orla
