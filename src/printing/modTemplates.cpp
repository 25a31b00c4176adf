#include "printing/modTemplates.h"

#include "common/Folders.h"
#include "common/Format.h"
#include "common/Registry.h"
#include "common/SqlLiterals.h"
#include "common/TextHelpers.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/Ansi.h"
#include "platform/SharedFiles.h"
#include "platform/services/ErrorReport.h"
#include "printing/RtfFill.h"
#include "security/Permissions.h"

#include <QFileInfo>

#include <array>
#include <optional>

namespace orla {
namespace {

const QString kLogoName = QStringLiteral("logo.jpg");
const QString kLogoFolder = QStringLiteral("Nexo Software");

ErrorSite Site(const char* procedure) {
    return {QStringLiteral("modTemplates"), QString::fromLatin1(procedure)};
}

// The rows the current user may use through the user's code or groups. A user
// without group links (or whose links cannot be read) gets an empty condition
// from the helper, and then owns nothing here: only the general rows remain.
QString OwnershipCondition() {
    const QString condition = ReadPermitionsDef(Context().User, QString());
    return condition.isEmpty() ? QStringLiteral("(0 = 1)") : condition;
}

// The first row's value of the field, or nothing when there is no row.
std::optional<QVariant> FirstValue(const QString& sql, const QString& field) {
    Recordset rs = Data().SqlServer.Execute(sql);
    if (rs.Eof())
        return std::nullopt;
    return rs.Value(field);
}

bool IsNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

// A first value that is present and not Null.
bool Present(const std::optional<QVariant>& value) {
    return value && !IsNull(*value);
}

QByteArray BytesOf(const QVariant& value) {
    return IsNull(value) ? QByteArray() : value.toByteArray();
}

// Stored content as single-byte text; a text column is already decoded.
QString StoredText(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return FromAnsi(BytesOf(value));
}

QString TemplatesFolder(qint32 programFlag) {
    const QString program =
        programFlag == 1 ? QStringLiteral("Salvian") : QStringLiteral("Contabilidade");
    return ObterValorString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + program,
                            QStringLiteral("Templates"))
        .value_or(QString());
}

// The template file in the templates folder (its "Emails" subfolder for
// html and htm); empty when the folder or the file is not there. A name is
// a file's name only: one that reaches into other folders finds nothing.
QString TemplateFromFolder(const QString& fileName, qint32 programFlag) {
    QString folder = TemplatesFolder(programFlag);
    if (folder.isEmpty() || fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
        fileName.contains(QLatin1Char('\\')) || fileName == QLatin1String(".."))
        return {};
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        folder += QStringLiteral("Emails/");
    try {
        return ReadTemplateFile(folder + fileName);
    } catch (const OrlaError& e) {
        if (e.number == 53)
            return {};
        throw;
    }
}

// Where the logo lives, and the folder that must already exist for it.
QString LogoFolder() {
    return PastaEspecial(CSIDL_COMMON_APPDATA) + QLatin1Char('/') + kLogoFolder;
}

// The text that shows the logo file in a document.
QString LogoFragment(bool html) {
    const QString path = LogoPath();
    if (html) {
        // file:/// already carries the root, so an absolute path loses its first "/".
        const QString url = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
        return QStringLiteral(
                   "<img border=0 width=535 height=118 id=\"_x0000_i1025\" src = "
                   "\"file:///") +
               url + QStringLiteral("\">");
    }
    // Escaped as RTF text, so every backslash of the path is doubled.
    return QStringLiteral("{\\field{\\*\\fldinst {INCLUDEPICTURE \"") + StringRTFSemEspacos(path) +
           QStringLiteral("\" \\\\* MERGEFORMAT \\\\d}}{\\fldrslt {}}}");
}

struct CompanyField {
    const char* field;
    const char* placeholder;
    const char* format;
};

constexpr std::array<CompanyField, 13> kCompanyFields{{
    {"no_contribuinte", "owner_contribuinte", ""},
    {"nome_union", "owner_nome", ""},
    {"morada", "owner_morada", ""},
    {"cod_postal", "owner_codigo_postal", ""},
    {"localidade", "owner_localidade", ""},
    {"pais", "owner_pais", ""},
    {"telefone", "owner_telefone", ""},
    {"email", "owner_email", ""},
    {"fax", "owner_fax", ""},
    {"tipo_sociedade", "owner_tipo_sociedade", ""},
    {"capital", "owner_capital", "#,##0.00"},
    {"nib", "owner_nib", ""},
    {"certificado", "owner_certificado", ""},
}};

// The placeholder forms of a name in the order they are tried; the caller's
// own delimiters first when it gave any.
QStringList PlaceholderForms(const QString& name, const QString& d1, const QString& d2, bool own) {
    QStringList forms;
    if (own)
        forms << d1 + name + d2;
    forms << QStringLiteral("FX_") + name + QStringLiteral("_FX")
          << QStringLiteral("<<") + name + QStringLiteral(">>")
          << QLatin1Char('<') + name + QLatin1Char('>')
          << QStringLiteral("##") + name + QStringLiteral("##")
          << QStringLiteral("&lt;&lt;") + name + QStringLiteral("&gt;&gt;");
    return forms;
}

// The publishing shared by PublishValue and PublishValueN, given the text
// that replaces the placeholder.
bool Publish(QString& text, const QString& name, const QString& replacement, QString* d1,
             QString* d2) {
    const bool own = (d1 && !d1->isEmpty()) || (d2 && !d2->isEmpty());
    const QString open = own && d1 ? *d1 : QString();
    const QString close = own && d2 ? *d2 : QString();
    if (!own) {
        if (d1)
            *d1 = QStringLiteral("FX_");
        if (d2)
            *d2 = QStringLiteral("_FX");
    }
    if (name.isEmpty()) {
        const QString bare = own ? open + close : QStringLiteral("FX__FX");
        text = SubstituirTexto(text, bare, QStringLiteral(" "));
        return false;
    }
    for (const QString& form : PlaceholderForms(name, open, close, own)) {
        if (text.contains(form, Qt::CaseInsensitive)) {
            text = SubstituirTexto(text, form, replacement);
            return true;
        }
    }
    return false;
}

// The text that replaces a placeholder: one space for Null, the value
// formatted when a format is given, else its text. For a numeric
// placeholder a text to be formatted is taken as the number it reads as
// (a stored "1250,5" formats as 1.250,50); one that reads as none fails.
QString Shown(const QVariant& value, const QString& format, bool numeric) {
    if (IsNull(value))
        return QStringLiteral(" ");
    if (format.isEmpty())
        return TextOf(value);
    if (numeric && value.typeId() == QMetaType::QString)
        return Format(CDbl(value), format);
    return Format(value, format);
}

}  // namespace

QString LogoPath() {
    return LogoFolder() + QLatin1Char('/') + kLogoName;
}

QString GetTemplate(const QString& fileName, qint32 programFlag, bool stripLineBreaks,
                    qint32 templateNumber) {
    QString result;
    Guard(Site("GetTemplate"), [&] {
        if (!CheckSharedConnection().isEmpty())
            return;
        const QString sql =
            templateNumber != 0
                ? QStringLiteral("SELECT TOP 1 code FROM tbTemplates WHERE template_id = ") +
                      SqlValue(templateNumber, SqlNumber) + QStringLiteral(" AND ") +
                      OwnershipCondition() + QStringLiteral(" ORDER BY predef DESC")
                : QStringLiteral("SELECT TOP 1 code FROM tbTemplates WHERE filename = ") +
                      SqlValue(fileName, SqlText) +
                      QStringLiteral(" AND ((group_code is null and user_code is null) OR ") +
                      OwnershipCondition() + QStringLiteral(") ORDER BY predef DESC");
        const std::optional<QVariant> code = FirstValue(sql, QStringLiteral("code"));
        QString text = code ? StoredText(*code) : QString();
        if (text.isEmpty())
            text = TemplateFromFolder(fileName, programFlag);
        if (stripLineBreaks)
            text.remove(QStringLiteral("\r\n"));
        result = text;
    });
    return result;
}

bool GetLogo() {
    bool written = false;
    Guard(Site("GetLogo"), [&] {
        if (!CheckSharedConnection().isEmpty())
            return;
        const std::optional<QVariant> code = FirstValue(
            QStringLiteral(
                "SELECT code FROM tbTemplates WHERE filename = 'logo.jpg' AND ((group_code "
                "is null and user_code is null) OR ") +
                OwnershipCondition() + QStringLiteral(") ORDER BY predef DESC"),
            QStringLiteral("code"));
        if (!Present(code))
            return;
        const QByteArray bytes = BytesOf(*code);
        const SharedFolder folder(LogoFolder());
        if (bytes.isEmpty() || !folder.isOpen())
            return;
        folder.removeStaleTemporaries(kLogoName + QLatin1Char('.'));  // what killed writers left
        if (!folder.replace(kLogoName, bytes, kLogoName + QLatin1Char('.')))
            throw OrlaError(75, QStringLiteral("Path/File access error"));
        written = true;
    });
    return written;
}

qint32 FindEmpresaID(const QString& user, qint32 firstCompany) {
    qint32 result = 0;
    Guard(Site("FindEmpresaID"), [&] {
        if (!CheckSharedConnection().isEmpty())
            return;
        const QString lowest =
            QStringLiteral("SELECT TOP 1 empresa_id FROM tbEmpresas ORDER BY empresa_id");
        const QString empresa = QStringLiteral("empresa_id");
        std::optional<QVariant> company;
        if (firstCompany != 0) {
            company = FirstValue(lowest, empresa);
        } else {
            const QString armazem = QStringLiteral("armazem_id");
            std::optional<QVariant> warehouse =
                FirstValue(QStringLiteral("SELECT armazem_id FROM tbUsers WHERE descrit = ") +
                               SqlValue(user, SqlText),
                           armazem);
            if (!Present(warehouse))
                warehouse = FirstValue(
                    QStringLiteral("SELECT TOP 1 armazem_id FROM tbArmazens ORDER BY predef DESC"),
                    armazem);
            company =
                FirstValue(QStringLiteral("SELECT empresa_id FROM tbArmazens WHERE armazem_id = ") +
                               SqlValue(warehouse.value_or(QVariant()), SqlNumber),
                           empresa);
            if (!Present(company))
                company = FirstValue(
                    QStringLiteral("SELECT TOP 1 empresa_id FROM tbEmpresas ORDER BY predef DESC"),
                    empresa);
            const std::optional<QVariant> exists = FirstValue(
                QStringLiteral("SELECT TOP 1 empresa_id FROM tbEmpresas WHERE empresa_id = ") +
                    SqlValue(company.value_or(QVariant()), SqlNumber),
                empresa);
            if (!Present(exists))
                company = FirstValue(lowest, empresa);
        }
        if (Present(company))
            result = CLng(CDbl(*company));
    });
    return result;
}

QString PrintEmpresa(QString& text, qint32 firstCompany, bool html) {
    Guard(Site("PrintEmpresa"), [&] {
        if (!CheckSharedConnection().isEmpty())
            return;
        const qint32 id = FindEmpresaID(Context().User, firstCompany);
        Recordset rs = Data().SqlServer.Execute(
            QStringLiteral("SELECT * FROM vwEmpresas_Completo WHERE empresa_id = ") +
            SqlValue(id, SqlNumber));
        // Each value shown literally in the document: RTF or HTML text.
        if (!rs.Eof()) {
            for (const CompanyField& f : kCompanyFields) {
                const QString shown = Shown(rs.Value(QString::fromLatin1(f.field)),
                                            QString::fromLatin1(f.format), true);
                PublishValueN(text, QString::fromLatin1(f.placeholder),
                              html ? shown.toHtmlEscaped() : StringRTFSemEspacos(shown));
            }
        }
        rs.Close();
        if (text.contains(QStringLiteral("owner_logo"), Qt::CaseInsensitive)) {
            const QVariant logo = GetLogo() ? QVariant(LogoFragment(html)) : QVariant();
            PublishValueN(text, QStringLiteral("owner_logo"), logo);
        }
    });
    return text;
}

bool PublishValue(QString& text, const QString& name, const QVariant& value, const QString& format,
                  QString* d1, QString* d2) {
    bool result = false;
    Guard(Site("PublishValue"),
          [&] { result = Publish(text, name, Shown(value, format, false), d1, d2); });
    return result;
}

bool PublishValueN(QString& text, const QString& name, const QVariant& value, const QString& format,
                   QString* d1, QString* d2) {
    bool result = false;
    Guard(Site("PublishValueN"),
          [&] { result = Publish(text, name, Shown(value, format, true), d1, d2); });
    return result;
}

bool PublishFieldN(QString& text, const Recordset& rs, const QString& field, const QString& name,
                   const QString& format) {
    bool result = false;
    Guard(Site("PublishFieldN"),
          [&] { result = PublishValueN(text, name, rs.Value(field), format); });
    return result;
}

}  // namespace orla
