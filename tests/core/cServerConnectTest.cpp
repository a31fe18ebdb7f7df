// The server model's connection and database list over a temporary instance.
#include "common/TempDir.h"

#include "ado/Connection.h"
#include "core/cServer.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/DmoError.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

TEST(cServerConnect, ConnectsListsDatabasesAndHandsAnOpenableConnectionString) {
    TempDir dir;
    engine::Instance::setDataRoot(dir.path());
    cServer s("(LOCAL)", true, {}, {});
    EXPECT_FALSE(s.IsConnected());
    EXPECT_EQ(s.ListaDatabases(true), ""); // not connected: passed over
    s.Connect();
    ASSERT_TRUE(s.IsConnected());
    s.SQLDMOServer()->Databases()->Item("master")->ExecuteImmediate("CREATE DATABASE [Minha Base]");
    EXPECT_EQ(s.ListaDatabases(), ""); // as last loaded
    const QString list = s.ListaDatabases(true);
    EXPECT_TRUE(list.contains("master:master;")) << list.toStdString();
    EXPECT_TRUE(list.contains("Minha Base:Minha Base;")) << list.toStdString();
    EXPECT_EQ(s.ListaDatabases(), list);

    ado::Connection c;
    c.Open(s.ADOConnStr("Minha Base"));
    EXPECT_EQ(c.session().currentDatabase(), "Minha Base");

    s.Disconnect();
    EXPECT_FALSE(s.IsConnected());
    s.Connect();
    EXPECT_TRUE(s.IsConnected());
}

TEST(cServerConnect, FailedLoginRaisesWithoutThePassword) {
    TempDir dir;
    engine::Instance::setDataRoot(dir.path());
    cServer s("(LOCAL)", false, "nobody", "Pa$$word77");
    try {
        s.Connect();
        FAIL();
    } catch (const dmo::DmoError& e) {
        EXPECT_EQ(e.Number(), 18456);
        EXPECT_FALSE(e.Description().contains("Pa$$word77"));
    }
    EXPECT_FALSE(s.IsConnected());
}
