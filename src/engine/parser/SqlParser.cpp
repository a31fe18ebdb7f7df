#include "engine/parser/SqlParser.h"

#include "engine/Engine.h"
#include "engine/Errors.h"
#include "engine/lexer/Lexer.h"

#include <QSet>

namespace engine::sql {

namespace {


const QSet<QString>& statementWords() {
    static const QSet<QString> words = [] {
        const char* const list[] = {
            "SELECT", "INSERT", "UPDATE", "DELETE", "CREATE", "ALTER", "DROP", "EXEC", "EXECUTE",
            "USE", "DECLARE", "SET", "BEGIN", "COMMIT", "ROLLBACK", "SAVE", "IF", "WHILE",
            "BREAK", "CONTINUE", "RETURN", "PRINT", "RAISERROR", "GRANT", "REVOKE", "DENY",
            "TRUNCATE", "DBCC", "OPEN", "FETCH", "CLOSE", "DEALLOCATE", "WAITFOR", "BACKUP",
            "RESTORE", "KILL", "CHECKPOINT", "RECONFIGURE", "SHUTDOWN", "BULK", "GOTO",
            "UPDATETEXT", "WRITETEXT", "READTEXT", "SETUSER", "DUMP", "LOAD", "END", "ELSE"};
        QSet<QString> s;
        for (const char* w : list)
            s.insert(QLatin1String(w));
        return s;
    }();
    return words;
}

} // namespace

SqlParser::Depth::Depth(SqlParser& p) : p_(p) {
    if (++p_.depth_ > MaxDepth)
        p_.tooDeep();
}

void SqlParser::tooDeep() const {
    throw SqlError(191, 15,
                   QStringLiteral("The statement is nested too deeply; simplify it or split it "
                                  "into smaller statements."),
                   cur().line);
}

SqlParser::SqlParser(const QString& text) : text_(text) {
    tokens_ = Lexer(text_).tokenize();
}

// ---------------------------------------------------------------------------------------------
// Tokens

const Token& SqlParser::peek(int ahead) const {
    const size_t k = i_ + size_t(ahead);
    return k < tokens_.size() ? tokens_[k] : tokens_.back();
}

const Token& SqlParser::take() {
    const Token& t = tokens_[i_];
    if (t.type != TokenType::End) {
        ++i_;
        lastEnd_ = t.end;
    }
    return t;
}

bool SqlParser::acceptWord(const char* kw) {
    if (!cur().isWord(kw))
        return false;
    take();
    return true;
}

bool SqlParser::acceptOp(const char* op) {
    if (!cur().isOp(op))
        return false;
    take();
    return true;
}

void SqlParser::expectWord(const char* kw) {
    if (!acceptWord(kw))
        syntaxError();
}

void SqlParser::expectOp(const char* op) {
    if (!acceptOp(op))
        syntaxError();
}

bool SqlParser::isReserved(const Token& t) const {
    return t.reserved;
}

bool SqlParser::isStatementStart(const Token& t) const {
    return t.type == TokenType::Identifier && statementWords().contains(t.text.toUpper());
}

void SqlParser::syntaxError(const Token& at) const {
    const Token* t = &at;
    // At the end of the batch the error is reported near the last token, as the server does.
    if (t->type == TokenType::End && i_ > 0)
        t = &tokens_[i_ - 1];
    if (t->type == TokenType::End)
        throw SqlError(102, 15, QStringLiteral("Syntax error near the end of the batch."), t->line);
    QString shown = text_.mid(t->pos, t->end - t->pos);
    if (shown.size() > 128)
        shown = shown.left(128);
    if (isReserved(*t))
        throw SqlError(156, 15, QStringLiteral("Syntax error near the keyword '%1'.").arg(shown),
                       t->line);
    throw SqlError(102, 15, QStringLiteral("Syntax error near '%1'.").arg(shown), t->line);
}

QString SqlParser::sourceFrom(int startPos) const {
    return lastEnd_ > startPos ? text_.mid(startPos, lastEnd_ - startPos) : QString();
}

// ---------------------------------------------------------------------------------------------
// Names

QString SqlParser::parseName() {
    const Token& t = cur();
    if (t.type == TokenType::QuotedIdentifier) {
        if (t.text.isEmpty())
            throw SqlError(1038, 15, QStringLiteral("A name may not be empty."), t.line);
        return take().text;
    }
    if (t.type == TokenType::Identifier && !isReserved(t))
        return take().text;
    syntaxError();
}

QStringList SqlParser::parseNameParts(int maxParts) {
    QStringList parts;
    parts << parseName();
    while (cur().isOp(".")) {
        take();
        if (cur().isOp(".")) {
            parts << QString(); // db..name: the owner is left out
            continue;
        }
        parts << parseName();
        if (parts.size() > maxParts)
            syntaxError(tokens_[i_ - 1]);
    }
    if (parts.size() > maxParts)
        syntaxError(tokens_[i_ - 1]);
    return parts;
}

ObjectName SqlParser::parseObjectName() {
    const QStringList parts = parseNameParts(4);
    ObjectName n;
    const int k = int(parts.size());
    n.name = parts[k - 1];
    if (k > 1)
        n.owner = parts[k - 2];
    if (k > 2)
        n.database = parts[k - 3];
    if (k > 3)
        n.server = parts[k - 4];
    return n;
}

QString SqlParser::parseFileGroupName() {
    if (cur().isWord("PRIMARY") || cur().isWord("DEFAULT"))
        return take().text.toUpper();
    if (cur().type == TokenType::String)
        return take().text;
    return parseName();
}

QString SqlParser::parseCollationName() {
    return parseName();
}

DataType SqlParser::parseDataType() {
    DataType d;
    if (cur().isWord("DOUBLE") && peek(1).isWord("PRECISION")) {
        take();
        take();
        d.name = QStringLiteral("float");
        return d;
    }
    d.name = parseName();
    if (cur().isOp(".") && peek(1).isName()) {
        take();
        d.owner = d.name;
        d.name = parseName();
    }
    if (acceptOp("(")) {
        const int a = parseSmallInteger();
        std::optional<int> b;
        if (acceptOp(","))
            b = parseSmallInteger();
        expectOp(")");
        const QString lower = d.name.toLower();
        if (lower == QLatin1String("decimal") || lower == QLatin1String("numeric") ||
            lower == QLatin1String("dec")) {
            d.precision = a;
            d.scale = b ? *b : 0;
        } else if (b) {
            d.precision = a;
            d.scale = *b;
        } else if (lower == QLatin1String("float")) {
            d.precision = a;
        } else {
            d.length = a;
        }
    }
    return d;
}

qint64 SqlParser::parseSignedInteger() {
    bool negative = false;
    if (cur().isOp("-") || cur().isOp("+"))
        negative = take().text == QLatin1String("-");
    const Token& t = cur();
    if (t.type != TokenType::Integer && t.type != TokenType::Decimal)
        syntaxError();
    QString digits = t.text;
    const int dot = digits.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        digits.truncate(dot);
    bool ok = false;
    // the sign goes with the digits: -9223372036854775808 has no positive counterpart
    const qint64 v = digits.isEmpty() ? 0 : (negative ? QLatin1Char('-') + digits : digits).toLongLong(&ok);
    if (!digits.isEmpty() && !ok)
        syntaxError();
    take();
    return v;
}

int SqlParser::parseSmallInteger() {
    const Token& t = cur();
    if (t.type != TokenType::Integer)
        syntaxError();
    bool ok = false;
    const int v = t.text.toInt(&ok);
    if (!ok)
        syntaxError();
    take();
    return v;
}

// ---------------------------------------------------------------------------------------------
// Statements

StatementList SqlParser::parseBatch() {
    StatementList out;
    bool first = true;
    while (!atEnd()) {
        if (acceptOp(";"))
            continue;
        out.push_back(parseStatement(first));
        first = false;
    }
    return out;
}

StatementList SqlParser::parseStatementsToEnd() {
    StatementList out;
    while (!atEnd()) {
        if (acceptOp(";"))
            continue;
        out.push_back(parseStatement(false));
    }
    return out;
}

StmtPtr SqlParser::parseStatement(bool firstInBatch) {
    Depth guard(*this);
    const Token& t = cur();
    const int start = t.pos;
    const int line = t.line;
    StmtPtr s;
    if (t.isOp("(")) {
        s = parseSelectStatement();
    } else if (t.type == TokenType::Identifier && isReserved(t)) {
        const QString w = t.text.toUpper();
        if (w == QLatin1String("SELECT"))
            s = parseSelectStatement();
        else if (w == QLatin1String("INSERT"))
            s = parseInsert();
        else if (w == QLatin1String("UPDATE") && peek(1).isWord("STATISTICS")) {
            take();
            take();
            s = parseUnsupported(QStringLiteral("UPDATE STATISTICS"), false);
        } else if (w == QLatin1String("UPDATE"))
            s = parseUpdate();
        else if (w == QLatin1String("DELETE"))
            s = parseDelete();
        else if (w == QLatin1String("CREATE") || w == QLatin1String("ALTER")) {
            // Procedures (and the objects we refuse) must open the batch.
            const Token& what = peek(1);
            const bool mustBeFirst = what.isWord("PROC") || what.isWord("PROCEDURE") ||
                                     what.isWord("VIEW") || what.isWord("TRIGGER") ||
                                     what.isWord("FUNCTION") || what.isWord("RULE") ||
                                     (w == QLatin1String("CREATE") && what.isWord("DEFAULT"));
            if (mustBeFirst && !firstInBatch)
                throw SqlError(111, 15,
                               QStringLiteral("%1 %2 must be the first statement in a batch.")
                                   .arg(w, what.text.toUpper()),
                               line);
            s = w == QLatin1String("CREATE") ? parseCreate() : parseAlter();
        } else if (w == QLatin1String("DROP"))
            s = parseDrop();
        else if (w == QLatin1String("EXEC") || w == QLatin1String("EXECUTE"))
            s = parseExec(false);
        else if (w == QLatin1String("USE"))
            s = parseUse();
        else if (w == QLatin1String("DECLARE"))
            s = parseDeclare();
        else if (w == QLatin1String("SET"))
            s = parseSet();
        else if (w == QLatin1String("BEGIN"))
            s = parseBeginOrBlock();
        else if (w == QLatin1String("COMMIT") || w == QLatin1String("ROLLBACK") ||
                 w == QLatin1String("SAVE"))
            s = parseTransaction();
        else if (w == QLatin1String("IF"))
            s = parseIf();
        else if (w == QLatin1String("WHILE"))
            s = parseWhile();
        else if (w == QLatin1String("BREAK")) {
            if (loops_ == 0) throw Errors::jumpOutsideLoop(true, line);
            take();
            s = std::make_unique<BreakStmt>();
        } else if (w == QLatin1String("CONTINUE")) {
            if (loops_ == 0) throw Errors::jumpOutsideLoop(false, line);
            take();
            s = std::make_unique<ContinueStmt>();
        } else if (w == QLatin1String("RETURN"))
            s = parseReturn();
        else if (w == QLatin1String("PRINT"))
            s = parsePrint();
        else if (w == QLatin1String("RAISERROR"))
            s = parseRaiserror();
        else if (w == QLatin1String("DBCC"))
            s = parseDbcc();
        else if (w == QLatin1String("GRANT") || w == QLatin1String("REVOKE") ||
                 w == QLatin1String("DENY")) {
            take();
            skipPermissionStatement();
            auto u = std::make_unique<UnsupportedStmt>();
            u->name = w;
            s = std::move(u);
        } else if (w == QLatin1String("TRUNCATE") && peek(1).isWord("TABLE")) {
            s = parseTruncate();
        } else if (w == QLatin1String("TRUNCATE") || w == QLatin1String("BULK")) {
            take();
            const QString second = cur().text.toUpper();
            take();
            s = parseUnsupported(w + QLatin1Char(' ') + second, false);
        } else if (statementWords().contains(w) && w != QLatin1String("END") &&
                   w != QLatin1String("ELSE")) {
            take();
            s = parseUnsupported(w, false);
        } else {
            syntaxError();
        }
    } else if (firstInBatch && t.isName()) {
        s = parseExec(true);
    } else {
        syntaxError();
    }
    s->line = line;
    if (s->source.isEmpty() && s->kind != StmtKind::Block && s->kind != StmtKind::If &&
        s->kind != StmtKind::While)
        s->source = sourceFrom(start);
    return s;
}

StmtPtr SqlParser::parseUnsupported(const QString& name, bool toEndOfBatch) {
    if (toEndOfBatch) {
        while (!atEnd())
            take();
    } else {
        skipToStatementEnd();
    }
    auto u = std::make_unique<UnsupportedStmt>();
    u->name = name;
    return u;
}

void SqlParser::skipToStatementEnd() {
    int parens = 0;
    while (!atEnd()) {
        const Token& t = cur();
        if (parens == 0 && (t.isOp(";") || isStatementStart(t)))
            return;
        if (t.isOp("("))
            ++parens;
        else if (t.isOp(")") && parens > 0)
            --parens;
        take();
    }
}

void SqlParser::skipPermissionStatement() {
    int parens = 0;
    while (!atEnd() && !(parens == 0 && (cur().isWord("TO") || cur().isWord("FROM")))) {
        if (cur().isOp("("))
            ++parens;
        else if (cur().isOp(")") && parens > 0)
            --parens;
        take();
    }
    if (atEnd())
        return;
    take();
    do {
        if (cur().isWord("PUBLIC"))
            take();
        else
            parseName();
    } while (acceptOp(","));
    if (acceptWord("WITH")) {
        if (!cur().isWord("GRANT"))
            syntaxError();
        take();
        if (!cur().isWord("OPTION"))
            syntaxError();
        take();
    }
    acceptWord("CASCADE");
    if (acceptWord("AS"))
        parseName();
}

StmtPtr SqlParser::parseBeginOrBlock() {
    const Token& n = peek(1);
    if (n.isWord("TRAN") || n.isWord("TRANSACTION") || n.isWord("DISTRIBUTED"))
        return parseTransaction();
    return parseBlock();
}

StmtPtr SqlParser::parseBlock() {
    expectWord("BEGIN");
    auto b = std::make_unique<BlockStmt>();
    while (!cur().isWord("END")) {
        if (atEnd())
            syntaxError();
        if (acceptOp(";"))
            continue;
        b->body.push_back(parseStatement(false));
    }
    if (b->body.empty())
        syntaxError();
    take();
    return b;
}

StmtPtr SqlParser::parseTransaction() {
    auto s = std::make_unique<TransactionStmt>();
    const Token& head = take();
    bool nameAllowed = false;
    if (head.isWord("BEGIN")) {
        s->op = TransactionOp::Begin;
        acceptWord("DISTRIBUTED");
        if (!acceptWord("TRAN") && !acceptWord("TRANSACTION"))
            syntaxError();
        nameAllowed = true;
    } else if (head.isWord("SAVE")) {
        s->op = TransactionOp::Save;
        if (!acceptWord("TRAN") && !acceptWord("TRANSACTION"))
            syntaxError();
        nameAllowed = true;
    } else {
        s->op = head.isWord("COMMIT") ? TransactionOp::Commit : TransactionOp::Rollback;
        if (acceptWord("TRAN") || acceptWord("TRANSACTION"))
            nameAllowed = true;
        else
            acceptWord("WORK");
    }
    if (nameAllowed) {
        const Token& t = cur();
        if (t.type == TokenType::Variable || t.type == TokenType::QuotedIdentifier ||
            (t.type == TokenType::Identifier && !isReserved(t)))
            s->name = take().text;
    }
    if (s->op == TransactionOp::Save && s->name.isEmpty())
        syntaxError();
    if (s->op == TransactionOp::Begin && !s->name.isEmpty() && acceptWord("WITH")) {
        if (!cur().isWord("MARK"))
            syntaxError();
        take();
        if (cur().type == TokenType::String || cur().type == TokenType::NString)
            take();
    }
    return s;
}

StmtPtr SqlParser::parseIf() {
    expectWord("IF");
    auto s = std::make_unique<IfStmt>();
    s->condition = parseExpr();
    if (atEnd())
        syntaxError();
    s->then = parseStatement(false);
    if (cur().isOp(";") && peek(1).isWord("ELSE"))
        take();
    if (acceptWord("ELSE")) {
        if (atEnd())
            syntaxError();
        s->otherwise = parseStatement(false);
    }
    return s;
}

StmtPtr SqlParser::parseWhile() {
    expectWord("WHILE");
    auto s = std::make_unique<WhileStmt>();
    s->condition = parseExpr();
    if (atEnd())
        syntaxError();
    ++loops_;
    s->body = parseStatement(false);
    --loops_;
    return s;
}

StmtPtr SqlParser::parseReturn() {
    expectWord("RETURN");
    auto s = std::make_unique<ReturnStmt>();
    const Token& t = cur();
    const bool plainWord = t.type == TokenType::Identifier && !isReserved(t);
    if (canStartExpression(t) && !isStatementStart(t) && (!plainWord || peek(1).isOp("(")))
        s->value = parseExpr();
    return s;
}

StmtPtr SqlParser::parsePrint() {
    expectWord("PRINT");
    auto s = std::make_unique<PrintStmt>();
    s->value = parseExpr();
    return s;
}

StmtPtr SqlParser::parseRaiserror() {
    expectWord("RAISERROR");
    auto s = std::make_unique<RaiserrorStmt>();
    expectOp("(");
    s->message = parseExpr();
    expectOp(",");
    s->severity = parseExpr();
    expectOp(",");
    s->state = parseExpr();
    while (acceptOp(","))
        s->args.push_back(parseExpr());
    expectOp(")");
    if (acceptWord("WITH")) {
        do {
            const Token& t = cur();
            if (!(t.isWord("LOG") || t.isWord("NOWAIT") || t.isWord("SETERROR")))
                syntaxError();
            s->options << take().text.toUpper();
        } while (acceptOp(","));
    }
    return s;
}

StmtPtr SqlParser::parseDeclare() {
    expectWord("DECLARE");
    if (cur().type != TokenType::Variable) {
        // DECLARE name CURSOR ... FOR SELECT ...
        parseName();
        while (!atEnd() && !cur().isWord("FOR"))
            take();
        if (acceptWord("FOR")) {
            parseQuery();
            if (acceptWord("FOR")) {
                if (acceptWord("UPDATE")) {
                    if (acceptWord("OF")) {
                        do
                            parseName();
                        while (acceptOp(","));
                    }
                } else {
                    expectWord("READ");
                    if (!cur().isWord("ONLY"))
                        syntaxError();
                    take();
                }
            }
        }
        auto u = std::make_unique<UnsupportedStmt>();
        u->name = QStringLiteral("DECLARE CURSOR");
        return u;
    }
    auto s = std::make_unique<DeclareStmt>();
    do {
        VariableDecl v;
        if (cur().type != TokenType::Variable)
            syntaxError();
        v.name = take().text;
        acceptWord("AS");
        if (cur().isWord("CURSOR") || cur().isWord("TABLE")) {
            const QString what = take().text.toUpper();
            if (what == QLatin1String("TABLE") && cur().isOp("(")) {
                int parens = 0;
                do {
                    if (cur().isOp("("))
                        ++parens;
                    else if (cur().isOp(")"))
                        --parens;
                    take();
                } while (parens > 0 && !atEnd());
            }
            auto u = std::make_unique<UnsupportedStmt>();
            u->name = QStringLiteral("DECLARE ") + what;
            skipToStatementEnd();
            return u;
        }
        v.type = parseDataType();
        if (acceptOp("="))
            v.init = parseExpr();
        s->variables.push_back(std::move(v));
    } while (acceptOp(","));
    return s;
}

StmtPtr SqlParser::parseSet() {
    expectWord("SET");
    const Token& t = cur();
    if (t.type == TokenType::Variable) {
        auto s = std::make_unique<SetVariableStmt>();
        s->variable = take().text;
        expectOp("=");
        if (cur().isWord("CURSOR")) {
            auto u = std::make_unique<UnsupportedStmt>();
            u->name = QStringLiteral("SET CURSOR");
            take();
            while (!atEnd() && !cur().isWord("FOR"))
                take();
            if (acceptWord("FOR"))
                parseQuery();
            return u;
        }
        s->value = parseExpr();
        return s;
    }
    if (t.isWord("IDENTITY_INSERT")) {
        take();
        auto s = std::make_unique<SetIdentityInsertStmt>();
        s->table = parseObjectName();
        if (acceptWord("ON"))
            s->on = true;
        else if (acceptWord("OFF"))
            s->on = false;
        else
            syntaxError();
        return s;
    }
    auto s = std::make_unique<SetOptionStmt>();
    if (t.isWord("TRANSACTION")) {
        take();
        if (!cur().isWord("ISOLATION"))
            syntaxError();
        take();
        if (!cur().isWord("LEVEL"))
            syntaxError();
        take();
        s->options << QStringLiteral("TRANSACTION ISOLATION LEVEL");
        QStringList words;
        while (cur().type == TokenType::Identifier &&
               (cur().isWord("READ") || cur().isWord("COMMITTED") || cur().isWord("UNCOMMITTED") ||
                cur().isWord("REPEATABLE") || cur().isWord("SERIALIZABLE") ||
                cur().isWord("SNAPSHOT")))
            words << take().text.toUpper();
        if (words.isEmpty())
            syntaxError();
        s->value = words.join(QLatin1Char(' '));
        return s;
    }
    static const char* const valued[] = {"ROWCOUNT", "TEXTSIZE", "DATEFORMAT", "DATEFIRST",
                                         "LANGUAGE", "LOCK_TIMEOUT", "DEADLOCK_PRIORITY",
                                         "QUERY_GOVERNOR_COST_LIMIT", "CONTEXT_INFO"};
    for (const char* v : valued) {
        if (!t.isWord(v))
            continue;
        s->options << take().text.toUpper();
        const Token& val = cur();
        const int start = val.pos;
        if (val.type == TokenType::Variable || val.type == TokenType::Integer ||
            val.isOp("-") || val.type == TokenType::Binary) {
            s->valueExpr = parseUnary();
            s->value = sourceFrom(start);
        } else if (val.type == TokenType::String || val.type == TokenType::NString ||
                   val.isName()) {
            s->value = take().text;
        } else {
            syntaxError();
        }
        return s;
    }
    // One or more ON/OFF options: SET ANSI_NULLS, QUOTED_IDENTIFIER ON; SET STATISTICS IO ON
    QString name;
    for (;;) {
        const Token& w = cur();
        if (w.type != TokenType::Identifier || w.isWord("ON") || w.isWord("OFF"))
            break;
        name += (name.isEmpty() ? QString() : QStringLiteral(" ")) + take().text.toUpper();
        if (acceptOp(",")) {
            s->options << name;
            name.clear();
        }
    }
    if (name.isEmpty())
        syntaxError();
    s->options << name;
    if (!cur().isWord("ON") && !cur().isWord("OFF"))
        syntaxError();
    s->value = take().text.toUpper();
    return s;
}

StmtPtr SqlParser::parseUse() {
    expectWord("USE");
    auto s = std::make_unique<UseStmt>();
    s->database = parseName();
    return s;
}

StmtPtr SqlParser::parseExec(bool implicit) {
    if (!implicit)
        take(); // EXEC or EXECUTE
    if (!implicit && cur().isOp("(")) {
        take();
        auto s = std::make_unique<ExecStringStmt>();
        do
            s->parts.push_back(parsePrimary());
        while (acceptOp("+"));
        expectOp(")");
        return s;
    }
    auto s = std::make_unique<ExecStmt>();
    s->implicit = implicit;
    if (cur().type == TokenType::Variable && peek(1).isOp("=")) {
        s->returnVariable = take().text;
        take();
    }
    if (cur().type == TokenType::Variable)
        s->procedureVariable = take().text;
    else
        s->procedure = parseObjectName();
    if (cur().isOp(";") && peek(1).type == TokenType::Integer) {
        take();
        s->number = parseSmallInteger();
    }
    parseExecArgs(*s);
    return s;
}

void SqlParser::parseExecArgs(ExecStmt& s) {
    auto startsArg = [this](const Token& t) {
        if (t.type == TokenType::End || t.isOp(";"))
            return false;
        if (t.isWord("DEFAULT") || t.isWord("NULL"))
            return true;
        if (isReserved(t))
            return false;
        return t.type != TokenType::Operator || t.isOp("-") || t.isOp("+") || t.isOp("(");
    };
    if (startsArg(cur())) {
        do {
            ExecArg a;
            if (cur().type == TokenType::Variable && peek(1).isOp("=")) {
                a.name = take().text;
                take();
            }
            const Token& t = cur();
            if (t.isWord("DEFAULT")) {
                take();
            } else if (t.isName() && !peek(1).isOp("(") && !peek(1).isOp(".") && !isReserved(t)) {
                // An unquoted word stands for a string: sp_helpindex Orders
                auto lit = node<LiteralExpr>(t.pos, t.line);
                lit->type = LiteralType::String;
                lit->text = take().text;
                finish(*lit, t.pos);
                a.value = std::move(lit);
            } else {
                a.value = parseExpr();
            }
            if (acceptWord("OUTPUT") || acceptWord("OUT"))
                a.output = true;
            s.args.push_back(std::move(a));
        } while (acceptOp(","));
    }
    if (cur().isWord("WITH") && peek(1).isWord("RECOMPILE")) {
        take();
        take();
        s.recompile = true;
    }
}

} // namespace engine::sql
