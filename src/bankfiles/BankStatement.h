// A bank's own statement of an account, read from the file the bank delivers (CAMT.053,
// MT940, OFX or CSV): its lines as values, for matching against the account's movements.
#pragma once

#include "common/Money.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace orla {

// One booked entry of the bank's statement.
struct BankLine {
    Money amount;                // positive
    bool credit = false;         // money into the account (CRDT); a debit in the books
    QDate booking;               // booking date
    std::optional<QDate> value;  // value date, when the file gives one
    QString reference;           // the bank's or the sender's reference, cheque number
    QString text;                // remittance information, purpose
    QString counterparty;        // the other party's name (and account)
    int position = 0;            // entry number (CAMT, OFX) or line number (MT940, CSV)
};

struct BankStatement {
    QString format;  // "CAMT.053", "MT940", "OFX", "CSV"
    QString iban;    // the account's IBAN (or number) as the file gives it; empty when absent
    std::optional<Money> opening;  // opening booked balance, signed (negative when overdrawn)
    std::optional<Money> closing;  // closing booked balance, signed
    std::optional<QDate> openingDate;
    std::optional<QDate> closingDate;
    QList<BankLine> lines;  // in the file's order
};

}  // namespace orla
