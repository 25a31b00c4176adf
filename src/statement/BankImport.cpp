#include "statement/BankImport.h"

#include "common/Format.h"
#include "platform/db/Values.h"
#include "statement/Reconciliation.h"
#include "statement/StatementReader.h"

namespace orla {

BookMovements ReadBookMovements(Connection& connection, qint64 account, const QDate& until) {
    StatementRequest request;
    request.account = account;
    const AccountInfo info = ReadAccount(connection, request.account);
    request.inicio = QDate(1900, 1, 1);
    request.fim = until;
    ClampToBalanceDate(info, request.inicio, request.fim);
    Statement statement;
    ReadStatement(connection, request, info, QDate::currentDate(), statement);
    BookMovements book;
    book.opening = info.saldo;
    book.system = info.system;
    for (auto row = statement.rows.rbegin(); row != statement.rows.rend(); ++row) {
        if (row->IsOpening() || !row->date)
            continue;
        book.movements.push_back({{row->Origin(), row->armazem.value_or(0), row->doc.value_or(0)},
                                  row->Key(),
                                  row->date->date(),
                                  row->delta,
                                  row->checked,
                                  row->documento,
                                  row->referencia,
                                  row->entidade});
    }
    return book;
}

Money ReconciledBalance(const BookMovements& book, const std::vector<BankPair>& pairs,
                        const QDate& day) {
    std::vector<bool> counted(book.movements.size(), false);
    for (const BankPair& pair : pairs)
        if (pair.movement && pair.state == PairState::Accepted)
            counted[*pair.movement] = true;
    Money balance = book.opening;
    for (std::size_t m = 0; m < book.movements.size(); ++m)
        if ((book.movements[m].reconciled || counted[m]) && book.movements[m].date <= day)
            balance += book.movements[m].amount;
    return balance;
}

QStringList ApplyBankPairs(Connection& connection, qint64 account, const QList<BankLine>& lines,
                           const BookMovements& book, const std::vector<BankPair>& pairs) {
    WriteTransaction transaction(connection);
    const QDateTime limit = ReconciliationLimit(connection, account);
    QStringList refusals;
    for (std::size_t l = 0; l < pairs.size(); ++l) {
        const BankPair& pair = pairs[l];
        if (pair.state != PairState::Accepted || !pair.movement)
            continue;
        const BookMovement& movement = book.movements[*pair.movement];
        if (NotSubjectToReconciliation(movement.record.origin))
            continue;
        const QString where = QStringLiteral("Linha %1 do extrato: ").arg(lines[l].position);
        if (book.system) {
            refusals << where + QStringLiteral(
                                    "Este registo é do sistema, não pode ser alterado "
                                    "pelo utilizador.");
            continue;
        }
        // As a manual tick: on or before the closing date the movement's own date is used;
        // after it the bank's date, which may not fall before the closing date.
        std::optional<QDate> bankDate;
        if (WallClock(movement.date) > limit) {
            bankDate = lines[l].booking;
            if (WallClock(*bankDate) < limit) {
                refusals << where + QStringLiteral("A data de débito tem de ser superior a ") +
                                Format(limit, QStringLiteral("dd-mm-yyyy")) +
                                QStringLiteral(" (limite inferior da conta monetária).");
                continue;
            }
        }
        Reconcile(connection, movement.record, bankDate);
    }
    if (refusals.isEmpty())
        transaction.Commit();
    return refusals;
}

}  // namespace orla
