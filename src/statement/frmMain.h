// The statement window: an account's movements over a period with the carried
// balance and the running balance, filters, and bank reconciliation by ticking.
#pragma once

#include "statement/StatementModel.h"

#include <orla_contas/Components.h>

#include <QDateTime>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFocusEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QToolBar;
class QTreeView;

namespace orla {

struct SourceRecord;

class frmMain : public QWidget {
    Q_OBJECT

  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Sets the window up afresh: period, lists, the remembered account, first
    // fill. Closing the window unloads it, so the next Show loads it again.
    void Load();
    bool IsLoaded() const { return loaded_; }

    // Reads the selected account's statement again.
    void Fill(int Origem_ID = 0, int Armazem_ID = 0, int Doc_ID = 0);
    // Refills and selects the movement with key prefix-of-Flag followed by ID.
    void RemoteKey(const QVariant& ID, int Flag = 0);
    // The total of the selected movements while "Total Selecionado" shows it.
    std::optional<Money> SelectedTotal() const;
    // Accepts input again after a window that disabled this one closes.
    void Reactivate(int Coa, QObject* ObjR);
    // The user changed a row's check box: reconcile or take the reconciliation away.
    void ListView1_ItemCheck(int row);
    // Opens the source record of a row of the list.
    void Abrir_Flist(int row);
    // Opens a source record in the component that owns its kind; nothing when it is gone.
    void Abrir(int Origem_ID, int Armazem_ID, int Doc_ID);

    // A click on a movement greys the reconciled rows.
    void ListView1_ItemClick();
    // F3 repeats the last search from the row after the selected one.
    void ListView1_KeyDown(int KeyCode, int Shift);
    // The toolbar's buttons, by key.
    void Toolbar1_ButtonClick(QAction* Button);

    bool SystemAccount() const { return systemAccount_; }
    StatementModel* ListModel() const { return model_; }

    QComboBox* FXConta_ID;
    QComboBox* FXModo_Pagamento_ID;
    QDateEdit* FXData_Inicio;
    QDateEdit* FXData_Fim;
    QCheckBox* FXIgnorarAnteriores;
    QCheckBox* FXConcil_Only;
    QTreeView* ListView1;
    QLineEdit* FXDebitos;
    QLineEdit* FXCreditos;
    QLineEdit* FXTotalSelecionado;
    QToolBar* Toolbar1;
    QLabel* Label;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* FXData_Inicio_Label;
    QLabel* FXData_Fim_Label;
    QLabel* FXModo_Pagamento_ID_Label;
    QLabel* FXDebitos_Label;
    QLabel* FXCreditos_Label;
    QLabel* FXTotalSelecionado_Label;
    QFrame* Frame1;
    QFrame* Frame2;
    QLabel* Image1;
    QLabel* Image2;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    void FXConta_ID_Click();
    void ListView1_DblClick();
    void Refill();
    void DatePickerFocus(QDateEdit* picker, const QFocusEvent& event);
    void SelectRow(int row);
    // "Total Selecionado": debits minus credits of the selected movements, shown when it is
    // not zero or more than one is selected. Follows every change of the selection and every
    // new reading of the list, which leaves nothing selected.
    void ShowSelectedTotal();
    // The first row from `from` that holds the search text (RowHolds), or -1.
    int FindText(int from) const;
    void Procurar();
    void NovoCusto();
    void ApplyColumnWidths();
    void ScrollToNewest();
    void TickRow(int row, const SourceRecord& record);
    void UntickRow(int row, const SourceRecord& record);
    void RefreshAndReselect(const SourceRecord& record, const QString& key);
    // Lists the reconciled movement where a refill would, without one, while nobody else
    // changed the database since the list was read; false when only a refill can tell.
    bool ListReconciledInPlace(int row, const std::optional<QDateTime>& bankDate);
    void ShowTotals(const Statement& statement);
    // The account's data_closed, time included, or the earliest date when it has none.
    QDateTime LowerLimit();
    QString SettingsKey() const;

    StatementModel* model_;
    bool loaded_ = false;
    bool systemAccount_ = false;
    std::optional<qint64> dataVersion_;  // the database's version when the list was read
    int newestRow_ = -1;                 // the newest movement dated up to today
    std::optional<QDate> enteredDate_;   // a date picker's value when it was entered
    // The components last opened, one per kind, alive while their windows are.
    std::unique_ptr<RecordComponent> objRecibos_;
    std::unique_ptr<RecordComponent> objFornecRecibos_;
    std::unique_ptr<RecordComponent> objCustosRecibos_;
    std::unique_ptr<RecordComponent> objPagamentos_;
    std::unique_ptr<LateBoundObject> objPacientesPagamentos_;
    std::unique_ptr<CostComponent> objCustos_;
    QString searchText_;   // the last value searched, reused by F3
    Money selectedTotal_;  // debits minus credits of the selected movements
};

class frmImpressoes;
class frmTransferencia;

// Opens the print dialog over the statement: it prints the statement as listed when each
// action is built, and the statement takes input again when the dialog closes.
frmImpressoes* AbrirImpressoes(frmMain* janela);

// Opens the transfer window over the statement: a new transfer (trfId 0) proposed from the
// account contaOrigemId with the selected total as its amount, or the existing transfer trfId.
// The statement shows the transfer again, selected, when the window closes.
frmTransferencia* AbrirTransferencia(frmMain* janela, qint32 trfId, qint32 contaOrigemId = 0);

}  // namespace orla
