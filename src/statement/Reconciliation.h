// Bank reconciliation of one movement, over a connection: recording its bank debit date in
// its source record, or taking it away.
#pragma once

#include "platform/db/Connection.h"
#include "statement/ReconciliationStatements.h"

#include <QDate>
#include <QDateTime>

#include <optional>

namespace orla {

// The earliest bank date the account takes: its closing date, with its time when it has one;
// the zero date (30-12-1899) when it has none. Throws OrlaError.
QDateTime ReconciliationLimit(Connection& connection, const std::optional<qint64>& account);

// Records the movement's bank date: the day chosen, or with none the origin's own date (a
// movement on or before the account's closing date). False, with nothing done, for an origin
// that owns no reconcilable record. Throws OrlaError.
bool Reconcile(Connection& connection, const SourceRecord& record,
               const std::optional<QDate>& bankDate);

// Takes the movement's bank date away; a bank date before `limit` first gives the record its
// own date again. False as for Reconcile. Throws OrlaError.
bool Unreconcile(Connection& connection, const SourceRecord& record, const QDateTime& limit);

}  // namespace orla
