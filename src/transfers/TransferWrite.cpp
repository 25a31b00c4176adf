#include "transfers/TransferWrite.h"

#include "common/Format.h"

namespace orla {
namespace {

QString WhereTrf(qint32 trfId) {
    return QStringLiteral(" WHERE trf_id = ") + QString::number(trfId);
}

}  // namespace

std::optional<qint32> InsertTransfer(Connection& connection, const TransferLiterals& v) {
    connection.Execute(
        QStringLiteral("INSERT INTO tbContas_Bancarias_Transferencias (data, data_debito, "
                       "data_destino, data_debito_destino, origem_id, destino_id, valor, obs) "
                       "VALUES (") +
        QStringList{v.data, v.dataDebito, v.dataDestino, v.dataDebitoDestino, v.origemId,
                    v.destinoId, v.valor, v.obs}
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

void UpdateTransferOrigin(Connection& connection, qint32 trfId, const TransferLiterals& v) {
    connection.Execute(QStringLiteral("UPDATE tbContas_Bancarias_Transferencias SET data = ") +
                       v.data + QStringLiteral(", data_debito = ") + v.dataDebito +
                       QStringLiteral(", origem_id = ") + v.origemId + WhereTrf(trfId));
}

void UpdateTransferDestination(Connection& connection, qint32 trfId, const TransferLiterals& v) {
    connection.Execute(
        QStringLiteral("UPDATE tbContas_Bancarias_Transferencias SET data_destino = ") +
        v.dataDestino + QStringLiteral(", data_debito_destino = ") + v.dataDebitoDestino +
        QStringLiteral(", destino_id = ") + v.destinoId + WhereTrf(trfId));
}

void UpdateTransferAmount(Connection& connection, qint32 trfId, const TransferLiterals& v) {
    connection.Execute(QStringLiteral("UPDATE tbContas_Bancarias_Transferencias SET valor = ") +
                       v.valor + WhereTrf(trfId));
}

void UpdateTransferNotes(Connection& connection, qint32 trfId, const TransferLiterals& v) {
    connection.Execute(QStringLiteral("UPDATE tbContas_Bancarias_Transferencias SET obs = ") +
                       v.obs + QStringLiteral(", modo_pagamento_id = ") + v.modoPagamentoId +
                       WhereTrf(trfId));
}

void DeleteTransfer(Connection& connection, qint32 trfId) {
    connection.Execute(QStringLiteral("DELETE FROM tbContas_Bancarias_Transferencias") +
                       WhereTrf(trfId));
}

}  // namespace orla
