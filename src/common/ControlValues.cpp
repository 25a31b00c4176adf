#include "common/ControlValues.h"

#include "common/Format.h"
#include "common/Separators.h"
#include "platform/db/Error.h"
#include "platform/db/Values.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <optional>

namespace orla {
namespace {

const char* const kTag = "Tag";
const char* const kStyle = "Style";

enum ComboStyle { DropDownCombo = 0, SimpleCombo = 1, DropDownList = 2 };

bool IsNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

bool IsNumericKind(int kind) {
    switch (kind) {
        case FormatNumber2:
        case FormatEuro2:
        case FormatPercent:
        case FormatWhole:
        case FormatEuro3:
        case FormatNumber3:
        case FormatEuro4:
            return true;
        default:
            return false;
    }
}

// The format string a kind shows its value with.
QString KindFormat(int kind) {
    switch (kind) {
        case FormatDate:
            return formats::kData;
        case FormatNumber2:
            return formats::kValor;
        case FormatEuro2:
            return formats::kEuro;
        case FormatPercent:
            return formats::kPercentagem;
        case FormatEuro3:
            return QStringLiteral("€ #,##0.000;€ -#,##0.000");
        case FormatNumber3:
            return QStringLiteral("#,##0.000;- #,##0.000");
        case FormatDateTime:
            return formats::kDataHora;
        case FormatEuro4:
            return QStringLiteral("€ #,##0.0000;€ -#,##0.0000");
        default:
            return {};
    }
}

// After typing, plain numbers show without a separate negative section.
QString LeavingFormat(int kind) {
    switch (kind) {
        case FormatNumber2:
            return QStringLiteral("#,##0.00");
        case FormatNumber3:
            return QStringLiteral("#,##0.000");
        default:
            return KindFormat(kind);
    }
}

// The value as a number when the numeric test accepts it; True reads as -1.
std::optional<double> NumberOf(const QVariant& value) {
    const std::optional<Decimal> number = NumeroLido(value);
    return number ? std::optional<double>(number->ToDouble()) : std::nullopt;
}

// The value as a whole number, when it is a number that fits 32 bits.
std::optional<qint32> WholeNumber(const QVariant& value) {
    const std::optional<double> number = NumberOf(value);
    std::optional<qint32> whole;
    if (number)
        Try([&] { whole = CLng(*number); });
    return whole;
}

// A text box or a label: the text it shows and its raw value.
class TextControl {
  public:
    static std::optional<TextControl> Of(QWidget* control) {
        auto* edit = qobject_cast<QLineEdit*>(control);
        auto* label = qobject_cast<QLabel*>(control);
        if (!edit && !label)
            return std::nullopt;
        return TextControl(control, edit, label);
    }

    bool IsLabel() const { return label_ != nullptr; }
    QString Text() const { return edit_ ? edit_->text() : label_->text(); }
    void SetText(const QString& text) const {
        if (edit_)
            edit_->setText(text);
        else
            label_->setText(text);
    }
    QString Tag() const { return control_->property(kTag).toString(); }
    void SetTag(const QString& tag) const { control_->setProperty(kTag, tag); }
    void SelectAll() const {
        if (edit_)
            edit_->setSelection(0, int(edit_->text().size()));
    }

  private:
    TextControl(QWidget* control, QLineEdit* edit, QLabel* label)
        : control_(control), edit_(edit), label_(label) {}
    QWidget* control_;
    QLineEdit* edit_;
    QLabel* label_;
};

// Cleans the raw value (currency sign, spaces, grouping marks) and shows it
// with the kind's format.
void ShowTagFormatted(const TextControl& control, int kind) {
    if (!IsNumericKind(kind))
        return;
    QString tag = control.Tag();
    if (kind != FormatPercent)
        tag.remove(QStringLiteral("€"));
    // Grouping marks go: blanks, the locale's thousands separator, and the
    // one of "," and "." that is not the decimal separator.
    tag.remove(u' ').remove(QChar(0x00A0)).remove(QChar(0x202F));
    const QString decimal = SeparadorDecimal();
    const QString thousands = SeparadorMilhares();
    if (thousands != decimal)
        tag.remove(thousands);
    if (decimal == QLatin1String(","))
        tag.remove(QLatin1Char('.'));
    else if (decimal == QLatin1String("."))
        tag.remove(QLatin1Char(','));
    control.SetTag(tag);
    if (tag.isEmpty())
        return;
    control.SetText(kind == FormatWhole ? tag : Format(tag, KindFormat(kind)));
}

void LoadText(const TextControl& control, const QVariant& value, int kind) {
    if (IsNull(value)) {
        control.SetText(QString());
        control.SetTag(QString());
        return;
    }
    const QString text = TextOf(value);
    switch (kind) {
        case FormatDate:
        case FormatDateTime: {
            const std::optional<QDateTime> date = ToDate(value);
            control.SetTag(QString());
            control.SetText(date ? Format(*date, KindFormat(kind)) : text);
            return;
        }
        case FormatText:
            control.SetTag(QString());
            control.SetText(text);
            return;
        case FormatWhole: {
            const std::optional<qint32> whole = WholeNumber(value);
            control.SetTag(text);
            control.SetText(whole ? QString::number(*whole) : text);
            return;
        }
        case FormatAuto:
            // A text value clears the raw value, so that it cannot be read
            // back as the number of an earlier record.
            control.SetTag(NumberOf(value) ? text : QString());
            control.SetText(text);
            return;
        default:
            if (IsNumericKind(kind)) {
                control.SetTag(text);
                ShowTagFormatted(control, kind);
            }
    }
}

// The raw value shown for editing.
QString EditingText(const QString& tag, int kind) {
    const std::optional<double> number = NumberOf(tag);
    if (!number)
        return tag;
    switch (kind) {
        case FormatPercent:
            return TextOf(float(*number * 100.0));
        case FormatWhole: {
            const std::optional<qint32> whole = WholeNumber(tag);
            return whole ? QString::number(*whole) : tag;
        }
        case FormatEuro3:
        case FormatNumber3:
            return TextOf(RoundHalfEven(*number, 3));
        case FormatEuro4:
            return TextOf(RoundHalfEven(*number, 4));
        default:
            return tag;
    }
}

// Combo boxes

int StyleOf(const QComboBox* combo) {
    const QVariant style = combo->property(kStyle);
    if (style.isValid())
        return style.toInt();
    return combo->isEditable() ? DropDownCombo : DropDownList;
}

int FindText(const QComboBox* combo, const QString& text) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text)
            return i;
    }
    return -1;
}

int FindComboData(const QComboBox* combo, double number) {
    for (int i = 0; i < combo->count(); ++i) {
        if (double(combo->itemData(i).toInt()) == number)
            return i;
    }
    return -1;
}

// Shows the text and selects the row that carries it, if any.
void ShowComboText(QComboBox* combo, const QString& text) {
    combo->setCurrentIndex(FindText(combo, text));
    combo->setEditText(text);
}

void LoadCombo(QComboBox* combo, const QVariant& value, int kind) {
    const int style = StyleOf(combo);
    if (style == SimpleCombo || (style == DropDownCombo && kind == FormatText)) {
        ShowComboText(combo, TextOf(value));
        return;
    }
    if (style == DropDownList && IsNull(value)) {
        combo->setCurrentIndex(-1);
        return;
    }
    const std::optional<double> number = NumberOf(value);
    const int row = number ? FindComboData(combo, *number) : FindText(combo, TextOf(value));
    if (row >= 0)
        combo->setCurrentIndex(row);
}

// Dates: 01-01-1900 stands for no date.

QDateTime DateOrNone(const QVariant& value) {
    const std::optional<QDateTime> date = IsNull(value) ? std::nullopt : ToDate(value);
    return date ? *date : WallClock(kNoDate);
}

// The date and time the picker shows, whatever its time zone.
QDateTime ShownDate(const QDateTimeEdit* edit) {
    return WallClock(edit->date(), edit->time());
}

// Widens the control's range when needed, so the value is held, not clamped.
void LoadDateEdit(QDateTimeEdit* edit, const QDateTime& date) {
    PrepararData(edit);
    if (date.date() < edit->minimumDate())
        edit->setMinimumDate(date.date());
    if (date.date() > edit->maximumDate())
        edit->setMaximumDate(date.date());
    edit->setDateTime(date);
}

}  // namespace

void PrepararData(QDateTimeEdit* edit) {
    if (edit->timeSpec() == Qt::UTC)
        return;
    // The shown value and the range keep their dates and times: only the zone goes.
    const QSignalBlocker quiet(edit);
    const QDateTime shown = ShownDate(edit);
    const QDateTime minimum = WallClock(edit->minimumDate(), edit->minimumTime());
    const QDateTime maximum = WallClock(edit->maximumDate(), edit->maximumTime());
    edit->setTimeSpec(Qt::UTC);
    edit->setDateTimeRange(minimum, maximum);
    edit->setDateTime(shown);
}

qint32 LongValue(const QVariant& value) {
    return CLng(CDbl(value));
}

void DefinirValorControlo(QWidget* control, const QVariant& value, int kind) {
    if (const std::optional<TextControl> text = TextControl::Of(control)) {
        LoadText(*text, value, kind);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        LoadCombo(combo, value, kind);
    } else if (auto* edit = qobject_cast<QDateTimeEdit*>(control)) {
        LoadDateEdit(edit, DateOrNone(value));
    }
}

std::optional<qint64> SelectedKey(const QComboBox* combo) {
    const QVariant key = combo->currentIndex() >= 0 ? combo->currentData() : QVariant();
    return key.isValid() ? std::optional<qint64>(key.toLongLong()) : std::nullopt;
}

void EntrarCampo(QWidget* control, int kind) {
    const std::optional<TextControl> text = TextControl::Of(control);
    if (!text || text->IsLabel())
        return;
    if (kind == FormatDate || (kind == FormatText && !text->Text().isEmpty())) {
        text->SelectAll();
    } else if (IsNumericKind(kind)) {
        const QString tag = text->Tag();
        if (tag.isEmpty()) {
            text->SetTag(QString());
            text->SetText(QString());
            return;
        }
        text->SetText(EditingText(tag, kind));
        text->SelectAll();
    }
}

void SairCampo(QWidget* control, int kind) {
    const std::optional<TextControl> text = TextControl::Of(control);
    const bool textBox = text && !text->IsLabel();
    if (textBox && IsNumericKind(kind)) {
        const QString typed = text->Text();
        if (typed.isEmpty())
            return;
        const std::optional<Decimal> number = NumeroLido(typed);
        const QString raw = number ? number->ToPlainText(SeparadorDecimal()) : QStringLiteral("0");
        if (kind == FormatWhole) {
            const QString whole = QString::number(LongValue(raw));
            text->SetTag(whole);
            text->SetText(whole);
            return;
        }
        const QString tag = kind == FormatPercent ? TextOf(float(CDbl(raw)) / 100.0f) : raw;
        text->SetTag(tag);
        text->SetText(Format(tag, LeavingFormat(kind)));
    } else if (kind == FormatText && (textBox || qobject_cast<QDateTimeEdit*>(control))) {
        control->setProperty(kTag, QString());
    }
}

void FormatarControlo(QWidget* control, int kind) {
    const std::optional<TextControl> text = TextControl::Of(control);
    if (text && !text->IsLabel())
        ShowTagFormatted(*text, kind);
}

}  // namespace orla
