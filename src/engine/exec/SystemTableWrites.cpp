// Refusal of writes to the system tables and views.
#include "engine/exec/SystemTableWrites.h"

#include "engine/Errors.h"
#include "engine/sysviews/SystemViews.h"

namespace engine::exec {

using namespace engine::sql;

namespace {

// The system table `alias` stands for in r, or null.
const NamedTableRef* aliasOfSystemTable(const TableRef& r, const QString& alias)
{
    if (const auto* n = tryAs<const NamedTableRef>(&r))
        return !n->alias.isEmpty() && n->alias.compare(alias, Qt::CaseInsensitive) == 0 && sysviews::find(n->name.owner, n->name.name) ? n
                                                                                                                                : nullptr;
    if (const auto* j = tryAs<const JoinTableRef>(&r)) {
        const NamedTableRef* left = aliasOfSystemTable(*j->left, alias);
        return left ? left : aliasOfSystemTable(*j->right, alias);
    }
    return nullptr;
}

} // namespace

void refuseSystemTableWrite(const ObjectName& target)
{
    if (sysviews::find(target.owner, target.name)) throw Errors::systemTableWrite(target.text());
}

void refuseSystemTableWrite(const ObjectName& target, const std::vector<TableRefPtr>& from)
{
    refuseSystemTableWrite(target);
    if (!target.database.isEmpty() || !target.owner.isEmpty()) return;
    for (const TableRefPtr& r : from)
        if (const NamedTableRef* n = aliasOfSystemTable(*r, target.name)) throw Errors::systemTableWrite(n->name.text());
}

void refuseSystemTableName(const ObjectName& written)
{
    if (sysviews::find(written.owner, written.name)) throw Errors::objectExists(written.name);
}

} // namespace engine::exec
