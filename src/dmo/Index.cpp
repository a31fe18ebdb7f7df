#include "dmo/Index.h"

#include "dmo/DmoError.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

namespace dmo {

bool Index::GetIndexedColumnDESC(const QString& column) const {
    for (int i = 0; i < f_.columns.size(); ++i)
        if (f_.columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return f_.descending.value(i);
    throw DmoError(Errors::NotFound,
                   QStringLiteral("'%1' is not a key column of the index '%2'.").arg(column, f_.name));
}

void Index::Remove() {
    auto table = table_.lock();
    if (!table)
        throw DmoError(Errors::NotAttached, QStringLiteral("The index has no table."));
    if (f_.type & (SQLDMOIndex_DRIPrimaryKey | SQLDMOIndex_DRIUniqueKey))
        table->execute(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2")
                           .arg(table->qualifiedName(), sql::quoteName(f_.name)));
    else
        table->execute(QStringLiteral("DROP INDEX %1.%2")
                           .arg(table->qualifiedName(), sql::quoteName(f_.name)));
    table->indexesChanged();
}

} // namespace dmo
