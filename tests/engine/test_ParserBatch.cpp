// Batches, control flow, session statements, refused statements and errors.
#include "test_ParserUtil.h"

using namespace parsertest;

TEST(ParserBatch, StatementsWithAndWithoutSeparators) {
    StatementList list = parseBatch(QStringLiteral(
        ";USE [master]; DECLARE @a int, @b varchar(10) = 'x'\nSET @a = 1 SELECT @a;;\n"
        "PRINT 'a' + @b"));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(as<UseStmt>(*list[0]).database, QStringLiteral("master"));
    const auto& d = as<DeclareStmt>(*list[1]);
    ASSERT_EQ(d.variables.size(), 2u);
    EXPECT_FALSE(d.variables[0].init);
    EXPECT_TRUE(d.variables[1].init);
    EXPECT_EQ(as<SetVariableStmt>(*list[2]).variable, QStringLiteral("@a"));
    EXPECT_EQ(list[2]->line, 2);
    EXPECT_EQ(list[3]->kind, StmtKind::Select);
    EXPECT_EQ(list[3]->source, QStringLiteral("SELECT @a"));
    EXPECT_EQ(list[4]->line, 3);
}

TEST(ParserBatch, ControlFlow) {
    StatementList list = parseBatch(QStringLiteral(
        "IF EXISTS (SELECT * FROM t)\n  BEGIN PRINT 1 PRINT 2 END\nELSE\n  PRINT 3\n"
        "WHILE @i < 10 BEGIN SET @i = @i + 1 IF @i = 5 BREAK ELSE CONTINUE END\n"
        "RETURN\nRAISERROR ('bad %s', 16, 1, 'x') WITH NOWAIT"));
    ASSERT_EQ(list.size(), 4u);
    const auto& i = as<IfStmt>(*list[0]);
    EXPECT_EQ(as<BlockStmt>(*i.then).body.size(), 2u);
    EXPECT_EQ(as<PrintStmt>(*i.otherwise).line, 4);
    const auto& w = as<WhileStmt>(*list[1]);
    const auto& body = as<BlockStmt>(*w.body);
    EXPECT_EQ(as<IfStmt>(*body.body[1]).then->kind, StmtKind::Break);
    EXPECT_EQ(as<IfStmt>(*body.body[1]).otherwise->kind, StmtKind::Continue);
    EXPECT_FALSE(as<ReturnStmt>(*list[2]).value);
    const auto& r = as<RaiserrorStmt>(*list[3]);
    EXPECT_EQ(r.args.size(), 1u);
    EXPECT_EQ(r.options, QStringList{QStringLiteral("NOWAIT")});
}

TEST(ParserBatch, TransactionsAndSetOptions) {
    StatementList list = parseBatch(QStringLiteral(
        "BEGIN TRAN t1 SAVE TRANSACTION s1 ROLLBACK TRAN s1 COMMIT WORK COMMIT\n"
        "SET NOCOUNT ON SET ANSI_NULLS, QUOTED_IDENTIFIER OFF SET ROWCOUNT 10 "
        "SET DATEFORMAT dmy SET TRANSACTION ISOLATION LEVEL READ COMMITTED SET STATISTICS IO ON"));
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ(as<TransactionStmt>(*list[0]).name, QStringLiteral("t1"));
    EXPECT_EQ(as<TransactionStmt>(*list[1]).op, TransactionOp::Save);
    EXPECT_EQ(as<TransactionStmt>(*list[2]).name, QStringLiteral("s1"));
    EXPECT_EQ(as<TransactionStmt>(*list[3]).op, TransactionOp::Commit);
    EXPECT_TRUE(as<TransactionStmt>(*list[4]).name.isEmpty());
    const auto& nc = as<SetOptionStmt>(*list[5]);
    EXPECT_EQ(nc.value, QStringLiteral("ON"));
    const auto& two = as<SetOptionStmt>(*list[6]);
    EXPECT_EQ(two.options, (QStringList{"ANSI_NULLS", "QUOTED_IDENTIFIER"}));
    EXPECT_EQ(two.value, QStringLiteral("OFF"));
    const auto& rc = as<SetOptionStmt>(*list[7]);
    EXPECT_EQ(rc.value, QStringLiteral("10"));
    EXPECT_TRUE(rc.valueExpr);
    EXPECT_EQ(as<SetOptionStmt>(*list[8]).value, QStringLiteral("dmy"));
    EXPECT_EQ(as<SetOptionStmt>(*list[9]).value, QStringLiteral("READ COMMITTED"));
    EXPECT_EQ(as<SetOptionStmt>(*list[10]).options, QStringList{QStringLiteral("STATISTICS IO")});
}

TEST(ParserBatch, UnsupportedStatementsAreNamed) {
    StatementList list = parseBatch(QStringLiteral(
        "GRANT SELECT, INSERT ON t TO public, [u 1] WITH GRANT OPTION\n"
        "TRUNCATE TABLE t\nDBCC SHRINKDATABASE (Shop, 10)\n"
        "DECLARE c CURSOR FOR SELECT a FROM t FOR READ ONLY\nSELECT 1\nUPDATE STATISTICS t"));
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(as<UnsupportedStmt>(*list[5]).name, QStringLiteral("UPDATE STATISTICS"));
    EXPECT_EQ(as<UnsupportedStmt>(*list[0]).name, QStringLiteral("GRANT"));
    EXPECT_EQ(as<TruncateStmt>(*list[1]).table.name, QStringLiteral("t"));
    EXPECT_EQ(as<UnsupportedStmt>(*list[2]).name, QStringLiteral("DBCC SHRINKDATABASE"));
    EXPECT_EQ(as<UnsupportedStmt>(*list[3]).name, QStringLiteral("DECLARE CURSOR"));
    EXPECT_EQ(list[4]->kind, StmtKind::Select);
    auto ident = parseBatch(QStringLiteral("DBCC CHECKIDENT ('t', RESEED, -5) DBCC CHECKIDENT (dbo.t)"));
    ASSERT_EQ(ident.size(), 2u);
    EXPECT_EQ(as<DbccCheckIdentStmt>(*ident[0]).value, -5);
    EXPECT_EQ(as<DbccCheckIdentStmt>(*ident[1]).name.owner, QStringLiteral("dbo"));
    // a table variable's statements parse, so the server can refuse its DECLARE by name
    auto tv = parseBatch(QStringLiteral(
        "DECLARE @t TABLE (a int) INSERT @t VALUES (1) SELECT * FROM @t x UPDATE @t SET a = 2"));
    ASSERT_EQ(tv.size(), 4u);
    EXPECT_EQ(as<UnsupportedStmt>(*tv[0]).name, QStringLiteral("DECLARE TABLE"));
    EXPECT_EQ(as<InsertStmt>(*tv[1]).table.name, QStringLiteral("@t"));
    auto v = parseBatch(QStringLiteral("CREATE FUNCTION f() RETURNS int AS BEGIN RETURN 1 END"));
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(as<UnsupportedStmt>(*v[0]).name, QStringLiteral("CREATE FUNCTION"));
    // the checked downcast refuses a wrong kind
    EXPECT_THROW(as<SelectStmt>(*v[0]), engine::SqlError);
}

TEST(ParserBatch, ViewsAreWholeBatches) {
    auto v = parseBatch(QStringLiteral("CREATE VIEW dbo.v (x, [y z]) WITH VIEW_METADATA AS SELECT a, b FROM t WITH CHECK OPTION;"));
    ASSERT_EQ(v.size(), 1u);
    const auto& cv = as<CreateViewStmt>(*v[0]);
    EXPECT_FALSE(cv.alter);
    EXPECT_EQ(cv.name.owner, QStringLiteral("dbo"));
    EXPECT_EQ(cv.columns, (QStringList{QStringLiteral("x"), QStringLiteral("y z")}));
    EXPECT_EQ(cv.options, QStringList{QStringLiteral("VIEW_METADATA")});
    EXPECT_TRUE(cv.checkOption);
    EXPECT_EQ(cv.query->cores.size(), 1u);
    EXPECT_EQ(cv.source, QStringLiteral("CREATE VIEW dbo.v (x, [y z]) WITH VIEW_METADATA AS SELECT a, b FROM t WITH CHECK OPTION;"));
    auto a = parseBatch(QStringLiteral("ALTER VIEW v AS SELECT a FROM t WITH (NOLOCK) UNION SELECT 1"));
    EXPECT_TRUE(as<CreateViewStmt>(*a[0]).alter);
    EXPECT_EQ(as<CreateViewStmt>(*a[0]).query->cores.size(), 2u);
    // nothing may follow the view's query, and it must open the batch
    for (const char* bad : {"CREATE VIEW v AS SELECT 1 AS a SELECT 2", "SELECT 1 CREATE VIEW v AS SELECT 1 AS a",
                            "CREATE VIEW v WITH CHECK AS SELECT 1 AS a"}) {
        EXPECT_THROW(parseBatch(QString::fromLatin1(bad)), engine::SqlError) << bad;
    }
}

TEST(ParserBatch, SyntaxErrorsCarryNumberAndLine) {
    struct Case {
        const char* sql;
        int number;
        int line;
    } cases[] = {
        {"SELECT * FROM", 156, 1},               // near the keyword FROM, at the end
        {"SELECT 1\nSELECT * FROM t WHERE", 156, 2},
        {"SELECT 1,\n\n", 102, 1},
        {"SELECT (1", 102, 1},
        {"SELECT 1 +", 102, 1},
        {"INSERT INTO t VALUES (1,)", 102, 1},
        {"CREATE TABLE t (a int,\n b varchar(10\n)", 102, 3},
        {"UPDATE t SET\nWHERE a = 1", 156, 2},
        {"SELECT * FROM t WHERE a = = 1", 102, 1},
        {"IF 1 = 1", 102, 1},
        {"BEGIN END", 156, 1},
        {"END", 156, 1},
        {"ELSE PRINT 1", 156, 1},
        {"SELECT [] FROM t", 1038, 1},
        {"CREATE INDEX ix ON t (a) WITH BOGUS", 102, 1},
        {"SELECT * FROM t\n\nWHERE a = 'x", 105, 3},
        {"CASE", 156, 1},
        {"select a.b.c.d.e from t", 102, 1},
    };
    for (const Case& c : cases) {
        ErrorInfo e = errorOf(QString::fromUtf8(c.sql));
        EXPECT_EQ(e.number, c.number) << c.sql << " -> " << e.text.toStdString();
        EXPECT_EQ(e.line, c.line) << c.sql;
    }
    ErrorInfo near = errorOf(QStringLiteral("SELECT * FROM t WHERE a = = 1"));
    EXPECT_TRUE(near.text.contains(QStringLiteral("'='"))) << near.text.toStdString();
    ErrorInfo kw = errorOf(QStringLiteral("SELECT * FROM"));
    EXPECT_TRUE(kw.text.contains(QStringLiteral("keyword 'FROM'"))) << kw.text.toStdString();
}

TEST(ParserBatch, HostileInputEndsInAnErrorOrATree) {
    // deep nesting is refused with 191, not a stack overflow
    const QString parens = QString(5000, QLatin1Char('(')) + QLatin1Char('1') + QString(5000, QLatin1Char(')'));
    EXPECT_EQ(errorOf(QStringLiteral("SELECT ") + parens).number, 191);
    QString ifs;
    for (int i = 0; i < 3000; ++i)
        ifs += QStringLiteral("IF 1=1 ");
    EXPECT_EQ(errorOf(ifs + QStringLiteral("PRINT 1")).number, 191);
    QString minus(100000, QLatin1Char('-'));
    minus.replace(QStringLiteral("--"), QStringLiteral("- "));
    EXPECT_EQ(errorOf(QStringLiteral("SELECT ") + minus + QStringLiteral("1")).number, 191);
    QString chain = QStringLiteral("SELECT 1");
    for (int i = 0; i < 5000; ++i)
        chain += QStringLiteral(" + 1");
    EXPECT_EQ(errorOf(chain).number, 191);
    QString joins = QStringLiteral("SELECT * FROM a");
    for (int i = 0; i < 5000; ++i)
        joins += QStringLiteral(" CROSS JOIN b");
    EXPECT_EQ(errorOf(joins).number, 191);
    // a long but flat batch parses
    QString many;
    for (int i = 0; i < 20000; ++i)
        many += QStringLiteral("INSERT INTO t VALUES (%1, 'x')\n").arg(i);
    EXPECT_EQ(parseBatch(many).size(), 20000u);
    // control characters and stray bytes are errors
    EXPECT_EQ(errorOf(QStringLiteral("SELECT \x01")).number, 102);
    EXPECT_EQ(errorOf(QString(QChar(0xFFFD))).number, 102);
    EXPECT_EQ(parseBatch(QStringLiteral("  \n\t-- nothing\n/* at all */")).size(), 0u);
}
