// Statements that banks export as CSV: where the table starts, what each column holds and how
// its dates and amounts are written.
#pragma once

#include "bankfiles/BankStatement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace orla {

struct CsvLayout {
    QChar separator = u';';
    QChar decimalMark = u',';
    QString dateFormat = QStringLiteral("dd-MM-yyyy");
    int skipLines = 1;  // lines before the first movement: the bank's header and column titles
    // Columns, counted from 0; -1 when the file has none.
    int booking = -1;
    int value = -1;
    int description = -1;
    int reference = -1;
    int amount = -1;  // one signed column (credits positive)...
    int debit = -1;   // ...or a debit and a credit column
    int credit = -1;
    bool debitPositive = true;  // the debit column holds debits as positive numbers

    bool operator==(const CsvLayout&) const = default;
};

// The date formats a layout may name, in the order detection tries them.
const QStringList& CsvDateFormats();

// A layout read from the column titles (Data, Data Valor, Descrição, Montante, Débito,
// Crédito...) and the movements under them: the separator, date format and decimal mark that
// read most of them. Nothing when no row of titles names a date and an amount, or no date
// under it reads.
std::optional<CsvLayout> DetectCsvLayout(const QByteArray& bytes);

// The movements under the layout's header, in the file's order, positioned by their line.
// The table ends at a blank line, or one with neither a date nor an amount (the totals
// banks add after it).
// Throws OrlaError naming the line and value of a malformed date or amount.
BankStatement ReadCsv(const QByteArray& bytes, const CsvLayout& layout);

}  // namespace orla
