// Templates from the database before the templates folder, the user's
// company, the company placeholders with the logo, and the placeholder forms.
#include "DemoFixture.h"
#include "Recorders.h"
#include "SettingsSandbox.h"
#include "common/Format.h"
#include "common/Registry.h"
#include "context/Context.h"
#include "printing/RtfFill.h"
#include "printing/modTemplates.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace orla;
using namespace orla::test;

// A tbTemplates row: filename, code, group_code, user_code and predef follow.
const QString kRow =
    "INSERT INTO tbTemplates (filename, code, group_code, user_code, predef) VALUES (";

class TestTemplates : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { ResetComponentState(); }

    void templateFromDatabaseThenFolder() {
        const QHash<QString, QString> sql{
            {"general", kRow + "'Extrato_Conta.doc', CAST('GERAL' AS BLOB), NULL, NULL, 0)"},
            {"ana", kRow + "'Extrato_Conta.doc', 'ANA', NULL, 'U-ANA', 1)"},
            {"group", kRow + "'Extrato_Conta.doc', 'GRUPO', 'G-CONTAB', NULL, 2)"},
            {"rui", kRow + "'Extrato_Conta.doc', 'RUI', NULL, 'U-RUI', 9)"},
            {"empty", kRow + "'Extrato_Conta.doc', X'', NULL, NULL, 0)"}};
        const struct {
            const char *row, *rows, *file;
            bool strip;
            const char* expected;
        } cases[] = {
            {"database before folder", "general", "Extrato_Conta.doc", false, "GERAL"},
            {"own of higher predef", "general ana", "Extrato_Conta.doc", false, "ANA"},
            {"group's of higher predef", "general group ana", "extrato_conta.DOC", false, "GRUPO"},
            {"another user's", "general rui", "Extrato_Conta.doc", false, "GERAL"},
            {"empty content: folder", "empty", "Extrato_Conta.doc", false, "DISCO\r\n€"},
            {"line breaks stripped", "", "Extrato_Conta.doc", true, "DISCO€"},
            {"html from Emails", "", "aviso.html", false, "<p>EMAIL</p>"},
            {"quote in the name", "general", "D'Avila.doc", false, "ASPAS"},
            {"found nowhere", "general", "Outro.doc", false, ""},
        };
        for (const auto& c : cases) {
            SettingsSandbox sandbox;
            DemoFixture demo;
            demo.exec({"DELETE FROM tbTemplates"});  // only this case's rows
            for (const QString& name : QString(c.rows).split(' ', Qt::SkipEmptyParts))
                demo.exec({sql[name]});
            const QString folder = sandbox.root() + "/modelos";
            WriteAll(folder + "/Extrato_Conta.doc", "DISCO\r\n\x80");
            WriteAll(folder + "/D'Avila.doc", "ASPAS");
            WriteAll(folder + "/Emails/aviso.html", "<p>EMAIL</p>");
            QVERIFY(DefinirValorString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\Contabilidade",
                                       "Templates", folder));
            ScopedServicesRecorder services;
            QCOMPARE(c.row + (": " + GetTemplate(c.file, 0, c.strip, 0)),
                     c.row + (": " + QString(c.expected)));
            QVERIFY(services->reports.isEmpty());
        }
    }

    void companyOfTheUser() {
        SettingsSandbox sandbox;
        DemoFixture demo;
        demo.exec({"INSERT INTO tbEmpresas (empresa_id, predef) VALUES (2, 0), (7, 2)",
                   "UPDATE tbArmazens SET empresa_id = 2, predef = 2 WHERE armazem_id = 2",
                   "INSERT INTO tbArmazens (armazem_id, descrit, empresa_id, predef) VALUES "
                   "(3, 'Sem empresa', NULL, 0), (4, 'Fechada', 9, 0)",
                   "INSERT INTO tbUsers (user_id, code, descrit, armazem_id) VALUES "
                   "(8, 'U-SEM', 'sem', 3), (9, 'U-VELHO', 'velho', 4)"});
        ScopedServicesRecorder services;
        const struct {
            const char *row, *user;
            int firstCompany, expected;
        } cases[] = {
            {"user's warehouse", "ana", 0, 1},
            {"first company asked", "joao", 1, 1},
            {"other warehouse", "joao", 0, 2},
            {"no warehouse: preferred warehouse", "marta", 0, 2},
            {"warehouse without company: preferred company", "sem", 0, 7},
            {"company gone: lowest company", "velho", 0, 1},
            {"quote in the user name", "x' OR descrit = 'ana", 0, 2},
        };
        for (const auto& c : cases)
            QCOMPARE(c.row + QString(": %1").arg(FindEmpresaID(c.user, c.firstCompany)),
                     c.row + QString(": %1").arg(c.expected));
        QVERIFY(services->reports.isEmpty());
    }

    void companyPlaceholders() {
        SettingsSandbox sandbox;
        DemoFixture demo;
        demo.exec({"DELETE FROM tbTemplates"});  // no logo until the case stores one
        QVERIFY(QDir().mkpath(sandbox.shadowFolder()));
        const QString name = "Atlântico {Gestão} \\ Saúde & Filhos";
        demo.exec({"UPDATE tbContactos SET fax = NULL, nome_union = '" + name +
                   "' WHERE contacto_id = 1"});
        const auto fill = [](bool html) {
            QString text =
                "FX_owner_nome_FX|<<owner_nome>>|<<OWNER_FAX>>|##owner_capital##|"
                "[<<owner_logo>>]";
            return PrintEmpresa(text, 0, html) == text ? text.split('|') : QStringList();
        };
        // Only the FX_ form of the name is filled; a null field is one space.
        const QStringList fields{StringRTFSemEspacos(name), "<<owner_nome>>", " ",
                                 Format(50000.0, "#,##0.00"), "[ ]"};
        QCOMPARE(fill(false), fields);  // no logo stored: no picture
        // The logo reaches its file byte for byte; a link planted there is refused, never
        // followed nor replaced.
        QByteArray logo;
        for (int i = 0; i < 256; ++i)
            logo += char(i);
        demo.exec({kRow + "'logo.jpg', X'" + logo.toHex() + "', NULL, NULL, 1)"});
        WriteAll(sandbox.root() + "/alheio.jpg", "alheio");
        QVERIFY(QFile::link(sandbox.root() + "/alheio.jpg", LogoPath()));
        QCOMPARE(fill(false), fields);
        QCOMPARE(ReadAll(sandbox.root() + "/alheio.jpg"), QByteArray("alheio"));
        QVERIFY(QFileInfo(LogoPath()).isSymLink() && QFile::remove(LogoPath()));
        const QStringList rtf = fill(false), html = fill(true);
        QCOMPARE(ReadAll(LogoPath()), logo);
        QCOMPARE(rtf.mid(0, 4), fields.mid(0, 4));
        QCOMPARE(html[0], name.toHtmlEscaped());
        QVERIFY2(rtf[4].startsWith("[{\\field{\\*\\fldinst {INCLUDEPICTURE") &&
                     rtf[4].contains(LogoPath()),
                 qPrintable(rtf[4]));
        QVERIFY2(html[4].startsWith("[<img border=0 width=535 height=118 id=") &&
                     html[4].contains("file:///" + LogoPath().mid(1)),
                 qPrintable(html[4]));
    }

    void placeholderForms() {
        const struct {
            const char *row, *text, *name, *value, *delimiters, *expected;
            bool published;
        } cases[] = {
            {"caller's delimiters first", "<x> FX_x_FX", "x", "V", "<>", "V FX_x_FX", true},
            {"every one, any case", "<<X>>, <<x>>", "x", "V", "", "V, V", true},
            {"double angles before single", "<x> <<x>>", "x", "V", "", "<x> V", true},
            {"escaped html", "&lt;&lt;x&gt;&gt;", "x", "V", "", "V", true},
            {"value holding the placeholder", "<<x>><<x>>", "x", "<<x>>", "", "<<x>><<x>>", true},
            {"not there", "<<y>>", "x", "V", "", "<<y>>", false},
            {"empty name", "aFX__FXb", "", "V", "", "a b", false},
        };
        for (const auto& c : cases) {
            QString text = c.text, d1 = QString(c.delimiters).left(1),
                    d2 = QString(c.delimiters).mid(1);
            const bool published = PublishValue(text, c.name, QVariant(c.value), {}, &d1, &d2);
            // After the call the delimiters are the caller's or the standard ones.
            QCOMPARE(QStringList({c.row, text, d1 + d2, published ? "published" : "not"}),
                     QStringList({c.row, c.expected, *c.delimiters ? c.delimiters : "FX__FX",
                                  c.published ? "published" : "not"}));
        }
    }
};

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
