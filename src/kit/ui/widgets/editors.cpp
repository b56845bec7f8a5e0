#include "kit/ui/widgets/editors.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolTip>

#include "kit/core/latin1.h"
#include "kit/core/messages.h"

namespace kit {

int widthFor(const QLineEdit* box, const QString& text) {
    // As QLineEdit sizes itself, with the text in place of its default width.
    const QMargins tm = box->textMargins();
    const QFontMetrics fm = box->fontMetrics();
    const int w = fm.horizontalAdvance(text) + 2 * 2 + tm.left() + tm.right() + 2;
    const int h = std::max(fm.height(), 14) + 2 + tm.top() + tm.bottom();
    QStyleOptionFrame opt;
    opt.initFrom(box);
    opt.rect = QRect(0, 0, w, h);
    opt.lineWidth =
        box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    opt.features = QStyleOptionFrame::None;
    return box->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(w, h), box).width();
}

QString longestText(int chars) {
    return QString(std::max(chars, 1), QLatin1Char('W'));
}

void fitWidth(QLineEdit* box, const QString& longest) {
    const int w = widthFor(box, longest);
    box->setMinimumWidth(w);
    if (box->maximumWidth() < w)
        box->setMaximumWidth(w);
}

QValidator::State TextValidator::validate(QString& input, int& pos) const {
    if (isLatin1(input)) {
        if (upperCase_) {
            const QString upper = input.toUpper();
            if (isLatin1(upper))
                input = upper;  // "ß" and "ÿ" have no upper case in ISO8859_1
        }
        return Acceptable;
    }
    // Characters the database cannot hold are replaced where they stand ("€" by
    // "EUR") and the caret stays after what was typed; those with no equivalent are
    // left out, and the box says so.
    const QString before = foldToLatin1(input.left(pos));
    const QString folded = foldToLatin1(input);
    QString refused;
    for (const uint code : input.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        if (foldToLatin1(one).isEmpty())
            refused += one;
    }
    pos = static_cast<int>(before.size());
    input = upperCase_ ? folded.toUpper() : folded;
    // "ß" and "ÿ" have no upper case in ISO8859_1; keep them as they are.
    if (upperCase_ && !isLatin1(input))
        input = folded;
    if (!refused.isEmpty())
        if (auto* box = qobject_cast<QWidget*>(parent()))
            QTimer::singleShot(0, box, [box, refused] {
                QToolTip::showText(
                    box->mapToGlobal(QPoint(0, box->height())),
                    QStringLiteral("Caractere não aceito, deixado de fora: %1").arg(refused), box);
            });
    return Acceptable;
}

TextEdit::TextEdit(int maxLength, bool upperCase, QWidget* parent) : QLineEdit(parent) {
    if (maxLength > 0)
        setMaxLength(maxLength);
    setValidator(new TextValidator(upperCase, this));
}

namespace {

// Digits only; a key or a paste with anything else is refused, and the box says why.
class DigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input)
            if (!c.isDigit() || c.unicode() > 127) {
                if (auto* box = qobject_cast<QWidget*>(parent()))
                    QTimer::singleShot(0, box, [box] {
                        QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())),
                                           QStringLiteral("Digite apenas números."), box);
                    });
                return Invalid;
            }
        return Acceptable;
    }
};

}  // namespace

IntegerEdit::IntegerEdit(int maxDigits, QWidget* parent) : QLineEdit(parent) {
    setMaxLength(maxDigits);
    setValidator(new DigitsValidator(this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

std::optional<qint64> IntegerEdit::value() const {
    bool ok = false;
    const qint64 v = text().toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

void IntegerEdit::setValue(const QVariant& v) {
    setText(v.isNull() ? QString() : QString::number(v.toLongLong()));
}

MoneyEdit::MoneyEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-R$ 0-9.,]*")), this));
    connect(this, &QLineEdit::returnPressed, this, [this] { commit(); });
}

QString MoneyEdit::longestAmount() {
    return Money::fromCents(-Money::kMaxCents).toCurrency();
}

QSize MoneyEdit::sizeHint() const {
    QSize s = QLineEdit::sizeHint();
    s.setWidth(std::max(s.width(), widthFor(this, longestAmount())));
    return s;
}

QSize MoneyEdit::minimumSizeHint() const {
    QSize s = QLineEdit::minimumSizeHint();
    s.setWidth(std::max(s.width(), widthFor(this, longestAmount())));
    return s;
}

void MoneyEdit::setValue(std::optional<Money> v) {
    const bool changed = v != value_;
    value_ = v;
    if (hasFocus())
        setText(value_ ? value_->format(QStringLiteral("0.00")) : QString());
    else
        showFormatted();
    if (changed)
        emit valueChanged();
}

void MoneyEdit::showFormatted() {
    setText(value_ ? value_->toCurrency() : QString());
}

bool MoneyEdit::commit() {
    // The box showing its message takes the focus away: that is not a second
    // reading of the same text.
    if (refusing_)
        return false;
    const QString t = text().trimmed();
    if (t.isEmpty()) {
        setValue(std::nullopt);
        return true;
    }
    const auto parsed = Money::parse(t);
    if (!parsed) {
        QString digits = t;
        digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
        setValue(value_);  // back to the last good value
        refusing_ = true;
        messages().warning(digits.size() > 13
                               ? moneyOutOfRangeMessage()
                               : QStringLiteral("\"%1\" não é um valor válido!").arg(t));
        refusing_ = false;
        return false;
    }
    setValue(parsed);
    return true;
}

void MoneyEdit::focusInEvent(QFocusEvent* e) {
    setText(value_ ? value_->format(QStringLiteral("0.00")) : QString());
    QLineEdit::focusInEvent(e);
    selectAll();
}

void MoneyEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    commit();
    showFormatted();
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason)
        emit left();
}

DateEdit::DateEdit(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("99/99/9999;_"));
    QAction* calendar = addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                  QLineEdit::TrailingPosition);
    calendar->setObjectName(QStringLiteral("Calendario"));
    calendar->setToolTip(QStringLiteral("Calendário (Alt+Seta para baixo)"));
    connect(calendar, &QAction::triggered, this, [this] { showCalendar(); });
}

QWidget* DateEdit::showCalendar() {
    auto* calendar = new QCalendarWidget(this);
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    calendar->setObjectName(QStringLiteral("Calendario_Popup"));
    calendar->setAccessibleName(accessibleName());
    calendar->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    calendar->setSelectedDate(date().isValid() ? date() : QDate::currentDate());
    connect(calendar, &QCalendarWidget::activated, this, [this, calendar](const QDate& d) {
        setDate(d);
        calendar->close();
        setFocus();
        emit dateChosen(d);
    });
    connect(calendar, &QCalendarWidget::clicked, calendar, &QCalendarWidget::activated);
    calendar->move(mapToGlobal(QPoint(0, height())));
    calendar->show();
    calendar->setFocus();
    return calendar;
}

void DateEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier)) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

bool DateEdit::isEmpty() const {
    QString digits = text();
    digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
    return digits.isEmpty();
}

QDate DateEdit::date() const {
    return QDate::fromString(text(), QStringLiteral("dd/MM/yyyy"));
}

void DateEdit::setDate(const QDate& d) {
    setText(d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString());
}

namespace {

// "99.999.999/9999-99;1;_" -> Qt's "99.999.999/9999-99;_" (every 9 a digit that
// must be typed for the text to be complete).
QString qtMask(const QString& delphi) {
    const QStringList parts = delphi.split(QLatin1Char(';'));
    const QString blank = parts.value(2, QStringLiteral("_"));
    return parts.value(0) + QLatin1Char(';') + blank;
}

}  // namespace

MaskEdit::MaskEdit(const QString& mask, QWidget* parent) : QLineEdit(parent) {
    setInputMask(qtMask(mask));
}

bool MaskEdit::isBlank() const {
    QString digits = text();
    digits.remove(QRegularExpression(QStringLiteral("[^0-9A-Za-z]")));
    return digits.isEmpty();
}

QString MaskEdit::storedText() const {
    return isBlank() ? QString() : text();
}

void MaskEdit::setStoredText(const QString& t) {
    setText(t);
}

}  // namespace kit
