// The statements the table designer, the procedure editor and the explorer send, as they write them.
#include "test_ParserUtil.h"

#include "engine/parser/ExprPrinter.h"

using namespace parsertest;

TEST(ParserDesigner, CreateIndexWithOptionsAsWritten) {
    auto s = one<CreateIndexStmt>(QStringLiteral(
        "Create UNIQUE  NONCLUSTERED Index [IX_Orders_2] on [Orders] ([Code] DESC, [Id])With "
        "FillFactor=80, IGNORE_DUP_KEY ON [PRIMARY]"));
    EXPECT_EQ(s->name, QStringLiteral("IX_Orders_2"));
    EXPECT_EQ(s->table.name, QStringLiteral("Orders"));
    EXPECT_TRUE(s->unique);
    ASSERT_TRUE(s->clustered.has_value());
    EXPECT_FALSE(*s->clustered);
    ASSERT_EQ(s->columns.size(), 2u);
    EXPECT_EQ(s->columns[0].name, QStringLiteral("Code"));
    EXPECT_TRUE(s->columns[0].descending);
    EXPECT_FALSE(s->columns[1].descending);
    EXPECT_EQ(s->fillFactor, 80);
    EXPECT_TRUE(s->ignoreDupKey);
    EXPECT_FALSE(s->statisticsNoRecompute);
    EXPECT_EQ(s->fileGroup, QStringLiteral("PRIMARY"));

    auto c = one<CreateIndexStmt>(
        QStringLiteral("Create  CLUSTERED Index [IX_Orders_3] on [Orders] ([Created]) ON [PRIMARY]"));
    EXPECT_FALSE(c->unique);
    EXPECT_TRUE(*c->clustered);
    EXPECT_FALSE(c->fillFactor.has_value());

    auto d = one<CreateIndexStmt>(QStringLiteral(
        "Create Unique  NonClustered Index [IX] On [T]([a] Asc,[b] Desc) With  IGNORE_DUP_KEY, "
        "FILLFACTOR = 80 On [PRIMARY]"));
    EXPECT_TRUE(d->ignoreDupKey);
    EXPECT_EQ(d->fillFactor, 80);
    EXPECT_TRUE(d->columns[1].descending);

    auto e = one<CreateIndexStmt>(QStringLiteral(
        "CREATE INDEX ix ON dbo.T (a) WITH PAD_INDEX, STATISTICS_NORECOMPUTE, DROP_EXISTING, "
        "SORT_IN_TEMPDB"));
    EXPECT_FALSE(e->clustered.has_value());
    EXPECT_EQ(e->table.owner, QStringLiteral("dbo"));
    EXPECT_TRUE(e->padIndex && e->statisticsNoRecompute && e->dropExisting && e->sortInTempdb);

    auto f = one<CreateIndexStmt>(
        QStringLiteral("create index ix on t (a) with (ignore_dup_key = off, fillfactor = 5)"));
    EXPECT_FALSE(f->ignoreDupKey);
    EXPECT_EQ(f->fillFactor, 5);
}

TEST(ParserDesigner, UniqueConstraintAndDropConstraint) {
    auto s = one<AlterTableStmt>(QStringLiteral(
        "Alter Table [Orders] ADD Constraint [UQ_Code] UNIQUE NONCLUSTERED ([Code])With "
        "FillFactor=90, STATISTICS_NORECOMPUTE ON [PRIMARY]"));
    EXPECT_EQ(s->action, AlterTableAction::Add);
    ASSERT_EQ(s->constraints.size(), 1u);
    const ConstraintDef& c = s->constraints[0];
    EXPECT_EQ(c.type, ConstraintType::Unique);
    EXPECT_EQ(c.name, QStringLiteral("UQ_Code"));
    EXPECT_FALSE(*c.clustered);
    EXPECT_EQ(c.fillFactor, 90);
    EXPECT_TRUE(c.statisticsNoRecompute);
    EXPECT_EQ(c.fileGroup, QStringLiteral("PRIMARY"));
    ASSERT_EQ(c.columns.size(), 1u);
    EXPECT_EQ(c.columns[0].name, QStringLiteral("Code"));

    auto d = one<AlterTableStmt>(QStringLiteral("Alter Table [Orders] Drop Constraint [UQ_Code]"));
    EXPECT_EQ(d->action, AlterTableAction::Drop);
    ASSERT_EQ(d->drops.size(), 1u);
    EXPECT_FALSE(d->drops[0].column);
    EXPECT_EQ(d->drops[0].name, QStringLiteral("UQ_Code"));
}

TEST(ParserDesigner, ConversionTestAndNullCount) {
    auto s = one<SelectStmt>(QStringLiteral("Select Convert(decimal(10, 2), [Code]) From [Orders]"));
    const SelectCore& core = s->query->cores[0];
    const auto& conv = as<ConvertExpr>(*core.items[0].expr);
    EXPECT_EQ(conv.type.name, QStringLiteral("decimal"));
    EXPECT_EQ(conv.type.precision, 10);
    EXPECT_EQ(conv.type.scale, 2);
    EXPECT_EQ(as<ColumnExpr>(*conv.value).column, QStringLiteral("Code"));

    auto n = one<SelectStmt>(QStringLiteral(
        "Select IsNull(Count(*),0) as Contagem from [Orders] Where [Code] Is Null"));
    const SelectCore& c2 = n->query->cores[0];
    EXPECT_EQ(c2.items[0].alias, QStringLiteral("Contagem"));
    const auto& isnull = as<FunctionExpr>(*c2.items[0].expr);
    EXPECT_EQ(isnull.lowerName(), QStringLiteral("isnull"));
    EXPECT_TRUE(as<FunctionExpr>(*isnull.args[0]).star);
    EXPECT_FALSE(as<IsNullExpr>(*c2.where).negated);
}

TEST(ParserDesigner, RebuildCopyWithIdentityInsert) {
    StatementList list = parseBatch(QStringLiteral(
        "Begin Transaction\r\n"
        "SET IDENTITY_INSERT [dbo].[Tmp_T]  ON\r\n"
        "Insert Into [dbo].[Tmp_T] ([Id], [a], [b]) (Select [Id], Convert (int, [a]), "
        "Convert (varchar(20), [b]) From [dbo].[T])\r\n"
        "SET IDENTITY_INSERT [dbo].[Tmp_T]  OFF\r\n"
        "Commit Transaction"));
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(as<TransactionStmt>(*list[0]).op, TransactionOp::Begin);
    const auto& on = as<SetIdentityInsertStmt>(*list[1]);
    EXPECT_TRUE(on.on);
    EXPECT_EQ(on.table.owner, QStringLiteral("dbo"));
    EXPECT_EQ(on.table.name, QStringLiteral("Tmp_T"));
    EXPECT_EQ(on.line, 2);
    const auto& ins = as<InsertStmt>(*list[2]);
    EXPECT_EQ(ins.source, InsertSource::Query);
    EXPECT_EQ(ins.columns, (QStringList{"Id", "a", "b"}));
    const SelectCore& core = ins.query->cores[0];
    ASSERT_EQ(core.items.size(), 3u);
    EXPECT_EQ(as<ConvertExpr>(*core.items[2].expr).type.length, 20);
    EXPECT_FALSE(as<SetIdentityInsertStmt>(*list[3]).on);
    EXPECT_EQ(as<TransactionStmt>(*list[4]).op, TransactionOp::Commit);
    EXPECT_EQ(list[4]->line, 5);

    auto i2 = one<InsertStmt>(QStringLiteral(
        "INSERT INTO [Tmp_T] ([a], [b]) (SELECT Convert(int,[a]), [b] FROM [T])"));
    EXPECT_EQ(i2->source, InsertSource::Query);
    EXPECT_EQ(i2->columns.size(), 2);
}

TEST(ParserDesigner, TransactionTextsAndHelpIndex) {
    auto r = one<TransactionStmt>(QStringLiteral("RollBack Transaction"));
    EXPECT_EQ(r->op, TransactionOp::Rollback);
    auto e = one<ExecStmt>(QStringLiteral("sp_helpindex 'Orders'"));
    EXPECT_TRUE(e->implicit);
    EXPECT_EQ(e->procedure.name, QStringLiteral("sp_helpindex"));
    ASSERT_EQ(e->args.size(), 1u);
    EXPECT_EQ(as<LiteralExpr>(*e->args[0].value).text, QStringLiteral("Orders"));
    // an unquoted word is a string argument
    auto w = one<ExecStmt>(QStringLiteral("exec sp_helpindex [Order Lines]"));
    EXPECT_EQ(as<LiteralExpr>(*w->args[0].value).text, QStringLiteral("Order Lines"));
}

TEST(ParserDesigner, ProcedureTemplate) {
    const QString text = QStringLiteral(
        "Create Procedure NomeProcedimento\r\n@Par1 varchar(1)\r\nAS\r\nDeclare @LocalVar "
        "varchar(1)\r\nReturn");
    auto p = one<CreateProcedureStmt>(text);
    EXPECT_FALSE(p->alter);
    EXPECT_EQ(p->name.name, QStringLiteral("NomeProcedimento"));
    ASSERT_EQ(p->params.size(), 1u);
    EXPECT_EQ(p->params[0].name, QStringLiteral("@Par1"));
    EXPECT_EQ(p->params[0].type.name, QStringLiteral("varchar"));
    EXPECT_EQ(p->params[0].type.length, 1);
    EXPECT_EQ(p->source, text);
    ASSERT_EQ(p->body.size(), 2u);
    EXPECT_EQ(p->body[0]->kind, StmtKind::Declare);
    EXPECT_EQ(p->body[0]->line, 4);
    EXPECT_FALSE(as<ReturnStmt>(*p->body[1]).value);
    EXPECT_EQ(p->bodyLine, 4);
}

TEST(ParserDesigner, DefaultsAndComputedTextsPrintAsTheServerShowsThem) {
    auto t = one<CreateTableStmt>(QStringLiteral(
        "CREATE TABLE [dbo].[T] ([a] int NOT NULL CONSTRAINT [DF_T_a] DEFAULT 0, "
        "[b] varchar(10) DEFAULT 'x', [c] datetime DEFAULT (getdate()), [d] AS a+b, "
        "[e] int DEFAULT -1)"));
    ASSERT_EQ(t->columns.size(), 5u);
    const auto& a = t->columns[0];
    ASSERT_TRUE(a.defaultValue.has_value());
    EXPECT_EQ(a.defaultValue->name, QStringLiteral("DF_T_a"));
    EXPECT_EQ(a.defaultValue->exprText, QStringLiteral("0"));
    EXPECT_EQ(a.nullability, Nullability::NotNull);
    EXPECT_EQ(parenthesized(toSql(*a.defaultValue->expr)), QStringLiteral("(0)"));
    EXPECT_EQ(parenthesized(toSql(*t->columns[1].defaultValue->expr)), QStringLiteral("('x')"));
    EXPECT_EQ(t->columns[2].defaultValue->exprText, QStringLiteral("(getdate())"));
    EXPECT_EQ(parenthesized(toSql(*t->columns[2].defaultValue->expr)),
              QStringLiteral("(getdate())"));
    EXPECT_TRUE(t->columns[3].computed);
    EXPECT_EQ(t->columns[3].computedText, QStringLiteral("a+b"));
    EXPECT_EQ(parenthesized(toSql(*t->columns[3].computedExpr)), QStringLiteral("([a] + [b])"));
    EXPECT_EQ(parenthesized(toSql(*t->columns[4].defaultValue->expr)), QStringLiteral("(-1)"));
    // stored texts parse back to the same text
    EXPECT_EQ(toSql(*parseExpression(QStringLiteral("([a] + [b])"))), QStringLiteral("[a] + [b]"));
    EXPECT_EQ(parenthesized(QStringLiteral("(a) + (b)")), QStringLiteral("((a) + (b))"));
    EXPECT_EQ(parenthesized(QStringLiteral("(')')")), QStringLiteral("(')')"));
}
