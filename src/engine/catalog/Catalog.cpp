#include "engine/catalog/Catalog.h"
#include "engine/catalog/UniqueNullKeys.h"

#include "engine/Errors.h"
#include "engine/functions/Functions.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysviews/SystemViews.h"
#include "engine/types/DateTimeValue.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace engine::catalog {

using storage::quoteId;
using storage::Statement;

namespace {
const char* const kSchemaSql[] = {
    "CREATE TABLE %1.cat_objects (id INTEGER PRIMARY KEY, name TEXT NOT NULL, owner TEXT NOT NULL, "
    "xtype TEXT NOT NULL, parent_id INTEGER NOT NULL DEFAULT 0, crdate TEXT NOT NULL, "
    "filegroup TEXT, text TEXT)",
    "CREATE TABLE %1.cat_columns (table_id INTEGER NOT NULL, colid INTEGER NOT NULL, name TEXT NOT NULL, "
    "type INTEGER NOT NULL, user_type TEXT, length INTEGER NOT NULL, prec INTEGER NOT NULL, scale INTEGER NOT NULL, "
    "nullable INTEGER NOT NULL, is_identity INTEGER NOT NULL, seed INTEGER, increment INTEGER, ident_current INTEGER, "
    "rowguid INTEGER NOT NULL, computed TEXT, computed_sql TEXT, collation TEXT, default_name TEXT, default_text TEXT, "
    "default_id INTEGER, bound_default TEXT, phys TEXT NOT NULL, PRIMARY KEY (table_id, colid))",
    "CREATE TABLE %1.cat_indexes (table_id INTEGER NOT NULL, indid INTEGER NOT NULL, name TEXT NOT NULL, "
    "is_unique INTEGER NOT NULL, clustered INTEGER NOT NULL, primary_key INTEGER NOT NULL, unique_key INTEGER NOT NULL, "
    "ignore_dup_key INTEGER NOT NULL, pad_index INTEGER NOT NULL, no_recompute INTEGER NOT NULL, "
    "fill_factor INTEGER NOT NULL, filegroup TEXT NOT NULL, constraint_id INTEGER NOT NULL, "
    "PRIMARY KEY (table_id, indid))",
    "CREATE TABLE %1.cat_index_columns (table_id INTEGER NOT NULL, indid INTEGER NOT NULL, keyno INTEGER NOT NULL, "
    "colid INTEGER NOT NULL, descending INTEGER NOT NULL, PRIMARY KEY (table_id, indid, keyno))",
    "CREATE TABLE %1.cat_types (name TEXT PRIMARY KEY, base_type INTEGER NOT NULL, length INTEGER NOT NULL, "
    "prec INTEGER NOT NULL, scale INTEGER NOT NULL, nullable INTEGER NOT NULL, bound_default TEXT, "
    "usertype INTEGER NOT NULL)",
    "CREATE TABLE %1.cat_filegroups (groupid INTEGER PRIMARY KEY, name TEXT NOT NULL)",
    "CREATE TABLE %1.cat_settings (key TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE %1.cat_rowcounts (table_id INTEGER PRIMARY KEY, n INTEGER NOT NULL)",
    "INSERT INTO %1.cat_filegroups VALUES (1, 'PRIMARY')",
};

QString physCollation(const Column& c)
{
    using types::Category;
    switch (c.type.category()) {
    case Category::String:
    case Category::Guid:
        if (c.collation.contains(QLatin1String("_CS"), Qt::CaseInsensitive) ||
            c.collation.endsWith(QLatin1String("_BIN"), Qt::CaseInsensitive))
            return QString::fromLatin1(functions::kCollateCS);
        return QString::fromLatin1(functions::kCollateCI);
    case Category::Exact: return QString::fromLatin1(functions::kCollateDecimal);
    default: return {};
    }
}
} // namespace

QString nowText() { return types::DateTimeValue::fromQDateTime(QDateTime::currentDateTime()).roundedDateTime().storedText(); }

QString makeConstraintName(const QString& prefix, const QString& table, const QString& column)
{
    QString hex = QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')).toUpper();
    if (prefix == QLatin1String("DF"))
        return QStringLiteral("DF__%1__%2__%3").arg(table.left(9), column.left(5), hex);
    return QStringLiteral("%1__%2__%3").arg(prefix, table.left(8), hex);
}

Catalog::Catalog(sqlite3* db, QString schema, QString database)
    : db_(db), schema_(std::move(schema)), database_(std::move(database))
{
}

void Catalog::createSchema(sqlite3* db, const QString& schema)
{
    for (const char* sql : kSchemaSql) storage::exec(db, QString::fromLatin1(sql).arg(quoteId(schema)));
    sysviews::createSystemViews(db, schema);
}

QString Catalog::qualified(const QString& physName) const { return quoteId(schema_) + QLatin1Char('.') + quoteId(physName); }

namespace {
Object readObject(const Statement& s)
{
    Object o;
    o.id = int(s.integer(0));
    o.name = s.text(1);
    o.owner = s.text(2);
    o.xtype = s.text(3);
    o.parentId = int(s.integer(4));
    o.crdate = s.text(5);
    o.text = s.text(6);
    return o;
}
const char* const kObjectCols = "id, name, owner, xtype, parent_id, crdate, text";
} // namespace

std::optional<Object> Catalog::findObject(const QString& owner, const QString& name, const QString& user) const
{
    Statement s(db_, QStringLiteral("SELECT %1 FROM %2.cat_objects WHERE name = ?1 COLLATE TSQL_CI")
                         .arg(QLatin1String(kObjectCols), quoteId(schema_)));
    s.bind(1, name);
    std::vector<Object> found;
    while (s.step()) found.push_back(readObject(s));
    auto pick = [&](const QString& o) -> std::optional<Object> {
        for (const Object& x : found)
            if (x.owner.compare(o, Qt::CaseInsensitive) == 0) return x;
        return std::nullopt;
    };
    if (!owner.isEmpty()) return pick(owner);
    if (auto o = pick(user)) return o;
    return pick(QStringLiteral("dbo"));
}

std::optional<Object> Catalog::objectById(int id) const
{
    Statement s(db_, QStringLiteral("SELECT %1 FROM %2.cat_objects WHERE id = ?1").arg(QLatin1String(kObjectCols), quoteId(schema_)));
    s.bind(1, id);
    if (!s.step()) return std::nullopt;
    return readObject(s);
}

bool Catalog::objectNameTaken(const QString& owner, const QString& name) const
{
    // the system tables and views hold their names in every database
    if (sysviews::find(owner, name)) return true;
    Statement s(db_, QStringLiteral("SELECT 1 FROM %1.cat_objects WHERE name = ?1 COLLATE TSQL_CI AND owner = ?2 COLLATE TSQL_CI")
                         .arg(quoteId(schema_)));
    s.bind(1, name).bind(2, owner);
    return s.step();
}

int Catalog::newObjectId() const
{
    Statement s(db_, QStringLiteral("SELECT coalesce(max(id), 1000) FROM %1.cat_objects").arg(quoteId(schema_)));
    s.step();
    return int(s.integer(0)) + 1;
}

int Catalog::addObject(const Object& o)
{
    int id = o.id ? o.id : newObjectId();
    Statement s(db_, QStringLiteral("INSERT INTO %1.cat_objects (id, name, owner, xtype, parent_id, crdate, text) VALUES (?1,?2,?3,?4,?5,?6,?7)")
                         .arg(quoteId(schema_)));
    s.bind(1, id).bind(2, o.name).bind(3, o.owner).bind(4, o.xtype).bind(5, o.parentId)
        .bind(6, o.crdate.isEmpty() ? nowText() : o.crdate).bindOpt(7, o.text);
    s.run();
    return id;
}

void Catalog::removeObject(int id)
{
    Statement s(db_, QStringLiteral("DELETE FROM %1.cat_objects WHERE id = ?1").arg(quoteId(schema_)));
    s.bind(1, id).run();
}

void Catalog::renameObject(int id, const QString& name)
{
    Statement s(db_, QStringLiteral("UPDATE %1.cat_objects SET name = ?2 WHERE id = ?1").arg(quoteId(schema_)));
    s.bind(1, id).bind(2, name).run();
}

std::optional<Table> Catalog::findTable(const QString& owner, const QString& name, const QString& user) const
{
    auto o = findObject(owner, name, user);
    if (!o || o->xtype != QLatin1String("U")) {
        // another owner's table of that name must not hide behind a non-table object
        if (o || !owner.isEmpty()) return std::nullopt;
        return std::nullopt;
    }
    return loadTable(o->id);
}

std::vector<Object> Catalog::tables() const
{
    Statement s(db_, QStringLiteral("SELECT %1 FROM %2.cat_objects WHERE xtype = 'U' ORDER BY id").arg(QLatin1String(kObjectCols), quoteId(schema_)));
    std::vector<Object> r;
    while (s.step()) r.push_back(readObject(s));
    return r;
}

Table Catalog::loadTable(int id) const
{
    Table t;
    {
        Statement s(db_, QStringLiteral("SELECT id, name, owner, crdate, filegroup FROM %1.cat_objects WHERE id = ?1").arg(quoteId(schema_)));
        s.bind(1, id);
        if (!s.step()) throw Errors::invalidObject(QString::number(id));
        t.id = id;
        t.name = s.text(1);
        t.owner = s.text(2);
        t.crdate = s.text(3);
        if (!s.isNull(4)) t.fileGroup = s.text(4);
    }
    {
        Statement s(db_, QStringLiteral("SELECT colid, name, type, user_type, length, prec, scale, nullable, is_identity, seed, increment, "
                                        "ident_current, rowguid, computed, computed_sql, collation, default_name, default_text, default_id, "
                                        "bound_default, phys FROM %1.cat_columns WHERE table_id = ?1 ORDER BY colid").arg(quoteId(schema_)));
        s.bind(1, id);
        while (s.step()) {
            Column c;
            c.colid = int(s.integer(0));
            c.name = s.text(1);
            c.type.type = static_cast<types::Type>(s.integer(2));
            c.type.userType = s.text(3);
            c.type.length = int(s.integer(4));
            c.type.precision = int(s.integer(5));
            c.type.scale = int(s.integer(6));
            c.nullable = s.integer(7) != 0;
            c.identity = s.integer(8) != 0;
            c.seed = s.integer(9);
            c.increment = s.integer(10);
            if (!s.isNull(11)) c.identCurrent = s.integer(11);
            c.rowGuid = s.integer(12) != 0;
            c.computed = s.text(13);
            c.computedSql = s.text(14);
            c.collation = s.text(15);
            c.defaultName = s.text(16);
            c.defaultText = s.text(17);
            c.defaultId = int(s.integer(18));
            c.boundDefault = s.text(19);
            c.phys = s.text(20);
            t.columns.push_back(std::move(c));
        }
    }
    {
        Statement s(db_, QStringLiteral("SELECT indid, name, is_unique, clustered, primary_key, unique_key, ignore_dup_key, pad_index, "
                                        "no_recompute, fill_factor, filegroup, constraint_id FROM %1.cat_indexes WHERE table_id = ?1 ORDER BY indid")
                             .arg(quoteId(schema_)));
        s.bind(1, id);
        while (s.step()) {
            Index ix;
            ix.indid = int(s.integer(0));
            ix.name = s.text(1);
            ix.unique = s.integer(2) != 0;
            ix.clustered = s.integer(3) != 0;
            ix.primaryKey = s.integer(4) != 0;
            ix.uniqueKey = s.integer(5) != 0;
            ix.ignoreDupKey = s.integer(6) != 0;
            ix.padIndex = s.integer(7) != 0;
            ix.noRecompute = s.integer(8) != 0;
            ix.fillFactor = int(s.integer(9));
            ix.fileGroup = s.text(10);
            ix.constraintId = int(s.integer(11));
            t.indexes.push_back(std::move(ix));
        }
        Statement k(db_, QStringLiteral("SELECT indid, colid, descending FROM %1.cat_index_columns WHERE table_id = ?1 ORDER BY indid, keyno")
                             .arg(quoteId(schema_)));
        k.bind(1, id);
        while (k.step()) {
            int indid = int(k.integer(0));
            for (Index& ix : t.indexes)
                if (ix.indid == indid) ix.keys.push_back({int(k.integer(1)), k.integer(2) != 0});
        }
    }
    return t;
}

QString Catalog::physicalColumnSql(const Table&, const Column& c) const
{
    QString sql = quoteId(c.phys);
    QString decl = types::sqliteDecl(c.type);
    if (!decl.isEmpty()) sql += QLatin1Char(' ') + decl;
    QString coll = physCollation(c);
    if (!coll.isEmpty()) sql += QStringLiteral(" COLLATE ") + coll;
    if (c.isComputed()) {
        sql += QStringLiteral(" GENERATED ALWAYS AS (%1) STORED").arg(c.computedSql);
    } else if (!c.nullable) {
        sql += QStringLiteral(" NOT NULL");
    }
    return sql;
}

QString Catalog::createPhysicalSql(const Table& t, const QString& physName) const
{
    QStringList cols;
    for (const Column& c : t.columns) cols << physicalColumnSql(t, c);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(qualified(physName), cols.join(QStringLiteral(", ")));
}

QString Catalog::physicalIndexName(const Table& t, const Index& ix) const { return QStringLiteral("%1_i%2").arg(t.phys(), QString::number(ix.indid)); }

void Catalog::createPhysicalIndex(const Table& t, const Index& ix)
{
    QStringList keys;
    for (const IndexKey& k : ix.keys) {
        const Column* c = t.columnById(k.colid);
        if (!c) throw Errors::internal(QStringLiteral("index key column %1 missing").arg(k.colid));
        keys << quoteId(c->phys) + (k.descending ? QStringLiteral(" DESC") : QString());
    }
    storage::exec(db_, QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                           .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), qualified(physicalIndexName(t, ix)),
                                quoteId(t.phys()), keys.join(QStringLiteral(", "))));
    if (needsNullKeyIndex(t, ix))
        storage::exec(db_, QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3) WHERE %4")
                               .arg(qualified(nullKeyIndexName(physicalIndexName(t, ix))), quoteId(t.phys()), nullKeyTerms(t, ix),
                                    nullKeyCondition(t, ix)));
}

void Catalog::dropPhysicalIndex(const Table& t, const Index& ix)
{
    storage::exec(db_, QStringLiteral("DROP INDEX IF EXISTS %1").arg(qualified(physicalIndexName(t, ix))));
    storage::exec(db_, QStringLiteral("DROP INDEX IF EXISTS %1").arg(qualified(nullKeyIndexName(physicalIndexName(t, ix)))));
}

void Catalog::insertColumns(const Table& t)
{
    Statement s(db_, QStringLiteral("INSERT INTO %1.cat_columns (table_id, colid, name, type, user_type, length, prec, scale, nullable, "
                                    "is_identity, seed, increment, ident_current, rowguid, computed, computed_sql, collation, default_name, "
                                    "default_text, default_id, bound_default, phys) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,"
                                    "?16,?17,?18,?19,?20,?21,?22)").arg(quoteId(schema_)));
    for (const Column& c : t.columns) {
        s.reset();
        s.bind(1, t.id).bind(2, c.colid).bind(3, c.name).bind(4, static_cast<int>(c.type.type)).bindOpt(5, c.type.userType)
            .bind(6, c.type.length).bind(7, c.type.precision).bind(8, c.type.scale).bind(9, c.nullable).bind(10, c.identity)
            .bind(11, static_cast<long long>(c.seed)).bind(12, static_cast<long long>(c.increment));
        if (c.identCurrent) s.bind(13, static_cast<long long>(*c.identCurrent));
        else s.bindNull(13);
        s.bind(14, c.rowGuid).bindOpt(15, c.computed.isEmpty() ? QString() : c.computed)
            .bindOpt(16, c.computedSql.isEmpty() ? QString() : c.computedSql)
            .bindOpt(17, c.collation.isEmpty() ? QString() : c.collation)
            .bindOpt(18, c.defaultName.isEmpty() ? QString() : c.defaultName)
            .bindOpt(19, c.defaultText.isEmpty() ? QString() : c.defaultText).bind(20, c.defaultId)
            .bindOpt(21, c.boundDefault.isEmpty() ? QString() : c.boundDefault).bind(22, c.phys);
        s.run();
    }
}

void Catalog::insertIndexes(const Table& t)
{
    Statement s(db_, QStringLiteral("INSERT INTO %1.cat_indexes (table_id, indid, name, is_unique, clustered, primary_key, unique_key, "
                                    "ignore_dup_key, pad_index, no_recompute, fill_factor, filegroup, constraint_id) "
                                    "VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13)").arg(quoteId(schema_)));
    Statement k(db_, QStringLiteral("INSERT INTO %1.cat_index_columns (table_id, indid, keyno, colid, descending) VALUES (?1,?2,?3,?4,?5)")
                         .arg(quoteId(schema_)));
    for (const Index& ix : t.indexes) {
        s.reset();
        s.bind(1, t.id).bind(2, ix.indid).bind(3, ix.name).bind(4, ix.unique).bind(5, ix.clustered).bind(6, ix.primaryKey)
            .bind(7, ix.uniqueKey).bind(8, ix.ignoreDupKey).bind(9, ix.padIndex).bind(10, ix.noRecompute).bind(11, ix.fillFactor)
            .bind(12, ix.fileGroup).bind(13, ix.constraintId);
        s.run();
        int keyno = 1;
        for (const IndexKey& key : ix.keys) {
            k.reset();
            k.bind(1, t.id).bind(2, ix.indid).bind(3, keyno++).bind(4, key.colid).bind(5, key.descending);
            k.run();
        }
    }
}

void Catalog::saveTable(const Table& t)
{
    Statement a(db_, QStringLiteral("DELETE FROM %1.cat_columns WHERE table_id = ?1").arg(quoteId(schema_)));
    a.bind(1, t.id).run();
    Statement b(db_, QStringLiteral("DELETE FROM %1.cat_indexes WHERE table_id = ?1").arg(quoteId(schema_)));
    b.bind(1, t.id).run();
    Statement c(db_, QStringLiteral("DELETE FROM %1.cat_index_columns WHERE table_id = ?1").arg(quoteId(schema_)));
    c.bind(1, t.id).run();
    Statement d(db_, QStringLiteral("UPDATE %1.cat_objects SET name = ?2, owner = ?3, filegroup = ?4 WHERE id = ?1").arg(quoteId(schema_)));
    d.bind(1, t.id).bind(2, t.name).bind(3, t.owner).bind(4, t.fileGroup).run();
    insertColumns(t);
    insertIndexes(t);
}

void Catalog::createTable(Table& t)
{
    Object o;
    o.name = t.name;
    o.owner = t.owner;
    o.xtype = QStringLiteral("U");
    o.crdate = t.crdate.isEmpty() ? nowText() : t.crdate;
    t.crdate = o.crdate;
    t.id = addObject(o);
    setRowCount(t.id, 0);
    Statement fg(db_, QStringLiteral("UPDATE %1.cat_objects SET filegroup = ?2 WHERE id = ?1").arg(quoteId(schema_)));
    fg.bind(1, t.id).bind(2, t.fileGroup).run();
    for (Column& c : t.columns) {
        if (c.phys.isEmpty()) c.phys = QStringLiteral("c%1").arg(c.colid);
        if (!c.defaultName.isEmpty() && c.defaultId == 0) {
            Object d;
            d.name = c.defaultName;
            d.owner = t.owner;
            d.xtype = QStringLiteral("D");
            d.parentId = t.id;
            d.text = c.defaultText;
            c.defaultId = addObject(d);
        }
    }
    for (Index& ix : t.indexes) {
        if (ix.isConstraint() && ix.constraintId == 0) {
            Object k;
            k.name = ix.name;
            k.owner = t.owner;
            k.xtype = ix.primaryKey ? QStringLiteral("PK") : QStringLiteral("UQ");
            k.parentId = t.id;
            ix.constraintId = addObject(k);
        }
    }
    storage::exec(db_, createPhysicalSql(t, t.phys()));
    for (const Index& ix : t.indexes) createPhysicalIndex(t, ix);
    insertColumns(t);
    insertIndexes(t);
}

void Catalog::dropTable(const Table& t)
{
    storage::exec(db_, QStringLiteral("DROP TABLE IF EXISTS %1").arg(qualified(t.phys())));
    Statement a(db_, QStringLiteral("DELETE FROM %1.cat_objects WHERE id = ?1 OR parent_id = ?1").arg(quoteId(schema_)));
    a.bind(1, t.id).run();
    Table empty;
    empty.id = t.id;
    Statement b(db_, QStringLiteral("DELETE FROM %1.cat_columns WHERE table_id = ?1").arg(quoteId(schema_)));
    b.bind(1, t.id).run();
    Statement c(db_, QStringLiteral("DELETE FROM %1.cat_indexes WHERE table_id = ?1").arg(quoteId(schema_)));
    c.bind(1, t.id).run();
    Statement d(db_, QStringLiteral("DELETE FROM %1.cat_index_columns WHERE table_id = ?1").arg(quoteId(schema_)));
    d.bind(1, t.id).run();
    Statement e(db_, QStringLiteral("DELETE FROM %1.cat_rowcounts WHERE table_id = ?1").arg(quoteId(schema_)));
    e.bind(1, t.id).run();
}

void Catalog::rebuildTable(const Table& before, const Table& after, const std::map<int, QString>& copyExpr)
{
    QString tmp = after.phys() + QStringLiteral("_new");
    storage::exec(db_, QStringLiteral("DROP TABLE IF EXISTS %1").arg(qualified(tmp)));
    storage::exec(db_, createPhysicalSql(after, tmp));
    QStringList targets, sources;
    for (const Column& c : after.columns) {
        if (c.isComputed()) continue;
        auto it = copyExpr.find(c.colid);
        QString src;
        if (it != copyExpr.end()) src = it->second;
        else if (const Column* old = before.columnById(c.colid); old && !old->isComputed()) src = quoteId(old->phys);
        else continue;
        targets << quoteId(c.phys);
        sources << src;
    }
    if (!targets.isEmpty())
        storage::exec(db_, QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                               .arg(qualified(tmp), targets.join(QStringLiteral(", ")), sources.join(QStringLiteral(", ")),
                                    qualified(before.phys())));
    else
        storage::exec(db_, QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(qualified(tmp))); // unreachable for real tables
    storage::exec(db_, QStringLiteral("DROP TABLE %1").arg(qualified(before.phys())));
    storage::exec(db_, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(qualified(tmp), quoteId(after.phys())));
    for (const Index& ix : after.indexes) createPhysicalIndex(after, ix);
    saveTable(after);
}

void Catalog::setIdentCurrent(int tableId, int colid, std::optional<qint64> value)
{
    Statement s(db_, QStringLiteral("UPDATE %1.cat_columns SET ident_current = ?3 WHERE table_id = ?1 AND colid = ?2").arg(quoteId(schema_)));
    s.bind(1, tableId).bind(2, colid);
    if (value) s.bind(3, static_cast<long long>(*value));
    else s.bindNull(3);
    s.run();
}

QString Catalog::setting(const QString& key) const
{
    Statement s(db_, QStringLiteral("SELECT value FROM %1.cat_settings WHERE key = ?1").arg(quoteId(schema_)));
    s.bind(1, key);
    return s.step() ? s.text(0) : QString();
}

void Catalog::setSetting(const QString& key, const QString& value)
{
    Statement s(db_, QStringLiteral("INSERT OR REPLACE INTO %1.cat_settings (key, value) VALUES (?1, ?2)").arg(quoteId(schema_)));
    s.bind(1, key).bind(2, value).run();
}

} // namespace engine::catalog
