// EXEC [@status =] procedure [args]: system procedures, then the database's stored procedures.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/ModuleScope.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Statements.h"
#include "engine/parser/Parser.h"
#include "engine/sysprocs/SystemProcedures.h"
#include "engine/types/Convert.h"

namespace engine::exec {

namespace {
constexpr int kMaxNesting = 32;

QString procedureName(SessionImpl& s, const sql::ExecStmt& st, sql::ObjectName& name)
{
    name = st.procedure;
    if (!st.procedureVariable.isEmpty()) {
        Variable* v = s.variable(st.procedureVariable);
        if (!v) throw Errors::mustDeclare(st.procedureVariable);
        if (v->value.isNull()) throw Errors::procedureMissing(QString());
        QString text = QString::fromStdString(v->value.s);
        sql::StatementList parsed = sql::parseBatch(QStringLiteral("EXEC ") + text);
        name = sql::as<sql::ExecStmt>(*parsed.front()).procedure;
    }
    return name.name;
}

struct BoundParam {
    const sql::ProcParam* param;
    types::TypeSpec type;
    const sql::ExecArg* arg = nullptr;
};
} // namespace

void execReturn(SessionImpl& s, const sql::ReturnStmt& st)
{
    int status = 0;
    if (st.value) {
        types::TypeSpec type;
        types::Value v = evaluate(s, *st.value, &type);
        if (!v.isNull()) {
            types::TypeSpec intType = types::makeSpec(types::Type::Int, std::nullopt, std::nullopt, std::nullopt);
            status = int(convertValue(v, type, intType, false).i);
        }
    }
    s.returnStatus = status;
    throw ReturnSignal{};
}

void execProcedure(SessionImpl& s, const sql::ExecStmt& st)
{
    if (st.number && *st.number != 1) throw Errors::notSupported(QStringLiteral("numbered procedures (name;n)"));
    sql::ObjectName name;
    procedureName(s, st, name);
    s.returnStatus = 0;
    const bool executeSql = sameName(name.name, QStringLiteral("sp_executesql"));
    if (name.database.isEmpty() && st.procedureVariable.isEmpty() && (executeSql || sysprocs::find(name.name))) {
        if (executeSql) sysprocs::sp_executesql(s, st);
        else execExec(s, st);
        if (!st.returnVariable.isEmpty()) {
            Variable* r = s.variable(st.returnVariable);
            if (!r) throw Errors::mustDeclare(st.returnVariable);
            r->value = types::Value::ofInt(s.returnStatus);
        }
        return;
    }

    catalog::Catalog c = s.currentCatalog();
    if (!name.database.isEmpty()) {
        auto db = s.databaseName(name.database);
        if (!db) throw Errors::databaseMissing(name.database);
        c = s.catalogFor(*db);
    }
    auto o = c.findObject(name.owner, name.name, s.userName());
    if (!o || o->xtype != QLatin1String("P")) throw Errors::procedureMissing(name.name);
    if (s.procedureDepth >= kMaxNesting)
        throw Errors::nestedTooDeep(kMaxNesting);

    sql::StatementList parsed = sql::parseBatch(o->text);
    const sql::Stmt* first = parsed.empty() ? nullptr : parsed.front().get();
    if (!first || first->kind != sql::StmtKind::CreateProcedure) throw Errors::internal(QStringLiteral("procedure text of %1").arg(o->name));
    const auto& def = sql::as<sql::CreateProcedureStmt>(*first);

    // Arguments to parameters: positional first, then @name = value.
    std::vector<BoundParam> params;
    for (const sql::ProcParam& p : def.params) params.push_back({&p, specOf(p.type, &s), nullptr});
    size_t position = 0;
    bool named = false;
    for (const sql::ExecArg& a : st.args) {
        if (a.name.isEmpty()) {
            if (named)
                throw Errors::positionalAfterNamed();
            if (position >= params.size()) throw Errors::tooManyArguments(o->name);
            params[position++].arg = &a;
        } else {
            named = true;
            auto it = std::find_if(params.begin(), params.end(), [&](const BoundParam& b) { return sameName(b.param->name, a.name); });
            if (it == params.end()) throw Errors::parameterNotFound(o->name, a.name);
            it->arg = &a;
        }
    }
    // Values, in the caller's scope.
    std::vector<Variable> values;
    for (const BoundParam& b : params) {
        Variable v{b.type, types::Value::null()};
        const sql::Expr* e = b.arg && b.arg->value ? b.arg->value.get() : b.param->defaultValue.get();
        if (b.arg && b.arg->output && !b.param->output) throw Errors::notOutputParameter(b.param->name, o->name);
        if (b.arg && b.arg->output && b.arg->value && b.arg->value->kind != sql::ExprKind::Variable)
            throw Errors::constantAsOutput();
        if (!e) throw Errors::parameterMissing(o->name, b.param->name);
        {
            types::TypeSpec from;
            types::Value value = evaluate(s, *e, &from);
            v.value = value.isNull() ? value : convertValue(value, from, b.type, false);
        }
        values.push_back(std::move(v));
    }

    std::vector<std::pair<QString, types::Value>> outputs;
    int status = 0;
    {
        ModuleScope scope(s, 1, c.database());
        for (size_t i = 0; i < params.size(); ++i) s.variables.insert(params[i].param->name.toLower(), values[i]);
        status = scope.run(def.body);
        for (const BoundParam& b : params) {
            if (!b.arg || !b.arg->output || !b.arg->value) continue;
            const auto* var = sql::tryAs<const sql::VariableExpr>(b.arg->value.get());
            if (!var) continue;
            outputs.emplace_back(var->name, s.variables.value(b.param->name.toLower()).value);
        }
    }
    for (auto& [target, value] : outputs) {
        Variable* v = s.variable(target);
        if (!v) throw Errors::mustDeclare(target);
        const BoundParam* b = nullptr;
        for (const BoundParam& p : params)
            if (p.arg && p.arg->value && sql::tryAs<const sql::VariableExpr>(p.arg->value.get()) &&
                sameName(sql::tryAs<const sql::VariableExpr>(p.arg->value.get())->name, target))
                b = &p;
        v->value = value.isNull() || !b ? value : convertValue(value, b->type, v->type, false);
    }
    s.returnStatus = status;
    if (!st.returnVariable.isEmpty()) {
        Variable* r = s.variable(st.returnVariable);
        if (!r) throw Errors::mustDeclare(st.returnVariable);
        r->value = types::Value::ofInt(status);
    }
}

} // namespace engine::exec
