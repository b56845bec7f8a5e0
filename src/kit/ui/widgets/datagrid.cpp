#include "kit/ui/widgets/datagrid.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace kit {

DataSetModel::DataSetModel(DataSet* dataSet, QVector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet), columns_(std::move(columns)) {
    connect(dataSet_, &DataSet::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(dataSet_, &DataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataSet_->recordCount();
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString DataSetModel::displayText(int row, int column) const {
    const GridColumn& c = columns_[column];
    const QVariant v = dataSet_->valueAt(row, c.field);
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().format(c.format.isEmpty() ? QStringLiteral("#,##0.00") : c.format);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    return v.toString();
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataSet_->isActive())
        return {};
    const GridColumn& c = columns_[index.column()];
    switch (role) {
        case Qt::DisplayRole:
            return c.checkBox ? QVariant() : QVariant(displayText(index.row(), index.column()));
        case Qt::CheckStateRole:
            if (!c.checkBox)
                return {};
            return dataSet_->valueAt(index.row(), c.field).toString() == QLatin1String("S")
                       ? Qt::Checked
                       : Qt::Unchecked;
        case Qt::TextAlignmentRole: {
            const QVariant v = dataSet_->valueAt(index.row(), c.field);
            if (v.metaType() == QMetaType::fromType<Money>() || v.typeId() == QMetaType::LongLong)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
        case Qt::ForegroundRole:
        case Qt::BackgroundRole: {
            if (!colours_)
                return {};
            const auto [text, back] = colours_(*dataSet_, index.row(), c.field);
            const QColor& wanted = role == Qt::ForegroundRole ? text : back;
            return wanted.isValid() ? QVariant(wanted) : QVariant();
        }
        default:
            return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns_.size())
        return columns_[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

DataGrid::DataGrid(DataSet* dataSet, QVector<GridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(new DataSetModel(dataSet, std::move(columns), this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: white; "
                       "font-weight: bold; border: 1px solid #6a9fcf; padding: 2px; }")
            .arg(titleColour().name()));
    QPalette p = palette();
    p.setColor(QPalette::Base, bodyColour());
    setPalette(p);
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('N'));
    for (int i = 0; i < model_->columns().size(); ++i)
        setColumnWidth(i, std::max(4, model_->columns()[i].width) * charWidth + 8);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ || !current.isValid())
                    return;
                DataSet* ds = model_->dataSet();
                if (ds->currentIndex() != current.row() && !ds->isEditing())
                    ds->setCurrentIndex(current.row());
            });
    connect(dataSet, &DataSet::currentChanged, this, &DataGrid::followDataSet);
    connect(model_, &QAbstractItemModel::modelReset, this, &DataGrid::followDataSet);
    connect(this, &QAbstractItemView::doubleClicked, this, &DataGrid::rowActivated);
    followDataSet();
}

void DataGrid::followDataSet() {
    const int row = model_->dataSet()->isActive() ? model_->dataSet()->currentIndex() : -1;
    syncing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex idx = model_->index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(
            idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit rowActivated();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace kit
