// ALTER TABLE: routes the action to its own file.
#include "engine/exec/AlterTableParts.h"
#include "engine/exec/SchemaStatements.h"

namespace engine::exec {

void execAlterTable(SessionImpl& s, const sql::AlterTableStmt& st)
{
    TableUnderChange tc = tableForAlter(s, st.table);
    switch (st.action) {
    case sql::AlterTableAction::Add: alterAdd(s, tc, st); break;
    case sql::AlterTableAction::AlterColumn: alterColumn(s, tc, st); break;
    case sql::AlterTableAction::AddRowGuidCol: alterRowGuidCol(tc, st.column, true); break;
    case sql::AlterTableAction::DropRowGuidCol: alterRowGuidCol(tc, st.column, false); break;
    case sql::AlterTableAction::Drop: alterDrop(s, tc, st); break;
    case sql::AlterTableAction::CheckConstraint: break; // no CHECK or FOREIGN KEY constraints to switch
    }
}

} // namespace engine::exec
