// Writing transfers between accounts: the insert that numbers a new one, the
// updates of each side, of the amount and of the notes, and the delete.
#pragma once

#include "platform/db/Connection.h"

#include <QString>

#include <optional>

namespace orla {

// A transfer's values, each an SQL literal made by SqlValue or ObterValorSQL
// ("null" for none), so that no typed text can end a literal early.
struct TransferLiterals {
    QString data;
    QString dataDebito;
    QString dataDestino;
    QString dataDebitoDestino;
    QString origemId;
    QString destinoId;
    QString valor;
    QString obs;
    QString modoPagamentoId;
};

// Inserts a new transfer and reads its number back on the same connection;
// none when no number came back. The payment mode is not part of the insert:
// UpdateTransferNotes writes it. Throws OrlaError.
std::optional<qint32> InsertTransfer(Connection& connection, const TransferLiterals& values);

// The origin side: its date, debit date and account.
void UpdateTransferOrigin(Connection& connection, qint32 trfId, const TransferLiterals& values);
// The destination side: its date, debit date and account.
void UpdateTransferDestination(Connection& connection, qint32 trfId,
                               const TransferLiterals& values);
void UpdateTransferAmount(Connection& connection, qint32 trfId, const TransferLiterals& values);
// The observations and the payment mode.
void UpdateTransferNotes(Connection& connection, qint32 trfId, const TransferLiterals& values);

void DeleteTransfer(Connection& connection, qint32 trfId);

}  // namespace orla
