// A report as a PDF: LibreOffice, without showing itself, converts the
// document into a PDF of the same pages.
#pragma once

#include <QString>

namespace orla {

// Converts `file` (RTF, whatever its extension) into a PDF of the same base
// name in `outDir`, with "soffice --headless --convert-to pdf" in a profile
// and a home folder of its own, made for the conversion and removed after it,
// so that a LibreOffice the user has open and other conversions are left alone.
// Blocks until LibreOffice ends: call it off the interface thread. The PDF's
// path; empty, with *error saying why, on failure.
QString ConvertToPdf(const QString& file, const QString& outDir, QString* error);

}  // namespace orla
