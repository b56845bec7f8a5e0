#include "kit/ui/widgets/datagrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSet>

namespace kit {

GridColumn::Kind GridColumn::cellKind(const DataSet& dataSet) const {
    if (kind != Kind::Auto)
        return kind;
    if (checkBox)
        return Kind::CheckBox;
    if (!dataSet.hasField(field))
        return Kind::Text;
    switch (dataSet.field(field).type) {
        case fb::FieldType::Integer:
            return Kind::Integer;
        case fb::FieldType::Money:
            return Kind::Money;
        case fb::FieldType::Date:
            return Kind::Date;
        default:
            return Kind::Text;
    }
}

DataSetModel::DataSetModel(DataSet* dataSet, QVector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet), columns_(std::move(columns)) {
    rows_ = dataSet_->recordCount();
    // Rows come and go one at a time, announced as such, so that the views keep
    // their open editors, current cell and scroll position; only a new reading of
    // the rows resets the model.
    connect(dataSet_, &DataSet::rowsReset, this, [this] {
        beginResetModel();
        rows_ = dataSet_->recordCount();
        endResetModel();
    });
    connect(dataSet_, &DataSet::rowInserted, this, [this](int row) {
        if (row < 0 || row > rows_ || rows_ + 1 != dataSet_->recordCount()) {
            beginResetModel();  // out of step: start again
            rows_ = dataSet_->recordCount();
            endResetModel();
            return;
        }
        ++restructuring_;
        beginInsertRows({}, row, row);
        ++rows_;
        endInsertRows();
        --restructuring_;
    });
    connect(dataSet_, &DataSet::rowRemoved, this, [this](int row) {
        if (row < 0 || row >= rows_ || rows_ - 1 != dataSet_->recordCount()) {
            beginResetModel();
            rows_ = dataSet_->recordCount();
            endResetModel();
            return;
        }
        ++restructuring_;
        beginRemoveRows({}, row, row);
        --rows_;
        endRemoveRows();
        --restructuring_;
    });
    connect(dataSet_, &DataSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    QSet<DataSet*> lists;
    for (const GridColumn& c : columns_)
        if (c.kind == GridColumn::Kind::Lookup && c.lookupList)
            lists.insert(c.lookupList);
    for (DataSet* list : lists) {
        const auto changed = [this, list] { rowsChangedInList(list); };
        connect(list, &DataSet::rowsReset, this, changed);
        connect(list, &DataSet::rowInserted, this, changed);
        connect(list, &DataSet::rowRemoved, this, changed);
        connect(list, &DataSet::rowChanged, this, changed);
    }
}

void DataSetModel::rowsChangedInList(const DataSet* list) {
    for (int c = 0; c < columns_.size(); ++c)
        if (columns_[c].kind == GridColumn::Kind::Lookup && columns_[c].lookupList == list) {
            lookupCache_.remove(c);
            if (rows_ > 0)
                emit dataChanged(index(0, c), index(rows_ - 1, c));
        }
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString DataSetModel::lookupText(int column, const QVariant& key) const {
    const GridColumn& c = columns_[column];
    if (!c.lookupList || !c.lookupList->isActive() || !key.isValid() || key.isNull())
        return QString();
    LookupCache& cache = lookupCache_[column];
    if (!cache.valid || cache.generation != c.lookupList->generation()) {
        cache.shown.clear();
        for (int i = 0; i < c.lookupList->recordCount(); ++i) {
            const QString k = c.lookupList->valueAt(i, c.lookupKey).toString();
            if (!cache.shown.contains(k))
                cache.shown.insert(k, c.lookupList->valueAt(i, c.lookupDisplay).toString());
        }
        cache.generation = c.lookupList->generation();
        cache.valid = true;
    }
    return cache.shown.value(key.toString());
}

QString DataSetModel::displayText(int row, int column) const {
    const GridColumn& c = columns_[column];
    const QVariant v = dataSet_->valueAt(row, c.field);
    if (!v.isValid() || v.isNull())
        return QString();
    if (c.kind == GridColumn::Kind::Lookup)
        return lookupText(column, v);
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().format(c.format.isEmpty() ? QStringLiteral("#,##0.00") : c.format);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    return v.toString();
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !dataSet_->isActive() || index.row() >= dataSet_->recordCount())
        return {};
    const GridColumn& c = columns_[index.column()];
    const bool check = c.cellKind(*dataSet_) == GridColumn::Kind::CheckBox;
    switch (role) {
        case Qt::DisplayRole:
            return check ? QVariant() : QVariant(displayText(index.row(), index.column()));
        case Qt::EditRole:
            return dataSet_->valueAt(index.row(), c.field);
        case Qt::CheckStateRole:
            if (!check)
                return {};
            return dataSet_->valueAt(index.row(), c.field).toString() == QLatin1String("S")
                       ? Qt::Checked
                       : Qt::Unchecked;
        case Qt::TextAlignmentRole: {
            const QVariant v = dataSet_->valueAt(index.row(), c.field);
            if (c.kind == GridColumn::Kind::Lookup)
                return int(Qt::AlignLeft | Qt::AlignVCenter);
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
                // While a row comes or goes the view moves its current index on its
                // own, in the old numbering; the data set has already chosen.
                if (syncing_ || model_->restructuring() || !current.isValid())
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
