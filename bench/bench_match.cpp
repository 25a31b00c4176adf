// Pairing a bank's statement of 5,000 lines with an account of 100,000 movements: the
// movements read (ReadBookMovements), the floor, against read and matched (MatchBankLines).
// The lines come from every twentieth movement, most a few days off their movement's date,
// a tenth of an amount no movement has.
#include "BestOf.h"
#include "BigAccount.h"
#include "context/Context.h"
#include "statement/BankImport.h"

#include <QApplication>
#include <QSqlQuery>

#include <cstdio>

namespace {

// Every twentieth movement of account 70 as the bank would book it; 5,000 of them at most.
QList<orla::BankLine> BankLines(const QString& path) {
    QList<orla::BankLine> lines;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lines"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(
            QStringLiteral("SELECT substr(data, 1, 10), valor FROM tbDocumentos_Recibos WHERE "
                           "conta_id = 70 AND recibo_id % 20 = 0 ORDER BY data LIMIT 5000"));
        while (q.next()) {
            const int n = int(lines.size());
            orla::Money amount = *orla::Money::FromVariant(q.value(1).toString());
            if (n % 10 == 9)  // no movement has it
                amount = *orla::Money::FromVariant(QString::number(90000 + n) + ".01");
            orla::BankLine line;
            line.credit = !(amount < orla::Money());
            line.amount = line.credit ? amount : -amount;
            line.booking = QDate::fromString(q.value(0).toString(), Qt::ISODate).addDays(n % 4);
            line.position = n + 1;
            lines << line;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lines"));
    return lines;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    orla::General general;
    if (!ConnectToBigAccount(dir, general, "bench_match"))
        return 1;
    const QList<orla::BankLine> lines = BankLines(dir.filePath("bench.db"));
    QDate last;
    for (const orla::BankLine& line : lines)
        last = std::max(last, line.booking);
    orla::Connection& connection = orla::Data().SqlServer;

    orla::BookMovements book;
    const double readMs =
        BestOf([&] { book = orla::ReadBookMovements(connection, 70, last.addDays(4)); });
    std::vector<orla::BankPair> pairs;
    const double matchMs = BestOf([&] {
        book = orla::ReadBookMovements(connection, 70, last.addDays(4));
        pairs = orla::MatchBankLines(lines, book.movements);
    });
    int proposed = 0, reconciled = 0, ambiguous = 0, none = 0;
    for (const orla::BankPair& pair : pairs) {
        proposed += pair.state == orla::PairState::Proposed;
        reconciled += pair.state == orla::PairState::Reconciled;
        ambiguous += pair.ambiguous;
        none += pair.state == orla::PairState::None && !pair.ambiguous;
    }
    std::printf("movements: %zu, bank lines: %lld\n", book.movements.size(),
                static_cast<long long>(lines.size()));
    std::printf("pairs proposed %d, reconciled already %d, ambiguous %d, none %d\n", proposed,
                reconciled, ambiguous, none);
    std::printf("floor (ReadBookMovements):      %.1f ms\n", readMs);
    std::printf("read + MatchBankLines:          %.1f ms\n", matchMs);
    std::printf("ratio (read + match)/floor:     %.2f (goal: at most 3.00, under 1000 ms)\n",
                matchMs / readMs);
    return 0;
}
