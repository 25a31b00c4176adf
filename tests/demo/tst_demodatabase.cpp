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
    void extractViewHasExactlyItsColumns();
    void transferShownTwice();
    void bankDateRule_data();
    void bankDateRule();
    void unreconcilableOriginsNeverConcil();
    void accountKinds_data();
    void accountKinds();
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
