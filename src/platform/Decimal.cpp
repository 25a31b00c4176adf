#include "platform/Decimal.h"

#include <algorithm>
#include <cmath>

namespace orla {
namespace {

// Larger exponents are refused: no double reaches ten to the power of 400.
constexpr int kMaxExponent = 400;

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Adds one to a run of decimal digits ("" counts as zero).
QString PlusOne(QString digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return u'1' + digits;
}

QString WithoutLeadingZeros(const QString& digits) {
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == u'0')
        ++first;
    return digits.sliced(first);
}

}  // namespace

std::optional<Decimal> Decimal::FromDouble(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    return Parse(QString::number(value, 'g', 15), u".", u"");
}

std::optional<Decimal> Decimal::FromNumericVariant(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
        case QMetaType::Bool:
            return Parse(value.toBool() ? u"-1" : u"0", u".", u"");
        case QMetaType::Double:
            return FromDouble(value.toDouble());
        case QMetaType::Float:
            // Single precision carries seven significant digits.
            return Parse(QString::number(double(value.toFloat()), 'g', 7), u".", u"");
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return Parse(value.toString(), u".", u"");
        default:
            return std::nullopt;
    }
}

std::optional<Decimal> Decimal::Parse(QStringView text, QStringView decimalSeparator,
                                      QStringView groupSeparator) {
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool signSeen = false;
    Decimal result;
    const auto readSign = [&] {
        if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
            result.negative_ = t[i] == u'-';
            signSeen = true;
            ++i;
            while (i < t.size() && t[i].isSpace())
                ++i;
        }
    };
    readSign();

    QString digits;
    int fractionDigits = 0;
    bool inFraction = false;
    while (i < t.size()) {
        if (IsAsciiDigit(t[i])) {
            digits += t[i++];
            fractionDigits += inFraction ? 1 : 0;
        } else if (!inFraction && t.sliced(i).startsWith(decimalSeparator)) {
            inFraction = true;
            i += decimalSeparator.size();
        } else if (!inFraction && !digits.isEmpty() && !groupSeparator.isEmpty() &&
                   t.sliced(i).startsWith(groupSeparator)) {
            i += groupSeparator.size();
        } else {
            break;
        }
    }
    if (digits.isEmpty())
        return std::nullopt;

    int exponent = 0;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        const bool negativeExponent = i < t.size() && t[i] == u'-';
        if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
            ++i;
        const qsizetype start = i;
        while (i < t.size() && IsAsciiDigit(t[i])) {
            exponent = exponent * 10 + t[i++].digitValue();
            if (exponent > kMaxExponent)
                return std::nullopt;
        }
        if (i == start)
            return std::nullopt;
        exponent = negativeExponent ? -exponent : exponent;
    }
    while (i < t.size() && t[i].isSpace())
        ++i;
    if (!signSeen)
        readSign();
    if (i != t.size())
        return std::nullopt;

    result.digits_ = WithoutLeadingZeros(digits);
    result.exponent_ = exponent - fractionDigits;
    return result;
}

Decimal Decimal::Abs() const {
    Decimal result = *this;
    result.negative_ = false;
    return result;
}

Decimal Decimal::Shifted(int places) const {
    Decimal result = *this;
    result.exponent_ += places;
    return result;
}

Decimal Decimal::Rounded(int decimals, Halves halves) const {
    const qsizetype drop = qsizetype(-decimals) - exponent_;
    if (drop <= 0)
        return *this;
    const qsizetype length = digits_.size();
    const QString kept = drop >= length ? QString() : digits_.left(length - drop);
    // When more digits go than there are, the first one dropped is a zero: less than half.
    bool up = false;
    if (drop <= length) {
        const QString gone = digits_.right(drop);
        const QStringView after = QStringView(gone).sliced(1);
        const bool beyondHalf =
            std::any_of(after.begin(), after.end(), [](QChar c) { return c != u'0'; });
        if (gone.front() > u'5' || (gone.front() == u'5' && beyondHalf))
            up = true;
        else if (gone.front() == u'5')
            up = halves == Halves::AwayFromZero ||
                 (!kept.isEmpty() && kept.back().digitValue() % 2 == 1);
    }
    Decimal result;
    result.negative_ = negative_;
    result.digits_ = WithoutLeadingZeros(up ? PlusOne(kept) : kept);
    result.exponent_ = -decimals;
    return result;
}

QString Decimal::WholeDigits() const {
    if (exponent_ >= 0)
        return digits_.isEmpty() ? QString() : digits_ + QString(exponent_, u'0');
    const qsizetype whole = digits_.size() + exponent_;
    return whole > 0 ? digits_.left(whole) : QString();
}

QString Decimal::FractionDigits(int count) const {
    QString fraction;
    if (exponent_ < 0) {
        const qsizetype places = -exponent_;
        fraction = places > digits_.size() ? QString(places - digits_.size(), u'0') + digits_
                                           : digits_.right(places);
    }
    return fraction.leftJustified(count, u'0', true);
}

QString Decimal::ToPlainText(QStringView decimalSeparator) const {
    QString text = negative_ ? QStringLiteral("-") : QString();
    const QString whole = WholeDigits();
    text += whole.isEmpty() ? QStringLiteral("0") : whole;
    if (exponent_ < 0)
        text += decimalSeparator.toString() + FractionDigits(-exponent_);
    return text;
}

double Decimal::ToDouble() const {
    const QString digits = digits_.isEmpty() ? QStringLiteral("0") : digits_;
    const double magnitude = QStringLiteral("%1e%2").arg(digits).arg(exponent_).toDouble();
    return negative_ ? -magnitude : magnitude;
}

std::optional<qint64> Decimal::WholeToInt64() const {
    const QString whole = WholeDigits();
    if (whole.isEmpty())
        return 0;
    bool ok = false;
    const qint64 value = ((negative_ ? QStringLiteral("-") : QString()) + whole).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

}  // namespace orla
