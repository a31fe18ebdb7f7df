#pragma once
// Syntax tree of a T-SQL batch, as the parser builds it and the executor walks it.
//
// Names are stored decoded: brackets and quotes removed, "]]" and '""' unescaped, letter case as
// written. Every node owns its children through unique_ptr. Statements and expressions carry the
// line (1-based) where they start and the exact source text they were parsed from.
// Downcast with engine::sql::as<T>(node): it checks the node's kind.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <typeinfo>
#include <vector>

namespace engine::sql {

// ---------------------------------------------------------------------------------------------
// Names and types

// A name of up to four parts: server.database.owner.name. Missing parts are empty.
// A table variable written where a table stands (INSERT @t, FROM @t) has name "@t".
struct ObjectName {
    QString server;
    QString database;
    QString owner;
    QString name;
    bool empty() const { return name.isEmpty(); }
    QString text() const; // "db.owner.name" with empty parts kept as in "db..name"
};

// A data type as written: varchar(10), decimal(10, 2), float(24), int, a user type name.
struct DataType {
    QString name;                // as written, e.g. "varchar", "MyType"
    QString owner;               // when written owner.type
    std::optional<int> length;   // char/varchar/nchar/nvarchar/binary/varbinary and user types
    std::optional<int> precision; // decimal/numeric/dec (first argument) and float(n)
    std::optional<int> scale;    // decimal/numeric/dec (second argument)
    QString lowerName() const { return name.toLower(); }
    QString text() const;        // "varchar(10)", "decimal(10, 2)", "int"
};

// ---------------------------------------------------------------------------------------------
// Expressions

enum class ExprKind {
    Literal,
    Column,    // [db.][owner.]table.column or column
    Variable,  // @name
    Global,    // @@name
    Unary,
    Binary,    // arithmetic, string +, comparison, AND/OR, bitwise
    Like,
    In,
    Between,
    IsNull,    // IS [NOT] NULL
    Exists,
    Case,
    Function,  // name(args), COUNT(*), COUNT(DISTINCT x)
    Convert,   // CONVERT(type, expr [, style])
    Cast,      // CAST(expr AS type)
    Subquery,  // (SELECT ...) used as a value
    Default,   // the DEFAULT keyword in VALUES or SET col = DEFAULT
};

struct Query;

struct Expr {
    explicit Expr(ExprKind k) : kind(k) {}
    virtual ~Expr() = default;
    Expr(const Expr&) = delete;
    Expr& operator=(const Expr&) = delete;
    const ExprKind kind;
    int line = 0;
    int pos = 0;    // offset of the expression's text in the batch
    int end = 0;    // offset just past it
    QString source; // the exact text this expression was parsed from; empty beyond 4000 characters
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

enum class LiteralType { Null, Integer, Decimal, Float, Money, String, NString, Binary };

struct LiteralExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Literal;
    LiteralExpr() : Expr(Kind) {}
    LiteralType type = LiteralType::Null;
    QString text;      // numbers: digits as written (money without '$'); strings: decoded value
    QByteArray bytes;  // Binary: the decoded bytes
};

struct ColumnExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Column;
    ColumnExpr() : Expr(Kind) {}
    QString database;
    QString owner;
    QString table; // table name or alias; empty when unqualified
    QString column;
};

struct VariableExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Variable;
    VariableExpr() : Expr(Kind) {}
    QString name; // with the '@'
};

struct GlobalExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Global;
    GlobalExpr() : Expr(Kind) {}
    QString name; // with the "@@", e.g. "@@IDENTITY" as written
};

enum class UnaryOp { Minus, Plus, BitNot, Not };

struct UnaryExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Unary;
    UnaryExpr() : Expr(Kind) {}
    UnaryOp op = UnaryOp::Minus;
    ExprPtr operand;
};

enum class BinaryOp {
    Add, Sub, Mul, Div, Mod,          // Add is also string concatenation
    BitAnd, BitOr, BitXor,
    Eq, Ne, Lt, Le, Gt, Ge, NotLt, NotGt, // NotLt is !<, NotGt is !>
    And, Or,
};

struct BinaryExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Binary;
    BinaryExpr() : Expr(Kind) {}
    BinaryOp op = BinaryOp::Add;
    ExprPtr left;
    ExprPtr right;
};

struct LikeExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Like;
    LikeExpr() : Expr(Kind) {}
    bool negated = false;
    ExprPtr value;
    ExprPtr pattern;
    ExprPtr escape; // may be null
};

struct InExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::In;
    InExpr() : Expr(Kind) {}
    bool negated = false;
    ExprPtr value;
    ExprList list;                  // IN (a, b, c)
    std::unique_ptr<Query> subquery; // IN (SELECT ...); list is empty then
};

struct BetweenExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Between;
    BetweenExpr() : Expr(Kind) {}
    bool negated = false;
    ExprPtr value;
    ExprPtr low;
    ExprPtr high;
};

struct IsNullExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::IsNull;
    IsNullExpr() : Expr(Kind) {}
    bool negated = false; // IS NOT NULL
    ExprPtr value;
};

struct ExistsExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Exists;
    ExistsExpr() : Expr(Kind) {}
    std::unique_ptr<Query> query;
};

struct CaseWhen {
    ExprPtr when;
    ExprPtr then;
};

struct CaseExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Case;
    CaseExpr() : Expr(Kind) {}
    ExprPtr operand; // CASE x WHEN ... (simple form); null for the searched form
    std::vector<CaseWhen> whens;
    ExprPtr elseValue; // may be null
};

struct FunctionExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Function;
    FunctionExpr() : Expr(Kind) {}
    QString owner;  // dbo.fn(...)
    QString name;   // as written
    // A date part (DATEADD(day, ...)) or a type name (IDENTITY(int, 1, 1)) given as an argument
    // is a ColumnExpr holding that word. Niladic functions (CURRENT_TIMESTAMP, USER) have no args.
    ExprList args;
    bool star = false;     // COUNT(*)
    bool distinct = false; // COUNT(DISTINCT x)
    QString lowerName() const { return name.toLower(); }
};

struct ConvertExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Convert;
    ConvertExpr() : Expr(Kind) {}
    DataType type;
    ExprPtr value;
    ExprPtr style; // may be null
};

struct CastExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Cast;
    CastExpr() : Expr(Kind) {}
    ExprPtr value;
    DataType type;
};

struct SubqueryExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Subquery;
    SubqueryExpr() : Expr(Kind) {}
    std::unique_ptr<Query> query;
};

struct DefaultExpr : Expr {
    static constexpr ExprKind Kind = ExprKind::Default;
    DefaultExpr() : Expr(Kind) {}
};

// ---------------------------------------------------------------------------------------------
// Queries

enum class TableRefKind { Named, Derived, Join, Function };
enum class JoinType { Inner, Left, Right, Full, Cross };

struct TableRef {
    explicit TableRef(TableRefKind k) : kind(k) {}
    virtual ~TableRef() = default;
    TableRef(const TableRef&) = delete;
    TableRef& operator=(const TableRef&) = delete;
    const TableRefKind kind;
    int line = 0;
};
using TableRefPtr = std::unique_ptr<TableRef>;

struct NamedTableRef : TableRef {
    static constexpr TableRefKind Kind = TableRefKind::Named;
    NamedTableRef() : TableRef(Kind) {}
    ObjectName name;
    QString alias;     // empty when none
    QStringList hints; // WITH (NOLOCK) and the like, upper case; ignored by the server
};

struct DerivedTableRef : TableRef {
    static constexpr TableRefKind Kind = TableRefKind::Derived;
    DerivedTableRef() : TableRef(Kind) {}
    std::unique_ptr<Query> query;
    QString alias;
};

struct JoinTableRef : TableRef {
    static constexpr TableRefKind Kind = TableRefKind::Join;
    JoinTableRef() : TableRef(Kind) {}
    JoinType type = JoinType::Inner;
    TableRefPtr left;
    TableRefPtr right;
    ExprPtr on; // null for CROSS JOIN
};

// A table-valued function in FROM: ::fn_helpcollations() or dbo.fn(1) [AS] alias.
struct FunctionTableRef : TableRef {
    static constexpr TableRefKind Kind = TableRefKind::Function;
    FunctionTableRef() : TableRef(Kind) {}
    ObjectName name;
    bool systemSyntax = false; // written with the leading "::"
    ExprList args;
    QString alias;
};

enum class SelectItemKind {
    Star,       // * or qualifier.*
    Expr,       // expr [AS] alias, alias = expr, expr 'alias'
    Assignment, // @v = expr
};

struct SelectItem {
    SelectItemKind kind = SelectItemKind::Expr;
    QString qualifier; // Star: the table or alias before ".*" (empty for a bare *)
    ExprPtr expr;
    QString alias;     // Expr: empty when none
    QString variable;  // Assignment: "@v"
};

struct OrderItem {
    ExprPtr expr; // an integer literal is a position in the select list
    bool descending = false;
};

// One SELECT without UNION and ORDER BY.
struct SelectCore {
    int line = 0;
    bool distinct = false;
    ExprPtr top;          // TOP n; null when absent
    bool topPercent = false;
    std::vector<SelectItem> items;
    std::optional<ObjectName> into; // SELECT ... INTO t
    std::vector<TableRefPtr> from;  // comma-separated items; joins are nested JoinTableRefs
    ExprPtr where;
    ExprList groupBy;
    ExprPtr having;
};

// A query expression: cores joined by UNION [ALL], then ORDER BY.
struct Query {
    int line = 0;
    std::vector<SelectCore> cores;   // at least one
    std::vector<bool> unionAll;      // unionAll[i] joins cores[i] and cores[i + 1]
    std::vector<OrderItem> orderBy;
    QString source; // the query's text; empty beyond 4000 characters
};

// ---------------------------------------------------------------------------------------------
// Statements

enum class StmtKind {
    Select,
    Insert,
    Update,
    Delete,
    CreateTable,
    AlterTable,
    CreateIndex,
    DropIndex,
    DropObjects,     // DROP TABLE / DEFAULT / PROCEDURE / DATABASE
    CreateDatabase,
    AlterDatabase,
    CreateDefault,
    CreateProcedure, // CREATE or ALTER PROCEDURE
    CreateView,      // CREATE or ALTER VIEW
    Truncate,        // TRUNCATE TABLE
    Exec,
    ExecString,
    Use,
    Declare,
    SetVariable,
    SetIdentityInsert,
    SetOption,
    Transaction,     // BEGIN / COMMIT / ROLLBACK / SAVE TRAN
    Block,           // BEGIN ... END
    If,
    While,
    Break,
    Continue,
    Return,
    Print,
    Raiserror,
    DbccCheckIdent,
    Unsupported,
};

struct Stmt {
    explicit Stmt(StmtKind k) : kind(k) {}
    virtual ~Stmt() = default;
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    const StmtKind kind;
    int line = 0;   // line of the statement's first token, 1-based within the batch
    QString source; // the statement's text as written (empty for Block, If and While)
};
using StmtPtr = std::unique_ptr<Stmt>;
using StatementList = std::vector<StmtPtr>;

struct SelectStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Select;
    SelectStmt() : Stmt(Kind) {}
    std::unique_ptr<Query> query;
};

struct ExecStmt;

enum class InsertSource { Values, Query, DefaultValues, Exec };

struct InsertStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Insert;
    InsertStmt() : Stmt(Kind) {}
    ObjectName table;
    QStringList columns; // empty when no column list was given
    InsertSource source = InsertSource::Values;
    std::vector<ExprList> rows;       // Values: one list per row; DEFAULT is a DefaultExpr
    std::unique_ptr<Query> query;     // Query: INSERT ... SELECT and INSERT ... (SELECT ...)
    std::unique_ptr<ExecStmt> exec;   // Exec: INSERT ... EXEC proc
};

struct SetAssignment {
    QString table;    // qualifier of the column, when written t.col
    QString column;   // empty for a pure variable assignment
    QString variable; // "@v" for SET @v = expr or SET @v = col = expr
    ExprPtr value;
};

struct UpdateStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Update;
    UpdateStmt() : Stmt(Kind) {}
    ObjectName table; // a table name or an alias of the FROM clause
    std::vector<SetAssignment> assignments;
    std::vector<TableRefPtr> from;
    ExprPtr where;
};

struct DeleteStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Delete;
    DeleteStmt() : Stmt(Kind) {}
    ObjectName table;
    std::vector<TableRefPtr> from;
    ExprPtr where;
};

enum class Nullability { Unspecified, Null, NotNull };

struct IndexColumn {
    QString name;
    bool descending = false;
};

enum class ConstraintType { PrimaryKey, Unique, Default, Check, ForeignKey };

// A column or table constraint; also ALTER TABLE ... ADD [CONSTRAINT n] DEFAULT expr FOR col.
struct ConstraintDef {
    int line = 0;
    QString name; // empty when the server must make one
    ConstraintType type = ConstraintType::PrimaryKey;
    std::optional<bool> clustered; // PRIMARY KEY / UNIQUE: CLUSTERED true, NONCLUSTERED false
    std::vector<IndexColumn> columns; // PRIMARY KEY / UNIQUE; the column itself for a column constraint
    std::optional<int> fillFactor;
    bool padIndex = false;              // index options written after WITH
    bool ignoreDupKey = false;
    bool statisticsNoRecompute = false;
    QString fileGroup;
    ExprPtr expr;     // Default: the value; Check: the condition
    QString exprText; // the expression's source text as written
    QString forColumn; // Default in ALTER TABLE ... ADD ... DEFAULT x FOR col
    ObjectName refTable;     // ForeignKey
    QStringList refColumns;  // ForeignKey
    QStringList fkColumns;   // ForeignKey: the referencing columns
    bool notForReplication = false;
};

struct ColumnDef {
    int line = 0;
    QString name;
    DataType type;          // empty name for a computed column
    bool computed = false;  // name AS expr
    ExprPtr computedExpr;
    QString computedText;   // the expression's source text as written
    Nullability nullability = Nullability::Unspecified;
    bool identity = false;
    qint64 identitySeed = 1;
    qint64 identityIncrement = 1;
    bool notForReplication = false;
    bool rowGuidCol = false;
    QString collation;
    std::optional<ConstraintDef> defaultValue; // [CONSTRAINT n] DEFAULT expr
    std::vector<ConstraintDef> constraints;    // column PRIMARY KEY / UNIQUE / CHECK / REFERENCES
};

struct CreateTableStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::CreateTable;
    CreateTableStmt() : Stmt(Kind) {}
    ObjectName table;
    std::vector<ColumnDef> columns;
    std::vector<ConstraintDef> constraints;
    QString fileGroup;     // ON fg
    QString textImageOn;   // TEXTIMAGE_ON fg
};

enum class AlterTableAction {
    Add,             // ADD column defs and/or constraints
    AlterColumn,     // ALTER COLUMN c type [COLLATE x] [NULL | NOT NULL]
    AddRowGuidCol,   // ALTER COLUMN c ADD ROWGUIDCOL
    DropRowGuidCol,  // ALTER COLUMN c DROP ROWGUIDCOL
    Drop,            // DROP [CONSTRAINT] n | COLUMN c, ...
    CheckConstraint, // [NO]CHECK CONSTRAINT ALL | n, ...: tolerated
};

struct DropItem {
    bool column = false; // DROP COLUMN c, otherwise a constraint
    QString name;
};

struct AlterTableStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::AlterTable;
    AlterTableStmt() : Stmt(Kind) {}
    ObjectName table;
    AlterTableAction action = AlterTableAction::Add;
    std::optional<bool> withCheck; // WITH CHECK true / WITH NOCHECK false
    // Add
    std::vector<ColumnDef> columns;
    std::vector<ConstraintDef> constraints;
    // AlterColumn and the ROWGUIDCOL forms
    QString column;
    DataType type;
    QString collation;
    Nullability nullability = Nullability::Unspecified;
    // Drop
    std::vector<DropItem> drops;
    // CheckConstraint
    bool check = true;     // CHECK (true) or NOCHECK (false)
    QStringList names;     // constraint names; "ALL" for all
};

struct CreateIndexStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::CreateIndex;
    CreateIndexStmt() : Stmt(Kind) {}
    QString name;
    ObjectName table;
    bool unique = false;
    std::optional<bool> clustered; // CLUSTERED true, NONCLUSTERED false, absent: nonclustered
    std::vector<IndexColumn> columns;
    std::optional<int> fillFactor;
    bool padIndex = false;
    bool ignoreDupKey = false;
    bool statisticsNoRecompute = false;
    bool dropExisting = false;
    bool sortInTempdb = false;
    QString fileGroup;
};

struct IndexName {
    ObjectName table;
    QString index;
};

struct DropIndexStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::DropIndex;
    DropIndexStmt() : Stmt(Kind) {}
    std::vector<IndexName> indexes; // DROP INDEX t.ix, owner.t.ix2
};

enum class ObjectType { Table, Default, Procedure, Database, View };

struct DropObjectsStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::DropObjects;
    DropObjectsStmt() : Stmt(Kind) {}
    ObjectType objectType = ObjectType::Table;
    std::vector<ObjectName> names; // databases: name only
};

struct CreateDatabaseStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::CreateDatabase;
    CreateDatabaseStmt() : Stmt(Kind) {}
    QString name;
    QString collation; // empty: the server's
};

enum class AlterDatabaseAction { AddFileGroup, Collate, Other };

struct AlterDatabaseStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::AlterDatabase;
    AlterDatabaseStmt() : Stmt(Kind) {}
    QString name;
    AlterDatabaseAction action = AlterDatabaseAction::Other;
    QString value; // the filegroup or the collation
};

struct CreateDefaultStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::CreateDefault;
    CreateDefaultStmt() : Stmt(Kind) {}
    ObjectName name;
    ExprPtr expr;
    QString exprText; // the expression's source text as written
};

struct ProcParam {
    QString name; // with the '@'
    DataType type;
    ExprPtr defaultValue; // may be null
    bool output = false;
};

// CREATE PROCEDURE and ALTER PROCEDURE. `source` is the whole text as written.
struct CreateProcedureStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::CreateProcedure;
    CreateProcedureStmt() : Stmt(Kind) {}
    bool alter = false;
    ObjectName name;
    std::optional<int> number; // name;n
    std::vector<ProcParam> params;
    bool recompile = false;
    bool encryption = false;
    StatementList body;
    QString bodyText; // the text after AS
    int bodyLine = 0; // line of the body's first token
};

// CREATE VIEW and ALTER VIEW. `source` is the whole text as written.
struct CreateViewStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::CreateView;
    CreateViewStmt() : Stmt(Kind) {}
    bool alter = false;
    ObjectName name;
    QStringList columns;  // (a, b) after the name; empty when none
    QStringList options;  // WITH ENCRYPTION, SCHEMABINDING, VIEW_METADATA (upper case)
    std::unique_ptr<Query> query;
    bool checkOption = false; // WITH CHECK OPTION
};

struct TruncateStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Truncate;
    TruncateStmt() : Stmt(Kind) {}
    ObjectName table;
};

struct ExecArg {
    QString name;  // "@p" for @p = value; empty when positional
    ExprPtr value; // null when the argument is DEFAULT
    bool output = false;
};

struct ExecStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Exec;
    ExecStmt() : Stmt(Kind) {}
    QString returnVariable; // "@r" in EXEC @r = proc
    ObjectName procedure;
    QString procedureVariable; // EXEC @procname: the variable holding the name
    std::optional<int> number;
    std::vector<ExecArg> args;
    bool recompile = false;
    bool implicit = false; // the batch's first statement written without EXEC
};

// EXEC ('text' + @v) / EXEC (@sql)
struct ExecStringStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::ExecString;
    ExecStringStmt() : Stmt(Kind) {}
    ExprList parts; // concatenated in order
};

struct UseStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Use;
    UseStmt() : Stmt(Kind) {}
    QString database;
};

struct VariableDecl {
    QString name; // with the '@'
    DataType type;
    ExprPtr init; // may be null
};

struct DeclareStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Declare;
    DeclareStmt() : Stmt(Kind) {}
    std::vector<VariableDecl> variables;
};

struct SetVariableStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::SetVariable;
    SetVariableStmt() : Stmt(Kind) {}
    QString variable; // with the '@'
    ExprPtr value;
};

struct SetIdentityInsertStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::SetIdentityInsert;
    SetIdentityInsertStmt() : Stmt(Kind) {}
    ObjectName table;
    bool on = false;
};

// SET NOCOUNT ON, SET ANSI_NULLS, QUOTED_IDENTIFIER OFF, SET ROWCOUNT 10, SET DATEFORMAT dmy,
// SET TRANSACTION ISOLATION LEVEL READ COMMITTED ...
struct SetOptionStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::SetOption;
    SetOptionStmt() : Stmt(Kind) {}
    QStringList options; // upper case
    QString value;       // "ON", "OFF", or the value's text as written (a variable keeps '@')
    ExprPtr valueExpr;   // the value as an expression when it is a number or a variable
};

enum class TransactionOp { Begin, Commit, Rollback, Save };

struct TransactionStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Transaction;
    TransactionStmt() : Stmt(Kind) {}
    TransactionOp op = TransactionOp::Begin;
    QString name; // transaction or savepoint name (may be a variable with '@'); empty when none
};

struct BlockStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Block;
    BlockStmt() : Stmt(Kind) {}
    StatementList body;
};

struct IfStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::If;
    IfStmt() : Stmt(Kind) {}
    ExprPtr condition;
    StmtPtr then;
    StmtPtr otherwise; // may be null
};

struct WhileStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::While;
    WhileStmt() : Stmt(Kind) {}
    ExprPtr condition;
    StmtPtr body;
};

struct BreakStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Break;
    BreakStmt() : Stmt(Kind) {}
};

struct ContinueStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Continue;
    ContinueStmt() : Stmt(Kind) {}
};

struct ReturnStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Return;
    ReturnStmt() : Stmt(Kind) {}
    ExprPtr value; // may be null
};

struct PrintStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Print;
    PrintStmt() : Stmt(Kind) {}
    ExprPtr value;
};

struct RaiserrorStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Raiserror;
    RaiserrorStmt() : Stmt(Kind) {}
    ExprPtr message; // a string, a variable or a message number
    ExprPtr severity;
    ExprPtr state;
    ExprList args;
    QStringList options; // WITH LOG, NOWAIT, SETERROR (upper case)
};

// A statement the server recognises but does not run (GRANT, CREATE VIEW, ...).
// DBCC CHECKIDENT ('table' [, NORESEED | , RESEED [, value]])
struct DbccCheckIdentStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::DbccCheckIdent;
    DbccCheckIdentStmt() : Stmt(Kind) {}
    QString table;   // the table given as a string ('dbo.[Order Details]')
    ObjectName name; // or as a name
    bool noReseed = false;
    std::optional<qint64> value; // RESEED's new value
    bool noInfoMessages = false; // WITH NO_INFOMSGS
};

struct UnsupportedStmt : Stmt {
    static constexpr StmtKind Kind = StmtKind::Unsupported;
    UnsupportedStmt() : Stmt(Kind) {}
    QString name; // upper case, e.g. "CREATE VIEW", "GRANT"
};

// ---------------------------------------------------------------------------------------------
// Checked downcasts: throw engine::SqlError when the node is of another kind.

[[noreturn]] void throwWrongNode(const char* expected);

template <class T> T& as(Stmt& s) {
    if (s.kind != T::Kind)
        throwWrongNode(typeid(T).name());
    return static_cast<T&>(s);
}
template <class T> const T& as(const Stmt& s) {
    if (s.kind != T::Kind)
        throwWrongNode(typeid(T).name());
    return static_cast<const T&>(s);
}
template <class T> T& as(Expr& e) {
    if (e.kind != T::Kind)
        throwWrongNode(typeid(T).name());
    return static_cast<T&>(e);
}
template <class T> const T& as(const Expr& e) {
    if (e.kind != T::Kind)
        throwWrongNode(typeid(T).name());
    return static_cast<const T&>(e);
}
template <class T> T& as(TableRef& t) {
    if (t.kind != T::Kind)
        throwWrongNode(typeid(T).name());
    return static_cast<T&>(t);
}
template <class T> const T& as(const TableRef& t) {
    if (t.kind != T::Kind)
        throwWrongNode(typeid(T).name());
    return static_cast<const T&>(t);
}

// Null when the node is of another kind.
template <class T, class N> T* tryAs(N* n) {
    return n && n->kind == T::Kind ? static_cast<T*>(n) : nullptr;
}

} // namespace engine::sql
