#include "bankfiles/CsvLayoutSettings.h"

#include "common/Registry.h"
#include "context/Context.h"

namespace orla {
namespace {

QString SettingsKey() {
    return QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Fortevia\\") + Context().ProgramKey;
}

QString ValueName(int account) {
    return QStringLiteral("FormatoCsv_%1").arg(account);
}

// "1;59;44;dd-MM-yyyy;3;0;1;2;-1;3;-1;-1;1": version, separator and decimal mark as
// character codes, date format, lines to skip, the seven columns, debits positive.
QString CsvLayoutText(const CsvLayout& l) {
    QStringList parts{QStringLiteral("1"), QString::number(l.separator.unicode()),
                      QString::number(l.decimalMark.unicode()), l.dateFormat,
                      QString::number(l.skipLines)};
    for (const int column :
         {l.booking, l.value, l.description, l.reference, l.amount, l.debit, l.credit})
        parts.append(QString::number(column));
    parts.append(l.debitPositive ? QStringLiteral("1") : QStringLiteral("0"));
    return parts.join(u';');
}

std::optional<CsvLayout> CsvLayoutFromText(const QString& text) {
    const QStringList parts = text.split(u';');
    if (parts.size() != 13 || parts[0] != u"1" || !CsvDateFormats().contains(parts[3]))
        return std::nullopt;
    QList<int> numbers;
    for (qsizetype i : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
        bool ok = false;
        numbers.append(parts[i].toInt(&ok));
        if (!ok || numbers.last() < -1 || numbers.last() > 0xFFFF)
            return std::nullopt;
    }
    CsvLayout l;
    l.separator = QChar(char16_t(numbers[0]));
    l.decimalMark = QChar(char16_t(numbers[1]));
    l.dateFormat = parts[3];
    l.skipLines = numbers[2];
    int* columns[] = {&l.booking, &l.value, &l.description, &l.reference,
                      &l.amount,  &l.debit, &l.credit};
    for (int i = 0; i < 7; ++i)
        *columns[i] = numbers[3 + i];
    l.debitPositive = numbers[10] == 1;
    const bool marks = QStringLiteral(";,\t").contains(l.separator) &&
                       (l.decimalMark == u',' || l.decimalMark == u'.');
    const bool amounts = l.amount >= 0 || (l.debit >= 0 && l.credit >= 0);
    if (!marks || l.skipLines < 0 || l.booking < 0 || !amounts || numbers[10] < 0 ||
        numbers[10] > 1)
        return std::nullopt;
    return l;
}

}  // namespace

std::optional<CsvLayout> LoadCsvLayout(int account) {
    const OptionalString text = ObterValorString(SettingsKey(), ValueName(account));
    return text ? CsvLayoutFromText(*text) : std::nullopt;
}

bool SaveCsvLayout(int account, const CsvLayout& layout) {
    return DefinirValorString(SettingsKey(), ValueName(account), CsvLayoutText(layout));
}

}  // namespace orla
