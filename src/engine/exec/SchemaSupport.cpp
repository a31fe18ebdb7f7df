#include "engine/exec/SchemaSupport.h"

#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/catalog/UniqueNullKeys.h"
#include "engine/exec/Translator.h"
#include "engine/functions/CollationList.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/parser/ExprPrinter.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using storage::quoteId;
using storage::Statement;

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

namespace {
TableUnderChange wrap(SessionImpl& s, ResolvedTable rt)
{
    catalog::Catalog c = s.catalogFor(rt.database);
    return TableUnderChange{std::move(rt), std::move(c)};
}
} // namespace

TableUnderChange tableForAlter(SessionImpl& s, const sql::ObjectName& name)
{
    auto rt = s.findTable(name);
    if (!rt) throw Errors::alterMissingTable(name.name);
    return wrap(s, std::move(*rt));
}

TableUnderChange tableForChange(SessionImpl& s, const sql::ObjectName& name) { return wrap(s, s.resolveTable(name)); }

QString checkedFileGroup(const catalog::Catalog& c, const QString& name)
{
    if (name.isEmpty()) return QStringLiteral("PRIMARY");
    Statement st(c.db(), QStringLiteral("SELECT name FROM %1.cat_filegroups WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
    st.bind(1, name);
    if (!st.step()) throw Errors::invalidFileGroup(name);
    return st.text(0);
}

QString checkedCollation(const QString& name)
{
    auto c = functions::findCollation(name);
    if (!c) throw Errors::invalidCollation(name);
    return *c;
}

QString databaseCollation(SessionImpl& s, const QString& database)
{
    auto e = s.server().database(database);
    if (e && !e->collation.isEmpty()) return e->collation;
    return s.server().serverCollation();
}

std::vector<catalog::IndexKey> indexKeys(const catalog::Table& t, const std::vector<sql::IndexColumn>& cols)
{
    std::vector<catalog::IndexKey> keys;
    for (const sql::IndexColumn& ic : cols) {
        const catalog::Column* c = t.column(ic.name);
        if (!c) throw Errors::indexColumnMissing(ic.name);
        for (const catalog::IndexKey& k : keys)
            if (k.colid == c->colid)
                throw Errors::make(1909, QStringLiteral("Column '%1' appears twice in the key list.").arg(c->name));
        keys.push_back({c->colid, ic.descending});
    }
    return keys;
}

namespace {
bool hasDuplicates(const catalog::Catalog& c, const catalog::Table& t, const catalog::Index& ix)
{
    QStringList cols;
    for (const catalog::IndexKey& k : ix.keys) cols << quoteId(t.columnById(k.colid)->phys);
    Statement st(c.db(), QStringLiteral("SELECT 1 FROM %1 GROUP BY %2 HAVING count(*) > 1 LIMIT 1")
                             .arg(c.qualified(t.phys()), cols.join(QStringLiteral(", "))));
    return st.step();
}

void checkKeyTypes(const catalog::Table& t, const catalog::Index& ix)
{
    using types::Type;
    for (const catalog::IndexKey& k : ix.keys) {
        const catalog::Column* col = t.columnById(k.colid);
        Type ty = col->type.type;
        if (ty == Type::Text || ty == Type::NText || ty == Type::Image)
            throw Errors::make(1919, QStringLiteral("Column '%1' of table '%2' has a type that cannot be an index key.").arg(col->name, t.name));
    }
    if (ix.keys.size() > 16)
        throw Errors::make(1904, QStringLiteral("Index '%1' has more than 16 key columns.").arg(ix.name));
}
} // namespace

void addIndex(TableUnderChange& tc, catalog::Index ix)
{
    catalog::Table& t = tc.table();
    if (ix.isConstraint()) {
        if (tc.catalog.objectNameTaken(t.owner, ix.name)) throw Errors::objectExists(ix.name);
    }
    if (t.index(ix.name)) throw Errors::indexExists(ix.name, t.name);
    if (ix.primaryKey && t.primaryKey()) throw Errors::primaryKeyExists(t.name);
    if (ix.clustered)
        for (const catalog::Index& other : t.indexes)
            if (other.clustered) throw Errors::clusteredExists(ix.name, t.name);
    if (ix.ignoreDupKey && !ix.unique)
        throw Errors::make(1916, QStringLiteral("IGNORE_DUP_KEY needs a unique index."));
    if (ix.fillFactor < 0 || ix.fillFactor > 100)
        throw Errors::make(1920, QStringLiteral("The fill factor %1 is not between 0 and 100.").arg(ix.fillFactor));
    ix.fileGroup = checkedFileGroup(tc.catalog, ix.fileGroup);
    checkKeyTypes(t, ix);
    if (ix.primaryKey)
        for (const catalog::IndexKey& k : ix.keys) {
            const catalog::Column* col = t.columnById(k.colid);
            if (col->nullable) throw Errors::nullablePrimaryKey(col->name, t.name);
        }
    // Keys that may hold NULL are checked first (a NULL counts as a value here); other unique
    // keys are checked by building the index itself.
    if (ix.unique && catalog::needsNullKeyIndex(t, ix) && hasDuplicates(tc.catalog, t, ix))
        throw Errors::duplicateOnCreateIndex(ix.name, t.name);
    ix.indid = t.nextIndid(ix.clustered);
    if (ix.isConstraint()) {
        catalog::Object k;
        k.name = ix.name;
        k.owner = t.owner;
        k.xtype = ix.primaryKey ? QStringLiteral("PK") : QStringLiteral("UQ");
        k.parentId = t.id;
        ix.constraintId = tc.catalog.addObject(k);
    }
    t.indexes.push_back(ix);
    std::sort(t.indexes.begin(), t.indexes.end(), [](const catalog::Index& a, const catalog::Index& b) { return a.indid < b.indid; });
    try {
        tc.catalog.createPhysicalIndex(t, ix);
    } catch (const SqlError&) {
        if (ix.unique && sqlite3_extended_errcode(tc.catalog.db()) == SQLITE_CONSTRAINT_UNIQUE)
            throw Errors::duplicateOnCreateIndex(ix.name, t.name);
        throw;
    }
    tc.catalog.saveTable(t);
}

void removeIndex(TableUnderChange& tc, const QString& name)
{
    catalog::Table& t = tc.table();
    auto it = std::find_if(t.indexes.begin(), t.indexes.end(), [&](const catalog::Index& i) { return sameName(i.name, name); });
    if (it == t.indexes.end()) throw Errors::internal(QStringLiteral("index %1 missing").arg(name));
    tc.catalog.dropPhysicalIndex(t, *it);
    if (it->constraintId) tc.catalog.removeObject(it->constraintId);
    t.indexes.erase(it);
    tc.catalog.saveTable(t);
}

std::optional<bool> userTypeNullable(const catalog::Catalog& c, const QString& name)
{
    Statement st(c.db(), QStringLiteral("SELECT nullable FROM %1.cat_types WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
    st.bind(1, name);
    if (!st.step()) return std::nullopt;
    return st.integer(0) != 0;
}

QString ignoreDupKeyClauses(const catalog::Table& t)
{
    QString sql;
    for (const catalog::Index& ix : t.indexes) {
        if (!ix.ignoreDupKey || !ix.unique) continue;
        QStringList cols;
        for (const catalog::IndexKey& k : ix.keys) cols << quoteId(t.columnById(k.colid)->phys);
        sql += QStringLiteral(" ON CONFLICT (%1) DO NOTHING").arg(cols.join(QStringLiteral(", ")));
        if (catalog::needsNullKeyIndex(t, ix))
            sql += QStringLiteral(" ON CONFLICT (%1) WHERE %2 DO NOTHING").arg(catalog::nullKeyTerms(t, ix), catalog::nullKeyCondition(t, ix));
    }
    return sql;
}

Message duplicateKeyIgnored()
{
    Message m;
    m.number = 3604;
    m.severity = 10;
    m.text = QStringLiteral("Rows with a duplicate key were ignored.");
    return m;
}

QString defaultText(const sql::Expr& e) { return sql::parenthesized(sql::toSql(e)); }

} // namespace engine::exec
