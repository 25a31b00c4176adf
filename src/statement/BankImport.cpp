#include "statement/BankImport.h"

#include "bankfiles/CsvLayoutSettings.h"
#include "bankfiles/ReadBankStatement.h"
#include "common/Format.h"
#include "platform/db/Values.h"
#include "statement/Reconciliation.h"
#include "statement/StatementReader.h"

#include <QFileInfo>

namespace orla {

BankStatement ReadAccountBankFile(const QString& path, qint64 account) {
    try {
        return ReadBankStatement(path, LoadCsvLayout(int(account)));
    } catch (const OrlaError& error) {
        throw OrlaError(error.number, QStringLiteral("Não foi possível ler o extrato %1: %2")
                                          .arg(QFileInfo(path).fileName(), error.description));
    }
}

QString OtherAccountRefusal(Connection& connection, qint64 account, const BankStatement& statement,
                            const QString& path) {
    if (statement.iban.isEmpty())
        return {};
    const QString iban = ReadAccount(connection, account).iban;
    if (iban.isEmpty() || SameAccount(statement.iban, iban))
        return {};
    return QStringLiteral("O extrato %1 é da conta %2, não da conta escolhida (%3).")
        .arg(QFileInfo(path).fileName(), statement.iban, iban);
}

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
                           const BookMovements& book, const std::vector<BankPair>& pairs,
                           std::vector<AppliedPair>* applied) {
    WriteTransaction transaction(connection);
    std::vector<AppliedPair> written;
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
        written.push_back({int(l), bankDate.value_or(movement.date)});
    }
    if (refusals.isEmpty()) {
        transaction.Commit();
        if (applied)
            *applied = std::move(written);
    }
    return refusals;
}

}  // namespace orla
