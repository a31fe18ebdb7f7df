#pragma once
// The actions of ALTER TABLE, one file each.

#include "engine/exec/SchemaSupport.h"

namespace engine::exec {

void alterAdd(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st);
void alterColumn(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st);
void alterRowGuidCol(TableUnderChange& tc, const QString& column, bool add);
void alterDrop(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st);

// Adds a PRIMARY KEY or UNIQUE constraint written in a statement (name made when absent).
void addKeyConstraint(TableUnderChange& tc, const sql::ConstraintDef& c);
// Gives a column a DEFAULT constraint (name made when absent): 1781 when it has a default.
void addDefaultConstraint(SessionImpl& s, TableUnderChange& tc, const QString& column, const sql::ConstraintDef& c);

// Names of the objects that depend on a column (indexes, constraints, defaults, computed
// columns), for ALTER/DROP COLUMN. `allowGrow`: indexes allow the change (a variable-length
// column only made longer); `allowDefault`: defaults allow it (same base type).
QStringList columnDependants(const catalog::Table& t, const catalog::Column& c, bool allowGrow, bool allowDefault);
// Reports 5074 for each dependant as a message and throws 4922.
[[noreturn]] void refuseForDependants(SessionImpl& s, const QStringList& objects, const QString& column, bool drop);

} // namespace engine::exec
