// Reads an account's statement from the database into plain rows: the
// account, the opening balance and the movements with the running balance.
#pragma once

#include "statement/StatementRows.h"

#include <QDateTime>

#include <optional>

namespace orla {

class Connection;

struct AccountInfo {
    bool found = false;
    Money saldo;
    std::optional<QDateTime> saldoData;
    bool system = false;
    QString iban;
};

struct StatementRequest {
    std::optional<qint64> account;  // none when no account is chosen
    QDate inicio;                   // period, already moved to the balance date
    QDate fim;
    std::optional<qint64> paymentMode;  // none for every method
    bool ignorarAnteriores = false;
    bool concilOnly = false;
};

// The account's row of tbContas_Bancarias. Throws OrlaError.
AccountInfo ReadAccount(Connection& connection, const std::optional<qint64>& account);

// The period moved up to the account's balance date: a statement never starts before it.
void ClampToBalanceDate(const AccountInfo& account, QDate& inicio, QDate& fim);

// Reads the statement into `out` (rows already read stay when it throws
// OrlaError). `today` decides which movements are future.
void ReadStatement(Connection& connection, const StatementRequest& request,
                   const AccountInfo& account, const QDate& today, Statement& out);

}  // namespace orla
