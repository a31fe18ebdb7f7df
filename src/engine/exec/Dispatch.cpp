// Statement dispatch: one case per statement kind.

#include "engine/Errors.h"
#include "engine/exec/SessionImpl.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/Statements.h"

namespace engine::exec {

using namespace engine::sql;

void SessionImpl::dispatch(const Stmt& st)
{
    switch (st.kind) {
    case StmtKind::Select: return execSelect(*this, as<SelectStmt>(st));
    case StmtKind::Insert: return execInsert(*this, as<InsertStmt>(st));
    case StmtKind::Update: return execUpdate(*this, as<UpdateStmt>(st));
    case StmtKind::Delete: return execDelete(*this, as<DeleteStmt>(st));
    case StmtKind::CreateTable: return execCreateTable(*this, as<CreateTableStmt>(st));
    case StmtKind::DropObjects: {
        const auto& d = as<DropObjectsStmt>(st);
        if (d.objectType == ObjectType::Database) return execDropDatabase(*this, d);
        if (d.objectType == ObjectType::Default) return execDropDefaults(*this, d);
        if (d.objectType == ObjectType::Procedure) return execDropProcedures(*this, d);
        if (d.objectType == ObjectType::View) return execDropViews(*this, d);
        return execDropObjects(*this, d);
    }
    case StmtKind::CreateDatabase: return execCreateDatabase(*this, as<CreateDatabaseStmt>(st));
    case StmtKind::Use: return execUse(*this, as<UseStmt>(st));
    case StmtKind::Transaction: return execTransaction(*this, as<TransactionStmt>(st));
    case StmtKind::Declare: return execDeclare(*this, as<DeclareStmt>(st));
    case StmtKind::SetVariable: return execSetVariable(*this, as<SetVariableStmt>(st));
    case StmtKind::SetIdentityInsert: return execSetIdentityInsert(*this, as<SetIdentityInsertStmt>(st));
    case StmtKind::SetOption: return execSetOption(*this, as<SetOptionStmt>(st));
    case StmtKind::Block: return execBlock(*this, as<BlockStmt>(st));
    case StmtKind::If: return execIf(*this, as<IfStmt>(st));
    case StmtKind::While: return execWhile(*this, as<WhileStmt>(st));
    case StmtKind::Break: throw BreakSignal{};
    case StmtKind::Continue: throw ContinueSignal{};
    case StmtKind::Return: return execReturn(*this, as<ReturnStmt>(st));
    case StmtKind::Print: return execPrint(*this, as<PrintStmt>(st));
    case StmtKind::Raiserror: return execRaiserror(*this, as<RaiserrorStmt>(st));
    case StmtKind::DbccCheckIdent: return execDbccCheckIdent(*this, as<DbccCheckIdentStmt>(st));
    case StmtKind::Exec: return execProcedure(*this, as<ExecStmt>(st));
    case StmtKind::ExecString: return execExecString(*this, as<ExecStringStmt>(st));
    case StmtKind::Unsupported: throw Errors::notSupported(QStringLiteral("the %1 statement").arg(as<UnsupportedStmt>(st).name));
    case StmtKind::AlterTable: return execAlterTable(*this, as<AlterTableStmt>(st));
    case StmtKind::CreateIndex: return execCreateIndex(*this, as<CreateIndexStmt>(st));
    case StmtKind::DropIndex: return execDropIndex(*this, as<DropIndexStmt>(st));
    case StmtKind::AlterDatabase: return execAlterDatabase(*this, as<AlterDatabaseStmt>(st));
    case StmtKind::CreateDefault: return execCreateDefault(*this, as<CreateDefaultStmt>(st));
    case StmtKind::CreateProcedure: return execCreateProcedure(*this, as<CreateProcedureStmt>(st));
    case StmtKind::CreateView: return execCreateView(*this, as<CreateViewStmt>(st));
    case StmtKind::Truncate: return execTruncate(*this, as<TruncateStmt>(st));
    }
    throw Errors::notSupported(QStringLiteral("this statement"));
}

} // namespace engine::exec
