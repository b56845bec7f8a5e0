#include "kit/core/latin1.h"

#include <QHash>

namespace kit {

namespace {

const QHash<char32_t, QString>& replacements() {
    static const QHash<char32_t, QString> table = {
        {U'\u2018', QStringLiteral("'")},
        {U'\u2019', QStringLiteral("'")},
        {U'\u201A', QStringLiteral(",")},
        {U'\u201B', QStringLiteral("'")},
        {U'\u201C', QStringLiteral("\"")},
        {U'\u201D', QStringLiteral("\"")},
        {U'\u201E', QStringLiteral("\"")},
        {U'\u2032', QStringLiteral("'")},
        {U'\u2033', QStringLiteral("\"")},
        {U'\u2010', QStringLiteral("-")},
        {U'\u2011', QStringLiteral("-")},
        {U'\u2012', QStringLiteral("-")},
        {U'\u2013', QStringLiteral("-")},
        {U'\u2014', QStringLiteral("-")},
        {U'\u2015', QStringLiteral("-")},
        {U'\u2212', QStringLiteral("-")},
        {U'\u2026', QStringLiteral("...")},
        {U'\u2022', QStringLiteral("*")},
        {U'\u20AC', QStringLiteral("EUR")},
        {U'\u2122', QStringLiteral("TM")},
        {U'\u2116', QStringLiteral("N\u00BA")},
        {U'\u2009', QStringLiteral(" ")},
        {U'\u200A', QStringLiteral(" ")},
        {U'\u2002', QStringLiteral(" ")},
        {U'\u2003', QStringLiteral(" ")},
        {U'\u202F', QStringLiteral(" ")},
        {U'\u200B', QString()},
        {U'\uFEFF', QString()},
        {U'\u0152', QStringLiteral("OE")},
        {U'\u0153', QStringLiteral("oe")},
        {U'\u0141', QStringLiteral("L")},
        {U'\u0142', QStringLiteral("l")},
        {U'\u0110', QStringLiteral("D")},
        {U'\u0111', QStringLiteral("d")},
        {U'\u2264', QStringLiteral("<=")},
        {U'\u2265', QStringLiteral(">=")},
    };
    return table;
}

}  // namespace

bool isLatin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

QString foldToLatin1(const QString& text) {
    if (isLatin1(text))
        return text;
    QString out;
    out.reserve(text.size());
    const QList<uint> codes = text.toUcs4();
    for (uint code : codes) {
        if (code <= 0xFF) {
            out.append(QChar(static_cast<char16_t>(code)));
            continue;
        }
        const auto it = replacements().constFind(static_cast<char32_t>(code));
        if (it != replacements().constEnd()) {
            out.append(*it);
            continue;
        }
        // Letters with marks: keep the base letter when it is in ISO8859_1 (or the
        // composed form is, as for "ộ" whose decomposition starts with "ô").
        const QString decomposed = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1)
                                       .normalized(QString::NormalizationForm_D);
        QString base;
        for (QChar c : decomposed)
            if (c.unicode() <= 0xFF && c.category() != QChar::Mark_NonSpacing)
                base.append(c);
        if (!base.isEmpty()) {
            out.append(base.normalized(QString::NormalizationForm_C));
            continue;
        }
        // Anything else (other alphabets, symbols, emoji) has no equivalent: dropped.
    }
    return out;
}

}  // namespace kit
