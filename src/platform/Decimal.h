// Exact decimal numbers for reading, rounding and writing the values the
// system formats: digits as written, never passed through binary floating
// point, so 2.675 rounds as the decimal 2.675 it is.
#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace orla {

class Decimal {
  public:
    enum class Halves { AwayFromZero, ToEven };

    // The double to 15 significant digits, as the original platform writes doubles
    // (0.1 + 0.2 is 0.3, 2.675 is 2.675); nothing for NaN or infinity.
    static std::optional<Decimal> FromDouble(double value);
    // A value of a numeric type: integers, doubles, single precision to seven
    // significant digits, and true as -1 and false as 0 (as the original platform
    // converts them); nothing for any other type.
    static std::optional<Decimal> FromNumericVariant(const QVariant& value);
    // Text as the original platform's numeric conversion reads it: blanks around,
    // one sign in front or behind ("12,5-"), the group separator among the whole
    // digits, the decimal separator, an exponent ("1E3"). An empty group separator
    // accepts no grouping. Nothing when the text is not such a number or its exponent
    // is beyond 400, further than any double reaches.
    static std::optional<Decimal> Parse(QStringView text, QStringView decimalSeparator,
                                        QStringView groupSeparator);

    bool IsNegative() const { return negative_; }
    bool IsZero() const { return digits_.isEmpty(); }
    Decimal Abs() const;
    // The value times ten to the power of places.
    Decimal Shifted(int places) const;
    Decimal Rounded(int decimals, Halves halves) const;

    // The whole part's digits without leading zeros (empty for less than one).
    QString WholeDigits() const;
    // The first count digits after the decimal point, padded with zeros.
    QString FractionDigits(int count) const;
    // "-1234.50": sign, whole digits (at least "0"), and the fraction's digits as
    // written after the separator. Never an exponent.
    QString ToPlainText(QStringView decimalSeparator = u".") const;
    double ToDouble() const;
    // The whole part as an integer; nothing when it does not fit.
    std::optional<qint64> WholeToInt64() const;

  private:
    bool negative_ = false;
    QString digits_;    // no leading zeros; empty for zero
    int exponent_ = 0;  // value = digits_ x 10^exponent_
};

}  // namespace orla
