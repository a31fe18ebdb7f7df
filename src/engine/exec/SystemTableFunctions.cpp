// Table-valued system functions in FROM: ::fn_helpcollations().
#include "engine/Errors.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Translator.h"
#include "engine/functions/CollationList.h"
#include "engine/storage/Sqlite.h"

namespace engine::exec {

namespace {
// The collations as a SQLite VALUES list, built once.
const QString& collationRows()
{
    static const QString sql = [] {
        QStringList rows;
        for (const QString& n : functions::collationNames())
            rows << QStringLiteral("(%1, %2)").arg(storage::quoteText(n), storage::quoteText(functions::collationDescription(n)));
        return QStringLiteral("VALUES ") + rows.join(QLatin1Char(','));
    }();
    return sql;
}
} // namespace

QString systemTableFunction(Translator& tr, const sql::FunctionTableRef& f, Scope& scope)
{
    if (f.name.name.compare(QLatin1String("fn_helpcollations"), Qt::CaseInsensitive) != 0 || !f.args.empty())
        throw Errors::make(208, QStringLiteral("Object '%1' does not exist.").arg(f.name.name));
    ScopeSource src;
    src.alias = f.alias.isEmpty() ? f.name.name : f.alias;
    src.hasAlias = !f.alias.isEmpty();
    src.sqlAlias = tr.newAlias();
    const types::TypeSpec name = types::makeSpec(types::Type::NVarChar, 128, std::nullopt, std::nullopt);
    const types::TypeSpec desc = types::makeSpec(types::Type::NVarChar, 1000, std::nullopt, std::nullopt);
    src.columns.push_back({QStringLiteral("name"), src.sqlAlias + QStringLiteral(".\"column1\""), name, false, nullptr});
    src.columns.push_back({QStringLiteral("description"), src.sqlAlias + QStringLiteral(".\"column2\""), desc, false, nullptr});
    QString sql = QStringLiteral("(%1) AS %2").arg(collationRows(), src.sqlAlias);
    scope.sources.push_back(std::move(src));
    return sql;
}

} // namespace engine::exec
