#pragma once

#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

#include "kit/ui/widgets/datagrid.h"

class QMenu;

namespace kit {

class EditGrid;
class LookupCombo;

// The rows of a data set as an editable table: what may be typed into comes from
// the columns' definitions (and the data set's fields), and every value written goes
// to the data set's current row, which is put in edit first.
class EditGridModel : public DataSetModel {
    Q_OBJECT
public:
    EditGridModel(DataSet* dataSet, QVector<GridColumn> columns, QObject* parent = nullptr);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // EditRole: the field's value (as the delegates give it); CheckStateRole: "S"/"N".
    // A value the data set refuses is reported through kit::messages() and false is
    // returned.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // True when the cell may be changed by the operator.
    bool isEditable(int row, int column) const;
    // A screen's rule for single cells (the row's state decides); null: every cell of
    // an editable column.
    std::function<bool(const DataSet&, int row, int column)> cellEditable;

signals:
    // A value typed or ticked by the operator reached the data set.
    void cellEdited(int row, int column);
};

// The delegates, one per kind of cell; EditGrid sets them per column.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CellDelegate(EditGrid* grid);
    // The editor's value as the data set takes it; false with a message when the text
    // is not a value of the cell's kind.
    virtual bool editorValue(QWidget* editor, const QModelIndex& index, QVariant& value,
                             QString& message) const;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    const GridColumn& column(const QModelIndex& index) const;
    DataSet* dataSet() const;
    // Names the editor after the column and routes its keys to the grid.
    void prepare(QWidget* editor, const QModelIndex& index, QWidget* focusWidget) const;
    EditGrid* grid_;
};

// An editable grid over a data set, for the schedules typed row after row.
//
// Keys: Enter (and Tab) commit the open cell and move to the next editable column,
// from the last one to the first editable column of the next row; Enter at the end
// of the last row, and Down on the last row, append a row (canAppend may refuse,
// onAppend fills the defaults; an appended row nothing was typed into gets no
// second one); Insert inserts a row before the current one the same way; Esc drops
// the open cell's typing, a second Esc the row's changes (a new row goes away); Space
// or a click ticks and unticks a check-box cell; F2, a double click or typing opens
// the cell's editor; F2 or Alt+Down in a lookup cell opens its list.
//
// The row is posted when the current row changes (by key, click or code); a post
// the data set refuses with DataSetError shows its message through kit::messages()
// and keeps that row current and in edit. Rows inserted, removed or changed are
// announced one at a time, so an editor open elsewhere stays open.
class EditGrid : public QTableView {
    Q_OBJECT
public:
    EditGrid(DataSet* dataSet, QVector<GridColumn> columns, QWidget* parent = nullptr);

    EditGridModel* editModel() const { return model_; }
    DataSet* dataSet() const { return model_->dataSet(); }
    const QVector<GridColumn>& columns() const { return model_->columns(); }

    // The caption a screen reader gives the grid.
    void setCaption(const QString& caption);
    QString caption() const { return accessibleName(); }

    // The screen's part.
    // Asked before a row is appended or inserted; false refuses (the screen says why).
    std::function<bool()> canAppend;
    // After a row was appended or inserted by the grid: the row's defaults.
    std::function<void(DataSet&)> onAppend;
    // Before the grid's own handling of a key, with or without an open editor, with the
    // current cell; true when the screen handled it (the grid then does nothing).
    std::function<bool(QKeyEvent&, int row, int column)> onKey;
    // The context menu of a row (-1: below the rows); the clicked row is made current
    // first. An empty menu is not shown.
    std::function<void(QMenu&, int row)> onContextMenu;
    // Each lookup editor as it opens, to set its list dialog (title, columns).
    std::function<void(LookupCombo&, int column)> onLookupEditor;

    // Actions, for the screens as for the keys. Each leaves the focus on the grid.
    bool appendRow();  // false when refused
    bool insertRow();
    // Posts the current row; false (message shown, still in edit) when refused.
    bool postRow();
    // Drops the open editor's typing and the row's changes.
    void cancelRow();
    // Moves to a cell, posting the row when it changes; false when refused.
    bool setCurrentCell(int row, int column);
    // Writes the open editor's value; false (message shown, editor kept) when it is
    // not a value of the cell. True when no editor is open.
    bool commitEditor();
    // The editor open on the current cell, if any.
    QWidget* currentEditor() const;
    int firstEditableColumn(int row) const;
    // The first editable column at or after from; -1 when none.
    int nextEditableColumn(int row, int from) const;

    // Called by the delegates with their editors' keys; true when handled.
    bool editorKey(QWidget* editor, QKeyEvent* event);
    // An editor lost the focus to another control of the window.
    void editorLeft(QWidget* editor);

signals:
    // A value typed or ticked by the operator reached the data set.
    void cellEdited(int row, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void advance();
    bool moveRow(int delta);
    bool startRow(bool atEnd);
    void currentRowMoved(const QModelIndex& current, const QModelIndex& previous);
    void followDataSet();
    bool lastRowIsUntouchedNew() const;

    EditGridModel* model_;
    bool syncing_ = false;
    bool fillingDefaults_ = false;
    bool newRowTouched_ = true;
    int columnBeforeReset_ = -1;
};

}  // namespace kit
