// DECLARE, SET @v, and evaluation of expressions outside queries.

#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/exec/Translator.h"
#include "engine/storage/Sqlite.h"
#include "engine/types/Convert.h"

namespace engine::exec {

using namespace engine::sql;

types::Value evaluate(SessionImpl& s, const Expr& e, types::TypeSpec* type)
{
    Translator tr(s);
    Scope empty;
    Typed t = tr.expr(e, empty);
    if (t.hasAggregate) throw Errors::make(147, QStringLiteral("An aggregate may not appear here."));
    storage::Statement st(s.db(), QStringLiteral("SELECT ") + t.sql);
    for (size_t i = 0; i < tr.binds().size(); ++i) st.bindValue(int(i) + 1, tr.binds()[i]);
    types::Value v;
    if (st.step()) v = st.value(0);
    if (type) *type = t.unknownType ? types::runtimeType(v) : t.type;
    return v;
}

bool evaluateCondition(SessionImpl& s, const Expr& e)
{
    Translator tr(s);
    Scope empty;
    Typed t = tr.expr(e, empty);
    storage::Statement st(s.db(), QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END").arg(t.sql));
    for (size_t i = 0; i < tr.binds().size(); ++i) st.bindValue(int(i) + 1, tr.binds()[i]);
    return st.step() && st.integer(0) == 1;
}

void execDeclare(SessionImpl& s, const DeclareStmt& st)
{
    for (const VariableDecl& d : st.variables) {
        if (s.variable(d.name)) throw Errors::alreadyDeclared(d.name);
        Variable v;
        v.type = specOf(d.type, &s);
        if (v.type.type == types::Type::Text || v.type.type == types::Type::NText || v.type.type == types::Type::Image)
            throw Errors::make(2739, QStringLiteral("A variable cannot be of type text, ntext or image."));
        s.variables.insert(d.name.toLower(), v);
        if (d.init) {
            types::TypeSpec from;
            types::Value x = evaluate(s, *d.init, &from);
            s.variable(d.name)->value = convertValue(x, from, v.type, false);
        }
    }
}

void execSetVariable(SessionImpl& s, const SetVariableStmt& st)
{
    Variable* v = s.variable(st.variable);
    if (!v) throw Errors::mustDeclare(st.variable);
    types::TypeSpec from;
    types::Value x = evaluate(s, *st.value, &from);
    v->value = convertValue(x, from, v->type, false);
    s.setRowCount(1);
}

} // namespace engine::exec
