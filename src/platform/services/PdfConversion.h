// A report as a PDF: LibreOffice, without showing itself, converts the
// document into a PDF of the same pages.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace orla {

// Converts `file` (RTF, whatever its extension) into a PDF of the same base
// name in `outDir`, with "soffice --headless --convert-to pdf" in a profile
// and a home folder of its own, made for the conversion and removed after it,
// so that a LibreOffice the user has open and other conversions are left alone.
// Rows flagged as headings ("\trhdr") are repeated at the top of every page:
// a marked copy of such a file, in that folder, is converted by a Python driver
// of LibreOffice (RepeatedHeadings.h), in one run; the file itself is never
// changed. Without /usr/bin/python3 or its UNO bridge the file is converted as
// it is. A LibreOffice run that does not end in time is killed with every
// process it started, the driver's LibreOffice included. A PDF
// that shows the file's RTF source (LibreOffice took it for plain text) is an
// error and is removed. Blocks until LibreOffice ends: call it off the
// interface thread. `cancelled`, asked a few times a second, stops LibreOffice
// when it answers true. The PDF's path; empty, with *error saying why, on
// failure or cancellation.
QString ConvertToPdf(const QString& file, const QString& outDir, QString* error,
                     const std::function<bool()>& cancelled = {});

// The same into a new work folder ("orla-pdf-*", mode 0700) of the user's
// private temporary folder, made in `folder`: removed when the folder object
// goes, unless kept.
QString ConvertToPdfInWorkFolder(const QString& file, std::optional<QTemporaryDir>& folder,
                                 QString* error, const std::function<bool()>& cancelled = {});

}  // namespace orla
