// ALTER DATABASE ... ADD FILEGROUP name | COLLATE name
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

using storage::quoteId;
using storage::Statement;

void execAlterDatabase(SessionImpl& s, const sql::AlterDatabaseStmt& st)
{
    auto name = s.databaseName(st.name);
    if (!name) throw Errors::databaseMissing(st.name);
    catalog::Catalog c = s.catalogFor(*name);
    switch (st.action) {
    case sql::AlterDatabaseAction::AddFileGroup: {
        if (st.value.trimmed().isEmpty() || st.value.size() > 128) throw Errors::syntax(st.value);
        Statement f(s.db(), QStringLiteral("SELECT 1 FROM %1.cat_filegroups WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
        f.bind(1, st.value);
        if (f.step()) throw Errors::fileGroupExists(st.value);
        Statement a(s.db(), QStringLiteral("INSERT INTO %1.cat_filegroups (groupid, name) SELECT coalesce(max(groupid), 0) + 1, ?1 "
                                           "FROM %1.cat_filegroups").arg(quoteId(c.schema())));
        a.bind(1, st.value).run();
        return;
    }
    case sql::AlterDatabaseAction::Collate: {
        const QString coll = checkedCollation(st.value);
        Statement u(s.db(), QStringLiteral("UPDATE %1.cat_databases SET collation = ?2 WHERE name = ?1 COLLATE NOCASE").arg(quoteId(s.masterSchema())));
        u.bind(1, *name).bind(2, coll).run();
        c.setSetting(QStringLiteral("collation"), coll);
        return;
    }
    case sql::AlterDatabaseAction::Other: break;
    }
    throw Errors::notSupported(QStringLiteral("this form of ALTER DATABASE"));
}

} // namespace engine::exec
