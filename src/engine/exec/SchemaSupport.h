#pragma once
// Helpers shared by the schema statements: tables resolved for a change, filegroups, collations,
// index creation with the server's checks, and evaluation of a constant expression.

#include "engine/catalog/Catalog.h"
#include "engine/exec/SessionImpl.h"
#include "engine/parser/Ast.h"

#include <QString>

#include <utility>

namespace engine::exec {

// A table about to be changed with the catalog of its database.
struct TableUnderChange {
    ResolvedTable resolved;
    catalog::Catalog catalog;
    catalog::Table& table() { return resolved.table; }
    const QString& name() const { return resolved.table.name; }
};

// The table named by an ALTER TABLE (4902 when missing) or by another statement (208).
TableUnderChange tableForAlter(SessionImpl& s, const sql::ObjectName& name);
TableUnderChange tableForChange(SessionImpl& s, const sql::ObjectName& name);

// The filegroup's name as recorded (PRIMARY when empty); 1921 when the database has none such.
QString checkedFileGroup(const catalog::Catalog& c, const QString& name);

// The collation's name as listed by the server; 448 when unknown.
QString checkedCollation(const QString& name);
// The collation of a database (the server's when it has none recorded).
QString databaseCollation(SessionImpl& s, const QString& database);

// Validates and adds one index (plain, PRIMARY KEY or UNIQUE constraint) to the table: name
// clashes (1913, 2714), one clustered index (1902), one primary key (1779), nullable key
// columns (8111), duplicates (1505). Makes the constraint object, the physical index and saves
// the table's records. `ix.keys`, `ix.name` and the flags must be set; indid is chosen here.
void addIndex(TableUnderChange& t, catalog::Index ix);

// Removes an index (and its constraint object) from the records and the physical schema.
void removeIndex(TableUnderChange& t, const QString& name);

// Key columns of a statement turned into catalog keys (1911 for a missing column).
std::vector<catalog::IndexKey> indexKeys(const catalog::Table& t, const std::vector<sql::IndexColumn>& cols);

// A default as the server stores it: "(0)", "('x')", "(getdate())".
QString defaultText(const sql::Expr& e);

// Whether a user type allows nulls (its sp_addtype null type); nullopt when there is no such type.
std::optional<bool> userTypeNullable(const catalog::Catalog& c, const QString& name);

// ON CONFLICT clauses that make an INSERT skip rows whose key is already in an IGNORE_DUP_KEY
// index of the table; empty when it has none.
QString ignoreDupKeyClauses(const catalog::Table& t);
// The warning of an INSERT that skipped such rows (3604).
Message duplicateKeyIgnored();

class Translator;
struct Scope;
// A table-valued system function in FROM (::fn_helpcollations()); adds its source to the scope
// and returns its SQL. 208 for an unknown one.
QString systemTableFunction(Translator& tr, const sql::FunctionTableRef& f, Scope& scope);

// Case-insensitive name comparison as identifiers compare on this server.
bool sameName(const QString& a, const QString& b);

} // namespace engine::exec
