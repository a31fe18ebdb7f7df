// CREATE/ALTER/DROP statements, procedures and EXEC.
#include "test_ParserUtil.h"

using namespace parsertest;

TEST(ParserDdl, CreateTableColumnsAndConstraints) {
    auto t = one<CreateTableStmt>(QStringLiteral(
        "CREATE TABLE db.dbo.[Order Lines] (\n"
        " Id int IDENTITY(100, -5) NOT FOR REPLICATION NOT NULL CONSTRAINT PK_L PRIMARY KEY "
        "CLUSTERED,\n"
        " g uniqueidentifier ROWGUIDCOL NOT NULL DEFAULT (newid()) UNIQUE NONCLUSTERED,\n"
        " Name nvarchar(50) COLLATE Latin1_General_CS_AS NULL,\n"
        " Price decimal(10, 2), f float(24), m money, x double precision,\n"
        " Total AS Price * 2,\n"
        " Ref int REFERENCES Other(Id) ON DELETE CASCADE CHECK (Ref > 0),\n"
        " CONSTRAINT UQ_Name UNIQUE NONCLUSTERED (Name ASC, Price DESC) WITH FILLFACTOR = 70 "
        "ON [SECONDARY],\n"
        " PRIMARY KEY (Id), CHECK (Price >= 0), FOREIGN KEY (Ref) REFERENCES Other (Id)\n"
        ") ON [PRIMARY] TEXTIMAGE_ON [PRIMARY]"));
    EXPECT_EQ(t->table.database, QStringLiteral("db"));
    EXPECT_EQ(t->table.name, QStringLiteral("Order Lines"));
    ASSERT_EQ(t->columns.size(), 9u);
    const ColumnDef& id = t->columns[0];
    EXPECT_TRUE(id.identity);
    EXPECT_EQ(id.identitySeed, 100);
    EXPECT_EQ(id.identityIncrement, -5);
    EXPECT_TRUE(id.notForReplication);
    EXPECT_EQ(id.nullability, Nullability::NotNull);
    ASSERT_EQ(id.constraints.size(), 1u);
    EXPECT_EQ(id.constraints[0].type, ConstraintType::PrimaryKey);
    EXPECT_EQ(id.constraints[0].name, QStringLiteral("PK_L"));
    EXPECT_TRUE(*id.constraints[0].clustered);
    EXPECT_EQ(id.constraints[0].columns[0].name, QStringLiteral("Id"));
    EXPECT_EQ(id.line, 2);
    const ColumnDef& g = t->columns[1];
    EXPECT_TRUE(g.rowGuidCol);
    EXPECT_EQ(g.defaultValue->exprText, QStringLiteral("(newid())"));
    EXPECT_EQ(g.constraints[0].type, ConstraintType::Unique);
    EXPECT_EQ(t->columns[2].collation, QStringLiteral("Latin1_General_CS_AS"));
    EXPECT_EQ(t->columns[2].type.length, 50);
    EXPECT_EQ(t->columns[3].type.precision, 10);
    EXPECT_EQ(t->columns[3].type.scale, 2);
    EXPECT_EQ(t->columns[4].type.precision, 24);
    EXPECT_EQ(t->columns[6].type.name, QStringLiteral("float"));
    EXPECT_TRUE(t->columns[7].computed);
    EXPECT_EQ(t->columns[7].computedText, QStringLiteral("Price * 2"));
    const ColumnDef& ref = t->columns[8];
    ASSERT_EQ(ref.constraints.size(), 2u);
    EXPECT_EQ(ref.constraints[0].type, ConstraintType::ForeignKey);
    EXPECT_EQ(ref.constraints[0].refTable.name, QStringLiteral("Other"));
    EXPECT_EQ(ref.constraints[1].type, ConstraintType::Check);
    ASSERT_EQ(t->constraints.size(), 4u);
    const ConstraintDef& uq = t->constraints[0];
    EXPECT_EQ(uq.fillFactor, 70);
    EXPECT_EQ(uq.fileGroup, QStringLiteral("SECONDARY"));
    EXPECT_TRUE(uq.columns[1].descending);
    EXPECT_EQ(t->constraints[1].type, ConstraintType::PrimaryKey);
    EXPECT_TRUE(t->constraints[1].name.isEmpty());
    EXPECT_EQ(t->constraints[2].exprText, QStringLiteral("Price >= 0"));
    EXPECT_EQ(t->constraints[3].fkColumns, QStringList{QStringLiteral("Ref")});
    EXPECT_EQ(t->fileGroup, QStringLiteral("PRIMARY"));
    EXPECT_EQ(t->textImageOn, QStringLiteral("PRIMARY"));
}

TEST(ParserDdl, AlterTableForms) {
    auto add = one<AlterTableStmt>(QStringLiteral(
        "ALTER TABLE t WITH NOCHECK ADD c int NULL, d varchar(5) NOT NULL DEFAULT '', "
        "CONSTRAINT PK_t PRIMARY KEY NONCLUSTERED (a, b)"));
    EXPECT_EQ(add->withCheck, false);
    EXPECT_EQ(add->columns.size(), 2u);
    EXPECT_EQ(add->constraints.size(), 1u);

    auto df = one<AlterTableStmt>(
        QStringLiteral("ALTER TABLE [t] ADD CONSTRAINT [DF_t_c] DEFAULT (0) FOR [c]"));
    ASSERT_EQ(df->constraints.size(), 1u);
    EXPECT_EQ(df->constraints[0].type, ConstraintType::Default);
    EXPECT_EQ(df->constraints[0].forColumn, QStringLiteral("c"));
    EXPECT_EQ(df->constraints[0].exprText, QStringLiteral("(0)"));
    auto df2 = one<AlterTableStmt>(QStringLiteral("ALTER TABLE t ADD DEFAULT 'x' FOR c"));
    EXPECT_TRUE(df2->constraints[0].name.isEmpty());

    auto alter = one<AlterTableStmt>(QStringLiteral(
        "ALTER TABLE t ALTER COLUMN c varchar(50) COLLATE SQL_Latin1_General_CP1_CI_AS NOT NULL"));
    EXPECT_EQ(alter->action, AlterTableAction::AlterColumn);
    EXPECT_EQ(alter->column, QStringLiteral("c"));
    EXPECT_EQ(alter->type.length, 50);
    EXPECT_EQ(alter->collation, QStringLiteral("SQL_Latin1_General_CP1_CI_AS"));
    EXPECT_EQ(alter->nullability, Nullability::NotNull);

    EXPECT_EQ(one<AlterTableStmt>(QStringLiteral("ALTER TABLE t ALTER COLUMN g ADD ROWGUIDCOL"))->action,
              AlterTableAction::AddRowGuidCol);
    EXPECT_EQ(one<AlterTableStmt>(QStringLiteral("ALTER TABLE t ALTER COLUMN g DROP ROWGUIDCOL"))->action,
              AlterTableAction::DropRowGuidCol);

    auto drop = one<AlterTableStmt>(
        QStringLiteral("ALTER TABLE t DROP COLUMN a, b, CONSTRAINT c1, c2"));
    ASSERT_EQ(drop->drops.size(), 4u);
    EXPECT_TRUE(drop->drops[0].column);
    EXPECT_TRUE(drop->drops[1].column);
    EXPECT_FALSE(drop->drops[2].column);
    EXPECT_FALSE(drop->drops[3].column);

    auto chk = one<AlterTableStmt>(QStringLiteral("ALTER TABLE t NOCHECK CONSTRAINT ALL"));
    EXPECT_EQ(chk->action, AlterTableAction::CheckConstraint);
    EXPECT_FALSE(chk->check);
}

TEST(ParserDdl, DropStatements) {
    auto di = one<DropIndexStmt>(QStringLiteral("DROP INDEX Orders.IX_1, dbo.Orders.[IX 2]"));
    ASSERT_EQ(di->indexes.size(), 2u);
    EXPECT_EQ(di->indexes[0].table.name, QStringLiteral("Orders"));
    EXPECT_EQ(di->indexes[0].index, QStringLiteral("IX_1"));
    EXPECT_EQ(di->indexes[1].table.owner, QStringLiteral("dbo"));
    EXPECT_EQ(di->indexes[1].index, QStringLiteral("IX 2"));
    auto on = one<DropIndexStmt>(QStringLiteral("DROP INDEX ix ON dbo.t"));
    EXPECT_EQ(on->indexes[0].table.owner, QStringLiteral("dbo"));
    EXPECT_EQ(errorOf(QStringLiteral("DROP INDEX ix")).number, 159);

    auto dt = one<DropObjectsStmt>(QStringLiteral("DROP TABLE a, dbo.b"));
    EXPECT_EQ(dt->objectType, ObjectType::Table);
    EXPECT_EQ(dt->names.size(), 2u);
    EXPECT_EQ(one<DropObjectsStmt>(QStringLiteral("drop default dbo.d"))->objectType,
              ObjectType::Default);
    EXPECT_EQ(one<DropObjectsStmt>(QStringLiteral("drop proc p"))->objectType, ObjectType::Procedure);
    EXPECT_EQ(one<DropObjectsStmt>(QStringLiteral("drop database x"))->objectType,
              ObjectType::Database);
    auto dv = one<DropObjectsStmt>(QStringLiteral("drop view v, dbo.w"));
    EXPECT_EQ(dv->objectType, ObjectType::View);
    ASSERT_EQ(dv->names.size(), 2u);
    EXPECT_EQ(dv->names[1].owner, QStringLiteral("dbo"));
}

TEST(ParserDdl, DatabasesAndDefaults) {
    auto c = one<CreateDatabaseStmt>(QStringLiteral(
        "CREATE DATABASE Sales ON PRIMARY (NAME = Sales_dat, FILENAME = 'c:\\s.mdf', SIZE = 10MB, "
        "FILEGROWTH = 10%), FILEGROUP G2 (NAME = x, FILENAME = 'y') LOG ON (NAME = l, FILENAME = "
        "'l.ldf') COLLATE Latin1_General_CI_AS"));
    EXPECT_EQ(c->name, QStringLiteral("Sales"));
    EXPECT_EQ(c->collation, QStringLiteral("Latin1_General_CI_AS"));

    auto fg = one<AlterDatabaseStmt>(QStringLiteral("ALTER DATABASE [Sales] ADD FILEGROUP [Arquivo]"));
    EXPECT_EQ(fg->action, AlterDatabaseAction::AddFileGroup);
    EXPECT_EQ(fg->value, QStringLiteral("Arquivo"));
    auto col = one<AlterDatabaseStmt>(QStringLiteral("ALTER DATABASE Sales COLLATE Greek_CI_AS"));
    EXPECT_EQ(col->action, AlterDatabaseAction::Collate);
    auto other = one<AlterDatabaseStmt>(QStringLiteral("ALTER DATABASE Sales SET RECOVERY SIMPLE"));
    EXPECT_EQ(other->action, AlterDatabaseAction::Other);

    auto d = one<CreateDefaultStmt>(QStringLiteral("CREATE DEFAULT dbo.Zero AS 0"));
    EXPECT_EQ(d->name.owner, QStringLiteral("dbo"));
    EXPECT_EQ(d->exprText, QStringLiteral("0"));
}

TEST(ParserDdl, ProceduresKeepTheirTextAndParseTheirBody) {
    const QString text = QStringLiteral(
        "CREATE PROC dbo.p;2 @a int = 5, @b varchar(10) = NULL OUTPUT, @c decimal(5,1) OUT\n"
        "WITH RECOMPILE, ENCRYPTION\nAS\nBEGIN\n  SET NOCOUNT ON\n  SELECT @b = 'x'\n"
        "  RETURN @a + 1\nEND\n");
    auto p = one<CreateProcedureStmt>(text);
    EXPECT_EQ(p->name.owner, QStringLiteral("dbo"));
    EXPECT_EQ(p->number, 2);
    ASSERT_EQ(p->params.size(), 3u);
    EXPECT_TRUE(p->params[0].defaultValue);
    EXPECT_TRUE(p->params[1].output);
    EXPECT_TRUE(p->params[2].output);
    EXPECT_EQ(p->params[2].type.precision, 5);
    EXPECT_TRUE(p->recompile);
    EXPECT_TRUE(p->encryption);
    EXPECT_EQ(p->source, text);
    EXPECT_EQ(p->bodyText, QStringLiteral("\nBEGIN\n  SET NOCOUNT ON\n  SELECT @b = 'x'\n  RETURN @a + 1\nEND\n"));
    ASSERT_EQ(p->body.size(), 1u);
    const auto& block = as<BlockStmt>(*p->body[0]);
    ASSERT_EQ(block.body.size(), 3u);
    EXPECT_EQ(as<SetOptionStmt>(*block.body[0]).options, QStringList{QStringLiteral("NOCOUNT")});
    EXPECT_TRUE(as<ReturnStmt>(*block.body[2]).value);

    auto alter = one<CreateProcedureStmt>(QStringLiteral("ALTER PROCEDURE p (@x int) AS SELECT @x"));
    EXPECT_TRUE(alter->alter);
    EXPECT_EQ(alter->params.size(), 1u);

    // a syntax error in the body carries its line in the batch
    ErrorInfo e = errorOf(QStringLiteral("CREATE PROCEDURE p AS\nSELECT 1\nSELECT FROM\n"));
    EXPECT_EQ(e.number, 156);
    EXPECT_EQ(e.line, 3);
    // a procedure must open its batch
    EXPECT_EQ(errorOf(QStringLiteral("SELECT 1\nCREATE PROCEDURE p AS SELECT 1")).number, 111);
    EXPECT_EQ(errorOf(QStringLiteral("CREATE PROCEDURE p AS")).number, 156);
}

TEST(ParserDdl, ExecForms) {
    auto e = one<ExecStmt>(QStringLiteral(
        "EXEC @r = dbo.p 1, @x = 'a', @y = @z OUTPUT, @w = DEFAULT, -2, N'n' WITH RECOMPILE"));
    EXPECT_EQ(e->returnVariable, QStringLiteral("@r"));
    EXPECT_EQ(e->procedure.owner, QStringLiteral("dbo"));
    ASSERT_EQ(e->args.size(), 6u);
    EXPECT_TRUE(e->args[0].name.isEmpty());
    EXPECT_EQ(e->args[1].name, QStringLiteral("@x"));
    EXPECT_TRUE(e->args[2].output);
    EXPECT_EQ(as<VariableExpr>(*e->args[2].value).name, QStringLiteral("@z"));
    EXPECT_FALSE(e->args[3].value);
    EXPECT_EQ(e->args[4].value->kind, ExprKind::Unary);
    EXPECT_TRUE(e->recompile);
    EXPECT_FALSE(e->implicit);

    auto s = one<ExecStringStmt>(QStringLiteral("EXECUTE ('SELECT ' + @cols + N' FROM t')"));
    EXPECT_EQ(s->parts.size(), 3u);
    auto v = one<ExecStringStmt>(QStringLiteral("exec (@sql)"));
    EXPECT_EQ(v->parts.size(), 1u);

    // several statements: EXEC without arguments stops at the next keyword
    StatementList list = parseBatch(QStringLiteral("exec p\nselect 1\nexec sp_rename 'a.b', c, 'COLUMN'"));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(as<ExecStmt>(*list[0]).args.empty());
    EXPECT_EQ(as<ExecStmt>(*list[2]).args.size(), 3u);
    // a bare procedure name only opens a batch
    EXPECT_EQ(errorOf(QStringLiteral("print 1\nsp_who")).number, 102);
}
