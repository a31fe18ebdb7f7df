#include "engine/parser/Ast.h"

#include "engine/Engine.h"

namespace engine::sql {

QString ObjectName::text() const {
    QStringList parts;
    if (!server.isEmpty())
        parts << server << database << owner;
    else if (!database.isEmpty())
        parts << database << owner;
    else if (!owner.isEmpty())
        parts << owner;
    parts << name;
    return parts.join(QLatin1Char('.'));
}

QString DataType::text() const {
    QString t = owner.isEmpty() ? name : owner + QLatin1Char('.') + name;
    if (length)
        return t + QStringLiteral("(%1)").arg(*length);
    if (precision && scale)
        return t + QStringLiteral("(%1, %2)").arg(QString::number(*precision), QString::number(*scale));
    if (precision)
        return t + QStringLiteral("(%1)").arg(*precision);
    return t;
}

void throwWrongNode(const char* expected) {
    throw SqlError(0, 16,
                   QStringLiteral("Internal error: the syntax tree node is not a %1.")
                       .arg(QString::fromLatin1(expected)));
}

} // namespace engine::sql
