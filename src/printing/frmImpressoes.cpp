#include "printing/frmImpressoes.h"

#include "common/ComDlg.h"
#include "common/Folders.h"
#include "common/Format.h"
#include "common/Trim.h"
#include "context/Context.h"
#include "platform/SharedFiles.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/MailClient.h"
#include "platform/services/PdfConversion.h"
#include "platform/services/Prompts.h"
#include "platform/services/Shell.h"
#include "printing/RtfFill.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressDialog>
#include <QPromise>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

namespace orla {
namespace {

const QString kModule = QStringLiteral("frmImpressoes");
const QString kVendorWeb = QStringLiteral("www.nexosoftware.example");
// The system's line break in mail text.
const QString kBreak = QStringLiteral("\n\r");
const QString kRule(36, QLatin1Char('-'));

enum Botao {
    btImpressora = 1,
    btVisualizar = 2,
    btEmail = 4,
    btFicheiro = 5,
    btAnexar = 6,
    btCancelar = 8
};

ErrorSite Site(const char* procedure) {
    return {kModule, QLatin1String(procedure), ReportFilter::NotZeroNor3709};
}

QString Breaks(int count) {
    return kBreak.repeated(count);
}

// The text centred in a line of 36 characters.
QString Centred(const QString& text) {
    const qsizetype left = std::max<qsizetype>(0, (36 - text.size()) / 2);
    return QString(left, QLatin1Char(' ')) + text +
           QString(std::max<qsizetype>(0, 36 - left - text.size()), QLatin1Char(' '));
}

bool IsPdf(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

// The built statement as a PDF in a work folder (ConvertToPdfInWorkFolder):
// the PDF's path, or the reason it could not be made.
struct Converted {
    QString pdf;
    QString error;
};

Converted ConvertInto(const QString& built, std::optional<QTemporaryDir>& folder,
                      const std::function<bool()>& cancelled) {
    Converted converted;
    converted.pdf = ConvertToPdfInWorkFolder(built, folder, &converted.error, cancelled);
    return converted;
}

// What work off the interface thread ends with: the build's failure, shown as every report
// builder shows it, or another message for the user.
struct AsideOutcome {
    std::optional<OrlaError> failure;
    QString message;
};

}  // namespace

// What work off the interface thread sees of its progress dialog.
class AsideTask {
  public:
    explicit AsideTask(QPromise<AsideOutcome>& promise) : promise_(promise) {}
    // So many rows written; OrlaError 18 once the user cancelled.
    void rows(qsizetype written) {
        value_ = int(std::min<qsizetype>(written, INT_MAX));
        promise_.setProgressValue(value_);
        if (cancelled())
            throw OrlaError(err::kUserInterrupt, QStringLiteral("User interrupt occurred"));
    }
    // A step of unknown length begins (a promise takes only growing values).
    void step(const QString& text) {
        promise_.setProgressRange(0, 0);
        promise_.setProgressValueAndText(++value_, text);
    }
    bool cancelled() const { return promise_.isCanceled(); }
    void failed(const QString& message) { outcome.message = message; }
    AsideOutcome outcome;

  private:
    QPromise<AsideOutcome>& promise_;
    int value_ = 0;
};

namespace {

// The built statement as a PDF for the mail, kept, like the document it was made from, until
// a later run removes it (RemoveStaleWorkFolders); the reason it could not be made, if any.
QString MailPdf(const QString& built, Converted& converted, const AsideTask& task) {
    std::optional<QTemporaryDir> folder;
    converted = ConvertInto(built, folder, [&task] { return task.cancelled(); });
    if (folder)
        folder->setAutoRemove(converted.pdf.isEmpty());
    return converted.pdf.isEmpty()
               ? QStringLiteral("Não foi possível fazer o PDF do extrato: %1").arg(converted.error)
               : QString();
}

// The PDF of the built document replaces the chosen file whole, or leaves it as it was; the
// reason it could not, if any.
QString SavePdf(const QString& built, const QString& chosen, const AsideTask& task) {
    std::optional<QTemporaryDir> folder;
    const Converted converted = ConvertInto(built, folder, [&task] { return task.cancelled(); });
    if (converted.pdf.isEmpty())
        return QStringLiteral("Não foi possível gravar o PDF %1: %2").arg(chosen, converted.error);
    if (task.cancelled())
        return {};
    QFile pdf(converted.pdf);
    if (!pdf.open(QIODevice::ReadOnly))
        return QStringLiteral("Não foi possível gravar o PDF %1: %2")
            .arg(chosen, pdf.errorString());
    // Where the user chose: the umask's mode, never through a link.
    const int error = WriteWholeFile(chosen, pdf.readAll(), Placement::Chosen);
    return error ? QStringLiteral("Não foi possível gravar o PDF %1: %2")
                       .arg(chosen, FileErrorText(error))
                 : QString();
}

}  // namespace

frmImpressoes::frmImpressoes(QWidget* owner, std::function<StatementReportSource()> source)
    : QWidget(owner, Qt::Dialog), source_(std::move(source)) {
    setObjectName(kModule);
    setWindowTitle(QStringLiteral("Impressões"));
    BuildControls();
    // Loading: only the document frame is shown.
    Guard(Site("Form_Load"), [&] { Frame_Documento->setVisible(true); });
}

frmImpressoes::~frmImpressoes() {
    // Work left running when the owner went away is stopped, LibreOffice with it, and keeps
    // no busy pointer behind (its progress dialog goes with this one).
    for (QFutureWatcherBase* watcher : findChildren<QFutureWatcherBase*>())
        watcher->cancel();
    for (; running_ > 0; --running_)
        QApplication::restoreOverrideCursor();
}

void frmImpressoes::BuildControls() {
    Toolbar2 = new QToolBar(this);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    Toolbar2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar2->setIconSize(QSize(24, 24));
    struct Button {
        const char* key;
        QString caption;
        QString tip;
        QIcon icon;
    };
    QStyle* look = style();
    const QIcon none;
    const Button buttons[] = {
        {"btImpressora", QStringLiteral("Impressora"), QStringLiteral("Imprimir"),
         QIcon::fromTheme(QStringLiteral("document-print"),
                          look->standardIcon(QStyle::SP_ComputerIcon))},
        {"btVisualizar", QStringLiteral("Visualizar"), QStringLiteral("Visualizar"),
         look->standardIcon(QStyle::SP_FileDialogContentsView)},
        {nullptr, {}, {}, none},
        {"btEmail", QStringLiteral("Email"), QStringLiteral("Enviar por email"),
         QIcon::fromTheme(QStringLiteral("mail-send"),
                          look->standardIcon(QStyle::SP_ArrowForward))},
        {"btFicheiro", QStringLiteral("Ficheiro"), QStringLiteral("Gravar para um ficheiro"),
         look->standardIcon(QStyle::SP_DialogSaveButton)},
        {"btAnexar", QStringLiteral("Anexar"), QStringLiteral("Anexar documento ao contacto"),
         look->standardIcon(QStyle::SP_FileLinkIcon)},
        {nullptr, {}, {}, none},
        {"btCancelar", QStringLiteral("Cancelar"), QString(),
         look->standardIcon(QStyle::SP_DialogCancelButton)}};
    int index = 0;
    for (const Button& button : buttons) {
        ++index;
        if (!button.key) {
            Toolbar2->addSeparator();
            continue;
        }
        QAction* action = Toolbar2->addAction(button.icon, button.caption);
        action->setObjectName(QLatin1String(button.key));
        action->setData(index);
        action->setToolTip(button.tip);
        // Without a tip of its own a button would show its caption as one.
        if (button.tip.isEmpty())
            Toolbar2->widgetForAction(action)->setToolTip(QString());
    }
    connect(Toolbar2, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar2_ButtonClick(action); });

    Frame_Documento = new QGroupBox(QStringLiteral("Imprimir"), this);
    Frame_Documento->setObjectName(QStringLiteral("Frame_Documento"));
    Option_Documento = new QRadioButton(QStringLiteral("&Documento"), Frame_Documento);
    Option_Documento->setObjectName(QStringLiteral("Option_Documento"));
    Option_Documento->setChecked(true);
    Option_Recibo = new QRadioButton(QStringLiteral("&Recibo"), Frame_Documento);
    Option_Recibo->setObjectName(QStringLiteral("Option_Recibo"));
    Check_PDF = new QCheckBox(QStringLiteral("Email em &PDF"), Frame_Documento);
    Check_PDF->setObjectName(QStringLiteral("Check_PDF"));
    auto* options = new QVBoxLayout(Frame_Documento);
    options->addWidget(Option_Documento);
    options->addWidget(Option_Recibo);
    options->addWidget(Check_PDF);
    // The receipts' frame belongs to documents with receipts: a statement has none.
    Frame_Recibo = new QGroupBox(QStringLiteral("Recibo"), this);
    Frame_Recibo->setObjectName(QStringLiteral("Frame_Recibo"));
    Frame_Recibo->setVisible(false);

    connect(Option_Documento, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Guard(Site("Option_Documento_Click"), [&] { EnableDocumentButtons(true); });
    });
    connect(Option_Recibo, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Guard(Site("Option_Recibo_Click"), [&] { EnableDocumentButtons(false); });
    });

    auto* page = new QVBoxLayout(this);
    page->addWidget(Toolbar2);
    page->addWidget(Frame_Documento);
    page->addWidget(Frame_Recibo);
}

// Every button but the printer's follows the document option.
void frmImpressoes::EnableDocumentButtons(bool enabled) {
    for (QAction* action : Toolbar2->actions()) {
        const int index = action->data().toInt();
        if (index == btVisualizar || index == btEmail || index == btFicheiro || index == btAnexar ||
            index == btCancelar)
            action->setEnabled(enabled);
    }
}

void frmImpressoes::Toolbar2_ButtonClick(QAction* button) {
    Guard(Site("Toolbar2_ButtonClick"), [&] {
        if (button->objectName() == QLatin1String("btCancelar")) {
            close();
            return;
        }
        {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
            if (Frame_Documento->isVisibleTo(this) && Option_Documento->isChecked())
                Imprimir_Doc(button->data().toInt());
        }
        close();
    });
}

void frmImpressoes::Imprimir_Doc(int Button) {
    Guard(Site("Imprimir_Doc"), [&] {
        QString chosen;
        if (Button == btFicheiro) {
            // The document as written, or a PDF of it.
            MSA_OPENFILENAME record;
            record.strDialogTitle = QStringLiteral("Gravar Documento:");
            record.strFile = PastaEspecial(CSIDL_DESKTOP);
            record.strFilter =
                MSA_CreateFilterString({QStringLiteral("Documento"), QStringLiteral("*.doc"),
                                        QStringLiteral("PDF"), QStringLiteral("*.pdf")});
            if (!MSA_GetSaveFileName(record) || TrimSpaces(record.strFile).isEmpty())
                return;
            chosen = TrimSpaces(record.strFile);
        }
        QString outFile = IsPdf(chosen) ? QString() : chosen;
        // A document the user placed keeps the umask's mode; one in the temporary folder is
        // private.
        const Placement placement = outFile.isEmpty() ? Placement::Private : Placement::Chosen;
        std::shared_ptr<const StatementReportSource> source;
        StatementTemplate read;
        {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
            // The list, the template and the company's data are read here: the shared
            // connection belongs to this thread.
            source = std::make_shared<const StatementReportSource>(source_());
            if (const auto failed = Try([&] {
                    read = ReadStatementTemplate();
                    if (outFile.isEmpty())
                        outFile = StatementReportFile();
                })) {
                ReportBuildFailure(*failed, kModule);
                return;
            }
        }
        const QString folder = PastaTemporaria() + QLatin1Char('/');
        const bool pdf = IsPdf(chosen) || (Button == btEmail && Check_PDF->isChecked());
        auto converted = std::make_shared<Converted>();
        RunAside(
            qsizetype(source->rows.size()),
            [source, read, outFile, placement, Button, folder, pdf, chosen,
             converted](AsideTask& task) {
                WriteStatementReport(outFile, read.text, *source, read.data, placement,
                                     [&task](qsizetype written) { task.rows(written); });
                if (Button == btImpressora) {
                    // Printing waits on the printer's programs. The statement window has no
                    // GoTop to be asked for afterwards.
                    task.step(QStringLiteral("A imprimir o extrato…"));
                    CurrentShell().ShellExecute(QStringLiteral("print"), outFile, folder, nullptr);
                } else if (pdf) {
                    task.step(QStringLiteral("A converter o extrato em PDF…"));
                    task.failed(Button == btFicheiro ? SavePdf(outFile, chosen, task)
                                                     : MailPdf(outFile, *converted, task));
                }
            },
            [this, Button, outFile, folder, source, converted] {
                if (Button == btVisualizar)
                    CurrentShell().ShellExecute(QStringLiteral("open"), outFile, folder,
                                                parentWidget());
                else if (Button == btEmail)
                    Email(converted->pdf.isEmpty() ? outFile : converted->pdf,
                          !converted->pdf.isEmpty(), *source);
                // Anexar: the document is built; attaching it is not settled.
            });
    });
}

// A statement has no document behind it: the mail names the account and the
// period, and the user picks the recipient in the mail program.
void frmImpressoes::Email(const QString& file, bool pdf, const StatementReportSource& source) {
    const QString documento = QStringLiteral("Extrato da conta %1 de %2 a %3")
                                  .arg(source.conta, Format(source.inicio, formats::kData),
                                       Format(source.fim, formats::kData));
    MailMessage message;
    message.subject = documento;
    message.receiptRequested = true;
    message.noteText = QLatin1Char(' ') + Breaks(2) + QStringLiteral("Exmos Senhores, ") +
                       Breaks(2) + QStringLiteral("Junto enviamos em anexo o ficheiro com o ") +
                       documento + QLatin1Char('.') + Breaks(2) +
                       QStringLiteral("Com os nossos melhores cumprimentos,") + Breaks(2) +
                       Context().User + Breaks(4) + kRule + kBreak +
                       QStringLiteral(" MENSAGEM PROCESSADA POR COMPUTADOR ") + kBreak +
                       Centred(kVendorWeb) + kBreak + kRule + kBreak;
    message.attachmentName =
        pdf ? QStringLiteral("Documento.pdf") : QStringLiteral("Documento.doc");
    message.attachmentPathName = file;
    CurrentMailClient().Send(message, parentWidget());
}

void frmImpressoes::RunAside(qsizetype rows, std::function<void(AsideTask&)> work,
                             std::function<void()> done) {
    ++running_;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // Over the owner: the print dialog closes while its work goes on.
    QPointer<QProgressDialog> progress =
        new QProgressDialog(QStringLiteral("A escrever o extrato…"), QStringLiteral("Cancelar"), 0,
                            int(std::min<qsizetype>(rows, INT_MAX)), parentWidget());
    progress->setWindowTitle(windowTitle());
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(500);
    progress->setValue(0);
    connect(this, &QObject::destroyed, progress, &QObject::deleteLater);
    auto* watcher = new QFutureWatcher<AsideOutcome>(this);
    connect(progress, &QProgressDialog::canceled, watcher, &QFutureWatcherBase::cancel);
    connect(watcher, &QFutureWatcherBase::progressRangeChanged, progress,
            &QProgressDialog::setRange);
    connect(watcher, &QFutureWatcherBase::progressValueChanged, progress,
            &QProgressDialog::setValue);
    connect(watcher, &QFutureWatcherBase::progressTextChanged, progress,
            &QProgressDialog::setLabelText);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, progress, done] {
        delete progress;
        QApplication::restoreOverrideCursor();
        --running_;
        const bool delivered = !watcher->isCanceled() && watcher->future().resultCount() > 0;
        const AsideOutcome outcome = delivered ? watcher->result() : AsideOutcome();
        watcher->deleteLater();
        if (delivered && outcome.failure)
            ReportBuildFailure(*outcome.failure, kModule);
        else if (delivered && !outcome.message.isEmpty())
            CurrentPrompts().MsgBox(outcome.message, vb::Exclamation, windowTitle());
        else if (delivered && done)
            Guard(Site("Imprimir_Doc"), done);
        emit WorkFinished();
        if (closed_ && !Busy())
            deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([work = std::move(work)](QPromise<AsideOutcome>& promise) {
        AsideTask task(promise);
        try {
            work(task);
        } catch (const OrlaError& error) {
            task.outcome.failure = error;
        } catch (const std::exception& error) {
            task.outcome.failure = OrlaError(5, QString::fromLocal8Bit(error.what()));
        }
        // A cancelled work delivers nothing: whatever it stopped in is not used.
        if (!promise.isCanceled())
            promise.addResult(task.outcome);
    }));
}

void frmImpressoes::keyReleaseEvent(QKeyEvent* event) {
    Guard(Site("Form_KeyUp"), [&] {
        if (event->key() == Qt::Key_Escape)
            close();
    });
}

void frmImpressoes::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (closed_)
        return;
    closed_ = true;
    Guard(Site("Form_Unload"), [&] { emit Closed(); });
    // Work still running (a print, a conversion) ends before the dialog goes.
    if (!Busy())
        deleteLater();
}

}  // namespace orla
