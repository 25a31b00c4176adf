// What the statement report prints, read from the statement window.
#pragma once

#include "printing/StatementReport.h"
#include "statement/StatementRows.h"

#include <vector>

namespace orla {

class frmMain;

// The account's text, the period and the listed rows in list order: each row's shown texts
// and its listed debit and credit as values.
StatementReportSource ReportSourceOf(const QString& conta, const QDate& inicio, const QDate& fim,
                                     const std::vector<StatementRow>& rows);

// The same as the statement window shows them.
StatementReportSource ReadStatementReportSource(const frmMain& window);

}  // namespace orla
