// The account statement report: what the statement window lists, as it is
// listed, in the template "Extrato_Conta.doc", with a summary of the net
// amount of each document type.
#pragma once

#include "common/Dictionary.h"
#include "common/Money.h"
#include "platform/SharedFiles.h"
#include "printing/RtfFill.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace orla {

// One listed row: its shown texts (Data, Origem, Entidade, Referência, Tipo de
// Documento, Documento, Débito, Crédito, Saldo) and its listed debit and credit.
struct StatementReportRow {
    std::array<QString, 9> cells;
    std::optional<Money> debito;
    std::optional<Money> credito;
};

// What the report prints, as the statement window lists it at the moment of the build.
struct StatementReportSource {
    QString conta;  // the account box's text
    QDateTime inicio;
    QDateTime fim;
    std::vector<StatementReportRow> rows;  // in list order: the newest on top
};

// The statement's template with the company's data filled, and the printing date as shown:
// what a build reads from the database, on the thread that holds the shared connection.
struct StatementTemplate {
    QString text;
    QString data;
};
// Throws OrlaError as GetTemplate and PrintEmpresa do.
StatementTemplate ReadStatementTemplate();
// The temporary folder's "Extrato_Conta.doc"; throws as PastaTemporaria does.
QString StatementReportFile();

// Writes to `path` (as WriteReportFile does, with the placement's mode) the template (company
// placeholders already filled) with the statement's header, movement rows and summary rows;
// `data` is the printing date as shown. The header's totals are the listed debits and
// credits added up and the top row's balance (the period's closing one). Amounts print
// without the currency sign, which the template's headings carry. The movement rows go
// straight into the file's bytes, telling `progress` as they go (RowSection::writeAnsi).
void WriteStatementReport(const QString& path, const QString& templateText,
                          const StatementReportSource& source, const QString& data,
                          Placement placement = Placement::Private,
                          const RowProgress& progress = {});

// A new collection with objDict's entries, keys and items as text, in ascending
// order of column intSort (1 key, 2 item) compared as text without regard to
// case; objDict is emptied. With fewer than two entries, none and objDict is
// left as it is.
std::optional<Dictionary> SortDictionary(Dictionary& objDict, int intSort);

// Builds the report of `source` into OutFile (the temporary
// folder's "Extrato_Conta.doc" when empty, set on return), with the placement's
// mode (WriteReportFile). The path written, or an empty text after the failure
// was shown or reported.
QString DoReport(const StatementReportSource& source, QString& OutFile,
                 Placement placement = Placement::Private);

}  // namespace orla
