// ALTER TABLE ... ALTER COLUMN: type, nulls, collation, ROWGUIDCOL.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/AlterTableParts.h"
#include "engine/exec/Translator.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using storage::quoteId;
using storage::Statement;
using types::Type;

namespace {
bool variableLength(Type t) { return t == Type::VarChar || t == Type::NVarChar || t == Type::VarBinary; }

// True when every stored value of `from` is already a valid `to` value as it is stored.
bool storedAsIs(const types::TypeSpec& from, const types::TypeSpec& to)
{
    if (from.type != to.type) {
        auto rank = [](Type t) {
            switch (t) {
            case Type::TinyInt: return 1;
            case Type::SmallInt: return 2;
            case Type::Int: return 3;
            case Type::BigInt: return 4;
            default: return 0;
            }
        };
        return rank(from.type) && rank(to.type) && rank(from.type) <= rank(to.type);
    }
    if (from.hasLength()) return variableLength(from.type) ? to.length >= from.length : to.length == from.length;
    if (from.hasPrecision()) return to.scale == from.scale && to.precision - to.scale >= from.precision - from.scale;
    return true;
}
} // namespace

QStringList columnDependants(const catalog::Table& t, const catalog::Column& c, bool allowGrow, bool allowDefault)
{
    QStringList objects;
    for (const catalog::Index& ix : t.indexes) {
        bool uses = std::any_of(ix.keys.begin(), ix.keys.end(), [&](const catalog::IndexKey& k) { return k.colid == c.colid; });
        if (uses && (ix.primaryKey || !allowGrow)) objects << ix.name;
    }
    if (!allowDefault) {
        if (!c.defaultName.isEmpty()) objects << c.defaultName;
        if (!c.boundDefault.isEmpty()) objects << c.boundDefault;
    }
    const QString ref = quoteId(c.phys);
    for (const catalog::Column& o : t.columns)
        if (o.colid != c.colid && o.isComputed() && o.computedSql.contains(ref)) objects << o.name;
    return objects;
}

void refuseForDependants(SessionImpl& s, const QStringList& objects, const QString& column, bool drop)
{
    for (const QString& o : objects) s.addMessage(Errors::dependsOnColumn(o, column).message());
    throw Errors::alterColumnFailed(column, drop, int(objects.size()));
}

void alterColumn(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st)
{
    catalog::Table before = tc.table();
    catalog::Column* col = tc.table().column(st.column);
    if (!col) throw Errors::columnMissing(st.column, tc.name(), false);
    auto refuseKind = [&](const QString& kind) {
        throw Errors::make(4928, QStringLiteral("Column '%1' is %2, so it cannot be altered.").arg(col->name, kind));
    };
    if (col->isComputed()) refuseKind(QStringLiteral("computed"));
    if (col->rowGuid) refuseKind(QStringLiteral("ROWGUIDCOL"));
    if (col->type.type == Type::Timestamp) refuseKind(QStringLiteral("timestamp"));

    types::TypeSpec to = specOf(st.type, &s);
    if (to.type == Type::Timestamp) throw Errors::make(4927, QStringLiteral("A column cannot be altered to timestamp."));
    if (col->identity && !(to.category() == types::Category::Integer && to.type != Type::Bit) && !(to.hasPrecision() && to.scale == 0))
        throw Errors::make(2749, QStringLiteral("Column '%1' cannot be an identity column: its type must be an integer, or decimal or numeric with scale 0.").arg(col->name));
    const types::TypeSpec from = col->type;
    bool nullable = st.nullability != sql::Nullability::NotNull;
    if (st.nullability == sql::Nullability::Unspecified && !to.userType.isEmpty())
        nullable = userTypeNullable(tc.catalog, to.userType).value_or(true);
    if (col->identity) nullable = false;
    const bool sameBase = from.type == to.type;
    const bool grow = sameBase && variableLength(to.type) && to.length >= from.length;
    QString collation = col->collation;
    if (!st.collation.isEmpty()) collation = checkedCollation(st.collation);
    const bool textual = to.isString() || to.type == Type::Text || to.type == Type::NText;
    if (textual && collation.isEmpty()) collation = databaseCollation(s, tc.resolved.database);
    if (!textual) {
        if (!st.collation.isEmpty())
            throw Errors::make(447, QStringLiteral("Column '%1' is not of a character type and cannot have a collation.").arg(col->name));
        collation.clear();
    }
    // an index keeps its column only when the column just grows: same type, nulls and collation
    const QString oldCollation = col->collation.isEmpty() && textual ? databaseCollation(s, tc.resolved.database) : col->collation;
    const bool keepsIndexes = grow && nullable == col->nullable && collation.compare(oldCollation, Qt::CaseInsensitive) == 0;
    QStringList dependants = columnDependants(tc.table(), *col, keepsIndexes, sameBase);
    if (!dependants.isEmpty()) refuseForDependants(s, dependants, col->name, false);

    if (!nullable && col->nullable) {
        Statement n(tc.catalog.db(), QStringLiteral("SELECT 1 FROM %1 WHERE %2 IS NULL LIMIT 1")
                                         .arg(tc.catalog.qualified(before.phys()), quoteId(col->phys)));
        if (n.step()) throw Errors::notNull(col->name, tc.name(), true);
    }

    const QString oldPhysSql = tc.catalog.physicalColumnSql(before, *col);
    col->type = to;
    col->nullable = nullable;
    col->collation = collation;
    const bool convert = !storedAsIs(from, to);
    if (!convert && tc.catalog.physicalColumnSql(tc.table(), *col) == oldPhysSql) {
        tc.catalog.saveTable(tc.table()); // same physical column: records only
        return;
    }
    std::map<int, QString> copy;
    if (convert) {
        Translator tr(s);
        Typed x;
        x.sql = quoteId(before.columnById(col->colid)->phys);
        x.type = from;
        x.isColumn = true;
        x.column = before.columnById(col->colid);
        QString sql = tr.convertSql(x, to, true);
        if (!tr.binds().empty()) throw Errors::internal(QStringLiteral("conversion with bound values"));
        if (!sql.isEmpty()) copy[col->colid] = sql;
    }
    tc.catalog.rebuildTable(before, tc.table(), copy);
}

void alterRowGuidCol(TableUnderChange& tc, const QString& column, bool add)
{
    catalog::Column* col = tc.table().column(column);
    if (!col) throw Errors::columnMissing(column, tc.name(), false);
    if (add) {
        if (col->type.type != Type::UniqueIdentifier) throw Errors::rowGuidColType(col->name);
        for (const catalog::Column& o : tc.table().columns)
            if (o.rowGuid && o.colid != col->colid) throw Errors::rowGuidColExists(tc.name());
    }
    col->rowGuid = add;
    tc.catalog.saveTable(tc.table());
}

} // namespace engine::exec
