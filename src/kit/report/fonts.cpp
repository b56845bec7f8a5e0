#include "kit/report/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <mutex>

namespace kit::report {

const std::vector<FontMapping>& fontMappings() {
    static const std::vector<FontMapping> table = {
        {QStringLiteral("Arial"),
         QStringLiteral("Liberation Sans"),
         {},
         QStringLiteral("fonts-liberation2")},
        {QStringLiteral("Tahoma"),
         QStringLiteral("Tahoma"),
         {QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"),
          QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")},
         QStringLiteral("fonts-wine")},
        {QStringLiteral("Garamond"),
         QStringLiteral("EB Garamond 12"),
         {},
         QStringLiteral("fonts-ebgaramond")},
        {QStringLiteral("Courier New"),
         QStringLiteral("Liberation Mono"),
         {},
         QStringLiteral("fonts-liberation2")},
        {QStringLiteral("MS Gothic"),
         QStringLiteral("Liberation Mono"),
         {},
         QStringLiteral("fonts-liberation2")},
        {QStringLiteral("Times New Roman"),
         QStringLiteral("Liberation Serif"),
         {},
         QStringLiteral("fonts-liberation2")},
    };
    return table;
}

void installFonts() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const FontMapping& m : fontMappings()) {
            for (const QString& file : m.files)
                if (QFile::exists(file))
                    QFontDatabase::addApplicationFont(file);
            if (m.family != m.name)
                QFont::insertSubstitution(m.name, m.family);
        }
    });
}

QString mappedFamily(const QString& name) {
    for (const FontMapping& m : fontMappings())
        if (m.name.compare(name, Qt::CaseInsensitive) == 0)
            return m.family;
    return name;
}

QFont toQFont(const Font& font) {
    installFonts();
    QFont f(mappedFamily(font.family));
    f.setPointSizeF(font.pointSize);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

}  // namespace kit::report
