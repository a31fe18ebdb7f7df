#pragma once
#include "engine/Engine.h"

#include <QString>
#include <memory>
#include <vector>

namespace dmo {

// The result sets of one execution; the first one is current. Rows and columns are 1-based.
class QueryResults {
public:
    QueryResults() = default;
    explicit QueryResults(std::vector<engine::ResultSet> sets);

    int ResultSets() const { return int(sets_.size()); }
    int CurrentResultSet() const { return current_ + 1; }
    void SetCurrentResultSet(int n); // 1-based
    // -1 when the execution produced no result set.
    int Rows() const;
    int Columns() const;
    QString ColumnName(int column) const;
    int ColumnType(int column) const; // ODBC type code (-4 image)
    int ColumnMaxLength(int column) const;
    QString GetColumnString(int row, int column) const;
    bool IsNull(int row, int column) const;

private:
    const engine::ResultSet* set() const;
    const engine::ColumnInfo& info(int column) const;
    std::vector<engine::ResultSet> sets_;
    int current_ = 0;
};

using QueryResultsPtr = std::shared_ptr<QueryResults>;

} // namespace dmo
