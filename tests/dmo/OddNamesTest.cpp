// Type and collation names that are not plain words reach the server as one name each.
#include "ServerFixture.h"

#include "dmo/Column.h"
#include "dmo/Columns.h"
#include "dmo/Table.h"
#include "dmo/Tables.h"

using namespace dmo;

namespace {

using OddNames = ServerFixture;

ColumnPtr typed(const QString& name, const QString& type) {
    auto c = std::make_shared<Column2>();
    c->SetName(name);
    c->SetDatatype(type);
    c->SetAllowNulls(true);
    return c;
}

} // namespace

TEST_F(OddNames, UserTypesWithBlanksApostrophesOrKeywordNamesAreDeclaredWhole) {
    SETUP_OR_SKIP("EXEC sp_addtype N'Post Code', 'varchar(10)'\n"
                  "EXEC sp_addtype N'O''Code', 'int'\n"
                  "EXEC sp_addtype N'Key', 'smallint'\n"
                  "CREATE TABLE Plain (a int NULL)");
    auto table = std::make_shared<Table2>();
    table->SetName("Odd");
    table->Columns()->Add(typed("Zip", "Post Code"));
    table->Columns()->Add(typed("Code", "O'Code"));
    db->Tables()->Add(table);

    auto plain = db->Tables()->Item("Plain");
    plain->Columns()->Add(typed("K", "Key"));
    plain->Columns()->Item("a")->AlterDataType("O'Code", -1, -1, -1);

    auto back = freshDatabase()->Tables();
    auto odd = back->Item("Odd")->Columns();
    EXPECT_EQ(odd->Item("Zip")->Datatype(), "Post Code");
    EXPECT_EQ(odd->Item("Code")->Datatype(), "O'Code");
    auto changed = back->Item("Plain")->Columns();
    EXPECT_EQ(changed->Item("K")->Datatype(), "Key");
    EXPECT_EQ(changed->Item("a")->Datatype(), "O'Code");
}

TEST_F(OddNames, CollationTextStaysOneName) {
    auto tableWith = [](const QString& name, const QString& collation) {
        auto table = std::make_shared<Table2>();
        table->SetName(name);
        auto tag = typed("Tag", "varchar");
        tag->SetLength(10);
        tag->SetCollation(collation);
        table->Columns()->Add(tag);
        return table;
    };
    db->Tables()->Add(tableWith("Tagged", "Latin1_General_CS_AS"));
    EXPECT_EQ(freshDatabase()->Tables()->Item("Tagged")->Columns()->Item("Tag")->Collation(),
              "Latin1_General_CS_AS");

    // Text after the name is no part of the table: the server refuses the name.
    EXPECT_THROW(db->Tables()->Add(tableWith("Odd", "Latin1_General_CI_AS NULL, Extra int")),
                 DmoError);
    EXPECT_EQ(freshDatabase()->Tables()->indexOf("Odd"), 0);
}
