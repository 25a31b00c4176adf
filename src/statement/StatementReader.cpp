#include "statement/StatementReader.h"

#include "common/Format.h"
#include "common/SqlLiterals.h"
#include "platform/db/Connection.h"
#include "statement/StatementQueries.h"

#include <QSet>

#include <algorithm>

namespace orla {
namespace {

// The date the statement starts counting from: the account's balance date,
// or the zero date when it has none.
QDateTime BalanceDate(const AccountInfo& account) {
    return account.saldoData.value_or(QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
}

StatementRow OpeningRow(const QVariant& sum, const AccountInfo& account, bool concilOnly,
                        Money& balance) {
    StatementRow row;
    row.origem = 0;
    if (sum.isValid()) {
        const Money moved = Money::FromVariant(sum).value_or(Money());
        balance = concilOnly ? moved : account.saldo + moved;
        row.kind = RowKind::OpeningCarried;
    } else {
        // No movement between the balance date and the start.
        balance = concilOnly ? Money() : account.saldo;
        row.kind = RowKind::OpeningAtBalanceDate;
        row.date = BalanceDate(account);
    }
    row.saldo = balance;
    return row;
}

// Positions of the view's columns, found once per read (the last of a name wins).
struct MovementColumns {
    explicit MovementColumns(const Recordset& rs) : names(rs.FieldNames()) {}
    int operator()(const char* name) const {
        int found = -1;
        for (int i = 0; i < names.size(); ++i) {
            if (names[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                found = i;
        }
        return found;
    }
    QStringList names;
};

QVariant At(const Recordset& rs, int column) {
    return column < 0 ? QVariant() : rs.ValueAt(column);
}

std::optional<qint64> IdOf(const QVariant& value) {
    return value.isValid() ? std::optional<qint64>(value.toLongLong()) : std::nullopt;
}

}  // namespace

AccountInfo ReadAccount(Connection& connection, const std::optional<qint64>& account) {
    AccountInfo info;
    Recordset rs = connection.Execute(AccountQuery(account));
    if (!rs.Eof()) {
        info.found = true;
        info.saldo = Money::FromVariant(rs.Value(QStringLiteral("saldo"))).value_or(Money());
        info.iban = rs.Value(QStringLiteral("iban")).toString();
        info.saldoData = ToDate(rs.Value(QStringLiteral("saldo_data")));
        const QVariant system = rs.Value(QStringLiteral("system"));
        info.system = system.isValid() && system.toLongLong() != 0;
    }
    rs.Close();
    return info;
}

void ClampToBalanceDate(const AccountInfo& account, QDate& inicio, QDate& fim) {
    if (!account.saldoData)
        return;
    const QDate balanceDate = account.saldoData->date();
    inicio = std::max(inicio, balanceDate);
    fim = std::max(fim, balanceDate);
}

void ReadStatement(Connection& connection, const StatementRequest& request,
                   const AccountInfo& account, const QDate& today, Statement& out) {
    out = Statement();
    // The opening balance and the movements are read as of one moment, so a movement moved
    // across the start meanwhile is counted once.
    const ConsistentRead snapshot(connection);
    const QString start = StartBound(request.inicio);
    Money balance = account.saldo;
    std::vector<StatementRow>& rows = out.rows;
    if (!request.ignorarAnteriores) {
        Recordset rs = connection.Execute(OpeningBalanceQuery(
            request.account, start, StartBound(BalanceDate(account).date()), request.concilOnly));
        const QVariant sum = rs.Eof() ? QVariant() : rs.Value(QStringLiteral("saldo"));
        rs.Close();
        rows.push_back(OpeningRow(sum, account, request.concilOnly, balance));
    }

    Recordset rs = connection.Execute(MovementsQuery(request.account, start, EndBound(request.fim),
                                                     request.paymentMode, request.concilOnly));
    int scrollFromBottom = -1;
    // Newest on top: the list shows the rows read in reverse, also when the
    // read stops half way.
    struct NewestOnTop {
        Statement& statement;
        const int& scroll;
        ~NewestOnTop() {
            std::reverse(statement.rows.begin(), statement.rows.end());
            if (scroll >= 0)
                statement.scrollRow = int(statement.rows.size()) - 1 - scroll;
        }
    } newestOnTop{out, scrollFromBottom};
    const MovementColumns find(rs);
    const int cData = find("data"), cOrigem = find("origem"), cNome = find("nome_completo"),
              cReferencia = find("referencia"), cModo = find("modo_pagamento"),
              cDocNo = find("doc_no"), cDebito = find("debito"), cCredito = find("credito"),
              cOrigemId = find("origem_id"), cArmazem = find("armazem_id"), cDoc = find("doc_id"),
              cConcil = find("concil");
    // Texts that repeat from row to row (origins, entities, document types) are kept once.
    QSet<QString> shared;
    const auto once = [&shared](const QString& text) { return *shared.insert(text); };
    while (!rs.Eof()) {
        StatementRow row;
        row.origem = IdOf(At(rs, cOrigemId));
        row.armazem = IdOf(At(rs, cArmazem));
        row.doc = IdOf(At(rs, cDoc));
        const QVariant data = At(rs, cData);
        row.date = ToDate(data);
        if (!row.date)
            row.dateText = ListValue(data, ListDate);
        row.origemText = once(ListValue(At(rs, cOrigem), ListText));
        row.entidade = once(ListValue(At(rs, cNome), ListText));
        row.referencia = ListValue(At(rs, cReferencia), ListText);
        row.tipoDocumento = once(ListValue(At(rs, cModo), ListText));
        row.documento = ListValue(At(rs, cDocNo), ListText);

        const std::optional<Money> debito = Money::FromVariant(At(rs, cDebito));
        const std::optional<Money> credito = Money::FromVariant(At(rs, cCredito));
        if (debito && credito) {
            // A negative amount is shown and totalled on the opposite side.
            const Money in = std::max(*debito, Money()) - std::min(*credito, Money());
            const Money out_ = std::max(*credito, Money()) - std::min(*debito, Money());
            if (in > Money()) {
                row.debito = in;
                out.debitos += in;
            }
            if (out_ > Money()) {
                row.credito = out_;
                out.creditos += out_;
            }
        }
        row.delta =
            debito.value_or(Money()).RoundedToCents() - credito.value_or(Money()).RoundedToCents();
        balance += row.delta;
        row.saldo = balance;
        const QVariant concil = At(rs, cConcil);
        row.checked = concil.isValid() && concil.toLongLong() != 0;
        row.future = row.date && row.date->date() > today;
        if (!row.future)
            scrollFromBottom = int(rows.size());
        rows.push_back(std::move(row));
        rs.MoveNext();
    }
    rs.Close();
}

}  // namespace orla
