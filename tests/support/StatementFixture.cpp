#include "StatementFixture.h"

#include "TestDatabase.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QMap>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeView>

namespace orla::test {

QString Day(int days, const QString& time) {
    return QDate::currentDate().addDays(days).toString(QStringLiteral("yyyy-MM-dd ")) + time;
}

QString Shown(int days) {
    return QDate::currentDate().addDays(days).toString(QStringLiteral("dd-MM-yyyy"));
}

QAbstractItemView* OpenCalendar(QDateEdit* picker) {
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QRect arrow = picker->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxArrow, picker);
    QTest::mouseClick(picker, Qt::LeftButton, {}, arrow.center());
    QCalendarWidget* calendar = picker->calendarWidget();
    return calendar->isVisible() ? calendar->findChild<QAbstractItemView*>() : nullptr;
}

namespace {

// %1 id, %2 date, %3 amount, %4 bank date, on account 60 in method 1.
QString RecordInsert(int origin) {
    const QString receipt = QStringLiteral(
        "INSERT INTO %5 (recibo_id, armazem_id, documento_no, data, data_documento, data_debito, "
        "contacto_id, conta_id, modo_pagamento_id, valor, referencia) VALUES (%1, 1, 'R %1', "
        "'%2', '%2', %4, 1, 60, 1, %3, 'REF %1')");
    const QString transfer = QStringLiteral(
        "INSERT INTO tbContas_Bancarias_Transferencias (trf_id, data, data_debito, data_destino, "
        "data_debito_destino, origem_id, destino_id, valor, obs, modo_pagamento_id, system) "
        "VALUES (%1, '%2', %4, '%2', %4, %5, %3, 'Transferência %1', 5, 0)");
    const QMap<int, QString> inserts{
        {1, QString(receipt).replace(QStringLiteral("%5"), QStringLiteral("tbDocumentos_Recibos"))},
        {2, QString(receipt).replace(QStringLiteral("%5"),
                                     QStringLiteral("tbDocumentos_Fornec_Recibos"))},
        {3, QString(receipt).replace(QStringLiteral("%5"), QStringLiteral("tbCustos_Recibos"))},
        {4, QString(transfer).replace(QStringLiteral("%5"), QStringLiteral("60, 1"))},
        {40, QString(transfer).replace(QStringLiteral("%5"), QStringLiteral("1, 60"))},
        {5, QStringLiteral(
                "INSERT INTO tbContas_Bancarias_Movimentos (mov_id, origem_id, conta_id, "
                "armazem_id, data, debito, credito, modo_pagamento_id, documento_no, referencia, "
                "descrit) VALUES (%1, 5, 60, 0, '%2', 0, %3, 1, 'DB %1', 'Comissão', 'Comissão')")},
        {7, QStringLiteral(
                "INSERT INTO tbDocumentos_Pagamentos (pag_id, armazem_id, documento_main_id, "
                "tipo_documento, documento_no, data, data_debito, contacto_id, conta_id, "
                "modo_pagamento_id, valor, referencia) VALUES (%1, 1, 5001, 'Fatura', 'FT %1', "
                "'%2', %4, 1, 60, 1, %3, 'REF %1')")}};
    return inserts.value(origin);
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
    QStringList texts;
    for (int c = 0; c < kVisibleStatementColumns; ++c)
        texts << StatementCell(window_->ListModel()->Row(row), c);
    return texts;
}

void StatementFixture::clickCheckBox(int row) {
    QTreeView* list = window_->ListView1;
    const QModelIndex cell = window_->ListModel()->index(row, ColData);
    list->scrollTo(cell);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(cell);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

void StatementFixture::add(int origin, int id, const QString& day, const QString& valor,
                           const QString& bank) {
    const QString insert = RecordInsert(origin);
    QVERIFY(!insert.isEmpty());
    const QString quoted = bank == QLatin1String("NULL") ? bank : QLatin1Char('\'') + bank + '\'';
    exec({insert.arg(id).arg(day, valor, quoted)});
}

}  // namespace orla::test
