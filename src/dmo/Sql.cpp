#include "dmo/Sql.h"

#include <QHash>
#include <QRegularExpression>

namespace dmo::sql {

QString qualified(const QString& owner, const QString& name) {
    if (owner.isEmpty())
        return quoteName(name);
    return quoteName(owner) + QLatin1Char('.') + quoteName(name);
}

QString stripBrackets(const QString& name) {
    if (name.size() >= 2 && name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        return name.mid(1, name.size() - 2).replace(QLatin1String("]]"), QLatin1String("]"));
    return name;
}

QStringList splitBatches(const QString& text) {
    static const QRegularExpression go(QStringLiteral("^\\s*go\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    QStringList batches;
    auto add = [&](QString batch) {
        if (!batch.trimmed().isEmpty())
            batches << batch;
    };
    // Batches keep their text exactly, line ends included, except the line end before GO.
    int batchStart = 0;
    int pos = 0;
    const int n = text.size();
    while (pos <= n) {
        int end = pos;
        while (end < n && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        int next = end;
        if (next < n && text[next] == QLatin1Char('\r'))
            ++next;
        if (next < n && text[next] == QLatin1Char('\n') && (next == end || text[end] == QLatin1Char('\r')))
            ++next;
        if (go.match(text.mid(pos, end - pos)).hasMatch()) {
            QString batch = text.mid(batchStart, pos - batchStart);
            if (batch.endsWith(QLatin1String("\r\n")))
                batch.chop(2);
            else if (batch.endsWith(QLatin1Char('\n')) || batch.endsWith(QLatin1Char('\r')))
                batch.chop(1);
            add(batch);
            batchStart = next;
        }
        if (next == end)
            break;
        pos = next;
    }
    add(text.mid(batchStart));
    return batches;
}

namespace {
struct TypeFacts {
    int length; // bytes when fixed, 0 otherwise
    int code;   // ODBC type code
};

const QHash<QString, TypeFacts>& facts() {
    static const QHash<QString, TypeFacts> table = {
        {"bigint", {8, -5}},      {"binary", {0, -2}},
        {"bit", {1, -7}},         {"char", {0, 1}},
        {"datetime", {8, 93}},    {"decimal", {0, 3}},
        {"float", {8, 8}},        {"image", {16, -4}},
        {"int", {4, 4}},          {"money", {8, 3}},
        {"nchar", {0, -8}},       {"ntext", {16, -10}},
        {"numeric", {0, 2}},      {"nvarchar", {0, -9}},
        {"real", {4, 7}},         {"smalldatetime", {4, 93}},
        {"smallint", {2, 5}},     {"smallmoney", {4, 3}},
        {"sql_variant", {8016, -150}}, {"sysname", {256, -9}},
        {"text", {16, -1}},       {"timestamp", {8, -2}},
        {"tinyint", {1, -6}},     {"uniqueidentifier", {16, -11}},
        {"varbinary", {0, -3}},   {"varchar", {0, 12}},
    };
    return table;
}
} // namespace

bool isSystemType(const QString& type) { return facts().contains(type.toLower()); }

bool typeHasLength(const QString& type) {
    static const QStringList types = {"char", "varchar", "nchar", "nvarchar", "binary", "varbinary"};
    return types.contains(type.toLower());
}

bool typeHasPrecision(const QString& type) {
    const QString t = type.toLower();
    return t == QLatin1String("decimal") || t == QLatin1String("numeric");
}

bool isUnicodeType(const QString& type) {
    const QString t = type.toLower();
    return t == QLatin1String("nchar") || t == QLatin1String("nvarchar") ||
           t == QLatin1String("ntext") || t == QLatin1String("sysname");
}

int fixedTypeLength(const QString& type) { return facts().value(type.toLower(), {0, 12}).length; }

int odbcTypeCode(const QString& type) { return facts().value(type.toLower(), {0, 12}).code; }

QString typeNameOfXtype(int xtype) {
    static const QHash<int, QString> names = {
        {34, "image"},     {35, "text"},         {36, "uniqueidentifier"}, {48, "tinyint"},
        {52, "smallint"},  {56, "int"},          {58, "smalldatetime"},    {59, "real"},
        {60, "money"},     {61, "datetime"},     {62, "float"},            {98, "sql_variant"},
        {99, "ntext"},     {104, "bit"},         {106, "decimal"},         {108, "numeric"},
        {122, "smallmoney"}, {127, "bigint"},    {165, "varbinary"},       {167, "varchar"},
        {173, "binary"},   {175, "char"},        {189, "timestamp"},       {231, "nvarchar"},
        {239, "nchar"},    {256, "sysname"},
    };
    return names.value(xtype);
}

QStringList systemTypeNames() {
    QStringList names = facts().keys();
    names.sort();
    return names;
}

QString typeDeclaration(const QString& type, int length, int precision, int scale) {
    const QString name = quoteNameIfNeeded(type);
    if (typeHasLength(type) && length > 0)
        return QStringLiteral("%1(%2)").arg(name, QString::number(length));
    if (typeHasPrecision(type) && precision > 0)
        return QStringLiteral("%1(%2, %3)")
            .arg(name, QString::number(precision), QString::number(scale < 0 ? 0 : scale));
    return name;
}

} // namespace dmo::sql
