// Saving and deleting a transfer between accounts, each all or nothing: the row must still
// hold what the window loaded, and no side may fall in an account's closed period.
#pragma once

#include "platform/db/Connection.h"
#include "transfers/TransferRead.h"

#include <QDate>

#include <optional>

namespace orla {

// The sides of an existing transfer a save writes: a side the window found in a closed
// period keeps its dates and account. The amount, shared by both, is written only when both
// sides are. A new transfer is written whole.
struct TransferSides {
    bool origin = true;
    bool destination = true;
};

// A side of a transfer that falls in its account's closed period.
struct ClosedSide {
    bool origin = true;     // the origin side, else the destination
    bool bankDate = false;  // its bank debit date falls in it, not its own date
    std::optional<qint64> account;
    QDate closed;  // the last day of the account's closed period
};

// What a save or a delete did. Anything but Written wrote nothing.
struct TransferWritten {
    enum Outcome {
        Written,
        Changed,         // another user changed the row since it was loaded
        Gone,            // another user deleted it
        InClosedPeriod,  // `closed` says which side
        NoNumber,        // the new transfer's number did not come back
    };
    Outcome outcome = Written;
    qint32 trfId = 0;  // the transfer written; a new one's number
    std::optional<ClosedSide> closed;
};

// Saves a transfer: a new one (trfId 0) by the insert that numbers it, an existing one by the
// updates of the sides given, then its notes and payment mode. `loaded` is the row as the
// window read it (ignored for a new one). Throws OrlaError, with nothing written.
TransferWritten SaveTransfer(Connection& connection, qint32 trfId,
                             const std::optional<Transfer>& loaded, const Transfer& values,
                             TransferSides sides);

// Deletes the transfer the window loaded. Throws OrlaError, with nothing deleted.
TransferWritten DeleteTransfer(Connection& connection, qint32 trfId, const Transfer& loaded);

}  // namespace orla
