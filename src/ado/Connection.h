#pragma once
#include "ado/ConnectionString.h"
#include "engine/Engine.h"

#include <QString>
#include <memory>

namespace ado {

// A connection opened from a connection string: an engine session in the Initial Catalog.
class Connection {
public:
    // Throws AdoError: no Data Source, unknown server, failed login, unknown database.
    void Open(const QString& connectionString);
    void Close();
    bool IsOpen() const { return session_ != nullptr; }
    // As opened; without the password unless "Persist Security Info" is true.
    QString ConnectionString() const;
    QString DefaultDatabase() const { return database_; }

    engine::Session& session();
    // A second session on the same database for writes while a recordset reads.
    engine::Session& writeSession();
    // Runs one batch on the write session; throws AdoError on the first error.
    engine::BatchResult executeWrite(const QString& batch);

private:
    std::unique_ptr<engine::Session> openSession();
    QString text_;
    ado::ConnectionString parsed_;
    QString database_;
    std::shared_ptr<engine::Instance> instance_;
    std::unique_ptr<engine::Session> session_;
    std::unique_ptr<engine::Session> writer_;
};

using ConnectionPtr = std::shared_ptr<Connection>;

// The error of an engine exception with any password taken out.
class AdoError;
AdoError toAdoError(const engine::SqlError& e, const QString& password = {});

} // namespace ado
