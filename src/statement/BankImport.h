// Reconciling an account against its bank's statement: the account's movements read for
// matching, and the accepted pairs reconciled with the bank's booking dates, all or nothing.
#pragma once

#include "platform/db/Connection.h"
#include "statement/BankMatching.h"

#include <QStringList>

#include <optional>

namespace orla {

struct BookMovements {
    std::vector<BookMovement> movements;  // oldest first
    Money opening;                        // the account's balance on its balance date
    bool system = false;                  // the account is the system's: nothing is reconciled
};

// The statement in the bank's file of the account: a CSV read with the layout remembered for
// the account, else with the one detected. Throws OrlaError, saying which file cannot be read.
BankStatement ReadAccountBankFile(const QString& path, qint64 account);

// Why the statement in the file at `path` is refused for the account: its IBAN is another's (a
// file or an account without one is taken). Empty when it is taken. Throws OrlaError.
QString OtherAccountRefusal(Connection& connection, qint64 account, const BankStatement& statement,
                            const QString& path);

// The account's movements from its balance date to `until`. Throws OrlaError.
BookMovements ReadBookMovements(Connection& connection, qint64 account, const QDate& until);

// The account's balance counting only the movements reconciled, or paired as accepted, up to
// `day`: what the bank's statement should show as its closing balance that day.
Money ReconciledBalance(const BookMovements& book, const std::vector<BankPair>& pairs,
                        const QDate& day);

// A pair ApplyBankPairs wrote: the bank line's index and the bank date its movement took.
struct AppliedPair {
    int line = 0;
    QDate bankDate;
};

// Reconciles the movements of the accepted pairs, each with its bank line's booking date, by
// the rules of a manual tick (the account's closing date; movements not subject to
// reconciliation are paired but not written), in one transaction. The refusals, one per
// line, with nothing written when there is any; otherwise what was written, in `applied` when
// given. Throws OrlaError, with nothing written.
QStringList ApplyBankPairs(Connection& connection, qint64 account, const QList<BankLine>& lines,
                           const BookMovements& book, const std::vector<BankPair>& pairs,
                           std::vector<AppliedPair>* applied = nullptr);

}  // namespace orla
