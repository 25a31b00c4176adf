// The statement window run without a user, for exports and pictures.
#include <orla_contas/StatementJob.h>

#include "common/ControlValues.h"
#include "context/Context.h"
#include "context/General.h"
#include "platform/services/Prompts.h"
#include "printing/PdfConversion.h"
#include "printing/StatementReport.h"
#include "security/Permissions.h"
#include "statement/StatementCsv.h"
#include "statement/frmMain.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QTemporaryDir>

namespace orla {
namespace {

std::optional<QDate> ParseDay(const QString& text) {
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("dd-MM-yyyy"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

bool SelectItem(QComboBox* combo, qint32 id) {
    const int index = combo->findData(id);
    combo->setCurrentIndex(index);
    return index >= 0;
}

bool WriteFile(const QString& path, const QByteArray& bytes, QString* message) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *message = QStringLiteral("Não foi possível escrever %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Without a user nobody answers a message: what the report would show is kept
// for the job's own message while the report is built.
class JobPrompts : public Prompts {
  public:
    explicit JobPrompts(QStringList* said) : said_(said) {}
    int MsgBox(const QString& prompt, int style, const QString&) override {
        said_->append(prompt);
        return (style & 0x0F) == vb::YesNo ? vb::No : vb::OK;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }

  private:
    QStringList* said_;
};

bool WriteReport(const frmMain& window, const QString& path, QString* message) {
    QStringList said;
    std::unique_ptr<Prompts> previous = ReplacePrompts(std::make_unique<JobPrompts>(&said));
    QString written = path;
    const bool ok = !DoReport(window, written).isEmpty();
    SetPrompts(std::move(previous));
    if (!ok)
        *message = QStringLiteral("Não foi possível escrever o relatório %1. %2")
                       .arg(path, said.join(QLatin1Char(' ')))
                       .trimmed();
    return ok;
}

// The report as PDF, converted in a temporary folder (from the report written
// for the job, or one made there) and written whole to its place.
bool WritePdf(const frmMain& window, const StatementJob& job, QString* message) {
    QTemporaryDir work(QDir::temp().filePath(QStringLiteral("orla-pdf-XXXXXX")));
    if (!work.isValid()) {
        *message = QStringLiteral("Não há pasta temporária: %1").arg(work.errorString());
        return false;
    }
    QString report = job.reportPath;
    if (report.isEmpty()) {
        report = work.filePath(QStringLiteral("Extrato_Conta.doc"));
        if (!WriteReport(window, report, message))
            return false;
    }
    QString why;
    const QString pdf = ConvertToPdf(report, work.path(), &why);
    QFile converted(pdf);
    if (pdf.isEmpty() || !converted.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("Não foi possível escrever o PDF %1: %2")
                       .arg(job.pdfPath, pdf.isEmpty() ? why : converted.errorString());
        return false;
    }
    return WriteFile(job.pdfPath, converted.readAll(), message);
}

// Loads the window and sets its filters; false with a message for a bad value.
bool Prepare(frmMain& window, const StatementJob& job, QString* message) {
    std::optional<QDate> inicio, fim;
    if (!job.inicio.isEmpty() && !(inicio = ParseDay(job.inicio))) {
        *message =
            QStringLiteral("Data de início inválida: \"%1\" (use dd-mm-aaaa).").arg(job.inicio);
        return false;
    }
    if (!job.fim.isEmpty() && !(fim = ParseDay(job.fim))) {
        *message = QStringLiteral("Data de fim inválida: \"%1\" (use dd-mm-aaaa).").arg(job.fim);
        return false;
    }
    if (!window.IsLoaded())
        window.Load();
    if (job.conta && !SelectItem(window.FXConta_ID, *job.conta)) {
        *message =
            QStringLiteral("A conta %1 não existe ou não está disponível para este utilizador.")
                .arg(*job.conta);
        return false;
    }
    if (window.FXConta_ID->currentIndex() < 0 && window.FXConta_ID->count() > 0)
        window.FXConta_ID->setCurrentIndex(0);
    if (job.modo && !SelectItem(window.FXModo_Pagamento_ID, *job.modo)) {
        *message = QStringLiteral("O modo de pagamento %1 não existe.").arg(*job.modo);
        return false;
    }
    if (inicio)
        window.FXData_Inicio->setDate(*inicio);
    if (fim)
        window.FXData_Fim->setDate(*fim);
    window.FXIgnorarAnteriores->setChecked(job.ignorarAnteriores);
    window.FXConcil_Only->setChecked(job.apenasNaoConciliados);
    window.Label->setText(window.FXConta_ID->currentText());
    window.Fill();
    return true;
}

int Run(GeneralInterface* general, const StatementJob& job, QString* message) {
    auto* owner = dynamic_cast<General*>(general);
    if (!owner || !owner->Login(QString(), QString())) {
        *message = QStringLiteral("Não há ligação à base de dados.");
        return 1;
    }
    if (!CheckSecurityPolicy(Context().User, QStringLiteral("#2301"))) {
        *message = QStringLiteral("O utilizador %1 não tem permissão para abrir os extratos.")
                       .arg(Context().User);
        return 1;
    }
    frmMain& window = *owner->Window();
    if (!Prepare(window, job, message))
        return 2;
    if (!job.csvPath.isEmpty()) {
        const QString csv =
            StatementCsv(*window.ListModel(), window.FXDebitos->text(), window.FXCreditos->text());
        if (!WriteFile(job.csvPath, csv.toUtf8(), message))
            return 1;
    }
    if (!job.screenshotPath.isEmpty()) {
        window.show();
        QApplication::processEvents();
        const QPixmap picture = window.grab();
        window.hide();
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
        }
        if (png.isEmpty() || !WriteFile(job.screenshotPath, png, message)) {
            if (message->isEmpty())
                *message = QStringLiteral("Não foi possível gerar a imagem.");
            return 1;
        }
    }
    if (!job.reportPath.isEmpty() && !WriteReport(window, job.reportPath, message))
        return 1;
    if (!job.pdfPath.isEmpty() && !WritePdf(window, job, message))
        return 1;
    return 0;
}

}  // namespace
}  // namespace orla

extern "C" int OrlaContas_RunStatementJob(orla::GeneralInterface* general,
                                          const orla::StatementJob* job, QString* message) {
    QString ignored;
    QString* text = message ? message : &ignored;
    text->clear();
    return job ? orla::Run(general, *job, text) : 2;
}
