#include "engine/sysprocs/ObjectNames.h"

#include "engine/ErrorsSchema.h"

namespace engine::sysprocs {

QStringList splitName(const QString& text)
{
    QStringList parts;
    QString cur;
    const QString t = text.trimmed();
    for (int i = 0; i < t.size(); ++i) {
        const QChar ch = t[i];
        if (ch == QLatin1Char('[') || ch == QLatin1Char('"')) {
            const QChar close = ch == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            int j = i + 1;
            bool closed = false;
            for (; j < t.size(); ++j) {
                if (t[j] == close) {
                    if (j + 1 < t.size() && t[j + 1] == close) {
                        cur += close;
                        ++j;
                        continue;
                    }
                    closed = true;
                    break;
                }
                cur += t[j];
            }
            if (!closed) throw Errors::badParameter(QStringLiteral("name"), QStringLiteral("unclosed delimiter in %1.").arg(text));
            i = j;
        } else if (ch == QLatin1Char('.')) {
            parts << cur;
            cur.clear();
        } else {
            cur += ch;
        }
    }
    parts << cur;
    return parts;
}

sql::ObjectName objectName(const QString& text)
{
    QStringList parts = splitName(text);
    if (parts.size() > 3 || parts.last().isEmpty())
        throw Errors::badParameter(QStringLiteral("name"), QStringLiteral("%1 is not a valid object name.").arg(text));
    sql::ObjectName n;
    n.name = parts.takeLast();
    if (!parts.isEmpty()) n.owner = parts.takeLast();
    if (!parts.isEmpty()) n.database = parts.takeLast();
    return n;
}

QString requiredArg(const std::vector<ProcArg>& args, int position, const char* name, const char* procedure)
{
    const ProcArg* a = arg(args, position, name);
    if (!a || a->value.isNull())
        throw Errors::parameterMissing(QLatin1String(procedure), QLatin1Char('@') + QLatin1String(name));
    return a->text();
}

std::optional<QString> optionalArg(const std::vector<ProcArg>& args, int position, const char* name)
{
    const ProcArg* a = arg(args, position, name);
    if (!a || a->value.isNull()) return std::nullopt;
    return a->text();
}

void inform(exec::SessionImpl& s, int number, const QString& text)
{
    Message m;
    m.number = number;
    m.severity = 0;
    m.text = text;
    s.addMessage(m);
}

} // namespace engine::sysprocs
