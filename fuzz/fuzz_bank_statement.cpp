// Property: any bytes given as a bank's statement file are refused with OrlaError or read
// whole: every line's amount is positive (its side is given apart) and, when the file gives
// both balances, the lines' signed sum (credits minus debits) is the closing balance minus
// the opening one.
#include "bankfiles/ReadBankStatement.h"
#include "platform/db/Error.h"

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    orla::BankStatement statement;
    try {
        statement = orla::ReadBankStatement(bytes, std::nullopt);
    } catch (const orla::OrlaError&) {
        return 0;
    }
    orla::Money sum;
    for (const orla::BankLine& line : statement.lines) {
        FUZZ_CHECK(line.amount >= orla::Money());
        sum += line.credit ? line.amount : -line.amount;
    }
    if (statement.opening && statement.closing)
        FUZZ_CHECK(sum == *statement.closing - *statement.opening);
    return 0;
}
