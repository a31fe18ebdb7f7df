#pragma once
#include "dmo/Collection.h"
#include "dmo/Connection.h"
#include "dmo/Table.h"

namespace dmo {

// The tables of a database, user and system tables, ordered by name.
class Tables : public Collection<Table> {
public:
    Tables(ConnectionPtr conn, QString database)
        : conn_(std::move(conn)), database_(std::move(database)) {}
    using Collection<Table>::Item;
    // By name (any case): dbo's table of that name, else the first one.
    TablePtr Item(const QString& name);
    // By name and owner (any case); an empty owner is the same as Item(name).
    TablePtr Item(const QString& name, const QString& owner);
    // Creates the unattached table on the server with its columns, keys and default bindings.
    void Add(const TablePtr& table);
    void Remove(const QString& name, const QString& owner = {});
    void Remove(int index);

protected:
    bool fromServer() const override { return true; }
    std::vector<TablePtr> load() override;

private:
    ConnectionPtr conn_;
    QString database_;
};

} // namespace dmo
