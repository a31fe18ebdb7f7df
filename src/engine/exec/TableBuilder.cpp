#include "engine/exec/TableBuilder.h"

#include "engine/Errors.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Translator.h"
#include "engine/storage/Sqlite.h"
#include "engine/types/IntegerRange.h"

namespace engine::exec {

using namespace engine::sql;
using types::Category;
using types::Type;

QString TableBuilder::parenthesized(const QString& text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        // only when the outer parentheses enclose the whole text
        int depth = 0;
        bool inStr = false;
        for (qsizetype i = 0; i < t.size(); ++i) {
            QChar c = t[i];
            if (c == QLatin1Char('\'')) inStr = !inStr;
            if (inStr) continue;
            if (c == QLatin1Char('(')) ++depth;
            else if (c == QLatin1Char(')')) {
                --depth;
                if (depth == 0 && i != t.size() - 1) return QLatin1Char('(') + t + QLatin1Char(')');
            }
        }
        return t;
    }
    return QLatin1Char('(') + t + QLatin1Char(')');
}

QString TableBuilder::constraintName(const QString& given, const QString& prefix, const QString& column)
{
    QString name = given.isEmpty() ? catalog::makeConstraintName(prefix, t_.name, column) : given;
    bool taken = cat_.objectNameTaken(t_.owner, name);
    for (const QString& n : newNames_) taken |= n.compare(name, Qt::CaseInsensitive) == 0;
    if (taken) {
        if (!given.isEmpty()) throw Errors::objectExists(name);
        return constraintName(given, prefix, column); // another random suffix
    }
    newNames_.push_back(name);
    return name;
}

catalog::Column& TableBuilder::addColumn(const ColumnDef& def)
{
    if (t_.column(def.name)) throw Errors::columnNamesUnique(def.name);
    if (def.name.size() > 128)
        throw Errors::make(103, QStringLiteral("The name starting with '%1' is longer than 128 characters.").arg(def.name.left(128)));
    catalog::Column c;
    c.colid = t_.nextColid();
    c.name = def.name;
    c.phys = QStringLiteral("c%1").arg(c.colid);
    if (def.computed) {
        c.computed = parenthesized(def.computedText);
        c.nullable = true;
    } else {
        c.type = specOf(def.type, &s_);
        c.nullable = def.nullability != Nullability::NotNull;
        if (def.nullability == Nullability::Null) explicitNull_.push_back(c.colid);
        if (def.nullability == Nullability::Unspecified && !c.type.userType.isEmpty()) {
            // a user type brings its own nullability
            storage::Statement q(s_.db(), QStringLiteral("SELECT nullable FROM %1.cat_types WHERE name = ?1 COLLATE TSQL_CI")
                                              .arg(storage::quoteId(cat_.schema())));
            q.bind(1, c.type.userType);
            if (q.step()) c.nullable = q.integer(0) != 0;
        }
    }
    if (def.identity) {
        bool ok = c.type.category() == Category::Integer && c.type.type != Type::Bit;
        ok |= c.type.hasPrecision() && c.type.scale == 0;
        if (def.computed || !ok)
            throw Errors::make(2749, QStringLiteral("Column '%1' cannot be an identity column: it must be NOT NULL and of an integer type, or decimal or numeric with scale 0.").arg(def.name));
        if (t_.identityColumn()) throw Errors::multipleIdentity(t_.name);
        if (def.identityIncrement == 0)
            throw Errors::make(867, QStringLiteral("Identity column '%1' needs an increment other than zero.").arg(def.name));
        if (def.nullability == Nullability::Null)
            throw Errors::make(8147, QStringLiteral("Column '%1' of table '%2' allows nulls, so it cannot be an identity column.").arg(def.name, t_.name));
        c.identity = true;
        c.seed = def.identitySeed;
        c.increment = def.identityIncrement;
        if (!types::integerRange(c.type).contains(c.seed)) throw Errors::identityOverflow(QString::fromLatin1(c.type.info().name));
        c.nullable = false;
    }
    if (def.rowGuidCol) {
        if (c.type.type != Type::UniqueIdentifier)
            throw Errors::make(8139, QStringLiteral("Column '%1' is not uniqueidentifier, so it cannot be ROWGUIDCOL.").arg(def.name));
        for (const catalog::Column& o : t_.columns)
            if (o.rowGuid) throw Errors::make(8196, QStringLiteral("More than one column is marked ROWGUIDCOL."));
        c.rowGuid = true;
    }
    if (c.type.type == Type::Timestamp && !def.computed) {
        for (const catalog::Column& o : t_.columns)
            if (o.type.type == Type::Timestamp && !o.isComputed()) throw Errors::multipleTimestamp();
        c.nullable = false;
    }
    if (!def.collation.isEmpty()) {
        if (!c.type.isString())
            throw Errors::make(447, QStringLiteral("A COLLATE clause cannot apply to type %1.").arg(c.type.name()));
        c.collation = checkedCollation(def.collation);
    } else if (c.type.isString() && !def.computed) {
        c.collation = databaseCollation(s_, cat_.database()); // as the server shows it
    }
    if (def.defaultValue) {
        if (c.identity || def.computed)
            throw Errors::make(1754, QStringLiteral("Column '%2' of table '%1' is an identity or computed column and cannot have a default.").arg(t_.name, def.name));
        if (c.type.type == Type::Timestamp)
            throw Errors::make(1755, QStringLiteral("Column '%2' of table '%1' is a timestamp column and cannot have a default.").arg(t_.name, def.name));
        c.defaultText = parenthesized(def.defaultValue->exprText);
        Translator tr(s_);
        Typed d;
        try {
            d = tr.defaultExpr(c.defaultText);
        } catch (const SqlError& e) {
            if (e.number() == 207 || e.number() == 107)
                throw Errors::make(128, QStringLiteral("The default of column '%1' cannot refer to columns.").arg(def.name));
            throw;
        }
        if (!tr.binds().empty()) throw Errors::notSupported(QStringLiteral("variables in a default"));
        c.defaultName = constraintName(def.defaultValue->name, QStringLiteral("DF"), c.name);
    }
    t_.columns.push_back(c);
    return t_.columns.back();
}

void TableBuilder::addConstraint(const ConstraintDef& def, const QString& columnName)
{
    switch (def.type) {
    case ConstraintType::Default: return; // handled with its column
    case ConstraintType::Check: throw Errors::notSupported(QStringLiteral("CHECK constraints"));
    case ConstraintType::ForeignKey: throw Errors::notSupported(QStringLiteral("FOREIGN KEY constraints"));
    case ConstraintType::PrimaryKey:
    case ConstraintType::Unique: break;
    }
    bool pk = def.type == ConstraintType::PrimaryKey;
    if (pk && t_.primaryKey()) throw Errors::multiplePrimaryKeys(t_.name);
    catalog::Index ix;
    ix.unique = true;
    ix.primaryKey = pk;
    ix.uniqueKey = !pk;
    ix.clustered = def.clustered.value_or(pk);
    if (ix.clustered) {
        for (const catalog::Index& o : t_.indexes)
            if (o.clustered) {
                if (!def.clustered) {
                    ix.clustered = false; // a default-clustered key gives way to an explicit one
                    break;
                }
                throw Errors::make(1902, QStringLiteral("Table '%1' has clustered index '%2' already; a table can have only one.").arg(t_.name, o.name));
            }
    }
    ix.fillFactor = def.fillFactor.value_or(0);
    if (ix.fillFactor < 0 || ix.fillFactor > 100)
        throw Errors::make(1920, QStringLiteral("Fill factor %1 is not between 1 and 100.").arg(ix.fillFactor));
    ix.padIndex = def.padIndex;
    ix.ignoreDupKey = def.ignoreDupKey;
    ix.noRecompute = def.statisticsNoRecompute;
    ix.fileGroup = checkedFileGroup(cat_, def.fileGroup);
    std::vector<IndexColumn> cols = def.columns;
    if (cols.empty() && !columnName.isEmpty()) cols.push_back({columnName, false});
    if (cols.size() > 16)
        throw Errors::make(1904, QStringLiteral("An index key can have at most 16 columns; %1 were given.").arg(cols.size()));
    for (const IndexColumn& ic : cols) {
        catalog::Column* c = t_.column(ic.name);
        if (!c) throw Errors::make(1911, QStringLiteral("Column '%1' named in the key does not exist in the table.").arg(ic.name));
        for (const catalog::IndexKey& k : ix.keys)
            if (k.colid == c->colid)
                throw Errors::make(1909, QStringLiteral("Column '%1' appears twice in the key list.").arg(c->name));
        Category cat = c->type.category();
        if (c->type.type == Type::Text || c->type.type == Type::NText || c->type.type == Type::Image)
            throw Errors::make(1919, QStringLiteral("Column '%1' of table '%2' has a type that cannot be an index key.").arg(c->name, t_.name));
        Q_UNUSED(cat);
        if (pk) {
            if (c->nullable) {
                bool explicitNull = std::find(explicitNull_.begin(), explicitNull_.end(), c->colid) != explicitNull_.end();
                if (explicitNull || c->isComputed()) throw Errors::nullablePrimaryKey(c->name, t_.name);
                c->nullable = false;
            }
        }
        ix.keys.push_back({c->colid, ic.descending});
    }
    ix.name = constraintName(def.name, pk ? QStringLiteral("PK") : QStringLiteral("UQ"), QString());
    for (const catalog::Index& o : t_.indexes)
        if (o.name.compare(ix.name, Qt::CaseInsensitive) == 0) throw Errors::objectExists(ix.name);
    ix.indid = t_.nextIndid(ix.clustered);
    if (ix.clustered)
        for (catalog::Index& o : t_.indexes)
            if (o.indid == 1) o.indid = t_.nextIndid(false);
    t_.indexes.push_back(ix);
}

void TableBuilder::finish()
{
    for (catalog::Column& c : t_.columns) {
        if (!c.isComputed() || !c.computedSql.isEmpty()) continue;
        Translator tr(s_);
        Typed e;
        try {
            e = tr.computedExpr(c.computed, t_);
        } catch (const SqlError& err) {
            if (err.number() == 207) throw Errors::make(207, err.message().text);
            throw;
        }
        if (!tr.binds().empty()) throw Errors::notSupported(QStringLiteral("variables in a computed column"));
        if (e.hasAggregate)
            throw Errors::make(1046, QStringLiteral("Computed column '%1' cannot hold a subquery or an aggregate.").arg(c.name));
        c.type = e.type;
        if (c.type.category() == Category::Variant) c.type = types::makeSpec(Type::SqlVariant, {}, {}, {});
        c.computedSql = e.sql;
    }
    if (t_.columns.size() > 1024)
        throw Errors::make(1702, QStringLiteral("Table '%2' cannot take column '%1': a table can have at most 1024 columns.").arg(t_.columns.back().name, t_.name));
}

} // namespace engine::exec
