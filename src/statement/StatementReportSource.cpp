#include "statement/StatementReportSource.h"

#include "statement/frmMain.h"

#include <QComboBox>
#include <QDateEdit>

namespace orla {

StatementReportSource ReportSourceOf(const QString& conta, const QDate& inicio, const QDate& fim,
                                     const std::vector<StatementRow>& rows) {
    StatementReportSource read;
    read.conta = conta;
    read.inicio = inicio.startOfDay();
    read.fim = fim.startOfDay();
    read.rows.resize(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        StatementReportRow& out = read.rows[r];
        for (int c = ColData; c <= ColSaldo; ++c)
            out.cells[size_t(c)] = StatementCell(rows[r], c);
        out.debito = rows[r].debito;
        out.credito = rows[r].credito;
    }
    return read;
}

StatementReportSource ReadStatementReportSource(const frmMain& window) {
    const StatementModel& list = *window.ListModel();
    std::vector<StatementRow> rows;
    rows.reserve(size_t(list.RowCount()));
    for (int r = 0; r < list.RowCount(); ++r)
        rows.push_back(list.Row(r));
    return ReportSourceOf(window.FXConta_ID->currentText(), window.FXData_Inicio->date(),
                          window.FXData_Fim->date(), rows);
}

}  // namespace orla
