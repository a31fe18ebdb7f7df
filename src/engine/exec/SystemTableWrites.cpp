// Refusal of writes to the system tables and views.
#include "engine/exec/SystemTableWrites.h"

#include "engine/Errors.h"
#include "engine/sysviews/SystemViews.h"

namespace engine::exec {

using namespace engine::sql;

namespace {

bool aliasOfSystemTable(const TableRef& r, const QString& alias)
{
    if (const auto* n = tryAs<const NamedTableRef>(&r))
        return !n->alias.isEmpty() && n->alias.compare(alias, Qt::CaseInsensitive) == 0 && sysviews::find(n->name.owner, n->name.name);
    if (const auto* j = tryAs<const JoinTableRef>(&r)) return aliasOfSystemTable(*j->left, alias) || aliasOfSystemTable(*j->right, alias);
    return false;
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
        if (aliasOfSystemTable(*r, target.name)) throw Errors::systemTableWrite(target.name);
}

void refuseSystemTableName(const ObjectName& written)
{
    if (sysviews::find(written.owner, written.name)) throw Errors::objectExists(written.name);
}

} // namespace engine::exec
