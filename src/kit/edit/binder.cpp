#include "kit/edit/binder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "kit/core/messages.h"
#include "kit/db/dataset.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"

namespace kit {

FieldBinder::FieldBinder(DataSet* dataSet, QObject* parent) : QObject(parent), ds_(dataSet) {
    connect(ds_, &DataSet::fieldChanged, this, &FieldBinder::loadField);
    connect(ds_, &DataSet::currentChanged, this, &FieldBinder::load);
    connect(ds_, &DataSet::rowsReset, this, &FieldBinder::load);
    connect(ds_, &DataSet::stateChanged, this, &FieldBinder::load);
}

void FieldBinder::label(QLabel* label, QWidget* box) {
    label->setBuddy(box);
    QString name = label->text();
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    box->setAccessibleName(name.trimmed());
    // A box made of parts (a lookup) is read through the part that takes the focus.
    if (QWidget* part = box->focusProxy())
        part->setAccessibleName(name.trimmed());
}

QWidget* FieldBinder::editor(const QString& field) const {
    for (const Binding& b : bindings_)
        if (b.field.compare(field, Qt::CaseInsensitive) == 0)
            return b.box;
    return nullptr;
}

QString FieldBinder::fieldOf(const QWidget* box) const {
    for (const Binding& b : bindings_)
        if (b.box == box)
            return b.field;
    return {};
}

bool FieldBinder::writable() const {
    return ds_->isEditing() && !loading_;
}

void FieldBinder::add(QWidget* box, const QString& field, std::function<void()> loadBox) {
    bindings_.append({box, field, std::move(loadBox)});
    bindings_.back().load();
}

void FieldBinder::store(const QString& field, const QVariant& value) {
    if (!writable())
        return;
    storing_ = field;
    try {
        ds_->setValue(field, value);
    } catch (const DataSetError& e) {
        storing_.clear();
        messages().warning(e.message());
        loadField(field);  // the box shows what the row holds
        return;
    }
    storing_.clear();
}

void FieldBinder::load() {
    for (const Binding& b : bindings_)
        if (b.box)
            b.load();
}

void FieldBinder::loadField(const QString& field) {
    for (const Binding& b : bindings_)
        if (b.box && b.field.compare(field, Qt::CaseInsensitive) == 0 &&
            b.field.compare(storing_, Qt::CaseInsensitive) != 0)
            b.load();
}

namespace {

// The field of the current row, or null when there is none.
QVariant rowValue(const DataSet* ds, const QString& field) {
    if (!ds->isActive() || (ds->isEmpty() && !ds->isEditing()) || !ds->hasField(field))
        return {};
    return ds->value(field);
}

}  // namespace

void FieldBinder::bindText(QLineEdit* box, const QString& field) {
    add(box, field, [this, box, field] {
        const QString t = rowValue(ds_, field).toString();
        if (box->text() != t) {
            const QScopedValueRollback<bool> guard(loading_, true);
            box->setText(t);
        }
    });
    connect(box, &QLineEdit::textChanged, this, [this, field](const QString& t) {
        if (!loading_)
            store(field, t.isEmpty() ? QVariant() : QVariant(t));
    });
}

void FieldBinder::bindInteger(IntegerEdit* box, const QString& field) {
    add(box, field, [this, box, field] {
        const QScopedValueRollback<bool> guard(loading_, true);
        box->setValue(rowValue(ds_, field));
    });
    connect(box, &QLineEdit::textChanged, this, [this, box, field] {
        const auto n = box->value();
        store(field, n ? QVariant(*n) : QVariant());
    });
}

void FieldBinder::bindDate(DateEdit* box, const QString& field) {
    add(box, field, [this, box, field] {
        const QDate d = rowValue(ds_, field).toDate();
        if (box->date() != d || (!d.isValid() && !box->isEmpty())) {
            const QScopedValueRollback<bool> guard(loading_, true);
            box->setDate(d);
        }
    });
    // An incomplete date leaves the field empty until it is whole; commit() reports it.
    connect(box, &QLineEdit::textChanged, this, [this, box, field] {
        const QDate d = box->date();
        store(field, d.isValid() ? QVariant(d) : QVariant());
    });
}

void FieldBinder::bindMoney(MoneyEdit* box, const QString& field) {
    add(box, field, [this, box, field] {
        const QVariant v = rowValue(ds_, field);
        const std::optional<Money> m =
            v.isNull() ? std::nullopt : std::optional<Money>(v.value<Money>());
        if (box->value() != m) {
            const QScopedValueRollback<bool> guard(loading_, true);
            box->setValue(m);
        }
    });
    connect(box, &MoneyEdit::valueChanged, this, [this, box, field] {
        const auto m = box->value();
        store(field, m ? QVariant::fromValue(*m) : QVariant());
    });
}

void FieldBinder::bindMask(MaskEdit* box, const QString& field) {
    add(box, field, [this, box, field] {
        const QString t = rowValue(ds_, field).toString();
        if (box->storedText() != t) {
            const QScopedValueRollback<bool> guard(loading_, true);
            box->setStoredText(t);
        }
    });
    connect(box, &QLineEdit::textChanged, this, [this, box, field] {
        const QString t = box->storedText();
        store(field, t.isEmpty() ? QVariant() : QVariant(t));
    });
}

void FieldBinder::bindLookup(LookupCombo* box, const QString& field) {
    add(box, field, [this, box, field] {
        const QVariant key = rowValue(ds_, field);
        if (box->value().toString() != key.toString() || box->value().isNull() != key.isNull() ||
            (key.isNull() && !box->text().isEmpty() && !box->lineEdit()->hasFocus())) {
            const QScopedValueRollback<bool> guard(loading_, true);
            box->setValue(key);
        }
    });
    connect(box, &LookupCombo::valueChanged, this,
            [this, field](const QVariant& key) { store(field, key); });
}

void FieldBinder::bindChoice(QComboBox* box, const QString& field,
                             const QList<QPair<QString, QString>>& choices) {
    const int known = choices.size();
    for (const auto& [value, text] : choices) box->addItem(text, value);
    add(box, field, [this, box, field, known] {
        const QScopedValueRollback<bool> guard(loading_, true);
        // A value from elsewhere that the list does not hold is shown as it is.
        while (box->count() > known) box->removeItem(known);
        const QVariant v = rowValue(ds_, field);
        const QString stored = v.isNull() ? QString() : v.toString().trimmed();
        int i = box->findData(stored);
        if (i < 0) {
            box->addItem(stored, stored);
            i = box->count() - 1;
        }
        box->setCurrentIndex(i);
    });
    connect(box, &QComboBox::currentIndexChanged, this, [this, box, field](int i) {
        const QString v = box->itemData(i).toString();
        store(field, v.isEmpty() ? QVariant() : QVariant(v));
    });
}

bool FieldBinder::commit() {
    for (const Binding& b : bindings_) {
        if (!b.box || !b.box->isEnabled())
            continue;
        if (auto* m = qobject_cast<MoneyEdit*>(b.box.data()); m && m->hasFocus() && !m->commit())
            return false;
        if (auto* d = qobject_cast<DateEdit*>(b.box.data()); d && !d->isAcceptable()) {
            messages().warning(
                QStringLiteral("A data \"%1\" não é uma data válida!").arg(d->text()));
            d->setFocus();
            return false;
        }
    }
    return true;
}

}  // namespace kit
