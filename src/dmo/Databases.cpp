#include "dmo/Databases.h"

namespace dmo {

std::vector<DatabasePtr> Databases::load() {
    engine::ResultSet rs =
        conn_->query({}, QStringLiteral("SELECT name FROM master.dbo.sysdatabases ORDER BY name"));
    std::vector<DatabasePtr> items;
    for (size_t r = 0; r < rs.rows.size(); ++r)
        items.push_back(std::make_shared<Database>(conn_, rs.text(r, 0)));
    return items;
}

} // namespace dmo
