#include "engine/Errors.h"
#include "engine/exec/ConstraintErrors.h"
#include "engine/exec/Statements.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/Translator.h"
#include "engine/exec/Views.h"
#include "engine/storage/Sqlite.h"

#include <map>
#include <set>

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;
using storage::Statement;

namespace {

// Finds the DML target among the FROM sources: by alias, or by table name.
const ScopeSource* targetSource(const Scope& scope, const ObjectName& name)
{
    for (const ScopeSource& src : scope.sources) {
        if (!src.table && !src.view) continue;
        if (name.owner.isEmpty() && name.database.isEmpty() && src.hasAlias && src.alias.compare(name.name, Qt::CaseInsensitive) == 0)
            return &src;
    }
    for (const ScopeSource& src : scope.sources) {
        if ((!src.table && !src.view) || src.hasAlias) continue;
        if (src.alias.compare(name.name, Qt::CaseInsensitive) != 0) continue;
        if (!name.owner.isEmpty() && src.owner.compare(name.owner, Qt::CaseInsensitive) != 0) continue;
        return &src;
    }
    return nullptr;
}

bool uniqueFailure(const SqlError& e)
{
    return e.number() == 3624 && e.message().text.contains(QLatin1String("UNIQUE constraint failed"));
}

// The rows an UPDATE changes, each with all its new stored values: taken out of the table and put
// back, so that its unique keys are checked against the statement's end state. SQLite checks them
// row by row, which refuses UPDATE t SET id = id + 1 over the keys 1, 2, 3.
long long updateAtStatementEnd(SessionImpl& s, const ResolvedTable& target, const QString& selectSql, const QStringList& columns,
                               const std::vector<types::Value>& binds)
{
    std::vector<std::pair<long long, std::vector<types::Value>>> rows;
    std::set<long long> seen;
    {
        Statement q(s.db(), selectSql);
        for (size_t i = 0; i < binds.size(); ++i) q.bindValue(int(i) + 1, binds[i]);
        while (q.step()) {
            long long rid = q.integer(0);
            if (!seen.insert(rid).second) continue; // a joined row met twice changes once
            std::vector<types::Value> v;
            v.reserve(size_t(columns.size()));
            for (int c = 0; c < int(columns.size()); ++c) v.push_back(q.value(c + 1));
            rows.emplace_back(rid, std::move(v));
        }
    }
    const QString table = target.qualifiedPhys();
    Statement del(s.db(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(table));
    for (const auto& r : rows) {
        del.reset();
        del.bind(1, r.first);
        del.run();
    }
    QStringList params;
    for (int c = 0; c <= int(columns.size()); ++c) params << QStringLiteral("?%1").arg(c + 1);
    Statement ins(s.db(), QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (%3)").arg(table, columns.join(QStringLiteral(", ")), params.join(QStringLiteral(", "))));
    for (const auto& r : rows) {
        ins.reset();
        ins.bind(1, r.first);
        for (size_t c = 0; c < r.second.size(); ++c) ins.bindValue(int(c) + 2, r.second[c]);
        ins.run();
    }
    return static_cast<long long>(rows.size());
}

} // namespace

// Shared by UPDATE and DELETE: the target, its scope and the FROM clause.
struct DmlTarget {
    ResolvedTable table;
    Scope scope;
    QString fromSql;      // other sources (empty when none)
    QString targetAlias;  // alias of the target in the scope
    QString rowidSql;     // the target row's rowid in the scope
    bool joined = false;  // the target appears in FROM: joined back on rowid
    std::shared_ptr<const ViewBinding> view; // the target is a view over `table`
};

DmlTarget dmlTarget(SessionImpl& s, Translator& tr, const ObjectName& name, const std::vector<TableRefPtr>& from)
{
    DmlTarget d;
    tr.setRowidsForDml(true);
    auto throughView = [&](const ScopeSource& src) {
        src.view->checkChangeable();
        d.view = src.view;
        d.table = src.view->base;
        d.targetAlias = src.sqlAlias;
        d.rowidSql = src.rowidSql;
        d.joined = true;
    };
    if (!from.empty()) {
        d.fromSql = tr.from(from, d.scope);
        if (const ScopeSource* src = targetSource(d.scope, name)) {
            if (src->view) {
                throughView(*src);
                return d;
            }
            d.table.database = src->database;
            d.table.schema = src->schema;
            d.table.table = *src->table;
            d.targetAlias = src->sqlAlias;
            d.rowidSql = src->rowidSql;
            d.joined = true;
            return d;
        }
    }
    refuseSystemTableWrite(name, from);
    if (auto t = s.findTable(name)) {
        d.table = std::move(*t);
        ScopeSource src = tr.tableSource(d.table.database, d.table.schema, d.table.table, d.table.exposedName, false);
        d.targetAlias = src.sqlAlias;
        d.rowidSql = src.rowidSql;
        d.scope.sources.insert(d.scope.sources.begin(), std::move(src));
        return d;
    }
    // a view (208 when there is none): read through its query, changed through its base table
    std::vector<TableRefPtr> refs;
    auto ref = std::make_unique<NamedTableRef>();
    ref->name = name;
    refs.push_back(std::move(ref));
    const QString viewSql = tr.from(refs, d.scope);
    throughView(d.scope.sources.back());
    d.fromSql = d.fromSql.isEmpty() ? viewSql : viewSql + QStringLiteral(", ") + d.fromSql;
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
    std::map<int, QString> newValues; // colid -> the SQL of its new value
    for (const SetAssignment& a : st.assignments) {
        if (a.column.isEmpty()) throw Errors::notSupported(QStringLiteral("assigning variables in UPDATE"));
        if (!a.variable.isEmpty()) throw Errors::notSupported(QStringLiteral("SET @variable = column = expression in UPDATE"));
        const catalog::Column* c = d.view ? t.columnById(d.view->baseColumn(a.column).colid) : t.column(a.column);
        if (!c) throw Errors::invalidColumn(a.column);
        for (const catalog::Column* o : seen)
            if (o == c) throw Errors::make(264, QStringLiteral("Column '%1' is named more than once in the column list.").arg(c->name));
        seen.push_back(c);
        if (c->identity) throw Errors::identityUpdate(c->name);
        if (c->isComputed())
            throw Errors::make(271, QStringLiteral("Column '%1' is computed or comes from a UNION, so it cannot be changed.").arg(c->name));
        QString value;
        if (a.value->kind == ExprKind::Default) {
            if (c->defaultText.isEmpty()) value = QStringLiteral("NULL");
            else value = tr.convertSql(tr.defaultExpr(c->defaultText), c->type, true);
        } else {
            Typed v = tr.expr(*a.value, d.scope);
            if (v.hasAggregate) throw Errors::make(157, QStringLiteral("An UPDATE cannot set a column to an aggregate."));
            value = tr.convertSql(v, c->type, true);
        }
        newValues[c->colid] = value;
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
        sql = QStringLiteral("UPDATE %1 AS %2 SET %3 FROM (SELECT %4 AS rid, %5 FROM %6%7) AS x WHERE %2.rowid = x.rid")
                  .arg(d.table.qualifiedPhys(), updAlias, sets.join(QStringLiteral(", ")), d.rowidSql, values.join(QStringLiteral(", ")),
                       d.fromSql, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    } else {
        sql = QStringLiteral("UPDATE %1 AS %2 SET %3").arg(d.table.qualifiedPhys(), updAlias, sets.join(QStringLiteral(", ")));
        if (!d.fromSql.isEmpty()) sql += QStringLiteral(" FROM ") + d.fromSql;
        if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    }
    ViewCheck check(s, d.view.get());
    if (check.active())
        check.noteRows(QStringLiteral("SELECT %1 AS rid FROM %2%3").arg(d.rowidSql, d.fromSql,
                                                                    where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
                       tr.binds());
    long long n = withConstraintErrors(d.table, true, [&] {
        try {
            return s.execSql(sql, tr.binds());
        } catch (const SqlError& e) {
            if (!uniqueFailure(e)) throw;
        }
        // a key met a key that the same statement moves on: check the keys at the statement's end
        QStringList cols, vals, changed;
        for (const catalog::Column& c : t.columns) {
            if (c.isComputed()) continue;
            cols << quoteId(c.phys);
            auto it = newValues.find(c.colid);
            if (c.type.type == types::Type::Timestamp) {
                vals << QStringLiteral("tsql_timestamp()");
            } else if (it != newValues.end()) {
                changed << QStringLiteral("%1 AS \"u%2\"").arg(it->second, QString::number(changed.size() + 1));
                vals << QStringLiteral("x.\"u%1\"").arg(QString::number(changed.size()));
            } else {
                vals << QStringLiteral("b.") + quoteId(c.phys);
            }
        }
        const QString source = d.joined ? d.fromSql
                                        : QStringLiteral("%1 AS %2%3").arg(d.table.qualifiedPhys(), d.targetAlias,
                                                                            d.fromSql.isEmpty() ? QString() : QStringLiteral(", ") + d.fromSql);
        const QString select = QStringLiteral("SELECT b.rowid, %1 FROM %2 AS b JOIN (SELECT %3 AS rid%4 FROM %5%6) AS x ON b.rowid = x.rid")
                                   .arg(vals.join(QStringLiteral(", ")), d.table.qualifiedPhys(), d.rowidSql,
                                        changed.isEmpty() ? QString() : QStringLiteral(", ") + changed.join(QStringLiteral(", ")), source,
                                        where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
        return updateAtStatementEnd(s, d.table, select, cols, tr.binds());
    });
    check.verify();
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
        sql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %2 FROM %3%4)")
                  .arg(d.table.qualifiedPhys(), d.rowidSql, fromAll, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    } else {
        sql = QStringLiteral("DELETE FROM %1 AS %2").arg(d.table.qualifiedPhys(), d.targetAlias);
        if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    }
    long long n = s.execSql(sql, tr.binds());
    s.catalogOf(d.table).addRows(d.table.table.id, -n);
    s.setRowCount(n);
}

} // namespace engine::exec
