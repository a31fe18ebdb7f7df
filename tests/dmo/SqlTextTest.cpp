#include "dmo/DmoError.h"
#include "dmo/Sql.h"
#include "dmo/StoredProcedure.h"

#include <gtest/gtest.h>

using namespace dmo;

TEST(SqlText, SplitsAtLinesHoldingOnlyGo) {
    const QString script = "CREATE TABLE a (x int)\r\ngo\n  GO  \nINSERT a VALUES (1)\n"
                           "-- GO in a comment stays\nSELECT 'GO' AS GOTO\nGo\n\n";
    const QStringList batches = sql::splitBatches(script);
    ASSERT_EQ(batches.size(), 2);
    EXPECT_EQ(batches[0], "CREATE TABLE a (x int)");
    EXPECT_TRUE(batches[1].contains("SELECT 'GO' AS GOTO"));
    EXPECT_TRUE(batches[1].contains("-- GO in a comment stays"));
    EXPECT_TRUE(sql::splitBatches("GO\n \nGO").isEmpty());
    EXPECT_EQ(sql::splitBatches("GOTO x").size(), 1);
}

TEST(SqlText, QuotesNamesAndStrings) {
    EXPECT_EQ(sql::quoteName("Order Date"), "[Order Date]");
    EXPECT_EQ(sql::quoteName("a]b"), "[a]]b]");
    EXPECT_EQ(sql::quoteNString("it's"), "N'it''s'");
    EXPECT_EQ(sql::qualified("dbo", "T"), "[dbo].[T]");
    EXPECT_EQ(sql::stripBrackets("[Order Date]"), "Order Date");
    EXPECT_EQ(sql::stripBrackets("[a]]b]"), "a]b");
    EXPECT_EQ(sql::stripBrackets("plain"), "plain");
}

TEST(SqlText, TypeDeclarationsAndCodes) {
    EXPECT_EQ(sql::typeDeclaration("varchar", 20, -1, -1), "varchar(20)");
    EXPECT_EQ(sql::typeDeclaration("decimal", -1, 10, 2), "decimal(10, 2)");
    EXPECT_EQ(sql::typeDeclaration("int", -1, -1, -1), "int");
    EXPECT_EQ(sql::typeDeclaration("MyType", 10, 5, 2), "MyType");
    EXPECT_EQ(sql::odbcTypeCode("image"), -4);
    EXPECT_EQ(sql::odbcTypeCode("varchar"), 12);
    EXPECT_EQ(sql::odbcTypeCode("nvarchar"), -9);
    EXPECT_EQ(sql::odbcTypeCode("datetime"), 93);
    EXPECT_EQ(sql::odbcTypeCode("uniqueidentifier"), -11);
    EXPECT_EQ(sql::odbcTypeCode("money"), 3);
    EXPECT_EQ(sql::odbcTypeCode("bit"), -7);
    const QStringList types = sql::systemTypeNames();
    EXPECT_EQ(types.first(), "bigint");
    EXPECT_EQ(types.last(), "varchar");
    EXPECT_TRUE(types.contains("sysname"));
    EXPECT_EQ(types.size(), 26);
}

TEST(SqlText, ProcedureTextBecomesAlter) {
    EXPECT_EQ(StoredProcedure::alterText("CREATE PROCEDURE p AS RETURN"), "ALTER PROCEDURE p AS RETURN");
    EXPECT_EQ(StoredProcedure::alterText("/* head /* nested */ */\n-- note\n  create proc [dbo].[p] AS RETURN"),
              "/* head /* nested */ */\n-- note\n  ALTER proc [dbo].[p] AS RETURN");
    EXPECT_EQ(StoredProcedure::alterText("alter procedure p as return"), "ALTER procedure p as return");
    EXPECT_THROW(StoredProcedure::alterText("SELECT 1"), DmoError);
    EXPECT_THROW(StoredProcedure::alterText("CREATE TABLE p (a int)"), DmoError);

    QString owner, name;
    ASSERT_TRUE(StoredProcedure::parseName("Create Procedure NomeProcedimento\n@a varchar(1)", owner, name));
    EXPECT_EQ(name, "NomeProcedimento");
    EXPECT_TRUE(owner.isEmpty());
    ASSERT_TRUE(StoredProcedure::parseName("CREATE PROC [sales].[Big ]]One] AS RETURN", owner, name));
    EXPECT_EQ(owner, "sales");
    EXPECT_EQ(name, "Big ]One");
}
