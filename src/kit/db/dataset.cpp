#include "kit/db/dataset.h"

#include <QRegularExpression>
#include <QSet>

#include "kit/core/decimal.h"
#include "kit/core/latin1.h"

namespace kit {

namespace {

bool sameValue(const QVariant& a, const QVariant& b) {
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn;
    if (a.metaType() == QMetaType::fromType<Money>() ||
        b.metaType() == QMetaType::fromType<Money>()) {
        if (a.metaType() == b.metaType())
            return a.value<Money>() == b.value<Money>();
        return false;
    }
    if (a.metaType() == QMetaType::fromType<Decimal>() ||
        b.metaType() == QMetaType::fromType<Decimal>()) {
        if (a.metaType() == b.metaType())
            return a.value<Decimal>() == b.value<Decimal>() &&
                   a.value<Decimal>().scale() == b.value<Decimal>().scale();
        return false;
    }
    if (a.metaType() == b.metaType())
        return a == b;
    // Integers of different widths, text against numbers typed as text.
    if (a.canConvert<qlonglong>() && b.canConvert<qlonglong>()) {
        bool ok1 = false, ok2 = false;
        const qlonglong x = a.toLongLong(&ok1), y = b.toLongLong(&ok2);
        if (ok1 && ok2)
            return x == y;
    }
    return a.toString() == b.toString();
}

QString keyText(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toPlain();
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return v.value<Decimal>().toPlain();
    return v.toString();
}

bool isBlob(const FieldDef& f) {
    return f.type == fb::FieldType::Blob || f.type == fb::FieldType::TextBlob;
}

// A column name that can name a statement parameter as it is.
bool plainIdentifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    return plain.match(name).hasMatch();
}

QString describeKey(const QVariantList& key) {
    QStringList parts;
    for (const QVariant& v : key) parts << keyText(v);
    return parts.join(QStringLiteral(", "));
}

}  // namespace

DataSet::DataSet(Database* db, QObject* parent) : QObject(parent), db_(db) {}
DataSet::~DataSet() = default;

void DataSet::setSql(const QString& sql) {
    sql_ = sql;
}

void DataSet::setParam(const QString& name, const QVariant& value) {
    params_.insert(name.toUpper(), value);
}

QVariant DataSet::param(const QString& name) const {
    return params_.value(name.toUpper());
}

void DataSet::setUpdateTable(const QString& table, const QStringList& keyFields) {
    updateTable_ = table.toUpper();
    keyFields_.clear();
    for (const QString& k : keyFields) keyFields_ << k.toUpper();
    updateTargetSet_ = true;
}

void DataSet::addLookupField(const QString& name, const QString& keyField, DataSet* lookup,
                             const QString& lookupKey, const QString& resultField) {
    FieldDef f;
    f.name = name;
    f.kind = FieldDef::Kind::Lookup;
    f.keyField = keyField;
    f.lookup = lookup;
    f.lookupKey = lookupKey;
    f.resultField = resultField;
    f.readOnly = true;
    extraFields_.append(f);
}

void DataSet::addCalculatedField(const QString& name, fb::FieldType type,
                                 std::function<QVariant(const DataSet&)> calculate) {
    FieldDef f;
    f.name = name;
    f.type = type;
    f.kind = FieldDef::Kind::Calculated;
    f.calculate = std::move(calculate);
    f.readOnly = true;
    extraFields_.append(f);
}

void DataSet::setRequired(const QString& field, bool required) {
    if (required)
        requiredFields_.insert(field.toUpper());
    else
        requiredFields_.remove(field.toUpper());
    const int i = fieldIndex(field);
    if (i >= 0)
        fields_[i].required = required;
}

void DataSet::setReadOnly(const QString& field, bool readOnly) {
    if (readOnly)
        readOnlyFields_.insert(field.toUpper());
    else
        readOnlyFields_.remove(field.toUpper());
    const int i = fieldIndex(field);
    if (i >= 0 && fields_[i].kind == FieldDef::Kind::Data)
        fields_[i].readOnly = readOnly;
}

void DataSet::requireActive() const {
    if (state_ == State::Inactive)
        throw DataSetError(QStringLiteral("Conjunto de dados fechado."));
}

int DataSet::fieldIndex(const QString& name) const {
    return fieldIndex_.value(name.toUpper(), -1);
}

const FieldDef& DataSet::field(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DataSetError(QStringLiteral("Campo inexistente: %1").arg(name));
    return fields_[i];
}

std::vector<DataSet::RowPtr> DataSet::readRows(QVector<FieldDef>* fields) {
    std::vector<RowPtr> rows;
    try {
        fb::Transaction tr(db_->connection(), fb::Transaction::Access::ReadOnly);
        fb::Statement s(tr, sql_);
        for (const QString& p : s.parameterNames()) s.bind(p, params_.value(p));
        s.execute();
        for (const fb::Column& c : s.columns()) {
            FieldDef f;
            f.name = c.name;
            f.type = c.type;
            f.length = c.length;
            f.scale = c.scale;
            f.relation = c.relation;
            f.column = c.field;
            fields->append(f);
        }
        const int n = fields->size();
        while (s.fetch()) {
            auto row = std::make_shared<Row>();
            row->values.resize(n);
            for (int i = 0; i < n; ++i) row->values[i] = s.value(i);
            row->original = row->values;
            rows.push_back(std::move(row));
        }
        tr.commit();
    } catch (const fb::Error& e) {
        db_->noteError(e);
        throw;
    }
    return rows;
}

void DataSet::open() {
    if (isActive())
        return;
    QVector<FieldDef> fields;
    std::vector<RowPtr> rows = readRows(&fields);
    fields_ = fields;
    fields_ += extraFields_;
    fieldIndex_.clear();
    for (int i = 0; i < fields_.size(); ++i) {
        FieldDef& f = fields_[i];
        const QString key = f.name.toUpper();
        if (!fieldIndex_.contains(key))
            fieldIndex_.insert(key, i);
        if (requiredFields_.contains(key))
            f.required = true;
        if (readOnlyFields_.contains(key) && f.kind == FieldDef::Kind::Data)
            f.readOnly = true;
    }
    // Rows of the lookups are cached per lookup data set; extra rows need padding.
    for (auto& r : rows) {
        r->values.resize(fields_.size());
        r->original.resize(fields_.size());
    }
    rows_ = std::move(rows);
    if (!updateTargetSet_)
        discoverUpdateTarget();
    state_ = State::Browse;
    rebuildVisible();
    emit stateChanged();
}

void DataSet::discoverUpdateTarget() {
    // The table every select column comes from, and its primary key.
    QString table;
    for (const FieldDef& f : fields_) {
        if (f.kind != FieldDef::Kind::Data || f.relation.isEmpty())
            continue;
        if (table.isEmpty())
            table = f.relation;
        if (f.relation != table) {
            table.clear();
            break;
        }
    }
    if (table.isEmpty()) {
        static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_$]*)"),
                                             QRegularExpression::CaseInsensitiveOption);
        const auto m = from.match(sql_);
        if (m.hasMatch())
            table = m.captured(1).toUpper();
    }
    updateTable_ = table;
    keyFields_.clear();
    if (table.isEmpty())
        return;
    try {
        fb::Transaction tr(db_->connection(), fb::Transaction::Access::ReadOnly);
        fb::Statement s(
            tr, QStringLiteral(
                    "SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS C "
                    "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                    "WHERE C.RDB$RELATION_NAME = :T AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                    "ORDER BY S.RDB$FIELD_POSITION"));
        s.bind(QStringLiteral("T"), table);
        s.execute();
        while (s.fetch()) keyFields_ << s.value(0).toString();
        tr.commit();
    } catch (const fb::Error& e) {
        db_->noteError(e);
        throw;
    }
}

void DataSet::close() {
    if (!isActive())
        return;
    rows_.clear();
    visible_.clear();
    editRow_.reset();
    editBuffer_.clear();
    current_ = -1;
    state_ = State::Inactive;
    ++generation_;
    emit rowsReset();
    emit stateChanged();
}

QVariantList DataSet::keyOf(const Row& row, bool original) const {
    QVariantList key;
    for (const QString& k : keyFields_) {
        const int fi = fieldIndex(k);
        key << (original ? row.original.value(fi) : row.values.value(fi));
    }
    return key;
}

void DataSet::refresh() {
    if (!isActive()) {
        open();
        return;
    }
    if (isEditing())
        throw DataSetError(QStringLiteral(
            "Grave ou cancele o registro em edição antes de ler os registros novamente."));
    const auto sameKey = [](const QVariantList& a, const QVariantList& b) {
        if (a.size() != b.size() || a.isEmpty())
            return false;
        for (int i = 0; i < a.size(); ++i)
            if (!sameValue(a[i], b[i]))
                return false;
        return true;
    };
    QVariantList current;
    if (auto row = currentRow())
        current = keyOf(*row, false);
    std::vector<RowPtr> pending;
    for (const RowPtr& r : rows_)
        if (r->status != Status::Unchanged)
            pending.push_back(r);
    if (!pending.empty() && keyFields_.isEmpty())
        throw DataSetError(QStringLiteral(
            "Há alterações ainda não gravadas: grave ou cancele antes de ler os registros "
            "novamente."));
    QVector<FieldDef> fields;
    std::vector<RowPtr> rows = readRows(&fields);
    for (auto& r : rows) {
        r->values.resize(fields_.size());
        r->original.resize(fields_.size());
    }
    // The pending rows stand in for the rows read again with their key (a changed row
    // keeps the values it was read with, so its apply still finds out whether another
    // workstation changed it meanwhile); the others follow in their order.
    std::vector<RowPtr> leftover;
    for (const RowPtr& p : pending) {
        if (p->status == Status::Inserted) {
            leftover.push_back(p);
            continue;
        }
        const QVariantList key = keyOf(*p, true);
        bool placed = false;
        for (RowPtr& r : rows)
            if (sameKey(keyOf(*r, true), key)) {
                r = p;
                placed = true;
                break;
            }
        if (!placed)
            leftover.push_back(p);
    }
    rows.insert(rows.end(), leftover.begin(), leftover.end());
    rows_ = std::move(rows);
    rebuildVisible();
    if (!current.isEmpty())
        for (int i = 0; i < recordCount(); ++i)
            if (sameKey(keyOf(*visible_[static_cast<size_t>(i)], false), current)) {
                setCurrentIndex(i);
                break;
            }
}

// ---------------------------------------------------------------- rows

bool DataSet::rowVisible(const RowPtr& row) const {
    if (row->status == Status::Deleted)
        return false;
    if (master_) {
        if (!master_->isActive() || master_->isEmpty())
            return false;
        for (int i = 0; i < masterFields_.size(); ++i)
            if (!sameValue(master_->value(masterFields_[i]),
                           rawValue(*row, fieldIndex(detailFields_[i]))))
                return false;
    }
    if (filtered_ && filter_) {
        probe_ = row.get();
        const bool keep = filter_(*this);
        probe_ = nullptr;
        if (!keep)
            return false;
    }
    return true;
}

void DataSet::rebuildVisible(const RowPtr& keep) {
    const RowPtr previous = keep ? keep : currentRow();
    visible_.clear();
    for (const RowPtr& r : rows_)
        if (rowVisible(r) || r == editRow_)
            visible_.push_back(r);
    ++generation_;
    int index = visible_.empty() ? -1 : 0;
    if (previous)
        for (size_t i = 0; i < visible_.size(); ++i)
            if (visible_[i] == previous) {
                index = static_cast<int>(i);
                break;
            }
    current_ = index;
    emit rowsReset();
    emit currentChanged();
    if (afterScroll)
        afterScroll(*this);
}

DataSet::RowPtr DataSet::currentRow() const {
    if (current_ < 0 || current_ >= recordCount())
        return nullptr;
    return visible_[static_cast<size_t>(current_)];
}

void DataSet::setCurrentInternal(int index, bool notify) {
    if (visible_.empty())
        index = -1;
    else
        index = std::clamp(index, 0, recordCount() - 1);
    if (index == current_)
        return;
    current_ = index;
    if (notify) {
        emit currentChanged();
        if (afterScroll)
            afterScroll(*this);
    }
}

void DataSet::setCurrentIndex(int index) {
    requireActive();
    if (isEditing())
        post();  // as a cached data set does when the operator moves away
    setCurrentInternal(index, true);
}

void DataSet::next() {
    setCurrentIndex(current_ + 1);
}
void DataSet::prior() {
    setCurrentIndex(current_ - 1);
}

bool DataSet::locate(const QString& fieldName, const QVariant& v) {
    requireActive();
    const int fi = fieldIndex(fieldName);
    if (fi < 0)
        return false;
    for (int i = 0; i < recordCount(); ++i)
        if (sameValue(rawValue(*visible_[static_cast<size_t>(i)], fi), v)) {
            setCurrentIndex(i);
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- values

QVariant DataSet::lookupValue(const FieldDef& f, const Row& row) const {
    if (!f.lookup || !f.lookup->isActive())
        return {};
    const QVariant key = rawValue(row, fieldIndex(f.keyField));
    if (!key.isValid() || key.isNull())
        return {};
    auto& cache = lookupCache_[f.lookup];
    if (cache.first != f.lookup->generation() + 1 || cache.second.isEmpty()) {
        cache.second.clear();
        const int ki = f.lookup->fieldIndex(f.lookupKey);
        for (size_t i = 0; i < f.lookup->rows_.size(); ++i) {
            const QString k = keyText(f.lookup->rows_[i]->values.value(ki));
            if (!cache.second.contains(k))
                cache.second.insert(k, static_cast<int>(i));
        }
        cache.first = f.lookup->generation() + 1;
    }
    const auto it = cache.second.constFind(keyText(key));
    if (it == cache.second.constEnd())
        return {};
    const auto& lr = f.lookup->rows_[static_cast<size_t>(*it)];
    return f.lookup->rawValue(*lr, f.lookup->fieldIndex(f.resultField));
}

QVariant DataSet::rawValue(const Row& row, int fi) const {
    if (fi < 0 || fi >= fields_.size())
        return {};
    const FieldDef& f = fields_[fi];
    const QVector<QVariant>& values =
        (editRow_ && &row == editRow_.get()) ? editBuffer_ : row.values;
    switch (f.kind) {
        case FieldDef::Kind::Data:
            return values.value(fi);
        case FieldDef::Kind::Lookup:
            return lookupValue(f, row);
        case FieldDef::Kind::Calculated: {
            const Row* saved = probe_;
            probe_ = &row;
            QVariant v = f.calculate ? f.calculate(*this) : QVariant();
            probe_ = saved;
            return v;
        }
    }
    return {};
}

QVariant DataSet::value(const QString& fieldName) const {
    const int fi = fieldIndex(fieldName);
    if (fi < 0)
        throw DataSetError(QStringLiteral("Campo inexistente: %1").arg(fieldName));
    if (probe_)
        return rawValue(*probe_, fi);
    const RowPtr row = currentRow();
    if (!row)
        return {};
    return rawValue(*row, fi);
}

QVariant DataSet::valueAt(int visibleRow, const QString& fieldName) const {
    if (visibleRow < 0 || visibleRow >= recordCount())
        return {};
    return rawValue(*visible_[static_cast<size_t>(visibleRow)], fieldIndex(fieldName));
}

bool DataSet::isNull(const QString& fieldName) const {
    const QVariant v = value(fieldName);
    if (!v.isValid() || v.isNull())
        return true;
    return v.typeId() == QMetaType::QString && v.toString().isEmpty();
}

QVariant DataSet::coerce(const FieldDef& f, const QVariant& v) const {
    if (!v.isValid() || v.isNull())
        return {};
    using fb::FieldType;
    const bool isMoney = v.metaType() == QMetaType::fromType<Money>();
    const bool isDecimal = v.metaType() == QMetaType::fromType<Decimal>();
    const bool isText = v.typeId() == QMetaType::QString;
    // An exact value for the numeric fields: money and decimals as they are, text
    // typed the Brazilian way, whole numbers.
    const auto exact = [&](int scale) -> Decimal {
        try {
            if (isMoney)
                return Decimal::fromMoney(v.value<Money>());
            if (isDecimal)
                return v.value<Decimal>();
            if (isText) {
                if (scale == 2) {
                    const auto m = Money::parse(v.toString());
                    if (!m)
                        throw DataSetError(
                            QStringLiteral("\"%1\" não é um valor válido.").arg(v.toString()));
                    return Decimal::fromMoney(*m);
                }
                const auto d = Decimal::parse(v.toString());
                if (!d)
                    throw DataSetError(
                        QStringLiteral("\"%1\" não é um número válido.").arg(v.toString()));
                return *d;
            }
            if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
                throw DataSetError(QStringLiteral(
                    "Valores exatos (dinheiro e números decimais) não aceitam números "
                    "aproximados."));
            bool ok = false;
            const qlonglong n = v.toLongLong(&ok);
            if (!ok)
                throw DataSetError(
                    QStringLiteral("\"%1\" não é um valor válido.").arg(v.toString()));
            return Decimal::fromInteger(n);
        } catch (const DecimalError&) {
            throw DataSetError(scale == 2 ? moneyOutOfRangeMessage()
                                          : decimalOutOfRangeMessage(f.name));
        }
    };
    switch (f.type) {
        case FieldType::Integer: {
            if (isText && v.toString().trimmed().isEmpty())
                return {};
            if (isMoney || isDecimal) {
                // A whole-number column keeps the amount rounded, never cut.
                return qlonglong(exact(0).toInteger(Rounding::HalfAwayFromZero));
            }
            bool ok = false;
            const qlonglong n = v.toLongLong(&ok);
            if (!ok)
                throw DataSetError(
                    QStringLiteral("\"%1\" não é um número inteiro válido.").arg(v.toString()));
            return n;
        }
        case FieldType::Money: {
            if (isText && v.toString().trimmed().isEmpty())
                return {};
            try {
                return QVariant::fromValue(exact(2).toMoney(Rounding::HalfAwayFromZero));
            } catch (const DecimalError&) {
                throw DataSetError(moneyOutOfRangeMessage());
            }
        }
        case FieldType::Decimal: {
            if (isText && v.toString().trimmed().isEmpty())
                return {};
            try {
                return QVariant::fromValue(exact(f.scale).rescaled(f.scale));
            } catch (const DecimalError&) {
                throw DataSetError(decimalOutOfRangeMessage(f.name));
            }
        }
        case FieldType::Text:
        case FieldType::TextBlob: {
            // Below the boxes nothing is cut or replaced: a text the column cannot
            // hold as it is is refused, naming the field.
            const QString s = v.toString();
            if (!isLatin1(s)) {
                QStringList foreign;
                const QList<uint> codes = s.toUcs4();
                for (uint code : codes)
                    if (code > 0xFF) {
                        const QString c =
                            QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                        if (!foreign.contains(c))
                            foreign << c;
                    }
                throw DataSetError(
                    QStringLiteral("O campo %1 contém caracteres que não podem ser gravados: %2")
                        .arg(f.name, foreign.join(QStringLiteral(" "))));
            }
            if (f.type == FieldType::Text && f.length > 0 && s.size() > f.length)
                throw DataSetError(
                    QStringLiteral("O campo %1 aceita no máximo %2 caracteres (foram informados "
                                   "%3).")
                        .arg(f.name)
                        .arg(f.length)
                        .arg(s.size()));
            return s;
        }
        case FieldType::Date:
            if (v.typeId() == QMetaType::QDateTime)
                return v.toDateTime().date();
            if (!v.toDate().isValid())
                throw DataSetError(QStringLiteral("Data inválida."));
            return v.toDate();
        case FieldType::Timestamp:
            if (v.typeId() == QMetaType::QDate)
                return v.toDate().startOfDay();
            if (!v.toDateTime().isValid())
                throw DataSetError(QStringLiteral("Data e hora inválidas."));
            return v.toDateTime();
        default:
            return v;
    }
}

void DataSet::setValue(const QString& fieldName, const QVariant& v) {
    if (!isEditing())
        throw DataSetError(QStringLiteral("O registro não está em inclusão ou alteração."));
    const int fi = fieldIndex(fieldName);
    if (fi < 0)
        throw DataSetError(QStringLiteral("Campo inexistente: %1").arg(fieldName));
    const FieldDef& f = fields_[fi];
    if (f.kind != FieldDef::Kind::Data)
        throw DataSetError(QStringLiteral("O campo %1 não pode ser alterado.").arg(f.name));
    const QVariant c = coerce(f, v);
    if (sameValue(editBuffer_[fi], c) && editBuffer_[fi].metaType() == c.metaType())
        return;
    editBuffer_[fi] = c;
    emit fieldChanged(f.name);
    emit rowChanged(current_);
}

// ---------------------------------------------------------------- editing

void DataSet::startNewRow(bool atEnd) {
    requireActive();
    if (isEditing())
        post();
    auto row = std::make_shared<Row>();
    row->values.resize(fields_.size());
    row->original.resize(fields_.size());
    row->status = Status::Inserted;
    int pos = atEnd || current_ < 0 ? recordCount() : current_;
    // Keep the order of the underlying rows in step with the visible ones.
    auto rowsPos = rows_.end();
    if (pos < recordCount())
        rowsPos = std::find(rows_.begin(), rows_.end(), visible_[static_cast<size_t>(pos)]);
    rows_.insert(rowsPos, row);
    visible_.insert(visible_.begin() + pos, row);
    editRow_ = row;
    editBuffer_ = row->values;
    editIsNew_ = true;
    state_ = State::Insert;
    if (master_)
        for (int i = 0; i < masterFields_.size(); ++i)
            editBuffer_[fieldIndex(detailFields_[i])] = master_->value(masterFields_[i]);
    current_ = pos;
    ++generation_;
    emit rowInserted(pos);
    emit currentChanged();
    emit stateChanged();
    if (onNewRecord)
        onNewRecord(*this);
}

void DataSet::insert() {
    startNewRow(false);
}
void DataSet::append() {
    startNewRow(true);
}

void DataSet::edit() {
    requireActive();
    if (isEditing())
        return;
    const RowPtr row = currentRow();
    if (!row) {
        startNewRow(true);  // editing an empty data set starts a new row
        return;
    }
    editRow_ = row;
    editBuffer_ = row->values;
    editIsNew_ = false;
    state_ = State::Edit;
    emit stateChanged();
}

void DataSet::post() {
    if (!isEditing())
        return;
    if (beforePost)
        beforePost(*this);  // may refuse with DataSetError
    for (int i = 0; i < fields_.size(); ++i) {
        const FieldDef& f = fields_[i];
        if (!f.required || f.kind != FieldDef::Kind::Data)
            continue;
        const QVariant& v = editBuffer_[i];
        if (!v.isValid() || v.isNull() ||
            (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
            throw DataSetError(QStringLiteral("O campo %1 precisa ser preenchido.").arg(f.name));
    }
    const RowPtr row = editRow_;
    bool changed = editIsNew_;
    for (int i = 0; i < fields_.size() && !changed; ++i)
        if (!sameValue(row->values[i], editBuffer_[i]))
            changed = true;
    row->values = editBuffer_;
    if (changed) {
        if (row->status == Status::Unchanged)
            row->status = Status::Modified;
        row->seq = ++seq_;
    }
    editRow_.reset();
    editBuffer_.clear();
    editIsNew_ = false;
    state_ = State::Browse;
    emit rowChanged(current_);
    emit stateChanged();
    if (afterPost)
        afterPost(*this);
}

void DataSet::cancel() {
    if (!isEditing())
        return;
    const RowPtr row = editRow_;
    const bool wasNew = editIsNew_;
    editRow_.reset();
    editBuffer_.clear();
    editIsNew_ = false;
    state_ = State::Browse;
    if (wasNew) {
        rows_.erase(std::remove(rows_.begin(), rows_.end(), row), rows_.end());
        const auto it = std::find(visible_.begin(), visible_.end(), row);
        int pos = static_cast<int>(it - visible_.begin());
        visible_.erase(it);
        ++generation_;
        current_ = visible_.empty() ? -1 : std::min(pos, recordCount() - 1);
        emit rowRemoved(pos);
        emit currentChanged();
    } else {
        emit rowChanged(current_);
    }
    emit stateChanged();
}

void DataSet::remove() {
    requireActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (state_ == State::Edit)
        cancel();
    const RowPtr row = currentRow();
    if (!row)
        throw DataSetError(QStringLiteral("Não há registro para excluir."));
    if (beforeDelete)
        beforeDelete(*this);
    const int pos = current_;
    visible_.erase(visible_.begin() + pos);
    if (row->status == Status::Inserted) {
        rows_.erase(std::remove(rows_.begin(), rows_.end(), row), rows_.end());
    } else {
        row->status = Status::Deleted;  // kept in place until applied
        row->seq = ++seq_;
    }
    ++generation_;
    current_ = visible_.empty() ? -1 : std::min(pos, recordCount() - 1);
    emit rowRemoved(pos);
    emit currentChanged();
    if (afterScroll)
        afterScroll(*this);
}

// ---------------------------------------------------------------- pending changes

bool DataSet::hasPendingChanges() const {
    return pendingCount() > 0;
}

int DataSet::pendingCount() const {
    int n = 0;
    for (const RowPtr& r : rows_)
        if (r->status != Status::Unchanged && r != editRow_)
            ++n;
    return n;
}

bool DataSet::currentIsPending() const {
    const RowPtr r = currentRow();
    return r && r->status != Status::Unchanged;
}

void DataSet::writePending(fb::Transaction& tr) {
    requireActive();
    if (isEditing())
        post();
    written_.clear();
    // The changes in the order they were made.
    struct Change {
        RowPtr row;
        enum { Delete, Update, Insert } kind;
    };
    std::vector<Change> changes;
    for (const RowPtr& r : rows_) {
        if (r->status == Status::Deleted)
            changes.push_back({r, Change::Delete});
        if (r->status == Status::Inserted)
            changes.push_back({r, Change::Insert});
        if (r->status == Status::Modified)
            changes.push_back({r, Change::Update});
    }
    if (changes.empty())
        return;
    std::sort(changes.begin(), changes.end(),
              [](const Change& a, const Change& b) { return a.row->seq < b.row->seq; });
    if (updateTable_.isEmpty() || keyFields_.isEmpty())
        throw fb::Error(QStringLiteral(
            "Este conjunto de dados não pode ser gravado (tabela ou chave desconhecida)."));
    // Columns that belong to the update table.
    QVector<int> writable;
    for (int i = 0; i < fields_.size(); ++i) {
        const FieldDef& f = fields_[i];
        if (f.kind != FieldDef::Kind::Data || f.readOnly)
            continue;
        if (!f.relation.isEmpty() && f.relation.compare(updateTable_, Qt::CaseInsensitive) != 0)
            continue;
        if (f.column.isEmpty())
            continue;
        writable.append(i);
    }
    QVector<int> keys;
    for (const QString& k : keyFields_) {
        int idx = -1;
        for (int i = 0; i < fields_.size(); ++i)
            if (fields_[i].kind == FieldDef::Kind::Data &&
                fields_[i].column.compare(k, Qt::CaseInsensitive) == 0 &&
                (fields_[i].relation.isEmpty() ||
                 fields_[i].relation.compare(updateTable_, Qt::CaseInsensitive) == 0)) {
                idx = i;
                break;
            }
        if (idx < 0)
            idx = fieldIndex(k);
        if (idx < 0)
            throw fb::Error(
                QStringLiteral("A chave %1 não está entre os campos do conjunto de dados.").arg(k));
        keys.append(idx);
    }
    const auto columnName = [&](int fi) {
        return QStringLiteral("\"%1\"").arg(fields_[fi].column);
    };
    // Parameters named after their columns, so that a refused value names its field.
    const auto param = [&](const char* prefix, int fi) {
        const QString& c = fields_[fi].column;
        return plainIdentifier(c) ? QLatin1String(prefix) + c
                                  : QStringLiteral("%1F%2").arg(QLatin1String(prefix)).arg(fi);
    };
    const QString table = QStringLiteral("\"%1\"").arg(updateTable_);
    for (const Change& ch : changes) {
        const Row& r = *ch.row;
        QString sql;
        QList<QPair<QString, QVariant>> binds;
        QStringList where;
        for (int k = 0; k < keys.size(); ++k) {
            where << QStringLiteral("%1 = :%2").arg(columnName(keys[k]), param("K_", keys[k]));
            binds.append({param("K_", keys[k]),
                          ch.kind == Change::Insert ? r.values[keys[k]] : r.original[keys[k]]});
        }
        // A change or delete also finds the row as it was read: the columns it
        // changes (a delete: all of them) must still hold their original values.
        // The database cannot compare blobs in a condition: those are read under a
        // row lock and compared here (blobChecks).
        QVector<int> blobChecks;
        const auto compareOriginal = [&](int fi) {
            if (keys.contains(fi))
                return;
            if (isBlob(fields_[fi])) {
                blobChecks.append(fi);
                return;
            }
            where << QStringLiteral("%1 IS NOT DISTINCT FROM :%2")
                         .arg(columnName(fi), param("O_", fi));
            binds.append({param("O_", fi), r.original[fi]});
        };
        if (ch.kind == Change::Delete) {
            for (int fi : writable) compareOriginal(fi);
            sql = QStringLiteral("DELETE FROM %1 WHERE %2")
                      .arg(table, where.join(QStringLiteral(" AND ")));
        } else if (ch.kind == Change::Update) {
            QStringList sets;
            for (int fi : writable)
                if (!sameValue(r.values[fi], r.original[fi]) ||
                    r.values[fi].metaType() != r.original[fi].metaType()) {
                    sets << QStringLiteral("%1 = :%2").arg(columnName(fi), param("V_", fi));
                    binds.append({param("V_", fi), r.values[fi]});
                    compareOriginal(fi);
                }
            if (sets.isEmpty()) {
                written_.emplace_back(ch.row, ch.row->seq);
                continue;
            }
            sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                      .arg(table, sets.join(QStringLiteral(", ")),
                           where.join(QStringLiteral(" AND ")));
        } else {
            QStringList cols, vals;
            binds.clear();
            for (int fi : writable) {
                cols << columnName(fi);
                vals << QLatin1Char(':') + param("V_", fi);
                binds.append({param("V_", fi), r.values[fi]});
            }
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, cols.join(QStringLiteral(", ")), vals.join(QStringLiteral(", ")));
        }
        const auto keyParams = [&](fb::Statement& st) {
            for (int k = 0; k < keys.size(); ++k)
                st.bind(param("K_", keys[k]), r.original[keys[k]]);
        };
        bool stale = false;
        if (!blobChecks.isEmpty()) {
            QStringList cols, keyWhere;
            for (int fi : blobChecks) cols << columnName(fi);
            for (int k = 0; k < keys.size(); ++k)
                keyWhere
                    << QStringLiteral("%1 = :%2").arg(columnName(keys[k]), param("K_", keys[k]));
            fb::Statement current(tr, QStringLiteral("SELECT %1 FROM %2 WHERE %3 WITH LOCK")
                                          .arg(cols.join(QStringLiteral(", ")), table,
                                               keyWhere.join(QStringLiteral(" AND "))));
            keyParams(current);
            current.execute();
            if (current.fetch())
                for (int i = 0; i < blobChecks.size(); ++i)
                    if (!sameValue(current.value(i), r.original[blobChecks[i]]))
                        stale = true;
        }
        int affected = 0;
        if (!stale) {
            fb::Statement s(tr, sql);
            for (const auto& [n, v] : binds) s.bind(n, v);
            s.execute();
            affected = s.rowsAffected();
        }
        if (ch.kind != Change::Insert && affected == 0) {
            // Gone, or no longer as it was read.
            QStringList keyWhere;
            for (int k = 0; k < keys.size(); ++k)
                keyWhere
                    << QStringLiteral("%1 = :%2").arg(columnName(keys[k]), param("K_", keys[k]));
            fb::Statement exists(tr, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                                         .arg(table, keyWhere.join(QStringLiteral(" AND "))));
            QVariantList key;
            keyParams(exists);
            for (int k = 0; k < keys.size(); ++k) key << r.original[keys[k]];
            exists.execute();
            const bool gone = exists.fetch() && exists.value(0).toInt() == 0;
            throw fb::Error(
                QStringLiteral("O registro %1 (%2) foi %3 por outro usuário depois "
                               "de lido; nada foi gravado.")
                    .arg(updateTable_, describeKey(key),
                         gone ? QStringLiteral("excluído") : QStringLiteral("alterado")),
                {}, 0, fb::Error::Kind::RowChanged);
        }
        written_.emplace_back(ch.row, ch.row->seq);
    }
}

void DataSet::markApplied() {
    // Only what the last writePending() wrote, as it was then: a row changed again
    // since stays pending.
    for (const auto& [row, seq] : written_) {
        if (row->seq != seq || row == editRow_)
            continue;
        if (row->status == Status::Deleted) {
            rows_.erase(std::remove(rows_.begin(), rows_.end(), row), rows_.end());
            continue;
        }
        row->original = row->values;
        row->status = Status::Unchanged;
    }
    written_.clear();
}

ApplyResult DataSet::applyUpdates(const std::function<void(fb::Transaction&)>& extra) {
    requireActive();
    if (isEditing())
        post();
    ApplyResult result;
    if (!hasPendingChanges() && !extra)
        return result;
    try {
        db_->write([&](fb::Transaction& tr) {
            ++result.attempts;
            writePending(tr);
            if (extra)
                extra(tr);
        });
    } catch (const fb::Error& e) {
        db_->noteError(e);
        written_.clear();
        result.ok = false;
        result.error = e;
        return result;
    } catch (const DataSetError& e) {
        written_.clear();
        result.ok = false;
        result.error = fb::Error(e.message(), {}, 0, fb::Error::Kind::Input);
        return result;
    }
    // Committed: what is in memory is now what the database holds.
    markApplied();
    return result;
}

void DataSet::cancelUpdates() {
    if (isEditing())
        cancel();
    // A delete given up puts its row back as the current one (not the row that came
    // after it), so the next command acts on the row the operator chose.
    RowPtr keep = currentRow();
    quint64 lastDelete = 0;
    for (const RowPtr& r : rows_)
        if (r->status == Status::Deleted && r->seq > lastDelete) {
            lastDelete = r->seq;
            keep = r;
        }
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [](const RowPtr& r) { return r->status == Status::Inserted; }),
                rows_.end());
    for (const RowPtr& r : rows_)
        if (r->status != Status::Unchanged) {
            r->values = r->original;  // deleted rows reappear where they were
            r->status = Status::Unchanged;
        }
    rebuildVisible(keep);
    emit stateChanged();
}

// ---------------------------------------------------------------- filter, master

void DataSet::setFilter(std::function<bool(const DataSet&)> filter) {
    filter_ = std::move(filter);
    if (isActive() && filtered_)
        rebuildVisible();
}

void DataSet::setFiltered(bool on) {
    filtered_ = on;
    if (isActive())
        rebuildVisible();
}

void DataSet::setMaster(DataSet* master, const QStringList& masterFields,
                        const QStringList& detailFields) {
    if (masterConnection_)
        disconnect(masterConnection_);
    master_ = master;
    masterFields_ = masterFields;
    detailFields_ = detailFields;
    if (master_)
        masterConnection_ = connect(master_, &DataSet::currentChanged, this, [this] {
            if (isActive()) {
                if (isEditing())
                    post();
                rebuildVisible();
            }
        });
    if (isActive())
        rebuildVisible();
}

}  // namespace kit
