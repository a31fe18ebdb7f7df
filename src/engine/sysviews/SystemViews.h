#pragma once
// Read-only system tables over the catalog: sysobjects, syscolumns, systypes, sysindexes,
// sysdatabases and the INFORMATION_SCHEMA views.

#include "engine/types/TypeInfo.h"

#include <QString>

#include <vector>

struct sqlite3;

namespace engine::sysviews {

struct ViewColumn {
    QString name;
    types::TypeSpec type;
};

struct SystemView {
    QString name;       // as T-SQL names it: "sysobjects", "TABLES"
    QString owner;      // "dbo" or "INFORMATION_SCHEMA"
    QString phys;       // SQLite view name
    bool masterOnly;    // sysdatabases lives in master
    std::vector<ViewColumn> columns;
};

// The view a (owner, name) refers to, or null. Owner may be empty.
const SystemView* find(const QString& owner, const QString& name);

// Creates (or re-creates) the views of a database.
void createSystemViews(sqlite3* db, const QString& schema);
// The INFORMATION_SCHEMA views beyond TABLES and COLUMNS (SCHEMATA only in master), with the
// catalog tables they read. `s` is the quoted schema name.
void createInformationSchemaViews(sqlite3* db, const QString& s, bool master);
// The catalog tables of views' tables and procedures' parameters (made when missing).
void ensureInformationTables(sqlite3* db, const QString& s);
// Re-creates the views of an older database file when no transaction is open.
void ensureSystemViews(sqlite3* db, const QString& schema);

} // namespace engine::sysviews
