// Expressions, by rising precedence: OR, AND, NOT, predicates, + - & | ^, * / %, unary, primary.
#include "engine/parser/SqlParser.h"

#include "engine/Engine.h"

namespace engine::sql {

namespace {


// Function-like keywords that are reserved words but take arguments.
bool isReservedFunction(const Token& t) {
    return t.isWord("COALESCE") || t.isWord("NULLIF") || t.isWord("LEFT") || t.isWord("RIGHT") ||
           t.isWord("IDENTITY");
}

bool isNiladic(const Token& t) {
    return t.isWord("CURRENT_TIMESTAMP") || t.isWord("CURRENT_USER") ||
           t.isWord("SESSION_USER") || t.isWord("SYSTEM_USER") || t.isWord("USER");
}

QByteArray decodeHex(QString digits) {
    if (digits.size() % 2)
        digits.prepend(QLatin1Char('0'));
    return QByteArray::fromHex(digits.toLatin1());
}

} // namespace

void SqlParser::finish(Expr& e, int startPos) {
    e.pos = startPos;
    e.end = lastEnd_;
    if (lastEnd_ - startPos <= MaxSourceSlice)
        e.source = sourceFrom(startPos);
}

bool SqlParser::canStartExpression(const Token& t) const {
    switch (t.type) {
    case TokenType::String:
    case TokenType::NString:
    case TokenType::Integer:
    case TokenType::Decimal:
    case TokenType::Float:
    case TokenType::Money:
    case TokenType::Binary:
    case TokenType::Variable:
    case TokenType::Global:
    case TokenType::QuotedIdentifier:
        return true;
    case TokenType::Operator:
        return t.isOp("(") || t.isOp("-") || t.isOp("+") || t.isOp("~");
    case TokenType::Identifier:
        return !isReserved(t) || t.isWord("NULL") || t.isWord("CASE") || t.isWord("CONVERT") ||
               t.isWord("EXISTS") || t.isWord("NOT") || isReservedFunction(t) || isNiladic(t);
    case TokenType::End:
        return false;
    }
    return false;
}

void SqlParser::deepen() {
    if (++depth_ > MaxDepth)
        tooDeep();
}

ExprPtr SqlParser::parseStandaloneExpression() {
    ExprPtr e = parseExpr();
    if (!atEnd())
        syntaxError();
    return e;
}

DataType SqlParser::parseStandaloneDataType() {
    DataType d = parseDataType();
    if (!atEnd())
        syntaxError();
    return d;
}

ExprPtr SqlParser::parseExpr() {
    Depth guard(*this);
    return parseOr();
}

ExprPtr SqlParser::parseLeftChain(ExprPtr (SqlParser::*operand)(),
                                  std::optional<BinaryOp> (*opOf)(const Token&)) {
    const int start = cur().pos;
    const int line = cur().line;
    ExprPtr left = (this->*operand)();
    int chain = 0;
    // a run of one operator level is walked in loops later on, so it deepens the tree by a
    // quarter of its length: 1,000 terms and more parse
    while (const std::optional<BinaryOp> op = opOf(cur())) {
        take();
        if (++chain % 4 == 0)
            deepen();
        auto b = node<BinaryExpr>(start, line);
        b->op = *op;
        b->left = std::move(left);
        b->right = (this->*operand)();
        finish(*b, start);
        left = std::move(b);
    }
    depth_ -= chain / 4;
    return left;
}

ExprPtr SqlParser::parseOr() {
    return parseLeftChain(&SqlParser::parseAnd, [](const Token& t) -> std::optional<BinaryOp> {
        if (t.isWord("OR"))
            return BinaryOp::Or;
        return std::nullopt;
    });
}

ExprPtr SqlParser::parseAnd() {
    return parseLeftChain(&SqlParser::parseNot, [](const Token& t) -> std::optional<BinaryOp> {
        if (t.isWord("AND"))
            return BinaryOp::And;
        return std::nullopt;
    });
}

ExprPtr SqlParser::parseNot() {
    if (!cur().isWord("NOT"))
        return parsePredicate();
    Depth guard(*this);
    const Token& t = take();
    auto u = node<UnaryExpr>(t.pos, t.line);
    u->op = UnaryOp::Not;
    u->operand = parseNot();
    finish(*u, t.pos);
    return u;
}

ExprPtr SqlParser::parsePredicate() {
    const int start = cur().pos;
    const int line = cur().line;
    ExprPtr left = parseAdditive();
    const Token& t = cur();
    static const struct {
        const char* op;
        BinaryOp value;
    } comparisons[] = {{"=", BinaryOp::Eq},  {"<>", BinaryOp::Ne}, {"!=", BinaryOp::Ne},
                       {"<", BinaryOp::Lt},  {"<=", BinaryOp::Le}, {">", BinaryOp::Gt},
                       {">=", BinaryOp::Ge}, {"!<", BinaryOp::NotLt}, {"!>", BinaryOp::NotGt}};
    for (const auto& c : comparisons) {
        if (!t.isOp(c.op))
            continue;
        take();
        auto b = node<BinaryExpr>(start, line);
        b->op = c.value;
        b->left = std::move(left);
        b->right = parseAdditive();
        finish(*b, start);
        return b;
    }
    if (t.isWord("IS")) {
        take();
        auto n = node<IsNullExpr>(start, line);
        n->negated = acceptWord("NOT");
        expectWord("NULL");
        n->value = std::move(left);
        finish(*n, start);
        return n;
    }
    bool negated = false;
    if (t.isWord("NOT") &&
        (peek(1).isWord("LIKE") || peek(1).isWord("IN") || peek(1).isWord("BETWEEN"))) {
        take();
        negated = true;
    }
    if (acceptWord("LIKE")) {
        auto l = node<LikeExpr>(start, line);
        l->negated = negated;
        l->value = std::move(left);
        l->pattern = parseAdditive();
        if (acceptWord("ESCAPE"))
            l->escape = parseAdditive();
        finish(*l, start);
        return l;
    }
    if (acceptWord("IN")) {
        auto in = node<InExpr>(start, line);
        in->negated = negated;
        in->value = std::move(left);
        expectOp("(");
        if (cur().isWord("SELECT")) {
            in->subquery = parseQuery();
        } else {
            do
                in->list.push_back(parseExpr());
            while (acceptOp(","));
        }
        expectOp(")");
        finish(*in, start);
        return in;
    }
    if (acceptWord("BETWEEN")) {
        auto b = node<BetweenExpr>(start, line);
        b->negated = negated;
        b->value = std::move(left);
        b->low = parseAdditive();
        expectWord("AND");
        b->high = parseAdditive();
        finish(*b, start);
        return b;
    }
    return left;
}

ExprPtr SqlParser::parseAdditive() {
    return parseLeftChain(&SqlParser::parseMultiplicative,
                          [](const Token& t) -> std::optional<BinaryOp> {
                              if (t.isOp("+"))
                                  return BinaryOp::Add;
                              if (t.isOp("-"))
                                  return BinaryOp::Sub;
                              if (t.isOp("&"))
                                  return BinaryOp::BitAnd;
                              if (t.isOp("|"))
                                  return BinaryOp::BitOr;
                              if (t.isOp("^"))
                                  return BinaryOp::BitXor;
                              return std::nullopt;
                          });
}

ExprPtr SqlParser::parseMultiplicative() {
    return parseLeftChain(&SqlParser::parseUnary, [](const Token& t) -> std::optional<BinaryOp> {
        if (t.isOp("*"))
            return BinaryOp::Mul;
        if (t.isOp("/"))
            return BinaryOp::Div;
        if (t.isOp("%"))
            return BinaryOp::Mod;
        return std::nullopt;
    });
}

ExprPtr SqlParser::parseUnary() {
    const Token& t = cur();
    if (!(t.isOp("-") || t.isOp("+") || t.isOp("~")))
        return parsePrimary();
    Depth guard(*this);
    take();
    auto u = node<UnaryExpr>(t.pos, t.line);
    u->op = t.isOp("-") ? UnaryOp::Minus : t.isOp("+") ? UnaryOp::Plus : UnaryOp::BitNot;
    u->operand = parseUnary();
    finish(*u, t.pos);
    return u;
}

ExprPtr SqlParser::parsePrimary() {
    const Token& t = cur();
    const int start = t.pos;
    const int line = t.line;
    auto literal = [&](LiteralType type) {
        auto l = node<LiteralExpr>(start, line);
        l->type = type;
        l->text = t.text;
        if (type == LiteralType::Binary)
            l->bytes = decodeHex(t.text);
        take();
        finish(*l, start);
        return l;
    };
    switch (t.type) {
    case TokenType::String:
        return literal(LiteralType::String);
    case TokenType::NString:
        return literal(LiteralType::NString);
    case TokenType::Integer:
        return literal(LiteralType::Integer);
    case TokenType::Decimal:
        return literal(LiteralType::Decimal);
    case TokenType::Float:
        return literal(LiteralType::Float);
    case TokenType::Money:
        return literal(LiteralType::Money);
    case TokenType::Binary:
        return literal(LiteralType::Binary);
    case TokenType::Variable: {
        auto v = node<VariableExpr>(start, line);
        v->name = take().text;
        finish(*v, start);
        return v;
    }
    case TokenType::Global: {
        auto g = node<GlobalExpr>(start, line);
        g->name = take().text;
        finish(*g, start);
        return g;
    }
    case TokenType::QuotedIdentifier:
        return parseNameExpression();
    case TokenType::Operator:
        if (t.isOp("(")) {
            Depth guard(*this);
            take();
            if (cur().isWord("SELECT")) {
                auto s = node<SubqueryExpr>(start, line);
                s->query = parseQuery();
                expectOp(")");
                finish(*s, start);
                return s;
            }
            ExprPtr inner = parseExpr();
            expectOp(")");
            finish(*inner, start);
            return inner;
        }
        syntaxError();
    case TokenType::End:
        syntaxError();
    case TokenType::Identifier:
        break;
    }
    // words
    if (t.isWord("NULL")) {
        take();
        auto l = node<LiteralExpr>(start, line);
        l->type = LiteralType::Null;
        finish(*l, start);
        return l;
    }
    if (t.isWord("CASE"))
        return parseCase();
    if (t.isWord("CAST") && peek(1).isOp("(")) {
        take();
        take();
        auto c = node<CastExpr>(start, line);
        c->value = parseExpr();
        expectWord("AS");
        c->type = parseDataType();
        expectOp(")");
        finish(*c, start);
        return c;
    }
    if (t.isWord("CONVERT")) {
        take();
        expectOp("(");
        auto c = node<ConvertExpr>(start, line);
        c->type = parseDataType();
        expectOp(",");
        c->value = parseExpr();
        if (acceptOp(","))
            c->style = parseExpr();
        expectOp(")");
        finish(*c, start);
        return c;
    }
    if (t.isWord("EXISTS")) {
        take();
        expectOp("(");
        auto e = node<ExistsExpr>(start, line);
        e->query = parseQuery();
        expectOp(")");
        finish(*e, start);
        return e;
    }
    if (isNiladic(t) && !peek(1).isOp("(")) {
        auto f = node<FunctionExpr>(start, line);
        f->name = take().text;
        finish(*f, start);
        return f;
    }
    if (isReservedFunction(t) && peek(1).isOp("(")) {
        const QString name = take().text;
        return parseFunctionCall(QString(), name, start, line);
    }
    if (isReserved(t))
        syntaxError();
    return parseNameExpression();
}

// A column (up to db.owner.table.column) or a function call (fn(...) or owner.fn(...)).
ExprPtr SqlParser::parseNameExpression() {
    const Token& first = cur();
    const int start = first.pos;
    const int line = first.line;
    const QStringList parts = parseNameParts(4);
    if (cur().isOp("(")) {
        if (parts.size() > 2)
            syntaxError();
        return parseFunctionCall(parts.size() == 2 ? parts[0] : QString(), parts.last(), start,
                                 line);
    }
    auto c = node<ColumnExpr>(start, line);
    const int k = int(parts.size());
    if (k > 1 && parts[k - 2].isEmpty())
        syntaxError(tokens_[i_ - 1]); // a column needs its table when qualified: db..t.c, not db..c
    c->column = parts[k - 1];
    if (k > 1)
        c->table = parts[k - 2];
    if (k > 2)
        c->owner = parts[k - 3];
    if (k > 3)
        c->database = parts[k - 4];
    finish(*c, start);
    return c;
}

ExprPtr SqlParser::parseFunctionCall(const QString& owner, const QString& name, int startPos,
                                     int line) {
    Depth guard(*this);
    auto f = node<FunctionExpr>(startPos, line);
    f->owner = owner;
    f->name = name;
    expectOp("(");
    if (acceptOp("*")) {
        f->star = true;
    } else if (!cur().isOp(")")) {
        if (acceptWord("DISTINCT"))
            f->distinct = true;
        else
            acceptWord("ALL");
        do
            f->args.push_back(parseExpr());
        while (acceptOp(","));
    }
    expectOp(")");
    finish(*f, startPos);
    return f;
}

ExprPtr SqlParser::parseCase() {
    Depth guard(*this);
    const Token& t = cur();
    const int start = t.pos;
    auto c = node<CaseExpr>(start, t.line);
    expectWord("CASE");
    if (!cur().isWord("WHEN"))
        c->operand = parseExpr();
    while (acceptWord("WHEN")) {
        CaseWhen w;
        w.when = parseExpr();
        expectWord("THEN");
        w.then = parseExpr();
        c->whens.push_back(std::move(w));
    }
    if (c->whens.empty())
        syntaxError();
    if (acceptWord("ELSE"))
        c->elseValue = parseExpr();
    expectWord("END");
    finish(*c, start);
    return c;
}

} // namespace engine::sql
