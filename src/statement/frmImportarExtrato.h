// The bank's statement beside the account's movements: proposed pairs marked, unmatched lines
// on both sides visible; the user accepts, undoes or pairs by hand, and confirming reconciles
// the accepted pairs with the bank's booking dates. Below, the statement's closing balance, the
// account's reconciled balance that day and their difference.
#pragma once

#include "bankfiles/BankStatement.h"
#include "statement/BankImport.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace orla {

class frmMain;

class frmImportarExtrato : public QWidget {
    Q_OBJECT

  public:
    // Reads the account's movements and pairs them with the statement's lines. Throws OrlaError.
    frmImportarExtrato(qint64 account, BankStatement statement, QWidget* parent = nullptr);

    QTreeWidget* ListaBanco;       // the bank's lines
    QTreeWidget* ListaMovimentos;  // the account's movements near their dates
    QSpinBox* FXJanela;            // days a date may be apart
    QPushButton* CmdAceitarTodos;
    QPushButton* CmdAceitar;
    QPushButton* CmdDesfazer;
    QPushButton* CmdEmparelhar;
    QPushButton* CmdExplicar;  // looks for what makes up the difference
    QPushButton* CmdConfirmar;
    QPushButton* CmdFechar;
    QLabel* FXSaldoExtrato;
    QLabel* FXSaldoConciliado;
    QLabel* FXDiferenca;
    QLabel* FXExplicacao;

    const std::vector<BankPair>& Pairs() const { return pairs_; }

  signals:
    // The accepted pairs were reconciled: the statement is read again.
    void Reconciliado();

  private:
    void BuildControls();
    void Match();
    void ShowPairs();
    void Accept(bool all);
    void Undo();
    void PairByHand();
    void Confirm();
    void Explain();
    // The statement's last day, and its closing balance less the reconciled one (0 without it).
    QDate ClosingDay() const;
    Money Difference() const;
    int CurrentLine() const;
    int CurrentMovement() const;
    bool Say(const QString& message);

    qint64 account_;
    BankStatement statement_;
    BookMovements book_;
    std::vector<BankPair> pairs_;
};

// "Importar extrato": the bank's file of the account chosen in the statement window, asked for,
// read (a CSV as laid out last time for the account, else as detected, else as the user says)
// and paired; the statement is read again once the pairs are reconciled. A file that cannot be
// read, or is another account's, is refused with a message. None when nothing opens. Throws
// OrlaError for a failure of the database.
frmImportarExtrato* ImportarExtrato(frmMain* janela);

}  // namespace orla
