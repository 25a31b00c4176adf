#include "statement/StatementReportSource.h"

#include "statement/frmMain.h"

#include <QComboBox>
#include <QDateEdit>

namespace orla {

StatementReportSource ReadStatementReportSource(const frmMain& window) {
    StatementReportSource read;
    read.conta = window.FXConta_ID->currentText();
    read.inicio = window.FXData_Inicio->dateTime();
    read.fim = window.FXData_Fim->dateTime();
    const StatementModel& list = *window.ListModel();
    read.rows.resize(size_t(list.RowCount()));
    for (int r = 0; r < list.RowCount(); ++r) {
        const StatementRow& row = list.Row(r);
        StatementReportRow& out = read.rows[size_t(r)];
        for (int c = ColData; c <= ColSaldo; ++c)
            out.cells[size_t(c)] = StatementCell(row, c);
        out.debito = row.debito;
        out.credito = row.credito;
    }
    return read;
}

}  // namespace orla
