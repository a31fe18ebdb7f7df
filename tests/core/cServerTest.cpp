#include "core/cServer.h"

#include "ado/ConnectionString.h"

#include <gtest/gtest.h>

TEST(cServer, ConnectionStringForWindowsAuthentication) {
    cServer s("MAQUINA\\INST", true, "ignored", "ignored");
    EXPECT_EQ(s.ADOConnStr("Vendas"),
              "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
              "Initial Catalog=Vendas;Data Source=MAQUINA\\INST");
    EXPECT_EQ(s.ADOConnStr(),
              "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
              "Initial Catalog=;Data Source=MAQUINA\\INST");
}

TEST(cServer, ConnectionStringForServerLogins) {
    cServer s("(LOCAL)", false, "sa", "s3gr3d0");
    EXPECT_EQ(s.ADOConnStr("master"),
              "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;PWD=s3gr3d0;"
              "Initial Catalog=master;Data Source=(LOCAL)");
    s.setPassword("");
    EXPECT_EQ(s.ADOConnStr("master"),
              "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;PWD=;"
              "Initial Catalog=master;Data Source=(LOCAL)");
}

TEST(cServer, ValuesThatWouldBreakTheStringAreQuoted) {
    cServer s("SRV", false, "o'neil", "a;b=c");
    EXPECT_EQ(s.ADOConnStr("Minha Base"),
              "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=\"o'neil\";"
              "PWD=\"a;b=c\";Initial Catalog=Minha Base;Data Source=SRV");
    EXPECT_EQ(QuoteConnValue("say \"hi\""), "'say \"hi\"'");
    EXPECT_EQ(QuoteConnValue("x\"y'z;"), "\"x\"\"y'z;\"");
    EXPECT_EQ(QuoteConnValue(" pw"), "\" pw\"");
    EXPECT_EQ(QuoteConnValue("pw "), "\"pw \"");
    EXPECT_EQ(QuoteConnValue("plain-Value_1"), "plain-Value_1");
    EXPECT_EQ(QuoteConnValue(""), "");
}

TEST(cServer, EveryValueReadsBackFromTheConnectionString) {
    const QStringList awkward{"a;b=c", "\"q\"",  "it's",     "x\"y'z",
                              " lead", "trail ", "p=;w'\";", "plain"};
    for (const QString& v : awkward) {
        cServer s("SRV\\" + v, false, v, v);
        const ado::ConnectionString cs = ado::ConnectionString::parse(s.ADOConnStr(v));
        EXPECT_EQ(cs.password(), v);
        EXPECT_EQ(cs.userId(), v);
        EXPECT_EQ(cs.initialCatalog(), v);
        EXPECT_EQ(cs.dataSource(), "SRV\\" + v);
        EXPECT_FALSE(cs.integratedSecurity());
    }
    const ado::ConnectionString cs =
        ado::ConnectionString::parse(cServer("(LOCAL)", true, "", "").ADOConnStr("Vendas"));
    EXPECT_TRUE(cs.integratedSecurity());
    EXPECT_EQ(cs.initialCatalog(), "Vendas");
}
