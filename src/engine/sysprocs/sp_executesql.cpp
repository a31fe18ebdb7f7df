// sp_executesql @statement [, @params [, values...]]: a statement run with parameters of its
// own; OUTPUT parameters are copied back to the caller's variables.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/ModuleScope.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Statements.h"
#include "engine/parser/Parser.h"
#include "engine/sysprocs/SystemProcedures.h"

namespace engine::sysprocs {

namespace {

using exec::sameName;

// The text of the statement or parameter-list argument; 214 when it is not Unicode text.
QString unicodeText(exec::SessionImpl& s, const sql::ExecArg& a, const char* parameter)
{
    if (!a.value) return {};
    types::TypeSpec type;
    types::Value v = exec::evaluate(s, *a.value, &type);
    if (v.isNull()) return {};
    const types::Type t = type.type;
    if (t != types::Type::NVarChar && t != types::Type::NChar && t != types::Type::NText && t != types::Type::SysName)
        throw Errors::executeSqlNeedsUnicode(QLatin1String(parameter));
    return QString::fromUtf8(v.s.data(), qsizetype(v.s.size()));
}

struct Bound {
    const sql::ProcParam* param;
    types::TypeSpec type;
    const sql::ExecArg* arg = nullptr;
};

} // namespace

void sp_executesql(exec::SessionImpl& s, const sql::ExecStmt& st)
{
    const sql::ExecArg* statementArg = nullptr;
    const sql::ExecArg* paramsArg = nullptr;
    std::vector<const sql::ExecArg*> values;
    for (size_t i = 0; i < st.args.size(); ++i) {
        const sql::ExecArg& a = st.args[i];
        if (sameName(a.name, QStringLiteral("@statement")) || sameName(a.name, QStringLiteral("@stmt"))) statementArg = &a;
        else if (sameName(a.name, QStringLiteral("@params"))) paramsArg = &a;
        else if (a.name.isEmpty() && i == 0) statementArg = &a;
        else if (a.name.isEmpty() && i == 1) paramsArg = &a;
        else values.push_back(&a);
    }
    if (!statementArg) throw Errors::parameterMissing(QStringLiteral("sp_executesql"), QStringLiteral("@statement"));
    const QString text = unicodeText(s, *statementArg, "@statement");
    const QString paramsText = paramsArg ? unicodeText(s, *paramsArg, "@params") : QString();
    const std::vector<sql::ProcParam> params = sql::parseParameterList(paramsText);

    // values to parameters: positional first, then @name = value
    std::vector<Bound> bound;
    for (const sql::ProcParam& p : params) bound.push_back({&p, exec::specOf(p.type, &s), nullptr});
    size_t position = 0;
    bool named = false;
    for (const sql::ExecArg* a : values) {
        if (a->name.isEmpty()) {
            if (named)
                throw Errors::positionalAfterNamed();
            if (position >= bound.size()) throw Errors::tooManyArguments(QStringLiteral("sp_executesql"));
            bound[position++].arg = a;
            continue;
        }
        named = true;
        auto it = std::find_if(bound.begin(), bound.end(), [&](const Bound& b) { return sameName(b.param->name, a->name); });
        if (it == bound.end()) throw Errors::parameterNotFound(QStringLiteral("sp_executesql"), a->name);
        it->arg = a;
    }
    std::vector<exec::Variable> initial;
    for (const Bound& b : bound) {
        exec::Variable v{b.type, types::Value::null()};
        if (b.arg && b.arg->output && !b.param->output) throw Errors::notOutputParameter(b.param->name, QStringLiteral("sp_executesql"));
        if (b.arg && b.arg->output && b.arg->value && b.arg->value->kind != sql::ExprKind::Variable)
            throw Errors::constantAsOutput();
        const sql::Expr* e = b.arg && b.arg->value ? b.arg->value.get() : b.param->defaultValue.get();
        if (!e && !(b.arg && b.arg->output))
            throw Errors::executeSqlValueMissing(paramsText, b.param->name);
        if (e) {
            types::TypeSpec from;
            types::Value value = exec::evaluate(s, *e, &from);
            v.value = value.isNull() ? value : exec::convertValue(value, from, b.type, false);
        }
        initial.push_back(std::move(v));
    }
    if (text.isEmpty()) return;
    sql::StatementList stmts = sql::parseBatch(text);

    std::vector<std::pair<const Bound*, types::Value>> outputs;
    {
        exec::ModuleScope scope(s, 2);
        for (size_t i = 0; i < bound.size(); ++i) s.variables.insert(bound[i].param->name.toLower(), initial[i]);
        try {
            scope.run(stmts);
        } catch (const exec::BatchAbort& abort) {
            // the error is recorded; it ends this statement's batch, and the caller's only with the transaction
            if (abort.endsCallers) throw;
        }
        for (const Bound& b : bound)
            if (b.arg && b.arg->output && b.param->output && b.arg->value)
                outputs.emplace_back(&b, s.variables.value(b.param->name.toLower()).value);
    }
    for (auto& [b, value] : outputs) {
        const auto& var = sql::as<sql::VariableExpr>(*b->arg->value);
        exec::Variable* target = s.variable(var.name);
        if (!target) throw Errors::mustDeclare(var.name);
        target->value = value.isNull() ? value : exec::convertValue(value, b->type, target->type, false);
    }
    s.returnStatus = 0;
}

} // namespace engine::sysprocs
