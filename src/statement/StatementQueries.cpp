#include "statement/StatementQueries.h"

#include "common/Format.h"
#include "common/SqlLiterals.h"

namespace orla {

QString AccountListQuery(bool allAccounts) {
    return allAccounts ? QStringLiteral(
                             "SELECT * FROM vwContas_Bancarias WHERE (inactivo = 0 OR "
                             "inactivo is null) ORDER BY descrit2")
                       : QStringLiteral(
                             "SELECT * FROM vwContas_Bancarias WHERE (inactivo = 0 OR "
                             "inactivo is null) AND (protected = 0 OR protected is "
                             "null) ORDER BY descrit2");
}

QString AccountQuery(const std::optional<qint64>& account) {
    return QStringLiteral("SELECT * FROM tbContas_Bancarias WHERE conta_id = ") + SqlKey(account);
}

QString StartBound(const QDate& date) {
    return SqlValue(Format(date, QStringLiteral("yyyy-mm-dd")) + QStringLiteral(" 0:00:00"),
                    SqlDate);
}

QString EndBound(const QDate& date) {
    return SqlValue(Format(date, QStringLiteral("yyyy-mm-dd")) + QStringLiteral(" 23:59:59"),
                    SqlDateTime);
}

QString OpeningBalanceQuery(const std::optional<qint64>& account, const QString& start,
                            const QString& balanceDate, bool unreconciledOnly) {
    if (unreconciledOnly)
        return QStringLiteral(
                   "SELECT SUM(ROUND(debito,2) - ROUND(credito,2)) as saldo FROM "
                   "vwExtractos_Contas_Bancarias WHERE conta_id = ") +
               SqlKey(account) + QStringLiteral(" AND data < ") + start +
               QStringLiteral(" AND data >= ") + balanceDate + QStringLiteral(" AND concil = 0");
    return QStringLiteral(
               "SELECT SUM(ROUND(CAST(debito as money),2)) - SUM(ROUND(CAST(credito as money),2)) "
               "as saldo FROM vwExtractos_Contas_Bancarias WHERE conta_id = ") +
           SqlKey(account) + QStringLiteral(" AND data < ") + start +
           QStringLiteral(" AND data >= ") + balanceDate;
}

QString MovementsQuery(const std::optional<qint64>& account, const QString& start,
                       const QString& end, const std::optional<qint64>& paymentMode,
                       bool unreconciledOnly) {
    QString sql = QStringLiteral("SELECT * FROM vwExtractos_Contas_Bancarias WHERE conta_id = ") +
                  SqlKey(account) + QStringLiteral(" AND data >= ") + start +
                  QStringLiteral(" AND data <=") + end;
    if (paymentMode)
        sql += QStringLiteral(" AND modo_pagamento_id = ") + SqlKey(paymentMode);
    if (unreconciledOnly)
        sql += QStringLiteral(" AND concil = 0");
    return sql + QStringLiteral(" ORDER BY data, concil DESC, doc_id");
}

}  // namespace orla
