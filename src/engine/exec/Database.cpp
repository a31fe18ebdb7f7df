// CREATE DATABASE, DROP DATABASE and USE.

#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"

#include <QFileInfo>

#include <algorithm>

namespace engine::exec {

using namespace engine::sql;

void execCreateDatabase(SessionImpl& s, const CreateDatabaseStmt& st)
{
    if (s.tranCount() > 0)
        throw Errors::make(226, QStringLiteral("CREATE DATABASE cannot run inside a transaction."));
    if (st.name.isEmpty() || st.name.size() > 123)
        throw Errors::make(103, QStringLiteral("The database name '%1' is not valid.").arg(st.name));
    if (s.databaseName(st.name)) throw Errors::databaseExists(st.name);
    s.server().createDatabase(s.db(), s.masterSchema(), st.name, st.collation);
    s.addMessage(Message{0, 0, 1, st.line, QStringLiteral("Allocating space for database '%1'.").arg(st.name)});
}

void execDropDatabase(SessionImpl& s, const DropObjectsStmt& st)
{
    if (s.tranCount() > 0)
        throw Errors::make(226, QStringLiteral("DROP DATABASE cannot run inside a transaction."));
    for (const ObjectName& n : st.names) {
        auto name = s.databaseName(n.name);
        if (!name) throw Errors::cannotDrop(QStringLiteral("database"), n.name);
        static const QStringList system = {QStringLiteral("master"), QStringLiteral("model"), QStringLiteral("msdb"), QStringLiteral("tempdb")};
        for (const QString& sys : system)
            if (name->compare(sys, Qt::CaseInsensitive) == 0)
                throw Errors::make(3708, QStringLiteral("Database %1 is a system database and cannot be dropped.").arg(*name));
        const auto same = [&](const QString& db) { return name->compare(db, Qt::CaseInsensitive) == 0; };
        if (same(s.currentDatabase()) || std::any_of(s.callerDatabases.begin(), s.callerDatabases.end(), same) ||
            s.server().databaseInUseByOthers(s.spid(), *name))
            throw Errors::databaseInUse(*name);
        auto entry = s.server().database(*name);
        // a transaction of another session that uses it holds its lock until it ends
        const QString file = QFileInfo(entry->file).absoluteFilePath();
        DatabaseLocks& locks = s.server().databaseLocks();
        if (locks.acquire(file, s.spid(), true, 0) != DatabaseLocks::Granted) throw Errors::databaseInUse(*name);
        struct Release {
            DatabaseLocks& locks;
            const QString& file;
            int spid;
            ~Release() { locks.release(file, spid); }
        } release{locks, file, s.spid()};
        s.detachDatabase(*name);
        s.server().dropDatabase(s.db(), s.masterSchema(), *entry);
        s.server().deleteDatabaseFile(entry->file);
        s.server().forgetDatabase(*name);
        s.addMessage(Message{0, 0, 1, st.line, QStringLiteral("Removing database file '%1'.").arg(QFileInfo(entry->file).fileName())});
    }
}

void execUse(SessionImpl& s, const UseStmt& st)
{
    s.useDatabase(st.database);
    Message m = Errors::changedDatabase(s.currentDatabase());
    m.line = st.line;
    s.addMessage(m);
}

} // namespace engine::exec
