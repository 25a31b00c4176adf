// Templates from the database before the templates folder, the logo's bytes,
// the user's company and the company placeholders, on the demo database.
#include "DemoFixture.h"
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "common/Format.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "printing/modTemplates.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace orla;
using namespace orla::test;

namespace {

const QString kProgramKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade";

// A tbTemplates row: file name, content, group, user (NULL or a quoted literal), predef.
QString Row(const QString& values) {
    return "INSERT INTO tbTemplates (filename, code, group_code, user_code, predef) VALUES (" +
           values + ")";
}

}  // namespace

class TestTemplates : public QObject {
    Q_OBJECT

  private slots:
    void templateFromDatabaseThenFolder_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("strip");
        QTest::addColumn<QString>("expected");
        const QString general = Row("'Extrato_Conta.doc', CAST('GERAL' AS BLOB), NULL, NULL, 0");
        QTest::newRow("database before folder")
            << QStringList{general} << "Extrato_Conta.doc" << false << "GERAL";
        QTest::newRow("own template of higher predef")
            << QStringList{general, Row("'Extrato_Conta.doc', 'ANA', NULL, 'U-ANA', 1")}
            << "extrato_conta.doc" << false << "ANA";
        QTest::newRow("group template of higher predef")
            << QStringList{general, Row("'Extrato_Conta.doc', 'GRUPO', 'G-CONTAB', NULL, 2"),
                           Row("'Extrato_Conta.doc', 'ANA', NULL, 'U-ANA', 1")}
            << "Extrato_Conta.doc" << false << "GRUPO";
        QTest::newRow("another user's template is not used")
            << QStringList{general, Row("'Extrato_Conta.doc', 'RUI', NULL, 'U-RUI', 9")}
            << "Extrato_Conta.doc" << false << "GERAL";
        QTest::newRow("empty content falls back to the folder")
            << QStringList{Row("'Extrato_Conta.doc', X'', NULL, NULL, 0")} << "Extrato_Conta.doc"
            << false << "DISCO\r\n€";
        QTest::newRow("line breaks stripped")
            << QStringList{} << "Extrato_Conta.doc" << true << "DISCO€";
        QTest::newRow("html from the Emails folder")
            << QStringList{} << "aviso.html" << false << "<p>EMAIL</p>";
        QTest::newRow("quote in the name is only a name")
            << QStringList{general} << "D'Avila.doc" << false << "ASPAS";
        QTest::newRow("found nowhere") << QStringList{general} << "Outro.doc" << false << "";
    }
    void templateFromDatabaseThenFolder() {
        QFETCH(QStringList, rows);
        QFETCH(QString, fileName);
        QFETCH(bool, strip);
        QFETCH(QString, expected);
        SettingsSandbox sandbox;
        DemoFixture demo;
        demo.exec(rows);
        const QString folder = sandbox.root() + "/modelos";
        WriteAll(folder + "/Extrato_Conta.doc", "DISCO\r\n\x80");
        WriteAll(folder + "/D'Avila.doc", "ASPAS");
        WriteAll(folder + "/Emails/aviso.html", "<p>EMAIL</p>");
        QVERIFY(DefinirValorString(kProgramKey, "Templates", folder));
        ScopedServicesRecorder services;
        Context().User = "ana";
        QCOMPARE(GetTemplate(fileName, 0, strip, 0), expected);
        QVERIFY(services.log().reports.isEmpty());
    }

    void logoIsWrittenByteForByteAndNeverThroughALink() {
        SettingsSandbox sandbox;
        DemoFixture demo;
        QByteArray bytes;
        for (int i = 0; i < 256; ++i)
            bytes += char(i);
        demo.exec({Row("'logo.jpg', X'" + bytes.toHex() + "', NULL, NULL, 1")});
        Context().User = "ana";
        QVERIFY(!GetLogo());  // the folder is not there
        QVERIFY(QDir().mkpath(sandbox.shadowFolder()));
        const QString elsewhere = sandbox.root() + "/alheio.jpg";
        WriteAll(elsewhere, "alheio");
        QVERIFY(QFile::link(elsewhere, LogoPath()));
        QVERIFY(GetLogo());
        QVERIFY(!QFileInfo(LogoPath()).isSymLink());
        QCOMPARE(ReadAll(LogoPath()), bytes);
        QCOMPARE(ReadAll(elsewhere), QByteArray("alheio"));
    }

    void companyOfTheUser_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("firstCompany");
        QTest::addColumn<int>("expected");
        QTest::newRow("user's warehouse") << "ana" << 0 << 1;
        QTest::newRow("first company asked") << "joao" << 1 << 1;
        QTest::newRow("other warehouse") << "joao" << 0 << 2;
        QTest::newRow("no warehouse: preferred warehouse") << "marta" << 0 << 2;
        QTest::newRow("warehouse without company: preferred company") << "sem" << 0 << 7;
        QTest::newRow("company gone: lowest company") << "velho" << 0 << 1;
        QTest::newRow("quote in the user name") << "x' OR descrit = 'ana" << 0 << 2;
    }
    void companyOfTheUser() {
        QFETCH(QString, user);
        QFETCH(int, firstCompany);
        QFETCH(int, expected);
        SettingsSandbox sandbox;
        DemoFixture demo;
        demo.exec(
            {"INSERT INTO tbEmpresas (empresa_id, contacto_id, predef) VALUES (2, 2, 0), "
             "(7, 3, 1)",
             "UPDATE tbEmpresas SET predef = 0 WHERE empresa_id = 1",
             "UPDATE tbArmazens SET empresa_id = 2, predef = 2 WHERE armazem_id = 2",
             "INSERT INTO tbArmazens (armazem_id, descrit, empresa_id, predef) VALUES "
             "(3, 'Sem empresa', NULL, 0), (4, 'Fechada', 9, 0)",
             "INSERT INTO tbUsers (user_id, code, descrit, armazem_id) VALUES "
             "(8, 'U-SEM', 'sem', 3), (9, 'U-VELHO', 'velho', 4)"});
        ScopedServicesRecorder services;
        QCOMPARE(FindEmpresaID(user, firstCompany), expected);
        QVERIFY(services.log().reports.isEmpty());
    }

    void companyPlaceholders_data() {
        QTest::addColumn<bool>("html");
        QTest::addColumn<bool>("logo");
        QTest::addColumn<QString>("logoText");
        QTest::newRow("rtf with logo") << false << true << "{\\field{\\*\\fldinst {INCLUDEPICTURE";
        QTest::newRow("html with logo") << true << true << "<img border=0 width=535 height=118 id=";
        QTest::newRow("no logo stored") << false << false << "[ ]";
    }
    void companyPlaceholders() {
        QFETCH(bool, html);
        QFETCH(bool, logo);
        QFETCH(QString, logoText);
        SettingsSandbox sandbox;
        DemoFixture demo;
        QVERIFY(QDir().mkpath(sandbox.shadowFolder()));
        if (logo)
            demo.exec({Row("'logo.jpg', X'FFD8FF', NULL, NULL, 1")});
        demo.exec({"UPDATE tbContactos SET fax = NULL WHERE contacto_id = 1"});
        Context().User = "ana";
        QString text =
            "FX_owner_nome_FX|<<owner_nome>>|<<OWNER_FAX>>|##owner_capital##|"
            "[<<owner_logo>>]";
        const QString filled = PrintEmpresa(text, 0, html);
        QCOMPARE(filled, text);
        const QStringList parts = filled.split('|');
        QCOMPARE(parts.mid(0, 4), QStringList({"Atlântico Gestão e Saúde, Lda.", "<<owner_nome>>",
                                               " ", Format(50000.0, "#,##0.00")}));
        QVERIFY2(parts[4].contains(logoText), qPrintable(parts[4]));
        if (logo)
            QVERIFY2(parts[4].contains(html ? LogoPath().mid(1) : LogoPath()),
                     qPrintable(parts[4]));
    }

    void placeholderForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("delimiters");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("published");
        QTest::newRow("caller's delimiters first") << "<x> FX_x_FX"
                                                   << "x" << QVariant("V") << "<>"
                                                   << "V FX_x_FX" << true;
        QTest::newRow("FX form before double angles") << "<<x>> FX_X_FX <<x>>"
                                                      << "x" << QVariant("V") << ""
                                                      << "<<x>> V <<x>>" << true;
        QTest::newRow("every occurrence in any case") << "<<X>>, <<x>>"
                                                      << "x" << QVariant(12) << ""
                                                      << "12, 12" << true;
        QTest::newRow("double angles before single") << "<x> <<x>>"
                                                     << "x" << QVariant("V") << ""
                                                     << "<x> V" << true;
        QTest::newRow("hashes") << "##x##"
                                << "x" << QVariant("V") << ""
                                << "V" << true;
        QTest::newRow("escaped html") << "&lt;&lt;x&gt;&gt;"
                                      << "x" << QVariant("V") << ""
                                      << "V" << true;
        QTest::newRow("null is one space") << "[<x>]"
                                           << "x" << QVariant() << ""
                                           << "[ ]" << true;
        QTest::newRow("value holding the placeholder") << "<<x>><<x>>"
                                                       << "x" << QVariant("<<x>>") << ""
                                                       << "<<x>><<x>>" << true;
        QTest::newRow("not there") << "<<y>>"
                                   << "x" << QVariant("V") << ""
                                   << "<<y>>" << false;
        QTest::newRow("empty name blanks the bare delimiters") << "aFX__FXb"
                                                               << "" << QVariant("V") << ""
                                                               << "a b" << false;
    }
    void placeholderForms() {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(QString, delimiters);
        QFETCH(QString, expected);
        QFETCH(bool, published);
        QString d1 = delimiters.left(1);
        QString d2 = delimiters.mid(1);
        QCOMPARE(PublishValue(text, name, value, {}, &d1, &d2), published);
        QCOMPARE(text, expected);
        if (delimiters.isEmpty())
            QCOMPARE(d1 + d2, QString("FX__FX"));
    }

    void cleanup() { ResetComponentState(); }
};

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
