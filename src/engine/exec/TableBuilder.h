#pragma once
// Builds catalog records from column definitions and PRIMARY KEY / UNIQUE / DEFAULT
// constraints, with the server's checks. Used by CREATE TABLE and by ALTER TABLE ADD.

#include "engine/catalog/Catalog.h"
#include "engine/exec/SessionImpl.h"
#include "engine/parser/Ast.h"

namespace engine::exec {

class TableBuilder {
public:
    // t may already hold columns and indexes (ALTER TABLE); new ones are appended.
    TableBuilder(SessionImpl& s, catalog::Catalog& cat, catalog::Table& t) : s_(s), cat_(cat), t_(t) {}

    catalog::Column& addColumn(const sql::ColumnDef& def);
    // A column constraint (columnName set) or a table constraint.
    void addConstraint(const sql::ConstraintDef& def, const QString& columnName);
    // Translates computed columns and checks what needs the whole table (identity count, ...).
    void finish();

    // "(0)" from "0"; "(getdate())" stays as it is.
    static QString parenthesized(const QString& text);

private:
    QString constraintName(const QString& given, const QString& prefix, const QString& column);

    SessionImpl& s_;
    catalog::Catalog& cat_;
    catalog::Table& t_;
    std::vector<QString> newNames_;
    std::vector<int> explicitNull_; // colids declared NULL explicitly
};

} // namespace engine::exec
