#include "printing/StatementReport.h"

#include "common/Folders.h"
#include "common/Format.h"
#include "common/Trim.h"
#include "context/SharedConnection.h"
#include "printing/Placeholders.h"
#include "printing/RtfFill.h"
#include "printing/modTemplates.h"

#include <QApplication>
#include <QCollator>
#include <QHash>
#include <QScopeGuard>

#include <span>
#include <utility>

namespace orla {
namespace {

const QString kModule = QStringLiteral("frmImpressoes");

// Column positions in a source row.
enum { Data, Origem, Entidade, Referencia, Tipo, Documento, Debito, Credito, Saldo };

// The row placeholders, one per column of a source row: "<doc_no>" takes the place of the
// document number, "<tipo>" is the type alone, for templates that show it in a column of
// its own.
const QStringList kRowPlaceholders{
    QStringLiteral("<data>"),   QStringLiteral("<origem>"),  QStringLiteral("<entidade>"),
    QStringLiteral("<ref>"),    QStringLiteral("<tipo>"),    QStringLiteral("<doc_no>"),
    QStringLiteral("<debito>"), QStringLiteral("<credito>"), QStringLiteral("<saldo>")};

// "Tipo [Número]", or the one that is there, or nothing (printed as three blanks).
QString DocNo(const QString& tipo, const QString& numero) {
    const bool hasTipo = !TrimSpaces(tipo).isEmpty();
    const bool hasNumero = !TrimSpaces(numero).isEmpty();
    if (hasTipo && hasNumero)
        return tipo + QStringLiteral(" [") + numero + QLatin1Char(']');
    return hasTipo ? tipo : hasNumero ? numero : QString();
}

// A listed amount in single precision, as the list shows it: to the cent, halves away from
// zero; none is 0.
float Amount(const std::optional<Money>& amount) {
    if (!amount)
        return 0.0f;
    const qint64 units = amount->Units();
    const qint64 cents = (units < 0 ? units - 50 : units + 50) / 100;
    return float(double(cents) / 100.0);
}

// A listed amount as the report prints it: the list's digits, without its currency sign.
QString AmountText(const std::optional<Money>& amount) {
    return amount ? Format(*amount, formats::kValor) : QString();
}

// The net amount (debit minus credit) of each document type, in single precision, added up
// in list order under the type as first listed in any case. Rows seldom spell a type in more
// than one way: a spelling already seen finds its type without folding its case again.
Dictionary Summary(const std::vector<StatementReportRow>& rows) {
    QHash<QString, qsizetype> typeOfSpelling;
    QHash<QString, qsizetype> typeOfFolded;
    QStringList types;
    std::vector<float> sums;
    for (const StatementReportRow& row : rows) {
        const QString tipo = TrimSpaces(row.cells[Tipo]);
        if (tipo.isEmpty())
            continue;
        auto type = typeOfSpelling.constFind(tipo);
        if (type == typeOfSpelling.constEnd()) {
            const QString folded = tipo.toCaseFolded();
            qsizetype known = typeOfFolded.value(folded, -1);
            if (known < 0) {
                known = qsizetype(sums.size());
                typeOfFolded.insert(folded, known);
                types << tipo;
                sums.push_back(0.0f);
            }
            type = typeOfSpelling.insert(tipo, known);
        }
        float& sum = sums[size_t(*type)];
        sum = sum + Amount(row.debito) - Amount(row.credito);
    }
    Dictionary summary;
    for (qsizetype t = 0; t < types.size(); ++t)
        summary.Add(types[t], sums[size_t(t)]);
    return summary;
}

// The summary table's rows, one per document type in order of type.
QString SummaryRows(const QString& rowTemplate, Dictionary& summary) {
    if (std::optional<Dictionary> sorted = SortDictionary(summary, 1))
        summary = std::move(*sorted);
    QString d1 = QStringLiteral("<");
    QString d2 = QStringLiteral(">");
    QString rows;
    for (int i = 0; i < summary.Count(); ++i) {
        QString row = rowTemplate;
        // The type is a listed text: made safe for RTF like the movement rows.
        PublishValue(row, QStringLiteral("mpag_descrit"), StringRTF(summary.Keys()[i]), {}, &d1,
                     &d2);
        // The amount in single precision, formatted, then made safe too: the locale's
        // grouping may be a no-break space, which must not reach the file as a raw byte.
        PublishValue(row, QStringLiteral("mpag_valor"),
                     StringRTF(Format(float(CDbl(summary.Items()[i])), QStringLiteral("#,##0.00"))),
                     {}, &d1, &d2);
        rows += row;
    }
    return rows;
}

}  // namespace

StatementTemplate ReadStatementTemplate() {
    StatementTemplate read;
    QString text = GetTemplate(QStringLiteral("Extrato_Conta.doc"), 0, true, 0);
    read.text = PrintEmpresa(text, 0, false);
    // The day and the year are two readings of the server's date.
    read.data = Format(GetServerDate(), QStringLiteral("dd mmmm")) + QLatin1Char(' ') +
                Format(GetServerDate(), QStringLiteral("yyyy"));
    return read;
}

QString StatementReportFile() {
    return PastaTemporaria() + QStringLiteral("/Extrato_Conta.doc");
}

void WriteStatementReport(const QString& path, const QString& templateText,
                          const StatementReportSource& source, const QString& data,
                          Placement placement, const RowProgress& progress) {
    Money debitos, creditos;
    for (const StatementReportRow& row : source.rows) {
        debitos += row.debito.value_or(Money());
        creditos += row.credito.value_or(Money());
    }
    // The account's text goes in as it is: the list's own account line.
    const QString body = ReplacePlaceholders(
        templateText,
        {{QStringLiteral("<<conta_descrit>>"),
          source.rows.empty() ? QStringLiteral("  ") : source.conta},
         {QStringLiteral("<<data>>"), StringRTF(data)},
         {QStringLiteral("<<data_inicio>>"), StringRTF(Format(source.inicio, formats::kData))},
         {QStringLiteral("<<data_fim>>"), StringRTF(Format(source.fim, formats::kData))},
         {QStringLiteral("<<total_debito>>"), StringRTF(Format(debitos, formats::kValor))},
         {QStringLiteral("<<total_credito>>"), StringRTF(Format(creditos, formats::kValor))},
         {QStringLiteral("<<saldo_final>>"),
          StringRTF(source.rows.empty() ? QString() : source.rows.front().cells[Saldo])}});

    RowSection movements(
        body, {QStringLiteral("<data>"), QStringLiteral("<origem>"), QStringLiteral("<tipo>")});
    if (!movements.found() || source.rows.empty()) {
        QList<Placeholder> blanks;
        for (const QString& name : kRowPlaceholders)
            blanks.append({name, QStringLiteral(" ")});
        return WriteReportFile(path, ReplacePlaceholders(body, blanks), placement);
    }

    // The summary table, before or after the movements' section (never in it), is filled in
    // the text. Both sections are found in the template itself: no listed text is taken for
    // the other table's placeholders.
    QString filled = body;
    qsizetype shift = 0;
    const RowSection table(body, {QStringLiteral("<mpag_descrit>")});
    if (table.found() && table.start() != movements.start()) {
        Dictionary summary = Summary(source.rows);
        filled = table.apply(body, SummaryRows(table.rowTemplate(), summary));
        if (table.start() < movements.start())
            shift = filled.size() - body.size();
    }

    movements.setPlaceholders(kRowPlaceholders);
    std::array<QString, 9> texts;
    movements.writeAnsi(
        path, QStringView(filled).left(movements.start() + shift),
        QStringView(filled).mid(movements.end() + shift), qsizetype(source.rows.size()),
        [&](qsizetype r) {
            const StatementReportRow& row = source.rows[size_t(r)];
            texts = row.cells;
            texts[Documento] = DocNo(row.cells[Tipo], row.cells[Documento]);
            texts[Debito] = AmountText(row.debito);
            texts[Credito] = AmountText(row.credito);
            return std::span<const QString>(texts);
        },
        placement, progress);
}

std::optional<Dictionary> SortDictionary(Dictionary& objDict, int intSort) {
    if (objDict.Count() <= 1)
        return std::nullopt;
    std::vector<std::pair<QString, QString>> table;
    for (int i = 0; i < objDict.Count(); ++i)
        table.emplace_back(objDict.Keys()[i], TextOf(objDict.Items()[i]));
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto column = [intSort](const std::pair<QString, QString>& row) {
        return (intSort == 2 ? row.second : row.first).toCaseFolded();
    };
    // Exchange sort: equal texts keep the order they came in.
    for (size_t i = 0; i + 1 < table.size(); ++i)
        for (size_t j = i + 1; j < table.size(); ++j)
            if (collator.compare(column(table[i]), column(table[j])) > 0)
                std::swap(table[i], table[j]);
    objDict.RemoveAll();
    Dictionary sorted;
    for (const auto& [key, item] : table)
        sorted.Add(key, item);
    return sorted;
}

QString DoReport(const StatementReportSource& source, QString& OutFile, Placement placement) {
    OrlaError failure;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        try {
            const StatementTemplate read = ReadStatementTemplate();
            if (OutFile.isEmpty())
                OutFile = StatementReportFile();
            WriteStatementReport(OutFile, read.text, source, read.data, placement);
            return OutFile;
        } catch (const OrlaError& error) {
            failure = error;
        } catch (const std::exception& error) {
            failure = OrlaError(5, QString::fromLocal8Bit(error.what()));
        }
    }
    ReportBuildFailure(failure, kModule);  // with the ordinary pointer back
    return {};
}

}  // namespace orla
