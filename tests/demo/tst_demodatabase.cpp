// The demo database: built again from scratch, its logins, and the server's rules its schema
// keeps (dates, amounts, unique names).
#include "DemoDatabase.h"
#include "TestDatabase.h"
#include "platform/db/Connection.h"

#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

struct Demo {
    QTemporaryDir dir;
    QString path = dir.filePath("demo.db");
    Connection connection{"User ID=orla;Password=orla-demo;Data Source=" + path};
    Demo() {
        QString error;
        if (!CreateDemoDatabase(path, &error))
            qFatal("demo database: %s", qPrintable(error));
        connection.Open();
    }
    // Every row of a query, fields joined by blanks, rows by ";".
    QString Rows(const QString& sql) {
        QStringList rows;
        for (Recordset rs = connection.Execute(sql); !rs.Eof(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldNames().size(); ++i)
                fields << rs.ValueAt(i).toString();
            rows << fields.join(u' ');
        }
        return rows.join(u';');
    }
};

}  // namespace

class TestDemoDatabase : public QObject {
    Q_OBJECT

  private slots:
    void rebuildStartsFromScratch() {
        Demo demo;
        const QString count = "SELECT COUNT(*) FROM vwExtractos_Contas_Bancarias";
        const QString first = demo.Rows(count);
        demo.connection.Execute("DELETE FROM tbDocumentos_Recibos");
        demo.connection.Close();
        ExecOnFile(demo.path, {"CREATE TABLE leftover (x)"});
        QString error;
        QVERIFY2(CreateDemoDatabase(demo.path, &error), qPrintable(error));
        demo.connection.Open();
        QCOMPARE(demo.Rows(count), first);
        QCOMPARE(demo.Rows("SELECT COUNT(*) FROM sqlite_master WHERE name = 'leftover'"), "0");
        // Every demo login opens, and no password is stored in the clear.
        for (const DemoLogin& login : DemoLogins()) {
            Connection as(QStringLiteral("User ID=%1;Password=%2;Data Source=%3")
                              .arg(login.login, login.password, demo.path));
            QVERIFY2(!Try([&] { as.Open(); }), qPrintable(login.login));
            QCOMPARE(demo.Rows("SELECT COUNT(*) FROM orla_logins WHERE salt LIKE '%" +
                               login.password + "%' OR hash LIKE '%" + login.password + "%'"),
                     "0");
        }
    }

    void schemaRefusesWhatTheServerWould_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        const QString debit =
            "UPDATE tbDocumentos_Recibos SET data_debito = '%1' WHERE "
            "recibo_id = 1";
        QTest::newRow("day first") << debit.arg("01-03-2024 00:00:00") << "data_debito";
        QTest::newRow("amount as a word")
            << "UPDATE tbContas_Bancarias_Transferencias SET valor = 'mil' WHERE trf_id = 1"
            << "typeof(valor)";
        QTest::newRow("user name in another case")
            << "INSERT INTO tbUsers (code, descrit) VALUES ('U-NOVO', 'RUI')"
            << "unique";
    }
    void schemaRefusesWhatTheServerWould() {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        Demo demo;
        const auto failure = Try([&] { demo.connection.Execute(sql); });
        QVERIFY(failure);
        QVERIFY2(failure->description.contains(error), qPrintable(failure->description));
    }
};

QTEST_MAIN(TestDemoDatabase)
#include "tst_demodatabase.moc"
