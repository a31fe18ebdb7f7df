#pragma once
#include "ado/Connection.h"
#include "ado/SelectSource.h"
#include "engine/Engine.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace ado {

// The rows of one record source, read from the server as they are asked for. A SELECT over
// one table is editable: a changed value is written back as an UPDATE of that table's row.
class Recordset {
public:
    // Opens the source on the connection; throws AdoError.
    void Open(const QString& source, ConnectionPtr connection);
    void Close();
    bool IsOpen() const { return cursor_ != nullptr || !rows_.empty(); }
    QString Source() const { return source_; }

    const std::vector<engine::ColumnInfo>& Fields() const { return columns_; }
    int FieldIndex(const QString& name) const; // 0-based, -1 when absent
    // Rows read so far, and whether more remain on the server.
    int RowsFetched() const { return int(rows_.size()); }
    bool AtEnd() const { return cursor_ == nullptr; }
    // Reads up to count more rows; returns how many came.
    int FetchMore(int count);
    // Reads every remaining row.
    void FetchAll();
    const engine::Row& row(int index) const { return rows_[size_t(index)]; }
    QString text(int row, int column) const;

    bool Updatable() const { return updatable_; }
    bool FieldUpdatable(int column) const;
    QString BaseTable() const { return select_.table; }
    // Writes a new value of one field of a read row to the base table; the row keeps its old
    // values when the server refuses (AdoError with the server's number and text).
    void Update(int row, int column, const QVariant& value);

private:
    QString literal(const QVariant& value, const engine::ColumnInfo& column) const;
    QString condition(const engine::Row& values) const;
    void inspectBaseTable();

    ConnectionPtr conn_;
    QString source_;
    SelectSource select_;
    std::unique_ptr<engine::Cursor> cursor_;
    std::vector<engine::ColumnInfo> columns_;
    std::vector<engine::Row> rows_;
    bool updatable_ = false;
    std::vector<bool> baseColumn_; // field is a column of the base table
    std::vector<bool> serverFilled_; // identity or computed: the server sets its value
    std::vector<int> keyFields_;   // fields that identify a row (primary or unique key)
};

using RecordsetPtr = std::shared_ptr<Recordset>;

} // namespace ado
