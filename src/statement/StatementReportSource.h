// What the statement report prints, read from the statement window.
#pragma once

#include "printing/StatementReport.h"

namespace orla {

class frmMain;

// The account box's text, the period and the listed rows in list order: each row's shown
// texts and its listed debit and credit as values.
StatementReportSource ReadStatementReportSource(const frmMain& window);

}  // namespace orla
