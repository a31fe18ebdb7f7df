#pragma once
// Thin RAII wrappers over a SQLite connection and statement, turning failures into SqlError.

#include "engine/Engine.h"
#include "engine/types/Value.h"

#include <QString>

#include <sqlite3.h>

namespace engine::storage {

class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& o) noexcept : db_(o.db_), st_(o.st_) { o.st_ = nullptr; }
    Statement& operator=(Statement&& o) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, const QString& v);
    Statement& bind(int i, long long v);
    Statement& bind(int i, int v) { return bind(i, static_cast<long long>(v)); }
    Statement& bind(int i, bool v) { return bind(i, static_cast<long long>(v ? 1 : 0)); }
    Statement& bind(int i, double v);
    Statement& bindNull(int i);
    Statement& bindValue(int i, const types::Value& v);
    Statement& bindOpt(int i, const QString& v) { return v.isNull() ? bindNull(i) : bind(i, v); }

    bool step(); // true while a row is available; throws on error
    void run() { while (step()) {} }
    void reset();

    int columnCount() const { return sqlite3_column_count(st_); }
    bool isNull(int c) const { return sqlite3_column_type(st_, c) == SQLITE_NULL; }
    long long integer(int c) const { return sqlite3_column_int64(st_, c); }
    double real(int c) const { return sqlite3_column_double(st_, c); }
    QString text(int c) const;
    types::Value value(int c) const;
    QString columnName(int c) const { return QString::fromUtf8(sqlite3_column_name(st_, c)); }
    sqlite3_stmt* handle() const { return st_; }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
};

// The SqlError for the connection's last failure (a server error raised by one of our functions
// keeps its number).
SqlError lastError(sqlite3* db, int rc);

// The error to report when an authorizer callback denies the statement being prepared
// (SQLite itself says only "not authorized"); lastError() gives it out once.
void setDenied(const SqlError& e);

// Runs statements without results.
void exec(sqlite3* db, const QString& sql);

// Quotes an identifier for SQLite: "name" with doubled quotes.
QString quoteId(const QString& name);
// A text literal for SQLite: 'text' with doubled quotes; text holding a NUL or a percent sign is
// written as its UTF-8 bytes in hexadecimal, cast to text.
QString quoteText(const QString& text);

} // namespace engine::storage
