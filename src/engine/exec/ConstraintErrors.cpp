#include "engine/exec/ConstraintErrors.h"

#include "engine/Errors.h"

#include <set>

namespace engine::exec {

SqlError mapConstraintError(const SqlError& e, const ResolvedTable& t, bool update)
{
    if (e.number() != 3624) return e;
    const QString& text = e.message().text;
    auto colidOf = [&](const QString& ref) -> const catalog::Column* {
        QString phys = ref.section(QLatin1Char('.'), -1).trimmed();
        for (const catalog::Column& c : t.table.columns)
            if (c.phys == phys) return &c;
        return nullptr;
    };
    static const QString notNull = QStringLiteral("NOT NULL constraint failed: ");
    static const QString unique = QStringLiteral("UNIQUE constraint failed: ");
    if (int at = int(text.indexOf(notNull)); at >= 0) {
        const catalog::Column* c = colidOf(text.mid(at + notNull.size()));
        return Errors::notNull(c ? c->name : QStringLiteral("?"), t.displayName(), update);
    }
    if (int at = int(text.indexOf(unique)); at >= 0) {
        std::set<int> cols;
        const QString what = text.mid(at + unique.size());
        for (const QString& ref : what.split(QLatin1Char(',')))
            if (const catalog::Column* c = colidOf(ref)) cols.insert(c->colid);
        // an index on expressions is named: "index 't5_i2_n'"
        int byIndex = 0;
        if (what.startsWith(QLatin1String("index '"))) {
            const QString name = what.mid(7).section(QLatin1Char('\''), 0, 0);
            const QString prefix = t.table.phys() + QStringLiteral("_i");
            if (name.startsWith(prefix)) byIndex = name.mid(prefix.size()).section(QLatin1Char('_'), 0, 0).toInt();
        }
        for (const catalog::Index& ix : t.table.indexes) {
            if (!ix.unique) continue;
            std::set<int> keys;
            for (const catalog::IndexKey& k : ix.keys) keys.insert(k.colid);
            if (byIndex ? ix.indid != byIndex : keys != cols) continue;
            if (ix.isConstraint()) {
                QString kind = ix.primaryKey ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE KEY");
                return Errors::make(2627, QStringLiteral("%1 constraint '%2' refused a duplicate key in object '%3'.")
                                                  .arg(kind, ix.name, t.table.name));
            }
            return Errors::duplicateIndexKey(ix.name, t.table.name);
        }
        return Errors::make(2601, QStringLiteral("A unique index of object '%1' refused a duplicate key row.").arg(t.table.name));
    }
    return e;
}

} // namespace engine::exec
