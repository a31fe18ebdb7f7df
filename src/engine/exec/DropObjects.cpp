#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/exec/Views.h"
#include "engine/instance/InstanceImpl.h"

namespace engine::exec {

using namespace engine::sql;

void execDropObjects(SessionImpl& s, const DropObjectsStmt& st)
{
    switch (st.objectType) {
    case ObjectType::Table:
        for (const ObjectName& n : st.names) {
            auto t = s.findTable(n);
            if (!t && findView(s, n))
                throw Errors::make(3705, QStringLiteral("'%1' is a view, not a table: drop it with DROP VIEW.").arg(n.name));
            if (!t) throw Errors::cannotDrop(QStringLiteral("table"), n.text());
            catalog::Catalog cat = s.catalogFor(t->database);
            cat.dropTable(t->table);
            s.server().forgetIdentity(t->database, t->table.id);
            if (s.identityInsert && s.identityInsert->tableId == t->table.id &&
                s.identityInsert->database.compare(t->database, Qt::CaseInsensitive) == 0)
                s.identityInsert.reset();
        }
        return;
    case ObjectType::Default: throw Errors::notSupported(QStringLiteral("DROP DEFAULT yet"));
    case ObjectType::Procedure: throw Errors::notSupported(QStringLiteral("DROP PROCEDURE yet"));
    case ObjectType::Database: return execDropDatabase(s, st);
    case ObjectType::View: return execDropViews(s, st);
    }
}

} // namespace engine::exec
