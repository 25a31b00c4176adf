// The transfer report: the template "Transferencia.doc" of the templates
// folder with its placeholders replaced by the values the transfer window shows.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace orla {

class Connection;

// What the report prints, read from the window.
struct TransferReportValues {
    std::optional<QString> utilizador;  // the user's contact name; none when unknown
    QDateTime hoje;                     // the server's date
    QDateTime data;                     // 01-01-1900 for a picker without a date
    QDateTime dataDebito;
    QDateTime dataDestino;
    QDateTime dataDebitoDestino;
    QString origem;  // the accounts as shown; empty when none is chosen
    QString destino;
    QString valorTag;  // the raw amount
    QString obs;
};

// The template with every placeholder replaced, values made safe for RTF and
// never searched again. "<user>" and "<today>" match in any case, the others
// only as written.
QString FillTransferReport(const QString& templateText, const TransferReportValues& values);

// The contact name of the application user; none when the user has no
// contact or the name is null.
std::optional<QString> NomeUtilizador(Connection& connection, const QString& user);

}  // namespace orla
