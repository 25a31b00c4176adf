// Moving values between the windows' input controls and the rest of the
// program with one vocabulary of format kinds: load a database value into a
// control, give the raw value back for editing on entry and format it again
// on leaving. Statements are built from typed values, never from a control.
//
// Controls: text box QLineEdit (raw value in the "Tag" property), label
// QLabel (its text is the caption, also with a "Tag"), combo box QComboBox
// (style from the "Style" property: 0 drop-down combo, 1 simple combo,
// 2 drop-down list; by default 0 when editable, 2 when not) and date picker
// QDateTimeEdit. The key of a list row is its Qt::UserRole data. Other
// widgets are left alone.
//
// Dates are the server's wall-clock values and are never converted: a date
// picker loaded here shows the stored date and time and gives them back.
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class QDateTimeEdit;
class QComboBox;
class QWidget;

namespace orla {

enum FormatKind : int {
    FormatAuto = 0,      // numbers as they are, text as it is
    FormatDate = 1,      // "dd-mm-yyyy"
    FormatNumber2 = 2,   // "#,##0.00;- #,##0.00"
    FormatText = 3,      // the text as it is
    FormatEuro2 = 4,     // "€ #,##0.00;€ -#,##0.00"
    FormatPercent = 5,   // "0.00 %", the raw value being the fraction
    FormatWhole = 6,     // a whole number
    FormatEuro3 = 7,     // "€ #,##0.000;€ -#,##0.000"
    FormatNumber3 = 8,   // "#,##0.000;- #,##0.000"
    FormatDateTime = 9,  // "dd-mm-yyyy Hh:Nn:Ss"
    FormatEuro4 = 10,    // "€ #,##0.0000;€ -#,##0.0000"
};

// Puts the value (an invalid or null QVariant for Null) into the control.
void DefinirValorControlo(QWidget* control, const QVariant& value, int kind);

// The key (item data) of the item chosen in a list, none when nothing is chosen.
std::optional<qint64> SelectedKey(const QComboBox* combo);

// On entering a field: shows the raw value for editing and selects it.
void EntrarCampo(QWidget* control, int kind);

// On leaving a field: validates the typed text, keeps the raw value in
// "Tag" and shows it formatted. Throws OrlaError 6 when a whole number does
// not fit 32 bits; the field then keeps what was typed.
void SairCampo(QWidget* control, int kind);

// Shows a text box's "Tag" formatted in its text (numeric kinds only).
void FormatarControlo(QWidget* control, int kind);

// Makes a date picker show and give back wall-clock values (WallClock) with no
// time zone applied, keeping what it shows. DefinirValorControlo does this
// for every picker it loads; a window that sets a picker's value itself calls
// it once when it builds the picker.
void PrepararData(QDateTimeEdit* edit);

// The value as a 32-bit whole number, to the nearest and halves to the even
// one. Throws OrlaError 94 for Null, 13 when not numeric, 6 when too large.
qint32 LongValue(const QVariant& value);

}  // namespace orla
