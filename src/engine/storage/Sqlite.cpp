#include "engine/storage/Sqlite.h"

#include "engine/Errors.h"
#include "engine/functions/Functions.h"

#include <cerrno>
#include <optional>

namespace engine::storage {

namespace {
thread_local std::optional<SqlError> denied;

// The schema being written when exec() last began a command (a statement's savepoint, a
// commit): a full disk that ends the transaction leaves none being written when its error is read.
thread_local struct {
    sqlite3* db = nullptr;
    QByteArray schema;
} writtenBeforeExec;

// The name recorded in the database file attached to `db` as `schema`.
QString recordedName(sqlite3* db, const char* schema)
{
    QByteArray sql = QStringLiteral("SELECT value FROM %1.cat_settings WHERE key = 'name'").arg(quoteId(QString::fromUtf8(schema))).toUtf8();
    sqlite3_stmt* st = nullptr;
    QString name;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return name;
}

// The first database file attached to `db` that `pick` selects.
const char* pickedSchema(sqlite3* db, bool (*pick)(sqlite3*, const char*))
{
    for (int i = 0; const char* schema = sqlite3_db_name(db, i); ++i) {
        const char* file = sqlite3_db_filename(db, schema);
        if (file && *file && pick(db, schema)) return schema;
    }
    return nullptr;
}

// The name recorded in the first database file attached to `db` that `pick` selects.
QString recordedName(sqlite3* db, bool (*pick)(sqlite3*, const char*))
{
    const char* schema = pickedSchema(db, pick);
    return schema ? recordedName(db, schema) : QString();
}

bool beingWritten(sqlite3* db, const char* schema) { return sqlite3_txn_state(db, schema) == SQLITE_TXN_WRITE; }

// The database being written, or the one written when exec() began.
QString writtenName(sqlite3* db)
{
    QString name = recordedName(db, beingWritten);
    const QByteArray& before = writtenBeforeExec.schema;
    if (name.isEmpty() && writtenBeforeExec.db == db && !before.isEmpty() && sqlite3_db_filename(db, before.constData()))
        name = recordedName(db, before.constData());
    return name;
}
bool openedReadOnly(sqlite3* db, const char* schema) { return sqlite3_db_readonly(db, schema) == 1; }

// A full disk or a file that cannot be written, as the server's errors for them.
std::optional<SqlError> fileError(sqlite3* db, int rc)
{
    const int primary = rc & 0xff, err = sqlite3_system_errno(db);
    const bool io = primary == SQLITE_IOERR;
    if (primary == SQLITE_FULL || (io && (err == ENOSPC || err == EDQUOT))) return Errors::logFull(writtenName(db));
    if (primary == SQLITE_READONLY || (io && (err == EROFS || err == EACCES || err == EPERM))) {
        QString name = recordedName(db, openedReadOnly);
        return Errors::databaseReadOnly(name.isEmpty() ? writtenName(db) : name);
    }
    return std::nullopt;
}
} // namespace

void setDenied(const SqlError& e) { denied = e; }

SqlError lastError(sqlite3* db, int rc)
{
    if (rc == SQLITE_AUTH && denied) {
        SqlError e = *denied;
        denied.reset();
        return e;
    }
    const char* msg = sqlite3_errmsg(db);
    if (auto e = functions::decodeError(msg)) return *e;
    // limits of the storage's own parser: the statement as written is too deep, not a fault
    const QString text = QString::fromUtf8(msg);
    if (text == QLatin1String("parser stack overflow") || text.startsWith(QLatin1String("Expression tree is too large")))
        return Errors::make(191, QStringLiteral("The statement is nested too deeply; simplify it."));
    static const char* const limits[] = {"too many terms in compound SELECT", "at most 64 tables in a join",
                                         "too many columns", "too many FROM clause terms", "too many SQL variables",
                                         "too many arguments on function", "LIKE or GLOB pattern too complex",
                                         "string or blob too big"};
    for (const char* l : limits)
        if (text.startsWith(QLatin1String(l)))
            return Errors::make(8623, QStringLiteral("The statement is beyond what the server can run (%1); simplify it.").arg(text));
    if (auto e = fileError(db, rc)) return *e;
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return Errors::make(1222, QStringLiteral("A lock could not be obtained in time (%1).").arg(QString::fromUtf8(msg)));
    return Errors::internal(QString::fromUtf8(msg));
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db)
{
    QByteArray u = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st_, nullptr);
    if (rc != SQLITE_OK) {
        SqlError e = lastError(db, rc);
        sqlite3_finalize(st_);
        st_ = nullptr;
        throw e;
    }
}

Statement::~Statement() { sqlite3_finalize(st_); }

Statement& Statement::operator=(Statement&& o) noexcept
{
    if (this != &o) {
        sqlite3_finalize(st_);
        db_ = o.db_;
        st_ = o.st_;
        o.st_ = nullptr;
    }
    return *this;
}

Statement& Statement::bind(int i, const QString& v)
{
    QByteArray u = v.toUtf8();
    sqlite3_bind_text(st_, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    return *this;
}
Statement& Statement::bind(int i, long long v)
{
    sqlite3_bind_int64(st_, i, v);
    return *this;
}
Statement& Statement::bind(int i, double v)
{
    sqlite3_bind_double(st_, i, v);
    return *this;
}
Statement& Statement::bindNull(int i)
{
    sqlite3_bind_null(st_, i);
    return *this;
}
Statement& Statement::bindValue(int i, const types::Value& v)
{
    switch (v.kind) {
    case types::Value::Null: sqlite3_bind_null(st_, i); break;
    case types::Value::Int: sqlite3_bind_int64(st_, i, v.i); break;
    case types::Value::Real: sqlite3_bind_double(st_, i, v.d); break;
    case types::Value::Text: sqlite3_bind_text(st_, i, v.s.data(), int(v.s.size()), SQLITE_TRANSIENT); break;
    case types::Value::Blob: sqlite3_bind_blob(st_, i, v.s.data(), int(v.s.size()), SQLITE_TRANSIENT); break;
    }
    return *this;
}

bool Statement::step()
{
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    SqlError e = lastError(db_, rc);
    sqlite3_reset(st_);
    throw e;
}

void Statement::reset()
{
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

QString Statement::text(int c) const
{
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(st_, c));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st_, c)) : QString();
}

types::Value Statement::value(int c) const
{
    switch (sqlite3_column_type(st_, c)) {
    case SQLITE_INTEGER: return types::Value::ofInt(sqlite3_column_int64(st_, c));
    case SQLITE_FLOAT: return types::Value::ofReal(sqlite3_column_double(st_, c));
    case SQLITE_TEXT: {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(st_, c));
        return types::Value::ofText(std::string(p, size_t(sqlite3_column_bytes(st_, c))));
    }
    case SQLITE_BLOB: {
        auto p = static_cast<const char*>(sqlite3_column_blob(st_, c));
        return types::Value::ofBlob(std::string(p ? p : "", size_t(sqlite3_column_bytes(st_, c))));
    }
    default: return types::Value::null();
    }
}

void exec(sqlite3* db, const QString& sql)
{
    char* err = nullptr;
    const char* written = sqlite3_get_autocommit(db) ? nullptr : pickedSchema(db, beingWritten);
    writtenBeforeExec.db = db;
    writtenBeforeExec.schema = written ? QByteArray(written) : QByteArray();
    int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        sqlite3_free(err);
        throw lastError(db, rc);
    }
}

QString quoteId(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString quoteText(const QString& text)
{
    // A NUL would end the statement's text early. A percent sign is kept out of the text too, so
    // that no later formatting of the statement can read a placeholder inside a literal.
    if (text.contains(QChar(0)) || text.contains(QLatin1Char('%')))
        return QStringLiteral("CAST(X'") + QString::fromLatin1(text.toUtf8().toHex()) + QStringLiteral("' AS TEXT)");
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

} // namespace engine::storage
