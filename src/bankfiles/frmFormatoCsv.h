// "Formato do Ficheiro CSV": the user says how the bank's CSV is laid out, with the file's
// first lines in view and what the layout reads from them.
#pragma once

#include "bankfiles/CsvLayout.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace orla {

class frmFormatoCsv : public QDialog {
    Q_OBJECT
  public:
    // The file's bytes; the layout to start from (else the detected one, else the default).
    frmFormatoCsv(const QByteArray& bytes, const std::optional<CsvLayout>& layout,
                  QWidget* parent = nullptr);

    // The layout as the controls show it.
    CsvLayout Layout() const;
    // What the layout reads: the number of movements, or the error that stops it.
    QString Outcome() const;

  private:
    void Show(const CsvLayout& layout);
    void Check();

    QByteArray bytes_;
    QComboBox* FXSeparador = nullptr;
    QComboBox* FXDecimal = nullptr;
    QComboBox* FXFormatoData = nullptr;
    QSpinBox* FXLinhasSaltar = nullptr;
    QSpinBox* FXColData = nullptr;
    QSpinBox* FXColDataValor = nullptr;
    QSpinBox* FXColDescricao = nullptr;
    QSpinBox* FXColReferencia = nullptr;
    QSpinBox* FXColMontante = nullptr;
    QSpinBox* FXColDebito = nullptr;
    QSpinBox* FXColCredito = nullptr;
    QCheckBox* FXDebitosPositivos = nullptr;
    QLabel* LblResultado = nullptr;
    QPushButton* CmdOk = nullptr;
};

}  // namespace orla
