#include "engine/Errors.h"
#include "engine/exec/ConstraintErrors.h"
#include "engine/exec/Statements.h"
#include "engine/exec/Translator.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;

namespace {

// Finds the DML target among the FROM sources: by alias, or by table name.
const ScopeSource* targetSource(const Scope& scope, const ObjectName& name)
{
    for (const ScopeSource& src : scope.sources) {
        if (!src.table) continue;
        if (name.owner.isEmpty() && name.database.isEmpty() && src.hasAlias && src.alias.compare(name.name, Qt::CaseInsensitive) == 0)
            return &src;
    }
    for (const ScopeSource& src : scope.sources) {
        if (!src.table || src.hasAlias) continue;
        if (src.alias.compare(name.name, Qt::CaseInsensitive) != 0) continue;
        if (!name.owner.isEmpty() && src.owner.compare(name.owner, Qt::CaseInsensitive) != 0) continue;
        return &src;
    }
    return nullptr;
}

} // namespace

// Shared by UPDATE and DELETE: the target, its scope and the FROM clause.
struct DmlTarget {
    ResolvedTable table;
    Scope scope;
    QString fromSql;      // other sources (empty when none)
    QString targetAlias;  // alias of the target in the scope
    bool joined = false;  // the target appears in FROM: joined back on rowid
};

DmlTarget dmlTarget(SessionImpl& s, Translator& tr, const ObjectName& name, const std::vector<TableRefPtr>& from)
{
    DmlTarget d;
    if (!from.empty()) {
        d.fromSql = tr.from(from, d.scope);
        if (const ScopeSource* src = targetSource(d.scope, name)) {
            d.table.database = src->database;
            d.table.schema = src->schema;
            d.table.table = *src->table;
            d.targetAlias = src->sqlAlias;
            d.joined = true;
            return d;
        }
    }
    d.table = s.resolveTable(name);
    ScopeSource src = tr.tableSource(d.table.database, d.table.schema, d.table.table, d.table.exposedName, false);
    d.targetAlias = src.sqlAlias;
    d.scope.sources.insert(d.scope.sources.begin(), std::move(src));
    return d;
}

void execUpdate(SessionImpl& s, const UpdateStmt& st)
{
    Translator tr(s);
    DmlTarget d = dmlTarget(s, tr, st.table, st.from);
    const catalog::Table& t = d.table.table;
    QString updAlias = d.joined ? tr.newAlias() : d.targetAlias;
    QStringList sets, values;
    std::vector<const catalog::Column*> seen;
    for (const SetAssignment& a : st.assignments) {
        if (a.column.isEmpty()) throw Errors::notSupported(QStringLiteral("assigning variables in UPDATE"));
        if (!a.variable.isEmpty()) throw Errors::notSupported(QStringLiteral("SET @variable = column = expression in UPDATE"));
        const catalog::Column* c = t.column(a.column);
        if (!c) throw Errors::invalidColumn(a.column);
        for (const catalog::Column* o : seen)
            if (o == c) throw Errors::make(264, 16, QStringLiteral("Column '%1' is named more than once in the column list.").arg(c->name));
        seen.push_back(c);
        if (c->identity) throw Errors::identityUpdate(c->name);
        if (c->isComputed())
            throw Errors::make(271, 16, QStringLiteral("Column '%1' is computed or comes from a UNION, so it cannot be changed.").arg(c->name));
        QString value;
        if (a.value->kind == ExprKind::Default) {
            if (c->defaultText.isEmpty()) value = QStringLiteral("NULL");
            else value = tr.convertSql(tr.defaultExpr(c->defaultText), c->type, true);
        } else {
            Typed v = tr.expr(*a.value, d.scope);
            if (v.hasAggregate) throw Errors::make(157, 15, QStringLiteral("An UPDATE cannot set a column to an aggregate."));
            value = tr.convertSql(v, c->type, true);
        }
        if (d.joined) {
            values << QStringLiteral("%1 AS \"u%2\"").arg(value, QString::number(values.size() + 1));
            sets << QStringLiteral("%1 = x.\"u%2\"").arg(quoteId(c->phys), QString::number(values.size()));
        } else {
            sets << QStringLiteral("%1 = %2").arg(quoteId(c->phys), value);
        }
    }
    for (const catalog::Column& c : t.columns)
        if (c.type.type == types::Type::Timestamp && !c.isComputed()) sets << QStringLiteral("%1 = tsql_timestamp()").arg(quoteId(c.phys));
    QString where;
    if (st.where) where = tr.condition(*st.where, d.scope);
    QString sql;
    if (d.joined) {
        // the new values are worked out by a join that keeps the target's rowid
        sql = QStringLiteral("UPDATE %1 AS %2 SET %3 FROM (SELECT %4.rowid AS rid, %5 FROM %6%7) AS x WHERE %2.rowid = x.rid")
                  .arg(d.table.qualifiedPhys(), updAlias, sets.join(QStringLiteral(", ")), d.targetAlias, values.join(QStringLiteral(", ")),
                       d.fromSql, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    } else {
        sql = QStringLiteral("UPDATE %1 AS %2 SET %3").arg(d.table.qualifiedPhys(), updAlias, sets.join(QStringLiteral(", ")));
        if (!d.fromSql.isEmpty()) sql += QStringLiteral(" FROM ") + d.fromSql;
        if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    }
    long long n = withConstraintErrors(d.table, true, [&] { return s.execSql(sql, tr.binds()); });
    s.setRowCount(n);
}

void execDelete(SessionImpl& s, const DeleteStmt& st)
{
    Translator tr(s);
    DmlTarget d = dmlTarget(s, tr, st.table, st.from);
    QString where;
    if (st.where) where = tr.condition(*st.where, d.scope);
    QString sql;
    if (d.joined || !d.fromSql.isEmpty()) {
        QString fromAll = d.joined ? d.fromSql : QStringLiteral("%1 AS %2, %3").arg(d.table.qualifiedPhys(), d.targetAlias, d.fromSql);
        sql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %2.rowid FROM %3%4)")
                  .arg(d.table.qualifiedPhys(), d.targetAlias, fromAll, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    } else {
        sql = QStringLiteral("DELETE FROM %1 AS %2").arg(d.table.qualifiedPhys(), d.targetAlias);
        if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    }
    long long n = s.execSql(sql, tr.binds());
    s.setRowCount(n);
}

} // namespace engine::exec
