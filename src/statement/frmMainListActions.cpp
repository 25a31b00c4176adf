// What the user does in the statement list and its toolbar: the total of the
// selected movements, F3 and the value search, a new transfer, the print
// dialog and a new cost in the suite's cost component.
#include "common/ControlValues.h"
#include "common/Money.h"
#include "context/Context.h"
#include "platform/components/ComponentRegistry.h"
#include "platform/db/Error.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"
#include "printing/frmImpressoes.h"
#include "statement/StatementReportSource.h"
#include "statement/StatementSearch.h"
#include "statement/frmImportarExtrato.h"
#include "statement/frmMain.h"
#include "transfers/frmTransferencia.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

namespace orla {
namespace {

void Say(const QString& message) {
    CurrentPrompts().MsgBox(message, vb::Information, QCoreApplication::applicationName());
}

}  // namespace

void frmMain::ListView1_ItemClick() {
    Guard({objectName(), QStringLiteral("ListView1_ItemClick"), ReportFilter::NotZeroNor3709}, [&] {
        const QModelIndex current = ListView1->currentIndex();
        if (model_->RowCount() == 0 || !current.isValid())
            return;
        if (model_->Row(current.row()).Origin() == 0)
            return;  // the opening row, or a movement without an origin
        for (int r = 0; r < model_->RowCount(); ++r)
            model_->SetColour(r, model_->Row(r).checked ? QPalette::Dark : QPalette::WindowText);
    });
}

void frmMain::ShowSelectedTotal() {
    Guard({objectName(), QStringLiteral("ShowSelectedTotal"), ReportFilter::NotZeroNor3709}, [&] {
        Money total;
        int count = 0;
        for (const QModelIndex& index : ListView1->selectionModel()->selectedRows()) {
            const StatementRow& row = model_->Row(index.row());
            if (row.IsOpening())
                continue;
            total += row.debito.value_or(Money()) - row.credito.value_or(Money());
            ++count;
        }
        selectedTotal_ = total;
        const bool shown = total != Money() || count > 1;
        FXTotalSelecionado_Label->setVisible(shown);
        FXTotalSelecionado->setVisible(shown);
        DefinirValorControlo(FXTotalSelecionado, total.ToDouble(), FormatAuto);
        FormatarControlo(FXTotalSelecionado, FormatEuro2);
    });
}

int frmMain::FindText(int from) const {
    const SearchTerm term = ReadSearchTerm(searchText_);
    for (int r = qMax(from, 0); r < model_->RowCount(); ++r) {
        if (RowHolds(model_->Row(r), term))
            return r;
    }
    return -1;
}

void frmMain::ListView1_KeyDown(int KeyCode, int) {
    Guard({objectName(), QStringLiteral("ListView1_KeyDown"), ReportFilter::NotZeroNor3709}, [&] {
        if (KeyCode != 114 || searchText_.isEmpty())
            return;
        const QModelIndex current = ListView1->currentIndex();
        if (!current.isValid())
            throw OrlaError(91, QStringLiteral("Object variable or With block variable not set"));
        const int from = current.row() + 1;
        if (from >= model_->RowCount())
            return;
        const int found = FindText(from);
        if (found < 0) {
            Say(QStringLiteral("Não foram encontrados mais registos!"));
            return;
        }
        SelectRow(found);
        ListView1->setFocus();
    });
}

void frmMain::Procurar() {
    const QString answer =
        CurrentPrompts().InputBox(QStringLiteral("Digite o valor que pretende pesquisar:"),
                                  QStringLiteral("Procurar valor"), QString());
    searchText_ = answer;
    if (answer.isEmpty())
        return;
    ListView1->clearSelection();
    const int found = FindText(0);
    if (found < 0) {
        Say(QStringLiteral("Não foram encontrados registos!"));
        return;
    }
    SelectRow(found);
    ListView1->setFocus();
}

void frmMain::NovoCusto() {
    objCustos_ = CreateCostComponent(QLatin1String(kClsidCustos));
    const ContextValues& c = Context();
    QVariant result;
    objCustos_->Connect(c.User, c.Password, c.cnUser, c.cnPassword, c.cnInitialCatalog,
                        c.cnDataSource, c.cnDataSourceSecondary, 0, result);
    objCustos_->Open(QStringLiteral("Activos"), QVariant(), 0, this);
}

std::optional<Money> frmMain::SelectedTotal() const {
    if (!FXTotalSelecionado->isVisibleTo(this))
        return std::nullopt;
    return selectedTotal_;
}

frmTransferencia* AbrirTransferencia(frmMain* janela, qint32 trfId, qint32 contaOrigemId) {
    auto* window = new frmTransferencia(janela);
    window->Trf_ID = trfId;
    window->Conta_Origem_ID = trfId == 0 ? contaOrigemId : 0;
    if (trfId == 0)
        window->Valor_Proposto = janela->SelectedTotal();
    QObject::connect(window, &frmTransferencia::TransferenciaFechada, janela, [janela](qint32 id) {
        janela->RemoteKey(QStringLiteral("0") + QString::number(id), 2050);
    });
    window->show();
    return window;
}

frmImpressoes* AbrirImpressoes(frmMain* janela) {
    auto* dialog =
        new frmImpressoes(janela, [janela] { return ReadStatementReportSource(*janela); });
    QObject::connect(dialog, &frmImpressoes::Closed, janela,
                     [janela, dialog] { janela->Reactivate(1, dialog); });
    dialog->show();
    return dialog;
}

void frmMain::Toolbar1_ButtonClick(QAction* Button) {
    Guard({objectName(), QStringLiteral("Toolbar1_ButtonClick"), ReportFilter::NotZeroNor3709},
          [&] {
              const QString key = Button->objectName();
              if (key == QLatin1String("transferencia")) {
                  const bool selected = FXConta_ID->currentIndex() >= 0;
                  AbrirTransferencia(this, 0, selected ? LongValue(FXConta_ID->currentData()) : 0);
              } else if (key == QLatin1String("procurar")) {
                  Procurar();
              } else if (key == QLatin1String("imprimir")) {
                  AbrirImpressoes(this);
              } else if (key == QLatin1String("custo")) {
                  NovoCusto();
              } else if (key == QLatin1String("importar")) {
                  ImportarExtrato(this);
              }
          });
}

}  // namespace orla
