#include "engine/instance/InstanceImpl.h"
#include "engine/sysprocs/SystemProcedures.h"

#include <QFileInfo>

namespace engine::sysprocs {

// sp_databases: every database with its size in kilobytes.
void sp_databases(exec::SessionImpl& s, const std::vector<ProcArg>&)
{
    using types::Type;
    ResultSet rs;
    rs.columns = {exec::columnInfo(QStringLiteral("DATABASE_NAME"), types::makeSpec(Type::SysName, {}, {}, {}), false),
                  exec::columnInfo(QStringLiteral("DATABASE_SIZE"), types::makeSpec(Type::Int, {}, {}, {}), true),
                  exec::columnInfo(QStringLiteral("REMARKS"), types::makeSpec(Type::VarChar, 254, {}, {}), true)};
    std::vector<DatabaseEntry> dbs = s.server().databases();
    std::sort(dbs.begin(), dbs.end(), [](const DatabaseEntry& a, const DatabaseEntry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    for (const DatabaseEntry& e : dbs) {
        qint64 bytes = QFileInfo(e.file).size() + QFileInfo(e.file + QStringLiteral("-wal")).size();
        rs.rows.push_back({QVariant(e.name), QVariant(qlonglong(bytes / 1024)), QVariant()});
    }
    s.setRowCount(static_cast<long long>(rs.rows.size()));
    s.addResultSet(std::move(rs));
}

} // namespace engine::sysprocs
