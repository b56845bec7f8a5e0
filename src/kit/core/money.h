#pragma once

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace kit {

// An amount of reais held as an exact number of centavos.
// Everything that carries money through the program uses this type: the database
// columns numeric(15,2), the edit boxes, the totals and the printed pages.
class Money {
public:
    // numeric(15,2): thirteen integer digits and two decimals.
    static constexpr std::int64_t kMaxCents = 999'999'999'999'999;
    static constexpr std::int64_t kMaxReais = kMaxCents / 100;

    constexpr Money() = default;
    static constexpr Money fromCents(std::int64_t cents) { return Money(cents); }
    // Whole reais; the range is checked before multiplying, so no amount wraps
    // around: beyond numeric(15,2) it throws std::out_of_range.
    static constexpr Money fromReais(std::int64_t reais) {
        if (reais > kMaxReais || reais < -kMaxReais)
            throw std::out_of_range("Money::fromReais: beyond numeric(15,2)");
        return Money(reais * 100);
    }
    // The same without throwing: no value beyond numeric(15,2).
    static constexpr std::optional<Money> fromReaisChecked(std::int64_t reais) {
        if (reais > kMaxReais || reais < -kMaxReais)
            return std::nullopt;
        return Money(reais * 100);
    }

    constexpr std::int64_t cents() const { return cents_; }
    constexpr bool isZero() const { return cents_ == 0; }
    constexpr bool isNegative() const { return cents_ < 0; }
    // True while the amount fits numeric(15,2).
    constexpr bool fitsColumn() const { return cents_ <= kMaxCents && cents_ >= -kMaxCents; }

    constexpr Money operator-() const { return Money(-cents_); }
    constexpr Money operator+(Money o) const { return Money(cents_ + o.cents_); }
    constexpr Money operator-(Money o) const { return Money(cents_ - o.cents_); }
    // Throws std::out_of_range instead of wrapping around 64 bits.
    constexpr Money operator*(std::int64_t n) const {
        std::int64_t r = 0;
        if (__builtin_mul_overflow(cents_, n, &r))
            throw std::out_of_range("Money: product beyond 64 bits");
        return Money(r);
    }
    Money& operator+=(Money o) {
        cents_ += o.cents_;
        return *this;
    }
    Money& operator-=(Money o) {
        cents_ -= o.cents_;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

    // Reads an amount typed the Brazilian way: "1.234,56", "1234,56", "R$ 10,00",
    // "-5", "0,5". A dot followed by exactly three digits is a thousands separator;
    // any other dot is taken as the decimal mark. More than two decimals, letters or
    // an amount beyond numeric(15,2) give no value.
    static std::optional<Money> parse(const QString& text);

    // Formats with a display pattern of the kind the screens use:
    // "#,##0.00", ",0.##", ",0.00", "R$ #,##0.00", "0.00". The thousands separator is
    // "." and the decimal mark ",". A negative amount gets a leading "-".
    QString format(const QString& pattern = QStringLiteral("#,##0.00")) const;

    // "1.234,56"
    QString toString() const { return format(); }
    // "R$ 1.234,56", as the edit boxes show it.
    QString toCurrency() const { return format(QStringLiteral("R$ #,##0.00")); }
    // "1234.56", the plain form used in scripts and logs.
    QString toPlain() const;

private:
    explicit constexpr Money(std::int64_t c) : cents_(c) {}
    std::int64_t cents_ = 0;
};

// Message shown when an amount does not fit the database's money columns.
QString moneyOutOfRangeMessage();

}  // namespace kit

Q_DECLARE_METATYPE(kit::Money)
