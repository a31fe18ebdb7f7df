#include "ado/Recordset.h"

#include "ado/AdoError.h"
#include "engine/TsqlQuote.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace ado {

namespace {

using engine::sql::quoteName;
using engine::sql::quoteNString;

bool isCharacter(const QString& type) {
    static const QStringList types = {"char", "varchar", "nchar", "nvarchar", "text", "ntext",
                                      "sysname", "uniqueidentifier", "sql_variant"};
    return types.contains(type);
}

bool isBinary(const QString& type) {
    return type == QLatin1String("binary") || type == QLatin1String("varbinary") ||
           type == QLatin1String("image") || type == QLatin1String("timestamp");
}

// Types a WHERE clause cannot compare exactly.
bool isComparable(const QString& type) {
    return type != QLatin1String("text") && type != QLatin1String("ntext") &&
           type != QLatin1String("image") && type != QLatin1String("float") &&
           type != QLatin1String("real") && type != QLatin1String("sql_variant");
}

} // namespace

void Recordset::Open(const QString& source, ConnectionPtr connection) {
    Close();
    if (!connection || !connection->IsOpen())
        throw AdoError(ErrNotOpen, QStringLiteral("The connection is not open."));
    conn_ = std::move(connection);
    source_ = source;
    try {
        cursor_ = conn_->session().openQuery(source);
        const long long count = cursor_->count();
        total_ = int(std::min<long long>(count, std::numeric_limits<int>::max()));
    } catch (const engine::SqlError& e) {
        cursor_.reset();
        throw toAdoError(e);
    }
    position_ = 0;
    open_ = true;
    columns_ = cursor_->columns();
    select_ = SelectSource::analyze(source);
    updatable_ = false;
    baseColumn_.assign(columns_.size(), false);
    serverFilled_.assign(columns_.size(), false);
    keyFields_.clear();
    if (select_.singleTable)
        inspectBaseTable();
}

void Recordset::inspectBaseTable() {
    // The base table's own columns: a computed field of the SELECT is not editable.
    try {
        engine::BatchResult r = conn_->executeWrite(
            QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(select_.table));
        if (r.resultSets.empty())
            return;
        for (size_t f = 0; f < columns_.size(); ++f)
            for (const engine::ColumnInfo& c : r.resultSets.front().columns)
                if (c.name.compare(columns_[f].name, Qt::CaseInsensitive) == 0)
                    baseColumn_[f] = true;
    } catch (const AdoError&) {
        return;
    }
    updatable_ = std::find(baseColumn_.begin(), baseColumn_.end(), true) != baseColumn_.end();
    // Identity and computed columns take no value from the client.
    try {
        engine::BatchResult r = conn_->executeWrite(
            QStringLiteral("SELECT name FROM syscolumns WHERE id = OBJECT_ID(%1) "
                           "AND (isidentity = 1 OR iscomputed = 1)")
                .arg(quoteNString(select_.table)));
        if (!r.resultSets.empty())
            for (size_t i = 0; i < r.resultSets.front().rows.size(); ++i) {
                const int f = FieldIndex(r.resultSets.front().text(i, 0));
                if (f >= 0)
                    serverFilled_[size_t(f)] = true;
            }
    } catch (const AdoError&) {
    }
    // A primary key (else a unique key) among the fields identifies the row.
    try {
        engine::BatchResult r = conn_->executeWrite(
            QStringLiteral("EXEC sp_helpindex %1").arg(quoteNString(select_.table)));
        if (r.resultSets.empty())
            return;
        const engine::ResultSet& rs = r.resultSets.front();
        for (int pass = 0; pass < 2 && keyFields_.empty(); ++pass) {
            for (size_t i = 0; i < rs.rows.size() && keyFields_.empty(); ++i) {
                const QString description = rs.text(i, 1).toLower();
                const bool wanted = pass == 0 ? description.contains(QLatin1String("primary key"))
                                              : description.contains(QLatin1String("unique"));
                if (!wanted)
                    continue;
                std::vector<int> fields;
                for (QString key : rs.text(i, 2).split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
                    if (key.endsWith(QLatin1String("(-)")))
                        key.chop(3);
                    const int f = FieldIndex(key);
                    if (f < 0 || !baseColumn_[size_t(f)]) {
                        fields.clear();
                        break;
                    }
                    fields.push_back(f);
                }
                keyFields_ = fields;
            }
        }
    } catch (const AdoError&) {
        // No index information: rows are found by all their values.
    }
}

void Recordset::Close() {
    cursor_.reset();
    open_ = false;
    position_ = 0;
    total_ = 0;
    pages_.clear();
    columns_.clear();
    baseColumn_.clear();
    serverFilled_.clear();
    keyFields_.clear();
    updatable_ = false;
}

int Recordset::FieldIndex(const QString& name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void Recordset::SetPageSize(int rows) {
    pageSize_ = rows > 0 ? rows : 1;
    pages_.clear();
}

int Recordset::RowsRead() const {
    size_t n = 0;
    for (const auto& [number, rows] : pages_)
        n += rows.size();
    return int(n);
}

std::vector<engine::Row>& Recordset::page(int number) {
    auto found = pages_.find(number);
    if (found != pages_.end())
        return found->second;
    const long long first = (long long)number * pageSize_;
    std::vector<engine::Row> rows;
    try {
        // A cursor only goes forwards: a page before it runs the SELECT again.
        if (!cursor_ || first < position_) {
            cursor_.reset();
            cursor_ = conn_->session().openQuery(source_);
            position_ = 0;
        }
        position_ += cursor_->skip(first - position_);
        const long long last = std::min<long long>(first + pageSize_, total_);
        rows.reserve(size_t(std::max<long long>(last - position_, 0)));
        while (position_ < last) {
            engine::Row row;
            if (!cursor_->fetch(row))
                break;
            rows.push_back(std::move(row));
            ++position_;
        }
    } catch (const engine::SqlError& e) {
        cursor_.reset();
        throw toAdoError(e);
    }
    return pages_.emplace(number, std::move(rows)).first->second;
}

const engine::Row& Recordset::row(int index) {
    if (index < 0 || index >= total_)
        throw AdoError(ErrRowNotFound, QStringLiteral("There is no such row."));
    std::vector<engine::Row>& rows = page(index / pageSize_);
    const size_t at = size_t(index % pageSize_);
    if (at >= rows.size())
        throw AdoError(ErrRowNotFound, QStringLiteral("The row was not found: the result has fewer "
                                                      "rows than when it was opened."));
    return rows[at];
}

QString Recordset::text(int index, int column) {
    return engine::valueText(row(index)[size_t(column)], columns_[size_t(column)]);
}

bool Recordset::FieldUpdatable(int column) const {
    return updatable_ && column >= 0 && column < int(baseColumn_.size()) &&
           baseColumn_[size_t(column)] && !serverFilled_[size_t(column)] &&
           columns_[size_t(column)].typeName != QLatin1String("timestamp");
}

QString Recordset::literal(const QVariant& value, const engine::ColumnInfo& column) const {
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QByteArray:
        return QStringLiteral("0x") + QString::fromLatin1(value.toByteArray().toHex());
    case QMetaType::QDateTime:
        return engine::sql::quoteString(
            value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
    default:
        break;
    }
    const QString text = value.toString();
    const QString type = column.typeName;
    if (type == QLatin1String("decimal") || type == QLatin1String("numeric") ||
        type == QLatin1String("money") || type == QLatin1String("smallmoney")) {
        static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
        if (number.match(text).hasMatch())
            return text;
    }
    if (isBinary(type)) {
        static const QRegularExpression hex(QStringLiteral("^0x[0-9a-fA-F]*$"));
        if (hex.match(text).hasMatch())
            return text;
    }
    return quoteNString(text);
}

QString Recordset::condition(const engine::Row& values) const {
    std::vector<int> fields = keyFields_;
    if (fields.empty())
        for (size_t f = 0; f < columns_.size(); ++f)
            if (baseColumn_[f] && isComparable(columns_[f].typeName))
                fields.push_back(int(f));
    QStringList parts;
    for (int f : fields) {
        const QVariant& v = values[size_t(f)];
        const QString name = quoteName(columns_[size_t(f)].name);
        parts << (v.isNull() ? name + QStringLiteral(" IS NULL")
                             : name + QStringLiteral(" = ") + literal(v, columns_[size_t(f)]));
    }
    return parts.join(QStringLiteral(" AND "));
}

void Recordset::Update(int row, int column, const QVariant& value) {
    if (column < 0 || column >= int(columns_.size()))
        throw AdoError(ErrRowNotFound, QStringLiteral("There is no such row or field."));
    this->row(row); // read, or AdoError
    engine::Row& cached = page(row / pageSize_)[size_t(row % pageSize_)];
    if (!FieldUpdatable(column))
        throw AdoError(ErrReadOnly,
                       QStringLiteral("The field '%1' cannot be changed: only the columns of a "
                                      "SELECT over one table can be edited.")
                           .arg(columns_[size_t(column)].name));
    const engine::ColumnInfo& info = columns_[size_t(column)];
    QVariant newValue = value;
    if (newValue.typeId() == QMetaType::QString && newValue.toString().isEmpty() &&
        !isCharacter(info.typeName))
        newValue = QVariant(); // an emptied number or date becomes NULL
    const engine::Row old = cached;
    const QString where = condition(old);
    if (where.isEmpty())
        throw AdoError(ErrRowNotFound, QStringLiteral("The row cannot be identified."));
    if (keyFields_.empty()) {
        engine::BatchResult count = conn_->executeWrite(
            QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(select_.table, where));
        const int n = count.resultSets.empty() || count.resultSets[0].rows.empty()
                          ? 0
                          : count.resultSets[0].rows[0][0].toInt();
        if (n != 1)
            throw AdoError(ErrRowNotFound,
                           n == 0 ? QStringLiteral("The row was not found: it was changed or "
                                                   "deleted after it was read.")
                                  : QStringLiteral("The row cannot be told apart from %1 others "
                                                   "with the same values; it was not changed.")
                                        .arg(n - 1));
    }
    engine::BatchResult r = conn_->executeWrite(
        QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %4")
            .arg(select_.table, quoteName(info.name), literal(newValue, info), where));
    if (r.rowCount == 0)
        throw AdoError(ErrRowNotFound, QStringLiteral("The row was not found: it was changed or "
                                                      "deleted after it was read."));
    // Read the row back as the server now has it (converted value, computed columns).
    engine::Row changed = old;
    changed[size_t(column)] = newValue;
    QStringList names;
    for (const engine::ColumnInfo& c : columns_)
        names << quoteName(c.name);
    try {
        const bool allBase = std::find(baseColumn_.begin(), baseColumn_.end(), false) == baseColumn_.end();
        engine::BatchResult back = conn_->executeWrite(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                .arg(allBase ? names.join(QStringLiteral(", ")) : QStringLiteral("*"),
                     select_.table, condition(changed)));
        if (allBase && !back.resultSets.empty() && back.resultSets[0].rows.size() == 1) {
            cached = back.resultSets[0].rows[0];
            return;
        }
    } catch (const AdoError&) {
    }
    cached = changed;
}

} // namespace ado
