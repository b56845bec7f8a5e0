#include "kit/core/money.h"

#include <QRegularExpression>

namespace kit {

namespace {

QString groupThousands(QString digits) {
    for (int i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, QLatin1Char('.'));
    return digits;
}

}  // namespace

QString moneyOutOfRangeMessage() {
    return QStringLiteral(
        "Valor fora do limite permitido! O maior valor aceito é 9.999.999.999.999,99.");
}

std::optional<Money> Money::parse(const QString& input) {
    QString t = input.trimmed();
    if (t.startsWith(QLatin1String("R$")))
        t = t.mid(2).trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-'))) {
        negative = true;
        t = t.mid(1).trimmed();
    } else if (t.endsWith(QLatin1Char('-'))) {
        negative = true;
        t.chop(1);
        t = t.trimmed();
    }
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char(','))
            return std::nullopt;

    QString intPart = t;
    QString decPart;
    const int comma = t.lastIndexOf(QLatin1Char(','));
    if (comma >= 0) {
        intPart = t.left(comma);
        decPart = t.mid(comma + 1);
        if (decPart.contains(QLatin1Char('.')))
            return std::nullopt;
        if (intPart.contains(QLatin1Char(',')))
            return std::nullopt;
    } else {
        const int dot = t.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0) {
            const QString tail = t.mid(dot + 1);
            const bool onlyThousands =
                tail.size() == 3 &&
                QRegularExpression(QStringLiteral("^\\d{1,3}(\\.\\d{3})+$")).match(t).hasMatch();
            if (!onlyThousands) {
                intPart = t.left(dot);
                decPart = tail;
                if (intPart.contains(QLatin1Char('.')))
                    return std::nullopt;
            }
        }
    }
    // Dots left in the integer part must group thousands properly.
    if (intPart.contains(QLatin1Char('.'))) {
        if (!QRegularExpression(QStringLiteral("^\\d{1,3}(\\.\\d{3})+$")).match(intPart).hasMatch())
            return std::nullopt;
        intPart.remove(QLatin1Char('.'));
    }
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    if (decPart.size() > 2)
        return std::nullopt;
    while (decPart.size() < 2) decPart.append(QLatin1Char('0'));
    // Strip leading zeros so the digit count reflects the magnitude.
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0'))) intPart.remove(0, 1);
    if (intPart.size() > 13)
        return std::nullopt;
    bool ok = false;
    const std::int64_t cents = (intPart + decPart).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    Money m = Money::fromCents(negative ? -cents : cents);
    if (!m.fitsColumn())
        return std::nullopt;
    return m;
}

QString Money::format(const QString& pattern) const {
    // Split the pattern into the literal prefix and the numeric picture.
    int start = 0;
    while (start < pattern.size() && !QStringLiteral("#0,.").contains(pattern[start])) ++start;
    const QString prefix = pattern.left(start);
    const QString picture = pattern.mid(start);
    const bool thousands = picture.contains(QLatin1Char(','));
    const int dot = picture.indexOf(QLatin1Char('.'));
    int minDecimals = 0, maxDecimals = 0;
    if (dot >= 0) {
        for (int i = dot + 1; i < picture.size(); ++i) {
            if (picture[i] == QLatin1Char('0')) {
                ++minDecimals;
                ++maxDecimals;
            } else if (picture[i] == QLatin1Char('#')) {
                ++maxDecimals;
            }
        }
    }
    maxDecimals = std::min(maxDecimals, 2);
    minDecimals = std::min(minDecimals, maxDecimals);

    const std::uint64_t absCents = cents_ < 0 ? static_cast<std::uint64_t>(-(cents_ + 1)) + 1
                                              : static_cast<std::uint64_t>(cents_);
    std::uint64_t whole = absCents / 100;
    std::uint64_t frac = absCents % 100;  // two digits
    QString decimals;
    if (maxDecimals == 2) {
        decimals = QStringLiteral("%1").arg(frac, 2, 10, QLatin1Char('0'));
    } else if (maxDecimals == 1) {
        std::uint64_t tenths = (frac + 5) / 10;  // round half up
        if (tenths == 10) {
            tenths = 0;
            ++whole;
        }
        decimals = QString::number(tenths);
    } else if (frac >= 50) {
        ++whole;
    }
    while (decimals.size() > minDecimals && decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);

    QString integer = QString::number(whole);
    if (thousands)
        integer = groupThousands(integer);
    QString number = integer;
    if (!decimals.isEmpty())
        number += QLatin1Char(',') + decimals;
    // No minus sign in front of an amount that rounds to zero.
    const bool showMinus =
        cents_ < 0 && (whole != 0 || decimals.count(QLatin1Char('0')) != decimals.size());
    return (showMinus ? QStringLiteral("-") : QString()) + prefix + number;
}

QString Money::toPlain() const {
    const std::uint64_t absCents = cents_ < 0 ? static_cast<std::uint64_t>(-(cents_ + 1)) + 1
                                              : static_cast<std::uint64_t>(cents_);
    return QStringLiteral("%1%2.%3")
        .arg(cents_ < 0 ? QStringLiteral("-") : QString())
        .arg(absCents / 100)
        .arg(absCents % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace kit
