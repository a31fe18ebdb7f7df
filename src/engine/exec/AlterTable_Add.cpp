// ALTER TABLE ... ADD columns and constraints.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/AlterTableParts.h"
#include "engine/exec/Statements.h"
#include "engine/exec/Translator.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/parser/ExprPrinter.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"
#include "engine/types/IntegerRange.h"

namespace engine::exec {

using storage::quoteId;
using storage::Statement;
using types::Category;
using types::Type;

namespace {

// SQL literal of a stored value.
QString literalSql(const types::Value& v)
{
    switch (v.kind) {
    case types::Value::Null: return QStringLiteral("NULL");
    case types::Value::Int: return QString::number(v.i);
    case types::Value::Real: return QString::number(v.d, 'g', 17);
    case types::Value::Text: return storage::quoteText(QString::fromStdString(v.s));
    case types::Value::Blob: return QStringLiteral("X'%1'").arg(QString::fromLatin1(QByteArray::fromStdString(v.s).toHex()));
    }
    return QStringLiteral("NULL");
}

bool tableHasRows(const catalog::Catalog& c, const catalog::Table& t)
{
    Statement st(c.db(), QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(c.qualified(t.phys())));
    return st.step();
}

bool identityType(const types::TypeSpec& ty)
{
    return ty.category() == Category::Integer ? ty.type != Type::Bit : (ty.hasPrecision() && ty.scale == 0);
}

// A catalog column from its definition, checked against the table it joins.
catalog::Column buildColumn(SessionImpl& s, TableUnderChange& tc, const sql::ColumnDef& d)
{
    catalog::Table& t = tc.table();
    if (t.column(d.name)) throw Errors::columnNamesUnique(d.name);
    catalog::Column c;
    c.colid = t.nextColid();
    c.name = d.name;
    c.phys = QStringLiteral("c%1").arg(c.colid);
    if (d.computed) {
        c.computed = sql::parenthesized(sql::toSql(*d.computedExpr));
        Translator tr(s);
        Typed x = tr.computedExpr(c.computed, t);
        c.computedSql = x.sql;
        c.type = x.type;
        c.nullable = true;
        return c;
    }
    c.type = specOf(d.type, &s);
    bool nullable = true;
    if (!c.type.userType.isEmpty())
        if (auto n = userTypeNullable(tc.catalog, c.type.userType)) nullable = *n;
    if (d.nullability == sql::Nullability::Null) nullable = true;
    if (d.nullability == sql::Nullability::NotNull) nullable = false;
    if (d.identity) {
        if (!identityType(c.type))
            throw Errors::make(2749, QStringLiteral("Column '%1' cannot be an identity column: its type must be an integer, or decimal or numeric with scale 0.").arg(d.name));
        if (t.identityColumn()) throw Errors::multipleIdentity(t.name);
        if (d.nullability == sql::Nullability::Null)
            throw Errors::make(8147, QStringLiteral("Identity column '%1' must be NOT NULL.").arg(d.name));
        nullable = false;
        c.identity = true;
        c.seed = d.identitySeed;
        c.increment = d.identityIncrement;
        if (c.increment == 0) throw Errors::make(2748, QStringLiteral("Identity column '%1' needs an increment other than zero.").arg(d.name));
        if (!types::integerRange(c.type).contains(c.seed)) throw Errors::identityOverflow(QString::fromLatin1(c.type.info().name));
    }
    if (c.type.type == Type::Timestamp)
        for (const catalog::Column& o : t.columns)
            if (o.type.type == Type::Timestamp) throw Errors::multipleTimestamp();
    if (d.rowGuidCol) {
        if (c.type.type != Type::UniqueIdentifier) throw Errors::rowGuidColType(d.name);
        for (const catalog::Column& o : t.columns)
            if (o.rowGuid) throw Errors::rowGuidColExists(t.name);
        c.rowGuid = true;
    }
    c.nullable = nullable;
    if (c.type.isString() || c.type.type == Type::Text || c.type.type == Type::NText) {
        c.collation = d.collation.isEmpty() ? databaseCollation(s, tc.resolved.database) : checkedCollation(d.collation);
    } else if (!d.collation.isEmpty()) {
        throw Errors::make(447, QStringLiteral("Column '%1' is not of a character type and cannot have a collation.").arg(d.name));
    }
    if (d.defaultValue) {
        const sql::ConstraintDef& dv = *d.defaultValue;
        if (c.identity || c.type.type == Type::Timestamp)
            throw Errors::make(1752, QStringLiteral("Column '%1' cannot have a default.").arg(d.name));
        c.defaultName = dv.name.isEmpty() ? catalog::makeConstraintName(QStringLiteral("DF"), t.name, d.name) : dv.name;
        if (tc.catalog.objectNameTaken(t.owner, c.defaultName)) throw Errors::objectExists(c.defaultName);
        c.defaultText = defaultText(*dv.expr);
    }
    return c;
}

// SQL giving the value of a new column in the rows already in the table.
QString fillSql(SessionImpl& s, const catalog::Column& c, bool withValues)
{
    if (c.identity)
        return QStringLiteral("(%1 + (row_number() OVER (ORDER BY rowid) - 1) * %2)").arg(QString::number(c.seed), QString::number(c.increment));
    if (c.defaultText.isEmpty() || (c.nullable && !withValues)) return {};
    if (c.defaultText.compare(QLatin1String("(newid())"), Qt::CaseInsensitive) == 0) return QStringLiteral("tsql_newid()");
    sql::ExprPtr e = sql::parseExpression(c.defaultText);
    types::TypeSpec type;
    types::Value value = evaluate(s, *e, &type);
    return literalSql(convertValue(value, type, c.type, true));
}

void addColumns(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st)
{
    catalog::Table before = tc.table();
    bool rows = tableHasRows(tc.catalog, before);
    std::map<int, QString> fill;
    bool inPlace = true;
    std::vector<catalog::Column> added;
    for (const sql::ColumnDef& d : st.columns) {
        catalog::Column c = buildColumn(s, tc, d);
        if (!c.nullable && !c.identity && !c.isComputed() && c.defaultText.isEmpty() && c.type.type != Type::Timestamp && rows)
            throw Errors::addNotNullColumn(c.name, tc.name());
        QString f = rows ? fillSql(s, c, false) : QString();
        if (!f.isEmpty()) fill[c.colid] = f;
        if (!f.isEmpty() || c.isComputed() || !c.nullable) inPlace = false;
        if (c.identity && rows) {
            Statement n(tc.catalog.db(), QStringLiteral("SELECT count(*) FROM %1").arg(tc.catalog.qualified(before.phys())));
            n.step();
            // the rows there take seed, seed + increment, ...: all in the column's type
            c.identCurrent = types::nextInRange(c.seed, c.increment, types::integerRange(c.type), n.integer(0) - 1);
            if (!c.identCurrent) throw Errors::identityOverflow(QString::fromLatin1(c.type.info().name));
        }
        tc.table().columns.push_back(c);
        added.push_back(c);
    }
    for (catalog::Column& c : tc.table().columns) {
        if (!c.defaultName.isEmpty() && c.defaultId == 0) {
            catalog::Object d;
            d.name = c.defaultName;
            d.owner = tc.table().owner;
            d.xtype = QStringLiteral("D");
            d.parentId = tc.table().id;
            d.text = c.defaultText;
            c.defaultId = tc.catalog.addObject(d);
        }
    }
    if (inPlace) {
        for (const catalog::Column& c : added)
            storage::exec(tc.catalog.db(), QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                                               .arg(tc.catalog.qualified(before.phys()), tc.catalog.physicalColumnSql(tc.table(), c)));
        tc.catalog.saveTable(tc.table());
    } else {
        tc.catalog.rebuildTable(before, tc.table(), fill);
    }
    if (tc.table().identityColumn()) s.server().forgetIdentity(tc.resolved.database, tc.table().id);
    // column-level PRIMARY KEY / UNIQUE
    for (const sql::ColumnDef& d : st.columns)
        for (const sql::ConstraintDef& k : d.constraints) {
            if (k.type != sql::ConstraintType::PrimaryKey && k.type != sql::ConstraintType::Unique)
                throw Errors::notSupported(QStringLiteral("CHECK and FOREIGN KEY constraints"));
            sql::ConstraintDef copy;
            copy.name = k.name;
            copy.type = k.type;
            copy.clustered = k.clustered;
            copy.fillFactor = k.fillFactor;
            copy.padIndex = k.padIndex;
            copy.ignoreDupKey = k.ignoreDupKey;
            copy.statisticsNoRecompute = k.statisticsNoRecompute;
            copy.fileGroup = k.fileGroup;
            copy.columns = k.columns.empty() ? std::vector<sql::IndexColumn>{{d.name, false}} : k.columns;
            addKeyConstraint(tc, copy);
        }
}

} // namespace

void addKeyConstraint(TableUnderChange& tc, const sql::ConstraintDef& c)
{
    catalog::Table& t = tc.table();
    catalog::Index ix;
    ix.primaryKey = c.type == sql::ConstraintType::PrimaryKey;
    ix.uniqueKey = !ix.primaryKey;
    ix.unique = true;
    if (ix.primaryKey && t.primaryKey()) throw Errors::primaryKeyExists(t.name);
    bool hasClustered = std::any_of(t.indexes.begin(), t.indexes.end(), [](const catalog::Index& i) { return i.clustered; });
    ix.clustered = c.clustered.value_or(ix.primaryKey && !hasClustered);
    ix.name = c.name.isEmpty() ? catalog::makeConstraintName(ix.primaryKey ? QStringLiteral("PK") : QStringLiteral("UQ"), t.name) : c.name;
    ix.keys = indexKeys(t, c.columns);
    ix.fillFactor = c.fillFactor.value_or(0);
    ix.padIndex = c.padIndex;
    ix.ignoreDupKey = c.ignoreDupKey;
    ix.noRecompute = c.statisticsNoRecompute;
    ix.fileGroup = c.fileGroup;
    addIndex(tc, ix);
}

void addDefaultConstraint(SessionImpl& s, TableUnderChange& tc, const QString& column, const sql::ConstraintDef& c)
{
    catalog::Table& t = tc.table();
    catalog::Column* col = t.column(column);
    if (!col) throw Errors::invalidColumn(column);
    if (col->identity || col->isComputed() || col->type.type == Type::Timestamp)
        throw Errors::make(1752, QStringLiteral("Column '%1' of table '%2' cannot have a default.").arg(col->name, t.name));
    if (!col->defaultText.isEmpty() || !col->boundDefault.isEmpty()) throw Errors::defaultExists(col->name, t.name);
    col->defaultName = c.name.isEmpty() ? catalog::makeConstraintName(QStringLiteral("DF"), t.name, col->name) : c.name;
    if (tc.catalog.objectNameTaken(t.owner, col->defaultName)) throw Errors::objectExists(col->defaultName);
    col->defaultText = defaultText(*c.expr);
    Translator tr(s);
    tr.defaultExpr(col->defaultText); // a column name or a subquery is refused here
    catalog::Object d;
    d.name = col->defaultName;
    d.owner = t.owner;
    d.xtype = QStringLiteral("D");
    d.parentId = t.id;
    d.text = col->defaultText;
    col->defaultId = tc.catalog.addObject(d);
    tc.catalog.saveTable(t);
}

void alterAdd(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st)
{
    if (!st.columns.empty()) addColumns(s, tc, st);
    for (const sql::ConstraintDef& c : st.constraints) {
        switch (c.type) {
        case sql::ConstraintType::PrimaryKey:
        case sql::ConstraintType::Unique: addKeyConstraint(tc, c); break;
        case sql::ConstraintType::Default: addDefaultConstraint(s, tc, c.forColumn, c); break;
        default: throw Errors::notSupported(QStringLiteral("CHECK and FOREIGN KEY constraints"));
        }
    }
}

} // namespace engine::exec
