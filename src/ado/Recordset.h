#pragma once
#include "ado/Connection.h"
#include "ado/SelectSource.h"
#include "engine/Engine.h"

#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <vector>

namespace ado {

// The rows of one record source. Their number is known when it opens; the rows themselves are
// read from the server a page at a time as they are asked for, so that memory follows the rows
// looked at, not the size of the result. A SELECT over one table is editable: a changed value
// is written back as an UPDATE of that table's row.
class Recordset {
public:
    // Opens the source on the connection and counts its rows; throws AdoError.
    void Open(const QString& source, ConnectionPtr connection);
    void Close();
    bool IsOpen() const { return open_; }
    QString Source() const { return source_; }

    const std::vector<engine::ColumnInfo>& Fields() const { return columns_; }
    int FieldIndex(const QString& name) const; // 0-based, -1 when absent
    // The rows of the result, and how many of them are held in memory.
    int RecordCount() const { return total_; }
    int RowsRead() const;
    // Rows are read in pages of this many (the rows held are dropped).
    void SetPageSize(int rows);
    // A row, read with its page when needed; throws AdoError when it cannot be read.
    const engine::Row& row(int index);
    QString text(int row, int column);
    bool Updatable() const { return updatable_; }
    bool FieldUpdatable(int column) const;
    QString BaseTable() const { return select_.table; }
    // Writes a new value of one field of a read row to the base table's column that the field
    // reads; the row keeps its old values when the server refuses (AdoError with the server's
    // number and text) or a number cannot be read (ErrNotANumber).
    void Update(int row, int column, const QVariant& value);

private:
    QString literal(const QVariant& value, const engine::ColumnInfo& column) const;
    QString condition(const engine::Row& values) const;
    void inspectBaseTable();

    std::vector<engine::Row>& page(int number);

    ConnectionPtr conn_;
    QString source_;
    SelectSource select_;
    bool open_ = false;
    std::unique_ptr<engine::Cursor> cursor_;
    long long position_ = 0; // the row the cursor gives next
    int total_ = 0;
    int pageSize_ = 256;
    std::map<int, std::vector<engine::Row>> pages_; // by page number
    std::vector<engine::ColumnInfo> columns_;
    bool updatable_ = false;
    std::vector<bool> baseColumn_; // field reads a column of the base table unchanged
    std::vector<QString> base_;    // that column's name
    std::vector<bool> serverFilled_; // identity or computed: the server sets its value
    std::vector<int> keyFields_;   // fields that identify a row (primary or unique key)
};

using RecordsetPtr = std::shared_ptr<Recordset>;

} // namespace ado
