// The statement report of 100,000 rows (header placeholders, nine row values escaped straight
// into the file's bytes, the summary by document type, the output file), against the floor of
// writing the same number of bytes the same way (a new file flushed to disk and renamed into
// place), and the memory the report takes beyond its rows.
#include "platform/SharedFiles.h"
#include "printing/StatementReport.h"

#include "BestOf.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const int kRows = qEnvironmentVariableIntValue("BENCH_ROWS") > 0
                      ? qEnvironmentVariableIntValue("BENCH_ROWS")
                      : 100000;

const QString kTemplate = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs18 "
    "{\\b Extrato de conta} <<conta_descrit>>\\par Lisboa, <<data>>\\par "
    "Per\\'edodo: <<data_inicio>> a <<data_fim>>\\par "
    "\\trowd\\trgaph70\\cellx1200\\cellx2600\\cellx4600\\cellx5800\\cellx7200\\cellx8200"
    "\\cellx9200\\cellx10400 \\intbl Data\\cell Origem\\cell Entidade\\cell Refer\\'eancia\\cell "
    "Documento\\cell D\\'e9bito\\cell Cr\\'e9dito\\cell Saldo\\cell\\row "
    "\\trowd\\trgaph70\\cellx1200\\cellx2600\\cellx4600\\cellx5800\\cellx7200\\cellx8200"
    "\\cellx9200\\cellx10400 \\intbl <data>\\cell <origem>\\cell <entidade>\\cell <ref>\\cell "
    "<doc_no>\\cell\\qr <debito>\\cell\\qr <credito>\\cell\\qr <saldo>\\cell\\row "
    "\\trowd\\trgaph70\\cellx4000\\cellx6000 \\intbl <mpag_descrit>\\cell\\qr "
    "<mpag_valor>\\cell\\row \\pard\\par Fim do extrato.}");

// The process's resident memory now and at its peak, in bytes (Linux).
qint64 Memory(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// From here on the peak is measured afresh.
void ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (!refs.open(QIODevice::WriteOnly) || refs.write("5") != 1)
        std::fprintf(stderr, "bench_rtf: the peak memory cannot be reset\n");
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("Extrato_Conta.doc"));
    const QString floorFile = dir.filePath(QStringLiteral("floor.bin"));

    // The list's rows as the statement window gives them, made before timing.
    const qint64 empty = Memory("VmRSS:");
    orla::StatementReportSource source{QStringLiteral("Banco {Atlântico} \\ Ordem"),
                                       QDateTime(QDate(2026, 11, 1), QTime()),
                                       QDateTime(QDate(2026, 11, 30), QTime()),
                                       {}};
    const QString tipos[] = {QStringLiteral("Recibo"), QStringLiteral("Fatura"),
                             QStringLiteral("Nota de Crédito"), QString()};
    source.rows.resize(size_t(kRows));
    for (int i = 0; i < kRows; ++i) {
        orla::StatementReportRow& row = source.rows[size_t(i)];
        row.cells = {QStringLiteral("%1-11-2026").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                     QStringLiteral("Recebimento"),
                     QStringLiteral("Cliente {%1} Gonçalves & Filhos").arg(i % 500),
                     QStringLiteral("REF\\%1").arg(i),
                     tipos[i % 4],
                     QStringLiteral("RC %1").arg(i),
                     QStringLiteral("€ %1,00").arg(i % 997),
                     i % 3 ? QString() : QStringLiteral("€ 12,50"),
                     QStringLiteral("€ %1,37").arg(1000 + i)};
        row.debito = *orla::Money::FromVariant(i % 997);
        if (i % 3 == 0)
            row.credito = *orla::Money::FromVariant(12.5);
    }
    const qint64 rowsHeld = Memory("VmRSS:") - empty;

    const auto report = [&] {
        orla::WriteStatementReport(output, kTemplate, source, QStringLiteral("06 dezembro 2026"));
    };
    const qint64 before = Memory("VmRSS:");
    ResetPeak();
    report();
    const qint64 taken = Memory("VmHWM:") - before;
    const qint64 bytes = QFileInfo(output).size();
    const double reportMs = BestOf(report);

    // Written as a report is: whole, flushed to disk and renamed into place.
    const QByteArray same(bytes, 'x');
    const double floorMs = BestOf([&] {
        if (orla::WriteWholeFile(floorFile, same, orla::Placement::Private) != 0)
            std::fprintf(stderr, "bench_rtf: could not write the floor file\n");
    });
    std::printf("rows: %d, bytes written: %lld\n", kRows, static_cast<long long>(bytes));
    std::printf("floor (write the bytes):  %.1f ms\n", floorMs);
    std::printf("statement report:         %.1f ms, ratio %.2f\n", reportMs, reportMs / floorMs);
    std::printf(
        "memory: the rows %.1f MB; the report %.1f MB more at its peak (%.2f of the "
        "output)\n",
        rowsHeld / 1e6, taken / 1e6, double(taken) / double(bytes));
    std::printf("(goal: at most 5.00 times the floor; memory at most about twice the output)\n");
    return 0;
}
