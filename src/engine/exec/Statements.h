#pragma once
// One entry point per statement family; Dispatch.cpp routes each statement kind to one.

#include "engine/exec/SessionImpl.h"
#include "engine/parser/Ast.h"

namespace engine::exec {

void execSelect(SessionImpl& s, const sql::SelectStmt& st);
void execInsert(SessionImpl& s, const sql::InsertStmt& st);
void execUpdate(SessionImpl& s, const sql::UpdateStmt& st);
void execDelete(SessionImpl& s, const sql::DeleteStmt& st);
void execCreateTable(SessionImpl& s, const sql::CreateTableStmt& st);
void execDropObjects(SessionImpl& s, const sql::DropObjectsStmt& st);
void execCreateDatabase(SessionImpl& s, const sql::CreateDatabaseStmt& st);
void execDropDatabase(SessionImpl& s, const sql::DropObjectsStmt& st);
void execUse(SessionImpl& s, const sql::UseStmt& st);
void execTransaction(SessionImpl& s, const sql::TransactionStmt& st);
void execDeclare(SessionImpl& s, const sql::DeclareStmt& st);
void execSetVariable(SessionImpl& s, const sql::SetVariableStmt& st);
void execSetIdentityInsert(SessionImpl& s, const sql::SetIdentityInsertStmt& st);
void execDbccCheckIdent(SessionImpl& s, const sql::DbccCheckIdentStmt& st);
void execSetOption(SessionImpl& s, const sql::SetOptionStmt& st);
void execBlock(SessionImpl& s, const sql::BlockStmt& st);
void execIf(SessionImpl& s, const sql::IfStmt& st);
void execWhile(SessionImpl& s, const sql::WhileStmt& st);
void execPrint(SessionImpl& s, const sql::PrintStmt& st);
void execRaiserror(SessionImpl& s, const sql::RaiserrorStmt& st);
void execExec(SessionImpl& s, const sql::ExecStmt& st);
void execExecString(SessionImpl& s, const sql::ExecStringStmt& st);
void execCreateView(SessionImpl& s, const sql::CreateViewStmt& st); // also ALTER VIEW
void execDropViews(SessionImpl& s, const sql::DropObjectsStmt& st);
void execTruncate(SessionImpl& s, const sql::TruncateStmt& st);

// Evaluates an expression without a FROM clause (variables, literals, subqueries).
types::Value evaluate(SessionImpl& s, const sql::Expr& e, types::TypeSpec* type = nullptr);
// Truth of a search condition (IF, WHILE): NULL is false.
bool evaluateCondition(SessionImpl& s, const sql::Expr& e);

} // namespace engine::exec
