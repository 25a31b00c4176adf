// A statement listed without a user: the statement window is loaded offscreen
// with the given filters, and its list is written as CSV, its picture as PNG
// and/or its report as an RTF document and as PDF (through LibreOffice).
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
};

}  // namespace orla

extern "C" {
// Runs the job on a connected General. Returns 0 on success; otherwise a clear
// message in *message, and no output file is left half written.
ORLA_EXPORT int OrlaContas_RunStatementJob(orla::GeneralInterface* general,
                                           const orla::StatementJob* job, QString* message);
}

inline constexpr const char* kOrlaRunStatementJob = "OrlaContas_RunStatementJob";
