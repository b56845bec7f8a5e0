#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "kit/db/database.h"

namespace kit {

class DataSet;

struct FieldDef {
    enum class Kind { Data, Lookup, Calculated };

    QString name;
    fb::FieldType type = fb::FieldType::Text;
    int length = 0;  // characters, for text
    int scale = 0;
    Kind kind = Kind::Data;
    bool required = false;
    bool readOnly = false;
    QString relation;  // table the column comes from
    QString column;    // its name there
    // Lookup: the value of resultField in the row of lookup whose lookupKey equals keyField.
    QString keyField;
    DataSet* lookup = nullptr;
    QString lookupKey;
    QString resultField;
    // Calculated: computed from the row on every read.
    std::function<QVariant(const DataSet&)> calculate;  // reads the row through value()
};

// Raised by a data set used the wrong way (the screens' programming errors) or by
// a check that refuses a value; its message is fit to show.
class DataSetError : public std::runtime_error {
public:
    explicit DataSetError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// What applyUpdates() did. When ok is false nothing was written and the changes are
// still pending; error says why (error->isRowChanged(): another workstation changed
// or deleted a row since it was read; error->isConnectionLost(); error->kind() ==
// fb::Error::Kind::Input: a value refused before the database; otherwise the
// database refused the change).
struct ApplyResult {
    bool ok = true;
    int attempts = 0;
    std::optional<fb::Error> error;
};

// A cached data set over one select: its rows are read into memory, browsed,
// inserted, edited and deleted there, and the pending changes are applied to the
// database in one transaction by applyUpdates().
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };

    explicit DataSet(Database* db, QObject* parent = nullptr);
    ~DataSet() override;

    Database* database() const { return db_; }

    // The select, with ":NAME" parameters.
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;

    // The table the changes are written to and its key; by default the table all the
    // select's columns come from and that table's primary key.
    void setUpdateTable(const QString& table, const QStringList& keyFields = {});
    const QString& updateTable() const { return updateTable_; }
    const QStringList& keyFields() const { return keyFields_; }

    // Fields beyond the select's columns. Add them before open().
    void addLookupField(const QString& name, const QString& keyField, DataSet* lookup,
                        const QString& lookupKey, const QString& resultField);
    void addCalculatedField(const QString& name, fb::FieldType type,
                            std::function<QVariant(const DataSet&)> calculate);
    void setRequired(const QString& field, bool required = true);
    // Fields whose value the database gives (read back, never written).
    void setReadOnly(const QString& field, bool readOnly = true);

    void open();
    void close();
    // Reads the rows again; the current row stays on the same key when it still exists.
    // Rows posted but not yet applied are kept as they are (an inserted row stays, a
    // changed or deleted row keeps its change and the values it was read with, over
    // the row read again). Refused (DataSetError) while a row is being inserted or
    // edited: post or cancel it first.
    void refresh();
    bool isActive() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Insert || state_ == State::Edit; }

    const QVector<FieldDef>& fields() const { return fields_; }
    int fieldIndex(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    const FieldDef& field(const QString& name) const;

    // Navigation over the visible rows (after the filter and the master's restriction).
    int recordCount() const { return static_cast<int>(visible_.size()); }
    bool isEmpty() const { return visible_.empty(); }
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    void first() { setCurrentIndex(0); }
    void last() { setCurrentIndex(recordCount() - 1); }
    void next();
    void prior();
    bool bof() const { return current_ <= 0; }
    bool eof() const { return current_ >= recordCount() - 1; }
    // Moves to the first visible row whose field equals value; false when none.
    bool locate(const QString& field, const QVariant& value);

    // Values of the current row (its edit buffer while inserting or editing).
    QVariant value(const QString& field) const;
    QVariant valueAt(int visibleRow, const QString& field) const;
    bool isNull(const QString& field) const;
    QString text(const QString& field) const { return value(field).toString(); }
    // Sets a field of the current row; only while inserting or editing.
    void setValue(const QString& field, const QVariant& value);

    void insert();  // a new row before the current one
    void append();  // a new row at the end
    void edit();
    void post();
    void cancel();
    void remove();  // deletes the current row (pending until applied)

    // Pending changes.
    bool hasPendingChanges() const;
    int pendingCount() const;
    // Applies the pending changes in one transaction, then runs extra (when given) in
    // that same transaction, and commits: all of it is written or none. A change or
    // delete writes only when the columns it changes (a delete: all its columns) still
    // hold the values they were read with (compared by the database, NULL-safe; blobs
    // are read under a row lock and compared here); otherwise nothing is written and
    // the error is isRowChanged(). After a lock conflict the transaction
    // is run again (Database::write), which is safe because of that comparison.
    // Never throws fb::Error: the result says what happened.
    ApplyResult applyUpdates(const std::function<void(fb::Transaction&)>& extra = {});
    // The two halves of applyUpdates(), for writing the changes of several data sets
    // (or other statements) in one transaction of the caller's: writePending() runs the
    // pending changes' statements in tr (throws fb::Error, DataSetError when a row is
    // being edited and cannot be posted); after tr was committed, markApplied() makes
    // the rows written by the last writePending() the ones read from the database.
    // When the transaction is not committed, do not call markApplied(): the changes
    // stay pending.
    void writePending(fb::Transaction& tr);
    void markApplied();
    void cancelUpdates();
    // True when the current row was inserted or changed and not yet applied.
    bool currentIsPending() const;

    // An in-memory filter over the rows; applies while filtered is on. It reads the
    // candidate row through value().
    void setFilter(std::function<bool(const DataSet&)> filter);
    void setFiltered(bool on);
    bool isFiltered() const { return filtered_; }

    // Master-detail: only the rows whose detail fields equal the master's current
    // values are visible; new rows take those values.
    void setMaster(DataSet* master, const QStringList& masterFields,
                   const QStringList& detailFields);

    // Hooks, as the screens need them.
    std::function<void(DataSet&)> onNewRecord;
    std::function<void(DataSet&)> beforePost;  // may throw DataSetError to refuse
    std::function<void(DataSet&)> afterPost;
    std::function<void(DataSet&)> beforeDelete;
    std::function<void(DataSet&)> afterScroll;

    // Increases whenever the set of rows changes (used by lookups and views).
    quint64 generation() const { return generation_; }

signals:
    void stateChanged();
    void currentChanged();
    void rowsReset();                 // rows read, filtered, restricted again
    void rowChanged(int visibleRow);  // values of one row changed
    // One row came into the visible rows at visibleRow (the rows from there on moved
    // down one), or left them (the rows after it moved up one). Emitted before
    // currentChanged, with recordCount() already counting the change.
    void rowInserted(int visibleRow);
    void rowRemoved(int visibleRow);
    void fieldChanged(const QString& name);

private:
    enum class Status { Unchanged, Inserted, Modified, Deleted };
    struct Row {
        QVector<QVariant> values;
        QVector<QVariant> original;
        Status status = Status::Unchanged;
        quint64 seq = 0;
    };
    using RowPtr = std::shared_ptr<Row>;

    void requireActive() const;
    std::vector<RowPtr> readRows(QVector<FieldDef>* fields);
    QVariantList keyOf(const Row& row, bool original) const;
    void rebuildVisible(const RowPtr& keep = nullptr);
    bool rowVisible(const RowPtr& row) const;
    QVariant rawValue(const Row& row, int field) const;
    QVariant lookupValue(const FieldDef& f, const Row& row) const;
    QVariant coerce(const FieldDef& f, const QVariant& v) const;
    void discoverUpdateTarget();
    void startNewRow(bool atEnd);
    RowPtr currentRow() const;
    void setCurrentInternal(int index, bool notify);

    Database* db_;
    QString sql_;
    QHash<QString, QVariant> params_;
    QString updateTable_;
    QStringList keyFields_;
    bool updateTargetSet_ = false;
    QVector<FieldDef> fields_;
    QVector<FieldDef> extraFields_;  // lookups and calculated fields, added before open
    QHash<QString, int> fieldIndex_;
    QSet<QString> requiredFields_;
    QSet<QString> readOnlyFields_;
    std::vector<RowPtr> rows_;
    std::vector<RowPtr> visible_;
    State state_ = State::Inactive;
    int current_ = -1;
    RowPtr editRow_;  // the row being inserted or edited
    QVector<QVariant> editBuffer_;
    bool editIsNew_ = false;
    // Rows the last writePending() wrote, with the change they had then.
    std::vector<std::pair<RowPtr, quint64>> written_;
    quint64 seq_ = 0;
    quint64 generation_ = 0;
    std::function<bool(const DataSet&)> filter_;
    bool filtered_ = false;
    DataSet* master_ = nullptr;
    QStringList masterFields_, detailFields_;
    QMetaObject::Connection masterConnection_;
    mutable QHash<const DataSet*, QPair<quint64, QHash<QString, int>>> lookupCache_;
    // While the filter runs on a candidate row it sees that row as the current one.
    mutable const Row* probe_ = nullptr;
};

}  // namespace kit
