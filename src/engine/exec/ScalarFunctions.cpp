// More string and math functions: STUFF, QUOTENAME, PARSENAME, SOUNDEX, DIFFERENCE and the
// trigonometric ones; and the names of SQL Server functions this server refuses.

#include "engine/Errors.h"
#include "engine/exec/BuiltinFunctions.h"

namespace engine::exec {

using namespace engine::sql;
using types::Category;
using types::Type;
using types::TypeSpec;

std::optional<Typed> moreScalarFunction(Translator& tr, const FunctionExpr& f, const Scope& scope)
{
    const QString n = f.lowerName();
    Typed r;
    auto args = [&](bool text) {
        std::vector<Typed> v;
        for (const auto& a : f.args) {
            Typed t = tr.expr(*a, scope);
            r.hasAggregate |= t.hasAggregate;
            if (text && t.type.category() == Category::DateTime) {
                t.sql = tr.convertSql(t, spec(Type::VarChar, 30), false);
                t.type = spec(Type::VarChar, 30);
            }
            v.push_back(std::move(t));
        }
        return v;
    };
    auto call = [&](const char* name, const std::vector<Typed>& v) {
        QStringList l;
        for (const Typed& t : v) l << t.sql;
        return QStringLiteral("%1(%2)").arg(QLatin1String(name), l.join(QStringLiteral(", ")));
    };
    if (n == QLatin1String("stuff")) {
        argCount(f, 4, 4);
        auto a = args(true);
        r.sql = call("tsql_stuff", a);
        const TypeSpec& t = a[0].type;
        if (t.category() == Category::Binary) r.type = spec(Type::VarBinary, 8000);
        else r.type = t.isString() && t.info().unicode ? spec(Type::NVarChar, 4000) : spec(Type::VarChar, 8000);
        return r;
    }
    if (n == QLatin1String("quotename")) {
        argCount(f, 1, 2);
        r.sql = call("tsql_quotename", args(true));
        r.type = spec(Type::NVarChar, 258);
        return r;
    }
    if (n == QLatin1String("parsename")) {
        argCount(f, 2, 2);
        r.sql = call("tsql_parsename", args(true));
        r.type = spec(Type::NVarChar, 128);
        return r;
    }
    if (n == QLatin1String("soundex")) {
        argCount(f, 1, 1);
        r.sql = call("tsql_soundex", args(true));
        r.type = spec(Type::VarChar, 4);
        return r;
    }
    if (n == QLatin1String("difference")) {
        argCount(f, 2, 2);
        r.sql = call("tsql_difference", args(true));
        r.type = spec(Type::Int);
        return r;
    }
    static const QStringList floatFns = {QStringLiteral("sin"), QStringLiteral("cos"), QStringLiteral("tan"), QStringLiteral("cot"),
                                         QStringLiteral("asin"), QStringLiteral("acos"), QStringLiteral("atan"), QStringLiteral("square")};
    if (floatFns.contains(n)) {
        argCount(f, 1, 1);
        auto a = args(false);
        r.sql = QStringLiteral("tsql_%1(%2)").arg(n, a[0].sql);
        r.type = spec(Type::Float);
        return r;
    }
    if (n == QLatin1String("atn2")) {
        argCount(f, 2, 2);
        r.sql = call("tsql_atn2", args(false));
        r.type = spec(Type::Float);
        return r;
    }
    if (n == QLatin1String("degrees") || n == QLatin1String("radians")) {
        // the result keeps the argument's type: RADIANS(1) is 0
        argCount(f, 1, 1);
        auto a = args(false);
        Typed x;
        x.sql = QStringLiteral("tsql_%1(%2)").arg(n, a[0].sql);
        x.type = spec(Type::Float);
        Category c = a[0].type.category();
        if (c == Category::Integer && a[0].type.type != Type::Bit) {
            r.type = a[0].type.type == Type::BigInt ? spec(Type::BigInt) : spec(Type::Int);
            r.sql = QStringLiteral("CAST(%1 AS INTEGER)").arg(x.sql);
        } else if (c == Category::Exact) {
            r.type = a[0].type;
            if (r.type.hasPrecision()) r.type.precision = 38;
            r.sql = tr.convertSql(x, r.type, false);
        } else {
            r.type = spec(Type::Float);
            r.sql = x.sql;
        }
        return r;
    }
    if (n == QLatin1String("rowcount_big")) {
        argCount(f, 0, 0);
        GlobalExpr g;
        g.name = QStringLiteral("@@ROWCOUNT");
        Typed rc = tr.expr(g, scope);
        r.sql = rc.sql;
        r.type = spec(Type::BigInt);
        r.nullable = false;
        return r;
    }
    return std::nullopt;
}

void refuseKnownFunction(const FunctionExpr& f)
{
    static const QStringList refused = {
        QStringLiteral("binary_checksum"), QStringLiteral("checksum"), QStringLiteral("checksum_agg"), QStringLiteral("grouping"),
        QStringLiteral("formatmessage"), QStringLiteral("permissions"), QStringLiteral("sessionproperty"),
        QStringLiteral("sql_variant_property"), QStringLiteral("stats_date"), QStringLiteral("textptr"), QStringLiteral("textvalid"),
        QStringLiteral("cursor_status"), QStringLiteral("fulltextcatalogproperty"), QStringLiteral("fulltextserviceproperty"),
        QStringLiteral("file_id"), QStringLiteral("file_name"), QStringLiteral("fileproperty"), QStringLiteral("suser_sid"),
        QStringLiteral("suser_id"), QStringLiteral("collationproperty"), QStringLiteral("identity"), QStringLiteral("contains"),
        QStringLiteral("freetext"), QStringLiteral("openquery"), QStringLiteral("openrowset"), QStringLiteral("opendatasource"),
        QStringLiteral("openxml")};
    if (refused.contains(f.lowerName()))
        throw Errors::notSupported(QStringLiteral("the %1 function").arg(f.name.toUpper()));
}

} // namespace engine::exec
