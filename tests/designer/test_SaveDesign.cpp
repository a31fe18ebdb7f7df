// Saving designs through the designer window on a real temporary server: the table is read
// back afterwards on a session of its own.
#include "test_Save_Fixture.h"

#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"
#include "designer/clsIndexesCOL.h"
#include "dmo/DmoError.h"

namespace {

class SaveDesign : public SaveFixture {
protected:
    void SetUp() override {
        SaveFixture::SetUp();
        // Orders: an identity key, a unique constraint, an index and two defaults.
        run("CREATE TABLE Orders (Id int IDENTITY(1,1) NOT NULL, Code varchar(20) NOT NULL, "
            "Qty int NULL CONSTRAINT DF_Qty DEFAULT 0, Note varchar(10) NULL, "
            "CONSTRAINT PK_Orders PRIMARY KEY CLUSTERED (Id), "
            "CONSTRAINT UQ_Code UNIQUE NONCLUSTERED (Code))\n"
            "CREATE INDEX IX_Qty ON Orders (Qty DESC)\n"
            "INSERT INTO Orders (Code, Qty, Note) VALUES ('12', 1, 'a')\n"
            "INSERT INTO Orders (Code, Qty, Note) VALUES ('abc', 2, NULL)\n"
            "INSERT INTO Orders (Code, Qty, Note) VALUES ('x', 3, 'c')\n"
            "DELETE FROM Orders WHERE Id = 2\n"
            "INSERT INTO Orders (Code, Qty, Note) VALUES ('77', NULL, 'd')");
    }

    QStringList columns(const QString& table) {
        return query("SELECT c.name, t.name, c.length, c.isnullable FROM syscolumns c "
                     "INNER JOIN systypes t ON t.xusertype = c.xusertype WHERE c.id = "
                     "OBJECT_ID('" +
                     table + "') ORDER BY c.colid");
    }
    QStringList indexes(const QString& table) { return query("EXEC sp_helpindex '" + table + "'"); }
    QString objectId(const QString& table) {
        return query("SELECT OBJECT_ID('" + table + "')").value(0);
    }
    // Everything a failed save must leave as it was.
    QStringList snapshot() {
        return columns("Orders") + indexes("Orders") + query("SELECT * FROM Orders ORDER BY Id") +
               query("SELECT name, default_text FROM syscolumns WHERE id = OBJECT_ID('Orders') "
                     "ORDER BY colid") +
               QStringList{objectId("Orders")};
    }

    void removeColumn(frmDispStruct* f, const QString& name) {
        f->mStructure->RemoveItem(item(f, name));
    }
    QString trancount(frmDispStruct* f) {
        return f->mDatabase->ExecuteWithResults("SELECT @@TRANCOUNT")->GetColumnString(1, 1);
    }
};

const QStringList kOrderRows{"1|12|1|a", "3|x|3|c", "4|77|NULL|d"};

} // namespace

TEST_F(SaveDesign, WiderTypesAndDefaultsAreChangedInPlace) {
    const QString id = objectId("Orders");
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    set(f, "Code", "Length", 50);
    set(f, "Qty", "DataType", "bigint");
    set(f, "Note", "UpdatedDefault", "'n/a");
    ScriptedMsgBox msgs;
    save(f);

    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(objectId("Orders"), id); // not rebuilt
    EXPECT_EQ(columns("Orders"), QStringList({"Id|int|4|0", "Code|varchar|50|0", "Qty|bigint|8|1",
                                              "Note|varchar|10|1"}));
    EXPECT_EQ(query("SELECT name, default_text FROM syscolumns WHERE id = OBJECT_ID('Orders') "
                    "AND default_text IS NOT NULL ORDER BY colid"),
              QStringList({"Qty|(0)", "Note|('n/a')"}));
    EXPECT_EQ(query("SELECT * FROM Orders ORDER BY Id"), kOrderRows);
    // The constraint on the retyped column was built again; the key stayed.
    EXPECT_EQ(indexes("Orders"),
              QStringList({"IX_Qty|nonclustered located on PRIMARY|Qty(-)",
                           "PK_Orders|clustered, unique, primary key located on PRIMARY|Id",
                           "UQ_Code|nonclustered, unique, unique key located on PRIMARY|Code"}));
}

TEST_F(SaveDesign, RebuildKeepsRowsIdentityValuesIndexesAndKey) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    const QString before = objectId("Orders");
    set(f, "Note", "Name", "Remark"); // rename
    set(f, "Code", "Length", 5);      // shrink: rebuild after the question
    addColumn(f, "Added", "int", 4);  // new column
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim");
    save(f);

    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text,
              "A Alteração à Coluna 'Code' Poderá Resultar em Perda de Informação!");
    EXPECT_EQ(msgs.last().style, 48);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.last().caption, "Pretende Continuar?");
    EXPECT_EQ(list.last().items, QStringList({"Não", "Sim"}));
    EXPECT_FALSE(frmDispStruct::Loaded());

    EXPECT_NE(objectId("Orders"), before);
    EXPECT_EQ(columns("Orders"), QStringList({"Id|int|4|0", "Code|varchar|5|0", "Qty|int|4|1",
                                              "Remark|varchar|10|1", "Added|int|4|1"}));
    EXPECT_EQ(query("SELECT * FROM Orders ORDER BY Id"),
              QStringList({"1|12|1|a|NULL", "3|x|3|c|NULL", "4|77|NULL|d|NULL"}));
    EXPECT_EQ(indexes("Orders"),
              QStringList({"IX_Qty|nonclustered located on PRIMARY|Qty(-)",
                           "PK_Orders|clustered, unique, primary key located on PRIMARY|Id",
                           "UQ_Code|nonclustered, unique, unique key located on PRIMARY|Code"}));
    EXPECT_EQ(query("SELECT name, default_text FROM syscolumns WHERE id = OBJECT_ID('Orders') "
                    "AND default_text IS NOT NULL"),
              QStringList({"Qty|(0)"}));
    EXPECT_TRUE(query("SELECT name FROM sysobjects WHERE name LIKE 'Varnolt_Temp%'").isEmpty());
    run("INSERT INTO Orders (Code) VALUES ('new')");
    EXPECT_EQ(query("SELECT Id, Qty FROM Orders WHERE Code = 'new'"), QStringList({"5|0"}));
}

TEST_F(SaveDesign, ShrinkAnsweredNoSendsNothing) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    const QStringList before = snapshot();
    set(f, "Code", "Length", 5);
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Não");
    save(f);
    EXPECT_EQ(msgs.count(), 1);
    EXPECT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(SaveDesign, ConversionThatFailsIsRefusedOrPutBack) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    const QStringList before = snapshot();
    set(f, "Code", "DataType", "int");
    {
        ScriptedMsgBox msgs;
        ScriptedListDialog list;
        list.choose("Não");
        save(f);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "A Alteração que Está a Tentar Fazer à Coluna Code "
                                    "Resultará em Perda de Informação e Não Será Efectuada!");
        EXPECT_EQ(msgs.last().style, 48);
        EXPECT_EQ(msgs.last().title, AppTitle());
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.last().caption, "Pretende Anular as Alterações?");
        EXPECT_EQ(list.last().items, QStringList({"Sim", "Não"}));
        ASSERT_TRUE(frmDispStruct::Loaded());
        EXPECT_EQ(trancount(f), "0");
        EXPECT_EQ(snapshot(), before);
    }
    // "Sim": the column keeps its type and the rest of the design is saved.
    set(f, "Note", "Length", 30);
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim");
    save(f);
    EXPECT_EQ(msgs.count(), 1);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Orders"),
              QStringList({"Id|int|4|0", "Code|varchar|20|0", "Qty|int|4|1", "Note|varchar|30|1"}));
    EXPECT_EQ(query("SELECT * FROM Orders ORDER BY Id"), kOrderRows);
}

TEST_F(SaveDesign, ConvertibleTypeChangeIsSaved) {
    run("DELETE FROM Orders WHERE Code = 'x'\nUPDATE Orders SET Code = '5' WHERE Code = 'abc'");
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    set(f, "Code", "DataType", "int");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Orders").value(1), "Code|int|4|0");
    EXPECT_EQ(query("SELECT Id, Code + 1 FROM Orders ORDER BY Id"), QStringList({"1|13", "4|78"}));
    EXPECT_EQ(indexes("Orders").value(2),
              "UQ_Code|nonclustered, unique, unique key located on PRIMARY|Code");
}

TEST_F(SaveDesign, NotNullOverExistingNullsIsRefusedAndRolledBack) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    const QStringList before = snapshot();
    set(f, "Qty", "AllowNulls", "0");
    for (int round = 0; round < 2; ++round) {
        ScriptedMsgBox msgs;
        save(f);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "Não Pode Indicar Colunas que aceitem valores nulos se a "
                                    "tabela contiver registos!");
        EXPECT_EQ(msgs.last().style, 48);
        ASSERT_TRUE(frmDispStruct::Loaded());
        EXPECT_EQ(trancount(f), "0");
        EXPECT_EQ(snapshot(), before);
        // Then a new column that refuses nulls on a table with rows.
        set(f, "Qty", "AllowNulls", "1");
        addColumn(f, "Must", "int", 4, false);
    }
}

TEST_F(SaveDesign, ServerErrorRollsEverythingBack) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    run("UPDATE Orders SET Note = 'a'");
    const QStringList before = snapshot();
    // A rename (rebuild) and a unique index over duplicate values.
    set(f, "Qty", "Name", "Quantity");
    f->mIndexes->FindIDX("IX_Qty")->setAct_IndexColumns("Quantity<@>D<#>"); // as the editor does
    f->mIndexes->Add(true, "UX_Note", 0, "PRIMARY", 0, false, 0, false, false, 0, false,
                     "Note<@>A<#>", false, false, false, true);
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_TRUE(msgs.last().text.startsWith("1505 - ")) << msgs.last().text.toStdString();
    EXPECT_EQ(msgs.last().style, 16);
    EXPECT_TRUE(frmDispStruct::Loaded()) << "the design stays for the user to mend";
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(query("SELECT name FROM sysobjects WHERE name LIKE 'Varnolt_Temp%'").isEmpty());
}

TEST_F(SaveDesign, RefusedIndexOfAnInPlaceSaveIsReportedNotLost) {
    run("UPDATE Orders SET Note = 'a'\nCREATE INDEX IX_Note ON Orders (Note)");
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    const QStringList before = snapshot();
    // The loaded index turned unique over duplicate values.
    clsIndexesCOL::Entry ix = f->mIndexes->FindIDX("IX_Note");
    ASSERT_TRUE(ix);
    ix->setAct_Unique(true);
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_TRUE(msgs.last().text.startsWith("1505 - ")) << msgs.last().text.toStdString();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(SaveDesign, IdentityMadeAndColumnsDeletedKeepTheRows) {
    run("CREATE TABLE Plain (Num int NOT NULL, Name varchar(10) NULL, Gone int NULL)\n"
        "INSERT INTO Plain VALUES (10, 'ten', 1)\nINSERT INTO Plain VALUES (20, 'twenty', 2)");
    frmDispStruct* f = open("Plain");
    ASSERT_TRUE(f);
    set(f, "Num", "UpdatedIdentity", 1);
    set(f, "Num", "UpdatedSeed", 1);
    set(f, "Num", "UpdatedIncrement", 1);
    set(f, "Name", "AllowNulls", "0"); // no row holds a null there
    removeColumn(f, "Gone");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Plain"), QStringList({"Num|int|4|0", "Name|varchar|10|0"}));
    EXPECT_EQ(query("SELECT * FROM Plain ORDER BY Num"), QStringList({"10|ten", "20|twenty"}));
    run("INSERT INTO Plain (Name) VALUES ('next')");
    EXPECT_EQ(query("SELECT Num FROM Plain WHERE Name = 'next'"), QStringList({"21"}));
}

TEST_F(SaveDesign, EveryColumnReplacedKeepsOneRowPerOldRow) {
    run("CREATE TABLE Small (A int NULL)\nINSERT INTO Small VALUES (1)\n"
        "INSERT INTO Small VALUES (2)");
    frmDispStruct* f = open("Small");
    ASSERT_TRUE(f);
    removeColumn(f, "A");
    addColumn(f, "B", "varchar", 5);
    addColumn(f, "C", "int", 4);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Small"), QStringList({"B|varchar|5|1", "C|int|4|1"}));
    EXPECT_EQ(query("SELECT * FROM Small"), QStringList({"NULL|NULL", "NULL|NULL"}));
}

TEST_F(SaveDesign, KeyMovedToAnotherColumnAndKeyRemoved) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    set(f, "Id", "PrimaryKey", "0");
    set(f, "Code", "PrimaryKey", "1");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(indexes("Orders").value(1),
              "PK_Orders|clustered, unique, primary key located on PRIMARY|Code");

    f = open("Orders");
    ASSERT_TRUE(f);
    set(f, "Code", "PrimaryKey", "0");
    save(f);
    EXPECT_EQ(indexes("Orders").size(), 2);
    EXPECT_EQ(query("SELECT * FROM Orders ORDER BY Id"), kOrderRows);
}

TEST_F(SaveDesign, EmptyDesignIsRefused) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    f->mStructure->Clear();
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text, "Não Pode Gravar Sem Indicar Colunas para a Tabela!");
    EXPECT_EQ(msgs.last().style, 48);
    EXPECT_EQ(msgs.last().title, "Atenção:");
    EXPECT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(trancount(f), "0");
}

TEST_F(SaveDesign, TimestampAndUserTypedColumnsSurviveARebuild) {
    run("EXEC sp_addtype phone, 'varchar(20)'\n"
        "CREATE TABLE Contacts (Tel phone NULL, Stamp timestamp NOT NULL, Who varchar(10) NULL)\n"
        "INSERT INTO Contacts (Tel, Who) VALUES ('555', 'ann')");
    frmDispStruct* f = open("Contacts");
    ASSERT_TRUE(f);
    set(f, "Who", "Name", "Person");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Contacts"),
              QStringList({"Tel|phone|20|1", "Stamp|timestamp|8|0", "Person|varchar|10|1"}));
    EXPECT_EQ(query("SELECT Tel, Person FROM Contacts"), QStringList({"555|ann"}));
}

TEST_F(SaveDesign, NewTableWithKeyIndexAndIdentity) {
    frmDispStruct* f = frmDispStruct::Default();
    f->mModo = "N";
    f->mOwner.clear();
    f->mServer = server;
    f->mDatabase = server->Databases()->Item("Shop");
    f->mTableName = "Fresh";
    f->mIndexes = std::make_unique<clsIndexesCOL>();
    const int id = addColumn(f, "Id", "int", 4, false);
    f->mStructure->SetColumnValue("UpdatedIdentity", 1, id);
    f->mStructure->SetColumnValue("UpdatedSeed", 100, id);
    f->mStructure->SetColumnValue("UpdatedIncrement", 10, id);
    f->mStructure->SetColumnValue("PrimaryKey", "1", id);
    const int name = addColumn(f, "[Full Name]", "varchar", 30);
    f->mStructure->SetColumnValue("UpdatedDefault", "'none'", name);
    f->mIndexes->Add(true, "IX_Name", 0, "PRIMARY", 0, false, 0, false, false, 0, false,
                     "Full Name<@>A<#>", true, false, false, false);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Fresh"), QStringList({"Id|int|4|0", "Full Name|varchar|30|1"}));
    const QStringList idx = indexes("Fresh");
    ASSERT_EQ(idx.size(), 2);
    EXPECT_EQ(idx.value(0), "IX_Name|clustered located on PRIMARY|Full Name");
    EXPECT_TRUE(idx.value(1).startsWith("PK__Fresh__"));
    EXPECT_TRUE(idx.value(1).contains("|nonclustered, unique, primary key"));
    run("INSERT INTO Fresh DEFAULT VALUES\nINSERT INTO Fresh DEFAULT VALUES");
    EXPECT_EQ(query("SELECT * FROM Fresh ORDER BY Id"), QStringList({"100|none", "110|none"}));
}

TEST_F(SaveDesign, IndexesRenamedDeletedAndOptionsChanged) {
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    f->mIndexes->FindIDX("UQ_Code")->setDeleted(true);
    clsIndexesCOL::Entry ix = f->mIndexes->FindIDX("IX_Qty");
    ix->setAct_IndexName("IX_Quantity");
    ix->setAct_FillFactor(80);
    // A case-only rename of a column is the rebuild's.
    set(f, "Note", "Name", "NOTE");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(indexes("Orders"),
              QStringList({"IX_Quantity|nonclustered located on PRIMARY|Qty(-)",
                           "PK_Orders|clustered, unique, primary key located on PRIMARY|Id"}));
    EXPECT_EQ(query("SELECT OrigFillFactor FROM sysindexes WHERE name = 'IX_Quantity'"),
              QStringList({"80"}));
    EXPECT_EQ(columns("Orders").value(3), "NOTE|varchar|10|1");
    EXPECT_EQ(query("SELECT * FROM Orders ORDER BY Id"), kOrderRows);
}

TEST_F(SaveDesign, DefaultsBindObjectsOrReportRefusedExpressions) {
    run("CREATE DEFAULT dfZero AS 0");
    frmDispStruct* f = open("Orders");
    ASSERT_TRUE(f);
    set(f, "Qty", "UpdatedDefault", "DFZERO");    // the object, named in another case
    set(f, "Note", "UpdatedDefault", "getdate("); // refused by the server
    set(f, "Code", "Length", 30);                 // saved all the same
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text,
              "O Valor por Defeito Estabelecido para a Coluna 'Note' não Pode Ser Validado!");
    EXPECT_EQ(msgs.last().style, 64);
    EXPECT_EQ(msgs.last().title, "Informação:");
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT name, bound_default, default_text FROM syscolumns WHERE id = "
                    "OBJECT_ID('Orders') AND (bound_default IS NOT NULL OR default_text IS NOT "
                    "NULL)"),
              QStringList({"Qty|dfZero|NULL"}));
    EXPECT_EQ(columns("Orders").value(1), "Code|varchar|30|0");
    run("INSERT INTO Orders (Code) VALUES ('q')");
    EXPECT_EQ(query("SELECT Qty FROM Orders WHERE Code = 'q'"), QStringList({"0"}));
}

TEST_F(SaveDesign, ComputedColumnsAreBuiltAgainByTheRebuild) {
    run("CREATE TABLE Lines (Qty int NULL, Price money NULL, Total AS (Qty * Price))\n"
        "INSERT INTO Lines (Qty, Price) VALUES (2, 3)");
    frmDispStruct* f = open("Lines");
    ASSERT_TRUE(f);
    set(f, "Total", "UpdatedFormula", "Qty * Price * 2");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(query("SELECT Qty, Total FROM Lines"), QStringList({"2|12.0000"}));
    EXPECT_EQ(query("SELECT iscomputed FROM syscolumns WHERE id = OBJECT_ID('Lines') AND name = "
                    "'Total'"),
              QStringList({"1"}));
}

TEST_F(SaveDesign, RebuiltKeyKeepsItsColumnOrderAndANewIdentityIsNumbered) {
    run("CREATE TABLE Pairs (A int NOT NULL, B int NOT NULL, CONSTRAINT PK_Pairs PRIMARY KEY "
        "NONCLUSTERED (B, A))\nINSERT INTO Pairs VALUES (1, 2)\nINSERT INTO Pairs VALUES (3, 4)");
    frmDispStruct* f = open("Pairs");
    ASSERT_TRUE(f);
    const int seq = addColumn(f, "Seq", "int", 4, false);
    f->mStructure->SetColumnValue("UpdatedIdentity", 1, seq);
    f->mStructure->SetColumnValue("UpdatedSeed", 1, seq);
    f->mStructure->SetColumnValue("UpdatedIncrement", 1, seq);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(indexes("Pairs"),
              QStringList({"PK_Pairs|nonclustered, unique, primary key located on PRIMARY|B, A"}));
    EXPECT_EQ(query("SELECT A, B, Seq FROM Pairs ORDER BY A"), QStringList({"1|2|1", "3|4|2"}));
}

TEST_F(SaveDesign, PendingRowIsDroppedAndRowGuidMarkSetInPlace) {
    run("CREATE TABLE Docs (Id uniqueidentifier NOT NULL DEFAULT newid(), Title varchar(10) "
        "NULL)\nINSERT INTO Docs (Title) VALUES ('t')");
    const QString id = objectId("Docs");
    frmDispStruct* f = open("Docs");
    ASSERT_TRUE(f);
    f->AddColumn(); // left pending in the editor
    set(f, "Id", "UpdatedUniqueIdentifier", 1);
    EXPECT_FALSE(f->cmdGravar->isEnabled());
    ScriptedMsgBox msgs;
    f->SaveStruct(); // the main window's menu command
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(objectId("Docs"), id);
    EXPECT_EQ(columns("Docs").size(), 2);
    EXPECT_EQ(
        query("SELECT name FROM syscolumns WHERE id = OBJECT_ID('Docs') AND isrowguidcol = 1"),
        QStringList({"Id"}));
    EXPECT_EQ(query("SELECT Title FROM Docs"), QStringList({"t"}));
}

TEST_F(SaveDesign, LastColumnDroppedInPlaceWithItsIndexAndBlankNamedKeysKept) {
    run("CREATE TABLE Events ([Order Date] datetime NULL, Tag varchar(5) NULL, Old int NULL)\n"
        "CREATE INDEX IX_Date ON Events ([Order Date] DESC)\nCREATE INDEX IX_Old ON Events (Old)\n"
        "INSERT INTO Events VALUES ('2011-03-05', 'a', 1)");
    const QString id = objectId("Events");
    frmDispStruct* f = open("Events");
    ASSERT_TRUE(f);
    removeColumn(f, "Old");
    f->mIndexes->FindIDX("IX_Old")->setDeleted(true); // as removing its last key column does
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(objectId("Events"), id);
    EXPECT_EQ(columns("Events"), QStringList({"Order Date|datetime|8|1", "Tag|varchar|5|1"}));
    EXPECT_EQ(indexes("Events"),
              QStringList({"IX_Date|nonclustered located on PRIMARY|Order Date(-)"}));
    EXPECT_EQ(query("SELECT Tag FROM Events"), QStringList({"a"}));
}

TEST_F(SaveDesign, TableOfAnotherOwnerIsTheOneChanged) {
    run("CREATE TABLE sales.Stock (Item varchar(10) NULL, Qty varchar(5) NULL)\n"
        "CREATE TABLE dbo.Stock (Other int NULL)\n"
        "INSERT INTO sales.Stock VALUES ('nut', '7')");
    QString name = "Stock";
    frmDispStruct::Open("A", server, "Shop", name, "sales");
    ASSERT_TRUE(frmDispStruct::Loaded());
    frmDispStruct* f = frmDispStruct::Default();
    set(f, "Qty", "DataType", "int");
    set(f, "Item", "AllowNulls", "0");
    set(f, "Item", "Name", "Article");
    f->mIndexes->Add(true, "IX_Qty", 0, "PRIMARY", 0, false, 0, false, false, 0, false,
                     "Qty<@>A<#>", false, false, false, false);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("sales.Stock"), QStringList({"Article|varchar|10|0", "Qty|int|4|1"}));
    EXPECT_EQ(query("SELECT Article, Qty + 1 FROM sales.Stock"), QStringList({"nut|8"}));
    EXPECT_EQ(indexes("sales.Stock"), QStringList({"IX_Qty|nonclustered located on PRIMARY|Qty"}));
    EXPECT_EQ(columns("dbo.Stock"), QStringList({"Other|int|4|1"}));
}
