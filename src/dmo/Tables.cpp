#include "dmo/Tables.h"

#include "dmo/Columns.h"
#include "dmo/Keys.h"
#include "dmo/Sql.h"

namespace dmo {

std::vector<TablePtr> Tables::load() {
    engine::ResultSet rs = conn_->query(
        database_, QStringLiteral("SELECT TABLE_NAME, TABLE_SCHEMA FROM INFORMATION_SCHEMA.TABLES "
                                  "WHERE TABLE_TYPE = 'BASE TABLE' ORDER BY TABLE_NAME, TABLE_SCHEMA"));
    std::vector<TablePtr> items;
    for (size_t r = 0; r < rs.rows.size(); ++r) {
        auto table = std::make_shared<Table>();
        // Quoted, so that a name that itself begins with "[" comes through whole.
        table->SetName(sql::quoteName(rs.text(r, 0)));
        table->attach(conn_, database_, rs.text(r, 1), 0);
        items.push_back(table);
    }
    return items;
}

TablePtr Tables::Item(const QString& name) {
    TablePtr found;
    for (const TablePtr& table : items())
        if (table->Name().compare(name, Qt::CaseInsensitive) == 0) {
            if (table->Owner().compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0)
                return table;
            if (!found)
                found = table;
        }
    if (found)
        return found;
    return Collection<Table>::Item(name); // raises the not-found error
}

TablePtr Tables::Item(const QString& name, const QString& owner) {
    if (owner.isEmpty())
        return Item(name);
    for (const TablePtr& table : items())
        if (table->Name().compare(name, Qt::CaseInsensitive) == 0 &&
            table->Owner().compare(owner, Qt::CaseInsensitive) == 0)
            return table;
    throw DmoError(Errors::NotFound,
                   QStringLiteral("The table '%1.%2' was not found.").arg(owner, name));
}

void Tables::Add(const TablePtr& table) {
    if (table->attached())
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The table '%1' already exists.").arg(table->Name()));
    if (table->Name().isEmpty())
        throw DmoError(Errors::InvalidOperation, QStringLiteral("The table has no name."));
    if (table->Columns()->Count() == 0)
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The table '%1' has no columns.").arg(table->Name()));
    const QString create = table->createScript();
    const std::vector<ColumnPtr> columns = table->Columns()->items();
    const std::vector<KeyPtr> keys = table->Keys()->items();
    conn_->execute(database_, create);
    table->attach(conn_, database_, table->ownerOrDefault(), 0);
    QString after;
    for (const ColumnPtr& column : columns) {
        column->setTable(table, true);
        after += column->afterCreateScript();
    }
    for (const KeyPtr& key : keys)
        key->attach(table);
    if (!after.isEmpty())
        conn_->execute(database_, after);
    // Server-made names (defaults, keys) are read on the next use.
    table->Refresh();
    if (loaded_)
        items_.push_back(table);
}

void Tables::Remove(const QString& name, const QString& owner) {
    TablePtr table = Item(name, owner);
    conn_->execute(database_, QStringLiteral("DROP TABLE ") + table->qualifiedName());
    std::erase(items_, table);
}

void Tables::Remove(int index) {
    TablePtr table = Collection<Table>::Item(index);
    Remove(table->Name(), table->Owner());
}

} // namespace dmo
