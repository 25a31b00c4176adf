// The shared mechanics of every report: template files read as single-byte
// text, values made safe for RTF, the repeated row section, the output file
// and the failure rule of the builders.
#pragma once

#include "platform/SharedFiles.h"
#include "platform/db/Error.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace orla {

// A template file read whole as single-byte Windows-1252 text; throws OrlaError (53 file not
// found, 70 permission denied, 75 other I/O) on failure.
QString ReadTemplateFile(const QString& path);
// RTF body text that shows `text` literally ("\", "{", "}" escaped, non-ASCII as \'hh in
// Windows-1252, line breaks as \par); an empty or all-spaces text becomes three spaces.
QString StringRTF(const QString& text);
// The transfer window's variant: the same without the three-space rule.
QString StringRTFSemEspacos(const QString& text);

// Told how many rows are written, every megabyte or so; throws to stop the write, which then
// leaves no file behind (the old one, if any, stays).
using RowProgress = std::function<void(qsizetype rowsWritten)>;

// A row section of a body: found by its anchor between "\row" words, then replaced by rows
// made from it, as text (small tables) or straight into the output file's bytes.
class RowSection {
  public:
    // Rows of a table row section written before a new table begins: LibreOffice lays out one
    // long table in a time that grows much faster than its rows, a run of short ones linearly.
    static constexpr qsizetype kRowsPerTable = 200;

    // Searches `body` (case-insensitive) for the first of `anchors` that occurs; found() is
    // false when none occurs or no "\row" precedes it / follows it.
    RowSection(const QString& body, const QStringList& anchors);
    bool found() const { return found_; }
    // Where the section lies in the body searched: from its leading \row to the next one.
    qsizetype start() const { return start_; }
    qsizetype end() const { return start_ + rowTemplate_.size(); }
    // The text of the section (its leading \row included).
    const QString& rowTemplate() const { return rowTemplate_; }
    // The body searched with the section replaced by `rows`, rows already filled one after
    // the other (unchanged when there are none); OrlaError 5 for another body.
    QString apply(const QString& body, const QString& rows) const;
    // The row placeholders, for writeAnsi: the row template is split once at every
    // occurrence (any case) of each, in the order given, as SubstituirTexto would find them.
    void setPlaceholders(const QStringList& placeholders);
    // Writes `head`, then `rows` rows made from the template, then `tail` (the texts before
    // and after the section, other parts of them filled or not) to `path` as WriteReportFile
    // does: row(i) gives the texts of row i as shown, one per placeholder, each
    // made RTF by the rule of StringRTF straight into the file's bytes. A text is never
    // searched for placeholders. The file is made and written a piece at a time, never held
    // whole. A table row ("\cell" in it) ends its table every kRowsPerTable rows: a paragraph
    // of no height, then the heading row again when the row before the section is one
    // ("\trhdr" in it), begin the next table. OrlaError 5 when the section was not found or
    // a row's texts and the placeholders differ in number; what `progress` throws.
    void writeAnsi(const QString& path, QStringView head, QStringView tail, qsizetype rows,
                   const std::function<std::span<const QString>(qsizetype)>& row,
                   Placement placement = Placement::Private,
                   const RowProgress& progress = {}) const;

  private:
    struct Piece {
        QByteArray bytes;
        int slot = -1;  // the placeholder that follows the bytes; -1 for none
    };
    void putRow(QByteArray& out, std::span<const QString> texts) const;
    bool found_ = false;
    qsizetype start_ = 0;
    qsizetype bodySize_ = 0;
    QString rowTemplate_;
    QByteArray tableBreak_;  // what starts the next table; empty when the row is no table's
    std::vector<Piece> pieces_;
    qsizetype slots_ = 0;
};

// Throws what writing a report at `path` would meet: OrlaError 70 when the file there is held
// open by another program (a LibreOffice lock file ".~lock.<name>#" beside it that is not stale,
// see HeldByOffice, or a lock on it), is another user's or read-only; 75 when a link or
// anything but a regular file stands there.
void CheckReportReplaceable(const QString& path);
// Writes body + "\r\n" to `path` in ASCII, every other character as the \'hh of its
// Windows-1252 byte ("?" outside the code page), whole or not at all (a new file beside it
// renamed over it, with the placement's mode), never through a symbolic link; throws as
// CheckReportReplaceable does, or the write's error (75, with a message naming the folder when
// the folder refuses new files; 70 for access denied otherwise). Outside a folder
// the user chose, temporaries that killed writers left beside it are removed.
void WriteReportFile(const QString& path, const QString& body,
                     Placement placement = Placement::Private);

// The failure rule of every report builder: 70 shows "Tem uma impressão aberta. Feche esse
// ficheiro antes de iniciar uma nova impressão." titled "Impressões" (information icon)
// through the prompts service; 3709 and 0 are silent; any other number is reported through the
// error report with the module given and the procedure "DoReport".
void ReportBuildFailure(const OrlaError& error, const QString& module);

}  // namespace orla
