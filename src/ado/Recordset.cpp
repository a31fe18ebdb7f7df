#include "ado/Recordset.h"

#include "ado/AdoError.h"
#include "ado/NumberText.h"
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

bool isInteger(const QString& type) {
    return type == QLatin1String("tinyint") || type == QLatin1String("smallint") ||
           type == QLatin1String("int") || type == QLatin1String("bigint");
}

bool isNumber(const QString& type) {
    static const QStringList types = {"decimal", "numeric", "money", "smallmoney", "float", "real"};
    return isInteger(type) || types.contains(type);
}

// Every way an index's keys as sp_helpindex joins them ("a, b(-)") split into the table's
// column names, up to two: a name may hold ", " or end in "(-)".
void keySplits(const QString& keys, const QStringList& columns, qsizetype at, QStringList& sofar,
               std::vector<QStringList>& found) {
    for (const QString& name : columns) {
        if (found.size() > 1)
            return;
        if (name.isEmpty() || keys.mid(at, name.size()).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (const qsizetype next : {at + name.size(), at + name.size() + 3}) {
            if (next > at + name.size() && keys.mid(at + name.size(), 3) != QLatin1String("(-)"))
                continue;
            sofar << name;
            if (next == keys.size())
                found.push_back(sofar);
            else if (keys.mid(next, 2) == QLatin1String(", "))
                keySplits(keys, columns, next + 2, sofar, found);
            sofar.removeLast();
        }
    }
}

// The fields reading an index's key columns; empty when the keys split into the table's columns
// in more than one way or a key column is not among the fields.
std::vector<int> keyFieldsOf(const QString& keys, const QStringList& tableColumns,
                             const std::vector<QString>& fields) {
    QStringList sofar;
    std::vector<QStringList> found;
    keySplits(keys, tableColumns, 0, sofar, found);
    if (found.size() != 1)
        return {};
    std::vector<int> out;
    for (const QString& key : found.front()) {
        const auto f = std::find_if(fields.begin(), fields.end(), [&](const QString& field) {
            return field.compare(key, Qt::CaseInsensitive) == 0;
        });
        if (f == fields.end())
            return {};
        out.push_back(int(f - fields.begin()));
    }
    return out;
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
    base_.assign(columns_.size(), QString());
    serverFilled_.assign(columns_.size(), false);
    keyFields_.clear();
    if (select_.singleTable)
        inspectBaseTable();
}

void Recordset::inspectBaseTable() {
    // Only a field that reads a column of the table unchanged is one of its columns: a star
    // gives the table's columns by their names; the result must agree with the list as read.
    const QList<SelectSource::Item>& items = select_.items;
    const qsizetype stars = std::count_if(items.begin(), items.end(),
                                          [](const SelectSource::Item& i) { return i.star; });
    const qsizetype others = items.size() - stars;
    const qsizetype fields = qsizetype(columns_.size());
    if (fields < others || (stars == 0 && fields != others) ||
        (stars > 0 && (fields - others) % stars != 0))
        return;
    const qsizetype perStar = stars > 0 ? (fields - others) / stars : 0;
    size_t f = 0;
    for (const SelectSource::Item& item : items) {
        if (item.star) {
            for (qsizetype k = 0; k < perStar; ++k, ++f)
                base_[f] = columns_[f].name;
        } else {
            if (!item.column.isEmpty() && item.name.compare(columns_[f].name, Qt::CaseInsensitive) == 0)
                base_[f] = item.column;
            ++f;
        }
    }
    for (f = 0; f < columns_.size(); ++f)
        baseColumn_[f] = !base_[f].isEmpty();
    updatable_ = std::find(baseColumn_.begin(), baseColumn_.end(), true) != baseColumn_.end();
    if (!updatable_)
        return;
    // The table's columns; identity and computed ones take no value from the client.
    QStringList tableColumns;
    try {
        engine::BatchResult r = conn_->executeWrite(
            QStringLiteral("SELECT name, CASE WHEN isidentity = 1 OR iscomputed = 1 THEN 1 ELSE 0 END "
                           "FROM syscolumns WHERE id = OBJECT_ID(%1)")
                .arg(quoteNString(select_.table)));
        if (!r.resultSets.empty())
            for (size_t i = 0; i < r.resultSets.front().rows.size(); ++i) {
                const QString name = r.resultSets.front().text(i, 0);
                tableColumns << name;
                if (r.resultSets.front().rows[i][1].toInt() != 1)
                    continue;
                for (size_t f = 0; f < columns_.size(); ++f)
                    if (baseColumn_[f] && base_[f].compare(name, Qt::CaseInsensitive) == 0)
                        serverFilled_[f] = true;
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
                keyFields_ = keyFieldsOf(rs.text(i, 2), tableColumns, base_);
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
    base_.clear();
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
    if (isNumber(type)) {
        // As the user's locale writes numbers; the server would read "4,5" as 45. A word goes
        // as typed, for the server to refuse; signs alone ("$", ",", "-") it would read as 0.
        const std::optional<QString> number = NumberText(text);
        const bool word = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
        if (!number && word)
            return quoteNString(text);
        if (!number)
            throw AdoError(ErrNotANumber, QStringLiteral("The value '%1' of the field '%2' is not a number.")
                                              .arg(text, column.name));
        static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
        const bool fraction = !whole.match(*number).hasMatch();
        // A fraction stays a text for an integer column, so that the server refuses it.
        return isInteger(type) && fraction ? quoteNString(*number) : *number;
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
        const QString name = quoteName(base_[size_t(f)]);
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
    const QString newLiteral = literal(newValue, info); // a number it cannot read: AdoError
    const engine::Row old = cached;
    QString where = condition(old);
    // The column keeps the value the row showed, else another session's change would be lost.
    const bool inKey = std::find(keyFields_.begin(), keyFields_.end(), column) != keyFields_.end();
    if (!where.isEmpty() && !keyFields_.empty() && !inKey && isComparable(info.typeName)) {
        const QVariant& shown = old[size_t(column)];
        const QString name = quoteName(base_[size_t(column)]);
        where += QStringLiteral(" AND ") + (shown.isNull() ? name + QStringLiteral(" IS NULL")
                                                          : name + QStringLiteral(" = ") + literal(shown, info));
    }
    if (where.isEmpty())
        throw AdoError(ErrRowNotFound, QStringLiteral("The row cannot be identified."));
    {
        // A key read at the open may no longer be one (the table made again without it).
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
            .arg(select_.table, quoteName(base_[size_t(column)]), newLiteral, where));
    if (r.rowCount == 0)
        throw AdoError(ErrRowNotFound, QStringLiteral("The row was not found: it was changed or "
                                                      "deleted after it was read."));
    // Every field reading that column now holds the new value.
    engine::Row changed = old;
    for (size_t f = 0; f < columns_.size(); ++f)
        if (baseColumn_[f] && base_[f].compare(base_[size_t(column)], Qt::CaseInsensitive) == 0)
            changed[f] = newValue;
    // Read the table's columns back as the server now has them (converted value, computed
    // columns); the other fields keep what they showed.
    QStringList names;
    for (size_t f = 0; f < columns_.size(); ++f)
        if (baseColumn_[f])
            names << quoteName(base_[f]);
    try {
        engine::BatchResult back = conn_->executeWrite(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                .arg(names.join(QStringLiteral(", ")), select_.table, condition(changed)));
        if (!back.resultSets.empty() && back.resultSets[0].rows.size() == 1) {
            const engine::Row& read = back.resultSets[0].rows[0];
            size_t k = 0;
            for (size_t f = 0; f < columns_.size(); ++f)
                if (baseColumn_[f])
                    changed[f] = read[k++];
        }
    } catch (const AdoError&) {
    }
    cached = changed;
}

} // namespace ado
