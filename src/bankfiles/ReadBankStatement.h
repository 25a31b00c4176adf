// Reading the statement file a bank delivers, whatever its format.
#pragma once

#include "bankfiles/BankStatement.h"
#include "bankfiles/CsvLayout.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace orla {

enum class BankFileFormat { Camt053, Mt940, Ofx, Csv };

// The format the content shows: an ISO 20022 statement, SWIFT fields, an OFX header or
// element; any other text is taken for CSV. Throws OrlaError for other XML documents and
// for files that are not text.
BankFileFormat DetectBankFileFormat(const QByteArray& bytes);

// The whole statement or an OrlaError, never part of it. CSV is read with csv, else with
// the layout DetectCsvLayout finds (an error asks for the layout when none is found). When
// the file gives both balances, the lines must add up to their difference.
BankStatement ReadBankStatement(const QByteArray& bytes, const std::optional<CsvLayout>& csv);
BankStatement ReadBankStatement(const QString& path, const std::optional<CsvLayout>& csv);

// Whether a statement's account is the account's IBAN: blanks and case ignored; a national
// account number (no country letters) is compared with the IBAN's last digits.
bool SameAccount(const QString& fileIban, const QString& accountIban);

}  // namespace orla
