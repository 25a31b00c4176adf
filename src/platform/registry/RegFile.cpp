#include "platform/registry/RegFile.h"

#include "common/Ansi.h"
#include "platform/registry/RegistryBackend.h"

#include <QStringDecoder>

namespace orla::regfile {
namespace {

const QString kHeader = QStringLiteral("Windows Registry Editor Version 5.00");

struct ValueLine {
    QString name;
    QString data;  // the text after "="
};

QString Escape(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return escaped;
}

QString Unescape(QStringView text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool escaped = text[i] == QLatin1Char('\\') && i + 1 < text.size() &&
                             (text[i + 1] == QLatin1Char('\\') || text[i + 1] == QLatin1Char('"'));
        if (escaped)
            ++i;
        plain.append(text[i]);
    }
    return plain;
}

// The end of a quoted text that starts at `open`, or -1.
qsizetype ClosingQuote(const QString& line, qsizetype open) {
    for (qsizetype i = open + 1; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('\\'))
            ++i;
        else if (line[i] == QLatin1Char('"'))
            return i;
    }
    return -1;
}

std::optional<ValueLine> ParseValueLine(const QString& line) {
    ValueLine value;
    qsizetype equals = 1;
    if (line.startsWith(QLatin1Char('"'))) {
        const qsizetype close = ClosingQuote(line, 0);
        if (close < 0)
            return std::nullopt;
        value.name = Unescape(QStringView(line).mid(1, close - 1));
        equals = close + 1;
    } else if (!line.startsWith(QLatin1Char('@'))) {
        return std::nullopt;
    }
    if (equals >= line.size() || line[equals] != QLatin1Char('='))
        return std::nullopt;
    value.data = line.mid(equals + 1);
    return value;
}

std::optional<QByteArray> ParseHexBytes(const QString& list) {
    QByteArray bytes;
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint byte = item.trimmed().toUInt(&ok, 16);
        if (!ok || byte > 0xFF)
            return std::nullopt;
        bytes.append(char(byte));
    }
    return bytes;
}

std::optional<RegValue> DecodeData(const QString& data) {
    if (data.size() >= 2 && data.startsWith(QLatin1Char('"')) && data.endsWith(QLatin1Char('"')))
        return RegValue{reg::REG_SZ,
                        ToAnsi(Unescape(QStringView(data).mid(1, data.size() - 2))) + '\0'};
    bool ok = false;
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const quint32 number = data.mid(6).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        QByteArray bytes;
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((number >> shift) & 0xFF));
        return RegValue{reg::REG_DWORD, bytes};
    }
    quint32 type = reg::REG_BINARY;
    qsizetype listStart = 4;
    if (data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        type = close > 4 ? data.mid(4, close - 4).toUInt(&ok, 16) : 0;
        if (!ok)
            return std::nullopt;
        listStart = close + 2;
    } else if (!data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = ParseHexBytes(data.mid(listStart));
    if (!bytes)
        return std::nullopt;
    return RegValue{type, *bytes};
}

// A string that ends with its one NUL and holds no line break is written as
// text; anything else as its bytes.
QString EncodeData(const RegValue& value) {
    const QByteArray& d = value.data;
    const bool plainString = value.type == reg::REG_SZ && d.endsWith('\0') && d.count('\0') == 1 &&
                             !d.contains('\r') && !d.contains('\n');
    if (plainString)
        return QLatin1Char('"') + Escape(FromAnsi(d.chopped(1))) + QLatin1Char('"');
    QStringList bytes;
    for (char c : d)
        bytes.append(
            QStringLiteral("%1").arg(uint(static_cast<unsigned char>(c)), 2, 16, QLatin1Char('0')));
    const QString prefix = value.type == reg::REG_BINARY
                               ? QStringLiteral("hex:")
                               : QStringLiteral("hex(%1):").arg(value.type, 0, 16);
    return prefix + bytes.join(QLatin1Char(','));
}

QString FormatLine(const QString& name, const RegValue& value) {
    const QString quotedName =
        name.isEmpty() ? QStringLiteral("@") : QLatin1Char('"') + Escape(name) + QLatin1Char('"');
    return quotedName + QLatin1Char('=') + EncodeData(value);
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Physical lines, with those that end in "\" joined to the next (long hex lists).
QStringList LogicalLines(const QString& text) {
    QStringList lines;
    bool continues = false;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        QString line = raw.trimmed();
        if (continues)
            lines.last() += line;
        else
            lines.append(line);
        continues = lines.last().endsWith(QLatin1Char('\\'));
        if (continues)
            lines.last().chop(1);
    }
    return lines;
}

}  // namespace

RegDocument RegDocument::Parse(const QByteArray& bytes, const QString& rootName) {
    RegDocument document;
    document.rootName_ = rootName;
    QStringDecoder decoder(QStringDecoder::encodingForData(bytes).value_or(QStringDecoder::Utf8));
    const QString text = decoder.decode(bytes);
    for (const QString& line : LogicalLines(text)) {
        if (line.isEmpty())
            continue;
        if (line.size() >= 2 && line.startsWith(QLatin1Char('[')) &&
            line.endsWith(QLatin1Char(']'))) {
            const QString header = line.mid(1, line.size() - 2);
            QString path = header;
            // Sections may also be written with the root's name in front.
            if (SameName(header, rootName))
                path.clear();
            else if (header.startsWith(rootName + QLatin1Char('\\'), Qt::CaseInsensitive))
                path = header.mid(rootName.size() + 1);
            document.sections_.append({header, path, {}});
        } else if (document.sections_.isEmpty()) {
            document.preamble_.append(line);
        } else {
            document.sections_.last().lines.append(line);
        }
    }
    if (document.preamble_.isEmpty())
        document.preamble_.append(kHeader);
    return document;
}

QByteArray RegDocument::Serialize() const {
    QString text = preamble_.join(QLatin1Char('\n')) + QLatin1Char('\n');
    for (const Section& section : sections_) {
        text += QLatin1String("\n[") + section.header + QLatin1String("]\n");
        for (const QString& line : section.lines)
            text += line + QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool RegDocument::HasKey(const QString& path) const {
    if (path.isEmpty())
        return true;
    for (const Section& section : sections_) {
        if (SameName(section.path, path) ||
            section.path.startsWith(path + QLatin1Char('\\'), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

qsizetype RegDocument::SectionIndex(const QString& path) const {
    for (qsizetype i = 0; i < sections_.size(); ++i) {
        if (SameName(sections_[i].path, path))
            return i;
    }
    return -1;
}

std::optional<RegValue> RegDocument::Value(const QString& path, const QString& name) const {
    const qsizetype index = SectionIndex(path);
    if (index < 0)
        return std::nullopt;
    for (const QString& line : sections_[index].lines) {
        const std::optional<ValueLine> value = ParseValueLine(line);
        if (value && SameName(value->name, name))
            return DecodeData(value->data);
    }
    return std::nullopt;
}

void RegDocument::SetValue(const QString& path, const QString& name, const RegValue& value) {
    qsizetype index = SectionIndex(path);
    if (index < 0) {
        sections_.append({path.isEmpty() ? rootName_ : path, path, {}});
        index = sections_.size() - 1;
    }
    QStringList& lines = sections_[index].lines;
    const QString line = FormatLine(name, value);
    for (QString& existing : lines) {
        const std::optional<ValueLine> old = ParseValueLine(existing);
        if (old && SameName(old->name, name)) {
            existing = line;
            return;
        }
    }
    lines.append(line);
}

}  // namespace orla::regfile
