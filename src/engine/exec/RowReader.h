#pragma once
// Reads result rows straight from a SQLite statement into the engine's value types, with each
// column's reader chosen once per result.

#include "engine/Engine.h"
#include "engine/exec/TextPool.h"
#include "engine/types/TypeInfo.h"

#include <sqlite3.h>

#include <memory>
#include <vector>

namespace engine::exec {

class RowReader {
public:
    explicit RowReader(std::vector<types::TypeSpec> types);
    RowReader(RowReader&&) = default;
    // Appends the current row's values to `row`.
    void read(sqlite3_stmt* st, Row& row);
    size_t columnCount() const { return types_.size(); }

private:
    // A column's value of the statement's current row (SQLite's own, read once per value).
    using Reader = QVariant (*)(RowReader&, sqlite3_value*, int kind, size_t col);
    static QVariant readInteger(RowReader& r, sqlite3_value* v, int kind, size_t col);
    static QVariant readApprox(RowReader& r, sqlite3_value* v, int kind, size_t col);
    static QVariant readString(RowReader& r, sqlite3_value* v, int kind, size_t col);
    static QVariant readExact(RowReader& r, sqlite3_value* v, int kind, size_t col);
    static QVariant readDateTime(RowReader& r, sqlite3_value* v, int kind, size_t col);
    static QVariant readBinary(RowReader& r, sqlite3_value* v, int kind, size_t col);
    // Storage of another kind than the column's type: through the conversion table.
    static QVariant readConverted(RowReader& r, sqlite3_value* v, int kind, size_t col);

    std::vector<types::TypeSpec> types_;
    std::vector<Reader> readers_;
    std::unique_ptr<TextPool> text_ = std::make_unique<TextPool>();
};

} // namespace engine::exec
