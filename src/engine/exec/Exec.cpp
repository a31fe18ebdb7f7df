// EXEC of a procedure, and EXEC('text').

#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/ModuleScope.h"
#include "engine/exec/Statements.h"
#include "engine/parser/Parser.h"
#include "engine/sysprocs/SystemProcedures.h"
#include "engine/types/Convert.h"

namespace engine::exec {

using namespace engine::sql;

void execExec(SessionImpl& s, const ExecStmt& st)
{
    if (!st.procedureVariable.isEmpty()) throw Errors::notSupported(QStringLiteral("EXEC of a procedure named by a variable"));
    if (!st.procedure.server.isEmpty()) throw Errors::notSupported(QStringLiteral("remote procedure calls"));
    sysprocs::Procedure proc = sysprocs::find(st.procedure.name);
    if (!proc) throw Errors::procedureMissing(st.procedure.name);
    std::vector<sysprocs::ProcArg> args;
    for (const ExecArg& a : st.args) {
        sysprocs::ProcArg p;
        p.name = a.name;
        if (!a.value) p.isDefault = true;
        else p.value = evaluate(s, *a.value, &p.type);
        args.push_back(std::move(p));
    }
    proc(s, args);
}

void execExecString(SessionImpl& s, const ExecStringStmt& st)
{
    QString text;
    for (const ExprPtr& p : st.parts) {
        types::TypeSpec from;
        types::Value v = evaluate(s, *p, &from);
        if (v.isNull()) continue;
        types::Value t = convertValue(v, from, types::makeSpec(types::Type::NText, {}, {}, {}), false);
        text += QString::fromUtf8(t.s.data(), qsizetype(t.s.size()));
    }
    StatementList stmts = parseBatch(text);
    ModuleScope scope(s, 1);
    try {
        scope.run(stmts);
    } catch (const BatchAbort& abort) {
        // the error is recorded; it ends the dynamic batch, and the caller's only with the transaction
        if (abort.endsCallers) throw;
    }
}

} // namespace engine::exec
