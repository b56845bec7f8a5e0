#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QTableView>
#include <functional>

#include "kit/db/dataset.h"

namespace kit {

struct GridColumn {
    // What a cell holds and how kit::EditGrid edits it. Auto: a check box when
    // checkBox is set, otherwise by the field's type (integer, money, date, text).
    enum class Kind { Auto, Text, Integer, Money, Date, CheckBox, Lookup };

    GridColumn(const char* field_, const char* title_, int width_ = 10)
        : field(QString::fromLatin1(field_)), title(QString::fromUtf8(title_)), width(width_) {}
    GridColumn(const QString& field_, const QString& title_, int width_ = 10)
        : field(field_), title(title_), width(width_) {}
    QString field;
    QString title;
    int width = 10;         // characters
    QString format;         // money pattern, for money fields
    bool checkBox = false;  // "S" shows ticked

    Kind kind = Kind::Auto;
    bool readOnly = false;  // never typed into (the field's own read-only mark counts too)
    int maxLength = 0;      // text: characters, integers: digits; 0 = the field's length (9 digits)
    bool upperCase = true;  // text cells
    // Lookup: the field holds a key of lookupList's lookupKey; the cell shows that
    // row's lookupDisplay.
    DataSet* lookupList = nullptr;
    QString lookupKey;
    QString lookupDisplay;

    // The same, one line per column: GridColumn("VALOR", "VALOR", 13).asMoney(",0.00").
    GridColumn& asText(int length = 0, bool upper = true) {
        kind = Kind::Text;
        maxLength = length;
        upperCase = upper;
        return *this;
    }
    GridColumn& asInteger(int digits = 0) {
        kind = Kind::Integer;
        maxLength = digits;
        return *this;
    }
    GridColumn& asMoney(const QString& pattern = {}) {
        kind = Kind::Money;
        format = pattern;
        return *this;
    }
    GridColumn& asDate() {
        kind = Kind::Date;
        return *this;
    }
    GridColumn& asCheckBox() {
        kind = Kind::CheckBox;
        checkBox = true;
        return *this;
    }
    GridColumn& asLookup(DataSet* list, const QString& key, const QString& display) {
        kind = Kind::Lookup;
        lookupList = list;
        lookupKey = key;
        lookupDisplay = display;
        return *this;
    }
    GridColumn& setReadOnly(bool on = true) {
        readOnly = on;
        return *this;
    }
    // The kind after Auto is resolved against the data set's field.
    Kind cellKind(const DataSet& dataSet) const;
};

// The rows of a data set as a read-only table for the views.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DataSetModel(DataSet* dataSet, QVector<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    DataSet* dataSet() const { return dataSet_; }
    const QVector<GridColumn>& columns() const { return columns_; }
    // Colours of one cell (text, background); an invalid colour keeps the default.
    using CellColours =
        std::function<std::pair<QColor, QColor>(const DataSet&, int row, const QString& field)>;
    void setCellColours(CellColours colours) { colours_ = std::move(colours); }
    // The text shown in a cell.
    QString displayText(int row, int column) const;
    // The text a lookup column shows for a key (empty when the list has no such row).
    QString lookupText(int column, const QVariant& key) const;
    // True while a row is being inserted or removed: the views move their current
    // index then, in the old numbering, and nothing should be written back.
    bool restructuring() const { return restructuring_ > 0; }

private:
    void rowsChangedInList(const DataSet* list);

    DataSet* dataSet_;
    QVector<GridColumn> columns_;
    CellColours colours_;
    // The row count the views were last told of: rows are announced one at a time.
    int rows_ = 0;
    int restructuring_ = 0;
    struct LookupCache {
        quint64 generation = 0;
        bool valid = false;
        QHash<QString, QString> shown;  // key text -> display text
    };
    mutable QHash<int, LookupCache> lookupCache_;  // by column
};

// A read-only grid over a data set: whole-row selection following the data set's
// current row, check-box columns, per-cell colours; a blue title row over a
// light-blue body unless told otherwise.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    DataGrid(DataSet* dataSet, QVector<GridColumn> columns, QWidget* parent = nullptr);
    DataSetModel* dataModel() const { return model_; }
    void setCellColours(DataSetModel::CellColours colours) {
        model_->setCellColours(std::move(colours));
    }

    static QColor titleColour() { return QColor(0x00, 0x80, 0xC0); }  // $00C08000
    static QColor bodyColour() { return QColor(0xCC, 0xE4, 0xFF); }   // $00FFE4CC

signals:
    void rowActivated();  // double click or Enter on a row

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followDataSet();
    DataSetModel* model_;
    bool syncing_ = false;
};

}  // namespace kit
