#include "engine/catalog/UniqueNullKeys.h"

#include "engine/functions/CollationList.h"
#include "engine/functions/Functions.h"
#include "engine/storage/Sqlite.h"

#include <QStringList>

namespace engine::catalog {

using storage::quoteId;

bool needsNullKeyIndex(const Table& t, const Index& ix)
{
    if (!ix.unique) return false;
    for (const IndexKey& k : ix.keys)
        if (const Column* c = t.columnById(k.colid); c && c->nullable) return true;
    return false;
}

QString nullKeyIndexName(const QString& physicalIndexName) { return physicalIndexName + QStringLiteral("_n"); }

QString nullKeyTerms(const Table& t, const Index& ix)
{
    QStringList terms;
    for (const IndexKey& k : ix.keys) {
        const Column* c = t.columnById(k.colid);
        if (!c) continue;
        if (!c->nullable) {
            terms << quoteId(c->phys);
            continue;
        }
        // NULL stands in as a value of another storage class than the column's own values
        const bool binary = c->type.category() == types::Category::Binary;
        QString term = QStringLiteral("ifnull(%1, %2)").arg(quoteId(c->phys), binary ? QStringLiteral("''") : QStringLiteral("X''"));
        if (c->type.isString())
            term += QStringLiteral(" COLLATE ") +
                    QLatin1String(functions::collationCaseSensitive(c->collation) ? functions::kCollateCS : functions::kCollateCI);
        terms << term;
    }
    return terms.join(QStringLiteral(", "));
}

QString nullKeyCondition(const Table& t, const Index& ix)
{
    QStringList conds;
    for (const IndexKey& k : ix.keys)
        if (const Column* c = t.columnById(k.colid); c && c->nullable) conds << quoteId(c->phys) + QStringLiteral(" IS NULL");
    return conds.join(QStringLiteral(" OR "));
}

} // namespace engine::catalog
