#pragma once
// Catalog records of one database: tables, columns, indexes and key constraints.

#include "engine/types/TypeInfo.h"

#include <QString>

#include <optional>
#include <vector>

namespace engine::catalog {

struct Column {
    int colid = 0;            // 1-based, never reused within a table
    QString name;
    types::TypeSpec type;
    bool nullable = true;
    bool identity = false;
    qint64 seed = 1;
    qint64 increment = 1;
    std::optional<qint64> identCurrent; // last value handed out (none before the first row)
    bool rowGuid = false;
    QString computed;         // computed column text as stored, "([a] + [b])"; empty when not computed
    QString computedSql;      // the same as a SQLite expression over physical columns
    QString collation;        // empty: the database's
    QString defaultName;      // default constraint name
    QString defaultText;      // default constraint text, "(0)"
    int defaultId = 0;        // object id of the default constraint
    QString boundDefault;     // name of a bound default object (sp_bindefault)
    QString phys;             // physical SQLite column name

    bool isComputed() const { return !computed.isEmpty(); }
};

struct IndexKey {
    int colid = 0;
    bool descending = false;
};

struct Index {
    int indid = 0;            // 1 for the clustered index, 2.. for the others
    QString name;
    bool unique = false;
    bool clustered = false;
    bool primaryKey = false;  // the index of a PRIMARY KEY constraint
    bool uniqueKey = false;   // the index of a UNIQUE constraint
    bool ignoreDupKey = false;
    bool padIndex = false;
    bool noRecompute = false;
    int fillFactor = 0;
    QString fileGroup = QStringLiteral("PRIMARY");
    int constraintId = 0;     // object id of the PK/UQ constraint, 0 for a plain index
    std::vector<IndexKey> keys;

    bool isConstraint() const { return primaryKey || uniqueKey; }
};

struct Table {
    int id = 0;
    QString name;
    QString owner = QStringLiteral("dbo");
    QString crdate;           // stored datetime text
    QString fileGroup = QStringLiteral("PRIMARY");
    std::vector<Column> columns;
    std::vector<Index> indexes;

    QString phys() const { return QStringLiteral("t%1").arg(id); }
    const Column* column(const QString& name) const; // case-insensitive
    Column* column(const QString& name);
    const Column* columnById(int colid) const;
    const Column* identityColumn() const;
    const Index* primaryKey() const;
    const Index* index(const QString& name) const;
    int nextColid() const;
    int nextIndid(bool clustered) const;
};

// An object row of the catalog (sysobjects).
struct Object {
    int id = 0;
    QString name;
    QString owner;
    QString xtype;            // U table, P procedure, D default, PK, UQ, V view
    int parentId = 0;
    QString crdate;
    QString text;
};

} // namespace engine::catalog
