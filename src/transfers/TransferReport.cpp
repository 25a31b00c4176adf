#include "transfers/TransferReport.h"

#include "common/Folders.h"
#include "common/Format.h"
#include "common/Registry.h"
#include "common/SqlLiterals.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/services/Prompts.h"
#include "printing/Placeholders.h"
#include "printing/RtfFill.h"
#include "transfers/frmTransferencia.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QScopeGuard>

namespace orla {
namespace {

const QString kAmount = QStringLiteral("#,##0.00; - #,##0.00");

QString Day(const QDateTime& date) {
    return Format(date, formats::kData);
}

}  // namespace

QString FillTransferReport(const QString& templateText, const TransferReportValues& values) {
    const QString hoje = Format(values.hoje, QStringLiteral("dd mmmm")) + QLatin1Char(' ') +
                         Format(values.hoje, QStringLiteral("yyyy"));
    const QString valor =
        values.valorTag.isEmpty() ? Format(0, kAmount) : Format(values.valorTag, kAmount);
    const auto exact = [](const char* name, const QString& value) {
        return Placeholder{QLatin1String(name), StringRTFSemEspacos(value), Qt::CaseSensitive};
    };
    const QString none = QStringLiteral(" ");
    return ReplacePlaceholders(
        templateText,
        {{QStringLiteral("<user>"),
          values.utilizador ? StringRTFSemEspacos(*values.utilizador) : QStringLiteral("  ")},
         {QStringLiteral("<today>"), StringRTFSemEspacos(hoje)},
         exact("<origem_data>", Day(values.data)),
         exact("<origem_data_debito>", Day(values.dataDebito)),
         exact("<origem>", values.origem.isEmpty() ? none : values.origem),
         exact("<destino_data>", Day(values.dataDestino)),
         exact("<destino_data_debito>", Day(values.dataDebitoDestino)),
         exact("<destino>", values.destino.isEmpty() ? none : values.destino),
         exact("<valor>", valor),
         exact("<obs>", values.obs.isEmpty() ? none : values.obs)});
}

std::optional<QString> NomeUtilizador(Connection& connection, const QString& user) {
    Recordset rs = connection.Execute(
        QStringLiteral("SELECT tbContactos.nome_union FROM tbUsers LEFT JOIN tbContactos ON "
                       "tbUsers.contacto_id = tbContactos.contacto_id WHERE tbUsers.descrit = ") +
        SqlValue(user, SqlTextEmpty));
    std::optional<QString> name;
    if (!rs.Eof()) {
        const QVariant value = rs.Value(QStringLiteral("nome_union"));
        if (value.isValid() && !value.isNull())
            name = value.toString();
    }
    rs.Close();
    return name;
}

QString frmTransferencia::DoReport(QString& OutFile, const QString& InFile) {
    OrlaError failure;
    {
        setCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([this] { unsetCursor(); });
        try {
            const OptionalString folder = ObterValorString(
                QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + Context().ProgramKey,
                QStringLiteral("Templates"));
            if (!folder || folder->isEmpty()) {
                unsetCursor();
                CurrentPrompts().MsgBox(QStringLiteral("Erro nas definições do Registry, não "
                                                       "está definida a string de Templates."),
                                        vb::Information, windowTitle());
                return {};
            }
            if (OutFile.isEmpty())
                OutFile = PastaTemporaria() + QLatin1Char('/') + InFile;
            const QString text = ReadTemplateFile(*folder + QLatin1Char('/') + InFile);
            TransferReportValues values;
            values.utilizador = NomeUtilizador(Data().SqlServer, Context().User);
            values.hoje = GetServerDate();
            values.data = FXData->dateTime();
            values.dataDebito = FXData_Debito->dateTime();
            values.dataDestino = FXData_Destino->dateTime();
            values.dataDebitoDestino = FXData_Debito_Destino->dateTime();
            values.origem = FXOrigem_ID->currentText();
            values.destino = FXDestino_ID->currentText();
            values.valorTag = FXValor->property("Tag").toString();
            values.obs = FXObs->text();
            WriteReportFile(OutFile, FillTransferReport(text, values));
            return OutFile;
        } catch (const OrlaError& error) {
            failure = error;
        } catch (const std::exception& error) {
            failure = OrlaError(5, QString::fromLocal8Bit(error.what()));
        }
    }
    ReportBuildFailure(failure, objectName());  // with the ordinary pointer back
    return {};
}

}  // namespace orla
