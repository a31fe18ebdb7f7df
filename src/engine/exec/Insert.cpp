#include "engine/Errors.h"
#include "engine/exec/ConstraintErrors.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Statements.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/Translator.h"
#include "engine/exec/Views.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;

namespace {

// The value a column takes when the statement gives none.
QString defaultSql(Translator& tr, const catalog::Column& c, SessionImpl& s, const ResolvedTable& rt)
{
    QString text = c.defaultText;
    if (text.isEmpty()) text = boundDefaultText(s.catalogFor(rt.database), c);
    if (c.type.type == types::Type::Timestamp) return QStringLiteral("tsql_timestamp()");
    if (text.isEmpty()) return QStringLiteral("NULL");
    Typed d = tr.defaultExpr(text);
    return tr.convertSql(d, c.type, true);
}

} // namespace

void execInsert(SessionImpl& s, const InsertStmt& st)
{
    ResolvedTable rt;
    QStringList columns = st.columns;
    refuseSystemTableWrite(st.table);
    std::optional<ResolvedTable> table = s.findTable(st.table);
    std::optional<std::shared_ptr<const ViewBinding>> view;
    if (!table) view = bindViewForDml(s, st.table);
    if (table) {
        rt = std::move(*table);
    } else if (view) {
        // through a view: its columns name columns of its one base table
        const ViewBinding& v = **view;
        v.checkChangeable();
        rt = v.base;
        if (columns.isEmpty()) {
            for (const QString& name : v.names) {
                const catalog::Column& c = v.baseColumn(name);
                if (c.identity || c.isComputed() || c.type.type == types::Type::Timestamp) continue;
                columns << c.name;
            }
        } else {
            for (QString& name : columns) name = v.baseColumn(name).name;
        }
    } else {
        rt = s.resolveTable(st.table);
    }
    const catalog::Table& t = rt.table;
    Translator tr(s);

    std::vector<const catalog::Column*> targets;
    bool explicitList = !columns.isEmpty();
    bool identityOn = s.identityInsert && s.identityInsert->tableId == t.id &&
                      s.identityInsert->database.compare(rt.database, Qt::CaseInsensitive) == 0;
    if (explicitList) {
        for (const QString& name : columns) {
            const catalog::Column* c = t.column(name);
            if (!c) throw Errors::invalidColumn(name);
            for (const catalog::Column* o : targets)
                if (o == c)
                    throw Errors::make(264, QStringLiteral("Column '%1' is named more than once in the column list.").arg(c->name));
            if (c->isComputed())
                throw Errors::make(271, QStringLiteral("Column '%1' is computed or comes from a UNION, so it cannot be changed.").arg(c->name));
            if (c->type.type == types::Type::Timestamp)
                throw Errors::make(273, QStringLiteral("A timestamp column cannot be given a value; leave it out of the column list or give it DEFAULT."));
            targets.push_back(c);
        }
    } else {
        for (const catalog::Column& c : t.columns) {
            if (c.isComputed() || c.type.type == types::Type::Timestamp) continue;
            if (c.identity && !identityOn) continue;
            targets.push_back(&c);
        }
    }
    const catalog::Column* idCol = t.identityColumn();
    bool idInList = false;
    for (const catalog::Column* c : targets) idInList |= c == idCol && idCol;
    if (idCol) {
        if (idInList && !identityOn) throw Errors::identityInsertOff(t.name);
        if (identityOn && !explicitList) throw Errors::identityColumnList(t.name);
        if (identityOn && !idInList) throw Errors::identityInsertOn(t.name);
    }
    int slot = idCol ? s.addIdentitySlot(rt) : -1;

    // the source: one Typed per target, over "src"."vK" or as VALUES expressions
    QString fromSql;
    QString countSql; // rows of an INSERT ... SELECT, for IGNORE_DUP_KEY
    size_t countBinds = 0;
    std::vector<std::vector<std::optional<Typed>>> rows; // nullopt: DEFAULT
    switch (st.source) {
    case InsertSource::Values: {
        Scope empty;
        for (const ExprList& values : st.rows) {
            if (values.size() != targets.size()) {
                if (!explicitList && idCol && values.size() == targets.size() + 1) throw Errors::identityColumnList(t.name);
                if (!explicitList) throw Errors::columnCount();
                throw Errors::make(values.size() > targets.size() ? 109 : 110,
                                   values.size() > targets.size()
                                       ? QStringLiteral("The INSERT names more columns than the VALUES clause gives values.")
                                       : QStringLiteral("The INSERT names fewer columns than the VALUES clause gives values."));
            }
            std::vector<std::optional<Typed>> row;
            for (const ExprPtr& v : values) {
                if (v->kind == ExprKind::Default) row.push_back(std::nullopt);
                else row.push_back(tr.expr(*v, empty));
            }
            rows.push_back(std::move(row));
        }
        break;
    }
    case InsertSource::Query: {
        TranslatedQuery q = tr.query(*st.query, nullptr);
        if (q.intoCore) throw Errors::syntaxKeyword(QStringLiteral("INTO"));
        if (q.hasAssignments) throw Errors::make(141, QStringLiteral("A SELECT that assigns variables cannot also return rows."));
        if (q.columns.size() != targets.size()) {
            if (!explicitList) throw Errors::columnCount();
            throw Errors::make(q.columns.size() < targets.size() ? 120 : 121,
                               q.columns.size() < targets.size()
                                   ? QStringLiteral("The SELECT gives fewer values than the INSERT names columns.")
                                   : QStringLiteral("The SELECT gives more values than the INSERT names columns."));
        }
        std::vector<std::optional<Typed>> row;
        for (size_t i = 0; i < q.columns.size(); ++i) {
            Typed v;
            v.sql = QStringLiteral("src.\"v%1\"").arg(i + 1);
            v.type = q.columns[i].type;
            v.nullable = q.columns[i].info.nullable;
            v.unknownType = v.type.category() == types::Category::Variant;
            row.push_back(v);
        }
        rows.push_back(std::move(row));
        fromSql = QStringLiteral(" FROM (%1) AS src").arg(q.sql);
        countSql = QStringLiteral("SELECT count(*) FROM (%1)").arg(q.sql);
        countBinds = tr.binds().size();
        break;
    }
    case InsertSource::DefaultValues: rows.emplace_back(); break;
    case InsertSource::Exec: throw Errors::notSupported(QStringLiteral("INSERT ... EXEC"));
    }

    QStringList cols;
    for (const catalog::Column& c : t.columns)
        if (!c.isComputed()) cols << quoteId(c.phys);
    QStringList selects;
    for (const auto& row : rows) {
        QStringList exprs;
        for (const catalog::Column& c : t.columns) {
            if (c.isComputed()) continue;
            int at = -1;
            for (size_t i = 0; i < targets.size(); ++i)
                if (targets[i] == &c) at = int(i);
            QString e;
            if (at >= 0 && at < int(row.size()) && row[size_t(at)]) {
                const Typed& v = *row[size_t(at)];
                e = tr.convertSql(v, c.type, true);
                if (c.identity) {
                    if (v.isNull) throw Errors::notNull(c.name, rt.displayName(), false);
                    e = QStringLiteral("tsql_idseen(%1, %2)").arg(QString::number(slot), e);
                }
            } else if (c.identity) {
                e = QStringLiteral("tsql_identity(%1)").arg(slot);
            } else {
                e = defaultSql(tr, c, s, rt);
            }
            exprs << e;
        }
        selects << QStringLiteral("SELECT ") + exprs.join(QStringLiteral(", ")) + fromSql;
    }
    QString sql = QStringLiteral("INSERT INTO %1 (%2) %3")
                      .arg(rt.qualifiedPhys(), cols.join(QStringLiteral(", ")), selects.join(QStringLiteral(" UNION ALL ")));
    // IGNORE_DUP_KEY: a row whose key is there already is skipped with a warning
    const QString ignoreDup = ignoreDupKeyClauses(t);
    long long candidates = (long long)rows.size();
    if (!ignoreDup.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 (%2) SELECT * FROM (%3) WHERE true%4")
                  .arg(rt.qualifiedPhys(), cols.join(QStringLiteral(", ")), selects.join(QStringLiteral(" UNION ALL ")), ignoreDup);
        if (!countSql.isEmpty()) {
            storage::Statement c(s.db(), countSql);
            for (size_t i = 0; i < countBinds; ++i) c.bindValue(int(i) + 1, tr.binds()[i]);
            candidates = c.step() ? c.integer(0) : 0;
        }
    }
    ViewCheck check(s, view ? view->get() : nullptr);
    check.noteInsert(rt);
    long long n = withConstraintErrors(rt, false, [&] { return s.execSql(sql, tr.binds()); });
    s.catalogOf(rt).addRows(t.id, n);
    check.verify();
    if (!ignoreDup.isEmpty() && n < candidates) s.addMessage(duplicateKeyIgnored());
    s.finishIdentitySlots(true);
    s.setRowCount(n);
}

} // namespace engine::exec
