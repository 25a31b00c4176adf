// SWIFT MT940 customer statements, as banks deliver them (one or more statement pages).
#pragma once

#include "bankfiles/BankStatement.h"

#include <QByteArray>

namespace orla {

// True when the text opens with SWIFT fields (":20:", a block header "{1:") and holds :61:
// or :60F:.
bool LooksLikeMt940(const QByteArray& bytes);

// :25: the account, the first :60F:/:60M: the opening balance, each :61: a line (its :86:
// the text), the last :62F:/:62M: the closing balance. A line's position is the file's line
// of its :61:; its reference the customer's (unless NONREF), else the bank's (after "//").
// Throws OrlaError naming the line of a malformed field, and when the file ends before the
// closing balance.
BankStatement ReadMt940(const QByteArray& bytes);

}  // namespace orla
