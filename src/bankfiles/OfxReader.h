// Open Financial Exchange bank statements, SGML (1.x) or XML (2.x).
#pragma once

#include "bankfiles/BankStatement.h"

#include <QByteArray>

namespace orla {

// Each STMTTRN (TRNTYPE, DTPOSTED, TRNAMT, FITID, CHECKNUM, NAME, MEMO) in the file's order,
// the account (ACCTID) and the closing balance (LEDGERBAL). OFX gives no opening balance.
// A line's reference is its cheque number, else its FITID; its text the MEMO, its
// counterparty the NAME. Throws OrlaError naming the element and transaction that is
// missing or malformed, and when the file ends before </OFX>.
BankStatement ReadOfx(const QByteArray& bytes);

}  // namespace orla
