#include "designer/DataTypeRules.h"
#include "designer/M_MainMod.h"

#include "common/TempDir.h"

#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

namespace {

// A temporary instance with a database Shop holding the user types phone and small.
class ShopTypes : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(dir.path());
        server->SetLoginSecure(true);
        server->Connect("(LOCAL)");
        server->Databases()->Item("master")->ExecuteImmediate("CREATE DATABASE Shop");
        server->Databases()->Refresh(true);
        db = server->Databases()->Item("Shop");
        db->ExecuteImmediate("EXEC sp_addtype phone, 'varchar(20)'\n"
                             "EXEC sp_addtype small, 'char(2)', 'NOT NULL'");
    }

    TempDir dir;
    std::shared_ptr<dmo::SQLServer> server = std::make_shared<dmo::SQLServer>();
    dmo::DatabasePtr db;
};

DataTypeRules baseRules() {
    DataTypeRules r;
    r.UseNulls = r.UseDefault = r.UseFormula = true;
    return r;
}

} // namespace

TEST_F(ShopTypes, TypeListHoldsSystemTypesWithoutSysnameThenUserTypesWithTheirBase) {
    const QString list = M_MainMod::ListaTipos(*db, true, true, true);
    const QStringList entries = list.split('\r');
    EXPECT_TRUE(list.endsWith("phone (varchar)\rsmall (char)\r")) << list.toStdString();
    EXPECT_TRUE(entries.contains("int"));
    EXPECT_TRUE(entries.contains("smalldatetime"));
    EXPECT_FALSE(entries.contains("sysname"));
    EXPECT_LT(entries.indexOf("smalldatetime"), entries.indexOf("small (char)"));

    // The loader's lookup of a column's type name.
    EXPECT_EQ(M_MainMod::FindInList(list, "small"), "small (char)");
    EXPECT_EQ(M_MainMod::FindInList(list, "SmallDateTime"), "smalldatetime");
    EXPECT_EQ(M_MainMod::FindInList(list, "phone"), "phone (varchar)");

    EXPECT_EQ(M_MainMod::ListaTipos(*db, true, false, true), "phone (varchar)\rsmall (char)\r");
    EXPECT_EQ(M_MainMod::ListaTipos(*db, true, false, false), "");
}

TEST_F(ShopTypes, RulesLookUpUserTypesOnlyInEditorMode) {
    DataTypeRuleControls none;
    EXPECT_EQ(GetDataTypeRules("PHONE", false, false, db.get(), none), DataTypeRules());
    EXPECT_EQ(GetDataTypeRules("phone", false, true, db.get(), none), baseRules());
    EXPECT_EQ(GetDataTypeRules("phone (varchar)", false, false, db.get(), none), baseRules());
}

TEST_F(ShopTypes, UnreadableTypesCountAsNone) {
    server->Disconnect();
    const QString list = M_MainMod::ListaTipos(*db, true, true, true);
    EXPECT_FALSE(list.contains('(')) << list.toStdString();
    EXPECT_EQ(M_MainMod::ListaTipos(*db, true, false, true), "");

    DataTypeRules varchar = baseRules();
    varchar.UseLength = varchar.UseCollation = true;
    EXPECT_EQ(GetDataTypeRules("varchar", false, false, db.get(), DataTypeRuleControls()), varchar);
    EXPECT_EQ(GetDataTypeRules("phone", false, false, nullptr, DataTypeRuleControls()),
              baseRules());
}
