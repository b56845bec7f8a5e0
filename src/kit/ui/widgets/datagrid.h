#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>
#include <functional>

#include "kit/db/dataset.h"

namespace kit {

struct GridColumn {
    GridColumn(const char* field_, const char* title_, int width_ = 10)
        : field(QString::fromLatin1(field_)), title(QString::fromUtf8(title_)), width(width_) {}
    GridColumn(const QString& field_, const QString& title_, int width_ = 10)
        : field(field_), title(title_), width(width_) {}
    QString field;
    QString title;
    int width = 10;         // characters
    QString format;         // money pattern, for money fields
    bool checkBox = false;  // "S" shows ticked
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

private:
    DataSet* dataSet_;
    QVector<GridColumn> columns_;
    CellColours colours_;
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
