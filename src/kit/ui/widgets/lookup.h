#pragma once

#include <QDialog>
#include <QVariant>
#include <QWidget>

#include "kit/ui/widgets/datagrid.h"

class QLineEdit;
class QToolButton;

namespace kit {

// Moves the list to its first visible row whose field begins with the text, ignoring
// case; false (the list where it was) when the text is empty or no row matches.
bool locatePrefix(DataSet& list, const QString& field, const QString& text);

// The selection dialog of a lookup: a grid over the list with the given columns,
// a box that finds the first row beginning with what is typed, OK and Cancel.
class LookupDialog : public QDialog {
    Q_OBJECT
public:
    LookupDialog(DataSet* list, const QString& searchField, QVector<GridColumn> columns,
                 const QString& title, QWidget* parent = nullptr);
    DataGrid* grid() const { return grid_; }
    QLineEdit* searchBox() const { return search_; }
    // Moves to the first row whose search field begins with the text, ignoring case.
    bool locate(const QString& text);

private:
    DataSet* list_;
    QString searchField_;
    DataGrid* grid_;
    QLineEdit* search_;
};

// A box that holds the key of a row of another table and shows one of its fields:
// the drop-down button (or F2, or Alt+Down) opens the selection dialog; typing in
// the box chooses the first row beginning with the text, or none when no row does
// (an empty box holds no key); Delete clears the choice when clearing is allowed.
class LookupCombo : public QWidget {
    Q_OBJECT
public:
    LookupCombo(DataSet* list, const QString& keyField, const QString& displayField,
                QWidget* parent = nullptr);

    void setDialogTitle(const QString& title) { title_ = title; }
    void setDialogColumns(QVector<GridColumn> columns) { columns_ = std::move(columns); }
    void setClearable(bool on) { clearable_ = on; }

    QVariant value() const { return key_; }  // null when nothing is chosen
    void setValue(const QVariant& key);
    QString text() const;
    QLineEdit* lineEdit() const { return edit_; }

    // Opens the selection dialog; true when a row was chosen with OK.
    bool showDialog();
    // What a test or a caller uses to answer the dialog (runs once, then clears).
    std::function<bool(LookupDialog&)> dialogHook;

signals:
    void valueChanged(const QVariant& key);
    // The selection dialog closed (chosen or not).
    void dialogClosed(bool accepted);
    // The operator finished typing a choice (Enter, or the focus left the box); the
    // box then holds the key of the row the text found, or none.
    void typedChoice();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(const QVariant& key);
    void findTyped(const QString& text);
    void finishTyping();

    DataSet* list_;
    QString keyField_;
    QString displayField_;
    QString title_;
    QVector<GridColumn> columns_;
    bool clearable_ = false;
    QVariant key_;
    QLineEdit* edit_;
    QToolButton* button_;
    bool updating_ = false;
    bool typed_ = false;
};

}  // namespace kit
