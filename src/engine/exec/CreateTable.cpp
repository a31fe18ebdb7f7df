#include "engine/Errors.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Statements.h"
#include "engine/exec/TableBuilder.h"
#include "engine/exec/Translator.h"

namespace engine::exec {

using namespace engine::sql;

void execCreateTable(SessionImpl& s, const CreateTableStmt& st)
{
    if (st.table.name.startsWith(QLatin1Char('#'))) throw Errors::notSupported(QStringLiteral("temporary tables (%1)").arg(st.table.name));
    if (!st.table.server.isEmpty()) throw Errors::notSupported(QStringLiteral("linked servers (%1)").arg(st.table.server));
    QString db = st.table.database.isEmpty() ? s.currentDatabase() : st.table.database;
    auto dbName = s.databaseName(db);
    if (!dbName) throw Errors::databaseMissing(db);
    catalog::Catalog cat = s.catalogFor(*dbName);
    catalog::Table t;
    t.name = st.table.name;
    t.owner = st.table.owner.isEmpty() ? s.defaultOwner() : st.table.owner;
    if (t.name.size() > 128)
        throw Errors::make(103, 15, QStringLiteral("The identifier that starts with '%1' is too long. Maximum length is 128.").arg(t.name.left(128)));
    if (cat.objectNameTaken(t.owner, t.name)) throw Errors::objectExists(t.name);
    t.fileGroup = checkedFileGroup(cat, st.fileGroup);

    TableBuilder b(s, cat, t);
    for (const ColumnDef& c : st.columns) b.addColumn(c);
    for (const ColumnDef& c : st.columns)
        for (const ConstraintDef& k : c.constraints) b.addConstraint(k, c.name);
    for (const ConstraintDef& k : st.constraints) b.addConstraint(k, QString());
    b.finish();
    cat.createTable(t);
}

} // namespace engine::exec
