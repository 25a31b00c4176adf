#include "platform/services/RepeatedHeadings.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <vector>

namespace orla {
namespace {

const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A piece of the document replaced by a text: a marker cut out, a header-rows tag put in.
struct Edit {
    qsizetype from;
    qsizetype to;
    QByteArray text;
};

struct Table {
    qsizetype depth;
    QByteArray tag;           // "table-header-rows" with the table's namespace prefix
    bool leading = true;      // no unmarked row yet
    qsizetype headFrom = -1;  // the marked leading rows
    qsizetype headTo = -1;
};

struct Row {
    qsizetype from;
    bool direct;  // a child of its table, not of a group of rows
    bool marked = false;
};

// The reader counts UTF-16 units; the edits are made in the UTF-8 bytes. The byte position of
// each offset, asked in increasing order as the reader goes.
class BytePosition {
  public:
    explicit BytePosition(QByteArrayView utf8) : utf8_(utf8) {}
    qsizetype at(qsizetype units) {
        while (units_ < units && byte_ < utf8_.size()) {
            const auto lead = uchar(utf8_[byte_]);
            units_ += lead >= 0xF0 ? 2 : 1;  // four bytes: a surrogate pair
            byte_ += lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        }
        return byte_;
    }

  private:
    QByteArrayView utf8_;
    qsizetype units_ = 0;
    qsizetype byte_ = 0;
};

}  // namespace

MarkedRtf MarkHeadingRows(const QByteArray& rtf) {
    MarkedRtf marked;
    marked.prefix = QStringLiteral("orla_cabecalho_");
    while (rtf.contains(marked.prefix.toLatin1()))
        marked.prefix += QLatin1Char('x');
    bool heading = false;
    qsizetype copied = 0;
    for (qsizetype at = rtf.indexOf('\\'); at >= 0 && at + 1 < rtf.size();
         at = rtf.indexOf('\\', at)) {
        const qsizetype word = at + 1;
        qsizetype end = word;
        while (end < rtf.size() && IsLetter(rtf[end]))
            ++end;
        if (end == word) {  // a control symbol: \\, \{, \' and its digits are text
            at = word + 1;
            continue;
        }
        const QByteArrayView name(rtf.constData() + word, end - word);
        const qsizetype number = end;
        if (end < rtf.size() && rtf[end] == '-')
            ++end;
        while (end < rtf.size() && IsDigit(rtf[end]))
            ++end;
        if (name == "bin") {  // that many bytes of binary data follow the delimiter
            const qsizetype bytes = rtf.mid(number, end - number).toLongLong();
            end += (end < rtf.size() && rtf[end] == ' ' ? 1 : 0) + std::max<qsizetype>(bytes, 0);
        } else if (name == "trhdr") {
            heading = true;
        } else if (name == "trowd" || name == "row" || name == "nestrow") {
            heading = false;
        } else if (name == "cell" && heading) {
            const QByteArray marker =
                (marked.prefix + QString::number(++marked.markers)).toLatin1();
            marked.rtf += QByteArrayView(rtf).sliced(copied, at - copied);
            marked.rtf += "{\\*\\bkmkstart " + marker + "}{\\*\\bkmkend " + marker + "}";
            copied = at;
            heading = false;
        }
        at = end;
    }
    if (marked.markers == 0)
        marked.rtf = rtf;
    else
        marked.rtf += QByteArrayView(rtf).sliced(copied);
    return marked;
}

QByteArray RepeatMarkedRows(const QByteArray& fodt, const QString& prefix, int markers,
                            QString* error) {
    std::vector<Edit> edits;
    std::vector<Table> tables;
    std::vector<Row> rows;
    qsizetype depth = 0;
    qsizetype markerFrom = -1;
    int found = 0;
    BytePosition bytes(fodt);
    QXmlStreamReader reader(fodt);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token != QXmlStreamReader::StartElement && token != QXmlStreamReader::EndElement)
            continue;
        // Just past the tag's '>'; a start tag begins at the last '<' before it, as no
        // attribute value holds a raw '<'.
        const qsizetype offset = bytes.at(reader.characterOffset());
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const qsizetype from = fodt.lastIndexOf('<', offset - 1);
            if (reader.namespaceUri() == kTableNs && reader.name() == u"table") {
                const QByteArray qualified =
                    reader.prefix().isEmpty() ? QByteArray() : reader.prefix().toUtf8() + ':';
                tables.push_back({depth, qualified + "table-header-rows"});
            } else if (reader.namespaceUri() == kTableNs && reader.name() == u"table-row" &&
                       !tables.empty()) {
                rows.push_back({from, depth == tables.back().depth + 1});
            } else if (reader.namespaceUri() == kTextNs && reader.name().startsWith(u"bookmark") &&
                       reader.attributes()
                           .value(kTextNs, QLatin1String("name"))
                           .startsWith(prefix)) {
                if (rows.empty()) {
                    *error =
                        QStringLiteral("uma marca de linha de cabeçalho ficou fora de uma tabela.");
                    return {};
                }
                rows.back().marked = true;
                markerFrom = from;
                found += reader.name() == u"bookmark-end" ? 0 : 1;
            }
            continue;
        }
        --depth;
        if (markerFrom >= 0) {
            edits.push_back({markerFrom, offset, QByteArray()});
            markerFrom = -1;
        } else if (!tables.empty() && depth + 1 == tables.back().depth) {
            const Table& table = tables.back();
            if (table.headFrom >= 0) {
                edits.push_back({table.headFrom, table.headFrom, '<' + table.tag + '>'});
                edits.push_back({table.headTo, table.headTo, "</" + table.tag + '>'});
            }
            tables.pop_back();
        } else if (!rows.empty() && reader.namespaceUri() == kTableNs &&
                   reader.name() == u"table-row") {
            Table& table = tables.back();
            const Row& row = rows.back();
            if (row.marked && row.direct && table.leading) {
                table.headFrom = table.headFrom < 0 ? row.from : table.headFrom;
                table.headTo = offset;
            } else {
                table.leading = false;
            }
            rows.pop_back();
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral(
                     "não foi possível ler o documento intermédio do LibreOffice (linha %1): %2")
                     .arg(reader.lineNumber())
                     .arg(reader.errorString());
        return {};
    }
    if (found != markers) {
        *error = QStringLiteral(
                     "o documento intermédio do LibreOffice tem %1 das %2 marcas de linhas de "
                     "cabeçalho.")
                     .arg(found)
                     .arg(markers);
        return {};
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.from < b.from; });
    QByteArray result;
    result.reserve(fodt.size() + qsizetype(edits.size()) * 32);
    qsizetype copied = 0;
    for (const Edit& edit : edits) {
        result += QByteArrayView(fodt).sliced(copied, edit.from - copied);
        result += edit.text;
        copied = edit.to;
    }
    result += QByteArrayView(fodt).sliced(copied);
    return result;
}

}  // namespace orla
