#include "kit/report/painter.h"

#include <QPen>

#include "kit/report/fonts.h"

namespace kit::report {

void paintPage(QPainter& painter, const Page& page, double dpi) {
    const double k = dpi / 25.4;
    auto mm = [k](const QRectF& r) {
        return QRectF(r.left() * k, r.top() * k, r.width() * k, r.height() * k);
    };
    auto pen = [k](const PageItem& it) {
        QPen p(it.color);
        p.setWidthF(std::max(it.penWidth * k, 0.5));
        p.setStyle(it.lineStyle == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
        p.setCapStyle(Qt::FlatCap);
        return p;
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PageItem& it : page.items) {
        switch (it.kind) {
            case PageItem::Kind::Text: {
                if (it.text.isEmpty())
                    break;
                const bool clip = !it.clip.isEmpty();
                if (clip) {
                    painter.save();
                    painter.setClipRect(mm(it.clip));
                }
                painter.setFont(toQFont(it.font));
                painter.setPen(it.color);
                painter.drawText(QPointF(it.rect.left() * k, (it.rect.top() + it.ascent) * k),
                                 it.text);
                if (clip)
                    painter.restore();
                break;
            }
            case PageItem::Kind::Rect:
                painter.setPen(pen(it));
                painter.setBrush(it.fill.isValid() ? QBrush(it.fill) : QBrush(Qt::NoBrush));
                painter.drawRect(mm(it.rect));
                break;
            case PageItem::Kind::Line:
                painter.setPen(pen(it));
                painter.drawLine(QPointF(it.rect.left() * k, it.rect.top() * k),
                                 QPointF(it.rect.right() * k, it.rect.bottom() * k));
                break;
            case PageItem::Kind::Picture: {
                if (it.image.isNull())
                    break;
                const QRectF box = mm(it.rect);
                if (it.stretch) {
                    painter.drawImage(box, it.image);
                } else {
                    // At its own size (its resolution, 96 dpi when it has none),
                    // clipped to the box.
                    const double dpmX =
                        it.image.dotsPerMeterX() > 0 ? it.image.dotsPerMeterX() : 96 / 0.0254;
                    const double dpmY =
                        it.image.dotsPerMeterY() > 0 ? it.image.dotsPerMeterY() : 96 / 0.0254;
                    const QSizeF natural(it.image.width() / dpmX * 1000.0 * k,
                                         it.image.height() / dpmY * 1000.0 * k);
                    painter.save();
                    painter.setClipRect(box);
                    painter.drawImage(QRectF(box.topLeft(), natural), it.image);
                    painter.restore();
                }
                break;
            }
        }
    }
    painter.restore();
}

}  // namespace kit::report
