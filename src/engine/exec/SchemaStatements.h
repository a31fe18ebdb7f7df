#pragma once
// Entry points of the schema statements that change tables after their creation, and of
// defaults, user types, filegroups and procedures. Dispatch routes the statements here.

#include "engine/exec/SessionImpl.h"
#include "engine/parser/Ast.h"

namespace engine::exec {

void execAlterTable(SessionImpl& s, const sql::AlterTableStmt& st);
void execCreateIndex(SessionImpl& s, const sql::CreateIndexStmt& st);
void execDropIndex(SessionImpl& s, const sql::DropIndexStmt& st);
void execAlterDatabase(SessionImpl& s, const sql::AlterDatabaseStmt& st); // ADD FILEGROUP, COLLATE

void execCreateDefault(SessionImpl& s, const sql::CreateDefaultStmt& st);
void execDropDefaults(SessionImpl& s, const sql::DropObjectsStmt& st);

void execCreateProcedure(SessionImpl& s, const sql::CreateProcedureStmt& st); // also ALTER PROCEDURE
void execDropProcedures(SessionImpl& s, const sql::DropObjectsStmt& st);
// EXEC of a stored or system procedure (2812 when there is none of that name).
void execProcedure(SessionImpl& s, const sql::ExecStmt& st);

// The expression text of a default object bound to the column (directly or through its user
// type), "(0)"; empty when none is bound. Used when a row is inserted without the column.
QString boundDefaultText(const catalog::Catalog& c, const catalog::Column& col);
// The expression text of the default object `name`, "(0)"; empty when there is none.
QString defaultObjectText(const catalog::Catalog& c, const QString& name);

} // namespace engine::exec

namespace engine::exec {
// RETURN [n]: keeps the status for the caller of the procedure and leaves it.
void execReturn(SessionImpl& s, const sql::ReturnStmt& st);
} // namespace engine::exec
