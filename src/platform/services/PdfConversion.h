// A document (RTF, .doc, ...) converted to PDF by LibreOffice, run headless
// with a profile and a home of its own in a temporary folder, so that a
// LibreOffice the user has open is left alone.
#pragma once

#include <QString>

namespace orla {

// Writes `file` as PDF to `pdfPath`, whole or not at all (a file already there
// stays as it was on failure). False with the reason in *error when
// LibreOffice is missing, fails or runs out of time.
bool ConvertToPdf(const QString& file, const QString& pdfPath, QString* error);

}  // namespace orla
