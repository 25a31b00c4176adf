#include "printing/StatementReport.h"

#include "common/Folders.h"
#include "common/Format.h"
#include "common/Trim.h"
#include "context/SharedConnection.h"
#include "printing/Placeholders.h"
#include "printing/RtfFill.h"
#include "printing/modTemplates.h"
#include "statement/StatementModel.h"
#include "statement/frmMain.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QDateEdit>
#include <QScopeGuard>
#include <QTreeView>

#include <utility>

namespace orla {
namespace {

const QString kModule = QStringLiteral("frmImpressoes");
// "<tipo>" is the type alone, for templates that show it in a column of its own.
const QStringList kRowPlaceholders{
    QStringLiteral("<data>"),    QStringLiteral("<origem>"), QStringLiteral("<entidade>"),
    QStringLiteral("<ref>"),     QStringLiteral("<doc_no>"), QStringLiteral("<debito>"),
    QStringLiteral("<credito>"), QStringLiteral("<saldo>"),  QStringLiteral("<tipo>")};

// Column positions in a source row.
enum { Data, Origem, Entidade, Referencia, Tipo, Documento, Debito, Credito, Saldo };

// "Tipo [Número]", or the one that is there, or three blanks for neither.
QString DocNo(const QString& tipo, const QString& numero) {
    const bool hasTipo = !TrimSpaces(tipo).isEmpty();
    const bool hasNumero = !TrimSpaces(numero).isEmpty();
    if (!hasTipo && !hasNumero)
        return QStringLiteral("   ");
    if (hasTipo && hasNumero)
        return StringRTF(tipo + QStringLiteral(" [") + numero + QLatin1Char(']'));
    return StringRTF(hasTipo ? tipo : numero);
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

QString FilledRow(const QString& rowTemplate, const QStringList& cells) {
    return ReplacePlaceholders(rowTemplate,
                               {{kRowPlaceholders[0], StringRTF(cells[Data])},
                                {kRowPlaceholders[1], StringRTF(cells[Origem])},
                                {kRowPlaceholders[2], StringRTF(cells[Entidade])},
                                {kRowPlaceholders[3], StringRTF(cells[Referencia])},
                                {kRowPlaceholders[4], DocNo(cells[Tipo], cells[Documento])},
                                {kRowPlaceholders[5], StringRTF(cells[Debito])},
                                {kRowPlaceholders[6], StringRTF(cells[Credito])},
                                {kRowPlaceholders[7], StringRTF(cells[Saldo])},
                                {kRowPlaceholders[8], StringRTF(cells[Tipo])}});
}

// The summary table: one row per document type, in order of type.
QString FillSummary(const QString& body, Dictionary& summary) {
    RowSection section(body, {QStringLiteral("<mpag_descrit>")});
    if (!section.found() || summary.Count() == 0)
        return body;
    if (std::optional<Dictionary> sorted = SortDictionary(summary, 1))
        summary = std::move(*sorted);
    QString d1 = QStringLiteral("<");
    QString d2 = QStringLiteral(">");
    for (int i = 0; i < summary.Count(); ++i) {
        QString row = section.rowTemplate();
        // The type is a listed text: made safe for RTF like the movement rows.
        PublishValue(row, QStringLiteral("mpag_descrit"), StringRTF(summary.Keys()[i]), {}, &d1,
                     &d2);
        // The amount in single precision, formatted, then made safe too: the locale's
        // grouping may be a no-break space, which must not reach the file as a raw byte.
        PublishValue(row, QStringLiteral("mpag_valor"),
                     StringRTF(Format(float(CDbl(summary.Items()[i])), QStringLiteral("#,##0.00"))),
                     {}, &d1, &d2);
        section.add(row);
    }
    return section.apply(body);
}

}  // namespace

StatementReportSource ReadStatementWindow(const frmMain& source) {
    StatementReportSource read;
    read.conta = source.FXConta_ID->currentText();
    read.inicio = source.FXData_Inicio->dateTime();
    read.fim = source.FXData_Fim->dateTime();
    // The rows as the list shows them, in its order.
    const QAbstractItemModel* list = source.ListView1->model();
    const int count = list->rowCount();
    read.rows.reserve(size_t(count));
    for (int r = 0; r < count; ++r) {
        StatementReportRow row;
        for (int c = Data; c <= Saldo; ++c)
            row.cells << list->index(r, c).data(Qt::DisplayRole).toString();
        const auto amount = [&](int role) {
            const QVariant value = list->index(r, Data).data(role);
            return value.isValid() ? std::optional<Money>(value.value<Money>()) : std::nullopt;
        };
        row.debito = amount(StatementModel::DebitRole);
        row.credito = amount(StatementModel::CreditRole);
        read.rows.push_back(std::move(row));
    }
    return read;
}

QString FillStatementReport(const QString& templateText, const StatementReportSource& source,
                            const QString& data) {
    // The account's text goes in as it is: the list's own account line.
    QString body = ReplacePlaceholders(
        templateText,
        {{QStringLiteral("<<conta_descrit>>"),
          source.rows.empty() ? QStringLiteral("  ") : source.conta},
         {QStringLiteral("<<data>>"), StringRTF(data)},
         {QStringLiteral("<<data_inicio>>"), StringRTF(Format(source.inicio, formats::kData))},
         {QStringLiteral("<<data_fim>>"), StringRTF(Format(source.fim, formats::kData))}});

    RowSection movements(
        body, {QStringLiteral("<data>"), QStringLiteral("<origem>"), QStringLiteral("<tipo>")});
    Dictionary summary;
    if (movements.found() && !source.rows.empty()) {
        for (const StatementReportRow& row : source.rows) {
            movements.add(FilledRow(movements.rowTemplate(), row.cells));
            const QString tipo = TrimSpaces(row.cells[Tipo]);
            if (tipo.isEmpty())
                continue;
            const float debito = Amount(row.debito);
            const float credito = Amount(row.credito);
            if (!summary.Exists(tipo))
                summary.Add(tipo, debito - credito);
            else
                summary.SetItem(tipo, summary.Item(tipo).toFloat() + debito - credito);
        }
        body = movements.apply(body);
    } else {
        QList<Placeholder> blanks;
        for (const QString& name : kRowPlaceholders)
            blanks.append({name, QStringLiteral(" ")});
        body = ReplacePlaceholders(body, blanks);
    }
    return FillSummary(body, summary);
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

QString DoReport(const frmMain& source, QString& OutFile, Placement placement) {
    OrlaError failure;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        try {
            QString text = GetTemplate(QStringLiteral("Extrato_Conta.doc"), 0, true, 0);
            text = PrintEmpresa(text, 0, false);
            if (OutFile.isEmpty())
                OutFile = PastaTemporaria() + QStringLiteral("/Extrato_Conta.doc");
            // The day and the year are two readings of the server's date.
            const QString data = Format(GetServerDate(), QStringLiteral("dd mmmm")) +
                                 QLatin1Char(' ') + Format(GetServerDate(), QStringLiteral("yyyy"));
            WriteReportFile(OutFile, FillStatementReport(text, ReadStatementWindow(source), data),
                            placement);
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
