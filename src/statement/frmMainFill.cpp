// The statement window's refresh: Fill and RemoteKey.
#include "common/ControlValues.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/services/ErrorReport.h"
#include "statement/ReconciliationStatements.h"
#include "statement/StatementReader.h"
#include "statement/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTreeView>

namespace orla {

void frmMain::Fill(int, int, int) {
    // A connection found closed is opened again first; when it cannot be, the list stays.
    if (Data().SqlServer.State() != Connection::adStateOpen && !CheckSharedConnection().isEmpty())
        return;
    Statement statement;
    bool cleared = false;
    const bool complete = Guard({objectName(), QStringLiteral("Fill"), ReportFilter::NotZero}, [&] {
        const std::optional<qint64> account = SelectedKey(FXConta_ID);
        const AccountInfo info = ReadAccount(Data().SqlServer, account);
        if (info.found)
            systemAccount_ = info.system;
        QDate inicio = FXData_Inicio->date();
        QDate fim = FXData_Fim->date();
        ClampToBalanceDate(info, inicio, fim);
        if (inicio != FXData_Inicio->date())
            FXData_Inicio->setDate(inicio);
        if (fim != FXData_Fim->date())
            FXData_Fim->setDate(fim);
        cleared = true;  // the list is replaced below by the rows read from here on
        dataVersion_.reset();
        StatementRequest request;
        request.account = account;
        request.inicio = FXData_Inicio->date();
        request.fim = FXData_Fim->date();
        request.paymentMode = SelectedKey(FXModo_Pagamento_ID);
        request.ignorarAnteriores = FXIgnorarAnteriores->isChecked();
        request.concilOnly = FXConcil_Only->isChecked();
        ReadStatement(Data().SqlServer, request, info, QDate::currentDate(), statement);
        dataVersion_ = Data().SqlServer.DataVersion();
    });
    if (!cleared)
        return;  // failed before the list was cleared: the rows shown stay
    model_->SetRows(std::move(statement.rows));
    newestRow_ = statement.scrollRow;
    ScrollToNewest();
    if (complete)
        ShowTotals(statement);
}

void frmMain::ShowTotals(const Statement& statement) {
    DefinirValorControlo(FXDebitos, statement.debitos.ToDouble(), 4);
    DefinirValorControlo(FXCreditos, statement.creditos.ToDouble(), 4);
}

void frmMain::RemoteKey(const QVariant& ID, int Flag) {
    Guard({objectName(), QStringLiteral("RemoteKey"), ReportFilter::NotZeroNor3709}, [&] {
        if (!isVisible())
            return;
        if (isEnabled()) {
            activateWindow();
            setFocus();
        }
        Fill(0, 0, 0);
        const QString prefix = RemoteKeyPrefix(Flag);
        if (prefix.isEmpty() || model_->RowCount() == 0)
            return;
        SelectRow(model_->FindKey(prefix + ID.toString()));
    });
}

}  // namespace orla
