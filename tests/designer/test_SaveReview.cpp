// Saves of awkward tables through the designer window on a real temporary server: every row
// and value must come through a rebuild, and a failed save must leave nothing behind.
#include "test_Save_Fixture.h"

#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"
#include "designer/clsIndexesCOL.h"

namespace {

class SaveReview : public SaveFixture {
protected:
    QStringList columns(const QString& table) {
        return query("SELECT c.name, t.name, c.length, c.prec, c.scale, c.isnullable FROM "
                     "syscolumns c INNER JOIN systypes t ON t.xusertype = c.xusertype WHERE c.id "
                     "= OBJECT_ID(N'" +
                     QString(table).replace("'", "''") + "') ORDER BY c.colid");
    }
};

} // namespace

TEST_F(SaveReview, EveryTypeAndNullComesThroughARebuild) {
    run("CREATE TABLE Wide (A tinyint NULL, B smallint NULL, C bigint NULL, D bit NULL, "
        "E decimal(10,3) NULL, F numeric(5,0) NULL, G float NULL, H real NULL, I money NULL, "
        "J smallmoney NULL, K datetime NULL, L smalldatetime NULL, M char(4) NULL, "
        "N nvarchar(12) NULL, O nchar(3) NULL, P varbinary(8) NULL, Q binary(2) NULL, "
        "R text NULL, S ntext NULL, T uniqueidentifier NULL, U image NULL)\n"
        "INSERT INTO Wide VALUES (255, -3, 9000000000, 1, 1234567.125, 12345, 1.5, 2.25, "
        "12.3456, -1.5, '2011-03-05 14:07:01', '2011-03-05 14:07', 'ab', N'Ação ñ', N'é', "
        "0x0102, 0xFFEE, 'long text', N'çã', '6F9619FF-8B86-D011-B42D-00C04FC964FF', 0xAB)\n"
        "INSERT INTO Wide (A) VALUES (NULL)");
    const QString sql = "SELECT * FROM Wide ORDER BY A DESC";
    const QStringList rows = query(sql);
    const QStringList cols = columns("Wide");
    frmDispStruct* f = open("Wide");
    ASSERT_TRUE(f);
    addColumn(f, "Z", "int", 4);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    QStringList expected = cols;
    expected << "Z|int|4|10|0|1";
    EXPECT_EQ(columns("Wide"), expected);
    QStringList expectedRows;
    for (const QString& r : rows)
        expectedRows << r + "|NULL";
    EXPECT_EQ(query(sql), expectedRows);
}

TEST_F(SaveReview, AwkwardNamesAndOwnerComeThroughARebuild) {
    run("CREATE TABLE sales.[Pedido d'Ação [x]]] ([Nº Série] int IDENTITY(5,5) NOT NULL, "
        "[O'Neil] varchar(10) NULL, [a]]b] int NULL, [Ünit Price] money NULL "
        "CONSTRAINT [DF O'P] DEFAULT 1, CONSTRAINT [PK O'x] PRIMARY KEY ([Nº Série]))\n"
        "CREATE INDEX [IX O'Neil] ON sales.[Pedido d'Ação [x]]] ([O'Neil] DESC, [a]]b])\n"
        "INSERT INTO sales.[Pedido d'Ação [x]]] ([O'Neil], [a]]b]) VALUES ('it''s', 1)\n"
        "INSERT INTO sales.[Pedido d'Ação [x]]] ([O'Neil], [a]]b]) VALUES (NULL, NULL)");
    const QString table = "sales.[Pedido d'Ação [x]]]";
    frmDispStruct* f = open("Pedido d'Ação [x]", "sales");
    ASSERT_TRUE(f);
    set(f, "a]b", "Name", "a]b c");
    // As the column editor carries a rename into the key-column lists.
    clsIndexesCOL::Entry ix = f->mIndexes->FindIDX("IX O'Neil");
    ASSERT_TRUE(ix);
    ix->setAct_IndexColumns("O'Neil<@>D<#>a]b c<@>A<#>");
    addColumn(f, "[Só']", "varchar", 5);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT * FROM " + table + " ORDER BY 1"),
              QStringList({"5|it's|1|1.0000|NULL", "10|NULL|NULL|1.0000|NULL"}));
    EXPECT_EQ(query("EXEC sp_helpindex N'" + QString(table).replace("'", "''") + "'"),
              QStringList({"IX O'Neil|nonclustered located on PRIMARY|O'Neil(-), a]b c",
                           "PK O'x|clustered, unique, primary key located on PRIMARY|Nº Série"}));
    run("INSERT INTO " + table + " ([O'Neil]) VALUES ('n')");
    EXPECT_EQ(query("SELECT [Nº Série], [Ünit Price] FROM " + table + " WHERE [O'Neil] = 'n'"),
              QStringList({"15|1.0000"}));
}

TEST_F(SaveReview, OnlyNewIdentityColumnKeepsOneRowPerOldRow) {
    run("CREATE TABLE Small (A int NULL)\nINSERT INTO Small VALUES (1)\n"
        "INSERT INTO Small VALUES (2)");
    frmDispStruct* f = open("Small");
    ASSERT_TRUE(f);
    f->mStructure->RemoveItem(item(f, "A"));
    const int id = addColumn(f, "Id", "int", 4, false);
    f->mStructure->SetColumnValue("UpdatedIdentity", 1, id);
    f->mStructure->SetColumnValue("UpdatedSeed", 1, id);
    f->mStructure->SetColumnValue("UpdatedIncrement", 1, id);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT Id FROM Small ORDER BY Id"), QStringList({"1", "2"}));
}

TEST_F(SaveReview, CaseOnlyRenameOfAccentedColumn) {
    run("CREATE TABLE Notas (ação varchar(10) NULL, Nº int NULL)\n"
        "INSERT INTO Notas VALUES ('x', 1)");
    frmDispStruct* f = open("Notas");
    ASSERT_TRUE(f);
    set(f, "ação", "Name", "AÇÃO");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT * FROM Notas").join(";"), "x|1");
    EXPECT_EQ(columns("Notas").value(0), QStringLiteral("AÇÃO|varchar|10|0|0|1"));
}

TEST_F(SaveReview, FailedRebuildLeavesTableAsItWas) {
    run("CREATE TABLE Nums (N int NULL, T varchar(5) NOT NULL, CONSTRAINT PK_T PRIMARY KEY "
        "NONCLUSTERED (T))\nCREATE INDEX IX_N ON Nums (N)\n"
        "INSERT INTO Nums VALUES (1, 'a')\nINSERT INTO Nums VALUES (NULL, 'b')");
    const QString before = (columns("Nums") + query("EXEC sp_helpindex 'Nums'") +
                            query("SELECT * FROM Nums ORDER BY T")).join(";");
    frmDispStruct* f = open("Nums");
    ASSERT_TRUE(f);
    set(f, "N", "UpdatedIdentity", 1); // a null cannot become an identity value
    set(f, "N", "UpdatedSeed", 1);
    set(f, "N", "UpdatedIncrement", 1);
    set(f, "T", "Name", "Tag");
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().style, 16) << msgs.last().text.toStdString();
    EXPECT_EQ((columns("Nums") + query("EXEC sp_helpindex 'Nums'") +
               query("SELECT * FROM Nums ORDER BY T")).join(";"),
              before);
    EXPECT_TRUE(query("SELECT name FROM sysobjects WHERE name LIKE 'Varnolt_Temp%'").isEmpty());
    EXPECT_EQ(server->Databases()->Item("Shop")->ExecuteWithResults("SELECT @@TRANCOUNT")
                  ->GetColumnString(1, 1),
              QStringLiteral("0"));
}

TEST_F(SaveReview, SwappedColumnNamesAreSaved) {
    run("CREATE TABLE Pair (A int NULL, B varchar(5) NULL)\nINSERT INTO Pair VALUES (1, 'b')");
    frmDispStruct* f = open("Pair");
    ASSERT_TRUE(f);
    set(f, "A", "Name", "B2");
    set(f, "B", "Name", "A");
    set(f, "B2", "Name", "B");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Pair"), QStringList({"B|int|4|10|0|1", "A|varchar|5|0|0|1"}));
    EXPECT_EQ(query("SELECT B, A FROM Pair").join(";"), QStringLiteral("1|b"));
}

TEST_F(SaveReview, InPlaceSaveOfAnotherOwnersTableKeepsItsIndexes) {
    run("CREATE TABLE sales.Stock (Id int NOT NULL, Code varchar(5) NOT NULL, Qty int NULL, "
        "CONSTRAINT PK_Stock PRIMARY KEY (Id), CONSTRAINT UQ_Code UNIQUE (Code))\n"
        "CREATE INDEX IX_Qty ON sales.Stock (Qty, Code)\n"
        "CREATE TABLE dbo.Stock (Id int NULL)\nCREATE INDEX IX_Qty ON dbo.Stock (Id)\n"
        "INSERT INTO sales.Stock VALUES (1, 'a', 2)");
    const QString id = query("SELECT OBJECT_ID('sales.Stock')").value(0);
    frmDispStruct* f = open("Stock", "sales");
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->mIndexes->FindIDX("IX_Qty"));
    set(f, "Code", "Length", 8);       // in place; both indexes on it are built again
    set(f, "Id", "DataType", "bigint"); // the key on it too
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT OBJECT_ID('sales.Stock')").value(0), id);
    EXPECT_EQ(columns("sales.Stock"), QStringList({"Id|bigint|8|19|0|0", "Code|varchar|8|0|0|0",
                                                   "Qty|int|4|10|0|1"}));
    EXPECT_EQ(query("EXEC sp_helpindex 'sales.Stock'").join(";"),
              QStringLiteral("IX_Qty|nonclustered located on PRIMARY|Qty, Code;"
                             "PK_Stock|clustered, unique, primary key located on PRIMARY|Id;"
                             "UQ_Code|nonclustered, unique, unique key located on PRIMARY|Code"));
    EXPECT_EQ(query("EXEC sp_helpindex 'dbo.Stock'").join(";"),
              QStringLiteral("IX_Qty|nonclustered located on PRIMARY|Id"));
    EXPECT_EQ(query("SELECT * FROM sales.Stock").join(";"), QStringLiteral("1|a|2"));
}

TEST_F(SaveReview, DefaultsComeThroughARebuild) {
    run("CREATE DEFAULT dfSeven AS 7\n"
        "CREATE TABLE Cfg (K varchar(10) NULL CONSTRAINT DF_K DEFAULT 'it''s', N int NULL, "
        "D datetime NULL DEFAULT getdate())\nEXEC sp_bindefault 'dfSeven', 'Cfg.N'\n"
        "INSERT INTO Cfg (K, N, D) VALUES ('a', 1, '2011-01-01')");
    frmDispStruct* f = open("Cfg");
    ASSERT_TRUE(f);
    addColumn(f, "X", "int", 4);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    run("INSERT INTO Cfg (X) VALUES (1)");
    EXPECT_EQ(query("SELECT K, N, CASE WHEN D IS NULL THEN 0 ELSE 1 END FROM Cfg WHERE X = 1")
                  .join(";"),
              QStringLiteral("it's|7|1"));
    EXPECT_EQ(query("SELECT name, bound_default FROM syscolumns WHERE id = OBJECT_ID('Cfg') AND "
                    "bound_default IS NOT NULL")
                  .join(";"),
              QStringLiteral("N|dfSeven"));
}

TEST_F(SaveReview, CollationsComeThroughARebuild) {
    run("CREATE TABLE Tags (T varchar(10) COLLATE Latin1_General_CS_AS NULL, "
        "CONSTRAINT UQ_T UNIQUE (T))\nINSERT INTO Tags VALUES ('a')\nINSERT INTO Tags VALUES ('A')");
    const QStringList before =
        query("SELECT name, collation FROM syscolumns WHERE id = OBJECT_ID('Tags')");
    frmDispStruct* f = open("Tags");
    ASSERT_TRUE(f);
    addColumn(f, "X", "int", 4);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT name, collation FROM syscolumns WHERE id = OBJECT_ID('Tags') AND "
                    "name = 'T'"),
              before);
    EXPECT_EQ(query("SELECT T FROM Tags ORDER BY T").size(), 2);
}

TEST_F(SaveReview, EditedCollationAndNewComputedColumnAreSaved) {
    run("CREATE TABLE Words (W varchar(10) NULL, N int NULL)\nINSERT INTO Words VALUES ('a', 2)");
    frmDispStruct* f = open("Words");
    ASSERT_TRUE(f);
    set(f, "W", "UpdatedCollation", "Latin1_General_CS_AS");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT collation FROM syscolumns WHERE id = OBJECT_ID('Words') AND name = "
                    "'W'"),
              QStringList({"Latin1_General_CS_AS"}));

    f = open("Words");
    ASSERT_TRUE(f);
    const int twice = addColumn(f, "Twice", "int", 4);
    f->mStructure->SetColumnValue("UpdatedFormula", "N * 2", twice);
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT W, N, Twice FROM Words").join(";"), QStringLiteral("a|2|4"));
}

TEST_F(SaveReview, TypeChangesWithoutALengthAreSaved) {
    run("CREATE TABLE Kinds (A varchar(10) NULL, B int NULL, C int NULL, D varchar(4) NULL, "
        "E datetime NULL)\nINSERT INTO Kinds VALUES ('x', 1, 2, '3.5', '2011-03-05')\n"
        "CREATE INDEX IX_C ON Kinds (C)");
    frmDispStruct* f = open("Kinds");
    ASSERT_TRUE(f);
    set(f, "A", "DataType", "text");
    set(f, "B", "DataType", "decimal");
    set(f, "B", "Precision", 10);
    set(f, "B", "Scale", 2);
    set(f, "C", "DataType", "float");
    set(f, "D", "DataType", "money");
    set(f, "E", "DataType", "smalldatetime");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT t.name FROM syscolumns c INNER JOIN systypes t ON t.xusertype = "
                    "c.xusertype WHERE c.id = OBJECT_ID('Kinds') ORDER BY c.colid")
                  .join(";"),
              QStringLiteral("text;decimal;float;money;smalldatetime"));
    EXPECT_EQ(query("SELECT * FROM Kinds").join(";"),
              QStringLiteral("x|1.00|2|3.5000|2011-03-05 00:00:00"));
    EXPECT_EQ(query("EXEC sp_helpindex 'Kinds'").size(), 1);
}

TEST_F(SaveReview, OverflowingTypeChangePutBackAndRestSaved) {
    run("CREATE TABLE Big (N int NULL, D decimal(9,2) NULL, T varchar(5) NULL)\n"
        "INSERT INTO Big VALUES (300, 1234567.89, 'a')");
    frmDispStruct* f = open("Big");
    ASSERT_TRUE(f);
    set(f, "N", "DataType", "tinyint");
    set(f, "D", "Precision", 5);
    set(f, "T", "Length", 9);
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim");
    list.choose("Sim");
    save(f);
    EXPECT_EQ(msgs.count(), 2) << msgs.last().text.toStdString();
    EXPECT_EQ(list.count(), 2);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Big"), QStringList({"N|int|4|10|0|1", "D|decimal|5|9|2|1",
                                           "T|varchar|9|0|0|1"}));
    EXPECT_EQ(query("SELECT * FROM Big").join(";"), QStringLiteral("300|1234567.89|a"));
}

TEST_F(SaveReview, NewTableWithAwkwardNames) {
    frmDispStruct* f = frmDispStruct::Default();
    f->mModo = "N";
    f->mOwner.clear();
    f->mServer = server;
    f->mDatabase = server->Databases()->Item("Shop");
    f->mTableName = "Lista d'Opções [v2]";
    f->mIndexes = std::make_unique<clsIndexesCOL>();
    const int id = addColumn(f, "Nº", "int", 4, false);
    f->mStructure->SetColumnValue("PrimaryKey", "1", id);
    addColumn(f, "O'Neil", "varchar", 10);
    f->mIndexes->Add(true, "IX O'Neil", 0, "PRIMARY", 0, false, 0, false, false, 0, false,
                     "O'Neil<@>D<#>", false, true, false, true);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("[Lista d'Opções [v2]]]"),
              QStringList({"Nº|int|4|10|0|0", "O'Neil|varchar|10|0|0|1"}));
    const QStringList idx = query("EXEC sp_helpindex N'[Lista d''Opções [v2]]]'");
    ASSERT_EQ(idx.size(), 2);
    EXPECT_EQ(idx.value(0), QStringLiteral("IX O'Neil|nonclustered, unique, unique key located "
                                           "on PRIMARY|O'Neil(-)"));
}

TEST_F(SaveReview, IndexOptionsAndBlankNamedKeyComeThroughARebuild) {
    run("CREATE TABLE Marks ([Mark Id] int NOT NULL, Code varchar(5) NULL, Q int NULL, "
        "CONSTRAINT PK_Marks PRIMARY KEY NONCLUSTERED ([Mark Id]), "
        "CONSTRAINT UQ_Q UNIQUE CLUSTERED (Q))\n"
        "CREATE UNIQUE INDEX UX_Code ON Marks (Code DESC) WITH FILLFACTOR = 70, IGNORE_DUP_KEY\n"
        "INSERT INTO Marks VALUES (1, 'a', 1)");
    const QStringList before = query("EXEC sp_helpindex 'Marks'");
    const QStringList fill =
        query("SELECT name, OrigFillFactor FROM sysindexes WHERE id = OBJECT_ID('Marks') ORDER "
              "BY name");
    frmDispStruct* f = open("Marks");
    ASSERT_TRUE(f);
    addColumn(f, "X", "int", 4);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("EXEC sp_helpindex 'Marks'"), before);
    EXPECT_EQ(query("SELECT name, OrigFillFactor FROM sysindexes WHERE id = OBJECT_ID('Marks') "
                    "ORDER BY name"),
              fill);
}
