#include "engine/Errors.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysprocs/SystemProcedures.h"

namespace engine::sysprocs {

namespace {
void requireSysadmin(exec::SessionImpl& s, const char* proc)
{
    if (!s.isSysadmin())
        throw Errors::make(15247, QStringLiteral("Only a system administrator can run %1.").arg(QLatin1String(proc)));
}
} // namespace

// sp_addlogin 'login' [, 'password' [, 'defaultdb']]
void sp_addlogin(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    requireSysadmin(s, "sp_addlogin");
    const ProcArg* login = arg(args, 0, "loginame");
    if (!login || login->text().trimmed().isEmpty())
        throw Errors::make(201, QStringLiteral("Procedure 'sp_addlogin' needs parameter '@loginame', which was not given."));
    QString name = login->text();
    if (name.contains(QLatin1Char('\\')))
        throw Errors::make(15006, QStringLiteral("'%1' holds characters a name cannot have.").arg(name));
    const ProcArg* pwd = arg(args, 1, "passwd");
    const ProcArg* db = arg(args, 2, "defdb");
    QString master = s.masterSchema();
    storage::Statement exists(s.db(), QStringLiteral("SELECT 1 FROM %1.cat_logins WHERE name = ?1 COLLATE TSQL_CI").arg(storage::quoteId(master)));
    exists.bind(1, name);
    if (exists.step()) throw Errors::make(15025, QStringLiteral("A login named '%1' already exists.").arg(name));
    QString defdb = db ? db->text() : QStringLiteral("master");
    if (!s.databaseName(defdb)) throw Errors::databaseMissing(defdb);
    s.server().addLogin(s.db(), master, name, pwd ? pwd->text() : QString(), defdb);
    s.addMessage(Message{0, 10, 1, 0, QStringLiteral("The login was created.")});
}

// sp_droplogin 'login'
void sp_droplogin(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    requireSysadmin(s, "sp_droplogin");
    const ProcArg* login = arg(args, 0, "loginame");
    if (!login) throw Errors::make(201, QStringLiteral("Procedure 'sp_droplogin' needs parameter '@loginame', which was not given."));
    storage::Statement st(s.db(), QStringLiteral("DELETE FROM %1.cat_logins WHERE name = ?1 COLLATE TSQL_CI").arg(storage::quoteId(s.masterSchema())));
    st.bind(1, login->text());
    st.run();
    if (sqlite3_changes(s.db()) == 0) throw Errors::make(15007, QStringLiteral("Login '%1' does not exist or you may not drop it.").arg(login->text()));
    s.addMessage(Message{0, 10, 1, 0, QStringLiteral("The login was dropped.")});
}

} // namespace engine::sysprocs
