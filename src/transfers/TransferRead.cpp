#include "transfers/TransferRead.h"

#include "platform/db/Values.h"

namespace orla {
namespace {

std::optional<qint64> KeyOf(const QVariant& value) {
    return value.isValid() && !value.isNull() ? std::optional<qint64>(value.toLongLong())
                                              : std::nullopt;
}

}  // namespace

std::optional<Transfer> ReadTransfer(Connection& connection, qint32 trfId) {
    Recordset rs = connection.Execute(
        QStringLiteral("SELECT * FROM tbContas_Bancarias_Transferencias WHERE trf_id = ") +
        QString::number(trfId));
    std::optional<Transfer> row;
    if (!rs.Eof()) {
        const auto value = [&rs](const char* name) { return rs.Value(QLatin1String(name)); };
        row.emplace();
        row->data = DateValue(value("data"));
        row->dataDebito = DateValue(value("data_debito"));
        row->dataDestino = DateValue(value("data_destino"));
        row->dataDebitoDestino = DateValue(value("data_debito_destino"));
        row->origemId = KeyOf(value("origem_id"));
        row->destinoId = KeyOf(value("destino_id"));
        row->valor = Money::FromVariant(value("valor"));
        row->obs = value("obs").toString();
        row->modoPagamentoId = KeyOf(value("modo_pagamento_id"));
        row->system = KeyOf(value("system")).value_or(0) != 0;
    }
    rs.Close();
    return row;
}

}  // namespace orla
