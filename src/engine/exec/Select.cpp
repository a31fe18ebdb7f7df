#include "engine/Errors.h"
#include "engine/exec/RowReader.h"
#include "engine/exec/Statements.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/Translator.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"
#include "engine/types/DateTimeValue.h"

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;
using storage::Statement;

namespace {

void bindAll(Statement& st, const std::vector<types::Value>& binds)
{
    for (size_t i = 0; i < binds.size(); ++i) st.bindValue(int(i) + 1, binds[i]);
}

void selectInto(SessionImpl& s, Translator& tr, const TranslatedQuery& q)
{
    const ObjectName& written = *q.intoCore->into;
    refuseSystemTableName(written);
    if (s.findTable(written)) throw Errors::objectExists(written.name);
    ObjectName target = s.tempName(written);
    auto dbName = s.databaseName(target.database.isEmpty() ? s.currentDatabase() : target.database);
    if (!dbName) throw Errors::databaseMissing(target.database);
    QString db = *dbName;
    catalog::Catalog cat = s.catalogFor(db);
    catalog::Table t;
    t.name = target.name;
    t.owner = target.owner.isEmpty() ? s.defaultOwner() : target.owner;
    if (cat.objectNameTaken(t.owner, t.name)) throw Errors::objectExists(written.name);
    bool identityTaken = false;
    int k = 0;
    for (const QueryColumn& qc : q.columns) {
        ++k;
        if (qc.info.name.isEmpty())
            throw Errors::make(8155, QStringLiteral("Column %1 of '%2' has no name.").arg(QString::number(k), written.name));
        if (t.column(qc.info.name)) throw Errors::columnNamesUnique(qc.info.name);
        catalog::Column c;
        c.colid = k;
        c.name = qc.info.name;
        c.type = qc.type;
        if (c.type.category() == types::Category::Variant && !qc.source) c.type = types::makeSpec(types::Type::SqlVariant, {}, {}, {});
        // a literal longer than 8,000 bytes makes a text, ntext or image column, where it fits
        if (qc.overLong)
            c.type = types::makeSpec(c.type.type == types::Type::NVarChar ? types::Type::NText
                                     : c.type.type == types::Type::VarBinary ? types::Type::Image : types::Type::Text, {}, {}, {});
        c.nullable = qc.info.nullable;
        if (qc.source && qc.source->identity && !identityTaken) {
            c.identity = true;
            c.seed = qc.source->seed;
            c.increment = qc.source->increment;
            c.nullable = false;
            identityTaken = true;
        }
        if (qc.source) c.collation = qc.source->collation;
        t.columns.push_back(c);
    }
    cat.createTable(t);
    if (SessionImpl::isTempName(written.name)) s.noteTempTable(t.name);
    QStringList cols, vals;
    for (size_t i = 0; i < t.columns.size(); ++i) {
        cols << quoteId(t.columns[i].phys);
        vals << QStringLiteral("\"v%1\"").arg(i + 1);
    }
    long long n = s.execSql(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM (%4)")
                                .arg(cat.qualified(t.phys()), cols.join(QStringLiteral(", ")), vals.join(QStringLiteral(", ")), q.sql),
                            tr.binds());
    cat.addRows(t.id, n);
    if (const catalog::Column* id = t.identityColumn()) {
        Statement m(s.db(), QStringLiteral("SELECT max(%1) FROM %2").arg(quoteId(id->phys), cat.qualified(t.phys())));
        if (m.step() && !m.isNull(0)) {
            cat.setIdentCurrent(t.id, id->colid, m.integer(0));
            s.lastIdentity = s.scopeIdentity = m.integer(0); // the rows' last identity value, as an INSERT's
        }
    }
    s.setRowCount(n);
}

} // namespace

void execSelect(SessionImpl& s, const SelectStmt& st)
{
    Translator tr(s);
    tr.clusteredOrder = true;
    TranslatedQuery q = tr.query(*st.query, nullptr);
    if (q.intoCore) {
        if (q.hasAssignments) throw Errors::syntaxKeyword(QStringLiteral("INTO"));
        selectInto(s, tr, q);
        return;
    }
    Statement stmt(s.db(), q.sql);
    bindAll(stmt, tr.binds());
    if (q.hasAssignments) {
        long long n = 0;
        std::vector<types::Value> last;
        while (stmt.step()) {
            ++n;
            last.clear();
            for (size_t i = 0; i < q.columns.size(); ++i) last.push_back(stmt.value(int(i)));
        }
        if (n > 0) {
            for (size_t i = 0; i < q.assignTo.size(); ++i) {
                Variable* v = s.variable(q.assignTo[i]);
                if (!v) throw Errors::mustDeclare(q.assignTo[i]);
                v->value = convertValue(last[i], q.columns[i].type, v->type, false);
            }
        }
        s.setRowCount(n);
        return;
    }
    ResultSet rs;
    std::vector<types::TypeSpec> typesOf;
    for (const QueryColumn& c : q.columns) {
        rs.columns.push_back(c.info);
        typesOf.push_back(c.type);
    }
    RowReader reader(std::move(typesOf));
    sqlite3_stmt* h = stmt.handle();
    while (stmt.step()) {
        Row& row = rs.rows.emplace_back();
        reader.read(h, row);
    }
    s.setRowCount(static_cast<long long>(rs.rows.size()));
    s.addResultSet(std::move(rs));
}

namespace {

// The table a SELECT gives whole: one base table, every row (no WHERE, grouping, DISTINCT, TOP
// or UNION) and nothing but its columns selected.
std::optional<ResolvedTable> wholeTable(SessionImpl& s, const Query& q)
{
    if (q.cores.size() != 1) return std::nullopt;
    const SelectCore& c = q.cores.front();
    if (c.distinct || c.top || c.into || c.where || !c.groupBy.empty() || c.having || c.from.size() != 1 ||
        c.from.front()->kind != TableRefKind::Named)
        return std::nullopt;
    for (const SelectItem& i : c.items)
        if (i.kind == SelectItemKind::Assignment || (i.kind == SelectItemKind::Expr && i.expr->kind != ExprKind::Column))
            return std::nullopt;
    return s.findTable(static_cast<const NamedTableRef&>(*c.from.front()).name);
}

class QueryCursor : public Cursor {
public:
    QueryCursor(SessionImpl& s, Statement st, std::vector<ColumnInfo> cols, std::vector<types::TypeSpec> t, QString sql,
                std::vector<types::Value> binds, std::optional<ResolvedTable> whole)
        : s_(s), st_(std::move(st)), cols_(std::move(cols)), reader_(std::move(t)), sql_(std::move(sql)), binds_(std::move(binds)),
          whole_(std::move(whole))
    {
    }
    const std::vector<ColumnInfo>& columns() const override { return cols_; }
    bool fetch(Row& row) override
    {
        if (done_ || !st_.step()) {
            done_ = true;
            return false;
        }
        row.clear();
        reader_.read(st_.handle(), row);
        return true;
    }

    long long skip(long long n) override
    {
        long long passed = 0;
        while (passed < n && !done_) {
            if (!st_.step()) done_ = true;
            else ++passed;
        }
        return passed;
    }
    long long count() override
    {
        if (whole_)
            if (auto n = s_.catalogOf(*whole_).rowCount(whole_->table.id)) return *n;
        // SQLite flattens the query into a count that builds no column values.
        Statement c(s_.db(), QStringLiteral("SELECT count(*) FROM (%1)").arg(sql_));
        bindAll(c, binds_);
        return c.step() ? c.integer(0) : 0;
    }

private:
    SessionImpl& s_;
    Statement st_;
    std::vector<ColumnInfo> cols_;
    RowReader reader_;
    QString sql_;
    std::vector<types::Value> binds_;
    std::optional<ResolvedTable> whole_;
    bool done_ = false;
};

} // namespace

std::unique_ptr<Cursor> SessionImpl::openQuery(const QString& select)
{
    StatementList stmts = parseBatch(select);
    if (stmts.size() != 1 || stmts[0]->kind != StmtKind::Select)
        throw Errors::make(40002, QStringLiteral("Only one SELECT statement can be opened as a cursor."));
    const auto& st = as<SelectStmt>(*stmts[0]);
    variables.clear();
    types::setDateOrder(dateFormat.constData());
    Translator tr(*this);
    tr.clusteredOrder = true;
    TranslatedQuery q = tr.query(*st.query, nullptr);
    if (q.intoCore || q.hasAssignments) throw Errors::make(40002, QStringLiteral("Only a SELECT that returns rows can be opened as a cursor."));
    Statement stmt(db(), q.sql);
    bindAll(stmt, tr.binds());
    std::vector<ColumnInfo> cols;
    std::vector<types::TypeSpec> t;
    for (const QueryColumn& c : q.columns) {
        cols.push_back(c.info);
        t.push_back(c.type);
    }
    return std::make_unique<QueryCursor>(*this, std::move(stmt), std::move(cols), std::move(t), q.sql, tr.binds(),
                                         wholeTable(*this, *st.query));
}

} // namespace engine::exec
