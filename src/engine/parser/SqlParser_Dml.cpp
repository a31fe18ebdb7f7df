// SELECT, INSERT, UPDATE and DELETE.
#include "engine/parser/SqlParser.h"

#include "engine/Engine.h"

namespace engine::sql {

// A table name, or a table variable (@t) whose DECLARE the server refuses on its own.
ObjectName SqlParser::parseTableName() {
    if (cur().type == TokenType::Variable) {
        ObjectName n;
        n.name = take().text;
        return n;
    }
    return parseObjectName();
}

StmtPtr SqlParser::parseSelectStatement() {
    auto s = std::make_unique<SelectStmt>();
    s->query = parseQuery();
    return s;
}

std::unique_ptr<Query> SqlParser::parseQuery() {
    Depth guard(*this);
    auto q = std::make_unique<Query>();
    const int start = cur().pos;
    q->line = cur().line;
    parseQueryTerm(*q);
    while (acceptWord("UNION")) {
        q->unionAll.push_back(acceptWord("ALL"));
        parseQueryTerm(*q);
    }
    if (cur().isWord("ORDER")) {
        take();
        expectWord("BY");
        do {
            OrderItem o;
            o.expr = parseExpr();
            if (acceptWord("DESC"))
                o.descending = true;
            else
                acceptWord("ASC");
            q->orderBy.push_back(std::move(o));
        } while (acceptOp(","));
    }
    if (lastEnd_ - start <= MaxSourceSlice)
        q->source = sourceFrom(start);
    return q;
}

// Appends one SELECT, or the SELECTs of a parenthesised query, to q.
void SqlParser::parseQueryTerm(Query& q) {
    if (acceptOp("(")) {
        std::unique_ptr<Query> inner = parseQuery();
        expectOp(")");
        const bool alone = q.cores.empty();
        for (auto& c : inner->cores)
            q.cores.push_back(std::move(c));
        for (bool b : inner->unionAll)
            q.unionAll.push_back(b);
        if (alone && !inner->orderBy.empty())
            q.orderBy = std::move(inner->orderBy);
        return;
    }
    if (!cur().isWord("SELECT"))
        syntaxError();
    SelectCore core;
    parseSelectCore(core);
    q.cores.push_back(std::move(core));
}

void SqlParser::parseSelectCore(SelectCore& core) {
    core.line = cur().line;
    expectWord("SELECT");
    if (acceptWord("DISTINCT"))
        core.distinct = true;
    else
        acceptWord("ALL");
    if (acceptWord("TOP")) {
        const Token& t = cur();
        if (t.isOp("(")) {
            core.top = parsePrimary();
        } else if (t.type == TokenType::Integer || t.type == TokenType::Decimal ||
                   t.type == TokenType::Float || t.type == TokenType::Variable) {
            core.top = parsePrimary();
        } else {
            syntaxError();
        }
        if (acceptWord("PERCENT"))
            core.topPercent = true;
        if (cur().isWord("WITH") && peek(1).isWord("TIES")) {
            take();
            take();
        }
    }
    do
        parseSelectItem(core);
    while (acceptOp(","));
    if (acceptWord("INTO"))
        core.into = parseObjectName();
    if (acceptWord("FROM"))
        core.from = parseFromList();
    if (acceptWord("WHERE"))
        core.where = parseExpr();
    if (cur().isWord("GROUP")) {
        take();
        expectWord("BY");
        acceptWord("ALL");
        do
            core.groupBy.push_back(parseExpr());
        while (acceptOp(","));
    }
    if (acceptWord("HAVING"))
        core.having = parseExpr();
}

void SqlParser::parseSelectItem(SelectCore& core) {
    SelectItem item;
    if (acceptOp("*")) {
        item.kind = SelectItemKind::Star;
        core.items.push_back(std::move(item));
        return;
    }
    // qualifier.* (the qualifier may have up to three parts)
    int k = 0;
    while (peek(k).isName() && peek(k + 1).isOp(".") && k < 8)
        k += 2;
    if (k > 0 && peek(k).isOp("*")) {
        item.kind = SelectItemKind::Star;
        for (int j = 0; j < k; j += 2) {
            item.qualifier = take().text;
            take(); // '.'
        }
        take(); // '*'
        core.items.push_back(std::move(item));
        return;
    }
    const Token& t = cur();
    if (t.type == TokenType::Variable && peek(1).isOp("=")) {
        item.kind = SelectItemKind::Assignment;
        item.variable = take().text;
        take();
        item.expr = parseExpr();
        core.items.push_back(std::move(item));
        return;
    }
    const bool aliasWord = t.type == TokenType::QuotedIdentifier || t.type == TokenType::String ||
                           (t.type == TokenType::Identifier && !isReserved(t));
    if (aliasWord && peek(1).isOp("=")) {
        item.alias = take().text;
        take();
        item.expr = parseExpr();
        core.items.push_back(std::move(item));
        return;
    }
    item.expr = parseExpr();
    item.alias = parseOptionalAlias(true);
    core.items.push_back(std::move(item));
}

QString SqlParser::parseOptionalAlias(bool allowString) {
    if (acceptWord("AS")) {
        if (allowString && cur().type == TokenType::String)
            return take().text;
        return parseName();
    }
    const Token& t = cur();
    if (t.type == TokenType::QuotedIdentifier || (allowString && t.type == TokenType::String) ||
        (t.type == TokenType::Identifier && !isReserved(t)))
        return take().text;
    return QString();
}

std::vector<TableRefPtr> SqlParser::parseFromList() {
    std::vector<TableRefPtr> out;
    do
        out.push_back(parseTableSource());
    while (acceptOp(","));
    return out;
}

TableRefPtr SqlParser::parseTableSource() {
    TableRefPtr left = parseTablePrimary();
    int chain = 0;
    while (atJoinKeyword()) {
        ++chain;
        deepen(); // each join nests the tree one level deeper
        left = parseJoinTail(std::move(left));
    }
    depth_ -= chain;
    return left;
}

bool SqlParser::atJoinKeyword() const {
    const Token& t = cur();
    return t.isWord("JOIN") || t.isWord("INNER") || t.isWord("LEFT") || t.isWord("RIGHT") ||
           t.isWord("FULL") || t.isWord("CROSS");
}

TableRefPtr SqlParser::parseJoinTail(TableRefPtr left) {
    Depth guard(*this);
    auto j = std::make_unique<JoinTableRef>();
    j->line = cur().line;
    if (acceptWord("CROSS")) {
        j->type = JoinType::Cross;
    } else if (acceptWord("INNER")) {
        j->type = JoinType::Inner;
    } else if (cur().isWord("LEFT") || cur().isWord("RIGHT") || cur().isWord("FULL")) {
        const QString w = take().text.toUpper();
        j->type = w == QLatin1String("LEFT")    ? JoinType::Left
                  : w == QLatin1String("RIGHT") ? JoinType::Right
                                                : JoinType::Full;
        acceptWord("OUTER");
    }
    if (j->type != JoinType::Cross) {
        // join hints
        if (cur().isWord("LOOP") || cur().isWord("HASH") || cur().isWord("MERGE") ||
            cur().isWord("REMOTE"))
            take();
    }
    expectWord("JOIN");
    j->left = std::move(left);
    TableRefPtr right = parseTablePrimary();
    if (j->type != JoinType::Cross) {
        // a JOIN b JOIN c ON ... ON ...: the inner join binds to b
        while (atJoinKeyword())
            right = parseJoinTail(std::move(right));
        expectWord("ON");
        j->on = parseExpr();
    }
    j->right = std::move(right);
    return j;
}

TableRefPtr SqlParser::parseTablePrimary() {
    Depth guard(*this);
    const int line = cur().line;
    if (cur().isOp("(")) {
        int k = 0;
        while (peek(k).isOp("("))
            ++k;
        if (peek(k).isWord("SELECT")) {
            auto d = std::make_unique<DerivedTableRef>();
            d->line = line;
            take();
            d->query = parseQuery();
            expectOp(")");
            d->alias = parseOptionalAlias(false);
            if (d->alias.isEmpty())
                syntaxError();
            return d;
        }
        take();
        TableRefPtr inner = parseTableSource();
        expectOp(")");
        return inner;
    }
    const bool system = acceptOp("::");
    ObjectName name = system ? parseObjectName() : parseTableName();
    if (system || (cur().isOp("(") && !isTableHint(peek(1)))) {
        auto f = std::make_unique<FunctionTableRef>();
        f->line = line;
        f->name = name;
        f->systemSyntax = system;
        expectOp("(");
        if (!cur().isOp(")")) {
            do
                f->args.push_back(parseExpr());
            while (acceptOp(","));
        }
        expectOp(")");
        f->alias = parseOptionalAlias(false);
        return f;
    }
    auto t = std::make_unique<NamedTableRef>();
    t->line = line;
    t->name = name;
    if (!cur().isWord("WITH"))
        t->alias = parseOptionalAlias(false);
    parseTableHints(t->hints, true);
    return t;
}

bool SqlParser::isTableHint(const Token& t) const {
    static const char* const hints[] = {
        "NOLOCK", "HOLDLOCK", "UPDLOCK", "TABLOCK", "TABLOCKX", "PAGLOCK", "ROWLOCK", "NOWAIT",
        "READPAST", "READUNCOMMITTED", "READCOMMITTED", "REPEATABLEREAD", "SERIALIZABLE",
        "XLOCK", "INDEX", "FASTFIRSTROW", "NOEXPAND"};
    for (const char* h : hints)
        if (t.isWord(h))
            return true;
    return false;
}

// WITH (NOLOCK, INDEX(ix)) or the old form (NOLOCK) right after the table.
void SqlParser::parseTableHints(QStringList& hints, bool allowBare) {
    if (cur().isWord("WITH") && peek(1).isOp("("))
        take();
    else if (!(allowBare && cur().isOp("(") && isTableHint(peek(1))))
        return;
    expectOp("(");
    int parens = 1;
    while (parens > 0) {
        if (atEnd())
            syntaxError();
        const Token& t = take();
        if (t.isOp("("))
            ++parens;
        else if (t.isOp(")"))
            --parens;
        else if (t.type == TokenType::Identifier && parens == 1)
            hints << t.text.toUpper();
    }
}

StmtPtr SqlParser::parseInsert() {
    expectWord("INSERT");
    auto s = std::make_unique<InsertStmt>();
    acceptWord("INTO");
    s->table = parseTableName();
    QStringList hints;
    parseTableHints(hints, false);
    if (cur().isOp("(") && !peek(1).isWord("SELECT") && !peek(1).isOp("(")) {
        take();
        do
            s->columns << parseNameParts(4).last();
        while (acceptOp(","));
        expectOp(")");
    }
    if (acceptWord("VALUES")) {
        s->source = InsertSource::Values;
        do {
            expectOp("(");
            ExprList row;
            do {
                if (cur().isWord("DEFAULT")) {
                    const Token& t = take();
                    auto d = node<DefaultExpr>(t.pos, t.line);
                    finish(*d, t.pos);
                    row.push_back(std::move(d));
                } else {
                    row.push_back(parseExpr());
                }
            } while (acceptOp(","));
            expectOp(")");
            s->rows.push_back(std::move(row));
        } while (acceptOp(","));
    } else if (cur().isWord("DEFAULT") && peek(1).isWord("VALUES")) {
        take();
        take();
        s->source = InsertSource::DefaultValues;
    } else if (cur().isWord("SELECT") || cur().isOp("(")) {
        s->source = InsertSource::Query;
        s->query = parseQuery();
    } else if (cur().isWord("EXEC") || cur().isWord("EXECUTE")) {
        s->source = InsertSource::Exec;
        const Token& t = cur();
        StmtPtr e = parseExec(false);
        if (e->kind != StmtKind::Exec) {
            auto u = std::make_unique<UnsupportedStmt>();
            u->name = QStringLiteral("INSERT EXEC STRING");
            return u;
        }
        e->line = t.line;
        e->source = sourceFrom(t.pos);
        s->exec.reset(static_cast<ExecStmt*>(e.release()));
    } else {
        syntaxError();
    }
    return s;
}

StmtPtr SqlParser::parseUpdate() {
    expectWord("UPDATE");
    auto s = std::make_unique<UpdateStmt>();
    s->table = parseTableName();
    QStringList hints;
    parseTableHints(hints, false);
    expectWord("SET");
    do {
        SetAssignment a;
        if (cur().type == TokenType::Variable) {
            a.variable = take().text;
            expectOp("=");
            if (cur().isName() && peek(1).isOp("=")) {
                a.column = parseName();
                take();
            }
        } else {
            const QStringList parts = parseNameParts(4);
            a.column = parts.last();
            if (parts.size() > 1)
                a.table = parts[parts.size() - 2];
            expectOp("=");
        }
        if (cur().isWord("DEFAULT") && !a.column.isEmpty()) {
            const Token& t = take();
            auto d = node<DefaultExpr>(t.pos, t.line);
            finish(*d, t.pos);
            a.value = std::move(d);
        } else {
            a.value = parseExpr();
        }
        s->assignments.push_back(std::move(a));
    } while (acceptOp(","));
    if (acceptWord("FROM"))
        s->from = parseFromList();
    if (acceptWord("WHERE"))
        s->where = parseExpr();
    return s;
}

StmtPtr SqlParser::parseDelete() {
    expectWord("DELETE");
    auto s = std::make_unique<DeleteStmt>();
    acceptWord("FROM");
    s->table = parseTableName();
    QStringList hints;
    parseTableHints(hints, false);
    if (acceptWord("FROM"))
        s->from = parseFromList();
    if (acceptWord("WHERE"))
        s->where = parseExpr();
    return s;
}

} // namespace engine::sql
