// The demo database: built from app/demo/schema.sql and seed.sql by CreateDemoDatabase.
#include "DemoDatabase.h"
#include "platform/db/Logins.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One QSQLITE connection to a database file, removed again when it goes out of scope.
class Db {
  public:
    explicit Db(const QString& path) : name_(u"tst_demodatabase_%1"_s.arg(++counter_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name_);
        db.setDatabaseName(path);
        opened_ = db.open();
    }
    ~Db() {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    bool opened() const { return opened_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

    // Runs `sql`; on failure records the statement and the driver's message in *error.
    bool run(QSqlQuery& q, const QString& sql, QString* error = nullptr) const {
        q = QSqlQuery(db());
        q.setForwardOnly(true);
        if (q.exec(sql))
            return true;
        if (error)
            *error = sql + u" -> "_s + q.lastError().text();
        return false;
    }

    // The first column of the first row of `sql` (an invalid QVariant when there is no row).
    QVariant scalar(const QString& sql) const {
        QSqlQuery q;
        QString error;
        if (!run(q, sql, &error)) {
            qWarning("%s", qPrintable(error));
            return {};
        }
        return q.next() ? q.value(0) : QVariant();
    }

    bool exec(const QString& sql) const {
        QSqlQuery q;
        QString error;
        if (run(q, sql, &error))
            return true;
        qWarning("%s", qPrintable(error));
        return false;
    }

  private:
    static inline int counter_ = 0;
    QString name_;
    bool opened_ = false;
};

QString Today(int days = 0) {
    return QDate::currentDate().addDays(days).toString(u"yyyy-MM-dd"_s);
}

// Restores ORLA_DEMO_DIR as it was when the guard was made.
class EnvGuard {
  public:
    EnvGuard()
        : had_(qEnvironmentVariableIsSet("ORLA_DEMO_DIR")), value_(qgetenv("ORLA_DEMO_DIR")) {}
    ~EnvGuard() {
        if (had_)
            qputenv("ORLA_DEMO_DIR", value_);
        else
            qunsetenv("ORLA_DEMO_DIR");
    }

  private:
    bool had_;
    QByteArray value_;
};

const QStringList kExtractColumns = {u"conta_id"_s,       u"data"_s,         u"debito"_s,
                                     u"credito"_s,        u"concil"_s,       u"modo_pagamento_id"_s,
                                     u"modo_pagamento"_s, u"origem_id"_s,    u"origem"_s,
                                     u"armazem_id"_s,     u"doc_id"_s,       u"doc_no"_s,
                                     u"referencia"_s,     u"nome_completo"_s};

}  // namespace

class tst_DemoDatabase : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();

    void buildsFromScratchTwice();
    void replacesAnyExistingFile();
    void objectExists_data();
    void objectExists();
    void columnsSelectable_data();
    void columnsSelectable();
    void extractViewHasExactlyItsColumns();
    void systemStatementsRun_data();
    void systemStatementsRun();
    void everyOriginIsPresent_data();
    void everyOriginIsPresent();
    void movementsSpanALivePeriod();
    void transferShownTwice();
    void everyTransferShownOnBothAccounts();
    void viewFollowsSourceRecords_data();
    void viewFollowsSourceRecords();
    void bankDateRule_data();
    void bankDateRule();
    void unreconcilableOriginsNeverConcil();
    void accountKinds_data();
    void accountKinds();
    void accountListsBySecurity();
    void securityLayout_data();
    void securityLayout();
    void usersHaveContactNames();
    void loginsAreSaltedHashes();
    void brokenScriptFails_data();
    void brokenScriptFails();

  private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<Db> db_;
};

void tst_DemoDatabase::initTestCase() {
    QVERIFY(dir_.isValid());
    path_ = dir_.filePath(u"demo.db"_s);
    QString error;
    QVERIFY2(orla::CreateDemoDatabase(path_, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    db_ = std::make_unique<Db>(path_);
    QVERIFY(db_->opened());
}

void tst_DemoDatabase::cleanupTestCase() {
    db_.reset();
}

void tst_DemoDatabase::buildsFromScratchTwice() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A folder that does not exist yet is created.
    const QString path = dir.filePath(u"nested/folder/demo.db"_s);
    QString error;
    QVERIFY2(orla::CreateDemoDatabase(path, &error), qPrintable(error));
    QVERIFY(QFileInfo::exists(path));

    qlonglong first = 0;
    {
        Db db(path);
        QVERIFY(db.opened());
        first = db.scalar(u"SELECT COUNT(*) FROM vwExtractos_Contas_Bancarias"_s).toLongLong();
        QVERIFY(first > 0);
        // The demo changes the database; the next build must start from scratch again.
        QVERIFY(db.exec(u"DELETE FROM tbDocumentos_Recibos"_s));
        QVERIFY(db.exec(u"CREATE TABLE leftover (x)"_s));
    }

    QVERIFY2(orla::CreateDemoDatabase(path, &error), qPrintable(error));
    Db db(path);
    QVERIFY(db.opened());
    QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM vwExtractos_Contas_Bancarias"_s).toLongLong(), first);
    QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM sqlite_master WHERE name = 'leftover'"_s).toInt(), 0);
    QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM orla_logins"_s).toInt(),
             int(orla::DemoLogins().size()));
    QCOMPARE(db.scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
}

void tst_DemoDatabase::replacesAnyExistingFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"demo.db"_s);
    {
        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("this is not an SQLite database at all");
    }
    QString error;
    QVERIFY2(orla::CreateDemoDatabase(path, &error), qPrintable(error));
    Db db(path);
    QVERIFY(db.opened());
    QVERIFY(db.scalar(u"SELECT COUNT(*) FROM tbContas_Bancarias"_s).toInt() > 0);
}

void tst_DemoDatabase::objectExists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    for (const char* table :
         {"tbArmazens", "tbContactos", "tbContas_Bancarias", "tbContas_Bancarias_Transferencias",
          "tbCustos_Recibos", "tbDocumentos_Fornec_Recibos", "tbDocumentos_Pagamentos",
          "tbDocumentos_Recibos", "tbEmpresas", "tbGroups", "tbGroups_Users_Links",
          "tbModos_Pagamento", "tbPacientes_Tratamentos_Recibos", "tbSecurityPolicies",
          "tbTemplates", "tbUsers", "orla_logins"})
        QTest::newRow(table) << QString::fromLatin1(table) << u"table"_s;
    for (const char* view : {"vwContas_Bancarias", "vwDocumentos", "vwEmpresas_Completo",
                             "vwExtractos_Contas_Bancarias"})
        QTest::newRow(view) << QString::fromLatin1(view) << u"view"_s;
}

void tst_DemoDatabase::objectExists() {
    QFETCH(QString, name);
    QFETCH(QString, type);
    QCOMPARE(
        db_->scalar(u"SELECT type FROM sqlite_master WHERE name = '%1'"_s.arg(name)).toString(),
        type);
}

void tst_DemoDatabase::columnsSelectable_data() {
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<bool>("hasRows");

    // Every column named by the module's statements (spec Parts 3.1, 4.1-4.5, 5.1, 5.2, 6.1, 6.6).
    QTest::newRow("tbArmazens") << u"tbArmazens"_s << u"armazem_id, empresa_id, predef"_s << true;
    QTest::newRow("tbContactos") << u"tbContactos"_s << u"contacto_id, nome_union"_s << true;
    QTest::newRow("tbContas_Bancarias")
        << u"tbContas_Bancarias"_s
        << u"conta_id, descrit, banco, iban, saldo, saldo_data, data_closed, system, protected, inactivo"_s
        << true;
    QTest::newRow("tbContas_Bancarias_Transferencias")
        << u"tbContas_Bancarias_Transferencias"_s
        << u"trf_id, data, data_debito, data_destino, data_debito_destino, origem_id, destino_id, "
           u"valor, obs, "
           "modo_pagamento_id, system"_s
        << true;
    QTest::newRow("tbCustos_Recibos") << u"tbCustos_Recibos"_s
                                      << u"recibo_id, armazem_id, data, data_documento, "
                                         u"data_debito, valor, conta_id, modo_pagamento_id, "
                                         "documento_no, referencia, contacto_id"_s
                                      << true;
    QTest::newRow("tbDocumentos_Fornec_Recibos")
        << u"tbDocumentos_Fornec_Recibos"_s
        << u"armazem_id, recibo_id, data, data_documento, data_debito, valor, conta_id, "
           u"modo_pagamento_id, "
           "documento_no, referencia, contacto_id"_s
        << true;
    QTest::newRow("tbDocumentos_Pagamentos") << u"tbDocumentos_Pagamentos"_s
                                             << u"armazem_id, pag_id, documento_main_id, data, "
                                                u"data_debito, valor, conta_id, modo_pagamento_id, "
                                                "documento_no, referencia, contacto_id"_s
                                             << true;
    QTest::newRow("tbDocumentos_Recibos") << u"tbDocumentos_Recibos"_s
                                          << u"armazem_id, recibo_id, data, data_documento, "
                                             u"data_debito, valor, conta_id, modo_pagamento_id, "
                                             "documento_no, referencia, contacto_id"_s
                                          << true;
    QTest::newRow("tbEmpresas") << u"tbEmpresas"_s << u"empresa_id, predef"_s << true;
    QTest::newRow("tbGroups") << u"tbGroups"_s << u"group_id, code, descrit"_s << true;
    QTest::newRow("tbGroups_Users_Links")
        << u"tbGroups_Users_Links"_s << u"group_id, user_id"_s << true;
    QTest::newRow("tbModos_Pagamento")
        << u"tbModos_Pagamento"_s << u"modo_pagamento_id, descrit"_s << true;
    QTest::newRow("tbPacientes_Tratamentos_Recibos")
        << u"tbPacientes_Tratamentos_Recibos"_s
        << u"recibo_id, armazem_id, data, valor, conta_id, modo_pagamento_id, documento_no, referencia, contacto_id"_s
        << true;
    QTest::newRow("tbSecurityPolicies")
        << u"tbSecurityPolicies"_s << u"code, descrit, users_groups"_s << true;
    QTest::newRow("tbTemplates") << u"tbTemplates"_s
                                 << u"template_id, filename, code, group_code, user_code, predef"_s
                                 << false;
    QTest::newRow("tbUsers") << u"tbUsers"_s << u"user_id, code, descrit, armazem_id, contacto_id"_s
                             << true;
    QTest::newRow("vwContas_Bancarias")
        << u"vwContas_Bancarias"_s << u"conta_id, descrit, descrit2, inactivo, protected, system"_s
        << true;
    QTest::newRow("vwDocumentos")
        << u"vwDocumentos"_s
        << u"documento_main_id, armazem_id, fax_email, tipo, documento_no, utilizador, nome"_s
        << true;
    QTest::newRow("vwEmpresas_Completo") << u"vwEmpresas_Completo"_s
                                         << u"empresa_id, no_contribuinte, nome_union, morada, "
                                            u"cod_postal, localidade, pais, telefone, email, fax, "
                                            "tipo_sociedade, capital, nib, certificado"_s
                                         << true;
    QTest::newRow("vwExtractos_Contas_Bancarias")
        << u"vwExtractos_Contas_Bancarias"_s << kExtractColumns.join(u", "_s) << true;
}

void tst_DemoDatabase::columnsSelectable() {
    QFETCH(QString, object);
    QFETCH(QString, columns);
    QFETCH(bool, hasRows);

    QSqlQuery q;
    QString error;
    QVERIFY2(db_->run(q, u"SELECT %1 FROM %2 LIMIT 1"_s.arg(columns, object), &error),
             qPrintable(error));
    QCOMPARE(q.record().count(), int(columns.split(u',').size()));
    QCOMPARE(q.next(), hasRows);
}

void tst_DemoDatabase::extractViewHasExactlyItsColumns() {
    QSqlQuery q;
    QString error;
    QVERIFY2(db_->run(q, u"PRAGMA table_info(vwExtractos_Contas_Bancarias)"_s, &error),
             qPrintable(error));
    QStringList names;
    while (q.next())
        names << q.value(u"name"_s).toString();
    QCOMPARE(names, kExtractColumns);
}

void tst_DemoDatabase::systemStatementsRun_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("hasRows");

    // Statements the system runs, as SQLite runs them after the backend's rewrite of the SQL Server
    // constructs (CONVERT(DATETIME,'..',102) -> '..', TOP 1 -> LIMIT 1).
    const QString s = Today(-200) + u" 00:00:00"_s;
    const QString i = Today(-30) + u" 00:00:00"_s;
    const QString e = Today(90) + u" 23:59:59"_s;
    QTest::newRow("policies")
        << u"SELECT tbSecurityPolicies.code FROM tbSecurityPolicies WHERE 0 = 0 "_s << true;
    QTest::newRow("groups of user") << u"SELECT tbGroups.code, tbUsers.code as user_code FROM "
                                       u"tbGroups_Users_Links LEFT OUTER JOIN tbGroups ON "
                                       "tbGroups_Users_Links.group_id = tbGroups.group_id LEFT "
                                       "JOIN tbUsers ON tbGroups_Users_Links.user_id = "
                                       "tbUsers.user_id WHERE tbUsers.descrit = 'ana'"_s
                                    << true;
    QTest::newRow("accounts, all")
        << u"SELECT * FROM vwContas_Bancarias WHERE (inactivo = 0 OR inactivo is null) ORDER BY descrit2"_s
        << true;
    QTest::newRow("accounts, not protected") << u"SELECT * FROM vwContas_Bancarias WHERE (inactivo "
                                                u"= 0 OR inactivo is null) AND (protected = 0 OR "
                                                "protected is null) ORDER BY descrit2"_s
                                             << true;
    QTest::newRow("accounts, not system")
        << u"SELECT * FROM vwContas_Bancarias WHERE system = 0 OR system is null ORDER BY descrit2"_s
        << true;
    QTest::newRow("payment methods")
        << u"SELECT * FROM tbModos_Pagamento ORDER BY descrit"_s << true;
    QTest::newRow("payment methods, two columns")
        << u"SELECT modo_pagamento_id, descrit FROM tbModos_Pagamento ORDER BY descrit"_s << true;
    QTest::newRow("account") << u"SELECT * FROM tbContas_Bancarias WHERE conta_id = 1"_s << true;
    QTest::newRow("opening balance")
        << u"SELECT SUM(ROUND(CAST(debito as money),2)) - SUM(ROUND(CAST(credito as money),2)) as "
           u"saldo FROM "
           "vwExtractos_Contas_Bancarias WHERE conta_id = 1 AND data < '%1' AND data >= '%2'"_s.arg(
               i, s)
        << true;
    QTest::newRow("opening balance, unreconciled")
        << u"SELECT SUM(ROUND(debito,2) - ROUND(credito,2)) as saldo FROM "
           u"vwExtractos_Contas_Bancarias WHERE "
           "conta_id = 1 AND data < '%1' AND data >= '%2' AND concil = 0"_s.arg(i, s)
        << true;
    QTest::newRow("movements") << u"SELECT * FROM vwExtractos_Contas_Bancarias WHERE conta_id = 1 "
                                  u"AND data >= '%1' AND data <='%2' AND "
                                  "modo_pagamento_id = 5 ORDER BY data, concil DESC, doc_id"_s.arg(
                                      i, e)
                               << true;
    QTest::newRow("receipt")
        << u"SELECT * FROM tbDocumentos_Recibos WHERE armazem_id = 1 AND recibo_id = 1"_s << true;
    QTest::newRow("supplier receipt")
        << u"SELECT * FROM tbDocumentos_Fornec_Recibos WHERE armazem_id = 1 AND recibo_id = 1"_s
        << true;
    QTest::newRow("cost receipt") << u"SELECT * FROM tbCustos_Recibos WHERE recibo_id = 1"_s
                                  << true;
    QTest::newRow("payment")
        << u"SELECT armazem_id, documento_main_id FROM tbDocumentos_Pagamentos WHERE armazem_id = 1 AND pag_id = 1"_s
        << true;
    QTest::newRow("patient receipt")
        << u"SELECT * FROM tbPacientes_Tratamentos_Recibos WHERE recibo_id = 1"_s << true;
    QTest::newRow("transfer")
        << u"SELECT * FROM tbContas_Bancarias_Transferencias WHERE trf_id = 1"_s << true;
    QTest::newRow("debit date 40")
        << u"SELECT data_debito_destino FROM tbContas_Bancarias_Transferencias WHERE trf_id = 1"_s
        << true;
    QTest::newRow("user name") << u"SELECT tbContactos.nome_union FROM tbUsers LEFT JOIN "
                                  u"tbContactos ON tbUsers.contacto_id = "
                                  "tbContactos.contacto_id WHERE tbUsers.descrit = 'rui'"_s
                               << true;
    QTest::newRow("templates")
        << u"SELECT code FROM tbTemplates WHERE filename = 'logo.jpg' AND ((group_code is null and "
           u"user_code is null) "
           "OR ( (user_code Like '%U-ANA%'  OR group_code LIKE '%G-CONTAB%' ) )) ORDER BY predef DESC"_s
        << false;
    QTest::newRow("user warehouse")
        << u"SELECT armazem_id FROM tbUsers WHERE descrit = 'joao'"_s << true;
    QTest::newRow("preferred warehouse")
        << u"SELECT armazem_id FROM tbArmazens ORDER BY predef DESC LIMIT 1"_s << true;
    QTest::newRow("warehouse company")
        << u"SELECT empresa_id FROM tbArmazens WHERE armazem_id = 2"_s << true;
    QTest::newRow("first company")
        << u"SELECT empresa_id FROM tbEmpresas ORDER BY empresa_id LIMIT 1"_s << true;
    QTest::newRow("preferred company")
        << u"SELECT empresa_id FROM tbEmpresas ORDER BY predef DESC LIMIT 1"_s << true;
    QTest::newRow("company") << u"SELECT * FROM vwEmpresas_Completo WHERE empresa_id = 1"_s << true;
    QTest::newRow("document for mail")
        << u"SELECT * FROM vwDocumentos WHERE documento_main_id=5001 AND armazem_id = 1"_s << true;
}

void tst_DemoDatabase::systemStatementsRun() {
    QFETCH(QString, sql);
    QFETCH(bool, hasRows);
    QSqlQuery q;
    QString error;
    QVERIFY2(db_->run(q, sql, &error), qPrintable(error));
    QCOMPARE(q.next(), hasRows);
}

void tst_DemoDatabase::everyOriginIsPresent_data() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<QString>("name");
    QTest::newRow("1 receipts") << 1 << u"Recibo"_s;
    QTest::newRow("2 supplier receipts") << 2 << u"Recibo Fornecedor"_s;
    QTest::newRow("3 cost receipts") << 3 << u"Recibo Custo"_s;
    QTest::newRow("4 transfers out") << 4 << u"Transferência"_s;
    QTest::newRow("40 transfers in") << 40 << u"Transferência Recebida"_s;
    QTest::newRow("5 bank charges") << 5 << u"Despesas Bancárias"_s;
    QTest::newRow("6 interest") << 6 << u"Juros"_s;
    QTest::newRow("7 payments") << 7 << u"Pagamento"_s;
    QTest::newRow("10 patient receipts") << 10 << u"Recibo Paciente"_s;
}

void tst_DemoDatabase::everyOriginIsPresent() {
    QFETCH(int, origin);
    QFETCH(QString, name);
    const QString where = u"FROM vwExtractos_Contas_Bancarias WHERE origem_id = %1"_s.arg(origin);
    QVERIFY(db_->scalar(u"SELECT COUNT(*) "_s + where).toInt() >= 10);
    QCOMPARE(db_->scalar(u"SELECT COUNT(DISTINCT origem) "_s + where).toInt(), 1);
    QCOMPARE(db_->scalar(u"SELECT origem "_s + where).toString(), name);
    // Past and future movements, and each row names its payment method and counterparty.
    QVERIFY(db_->scalar(u"SELECT COUNT(*) %1 AND data < '%2'"_s.arg(where, Today(-30))).toInt() >
            0);
    QVERIFY(db_->scalar(u"SELECT COUNT(*) %1 AND data > '%2'"_s.arg(where, Today(1))).toInt() > 0);
    QCOMPARE(
        db_->scalar(
               u"SELECT COUNT(*) %1 AND (modo_pagamento IS NULL OR data IS NULL OR doc_id IS NULL)"_s
                   .arg(where))
            .toInt(),
        0);
    if (origin != 3)  // cost receipts may have no counterparty (tolls)
        QCOMPARE(db_->scalar(u"SELECT COUNT(*) %1 AND nome_completo IS NULL"_s.arg(where)).toInt(),
                 0);
    // Reconcilable origins have both reconciled and pending rows.
    if (origin != 5 && origin != 6 && origin != 10) {
        QVERIFY(db_->scalar(u"SELECT COUNT(*) %1 AND concil = 1"_s.arg(where)).toInt() > 0);
        QVERIFY(db_->scalar(u"SELECT COUNT(*) %1 AND concil = 0"_s.arg(where)).toInt() > 0);
    }
}

void tst_DemoDatabase::movementsSpanALivePeriod() {
    const QString v = u"FROM vwExtractos_Contas_Bancarias "_s;
    QVERIFY(db_->scalar(u"SELECT COUNT(*) "_s + v).toInt() >= 250);
    // About five months back and two months ahead.
    QVERIFY(db_->scalar(u"SELECT MIN(data) "_s + v).toString() <= Today(-120));
    QVERIFY(db_->scalar(u"SELECT MAX(data) "_s + v).toString() >= Today(45));
    // Several payment methods, including the bank transfer (key 5).
    QVERIFY(db_->scalar(u"SELECT COUNT(DISTINCT modo_pagamento_id) "_s + v).toInt() >= 5);
    QCOMPARE(db_->scalar(u"SELECT COUNT(*) FROM tbModos_Pagamento WHERE modo_pagamento_id = 5"_s)
                 .toInt(),
             1);
    // Several movements on the same day of one account, amounts with cents, a few empty sides.
    QVERIFY(db_->scalar(u"SELECT MAX(n) FROM (SELECT COUNT(*) AS n "_s + v +
                        u"GROUP BY conta_id, data)"_s)
                .toInt() >= 3);
    QVERIFY(db_->scalar(u"SELECT COUNT(*) "_s + v +
                        u"WHERE debito <> ROUND(debito) OR credito <> ROUND(credito)"_s)
                .toInt() > 100);
    QVERIFY(db_->scalar(u"SELECT COUNT(*) "_s + v + u"WHERE debito IS NULL OR credito IS NULL"_s)
                .toInt() > 0);
    // No bank date lies in the future.
    QCOMPARE(
        db_->scalar(u"SELECT COUNT(*) "_s + v + u"WHERE concil = 1 AND data > '%1'"_s.arg(Today(1)))
            .toInt(),
        0);
    // Every movement's date is the stored text form yyyy-mm-dd hh:mm:ss.
    QCOMPARE(
        db_->scalar(
               u"SELECT COUNT(*) "_s + v +
               u"WHERE data NOT GLOB "
               "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'"_s)
            .toInt(),
        0);
}

void tst_DemoDatabase::transferShownTwice() {
    // Transfer 2: account 1 -> account 2, 2000.00, bank date only on the leaving side.
    QSqlQuery q;
    QString error;
    QVERIFY2(
        db_->run(
            q,
            u"SELECT origem_id, conta_id, debito, credito, concil, armazem_id, data "
            "FROM vwExtractos_Contas_Bancarias WHERE origem_id IN (4, 40) AND doc_id = 2 ORDER BY origem_id"_s,
            &error),
        qPrintable(error));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 4);
    QCOMPARE(q.value(1).toInt(), 1);
    QCOMPARE(q.value(2).toDouble(), 0.0);
    QCOMPARE(q.value(3).toDouble(), 2000.0);
    QCOMPARE(q.value(4).toInt(), 1);
    QCOMPARE(q.value(5).toInt(), 0);
    QCOMPARE(q.value(6).toString(), Today(-12) + u" 00:00:00"_s);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 40);
    QCOMPARE(q.value(1).toInt(), 2);
    QCOMPARE(q.value(2).toDouble(), 2000.0);
    QCOMPARE(q.value(3).toDouble(), 0.0);
    QCOMPARE(q.value(4).toInt(), 0);
    QCOMPARE(q.value(5).toInt(), 0);
    QCOMPARE(q.value(6).toString(), Today(-11) + u" 00:00:00"_s);
    QVERIFY(!q.next());
}

void tst_DemoDatabase::everyTransferShownOnBothAccounts() {
    const int transfers =
        db_->scalar(u"SELECT COUNT(*) FROM tbContas_Bancarias_Transferencias"_s).toInt();
    QVERIFY(transfers >= 10);
    // One origin-4 row on the leaving account and one origin-40 row on the receiving one, per
    // transfer.
    const QString matching =
        u"SELECT COUNT(*) FROM tbContas_Bancarias_Transferencias t "
        "JOIN vwExtractos_Contas_Bancarias o ON o.origem_id = 4 AND o.doc_id = t.trf_id AND "
        "o.conta_id = t.origem_id "
        "  AND o.credito = t.valor AND o.debito = 0 AND o.armazem_id = 0 "
        "JOIN vwExtractos_Contas_Bancarias d ON d.origem_id = 40 AND d.doc_id = t.trf_id AND "
        "d.conta_id = t.destino_id "
        "  AND d.debito = t.valor AND d.credito = 0 AND d.armazem_id = 0 "
        "  AND d.nome_completo = (SELECT descrit2 FROM vwContas_Bancarias WHERE conta_id = "
        "t.origem_id) "
        "  AND o.nome_completo = (SELECT descrit2 FROM vwContas_Bancarias WHERE conta_id = t.destino_id)"_s;
    QCOMPARE(db_->scalar(matching).toInt(), transfers);
    QCOMPARE(
        db_->scalar(
               u"SELECT COUNT(*) FROM vwExtractos_Contas_Bancarias WHERE origem_id IN (4, 40)"_s)
            .toInt(),
        2 * transfers);
    // A system transfer exists (read-only in the transfer window).
    QVERIFY(
        db_->scalar(u"SELECT COUNT(*) FROM tbContas_Bancarias_Transferencias WHERE system = 1"_s)
            .toInt() >= 1);
}

void tst_DemoDatabase::viewFollowsSourceRecords_data() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<QString>(
        "source");  // rows of the source as (conta, data, debito, credito, concil, armazem, doc)

    const QString withDocDate =
        u"SELECT conta_id, COALESCE(data_debito, data_documento, data), %1, %2, data_debito IS NOT "
        u"NULL, %3, %4 "
        "FROM %5"_s;
    QTest::newRow("1") << 1
                       << withDocDate.arg(u"valor"_s, u"0"_s, u"armazem_id"_s, u"recibo_id"_s,
                                          u"tbDocumentos_Recibos"_s);
    QTest::newRow("2") << 2
                       << withDocDate.arg(u"0"_s, u"valor"_s, u"armazem_id"_s, u"recibo_id"_s,
                                          u"tbDocumentos_Fornec_Recibos"_s);
    QTest::newRow("3") << 3
                       << withDocDate.arg(u"0"_s, u"valor"_s, u"COALESCE(armazem_id, 0)"_s,
                                          u"recibo_id"_s, u"tbCustos_Recibos"_s);
    QTest::newRow("4") << 4
                       << u"SELECT origem_id, COALESCE(data_debito, data), 0, valor, data_debito "
                          u"IS NOT NULL, 0, trf_id "
                          "FROM tbContas_Bancarias_Transferencias"_s;
    QTest::newRow("40")
        << 40
        << u"SELECT destino_id, COALESCE(data_debito_destino, data_destino), valor, 0, "
           "data_debito_destino IS NOT NULL, 0, trf_id FROM tbContas_Bancarias_Transferencias"_s;
    QTest::newRow("7") << 7
                       << u"SELECT conta_id, COALESCE(data_debito, data), valor, 0, data_debito IS "
                          u"NOT NULL, armazem_id, "
                          "pag_id FROM tbDocumentos_Pagamentos"_s;
    QTest::newRow("10")
        << 10
        << u"SELECT conta_id, data, valor, 0, 0, COALESCE(armazem_id, 0), recibo_id "
           "FROM tbPacientes_Tratamentos_Recibos"_s;
    QTest::newRow("5")
        << 5
        << u"SELECT conta_id, data, debito, credito, 0, COALESCE(armazem_id, 0), mov_id "
           "FROM tbContas_Bancarias_Movimentos WHERE origem_id = 5"_s;
    QTest::newRow("6")
        << 6
        << u"SELECT conta_id, data, debito, credito, 0, COALESCE(armazem_id, 0), mov_id "
           "FROM tbContas_Bancarias_Movimentos WHERE origem_id = 6"_s;
}

void tst_DemoDatabase::viewFollowsSourceRecords() {
    QFETCH(int, origin);
    QFETCH(QString, source);
    const QString view =
        u"SELECT conta_id, data, debito, credito, concil, armazem_id, doc_id "
        "FROM vwExtractos_Contas_Bancarias WHERE origem_id = %1"_s.arg(origin);
    const int rows = db_->scalar(u"SELECT COUNT(*) FROM (%1)"_s.arg(source)).toInt();
    QVERIFY(rows > 0);
    QCOMPARE(db_->scalar(u"SELECT COUNT(*) FROM (%1)"_s.arg(view)).toInt(), rows);
    // Same multiset of rows both ways (EXCEPT over the two).
    QCOMPARE(db_->scalar(u"SELECT COUNT(*) FROM (%1 EXCEPT %2)"_s.arg(source, view)).toInt(), 0);
    QCOMPARE(db_->scalar(u"SELECT COUNT(*) FROM (%1 EXCEPT %2)"_s.arg(view, source)).toInt(), 0);
}

void tst_DemoDatabase::bankDateRule_data() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("docId");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("debitColumn");
    QTest::addColumn<QString>("ownDate");  // the record's own date when not reconciled

    QTest::newRow("1 receipt") << 1 << 1 << u"tbDocumentos_Recibos"_s
                               << u"armazem_id = 1 AND recibo_id = 1"_s << u"data_debito"_s
                               << Today(-20) + u" 10:15:00"_s;
    QTest::newRow("1 receipt without data_documento")
        << 1 << 8 << u"tbDocumentos_Recibos"_s << u"armazem_id = 1 AND recibo_id = 8"_s
        << u"data_debito"_s << Today(-10) + u" 15:45:00"_s;
    QTest::newRow("2 supplier receipt")
        << 2 << 2 << u"tbDocumentos_Fornec_Recibos"_s << u"armazem_id = 1 AND recibo_id = 2"_s
        << u"data_debito"_s << Today(-27) + u" 08:30:00"_s;
    QTest::newRow("3 cost receipt") << 3 << 2 << u"tbCustos_Recibos"_s << u"recibo_id = 2"_s
                                    << u"data_debito"_s << Today(-48) + u" 09:20:00"_s;
    QTest::newRow("4 transfer out")
        << 4 << 3 << u"tbContas_Bancarias_Transferencias"_s << u"trf_id = 3"_s << u"data_debito"_s
        << Today(-5) + u" 00:00:00"_s;
    QTest::newRow("40 transfer in")
        << 40 << 3 << u"tbContas_Bancarias_Transferencias"_s << u"trf_id = 3"_s
        << u"data_debito_destino"_s << Today(-4) + u" 00:00:00"_s;
    QTest::newRow("7 payment") << 7 << 2 << u"tbDocumentos_Pagamentos"_s
                               << u"armazem_id = 2 AND pag_id = 2"_s << u"data_debito"_s
                               << Today(-9) + u" 12:10:00"_s;
}

void tst_DemoDatabase::bankDateRule() {
    QFETCH(int, origin);
    QFETCH(int, docId);
    QFETCH(QString, table);
    QFETCH(QString, key);
    QFETCH(QString, debitColumn);
    QFETCH(QString, ownDate);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"rule.db"_s);
    QString error;
    QVERIFY2(orla::CreateDemoDatabase(path, &error), qPrintable(error));
    Db db(path);
    QVERIFY(db.opened());

    const QString row =
        u"SELECT %1 FROM vwExtractos_Contas_Bancarias WHERE origem_id = %2 AND doc_id = %3"_s;
    auto concil = [&] { return db.scalar(row.arg(u"concil"_s).arg(origin).arg(docId)).toInt(); };
    auto date = [&] { return db.scalar(row.arg(u"data"_s).arg(origin).arg(docId)).toString(); };
    QCOMPARE(db.scalar(row.arg(u"COUNT(*)"_s).arg(origin).arg(docId)).toInt(), 1);

    // Seeded unreconciled: the record's own date.
    QCOMPARE(concil(), 0);
    QCOMPARE(date(), ownDate);

    // A bank date reconciles the movement and becomes its date.
    const QString bank = Today(-1) + u" 00:00:00"_s;
    QVERIFY(db.exec(u"UPDATE %1 SET %2 = '%3' WHERE %4"_s.arg(table, debitColumn, bank, key)));
    QCOMPARE(concil(), 1);
    QCOMPARE(date(), bank);

    // The other side of a transfer is not touched by this side's bank date.
    if (origin == 4 || origin == 40) {
        const int other = origin == 4 ? 40 : 4;
        QCOMPARE(db.scalar(row.arg(u"concil"_s).arg(other).arg(docId)).toInt(), 0);
    }

    // Taking the bank date away gives the own date back.
    QVERIFY(db.exec(u"UPDATE %1 SET %2 = null WHERE %3"_s.arg(table, debitColumn, key)));
    QCOMPARE(concil(), 0);
    QCOMPARE(date(), ownDate);
}

void tst_DemoDatabase::unreconcilableOriginsNeverConcil() {
    QCOMPARE(
        db_->scalar(
               u"SELECT COUNT(*) FROM vwExtractos_Contas_Bancarias WHERE origem_id IN (5, 6, 10) "
               "AND concil <> 0"_s)
            .toInt(),
        0);
    QCOMPARE(
        db_->scalar(u"SELECT COUNT(*) FROM vwExtractos_Contas_Bancarias WHERE concil NOT IN (0, 1) "
                    "OR concil IS NULL"_s)
            .toInt(),
        0);
}

void tst_DemoDatabase::accountKinds_data() {
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("atLeast");
    const QString active = u"(inactivo = 0 OR inactivo IS NULL)"_s;
    const QString ordinary =
        active + u" AND (protected = 0 OR protected IS NULL) AND (system = 0 OR system IS NULL)"_s;
    QTest::newRow("ordinary active") << ordinary << 4;
    QTest::newRow("ordinary active, no closed period, balance date before the movements")
        << ordinary + u" AND data_closed IS NULL AND saldo_data <= '%1'"_s.arg(Today(-180)) << 3;
    QTest::newRow("protected") << active + u" AND protected = 1"_s << 1;
    QTest::newRow("system") << active + u" AND system = 1"_s << 1;
    QTest::newRow("closed ~45 days ago")
        << ordinary + u" AND data_closed = '%1 00:00:00'"_s.arg(Today(-45)) << 1;
    QTest::newRow("inactive") << u"inactivo = 1"_s << 1;
    QTest::newRow("saldo_data ~60 days ago")
        << ordinary + u" AND saldo_data = '%1 00:00:00'"_s.arg(Today(-60)) << 1;
    QTest::newRow("flags left NULL")
        << u"system IS NULL AND protected IS NULL AND inactivo IS NULL"_s << 1;
}

void tst_DemoDatabase::accountKinds() {
    QFETCH(QString, condition);
    QFETCH(int, atLeast);
    const QString sql = u"SELECT COUNT(*) FROM tbContas_Bancarias WHERE "_s + condition;
    const int n = db_->scalar(sql).toInt();
    QVERIFY2(n >= atLeast, qPrintable(u"%1 gave %2"_s.arg(sql).arg(n)));
    // Every such account has movements.
    QCOMPARE(
        db_->scalar(
               u"SELECT COUNT(*) FROM tbContas_Bancarias c WHERE "_s + condition +
               u" AND NOT EXISTS (SELECT 1 FROM vwExtractos_Contas_Bancarias v WHERE v.conta_id = c.conta_id)"_s)
            .toInt(),
        0);
}

void tst_DemoDatabase::accountListsBySecurity() {
    auto ids = [&](const QString& sql) {
        QSqlQuery q;
        QString error;
        QSet<int> set;
        if (!db_->run(q, sql, &error))
            qWarning("%s", qPrintable(error));
        while (q.next())
            set.insert(q.value(u"conta_id"_s).toInt());
        return set;
    };
    const QSet<int> all = ids(
        u"SELECT * FROM vwContas_Bancarias WHERE (inactivo = 0 OR inactivo is null) ORDER BY descrit2"_s);
    const QSet<int> unprotected =
        ids(u"SELECT * FROM vwContas_Bancarias WHERE (inactivo = 0 OR inactivo is null) AND "
            u"(protected = 0 OR "
            "protected is null) ORDER BY descrit2"_s);
    QCOMPARE(all, (QSet<int>{1, 2, 3, 4, 5, 6, 8}));
    QCOMPARE(unprotected, (QSet<int>{1, 2, 3, 4, 6, 8}));
    const QSet<int> forNewTransfer = ids(
        u"SELECT * FROM vwContas_Bancarias WHERE system = 0 OR system is null ORDER BY descrit2"_s);
    QVERIFY(!forNewTransfer.contains(6));
    // The shown texts are distinct (the transfer window refuses two accounts with the same text).
    QCOMPARE(db_->scalar(u"SELECT COUNT(DISTINCT descrit2) FROM vwContas_Bancarias"_s).toInt(),
             db_->scalar(u"SELECT COUNT(*) FROM vwContas_Bancarias"_s).toInt());
    QCOMPARE(
        db_->scalar(u"SELECT descrit2 FROM vwContas_Bancarias WHERE conta_id = 1"_s).toString(),
        u"Millennium BCP - Conta à ordem 0001234-5"_s);
}

void tst_DemoDatabase::securityLayout_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("open");               // #2301
    QTest::addColumn<bool>("protectedAccounts");  // #2302
    QTest::addColumn<bool>("everyPolicy");
    QTest::newRow("ana: everything through her group") << u"ana"_s << true << true << true;
    QTest::newRow("rui: lacks #2302") << u"rui"_s << true << false << false;
    QTest::newRow("joao: lacks #2301") << u"joao"_s << false << true << false;
    QTest::newRow("marta: no group, every policy") << u"marta"_s << true << true << true;
}

void tst_DemoDatabase::securityLayout() {
    QFETCH(QString, user);
    QFETCH(bool, open);
    QFETCH(bool, protectedAccounts);
    QFETCH(bool, everyPolicy);

    // The security policy look-up and the user's permission condition, as statements.
    QSqlQuery q;
    QString error;
    QVERIFY2(
        db_->run(
            q,
            u"SELECT tbGroups.code, tbUsers.code as user_code FROM tbGroups_Users_Links LEFT OUTER "
            u"JOIN "
            "tbGroups ON tbGroups_Users_Links.group_id = tbGroups.group_id LEFT JOIN tbUsers ON "
            "tbGroups_Users_Links.user_id = tbUsers.user_id WHERE tbUsers.descrit = '"_s +
                user + u"'"_s,
            &error),
        qPrintable(error));
    QString condition;
    bool first = true;
    while (q.next()) {
        if (first) {
            condition = u"( (users_groups Like '%"_s + q.value(1).toString() + u"%' "_s;
            first = false;
        }
        if (!q.value(0).isNull())
            condition += u" OR users_groups LIKE '%"_s + q.value(0).toString() + u"%' "_s;
    }
    if (!condition.isEmpty())
        condition += u") )"_s;
    QCOMPARE(condition.isEmpty(), user == u"marta"_s);

    QString sql = u"SELECT tbSecurityPolicies.code FROM tbSecurityPolicies WHERE 0 = 0 "_s;
    if (!condition.isEmpty())
        sql += u" AND "_s + condition;
    QVERIFY2(db_->run(q, sql, &error), qPrintable(error));
    QStringList policies;
    while (q.next())
        policies << q.value(0).toString();

    QCOMPARE(policies.contains(u"#2301"_s), open);
    QCOMPARE(policies.contains(u"#2302"_s), protectedAccounts);
    const int total = db_->scalar(u"SELECT COUNT(*) FROM tbSecurityPolicies"_s).toInt();
    QVERIFY(total >= 4);
    QCOMPARE(policies.size() == total, everyPolicy);
    QVERIFY(!policies.isEmpty());
}

void tst_DemoDatabase::usersHaveContactNames() {
    for (const orla::DemoLogin& login : orla::DemoLogins()) {
        if (login.login == u"orla"_s)
            continue;  // the database login is not an application user
        const QString name =
            db_->scalar(
                   u"SELECT tbContactos.nome_union FROM tbUsers LEFT JOIN tbContactos ON "
                   "tbUsers.contacto_id = tbContactos.contacto_id WHERE tbUsers.descrit = '"_s +
                   login.login + u"'"_s)
                .toString();
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(login.login));
    }
    // The apostrophe contact is there for quoting tests.
    QCOMPARE(
        db_->scalar(u"SELECT COUNT(*) FROM tbContactos WHERE nome_union = 'Café O''Brien, Lda.'"_s)
            .toInt(),
        1);
}

void tst_DemoDatabase::loginsAreSaltedHashes() {
    const QList<orla::DemoLogin> logins = orla::DemoLogins();
    QCOMPARE(logins.size(), 5);
    QCOMPARE(logins.first().login, u"orla"_s);
    QCOMPARE(logins.first().password, u"orla-demo"_s);

    QCOMPARE(db_->scalar(u"SELECT COUNT(*) FROM orla_logins"_s).toInt(), int(logins.size()));
    QSet<QString> salts;
    for (const orla::DemoLogin& login : logins) {
        QSqlQuery q;
        QString error;
        QVERIFY2(
            db_->run(q, u"SELECT salt, hash FROM orla_logins WHERE login = '%1'"_s.arg(login.login),
                     &error),
            qPrintable(error));
        QVERIFY2(q.next(), qPrintable(login.login));
        const QString salt = q.value(0).toString();
        const QString hash = q.value(1).toString();
        QVERIFY(!salt.isEmpty());
        QCOMPARE(hash, orla::LoginHash(salt, login.password));
        QVERIFY(hash != orla::LoginHash(salt, login.password + u"x"_s));
        QVERIFY(!hash.contains(login.password));
        QVERIFY(!salt.contains(login.password));
        salts.insert(salt);
    }
    QCOMPARE(salts.size(), int(logins.size()));
    // The plain passwords appear nowhere in the logins table.
    for (const orla::DemoLogin& login : logins)
        QCOMPARE(
            db_->scalar(
                   u"SELECT COUNT(*) FROM orla_logins WHERE login || salt || hash LIKE '%%1%'"_s
                       .arg(login.password))
                .toInt(),
            0);

    // Salts are new at each build.
    QTemporaryDir dir;
    const QString other = dir.filePath(u"other.db"_s);
    QString error;
    QVERIFY2(orla::CreateDemoDatabase(other, &error), qPrintable(error));
    Db db(other);
    QVERIFY(!salts.contains(
        db.scalar(u"SELECT salt FROM orla_logins WHERE login = 'orla'"_s).toString()));
}

void tst_DemoDatabase::brokenScriptFails_data() {
    QTest::addColumn<QByteArray>("schema");  // empty: copy the real one
    QTest::addColumn<QByteArray>("seed");    // empty: copy the real one; "-": leave it out
    QTest::addColumn<QString>("script");     // the script the message must name
    QTest::addColumn<QString>("sqliteMessage");

    QTest::newRow("bad schema") << QByteArray("CREATE TABLE tbBroken (\n") << QByteArray()
                                << u"schema.sql"_s << u"incomplete input"_s;
    QTest::newRow("bad schema statement") << QByteArray("CREATE TABEL tbBroken (x INTEGER);\n")
                                          << QByteArray() << u"schema.sql"_s << u"syntax error"_s;
    QTest::newRow("bad seed") << QByteArray() << QByteArray("INSERT INTO tbNowhere VALUES (1);\n")
                              << u"seed.sql"_s << u"no such table: tbNowhere"_s;
    QTest::newRow("missing seed") << QByteArray() << QByteArray("-") << u"seed.sql"_s << QString();
}

void tst_DemoDatabase::brokenScriptFails() {
    QFETCH(QByteArray, schema);
    QFETCH(QByteArray, seed);
    QFETCH(QString, script);
    QFETCH(QString, sqliteMessage);

    const QString realDir = orla::DemoScriptsDir();
    auto realScript = [&](const char* name) {
        QFile f(realDir + u"/"_s + QString::fromLatin1(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTemporaryDir scripts;
    QVERIFY(scripts.isValid());
    auto write = [&](const char* name, const QByteArray& content) {
        QFile f(scripts.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    };
    QVERIFY(write("schema.sql", schema.isEmpty() ? realScript("schema.sql") : schema));
    if (seed != "-")
        QVERIFY(write("seed.sql", seed.isEmpty() ? realScript("seed.sql") : seed));

    QTemporaryDir out;
    QVERIFY(out.isValid());
    const QString path = out.filePath(u"broken.db"_s);
    {
        // A file already there goes too.
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }

    EnvGuard guard;
    qputenv("ORLA_DEMO_DIR", QFile::encodeName(scripts.path()));
    QCOMPARE(orla::DemoScriptsDir(), scripts.path());
    QString error;
    QVERIFY(!orla::CreateDemoDatabase(path, &error));
    QVERIFY2(error.contains(script), qPrintable(error));
    if (!sqliteMessage.isEmpty())
        QVERIFY2(error.contains(sqliteMessage), qPrintable(error));
    if (seed == "-") {
        // A missing script is found before anything is touched.
        QVERIFY(QFileInfo::exists(path));
    } else {
        QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
        QVERIFY(!QFileInfo::exists(path + u"-journal"_s));
    }
}

QTEST_GUILESS_MAIN(tst_DemoDatabase)
#include "tst_demodatabase.moc"
