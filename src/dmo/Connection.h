#pragma once
// One engine session shared by a server object and every object read through it.
#include "engine/Engine.h"

#include <QString>
#include <memory>

namespace dmo {

class Connection {
public:
    // Opens a session; throws DmoError (unknown server, failed login). The password never
    // appears in an error text.
    void open(const QString& server, bool integrated, const QString& login,
              const QString& password);
    void close();
    bool isOpen() const { return session_ != nullptr; }
    // For tests and callers that bring their own session.
    void adopt(std::unique_ptr<engine::Session> session);

    engine::Session& session();
    // Runs a script, split at GO lines, in database db (current database when empty); throws
    // DmoError at the first batch that fails. Result sets and messages of all batches, in order.
    engine::BatchResult execute(const QString& db, const QString& script);
    // Runs the text as one batch, GO lines included (the server refuses them as any other bad
    // text); throws DmoError when it fails.
    engine::BatchResult executeBatch(const QString& db, const QString& batch);
    // Runs one batch and returns its first result set (empty when it has none).
    engine::ResultSet query(const QString& db, const QString& batch);

private:
    void use(const QString& db);
    std::shared_ptr<engine::Instance> instance_;
    std::unique_ptr<engine::Session> session_;
};

using ConnectionPtr = std::shared_ptr<Connection>;

} // namespace dmo
