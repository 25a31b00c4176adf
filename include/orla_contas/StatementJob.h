// A statement listed without a user: the statement window is loaded offscreen
// with the given filters, and its list is written as CSV, its picture as PNG
// and/or its report as an RTF document and as PDF (through LibreOffice). Or the
// account reconciled against the bank's statement file, without a window.
#pragma once

#include <orla_contas/General.h>

#include <QString>

#include <optional>

namespace orla {

struct StatementJob {
    std::optional<qint32> conta;  // the window's remembered account when absent
    QString inicio;               // "dd-mm-yyyy"; the window's default period when empty
    QString fim;
    std::optional<qint32> modo;  // payment method; every method when absent
    bool ignorarAnteriores = false;
    bool apenasNaoConciliados = false;
    QString csvPath;         // the list as CSV, when not empty
    QString screenshotPath;  // the window as PNG, when not empty
    QString reportPath;      // the statement report (RTF), when not empty
    QString pdfPath;         // the statement report as PDF, when not empty
    // The files go where the user chose (they get the umask's mode); otherwise to the user's
    // private temporary folder, where they are the owner's alone (0600) whatever the umask.
    // Never written through a symbolic link either way.
    bool chosenFolder = false;
    QString importPath;    // the bank's statement file, for OrlaContas_RunImportJob
    bool aplicar = false;  // that job reconciles the pairs it proposes
};

}  // namespace orla

extern "C" {
// Runs the job on a connected General. Returns 0 on success; otherwise a clear
// message in *message, and none of the job's files is written (those already
// there stay as they were).
ORLA_EXPORT int OrlaContas_RunStatementJob(orla::GeneralInterface* general,
                                           const orla::StatementJob* job, QString* message);
// Pairs the lines of the bank's statement file job->importPath with the movements of the
// job's account (a CSV read with the layout remembered for the account, else the one
// detected) and describes in *report, as plain lines, the proposed pairs, the lines and the
// unreconciled movements left without one and the balances; with job->aplicar the proposed
// pairs are reconciled, all or none. Returns 0 when every line of the file is paired or was
// reconciled already, 1 when some are not, 2 on an error (a file that cannot be read, another
// account's, a refusal to reconcile, the database) with a clear message in *message.
ORLA_EXPORT int OrlaContas_RunImportJob(orla::GeneralInterface* general,
                                        const orla::StatementJob* job, QString* report,
                                        QString* message);
// The user's private temporary folder (mode 0700, made when missing), for a
// job's files when the user named no folder. Returns 0 with its path in *path
// (no trailing separator); otherwise a clear message in *message.
ORLA_EXPORT int OrlaContas_TemporaryFolder(QString* path, QString* message);
}

inline constexpr const char* kOrlaRunStatementJob = "OrlaContas_RunStatementJob";
inline constexpr const char* kOrlaRunImportJob = "OrlaContas_RunImportJob";
inline constexpr const char* kOrlaTemporaryFolder = "OrlaContas_TemporaryFolder";
