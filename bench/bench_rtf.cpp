// Filling a statement-like RTF template with 100,000 rows (header
// placeholders, eight row values escaped and replaced, the row section, the
// output file), against the floor of writing the same number of bytes the
// same way (a new file flushed to disk and renamed into place).
#include "common/TextHelpers.h"
#include "platform/SharedFiles.h"
#include "printing/RtfFill.h"

#include "BestOf.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <span>
#include <vector>

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
    "\\pard\\par Fim do extrato.}");

const char* const kPlaceholders[] = {"<data>",   "<origem>", "<entidade>", "<ref>",
                                     "<doc_no>", "<debito>", "<credito>",  "<saldo>"};

QByteArray Digest(const QString& path) {
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result() : QByteArray();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("Extrato_Conta.doc"));
    const QString floorFile = dir.filePath(QStringLiteral("floor.bin"));

    // The list's shown texts, made before timing as the window holds them.
    std::vector<std::array<QString, 8>> rows(static_cast<size_t>(kRows));
    for (int i = 0; i < kRows; ++i)
        rows[size_t(i)] = {QStringLiteral("%1-11-2026").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                           QStringLiteral("Recebimento"),
                           QStringLiteral("Cliente {%1} Gonçalves & Filhos").arg(i % 500),
                           QStringLiteral("REF\\%1").arg(i),
                           QStringLiteral("RC %1").arg(i),
                           QStringLiteral("€ %1,00").arg(i % 997),
                           i % 3 ? QString() : QStringLiteral("€ 12,50"),
                           QStringLiteral("€ %1,37").arg(1000 + i)};

    qint64 bytes = 0;
    // Header placeholders, then the row section, filled and written by fillAndWrite.
    const auto build =
        [&](const std::function<void(const QString&, orla::RowSection&)>& fillAndWrite) {
            QString body = kTemplate;
            body = orla::SubstituirTexto(body, QStringLiteral("<<conta_descrit>>"),
                                         QStringLiteral("Banco {Atlântico} \\ Ordem"));
            body = orla::SubstituirTexto(body, QStringLiteral("<<data>>"),
                                         orla::StringRTF(QStringLiteral("06 dezembro 2026")));
            body = orla::SubstituirTexto(body, QStringLiteral("<<data_inicio>>"),
                                         orla::StringRTF(QStringLiteral("01-11-2026")));
            body = orla::SubstituirTexto(body, QStringLiteral("<<data_fim>>"),
                                         orla::StringRTF(QStringLiteral("30-11-2026")));
            orla::RowSection section(body, {QStringLiteral("<data>"), QStringLiteral("<origem>")});
            fillAndWrite(body, section);
            bytes = QFileInfo(output).size();
        };
    // Each row a copy of the row template with SubstituirTexto per escaped value, the body
    // as text, converted to the code page as it is written.
    const double perPlaceholderMs = BestOf([&] {
        build([&](const QString& body, orla::RowSection& section) {
            for (const auto& row : rows) {
                QString filled = section.rowTemplate();
                for (size_t c = 0; c < 8; ++c)
                    filled = orla::SubstituirTexto(filled, QLatin1String(kPlaceholders[c]),
                                                   orla::StringRTF(row[c]));
                section.add(filled);
            }
            orla::WriteReportFile(output, section.apply(body));
        });
    });
    const QByteArray perPlaceholderDigest = Digest(output);
    // The row template split once at its placeholders; each value escaped straight into
    // the file's bytes, made and written a piece at a time.
    const double bytesMs = BestOf([&] {
        build([&](const QString& body, orla::RowSection& section) {
            QStringList placeholders;
            for (const char* p : kPlaceholders)
                placeholders << QLatin1String(p);
            section.setPlaceholders(placeholders);
            section.writeAnsi(output, body, qsizetype(rows.size()), [&](qsizetype r) {
                return std::span<const QString>(rows[size_t(r)]);
            });
        });
    });
    if (Digest(output) != perPlaceholderDigest) {
        std::fprintf(stderr, "bench_rtf: the two fills wrote different files\n");
        return 1;
    }

    // Written as a report is: whole, flushed to disk and renamed into place.
    const QByteArray same(bytes, 'x');
    const double floorMs = BestOf([&] {
        if (orla::WriteWholeFile(floorFile, same, orla::Placement::Private) != 0)
            std::fprintf(stderr, "bench_rtf: could not write the floor file\n");
    });
    std::printf("rows: %d, bytes written: %lld\n", kRows, static_cast<long long>(bytes));
    std::printf("floor (write the bytes):          %.1f ms\n", floorMs);
    std::printf("fill, SubstituirTexto per value:  %.1f ms, ratio %.2f\n", perPlaceholderMs,
                perPlaceholderMs / floorMs);
    std::printf("fill, values escaped into bytes:  %.1f ms, ratio %.2f\n", bytesMs,
                bytesMs / floorMs);
    std::printf("(goal: at most 5.00 times the floor; fill under 1000 ms)\n");
    return 0;
}
