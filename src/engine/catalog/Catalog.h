#pragma once
// The catalog of one database (one attached SQLite schema): the records of tables, columns,
// indexes, constraints, defaults, user types and procedures, and the physical tables that hold
// the rows. Every change goes through here so that records and physical schema stay together
// inside the caller's transaction.

#include "engine/catalog/CatalogTypes.h"

#include <QString>

#include <map>
#include <optional>

struct sqlite3;

namespace engine::catalog {

class Catalog {
public:
    // `schema` is the attached schema name of the database on `db`.
    Catalog(sqlite3* db, QString schema, QString database);

    // Creates the catalog tables and system views in a new database file.
    static void createSchema(sqlite3* db, const QString& schema);

    const QString& schema() const { return schema_; }
    const QString& database() const { return database_; }
    sqlite3* db() const { return db_; }
    // "schema"."name" for SQL text.
    QString qualified(const QString& physName) const;

    // Objects
    std::optional<Object> findObject(const QString& owner, const QString& name, const QString& user) const;
    std::optional<Object> objectById(int id) const;
    // Also true for the name of a system table or view of that owner.
    bool objectNameTaken(const QString& owner, const QString& name) const;
    int newObjectId() const;
    int addObject(const Object& o); // returns the id (o.id when set)
    void removeObject(int id);
    void renameObject(int id, const QString& name);

    // Tables: name resolution is case-insensitive; an unqualified name is the user's own, then dbo's.
    std::optional<Table> findTable(const QString& owner, const QString& name, const QString& user) const;
    Table loadTable(int id) const;
    std::vector<Object> tables() const;

    // Creates records and the physical table (with its indexes). Fills ids.
    void createTable(Table& t);
    // Drops records of the table, its constraints, indexes and physical table.
    void dropTable(const Table& t);
    // Rewrites the column and index records of the table (not the physical table).
    void saveTable(const Table& t);
    // Rebuilds the physical table from `after`'s definition, copying rows from `before`'s
    // physical table: each column of `after` takes copyExpr[colid] when given (SQL over the old
    // physical columns), else the old column with the same colid, else NULL. Indexes are made
    // anew from `after`. Records are saved too.
    void rebuildTable(const Table& before, const Table& after, const std::map<int, QString>& copyExpr = {});
    // Creates / drops one index of the physical table (records not touched).
    void createPhysicalIndex(const Table& t, const Index& ix);
    void dropPhysicalIndex(const Table& t, const Index& ix);
    QString physicalIndexName(const Table& t, const Index& ix) const;

    // Rows of each table, kept by the statements that add or remove them (inside their
    // savepoint, so a rollback takes the figure back too). None when the table has no figure.
    std::optional<long long> rowCount(int tableId) const;
    void addRows(int tableId, long long delta);
    void setRowCount(int tableId, long long n);
    // Gives a file made before row counts were kept its figures, counted once.
    static void ensureRowCounts(sqlite3* db, const QString& schema);

    // Identity
    void setIdentCurrent(int tableId, int colid, std::optional<qint64> value);

    // Database-wide settings kept in the file.
    QString setting(const QString& key) const;
    void setSetting(const QString& key, const QString& value);

    // Column DDL for the physical table.
    QString physicalColumnSql(const Table& t, const Column& c) const;
    QString createPhysicalSql(const Table& t, const QString& physName) const;

private:
    void insertColumns(const Table& t);
    void insertIndexes(const Table& t);

    sqlite3* db_;
    QString schema_;
    QString database_;
};

// Server-made constraint names: PK__Orders__1A2B3C4D, DF__Orders__Statu__5E6F7A8B.
QString makeConstraintName(const QString& prefix, const QString& table, const QString& column = QString());

// Current time as stored datetime text.
QString nowText();

} // namespace engine::catalog
