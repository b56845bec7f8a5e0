#include "kit/ui/widgets/lookup.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "kit/ui/widgets/editors.h"

namespace kit {

LookupDialog::LookupDialog(DataSet* list, const QString& searchField, QVector<GridColumn> columns,
                           const QString& title, QWidget* parent)
    : QDialog(parent), list_(list), searchField_(searchField) {
    setObjectName(QStringLiteral("LookupDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    search_ = new TextEdit(60, true, this);
    search_->setObjectName(QStringLiteral("edit_busca"));
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Localizar:"), this));
    top->addWidget(search_);
    layout->addLayout(top);
    grid_ = new DataGrid(list, std::move(columns), this);
    grid_->setObjectName(QStringLiteral("grid_lookup"));
    layout->addWidget(grid_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(grid_, &DataGrid::rowActivated, this, &QDialog::accept);
    connect(search_, &QLineEdit::textChanged, this, &LookupDialog::locate);
    layout->addWidget(buttons);
    int width = 40;
    for (const GridColumn& c : grid_->dataModel()->columns())
        width += c.width * fontMetrics().horizontalAdvance(QLatin1Char('N')) + 10;
    resize(std::min(width, 900), 420);
    search_->setFocus();
}

bool locatePrefix(DataSet& list, const QString& field, const QString& text) {
    if (text.isEmpty() || !list.isActive())
        return false;
    for (int i = 0; i < list.recordCount(); ++i)
        if (list.valueAt(i, field).toString().startsWith(text, Qt::CaseInsensitive)) {
            list.setCurrentIndex(i);
            return true;
        }
    return false;
}

bool LookupDialog::locate(const QString& text) {
    return locatePrefix(*list_, searchField_, text);
}

LookupCombo::LookupCombo(DataSet* list, const QString& keyField, const QString& displayField,
                         QWidget* parent)
    : QWidget(parent), list_(list), keyField_(keyField), displayField_(displayField) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int length =
        list_->isActive() && list_->hasField(displayField) ? list_->field(displayField).length : 0;
    edit_ = new TextEdit(length, true, this);
    edit_->setObjectName(objectName() + QStringLiteral("_texto"));
    button_ = new QToolButton(this);
    button_->setArrowType(Qt::DownArrow);
    button_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    setFocusProxy(edit_);
    columns_ = {GridColumn(displayField, displayField, 40)};
    connect(button_, &QToolButton::clicked, this, [this] { showDialog(); });
    connect(edit_, &QLineEdit::textEdited, this, &LookupCombo::findTyped);
    connect(edit_, &QLineEdit::editingFinished, this, &LookupCombo::finishTyping);
    edit_->installEventFilter(this);
}

QString LookupCombo::text() const {
    return edit_->text();
}

void LookupCombo::setValue(const QVariant& key) {
    key_ = key;
    typed_ = false;
    updating_ = true;
    QString shown;
    if (!key.isNull() && list_->isActive())
        for (int i = 0; i < list_->recordCount(); ++i)
            if (list_->valueAt(i, keyField_).toString() == key.toString()) {
                shown = list_->valueAt(i, displayField_).toString();
                break;
            }
    edit_->setText(shown);
    updating_ = false;
}

void LookupCombo::choose(const QVariant& key) {
    const bool changed = key.toString() != key_.toString() || key.isNull() != key_.isNull();
    setValue(key);
    if (changed)
        emit valueChanged(key_);
}

void LookupCombo::findTyped(const QString& text) {
    if (updating_)
        return;
    // The key always follows the text: the first row that begins with it, or none.
    QVariant key;
    if (!text.isEmpty() && list_->isActive())
        for (int i = 0; i < list_->recordCount(); ++i)
            if (list_->valueAt(i, displayField_).toString().startsWith(text, Qt::CaseInsensitive)) {
                key = list_->valueAt(i, keyField_);
                break;
            }
    typed_ = true;
    const bool changed = key.toString() != key_.toString() || key.isNull() != key_.isNull();
    key_ = key;
    if (changed)
        emit valueChanged(key_);
}

void LookupCombo::finishTyping() {
    if (!typed_)
        return;
    typed_ = false;
    // The box shows the whole name of the row the text found.
    if (!key_.isNull())
        setValue(key_);
    emit typedChoice();
}

bool LookupCombo::showDialog() {
    if (!list_->isActive())
        return false;
    if (!key_.isNull())
        list_->locate(keyField_, key_);
    LookupDialog dialog(list_, displayField_, columns_, title_, this);
    bool accepted = false;
    if (dialogHook) {
        auto hook = std::move(dialogHook);
        dialogHook = nullptr;
        accepted = hook(dialog);
    } else {
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted && !list_->isEmpty())
        choose(list_->value(keyField_));
    edit_->setFocus();
    emit dialogClosed(accepted);
    return accepted;
}

bool LookupCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 ||
            (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
            showDialog();
            return true;
        }
        if (key->key() == Qt::Key_Delete && clearable_) {
            choose(QVariant());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kit
