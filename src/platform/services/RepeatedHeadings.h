// Heading rows repeated at the top of every printed page. LibreOffice reads an
// RTF row flagged "\trhdr" as an ordinary row; it repeats the rows of an ODF
// table's <table:table-header-rows>. So the flagged rows are marked with
// bookmarks of our own in the RTF, the marked copy is converted to flat ODF,
// and there the marked rows become their table's header rows.
#pragma once

#include <QByteArray>
#include <QString>

namespace orla {

struct MarkedRtf {
    QByteArray rtf;   // the RTF with a marker bookmark in each heading row's first cell
    QString prefix;   // the markers' names: this prefix and a number; found nowhere in the RTF
    int markers = 0;  // none: the RTF is the one given
};

// Puts a marker bookmark before the first "\cell" after each "\trhdr". A "\trhdr" followed
// by "\row" (or "\nestrow") before any "\cell" is skipped: Word repeats a row's properties
// after its cells. A "\trowd" in between starts the row's properties anew.
MarkedRtf MarkHeadingRows(const QByteArray& rtf);

// The flat ODF document (UTF-8, LibreOffice's export of a MarkHeadingRows copy) with
// each table's marked leading rows moved into its <table:table-header-rows> and every
// marker removed. A marked row below an unmarked one of its table stays where it is, as
// Word repeats only a table's leading rows. Empty, with *error saying why, when the XML
// cannot be read or a marker is missing or stands outside a table row.
QByteArray RepeatMarkedRows(const QByteArray& fodt, const QString& prefix, int markers,
                            QString* error);

}  // namespace orla
