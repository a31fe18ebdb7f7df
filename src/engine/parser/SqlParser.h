#pragma once
// Recursive-descent parser over the lexer's tokens. Internal to the parser folder; callers
// use Parser.h.

#include "engine/lexer/Token.h"
#include "engine/parser/Ast.h"

#include <optional>
#include <vector>

namespace engine::sql {

class SqlParser {
public:
    static constexpr int MaxDepth = 1000;       // nesting of statements, queries and expressions
    static constexpr int MaxSourceSlice = 4000; // longest text kept in Expr::source
    explicit SqlParser(const QString& text);

    StatementList parseBatch();
    ExprPtr parseStandaloneExpression();
    DataType parseStandaloneDataType();
    std::vector<ProcParam> parseStandaloneParameters();

private:
    // Nesting guard: every recursive entry point holds one.
    struct Depth {
        explicit Depth(SqlParser& p);
        ~Depth() { --p_.depth_; }
        SqlParser& p_;
    };

    // Tokens
    const Token& peek(int ahead = 0) const;
    const Token& cur() const { return peek(0); }
    const Token& take();
    bool atEnd() const { return cur().type == TokenType::End; }
    bool acceptWord(const char* kw);
    bool acceptOp(const char* op);
    void expectWord(const char* kw);
    void expectOp(const char* op);
    bool isReserved(const Token& t) const;
    bool isStatementStart(const Token& t) const;
    [[noreturn]] void syntaxError(const Token& t) const;
    [[noreturn]] void tooDeep() const;
    void deepen(); // one more level of a left-deep operator chain
    [[noreturn]] void syntaxError() const { syntaxError(cur()); }
    QString sourceFrom(int startPos) const; // text from startPos to the end of the last token taken

    // Names
    QString parseName();             // one identifier (plain non-reserved word or quoted)
    QStringList parseNameParts(int maxParts); // a.b..c, empty parts allowed in the middle
    ObjectName parseObjectName();
    ObjectName parseTableName(); // also @t
    QString parseFileGroupName();
    QString parseCollationName();
    DataType parseDataType();
    qint64 parseSignedInteger();
    int parseSmallInteger();

    // Statements
    StmtPtr parseStatement(bool firstInBatch);
    StatementList parseStatementsToEnd();
    StmtPtr parseBlock();
    StmtPtr parseIf();
    StmtPtr parseWhile();
    StmtPtr parseReturn();
    StmtPtr parsePrint();
    StmtPtr parseRaiserror();
    StmtPtr parseDbcc();
    StmtPtr parseDeclare();
    StmtPtr parseSet();
    StmtPtr parseUse();
    StmtPtr parseTransaction();
    StmtPtr parseBeginOrBlock();
    StmtPtr parseExec(bool implicit);
    void parseExecArgs(ExecStmt& s);
    StmtPtr parseUnsupported(const QString& name, bool toEndOfBatch);
    void skipToStatementEnd();
    void skipPermissionStatement();

    // DML
    StmtPtr parseSelectStatement();
    StmtPtr parseInsert();
    StmtPtr parseUpdate();
    StmtPtr parseDelete();
    std::unique_ptr<Query> parseQuery();
    void parseQueryTerm(Query& q);
    void parseSelectCore(SelectCore& core);
    void parseSelectItem(SelectCore& core);
    std::vector<TableRefPtr> parseFromList();
    TableRefPtr parseTableSource();
    TableRefPtr parseTablePrimary();
    bool atJoinKeyword() const;
    TableRefPtr parseJoinTail(TableRefPtr left);
    QString parseOptionalAlias(bool allowString);
    void parseTableHints(QStringList& hints, bool allowBare);
    bool isTableHint(const Token& t) const;

    // DDL
    StmtPtr parseCreate();
    StmtPtr parseAlter();
    StmtPtr parseDrop();
    StmtPtr parseCreateTable();
    StmtPtr parseAlterTable();
    StmtPtr parseCreateIndex();
    StmtPtr parseDropIndex();
    StmtPtr parseCreateDatabase();
    StmtPtr parseAlterDatabase();
    StmtPtr parseCreateDefault();
    StmtPtr parseCreateProcedure(bool alter);
    StmtPtr parseCreateView(bool alter, int startPos);
    ProcParam parseProcParam();
    StmtPtr parseTruncate();
    ColumnDef parseColumnDef();
    bool atConstraintStart() const;
    ConstraintDef parseTableConstraint(bool allowDefaultFor);
    void parseColumnConstraint(ColumnDef& col, const QString& constraintName);
    void parseKeyTail(ConstraintDef& c, bool columnLevel, const QString& column);
    std::vector<IndexColumn> parseIndexColumns();
    void parseIndexOptions(CreateIndexStmt* index, ConstraintDef* constraint);
    void parseReferences(ConstraintDef& c);
    void skipFileSpecs();

    // Expressions
    ExprPtr parseExpr();
    // operand (op operand)*, as a left-leaning chain of binary nodes.
    ExprPtr parseLeftChain(ExprPtr (SqlParser::*operand)(),
                           std::optional<BinaryOp> (*opOf)(const Token&));
    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parsePredicate();
    ExprPtr parseAdditive();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePrimary();
    ExprPtr parseCase();
    ExprPtr parseFunctionCall(const QString& owner, const QString& name, int startPos, int line);
    ExprPtr parseNameExpression();
    bool canStartExpression(const Token& t) const;
    template <class T> std::unique_ptr<T> node(int startPos, int line) {
        auto n = std::make_unique<T>();
        n->line = line;
        n->pos = startPos;
        return n;
    }
    void finish(Expr& e, int startPos);

    QString text_;
    std::vector<Token> tokens_;
    size_t i_ = 0;
    int lastEnd_ = 0;
    int depth_ = 0;
    int loops_ = 0; // WHILE bodies being parsed: BREAK and CONTINUE need one
};

} // namespace engine::sql
