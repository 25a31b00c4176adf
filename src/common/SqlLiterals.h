// SQL literals built from values, quote-safe text, and the display text of
// fields. Every value the component writes into a statement goes
// through SqlValue, so no value can end a literal early.
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace orla {

enum SqlKind {
    SqlDate = 1,   // CONVERT(DATETIME,'yyyy-mm-dd',102)
    SqlNumber,     // 1234.5
    SqlText,       // 'text'; blank is null
    SqlTextEmpty,  // 'text'; blank is ''
    SqlDateTime,   // CONVERT(DATETIME,'yyyy-mm-dd hh:mm:ss',102)
    SqlLike,       // '%any%words%'
    SqlNumber7,    // as SqlNumber
};

// ListValue kinds: how a field is shown.
enum ListKind {
    ListDate = 1,  // dd-mm-yyyy
    ListAmount,    // #,##0.00;- #,##0.00
    ListText,      // as it is
    ListEuro,      // € #,##0.00;€ -#,##0.00
    ListPercent,   // 0.00 %
    ListWhole,     // to a whole number (halves to even), #,##0
    ListDateTime,  // dd-mm-yyyy Hh:Nn:Ss
    ListIsoDate,   // yyyy-mm-dd
};

// The value as a literal of the kind, ready to be placed in a statement; "null"
// for Null, blank texts, values that are not of the kind, and the date 1 January
// 1900 (the system's "no date"). Texts lose their outer spaces; a NUL character
// cannot be carried by a literal and is dropped. Numbers are written with "." and
// a leading sign ("1.234,50" with "," decimals gives 1234.50, "12,5-" gives
// -12.5). An unknown kind gives an empty text.
QString SqlValue(const QVariant& value, int kind);

// Both replace every quote in the text by ' + CHAR(39) + ' (closing the literal,
// adding the quote, reopening it) and drop NUL characters; the text is changed
// in place and returned.
QString EscapeQuotes(QString& text);
QString ReplaceQuotes(QString& text);

// A key (an id column's value) as its literal: the number, or null for none.
QString SqlKey(const std::optional<qint64>& key);

// The text as a quoted literal, exactly as it is (outer spaces kept); quotes made safe as
// EscapeQuotes makes them.
QString QuotedText(QString text);

// A field's value shown by ListKind: one blank " " for Null (an empty cell
// still holds a blank); an empty text for an unknown kind. Throws OrlaError
// when a whole number is not a number or does not fit 32 bits.
QString ListValue(const QVariant& value, int kind);

}  // namespace orla
