// Bank reconciliation: ticking a movement records its bank debit date in its
// source record; unticking takes it away after confirmation.
#include "common/ControlValues.h"
#include "common/Format.h"
#include "common/SqlLiterals.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/db/Values.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/ModalDialogs.h"
#include "platform/services/Prompts.h"
#include "statement/Reconciliation.h"
#include "statement/StatementQueries.h"
#include "statement/StatementUpdate.h"
#include "statement/frmData.h"
#include "statement/frmMain.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QTreeView>

namespace orla {
namespace {

SourceRecord RecordOf(const StatementRow& row) {
    return {row.Origin(), row.armazem.value_or(0), row.doc.value_or(0)};
}

}  // namespace

QDateTime frmMain::LowerLimit() {
    return ReconciliationLimit(Data().SqlServer, SelectedKey(FXConta_ID));
}

void frmMain::ListView1_ItemCheck(int row) {
    if (row < 0 || row >= model_->RowCount())
        return;
    const QString key = model_->Row(row).Key();
    const bool checked = model_->Row(row).checked;
    // A click that did not reach the database is taken back: the list shows what is stored.
    const auto takeBack = [&] {
        const int at = model_->FindKey(key);
        if (at >= 0)
            model_->SetChecked(at, !checked);
    };
    const bool completed = Guard(
        {objectName(), QStringLiteral("ListView1_ItemCheck"), ReportFilter::NotZeroNor3709}, [&] {
            const StatementRow& item = model_->Row(row);
            if (item.Origin() == 0) {
                model_->SetChecked(row, false);
                return;
            }
            const auto refuse = [&](const QString& message) {
                CurrentPrompts().MsgBox(message, vb::Information, windowTitle());
                takeBack();
            };
            if (NotSubjectToReconciliation(item.Origin()))
                return refuse(
                    QStringLiteral("Este registo não está sujeito a reconciliação bancária."));
            if (systemAccount_)
                return refuse(QStringLiteral(
                    "Este registo é do sistema, não pode ser alterado pelo utilizador."));
            if (!CheckSharedConnection().isEmpty())
                return takeBack();
            SelectRow(row);
            const SourceRecord record = RecordOf(item);
            if (checked)
                TickRow(row, record);
            else
                UntickRow(row, record);
        });
    if (!completed)
        takeBack();
}

void frmMain::TickRow(int row, const SourceRecord& record) {
    const QString key = model_->Row(row).Key();
    const QDateTime limit = LowerLimit();
    frmData dialog(this);
    const std::optional<QDateTime> own = model_->Row(row).date;
    const QDate preset = own ? own->date() : GetServerDate().date();
    dialog.MonthView1->setSelectedDate(preset);
    dialog.Paint();
    bool useDefault = false;
    QDate chosen;
    if (WallClock(preset) > limit) {
        ShowModal(dialog);
        chosen = dialog.MonthView1->selectedDate();
        if (chosen != kNoDate && WallClock(chosen) < limit) {
            CurrentPrompts().MsgBox(QStringLiteral("A data de débito tem de ser superior a ") +
                                        Format(limit, QStringLiteral("dd-mm-yyyy")) +
                                        QStringLiteral(" (limite inferior da conta monetária)."),
                                    vb::Information, windowTitle());
            model_->SetChecked(row, false);
            return;
        }
    } else {
        // On or before the closing date nothing is asked: the origin's own date is used.
        useDefault = true;
        dialog.Cancelado = false;
    }
    if (dialog.Cancelado) {
        model_->SetChecked(row, false);
        return;
    }
    model_->SetChecked(row, true);
    SelectRow(row);
    const std::optional<QDateTime> bankDate =
        useDefault ? std::nullopt : std::optional<QDateTime>(WallClock(chosen));
    if (!Reconcile(Data().SqlServer, record, bankDate ? std::optional(chosen) : std::nullopt))
        return;
    if (chosen == kNoDate || !ListReconciledInPlace(row, bankDate))
        RefreshAndReselect(record, key);
}

void frmMain::UntickRow(int row, const SourceRecord& record) {
    const QString key = model_->Row(row).Key();
    const int answer = CurrentPrompts().MsgBox(
        QStringLiteral("Tem a certeza que quer marcar este lançamento como não conciliado?"),
        vb::Question | vb::YesNo, QStringLiteral("Conciliação Bancária"));
    if (answer != vb::Yes) {
        model_->SetChecked(row, true);
        SelectRow(row);
        return;
    }
    if (Unreconcile(Data().SqlServer, record, LowerLimit()))
        RefreshAndReselect(record, key);
}

bool frmMain::ListReconciledInPlace(int row, const std::optional<QDateTime>& bankDate) {
    const std::optional<qint64> version = Data().SqlServer.DataVersion();
    if (!version || version != dataVersion_)
        return false;
    const QString key = model_->Row(row).Key();
    const ListedPeriod period{FXData_Inicio->date(), FXData_Fim->date(), FXConcil_Only->isChecked(),
                              QDate::currentDate()};
    Statement statement;
    const bool listed = model_->EditRows([&](std::vector<StatementRow>& rows) {
        statement.rows = std::move(rows);
        const bool done = ListReconciled(statement, row, bankDate, period);
        rows = std::move(statement.rows);
        return done;
    });
    if (!listed)
        return false;
    newestRow_ = statement.scrollRow;
    ShowTotals(statement);
    SelectRow(model_->FindKey(key));
    return true;
}

void frmMain::RefreshAndReselect(const SourceRecord& record, const QString& key) {
    if (const std::optional<int> flag = RemoteKeyFlag(record.origin)) {
        RemoteKey(QString::number(record.armazem) + QString::number(record.doc), *flag);
        return;
    }
    // The receiving side of a transfer has no flag: it is found by its own key.
    Fill(0, 0, 0);
    SelectRow(model_->FindKey(key));
}

}  // namespace orla
