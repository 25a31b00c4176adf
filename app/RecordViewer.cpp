#include "RecordViewer.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

namespace orla {
namespace {

// The heading: the kind and the document's number, or the record id when it has none.
QString Heading(const RecordsetView& rs, const QStringList& names, const QString& kind,
                const QString& id) {
    for (const QString& name : names) {
        if (name.compare(QLatin1String("documento_no"), Qt::CaseInsensitive) == 0 &&
            !rs.Value(name).isNull())
            return kind + QLatin1Char(' ') + rs.Value(name).toString();
    }
    return kind + QLatin1Char(' ') + id;
}

// Each field's name and value, read-only, in a window of its own over the statement.
void ShowRecord(const RecordsetView& rs, const QString& kind, const QString& id, QWidget* owner) {
    auto* window = new QWidget(owner, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("RecordViewer"));
    window->setWindowTitle(QStringLiteral("%1 (%2)").arg(kind, id));
    const QStringList names = rs.Eof() ? QStringList() : rs.FieldNames();
    auto* heading = new QLabel(Heading(rs, names, kind, id), window);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    auto* table = new QTableWidget(int(names.size()), 2, window);
    table->setHorizontalHeaderLabels({QStringLiteral("Campo"), QStringLiteral("Valor")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < names.size(); ++r) {
        const QVariant value = rs.Value(names.at(r));
        table->setItem(r, 0, new QTableWidgetItem(names.at(r)));
        table->setItem(r, 1, new QTableWidgetItem(value.isNull() ? QString() : value.toString()));
    }
    table->resizeColumnToContents(0);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(heading);
    layout->addWidget(table);
    window->resize(520, 90 + 30 * int(names.size()));
    if (owner)
        window->move(owner->geometry().center() - window->rect().center());
    window->show();
}

class Viewer : public RecordComponent {
  public:
    explicit Viewer(QString kind) : kind_(std::move(kind)) {}
    // The viewer shows the record it is given and reads nothing more.
    void Connect(const QString&, const QString&, const QString&, const QString&, const QString&,
                 const QString&, const QString&, qint32, QVariant&) override {}
    void Open(RecordsetView& rs, const QString& id, const QString&, const QString&,
              QWidget* owner) override {
        ShowRecord(rs, kind_, id, owner);
    }

  private:
    QString kind_;
};

class ViewerObject : public LateBoundObject {
  public:
    bool Invoke(const QString& member, const QVariantList& args, QVariant*) override {
        if (member.compare(QLatin1String("SQLConnect"), Qt::CaseInsensitive) == 0)
            return true;
        if (member.compare(QLatin1String("Registo"), Qt::CaseInsensitive) != 0)
            return false;
        if (auto* rs = args.value(0).value<RecordsetView*>())
            ShowRecord(*rs, QStringLiteral("Recibo de tratamento"), args.value(1).toString(),
                       args.value(4).value<QWidget*>());
        return true;
    }
};

template <int Kind>
RecordComponent* MakeViewer() {
    static const char* const kinds[] = {"Recibo", "Recibo de fornecedor", "Recibo de custo",
                                        "Documento pago"};
    return new Viewer(QString::fromUtf8(kinds[Kind]));
}

LateBoundObject* MakeViewerObject() {
    return new ViewerObject;
}

}  // namespace

void RegisterRecordViewers(RegisterComponentEntry registerComponent,
                           RegisterObjectEntry registerObject) {
    registerComponent(kClsidRecibos, &MakeViewer<0>);
    registerComponent(kClsidFornecRecibos, &MakeViewer<1>);
    registerComponent(kClsidCustosRecibos, &MakeViewer<2>);
    registerComponent(kClsidPagamentos, &MakeViewer<3>);
    registerObject(kProgIdPacientesPagamentos, &MakeViewerObject);
}

}  // namespace orla
