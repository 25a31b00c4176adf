#include "transfers/TransferWrite.h"

#include "common/Format.h"
#include "common/SqlLiterals.h"
#include "platform/db/Values.h"
#include "transfers/AccountLimits.h"

namespace orla {
namespace {

QString WhereTrf(qint32 trfId) {
    return QStringLiteral(" WHERE trf_id = ") + QString::number(trfId);
}

// Each date by its day only; none is null.
QString DateSql(const std::optional<QDateTime>& date) {
    return date ? SqlValue(*date, SqlDate) : QStringLiteral("null");
}

QString AmountSql(const std::optional<Money>& amount) {
    return amount ? SqlValue(amount->ToDouble(), SqlNumber) : QStringLiteral("null");
}

// The note as the user typed it, quoted; a note that reads as a number stays text.
QString NoteSql(const Transfer& values) {
    return values.obs.isEmpty() ? QStringLiteral("null") : QuotedText(values.obs);
}

std::optional<qint32> Insert(Connection& connection, const Transfer& v) {
    connection.Execute(
        QStringLiteral("INSERT INTO tbContas_Bancarias_Transferencias (data, data_debito, "
                       "data_destino, data_debito_destino, origem_id, destino_id, valor, obs) "
                       "VALUES (") +
        QStringList{DateSql(v.data), DateSql(v.dataDebito), DateSql(v.dataDestino),
                    DateSql(v.dataDebitoDestino), SqlKey(v.origemId), SqlKey(v.destinoId),
                    AmountSql(v.valor), NoteSql(v)}
            .join(QLatin1Char(',')) +
        QLatin1Char(')'));
    Recordset rs = connection.Execute(QStringLiteral("SELECT @@Identity as last"));
    std::optional<qint32> number;
    if (!rs.Eof()) {
        const QVariant last = rs.Value(QStringLiteral("last"));
        if (last.isValid() && !last.isNull())
            number = CLng(CDbl(last));
    }
    rs.Close();
    return number;
}

void Update(Connection& connection, qint32 trfId, const Transfer& v, TransferSides sides) {
    const QString table = QStringLiteral("UPDATE tbContas_Bancarias_Transferencias SET ");
    if (sides.origin)
        connection.Execute(table + QStringLiteral("data = ") + DateSql(v.data) +
                           QStringLiteral(", data_debito = ") + DateSql(v.dataDebito) +
                           QStringLiteral(", origem_id = ") + SqlKey(v.origemId) + WhereTrf(trfId));
    if (sides.destination)
        connection.Execute(table + QStringLiteral("data_destino = ") + DateSql(v.dataDestino) +
                           QStringLiteral(", data_debito_destino = ") +
                           DateSql(v.dataDebitoDestino) + QStringLiteral(", destino_id = ") +
                           SqlKey(v.destinoId) + WhereTrf(trfId));
    if (sides.origin && sides.destination)
        connection.Execute(table + QStringLiteral("valor = ") + AmountSql(v.valor) +
                           WhereTrf(trfId));
}

void UpdateNotes(Connection& connection, qint32 trfId, const Transfer& v) {
    connection.Execute(QStringLiteral("UPDATE tbContas_Bancarias_Transferencias SET obs = ") +
                       NoteSql(v) + QStringLiteral(", modo_pagamento_id = ") +
                       SqlKey(v.modoPagamentoId) + WhereTrf(trfId));
}

std::optional<QDate> DayOf(const std::optional<QDateTime>& date) {
    return date ? std::optional<QDate>(date->date()) : std::nullopt;
}

// The side, when its date or its bank date falls on or before its account's closing date.
std::optional<ClosedSide> Closed(Connection& connection, bool origin, const Transfer& t) {
    const std::optional<qint64> account = origin ? t.origemId : t.destinoId;
    const std::optional<QDate> date = DayOf(origin ? t.data : t.dataDestino);
    const std::optional<QDate> bank = DayOf(origin ? t.dataDebito : t.dataDebitoDestino);
    const std::optional<QDate> closed = ReadAccountDates(connection, account).dataClosed;
    if (!InClosedPeriod(closed, date.value_or(kNoDate), bank))
        return std::nullopt;
    const bool byDate = date.value_or(kNoDate) <= *closed;
    return ClosedSide{origin, !byDate, account, *closed};
}

// The first side that may not be written: as stored (a movement is never taken out of a
// closed period) or as it would be written (nor put into one).
std::optional<ClosedSide> FirstClosed(Connection& connection, const std::optional<Transfer>& stored,
                                      const std::optional<Transfer>& written, TransferSides sides) {
    for (const bool origin : {true, false}) {
        if (!(origin ? sides.origin : sides.destination))
            continue;
        for (const std::optional<Transfer>& t : {stored, written}) {
            if (!t)
                continue;
            if (std::optional<ClosedSide> side = Closed(connection, origin, *t))
                return side;
        }
    }
    return std::nullopt;
}

// The row as stored, or why it may not be written: gone, or not what the window loaded.
std::optional<TransferWritten::Outcome> Stale(const std::optional<Transfer>& stored,
                                              const Transfer& loaded) {
    if (!stored)
        return TransferWritten::Gone;
    if (*stored != loaded)
        return TransferWritten::Changed;
    return std::nullopt;
}

}  // namespace

TransferWritten SaveTransfer(Connection& connection, qint32 trfId,
                             const std::optional<Transfer>& loaded, const Transfer& values,
                             TransferSides sides) {
    WriteTransaction transaction(connection);
    std::optional<Transfer> stored;
    if (trfId != 0) {
        stored = ReadTransfer(connection, trfId);
        if (const auto stale = Stale(stored, loaded.value_or(Transfer())))
            return {*stale, trfId, {}};
    } else {
        sides = {};
    }
    if (std::optional<ClosedSide> closed = FirstClosed(connection, stored, values, sides))
        return {TransferWritten::InClosedPeriod, trfId, closed};
    if (trfId == 0) {
        const std::optional<qint32> number = Insert(connection, values);
        if (!number)
            return {TransferWritten::NoNumber, 0, {}};
        trfId = *number;
    } else {
        Update(connection, trfId, values, sides);
    }
    UpdateNotes(connection, trfId, values);
    transaction.Commit();
    return {TransferWritten::Written, trfId, {}};
}

TransferWritten DeleteTransfer(Connection& connection, qint32 trfId, const Transfer& loaded) {
    WriteTransaction transaction(connection);
    const std::optional<Transfer> stored = ReadTransfer(connection, trfId);
    if (const auto stale = Stale(stored, loaded))
        return {*stale, trfId, {}};
    if (std::optional<ClosedSide> closed = FirstClosed(connection, stored, std::nullopt, {}))
        return {TransferWritten::InClosedPeriod, trfId, closed};
    connection.Execute(QStringLiteral("DELETE FROM tbContas_Bancarias_Transferencias") +
                       WhereTrf(trfId));
    transaction.Commit();
    return {TransferWritten::Written, trfId, {}};
}

}  // namespace orla
