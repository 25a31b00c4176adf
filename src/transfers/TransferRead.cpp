#include "transfers/TransferRead.h"

#include "common/Format.h"

namespace orla {

std::optional<TransferRow> ReadTransfer(Connection& connection, qint32 trfId) {
    Recordset rs = connection.Execute(
        QStringLiteral("SELECT * FROM tbContas_Bancarias_Transferencias WHERE trf_id = ") +
        QString::number(trfId));
    std::optional<TransferRow> row;
    if (!rs.Eof()) {
        row.emplace();
        row->data = rs.Value(QStringLiteral("data"));
        row->dataDebito = rs.Value(QStringLiteral("data_debito"));
        row->dataDestino = rs.Value(QStringLiteral("data_destino"));
        row->dataDebitoDestino = rs.Value(QStringLiteral("data_debito_destino"));
        row->origemId = rs.Value(QStringLiteral("origem_id"));
        row->destinoId = rs.Value(QStringLiteral("destino_id"));
        row->valor = rs.Value(QStringLiteral("valor"));
        row->obs = rs.Value(QStringLiteral("obs"));
        row->modoPagamentoId = rs.Value(QStringLiteral("modo_pagamento_id"));
        const QVariant system = rs.Value(QStringLiteral("system"));
        row->system = system.isValid() && !system.isNull() && CDbl(system) != 0;
    }
    rs.Close();
    return row;
}

}  // namespace orla
