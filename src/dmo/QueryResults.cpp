#include "dmo/QueryResults.h"

#include "dmo/DmoError.h"
#include "dmo/Sql.h"

namespace dmo {

QueryResults::QueryResults(std::vector<engine::ResultSet> sets) : sets_(std::move(sets)) {}

void QueryResults::SetCurrentResultSet(int n) {
    if (n < 1 || n > int(sets_.size()))
        throw DmoError(Errors::OutOfRange, QStringLiteral("Result set %1 does not exist.").arg(n));
    current_ = n - 1;
}

const engine::ResultSet* QueryResults::set() const {
    return sets_.empty() ? nullptr : &sets_[size_t(current_)];
}

int QueryResults::Rows() const { return set() ? int(set()->rows.size()) : -1; }

int QueryResults::Columns() const { return set() ? int(set()->columns.size()) : 0; }

const engine::ColumnInfo& QueryResults::info(int column) const {
    if (column < 1 || column > Columns())
        throw DmoError(Errors::OutOfRange, QStringLiteral("Column %1 does not exist.").arg(column));
    return set()->columns[size_t(column - 1)];
}

QString QueryResults::ColumnName(int column) const { return info(column).name; }

int QueryResults::ColumnType(int column) const { return sql::odbcTypeCode(info(column).typeName); }

int QueryResults::ColumnMaxLength(int column) const { return info(column).length; }

QString QueryResults::GetColumnString(int row, int column) const {
    info(column);
    if (row < 1 || row > Rows())
        throw DmoError(Errors::OutOfRange, QStringLiteral("Row %1 does not exist.").arg(row));
    return set()->text(size_t(row - 1), size_t(column - 1));
}

bool QueryResults::IsNull(int row, int column) const {
    GetColumnString(row, column);
    return set()->rows[size_t(row - 1)][size_t(column - 1)].isNull();
}

} // namespace dmo
