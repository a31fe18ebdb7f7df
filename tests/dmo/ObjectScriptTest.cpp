// The T-SQL the objects send, checked against a scripted session.
#include "FakeSession.h"

#include "dmo/Columns.h"
#include "dmo/DRIDefault.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/Indexes.h"
#include "dmo/Keys.h"
#include "dmo/SQLServer.h"
#include "dmo/StoredProcedures.h"
#include "dmo/Tables.h"

#include <gtest/gtest.h>

using namespace dmo;

namespace {

engine::Row row(std::initializer_list<QVariant> values) { return engine::Row(values); }

QString firstOf(const QStringList& batches) {
    return batches.isEmpty() ? QStringLiteral("<nothing sent>") : batches.first();
}

class ObjectScript : public ::testing::Test {
protected:
    void SetUp() override {
        log = std::make_shared<FakeLog>();
        std::vector<FakeSession::Rule> rules = {
            refuse("Refuse", 547, "The statement conflicted with a constraint."),
            answer("sysdatabases", {"name"}, {row({"master"}), row({"Sales"})}),
            answer("INFORMATION_SCHEMA.TABLES", {"TABLE_NAME", "TABLE_SCHEMA"},
                   {row({"Orders", "dbo"}), row({"Orders", "sales"}), row({"Order Lines", "dbo"})}),
            answer("isidentity", {"name", "isidentity", "seed", "incr", "rowguid", "computed", "dn", "dt", "bound"},
                   {row({"Id", 1, 100, 5, 0, QVariant(), QVariant(), QVariant(), QVariant()}),
                    row({"Order Date", 0, QVariant(), QVariant(), 0, QVariant(), "DF_Orders_Date", "(getdate())", QVariant()}),
                    row({"Code", 0, QVariant(), QVariant(), 0, QVariant(), QVariant(), QVariant(), "DefCode"})}),
            answer("SELECT default_name", {"default_name", "default_text"}, {row({"DF_Orders_Date", "(0)"})}),
            answer("FROM syscolumns WHERE id", {"name", "colid", "xtype", "xusertype", "length", "prec", "scale", "isnullable", "collation"},
                   {row({"Id", 1, 56, 56, 4, 10, 0, 0, QVariant()}),
                    row({"Order Date", 2, 61, 61, 8, 0, 0, 1, QVariant()}),
                    row({"Code", 3, 231, 257, 40, 0, 0, 1, "SQL_Latin1_General_CP1_CI_AS"})}),
            answer("FROM systypes", {"name", "xusertype"}, {row({"Kode", 257})}),
            answer("sp_helpindex", {"index_name", "index_description", "index_keys"},
                   {row({"IX_Date", "nonclustered, ignore duplicate keys, unique located on PRIMARY", "Order Date(-), Id"}),
                    row({"PK_Orders", "clustered, unique, primary key located on PRIMARY", "Id"})}),
            answer("FROM sysindexes", {"name", "indid", "fill"}, {row({"PK_Orders", 1, 0}), row({"IX_Date", 2, 80})}),
            answer("xtype = 'P'", {"name", "uid"}, {row({"GetOrders", 1})}),
            answer("sp_helptext", {"Text"}, {row({"CREATE PROCEDURE GetOrders\r\n"}), row({"AS SELECT 1\r\n"})}),
        };
        server = std::make_shared<SQLServer>();
        server->connection()->adopt(std::make_unique<FakeSession>(log, rules));
        db = server->Databases()->Item("SALES");
        log->batches.clear();
    }
    QStringList sent() {
        QStringList out;
        for (const QString& b : log->batches)
            if (!b.startsWith("USE "))
                out << b;
        log->batches.clear();
        return out;
    }
    std::shared_ptr<FakeLog> log;
    std::shared_ptr<SQLServer> server;
    DatabasePtr db;
};

} // namespace

TEST_F(ObjectScript, CollectionsAreOneBasedAndFindNamesInAnyCase) {
    auto databases = server->Databases();
    EXPECT_EQ(databases->Count(), 2);
    EXPECT_EQ(databases->Item(1)->Name(), "master");
    EXPECT_EQ(databases->Item("sales")->Name(), "Sales");
    EXPECT_THROW(databases->Item(0), DmoError);
    EXPECT_THROW(databases->Item(3), DmoError);
    try {
        databases->Item("nowhere");
        FAIL();
    } catch (const DmoError& e) {
        EXPECT_EQ(e.Number(), Errors::NotFound);
    }
    auto tables = db->Tables();
    EXPECT_EQ(tables->Count(), 3);
    EXPECT_EQ(tables->Item("orders", "SALES")->Owner(), "sales");
    EXPECT_EQ(tables->Item("ORDERS")->Owner(), "dbo");
    EXPECT_EQ(log->database, "Sales"); // catalog read in the database
}

TEST_F(ObjectScript, ColumnsReadWithTheirDefaultsIdentityAndUserType) {
    auto table = db->Tables()->Item("Orders", "dbo");
    auto cols = table->Columns();
    ASSERT_EQ(cols->Count(), 3);
    auto id = cols->Item(1);
    EXPECT_TRUE(id->Identity());
    EXPECT_EQ(id->IdentitySeed(), 100);
    EXPECT_EQ(id->IdentityIncrement(), 5);
    EXPECT_FALSE(id->AllowNulls());
    auto date = cols->Item("order date");
    EXPECT_EQ(date->DRIDefault()->Text(), "(getdate())");
    EXPECT_EQ(date->DRIDefault()->Name(), "DF_Orders_Date");
    EXPECT_EQ(date->Default(), "");
    auto code = cols->Item(3);
    EXPECT_EQ(code->Datatype(), "Kode");
    EXPECT_EQ(code->Length(), 20); // characters of nvarchar
    EXPECT_EQ(code->Default(), "DefCode");
    EXPECT_EQ(code->DRIDefault()->Text(), "");

    auto indexes = table->Indexes();
    ASSERT_EQ(indexes->Count(), 2);
    auto pk = indexes->Item(1); // identifier order
    EXPECT_EQ(pk->Name(), "PK_Orders");
    EXPECT_EQ(pk->Type(), SQLDMOIndex_Clustered | SQLDMOIndex_Unique | SQLDMOIndex_DRIPrimaryKey);
    auto ix = indexes->Item("ix_date");
    EXPECT_EQ(ix->FillFactor(), 80);
    EXPECT_EQ(ix->FileGroup(), "PRIMARY");
    EXPECT_EQ(ix->Type(), SQLDMOIndex_IgnoreDupKey | SQLDMOIndex_Unique);
    EXPECT_EQ(ix->ListIndexedColumns()->Item(1), "Order Date");
    EXPECT_TRUE(ix->GetIndexedColumnDESC("Order Date"));
    EXPECT_FALSE(ix->GetIndexedColumnDESC("Id"));
    ASSERT_NE(table->PrimaryKey(), nullptr);
    EXPECT_EQ(table->PrimaryKey()->Name(), "PK_Orders");
    EXPECT_EQ(table->PrimaryKey()->KeyColumns()->Item(1), "Id");
}

TEST_F(ObjectScript, NewTableIsCreatedWithItsColumnsKeyAndBindings) {
    auto table = std::make_shared<Table2>();
    table->SetName("New T");
    auto id = std::make_shared<Column2>();
    id->SetName("Id");
    id->SetDatatype("int");
    id->SetIdentity(true);
    id->SetIdentitySeed(10);
    id->SetIdentityIncrement(2);
    table->Columns()->Add(id);
    auto name = std::make_shared<Column2>();
    name->SetName("[Full Name]"); // the designer passes bracketed names
    name->SetDatatype("nvarchar");
    name->SetLength(50);
    name->SetAllowNulls(true);
    name->DRIDefault()->SetText("'none'");
    table->Columns()->Add(name);
    auto price = std::make_shared<Column2>();
    price->SetName("Price");
    price->SetDatatype("decimal");
    price->SetNumericPrecision(10);
    price->SetNumericScale(2);
    price->BindDefault("dbo", "DefZero", true);
    table->Columns()->Add(price);
    auto total = std::make_shared<Column2>();
    total->SetName("Total");
    total->SetDatatype("int");
    total->SetComputedText("([Price] * 2)");
    table->Columns()->Add(total);
    auto guid = std::make_shared<Column2>();
    guid->SetName("G");
    guid->SetDatatype("uniqueidentifier");
    guid->SetIsRowGuidCol(true);
    table->Columns()->Add(guid);
    EXPECT_TRUE(sent().isEmpty()); // nothing reaches the server before Add

    db->Tables()->Add(table);
    const QStringList batches = sent();
    ASSERT_EQ(batches.size(), 2);
    EXPECT_EQ(batches[0], "CREATE TABLE [New T] (\n"
                          "    [Id] int IDENTITY (10, 2) NOT NULL,\n"
                          "    [Full Name] nvarchar(50) NULL DEFAULT 'none',\n"
                          "    [Price] decimal(10, 2) NOT NULL,\n"
                          "    [Total] AS ([Price] * 2),\n"
                          "    [G] uniqueidentifier ROWGUIDCOL NOT NULL\n)");
    EXPECT_EQ(batches[1].trimmed(), "EXEC sp_bindefault N'[dbo].[DefZero]', N'[dbo].[New T].[Price]'");
    EXPECT_TRUE(table->attached());
    EXPECT_EQ(table->Owner(), "dbo");
}

TEST_F(ObjectScript, ChangesToAnExistingTableAreSentAtOnce) {
    auto table = db->Tables()->Item("Orders", "dbo");
    auto cols = table->Columns();
    cols->Count();
    sent();

    auto extra = std::make_shared<Column2>();
    extra->SetName("Note");
    extra->SetDatatype("varchar");
    extra->SetLength(30);
    extra->SetAllowNulls(true);
    cols->Add(extra);
    EXPECT_EQ(firstOf(sent()), "ALTER TABLE [dbo].[Orders] ADD [Note] varchar(30) NULL");
    EXPECT_EQ(cols->Count(), 4);
    EXPECT_TRUE(extra->attached());

    cols->Item("Order Date")->SetName("Placed On");
    EXPECT_EQ(firstOf(sent()), "EXEC sp_rename N'[dbo].[Orders].[Order Date]', N'Placed On', 'COLUMN'");

    extra->AlterDataType("varchar", 60, -1, -1);
    EXPECT_EQ(firstOf(sent()), "ALTER TABLE [dbo].[Orders] ALTER COLUMN [Note] varchar(60) NULL");
    EXPECT_EQ(extra->Length(), 60);
    cols->Item("Id")->AlterDataType("bigint", -1, -1, -1);
    EXPECT_EQ(firstOf(sent()), "ALTER TABLE [dbo].[Orders] ALTER COLUMN [Id] bigint NOT NULL");
    EXPECT_THROW(extra->SetLength(5), DmoError); // an existing column is retyped, not edited

    auto date = cols->Item("Placed On");
    date->DRIDefault()->SetText("0");
    EXPECT_EQ(firstOf(sent().filter("ALTER TABLE")),
              "ALTER TABLE [dbo].[Orders] DROP CONSTRAINT [DF_Orders_Date]\n"
              "ALTER TABLE [dbo].[Orders] ADD CONSTRAINT [DF_Orders_Date] DEFAULT 0 FOR [Placed On]");
    date->DRIDefault()->Remove();
    EXPECT_EQ(firstOf(sent().filter("ALTER TABLE")),
              "ALTER TABLE [dbo].[Orders] DROP CONSTRAINT [DF_Orders_Date]");

    auto code = cols->Item("Code");
    code->SetDefault("");
    EXPECT_EQ(firstOf(sent()), "EXEC sp_unbindefault N'[dbo].[Orders].[Code]'");
    code->SetDefault(""); // nothing bound any more: nothing sent
    EXPECT_TRUE(sent().isEmpty());
    code->BindDefault("dbo", "DefCode", true);
    EXPECT_EQ(firstOf(sent()), "EXEC sp_bindefault N'[dbo].[DefCode]', N'[dbo].[Orders].[Code]'");
    code->SetIsRowGuidCol(true);
    EXPECT_EQ(firstOf(sent()), "ALTER TABLE [dbo].[Orders] ALTER COLUMN [Code] ADD ROWGUIDCOL");

    table->Refresh();
    cols->Remove(2); // the column with a default constraint: the constraint goes first
    EXPECT_EQ(firstOf(sent().filter("DROP")),
              "ALTER TABLE [dbo].[Orders] DROP CONSTRAINT [DF_Orders_Date]\n"
              "ALTER TABLE [dbo].[Orders] DROP COLUMN [Order Date]");

    table->Indexes()->Item("IX_Date")->Remove();
    EXPECT_EQ(firstOf(sent().filter("DROP")), "DROP INDEX [dbo].[Orders].[IX_Date]");
    table->PrimaryKey()->Remove();
    EXPECT_EQ(firstOf(sent().filter("DROP")), "ALTER TABLE [dbo].[Orders] DROP CONSTRAINT [PK_Orders]");

    auto key = std::make_shared<Key>();
    key->KeyColumns()->Add("[Order Date]");
    key->KeyColumns()->Add("Id");
    key->SetType(SQLDMOKey_Primary);
    table->Keys()->Add(key);
    EXPECT_EQ(firstOf(sent()), "ALTER TABLE [dbo].[Orders] ADD PRIMARY KEY ([Order Date], [Id])");

    table->SetName("Old Orders");
    EXPECT_EQ(firstOf(sent()), "EXEC sp_rename N'[dbo].[Orders]', N'Old Orders'");
    db->Tables()->Remove("Old Orders", "dbo");
    EXPECT_EQ(firstOf(sent()), "DROP TABLE [dbo].[Old Orders]");
}

TEST_F(ObjectScript, RefusedStatementsRaiseTheServersError) {
    try {
        db->ExecuteImmediate("SELECT 1\nGO\nRefuse this\nGO\nSELECT 2");
        FAIL();
    } catch (const DmoError& e) {
        EXPECT_EQ(e.Number(), 547);
        EXPECT_EQ(e.Description(), "The statement conflicted with a constraint.");
    }
    EXPECT_EQ(sent(), QStringList({"SELECT 1", "Refuse this"})); // stops at the failing batch
}

TEST_F(ObjectScript, QueryResultsAndMessages) {
    QString messages;
    auto none = db->ExecuteWithResultsAndMessages2("UPDATE x SET a = 1", messages);
    EXPECT_EQ(none->Rows(), -1);
    auto results = db->ExecuteWithResults("EXEC sp_helpindex N'[dbo].[Orders]'");
    EXPECT_EQ(results->Rows(), 2);
    EXPECT_EQ(results->Columns(), 3);
    EXPECT_EQ(results->ColumnName(1), "index_name");
    EXPECT_EQ(results->ColumnType(1), 12);
    EXPECT_EQ(results->GetColumnString(2, 1), "PK_Orders");
    EXPECT_THROW(results->GetColumnString(3, 1), DmoError);
}

TEST_F(ObjectScript, ProceduresAreAlteredAndAddedFromTheirText) {
    auto procs = db->StoredProcedures();
    auto p = procs->Item("getorders");
    EXPECT_EQ(p->Text(), "CREATE PROCEDURE GetOrders\r\nAS SELECT 1\r\n");
    sent();
    p->Alter(p->Text());
    EXPECT_EQ(firstOf(sent()), "ALTER PROCEDURE GetOrders\r\nAS SELECT 1\r\n");

    auto fresh = std::make_shared<StoredProcedure2>();
    fresh->SetText("Create Procedure [dbo].[NomeProcedimento]\n@a varchar(1)\nAs\nReturn");
    procs->Add(fresh);
    EXPECT_EQ(firstOf(sent()), "Create Procedure [dbo].[NomeProcedimento]\n@a varchar(1)\nAs\nReturn");
    EXPECT_EQ(fresh->Name(), "NomeProcedimento");
    EXPECT_EQ(procs->Count(), 2);
}

TEST_F(ObjectScript, DisconnectedServerRefusesAndReconnectNeedsAName) {
    server->Disconnect();
    EXPECT_FALSE(server->IsConnected());
    EXPECT_THROW(db->ExecuteImmediate("SELECT 1"), DmoError);
    SQLServer fresh;
    EXPECT_THROW(fresh.Connect(), DmoError);
}
