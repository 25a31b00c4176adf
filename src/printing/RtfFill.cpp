#include "printing/RtfFill.h"

#include "platform/Ansi.h"
#include "platform/SharedFiles.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"
#include "printing/OfficeLock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <functional>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

const QString kRowWord = QStringLiteral("\\row");
// Ends a table and begins the next with a paragraph of no height: the tables read as one.
const QString kTableBreak = QStringLiteral("\\row\\pard\\plain\\sl-2\\slmult0\\fs2\\par ");

// True when the RTF holds the control word (not a longer word beginning with it).
bool HasControlWord(QStringView rtf, QStringView word) {
    for (qsizetype at = rtf.indexOf(word); at >= 0; at = rtf.indexOf(word, at + 1)) {
        const qsizetype after = at + word.size();
        if (after == rtf.size() || !rtf[after].isLetter())
            return true;
    }
    return false;
}

OrlaError FileError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return OrlaError(53, QStringLiteral("File not found"));
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return OrlaError(err::kPermissionDenied, QStringLiteral("Permission denied"));
        case ELOOP:
            return OrlaError(75, QStringLiteral("Path/File access error: a symbolic link stands "
                                                "under the name and is never followed"));
        default:
            return OrlaError(75, QStringLiteral("Path/File access error"));
    }
}

// The report's folder refuses new files: said as such, not as a report held open.
OrlaError FolderNotWritable(const QString& path) {
    return OrlaError(75, QStringLiteral("Não é possível gravar na pasta %1: não tem permissão "
                                        "para escrever nela. Escolha outra pasta.")
                             .arg(QFileInfo(QDir::cleanPath(path)).absolutePath()));
}

// The bytes 0x80 to 0x9F of the code page with the characters they stand
// for (from 0xA0 on, bytes and characters are the same numbers).
const std::array<std::pair<char16_t, uchar>, 32>& HighTable() {
    static const std::array<std::pair<char16_t, uchar>, 32> table = [] {
        std::array<std::pair<char16_t, uchar>, 32> t{};
        for (int b = 0x80; b < 0xA0; ++b)
            t[size_t(b - 0x80)] = {FromAnsi(QByteArray(1, char(b))).at(0).unicode(), uchar(b)};
        return t;
    }();
    return table;
}

// The code page's byte of the character, or nothing outside it.
std::optional<uchar> AnsiByte(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF)
        return uchar(c);
    for (const auto& [unicode, byte] : HighTable())
        if (unicode == c)
            return byte;
    return std::nullopt;
}

// True for a character shown as it stands: printable ASCII but "\\", "{" and "}".
bool IsPlain(char16_t c) {
    static constexpr std::array<bool, 0x80> kPlain = [] {
        std::array<bool, 0x80> plain{};
        for (char16_t u = 0x20; u < 0x7F; ++u)
            plain[u] = u != u'\\' && u != u'{' && u != u'}';
        return plain;
    }();
    return c < 0x80 && kPlain[c];
}

// True when the whole text is shown as it stands.
bool PlainRtf(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return IsPlain(c.unicode()); });
}

bool OnlySpaces(QStringView text) {
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

char* Put(char* out, std::string_view text) {
    return std::copy(text.begin(), text.end(), out);
}

char* PutHex(char* out, uchar byte) {
    static const char digits[] = "0123456789abcdef";
    *out++ = '\\';
    *out++ = '\'';
    *out++ = digits[byte >> 4];
    *out++ = digits[byte & 0xF];
    return out;
}

// The most bytes one UTF-16 unit becomes: "\u-32768?".
constexpr qsizetype kMostPerUnit = 9;

// Room for `most` more bytes at the end of `out`, to be written through the
// pointer returned and closed with Close; grows as appending does.
char* Room(QByteArray& out, qsizetype most) {
    const qsizetype size = out.size();
    if (out.capacity() < size + most)
        out.reserve(std::max(size + most, 2 * out.capacity()));
    out.resize(size + most);
    return out.data() + size;
}

void Close(QByteArray& out, const char* end) {
    out.resize(end - out.constData());
}

// Writes the RTF that shows `text` literally at `p`, all in ASCII: the one
// escaping rule of every value. At most kMostPerUnit bytes a unit.
char* PutEscaped(char* p, QStringView text) {
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    while (at < end) {
        while (at < end && IsPlain(*at))
            *p++ = char(*at++);
        if (at == end)
            break;
        const char16_t c = *at++;
        if (c == u'\\' || c == u'{' || c == u'}') {
            *p++ = '\\';
            *p++ = char(c);
        } else if (c == u'\r' || c == u'\n') {
            // CR LF, a lone CR and a lone LF are each one line break.
            if (c == u'\r' && at < end && *at == u'\n')
                ++at;
            p = Put(p, "\\par ");
        } else if (c == u'\t') {
            p = Put(p, "\\tab ");
        } else if (c == 0) {
            // A NUL cannot be shown; it is left out.
        } else if (c < 0x20 || c == 0x7F) {
            p = PutHex(p, uchar(c));
        } else if (const std::optional<uchar> byte = AnsiByte(c)) {
            p = PutHex(p, *byte);
        } else {
            // Outside the code page: the Unicode form, with "?" for readers without it.
            p = Put(p, "\\u");
            p = std::to_chars(p, p + 6, qint16(c)).ptr;
            *p++ = '?';
        }
    }
    return p;
}

// The text StringRTF escapes: an empty or all-spaces text becomes three spaces.
QStringView ThreeSpacesRule(QStringView text) {
    return OnlySpaces(text) ? QStringView(u"   ") : text;
}

QString EscapeRtf(QStringView text) {
    if (PlainRtf(text))
        return text.toString();
    QByteArray out;
    Close(out, PutEscaped(Room(out, text.size() * kMostPerUnit), text));
    return QString::fromLatin1(out);
}

// The body's bytes: ASCII as it stands, every other character as the \'hh of
// its byte in the code page ("?" outside it; a surrogate pair is one
// character). A raw byte from 0x80 up (a dash, the euro sign, a no-break
// space) with no accented letter beside it makes LibreOffice read the file as
// plain text; the escape shows the same character.
QByteArray AnsiBytes(QStringView text) {
    QByteArray bytes;
    char* p = Room(bytes, text.size() * 4);
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    while (at < end) {
        const char16_t c = *at++;
        if (c < 0x80) {
            *p++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && at < end && QChar::isLowSurrogate(*at))
            ++at;
        if (const std::optional<uchar> byte = AnsiByte(c))
            p = PutHex(p, *byte);
        else
            *p++ = '?';
    }
    Close(bytes, p);
    return bytes;
}

// A report file written to a new file beside it and renamed over it once
// whole: a reader, or a kill on the way, finds the old file or the new one.
class ReportOutput {
  public:
    ReportOutput(const QString& path, Placement placement) : file_(path, placement) {
        CheckReportReplaceable(path);
        if (const int error = file_.error())
            throw error == EACCES || error == EPERM || error == EROFS ? FolderNotWritable(path)
                                                                      : FileError(error);
        // In a folder of the program's own, what killed writers left is taken away.
        if (placement != Placement::Chosen)
            SharedFolder(QFileInfo(QDir::cleanPath(path)).absolutePath())
                .removeStaleTemporaries(QLatin1Char('.') + QFileInfo(path).fileName());
    }

    void write(const QByteArray& bytes) {
        if (!file_.write(bytes))
            throw FileError(file_.error());
    }

    // The closing CR LF, then the file in place.
    void finish() {
        write(QByteArrayLiteral("\r\n"));
        if (!file_.commit())
            throw FileError(file_.error());
    }

  private:
    FileReplacement file_;
};

}  // namespace

QString ReadTemplateFile(const QString& path) {
    const UniqueFd fd(::open(QFile::encodeName(path).constData(),
                             O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd)
        throw FileError(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw FileError(errno);
    if (!S_ISREG(info.st_mode))
        throw FileError(EINVAL);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(errno);
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return FromAnsi(bytes);
}

QString StringRTF(const QString& text) {
    return EscapeRtf(ThreeSpacesRule(text));
}

QString StringRTFSemEspacos(const QString& text) {
    return EscapeRtf(text);
}

RowSection::RowSection(const QString& body, const QStringList& anchors) : bodySize_(body.size()) {
    qsizetype anchor = -1;
    for (const QString& candidate : anchors) {
        anchor = candidate.isEmpty() ? -1 : body.indexOf(candidate, 0, Qt::CaseInsensitive);
        if (anchor >= 0)
            break;
    }
    if (anchor <= 0)
        return;
    const qsizetype start = body.lastIndexOf(kRowWord, anchor - 1);
    if (start < 0)
        return;
    const qsizetype end = body.indexOf(kRowWord, start + kRowWord.size());
    if (end < 0)
        return;
    found_ = true;
    start_ = start;
    rowTemplate_ = body.mid(start, end - start);
    if (!HasControlWord(rowTemplate_, u"\\cell"))
        return;
    // The heading row is the one the section's leading \row closes, from its \trowd on.
    tableBreak_ = AnsiBytes(kTableBreak);
    const qsizetype heading = body.lastIndexOf(QStringLiteral("\\trowd"), start);
    if (heading < 0)
        return;
    const QStringView headingRow = QStringView(body).mid(heading, start - heading);
    if (HasControlWord(headingRow, u"\\trhdr"))
        tableBreak_ += AnsiBytes(headingRow);
}

QString RowSection::apply(const QString& body, const QString& rows) const {
    if (!found_ || rows.isEmpty())
        return body;
    if (body.size() != bodySize_)
        throw OrlaError(5, QStringLiteral("The row section belongs to another text."));
    QString result;
    result.reserve(body.size() - rowTemplate_.size() + rows.size());
    result += QStringView(body).left(start_);
    result += rows;
    result += QStringView(body).mid(end());
    return result;
}

void RowSection::setPlaceholders(const QStringList& placeholders) {
    struct Text {
        QString text;
        int slot;
    };
    std::vector<Text> texts{{rowTemplate_, -1}};
    for (int slot = 0; slot < placeholders.size(); ++slot) {
        const QString& search = placeholders[slot];
        if (search.isEmpty())
            continue;
        std::vector<Text> split;
        for (const Text& piece : texts) {
            // The text before each occurrence becomes a piece of its own,
            // followed by this slot; the rest keeps the piece's own slot.
            qsizetype from = 0;
            for (qsizetype at = piece.text.indexOf(search, 0, Qt::CaseInsensitive); at >= 0;
                 at = piece.text.indexOf(search, from, Qt::CaseInsensitive)) {
                split.push_back({piece.text.mid(from, at - from), slot});
                from = at + search.size();
            }
            split.push_back({piece.text.mid(from), piece.slot});
        }
        texts = std::move(split);
    }
    pieces_.clear();
    for (const Text& piece : texts)
        pieces_.push_back({AnsiBytes(piece.text), piece.slot});
    slots_ = placeholders.size();
}

void RowSection::putRow(QByteArray& out, std::span<const QString> texts) const {
    if (qsizetype(texts.size()) != slots_)
        throw OrlaError(5, QStringLiteral("Each row placeholder needs one value."));
    qsizetype most = 0;
    for (const Piece& piece : pieces_) {
        most += piece.bytes.size();
        if (piece.slot >= 0)
            most += std::max<qsizetype>(3, texts[size_t(piece.slot)].size()) * kMostPerUnit;
    }
    char* p = Room(out, most);
    for (const Piece& piece : pieces_) {
        p = std::copy(piece.bytes.cbegin(), piece.bytes.cend(), p);
        if (piece.slot >= 0)
            p = PutEscaped(p, ThreeSpacesRule(texts[size_t(piece.slot)]));
    }
    Close(out, p);
}

void RowSection::writeAnsi(const QString& path, QStringView head, QStringView tail, qsizetype rows,
                           const std::function<std::span<const QString>(qsizetype)>& row,
                           Placement placement, const RowProgress& progress) const {
    if (!found_)
        throw OrlaError(5, QStringLiteral("The body has no row section to fill."));
    ReportOutput out(path, placement);
    // Made and written a piece at a time: the whole file is never held.
    constexpr qsizetype kPiece = 1 << 20;
    QByteArray piece = AnsiBytes(head);
    piece.reserve(std::max(piece.size(), 2 * kPiece));
    for (qsizetype r = 0; r < rows; ++r) {
        if (r > 0 && r % kRowsPerTable == 0)
            piece += tableBreak_;
        putRow(piece, row(r));
        if (piece.size() >= kPiece) {
            out.write(piece);
            piece.resize(0);
            if (progress)
                progress(r + 1);
        }
    }
    piece += AnsiBytes(tail);
    out.write(piece);
    out.finish();
}

void CheckReportReplaceable(const QString& path) {
    if (HeldByOffice(path))
        throw OrlaError(err::kPermissionDenied, QStringLiteral("Permission denied"));
    const UniqueFd old(::open(QFile::encodeName(path).constData(),
                              O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!old) {
        if (errno != ENOENT)
            throw FileError(errno);
        return;
    }
    struct stat info {};
    if (::fstat(old.get(), &info) != 0)
        throw FileError(errno);
    if (!S_ISREG(info.st_mode))
        throw FileError(EINVAL);
    // Another user's file, or one made read-only, is not replaced.
    if (info.st_uid != ::geteuid() || !(info.st_mode & S_IWUSR))
        throw FileError(EACCES);
    // Nor one another program holds a lock on.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(old.get(), F_GETLK, &lock) != 0)
        throw FileError(errno);
    if (lock.l_type != F_UNLCK)
        throw FileError(EACCES);
}

void WriteReportFile(const QString& path, const QString& body, Placement placement) {
    ReportOutput out(path, placement);
    out.write(AnsiBytes(body));
    out.finish();
}

void ReportBuildFailure(const OrlaError& error, const QString& module) {
    if (error.number == err::kPermissionDenied) {
        CurrentPrompts().MsgBox(QStringLiteral("Tem uma impressão aberta. Feche esse ficheiro "
                                               "antes de iniciar uma nova impressão."),
                                vb::Information | vb::SystemModal, QStringLiteral("Impressões"));
        return;
    }
    if (error.number == 0 || error.number == err::kConnectionClosed)
        return;
    ReportError({module, QStringLiteral("DoReport"), ReportFilter::NotZeroNor3709}, error);
}

}  // namespace orla
