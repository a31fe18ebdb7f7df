#pragma once
#include "dmo/Collection.h"
#include "dmo/StoredProcedure.h"

namespace dmo {

class StoredProcedures : public Collection<StoredProcedure> {
public:
    StoredProcedures(ConnectionPtr conn, QString database)
        : conn_(std::move(conn)), database_(std::move(database)) {}
    using Collection<StoredProcedure>::Item;
    // Creates the procedure from its Text.
    void Add(const StoredProcedurePtr& procedure);
    void Remove(const QString& name);

protected:
    bool fromServer() const override { return true; }
    std::vector<StoredProcedurePtr> load() override;

private:
    ConnectionPtr conn_;
    QString database_;
};

} // namespace dmo
