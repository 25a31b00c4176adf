// ISO 20022 bank-to-customer statements (camt.053.001.02 to .13).
#pragma once

#include "bankfiles/BankStatement.h"

#include <QByteArray>

namespace orla {

// True when the document element is a camt.053 Document.
bool LooksLikeCamt053(const QByteArray& bytes);

// Every statement (Stmt) of the file, which must all be of one account: the booked
// entries (status BOOK, or none given) in the file's order, the opening balance (OPBD,
// else PRCD) of the first statement and the closing one (CLBD) of the last. A line's
// reference is the cheque number, else the EndToEndId, else the bank's AcctSvcrRef.
// Throws OrlaError naming the element and entry that is missing or malformed.
BankStatement ReadCamt053(const QByteArray& bytes);

}  // namespace orla
