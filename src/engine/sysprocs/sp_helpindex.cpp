// sp_helpindex 'table': one row per index with its description and key columns.
#include "engine/ErrorsSchema.h"
#include "engine/sysprocs/ObjectNames.h"

namespace engine::sysprocs {

QString indexDescription(const catalog::Index& ix)
{
    QStringList parts;
    parts << (ix.clustered ? QStringLiteral("clustered") : QStringLiteral("nonclustered"));
    if (ix.ignoreDupKey) parts << QStringLiteral("ignore duplicate keys");
    if (ix.unique) parts << QStringLiteral("unique");
    if (ix.primaryKey) parts << QStringLiteral("primary key");
    if (ix.uniqueKey) parts << QStringLiteral("unique key");
    if (ix.noRecompute) parts << QStringLiteral("stats no recompute");
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" located on ") + ix.fileGroup;
}

QString indexKeysText(const catalog::Table& t, const catalog::Index& ix)
{
    QStringList keys;
    for (const catalog::IndexKey& k : ix.keys) {
        const catalog::Column* c = t.columnById(k.colid);
        keys << (c ? c->name : QString()) + (k.descending ? QStringLiteral("(-)") : QString());
    }
    return keys.join(QStringLiteral(", "));
}

void sp_helpindex(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString name = requiredArg(args, 0, "objname", "sp_helpindex");
    auto t = s.findTable(objectName(name));
    if (!t) throw Errors::objectNotInDatabase(name, s.currentDatabase());
    std::vector<catalog::Index> indexes = t->table.indexes;
    if (indexes.empty()) {
        inform(s, 15472, QStringLiteral("Table '%1' has no indexes.").arg(t->table.name));
        return;
    }
    // by name as the server's collation orders it: letters before case and accents
    auto key = [](const QString& n) {
        QString k;
        for (QChar ch : n.normalized(QString::NormalizationForm_D))
            if (ch.category() != QChar::Mark_NonSpacing) k += ch.toLower();
        return k;
    };
    std::sort(indexes.begin(), indexes.end(), [&](const catalog::Index& a, const catalog::Index& b) {
        const QString ka = key(a.name), kb = key(b.name);
        return ka != kb ? ka < kb : a.name < b.name;
    });
    using types::Type;
    ResultSet rs;
    rs.columns.push_back(exec::columnInfo(QStringLiteral("index_name"), types::makeSpec(Type::NVarChar, 128, std::nullopt, std::nullopt), false));
    rs.columns.push_back(exec::columnInfo(QStringLiteral("index_description"), types::makeSpec(Type::VarChar, 210, std::nullopt, std::nullopt), true));
    rs.columns.push_back(exec::columnInfo(QStringLiteral("index_keys"), types::makeSpec(Type::NVarChar, 2078, std::nullopt, std::nullopt), true));
    for (const catalog::Index& ix : indexes)
        rs.rows.push_back(Row{QVariant(ix.name), QVariant(indexDescription(ix)), QVariant(indexKeysText(t->table, ix))});
    s.addResultSet(std::move(rs));
}

} // namespace engine::sysprocs
