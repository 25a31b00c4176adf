// Heading rows repeated at the top of every printed page. LibreOffice reads an
// RTF row flagged "\trhdr" as an ordinary row; it repeats a table's leading
// rows when told so through its UNO interface. So the flagged rows are marked
// with bookmarks of our own in the RTF, and a Python driver loads the marked
// copy in LibreOffice, makes each table's marked leading rows its heading rows
// and exports the PDF.
#pragma once

#include <QByteArray>
#include <QString>

namespace orla {

struct MarkedRtf {
    QByteArray rtf;   // the RTF with a marker bookmark in each heading row's first cell
    QString prefix;   // the markers' names: this prefix and a number; found nowhere in the RTF
    int markers = 0;  // none: the RTF is the one given
};

// Puts a marker bookmark at the start of the first cell of each row flagged "\trhdr": past
// the last "\trhdr" or "\cellx" before the next "\cell". A "\trhdr" followed by "\row" (or
// "\nestrow") before any "\cell" is skipped: Word repeats a row's properties after its
// cells. A "\trowd" in between starts the row's properties anew.
MarkedRtf MarkHeadingRows(const QByteArray& rtf);

// The Python 3 program (Debian's python3-uno) that starts LibreOffice as its child, in the
// profile given, loads a MarkHeadingRows copy, makes each table's marked leading rows its
// heading rows (a marked row below an unmarked one of its table stays a body row, as in
// Word), removes the markers and exports the PDF, then ends LibreOffice. A missing or
// misplaced marker is an error. On failure it says why on its error output, kills the
// LibreOffice it started and exits with a status other than 0; with 3 when python has no
// UNO bridge.
const char* RepeatHeadingsDriver();

}  // namespace orla
