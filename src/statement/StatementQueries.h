// The statements the account statement runs, built from SQL literals.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace orla {

// The accounts a user may list: the active ones, and of those the protected ones only for a
// user with the right to every account.
QString AccountListQuery(bool allAccounts);

// "SELECT * FROM tbContas_Bancarias WHERE conta_id = " and the account literal.
QString AccountQuery(const std::optional<qint64>& account);

// The literal of a period bound: the day of `date` at 0:00:00 (kind 1) or,
// for the end, at 23:59:59 (kind 5), as the statement writes them.
QString StartBound(const QDate& date);
QString EndBound(const QDate& date);

// The sum of the movements before the start and from the balance date on.
QString OpeningBalanceQuery(const std::optional<qint64>& account, const QString& start,
                            const QString& balanceDate, bool unreconciledOnly);

// The movements of the period, oldest first; every payment method for none.
QString MovementsQuery(const std::optional<qint64>& account, const QString& start,
                       const QString& end, const std::optional<qint64>& paymentMode,
                       bool unreconciledOnly);

}  // namespace orla
