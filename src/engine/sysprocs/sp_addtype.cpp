// sp_addtype name, 'basetype(n)' [, 'NULL' | 'NOT NULL'] and sp_droptype name.
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysprocs/ObjectNames.h"

namespace engine::sysprocs {

using storage::quoteId;
using storage::Statement;

namespace {
bool typeExists(const catalog::Catalog& c, const QString& name)
{
    if (types::typeByName(name)) return true;
    Statement st(c.db(), QStringLiteral("SELECT 1 FROM %1.cat_types WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
    st.bind(1, name);
    return st.step();
}
} // namespace

void sp_addtype(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString name = requiredArg(args, 0, "typename", "sp_addtype").trimmed();
    const QString phys = requiredArg(args, 1, "phystype", "sp_addtype");
    const QString nulls = optionalArg(args, 2, "nulltype").value_or(QStringLiteral("NULL")).simplified().toUpper();
    if (name.isEmpty() || name.size() > 128 || name.startsWith(QLatin1Char('@')) || name.contains(QLatin1Char('.')))
        throw Errors::badParameter(QStringLiteral("sp_addtype"), QStringLiteral("'%1' is not a valid type name.").arg(name));
    catalog::Catalog c = s.currentCatalog();
    if (typeExists(c, name)) throw Errors::typeExists(name);
    bool nullable = true;
    if (nulls == QLatin1String("NOT NULL") || nulls == QLatin1String("NONULL")) nullable = false;
    else if (nulls != QLatin1String("NULL"))
        throw Errors::badParameter(QStringLiteral("sp_addtype"), QStringLiteral("the null type must be NULL or NOT NULL, not '%1'.").arg(nulls));
    sql::DataType dt = sql::parseDataType(phys);
    auto base = types::typeByName(dt.name);
    if (!base || !dt.owner.isEmpty()) throw Errors::typeUnknownBase(dt.name);
    if (*base == types::Type::Timestamp || *base == types::Type::SqlVariant) throw Errors::typeUnknownBase(dt.name);
    types::TypeSpec spec = types::makeSpec(*base, dt.length, dt.precision, dt.scale);
    Statement next(c.db(), QStringLiteral("SELECT coalesce(max(usertype), 256) + 1 FROM %1.cat_types").arg(quoteId(c.schema())));
    next.step();
    Statement ins(c.db(), QStringLiteral("INSERT INTO %1.cat_types (name, base_type, length, prec, scale, nullable, bound_default, usertype) "
                                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, NULL, ?7)").arg(quoteId(c.schema())));
    ins.bind(1, name).bind(2, static_cast<int>(spec.type)).bind(3, spec.length).bind(4, spec.precision).bind(5, spec.scale)
        .bind(6, nullable).bind(7, next.integer(0)).run();
    inform(s, 15443, QStringLiteral("The type was added."));
}

void sp_droptype(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString name = requiredArg(args, 0, "typename", "sp_droptype").trimmed();
    catalog::Catalog c = s.currentCatalog();
    Statement f(c.db(), QStringLiteral("SELECT name FROM %1.cat_types WHERE name = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
    f.bind(1, name);
    if (!f.step()) throw Errors::typeNotFound(name);
    const QString recorded = f.text(0);
    Statement used(c.db(), QStringLiteral("SELECT 1 FROM %1.cat_columns WHERE user_type = ?1 COLLATE NOCASE").arg(quoteId(c.schema())));
    used.bind(1, recorded);
    if (used.step()) throw Errors::typeInUse(recorded);
    Statement del(c.db(), QStringLiteral("DELETE FROM %1.cat_types WHERE name = ?1").arg(quoteId(c.schema())));
    del.bind(1, recorded).run();
    inform(s, 15445, QStringLiteral("The type was dropped."));
}

} // namespace engine::sysprocs
