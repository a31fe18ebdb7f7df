#pragma once
#include "dmo/Collection.h"
#include "dmo/Index.h"

namespace dmo {

class Table;

class Indexes : public Collection<Index> {
public:
    explicit Indexes(std::weak_ptr<Table> table) : table_(std::move(table)) {}

protected:
    bool fromServer() const override;
    std::vector<IndexPtr> load() override;

private:
    std::weak_ptr<Table> table_;
};

} // namespace dmo
