#include "engine/functions/Functions.h"

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/types/Convert.h"

#include <QUuid>

namespace engine::functions {

using types::Value;

Value readValue(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return Value::ofInt(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return Value::ofReal(sqlite3_value_double(v));
    case SQLITE_TEXT: {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        return Value::ofText(std::string(p, size_t(sqlite3_value_bytes(v))));
    }
    case SQLITE_BLOB: {
        auto p = static_cast<const char*>(sqlite3_value_blob(v));
        return Value::ofBlob(std::string(p ? p : "", size_t(sqlite3_value_bytes(v))));
    }
    default: return Value::null();
    }
}

void resultValue(sqlite3_context* ctx, const Value& v)
{
    switch (v.kind) {
    case Value::Null: sqlite3_result_null(ctx); break;
    case Value::Int: sqlite3_result_int64(ctx, v.i); break;
    case Value::Real: sqlite3_result_double(ctx, v.d); break;
    case Value::Text: sqlite3_result_text(ctx, v.s.data(), int(v.s.size()), SQLITE_TRANSIENT); break;
    case Value::Blob: sqlite3_result_blob(ctx, v.s.data(), int(v.s.size()), SQLITE_TRANSIENT); break;
    }
}

QString argText(sqlite3_value* v)
{
    auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, const SqlError& e)
{
    const Message& m = e.message();
    QByteArray text = QStringLiteral("\x01%1|%2|%3|%4").arg(QString::number(m.number), QString::number(m.severity), QString::number(m.state), m.text).toUtf8();
    sqlite3_result_error(ctx, text.constData(), int(text.size()));
}

std::optional<SqlError> decodeError(const char* msg)
{
    if (!msg || msg[0] != '\x01') return std::nullopt;
    QString s = QString::fromUtf8(msg + 1);
    QStringList parts = s.split(QLatin1Char('|'));
    if (parts.size() < 4) return std::nullopt;
    QString text = s.section(QLatin1Char('|'), 3);
    return SqlError(parts[0].toInt(), parts[1].toInt(), text, 0, parts[2].toInt());
}

namespace {

types::TypeSpec specFromArgs(sqlite3_value** argv, int at)
{
    types::TypeSpec t;
    t.type = static_cast<types::Type>(sqlite3_value_int(argv[at]));
    t.length = sqlite3_value_int(argv[at + 1]);
    t.precision = sqlite3_value_int(argv[at + 2]);
    t.scale = sqlite3_value_int(argv[at + 3]);
    return t;
}

// tsql_cvt(value, fromType, fromLen, fromPrec, fromScale, toType, toLen, toPrec, toScale, style, assignment)
void cvtFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc != 11) return;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        types::TypeSpec from = specFromArgs(argv, 1);
        types::TypeSpec to = specFromArgs(argv, 5);
        int style = sqlite3_value_type(argv[9]) == SQLITE_NULL ? -1 : sqlite3_value_int(argv[9]);
        auto mode = sqlite3_value_int(argv[10]) ? types::ConvertMode::Assignment : types::ConvertMode::Explicit;
        resultValue(ctx, types::convert(readValue(argv[0]), from, to, mode, style));
    } catch (const SqlError& e) {
        resultError(ctx, e);
    }
}

// tsql_notnull(value, column, table, isUpdate): 515 when null
void notNullFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        resultError(ctx, Errors::notNull(argText(argv[1]), argText(argv[2]), sqlite3_value_int(argv[3]) != 0));
        return;
    }
    sqlite3_result_value(ctx, argv[0]);
}

// tsql_raise(number, severity, text): raises the error when evaluated
void raiseFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    resultError(ctx, SqlError(sqlite3_value_int(argv[0]), sqlite3_value_int(argv[1]), argText(argv[2])));
}

void newidFunc(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

void identityFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* hooks = static_cast<Hooks*>(sqlite3_user_data(ctx));
    try {
        sqlite3_result_int64(ctx, hooks->nextIdentity(sqlite3_value_int(argv[0])));
    } catch (const SqlError& e) {
        resultError(ctx, e);
    }
}

void idSeenFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* hooks = static_cast<Hooks*>(sqlite3_user_data(ctx));
    if (sqlite3_value_type(argv[1]) == SQLITE_INTEGER) hooks->seenIdentity(sqlite3_value_int(argv[0]), sqlite3_value_int64(argv[1]));
    sqlite3_result_value(ctx, argv[1]);
}

void timestampFunc(sqlite3_context* ctx, int, sqlite3_value**)
{
    auto* hooks = static_cast<Hooks*>(sqlite3_user_data(ctx));
    unsigned long long v = static_cast<unsigned long long>(hooks->nextTimestamp());
    unsigned char b[8];
    for (int i = 7; i >= 0; --i) {
        b[i] = static_cast<unsigned char>(v & 0xFF);
        v >>= 8;
    }
    sqlite3_result_blob(ctx, b, 8, SQLITE_TRANSIENT);
}

void likeFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QChar esc;
    if (argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        QString e = argText(argv[2]);
        if (e.size() != 1) {
            resultError(ctx, Errors::make(506, QStringLiteral("\"%1\" cannot be the escape character of LIKE.").arg(e)));
            return;
        }
        esc = e[0];
    }
    bool cs = argc > 3 && sqlite3_value_int(argv[3]) != 0;
    sqlite3_result_int(ctx, likeMatch(argText(argv[0]), argText(argv[1]), esc, cs) ? 1 : 0);
}

} // namespace

void registerAll(sqlite3* db, Hooks* hooks)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "tsql_cvt", 11, det, nullptr, cvtFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_notnull", 4, det, nullptr, notNullFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_raise", 3, SQLITE_UTF8, nullptr, raiseFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_newid", 0, SQLITE_UTF8, nullptr, newidFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_like", 2, det, nullptr, likeFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_like", 3, det, nullptr, likeFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_like", 4, det, nullptr, likeFunc, nullptr, nullptr);
    if (hooks) {
        sqlite3_create_function(db, "tsql_identity", 1, SQLITE_UTF8, hooks, identityFunc, nullptr, nullptr);
        sqlite3_create_function(db, "tsql_idseen", 2, SQLITE_UTF8, hooks, idSeenFunc, nullptr, nullptr);
        sqlite3_create_function(db, "tsql_timestamp", 0, SQLITE_UTF8, hooks, timestampFunc, nullptr, nullptr);
    }
    registerStringFunctions(db);
    registerDateFunctions(db);
    registerMathFunctions(db);
    registerDecimalAggregates(db);
    registerDecimalArithmetic(db);
    registerNameFunctions(db);
    registerStatAggregates(db);
    registerArithChains(db);
    registerCollations(db);
}

} // namespace engine::functions
