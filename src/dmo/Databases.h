#pragma once
#include "dmo/Collection.h"
#include "dmo/Connection.h"
#include "dmo/Database.h"

namespace dmo {

// The databases of the server, ordered by name.
class Databases : public Collection<Database> {
public:
    explicit Databases(ConnectionPtr conn) : conn_(std::move(conn)) {}

protected:
    bool fromServer() const override { return true; }
    std::vector<DatabasePtr> load() override;

private:
    ConnectionPtr conn_;
};

} // namespace dmo
