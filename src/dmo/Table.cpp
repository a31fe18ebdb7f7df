#include "dmo/Table.h"

#include "dmo/Columns.h"
#include "dmo/DmoError.h"
#include "dmo/Indexes.h"
#include "dmo/Keys.h"
#include "dmo/Sql.h"

namespace dmo {

void Table::requireAttached() const {
    if (!conn_)
        throw DmoError(Errors::NotAttached,
                       QStringLiteral("The table '%1' has not been added to a database.").arg(name_));
}

void Table::SetName(const QString& name) {
    const QString bare = sql::stripBrackets(name);
    if (conn_ && bare != name_) {
        execute(QStringLiteral("EXEC sp_rename %1, %2")
                    .arg(sql::quoteNString(qualifiedName()), sql::quoteNString(bare)));
    }
    name_ = bare;
}

void Table::SetOwner(const QString& owner) {
    if (conn_)
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The owner of an existing table cannot be changed here."));
    owner_ = owner;
}

std::shared_ptr<Columns> Table::Columns() {
    if (!columns_)
        columns_ = std::make_shared<dmo::Columns>(weak_from_this());
    return columns_;
}

std::shared_ptr<Indexes> Table::Indexes() {
    if (!indexes_)
        indexes_ = std::make_shared<dmo::Indexes>(weak_from_this());
    return indexes_;
}

std::shared_ptr<Keys> Table::Keys() {
    if (!keys_)
        keys_ = std::make_shared<dmo::Keys>(weak_from_this());
    return keys_;
}

std::shared_ptr<Key> Table::PrimaryKey() {
    for (const KeyPtr& key : Keys()->items())
        if (key->Type() == SQLDMOKey_Primary)
            return key;
    return nullptr;
}

void Table::Refresh() {
    if (!conn_)
        return;
    if (columns_)
        columns_->invalidate();
    if (indexes_)
        indexes_->invalidate();
    if (keys_)
        keys_->invalidate();
}

void Table::indexesChanged() {
    if (indexes_)
        indexes_->invalidate();
    if (keys_)
        keys_->invalidate();
}

void Table::attach(ConnectionPtr conn, QString database, QString owner, int id) {
    conn_ = std::move(conn);
    database_ = std::move(database);
    owner_ = std::move(owner);
    id_ = id;
}

QString Table::qualifiedName() const { return sql::qualified(ownerOrDefault(), name_); }

void Table::execute(const QString& script) const {
    requireAttached();
    conn_->execute(database_, script);
}

QString Table::createScript() {
    QStringList parts;
    for (const ColumnPtr& column : Columns()->items())
        parts << QStringLiteral("    ") + column->definition();
    for (const KeyPtr& key : Keys()->items())
        parts << QStringLiteral("    ") + key->constraintClause();
    QString script = QStringLiteral("CREATE TABLE %1 (\n%2\n)")
                         .arg(sql::qualified(owner_, name_), parts.join(QStringLiteral(",\n")));
    return script;
}

} // namespace dmo
