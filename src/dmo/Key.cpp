#include "dmo/Key.h"

#include "dmo/DmoError.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

namespace dmo {

QString Key::constraintClause() const {
    if (type_ != SQLDMOKey_Primary && type_ != SQLDMOKey_Unique)
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("Only primary and unique keys can be created."));
    if (columns_->Count() == 0)
        throw DmoError(Errors::InvalidOperation, QStringLiteral("The key has no columns."));
    QString clause;
    if (!name_.isEmpty())
        clause += QStringLiteral("CONSTRAINT %1 ").arg(sql::quoteName(name_));
    clause += type_ == SQLDMOKey_Primary ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE");
    if (clustered_)
        clause += *clustered_ ? QStringLiteral(" CLUSTERED") : QStringLiteral(" NONCLUSTERED");
    QStringList cols;
    for (const QString& c : columns_->list())
        cols << sql::quoteName(sql::stripBrackets(c));
    clause += QStringLiteral(" (%1)").arg(cols.join(QStringLiteral(", ")));
    return clause;
}

void Key::Remove() {
    auto table = table_.lock();
    if (!table || !table->attached())
        throw DmoError(Errors::NotAttached, QStringLiteral("The key has not been added to a table."));
    table->execute(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2")
                       .arg(table->qualifiedName(), sql::quoteName(name_)));
    table->indexesChanged();
}

} // namespace dmo
