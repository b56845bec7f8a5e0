#pragma once

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "kit/core/money.h"

namespace kit {

// How a value loses digits when it is brought to fewer decimals.
enum class Rounding {
    HalfAwayFromZero,  // 0,125 -> 0,13 and -0,125 -> -0,13 (the rule of the money columns)
    HalfEven,          // 0,125 -> 0,12, 0,135 -> 0,14
    TowardZero,        // the digits beyond are dropped
    AwayFromZero,      // any digit beyond rounds up in magnitude
};

// Raised when a result does not fit 18 digits or divides by zero; its message is fit
// to show.
class DecimalError : public std::overflow_error {
public:
    explicit DecimalError(const QString& message)
        : std::overflow_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// An exact decimal number: an integer mantissa of at most 18 digits and a scale
// (the number of those digits after the decimal mark, 0 to 18), as Firebird holds
// NUMERIC and DECIMAL values. Nothing passes through binary floating point.
// Sums and differences keep the larger scale; products and quotients are brought
// to the scale the caller names, rounded as the caller says.
class Decimal {
public:
    static constexpr int kMaxDigits = 18;
    static constexpr std::int64_t kMaxMantissa = 999'999'999'999'999'999;

    constexpr Decimal() = default;
    // Throws DecimalError when the mantissa has more than 18 digits or the scale is
    // outside 0..18.
    Decimal(std::int64_t mantissa, int scale);
    static Decimal fromInteger(std::int64_t n) { return Decimal(n, 0); }
    static Decimal fromMoney(Money m) { return Decimal(m.cents(), 2); }

    std::int64_t mantissa() const { return mantissa_; }
    int scale() const { return scale_; }
    bool isZero() const { return mantissa_ == 0; }
    bool isNegative() const { return mantissa_ < 0; }

    // The same value with another number of decimals; more decimals are exact (or
    // throw when the digits do not fit), fewer are rounded as asked.
    Decimal rescaled(int scale, Rounding rounding = Rounding::HalfAwayFromZero) const;
    // The only ways to money and to whole numbers: rounding is always named.
    // Throw DecimalError when the value does not fit numeric(15,2) or 64 bits.
    Money toMoney(Rounding rounding) const;
    std::int64_t toInteger(Rounding rounding) const;

    Decimal operator-() const { return Decimal(-mantissa_, scale_); }
    Decimal operator+(const Decimal& o) const;
    Decimal operator-(const Decimal& o) const;
    // Product and quotient brought to the scale given.
    Decimal multiplied(const Decimal& o, int scale,
                       Rounding rounding = Rounding::HalfAwayFromZero) const;
    Decimal divided(const Decimal& o, int scale,
                    Rounding rounding = Rounding::HalfAwayFromZero) const;

    // Compares values, whatever their scales: 1,50 equals 1,5.
    std::strong_ordering operator<=>(const Decimal& o) const;
    bool operator==(const Decimal& o) const { return std::is_eq(*this <=> o); }

    // Reads a number written the Brazilian way: "1.234,5678", "-0,001", "12", "R$ 3,5";
    // a dot grouping thousands is dropped; with no comma, a dot that does not group
    // thousands is taken as the decimal mark ("1234.5"). The scale is the number of
    // decimals written. No value for anything else or beyond 18 digits.
    static std::optional<Decimal> parse(const QString& text);
    // "1.234,5678" (thousands grouped by ".", decimal mark ","), every decimal of the scale.
    QString toString() const;
    // "1234.5678", as scripts and logs write it.
    QString toPlain() const;

private:
    std::int64_t mantissa_ = 0;
    int scale_ = 0;
};

// Message shown when a number does not fit the column it is written to.
QString decimalOutOfRangeMessage(const QString& field);

}  // namespace kit

Q_DECLARE_METATYPE(kit::Decimal)
