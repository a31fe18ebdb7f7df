#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/types/DateTimeValue.h"

#include <QDate>
#include <QDateTime>

#include <cmath>

namespace engine::functions {

using types::DateTimeValue;

enum Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond };

int datePartCode(const QString& name)
{
    static const struct { const char* names[4]; Part part; } parts[] = {
        {{"year", "yy", "yyyy", nullptr}, Year}, {{"quarter", "qq", "q", nullptr}, Quarter},
        {{"month", "mm", "m", nullptr}, Month}, {{"dayofyear", "dy", "y", nullptr}, DayOfYear},
        {{"day", "dd", "d", nullptr}, Day}, {{"week", "wk", "ww", nullptr}, Week},
        {{"weekday", "dw", "w", nullptr}, Weekday}, {{"hour", "hh", nullptr, nullptr}, Hour},
        {{"minute", "mi", "n", nullptr}, Minute}, {{"second", "ss", "s", nullptr}, Second},
        {{"millisecond", "ms", nullptr, nullptr}, Millisecond},
    };
    QString l = name.toLower();
    for (const auto& p : parts)
        for (const char* n : p.names)
            if (n && l == QLatin1String(n)) return p.part;
    return -1;
}

namespace {

std::optional<DateTimeValue> dateArg(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return DateTimeValue::fromDays(sqlite3_value_double(v));
    case SQLITE_TEXT: {
        auto p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        int n = sqlite3_value_bytes(v);
        if (auto d = DateTimeValue::fromStored(p, n)) return d;
        return DateTimeValue::parse(QString::fromUtf8(p, n));
    }
    default: return std::nullopt;
    }
}

void nowFunc(sqlite3_context* ctx, int, sqlite3_value**)
{
    auto v = DateTimeValue::fromQDateTime(QDateTime::currentDateTime()).roundedDateTime();
    std::string s = v.storedUtf8();
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

void utcNowFunc(sqlite3_context* ctx, int, sqlite3_value**)
{
    auto v = DateTimeValue::fromQDateTime(QDateTime::currentDateTimeUtc()).roundedDateTime();
    std::string s = v.storedUtf8();
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

bool badDate(sqlite3_context* ctx, sqlite3_value* v, std::optional<DateTimeValue>& out)
{
    if (sqlite3_value_type(v) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return true;
    }
    out = dateArg(v);
    if (!out) {
        resultError(ctx, Errors::dateConversion());
        return true;
    }
    return false;
}

int weekOfYear(const DateTimeValue& d)
{
    QDate date(d.year, d.month, d.day), jan1(d.year, 1, 1);
    int offset = jan1.dayOfWeek() % 7; // Sunday 0
    return (date.dayOfYear() - 1 + offset) / 7 + 1;
}

long long partOf(const DateTimeValue& d, int part)
{
    QDate date(d.year, d.month, d.day);
    switch (part) {
    case Year: return d.year;
    case Quarter: return (d.month - 1) / 3 + 1;
    case Month: return d.month;
    case DayOfYear: return date.dayOfYear();
    case Day: return d.day;
    case Week: return weekOfYear(d);
    case Weekday: return date.dayOfWeek() % 7 + 1; // Sunday 1
    case Hour: return d.hour;
    case Minute: return d.minute;
    case Second: return d.second;
    case Millisecond: return d.msec;
    default: return 0;
    }
}

void datepartFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[1], d)) return;
    sqlite3_result_int64(ctx, partOf(*d, sqlite3_value_int(argv[0])));
}

void yearFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[0], d)) return;
    sqlite3_result_int(ctx, d->year);
}
void monthFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[0], d)) return;
    sqlite3_result_int(ctx, d->month);
}
void dayFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[0], d)) return;
    sqlite3_result_int(ctx, d->day);
}

void datenameFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[1], d)) return;
    int part = sqlite3_value_int(argv[0]);
    static const char* months[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};
    static const char* days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    if (part == Month) return resultText(ctx, QLatin1String(months[d->month - 1]));
    if (part == Weekday) return resultText(ctx, QLatin1String(days[partOf(*d, Weekday) - 1]));
    resultText(ctx, QString::number(partOf(*d, part)));
}

void dateaddFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[2], d)) return;
    int part = sqlite3_value_int(argv[0]);
    long long n = static_cast<long long>(std::trunc(sqlite3_value_double(argv[1])));
    DateTimeValue r = *d;
    auto addMonths = [&](long long m) {
        QDate q = QDate(d->year, d->month, d->day).addMonths(int(m));
        r.year = q.year(); r.month = q.month(); r.day = q.day();
    };
    switch (part) {
    case Year: addMonths(n * 12); break;
    case Quarter: addMonths(n * 3); break;
    case Month: addMonths(n); break;
    case DayOfYear:
    case Day:
    case Weekday: r = DateTimeValue::fromMsecs(d->toMsecs() + n * 86400000LL); break;
    case Week: r = DateTimeValue::fromMsecs(d->toMsecs() + n * 7 * 86400000LL); break;
    case Hour: r = DateTimeValue::fromMsecs(d->toMsecs() + n * 3600000LL); break;
    case Minute: r = DateTimeValue::fromMsecs(d->toMsecs() + n * 60000LL); break;
    case Second: r = DateTimeValue::fromMsecs(d->toMsecs() + n * 1000LL); break;
    case Millisecond: r = DateTimeValue::fromMsecs(d->toMsecs() + n); break;
    default: break;
    }
    r = r.roundedDateTime();
    if (!r.inDateTimeRange())
        return resultError(ctx, Errors::make(517, QStringLiteral("Adding to a datetime value gave a date out of range.")));
    std::string s = r.storedUtf8();
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

long long floorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void datediffFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::optional<DateTimeValue> a, b;
    if (badDate(ctx, argv[1], a)) return;
    if (badDate(ctx, argv[2], b)) return;
    int part = sqlite3_value_int(argv[0]);
    long long ma = a->toMsecs(), mb = b->toMsecs();
    long long r = 0;
    switch (part) {
    case Year: r = b->year - a->year; break;
    case Quarter: r = (b->year * 4 + (b->month - 1) / 3) - (a->year * 4 + (a->month - 1) / 3); break;
    case Month: r = (b->year * 12 + b->month) - (a->year * 12 + a->month); break;
    case DayOfYear:
    case Day:
    case Weekday: r = floorDiv(mb, 86400000LL) - floorDiv(ma, 86400000LL); break;
    case Week: {
        // weeks start on Sunday; 1900-01-01 was a Monday
        long long da = floorDiv(ma, 86400000LL) + 1, db = floorDiv(mb, 86400000LL) + 1;
        r = floorDiv(db, 7) - floorDiv(da, 7);
        break;
    }
    case Hour: r = floorDiv(mb, 3600000LL) - floorDiv(ma, 3600000LL); break;
    case Minute: r = floorDiv(mb, 60000LL) - floorDiv(ma, 60000LL); break;
    case Second: r = floorDiv(mb, 1000LL) - floorDiv(ma, 1000LL); break;
    case Millisecond: r = mb - ma; break;
    default: break;
    }
    if (r > 2147483647LL || r < -2147483648LL)
        return resultError(ctx, Errors::make(535, QStringLiteral("The difference between the two datetime values is too large.")));
    sqlite3_result_int64(ctx, r);
}

void isdateFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_int(ctx, 0);
    auto d = DateTimeValue::parse(argText(argv[0]));
    sqlite3_result_int(ctx, d && d->inDateTimeRange() ? 1 : 0);
}

// datetime + number of days (and datetime - number)
void dateaddDaysFunc(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::optional<DateTimeValue> d;
    if (badDate(ctx, argv[0], d)) return;
    double days = sqlite3_value_double(argv[1]);
    auto r = DateTimeValue::fromDays(d->toDays() + days);
    if (!r || !r->inDateTimeRange())
        return resultError(ctx, Errors::make(517, QStringLiteral("Adding to a datetime value gave a date out of range.")));
    std::string s = r->storedUtf8();
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerDateFunctions(sqlite3* db)
{
    const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "tsql_getdate", 0, SQLITE_UTF8, nullptr, nowFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_getutcdate", 0, SQLITE_UTF8, nullptr, utcNowFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_datepart", 2, det, nullptr, datepartFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_datename", 2, det, nullptr, datenameFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_dateadd", 3, det, nullptr, dateaddFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_datediff", 3, det, nullptr, datediffFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_year", 1, det, nullptr, yearFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_month", 1, det, nullptr, monthFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_day", 1, det, nullptr, dayFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_isdate", 1, det, nullptr, isdateFunc, nullptr, nullptr);
    sqlite3_create_function(db, "tsql_dateadd_days", 2, det, nullptr, dateaddDaysFunc, nullptr, nullptr);
}

} // namespace engine::functions
