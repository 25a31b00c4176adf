// The statement list as CSV: the rows top to bottom as shown, then the totals.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace orla {

struct StatementRow;

// UTF-8 text with a header line; fields separated by ";" and quoted when needed; texts that a
// spreadsheet would take for a formula begin with "'".
// Where the export goes, a piece at a time; false when a piece could not be written.
using StatementSink = std::function<bool(const QByteArray&)>;

// Writes the rows as UTF-8 CSV through `write` in pieces of about a megabyte, so the export
// is never held whole; false as soon as a piece could not be written.
bool WriteStatementCsv(const std::vector<StatementRow>& rows, const QString& debitos,
                       const QString& creditos, const StatementSink& write);

}  // namespace orla
