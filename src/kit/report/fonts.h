#pragma once

// The families the layouts and screens name, mapped explicitly to the installed
// metric-compatible ones (tools/tesouraria.sh installs them), so that a page lays
// out the same on every workstation.

#include <QFont>
#include <QString>
#include <vector>

#include "kit/report/report.h"

namespace kit::report {

struct FontMapping {
    QString name;       // as the layouts name it
    QString family;     // what is used
    QStringList files;  // font files registered with the application when present
    QString package;    // the Debian package that ships it
};

// The table: Arial → Liberation Sans, Tahoma → Tahoma (Wine's metric-compatible
// file), Garamond → EB Garamond 12, Courier New and MS Gothic → Liberation Mono,
// Times New Roman → Liberation Serif.
const std::vector<FontMapping>& fontMappings();

// Registers the font files of the table and the substitutions (so that the screens'
// "Garamond" and "Arial" resolve as well); safe to call more than once. Needs a
// QGuiApplication.
void installFonts();

// The family a layout's name maps to (the name itself when it is not in the table).
QString mappedFamily(const QString& name);

// The QFont a page uses for a layout font: mapped family, point size, no hinting (widths
// independent of the device).
QFont toQFont(const Font& font);

}  // namespace kit::report
