// Reading one transfer between accounts as the window shows it.
#pragma once

#include "platform/db/Connection.h"

#include <QVariant>

#include <optional>

namespace orla {

// A transfer's columns as stored; an invalid QVariant for Null.
struct TransferRow {
    QVariant data;
    QVariant dataDebito;
    QVariant dataDestino;
    QVariant dataDebitoDestino;
    QVariant origemId;
    QVariant destinoId;
    QVariant valor;
    QVariant obs;
    QVariant modoPagamentoId;
    bool system = false;  // made by the system: shown, never changed
};

// The transfer with this number, none when it is gone. Throws OrlaError.
std::optional<TransferRow> ReadTransfer(Connection& connection, qint32 trfId);

}  // namespace orla
