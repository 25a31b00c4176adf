#include "common/NumberFormat.h"

#include "common/FormatText.h"
#include "common/Separators.h"

namespace orla {
namespace {

struct NumberSection {
    QString prefix;  // text before the first digit code
    QString suffix;  // all other text
    bool digits = false;
    int wholeZeros = 0;
    bool grouped = false;
    bool decimalPoint = false;
    int fractionZeros = 0;   // fraction digits always shown
    int fractionPlaces = 0;  // all fraction digit codes
    bool percent = false;
};

NumberSection ReadSection(const QList<FormatChar>& chars) {
    NumberSection s;
    for (const FormatChar& fc : chars) {
        const bool code = !fc.literal;
        if (code && (fc.c == u'0' || fc.c == u'#')) {
            s.digits = true;
            if (s.decimalPoint) {
                ++s.fractionPlaces;
                if (fc.c == u'0')
                    s.fractionZeros = s.fractionPlaces;
            } else if (fc.c == u'0') {
                ++s.wholeZeros;
            }
        } else if (code && fc.c == u'.' && !s.decimalPoint) {
            s.digits = true;
            s.decimalPoint = true;
        } else if (code && fc.c == u',' && s.digits && !s.decimalPoint) {
            s.grouped = true;
        } else {
            s.percent = s.percent || (code && fc.c == u'%');
            (s.digits ? s.suffix : s.prefix) += fc.c;
        }
    }
    return s;
}

// The value's size as the section shows it, rounded to its decimals.
Decimal Magnitude(const NumberSection& s, const Decimal& value) {
    const Decimal magnitude = s.percent ? value.Abs().Shifted(2) : value.Abs();
    return magnitude.Rounded(s.fractionPlaces, Decimal::Halves::AwayFromZero);
}

QString Grouped(const QString& whole) {
    const QString separator = SeparadorMilhares();
    QString text;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            text += separator;
        text += whole[i];
    }
    return text;
}

QString Written(const NumberSection& s, const Decimal& magnitude) {
    if (!s.digits)
        return s.prefix;
    QString whole = magnitude.WholeDigits().rightJustified(s.wholeZeros, u'0');
    QString text = s.prefix + (s.grouped ? Grouped(whole) : whole);
    if (s.decimalPoint) {
        QString fraction = magnitude.FractionDigits(s.fractionPlaces);
        while (fraction.size() > s.fractionZeros && fraction.endsWith(u'0'))
            fraction.chop(1);
        text += SeparadorDecimal() + fraction;
    }
    return text + s.suffix;
}

}  // namespace

QString FormatNumber(const Decimal& value, const QString& format) {
    const QList<QList<FormatChar>>& sections = SectionsOnce(format);
    const bool negativeSection = sections.size() > 1 && !sections[1].isEmpty();
    if (value.IsNegative()) {
        const NumberSection negative = ReadSection(sections[negativeSection ? 1 : 0]);
        const Decimal magnitude = Magnitude(negative, value);
        if (!magnitude.IsZero())
            return (negativeSection ? QString() : QStringLiteral("-")) +
                   Written(negative, magnitude);
    }
    const NumberSection positive = ReadSection(sections[0]);
    return Written(positive, Magnitude(positive, value));
}

}  // namespace orla
