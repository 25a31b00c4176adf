// The statement list as CSV: the rows top to bottom as shown, then the totals.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace orla {

struct StatementRow;

// UTF-8 text with a header line; fields separated by ";" and quoted when needed; texts that a
// spreadsheet would take for a formula begin with "'".
QByteArray StatementCsv(const std::vector<StatementRow>& rows, const QString& debitos,
                        const QString& creditos);

}  // namespace orla
