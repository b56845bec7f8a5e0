#pragma once

#include <QPainter>

#include "kit/report/page.h"

namespace kit::report {

// Draws a page of the model with the painter, the paper's top-left corner at the
// painter's origin; one millimetre is dpi / 25.4 painter units, dpi being the
// device's logical resolution (fonts are sized by the device the same way). A
// painter scaled beforehand zooms the whole page.
void paintPage(QPainter& painter, const Page& page, double dpi);

}  // namespace kit::report
