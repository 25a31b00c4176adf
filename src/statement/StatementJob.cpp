// The statement window run without a user, for exports and pictures.
#include <orla_contas/StatementJob.h>

#include "common/ControlValues.h"
#include "common/Folders.h"
#include "context/Context.h"
#include "context/General.h"
#include "platform/SharedFiles.h"
#include "platform/services/Prompts.h"
#include "printing/PdfConversion.h"
#include "printing/RtfFill.h"
#include "printing/StatementReport.h"
#include "security/Permissions.h"
#include "statement/StatementCsv.h"
#include "statement/frmMain.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

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

bool Refused(const QString& path, int error, QString* message) {
    *message = QStringLiteral("Não foi possível escrever %1: %2").arg(path, FileErrorText(error));
    return false;
}

// The job's files: each written to a new file beside its name, all renamed
// into place once every one is ready, so a failed job leaves the old files as
// they were and none of its own.
class Outputs {
  public:
    explicit Outputs(Placement placement) : placement_(placement) {}

    bool add(const QString& path, const QByteArray& bytes, QString* message) {
        auto file = std::make_unique<FileReplacement>(path, placement_);
        if (!file->write(bytes))
            return Refused(path, file->error(), message);
        files_.emplace_back(path, std::move(file));
        return true;
    }

    // A rename that fails takes away the files this run already put in place.
    bool commit(QString* message) {
        for (size_t i = 0; i < files_.size(); ++i) {
            if (files_[i].second->commit())
                continue;
            for (size_t done = 0; done < i; ++done)
                QFile::remove(files_[done].first);
            return Refused(files_[i].first, files_[i].second->error(), message);
        }
        return true;
    }

  private:
    Placement placement_;
    std::vector<std::pair<QString, std::unique_ptr<FileReplacement>>> files_;
};

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

// Builds the report at `built` in the job's work folder, once the report's
// place (`path`, when the job keeps it) is known to take it: a report held
// open there is refused as the print dialog refuses it.
bool BuildReport(const frmMain& window, const QString& built, const QString& path,
                 QString* message) {
    QStringList said;
    std::unique_ptr<Prompts> previous =
        ServiceSlot<Prompts>::Replace(std::make_unique<JobPrompts>(&said));
    const std::optional<OrlaError> refused =
        path.isEmpty() ? std::nullopt : Try([&] { CheckReportReplaceable(path); });
    if (refused)
        ReportBuildFailure(*refused, QStringLiteral("frmImpressoes"));
    QString written = built;
    const bool ok = !refused && !DoReport(window, written, Placement::Private).isEmpty();
    ServiceSlot<Prompts>::Replace(std::move(previous));
    if (!ok)
        *message =
            QStringLiteral("Não foi possível escrever o relatório %1. %2")
                .arg(path.isEmpty() ? built : path,
                     refused && said.isEmpty() ? refused->description : said.join(QLatin1Char(' ')))
                .trimmed();
    return ok;
}

// The report and its PDF, made in a work folder of the user's private
// temporary folder and added to the outputs.
bool AddReport(const frmMain& window, const StatementJob& job, Outputs& outputs, QString* message) {
    std::optional<QTemporaryDir> work;
    if (const auto failed =
            Try([&] { work.emplace(PastaTemporaria() + QStringLiteral("orla-pdf-XXXXXX")); })) {
        *message = QStringLiteral("Não há pasta temporária: %1").arg(failed->description);
        return false;
    }
    if (!work->isValid()) {
        *message = QStringLiteral("Não há pasta temporária: %1").arg(work->errorString());
        return false;
    }
    const QString built = work->filePath(QStringLiteral("Extrato_Conta.doc"));
    if (!BuildReport(window, built, job.reportPath, message))
        return false;
    QFile report(built);
    if (!job.reportPath.isEmpty() && (!report.open(QIODevice::ReadOnly) ||
                                      !outputs.add(job.reportPath, report.readAll(), message)))
        return false;
    if (job.pdfPath.isEmpty())
        return true;
    QString why;
    const QString pdf = ConvertToPdf(built, work->path(), &why);
    QFile converted(pdf);
    if (pdf.isEmpty() || !converted.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("Não foi possível escrever o PDF %1: %2")
                       .arg(job.pdfPath, pdf.isEmpty() ? why : converted.errorString());
        return false;
    }
    return outputs.add(job.pdfPath, converted.readAll(), message);
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
    // Where the user chose, the umask's mode; in the private folder, the owner's alone.
    Outputs outputs(job.chosenFolder ? Placement::Chosen : Placement::Private);
    if (!job.csvPath.isEmpty()) {
        const QString csv =
            StatementCsv(*window.ListModel(), window.FXDebitos->text(), window.FXCreditos->text());
        if (!outputs.add(job.csvPath, csv.toUtf8(), message))
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
        if (png.isEmpty() || !outputs.add(job.screenshotPath, png, message)) {
            if (message->isEmpty())
                *message = QStringLiteral("Não foi possível gerar a imagem.");
            return 1;
        }
    }
    if ((!job.reportPath.isEmpty() || !job.pdfPath.isEmpty()) &&
        !AddReport(window, job, outputs, message))
        return 1;
    return outputs.commit(message) ? 0 : 1;
}

}  // namespace
}  // namespace orla

extern "C" int OrlaContas_TemporaryFolder(QString* path, QString* message) {
    if (!path)
        return 2;
    QString ignored;
    const std::optional<orla::OrlaError> failed =
        orla::Try([&] { *path = orla::PastaTemporaria().chopped(1); });
    (message ? *message : ignored) = failed ? failed->description : QString();
    return failed ? 1 : 0;
}

extern "C" int OrlaContas_RunStatementJob(orla::GeneralInterface* general,
                                          const orla::StatementJob* job, QString* message) {
    QString ignored;
    QString* text = message ? message : &ignored;
    text->clear();
    return job ? orla::Run(general, *job, text) : 2;
}
