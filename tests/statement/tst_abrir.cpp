// Opening a movement's source record by a double click on its row: the
// component registered for its kind is created, connected with the context's
// credentials and asked to open the record just read; nothing when it is gone.
#include "StatementFixture.h"
#include "context/Context.h"
#include "platform/components/ComponentRegistry.h"

#include <orla_contas/ConnectionScrambler.h>

#include <QTest>
#include <QTreeView>

using namespace orla;
using namespace orla::test;

namespace {

QStringList calls;  // every call the fakes received, in order
QString readField;  // the recordset field the fakes read
int created = 0;

const char* const kClassIds[] = {kClsidRecibos, kClsidFornecRecibos, kClsidCustosRecibos,
                                 kClsidPagamentos};

QString Arg(const QVariant& value) {
    return value.isValid() ? value.toString() : QStringLiteral("<missing>");
}

// The field read from the open recordset, the owner and its pointer, as the call saw them.
QString Seen(const RecordsetView& rs, QWidget* owner) {
    return Arg(rs.Value(readField)) + '|' + (owner ? owner->objectName() : QString()) +
           (owner && owner->cursor().shape() == Qt::WaitCursor ? "|wait" : "|normal");
}

class FakeComponent : public RecordComponent {
  public:
    explicit FakeComponent(const QString& name) : n_(++created) {
        calls << QStringLiteral("new %1 #%2").arg(name).arg(n_);
    }
    ~FakeComponent() override { calls << QStringLiteral("delete #%1").arg(n_); }
    void Connect(const QString& a, const QString& b, const QString& c, const QString& d,
                 const QString& e, const QString& f, const QString& g, qint32 flags,
                 QVariant&) override {
        calls << QStringList{"Connect", a, b, c, d, e, f, g, QString::number(flags)}.join('|');
    }
    void Open(RecordsetView& rs, const QString& id, const QString& p1, const QString& p2,
              QWidget* owner) override {
        calls << QStringList{"Open", id, p1, p2, Seen(rs, owner)}.join('|');
    }

  private:
    int n_;
};

class FakeObject : public LateBoundObject {
  public:
    FakeObject() { calls << QStringLiteral("new Pacientes.Pagamentos #%1").arg(++created); }
    bool Invoke(const QString& member, const QVariantList& args, QVariant*) override {
        QStringList line{member};
        for (const QVariant& arg : args) {
            if (auto* rs = arg.value<RecordsetView*>())
                line << Seen(*rs, args.value(4).value<QWidget*>());
            else if (!arg.value<QWidget*>())
                line << Arg(arg);
        }
        calls << line.join('|');
        return true;
    }
};

QString ConnectLine(const QString& member) {
    return QStringList{member,
                       "ana",
                       ConnectionScrambler::Scramble("ana-2024"),
                       "orla",
                       ConnectionScrambler::Scramble("orla-demo"),
                       "Orla",
                       "{server}",
                       "",
                       "0"}
        .join('|');
}

// A real double click on the row, away from its check box.
void DoubleClick(frmMain& window, int row) {
    QTreeView* list = window.ListView1;
    const QModelIndex cell = window.ListModel()->index(row, ColEntidade);
    list->scrollTo(cell);
    const QPoint at = list->visualRect(cell).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class TestAbrir : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        calls.clear();
        created = 0;
        readField = QStringLiteral("documento_no");
        for (const char* id : kClassIds)
            RegisterComponent(id, [id] { return std::make_unique<FakeComponent>(id); });
        RegisterObject(kProgIdPacientesPagamentos, [] { return std::make_unique<FakeObject>(); });
    }
    void cleanup() {
        for (const char* id : kClassIds)
            RegisterComponent(id, {});
        RegisterObject(kProgIdPacientesPagamentos, {});
    }

    void doubleClickOpensTheRecordInItsComponent_data() {
        QTest::addColumn<int>("origin");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("gone");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("expected");
        const QString wait = QStringLiteral("frmMain|wait");
        for (const bool gone : {false, true}) {
            const auto row = [&](const char* name, int origin, const QString& key,
                                 const QString& field, const QStringList& expected) {
                QTest::addRow("%s%s", name, gone ? " gone" : "")
                    << origin << key << gone << field << (gone ? QStringList() : expected);
            };
            row("receipt", 1, "#11901", "documento_no",
                {"new " + QString(kClsidRecibos) + " #1", ConnectLine("Connect"),
                 "Open|1901|||R 901|" + wait});
            row("supplier receipt", 2, "#21902", "documento_no",
                {"new " + QString(kClsidFornecRecibos) + " #1", ConnectLine("Connect"),
                 "Open|1902|||R 902|" + wait});
            row("cost receipt", 3, "#31903", "documento_no",
                {"new " + QString(kClsidCustosRecibos) + " #1", ConnectLine("Connect"),
                 "Open|1903|||R 903|" + wait});
            row("payment opens the paid document", 7, "#71907", "documento_main_id",
                {"new " + QString(kClsidPagamentos) + " #1", ConnectLine("Connect"),
                 "Open|15001|||5001|" + wait});
            row("patient receipt by name", 10, "#102910", "tratamento",
                {"new Pacientes.Pagamentos #1", ConnectLine("SQLConnect"),
                 "Registo|Fisioterapia|" + wait + "|910|<missing>|<missing>"});
        }
    }
    void doubleClickOpensTheRecordInItsComponent() {
        QFETCH(int, origin);
        QFETCH(QString, key);
        QFETCH(bool, gone);
        QFETCH(QString, field);
        QFETCH(QStringList, expected);
        StatementFixture f;
        const int id = key.right(3).toInt();
        if (origin == 10)
            f.exec({QStringLiteral("INSERT INTO tbPacientes_Tratamentos_Recibos (recibo_id, "
                                   "armazem_id, documento_no, data, contacto_id, conta_id, "
                                   "modo_pagamento_id, valor, tratamento) VALUES (%1, 2, 'RP %1', "
                                   "'%2', 20, 60, 1, 30, 'Fisioterapia')")
                        .arg(id)
                        .arg(Day(-1))});
        else
            f.add(origin, id, Day(-1), QStringLiteral("12.5"));
        f.open();
        const int row = f.row(key);
        QVERIFY(row >= 0);
        if (gone) {
            const QString del = QStringLiteral("DELETE FROM %1 WHERE %2 = %3");
            f.exec({del.arg("tbDocumentos_Recibos", "recibo_id").arg(id),
                    del.arg("tbDocumentos_Fornec_Recibos", "recibo_id").arg(id),
                    del.arg("tbCustos_Recibos", "recibo_id").arg(id),
                    del.arg("tbDocumentos_Pagamentos", "pag_id").arg(id),
                    del.arg("tbPacientes_Tratamentos_Recibos", "recibo_id").arg(id)});
        }
        readField = field;
        DoubleClick(f.window(), row);
        expected.replaceInStrings("{server}", Context().cnDataSource);
        QCOMPARE(calls, expected);
        QVERIFY(f.window().cursor().shape() == Qt::ArrowCursor);  // the pointer is back
        QVERIFY(f.prompts().calls.isEmpty());
        QVERIFY(f.reports().reports.isEmpty());
    }

    void componentKeptUntilReplacedOrTheWindowGoes() {
        {
            StatementFixture f;
            f.add(1, 901, Day(-1), QStringLiteral("12.5"));
            f.add(1, 902, Day(-2), QStringLiteral("7"));
            f.open();
            DoubleClick(f.window(), f.row(QStringLiteral("#11901")));
            DoubleClick(f.window(), f.row(QStringLiteral("#11902")));
            QCOMPARE(calls.filter(QRegularExpression("^(new|delete)")),
                     QStringList({"new " + QString(kClsidRecibos) + " #1",
                                  "new " + QString(kClsidRecibos) + " #2", "delete #1"}));
        }
        QCOMPARE(calls.last(), QStringLiteral("delete #2"));
    }

    // A component nobody registered cannot be created: the failure is reported
    // under Abrir, as any failure to open a record is, and nothing opens.
    void unregisteredComponentIsReportedAndTheOpeningRowOpensNothing() {
        cleanup();
        StatementFixture f;
        f.add(1, 901, Day(-1), QStringLiteral("12.5"));
        f.open();
        DoubleClick(f.window(), f.row(QStringLiteral("#0")));
        QVERIFY(f.reports().reports.isEmpty());
        DoubleClick(f.window(), f.row(QStringLiteral("#11901")));
        QCOMPARE(f.reports().reports.size(), 1);
        const QStringList report = f.reports().reports.first().texts;
        QCOMPARE(report.mid(2, 2), QStringList({"frmMain", "Abrir"}));
        QVERIFY(report.at(4).contains(kClsidRecibos));
        QVERIFY(calls.isEmpty() && f.prompts().calls.isEmpty());
        QVERIFY(f.window().cursor().shape() == Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestAbrir)
#include "tst_abrir.moc"
