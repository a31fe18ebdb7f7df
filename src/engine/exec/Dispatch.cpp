// Statement dispatch: one case per statement kind.

#include "engine/Errors.h"
#include "engine/exec/SessionImpl.h"
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
    case StmtKind::Return: throw ReturnSignal{};
    case StmtKind::Print: return execPrint(*this, as<PrintStmt>(st));
    case StmtKind::Raiserror: return execRaiserror(*this, as<RaiserrorStmt>(st));
    case StmtKind::Exec: return execExec(*this, as<ExecStmt>(st));
    case StmtKind::ExecString: return execExecString(*this, as<ExecStringStmt>(st));
    case StmtKind::Unsupported: throw Errors::notSupported(QStringLiteral("the %1 statement").arg(as<UnsupportedStmt>(st).name));
    case StmtKind::AlterTable: throw Errors::notSupported(QStringLiteral("ALTER TABLE yet"));
    case StmtKind::CreateIndex: throw Errors::notSupported(QStringLiteral("CREATE INDEX yet"));
    case StmtKind::DropIndex: throw Errors::notSupported(QStringLiteral("DROP INDEX yet"));
    case StmtKind::AlterDatabase: throw Errors::notSupported(QStringLiteral("ALTER DATABASE yet"));
    case StmtKind::CreateDefault: throw Errors::notSupported(QStringLiteral("CREATE DEFAULT yet"));
    case StmtKind::CreateProcedure: throw Errors::notSupported(QStringLiteral("CREATE PROCEDURE yet"));
    }
    throw Errors::notSupported(QStringLiteral("this statement"));
}

} // namespace engine::exec
