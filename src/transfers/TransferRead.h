// A transfer between two accounts as it is stored, and reading it.
#pragma once

#include "common/Money.h"
#include "platform/db/Connection.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace orla {

// One row of tbContas_Bancarias_Transferencias: none for a Null column. Dates are the
// server's wall-clock values.
struct Transfer {
    std::optional<QDateTime> data;               // leaves the origin account
    std::optional<QDateTime> dataDebito;         // bank debit date at the origin
    std::optional<QDateTime> dataDestino;        // reaches the destination account
    std::optional<QDateTime> dataDebitoDestino;  // bank debit date at the destination
    std::optional<qint64> origemId;
    std::optional<qint64> destinoId;
    std::optional<Money> valor;
    QString obs;  // empty for none
    std::optional<qint64> modoPagamentoId;
    bool system = false;  // made by the system: shown, never changed

    bool operator==(const Transfer&) const = default;
};

// The transfer with this number, none when it is gone. Throws OrlaError.
std::optional<Transfer> ReadTransfer(Connection& connection, qint32 trfId);

}  // namespace orla
