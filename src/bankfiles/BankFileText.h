// What every reader of a bank's file shares: its one error, exact amounts and plain dates.
#pragma once

#include "common/Money.h"
#include "platform/db/Error.h"

#include <QDate>
#include <QString>

#include <optional>

namespace orla {

// The error number of a file that is not a bank statement we can read whole.
inline constexpr long kBankFileInvalid = 321;  // "Invalid file format"

// Throws OrlaError(kBankFileInvalid, message).
[[noreturn]] void BankFileFault(const QString& message);
// "Linha 12: " + message.
[[noreturn]] void BankFileLineFault(int line, const QString& message);

// An amount written as the bank writes it: an optional sign, digits, and at most four
// decimals after decimalMark; no grouping, no exponent. Exact; nothing otherwise.
std::optional<Money> ParseBankAmount(QStringView text, QChar decimalMark);
// The magnitude of a signed amount.
inline Money Magnitude(Money amount) {
    return amount < Money() ? -amount : amount;
}

// A date as format gives it ("yyyy-MM-dd"...); a date that does not exist is nothing.
std::optional<QDate> ParseBankDate(const QString& text, const QString& format);

// The file's text: UTF-8 (a byte order mark dropped) when it is valid UTF-8, else
// Windows-1252, as Portuguese banks write it. Line ends are kept.
QString BankFileString(const QByteArray& bytes);

// "«text»", as the messages quote what they refuse.
QString Quoted(const QString& text);

}  // namespace orla
