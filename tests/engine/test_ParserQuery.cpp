// SELECT, INSERT, UPDATE, DELETE and expressions.
#include "test_ParserUtil.h"

#include "engine/parser/ExprPrinter.h"

using namespace parsertest;

TEST(ParserQuery, SelectListForms) {
    auto s = one<SelectStmt>(QStringLiteral(
        "SELECT TOP 10 PERCENT DISTINCT_x = 1, t.*, a AS [x y], b c, 'lit' = d, e 'str', *, "
        "db.dbo.t.col FROM t"));
    const SelectCore& c = s->query->cores[0];
    EXPECT_FALSE(c.distinct);
    EXPECT_TRUE(c.topPercent);
    EXPECT_EQ(as<LiteralExpr>(*c.top).text, QStringLiteral("10"));
    ASSERT_EQ(c.items.size(), 8u);
    EXPECT_EQ(c.items[0].alias, QStringLiteral("DISTINCT_x"));
    EXPECT_EQ(c.items[1].kind, SelectItemKind::Star);
    EXPECT_EQ(c.items[1].qualifier, QStringLiteral("t"));
    EXPECT_EQ(c.items[2].alias, QStringLiteral("x y"));
    EXPECT_EQ(c.items[3].alias, QStringLiteral("c"));
    EXPECT_EQ(c.items[4].alias, QStringLiteral("lit"));
    EXPECT_EQ(c.items[5].alias, QStringLiteral("str"));
    EXPECT_EQ(c.items[6].kind, SelectItemKind::Star);
    EXPECT_TRUE(c.items[6].qualifier.isEmpty());
    const auto& col = as<ColumnExpr>(*c.items[7].expr);
    EXPECT_EQ(col.database, QStringLiteral("db"));
    EXPECT_EQ(col.owner, QStringLiteral("dbo"));
    EXPECT_EQ(col.table, QStringLiteral("t"));
    EXPECT_EQ(col.column, QStringLiteral("col"));

    auto d = one<SelectStmt>(QStringLiteral("select distinct top (5) @v = a from t"));
    EXPECT_TRUE(d->query->cores[0].distinct);
    EXPECT_EQ(d->query->cores[0].items[0].kind, SelectItemKind::Assignment);
    EXPECT_EQ(d->query->cores[0].items[0].variable, QStringLiteral("@v"));
}

TEST(ParserQuery, FromJoinsAndNames) {
    auto s = one<SelectStmt>(QStringLiteral(
        "SELECT * FROM Northwind.dbo.Orders o INNER JOIN [Order Details] AS d ON o.Id = d.Id "
        "LEFT OUTER JOIN x ON 1 = 1 CROSS JOIN y, srv.db.dbo.z WITH (NOLOCK), "
        "(SELECT 1 AS n) AS dt, db..w"));
    const SelectCore& c = s->query->cores[0];
    ASSERT_EQ(c.from.size(), 4u);
    const auto& cross = as<JoinTableRef>(*c.from[0]);
    EXPECT_EQ(cross.type, JoinType::Cross);
    EXPECT_FALSE(cross.on);
    const auto& left = as<JoinTableRef>(*cross.left);
    EXPECT_EQ(left.type, JoinType::Left);
    const auto& inner = as<JoinTableRef>(*left.left);
    EXPECT_EQ(inner.type, JoinType::Inner);
    const auto& orders = as<NamedTableRef>(*inner.left);
    EXPECT_EQ(orders.name.database, QStringLiteral("Northwind"));
    EXPECT_EQ(orders.name.owner, QStringLiteral("dbo"));
    EXPECT_EQ(orders.name.name, QStringLiteral("Orders"));
    EXPECT_EQ(orders.alias, QStringLiteral("o"));
    EXPECT_EQ(as<NamedTableRef>(*inner.right).alias, QStringLiteral("d"));
    const auto& z = as<NamedTableRef>(*c.from[1]);
    EXPECT_EQ(z.name.server, QStringLiteral("srv"));
    EXPECT_EQ(z.hints, QStringList{QStringLiteral("NOLOCK")});
    EXPECT_EQ(as<DerivedTableRef>(*c.from[2]).alias, QStringLiteral("dt"));
    const auto& w = as<NamedTableRef>(*c.from[3]);
    EXPECT_EQ(w.name.database, QStringLiteral("db"));
    EXPECT_TRUE(w.name.owner.isEmpty());

    // a JOIN b JOIN c ON .. ON ..: the inner join binds to b
    auto n = one<SelectStmt>(QStringLiteral("select * from a join b join c on c.x = b.x on b.y = a.y"));
    const auto& outer = as<JoinTableRef>(*n->query->cores[0].from[0]);
    EXPECT_EQ(as<JoinTableRef>(*outer.right).kind, TableRefKind::Join);
}

TEST(ParserQuery, TableFunctionsAndHints) {
    auto s = one<SelectStmt>(QStringLiteral("SELECT name FROM ::fn_helpcollations() AS c"));
    const auto& f = as<FunctionTableRef>(*s->query->cores[0].from[0]);
    EXPECT_TRUE(f.systemSyntax);
    EXPECT_EQ(f.name.name, QStringLiteral("fn_helpcollations"));
    EXPECT_EQ(f.alias, QStringLiteral("c"));
    auto g = one<SelectStmt>(QStringLiteral("SELECT * FROM dbo.fn(1, 'x') t, u (NOLOCK)"));
    const auto& fn = as<FunctionTableRef>(*g->query->cores[0].from[0]);
    EXPECT_FALSE(fn.systemSyntax);
    EXPECT_EQ(fn.args.size(), 2u);
    EXPECT_EQ(as<NamedTableRef>(*g->query->cores[0].from[1]).hints,
              QStringList{QStringLiteral("NOLOCK")});
}

TEST(ParserQuery, ClausesUnionAndOrder) {
    auto s = one<SelectStmt>(QStringLiteral(
        "SELECT a, COUNT(DISTINCT b) FROM t WHERE a > 1 GROUP BY a HAVING COUNT(*) > 2 "
        "UNION ALL SELECT 1, 2 UNION (SELECT 3, 4) ORDER BY 1 DESC, a"));
    const Query& q = *s->query;
    ASSERT_EQ(q.cores.size(), 3u);
    EXPECT_EQ(q.unionAll, (std::vector<bool>{true, false}));
    ASSERT_EQ(q.orderBy.size(), 2u);
    EXPECT_TRUE(q.orderBy[0].descending);
    EXPECT_FALSE(q.orderBy[1].descending);
    EXPECT_TRUE(as<FunctionExpr>(*q.cores[0].items[1].expr).distinct);
    EXPECT_EQ(q.cores[0].groupBy.size(), 1u);
    EXPECT_TRUE(q.cores[0].having);

    auto into = one<SelectStmt>(QStringLiteral("SELECT * INTO dbo.Copy FROM t"));
    ASSERT_TRUE(into->query->cores[0].into.has_value());
    EXPECT_EQ(into->query->cores[0].into->name, QStringLiteral("Copy"));
}

TEST(ParserQuery, ExpressionShapes) {
    auto s = one<SelectStmt>(QStringLiteral(
        "SELECT 1 WHERE a NOT LIKE 'x%' ESCAPE '!' AND b IN (1, 2) AND c NOT IN (SELECT c FROM u) "
        "AND d BETWEEN 1 AND 5 AND e IS NOT NULL AND EXISTS (SELECT * FROM v) OR NOT f = 1"));
    const auto& orExpr = as<BinaryExpr>(*s->query->cores[0].where);
    EXPECT_EQ(orExpr.op, BinaryOp::Or);
    EXPECT_EQ(as<UnaryExpr>(*orExpr.right).op, UnaryOp::Not);
    // the AND chain is left-deep: walk it down to the LIKE
    const Expr* e = orExpr.left.get();
    std::vector<ExprKind> kinds;
    while (e->kind == ExprKind::Binary && static_cast<const BinaryExpr*>(e)->op == BinaryOp::And) {
        kinds.push_back(static_cast<const BinaryExpr*>(e)->right->kind);
        e = static_cast<const BinaryExpr*>(e)->left.get();
    }
    kinds.push_back(e->kind);
    EXPECT_EQ(kinds, (std::vector<ExprKind>{ExprKind::Exists, ExprKind::IsNull, ExprKind::Between,
                                            ExprKind::In, ExprKind::In, ExprKind::Like}));
    const auto& like = as<LikeExpr>(*e);
    EXPECT_TRUE(like.negated);
    EXPECT_TRUE(like.escape);

    auto c = one<SelectStmt>(QStringLiteral(
        "SELECT CASE a WHEN 1 THEN 'one' ELSE 'other' END, CASE WHEN b > 0 THEN 1 END, "
        "CAST(a AS varchar(10)), CONVERT(varchar(10), GETDATE(), 103), -a * (b + c), "
        "'a' + N'b', $1.50, 0x0A, @@IDENTITY, CURRENT_TIMESTAMP, LEFT(a, 2), dbo.fn(1), "
        "(SELECT MAX(x) FROM t), DATEADD(day, 1, d), ~a & 3, 1.5e3"));
    const auto& items = c->query->cores[0].items;
    ASSERT_EQ(items.size(), 16u);
    const auto& simple = as<CaseExpr>(*items[0].expr);
    EXPECT_TRUE(simple.operand);
    EXPECT_TRUE(simple.elseValue);
    EXPECT_FALSE(as<CaseExpr>(*items[1].expr).operand);
    EXPECT_EQ(as<CastExpr>(*items[2].expr).type.length, 10);
    const auto& conv = as<ConvertExpr>(*items[3].expr);
    EXPECT_EQ(as<LiteralExpr>(*conv.style).text, QStringLiteral("103"));
    EXPECT_EQ(toSql(*items[4].expr), QStringLiteral("-[a] * ([b] + [c])"));
    EXPECT_EQ(toSql(*items[5].expr), QStringLiteral("'a' + N'b'"));
    EXPECT_EQ(as<LiteralExpr>(*items[6].expr).type, LiteralType::Money);
    EXPECT_EQ(as<LiteralExpr>(*items[7].expr).bytes, QByteArray("\n"));
    EXPECT_EQ(as<GlobalExpr>(*items[8].expr).name, QStringLiteral("@@IDENTITY"));
    EXPECT_TRUE(as<FunctionExpr>(*items[9].expr).args.empty());
    EXPECT_EQ(as<FunctionExpr>(*items[10].expr).name, QStringLiteral("LEFT"));
    EXPECT_EQ(as<FunctionExpr>(*items[11].expr).owner, QStringLiteral("dbo"));
    EXPECT_EQ(items[12].expr->kind, ExprKind::Subquery);
    EXPECT_EQ(as<ColumnExpr>(*as<FunctionExpr>(*items[13].expr).args[0]).column,
              QStringLiteral("day"));
    EXPECT_EQ(toSql(*items[14].expr), QStringLiteral("~[a] & 3"));
    EXPECT_EQ(as<LiteralExpr>(*items[15].expr).type, LiteralType::Float);
    EXPECT_EQ(items[4].expr->source, QStringLiteral("-a * (b + c)"));
}

TEST(ParserQuery, PrecedenceAndPrinting) {
    const char* cases[][2] = {
        {"a - (b - c)", "[a] - ([b] - [c])"},
        {"(a - b) - c", "[a] - [b] - [c]"},
        {"a + b * c", "[a] + [b] * [c]"},
        {"(a + b) * c", "([a] + [b]) * [c]"},
        {"a = 1 or b = 2 and c = 3", "[a] = 1 OR [b] = 2 AND [c] = 3"},
        {"(a = 1 or b = 2) and c = 3", "([a] = 1 OR [b] = 2) AND [c] = 3"},
        {"not (a = 1 and b = 2)", "NOT ([a] = 1 AND [b] = 2)"},
        {"[x]]y].[c]", "[x]]y].[c]"},
        {"'it''s'", "'it''s'"},
        {"isnull(a, 0)", "isnull([a], 0)"},
        {"dbo.[my fn](1)", "[dbo].[my fn](1)"},
        {"(a LIKE b) = c", "([a] LIKE [b]) = [c]"},
        {"(a = b) = c", "([a] = [b]) = [c]"},
        {"LEFT(a, 1)", "LEFT([a], 1)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toSql(*parseExpression(QString::fromUtf8(c[0]))), QString::fromUtf8(c[1])) << c[0];
}

TEST(ParserQuery, PrintingTheDeepestAcceptedTreesIsSafe) {
    // just below the nesting limit: printing and freeing must not exhaust the stack
    QString unary = QStringLiteral("a");
    for (int i = 0; i < 990; ++i)
        unary.prepend(QStringLiteral("+ "));
    EXPECT_TRUE(toSql(*parseExpression(unary)).endsWith(QStringLiteral("++[a]")));
    EXPECT_EQ(toSql(*parseExpression(QStringLiteral("- -1"))), QStringLiteral("-(-1)"));
    QString chain = QStringLiteral("1");
    for (int i = 0; i < 990; ++i)
        chain += QStringLiteral(" - a");
    EXPECT_TRUE(toSql(*parseExpression(chain)).startsWith(QStringLiteral("1 - [a]")));
    QString parens = QStringLiteral("1");
    for (int i = 0; i < 320; ++i)
        parens = QStringLiteral("-(") + parens + QStringLiteral(" + 1)");
    EXPECT_FALSE(toSql(*parseExpression(parens)).isEmpty());
}

TEST(ParserQuery, InsertUpdateDelete) {
    auto v = one<InsertStmt>(QStringLiteral("INSERT t VALUES (1, DEFAULT, NULL), (2, 'x', -3)"));
    EXPECT_EQ(v->source, InsertSource::Values);
    ASSERT_EQ(v->rows.size(), 2u);
    EXPECT_EQ(v->rows[0][1]->kind, ExprKind::Default);
    EXPECT_TRUE(v->columns.isEmpty());

    auto d = one<InsertStmt>(QStringLiteral("insert into t default values"));
    EXPECT_EQ(d->source, InsertSource::DefaultValues);
    auto sel = one<InsertStmt>(QStringLiteral("insert t (a) select a from u"));
    EXPECT_EQ(sel->source, InsertSource::Query);
    auto ex = one<InsertStmt>(QStringLiteral("insert t (a) exec p 1"));
    EXPECT_EQ(ex->source, InsertSource::Exec);
    EXPECT_EQ(ex->exec->procedure.name, QStringLiteral("p"));

    auto u = one<UpdateStmt>(QStringLiteral(
        "UPDATE o SET o.a = 1, b = DEFAULT, @v = c = c + 1 FROM Orders o JOIN x ON x.id = o.id "
        "WHERE o.a IS NULL"));
    EXPECT_EQ(u->table.name, QStringLiteral("o"));
    ASSERT_EQ(u->assignments.size(), 3u);
    EXPECT_EQ(u->assignments[0].table, QStringLiteral("o"));
    EXPECT_EQ(u->assignments[0].column, QStringLiteral("a"));
    EXPECT_EQ(u->assignments[1].value->kind, ExprKind::Default);
    EXPECT_EQ(u->assignments[2].variable, QStringLiteral("@v"));
    EXPECT_EQ(u->assignments[2].column, QStringLiteral("c"));
    EXPECT_EQ(u->from.size(), 1u);
    EXPECT_TRUE(u->where);

    auto del = one<DeleteStmt>(QStringLiteral("DELETE FROM t WHERE a = 1"));
    EXPECT_EQ(del->table.name, QStringLiteral("t"));
    auto del2 = one<DeleteStmt>(QStringLiteral("delete t from t join u on u.a = t.a"));
    EXPECT_EQ(del2->from.size(), 1u);
    EXPECT_FALSE(del2->where);
}
