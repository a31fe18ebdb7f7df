// Views read by statements: the stored text parsed and translated where the view is named.
#include "engine/Errors.h"
#include "engine/exec/Translator.h"
#include "engine/exec/Views.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysviews/SystemViews.h"

#include <algorithm>
#include <set>

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;

namespace {

// Names inside a view are those of the view's database, whatever the session's is.
struct DatabaseScope {
    SessionImpl& s;
    QString saved;
    DatabaseScope(SessionImpl& session, const QString& database) : s(session), saved(session.databaseRef())
    {
        s.databaseRef() = database;
    }
    ~DatabaseScope() { s.databaseRef() = saved; }
    DatabaseScope(const DatabaseScope&) = delete;
    DatabaseScope& operator=(const DatabaseScope&) = delete;
};

} // namespace

const CreateViewStmt& ViewDefinition::definition() const
{
    if (!parsed || parsed->empty() || parsed->front()->kind != StmtKind::CreateView)
        throw Errors::internal(QStringLiteral("view text of %1").arg(object.name));
    return as<CreateViewStmt>(*parsed->front());
}

std::optional<ViewDefinition> findView(SessionImpl& s, const ObjectName& name)
{
    if (SessionImpl::isTempName(name.name) || name.name.startsWith(QLatin1Char('@'))) return std::nullopt;
    const QString db = name.database.isEmpty() ? s.currentDatabase() : name.database;
    auto dbName = s.databaseName(db);
    if (!dbName) throw Errors::databaseMissing(db);
    catalog::Catalog cat = s.catalogFor(*dbName);
    auto o = cat.findObject(name.owner, name.name, s.userName());
    if (!o || o->xtype != QLatin1String("V")) return std::nullopt;
    ViewDefinition v;
    v.database = *dbName;
    v.schema = cat.schema();
    v.object = *o;
    v.parsed = std::make_shared<StatementList>(parseBatch(o->text));
    v.definition();
    return v;
}

void ViewBinding::checkChangeable() const
{
    if (refusal == 4403)
        throw Errors::make(4403, QStringLiteral("Rows of view '%1' cannot be changed: it holds aggregates, DISTINCT, TOP, "
                                                    "GROUP BY or UNION.").arg(name));
    if (refusal == 259) throw Errors::systemTableWriteThroughView(name);
    if (refusal)
        throw Errors::make(4405, QStringLiteral("View '%1' cannot be changed: the change would reach more than one base "
                                                    "table.").arg(name));
}

const catalog::Column& ViewBinding::baseColumn(const QString& column) const
{
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].compare(column, Qt::CaseInsensitive) != 0) continue;
        if (!columns[i] || !base.table.columnById(columns[i]->colid))
            throw Errors::make(4406, QStringLiteral("Column '%1' of view '%2' is computed or constant, so it cannot be "
                                                        "given a value.").arg(names[i], name));
        return *base.table.columnById(columns[i]->colid);
    }
    throw Errors::invalidColumn(column);
}

QString Translator::viewRef(const ViewDefinition& v, const NamedTableRef& n, Scope& scope)
{
    if (std::find(viewStack_.begin(), viewStack_.end(), v.object.id) != viewStack_.end())
        throw Errors::make(4429, QStringLiteral("View '%1' refers to itself, directly or through other views.").arg(v.object.name));
    const CreateViewStmt& def = v.definition();
    viewStack_.push_back(v.object.id);
    TranslatedQuery q;
    const bool wantRowid = rowidsForDml_;
    try {
        DatabaseScope inView(s_, v.database);
        rowidForQuery_ = wantRowid;
        q = query(*def.query, nullptr);
    } catch (const SqlError& e) {
        viewStack_.pop_back();
        rowidForQuery_ = false;
        // a table or column the view names is gone: say which view the statement named cannot be used
        if ((e.number() != 208 && e.number() != 207) || !viewStack_.empty()) throw;
        const Message& m = e.message();
        throw SqlError(m.number, m.severity,
                       m.text + QStringLiteral(" View '%1' cannot be used until its text binds again.").arg(v.object.name), m.line,
                       m.state);
    } catch (...) {
        viewStack_.pop_back();
        rowidForQuery_ = false;
        throw;
    }
    viewStack_.pop_back();
    rowidForQuery_ = false;

    auto binding = std::make_shared<ViewBinding>();
    binding->name = v.object.name;
    binding->refusal = wantRowid ? rowidRefusal_ : 4405;
    if (wantRowid && rowidBase_) {
        binding->base = rowidBase_->base;
        binding->checkView = rowidBase_->checkView;
    }
    if (def.checkOption) {
        binding->checkView.database = v.database;
        binding->checkView.owner = v.object.owner;
        binding->checkView.name = v.object.name;
    }
    if (!def.columns.isEmpty() && def.columns.size() != qsizetype(q.columns.size()))
        throw Errors::make(4502, QStringLiteral("View '%1' names %2 columns but its query gives %3.")
                                         .arg(v.object.name, QString::number(def.columns.size()), QString::number(q.columns.size())));
    ScopeSource src;
    src.alias = n.alias.isEmpty() ? v.object.name : n.alias;
    src.hasAlias = !n.alias.isEmpty();
    src.owner = v.object.owner;
    src.database = v.database;
    src.schema = v.schema;
    src.sqlAlias = newAlias();
    for (size_t k = 0; k < q.columns.size(); ++k) {
        const QueryColumn& c = q.columns[k];
        ScopeColumn sc;
        sc.name = def.columns.isEmpty() ? c.info.name : def.columns[qsizetype(k)];
        sc.sql = src.sqlAlias + QStringLiteral(".\"v%1\"").arg(k + 1);
        sc.type = c.type;
        sc.nullable = c.info.nullable;
        sc.column = c.source.get();
        src.columns.push_back(sc);
        binding->names.push_back(sc.name);
        binding->columns.push_back(c.source);
    }
    if (wantRowid && binding->refusal == 0) src.rowidSql = src.sqlAlias + QStringLiteral(".\"rid\"");
    src.view = binding;
    for (const ScopeSource& other : scope.sources)
        if (other.alias.compare(src.alias, Qt::CaseInsensitive) == 0 && other.hasAlias == src.hasAlias &&
            (src.hasAlias || other.owner.compare(src.owner, Qt::CaseInsensitive) == 0))
            throw Errors::make(1013, QStringLiteral("Two tables in the FROM clause are both named '%1'; give them different aliases.").arg(src.alias));
    QString sql = QStringLiteral("(%1) AS %2").arg(q.sql, src.sqlAlias);
    scope.sources.push_back(std::move(src));
    return sql;
}

namespace {
// The view's FROM text, translated by tr with the base rows' rowids, its source in scope.
QString translateViewWithRowids(Translator& tr, const ObjectName& name, Scope& scope)
{
    tr.setRowidsForDml(true);
    std::vector<TableRefPtr> refs;
    auto ref = std::make_unique<NamedTableRef>();
    ref->name = name;
    refs.push_back(std::move(ref));
    return tr.from(refs, scope);
}
} // namespace

std::optional<std::shared_ptr<const ViewBinding>> bindViewForDml(SessionImpl& s, const ObjectName& name)
{
    if (!findView(s, name) || s.findTable(name)) return std::nullopt;
    Translator tr(s);
    Scope scope;
    translateViewWithRowids(tr, name, scope);
    return scope.sources.front().view;
}

// ---------------------------------------------------------------------------------------------
// WITH CHECK OPTION

ViewCheck::ViewCheck(SessionImpl& s, const ViewBinding* view) : s_(s)
{
    if (view) view_ = view->checkView;
}

void ViewCheck::noteRows(const QString& ridsSql, const std::vector<types::Value>& binds)
{
    if (!active()) return;
    storage::Statement st(s_.db(), QStringLiteral("SELECT json_group_array(rid) FROM (%1)").arg(ridsSql));
    for (size_t i = 0; i < binds.size(); ++i) st.bindValue(int(i) + 1, binds[i]);
    rowsJson_ = st.step() ? st.text(0) : QStringLiteral("[]");
}

void ViewCheck::noteInsert(const ResolvedTable& base)
{
    if (!active()) return;
    baseTable_ = base.qualifiedPhys();
    storage::Statement st(s_.db(), QStringLiteral("SELECT coalesce(max(rowid), 0) FROM %1").arg(baseTable_));
    lastRowid_ = st.step() ? st.integer(0) : 0;
}

void ViewCheck::verify()
{
    if (!active()) return;
    Translator tr(s_);
    Scope scope;
    const QString viewSql = translateViewWithRowids(tr, view_, scope);
    const QString seen = QStringLiteral("SELECT %1 FROM %2").arg(scope.sources.front().rowidSql, viewSql);
    const QString next = QStringLiteral("?%1").arg(tr.binds().size() + 1);
    QString sql;
    if (lastRowid_)
        sql = QStringLiteral("SELECT count(*) FROM %1 AS b WHERE b.rowid > %2 AND b.rowid NOT IN (%3)").arg(baseTable_, next, seen);
    else
        sql = QStringLiteral("SELECT count(*) FROM json_each(%1) AS j WHERE j.value NOT IN (%2)").arg(next, seen);
    storage::Statement st(s_.db(), sql);
    for (size_t i = 0; i < tr.binds().size(); ++i) st.bindValue(int(i) + 1, tr.binds()[i]);
    if (lastRowid_) st.bind(int(tr.binds().size()) + 1, static_cast<long long>(*lastRowid_));
    else st.bind(int(tr.binds().size()) + 1, rowsJson_);
    if (st.step() && st.integer(0) > 0)
        throw Errors::make(550, QStringLiteral("View '%1' was made WITH CHECK OPTION (itself or a view under it), and a row "
                                                   "this statement changes would no longer be seen through it.").arg(view_.name));
}

void recordCheckOption(const catalog::Catalog& c, int viewId, bool on)
{
    sysviews::ensureInformationTables(c.db(), quoteId(c.schema()));
    storage::Statement d(c.db(), QStringLiteral("DELETE FROM %1.cat_view_checks WHERE view_id = ?1").arg(quoteId(c.schema())));
    d.bind(1, viewId).run();
    if (!on) return;
    storage::Statement i(c.db(), QStringLiteral("INSERT INTO %1.cat_view_checks (view_id) VALUES (?1)").arg(quoteId(c.schema())));
    i.bind(1, viewId).run();
}

// ---------------------------------------------------------------------------------------------
// The objects a view names

namespace {

void collectQuery(const Query& q, std::vector<ObjectName>& out);

void collectExpr(const Expr& e, std::vector<ObjectName>& out)
{
    if (auto sq = tryAs<const SubqueryExpr>(&e)) collectQuery(*sq->query, out);
    if (auto ex = tryAs<const ExistsExpr>(&e)) collectQuery(*ex->query, out);
    if (auto in = tryAs<const InExpr>(&e); in && in->subquery) collectQuery(*in->subquery, out);
    forEachChild(e, [&](const Expr& c) { collectExpr(c, out); });
}

void collectRef(const TableRef& r, std::vector<ObjectName>& out)
{
    switch (r.kind) {
    case TableRefKind::Named: out.push_back(as<NamedTableRef>(r).name); break;
    case TableRefKind::Derived: collectQuery(*as<DerivedTableRef>(r).query, out); break;
    case TableRefKind::Join: {
        const auto& j = as<JoinTableRef>(r);
        collectRef(*j.left, out);
        collectRef(*j.right, out);
        if (j.on) collectExpr(*j.on, out);
        break;
    }
    case TableRefKind::Function: break;
    }
}

void collectQuery(const Query& q, std::vector<ObjectName>& out)
{
    for (const SelectCore& c : q.cores) {
        for (const SelectItem& it : c.items)
            if (it.expr) collectExpr(*it.expr, out);
        for (const auto& r : c.from) collectRef(*r, out);
        if (c.where) collectExpr(*c.where, out);
        if (c.having) collectExpr(*c.having, out);
    }
}

void ensureUsageTable(const catalog::Catalog& c) { sysviews::ensureInformationTables(c.db(), quoteId(c.schema())); }

} // namespace

void forgetViewTables(const catalog::Catalog& c, int viewId)
{
    ensureUsageTable(c);
    storage::Statement d(c.db(), QStringLiteral("DELETE FROM %1.cat_view_tables WHERE view_id = ?1").arg(quoteId(c.schema())));
    d.bind(1, viewId).run();
}

void recordViewTables(SessionImpl& s, const catalog::Catalog& c, int viewId, const Query& q)
{
    forgetViewTables(c, viewId);
    std::vector<ObjectName> names;
    collectQuery(q, names);
    std::set<std::pair<QString, QString>> seen;
    storage::Statement ins(c.db(), QStringLiteral("INSERT INTO %1.cat_view_tables (view_id, table_schema, table_name) VALUES (?1, ?2, ?3)")
                                       .arg(quoteId(c.schema())));
    for (const ObjectName& n : names) {
        if (!n.database.isEmpty() && n.database.compare(c.database(), Qt::CaseInsensitive) != 0) continue;
        if (SessionImpl::isTempName(n.name) || sysviews::find(n.owner, n.name)) continue;
        auto o = c.findObject(n.owner, n.name, s.userName());
        if (!o || (o->xtype != QLatin1String("U") && o->xtype != QLatin1String("V"))) continue;
        if (!seen.insert({o->owner, o->name}).second) continue;
        ins.reset();
        ins.bind(1, viewId).bind(2, o->owner).bind(3, o->name).run();
    }
}

} // namespace engine::exec
