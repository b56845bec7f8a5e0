#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVector>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kit {

class DataSet;
class DateEdit;
class IntegerEdit;
class LookupCombo;
class MaskEdit;
class MoneyEdit;

// Edit boxes bound to the fields of a data set's current row, both ways: what the
// operator types is written to the row while it is being inserted or edited, and
// whatever changes the row (a move, a cancel, a picker, a computed value, a default)
// shows in its box at once.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    explicit FieldBinder(DataSet* dataSet, QObject* parent = nullptr);

    // Text boxes (TextEdit, or a read-only QLineEdit that only shows the field).
    void bindText(QLineEdit* box, const QString& field);
    void bindInteger(IntegerEdit* box, const QString& field);
    void bindDate(DateEdit* box, const QString& field);
    void bindMoney(MoneyEdit* box, const QString& field);
    void bindMask(MaskEdit* box, const QString& field);
    void bindLookup(LookupCombo* box, const QString& field);
    // A choice among stored values, each with the text shown. A stored value the box
    // does not list is shown as it is and kept unless the operator picks another.
    void bindChoice(QComboBox* box, const QString& field,
                    const QList<QPair<QString, QString>>& choices);

    // Labels the box with its caption: the label's buddy and the box's accessible name.
    static void label(QLabel* label, QWidget* box);

    QWidget* editor(const QString& field) const;
    QString fieldOf(const QWidget* box) const;

    // Reads every box from the current row.
    void load();
    // Reads what is still being typed in a box into the row (a money box with the
    // focus); false, with the box's message shown, when something cannot be read.
    // Then checks the date boxes: an incomplete or impossible date is reported (and
    // focused) and gives false.
    bool commit();

private:
    struct Binding {
        QPointer<QWidget> box;
        QString field;
        std::function<void()> load;  // row -> box
    };
    void add(QWidget* box, const QString& field, std::function<void()> load);
    void store(const QString& field, const QVariant& value);
    bool writable() const;
    void loadField(const QString& field);

    DataSet* ds_;
    QVector<Binding> bindings_;
    QString storing_;  // the field being written from its box
    bool loading_ = false;
};

}  // namespace kit
