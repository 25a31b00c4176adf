#include "StatementFixture.h"

#include "TestDatabase.h"

#include <QComboBox>
#include <QTest>

namespace orla::test {

QString Day(int days, const QString& time) {
    return QDate::currentDate().addDays(days).toString(QStringLiteral("yyyy-MM-dd ")) + time;
}

QString Shown(int days) {
    return QDate::currentDate().addDays(days).toString(QStringLiteral("dd-MM-yyyy"));
}

namespace {

QString Quoted(const QString& value) {
    return value == QLatin1String("NULL") ? value : QLatin1Char('\'') + value + QLatin1Char('\'');
}

}  // namespace

StatementFixture::StatementFixture() : demo_(std::make_unique<DemoFixture>()) {
    exec({QStringLiteral("INSERT INTO tbContas_Bancarias (conta_id, descrit, banco, saldo, "
                         "saldo_data, system, protected, inactivo) VALUES (60, 'Conta Teste', "
                         "'Banco Teste', 1000, '%1', 0, 0, 0)")
              .arg(Day(-100, QStringLiteral("00:00:00")))});
    window_ = std::make_unique<frmMain>();
}

StatementFixture::~StatementFixture() {
    window_.reset();
}

QVariant StatementFixture::value(const QString& sql) const {
    return QueryValue(demo_->path(), sql);
}

void StatementFixture::open(int conta) {
    window_->Load();
    window_->FXConta_ID->setCurrentIndex(window_->FXConta_ID->findData(conta));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->Fill();
}

int StatementFixture::row(const QString& key) const {
    return window_->ListModel()->FindKey(key);
}

QStringList StatementFixture::texts(int row) const {
    return window_->ListModel()->Row(row).cells.mid(0, kVisibleStatementColumns);
}

void StatementFixture::setChecked(int row, bool checked) {
    StatementModel* model = window_->ListModel();
    model->setData(model->index(row, ColData), checked ? Qt::Checked : Qt::Unchecked,
                   Qt::CheckStateRole);
}

void StatementFixture::receipt(int id, const QString& day, const QString& valor,
                               const QString& debit, int conta, int modo) {
    exec({QStringLiteral("INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, "
                         "data, data_documento, data_debito, contacto_id, conta_id, "
                         "modo_pagamento_id, valor, referencia) VALUES (%1, 1, 'RC %1', '%2', "
                         "'%2', %3, 1, %4, %5, %6, 'REF %1')")
              .arg(id)
              .arg(day, Quoted(debit))
              .arg(conta)
              .arg(modo)
              .arg(valor)});
}

void StatementFixture::supplierReceipt(int id, const QString& day, const QString& valor,
                                       const QString& debit, int conta) {
    exec({QStringLiteral("INSERT INTO tbDocumentos_Fornec_Recibos (recibo_id, armazem_id, "
                         "documento_no, data, data_documento, data_debito, contacto_id, conta_id, "
                         "modo_pagamento_id, valor, referencia) VALUES (%1, 1, 'RF %1', '%2', "
                         "'%2', %3, 1, %4, 1, %5, 'REF %1')")
              .arg(id)
              .arg(day, Quoted(debit))
              .arg(conta)
              .arg(valor)});
}

void StatementFixture::costReceipt(int id, const QString& day, const QString& valor,
                                   const QString& debit, int conta) {
    exec({QStringLiteral("INSERT INTO tbCustos_Recibos (recibo_id, armazem_id, documento_no, data, "
                         "data_documento, data_debito, contacto_id, conta_id, modo_pagamento_id, "
                         "valor, referencia) VALUES (%1, 1, 'RCC %1', '%2', '%2', %3, 1, %4, 1, "
                         "%5, 'REF %1')")
              .arg(id)
              .arg(day, Quoted(debit))
              .arg(conta)
              .arg(valor)});
}

void StatementFixture::payment(int id, const QString& day, const QString& valor,
                               const QString& debit, int conta) {
    exec({QStringLiteral("INSERT INTO tbDocumentos_Pagamentos (pag_id, armazem_id, "
                         "documento_main_id, tipo_documento, documento_no, data, data_debito, "
                         "contacto_id, conta_id, modo_pagamento_id, valor, referencia) VALUES (%1, "
                         "1, 5001, 'Fatura', 'FT %1', '%2', %3, 1, %4, 1, %5, 'REF %1')")
              .arg(id)
              .arg(day, Quoted(debit))
              .arg(conta)
              .arg(valor)});
}

void StatementFixture::transfer(int id, int from, int to, const QString& day, const QString& valor,
                                const QString& debit, const QString& debitTo) {
    exec(
        {QStringLiteral("INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_debito, "
                        "data_destino, data_debito_destino, origem_id, destino_id, valor, obs, "
                        "modo_pagamento_id, system) VALUES (%1, '%2', %3, '%2', %4, %5, %6, %7, "
                        "'Transferência %1', 5, 0)")
             .arg(id)
             .arg(day, Quoted(debit), Quoted(debitTo))
             .arg(from)
             .arg(to)
             .arg(valor)});
}

void StatementFixture::bankCharge(int id, const QString& day, const QString& credito, int conta) {
    exec({QStringLiteral("INSERT INTO tbContas_Bancarias_Movimentos (mov_id, origem_id, conta_id, "
                         "armazem_id, data, debito, credito, modo_pagamento_id, documento_no, "
                         "referencia, descrit) VALUES (%1, 5, %2, 0, '%3', 0, %4, 1, 'DB %1', "
                         "'Comissão', 'Comissão')")
              .arg(id)
              .arg(conta)
              .arg(day)
              .arg(credito)});
}

}  // namespace orla::test
