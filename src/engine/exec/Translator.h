#pragma once
// Translation of T-SQL expressions and queries to SQLite SQL over the physical tables, with the
// static T-SQL type of every expression. Variables and @@ globals become bound parameters.

#include "engine/Engine.h"
#include "engine/catalog/CatalogTypes.h"
#include "engine/parser/Ast.h"
#include "engine/types/TypeInfo.h"
#include "engine/types/Value.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace engine::exec {

class SessionImpl;
struct ViewBinding;
struct ViewDefinition;

// A translated expression.
struct Typed {
    QString sql;
    types::TypeSpec type;
    bool nullable = true;
    bool isColumn = false;    // a plain column reference (SQLite applies its affinity/collation)
    bool isNull = false;      // the NULL literal
    bool hasAggregate = false;
    bool unknownType = false; // type only known at run time (sql_variant)
    bool overLong = false;    // a literal longer than its type's largest length (text, ntext or image)
    const catalog::Column* column = nullptr; // the catalog column of a plain column reference
    // Arithmetic kept as one tsql_chain call, its values and postfix steps (chainKind 8/16/32/64
    // for integers of that many bits, 1 for floats, 0 for exact numbers, -1 when sql is no such call).
    int chainKind = -1;
    QStringList chainArgs;
    QStringList chainSteps;
    // sql is "(x op y op ...)" for a left-associative operator class ('+' additive, '*' multiplicative,
    // '|' concatenation, 'A' AND, 'O' OR) that one more operand can join without nesting.
    char infix = 0;
    QString flatSql; // the sql the two descriptions above belong to: they hold only while sql is still it
};

struct ScopeColumn {
    QString name;
    QString sql;              // sN."cK"
    types::TypeSpec type;
    bool nullable = true;
    const catalog::Column* column = nullptr;
};

struct ScopeSource {
    QString alias;            // the name expressions use: alias, or the table's name
    bool hasAlias = false;
    QString owner;
    QString database;
    QString sqlAlias;         // sN
    std::vector<ScopeColumn> columns;
    std::shared_ptr<catalog::Table> table; // for base tables
    QString physTable;        // "dX"."tN" for base tables
    QString schema;
    QString rowidSql;         // the base row's rowid: base tables, and views over one table in DML
    std::shared_ptr<const ViewBinding> view; // set when the source is a view
    bool systemTable = false; // a system table or view: read-only
};

struct Scope {
    std::vector<ScopeSource> sources;
    const Scope* outer = nullptr;
    // extra names (e.g. select aliases for ORDER BY) are handled by the query translator
};

struct QueryColumn {
    ColumnInfo info;
    types::TypeSpec type;
    std::shared_ptr<const catalog::Column> source; // a plain column of a base table (a copy: the scope ends)
    bool nullLiteral = false;                      // the bare NULL literal: takes the type of the other UNION branches
    bool overLong = false;                         // Typed::overLong
};

struct TranslatedQuery {
    QString sql;                       // output columns are named "v1".."vN"
    std::vector<QueryColumn> columns;
    bool hasAssignments = false;
    std::vector<QString> assignTo;     // SELECT @v = ...: the variable of each column
    const sql::SelectCore* intoCore = nullptr;
};

class Translator {
public:
    explicit Translator(SessionImpl& session) : s_(session) {}

    // Set before translating a statement's query: when it reads one table with a clustered index
    // and has no ORDER BY, its rows come in that index's order, as the server returns them.
    bool clusteredOrder = false;

    Typed expr(const sql::Expr& e, const Scope& scope);
    // expression used as a condition (WHERE/ON/HAVING/IF)
    QString condition(const sql::Expr& e, const Scope& scope);
    TranslatedQuery query(const sql::Query& q, const Scope* outer);
    // FROM clause: fills scope and returns its SQL ("" when empty)
    QString from(const std::vector<sql::TableRefPtr>& refs, Scope& scope);
    // A base-table source for DML targets.
    ScopeSource tableSource(const QString& database, const QString& schema, const catalog::Table& t, const QString& alias,
                            bool hasAlias);

    // SQL converting x to `to` (nothing when no conversion is needed).
    QString convertSql(const Typed& x, const types::TypeSpec& to, bool assignment, const QString& styleSql = QString());
    // SQL of x made numeric when it is exact data kept as text.
    QString numericSql(const Typed& x);

    QString bind(const types::Value& v);
    std::vector<types::Value>& binds() { return binds_; }
    QString newAlias() { return QStringLiteral("s%1").arg(++aliases_); }
    SessionImpl& session() { return s_; }
    // A default text from the catalog ("(0)") translated to SQL.
    Typed defaultExpr(const QString& text);
    // A computed column text translated over the table's physical columns (bare names).
    Typed computedExpr(const QString& text, const catalog::Table& t);
    // Views read by a DML statement carry their base row's rowid (see ViewBinding).
    void setRowidsForDml(bool on) { rowidsForDml_ = on; }

private:
    // tsql_cvt over x, whatever the types (convertSql leaves out conversions that change nothing).
    QString cvtSql(const Typed& x, const types::TypeSpec& to, bool assignment, const QString& styleSql);
    Typed literal(const sql::LiteralExpr& e);
    Typed column(const sql::ColumnExpr& e, const Scope& scope);
    Typed variable(const sql::VariableExpr& e);
    Typed global(const sql::GlobalExpr& e);
    Typed unary(const sql::UnaryExpr& e, const Scope& scope);
    Typed binary(const sql::BinaryExpr& e, const Scope& scope);
    Typed binaryOf(const sql::BinaryExpr& e, Typed a, Typed b);
    Typed comparison(sql::BinaryOp op, Typed a, Typed b);
    Typed function(const sql::FunctionExpr& e, const Scope& scope);
    Typed convert(const sql::Expr& value, const sql::DataType& type, const sql::Expr* style, const Scope& scope);
    Typed caseExpr(const sql::CaseExpr& e, const Scope& scope);
    Typed subquery(const sql::Query& q, const Scope& scope);
    void coerceForCompare(Typed& a, Typed& b);
    QString core(const sql::SelectCore& c, const Scope* outer, std::vector<QueryColumn>& cols, TranslatedQuery& out,
                 const std::vector<sql::OrderItem>* orderBy, bool single);
    QString tableRef(const sql::TableRef& r, Scope& scope);
    QString viewRef(const ViewDefinition& v, const sql::NamedTableRef& n, Scope& scope);

    SessionImpl& s_;
    std::vector<types::Value> binds_;
    int aliases_ = 0;
    int depth_ = 0;
    // view expansion
    std::vector<int> viewStack_;       // ids of the views being expanded
    bool rowidsForDml_ = false;
    bool rowidForQuery_ = false;       // the next query() adds its base rowid as "rid" when it can
    bool rowidForCore_ = false;        // the same, handed from query() to its single core()
    int rowidRefusal_ = 0;             // why the last such query has no rowid (error number)
    std::shared_ptr<const ViewBinding> rowidBase_; // its base table when it has one
};

// Children of an expression node, for walks over the tree.
void forEachChild(const sql::Expr& e, const std::function<void(const sql::Expr&)>& fn);
bool isAggregateName(const QString& lowerName);

} // namespace engine::exec
