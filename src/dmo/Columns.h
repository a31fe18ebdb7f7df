#pragma once
#include "dmo/Collection.h"
#include "dmo/Column.h"

namespace dmo {

class Table;

// The columns of a table, in position order.
class Columns : public Collection<Column> {
public:
    explicit Columns(std::weak_ptr<Table> table) : table_(std::move(table)) {}
    using Collection<Column>::Item;
    // Appends a new column; on an attached table it is added on the server at once.
    void Add(const ColumnPtr& column);
    // Removes the column at that position (on the server when attached), with its default.
    void Remove(int index);
    void Remove(const QString& name);

protected:
    bool fromServer() const override;
    std::vector<ColumnPtr> load() override;

private:
    std::weak_ptr<Table> table_;
};

} // namespace dmo
