#pragma once
#include "dmo/Collection.h"
#include "dmo/Connection.h"
#include "dmo/Default.h"

namespace dmo {

class Defaults : public Collection<Default> {
public:
    Defaults(ConnectionPtr conn, QString database)
        : conn_(std::move(conn)), database_(std::move(database)) {}

protected:
    bool fromServer() const override { return true; }
    std::vector<DefaultPtr> load() override;

private:
    ConnectionPtr conn_;
    QString database_;
};

} // namespace dmo
