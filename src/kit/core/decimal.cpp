#include "kit/core/decimal.h"

#include <QRegularExpression>

namespace kit {

namespace {

__extension__ typedef __int128 Wide;

Wide pow10w(int n) {
    Wide r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

QString tooBig() {
    return QStringLiteral("Número fora do limite permitido (no máximo 18 dígitos).");
}

Wide absw(Wide v) {
    return v < 0 ? -v : v;
}

// value / divisor, rounded as asked (divisor > 0).
Wide divideRounded(Wide value, Wide divisor, Rounding rounding) {
    const bool negative = value < 0;
    const Wide a = absw(value);
    Wide q = a / divisor;
    const Wide r = a % divisor;
    if (r != 0) {
        switch (rounding) {
            case Rounding::HalfAwayFromZero:
                if (2 * r >= divisor)
                    ++q;
                break;
            case Rounding::HalfEven:
                if (2 * r > divisor || (2 * r == divisor && (q % 2) != 0))
                    ++q;
                break;
            case Rounding::TowardZero:
                break;
            case Rounding::AwayFromZero:
                ++q;
                break;
        }
    }
    return negative ? -q : q;
}

Decimal make(Wide mantissa, int scale) {
    if (absw(mantissa) > Decimal::kMaxMantissa)
        throw DecimalError(tooBig());
    return Decimal(static_cast<std::int64_t>(mantissa), scale);
}

// Both mantissas at the larger scale.
std::pair<Wide, Wide> aligned(const Decimal& a, const Decimal& b, int* scale) {
    *scale = std::max(a.scale(), b.scale());
    return {Wide(a.mantissa()) * pow10w(*scale - a.scale()),
            Wide(b.mantissa()) * pow10w(*scale - b.scale())};
}

void checkScale(int scale) {
    if (scale < 0 || scale > Decimal::kMaxDigits)
        throw DecimalError(QStringLiteral("Número de casas decimais inválido: %1.").arg(scale));
}

}  // namespace

QString decimalOutOfRangeMessage(const QString& field) {
    return QStringLiteral("O valor informado para %1 não cabe no campo do banco de dados.")
        .arg(field);
}

Decimal::Decimal(std::int64_t mantissa, int scale) : mantissa_(mantissa), scale_(scale) {
    checkScale(scale);
    if (mantissa > kMaxMantissa || mantissa < -kMaxMantissa)
        throw DecimalError(tooBig());
}

Decimal Decimal::rescaled(int scale, Rounding rounding) const {
    checkScale(scale);
    if (scale >= scale_)
        return make(Wide(mantissa_) * pow10w(scale - scale_), scale);
    return make(divideRounded(mantissa_, pow10w(scale_ - scale), rounding), scale);
}

Money Decimal::toMoney(Rounding rounding) const {
    const Wide cents = scale_ >= 2 ? divideRounded(mantissa_, pow10w(scale_ - 2), rounding)
                                   : Wide(mantissa_) * pow10w(2 - scale_);
    if (absw(cents) > Money::kMaxCents)
        throw DecimalError(moneyOutOfRangeMessage());
    return Money::fromCents(static_cast<std::int64_t>(cents));
}

std::int64_t Decimal::toInteger(Rounding rounding) const {
    // 18 digits always fit 64 bits.
    return static_cast<std::int64_t>(divideRounded(mantissa_, pow10w(scale_), rounding));
}

Decimal Decimal::operator+(const Decimal& o) const {
    int scale = 0;
    const auto [a, b] = aligned(*this, o, &scale);
    return make(a + b, scale);
}

Decimal Decimal::operator-(const Decimal& o) const {
    int scale = 0;
    const auto [a, b] = aligned(*this, o, &scale);
    return make(a - b, scale);
}

Decimal Decimal::multiplied(const Decimal& o, int scale, Rounding rounding) const {
    checkScale(scale);
    // Exact product at scale_ + o.scale_ (at most 36 digits: fits 127 bits).
    const Wide product = Wide(mantissa_) * Wide(o.mantissa_);
    const int exact = scale_ + o.scale_;
    if (scale >= exact) {
        const Wide m = product * pow10w(scale - exact);
        return make(m, scale);
    }
    return make(divideRounded(product, pow10w(exact - scale), rounding), scale);
}

Decimal Decimal::divided(const Decimal& o, int scale, Rounding rounding) const {
    checkScale(scale);
    if (o.mantissa_ == 0)
        throw DecimalError(QStringLiteral("Divisão por zero."));
    // (a / 10^sa) / (b / 10^sb) at 10^scale = a * 10^(scale + sb - sa) / b.
    int shift = scale + o.scale_ - scale_;
    Wide num = mantissa_;
    Wide den = o.mantissa_;
    if (shift >= 0) {
        // |den| is below 10^18: a numerator of more than 37 digits gives a quotient
        // beyond 18 digits (and would not fit 127 bits).
        if (num != 0 && QString::number(static_cast<qlonglong>(absw(num))).size() + shift > 37)
            throw DecimalError(tooBig());
        num *= pow10w(shift);
    } else
        den *= pow10w(-shift);
    if (den < 0) {
        den = -den;
        num = -num;
    }
    return make(divideRounded(num, den, rounding), scale);
}

std::strong_ordering Decimal::operator<=>(const Decimal& o) const {
    int scale = 0;
    const auto [a, b] = aligned(*this, o, &scale);
    return a <=> b;
}

std::optional<Decimal> Decimal::parse(const QString& input) {
    QString t = input.trimmed();
    if (t.startsWith(QLatin1String("R$")))
        t = t.mid(2).trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-'))) {
        negative = true;
        t = t.mid(1).trimmed();
    }
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.') &&
            c != QLatin1Char(','))
            return std::nullopt;
    static const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(\\.\\d{3})+$"));
    QString intPart = t, decPart;
    const int comma = t.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        if (t.indexOf(QLatin1Char(','), comma + 1) >= 0)
            return std::nullopt;
        intPart = t.left(comma);
        decPart = t.mid(comma + 1);
        if (decPart.contains(QLatin1Char('.')))
            return std::nullopt;
    } else if (t.contains(QLatin1Char('.')) && !grouped.match(t).hasMatch()) {
        const int dot = t.indexOf(QLatin1Char('.'));
        if (t.indexOf(QLatin1Char('.'), dot + 1) >= 0)
            return std::nullopt;
        intPart = t.left(dot);
        decPart = t.mid(dot + 1);
    }
    if (intPart.contains(QLatin1Char('.'))) {
        if (!grouped.match(intPart).hasMatch())
            return std::nullopt;
        intPart.remove(QLatin1Char('.'));
    }
    if (intPart.isEmpty() && decPart.isEmpty())
        return std::nullopt;
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0'))) intPart.remove(0, 1);
    if (intPart == QLatin1String("0"))
        intPart.clear();
    if (decPart.size() > kMaxDigits || intPart.size() + decPart.size() > kMaxDigits)
        return std::nullopt;
    const QString digits = intPart + decPart;
    bool ok = true;
    const std::int64_t m = digits.isEmpty() ? 0 : digits.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return Decimal(negative ? -m : m, static_cast<int>(decPart.size()));
}

namespace {

QString digitsOf(std::int64_t mantissa, int scale, bool group, QChar mark) {
    const std::uint64_t a = mantissa < 0 ? static_cast<std::uint64_t>(-(mantissa + 1)) + 1
                                         : static_cast<std::uint64_t>(mantissa);
    QString all = QString::number(a).rightJustified(scale + 1, QLatin1Char('0'));
    QString whole = all.left(all.size() - scale);
    const QString frac = all.right(scale);
    if (group)
        for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(i, QLatin1Char('.'));
    QString s = mantissa < 0 ? QStringLiteral("-") + whole : whole;
    if (scale > 0)
        s += mark + frac;
    return s;
}

}  // namespace

QString Decimal::toString() const {
    return digitsOf(mantissa_, scale_, true, QLatin1Char(','));
}

QString Decimal::toPlain() const {
    return digitsOf(mantissa_, scale_, false, QLatin1Char('.'));
}

}  // namespace kit
