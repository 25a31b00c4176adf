#include "bankfiles/frmFormatoCsv.h"

#include "bankfiles/BankFileText.h"
#include "platform/db/Error.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orla {
namespace {

constexpr int kPreviewLines = 15;

// A column box: 1 for the first column, 0 for none.
QSpinBox* ColumnBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, 99);
    box->setSpecialValueText(QStringLiteral("(nenhuma)"));
    return box;
}

}  // namespace

frmFormatoCsv::frmFormatoCsv(const QByteArray& bytes, const std::optional<CsvLayout>& layout,
                             QWidget* parent)
    : QDialog(parent), bytes_(bytes) {
    setObjectName(QStringLiteral("frmFormatoCsv"));
    setWindowTitle(QStringLiteral("Formato do Ficheiro CSV"));

    auto* preview = new QPlainTextEdit(this);
    preview->setReadOnly(true);
    preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview->setPlainText(BankFileString(bytes).section(u'\n', 0, kPreviewLines - 1));

    FXSeparador = new QComboBox(this);
    FXSeparador->addItem(QStringLiteral("Ponto e vírgula (;)"), QChar(u';'));
    FXSeparador->addItem(QStringLiteral("Vírgula (,)"), QChar(u','));
    FXSeparador->addItem(QStringLiteral("Tabulação"), QChar(u'\t'));
    FXDecimal = new QComboBox(this);
    FXDecimal->addItem(QStringLiteral("Vírgula (1234,56)"), QChar(u','));
    FXDecimal->addItem(QStringLiteral("Ponto (1234.56)"), QChar(u'.'));
    FXFormatoData = new QComboBox(this);
    for (const QString& format : CsvDateFormats())
        FXFormatoData->addItem(QString(format).replace(u'y', u'a').replace(u'M', u'm'), format);
    FXLinhasSaltar = new QSpinBox(this);
    FXLinhasSaltar->setRange(0, 999);
    FXColData = ColumnBox(this);
    FXColDataValor = ColumnBox(this);
    FXColDescricao = ColumnBox(this);
    FXColReferencia = ColumnBox(this);
    FXColMontante = ColumnBox(this);
    FXColDebito = ColumnBox(this);
    FXColCredito = ColumnBox(this);
    FXDebitosPositivos =
        new QCheckBox(QStringLiteral("Débitos escritos como valores positivos"), this);
    LblResultado = new QLabel(this);
    LblResultado->setWordWrap(true);

    const std::pair<QWidget*, const char*> names[] = {
        {FXSeparador, "FXSeparador"},       {FXDecimal, "FXDecimal"},
        {FXFormatoData, "FXFormatoData"},   {FXLinhasSaltar, "FXLinhasSaltar"},
        {FXColData, "FXColData"},           {FXColDataValor, "FXColDataValor"},
        {FXColDescricao, "FXColDescricao"}, {FXColReferencia, "FXColReferencia"},
        {FXColMontante, "FXColMontante"},   {FXColDebito, "FXColDebito"},
        {FXColCredito, "FXColCredito"},     {FXDebitosPositivos, "FXDebitosPositivos"},
        {LblResultado, "LblResultado"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Separador:"), FXSeparador);
    form->addRow(QStringLiteral("Separador decimal:"), FXDecimal);
    form->addRow(QStringLiteral("Formato das datas:"), FXFormatoData);
    form->addRow(QStringLiteral("Linhas antes dos movimentos:"), FXLinhasSaltar);
    form->addRow(QStringLiteral("Coluna da data:"), FXColData);
    form->addRow(QStringLiteral("Coluna da data valor:"), FXColDataValor);
    form->addRow(QStringLiteral("Coluna da descrição:"), FXColDescricao);
    form->addRow(QStringLiteral("Coluna da referência:"), FXColReferencia);
    form->addRow(QStringLiteral("Coluna do montante:"), FXColMontante);
    form->addRow(QStringLiteral("Coluna do débito:"), FXColDebito);
    form->addRow(QStringLiteral("Coluna do crédito:"), FXColCredito);
    form->addRow(QString(), FXDebitosPositivos);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    CmdOk = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* main = new QVBoxLayout(this);
    main->addWidget(new QLabel(QStringLiteral("Primeiras linhas do ficheiro:"), this));
    main->addWidget(preview);
    main->addLayout(form);
    main->addWidget(LblResultado);
    main->addWidget(buttons);

    Show(layout ? *layout : DetectCsvLayout(bytes).value_or(CsvLayout{}));
    for (QComboBox* box : {FXSeparador, FXDecimal, FXFormatoData})
        connect(box, &QComboBox::currentIndexChanged, this, &frmFormatoCsv::Check);
    for (QSpinBox* box : {FXLinhasSaltar, FXColData, FXColDataValor, FXColDescricao,
                          FXColReferencia, FXColMontante, FXColDebito, FXColCredito})
        connect(box, &QSpinBox::valueChanged, this, &frmFormatoCsv::Check);
    connect(FXDebitosPositivos, &QCheckBox::toggled, this, &frmFormatoCsv::Check);
    Check();
}

void frmFormatoCsv::Show(const CsvLayout& l) {
    FXSeparador->setCurrentIndex(std::max(0, FXSeparador->findData(l.separator)));
    FXDecimal->setCurrentIndex(std::max(0, FXDecimal->findData(l.decimalMark)));
    FXFormatoData->setCurrentIndex(std::max(0, FXFormatoData->findData(l.dateFormat)));
    FXLinhasSaltar->setValue(l.skipLines);
    FXColData->setValue(l.booking + 1);
    FXColDataValor->setValue(l.value + 1);
    FXColDescricao->setValue(l.description + 1);
    FXColReferencia->setValue(l.reference + 1);
    FXColMontante->setValue(l.amount + 1);
    FXColDebito->setValue(l.debit + 1);
    FXColCredito->setValue(l.credit + 1);
    FXDebitosPositivos->setChecked(l.debitPositive);
}

CsvLayout frmFormatoCsv::Layout() const {
    CsvLayout l;
    l.separator = FXSeparador->currentData().toChar();
    l.decimalMark = FXDecimal->currentData().toChar();
    l.dateFormat = FXFormatoData->currentData().toString();
    l.skipLines = FXLinhasSaltar->value();
    l.booking = FXColData->value() - 1;
    l.value = FXColDataValor->value() - 1;
    l.description = FXColDescricao->value() - 1;
    l.reference = FXColReferencia->value() - 1;
    l.amount = FXColMontante->value() - 1;
    l.debit = FXColDebito->value() - 1;
    l.credit = FXColCredito->value() - 1;
    l.debitPositive = FXDebitosPositivos->isChecked();
    return l;
}

QString frmFormatoCsv::Outcome() const {
    return LblResultado->text();
}

void frmFormatoCsv::Check() {
    const CsvLayout l = Layout();
    QString outcome;
    bool readable = false;
    if (l.booking < 0)
        outcome = QStringLiteral("Indique a coluna da data.");
    else if (l.amount < 0 && (l.debit < 0 || l.credit < 0))
        outcome = QStringLiteral("Indique a coluna do montante, ou as do débito e do crédito.");
    else if (const auto error = Try([&] {
                 outcome =
                     QStringLiteral("%1 movimentos lidos.").arg(ReadCsv(bytes_, l).lines.size());
             }))
        outcome = error->description;
    else
        readable = true;
    LblResultado->setText(outcome);
    CmdOk->setEnabled(readable);
}

}  // namespace orla
