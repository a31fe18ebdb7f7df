// Schema changes inside transactions: a rollback leaves the table exactly as it was (records,
// indexes, defaults and rows), a refused statement changes nothing, and names with blanks,
// brackets, apostrophes and non-ASCII letters work throughout.

#include "engine/Engine.h"

#include "common/TempDir.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

class AlterRollback : public testing::Test {
protected:
    void SetUp() override
    {
        instance = Instance::open(QStringLiteral("ALTERTEST"), dir.path());
        session = instance->connectIntegrated();
    }

    BatchResult run(const QString& sql)
    {
        BatchResult r = session->execute(sql);
        return r;
    }
    void ok(const QString& sql)
    {
        BatchResult r = run(sql);
        ASSERT_FALSE(r.failed()) << sql.toStdString() << "\n -> " << r.errors.front().text.toStdString();
    }
    int error(const QString& sql)
    {
        BatchResult r = run(sql);
        return r.failed() ? r.errors.front().number : 0;
    }
    // Every row of the first result set, tab-separated.
    QStringList rows(const QString& sql)
    {
        BatchResult r = run(sql);
        EXPECT_FALSE(r.failed()) << sql.toStdString() << "\n -> " << (r.failed() ? r.errors.front().text.toStdString() : "");
        QStringList out;
        if (r.resultSets.empty()) return out;
        const ResultSet& rs = r.resultSets.front();
        for (size_t i = 0; i < rs.rows.size(); ++i) {
            QStringList cells;
            for (size_t c = 0; c < rs.columns.size(); ++c)
                cells << (rs.rows[i][c].isNull() ? QStringLiteral("NULL") : rs.text(i, c));
            out << cells.join(QLatin1Char('\t'));
        }
        return out;
    }
    // What a client can see of a table: columns, defaults, indexes, constraint objects, rows.
    QStringList snapshot(const QString& table, const QString& orderBy)
    {
        QString lit = table;
        lit.replace(QLatin1Char('\''), QLatin1String("''"));
        QString br = table;
        br.replace(QLatin1Char(']'), QLatin1String("]]"));
        QStringList s;
        s << rows(QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, IS_NULLABLE, COLUMN_DEFAULT "
                                 "FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = N'%1' ORDER BY ORDINAL_POSITION").arg(lit));
        s << rows(QStringLiteral("SELECT name, xtype FROM sysobjects WHERE id = object_id(N'[%1]') OR parent_obj = object_id(N'[%1]') "
                                 "ORDER BY name").arg(br));
        s << rows(QStringLiteral("EXEC sp_helpindex N'[%1]'").arg(br));
        s << rows(QStringLiteral("SELECT * FROM [%1] ORDER BY %2").arg(br, orderBy));
        return s;
    }

    TempDir dir;
    std::shared_ptr<Instance> instance;
    std::unique_ptr<Session> session;
};

const char* const kOrders =
    "CREATE TABLE Orders (Id int IDENTITY(1,1) NOT NULL, Code varchar(20) NULL, Amount decimal(10,2) NULL, "
    "Note varchar(10) NULL CONSTRAINT DF_Orders_Note DEFAULT 'x', CONSTRAINT PK_Orders PRIMARY KEY CLUSTERED (Id))\n"
    "CREATE UNIQUE INDEX IX_Code ON Orders (Code DESC)\n"
    "INSERT INTO Orders (Code, Amount) VALUES ('10', 1.5)\n"
    "INSERT INTO Orders (Code, Amount, Note) VALUES ('20', NULL, 'y')\n"
    "INSERT INTO Orders (Code, Amount) VALUES (NULL, 3)";

TEST_F(AlterRollback, RollbackUndoesEverySchemaChangeWithTheRows)
{
    ok(QString::fromLatin1(kOrders));
    const QStringList before = snapshot(QStringLiteral("Orders"), QStringLiteral("Id"));
    ASSERT_EQ(before.size(), 4 + 3 + 2 + 3); // columns, table and constraints, indexes, rows

    ok(QStringLiteral("BEGIN TRANSACTION"));
    ok(QStringLiteral("ALTER TABLE Orders ALTER COLUMN Amount decimal(12,3) NULL"));
    ok(QStringLiteral("ALTER TABLE Orders ALTER COLUMN Note varchar(40) NULL"));
    ok(QStringLiteral("ALTER TABLE Orders ADD Extra int NOT NULL CONSTRAINT DF_Extra DEFAULT 7"));
    ok(QStringLiteral("ALTER TABLE Orders DROP CONSTRAINT DF_Orders_Note"));
    ok(QStringLiteral("ALTER TABLE Orders DROP COLUMN Note"));
    ok(QStringLiteral("EXEC sp_rename 'Orders.Code', 'Codigo', 'COLUMN'"));
    ok(QStringLiteral("CREATE NONCLUSTERED INDEX IX_Extra ON Orders (Extra)"));
    ok(QStringLiteral("DELETE FROM Orders WHERE Id = 2"));
    ok(QStringLiteral("EXEC sp_rename 'Orders', 'Pedidos'"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Id, Codigo, Amount, Extra FROM Pedidos ORDER BY Id")),
              QStringList({QStringLiteral("1\t10\t1.500\t7"), QStringLiteral("3\tNULL\t3.000\t7")}));
    ok(QStringLiteral("ROLLBACK TRANSACTION"));

    EXPECT_EQ(snapshot(QStringLiteral("Orders"), QStringLiteral("Id")), before);
    EXPECT_EQ(error(QStringLiteral("SELECT * FROM Pedidos")), 208);
    // the physical indexes are back too: the unique index refuses a duplicate
    EXPECT_EQ(error(QStringLiteral("INSERT INTO Orders (Code) VALUES ('10')")), 2601);
    ok(QStringLiteral("INSERT INTO Orders (Code) VALUES ('30')"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Id, Note FROM Orders WHERE Code = '30'")), QStringList{QStringLiteral("5\tx")}); // the refused row used 4
}

TEST_F(AlterRollback, DesignerRebuildThroughATemporaryTable)
{
    ok(QString::fromLatin1(kOrders));
    const QStringList before = snapshot(QStringLiteral("Orders"), QStringLiteral("Id"));
    const QStringList script = {
        QStringLiteral("Begin Transaction"),
        QStringLiteral("CREATE TABLE [dbo].[Varnolt_Temp2026126219] ([Id] int IDENTITY(1,1) NOT NULL, [Code] int NULL, "
                       "[Amount] decimal(10,2) NULL, [Note] varchar(10) NULL DEFAULT 'x', [New] int NULL)"),
        QStringLiteral("SET IDENTITY_INSERT [dbo].[Varnolt_Temp2026126219]  ON"),
        QStringLiteral("Insert Into [dbo].[Varnolt_Temp2026126219] ([Id], [Code], [Amount], [Note], [New]) "
                       "(Select [Id], Convert (int, [Code]), Convert (decimal(10, 2), [Amount]), Convert (varchar(10), [Note]), NULL "
                       "From [dbo].[Orders])"),
        QStringLiteral("SET IDENTITY_INSERT [dbo].[Varnolt_Temp2026126219]  OFF\r"),
        QStringLiteral("DROP TABLE [dbo].[Orders]"),
        QStringLiteral("EXEC sp_rename 'dbo.Varnolt_Temp2026126219', 'Orders'"),
        QStringLiteral("Create UNIQUE  NONCLUSTERED Index [IX_Code] on [Orders] ([Code] DESC)With FillFactor=80, IGNORE_DUP_KEY ON [PRIMARY]"),
        QStringLiteral("ALTER TABLE [Orders] ADD CONSTRAINT [PK_Orders] PRIMARY KEY CLUSTERED ([Id])"),
    };
    for (const QString& st : script) ok(st);
    EXPECT_EQ(rows(QStringLiteral("SELECT Id, Code + 1, Amount, Note, New FROM Orders ORDER BY Id")),
              QStringList({QStringLiteral("1\t11\t1.50\tx\tNULL"), QStringLiteral("2\t21\tNULL\ty\tNULL"),
                           QStringLiteral("3\tNULL\t3.00\tx\tNULL")}));
    ok(QStringLiteral("RollBack Transaction"));
    EXPECT_EQ(snapshot(QStringLiteral("Orders"), QStringLiteral("Id")), before);
    EXPECT_EQ(error(QStringLiteral("SELECT * FROM Varnolt_Temp2026126219")), 208);

    // committed, the new table holds the rows and the identity goes on after them
    for (const QString& st : script) ok(st);
    ok(QStringLiteral("Commit Transaction"));
    ok(QStringLiteral("INSERT INTO Orders (Code) VALUES (5)"));
    EXPECT_EQ(rows(QStringLiteral("SELECT Id FROM Orders WHERE Code = 5")), QStringList{QStringLiteral("4")});
    EXPECT_EQ(rows(QStringLiteral("EXEC sp_helpindex 'Orders'")),
              QStringList({QStringLiteral("IX_Code\tnonclustered, ignore duplicate keys, unique located on PRIMARY\tCode(-)"),
                           QStringLiteral("PK_Orders\tclustered, unique, primary key located on PRIMARY\tId")}));
}

TEST_F(AlterRollback, RefusedChangeInsideATransactionChangesNothing)
{
    ok(QString::fromLatin1(kOrders));
    ok(QStringLiteral("INSERT INTO Orders (Code) VALUES ('abc')"));
    const QStringList before = snapshot(QStringLiteral("Orders"), QStringLiteral("Id"));
    ok(QStringLiteral("BEGIN TRANSACTION"));
    EXPECT_EQ(error(QStringLiteral("ALTER TABLE Orders ALTER COLUMN Code int NULL")), 5074);   // the unique index
    ok(QStringLiteral("DROP INDEX Orders.IX_Code"));
    EXPECT_EQ(error(QStringLiteral("ALTER TABLE Orders ADD Flag int NOT NULL")), 4901);
    EXPECT_EQ(error(QStringLiteral("ALTER TABLE Orders ADD CONSTRAINT PK2 PRIMARY KEY (Code)")), 1779);
    EXPECT_EQ(error(QStringLiteral("CREATE UNIQUE INDEX IX_Amount ON Orders (Amount)")), 1505); // two NULLs are duplicates
    EXPECT_EQ(error(QStringLiteral("CREATE UNIQUE INDEX IX_Note ON Orders (Note)")), 1505);
    EXPECT_EQ(rows(QStringLiteral("SELECT @@TRANCOUNT")), QStringList{QStringLiteral("1")});
    // a conversion error ends the transaction: all of it is rolled back, the dropped index too
    EXPECT_EQ(error(QStringLiteral("ALTER TABLE Orders ALTER COLUMN Code int NULL")), 245);    // 'abc'
    EXPECT_EQ(rows(QStringLiteral("SELECT @@TRANCOUNT")), QStringList{QStringLiteral("0")});
    EXPECT_EQ(error(QStringLiteral("ROLLBACK TRANSACTION")), 3903);
    EXPECT_EQ(snapshot(QStringLiteral("Orders"), QStringLiteral("Id")), before);
}

TEST_F(AlterRollback, NamesWithBlanksBracketsApostrophesAndAccents)
{
    ok(QStringLiteral("CREATE TABLE [Order Details] ([Unit ]]Price] money NULL, [O'Brien] varchar(10) NOT NULL, [Preço] int NOT NULL)"));
    ok(QStringLiteral("INSERT INTO [Order Details] VALUES (1.5, 'a', 1)"));
    ok(QStringLiteral("CREATE NONCLUSTERED INDEX [Índice ]]1] ON [Order Details] ([Preço] DESC, [O'Brien])"));
    ok(QStringLiteral("ALTER TABLE [Order Details] ADD CONSTRAINT [PK O'Brien] PRIMARY KEY ([O'Brien])"));
    ok(QStringLiteral("ALTER TABLE [Order Details] ADD CONSTRAINT [DF Preço] DEFAULT 0 FOR [Unit ]]Price]"));
    ok(QStringLiteral("BEGIN TRANSACTION"));
    ok(QStringLiteral("ALTER TABLE [Order Details] ALTER COLUMN [Unit ]]Price] money NOT NULL"));
    ok(QStringLiteral("EXEC sp_rename N'[Order Details].[Preço]', N'Preço Novo', 'COLUMN'"));
    ok(QStringLiteral("EXEC sp_rename N'[Order Details].[Índice ]]1]', N'Índice 2', 'INDEX'"));
    EXPECT_EQ(rows(QStringLiteral("EXEC sp_helpindex N'[Order Details]'")),
              QStringList({QStringLiteral("Índice 2\tnonclustered located on PRIMARY\tPreço Novo(-), O'Brien"),
                           QStringLiteral("PK O'Brien\tclustered, unique, primary key located on PRIMARY\tO'Brien")}));
    ok(QStringLiteral("ALTER TABLE [Order Details] DROP CONSTRAINT [DF Preço]"));
    ok(QStringLiteral("ALTER TABLE [Order Details] DROP COLUMN [Unit ]]Price]"));
    ok(QStringLiteral("COMMIT TRANSACTION"));
    EXPECT_EQ(rows(QStringLiteral("SELECT [O'Brien], [Preço Novo] FROM [Order Details]")), QStringList{QStringLiteral("a\t1")});
    // a change of letter case only is a rename too
    ok(QStringLiteral("EXEC sp_rename 'Order Details.O''Brien', 'o''brien', 'COLUMN'"));
    EXPECT_EQ(rows(QStringLiteral("SELECT name FROM syscolumns WHERE id = object_id('[Order Details]') ORDER BY colid")),
              QStringList({QStringLiteral("o'brien"), QStringLiteral("Preço Novo")}));
    ok(QStringLiteral("EXEC sp_rename 'Order Details', 'order details'"));
    EXPECT_EQ(rows(QStringLiteral("SELECT name FROM sysobjects WHERE xtype = 'U' AND name LIKE 'order%'")), QStringList{QStringLiteral("order details")});
    EXPECT_EQ(error(QStringLiteral("EXEC sp_rename 'order details.nothing', 'x', 'COLUMN'")), 15248);
    EXPECT_EQ(error(QStringLiteral("EXEC sp_rename 'order details.Preço Novo', 'o''brien', 'COLUMN'")), 15335);
}

TEST_F(AlterRollback, HelpTextGivesTheProcedureTextBack)
{
    const QString text = QStringLiteral("Create Procedure NomeProcedimento\r\n@Par1 varchar(1)\r\nAS\r\nDeclare @LocalVar varchar(1)\r\nReturn");
    ok(text);
    BatchResult r = run(QStringLiteral("sp_helptext 'NomeProcedimento'"));
    ASSERT_EQ(r.resultSets.size(), 1u);
    QString joined;
    for (const Row& row : r.resultSets[0].rows) joined += row[0].toString();
    EXPECT_EQ(joined, text);
    EXPECT_EQ(r.resultSets[0].rows.size(), 5u);
    EXPECT_EQ(r.resultSets[0].columns[0].name, QStringLiteral("Text"));
    EXPECT_EQ(error(QStringLiteral("sp_helptext 'Nothing'")), 15009);
    ok(QStringLiteral("CREATE TABLE T (a int NULL)"));
    EXPECT_EQ(error(QStringLiteral("sp_helptext 'T'")), 15197);
}

// The designer reads sp_helpindex's description: unique := contains "unique", constraint :=
// contains "unique key", ignore duplicates := contains "ignore duplicate keys", clustered :=
// not "nonclustered". Every index the engine makes must read back with its own flags.
TEST_F(AlterRollback, HelpIndexDescriptionsReadBackAsTheirFlags)
{
    ok(QStringLiteral("CREATE TABLE T (a int NOT NULL, b int NOT NULL, c int NULL, d int NULL, e int NULL)"));
    ok(QStringLiteral("ALTER TABLE T ADD CONSTRAINT PK_T PRIMARY KEY NONCLUSTERED (a)"));
    ok(QStringLiteral("ALTER TABLE T ADD CONSTRAINT UQ_T UNIQUE CLUSTERED (b DESC) WITH FILLFACTOR = 70"));
    ok(QStringLiteral("CREATE UNIQUE NONCLUSTERED INDEX IX_c ON T (c) WITH IGNORE_DUP_KEY, STATISTICS_NORECOMPUTE"));
    ok(QStringLiteral("CREATE INDEX IX_d ON T (d, e DESC) WITH PAD_INDEX, FILLFACTOR = 10"));
    struct Expect {
        const char* name;
        bool unique, constraint, ignoreDup, clustered;
    };
    const Expect expected[] = {{"IX_c", true, false, true, false},
                               {"IX_d", false, false, false, false},
                               {"PK_T", true, false, false, false},
                               {"UQ_T", true, true, false, true}};
    QStringList got = rows(QStringLiteral("sp_helpindex 'T'"));
    ASSERT_EQ(got.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QStringList cells = got[i].split(QLatin1Char('\t'));
        const QString d = cells[1].toLower();
        SCOPED_TRACE(got[i].toStdString());
        EXPECT_EQ(cells[0], QLatin1String(expected[i].name));
        EXPECT_EQ(d.contains(QLatin1String("unique")), expected[i].unique || d.contains(QLatin1String("primary key")));
        EXPECT_EQ(d.contains(QLatin1String("unique key")), expected[i].constraint);
        EXPECT_EQ(d.contains(QLatin1String("ignore duplicate keys")), expected[i].ignoreDup);
        EXPECT_EQ(!d.contains(QLatin1String("nonclustered")), expected[i].clustered);
    }
    EXPECT_EQ(got[1].section(QLatin1Char('\t'), 2), QStringLiteral("d, e(-)"));
    EXPECT_EQ(got[0].section(QLatin1Char('\t'), 1, 1), QStringLiteral("nonclustered, ignore duplicate keys, unique, stats no recompute located on PRIMARY"));
}

} // namespace
