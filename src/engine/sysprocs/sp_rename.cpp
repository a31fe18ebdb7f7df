// sp_rename 'object', 'new' [, 'OBJECT' | 'COLUMN' | 'INDEX']: tables, procedures, defaults,
// constraints, columns and indexes. Key lists refer to columns by id, so they follow.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/AlterTableParts.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysprocs/ObjectNames.h"
#include "engine/sysviews/SystemViews.h"

namespace engine::sysprocs {

namespace {
void checkNewName(const QString& name)
{
    if (name.trimmed().isEmpty() || name.size() > 128)
        throw Errors::badParameter(QStringLiteral("sp_rename"), QStringLiteral("'%1' is not a valid new name.").arg(name));
}

void cautionAndDone(exec::SessionImpl& s, const QString& kind, const QString& name)
{
    inform(s, 15477, QStringLiteral("Caution: renaming an object can break scripts and procedures that use its old name."));
    inform(s, 15478, QStringLiteral("The %1 is now named '%2'.").arg(kind, name));
}

// 'table.part' resolved; 15248 when the table is missing.
exec::TableUnderChange tableOf(exec::SessionImpl& s, const QStringList& parts)
{
    sql::ObjectName t;
    t.name = parts[parts.size() - 2];
    if (parts.size() >= 3) t.owner = parts[parts.size() - 3];
    if (parts.size() >= 4) t.database = parts[parts.size() - 4];
    auto rt = s.findTable(t);
    if (!rt) throw Errors::renameAmbiguous();
    catalog::Catalog c = s.catalogFor(rt->database);
    return exec::TableUnderChange{std::move(*rt), std::move(c)};
}

void renameColumn(exec::SessionImpl& s, const QStringList& parts, const QString& newName)
{
    if (parts.size() < 2) throw Errors::renameAmbiguous();
    exec::TableUnderChange tc = tableOf(s, parts);
    catalog::Column* col = tc.table().column(parts.last());
    if (!col) throw Errors::renameAmbiguous();
    if (const catalog::Column* other = tc.table().column(newName); other && other->colid != col->colid)
        throw Errors::newNameInUse(newName);
    for (const catalog::Column& o : tc.table().columns)
        if (o.isComputed() && o.colid != col->colid && o.computedSql.contains(storage::quoteId(col->phys)))
            throw Errors::dependsOnColumn(o.name, col->name);
    col->name = newName;
    tc.catalog.saveTable(tc.table());
    cautionAndDone(s, QStringLiteral("column"), newName);
}

void renameIndex(exec::SessionImpl& s, const QStringList& parts, const QString& newName)
{
    if (parts.size() < 2) throw Errors::renameAmbiguous();
    exec::TableUnderChange tc = tableOf(s, parts);
    catalog::Table& t = tc.table();
    auto it = std::find_if(t.indexes.begin(), t.indexes.end(), [&](const catalog::Index& i) { return exec::sameName(i.name, parts.last()); });
    if (it == t.indexes.end()) throw Errors::renameAmbiguous();
    if (const catalog::Index* other = t.index(newName); other && other != &*it) throw Errors::newNameInUse(newName);
    if (it->constraintId) {
        auto o = tc.catalog.findObject(t.owner, newName, s.userName());
        if (o && o->id != it->constraintId) throw Errors::newNameInUse(newName);
        tc.catalog.renameObject(it->constraintId, newName);
    }
    it->name = newName;
    tc.catalog.saveTable(t);
    cautionAndDone(s, QStringLiteral("index"), newName);
}

void renameObject(exec::SessionImpl& s, const QString& objname, const QString& newName)
{
    sql::ObjectName n = objectName(objname);
    catalog::Catalog c = s.currentCatalog();
    if (!n.database.isEmpty() && !exec::sameName(n.database, s.currentDatabase()))
        throw Errors::badParameter(QStringLiteral("sp_rename"), QStringLiteral("objects can be renamed only in the current database."));
    auto o = c.findObject(n.owner, n.name, s.userName());
    if (!o) throw Errors::noItemByName(objname);
    if (auto other = c.findObject(o->owner, newName, o->owner); other && other->id != o->id) throw Errors::newNameInUse(newName);
    // a system table's name, of the owner the table keeps, would hide the table
    if (o->parentId == 0 && sysviews::find(o->owner, newName)) throw Errors::newNameInUse(newName);
    c.renameObject(o->id, newName);
    if (o->parentId != 0) {
        // a constraint: its index or column default carries the name too
        catalog::Table t = c.loadTable(o->parentId);
        for (catalog::Index& ix : t.indexes)
            if (ix.constraintId == o->id) ix.name = newName;
        for (catalog::Column& col : t.columns)
            if (col.defaultId == o->id) col.defaultName = newName;
        c.saveTable(t);
    } else if (o->xtype == QLatin1String("D")) {
        // a default object: its bindings follow the new name
        for (const char* table : {"cat_columns", "cat_types"}) {
            storage::Statement u(c.db(), QStringLiteral("UPDATE %1.%2 SET bound_default = ?2 WHERE bound_default = ?1 COLLATE NOCASE")
                                             .arg(storage::quoteId(c.schema()), QLatin1String(table)));
            u.bind(1, o->name).bind(2, newName).run();
        }
    } else if (o->xtype == QLatin1String("U")) {
        catalog::Table t = c.loadTable(o->id);
        t.name = newName;
        c.saveTable(t);
    }
    cautionAndDone(s, QStringLiteral("object"), newName);
}
} // namespace

void sp_rename(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString objname = requiredArg(args, 0, "objname", "sp_rename");
    const QString newName = requiredArg(args, 1, "newname", "sp_rename");
    const QString type = optionalArg(args, 2, "objtype").value_or(QString()).trimmed().toUpper();
    checkNewName(newName);
    if (type == QLatin1String("COLUMN")) return renameColumn(s, splitName(objname), newName);
    if (type == QLatin1String("INDEX")) return renameIndex(s, splitName(objname), newName);
    if (type.isEmpty() || type == QLatin1String("OBJECT")) return renameObject(s, objname, newName);
    throw Errors::badParameter(QStringLiteral("sp_rename"), QStringLiteral("'%1' is not a type of object that can be renamed.").arg(type));
}

} // namespace engine::sysprocs
