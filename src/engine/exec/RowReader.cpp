#include "engine/exec/RowReader.h"

#include "engine/exec/SessionImpl.h"
#include "engine/types/DateTimeValue.h"

#include <QDate>

#include <cstring>

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

// A QVariant holding s, without the reference counting of a copy.
QVariant variantOf(QString&& s)
{
    QVariant v{QString()};
    const_cast<QString*>(static_cast<const QString*>(v.constData()))->swap(s); // v is not shared yet
    return v;
}

// The same QDateTime as QDateTime(QDate(...), QTime(...), Qt::UTC), made from its milliseconds.
QDateTime utcDateTime(const types::DateTimeValue& d)
{
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const bool valid = d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
                       d.day <= kMonthDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0) && d.hour < 24 &&
                       d.minute < 60 && d.second < 60 && d.msec < 1000;
    if (!valid) return QDateTime(QDate(d.year, d.month, d.day), QTime(d.hour, d.minute, d.second, d.msec), Qt::UTC);
    // days from 1970-01-01 of a proleptic Gregorian date
    const int y = d.month <= 2 ? d.year - 1 : d.year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const qint64 days = qint64(era) * 146097 + doe - 719468;
    const qint64 ms = days * 86400000 + ((d.hour * 60 + d.minute) * 60 + d.second) * 1000 + d.msec;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}
} // namespace

RowReader::RowReader(std::vector<types::TypeSpec> types) : types_(std::move(types))
{
    for (const types::TypeSpec& t : types_) {
        switch (t.category()) {
        case Category::Integer: readers_.push_back(&readInteger); break;
        case Category::Approx: readers_.push_back(&readApprox); break;
        case Category::String:
        case Category::Guid: readers_.push_back(&readString); break;
        case Category::Exact: readers_.push_back(&readExact); break;
        case Category::DateTime: readers_.push_back(&readDateTime); break;
        case Category::Binary: readers_.push_back(&readBinary); break;
        case Category::Variant: readers_.push_back(&readConverted); break;
        }
    }
}

void RowReader::read(sqlite3_stmt* st, Row& row)
{
    const size_t n = readers_.size();
    row.reserve(row.size() + n);
    for (size_t i = 0; i < n; ++i) {
        // The session's connection runs without SQLite's mutex, so the column's value object
        // may be read directly.
        sqlite3_value* v = sqlite3_column_value(st, int(i));
        const int kind = sqlite3_value_type(v);
        if (kind == SQLITE_NULL)
            row.emplace_back();
        else
            row.push_back(readers_[i](*this, v, kind, i));
    }
}

QVariant RowReader::readInteger(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    if (kind != SQLITE_INTEGER) return readConverted(r, v, kind, col);
    return QVariant(static_cast<qlonglong>(sqlite3_value_int64(v)));
}

QVariant RowReader::readApprox(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    if (kind != SQLITE_FLOAT && kind != SQLITE_INTEGER) return readConverted(r, v, kind, col);
    return QVariant(sqlite3_value_double(v));
}

QVariant RowReader::readString(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    if (kind != SQLITE_TEXT) return readConverted(r, v, kind, col);
    auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return variantOf(r.text_->fromUtf8(p, sqlite3_value_bytes(v)));
}

QVariant RowReader::readExact(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    if (kind == SQLITE_TEXT) {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        int n = sqlite3_value_bytes(v);
        const types::TypeSpec& type = r.types_[col];
        if (hasScale(p, n, type.hasPrecision() ? type.scale : 4)) return variantOf(r.text_->fromLatin1(p, n));
    }
    return readConverted(r, v, kind, col);
}

QVariant RowReader::readDateTime(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    if (kind == SQLITE_TEXT) {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        if (auto d = types::DateTimeValue::fromStored(p, sqlite3_value_bytes(v)))
            return QVariant(utcDateTime(*d));
    }
    return readConverted(r, v, kind, col);
}

QVariant RowReader::readBinary(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    if (kind != SQLITE_BLOB) return readConverted(r, v, kind, col);
    return QVariant(QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v)));
}

QVariant RowReader::readConverted(RowReader& r, sqlite3_value* v, int kind, size_t col)
{
    types::Value x;
    switch (kind) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: x = types::Value::ofInt(sqlite3_value_int64(v)); break;
    case SQLITE_FLOAT: x = types::Value::ofReal(sqlite3_value_double(v)); break;
    case SQLITE_BLOB: {
        auto p = static_cast<const char*>(sqlite3_value_blob(v));
        x = types::Value::ofBlob(std::string(p ? p : "", size_t(sqlite3_value_bytes(v))));
        break;
    }
    default:
        x = types::Value::ofText(std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)), size_t(sqlite3_value_bytes(v))));
        break;
    }
    return toVariant(x, columnInfo(QString(), r.types_[col], true));
}

} // namespace engine::exec
