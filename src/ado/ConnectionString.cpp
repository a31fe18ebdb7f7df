#include "ado/ConnectionString.h"

#include "ado/AdoError.h"

namespace ado {

namespace {
[[noreturn]] void malformed(const QString& why) {
    throw AdoError(ErrBadConnectionString, QStringLiteral("Invalid connection string: %1.").arg(why));
}

// Calls part(key, value, start, end) for each "key=value" part, end excluding its ';'.
template <typename Part>
void scan(const QString& text, Part part) {
    int pos = 0;
    const int n = text.size();
    while (pos < n) {
        while (pos < n && (text[pos].isSpace() || text[pos] == QLatin1Char(';')))
            ++pos;
        if (pos >= n)
            break;
        const int eq = text.indexOf(QLatin1Char('='), pos);
        const int semi = text.indexOf(QLatin1Char(';'), pos);
        if (eq < 0 || (semi >= 0 && semi < eq))
            malformed(QStringLiteral("a part has no \"=\""));
        const int start = pos;
        const QString key = text.mid(pos, eq - pos).trimmed().toLower();
        if (key.isEmpty())
            malformed(QStringLiteral("a part has no name"));
        pos = eq + 1;
        while (pos < n && text[pos] == QLatin1Char(' '))
            ++pos;
        QString value;
        if (pos < n && (text[pos] == QLatin1Char('\'') || text[pos] == QLatin1Char('"'))) {
            const QChar quote = text[pos++];
            bool closed = false;
            while (pos < n) {
                if (text[pos] == quote) {
                    if (pos + 1 < n && text[pos + 1] == quote) {
                        value += quote;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                value += text[pos++];
            }
            if (!closed)
                malformed(QStringLiteral("a quoted value of \"%1\" is not closed").arg(key));
            while (pos < n && text[pos].isSpace())
                ++pos;
            if (pos < n && text[pos] != QLatin1Char(';'))
                malformed(QStringLiteral("text follows the quoted value of \"%1\"").arg(key));
        } else {
            const int end = text.indexOf(QLatin1Char(';'), pos);
            value = text.mid(pos, (end < 0 ? n : end) - pos).trimmed();
            pos = end < 0 ? n : end;
        }
        part(key, value, start, pos);
    }
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text) {
    ConnectionString cs;
    scan(text, [&cs](const QString& key, const QString& value, int, int) { cs.values_.insert(key, value); });
    return cs;
}

QString ConnectionString::withoutPassword(const QString& text) {
    QString out;
    int copied = 0;
    scan(text, [&](const QString& key, const QString&, int start, int end) {
        if (key != QLatin1String("pwd") && key != QLatin1String("password"))
            return;
        out += text.mid(copied, start - copied);
        copied = end < text.size() && text[end] == QLatin1Char(';') ? end + 1 : end;
        while (copied < text.size() && text[copied] == QLatin1Char(' '))
            ++copied;
    });
    out += text.mid(copied);
    if (out.endsWith(QLatin1Char(';')) && !text.endsWith(QLatin1Char(';')))
        out.chop(1);
    return out;
}

QString ConnectionString::value(const QString& key) const { return values_.value(key.toLower()); }

bool ConnectionString::contains(const QString& key) const { return values_.contains(key.toLower()); }

namespace {
QString first(const ConnectionString& cs, std::initializer_list<const char*> keys) {
    for (const char* k : keys)
        if (cs.contains(QLatin1String(k)))
            return cs.value(QLatin1String(k));
    return {};
}

bool isTrue(const QString& v) {
    const QString t = v.trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("sspi");
}
} // namespace

QString ConnectionString::dataSource() const {
    return first(*this, {"data source", "server", "address", "addr", "network address"});
}

QString ConnectionString::initialCatalog() const {
    return first(*this, {"initial catalog", "database"});
}

QString ConnectionString::userId() const { return first(*this, {"user id", "uid", "user"}); }

QString ConnectionString::password() const { return first(*this, {"pwd", "password"}); }

bool ConnectionString::integratedSecurity() const {
    return isTrue(first(*this, {"integrated security", "trusted_connection"}));
}

bool ConnectionString::persistSecurityInfo() const {
    return isTrue(value(QStringLiteral("Persist Security Info")));
}

} // namespace ado
