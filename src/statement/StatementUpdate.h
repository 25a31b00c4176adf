// Listing a movement just reconciled without reading the statement again: its new state, its
// place among the others and the running balances that follow.
#pragma once

#include "statement/StatementRows.h"

#include <QDate>
#include <QDateTime>

#include <optional>

namespace orla {

// What the list shows around the movement: its period and filter, and today's date.
struct ListedPeriod {
    QDate inicio;
    QDate fim;
    bool concilOnly = false;
    QDate today;
};

// Lists the movement at `row` as reconciled, as a new read would list it: on `bankDate` (none:
// on its own date, which the bank date then copies), in its place, with the balances and the
// scroll row of `statement` following; a list of unreconciled movements drops it. False, with
// nothing changed, when only a new read can tell: a bank date outside the period.
bool ListReconciled(Statement& statement, int row, const std::optional<QDateTime>& bankDate,
                    const ListedPeriod& period);

}  // namespace orla
