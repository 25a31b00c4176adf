// Opening the import of a bank's statement from the statement window.
#include "bankfiles/CsvLayoutSettings.h"
#include "bankfiles/ReadBankStatement.h"
#include "bankfiles/frmFormatoCsv.h"
#include "common/ControlValues.h"
#include "context/Context.h"
#include "platform/db/Error.h"
#include "platform/services/FileDialogs.h"
#include "platform/services/ModalDialogs.h"
#include "platform/services/Prompts.h"
#include "statement/BankImport.h"
#include "statement/frmImportarExtrato.h"
#include "statement/frmMain.h"

#include <QComboBox>
#include <QFile>

namespace orla {
namespace {

const QString kTitle = QStringLiteral("Importar extrato");

void Say(const QString& message) {
    CurrentPrompts().MsgBox(message, vb::Information, kTitle);
}

bool IsCsv(const QByteArray& bytes) {
    try {
        return !bytes.isEmpty() && DetectBankFileFormat(bytes) == BankFileFormat::Csv;
    } catch (const OrlaError&) {
        return false;  // neither text nor a statement
    }
}

// The file's statement; a CSV the remembered or detected layout cannot read is shown to the
// user, whose layout is remembered once it reads. None, after saying why, when it cannot be read.
std::optional<BankStatement> ReadFile(const QString& path, int account, QWidget* owner) {
    std::optional<OrlaError> failure;
    try {
        return ReadAccountBankFile(path, account);
    } catch (const OrlaError& error) {
        failure = error;
    }
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(64 << 20);
    if (!IsCsv(bytes)) {
        Say(failure->description);
        return std::nullopt;
    }
    frmFormatoCsv dialog(bytes, LoadCsvLayout(account), owner);
    if (ShowModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    const CsvLayout layout = dialog.Layout();
    BankStatement statement = ReadBankStatement(bytes, layout);
    SaveCsvLayout(account, layout);
    return statement;
}

}  // namespace

frmImportarExtrato* ImportarExtrato(frmMain* janela) {
    const std::optional<qint64> account = SelectedKey(janela->FXConta_ID);
    if (!account) {
        Say(QStringLiteral("Escolha primeiro a conta do extrato."));
        return nullptr;
    }
    SaveDialogRequest request;
    request.title = kTitle;
    request.nameFilters = {
        QStringLiteral("Extratos bancários (*.xml *.053 *.sta *.940 *.mt940 *.txt *.ofx *.qfx "
                       "*.csv)"),
        QStringLiteral("Todos os ficheiros (*)")};
    const QString path = CurrentFileDialogs().GetOpenFileName(request);
    if (path.isEmpty())
        return nullptr;
    const std::optional<BankStatement> statement = ReadFile(path, int(*account), janela);
    if (!statement)
        return nullptr;
    const QString refusal = OtherAccountRefusal(Data().SqlServer, *account, *statement, path);
    if (!refusal.isEmpty()) {
        Say(refusal);
        return nullptr;
    }
    auto* window = new frmImportarExtrato(*account, *statement, janela);
    QObject::connect(window, &frmImportarExtrato::Reconciliado, janela,
                     [janela] { janela->Fill(); });
    window->show();
    return window;
}

}  // namespace orla
