// Reconciling an account against its bank's statement: the account's movements read for
// matching, and the accepted pairs reconciled with the bank's booking dates, all or nothing.
#pragma once

#include "platform/db/Connection.h"
#include "statement/BankMatching.h"

#include <QStringList>

namespace orla {

struct BookMovements {
    std::vector<BookMovement> movements;  // oldest first
    Money opening;                        // the account's balance on its balance date
    bool system = false;                  // the account is the system's: nothing is reconciled
};

// The account's movements from its balance date to `until`. Throws OrlaError.
BookMovements ReadBookMovements(Connection& connection, qint64 account, const QDate& until);

// The account's balance counting only the movements reconciled, or paired as accepted, up to
// `day`: what the bank's statement should show as its closing balance that day.
Money ReconciledBalance(const BookMovements& book, const std::vector<BankPair>& pairs,
                        const QDate& day);

// Reconciles the movements of the accepted pairs, each with its bank line's booking date, by
// the rules of a manual tick (the account's closing date; movements not subject to
// reconciliation are paired but not written), in one transaction. The refusals, one per
// line, with nothing written when there is any. Throws OrlaError, with nothing written.
QStringList ApplyBankPairs(Connection& connection, qint64 account, const QList<BankLine>& lines,
                           const BookMovements& book, const std::vector<BankPair>& pairs);

}  // namespace orla
