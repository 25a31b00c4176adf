#include "platform/registry/RegFile.h"

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

// The text of a quoted string value; nothing for any other kind of value.
std::optional<QString> DecodeData(const QString& data) {
    if (data.size() < 2 || !data.startsWith(QLatin1Char('"')) || !data.endsWith(QLatin1Char('"')))
        return std::nullopt;
    return Unescape(QStringView(data).mid(1, data.size() - 2));
}

QString FormatLine(const QString& name, const QString& text) {
    const QString quotedName =
        name.isEmpty() ? QStringLiteral("@") : QLatin1Char('"') + Escape(name) + QLatin1Char('"');
    return quotedName + QLatin1String("=\"") + Escape(text) + QLatin1Char('"');
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

RegDocument RegDocument::Parse(const QByteArray& bytes, const QString& rootName) {
    RegDocument document;
    document.rootName_ = rootName;
    QStringDecoder decoder(QStringDecoder::encodingForData(bytes).value_or(QStringDecoder::Utf8));
    const QString text = decoder.decode(bytes);
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
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
    return path.isEmpty() || SectionIndex(path) >= 0;
}

qsizetype RegDocument::SectionIndex(const QString& path) const {
    for (qsizetype i = 0; i < sections_.size(); ++i) {
        if (SameName(sections_[i].path, path))
            return i;
    }
    return -1;
}

std::optional<QString> RegDocument::Value(const QString& path, const QString& name) const {
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

void RegDocument::SetValue(const QString& path, const QString& name, const QString& text) {
    qsizetype index = SectionIndex(path);
    if (index < 0) {
        sections_.append({path.isEmpty() ? rootName_ : path, path, {}});
        index = sections_.size() - 1;
    }
    QStringList& lines = sections_[index].lines;
    const QString line = FormatLine(name, text);
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
