#include "kit/ui/widgets/editgrid.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionButton>

#include "kit/core/messages.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"

namespace kit {

namespace {

const char* const kEditorMark = "kitCellEditor";

// The widget that takes the keys of an editor (the end of its focus proxies).
QWidget* keyTarget(QWidget* editor) {
    QWidget* w = editor;
    while (w->focusProxy()) w = w->focusProxy();
    return w;
}

}  // namespace

// ---------------------------------------------------------------- model

EditGridModel::EditGridModel(DataSet* dataSet, QVector<GridColumn> columns, QObject* parent)
    : DataSetModel(dataSet, std::move(columns), parent) {}

bool EditGridModel::isEditable(int row, int column) const {
    const DataSet& ds = *dataSet();
    if (column < 0 || column >= columns().size() || !ds.isActive())
        return false;
    const GridColumn& c = columns()[column];
    if (c.readOnly || !ds.hasField(c.field))
        return false;
    const FieldDef& f = ds.field(c.field);
    if (f.kind != FieldDef::Kind::Data || f.readOnly)
        return false;
    if (c.kind == GridColumn::Kind::Lookup && !c.lookupList)
        return false;
    return !cellEditable || cellEditable(ds, row, column);
}

Qt::ItemFlags EditGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = DataSetModel::flags(index);
    if (!index.isValid() || !isEditable(index.row(), index.column()))
        return f;
    if (columns()[index.column()].cellKind(*dataSet()) == GridColumn::Kind::CheckBox)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

bool EditGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || restructuring() || !isEditable(index.row(), index.column()))
        return false;
    DataSet* ds = dataSet();
    const GridColumn& c = columns()[index.column()];
    QVariant v = value;
    if (role == Qt::CheckStateRole) {
        if (c.cellKind(*ds) != GridColumn::Kind::CheckBox)
            return false;
        v = value.toInt() == Qt::Checked ? QStringLiteral("S") : QStringLiteral("N");
    } else if (role != Qt::EditRole) {
        return false;
    }
    try {
        if (ds->currentIndex() != index.row())
            ds->setCurrentIndex(index.row());  // posts the row being left
        if (!ds->isEditing())
            ds->edit();
        ds->setValue(c.field, v);
    } catch (const DataSetError& e) {
        messages().warning(e.message());
        return false;
    } catch (const fb::Error& e) {  // from a screen's rule run by the post
        messages().warning(e.message());
        return false;
    }
    emit cellEdited(index.row(), index.column());
    return true;
}

// ---------------------------------------------------------------- delegates

CellDelegate::CellDelegate(EditGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

const GridColumn& CellDelegate::column(const QModelIndex& index) const {
    return grid_->columns()[index.column()];
}

DataSet* CellDelegate::dataSet() const {
    return grid_->dataSet();
}

void CellDelegate::prepare(QWidget* editor, const QModelIndex& index, QWidget* focusWidget) const {
    const QString& title = column(index).title;
    editor->setProperty(kEditorMark, true);
    editor->setAccessibleName(title);
    editor->setAutoFillBackground(true);
    if (focusWidget && focusWidget != editor) {
        focusWidget->setAccessibleName(title);
        // The view filters the editor itself; its inner box needs the same.
        focusWidget->installEventFilter(const_cast<CellDelegate*>(this));
    }
}

bool CellDelegate::editorValue(QWidget* editor, const QModelIndex&, QVariant& value,
                               QString&) const {
    if (auto* e = qobject_cast<QLineEdit*>(editor)) {
        value = e->text().isEmpty() ? QVariant() : QVariant(e->text());
        return true;
    }
    return false;
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    QVariant value;
    QString message;
    if (!editorValue(editor, index, value, message)) {
        if (!message.isEmpty())
            messages().warning(message);
        return;  // the cell keeps its value
    }
    model->setData(index, value, Qt::EditRole);
}

bool CellDelegate::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    QWidget* editor = w;
    while (editor && !editor->property(kEditorMark).toBool()) editor = editor->parentWidget();
    if (!editor)
        return QStyledItemDelegate::eventFilter(watched, event);
    const bool target = w == keyTarget(editor);
    switch (event->type()) {
        case QEvent::KeyPress:
            if (target && grid_->editorKey(editor, static_cast<QKeyEvent*>(event)))
                return true;
            break;
        case QEvent::ShortcutOverride: {
            // Esc and Enter belong to the cell while it is being edited.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::FocusOut: {
            if (!target)
                return false;
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // A dialog of the editor (the lookup's list) or a message box: it comes back.
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
            QWidget* now = QApplication::focusWidget();
            if (now && (now == editor || editor->isAncestorOf(now)))
                return false;
            grid_->editorLeft(editor);
            return false;
        }
        default:
            break;
    }
    if (watched == editor)
        return QStyledItemDelegate::eventFilter(watched, event);
    return false;
}

namespace {

class TextDelegate : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const GridColumn& c = column(index);
        int length = c.maxLength;
        if (length <= 0 && dataSet()->hasField(c.field))
            length = dataSet()->field(c.field).length;
        auto* e = new TextEdit(length, c.upperCase, parent);
        e->setFrame(false);
        prepare(e, index, e);
        return e;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }
};

class IntegerDelegate : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const int digits = column(index).maxLength > 0 ? column(index).maxLength : 9;
        auto* e = new IntegerEdit(digits, parent);
        e->setFrame(false);
        prepare(e, index, e);
        return e;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<IntegerEdit*>(editor)->setValue(index.data(Qt::EditRole));
    }
    bool editorValue(QWidget* editor, const QModelIndex&, QVariant& value,
                     QString&) const override {
        const auto v = static_cast<IntegerEdit*>(editor)->value();
        value = v ? QVariant(qlonglong(*v)) : QVariant();
        return true;
    }
};

// The money box without its own reading on leaving: the grid reads the cell once.
class MoneyCellEdit : public MoneyEdit {
public:
    using MoneyEdit::MoneyEdit;

protected:
    void focusOutEvent(QFocusEvent* e) override { QLineEdit::focusOutEvent(e); }
};

class MoneyDelegate : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* e = new MoneyCellEdit(parent);
        e->setFrame(false);
        prepare(e, index, e);
        return e;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* e = static_cast<MoneyCellEdit*>(editor);
        const QVariant v = index.data(Qt::EditRole);
        const bool has = v.isValid() && !v.isNull() && v.metaType() == QMetaType::fromType<Money>();
        e->setValue(has ? std::optional<Money>(v.value<Money>()) : std::nullopt);
        // Edited as the plain amount: "1234,56".
        e->setText(has ? v.value<Money>().format(QStringLiteral("0.00")) : QString());
    }
    bool editorValue(QWidget* editor, const QModelIndex&, QVariant& value,
                     QString& message) const override {
        const QString t = static_cast<QLineEdit*>(editor)->text().trimmed();
        if (t.isEmpty()) {
            value = QVariant();
            return true;
        }
        const auto parsed = Money::parse(t);
        if (!parsed) {
            QString digits = t;
            digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
            message = digits.size() > 13 ? moneyOutOfRangeMessage()
                                         : QStringLiteral("\"%1\" não é um valor válido!").arg(t);
            return false;
        }
        value = QVariant::fromValue(*parsed);
        return true;
    }
};

class DateDelegate : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* e = new DateEdit(parent);
        e->setFrame(false);
        prepare(e, index, e);
        return e;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<DateEdit*>(editor)->setDate(index.data(Qt::EditRole).toDate());
    }
    bool editorValue(QWidget* editor, const QModelIndex&, QVariant& value,
                     QString& message) const override {
        auto* e = static_cast<DateEdit*>(editor);
        if (e->isEmpty()) {
            value = QVariant();
            return true;
        }
        if (!e->date().isValid()) {
            message = QStringLiteral("A data \"%1\" não é uma data válida!").arg(e->text());
            return false;
        }
        value = e->date();
        return true;
    }
};

class LookupDelegate : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const GridColumn& c = column(index);
        auto* combo = new LookupCombo(c.lookupList, c.lookupKey, c.lookupDisplay, parent);
        combo->setDialogTitle(c.title);
        combo->setDialogColumns({GridColumn(c.lookupDisplay, c.title, 40)});
        combo->lineEdit()->setFrame(false);
        if (grid_->onLookupEditor)
            grid_->onLookupEditor(*combo, index.column());
        prepare(combo, index, combo->lineEdit());
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<LookupCombo*>(editor)->setValue(index.data(Qt::EditRole));
    }
    // The key always agrees with the text: the row chosen from the list while it
    // still shows, else the row shown exactly so, else the first row beginning with
    // the text; nothing (an empty key) when no row matches.
    bool editorValue(QWidget* editor, const QModelIndex& index, QVariant& value,
                     QString&) const override {
        auto* combo = static_cast<LookupCombo*>(editor);
        const GridColumn& c = column(index);
        const QString typed = combo->text().trimmed();
        value = QVariant();
        if (typed.isEmpty() || !c.lookupList || !c.lookupList->isActive())
            return true;
        const QVariant chosen = combo->value();
        if (!chosen.isNull() && grid_->editModel()
                                        ->lookupText(index.column(), chosen)
                                        .trimmed()
                                        .compare(typed, Qt::CaseInsensitive) == 0) {
            value = chosen;
            return true;
        }
        int prefix = -1;
        for (int i = 0; i < c.lookupList->recordCount(); ++i) {
            const QString shown = c.lookupList->valueAt(i, c.lookupDisplay).toString().trimmed();
            if (shown.compare(typed, Qt::CaseInsensitive) == 0) {
                value = c.lookupList->valueAt(i, c.lookupKey);
                return true;
            }
            if (prefix < 0 && shown.startsWith(typed, Qt::CaseInsensitive))
                prefix = i;
        }
        if (prefix >= 0)
            value = c.lookupList->valueAt(prefix, c.lookupKey);
        return true;
    }
};

// "S" ticked, anything else not; no editor: a click or Space on the current cell
// turns it over.
class CheckBoxDelegate : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return nullptr;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        opt.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        QStyleOptionButton box;
        box.state = QStyle::State_Enabled |
                    (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On
                                                                           : QStyle::State_Off);
        const QSize size = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, w).size();
        box.rect = QStyle::alignedRect(option.direction, Qt::AlignCenter, size, option.rect);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, w);
    }
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        const Qt::ItemFlags f = model->flags(index);
        if (!(f & Qt::ItemIsUserCheckable) || !(f & Qt::ItemIsEnabled))
            return false;
        switch (event->type()) {
            case QEvent::MouseButtonRelease: {
                auto* me = static_cast<QMouseEvent*>(event);
                if (me->button() != Qt::LeftButton ||
                    !option.rect.contains(me->position().toPoint()))
                    return false;
                // Only once the click made the row current (a refused post keeps
                // the other row).
                if (grid_->currentIndex().row() != index.row())
                    return false;
                break;
            }
            case QEvent::MouseButtonDblClick:
                return true;  // two clicks, each turning it over
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key != Qt::Key_Space && key != Qt::Key_Select)
                    return false;
                break;
            }
            default:
                return false;
        }
        const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        return true;
    }
};

}  // namespace

// ---------------------------------------------------------------- grid

EditGrid::EditGrid(DataSet* dataSet, QVector<GridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(new EditGridModel(dataSet, std::move(columns), this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: white; "
                       "font-weight: bold; border: 1px solid #6a9fcf; padding: 2px; }")
            .arg(DataGrid::titleColour().name()));
    QPalette p = palette();
    p.setColor(QPalette::Base, DataGrid::bodyColour());
    setPalette(p);
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('N'));
    for (int i = 0; i < model_->columns().size(); ++i)
        setColumnWidth(i, std::max(4, model_->columns()[i].width) * charWidth + 8);

    // One delegate per kind of cell; Auto columns are resolved when the rows are
    // read (the data set may open after the grid is built).
    using Kind = GridColumn::Kind;
    QHash<int, CellDelegate*> delegates;
    delegates.insert(int(Kind::Text), new TextDelegate(this));
    delegates.insert(int(Kind::Integer), new IntegerDelegate(this));
    delegates.insert(int(Kind::Money), new MoneyDelegate(this));
    delegates.insert(int(Kind::Date), new DateDelegate(this));
    delegates.insert(int(Kind::Lookup), new LookupDelegate(this));
    delegates.insert(int(Kind::CheckBox), new CheckBoxDelegate(this));
    const auto assign = [this, delegates] {
        for (int i = 0; i < model_->columns().size(); ++i)
            setItemDelegateForColumn(
                i, delegates.value(int(model_->columns()[i].cellKind(*this->dataSet()))));
    };
    assign();
    connect(model_, &QAbstractItemModel::modelReset, this, assign);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &EditGrid::currentRowMoved);
    connect(dataSet, &DataSet::currentChanged, this, &EditGrid::followDataSet);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { columnBeforeReset_ = currentIndex().column(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        followDataSet();
        columnBeforeReset_ = -1;
    });
    connect(model_, &EditGridModel::cellEdited, this, &EditGrid::cellEdited);
    connect(dataSet, &DataSet::fieldChanged, this, [this] {
        if (!fillingDefaults_)
            newRowTouched_ = true;
    });
    connect(dataSet, &DataSet::rowInserted, this, [this] {
        if (!fillingDefaults_)
            newRowTouched_ = true;  // a row the screen started counts as meant
    });
    followDataSet();
}

void EditGrid::setCaption(const QString& caption) {
    setAccessibleName(caption);
}

QWidget* EditGrid::currentEditor() const {
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    return indexWidget(currentIndex());
}

int EditGrid::nextEditableColumn(int row, int from) const {
    for (int c = std::max(0, from); c < model_->columnCount(); ++c)
        if (!isColumnHidden(c) && model_->isEditable(row, c))
            return c;
    return -1;
}

int EditGrid::firstEditableColumn(int row) const {
    return nextEditableColumn(row, 0);
}

void EditGrid::followDataSet() {
    DataSet* ds = dataSet();
    const int row = ds->isActive() ? ds->currentIndex() : -1;
    // Code moved the data set: typing left open on another row has no row to go to.
    if (QWidget* editor = currentEditor(); editor && currentIndex().row() != row)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    const bool wasSyncing = syncing_;
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        if (currentIndex().row() != row) {
            int column = currentIndex().isValid()  ? currentIndex().column()
                         : columnBeforeReset_ >= 0 ? columnBeforeReset_
                                                   : std::max(0, firstEditableColumn(row));
            column = std::min(column, model_->columnCount() - 1);
            selectionModel()->setCurrentIndex(model_->index(row, column),
                                              QItemSelectionModel::ClearAndSelect);
        }
        scrollTo(currentIndex());
    } else {
        selectionModel()->clear();
    }
    syncing_ = wasSyncing;
}

void EditGrid::currentRowMoved(const QModelIndex& current, const QModelIndex&) {
    if (syncing_ || model_->restructuring() || !current.isValid())
        return;
    DataSet* ds = dataSet();
    if (!ds->isActive() || ds->currentIndex() == current.row())
        return;
    // The row being left is posted first; what its post does to the rows (a rule
    // that deletes an empty row) moves the target with them.
    const QPersistentModelIndex target(current);
    const int wanted = current.row();
    syncing_ = true;
    bool ok = postRow();
    if (ok) {
        // Rows read again by the post (a screen applying and refreshing): the same
        // place in the list.
        const int row = target.isValid() ? target.row() : std::min(wanted, ds->recordCount() - 1);
        try {
            if (row >= 0)
                ds->setCurrentIndex(row);
        } catch (const DataSetError& e) {
            messages().warning(e.message());
            ok = false;
        }
    }
    syncing_ = false;
    followDataSet();
    if (!ok)
        setFocus();
}

bool EditGrid::postRow() {
    DataSet* ds = dataSet();
    if (!ds->isActive())
        return true;
    if (!commitEditor())
        return false;
    if (!ds->isEditing())
        return true;
    try {
        ds->post();
        return true;
    } catch (const DataSetError& e) {
        messages().warning(e.message());
    } catch (const fb::Error& e) {
        messages().warning(e.message());
    }
    setFocus();
    return false;
}

void EditGrid::cancelRow() {
    if (QWidget* editor = currentEditor())
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    dataSet()->cancel();
    setFocus();
}

bool EditGrid::commitEditor() {
    QWidget* editor = currentEditor();
    if (!editor)
        return true;
    const QModelIndex index = currentIndex();
    auto* delegate = qobject_cast<CellDelegate*>(itemDelegateForColumn(index.column()));
    QVariant value;
    QString message;
    if (delegate && !delegate->editorValue(editor, index, value, message)) {
        if (!message.isEmpty())
            messages().warning(message);
        editor->setFocus();
        return false;
    }
    if (delegate && !model_->setData(index, value, Qt::EditRole) &&
        model_->isEditable(index.row(), index.column())) {
        editor->setFocus();  // refused by the data set: the typing stays
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    setFocus();
    return true;
}

void EditGrid::editorLeft(QWidget* editor) {
    if (editor != currentEditor())
        return;
    const QModelIndex index = currentIndex();
    if (auto* delegate = qobject_cast<CellDelegate*>(itemDelegateForColumn(index.column())))
        delegate->setModelData(editor, model_, index);  // what is not a value is reported
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool EditGrid::setCurrentCell(int row, int column) {
    if (row < 0 || row >= model_->rowCount() || column < 0 || column >= model_->columnCount())
        return false;
    if (!commitEditor())
        return false;
    setCurrentIndex(model_->index(row, column));
    setFocus();
    return currentIndex().row() == row && dataSet()->currentIndex() == row;
}

bool EditGrid::lastRowIsUntouchedNew() const {
    const DataSet* ds = dataSet();
    return ds->state() == DataSet::State::Insert && ds->currentIndex() == ds->recordCount() - 1 &&
           !newRowTouched_;
}

bool EditGrid::startRow(bool atEnd) {
    DataSet* ds = dataSet();
    if (!ds->isActive() || !commitEditor())
        return false;
    if (atEnd && lastRowIsUntouchedNew()) {
        setFocus();
        return false;
    }
    if (canAppend && !canAppend()) {
        setFocus();
        return false;
    }
    if (!postRow())
        return false;
    fillingDefaults_ = true;
    try {
        if (atEnd)
            ds->append();
        else
            ds->insert();
        if (onAppend)
            onAppend(*ds);
    } catch (const DataSetError& e) {
        fillingDefaults_ = false;
        messages().warning(e.message());
        setFocus();
        return false;
    }
    fillingDefaults_ = false;
    newRowTouched_ = false;
    const int row = ds->currentIndex();
    syncing_ = true;
    selectionModel()->setCurrentIndex(model_->index(row, std::max(0, firstEditableColumn(row))),
                                      QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
    scrollTo(currentIndex());
    setFocus();
    return true;
}

bool EditGrid::appendRow() {
    return startRow(true);
}

bool EditGrid::insertRow() {
    return startRow(false);
}

bool EditGrid::moveRow(int delta) {
    const int row = currentIndex().row();
    if (delta > 0 && row == model_->rowCount() - 1)
        return appendRow();
    if (row + delta < 0 || row + delta >= model_->rowCount())
        return false;
    return setCurrentCell(row + delta, std::max(0, currentIndex().column()));
}

void EditGrid::advance() {
    if (!dataSet()->isActive())
        return;
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) {
        if (model_->rowCount() == 0)
            appendRow();
        else
            setCurrentCell(0, std::max(0, firstEditableColumn(0)));
        return;
    }
    const int next = nextEditableColumn(cur.row(), cur.column() + 1);
    if (next >= 0)
        setCurrentCell(cur.row(), next);
    else if (cur.row() + 1 < model_->rowCount())
        setCurrentCell(cur.row() + 1, std::max(0, firstEditableColumn(cur.row() + 1)));
    else
        appendRow();
}

bool EditGrid::editorKey(QWidget* editor, QKeyEvent* event) {
    const QModelIndex cur = currentIndex();
    if (onKey && onKey(*event, cur.row(), cur.column()))
        return true;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            if (!plain)
                return false;
            if (commitEditor())
                advance();
            return true;
        case Qt::Key_Escape:
            closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            setFocus();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (!plain)
                return false;
            if (commitEditor())
                moveRow(event->key() == Qt::Key_Up ? -1 : 1);
            return true;
        default:
            return false;
    }
}

void EditGrid::keyPressEvent(QKeyEvent* event) {
    // A key the open editor left alone comes up here: editorKey() has seen it already.
    QWidget* editor = currentEditor();
    QWidget* focus = QApplication::focusWidget();
    if (editor && focus && (focus == editor || editor->isAncestorOf(focus))) {
        QTableView::keyPressEvent(event);
        return;
    }
    const QModelIndex cur = currentIndex();
    if (onKey && onKey(*event, cur.row(), cur.column())) {
        event->accept();
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain) {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                advance();
                event->accept();
                return;
            case Qt::Key_Down:
                if (dataSet()->isActive() &&
                    (model_->rowCount() == 0 || cur.row() == model_->rowCount() - 1)) {
                    appendRow();
                    event->accept();
                    return;
                }
                break;
            case Qt::Key_Insert:
                if (dataSet()->isActive()) {
                    insertRow();
                    event->accept();
                    return;
                }
                break;
            case Qt::Key_Escape:
                if (dataSet()->isEditing()) {
                    cancelRow();
                    event->accept();
                    return;
                }
                break;
            default:
                break;
        }
    }
    QTableView::keyPressEvent(event);
}

void EditGrid::mousePressEvent(QMouseEvent* event) {
    // A click on another row posts the row being left first; when that is refused
    // the click does nothing at all (no cell of the other row selected or ticked).
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.row() != dataSet()->currentIndex() && dataSet()->isEditing() &&
        !postRow()) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void EditGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (!onContextMenu) {
        QTableView::contextMenuEvent(event);
        return;
    }
    event->accept();
    if (!commitEditor())
        return;
    int row = currentIndex().row();
    if (event->reason() == QContextMenuEvent::Mouse) {
        row = rowAt(event->pos().y());
        const int column = columnAt(event->pos().x());
        if (row >= 0 && row != dataSet()->currentIndex() &&
            !setCurrentCell(row, column >= 0 ? column : std::max(0, currentIndex().column())))
            return;  // the row being left could not be posted
    }
    QMenu menu(this);
    onContextMenu(menu, row);
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
    setFocus();
}

}  // namespace kit
