#include "ado/AdoError.h"
#include "ado/ConnectionString.h"
#include "ado/SelectSource.h"

#include <gtest/gtest.h>

using namespace ado;

TEST(ConnectionString, ReadsBothFormsTheServerModelBuilds) {
    auto integrated = ConnectionString::parse(
        "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
        "Initial Catalog=Sales;Data Source=(LOCAL)");
    EXPECT_EQ(integrated.provider(), "SQLOLEDB.1");
    EXPECT_TRUE(integrated.integratedSecurity());
    EXPECT_FALSE(integrated.persistSecurityInfo());
    EXPECT_EQ(integrated.initialCatalog(), "Sales");
    EXPECT_EQ(integrated.dataSource(), "(LOCAL)");

    auto login = ConnectionString::parse(
        "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;PWD=p@ss=word;"
        "Initial Catalog=Order Data;Data Source=HOST\\INST");
    EXPECT_FALSE(login.integratedSecurity());
    EXPECT_EQ(login.userId(), "sa");
    EXPECT_EQ(login.password(), "p@ss=word"); // "=" inside a value
    EXPECT_EQ(login.initialCatalog(), "Order Data");
    EXPECT_EQ(login.dataSource(), "HOST\\INST");
}

TEST(ConnectionString, QuotedValuesKeepSemicolonsAndQuotes) {
    auto cs = ConnectionString::parse(" user id = 'o''brien' ; pwd=\"a;b\"\"c\";data source=x;");
    EXPECT_EQ(cs.userId(), "o'brien");
    EXPECT_EQ(cs.password(), "a;b\"c");
    EXPECT_EQ(cs.value("DATA SOURCE"), "x");
    EXPECT_TRUE(cs.contains("Pwd"));
    EXPECT_FALSE(cs.contains("Initial Catalog"));
}

TEST(ConnectionString, MalformedTextIsRefusedClearly) {
    try {
        ConnectionString::parse("Data Source=x;PWD='secret1;User ID=sa");
        FAIL();
    } catch (const AdoError& e) {
        EXPECT_EQ(e.Number(), ErrBadConnectionString);
        EXPECT_FALSE(e.Description().contains("secret1"));
    }
    EXPECT_THROW(ConnectionString::parse("Data Source=x;just words"), AdoError);
    EXPECT_THROW(ConnectionString::parse("=value"), AdoError);
    EXPECT_NO_THROW(ConnectionString::parse(""));
}

TEST(SelectSource, OneTableSelectsAreEditable) {
    auto s = SelectSource::analyze("Select Top 100 * from [Order Lines]");
    EXPECT_TRUE(s.singleTable);
    EXPECT_EQ(s.table, "[Order Lines]");
    s = SelectSource::analyze("\n  SELECT a, b\n FROM dbo.Orders o WHERE a > (SELECT 1) ORDER BY b");
    EXPECT_TRUE(s.singleTable);
    EXPECT_EQ(s.table, "dbo.Orders");
    s = SelectSource::analyze("select * from Sales..Orders as x");
    EXPECT_TRUE(s.singleTable);
    EXPECT_EQ(s.table, "Sales..Orders");
    EXPECT_TRUE(SelectSource::analyze("/* c */ select * from t with (nolock) where 1=1").singleTable);
}

TEST(SelectSource, OtherQueriesAreReadOnly) {
    for (const char* text : {"select * from a, b", "select * from a join b on a.x = b.x",
                             "select distinct x from t", "select x from t group by x",
                             "select * from a union select * from b", "select 1",
                             "select * from (select * from t) d", "select x into y from t"}) {
        EXPECT_FALSE(SelectSource::analyze(text).singleTable) << text;
    }
    EXPECT_FALSE(SelectSource::analyze("update t set a = 1").isSelect);
}

TEST(ConnectionString, PasswordPartsComeOutAndTheRestStaysAsWritten) {
    EXPECT_EQ(ConnectionString::withoutPassword("Provider=SQLOLEDB.1;User ID=sa;PWD=p@ss=word;Data Source=x"),
              "Provider=SQLOLEDB.1;User ID=sa;Data Source=x");
    EXPECT_EQ(ConnectionString::withoutPassword("Password='a;b''c' ; User ID=sa"), "User ID=sa");
    EXPECT_EQ(ConnectionString::withoutPassword("Data Source=x;pwd=\"s;1\""), "Data Source=x");
    EXPECT_EQ(ConnectionString::withoutPassword("Data Source=x;PWD=;User ID=sa;"), "Data Source=x;User ID=sa;");
    EXPECT_EQ(ConnectionString::withoutPassword("Data Source=x;Integrated Security=SSPI"),
              "Data Source=x;Integrated Security=SSPI");
}
