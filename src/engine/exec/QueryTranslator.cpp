// SELECT queries and FROM clauses to SQLite SQL.

#include "engine/Errors.h"
#include "engine/exec/SessionImpl.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Translator.h"
#include "engine/exec/Views.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysviews/SystemViews.h"

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;
using types::Category;

ScopeSource Translator::tableSource(const QString& database, const QString& schema, const catalog::Table& t, const QString& alias,
                                    bool hasAlias)
{
    ScopeSource src;
    src.table = std::make_shared<catalog::Table>(t);
    src.alias = alias.isEmpty() ? t.name : alias;
    src.hasAlias = hasAlias;
    src.owner = t.owner;
    src.database = database;
    src.schema = schema;
    src.sqlAlias = newAlias();
    src.physTable = quoteId(schema) + QLatin1Char('.') + quoteId(t.phys());
    src.rowidSql = src.sqlAlias + QStringLiteral(".rowid");
    for (const catalog::Column& c : src.table->columns) {
        ScopeColumn sc;
        sc.name = c.name;
        sc.sql = src.sqlAlias + QLatin1Char('.') + quoteId(c.phys);
        sc.type = c.type;
        sc.nullable = c.nullable;
        sc.column = &c;
        src.columns.push_back(sc);
    }
    return src;
}

QString Translator::tableRef(const TableRef& r, Scope& scope)
{
    switch (r.kind) {
    case TableRefKind::Named: {
        const auto& n = as<NamedTableRef>(r);
        if (!n.name.server.isEmpty()) throw Errors::notSupported(QStringLiteral("linked servers (%1)").arg(n.name.server));
        if (const sysviews::SystemView* v = sysviews::find(n.name.owner, n.name.name)) {
            QString db = v->masterOnly ? QStringLiteral("master") : (n.name.database.isEmpty() ? s_.currentDatabase() : n.name.database);
            QString schema = s_.schemaFor(db);
            ScopeSource src;
            src.alias = n.alias.isEmpty() ? v->name : n.alias;
            src.hasAlias = !n.alias.isEmpty();
            src.owner = v->owner;
            src.database = db;
            src.sqlAlias = newAlias();
            src.systemTable = true;
            for (const sysviews::ViewColumn& c : v->columns) {
                ScopeColumn sc;
                sc.name = c.name;
                sc.sql = src.sqlAlias + QLatin1Char('.') + quoteId(c.name);
                sc.type = c.type;
                src.columns.push_back(sc);
            }
            QString sql = QStringLiteral("%1.%2 AS %3").arg(quoteId(schema), quoteId(v->phys), src.sqlAlias);
            scope.sources.push_back(std::move(src));
            return sql;
        }
        std::optional<ResolvedTable> found = s_.findTable(n.name);
        if (!found) {
            if (auto v = findView(s_, n.name)) return viewRef(*v, n, scope);
            throw Errors::invalidObject(n.name.text());
        }
        ResolvedTable& t = *found;
        ScopeSource src = tableSource(t.database, t.schema, t.table, n.alias.isEmpty() ? t.exposedName : n.alias, !n.alias.isEmpty());
        for (const ScopeSource& other : scope.sources)
            if (other.alias.compare(src.alias, Qt::CaseInsensitive) == 0 && other.hasAlias == src.hasAlias &&
                (src.hasAlias || other.owner.compare(src.owner, Qt::CaseInsensitive) == 0))
                throw Errors::make(1013, QStringLiteral("Two tables in the FROM clause are both named '%1'; give them different aliases.").arg(src.alias));
        QString sql = QStringLiteral("%1 AS %2").arg(src.physTable, src.sqlAlias);
        scope.sources.push_back(std::move(src));
        return sql;
    }
    case TableRefKind::Derived: {
        const auto& d = as<DerivedTableRef>(r);
        if (d.alias.isEmpty()) throw Errors::syntax(QStringLiteral(")"));
        TranslatedQuery q = query(*d.query, scope.outer);
        ScopeSource src;
        src.alias = d.alias;
        src.hasAlias = true;
        src.sqlAlias = newAlias();
        int k = 1;
        for (const QueryColumn& c : q.columns) {
            if (c.info.name.isEmpty())
                throw Errors::make(8155, QStringLiteral("Column %1 of '%2' has no name.").arg(QString::number(k), d.alias));
            ScopeColumn sc;
            sc.name = c.info.name;
            sc.sql = src.sqlAlias + QStringLiteral(".\"v%1\"").arg(k++);
            sc.type = c.type;
            sc.nullable = c.info.nullable;
            src.columns.push_back(sc);
        }
        QString sql = QStringLiteral("(%1) AS %2").arg(q.sql, src.sqlAlias);
        scope.sources.push_back(std::move(src));
        return sql;
    }
    case TableRefKind::Join: {
        const auto& j = as<JoinTableRef>(r);
        QString left = tableRef(*j.left, scope);
        QString right = tableRef(*j.right, scope);
        QString kind;
        switch (j.type) {
        case JoinType::Inner: kind = QStringLiteral("JOIN"); break;
        case JoinType::Left: kind = QStringLiteral("LEFT JOIN"); break;
        case JoinType::Right: kind = QStringLiteral("RIGHT JOIN"); break;
        case JoinType::Full: kind = QStringLiteral("FULL JOIN"); break;
        case JoinType::Cross: kind = QStringLiteral("CROSS JOIN"); break;
        }
        QString sql = QStringLiteral("%1 %2 %3").arg(left, kind, right);
        if (j.on) sql += QStringLiteral(" ON ") + condition(*j.on, scope);
        return sql;
    }
    case TableRefKind::Function: return systemTableFunction(*this, as<FunctionTableRef>(r), scope);
    default: break;
    }
    throw Errors::notSupported(QStringLiteral("this kind of table source"));
}

QString Translator::from(const std::vector<TableRefPtr>& refs, Scope& scope)
{
    QStringList parts;
    for (const auto& r : refs) parts << tableRef(*r, scope);
    return parts.join(QStringLiteral(", "));
}

namespace {
QString orderSuffix(const Typed& t)
{
    if (t.type.isString() && !t.isColumn) return QStringLiteral(" COLLATE TSQL_CI");
    if (t.type.category() == types::Category::Exact && !t.isColumn) return QStringLiteral(" COLLATE TSQL_DEC"); // exact texts in numeric order
    return {};
}

QString limitSql(Translator& tr, const SelectCore& c)
{
    if (!c.top) return {};
    Scope empty;
    Typed t = tr.expr(*c.top, empty);
    return t.sql;
}
} // namespace

QString Translator::core(const SelectCore& c, const Scope* outer, std::vector<QueryColumn>& cols, TranslatedQuery& out,
                         const std::vector<OrderItem>* orderBy, bool single)
{
    const bool wantRowid = std::exchange(rowidForCore_, false);
    const bool naturalOrder = std::exchange(clusteredOrder, false);
    Scope scope;
    scope.outer = outer;
    QString fromSql = from(c.from, scope);
    QStringList items;
    std::vector<Typed> typedItems;
    bool anyAggregate = false;
    int assignments = 0;
    for (const SelectItem& it : c.items) {
        if (it.kind == SelectItemKind::Star) {
            if (scope.sources.empty()) throw Errors::make(263, QStringLiteral("SELECT * needs a table to select from."));
            bool matched = false;
            for (const ScopeSource& src : scope.sources) {
                if (!it.qualifier.isEmpty() && src.alias.compare(it.qualifier, Qt::CaseInsensitive) != 0) continue;
                matched = true;
                for (const ScopeColumn& sc : src.columns) {
                    Typed t;
                    t.sql = sc.sql;
                    t.type = sc.type;
                    t.nullable = sc.nullable;
                    t.isColumn = true;
                    t.column = sc.column;
                    QueryColumn qc;
                    qc.info = columnInfo(sc.name, sc.type, sc.nullable);
                    qc.type = sc.type;
                    if (sc.column) qc.source = std::make_shared<catalog::Column>(*sc.column);
                    cols.push_back(qc);
                    typedItems.push_back(t);
                }
            }
            if (!matched)
                throw Errors::make(107, QStringLiteral("'%1' is not a table name or alias used in this query.").arg(it.qualifier));
            continue;
        }
        Typed t = expr(*it.expr, scope);
        anyAggregate |= t.hasAggregate;
        QueryColumn qc;
        QString name = it.alias;
        if (it.kind == SelectItemKind::Assignment) {
            ++assignments;
            out.assignTo.push_back(it.variable);
        } else if (name.isEmpty()) {
            if (auto ce = tryAs<const ColumnExpr>(it.expr.get())) name = ce->column;
        }
        qc.info = columnInfo(name, t.type, t.nullable);
        qc.type = t.type;
        qc.nullLiteral = t.isNull;
        qc.overLong = t.overLong;
        if (t.isColumn && t.column) qc.source = std::make_shared<catalog::Column>(*t.column);
        cols.push_back(qc);
        typedItems.push_back(t);
    }
    if (assignments && assignments != int(typedItems.size()))
        throw Errors::make(141, QStringLiteral("A SELECT that assigns variables cannot also return rows."));
    out.hasAssignments = assignments > 0;
    // character results compare without case wherever they are used (DISTINCT, UNION, outer queries)
    for (size_t i = 0; i < typedItems.size(); ++i)
        items << QStringLiteral("%1%2 AS \"v%3\"")
                     .arg(typedItems[i].sql, typedItems[i].type.isString() && !typedItems[i].isColumn && !typedItems[i].isNull
                                                 ? QStringLiteral(" COLLATE TSQL_CI") : QString(),
                          QString::number(i + 1));
    if (wantRowid) {
        // a view read by a DML statement: its rows are changed through the base table's rowid
        rowidRefusal_ = 0;
        rowidBase_.reset();
        if (c.distinct || c.top || !c.groupBy.empty() || c.having || anyAggregate) rowidRefusal_ = 4403;
        else if (scope.sources.size() != 1) rowidRefusal_ = 4405;
        else if (const ScopeSource& only = scope.sources.front(); only.view && only.view->refusal) rowidRefusal_ = only.view->refusal;
        else if (only.systemTable) rowidRefusal_ = 259;
        else if (only.rowidSql.isEmpty()) rowidRefusal_ = 4405;
        else {
            auto base = std::make_shared<ViewBinding>();
            if (only.view) {
                base->base = only.view->base;
                base->checkView = only.view->checkView;
            } else {
                base->base.database = only.database;
                base->base.schema = only.schema;
                base->base.table = *only.table;
            }
            rowidBase_ = base;
            items << only.rowidSql + QStringLiteral(" AS \"rid\"");
        }
    }

    // HAVING without GROUP BY and without an aggregate makes all rows one group; SQLite needs an
    // aggregate in the select list for that, so a hidden count(*) is added and dropped outside
    const bool oneGroup = c.having && c.groupBy.empty() && !anyAggregate;
    QString sql = QStringLiteral("SELECT ");
    if (c.distinct) sql += QStringLiteral("DISTINCT ");
    sql += items.join(QStringLiteral(", "));
    if (oneGroup) sql += QStringLiteral(", count(*) AS \"g\"");
    if (!fromSql.isEmpty()) sql += QStringLiteral(" FROM ") + fromSql;
    if (c.where) {
        Typed w = expr(*c.where, scope);
        if (w.hasAggregate)
            throw Errors::make(147, QStringLiteral("An aggregate cannot appear in a WHERE clause, except inside a subquery of a HAVING clause or a select list."));
        sql += QStringLiteral(" WHERE ") + w.sql;
    }
    QStringList groupSqls, groupTerms;
    for (const auto& g : c.groupBy) {
        Typed t = expr(*g, scope);
        if (t.hasAggregate) throw Errors::make(144, QStringLiteral("A GROUP BY expression cannot hold an aggregate or a subquery."));
        groupSqls << t.sql;
        groupTerms << t.sql + (t.type.isString() && !t.isColumn ? QStringLiteral(" COLLATE TSQL_CI") : QString());
    }
    Typed having;
    if (c.having) having = expr(*c.having, scope);
    bool grouping = !groupSqls.isEmpty() || anyAggregate || c.having;
    if (grouping) {
        // every column outside an aggregate must be grouped: 8120 in the select list, 8121 in HAVING
        int ungroupedError = 8120;
        auto ungrouped = [&](const QString& name) {
            return Errors::make(ungroupedError, QStringLiteral("Column '%1' in the %2 must be in the GROUP BY clause or inside an aggregate.")
                                                        .arg(name, ungroupedError == 8120 ? QStringLiteral("select list") : QStringLiteral("HAVING clause")));
        };
        std::function<void(const Expr&)> check = [&](const Expr& e) {
            if (auto f = tryAs<const FunctionExpr>(&e); f && isAggregateName(f->lowerName())) return;
            if (e.kind == ExprKind::Subquery || e.kind == ExprKind::Exists) return;
            if (e.kind == ExprKind::Column || e.kind == ExprKind::Binary || e.kind == ExprKind::Function || e.kind == ExprKind::Case ||
                e.kind == ExprKind::Convert || e.kind == ExprKind::Cast || e.kind == ExprKind::Unary) {
                Translator probe(s_);
                Typed t = probe.expr(e, scope);
                if (groupSqls.contains(t.sql)) return;
                // the probe numbered its aliases differently; compare by shape when it holds no alias
            }
            if (auto col = tryAs<const ColumnExpr>(&e)) {
                Typed t = expr(e, scope);
                if (groupSqls.contains(t.sql)) return;
                // outer references are constants here
                bool local = false;
                for (const ScopeSource& src : scope.sources)
                    for (const ScopeColumn& sc : src.columns)
                        if (sc.sql == t.sql) local = true;
                if (!local) return;
                throw ungrouped(col->table.isEmpty() ? col->column : col->table + QLatin1Char('.') + col->column);
            }
            forEachChild(e, check);
        };
        for (const SelectItem& it : c.items) {
            if (it.kind == SelectItemKind::Star) {
                // * stands for every column of its tables: each must be grouped
                for (const ScopeSource& src : scope.sources) {
                    if (!it.qualifier.isEmpty() && src.alias.compare(it.qualifier, Qt::CaseInsensitive) != 0) continue;
                    for (const ScopeColumn& sc : src.columns)
                        if (!groupSqls.contains(sc.sql)) throw ungrouped(src.alias + QLatin1Char('.') + sc.name);
                }
                continue;
            }
            check(*it.expr);
        }
        ungroupedError = 8121;
        if (c.having) check(*c.having);
    }
    if (!groupSqls.isEmpty()) sql += QStringLiteral(" GROUP BY ") + groupTerms.join(QStringLiteral(", "));
    if (c.having) sql += QStringLiteral(" HAVING ") + having.sql;

    if (orderBy && !orderBy->empty()) {
        QStringList ob;
        for (const OrderItem& o : *orderBy) {
            QString term;
            if (auto lit = tryAs<const LiteralExpr>(o.expr.get()); lit && lit->type == LiteralType::Integer) {
                int k = lit->text.toInt();
                if (k < 1 || k > int(cols.size()))
                    throw Errors::make(108, QStringLiteral("ORDER BY position %1 is outside the select list.").arg(lit->text));
                term = QStringLiteral("\"v%1\"").arg(k) + orderSuffix(typedItems[size_t(k - 1)]);
            } else if (auto ce = tryAs<const ColumnExpr>(o.expr.get()); ce && ce->table.isEmpty()) {
                for (size_t i = 0; i < cols.size(); ++i)
                    if (!c.items.empty() && cols[i].info.name.compare(ce->column, Qt::CaseInsensitive) == 0) {
                        bool isAlias = false;
                        for (const SelectItem& it : c.items)
                            if (it.kind == SelectItemKind::Expr && it.alias.compare(ce->column, Qt::CaseInsensitive) == 0) isAlias = true;
                        if (isAlias) {
                            term = QStringLiteral("\"v%1\"").arg(i + 1) + orderSuffix(typedItems[i]);
                            break;
                        }
                    }
            }
            if (term.isEmpty()) {
                Typed t = expr(*o.expr, scope);
                if (c.distinct) {
                    bool inList = false;
                    for (const Typed& ti : typedItems) inList |= ti.sql == t.sql;
                    if (!inList)
                        throw Errors::make(145, QStringLiteral("With SELECT DISTINCT, every ORDER BY item must be in the select list."));
                }
                term = numericSql(t) + orderSuffix(t);
            }
            ob << term + (o.descending ? QStringLiteral(" DESC") : QString());
        }
        sql += QStringLiteral(" ORDER BY ") + ob.join(QStringLiteral(", "));
    } else if (naturalOrder && !grouping && !c.distinct && c.from.size() == 1 && c.from[0]->kind == TableRefKind::Named &&
               scope.sources.size() == 1 && scope.sources[0].table) {
        // the clustered index's keys, as the table's own columns: SQLite reads them in that index
        const ScopeSource& src = scope.sources[0];
        for (const catalog::Index& ix : src.table->indexes) {
            if (!ix.clustered) continue;
            QStringList ob;
            for (const catalog::IndexKey& k : ix.keys)
                if (const catalog::Column* col = src.table->columnById(k.colid))
                    ob << src.sqlAlias + QLatin1Char('.') + quoteId(col->phys) + (k.descending ? QStringLiteral(" DESC") : QString());
            if (!ob.isEmpty()) sql += QStringLiteral(" ORDER BY ") + ob.join(QStringLiteral(", "));
        }
    }
    if (oneGroup) {
        QStringList names;
        for (size_t i = 0; i < typedItems.size(); ++i) names << QStringLiteral("\"v%1\"").arg(i + 1);
        sql = QStringLiteral("SELECT %1 FROM (%2)").arg(names.join(QStringLiteral(", ")), sql);
    }
    if (c.top) {
        QString lim = limitSql(*this, c);
        if (c.topPercent) {
            QString base = sql;
            sql = QStringLiteral("%1 LIMIT (SELECT CAST((count(*) * (%2) + 99.999999) / 100 AS INTEGER) FROM (%1))").arg(base, lim);
        } else {
            sql += QStringLiteral(" LIMIT max(0, %1)").arg(lim);
        }
        if (!single) sql = QStringLiteral("SELECT * FROM (%1)").arg(sql);
    }
    return sql;
}

TranslatedQuery Translator::query(const Query& q, const Scope* outer)
{
    TranslatedQuery out;
    if (q.cores.empty()) throw Errors::syntax(QString());
    const bool wantRowid = std::exchange(rowidForQuery_, false);
    if (wantRowid && q.cores.size() > 1) {
        rowidRefusal_ = 4403;
        rowidBase_.reset();
    }
    if (q.cores.size() != 1) clusteredOrder = false;
    if (q.cores.size() == 1) {
        rowidForCore_ = wantRowid;
        out.sql = core(q.cores[0], outer, out.columns, out, &q.orderBy, true);
        if (q.cores[0].into) out.intoCore = &q.cores[0];
        return out;
    }
    QStringList parts;
    std::vector<std::vector<QueryColumn>> partCols;
    for (size_t i = 0; i < q.cores.size(); ++i) {
        std::vector<QueryColumn> cols;
        TranslatedQuery part;
        QString sql = core(q.cores[i], outer, cols, part, nullptr, false);
        if (part.hasAssignments) throw Errors::make(141, QStringLiteral("A SELECT that assigns variables cannot also return rows."));
        if (i > 0 && q.cores[i].into) throw Errors::make(196, QStringLiteral("In a UNION, only the first query can have INTO."));
        if (i == 0) {
            out.columns = cols;
        } else {
            if (cols.size() != out.columns.size())
                throw Errors::make(205, QStringLiteral("Every query joined by UNION must select the same number of expressions."));
            for (size_t k = 0; k < cols.size(); ++k) {
                if (out.columns[k].nullLiteral) out.columns[k].type = cols[k].type;
                else if (!cols[k].nullLiteral) out.columns[k].type = types::promote(out.columns[k].type, cols[k].type);
                out.columns[k].nullLiteral = out.columns[k].nullLiteral && cols[k].nullLiteral;
                out.columns[k].info = columnInfo(out.columns[k].info.name, out.columns[k].type, out.columns[k].info.nullable || cols[k].info.nullable);
                out.columns[k].source = nullptr;
            }
        }
        parts << sql;
        partCols.push_back(std::move(cols));
    }
    // every branch converts to the result type, so that UNION compares and returns values of one type
    QStringList joined;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool differs = false;
        QStringList items;
        for (size_t k = 0; k < out.columns.size(); ++k) {
            const QueryColumn& pc = partCols[size_t(i)][k];
            const types::TypeSpec& to = out.columns[k].type;
            Typed t;
            t.sql = QStringLiteral("\"v%1\"").arg(k + 1);
            t.type = pc.type;
            QString item = t.sql;
            if (!pc.nullLiteral && !(pc.type == to)) {
                item = convertSql(t, to, false);
                if (item != t.sql) {
                    differs = true;
                    if (to.isString()) item += QStringLiteral(" COLLATE TSQL_CI");
                }
            }
            items << QStringLiteral("%1 AS \"v%2\"").arg(item, QString::number(k + 1));
        }
        if (i > 0) joined << (q.unionAll[size_t(i) - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION "));
        joined << (differs ? QStringLiteral("SELECT %1 FROM (%2)").arg(items.join(QStringLiteral(", ")), parts[i]) : parts[i]);
    }
    parts = joined;
    if (q.cores[0].into) out.intoCore = &q.cores[0];
    out.sql = parts.join(QString());
    if (!q.orderBy.empty()) {
        QStringList ob;
        for (const OrderItem& o : q.orderBy) {
            int pos = 0;
            if (auto lit = tryAs<const LiteralExpr>(o.expr.get()); lit && lit->type == LiteralType::Integer) {
                pos = lit->text.toInt();
                if (pos < 1 || pos > int(out.columns.size()))
                    throw Errors::make(108, QStringLiteral("ORDER BY position %1 is outside the select list.").arg(lit->text));
            } else if (auto ce = tryAs<const ColumnExpr>(o.expr.get())) {
                for (size_t i = 0; i < out.columns.size() && !pos; ++i)
                    if (out.columns[i].info.name.compare(ce->column, Qt::CaseInsensitive) == 0) pos = int(i) + 1;
            }
            if (!pos) throw Errors::make(104, QStringLiteral("With UNION, every ORDER BY item must be in the select list."));
            const types::TypeSpec& ct = out.columns[size_t(pos - 1)].type;
            QString coll = ct.isString() ? QStringLiteral(" COLLATE TSQL_CI")
                         : ct.category() == Category::Exact ? QStringLiteral(" COLLATE TSQL_DEC") : QString();
            ob << QStringLiteral("%1%2%3").arg(QString::number(pos), coll, o.descending ? QStringLiteral(" DESC") : QString());
        }
        out.sql += QStringLiteral(" ORDER BY ") + ob.join(QStringLiteral(", "));
    }
    return out;
}

} // namespace engine::exec
