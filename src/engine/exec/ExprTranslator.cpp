#include "engine/Errors.h"
#include "engine/exec/BuiltinFunctions.h"
#include "engine/exec/SessionImpl.h"
#include "engine/exec/Translator.h"
#include "engine/functions/Functions.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/types/Convert.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"
#include "engine/types/Decimal.h"

#include <QRegularExpression>

#include <cmath>

namespace engine::exec {

using namespace engine::sql;
using types::Category;
using types::Type;
using types::TypeSpec;

namespace {
bool numericCat(Category c) { return c == Category::Integer || c == Category::Exact || c == Category::Approx; }

int intRank(Type t)
{
    switch (t) {
    case Type::Bit: return 0;
    case Type::TinyInt: return 1;
    case Type::SmallInt: return 2;
    case Type::Int: return 3;
    case Type::BigInt: return 4;
    default: return -1;
    }
}
} // namespace

void forEachChild(const Expr& e, const std::function<void(const Expr&)>& fn)
{
    auto f = [&](const ExprPtr& p) {
        if (p) fn(*p);
    };
    switch (e.kind) {
    case ExprKind::Unary: f(as<UnaryExpr>(e).operand); break;
    case ExprKind::Binary: f(as<BinaryExpr>(e).left); f(as<BinaryExpr>(e).right); break;
    case ExprKind::Like: f(as<LikeExpr>(e).value); f(as<LikeExpr>(e).pattern); f(as<LikeExpr>(e).escape); break;
    case ExprKind::In:
        f(as<InExpr>(e).value);
        for (const auto& x : as<InExpr>(e).list) f(x);
        break;
    case ExprKind::Between: f(as<BetweenExpr>(e).value); f(as<BetweenExpr>(e).low); f(as<BetweenExpr>(e).high); break;
    case ExprKind::IsNull: f(as<IsNullExpr>(e).value); break;
    case ExprKind::Case: {
        const auto& c = as<CaseExpr>(e);
        f(c.operand);
        for (const auto& w : c.whens) {
            f(w.when);
            f(w.then);
        }
        f(c.elseValue);
        break;
    }
    case ExprKind::Function:
        for (const auto& x : as<FunctionExpr>(e).args) f(x);
        break;
    case ExprKind::Convert: f(as<ConvertExpr>(e).value); f(as<ConvertExpr>(e).style); break;
    case ExprKind::Cast: f(as<CastExpr>(e).value); break;
    default: break;
    }
}

QString Translator::bind(const types::Value& v)
{
    binds_.push_back(v);
    return QStringLiteral("?%1").arg(binds_.size());
}

QString Translator::numericSql(const Typed& x)
{
    if (x.type.category() == Category::Exact && !x.isColumn && !x.isNull) return QStringLiteral("(%1 + 0)").arg(x.sql);
    return x.sql;
}

namespace {
// An expression typed at its type's largest length may hold more: a longer literal, or text
// built from values at that length. Only a column is known to fit.
bool mayExceedType(const Typed& x)
{
    if (x.isColumn) return false;
    switch (x.type.type) {
    case Type::Char: case Type::VarChar: case Type::Binary: case Type::VarBinary: return x.type.length >= 8000;
    case Type::NChar: case Type::NVarChar: return x.type.length >= 4000;
    default: return false;
    }
}

// Character and binary types of a declared length.
bool hasLengthLimit(const TypeSpec& t)
{
    return (t.isString() || t.category() == Category::Binary) && t.type != Type::Text && t.type != Type::NText && t.type != Type::Image &&
           t.type != Type::Timestamp;
}
} // namespace

QString Translator::convertSql(const Typed& x, const TypeSpec& to, bool assignment, const QString& styleSql)
{
    if (x.isNull) return QStringLiteral("NULL");
    const TypeSpec& from = x.type;
    // a value stored or converted explicitly is measured when it may be longer than its type says
    if (!x.unknownType && styleSql.isEmpty() && !(assignment && mayExceedType(x) && hasLengthLimit(to))) {
        if (from == to && from.type != Type::Char && from.type != Type::NChar && from.type != Type::Binary) return x.sql;
        Category fc = from.category(), tc = to.category();
        if (fc == Category::String && tc == Category::String) {
            bool toText = to.type == Type::Text || to.type == Type::NText;
            bool fromText = from.type == Type::Text || from.type == Type::NText;
            bool toPadded = to.type == Type::Char || to.type == Type::NChar;
            int fromLen = from.type == Type::SysName ? 128 : from.length;
            int toLen = to.type == Type::SysName ? 128 : to.length;
            if (toText) return x.sql;
            if (!fromText && !toPadded && fromLen <= toLen) return x.sql;
            if (!fromText && toPadded && (from.type == Type::Char || from.type == Type::NChar) && fromLen == toLen) return x.sql;
        }
        if (fc == Category::Integer && tc == Category::Integer && intRank(to.type) >= intRank(from.type) && from.type != Type::Bit &&
            to.type != Type::Bit)
            return x.sql;
        if (fc == Category::Integer && tc == Category::Approx && to.type == Type::Float) return x.sql;
        if (fc == Category::Approx && from.type == to.type) return x.sql;
        // decimal(p,s) to a decimal of the same scale and as many integer digits or more: the
        // stored text is the same
        if (from.hasPrecision() && to.hasPrecision() && from.scale == to.scale && to.precision - to.scale >= from.precision - from.scale)
            return x.sql;
        if (fc == Category::DateTime && from.type == Type::DateTime && to.type == Type::DateTime) return x.sql;
        if (fc == Category::Guid && tc == Category::Guid) return x.sql;
        if (fc == Category::Binary && (to.type == Type::Image || (to.type == Type::VarBinary && from.type == Type::VarBinary && from.length <= to.length)))
            return x.sql;
    }
    return cvtSql(x, to, assignment, styleSql);
}

QString Translator::cvtSql(const Typed& x, const TypeSpec& to, bool assignment, const QString& styleSql)
{
    TypeSpec f = x.unknownType ? spec(Type::SqlVariant) : x.type;
    auto n = [](int v) { return QString::number(v); };
    return QStringLiteral("tsql_cvt(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11)")
        .arg(x.sql, n(int(f.type)), n(f.length), n(f.precision), n(f.scale), n(int(to.type)), n(to.length), n(to.precision),
             n(to.scale), styleSql.isEmpty() ? QStringLiteral("NULL") : styleSql, n(assignment ? 1 : 0));
}

QString Translator::condition(const Expr& e, const Scope& scope)
{
    Typed t = expr(e, scope);
    return t.sql;
}

Typed Translator::expr(const Expr& e, const Scope& scope)
{
    if (++depth_ > 200) {
        --depth_;
        throw Errors::make(191, QStringLiteral("The statement is nested too deeply; simplify it."));
    }
    struct Guard {
        int& d;
        ~Guard() { --d; }
    } guard{depth_};
    switch (e.kind) {
    case ExprKind::Literal: return literal(as<LiteralExpr>(e));
    case ExprKind::Column: return column(as<ColumnExpr>(e), scope);
    case ExprKind::Variable: return variable(as<VariableExpr>(e));
    case ExprKind::Global: return global(as<GlobalExpr>(e));
    case ExprKind::Unary: return unary(as<UnaryExpr>(e), scope);
    case ExprKind::Binary: return binary(as<BinaryExpr>(e), scope);
    case ExprKind::Like: {
        const auto& l = as<LikeExpr>(e);
        Typed v = expr(*l.value, scope), p = expr(*l.pattern, scope);
        // LIKE matches a datetime as its default text ("Jan  1 2006 12:00AM")
        for (Typed* x : {&v, &p})
            if (x->type.category() == Category::DateTime) x->sql = convertSql(*x, spec(Type::VarChar, 30), false);
        bool cs = v.column && (v.column->collation.contains(QLatin1String("_CS"), Qt::CaseInsensitive) ||
                               v.column->collation.endsWith(QLatin1String("_BIN"), Qt::CaseInsensitive));
        QString sql = QStringLiteral("tsql_like(%1, %2, %3, %4)")
                          .arg(v.sql, p.sql, l.escape ? expr(*l.escape, scope).sql : QStringLiteral("NULL"),
                               cs ? QStringLiteral("1") : QStringLiteral("0"));
        Typed r;
        r.sql = l.negated ? QStringLiteral("(NOT %1)").arg(sql) : sql;
        r.type = spec(Type::Bit);
        r.hasAggregate = v.hasAggregate || p.hasAggregate;
        return r;
    }
    case ExprKind::In: {
        const auto& in = as<InExpr>(e);
        Typed v = expr(*in.value, scope);
        Typed r;
        r.type = spec(Type::Bit);
        r.hasAggregate = v.hasAggregate;
        QString lhs;
        if (in.subquery) {
            TranslatedQuery q = query(*in.subquery, &scope);
            if (q.columns.size() != 1)
                throw Errors::make(116, QStringLiteral("A subquery used as a value must select exactly one expression."));
            Typed first;
            first.sql = QStringLiteral("\"v1\"");
            first.type = q.columns[0].type;
            first.isNull = q.columns[0].nullLiteral;
            Typed vv = v;
            coerceForCompare(vv, first); // converts whichever side ranks lower, the subquery's column included
            lhs = vv.sql;
            if (vv.type.isString() && !vv.isColumn) lhs += QStringLiteral(" COLLATE TSQL_CI");
            r.sql = QStringLiteral("(%1 %2IN (SELECT %3 FROM (%4)))").arg(lhs, in.negated ? QStringLiteral("NOT ") : QString(), first.sql, q.sql);
            return r;
        }
        QStringList items;
        Typed vv = v;
        for (const auto& x : in.list) {
            Typed t = expr(*x, scope);
            Typed a = v;
            coerceForCompare(a, t);
            if (a.sql != v.sql) vv = a; // the value converted to the list's type
            items << numericSql(t);
        }
        lhs = numericSql(vv);
        if (vv.type.isString() && !vv.isColumn) lhs += QStringLiteral(" COLLATE TSQL_CI");
        r.sql = QStringLiteral("(%1 %2IN (%3))").arg(lhs, in.negated ? QStringLiteral("NOT ") : QString(), items.join(QStringLiteral(", ")));
        return r;
    }
    case ExprKind::Between: {
        const auto& b = as<BetweenExpr>(e);
        Typed v = expr(*b.value, scope), lo = expr(*b.low, scope), hi = expr(*b.high, scope);
        Typed v1 = v, v2 = v;
        coerceForCompare(v1, lo);
        coerceForCompare(v2, hi);
        Typed r;
        r.type = spec(Type::Bit);
        QString lhs = numericSql(v1);
        if (v1.type.isString() && !v1.isColumn) lhs += QStringLiteral(" COLLATE TSQL_CI");
        r.sql = QStringLiteral("(%1 %2BETWEEN %3 AND %4)").arg(lhs, b.negated ? QStringLiteral("NOT ") : QString(), numericSql(lo), numericSql(hi));
        r.hasAggregate = v.hasAggregate || lo.hasAggregate || hi.hasAggregate;
        return r;
    }
    case ExprKind::IsNull: {
        const auto& n = as<IsNullExpr>(e);
        Typed v = expr(*n.value, scope);
        Typed r;
        r.type = spec(Type::Bit);
        r.sql = QStringLiteral("(%1 IS %2NULL)").arg(v.sql, n.negated ? QStringLiteral("NOT ") : QString());
        r.hasAggregate = v.hasAggregate;
        return r;
    }
    case ExprKind::Exists: {
        TranslatedQuery q = query(*as<ExistsExpr>(e).query, &scope);
        Typed r;
        r.type = spec(Type::Bit);
        r.sql = QStringLiteral("EXISTS (%1)").arg(q.sql);
        return r;
    }
    case ExprKind::Case: return caseExpr(as<CaseExpr>(e), scope);
    case ExprKind::Function: return function(as<FunctionExpr>(e), scope);
    case ExprKind::Convert: {
        const auto& c = as<ConvertExpr>(e);
        return convert(*c.value, c.type, c.style.get(), scope);
    }
    case ExprKind::Cast: {
        const auto& c = as<CastExpr>(e);
        return convert(*c.value, c.type, nullptr, scope);
    }
    case ExprKind::Subquery: return subquery(*as<SubqueryExpr>(e).query, scope);
    case ExprKind::Default:
        throw Errors::make(156, QStringLiteral("Syntax error near the keyword 'DEFAULT'."));
    default: break;
    }
    throw Errors::notSupported(QStringLiteral("this expression"));
}

Typed Translator::literal(const LiteralExpr& e)
{
    Typed r;
    r.nullable = false;
    switch (e.type) {
    case LiteralType::Null:
        r.sql = QStringLiteral("NULL");
        r.type = spec(Type::Int);
        r.isNull = true;
        r.nullable = true;
        return r;
    case LiteralType::Integer: {
        bool ok = false;
        long long v = e.text.toLongLong(&ok);
        if (ok) {
            r.sql = QString::number(v);
            r.type = spec(v >= -2147483648LL && v <= 2147483647LL ? Type::Int : Type::BigInt);
            if (r.type.type == Type::BigInt) r.type = spec(Type::Decimal, std::nullopt, std::min(38, int(e.text.size())), 0);
            return r;
        }
        auto d = types::Decimal::parse(e.text.toStdString());
        if (!d || e.text.size() > 38) throw Errors::make(1007, QStringLiteral("The number '%1' has more than 38 digits and cannot be represented.").arg(e.text));
        r.sql = storage::quoteText(e.text);
        r.type = spec(Type::Decimal, std::nullopt, int(e.text.size()), 0);
        return r;
    }
    case LiteralType::Decimal:
    case LiteralType::Money: {
        auto d = types::Decimal::parse(e.text.toStdString());
        if (!d) throw Errors::syntax(e.text);
        int scale = d->scale();
        int prec = std::max(scale, d->integerDigits() + scale);
        if (prec < 1) prec = 1;
        if (prec > 38) throw Errors::make(1007, QStringLiteral("The number '%1' has more than 38 digits and cannot be represented.").arg(e.text));
        r.type = e.type == LiteralType::Money ? spec(Type::Money) : spec(Type::Decimal, std::nullopt, prec, scale);
        std::string canon = d->text();
        // a number SQLite writes back as its digits goes as one; one below 0.0001 would come back
        // in exponent form (1.2e-09), and more than 15 digits would not come back whole
        const size_t point = canon.find('.');
        const bool tiny = !d->isZero() && d->integerDigits() == 0 && point != std::string::npos && canon.compare(point + 1, 4, "0000") == 0;
        const bool asNumber = prec <= 15 && !tiny;
        r.sql = asNumber ? QString::fromStdString(canon) : storage::quoteText(QString::fromStdString(canon));
        if (asNumber && !r.sql.contains(QLatin1Char('.'))) r.sql += QStringLiteral(".0");
        return r;
    }
    case LiteralType::Float: {
        const double v = e.text.toDouble();
        if (!std::isfinite(v)) throw Errors::overflow(QStringLiteral("float"));
        r.sql = QString::number(v, 'g', 17);
        if (!r.sql.contains(QLatin1Char('.')) && !r.sql.contains(QLatin1Char('e'))) r.sql += QStringLiteral(".0");
        r.type = spec(Type::Float);
        return r;
    }
    case LiteralType::String:
    case LiteralType::NString:
        r.sql = storage::quoteText(e.text);
        r.type = spec(e.type == LiteralType::NString ? Type::NVarChar : Type::VarChar,
                      std::clamp(int(e.text.size()), 1, e.type == LiteralType::NString ? 4000 : 8000));
        r.overLong = e.text.size() > r.type.length;
        return r;
    case LiteralType::Binary:
        r.sql = QStringLiteral("X'%1'").arg(QString::fromLatin1(e.bytes.toHex()));
        r.type = spec(Type::VarBinary, std::clamp(int(e.bytes.size()), 1, 8000));
        r.overLong = e.bytes.size() > r.type.length;
        return r;
    }
    return r;
}

Typed Translator::column(const ColumnExpr& e, const Scope& scope)
{
    auto matchesSource = [&](const ScopeSource& src) {
        if (e.table.isEmpty()) return true;
        if (src.alias.compare(e.table, Qt::CaseInsensitive) != 0) return false;
        if (!e.owner.isEmpty() && (src.hasAlias || src.owner.compare(e.owner, Qt::CaseInsensitive) != 0)) return false;
        if (!e.database.isEmpty() && (src.hasAlias || src.database.compare(e.database, Qt::CaseInsensitive) != 0)) return false;
        return true;
    };
    for (const Scope* sc = &scope; sc; sc = sc->outer) {
        const ScopeColumn* found = nullptr;
        bool sourceFound = false;
        for (const ScopeSource& src : sc->sources) {
            if (!matchesSource(src)) continue;
            sourceFound = true;
            for (const ScopeColumn& c : src.columns) {
                if (c.name.compare(e.column, Qt::CaseInsensitive) != 0) continue;
                if (found) throw Errors::ambiguousColumn(e.column);
                found = &c;
            }
        }
        if (found) {
            Typed r;
            r.sql = found->sql;
            r.type = found->type;
            r.nullable = found->nullable;
            r.isColumn = true;
            r.column = found->column;
            return r;
        }
        if (sourceFound && !e.table.isEmpty()) throw Errors::invalidColumn(e.column);
    }
    if (!e.table.isEmpty()) {
        bool anywhere = false;
        for (const Scope* sc = &scope; sc; sc = sc->outer)
            for (const ScopeSource& src : sc->sources)
                if (matchesSource(src)) anywhere = true;
        if (!anywhere)
            throw Errors::make(107, QStringLiteral("'%1' is not a table name or alias used in this query.").arg(e.table));
    }
    throw Errors::invalidColumn(e.column);
}

Typed Translator::variable(const VariableExpr& e)
{
    Variable* v = s_.variable(e.name);
    if (!v) throw Errors::mustDeclare(e.name);
    Typed r;
    r.sql = bind(v->value);
    r.type = v->type;
    r.isNull = false;
    return r;
}

Typed Translator::global(const GlobalExpr& e)
{
    QString n = e.name.toUpper();
    Typed r;
    r.nullable = false;
    auto intValue = [&](long long v, Type t = Type::Int) {
        r.sql = QString::number(v);
        r.type = spec(t);
        return r;
    };
    auto textValue = [&](const QString& v, int len = 128) {
        r.sql = storage::quoteText(v);
        r.type = spec(Type::NVarChar, len);
        return r;
    };
    if (n == QLatin1String("@@IDENTITY")) {
        r.nullable = true;
        r.type = spec(Type::Decimal, std::nullopt, 38, 0);
        r.sql = s_.lastIdentity ? QString::number(*s_.lastIdentity) : QStringLiteral("NULL");
        return r;
    }
    if (n == QLatin1String("@@ROWCOUNT")) return intValue(s_.rowCount());
    if (n == QLatin1String("@@ERROR")) return intValue(s_.lastError);
    if (n == QLatin1String("@@TRANCOUNT")) return intValue(s_.tranCount());
    if (n == QLatin1String("@@SPID")) return intValue(s_.spid(), Type::SmallInt);
    if (n == QLatin1String("@@FETCH_STATUS")) return intValue(-1);
    if (n == QLatin1String("@@NESTLEVEL")) return intValue(s_.procedureDepth);
    if (n == QLatin1String("@@DATEFIRST")) return intValue(7, Type::TinyInt);
    if (n == QLatin1String("@@MAX_PRECISION")) return intValue(38, Type::TinyInt);
    if (n == QLatin1String("@@LANGID")) return intValue(0, Type::SmallInt);
    if (n == QLatin1String("@@TEXTSIZE")) return intValue(4096);
    if (n == QLatin1String("@@PROCID")) return intValue(0);
    if (n == QLatin1String("@@MAX_CONNECTIONS")) return intValue(32767);
    if (n == QLatin1String("@@OPTIONS")) return intValue(5496);
    if (n == QLatin1String("@@LOCK_TIMEOUT")) return intValue(s_.lockTimeout);
    if (n == QLatin1String("@@CURSOR_ROWS")) return intValue(0);
    if (n == QLatin1String("@@TIMETICKS")) return intValue(31250);
    // activity counters of the server: this one keeps none
    static const QStringList counters = {QStringLiteral("@@CONNECTIONS"), QStringLiteral("@@CPU_BUSY"), QStringLiteral("@@IDLE"),
        QStringLiteral("@@IO_BUSY"), QStringLiteral("@@PACK_RECEIVED"), QStringLiteral("@@PACK_SENT"), QStringLiteral("@@PACKET_ERRORS"),
        QStringLiteral("@@TOTAL_ERRORS"), QStringLiteral("@@TOTAL_READ"), QStringLiteral("@@TOTAL_WRITE")};
    if (counters.contains(n)) return intValue(0);
    if (n == QLatin1String("@@REMSERVER")) {
        r.nullable = true;
        r.sql = QStringLiteral("NULL");
        r.type = spec(Type::NVarChar, 128);
        return r;
    }
    if (n == QLatin1String("@@DBTS")) {
        r.sql = QStringLiteral("X'%1'").arg(QStringLiteral("%1").arg(s_.server().nextTimestamp(), 16, 16, QLatin1Char('0')));
        r.type = spec(Type::VarBinary, 8);
        return r;
    }
    if (n == QLatin1String("@@VERSION"))
        return textValue(QStringLiteral("Varnolt embedded SQL Server 8.00.2039 compatible engine on SQLite %1").arg(QLatin1String(sqlite3_libversion())), 256);
    if (n == QLatin1String("@@SERVERNAME")) return textValue(s_.serverNameText());
    if (n == QLatin1String("@@SERVICENAME")) {
        QString sv = s_.serverNameText();
        int slash = sv.indexOf(QLatin1Char('\\'));
        return textValue(slash >= 0 ? sv.mid(slash + 1) : QStringLiteral("MSSQLSERVER"));
    }
    if (n == QLatin1String("@@LANGUAGE")) return textValue(QStringLiteral("us_english"));
    throw Errors::make(137, QStringLiteral("The global variable '%1' is not known to this server.").arg(e.name));
}

Typed Translator::unary(const UnaryExpr& e, const Scope& scope)
{
    if (e.op == UnaryOp::BitNot) {
        // ~~x is x for integers: a long run folds pairwise instead of nesting in the SQL
        const UnaryExpr* inner = &e;
        int run = 1;
        while (auto u = tryAs<const UnaryExpr>(inner->operand.get())) {
            if (u->op != UnaryOp::BitNot) break;
            inner = u;
            ++run;
        }
        if (run > 1) {
            Typed x = expr(*inner->operand, scope);
            Typed r = x;
            r.isColumn = false;
            r.column = nullptr;
            r.isNull = false;
            const bool integer = x.type.category() == Category::Integer;
            for (int i = integer ? run % 2 : run; i > 0; --i) r.sql = QStringLiteral("(~%1)").arg(r.sql);
            return r;
        }
    }
    Typed x = expr(*e.operand, scope);
    Typed r = x;
    r.isColumn = false;
    r.column = nullptr;
    r.isNull = false;
    switch (e.op) {
    case UnaryOp::Minus:
        if (x.type.isString()) throw Errors::make(8117, QStringLiteral("A value of type %1 cannot be negated.").arg(x.type.name()));
        if (x.type.category() == Category::Exact && !x.isColumn && !x.sql.startsWith(QLatin1Char('?'))) {
            // keep exact literals exact: negate the text
            if (x.sql.startsWith(QLatin1Char('\''))) {
                r.sql = QStringLiteral("'-") + x.sql.mid(1);
                return r;
            }
        }
        r.sql = QStringLiteral("(-%1)").arg(numericSql(x));
        // -(-2147483648) does not fit an int
        static const QRegularExpression plainDigits(QStringLiteral("^\\d+$"));
        if ((x.type.type == Type::SmallInt || x.type.type == Type::Int || x.type.type == Type::BigInt) && !plainDigits.match(x.sql).hasMatch())
            r.sql = QStringLiteral("tsql_chkint(%1, %2)").arg(r.sql, QString::number(x.type.type == Type::SmallInt ? 16 : x.type.type == Type::Int ? 32 : 64));
        return r;
    case UnaryOp::Plus: return x;
    case UnaryOp::BitNot: r.sql = QStringLiteral("(~%1)").arg(x.sql); return r;
    case UnaryOp::Not:
        r.sql = QStringLiteral("(NOT %1)").arg(x.sql);
        r.type = spec(Type::Bit);
        return r;
    }
    return r;
}

void Translator::coerceForCompare(Typed& a, Typed& b)
{
    if (a.isNull || b.isNull || a.unknownType || b.unknownType) return;
    Category ca = a.type.category(), cb = b.type.category();
    if (ca == cb) return;
    if (numericCat(ca) && numericCat(cb)) return;
    if (!types::implicitAllowed(a.type, b.type) || !types::implicitAllowed(b.type, a.type)) {
        if (ca == Category::Variant || cb == Category::Variant) return;
        throw Errors::make(206, QStringLiteral("Types %1 and %2 cannot be used together.").arg(a.type.name(), b.type.name()));
    }
    // the lower type converts to the higher one
    if (a.type.info().order >= b.type.info().order) {
        TypeSpec to = a.type;
        if (to.isString()) to.length = 8000;
        b.sql = convertSql(b, to, false);
        b.type = to;
        b.isColumn = false;
    } else {
        TypeSpec to = b.type;
        if (to.isString()) to.length = 8000;
        a.sql = convertSql(a, to, false);
        a.type = to;
        a.isColumn = false;
    }
}

Typed Translator::comparison(BinaryOp op, Typed a, Typed b)
{
    coerceForCompare(a, b);
    QString o;
    switch (op) {
    case BinaryOp::Eq: o = QStringLiteral("="); break;
    case BinaryOp::Ne: o = QStringLiteral("<>"); break;
    case BinaryOp::Lt: o = QStringLiteral("<"); break;
    case BinaryOp::Le: o = QStringLiteral("<="); break;
    case BinaryOp::Gt: o = QStringLiteral(">"); break;
    case BinaryOp::Ge: o = QStringLiteral(">="); break;
    case BinaryOp::NotLt: o = QStringLiteral(">="); break;
    case BinaryOp::NotGt: o = QStringLiteral("<="); break;
    default: break;
    }
    QString l = numericSql(a), r = numericSql(b);
    if ((a.type.isString() || b.type.isString()) && !a.isColumn && !b.isColumn) l += QStringLiteral(" COLLATE TSQL_CI");
    Typed t;
    t.sql = QStringLiteral("(%1 %2 %3)").arg(l, o, r);
    t.type = spec(Type::Bit);
    t.hasAggregate = a.hasAggregate || b.hasAggregate;
    return t;
}

namespace {
// SQLite takes at most 127 arguments a call: a longer run starts a new call on the result so far
constexpr int kChainArgs = 100;

Typed chained(const Typed& a, const Typed& b, int kind, const QString& step)
{
    // each side's own run joins this one (postfix steps), unless the call would take too many values
    auto parts = [kind](const Typed& x, bool whole, QStringList& args, QStringList& steps) {
        if (!whole && x.chainKind == kind && x.flatSql == x.sql) {
            args = x.chainArgs;
            steps = x.chainSteps;
        } else {
            args = QStringList{x.sql};
            steps = QStringList{QStringLiteral(".")};
        }
    };
    QStringList aArgs, aSteps, bArgs, bSteps;
    parts(a, false, aArgs, aSteps);
    parts(b, false, bArgs, bSteps);
    if (aArgs.size() + bArgs.size() > kChainArgs) {
        if (aArgs.size() >= bArgs.size()) parts(a, true, aArgs, aSteps);
        else parts(b, true, bArgs, bSteps);
        if (aArgs.size() + bArgs.size() > kChainArgs) {
            parts(a, true, aArgs, aSteps);
            parts(b, true, bArgs, bSteps);
        }
    }
    Typed r;
    r.chainKind = kind;
    r.chainArgs = aArgs + bArgs;
    r.chainSteps = aSteps + bSteps;
    r.chainSteps << step;
    r.sql = QStringLiteral("tsql_chain(%1, '%2', %3)")
                .arg(QString::number(kind), r.chainSteps.join(QLatin1Char(' ')), r.chainArgs.join(QStringLiteral(", ")));
    r.flatSql = r.sql;
    return r;
}

// "(a op b)", or a's run extended by one operand when a is already such a run
QString infixSql(const Typed& a, char cls, const QString& op, const QString& b)
{
    if (a.infix == cls && a.flatSql == a.sql && a.sql.endsWith(QLatin1Char(')'))) return a.sql.chopped(1) + QLatin1Char(' ') + op + QLatin1Char(' ') + b + QLatin1Char(')');
    return QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b);
}
} // namespace

Typed Translator::binary(const BinaryExpr& e, const Scope& scope)
{
    // a left-deep run (a + b + c ..., a AND b AND c ...) is walked in a loop, not by recursion
    std::vector<const BinaryExpr*> spine{&e};
    while (auto l = tryAs<const BinaryExpr>(spine.back()->left.get())) spine.push_back(l);
    Typed acc = expr(*spine.back()->left, scope);
    for (auto it = spine.rbegin(); it != spine.rend(); ++it) acc = binaryOf(**it, std::move(acc), expr(*(*it)->right, scope));
    return acc;
}

Typed Translator::binaryOf(const BinaryExpr& e, Typed a, Typed b)
{
    Typed r;
    r.hasAggregate = a.hasAggregate || b.hasAggregate;
    switch (e.op) {
    case BinaryOp::And:
    case BinaryOp::Or:
        r.sql = infixSql(a, e.op == BinaryOp::And ? 'A' : 'O', e.op == BinaryOp::And ? QStringLiteral("AND") : QStringLiteral("OR"), b.sql);
        r.infix = e.op == BinaryOp::And ? 'A' : 'O';
        r.flatSql = r.sql;
        r.type = spec(Type::Bit);
        return r;
    case BinaryOp::Eq: case BinaryOp::Ne: case BinaryOp::Lt: case BinaryOp::Le:
    case BinaryOp::Gt: case BinaryOp::Ge: case BinaryOp::NotLt: case BinaryOp::NotGt: {
        Typed t = comparison(e.op, a, b);
        return t;
    }
    case BinaryOp::BitAnd:
    case BinaryOp::BitOr:
    case BinaryOp::BitXor: {
        r.type = types::promote(a.type, b.type);
        if (e.op == BinaryOp::BitAnd) r.sql = QStringLiteral("(%1 & %2)").arg(a.sql, b.sql);
        else if (e.op == BinaryOp::BitOr) r.sql = QStringLiteral("(%1 | %2)").arg(a.sql, b.sql);
        else r.sql = QStringLiteral("((%1 | %2) - (%1 & %2))").arg(a.sql, b.sql);
        return r;
    }
    default: break;
    }
    Category ca = a.type.category(), cb = b.type.category();
    if (a.isNull || b.isNull) {
        r.sql = QStringLiteral("NULL");
        r.isNull = true;
        r.type = a.isNull ? b.type : a.type;
        return r;
    }
    if (e.op == BinaryOp::Add && ca == Category::String && cb == Category::String) {
        r.type = types::promote(a.type, b.type);
        if (r.type.type == Type::Char) r.type.type = Type::VarChar;
        if (r.type.type == Type::NChar) r.type.type = Type::NVarChar;
        bool text = r.type.type == Type::Text || r.type.type == Type::NText;
        if (text) throw Errors::make(403, QStringLiteral("The + operator does not take text values."));
        int maxLen = r.type.info().unicode ? 4000 : 8000;
        r.type.length = std::min(maxLen, a.type.length + b.type.length);
        r.sql = infixSql(a, '|', QStringLiteral("||"), b.sql);
        if (a.type.length + b.type.length > maxLen) {
            // a result longer than the type's largest length is cut to it
            r.sql = QStringLiteral("substr(%1, 1, %2)").arg(r.sql, QString::number(maxLen));
            return r;
        }
        r.infix = '|';
        r.flatSql = r.sql;
        return r;
    }
    if (e.op == BinaryOp::Add && ca == Category::Binary && cb == Category::Binary) {
        r.type = spec(Type::VarBinary, std::min(8000, a.type.length + b.type.length));
        r.sql = QStringLiteral("CAST((%1 || %2) AS BLOB)").arg(a.sql, b.sql);
        if (a.type.length + b.type.length > 8000) r.sql = QStringLiteral("substr(%1, 1, 8000)").arg(r.sql);
        return r;
    }
    if ((ca == Category::DateTime || cb == Category::DateTime) && (e.op == BinaryOp::Add || e.op == BinaryOp::Sub)) {
        if (ca == Category::DateTime && cb == Category::DateTime)
            throw Errors::notSupported(QStringLiteral("subtracting or adding two datetime values; use DATEDIFF"));
        const Typed& d = ca == Category::DateTime ? a : b;
        Typed n = ca == Category::DateTime ? b : a;
        if (n.type.isString()) n.sql = convertSql(n, spec(Type::Float), false);
        if (e.op == BinaryOp::Sub && cb == Category::DateTime)
            throw Errors::notSupported(QStringLiteral("subtracting a datetime value from a number"));
        QString days = e.op == BinaryOp::Sub ? QStringLiteral("(-%1)").arg(numericSql(n)) : numericSql(n);
        r.sql = QStringLiteral("tsql_dateadd_days(%1, %2)").arg(d.sql, days);
        r.type = d.type;
        return r;
    }
    if (!numericCat(ca) || !numericCat(cb)) {
        // strings convert to the number's type; other types cannot take part
        Typed* str = ca == Category::String ? &a : cb == Category::String ? &b : nullptr;
        Typed* num = str == &a ? &b : &a;
        if (str && numericCat(num->type.category())) {
            str->sql = convertSql(*str, num->type, false);
            str->type = num->type;
            str->isColumn = false;
        } else if (!(ca == Category::Variant || cb == Category::Variant || a.unknownType || b.unknownType)) {
            throw Errors::make(8117, QStringLiteral("This operator does not take values of type %1.")
                                           .arg((numericCat(ca) ? b : a).type.name()));
        }
    }
    TypeSpec ta = a.type, tb = b.type;
    r.type = types::promote(ta, tb);
    if (r.type.hasPrecision()) {
        auto ps = [](const TypeSpec& t) -> std::pair<int, int> {
            if (t.hasPrecision()) return {t.precision, t.scale};
            if (t.category() == Category::Exact) return {19, 4};
            return {t.info().precision ? t.info().precision : 10, 0};
        };
        auto [p1, s1] = ps(ta);
        auto [p2, s2] = ps(tb);
        // integer constants count their own digits, as the server types them
        static const QRegularExpression digits(QStringLiteral("^\\d+$"));
        auto constDigits = [](const QString& sql) {
            QString t = sql.startsWith(QLatin1String("(-")) && sql.endsWith(QLatin1Char(')')) ? sql.mid(2, sql.size() - 3) : sql;
            return digits.match(t).hasMatch() ? int(t.size()) : 0;
        };
        if (ta.category() == Category::Integer && constDigits(a.sql)) p1 = constDigits(a.sql);
        if (tb.category() == Category::Integer && constDigits(b.sql)) p2 = constDigits(b.sql);
        int p = 0, s = 0;
        switch (e.op) {
        case BinaryOp::Add:
        case BinaryOp::Sub: s = std::max(s1, s2); p = std::max(p1 - s1, p2 - s2) + s + 1; break;
        case BinaryOp::Mul: p = p1 + p2 + 1; s = s1 + s2; break;
        case BinaryOp::Div: s = std::max(6, s1 + p2 + 1); p = p1 - s1 + s2 + s; break;
        default: p = std::max(p1, p2); s = std::max(s1, s2); break;
        }
        if (p > 38) {
            s = std::max(std::min(s, 6), s - (p - 38));
            p = 38;
        }
        r.type.precision = p;
        r.type.scale = std::min(s, p);
    }
    QString l = numericSql(a), rr = numericSql(b);
    if (r.type.category() == Category::Exact && e.op != BinaryOp::Mod) {
        // exact numbers stay exact: SQLite's arithmetic would go through double
        int scale = r.type.hasPrecision() ? r.type.scale : 4;
        QString step = e.op == BinaryOp::Add ? QStringLiteral("+") : e.op == BinaryOp::Sub ? QStringLiteral("-")
                     : e.op == BinaryOp::Mul ? QStringLiteral("*") : QStringLiteral("/") + QString::number(scale);
        Typed c = chained(a, b, 0, step);
        c.type = r.type;
        c.hasAggregate = r.hasAggregate;
        return c;
    }
    if (r.type.category() == Category::Integer && r.type.type != Type::Bit) {
        // integer results stay within their type, as the server checks, step by step
        int bits = r.type.type == Type::TinyInt ? 8 : r.type.type == Type::SmallInt ? 16 : r.type.type == Type::Int ? 32 : 64;
        QString step = e.op == BinaryOp::Add ? QStringLiteral("+") : e.op == BinaryOp::Sub ? QStringLiteral("-")
                     : e.op == BinaryOp::Mul ? QStringLiteral("*") : e.op == BinaryOp::Div ? QStringLiteral("/") : QStringLiteral("%");
        Typed c = chained(a, b, bits, step);
        c.type = r.type;
        c.hasAggregate = r.hasAggregate;
        return c;
    }
    if (r.type.category() == Category::Approx && e.op != BinaryOp::Mod) {
        QString step = e.op == BinaryOp::Add ? QStringLiteral("+") : e.op == BinaryOp::Sub ? QStringLiteral("-")
                     : e.op == BinaryOp::Mul ? QStringLiteral("*") : QStringLiteral("/");
        Typed c = chained(a, b, 1, step);
        c.type = r.type;
        c.hasAggregate = r.hasAggregate;
        return c;
    }
    switch (e.op) {
    case BinaryOp::Add: r.sql = QStringLiteral("(%1 + %2)").arg(l, rr); break;
    case BinaryOp::Sub: r.sql = QStringLiteral("(%1 - %2)").arg(l, rr); break;
    case BinaryOp::Mul: r.sql = QStringLiteral("(%1 * %2)").arg(l, rr); break;
    case BinaryOp::Div:
        // a float may hold an integer in SQLite (CAST(7 AS float), a CASE or UNION branch): divide as real
        if (r.type.category() == Category::Approx) l = QStringLiteral("CAST(%1 AS REAL)").arg(l);
        r.sql = QStringLiteral("tsql_div(%1, %2)").arg(l, rr);
        break;
    case BinaryOp::Mod: r.sql = QStringLiteral("tsql_mod(%1, %2)").arg(l, rr); break;
    default: break;
    }
    return r;
}

Typed Translator::convert(const Expr& value, const DataType& dt, const Expr* style, const Scope& scope)
{
    Typed x = expr(value, scope);
    TypeSpec to = specOf(dt, &s_, true);
    QString styleSql;
    if (style) styleSql = expr(*style, scope).sql;
    Typed r;
    r.sql = hasLengthLimit(to) && !x.isNull && !x.unknownType && mayExceedType(x) ? cvtSql(x, to, false, styleSql) : convertSql(x, to, false, styleSql);
    r.type = to;
    r.nullable = x.nullable;
    r.isNull = false; // CAST(NULL AS t) is a NULL of type t, not the untyped NULL literal
    r.hasAggregate = x.hasAggregate;
    return r;
}

Typed Translator::caseExpr(const CaseExpr& e, const Scope& scope)
{
    Typed r;
    QString sql = QStringLiteral("CASE");
    std::optional<Typed> operand;
    if (e.operand) operand = expr(*e.operand, scope);
    std::vector<Typed> results;
    QStringList conds;
    for (const CaseWhen& w : e.whens) {
        Typed when = expr(*w.when, scope);
        QString cond;
        if (operand) {
            cond = comparison(BinaryOp::Eq, *operand, when).sql;
        } else {
            cond = when.sql;
        }
        Typed then = expr(*w.then, scope);
        r.hasAggregate |= when.hasAggregate || then.hasAggregate;
        results.push_back(then);
        conds << cond;
    }
    if (operand) r.hasAggregate |= operand->hasAggregate;
    std::optional<Typed> elseT;
    if (e.elseValue) {
        elseT = expr(*e.elseValue, scope);
        results.push_back(*elseT);
        r.hasAggregate |= elseT->hasAggregate;
    }
    bool first = true;
    for (const Typed& t : results) {
        if (t.isNull) continue;
        r.type = first ? t.type : types::promote(r.type, t.type);
        first = false;
    }
    if (first) r.type = spec(Type::Int);
    // branches of another category convert to the result type, as the server does
    for (qsizetype i = 0; i < conds.size(); ++i) {
        const Typed& t = results[size_t(i)];
        QString v = t.isNull || t.type.category() == r.type.category() ? t.sql : convertSql(t, r.type, false);
        sql += QStringLiteral(" WHEN %1 THEN %2").arg(conds[i], v);
    }
    if (elseT)
        sql += QStringLiteral(" ELSE ") + (elseT->isNull || elseT->type.category() == r.type.category() ? elseT->sql : convertSql(*elseT, r.type, false));
    sql += QStringLiteral(" END");
    r.sql = sql;
    return r;
}

Typed Translator::subquery(const Query& q, const Scope& scope)
{
    TranslatedQuery t = query(q, &scope);
    if (t.columns.size() != 1)
        throw Errors::make(116, QStringLiteral("A subquery used as a value must select exactly one expression."));
    Typed r;
    r.type = t.columns[0].type;
    // more than one row is error 512, as the server reports it
    r.sql = QStringLiteral("(SELECT CASE WHEN count(*) > 1 THEN tsql_raise(512, 16, 'A subquery used as a value returned more than one row.') "
                           "ELSE max(\"v1\") END FROM (SELECT \"v1\" FROM (%1) LIMIT 2))").arg(t.sql);
    return r;
}

Typed Translator::defaultExpr(const QString& text)
{
    ExprPtr e = sql::parseExpression(text);
    Scope empty;
    return expr(*e, empty);
}

Typed Translator::computedExpr(const QString& text, const catalog::Table& t)
{
    ExprPtr e = sql::parseExpression(text);
    Scope scope;
    ScopeSource src;
    src.alias = t.name;
    for (const catalog::Column& c : t.columns) {
        if (c.isComputed()) continue;
        ScopeColumn sc;
        sc.name = c.name;
        sc.sql = storage::quoteId(c.phys);
        sc.type = c.type;
        sc.nullable = c.nullable;
        src.columns.push_back(sc);
    }
    scope.sources.push_back(src);
    return expr(*e, scope);
}

} // namespace engine::exec
