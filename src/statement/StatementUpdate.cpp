#include "statement/StatementUpdate.h"

#include <algorithm>
#include <tuple>

namespace orla {
namespace {

// The order the statement reads movements in (by date, reconciled first, by document);
// the list shows them the other way round.
auto ReadOrder(const StatementRow& row) {
    return std::tuple(row.date.value_or(QDateTime()), row.checked ? 0 : 1, row.doc.value_or(0));
}

// The balances from the bottom up, the totals and the newest movement up to today, again.
void Recount(Statement& statement, Money base) {
    statement.debitos = statement.creditos = Money();
    statement.scrollRow = -1;
    for (int r = int(statement.rows.size()) - 1; r >= 0; --r) {
        StatementRow& row = statement.rows[size_t(r)];
        if (row.IsOpening())
            continue;
        base += row.delta;
        row.saldo = base;
        statement.debitos += row.debito.value_or(Money());
        statement.creditos += row.credito.value_or(Money());
        if (!row.future)
            statement.scrollRow = r;
    }
}

}  // namespace

bool ListReconciled(Statement& statement, int row, const std::optional<QDateTime>& bankDate,
                    const ListedPeriod& period) {
    std::vector<StatementRow>& rows = statement.rows;
    if (row < 0 || row >= int(rows.size()) || rows[size_t(row)].IsOpening())
        return false;
    if (bankDate && (bankDate->date() < period.inicio || bankDate->date() > period.fim))
        return false;
    const StatementRow& bottom = rows.back();
    const Money base = bottom.IsOpening() ? bottom.saldo : bottom.saldo - bottom.delta;
    StatementRow moved = std::move(rows[size_t(row)]);
    rows.erase(rows.begin() + row);
    if (!period.concilOnly) {
        moved.checked = true;
        if (bankDate)
            moved.date = *bankDate;
        moved.future = moved.date && moved.date->date() > period.today;
        // Shown newest first: above every movement read before it, the opening row last.
        const auto place = std::find_if(rows.begin(), rows.end(), [&](const StatementRow& other) {
            return other.IsOpening() || ReadOrder(other) < ReadOrder(moved);
        });
        rows.insert(place, std::move(moved));
    }
    Recount(statement, base);
    return true;
}

}  // namespace orla
