#include "dmo/Defaults.h"

namespace dmo {

namespace {
// uid 1 is dbo; other owners are not told apart by the catalog.
QString ownerOf(const QVariant& uid) { return uid.toInt() == 1 ? QStringLiteral("dbo") : QString(); }
} // namespace

std::vector<DefaultPtr> Defaults::load() {
    engine::ResultSet rs = conn_->query(
        database_, QStringLiteral("SELECT name, uid FROM sysobjects "
                                  "WHERE xtype = 'D' AND parent_obj = 0 ORDER BY name"));
    std::vector<DefaultPtr> items;
    for (size_t r = 0; r < rs.rows.size(); ++r)
        items.push_back(std::make_shared<Default>(rs.text(r, 0), ownerOf(rs.rows[r][1])));
    return items;
}

} // namespace dmo
