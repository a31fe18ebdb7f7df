#include "engine/parser/ExprPrinter.h"

#include "engine/lexer/Token.h"

namespace engine::sql {

namespace {

// Larger binds tighter.
int precedence(const Expr& e) {
    switch (e.kind) {
    case ExprKind::Binary:
        switch (static_cast<const BinaryExpr&>(e).op) {
        case BinaryOp::Or:
            return 1;
        case BinaryOp::And:
            return 2;
        case BinaryOp::Eq:
        case BinaryOp::Ne:
        case BinaryOp::Lt:
        case BinaryOp::Le:
        case BinaryOp::Gt:
        case BinaryOp::Ge:
        case BinaryOp::NotLt:
        case BinaryOp::NotGt:
            return 4;
        case BinaryOp::Add:
        case BinaryOp::Sub:
        case BinaryOp::BitAnd:
        case BinaryOp::BitOr:
        case BinaryOp::BitXor:
            return 5;
        case BinaryOp::Mul:
        case BinaryOp::Div:
        case BinaryOp::Mod:
            return 6;
        }
        return 8;
    case ExprKind::Unary:
        return static_cast<const UnaryExpr&>(e).op == UnaryOp::Not ? 3 : 7;
    case ExprKind::Like:
    case ExprKind::In:
    case ExprKind::Between:
    case ExprKind::IsNull:
        return 4;
    default:
        return 8;
    }
}

const char* opText(BinaryOp op) {
    switch (op) {
    case BinaryOp::Add: return "+";
    case BinaryOp::Sub: return "-";
    case BinaryOp::Mul: return "*";
    case BinaryOp::Div: return "/";
    case BinaryOp::Mod: return "%";
    case BinaryOp::BitAnd: return "&";
    case BinaryOp::BitOr: return "|";
    case BinaryOp::BitXor: return "^";
    case BinaryOp::Eq: return "=";
    case BinaryOp::Ne: return "<>";
    case BinaryOp::Lt: return "<";
    case BinaryOp::Le: return "<=";
    case BinaryOp::Gt: return ">";
    case BinaryOp::Ge: return ">=";
    case BinaryOp::NotLt: return "!<";
    case BinaryOp::NotGt: return "!>";
    case BinaryOp::And: return "AND";
    case BinaryOp::Or: return "OR";
    }
    return "?";
}

// The child printed with parentheses when it binds looser than its place needs.
QString operand(const Expr& child, int needed) {
    const QString s = toSql(child);
    return precedence(child) < needed ? QLatin1Char('(') + s + QLatin1Char(')') : s;
}

QString queryText(const Query* q) {
    return QLatin1Char('(') + (q ? q->source : QString()) + QLatin1Char(')');
}

// A function name as written when it reads as a plain word or is a keyword function, else in
// brackets: [my fn](1).
QString plainOrQuoted(const QString& name) {
    static const QStringList keywordFunctions = {
        QStringLiteral("COALESCE"), QStringLiteral("NULLIF"), QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"), QStringLiteral("IDENTITY"), QStringLiteral("CURRENT_TIMESTAMP"),
        QStringLiteral("CURRENT_USER"), QStringLiteral("SESSION_USER"),
        QStringLiteral("SYSTEM_USER"), QStringLiteral("USER")};
    return keywordFunctions.contains(name.toUpper()) ? name : quoteNameIfNeeded(name);
}

bool isNiladicName(const QString& name) {
    const QString u = name.toUpper();
    return u == QLatin1String("CURRENT_TIMESTAMP") || u == QLatin1String("CURRENT_USER") ||
           u == QLatin1String("SESSION_USER") || u == QLatin1String("SYSTEM_USER") ||
           u == QLatin1String("USER");
}

} // namespace

QString parenthesized(const QString& text) {
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        // Enclosed only when the first parenthesis closes at the very end (quotes skipped).
        int depth = 0;
        QChar quote;
        for (int i = 0; i < t.size(); ++i) {
            const QChar c = t[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (c == QLatin1Char('\'') || c == QLatin1Char('[') || c == QLatin1Char('"'))
                quote = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            else if (c == QLatin1Char('('))
                ++depth;
            else if (c == QLatin1Char(')') && --depth == 0)
                return i == t.size() - 1 ? t : QLatin1Char('(') + t + QLatin1Char(')');
        }
    }
    return QLatin1Char('(') + t + QLatin1Char(')');
}

namespace {

// One function per kind keeps each recursion frame small.
[[gnu::noinline]] QString printLiteral(const Expr& e) {
    const auto& l = static_cast<const LiteralExpr&>(e);
    switch (l.type) {
    case LiteralType::Null: return QStringLiteral("NULL");
    case LiteralType::String: return quoteString(l.text);
    case LiteralType::NString: return QLatin1Char('N') + quoteString(l.text);
    case LiteralType::Money: return QLatin1Char('$') + l.text;
    case LiteralType::Binary: return QStringLiteral("0x") + l.text;
    default: return l.text;
    }
}

[[gnu::noinline]] QString printColumn(const Expr& e) {
    const auto& c = static_cast<const ColumnExpr&>(e);
    QStringList parts;
    if (!c.database.isEmpty())
        parts << quoteName(c.database) << (c.owner.isEmpty() ? QString() : quoteName(c.owner));
    else if (!c.owner.isEmpty())
        parts << quoteName(c.owner);
    if (!c.table.isEmpty())
        parts << quoteName(c.table);
    parts << quoteName(c.column);
    return parts.join(QLatin1Char('.'));
}

[[gnu::noinline]] QString printVariable(const Expr& e) {
    return static_cast<const VariableExpr&>(e).name;
}

[[gnu::noinline]] QString printGlobal(const Expr& e) {
    return static_cast<const GlobalExpr&>(e).name;
}

[[gnu::noinline]] QString printUnary(const Expr& e) {
    const auto& u = static_cast<const UnaryExpr&>(e);
    QString inner = operand(*u.operand, precedence(u));
    // "- -1" must not print as "--1", which would start a comment
    if (u.op == UnaryOp::Minus && inner.startsWith(QLatin1Char('-')))
        inner = QLatin1Char('(') + inner + QLatin1Char(')');
    switch (u.op) {
    case UnaryOp::Minus: return QLatin1Char('-') + inner;
    case UnaryOp::Plus: return QLatin1Char('+') + inner;
    case UnaryOp::BitNot: return QLatin1Char('~') + inner;
    case UnaryOp::Not: return QStringLiteral("NOT ") + inner;
    }
    return inner;
}

[[gnu::noinline]] QString printBinary(const Expr& e) {
    const auto& b = static_cast<const BinaryExpr&>(e);
    const int p = precedence(b);
    // comparisons do not chain: (a LIKE b) = c keeps its parentheses
    return operand(*b.left, p == 4 ? 5 : p) + QLatin1Char(' ') + QLatin1String(opText(b.op)) +
           QLatin1Char(' ') + operand(*b.right, p + 1);
}

[[gnu::noinline]] QString printLike(const Expr& e) {
    const auto& l = static_cast<const LikeExpr&>(e);
    QString s = operand(*l.value, 5) + (l.negated ? QStringLiteral(" NOT LIKE ")
                                                  : QStringLiteral(" LIKE ")) +
                operand(*l.pattern, 5);
    if (l.escape)
        s += QStringLiteral(" ESCAPE ") + operand(*l.escape, 5);
    return s;
}

[[gnu::noinline]] QString printIn(const Expr& e) {
    const auto& in = static_cast<const InExpr&>(e);
    QString s = operand(*in.value, 5) + (in.negated ? QStringLiteral(" NOT IN ")
                                                    : QStringLiteral(" IN "));
    if (in.subquery)
        return s + queryText(in.subquery.get());
    QStringList items;
    for (const auto& x : in.list)
        items << toSql(*x);
    return s + QLatin1Char('(') + items.join(QStringLiteral(", ")) + QLatin1Char(')');
}

[[gnu::noinline]] QString printBetween(const Expr& e) {
    const auto& b = static_cast<const BetweenExpr&>(e);
    return operand(*b.value, 5) +
           (b.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
           operand(*b.low, 5) + QStringLiteral(" AND ") + operand(*b.high, 5);
}

[[gnu::noinline]] QString printIsNull(const Expr& e) {
    const auto& n = static_cast<const IsNullExpr&>(e);
    return operand(*n.value, 5) +
           (n.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
}

[[gnu::noinline]] QString printExists(const Expr& e) {
    return QStringLiteral("EXISTS ") + queryText(static_cast<const ExistsExpr&>(e).query.get());
}

[[gnu::noinline]] QString printCase(const Expr& e) {
    const auto& c = static_cast<const CaseExpr&>(e);
    QString s = QStringLiteral("CASE");
    if (c.operand)
        s += QLatin1Char(' ') + toSql(*c.operand);
    for (const auto& w : c.whens)
        s += QStringLiteral(" WHEN ") + toSql(*w.when) + QStringLiteral(" THEN ") +
             toSql(*w.then);
    if (c.elseValue)
        s += QStringLiteral(" ELSE ") + toSql(*c.elseValue);
    return s + QStringLiteral(" END");
}

[[gnu::noinline]] QString printFunction(const Expr& e) {
    const auto& f = static_cast<const FunctionExpr&>(e);
    QString name = plainOrQuoted(f.name);
    if (!f.owner.isEmpty())
        name = quoteName(f.owner) + QLatin1Char('.') + name;
    if (f.args.empty() && !f.star && isNiladicName(f.name))
        return name;
    QStringList args;
    for (const auto& a : f.args)
        args << toSql(*a);
    QString inside = f.star ? QStringLiteral("*") : args.join(QStringLiteral(", "));
    if (f.distinct)
        inside.prepend(QStringLiteral("DISTINCT "));
    return name + QLatin1Char('(') + inside + QLatin1Char(')');
}

[[gnu::noinline]] QString printConvert(const Expr& e) {
    const auto& c = static_cast<const ConvertExpr&>(e);
    QString s = QStringLiteral("CONVERT(") + c.type.text() + QStringLiteral(", ") +
                toSql(*c.value);
    if (c.style)
        s += QStringLiteral(", ") + toSql(*c.style);
    return s + QLatin1Char(')');
}

[[gnu::noinline]] QString printCast(const Expr& e) {
    const auto& c = static_cast<const CastExpr&>(e);
    return QStringLiteral("CAST(") + toSql(*c.value) + QStringLiteral(" AS ") + c.type.text() +
           QLatin1Char(')');
}

[[gnu::noinline]] QString printSubquery(const Expr& e) {
    return queryText(static_cast<const SubqueryExpr&>(e).query.get());
}

[[gnu::noinline]] QString printDefault(const Expr&) {
    return QStringLiteral("DEFAULT");
}

} // namespace

QString toSql(const Expr& e) {
    switch (e.kind) {
    case ExprKind::Literal:
        return printLiteral(e);
    case ExprKind::Column:
        return printColumn(e);
    case ExprKind::Variable:
        return printVariable(e);
    case ExprKind::Global:
        return printGlobal(e);
    case ExprKind::Unary:
        return printUnary(e);
    case ExprKind::Binary:
        return printBinary(e);
    case ExprKind::Like:
        return printLike(e);
    case ExprKind::In:
        return printIn(e);
    case ExprKind::Between:
        return printBetween(e);
    case ExprKind::IsNull:
        return printIsNull(e);
    case ExprKind::Exists:
        return printExists(e);
    case ExprKind::Case:
        return printCase(e);
    case ExprKind::Function:
        return printFunction(e);
    case ExprKind::Convert:
        return printConvert(e);
    case ExprKind::Cast:
        return printCast(e);
    case ExprKind::Subquery:
        return printSubquery(e);
    case ExprKind::Default:
        return printDefault(e);
    }
    return QString();
}

} // namespace engine::sql
