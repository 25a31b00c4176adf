// The transfer window: an amount leaves one account on one date and reaches
// another on another date, each side with an optional bank debit date. It
// creates, changes and deletes transfers, and keeps out of the closed period
// of either account.
#pragma once

#include "common/Money.h"
#include "transfers/TransferRead.h"

#include <QDateTime>
#include <QWidget>

#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QKeyEvent;
class QPushButton;

namespace orla {

struct TransferWritten;

class frmTransferencia : public QWidget {
    Q_OBJECT

  public:
    explicit frmTransferencia(QWidget* parent = nullptr);
    ~frmTransferencia() override;

    // Set by the opener before the window is shown: the transfer shown (0 for a
    // new one; the new number once it is saved), the account proposed as origin
    // of a new transfer (0 for none) and the amount proposed for it, without sign.
    // Showing the window loads it; it deletes itself when closed.
    qint32 Trf_ID = 0;
    qint32 Conta_Origem_ID = 0;
    std::optional<Money> Valor_Proposto;
    // The loaded transfer was made by the system: shown read-only.
    bool Sistema = false;

    QComboBox* FXOrigem_ID;
    QComboBox* FXDestino_ID;
    QDateEdit* FXData;
    QDateEdit* FXData_Debito;
    QDateEdit* FXData_Destino;
    QDateEdit* FXData_Debito_Destino;
    QLineEdit* FXValor;
    QLineEdit* FXObs;
    QComboBox* FXModo_Pagamento_ID;
    QPushButton* Command1;  // save
    QPushButton* Command2;  // close
    QPushButton* Command3;  // delete
    QPushButton* Command4;  // print

    // Writes the transfer report from the template InFile of the templates
    // folder to OutFile (the temporary folder when empty, set on return).
    // The path written, or an empty text after the user was told why.
    QString DoReport(QString& OutFile, const QString& InFile = QString());

  signals:
    // The window closed on a transfer that exists or existed (saved, deleted or only shown):
    // whoever lists it shows it again.
    void TransferenciaFechada(qint32 trfId);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    void Form_Load();
    void SetLocks();
    void LockOrigin();
    void LockDestination();
    void FXData_Change();
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    // False, after saying why and moving the focus, when the form cannot be saved.
    bool Validate();
    bool Refuse(const QString& message, QWidget* focus);
    // True when the save or delete was written; otherwise says why and, when another user
    // changed the transfer, shows it again as it now is.
    bool Done(const TransferWritten& result, bool deleting);
    void Reload();
    // The transfer as the controls hold it; the amount none while "Valor" is empty.
    Transfer Values() const;
    std::optional<Money> Amount() const;
    // The typed amount, once taken in, kept to the cent it shows.
    void RoundAmount();
    // A picker takes typed digits even without a date, and Delete clears it.
    bool DateKey(QDateEdit* picker, QKeyEvent* key);
    bool Changed() const;

    bool loaded_ = false;
    bool finished_ = false;          // saved, deleted or gone: closing asks nothing
    QDateTime previousData_;         // FXData before its last change
    std::optional<Transfer> row_;    // the existing transfer as loaded
    std::optional<Transfer> shown_;  // the controls' values once loaded
};

}  // namespace orla
