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

// A row section of a body: found by its anchor between "\row" words, filled with rows in
// order, applied to the body once (linear in the number of rows).
class RowSection {
  public:
    // Searches `body` (case-insensitive) for the first of `anchors` that occurs; found() is
    // false when none occurs or no "\row" precedes it / follows it.
    RowSection(const QString& body, const QStringList& anchors);
    bool found() const { return found_; }
    // The text of the section (its leading \row included).
    const QString& rowTemplate() const { return rowTemplate_; }
    // Rows in record order; they are kept as the Windows-1252 bytes that are written.
    void add(const QString& filledRow);
    // The row placeholders, for addValues: the row template is split once at every
    // occurrence (any case) of each, in the order given, as SubstituirTexto would find them.
    void setPlaceholders(const QStringList& placeholders);
    // A row made from the template with each placeholder replaced by the value of the same
    // position (prepared by the caller; an empty value is one space, as SubstituirTexto
    // gives). A value is never searched for placeholders. OrlaError 5 when the number of
    // values differs from the number of placeholders.
    void addValues(const QStringList& values);
    int count() const { return count_; }
    // The body with the section replaced by the rows added (unchanged when none was added);
    // `body` is the text searched (OrlaError 5 when its length differs).
    QString apply(const QString& body) const;
    // Writes `body` to `path` as WriteReportFile does with the section replaced by the rows
    // added, then `rows` more: row(i) gives the texts of row i as shown, each made RTF by the
    // rule of StringRTF straight into the file's bytes (in the places setPlaceholders gave).
    // The file is made and written a piece at a time, never held whole. OrlaError 5 when a
    // row's texts and the placeholders differ in number.
    void writeAnsi(const QString& path, const QString& body, qsizetype rows,
                   const std::function<std::span<const QString>(qsizetype)>& row,
                   Placement placement = Placement::Private) const;

  private:
    struct Piece {
        QByteArray bytes;
        int slot = -1;  // the placeholder that follows the bytes; -1 for none
    };
    void putRow(QByteArray& out, std::span<const QString> texts) const;
    void checkSlots(qsizetype values) const;
    void checkBody(const QString& body) const;
    bool found_ = false;
    qsizetype start_ = 0;
    qsizetype length_ = 0;
    qsizetype bodySize_ = 0;
    QString rowTemplate_;
    std::vector<Piece> pieces_;
    qsizetype slots_ = 0;
    // In the code page: the body before the section, then the rows added one after the other.
    QByteArray bytes_;
    qsizetype rowsFrom_ = 0;
    int count_ = 0;
};

// Throws what writing a report at `path` would meet: OrlaError 70 when the file there is held
// open by another program (a LibreOffice lock file ".~lock.<name>#" beside it, or a lock on it),
// is another user's or read-only; 75 when a link or anything but a regular file stands there.
void CheckReportReplaceable(const QString& path);
// Writes body + "\r\n" as Windows-1252 to `path`, whole or not at all (a new file beside it
// renamed over it, with the placement's mode), never through a symbolic link; throws as
// CheckReportReplaceable does, or the write's error (75, 70 for access denied). Outside a folder
// the user chose, temporaries that killed writers left beside it are removed.
void WriteReportFile(const QString& path, const QString& body,
                     Placement placement = Placement::Private);

// The failure rule of every report builder: 70 shows "Tem uma impressão aberta. Feche esse
// ficheiro antes de iniciar uma nova impressão." titled "Impressões" (information icon)
// through the prompts service; 3709 and 0 are silent; any other number is reported through the
// error report with the module given and the procedure "DoReport".
void ReportBuildFailure(const OrlaError& error, const QString& module);

}  // namespace orla
