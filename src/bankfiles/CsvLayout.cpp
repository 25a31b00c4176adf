#include "bankfiles/CsvLayout.h"

#include "bankfiles/BankFileText.h"

#include <QRegularExpression>

namespace orla {
namespace {

struct Record {
    int line = 0;  // the file's line where the record starts, from 1
    QStringList cells;
};

// Records split at separator, quotes ("a;b", "" for a quote) kept together across lines.
// unterminated is set when the text ends inside quotes.
QList<Record> SplitRecords(const QString& text, QChar separator, bool* unterminated) {
    QList<Record> records;
    Record record{1, {}};
    QString cell;
    bool quoted = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                cell += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                cell += c;
            if (c == u'\n')
                ++line;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            record.cells.append(cell.trimmed());
            cell.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            record.cells.append(cell.trimmed());
            records.append(record);
            cell.clear();
            record = {++line, {}};
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !record.cells.isEmpty()) {
        record.cells.append(cell.trimmed());
        records.append(record);
    }
    *unterminated = quoted;
    return records;
}

QString Cell(const Record& r, int column) {
    return column >= 0 && column < r.cells.size() ? r.cells[column] : QString();
}

bool Blank(const Record& r) {
    for (const QString& cell : r.cells)
        if (!cell.isEmpty())
            return false;
    return true;
}

// A title without accents, case, currency or punctuation: "Data Mov." -> "data mov".
QString TitleKey(const QString& title) {
    QString key;
    for (const QChar c : title.normalized(QString::NormalizationForm_D).toLower())
        if (c.isLetterOrNumber() && c.category() != QChar::Mark_NonSpacing)
            key += c;
        else if (c.isSpace() || c == u'.' || c == u'-' || c == u'_')
            key += u' ';
    key = key.simplified();
    key.remove(QRegularExpression(QStringLiteral("\\s*\\beur\\b")));
    return key.trimmed();
}

enum class Role { None, Booking, Value, Description, Reference, Amount, Debit, Credit };

Role RoleOf(const QString& title) {
    static const QList<std::pair<Role, QStringList>> names{
        {Role::Booking,
         {QStringLiteral("data"), QStringLiteral("data mov"), QStringLiteral("data movimento"),
          QStringLiteral("data do movimento"), QStringLiteral("data lancamento"),
          QStringLiteral("data de lancamento"), QStringLiteral("data operacao"),
          QStringLiteral("data da operacao"), QStringLiteral("data contabilistica"),
          QStringLiteral("data lanc")}},
        {Role::Value,
         {QStringLiteral("data valor"), QStringLiteral("data de valor"), QStringLiteral("dt valor"),
          QStringLiteral("data valoracao")}},
        {Role::Description,
         {QStringLiteral("descricao"), QStringLiteral("descritivo"), QStringLiteral("designacao"),
          QStringLiteral("movimento"), QStringLiteral("descricao do movimento"),
          QStringLiteral("historico")}},
        {Role::Reference,
         {QStringLiteral("referencia"), QStringLiteral("ref"), QStringLiteral("n documento"),
          QStringLiteral("documento"), QStringLiteral("n cheque"), QStringLiteral("cheque")}},
        {Role::Amount,
         {QStringLiteral("montante"), QStringLiteral("valor"), QStringLiteral("importancia")}},
        {Role::Debit, {QStringLiteral("debito"), QStringLiteral("debitos")}},
        {Role::Credit, {QStringLiteral("credito"), QStringLiteral("creditos")}},
    };
    const QString key = TitleKey(title);
    for (const auto& [role, keys] : names)
        if (keys.contains(key))
            return role;
    return Role::None;
}

// The layout's columns from a row of titles; nothing without a date and an amount.
std::optional<CsvLayout> ColumnsFromTitles(const Record& titles) {
    CsvLayout layout;
    for (int column = 0; column < titles.cells.size(); ++column) {
        int* slot = nullptr;
        switch (RoleOf(titles.cells[column])) {
            case Role::Booking:
                slot = &layout.booking;
                break;
            case Role::Value:
                slot = &layout.value;
                break;
            case Role::Description:
                slot = &layout.description;
                break;
            case Role::Reference:
                slot = &layout.reference;
                break;
            case Role::Amount:
                slot = &layout.amount;
                break;
            case Role::Debit:
                slot = &layout.debit;
                break;
            case Role::Credit:
                slot = &layout.credit;
                break;
            case Role::None:
                break;
        }
        if (slot && *slot < 0)
            *slot = column;
    }
    const bool amounts = layout.amount >= 0 || (layout.debit >= 0 && layout.credit >= 0);
    if (layout.booking < 0 || !amounts)
        return std::nullopt;
    if (layout.debit >= 0 && layout.credit >= 0)
        layout.amount = -1;
    return layout;
}

// The amount as written, blanks, "€" and grouping ("1.234,56") taken out.
std::optional<Money> CsvAmount(QString text, QChar decimalMark) {
    text.remove(QRegularExpression(QStringLiteral("[\\s\\x{00A0}\\x{202F}€]")));
    const QChar group = decimalMark == u',' ? u'.' : u',';
    static const QRegularExpression grouped(
        QStringLiteral("^[+-]?\\d{1,3}(?:G\\d{3})+(?:D\\d*)?$"));
    const QString form = grouped.pattern()
                             .replace(u'G', QRegularExpression::escape(group))
                             .replace(u'D', QRegularExpression::escape(decimalMark));
    if (text.contains(group) && QRegularExpression(form).match(text).hasMatch())
        text.remove(group);
    return ParseBankAmount(text, decimalMark);
}

// The records of the table: from skipLines to a blank record, or to one that is neither
// dated (in dateFormats) nor holds an amount, as the totals banks add after the table.
QList<Record> TableRows(const QList<Record>& records, const CsvLayout& layout,
                        const QStringList& dateFormats) {
    QList<Record> rows;
    for (qsizetype i = layout.skipLines; i < records.size(); ++i) {
        const Record& r = records[i];
        const QString booking = Cell(r, layout.booking);
        const bool dated =
            std::any_of(dateFormats.begin(), dateFormats.end(),
                        [&](const QString& f) { return ParseBankDate(booking, f).has_value(); });
        const bool amounts = !Cell(r, layout.amount).isEmpty() ||
                             !Cell(r, layout.debit).isEmpty() || !Cell(r, layout.credit).isEmpty();
        if (Blank(r) || (!dated && !amounts))
            break;
        rows.append(r);
    }
    return rows;
}

// The decimal mark, date format and debit sign of the rows; false when no date reads.
bool FitToRows(const QList<Record>& rows, CsvLayout& layout) {
    QStringList amounts;
    for (const Record& r : rows)
        for (const int column : {layout.amount, layout.debit, layout.credit})
            if (!Cell(r, column).isEmpty())
                amounts.append(Cell(r, column));
    static const QRegularExpression pointDecimals(QStringLiteral("\\d\\.\\d{1,2}$"));
    static const QRegularExpression commaDecimals(QStringLiteral("\\d,\\d{1,4}$"));
    const bool comma = std::any_of(amounts.begin(), amounts.end(), [](const QString& a) {
        return commaDecimals.match(a).hasMatch();
    });
    const bool point = std::any_of(amounts.begin(), amounts.end(), [](const QString& a) {
        return pointDecimals.match(a).hasMatch();
    });
    layout.decimalMark = point && !comma ? u'.' : u',';
    for (const Record& r : rows)
        if (const auto debit = CsvAmount(Cell(r, layout.debit), layout.decimalMark))
            layout.debitPositive = layout.debitPositive && *debit >= Money();
    // The format that reads the most dates; the reader then names a line it cannot read.
    qsizetype best = 0;
    for (const QString& format : CsvDateFormats()) {
        const qsizetype read = std::count_if(rows.begin(), rows.end(), [&](const Record& r) {
            return ParseBankDate(Cell(r, layout.booking), format).has_value();
        });
        if (read > best)
            best = read, layout.dateFormat = format;
    }
    return best > 0 || rows.isEmpty();
}

}  // namespace

const QStringList& CsvDateFormats() {
    static const QStringList formats{QStringLiteral("dd-MM-yyyy"), QStringLiteral("dd/MM/yyyy"),
                                     QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd.MM.yyyy"),
                                     QStringLiteral("yyyy/MM/dd")};
    return formats;
}

std::optional<CsvLayout> DetectCsvLayout(const QByteArray& bytes) {
    const QString text = BankFileString(bytes);
    for (const QChar separator : {u';', u'\t', u','}) {
        bool unterminated = false;
        const QList<Record> records = SplitRecords(text, separator, &unterminated);
        for (qsizetype i = 0; i < records.size() && i < 40; ++i) {
            std::optional<CsvLayout> layout = ColumnsFromTitles(records[i]);
            if (!layout)
                continue;
            layout->separator = separator;
            layout->skipLines = int(i + 1);
            if (FitToRows(TableRows(records, *layout, CsvDateFormats()), *layout))
                return layout;
        }
    }
    return std::nullopt;
}

BankStatement ReadCsv(const QByteArray& bytes, const CsvLayout& layout) {
    bool unterminated = false;
    const QList<Record> records =
        SplitRecords(BankFileString(bytes), layout.separator, &unterminated);
    if (unterminated)
        BankFileLineFault(records.isEmpty() ? 1 : records.last().line,
                          QStringLiteral("aspas por fechar; o ficheiro parece incompleto."));
    BankStatement out;
    out.format = QStringLiteral("CSV");
    for (const Record& r : TableRows(records, layout, {layout.dateFormat})) {
        const auto needed = {layout.booking, layout.value, layout.description, layout.reference,
                             layout.amount,  layout.debit, layout.credit};
        const int widest = *std::max_element(needed.begin(), needed.end());
        if (widest >= r.cells.size())
            BankFileLineFault(r.line, QStringLiteral("tem %1 colunas e falta a coluna %2.")
                                          .arg(r.cells.size())
                                          .arg(widest + 1));
        BankLine line;
        line.position = r.line;
        const auto date = [&](int column) {
            const std::optional<QDate> d = ParseBankDate(Cell(r, column), layout.dateFormat);
            if (!d)
                BankFileLineFault(r.line,
                                  QStringLiteral("data inválida %1.").arg(Quoted(Cell(r, column))));
            return *d;
        };
        const auto amount = [&](int column) -> std::optional<Money> {
            if (column < 0 || Cell(r, column).isEmpty())
                return std::nullopt;
            const std::optional<Money> a = CsvAmount(Cell(r, column), layout.decimalMark);
            if (!a)
                BankFileLineFault(
                    r.line, QStringLiteral("montante inválido %1.").arg(Quoted(Cell(r, column))));
            return a;
        };
        line.booking = date(layout.booking);
        if (!Cell(r, layout.value).isEmpty())
            line.value = date(layout.value);
        line.text = Cell(r, layout.description);
        line.reference = Cell(r, layout.reference);
        if (layout.amount >= 0) {
            const std::optional<Money> signedAmount = amount(layout.amount);
            if (!signedAmount)
                BankFileLineFault(r.line, QStringLiteral("montante em falta."));
            line.credit = *signedAmount > Money();
            line.amount = Magnitude(*signedAmount);
        } else {
            const std::optional<Money> debit = amount(layout.debit);
            const std::optional<Money> credit = amount(layout.credit);
            if (debit && credit && *debit != Money() && *credit != Money())
                BankFileLineFault(r.line, QStringLiteral("tem débito e crédito."));
            if (!debit && !credit)
                BankFileLineFault(r.line, QStringLiteral("montante em falta."));
            // Signed as the file writes it: a negative credit, or a debit against the
            // column's sign, turns the movement round (a reversal).
            const Money debitSigned = debit ? (layout.debitPositive ? -*debit : *debit) : Money();
            const Money signedAmount = credit && *credit != Money() ? *credit : debitSigned;
            line.credit = signedAmount > Money();
            line.amount = Magnitude(signedAmount);
        }
        out.lines.append(line);
    }
    if (out.lines.isEmpty())
        BankFileFault(QStringLiteral("Não foram encontrados movimentos no ficheiro CSV a partir da "
                                     "linha %1.")
                          .arg(layout.skipLines + 1));
    return out;
}

}  // namespace orla
