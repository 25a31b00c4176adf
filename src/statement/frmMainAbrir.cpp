// Opening the source record of a movement in the suite's component that owns
// its kind: the record is read, the component created, connected with the
// context's credentials and asked to show the record, owned by this window.
#include "common/Format.h"
#include "context/Context.h"
#include "platform/components/ComponentRegistry.h"
#include "platform/components/OpenRecordset.h"
#include "platform/services/ErrorReport.h"
#include "statement/frmMain.h"
#include "transfers/frmTransferencia.h"

#include <QScopeGuard>
#include <QTreeView>

#include <functional>

namespace orla {
namespace {

// A field's value as part of a record id: its text, nothing for Null.
QString IdPart(const QVariant& value) {
    return value.isValid() && !value.isNull() ? TextOf(value) : QString();
}

void Connect(RecordComponent& component) {
    const ContextValues& c = Context();
    QVariant result;
    component.Connect(c.User, c.Password, c.cnUser, c.cnPassword, c.cnInitialCatalog,
                      c.cnDataSource, c.cnDataSourceSecondary, 0, result);
}

// Reads the record and, when it exists, opens it in a new component of the
// class, which replaces the one kept in `slot`.
void OpenRecord(std::unique_ptr<RecordComponent>& slot, const char* classId, const QString& sql,
                const std::function<QString(const Recordset&)>& idOf, QWidget* owner) {
    Recordset rs = Data().SqlServer.Execute(sql);
    if (!rs.Eof()) {
        slot = CreateComponent(QLatin1String(classId));
        Connect(*slot);
        OpenRecordset record(rs);
        slot->Open(record, idOf(rs), QString(), QString(), owner);
    }
    rs.Close();
}

}  // namespace

void frmMain::ListView1_DblClick() {
    const QModelIndex selected = ListView1->currentIndex();
    if (model_->RowCount() == 0 || !selected.isValid())
        return;
    if (model_->Row(selected.row()).Origin() != 0)
        Abrir_Flist(selected.row());
}

void frmMain::Abrir_Flist(int row) {
    Guard({objectName(), QStringLiteral("Abrir_Flist"), ReportFilter::NotZeroNor3709}, [&] {
        const StatementRow& it = model_->Row(row);
        Abrir(it.Origin(), int(it.armazem.value_or(0)), int(it.doc.value_or(0)));
    });
}

void frmMain::Abrir(int Origem_ID, int Armazem_ID, int Doc_ID) {
    Guard({objectName(), QStringLiteral("Abrir"), ReportFilter::NotZeroNor3709}, [&] {
        setCursor(Qt::WaitCursor);
        // The pointer is back to normal before a failure is reported.
        const auto restore = qScopeGuard([this] { unsetCursor(); });
        const QString A = QString::number(Armazem_ID);
        const QString D = QString::number(Doc_ID);
        const auto idText = [&](const Recordset&) { return A + D; };
        switch (Origem_ID) {
            case 1:
                OpenRecord(
                    objRecibos_, kClsidRecibos,
                    QStringLiteral("SELECT * FROM tbDocumentos_Recibos WHERE armazem_id = ") + A +
                        QStringLiteral(" AND recibo_id = ") + D,
                    idText, this);
                break;
            case 2:
                OpenRecord(objFornecRecibos_, kClsidFornecRecibos,
                           QStringLiteral(
                               "SELECT * FROM tbDocumentos_Fornec_Recibos WHERE armazem_id = ") +
                               A + QStringLiteral(" AND recibo_id = ") + D,
                           idText, this);
                break;
            case 3:
                OpenRecord(objCustosRecibos_, kClsidCustosRecibos,
                           QStringLiteral("SELECT * FROM tbCustos_Recibos WHERE recibo_id = ") + D,
                           idText, this);
                break;
            case 4:
            case 40:
                AbrirTransferencia(this, qint32(Doc_ID));
                break;
            case 7:
                // A payment opens the document it paid.
                OpenRecord(
                    objPagamentos_, kClsidPagamentos,
                    QStringLiteral("SELECT armazem_id, documento_main_id FROM "
                                   "tbDocumentos_Pagamentos WHERE armazem_id = ") +
                        A + QStringLiteral(" AND pag_id = ") + D,
                    [](const Recordset& rs) {
                        return IdPart(rs.Value(QStringLiteral("armazem_id"))) +
                               IdPart(rs.Value(QStringLiteral("documento_main_id")));
                    },
                    this);
                break;
            case 10: {
                Recordset rs = Data().SqlServer.Execute(
                    QStringLiteral("SELECT * FROM tbPacientes_Tratamentos_Recibos WHERE "
                                   "recibo_id = ") +
                    D);
                if (!rs.Eof()) {
                    objPacientesPagamentos_ =
                        CreateObject(QLatin1String(kProgIdPacientesPagamentos));
                    const ContextValues& c = Context();
                    CallByName(*objPacientesPagamentos_, QStringLiteral("SQLConnect"),
                               {c.User, c.Password, c.cnUser, c.cnPassword, c.cnInitialCatalog,
                                c.cnDataSource, c.cnDataSourceSecondary, qint32(0)});
                    OpenRecordset record(rs);
                    CallByName(*objPacientesPagamentos_, QStringLiteral("Registo"),
                               {QVariant::fromValue<RecordsetView*>(&record), D, QVariant(),
                                QVariant(), QVariant::fromValue<QWidget*>(this)});
                }
                rs.Close();
                break;
            }
            default:
                break;
        }
    });
}

}  // namespace orla
