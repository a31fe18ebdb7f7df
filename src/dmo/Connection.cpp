#include "dmo/Connection.h"

#include "dmo/DmoError.h"
#include "dmo/Sql.h"

namespace dmo {

namespace {
DmoError firstError(const engine::BatchResult& result) {
    const engine::Message& m = result.errors.front();
    return DmoError(m.number, m.text);
}
// Runs one batch; an engine exception becomes a DmoError like a refused statement.
engine::BatchResult run(engine::Session& session, const QString& batch) {
    try {
        return session.execute(batch);
    } catch (const engine::SqlError& e) {
        throw DmoError(e);
    }
}
} // namespace

void Connection::open(const QString& server, bool integrated, const QString& login,
                      const QString& password) {
    close();
    try {
        instance_ = engine::Instance::forServer(server);
        session_ = integrated ? instance_->connectIntegrated() : instance_->connect(login, password);
    } catch (const engine::SqlError& e) {
        instance_.reset();
        QString text = e.message().text;
        if (password.size() >= 4)
            text.replace(password, QStringLiteral("****"));
        throw DmoError(e.number(), text);
    } catch (const std::exception& e) {
        instance_.reset();
        session_.reset();
        throw DmoError(17, QStringLiteral("The server '%1' cannot be opened: %2")
                               .arg(server, QString::fromLocal8Bit(e.what())));
    }
}

void Connection::close() {
    session_.reset();
    instance_.reset();
}

void Connection::adopt(std::unique_ptr<engine::Session> session) {
    close();
    session_ = std::move(session);
}

engine::Session& Connection::session() {
    if (!session_)
        throw DmoError(Errors::NotConnected, QStringLiteral("Not connected to a server."));
    return *session_;
}

void Connection::use(const QString& db) {
    engine::Session& s = session();
    if (db.isEmpty() || s.currentDatabase().compare(db, Qt::CaseInsensitive) == 0)
        return;
    engine::BatchResult r = run(s, QStringLiteral("USE ") + sql::quoteName(db));
    if (r.failed())
        throw firstError(r);
}

engine::BatchResult Connection::execute(const QString& db, const QString& script) {
    use(db);
    engine::BatchResult all;
    for (const QString& batch : sql::splitBatches(script)) {
        engine::BatchResult r = run(session(), batch);
        if (r.failed())
            throw firstError(r);
        for (auto& rs : r.resultSets)
            all.resultSets.push_back(std::move(rs));
        for (auto& m : r.messages)
            all.messages.push_back(std::move(m));
        all.rowCount = r.rowCount;
    }
    return all;
}

engine::BatchResult Connection::executeBatch(const QString& db, const QString& batch) {
    use(db);
    engine::BatchResult r = run(session(), batch);
    if (r.failed())
        throw firstError(r);
    return r;
}

engine::ResultSet Connection::query(const QString& db, const QString& batch) {
    use(db);
    engine::BatchResult r = run(session(), batch);
    if (r.failed())
        throw firstError(r);
    if (r.resultSets.empty())
        return {};
    return std::move(r.resultSets.front());
}

} // namespace dmo
