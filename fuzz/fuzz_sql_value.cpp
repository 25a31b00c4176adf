// Property: for every kind, SqlValue gives "null" or one value that SQLite parses whole:
// "SELECT <literal>" prepares without error, as one column, with nothing left over, so no
// value can end its literal early or add to the statement. Dates, which SQLite does not
// write as the server does, must be exactly CONVERT(DATETIME,'<digits, blanks, - and :>',102) (a
// year outside the server's range is the server's to refuse).
#include "common/SqlLiterals.h"

#include "FuzzCheck.h"

#include <QDateTime>
#include <QRegularExpression>

#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

namespace {

sqlite3* Database() {
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        FUZZ_CHECK(sqlite3_open(":memory:", &opened) == SQLITE_OK);
        return opened;
    }();
    return db;
}

QVariant Value(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 6)) {
        case 0:
            return {};
        case 1:
            return input.ConsumeFloatingPoint<double>();
        case 2:
            return QVariant::fromValue(input.ConsumeIntegral<qint64>());
        case 3:
            return input.ConsumeBool();
        case 4:
            return QDateTime::fromMSecsSinceEpoch(
                input.ConsumeIntegralInRange<qint64>(-70000000000000, 300000000000000));
        case 5:
            return QDate::fromJulianDay(input.ConsumeIntegralInRange<qint64>(0, 5000000));
        default:
            return QString::fromStdString(input.ConsumeRemainingBytesAsString());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int kind = input.ConsumeIntegralInRange<int>(orla::SqlDate, orla::SqlNumber7);
    const QString literal = orla::SqlValue(Value(input), kind);
    if (literal == u"null")
        return 0;
    if (kind == orla::SqlDate || kind == orla::SqlDateTime) {
        static const QRegularExpression date(
            QStringLiteral(R"(^CONVERT\(DATETIME,'[\d :-]+',102\)$)"));
        if (!date.match(literal).hasMatch())
            std::fprintf(stderr, "%s\n", qPrintable(literal));
        FUZZ_CHECK(date.match(literal).hasMatch());
        return 0;
    }
    const QByteArray statement = "SELECT " + literal.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(Database(), statement.constData(), int(statement.size()),
                                      &prepared, &tail);
    if (rc != SQLITE_OK)
        std::fprintf(stderr, "%s: %s\n", statement.constData(), sqlite3_errmsg(Database()));
    FUZZ_CHECK(rc == SQLITE_OK);
    FUZZ_CHECK(prepared != nullptr);
    FUZZ_CHECK(sqlite3_column_count(prepared) == 1);
    FUZZ_CHECK(tail == statement.constData() + statement.size());
    sqlite3_finalize(prepared);
    return 0;
}
