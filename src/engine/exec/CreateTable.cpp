#include "engine/Errors.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Statements.h"
#include "engine/exec/SystemTableWrites.h"
#include "engine/exec/TableBuilder.h"
#include "engine/exec/Translator.h"

namespace engine::exec {

using namespace engine::sql;

void execCreateTable(SessionImpl& s, const CreateTableStmt& st)
{
    if (!st.table.server.isEmpty()) throw Errors::notSupported(QStringLiteral("linked servers (%1)").arg(st.table.server));
    refuseSystemTableName(st.table);
    sql::ObjectName name = s.tempName(st.table);
    bool temp = SessionImpl::isTempName(st.table.name);
    if (temp && st.table.name.size() > 116)
        throw Errors::make(193, QStringLiteral("The name starting with '%1' is longer than 116 characters.").arg(st.table.name.left(116)));
    QString db = name.database.isEmpty() ? s.currentDatabase() : name.database;
    auto dbName = s.databaseName(db);
    if (!dbName) throw Errors::databaseMissing(db);
    catalog::Catalog cat = s.catalogFor(*dbName);
    catalog::Table t;
    t.name = name.name;
    t.owner = name.owner.isEmpty() ? s.defaultOwner() : name.owner;
    if (t.name.size() > 128)
        throw Errors::make(103, QStringLiteral("The name starting with '%1' is longer than 128 characters.").arg(t.name.left(128)));
    if (cat.objectNameTaken(t.owner, t.name)) throw Errors::objectExists(st.table.name);
    t.fileGroup = checkedFileGroup(cat, st.fileGroup);

    TableBuilder b(s, cat, t);
    for (const ColumnDef& c : st.columns) b.addColumn(c);
    for (const ColumnDef& c : st.columns)
        for (const ConstraintDef& k : c.constraints) b.addConstraint(k, c.name);
    for (const ConstraintDef& k : st.constraints) b.addConstraint(k, QString());
    b.finish();
    cat.createTable(t);
    if (temp) s.noteTempTable(t.name);
}

} // namespace engine::exec
