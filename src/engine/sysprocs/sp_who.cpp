#include "engine/instance/InstanceImpl.h"
#include "engine/sysprocs/SystemProcedures.h"

#include <QSysInfo>

namespace engine::sysprocs {

// sp_who [login]: the sessions of the instance.
void sp_who(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    using types::Type;
    const ProcArg* login = arg(args, 0, "loginame");
    auto col = [](const char* name, Type t, int len = 0) {
        return exec::columnInfo(QLatin1String(name), types::makeSpec(t, len ? std::optional<int>(len) : std::nullopt, {}, {}), true);
    };
    ResultSet rs;
    rs.columns = {col("spid", Type::SmallInt), col("ecid", Type::SmallInt), col("status", Type::NChar, 30),
                  col("loginame", Type::NChar, 128), col("hostname", Type::NChar, 128), col("blk", Type::Char, 5),
                  col("dbname", Type::NVarChar, 128), col("cmd", Type::NChar, 16)};
    for (const auto& e : s.server().sessions()) {
        if (login && e.login.compare(login->text(), Qt::CaseInsensitive) != 0) continue;
        bool self = e.spid == s.spid();
        rs.rows.push_back({QVariant(qlonglong(e.spid)), QVariant(qlonglong(0)),
                           QVariant(self ? QStringLiteral("runnable") : QStringLiteral("sleeping")), QVariant(e.login),
                           QVariant(QSysInfo::machineHostName()), QVariant(QStringLiteral("0")), QVariant(e.database),
                           QVariant(self ? QStringLiteral("SELECT") : QStringLiteral("AWAITING COMMAND"))});
    }
    s.setRowCount(static_cast<long long>(rs.rows.size()));
    s.addResultSet(std::move(rs));
}

} // namespace engine::sysprocs
