// Templates, the company logo and the issuing company's data: the template
// that applies to the current user (database first, then the templates
// folder), the logo written where documents can include it, and the company
// placeholders of a template.
#pragma once

#include "platform/db/Recordset.h"

#include <QString>
#include <QVariant>

namespace orla {

// The template's text, single-byte: the user's or a general row of
// tbTemplates with the highest predef (by number when templateNumber is not
// 0), else the file in the templates folder of the program (0: accounting,
// 1: Salvian; html/htm files in its "Emails" subfolder). CR LF pairs removed
// when asked. Empty when none is found.
QString GetTemplate(const QString& fileName, qint32 programFlag, bool stripLineBreaks,
                    qint32 templateNumber);
// Writes the stored logo, byte for byte, to LogoPath(); true when written.
bool GetLogo();
// The company the user works for (through the user's warehouse), or the
// first company when firstCompany is not 0; 0 on failure.
qint32 FindEmpresaID(const QString& user, qint32 firstCompany);
// Fills the company placeholders of the template and returns it (also left in `text`); the
// values are escaped as HTML or RTF text, so they show as stored.
QString PrintEmpresa(QString& text, qint32 firstCompany, bool html);
// Replaces every occurrence, in any case, of the first placeholder form of
// `name` found in `text`: d1 name d2 (when a delimiter is given), FX_name_FX,
// <<name>>, <name>, ##name##, &lt;&lt;name&gt;&gt;. Null gives one space, a
// format formats the value. True when a placeholder was replaced.
// Delimiters: when both d1 and d2 are null or point to empty texts, the standard forms are
// searched and, when the pointers are given, they hold "FX_" and "_FX" after the call.
bool PublishValue(QString& text, const QString& name, const QVariant& value,
                  const QString& format = {}, QString* d1 = nullptr, QString* d2 = nullptr);
// As PublishValue, for numeric values.
bool PublishValueN(QString& text, const QString& name, const QVariant& value,
                   const QString& format = {}, QString* d1 = nullptr, QString* d2 = nullptr);
// Publishes the field's value of the recordset's current row under `name`.
bool PublishFieldN(QString& text, const Recordset& rs, const QString& field, const QString& name,
                   const QString& format);
// The logo file: common application-data folder + "/Nexo Software/logo.jpg".
QString LogoPath();

}  // namespace orla
