// ALTER TABLE ... DROP COLUMN and DROP CONSTRAINT.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/AlterTableParts.h"

namespace engine::exec {

namespace {
void dropConstraint(TableUnderChange& tc, const QString& name)
{
    catalog::Table& t = tc.table();
    for (const catalog::Index& ix : t.indexes)
        if (ix.isConstraint() && sameName(ix.name, name)) {
            removeIndex(tc, ix.name);
            return;
        }
    for (catalog::Column& c : t.columns)
        if (!c.defaultName.isEmpty() && sameName(c.defaultName, name)) {
            if (c.defaultId) tc.catalog.removeObject(c.defaultId);
            c.defaultName.clear();
            c.defaultText.clear();
            c.defaultId = 0;
            tc.catalog.saveTable(t);
            return;
        }
    throw Errors::notAConstraint(name);
}

void dropColumns(SessionImpl& s, TableUnderChange& tc, const std::vector<QString>& names)
{
    catalog::Table before = tc.table();
    catalog::Table& t = tc.table();
    for (const QString& name : names) {
        catalog::Column* col = t.column(name);
        if (!col) throw Errors::columnMissing(name, t.name, true);
        if (t.columns.size() == 1) throw Errors::onlyColumn(col->name, t.name);
        QStringList dependants = columnDependants(t, *col, false, false);
        dependants.removeAll(col->boundDefault); // a bound default object is simply unbound
        if (!dependants.isEmpty()) refuseForDependants(s, dependants, col->name, true);
        if (s.identityInsert && s.identityInsert->tableId == t.id && col->identity) s.identityInsert.reset();
        const int colid = col->colid;
        t.columns.erase(std::remove_if(t.columns.begin(), t.columns.end(), [&](const catalog::Column& c) { return c.colid == colid; }),
                        t.columns.end());
    }
    tc.catalog.rebuildTable(before, t);
}
} // namespace

void alterDrop(SessionImpl& s, TableUnderChange& tc, const sql::AlterTableStmt& st)
{
    std::vector<QString> columns;
    for (const sql::DropItem& d : st.drops) {
        if (d.column) {
            columns.push_back(d.name);
        } else {
            if (!columns.empty()) {
                dropColumns(s, tc, columns);
                columns.clear();
            }
            dropConstraint(tc, d.name);
        }
    }
    if (!columns.empty()) dropColumns(s, tc, columns);
}

} // namespace engine::exec
