#include "ado/Connection.h"

#include "ado/AdoError.h"
#include "engine/TsqlQuote.h"

namespace ado {

AdoError toAdoError(const engine::SqlError& e, const QString& password) {
    QString text = e.message().text;
    if (password.size() >= 4)
        text.replace(password, QStringLiteral("****"));
    return AdoError(e.number(), text);
}

std::unique_ptr<engine::Session> Connection::openSession() {
    std::unique_ptr<engine::Session> s;
    try {
        if (!instance_)
            instance_ = engine::Instance::forServer(parsed_.dataSource());
        s = parsed_.integratedSecurity() ? instance_->connectIntegrated()
                                         : instance_->connect(parsed_.userId(), parsed_.password());
    } catch (const engine::SqlError& e) {
        throw toAdoError(e, parsed_.password());
    } catch (const std::exception& e) {
        throw AdoError(17, QStringLiteral("The server '%1' cannot be opened: %2")
                               .arg(parsed_.dataSource(), QString::fromLocal8Bit(e.what())));
    }
    if (!database_.isEmpty()) {
        engine::BatchResult r =
            s->execute(QStringLiteral("USE ") + engine::sql::quoteName(database_));
        if (r.failed())
            throw AdoError(r.errors.front().number, r.errors.front().text);
    }
    return s;
}

void Connection::Open(const QString& connectionString) {
    Close();
    ado::ConnectionString parsed = ConnectionString::parse(connectionString);
    if (parsed.dataSource().trimmed().isEmpty())
        throw AdoError(ErrBadConnectionString,
                       QStringLiteral("The connection string names no server (Data Source)."));
    parsed_ = parsed;
    text_ = connectionString;
    database_ = parsed.initialCatalog();
    session_ = openSession();
}

void Connection::Close() {
    writer_.reset();
    session_.reset();
    instance_.reset();
}

QString Connection::ConnectionString() const {
    return parsed_.persistSecurityInfo() ? text_ : ado::ConnectionString::withoutPassword(text_);
}

engine::Session& Connection::session() {
    if (!session_)
        throw AdoError(ErrNotOpen, QStringLiteral("The connection is not open."));
    return *session_;
}

engine::Session& Connection::writeSession() {
    session();
    if (!writer_)
        writer_ = openSession();
    return *writer_;
}

engine::BatchResult Connection::executeWrite(const QString& batch) {
    engine::BatchResult r;
    try {
        r = writeSession().execute(batch);
    } catch (const engine::SqlError& e) {
        throw toAdoError(e);
    }
    if (r.failed())
        throw AdoError(r.errors.front().number, r.errors.front().text);
    return r;
}

} // namespace ado
