#pragma once

#include <QDate>
#include <QLineEdit>
#include <QValidator>
#include <optional>

#include "kit/core/money.h"

namespace kit {

// The width a line edit needs to show the text whole in its own font (frame and
// margins included).
int widthFor(const QLineEdit* box, const QString& text);
// The longest text a column of that many characters holds, for sizing its box: as
// many of the widest capital letter.
QString longestText(int chars);
// Makes the box at least wide enough for its longest text.
void fitWidth(QLineEdit* box, const QString& longest);

// Text typed into the program's boxes: mapped to ISO8859_1 as it is typed (so it
// can always be stored) and, unless told otherwise, turned to upper case.
class TextValidator : public QValidator {
public:
    explicit TextValidator(bool upperCase, QObject* parent = nullptr)
        : QValidator(parent), upperCase_(upperCase) {}
    State validate(QString& input, int& pos) const override;

private:
    bool upperCase_;
};

// An edit box for a text column: at most the column's length, upper case.
class TextEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TextEdit(int maxLength, bool upperCase = true, QWidget* parent = nullptr);
};

// Digits only, for integer columns; anything else is refused with a word at the box.
class IntegerEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit IntegerEdit(int maxDigits = 9, QWidget* parent = nullptr);
    std::optional<qint64> value() const;
    void setValue(const QVariant& v);
};

// A money box: shows "R$ #,##0.00" and takes amounts typed the Brazilian way
// ("1.234,56", "1234,5", "R$ 10"). While it has the focus the plain amount is
// edited; on leaving, an amount it cannot read is reported and the box goes back to
// its last good value.
class MoneyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MoneyEdit(QWidget* parent = nullptr);
    // Null while empty.
    std::optional<Money> value() const { return value_; }
    void setValue(std::optional<Money> v);
    // Reads the text now; false (with the message shown) when it is not an amount.
    bool commit();

    // Wide enough for the longest amount it can show, "R$ 9.999.999.999.999,99".
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    static QString longestAmount();

signals:
    void valueChanged();
    // The operator moved the focus elsewhere (not a window or popup taking it); the
    // text has been read by then.
    void left();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void showFormatted();
    std::optional<Money> value_;
    bool refusing_ = false;  // its message is on the screen
};

// A date box that may be left empty: "dd/MM/yyyy".
// The calendar opens from the button at its right end or with Alt+Down.
class DateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DateEdit(QWidget* parent = nullptr);
    QDate date() const;  // invalid while empty or incomplete
    bool isEmpty() const;
    // False when something was typed that is not a date.
    bool isAcceptable() const { return isEmpty() || date().isValid(); }
    void setDate(const QDate& d);
    // Opens the calendar on the box's date (today when empty); returns it (it closes
    // itself when a day is chosen or the focus leaves it).
    QWidget* showCalendar();

signals:
    // A day was chosen in the calendar (the box shows it already).
    void dateChosen(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// A box with an edit mask written as the screens give it: "99.999.999/9999-99;1;_"
// (the picture; 1 = the literal characters are stored with the text; the blank
// character). Every 9 takes one digit.
class MaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdit(const QString& mask, QWidget* parent = nullptr);
    // The text to store: with the literals, or empty when no digit was typed.
    QString storedText() const;
    bool isBlank() const;
    bool isComplete() const { return hasAcceptableInput(); }
    void setStoredText(const QString& text);
};

}  // namespace kit
