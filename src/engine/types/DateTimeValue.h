#pragma once
// datetime values: parsing T-SQL's accepted text forms, the stored text form, and the CONVERT
// styles.

#include <QDateTime>
#include <QString>

#include <optional>

namespace engine::types {

// Order of day, month and year in numeric dates ("mdy", "dmy", ...: SET DATEFORMAT). Kept per
// thread: a session sets it before it runs a statement.
void setDateOrder(const char* order);
const char* dateOrder();

struct DateTimeValue {
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, msec = 0;

    // Stored and canonical form: "yyyy-MM-dd hh:mm:ss.zzz".
    QString storedText() const;
    std::string storedUtf8() const;
    static std::optional<DateTimeValue> fromStored(const char* text, int len);
    // T-SQL's string forms (mdy order for slashed dates, ISO, yyyymmdd, month names, times).
    static std::optional<DateTimeValue> parse(const QString& text);
    // Days since 1900-01-01 plus the fraction of the day (the float conversion of datetime).
    double toDays() const;
    static std::optional<DateTimeValue> fromDays(double days);
    QDateTime toQDateTime() const;
    static DateTimeValue fromQDateTime(const QDateTime& dt);
    qint64 toMsecs() const; // milliseconds since 1900-01-01
    static DateTimeValue fromMsecs(qint64 ms);

    // Rounding to the type's precision: 1/300 s for datetime, the minute for smalldatetime.
    DateTimeValue roundedDateTime() const;
    DateTimeValue roundedSmall() const;
    bool inDateTimeRange() const;
    bool inSmallRange() const;

    // CONVERT(varchar, value, style); nullopt for a style the engine does not know.
    std::optional<QString> format(int style, bool small) const;
};

} // namespace engine::types
