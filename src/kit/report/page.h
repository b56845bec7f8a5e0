#pragma once

// The page model: what one laid-out page holds, every position in millimetres from
// the paper's top-left corner. The painter draws it; tests read it.

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "kit/report/report.h"

namespace kit::report {

struct PageItem {
    enum class Kind { Text, Rect, Line, Picture };
    Kind kind = Kind::Text;
    // Text: the box of the text itself (left = where the text starts, width = its
    // advance, height = the font's line height; the baseline is top + ascent).
    // Rect, Picture: the box. Line: from topLeft to bottomRight.
    QRectF rect;
    QRectF clip;  // text: the element's box it is clipped to; empty: not clipped
    QString text;
    Font font;
    double ascent = 0;  // text: mm from the top of the box to the baseline
    QString name;       // the element's name, when it has one
    double penWidth = 0.2;
    LineStyle lineStyle = LineStyle::Solid;
    QColor color = Qt::black;
    QColor fill;
    QImage image;
    bool stretch = true;
    Band::Kind band = Band::Kind::Detail;  // the kind of band that placed it
    int row = -1;                          // the data row of that band, -1 none
};

struct Page {
    int number = 0;  // 1-based
    QSizeF size;     // paper, mm
    std::vector<PageItem> items;

    // Items whose text equals (or contains) the text, in order.
    std::vector<const PageItem*> texts(const QString& text, bool contains = false) const;
    const PageItem* text(const QString& text, bool contains = false) const;
    const PageItem* named(const QString& name) const;
};

}  // namespace kit::report
