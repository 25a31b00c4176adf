// Exact money: whole ten-thousandths, like the server's money type.
#pragma once

#include <QVariant>

#include <compare>
#include <optional>

namespace orla {

class Money {
  public:
    constexpr Money() = default;
    // The nearest ten-thousandth (halves away from zero) of a number or numeric
    // text ("1234.5", "1234,50", "-12,3456"; read exactly, either mark as the decimal
    // one, no grouping). Nothing for other values, booleans, or beyond the range.
    // A double is read to 15 significant digits, so 0.1 is exactly 1000 units.
    static std::optional<Money> FromVariant(const QVariant& value);

    constexpr qint64 Units() const { return units_; }
    double ToDouble() const { return double(units_) / 10000.0; }
    // Rounded to whole cents, halves to the even cent.
    Money RoundedToCents() const;
    // Rounded to whole cents, halves away from zero, as the euro formats show it.
    Money RoundedToCentsAsShown() const;

    constexpr Money operator+(Money other) const { return Money(units_ + other.units_); }
    constexpr Money operator-(Money other) const { return Money(units_ - other.units_); }
    constexpr Money operator-() const { return Money(-units_); }
    Money& operator+=(Money other) {
        units_ += other.units_;
        return *this;
    }
    Money& operator-=(Money other) {
        units_ -= other.units_;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

  private:
    constexpr explicit Money(qint64 units) : units_(units) {}
    qint64 units_ = 0;
};

}  // namespace orla
