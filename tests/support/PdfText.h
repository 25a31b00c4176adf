// A document as it prints: LibreOffice (headless) turns it into a PDF and
// pdftotext reads the PDF's text back, laid out as on the page.
#pragma once

#include <QString>

#include <functional>

namespace orla::test {

// Converts `file` (RTF, whatever its extension) to a PDF in `outDir` as the
// program does (orla::ConvertToPdf, which asks `cancelled`). Returns the PDF's
// path; empty, with *error saying why, on failure.
QString ConvertToPdf(const QString& file, const QString& outDir, QString* error,
                     const std::function<bool()>& cancelled = {});

// The PDF's text as "pdftotext -layout" lays it out (UTF-8); empty, with
// *error saying why, on failure.
QString PdfToText(const QString& pdf, QString* error);

}  // namespace orla::test
