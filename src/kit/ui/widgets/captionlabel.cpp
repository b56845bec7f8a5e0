#include "kit/ui/widgets/captionlabel.h"

namespace kit {

CaptionLabel::CaptionLabel(const QString& text, std::function<void()> onClick, QWidget* parent)
    : QLabel(text, parent), onClick_(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, blue());
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setMargin(4);
}

void CaptionLabel::mousePressEvent(QMouseEvent*) {
    if (onClick_)
        onClick_();
}

}  // namespace kit
