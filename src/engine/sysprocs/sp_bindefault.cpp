// sp_bindefault 'default', 'table.column' | 'usertype' [, 'futureonly'] and sp_unbindefault.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysprocs/ObjectNames.h"

namespace engine::sysprocs {

using storage::quoteId;
using storage::Statement;

namespace {
// The user type named by objname, as recorded; empty when none.
QString userType(const catalog::Catalog& c, const QString& name)
{
    Statement st(c.db(), QStringLiteral("SELECT name FROM %1.cat_types WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
    st.bind(1, name);
    return st.step() ? st.text(0) : QString();
}

// 'table.column' (or 'owner.table.column') resolved to the table and its column.
std::optional<std::pair<exec::TableUnderChange, QString>> tableColumn(exec::SessionImpl& s, const QString& objname)
{
    QStringList parts = splitName(objname);
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    sql::ObjectName t;
    t.name = parts[parts.size() - 2];
    if (parts.size() == 3) t.owner = parts[0];
    auto rt = s.findTable(t);
    if (!rt) return std::nullopt;
    catalog::Catalog c = s.catalogFor(rt->database);
    const catalog::Column* col = rt->table.column(parts.last());
    if (!col) return std::nullopt;
    QString name = col->name;
    return std::make_pair(exec::TableUnderChange{std::move(*rt), std::move(c)}, name);
}
} // namespace

void sp_bindefault(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString defname = requiredArg(args, 0, "defname", "sp_bindefault");
    const QString objname = requiredArg(args, 1, "objname", "sp_bindefault");
    const bool futureOnly = optionalArg(args, 2, "futureonly").value_or(QString()).compare(QLatin1String("futureonly"), Qt::CaseInsensitive) == 0;
    catalog::Catalog c = s.currentCatalog();
    sql::ObjectName dn = objectName(defname);
    auto d = c.findObject(dn.owner, dn.name, s.userName());
    if (!d || d->xtype != QLatin1String("D") || d->parentId != 0) throw Errors::defaultMissing(defname);

    if (!objname.contains(QLatin1Char('.'))) {
        const QString type = userType(c, objname.trimmed());
        if (type.isEmpty()) throw Errors::columnOrTypeMissing(objname);
        Statement u(c.db(), QStringLiteral("UPDATE %1.cat_types SET bound_default = ?2 WHERE name = ?1").arg(quoteId(c.schema())));
        u.bind(1, type).bind(2, d->name).run();
        inform(s, 15514, QStringLiteral("The default is now bound to the data type."));
        if (!futureOnly) {
            // columns of the type that have no default of their own follow it
            Statement cols(c.db(), QStringLiteral("UPDATE %1.cat_columns SET bound_default = ?2 WHERE user_type = ?1 COLLATE NOCASE "
                                                  "AND default_text IS NULL AND (bound_default IS NULL OR bound_default = '')")
                                       .arg(quoteId(c.schema())));
            cols.bind(1, type).bind(2, d->name).run();
            inform(s, 15516, QStringLiteral("Columns of the type now use the new default."));
        }
        return;
    }
    auto tc = tableColumn(s, objname);
    if (!tc) throw Errors::columnOrTypeMissing(objname);
    catalog::Column* col = tc->first.table().column(tc->second);
    if (!col->defaultText.isEmpty()) throw Errors::columnHasDefaultConstraint(col->name);
    if (col->identity || col->isComputed() || col->type.type == types::Type::Timestamp)
        throw Errors::make(1752, QStringLiteral("Column '%1' cannot have a default.").arg(col->name));
    col->boundDefault = d->name;
    tc->first.catalog.saveTable(tc->first.table());
    inform(s, 15511, QStringLiteral("The default is now bound to the column."));
}

void sp_unbindefault(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString objname = requiredArg(args, 0, "objname", "sp_unbindefault");
    catalog::Catalog c = s.currentCatalog();
    if (!objname.contains(QLatin1Char('.'))) {
        const QString type = userType(c, objname.trimmed());
        if (type.isEmpty()) throw Errors::columnOrTypeMissing(objname);
        Statement u(c.db(), QStringLiteral("UPDATE %1.cat_types SET bound_default = NULL WHERE name = ?1").arg(quoteId(c.schema())));
        u.bind(1, type).run();
        inform(s, 15517, QStringLiteral("The default is no longer bound to the data type."));
        return;
    }
    auto tc = tableColumn(s, objname);
    if (!tc) throw Errors::columnOrTypeMissing(objname);
    catalog::Column* col = tc->first.table().column(tc->second);
    if (col->boundDefault.isEmpty()) throw Errors::noDefaultBound(objname);
    col->boundDefault.clear();
    tc->first.catalog.saveTable(tc->first.table());
    inform(s, 15519, QStringLiteral("The default is no longer bound to the table column."));
}

} // namespace engine::sysprocs
