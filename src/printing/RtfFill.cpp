#include "printing/RtfFill.h"

#include "common/Ansi.h"
#include "platform/SharedFiles.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orla {
namespace {

const QString kRowWord = QStringLiteral("\\row");

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
        default:
            return OrlaError(75, QStringLiteral("Path/File access error"));
    }
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

void AppendHex(QString& out, uchar byte) {
    static const char digits[] = "0123456789abcdef";
    out += QStringLiteral("\\'");
    out += QLatin1Char(digits[byte >> 4]);
    out += QLatin1Char(digits[byte & 0xF]);
}

// True when the text is shown as it stands: printable ASCII without "\", "{" or "}".
bool PlainRtf(const QString& text) {
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x20 || c >= 0x7F || c == u'\\' || c == u'{' || c == u'}')
            return false;
    }
    return true;
}

QString EscapeRtf(const QString& text) {
    if (PlainRtf(text))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 4 + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}')
                out += QLatin1Char('\\');
            out += QChar(c);
        } else if (c == u'\r' || c == u'\n') {
            // CR LF, a lone CR and a lone LF are each one line break.
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QStringLiteral("\\par ");
        } else if (c == u'\t') {
            out += QStringLiteral("\\tab ");
        } else if (c == 0) {
            // A NUL cannot be shown; it is left out.
        } else if (c < 0x20 || c == 0x7F) {
            AppendHex(out, uchar(c));
        } else if (const std::optional<uchar> byte = AnsiByte(c)) {
            AppendHex(out, *byte);
        } else {
            // Outside the code page: the Unicode form, with "?" for readers without it.
            out += QStringLiteral("\\u") + QString::number(qint16(c)) + QLatin1Char('?');
        }
    }
    return out;
}

// The body in the code page. A filled body is nearly all ASCII, so it is
// converted as Latin-1 in one piece and only the characters above 0x7F are
// put right; a body with surrogate pairs goes through the full converter.
QByteArray AnsiBytes(const QString& text) {
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    QByteArray bytes = text.toLatin1();
    constexpr qsizetype kBlock = 32;
    for (qsizetype block = 0; block < size; block += kBlock) {
        const qsizetype end = std::min(size, block + kBlock);
        char16_t any = 0;
        for (qsizetype i = block; i < end; ++i)
            any |= units[i];
        if (any < 0x80)
            continue;
        for (qsizetype i = block; i < end; ++i) {
            const char16_t c = units[i];
            if (c < 0x80)
                continue;
            if (QChar::isSurrogate(c))
                return ToAnsi(text);
            bytes[i] = char(AnsiByte(c).value_or('?'));
        }
    }
    return bytes;
}

bool OnlySpaces(const QString& text) {
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

void WriteBytes(int fd, const QByteArray& bytes) {
    errno = 0;
    if (!WriteFully(fd, bytes))
        throw FileError(errno ? errno : EIO);
}

// True when a LibreOffice lock file (a link too) stands beside the file.
bool HeldByOffice(const QString& path) {
    const QFileInfo info(path);
    const QByteArray lock = QFile::encodeName(info.absolutePath() + QStringLiteral("/.~lock.") +
                                              info.fileName() + QLatin1Char('#'));
    struct stat st {};
    return ::lstat(lock.constData(), &st) == 0;
}

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
    return EscapeRtf(OnlySpaces(text) ? QStringLiteral("   ") : text);
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
    length_ = end - start;
    rowTemplate_ = body.mid(start, length_);
}

void RowSection::add(const QString& filledRow) {
    rows_ += filledRow;
    ++count_;
}

void RowSection::setPlaceholders(const QStringList& placeholders) {
    pieces_.assign(1, Piece{rowTemplate_, -1});
    slots_ = placeholders.size();
    for (int slot = 0; slot < placeholders.size(); ++slot) {
        const QString& search = placeholders[slot];
        if (search.isEmpty())
            continue;
        std::vector<Piece> split;
        for (const Piece& piece : pieces_) {
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
        pieces_ = std::move(split);
    }
}

void RowSection::addValues(const QStringList& values) {
    if (values.size() != slots_)
        throw OrlaError(5, QStringLiteral("Each row placeholder needs one value."));
    for (const Piece& piece : pieces_) {
        rows_ += piece.text;
        if (piece.slot >= 0) {
            const QString& value = values[piece.slot];
            if (value.isEmpty())
                rows_ += QLatin1Char(' ');
            else
                rows_ += value;
        }
    }
    ++count_;
}

QString RowSection::apply(const QString& body) const {
    if (!found_ || count_ == 0)
        return body;
    if (body.size() != bodySize_)
        throw OrlaError(5, QStringLiteral("The row section belongs to another text."));
    QString result;
    result.reserve(body.size() - length_ + rows_.size());
    result += QStringView(body).left(start_);
    result += rows_;
    result += QStringView(body).mid(start_ + length_);
    return result;
}

void WriteReportFile(const QString& path, const QString& body) {
    if (HeldByOffice(path))
        throw OrlaError(err::kPermissionDenied, QStringLiteral("Permission denied"));
    // Opened as itself, never through a link, and emptied only once it is
    // known to be this user's own regular file with one name.
    const UniqueFd fd(::open(QFile::encodeName(path).constData(),
                             O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                             0600));
    if (!fd)
        throw FileError(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw FileError(errno);
    if (!S_ISREG(info.st_mode) || info.st_nlink != 1)
        throw FileError(EINVAL);
    if (info.st_uid != ::geteuid())
        throw FileError(EACCES);
    // Another program holding a lock on it keeps it.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd.get(), F_SETLK, &lock) != 0)
        throw FileError(errno == EAGAIN ? EACCES : errno);
    if (::ftruncate(fd.get(), 0) != 0)
        throw FileError(errno);
    WriteBytes(fd.get(), AnsiBytes(body));
    WriteBytes(fd.get(), QByteArrayLiteral("\r\n"));
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
