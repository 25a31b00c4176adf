// The account reconciled against the bank's statement file without a window: the pairs
// matching proposes, the lines and movements left without one and the balances, as plain
// lines; on request the proposed pairs are reconciled, as "Conciliar" does in the window.
#include <orla_contas/StatementJob.h>

#include "common/Format.h"
#include "component/JobChoice.h"
#include "context/Context.h"
#include "statement/BankImport.h"
#include "statement/ReconciliationStatements.h"

#include <algorithm>

namespace orla {
namespace {

// Days a movement's date may be from the bank's, as the window's default.
constexpr int kWindowDays = 4;

QString Day(const QDate& date) {
    return date.toString(QStringLiteral("dd-MM-yyyy"));
}

QString Euro(const Money& amount) {
    return Format(amount, formats::kEuro);
}

QString LineText(const BankLine& line) {
    return QStringLiteral("Linha %1, %2, %3")
        .arg(QString::number(line.position), Day(line.booking),
             Euro(line.credit ? line.amount : -line.amount));
}

QString MovementText(const BookMovement& movement) {
    QStringList parts{Day(movement.date), movement.documento.simplified()};
    if (parts.last().isEmpty())
        parts.last() = movement.referencia.simplified();
    parts << Euro(movement.amount);
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

// A heading with its count, then its items indented.
void Section(QStringList& out, const QString& heading, const QStringList& items) {
    out << QStringLiteral("%1: %2").arg(heading).arg(items.size());
    for (const QString& item : items)
        out << QStringLiteral("  ") + item;
}

struct Outcome {
    QStringList report;
    int status = 0;
};

// Reads, pairs and, with `aplicar`, reconciles; the report as far as it got. Throws OrlaError.
Outcome MatchAndApply(qint64 account, const BankStatement& statement, bool aplicar,
                      QString* message) {
    Connection& connection = Data().SqlServer;
    Outcome outcome;
    QDate first, last;
    for (const BankLine& line : statement.lines) {
        first = first.isValid() ? std::min(first, line.booking) : line.booking;
        last = std::max(last, line.booking);
    }
    if (!last.isValid())
        first = last = statement.closingDate.value_or(QDate::currentDate());
    const BookMovements book = ReadBookMovements(connection, account, last.addDays(kWindowDays));
    std::vector<BankPair> pairs = MatchBankLines(statement.lines, book.movements, kWindowDays);
    // Every pair matching proposes fits one movement alone: all of them are taken.
    for (BankPair& pair : pairs)
        if (pair.state == PairState::Proposed)
            pair.state = PairState::Accepted;

    QStringList& out = outcome.report;
    out << QStringLiteral("Extrato %1 %2: %3 linhas de %4 a %5.")
               .arg(statement.format,
                    statement.iban.isEmpty() ? QStringLiteral("sem conta") : statement.iban)
               .arg(statement.lines.size())
               .arg(Day(first), Day(last));
    std::vector<bool> paired(book.movements.size(), false);
    QStringList proposed, done, unmatched;
    for (std::size_t l = 0; l < pairs.size(); ++l) {
        const BankPair& pair = pairs[l];
        const QString line = LineText(statement.lines[int(l)]);
        if (!pair.movement) {
            outcome.status = 1;
            unmatched << line + (pair.ambiguous ? QStringLiteral(" (vários movimentos possíveis)")
                                                : QString());
            continue;
        }
        paired[*pair.movement] = true;
        const QString text =
            line + QStringLiteral(" ↔ ") + MovementText(book.movements[*pair.movement]);
        (pair.state == PairState::Reconciled ? done : proposed) << text;
    }
    QStringList open;
    for (std::size_t m = 0; m < book.movements.size(); ++m) {
        const BookMovement& movement = book.movements[m];
        if (!movement.reconciled && !paired[m] &&
            !NotSubjectToReconciliation(movement.record.origin) && movement.date >= first &&
            movement.date <= last)
            open << MovementText(movement);
    }
    Section(out, QStringLiteral("Pares propostos"), proposed);
    Section(out, QStringLiteral("Já conciliadas"), done);
    Section(out, QStringLiteral("Linhas do extrato sem par"), unmatched);
    Section(out, QStringLiteral("Movimentos por conciliar sem par"), open);

    if (aplicar && !proposed.isEmpty()) {
        std::vector<AppliedPair> applied;
        const QStringList refusals =
            ApplyBankPairs(connection, account, statement.lines, book, pairs, &applied);
        if (!refusals.isEmpty()) {
            *message = QStringLiteral("Nada foi conciliado:\n") + refusals.join(QLatin1Char('\n'));
            outcome.status = 2;
            return outcome;
        }
        QStringList written;
        for (const AppliedPair& pair : applied)
            written << QStringLiteral("Linha %1: %2 com data do banco %3")
                           .arg(QString::number(statement.lines[pair.line].position),
                                MovementText(
                                    book.movements[*pairs[std::size_t(pair.line)].movement]),
                                Day(pair.bankDate));
        Section(out, QStringLiteral("Conciliados"), written);
    }
    const QDate day = statement.closingDate.value_or(last);
    const Money reconciled = ReconciledBalance(book, pairs, day);
    if (statement.closing)
        out << QStringLiteral("Saldo final do extrato: ") + Euro(*statement.closing);
    else
        out << QStringLiteral("O extrato não indica o saldo final.");
    out << (aplicar ? QStringLiteral("Saldo conciliado a %1: %2")
                    : QStringLiteral("Saldo conciliado a %1, com os pares propostos: %2"))
               .arg(Day(day), Euro(reconciled));
    if (statement.closing)
        out << QStringLiteral("Diferença: ") + Euro(*statement.closing - reconciled);
    return outcome;
}

int Run(GeneralInterface* general, const StatementJob& job, QString* report, QString* message) {
    JobChoice choice;
    if (StartJob(general, job, choice, message) != 0)
        return 2;
    BankStatement statement;
    if (const auto failed =
            Try([&] { statement = ReadAccountBankFile(job.importPath, choice.conta); })) {
        *message = failed->description;
        return 2;
    }
    QString refusal;
    Outcome outcome;
    if (const auto failed = Try([&] {
            refusal =
                OtherAccountRefusal(Data().SqlServer, choice.conta, statement, job.importPath);
            if (refusal.isEmpty())
                outcome = MatchAndApply(choice.conta, statement, job.aplicar, message);
        })) {
        *message = QStringLiteral("Não foi possível conciliar a conta %1: %2")
                       .arg(QString::number(choice.conta), failed->description);
        return 2;
    }
    if (!refusal.isEmpty()) {
        *message = refusal;
        return 2;
    }
    *report = outcome.report.join(QLatin1Char('\n'));
    return outcome.status;
}

}  // namespace
}  // namespace orla

extern "C" int OrlaContas_RunImportJob(orla::GeneralInterface* general,
                                       const orla::StatementJob* job, QString* report,
                                       QString* message) {
    QString ignored, nothing;
    QString* text = message ? message : &ignored;
    QString* lines = report ? report : &nothing;
    text->clear();
    lines->clear();
    return job ? orla::Run(general, *job, lines, text) : 2;
}
