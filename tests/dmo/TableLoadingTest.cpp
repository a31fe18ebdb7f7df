// What the designer reads of a table through the objects, on a real instance.
#include "ServerFixture.h"

#include "dmo/Columns.h"
#include "dmo/DRIDefault.h"
#include "dmo/Defaults.h"
#include "dmo/Indexes.h"
#include "dmo/Keys.h"
#include "dmo/Tables.h"

using namespace dmo;

namespace {
const char* const kOrderLines =
    "CREATE DEFAULT DefZero AS 0\nGO\n"
    "EXEC sp_addtype Kode, 'varchar(10)', 'NULL'\nGO\n"
    "CREATE TABLE [Order Lines] (\n"
    "  [Line Id] int IDENTITY (5, 2) NOT NULL,\n"
    "  [Order Date] datetime NULL CONSTRAINT [DF_OL_Date] DEFAULT getdate(),\n"
    "  Qty int NULL,\n"
    "  Code Kode NULL,\n"
    "  Name nvarchar(50) NULL,\n"
    "  Price decimal(10, 2) NULL,\n"
    "  Total AS ([Qty] * 2),\n"
    "  G uniqueidentifier ROWGUIDCOL NULL,\n"
    "  CONSTRAINT [PK_OL] PRIMARY KEY CLUSTERED ([Line Id]))\nGO\n"
    "EXEC sp_bindefault 'DefZero', '[Order Lines].Qty'\nGO\n"
    "CREATE UNIQUE NONCLUSTERED INDEX [IX_Date] ON [Order Lines] ([Order Date] DESC, Qty) "
    "WITH FILLFACTOR = 80, IGNORE_DUP_KEY\nGO\n"
    "ALTER TABLE [Order Lines] ADD CONSTRAINT [UQ_Code] UNIQUE NONCLUSTERED (Code)\nGO\n"
    "CREATE TABLE Plain (a int NULL)\n";
} // namespace

class TableLoading : public ServerFixture {};

TEST_F(TableLoading, ColumnsReadAsTheDesignerNeedsThem) {
    SETUP_OR_SKIP(kOrderLines);
    auto tables = freshDatabase()->Tables();
    tables->Refresh(true);
    auto table = tables->Item("order lines", "DBO");
    EXPECT_EQ(table->Name(), "Order Lines");
    EXPECT_EQ(table->Owner(), "dbo");
    auto cols = table->Columns();
    cols->Refresh(true);
    ASSERT_EQ(cols->Count(), 8);

    auto id = cols->Item(1);
    EXPECT_EQ(id->Name(), "Line Id"); // a blank in the name
    EXPECT_EQ(id->Datatype(), "int");
    EXPECT_EQ(id->Length(), 4);
    EXPECT_FALSE(id->AllowNulls());
    auto date = cols->Item("ORDER DATE");
    EXPECT_TRUE(date->AllowNulls());
    EXPECT_EQ(date->Default(), "");
    auto qty = cols->Item("Qty");
    EXPECT_EQ(qty->DRIDefault()->Text(), "");

    EXPECT_EQ(cols->Item("Code")->Length(), 10);
    EXPECT_EQ(cols->Item("Name")->Length(), 50); // characters, not bytes
    EXPECT_EQ(cols->Item("Price")->NumericPrecision(), 10);
    EXPECT_EQ(cols->Item("Price")->NumericScale(), 2);
    EXPECT_FALSE(cols->Item("Qty")->IsRowGuidCol());

    auto defaults = freshDatabase()->Defaults();
    ASSERT_EQ(defaults->Count(), 1);
    EXPECT_EQ(defaults->Item(1)->Name(), "DefZero");

    try {
        db->ExecuteImmediate("SELECT name, xusertype FROM systypes WHERE xusertype > 256");
        EXPECT_EQ(cols->Item("Code")->Datatype(), "Kode"); // the user type's name
    } catch (const DmoError& e) {
        GTEST_SKIP() << "the engine cannot list systypes yet: " << e.what();
    }
    if (!engineHasColumnFacts())
        GTEST_SKIP() << kNoColumnFacts;
    EXPECT_TRUE(id->Identity());
    EXPECT_EQ(id->IdentitySeed(), 5);
    EXPECT_EQ(id->IdentityIncrement(), 2);
    EXPECT_EQ(date->DRIDefault()->Name(), "DF_OL_Date");
    EXPECT_EQ(date->DRIDefault()->Text(), "(getdate())");
    EXPECT_EQ(qty->Default(), "DefZero"); // a bound default object
    EXPECT_TRUE(cols->Item("Total")->IsComputed());
    EXPECT_EQ(cols->Item("Total")->ComputedText(), "([Qty] * 2)");
    EXPECT_TRUE(cols->Item("G")->IsRowGuidCol());
}

TEST_F(TableLoading, IndexesKeysAndPrimaryKey) {
    SETUP_OR_SKIP(kOrderLines);
    auto table = freshDatabase()->Tables()->Item("Order Lines", "dbo");
    auto indexes = table->Indexes();
    indexes->Refresh(true);
    ASSERT_EQ(indexes->Count(), 3);

    auto ix = indexes->Item("IX_Date");
    EXPECT_EQ(ix->Type() & (SQLDMOIndex_Unique | SQLDMOIndex_IgnoreDupKey | SQLDMOIndex_Clustered),
              SQLDMOIndex_Unique | SQLDMOIndex_IgnoreDupKey);
    EXPECT_EQ(ix->FillFactor(), 80);
    EXPECT_EQ(ix->FileGroup(), "PRIMARY");
    auto keys = ix->ListIndexedColumns();
    ASSERT_EQ(keys->Count(), 2);
    EXPECT_EQ(keys->Item(1), "Order Date");
    EXPECT_EQ(keys->Item(2), "Qty");
    EXPECT_TRUE(ix->GetIndexedColumnDESC("Order Date"));
    EXPECT_FALSE(ix->GetIndexedColumnDESC("Qty"));

    auto pkIndex = indexes->Item("PK_OL");
    EXPECT_TRUE(pkIndex->Type() & SQLDMOIndex_DRIPrimaryKey);
    EXPECT_TRUE(pkIndex->Type() & SQLDMOIndex_Clustered);
    EXPECT_TRUE(indexes->Item("UQ_Code")->Type() & SQLDMOIndex_DRIUniqueKey);

    auto pk = table->PrimaryKey();
    ASSERT_NE(pk, nullptr);
    EXPECT_EQ(pk->Name(), "PK_OL");
    EXPECT_EQ(pk->Type(), SQLDMOKey_Primary);
    EXPECT_EQ(pk->KeyColumns()->Item(1), "Line Id");
    EXPECT_EQ(table->Keys()->Count(), 2);

    auto plain = freshDatabase()->Tables()->Item("Plain");
    EXPECT_EQ(plain->PrimaryKey(), nullptr);
    EXPECT_EQ(plain->Indexes()->Count(), 0);
}

TEST_F(TableLoading, MissingTableIsNotFound) {
    try {
        db->Tables()->Item("Nowhere", "dbo");
        FAIL();
    } catch (const DmoError& e) {
        EXPECT_EQ(e.Number(), Errors::NotFound);
    }
}
