// The statements the account statement runs, built from SQL literals.
#pragma once

#include <QDateTime>
#include <QString>

namespace orla {

// The accounts a user may list: the active ones, and of those the protected ones only for a
// user with the right to every account.
QString AccountListQuery(bool allAccounts);

// "SELECT * FROM tbContas_Bancarias WHERE conta_id = " and the account literal.
QString AccountQuery(const QString& account);

// The literal of a period bound: the day of `date` at 0:00:00 (kind 1) or,
// for the end, at 23:59:59 (kind 5), as the statement writes them.
QString StartBound(const QDateTime& date);
QString EndBound(const QDateTime& date);

// The sum of the movements before the start and from the balance date on.
QString OpeningBalanceQuery(const QString& account, const QString& start,
                            const QString& balanceDate, bool unreconciledOnly);

// The movements of the period, oldest first; paymentMode empty for all.
QString MovementsQuery(const QString& account, const QString& start, const QString& end,
                       const QString& paymentMode, bool unreconciledOnly);

}  // namespace orla
