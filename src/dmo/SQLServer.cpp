#include "dmo/SQLServer.h"

#include "dmo/Databases.h"
#include "dmo/DmoError.h"

namespace dmo {

SQLServer::SQLServer() : conn_(std::make_shared<Connection>()) {}

void SQLServer::Connect(const QString& serverName, const QString& login,
                        const QString& password) {
    if (serverName.trimmed().isEmpty())
        throw DmoError(17, QStringLiteral("No server name was given."));
    name_ = serverName;
    if (!loginSecure_) {
        login_ = login;
        password_ = password;
    }
    Connect();
}

void SQLServer::Connect() {
    if (name_.isEmpty())
        throw DmoError(17, QStringLiteral("No server name was given."));
    conn_->open(name_, loginSecure_, login_, password_);
    databases_.reset();
}

void SQLServer::Disconnect() {
    conn_->close();
    databases_.reset();
}

std::shared_ptr<Databases> SQLServer::Databases() {
    if (!databases_)
        databases_ = std::make_shared<dmo::Databases>(conn_);
    return databases_;
}

NamesPtr SQLServer::ListCollations() {
    engine::ResultSet rs = conn_->query({}, QStringLiteral("SELECT name FROM ::fn_helpcollations()"));
    auto names = std::make_shared<Names>();
    for (size_t r = 0; r < rs.rows.size(); ++r)
        names->Add(rs.text(r, 0));
    return names;
}

} // namespace dmo
