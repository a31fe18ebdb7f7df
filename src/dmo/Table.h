#pragma once
#include "dmo/Connection.h"

#include <QString>
#include <memory>

namespace dmo {

class Columns;
class Indexes;
class Keys;
class Key;

// A table. A new Table is unattached (create it with std::make_shared) until Tables::Add
// creates it on the server; a table read from a database is attached.
class Table : public std::enable_shared_from_this<Table> {
public:
    Table() = default;

    QString Name() const { return name_; }
    // On an attached table: renames it on the server.
    void SetName(const QString& name);
    QString Owner() const { return owner_; }
    void SetOwner(const QString& owner);
    int ID() const { return id_; }
    std::shared_ptr<dmo::Columns> Columns();
    std::shared_ptr<dmo::Indexes> Indexes();
    std::shared_ptr<dmo::Keys> Keys();
    // The primary key, nullptr when the table has none.
    std::shared_ptr<Key> PrimaryKey();
    // Reads the table again: its members are read anew on their next use.
    void Refresh();

    // Internal: the objects' link to the server.
    bool attached() const { return conn_ != nullptr; }
    void attach(ConnectionPtr conn, QString database, QString owner, int id);
    const ConnectionPtr& connection() const { return conn_; }
    const QString& database() const { return database_; }
    QString qualifiedName() const; // [owner].[name]
    QString ownerOrDefault() const { return owner_.isEmpty() ? QStringLiteral("dbo") : owner_; }
    // Sends T-SQL on the table's connection in its database; throws DmoError.
    void execute(const QString& script) const;
    // Indexes and keys are read again on their next use.
    void indexesChanged();
    // The CREATE TABLE statement of an unattached table.
    QString createScript();

private:
    void requireAttached() const;
    QString name_;
    QString owner_;
    int id_ = 0;
    ConnectionPtr conn_;
    QString database_;
    std::shared_ptr<dmo::Columns> columns_;
    std::shared_ptr<dmo::Indexes> indexes_;
    std::shared_ptr<dmo::Keys> keys_;
};

using Table2 = Table;
using TablePtr = std::shared_ptr<Table>;

} // namespace dmo
