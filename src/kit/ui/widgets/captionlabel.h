#pragma once

#include <QLabel>
#include <functional>

namespace kit {

// A caption drawn as white bold text on blue that acts as a button (the tab
// switches above the screens' pages).
class CaptionLabel : public QLabel {
    Q_OBJECT
public:
    CaptionLabel(const QString& text, std::function<void()> onClick, QWidget* parent = nullptr);
    static QColor blue() { return QColor(0x00, 0x80, 0xC0); }  // $00C08000

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> onClick_;
};

}  // namespace kit
