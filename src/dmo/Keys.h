#pragma once
#include "dmo/Collection.h"
#include "dmo/Key.h"

namespace dmo {

class Table;

// The primary and unique keys of a table.
class Keys : public Collection<Key> {
public:
    explicit Keys(std::weak_ptr<Table> table) : table_(std::move(table)) {}
    // Adds the key; on an attached table its constraint is created at once.
    void Add(const KeyPtr& key);

protected:
    bool fromServer() const override;
    std::vector<KeyPtr> load() override;

private:
    std::weak_ptr<Table> table_;
};

} // namespace dmo
