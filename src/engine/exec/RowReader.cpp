#include "engine/exec/RowReader.h"

#include "engine/exec/SessionImpl.h"
#include "engine/types/DateTimeValue.h"
#include "engine/types/Decimal.h"

#include <QDate>
#include <QTimeZone>

namespace engine::exec {

using types::Category;

namespace {
// Decimal text with exactly `scale` decimals, as stored by the engine (fast check).
bool hasScale(const char* p, int n, int scale)
{
    const void* dot = std::memchr(p, '.', size_t(n));
    if (!dot) return scale == 0;
    return n - 1 - int(static_cast<const char*>(dot) - p) == scale;
}
} // namespace

QVariant readColumn(sqlite3_stmt* st, int col, const types::TypeSpec& type)
{
    int kind = sqlite3_column_type(st, col);
    if (kind == SQLITE_NULL) return QVariant();
    switch (type.category()) {
    case Category::Integer:
        if (kind == SQLITE_INTEGER) return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, col)));
        break;
    case Category::Approx:
        if (kind == SQLITE_FLOAT || kind == SQLITE_INTEGER) return QVariant(sqlite3_column_double(st, col));
        break;
    case Category::String:
    case Category::Guid:
        if (kind == SQLITE_TEXT)
            return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)), sqlite3_column_bytes(st, col)));
        break;
    case Category::Exact:
        if (kind == SQLITE_TEXT) {
            auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            int n = sqlite3_column_bytes(st, col);
            int scale = type.hasPrecision() ? type.scale : 4;
            if (hasScale(p, n, scale)) return QVariant(QString::fromLatin1(p, n));
        }
        break;
    case Category::DateTime:
        if (kind == SQLITE_TEXT) {
            auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            if (auto d = types::DateTimeValue::fromStored(p, sqlite3_column_bytes(st, col)))
                return QVariant(QDateTime(QDate(d->year, d->month, d->day), QTime(d->hour, d->minute, d->second, d->msec), Qt::UTC));
        }
        break;
    case Category::Binary:
        if (kind == SQLITE_BLOB)
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, col)), sqlite3_column_bytes(st, col)));
        break;
    case Category::Variant: break;
    }
    // storage of another kind: convert through the conversion table
    types::Value v;
    switch (kind) {
    case SQLITE_INTEGER: v = types::Value::ofInt(sqlite3_column_int64(st, col)); break;
    case SQLITE_FLOAT: v = types::Value::ofReal(sqlite3_column_double(st, col)); break;
    case SQLITE_BLOB:
        v = types::Value::ofBlob(std::string(static_cast<const char*>(sqlite3_column_blob(st, col)) ? static_cast<const char*>(sqlite3_column_blob(st, col)) : "",
                                             size_t(sqlite3_column_bytes(st, col))));
        break;
    default:
        v = types::Value::ofText(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, col)), size_t(sqlite3_column_bytes(st, col))));
        break;
    }
    return toVariant(v, columnInfo(QString(), type, true));
}

} // namespace engine::exec
