#include "engine/types/DateTimeValue.h"

#include <QDate>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>
#include <cstring>

namespace engine::types {

namespace {
const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
const char* const kMonthNames[] = {"january", "february", "march", "april", "may", "june", "july",
                                   "august", "september", "october", "november", "december"};
const qint64 kBaseJulian = QDate(1900, 1, 1).toJulianDay();
const qint64 kDayMs = 86400000;

int monthFromName(const QString& s)
{
    QString l = s.toLower();
    for (int i = 0; i < 12; ++i)
        if (l == QLatin1String(kMonths[i]) || l == QLatin1String(kMonthNames[i])) return i + 1;
    return 0;
}

bool validDate(int y, int m, int d) { return QDate::isValid(y, m, d); }

// Parses a time part "hh:mm[:ss[.fff|:fff]] [AM|PM]" into the value.
bool parseTime(const QString& t, DateTimeValue& v)
{
    static const QRegularExpression re(QStringLiteral(R"(^(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?(?:([.:])(\d{1,9}))?\s*([AaPp][Mm])?$)"));
    auto m = re.match(t.trimmed());
    if (!m.hasMatch()) return false;
    int h = m.captured(1).toInt();
    if (m.captured(2).isEmpty() && m.captured(6).isEmpty()) return false;
    int mi = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    int ms = 0;
    if (!m.captured(5).isEmpty()) {
        QString f = m.captured(5);
        if (m.captured(4) == QLatin1String(":")) ms = f.toInt(); // milliseconds as a number
        else ms = int(std::lround(QString(QStringLiteral("0.") + f).toDouble() * 1000));
        if (ms > 999) return false;
    }
    QString ap = m.captured(6).toLower();
    if (!ap.isEmpty()) {
        if (h < 1 || h > 12) return false;
        if (ap == QLatin1String("pm") && h != 12) h += 12;
        if (ap == QLatin1String("am") && h == 12) h = 0;
    }
    if (h > 23 || mi > 59 || s > 59) return false;
    v.hour = h; v.minute = mi; v.second = s; v.msec = ms;
    return true;
}

int fixYear(int y, int digits) { return digits <= 2 ? (y < 50 ? 2000 + y : 1900 + y) : y; }

thread_local char currentOrder[4] = "mdy";
} // namespace

void setDateOrder(const char* order)
{
    if (std::strlen(order) == 3) std::memcpy(currentOrder, order, 4);
}

const char* dateOrder() { return currentOrder; }

QString DateTimeValue::storedText() const { return QString::fromStdString(storedUtf8()); }

std::string DateTimeValue::storedUtf8() const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day, hour, minute, second, msec);
    return buf;
}

std::optional<DateTimeValue> DateTimeValue::fromStored(const char* p, int len)
{
    if (len < 19) return std::nullopt;
    auto num = [&](int at, int n) {
        int v = 0;
        for (int i = 0; i < n; ++i) {
            char c = p[at + i];
            if (c < '0' || c > '9') return -1;
            v = v * 10 + (c - '0');
        }
        return v;
    };
    if (p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':') return std::nullopt;
    DateTimeValue v;
    v.year = num(0, 4); v.month = num(5, 2); v.day = num(8, 2);
    v.hour = num(11, 2); v.minute = num(14, 2); v.second = num(17, 2);
    v.msec = 0;
    if (len >= 23 && p[19] == '.') v.msec = num(20, 3);
    if (v.year < 0 || v.month < 0 || v.day < 0 || v.hour < 0 || v.minute < 0 || v.second < 0 || v.msec < 0)
        return std::nullopt;
    return v;
}

std::optional<DateTimeValue> DateTimeValue::parse(const QString& input)
{
    QString s = input.trimmed();
    DateTimeValue v;
    if (s.isEmpty()) return v; // empty string is 1900-01-01
    // ISO 8601 with T
    static const QRegularExpression iso(QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](.+))?$)"));
    static const QRegularExpression compact(QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})(?:\s+(.+))?$)"));
    static const QRegularExpression slashed(QStringLiteral(R"(^(\d{1,4})[/.-](\d{1,2})[/.-](\d{1,4})(?:\s+(.+))?$)"));
    static const QRegularExpression named1(QStringLiteral(R"(^([A-Za-z]+)\s+(\d{1,2}),?\s+(\d{2,4})(?:\s+(.+))?$)"));
    static const QRegularExpression named2(QStringLiteral(R"(^(\d{1,2})\s+([A-Za-z]+),?\s+(\d{2,4})(?:\s+(.+))?$)"));
    QString timePart;
    bool hasDate = true;
    if (auto m = iso.match(s); m.hasMatch()) {
        v.year = m.captured(1).toInt(); v.month = m.captured(2).toInt(); v.day = m.captured(3).toInt();
        timePart = m.captured(4);
    } else if (auto m2 = compact.match(s); m2.hasMatch()) {
        v.year = m2.captured(1).toInt(); v.month = m2.captured(2).toInt(); v.day = m2.captured(3).toInt();
        timePart = m2.captured(4);
    } else if (auto m3 = slashed.match(s); m3.hasMatch()) {
        QString a = m3.captured(1), b = m3.captured(2), c = m3.captured(3);
        if (a.size() == 4) { // y/m/d
            v.year = a.toInt(); v.month = b.toInt(); v.day = c.toInt();
        } else {
            // the parts in the session's date order
            const char* order = dateOrder();
            const QString parts[3] = {a, b, c};
            for (int k = 0; k < 3; ++k) {
                switch (order[k]) {
                case 'd': v.day = parts[k].toInt(); break;
                case 'm': v.month = parts[k].toInt(); break;
                default: v.year = fixYear(parts[k].toInt(), int(parts[k].size())); break;
                }
            }
        }
        timePart = m3.captured(4);
    } else if (auto m4 = named1.match(s); m4.hasMatch() && monthFromName(m4.captured(1))) {
        v.month = monthFromName(m4.captured(1)); v.day = m4.captured(2).toInt();
        v.year = fixYear(m4.captured(3).toInt(), int(m4.captured(3).size()));
        timePart = m4.captured(4);
    } else if (auto m5 = named2.match(s); m5.hasMatch() && monthFromName(m5.captured(2))) {
        v.day = m5.captured(1).toInt(); v.month = monthFromName(m5.captured(2));
        v.year = fixYear(m5.captured(3).toInt(), int(m5.captured(3).size()));
        timePart = m5.captured(4);
    } else {
        hasDate = false;
        timePart = s;
    }
    if (hasDate && !validDate(v.year, v.month, v.day)) return std::nullopt;
    if (!timePart.isEmpty() && !parseTime(timePart, v)) return std::nullopt;
    return v;
}

qint64 DateTimeValue::toMsecs() const
{
    qint64 days = QDate(year, month, day).toJulianDay() - kBaseJulian;
    return days * kDayMs + ((hour * 60 + minute) * 60 + second) * 1000LL + msec;
}

DateTimeValue DateTimeValue::fromMsecs(qint64 ms)
{
    qint64 days = ms >= 0 ? ms / kDayMs : -((-ms + kDayMs - 1) / kDayMs);
    qint64 rest = ms - days * kDayMs;
    QDate d = QDate::fromJulianDay(kBaseJulian + days);
    DateTimeValue v;
    v.year = d.year(); v.month = d.month(); v.day = d.day();
    v.hour = int(rest / 3600000); rest %= 3600000;
    v.minute = int(rest / 60000); rest %= 60000;
    v.second = int(rest / 1000);
    v.msec = int(rest % 1000);
    return v;
}

double DateTimeValue::toDays() const { return double(toMsecs()) / double(kDayMs); }

std::optional<DateTimeValue> DateTimeValue::fromDays(double days)
{
    if (!std::isfinite(days) || days < -53690 || days > 2958463) return std::nullopt;
    return fromMsecs(qint64(std::llround(days * double(kDayMs)))).roundedDateTime();
}

QDateTime DateTimeValue::toQDateTime() const
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

DateTimeValue DateTimeValue::fromQDateTime(const QDateTime& dt)
{
    DateTimeValue v;
    QDate d = dt.date();
    QTime t = dt.time();
    v.year = d.year(); v.month = d.month(); v.day = d.day();
    v.hour = t.hour(); v.minute = t.minute(); v.second = t.second(); v.msec = t.msec();
    return v;
}

DateTimeValue DateTimeValue::roundedDateTime() const
{
    // datetime keeps 1/300 of a second: .000, .003, .007
    int ms = msec;
    int ticks = int(std::lround(ms * 0.3));
    int r = int(std::lround(ticks / 0.3));
    if (r == msec) return *this;
    return fromMsecs(toMsecs() - msec + r);
}

DateTimeValue DateTimeValue::roundedSmall() const
{
    qint64 ms = toMsecs();
    qint64 minute = 60000;
    qint64 base = ms - (second * 1000 + msec);
    // 29.998 seconds or less rounds down
    if (second * 1000 + msec >= 29999) base += minute;
    return fromMsecs(base);
}

bool DateTimeValue::inDateTimeRange() const { return year >= 1753 && year <= 9999; }

bool DateTimeValue::inSmallRange() const
{
    return QDate(year, month, day) >= QDate(1900, 1, 1) && QDate(year, month, day) <= QDate(2079, 6, 6);
}

std::optional<QString> DateTimeValue::format(int style, bool small) const
{
    auto p2 = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    auto p3 = [](int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); };
    QString mon = QString::fromLatin1(kMonths[month - 1]);
    mon[0] = mon[0].toUpper();
    int h12 = hour % 12 == 0 ? 12 : hour % 12;
    QString ampm = hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    bool century = style >= 100 || style == 0 || style == 9 || style == 13 || style == 20 || style == 21 || style == 126;
    int yy = century ? year : year % 100;
    QString y = century ? QString::number(year) : p2(yy);
    QString hm12 = QStringLiteral("%1:%2").arg(h12, 2, 10, QLatin1Char(' ')).arg(p2(minute));
    switch (style % 100) {
    case 0:
        if (style == 100 || style == 0)
            return QStringLiteral("%1 %2 %3 %4%5").arg(mon).arg(day, 2, 10, QLatin1Char(' ')).arg(year).arg(hm12, ampm);
        break;
    case 1: return p2(month) + '/' + p2(day) + '/' + y;
    case 2: return y + '.' + p2(month) + '.' + p2(day);
    case 3: return p2(day) + '/' + p2(month) + '/' + y;
    case 4: return p2(day) + '.' + p2(month) + '.' + y;
    case 5: return p2(day) + '-' + p2(month) + '-' + y;
    case 6: return p2(day) + ' ' + mon + ' ' + y;
    case 7: return mon + ' ' + p2(day) + ", " + y;
    case 8: return p2(hour) + ':' + p2(minute) + ':' + p2(second);
    case 9:
        return QStringLiteral("%1 %2 %3 %4:%5:%6:%7%8").arg(mon).arg(day, 2, 10, QLatin1Char(' ')).arg(year)
            .arg(h12, 2, 10, QLatin1Char(' ')).arg(p2(minute), p2(second), p3(msec), ampm);
    case 10: return p2(month) + '-' + p2(day) + '-' + y;
    case 11: return y + '/' + p2(month) + '/' + p2(day);
    case 12: return y + p2(month) + p2(day);
    case 13: return p2(day) + ' ' + mon + ' ' + QString::number(year) + ' ' + p2(hour) + ':' + p2(minute) + ':' + p2(second) + ':' + p3(msec);
    case 14: return p2(hour) + ':' + p2(minute) + ':' + p2(second) + ':' + p3(msec);
    case 20: return QString::number(year) + '-' + p2(month) + '-' + p2(day) + ' ' + p2(hour) + ':' + p2(minute) + ':' + p2(second);
    case 21: return QString::number(year) + '-' + p2(month) + '-' + p2(day) + ' ' + p2(hour) + ':' + p2(minute) + ':' + p2(second) + '.' + p3(msec);
    case 26:
        if (style == 126)
            return QString::number(year) + '-' + p2(month) + '-' + p2(day) + 'T' + p2(hour) + ':' + p2(minute) + ':' + p2(second) + '.' + p3(msec);
        break;
    default: break;
    }
    Q_UNUSED(small);
    return std::nullopt;
}

} // namespace engine::types
