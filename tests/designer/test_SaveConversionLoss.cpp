// Type changes that the server makes without an error but that change stored values: the save
// asks first, as for a shorter length.
#include "test_Save_Fixture.h"

#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"

namespace {

class SaveConversionLoss : public SaveFixture {
protected:
    QStringList snapshot() {
        return query("SELECT c.name, t.name, c.length FROM syscolumns c INNER JOIN systypes t "
                     "ON t.xusertype = c.xusertype WHERE c.id = OBJECT_ID('Perdas') "
                     "ORDER BY c.colid") +
               query("SELECT * FROM Perdas ORDER BY Id");
    }
};

QString lossText(const QString& column) {
    return "A Alteração à Coluna '" + column + "' Poderá Resultar em Perda de Informação!";
}

} // namespace

TEST_F(SaveConversionLoss, ValuesThatDoNotSurviveTheNewTypeAreAskedAbout) {
    run("CREATE TABLE Perdas (Id int NOT NULL, I int NULL, S smallint NULL, D1 datetime NULL, "
        "D2 datetime NULL, F float NULL, M money NULL, Ok int NULL, T varchar(10) NULL)\n"
        "INSERT INTO Perdas VALUES (1, 123456, 1234, '2020-01-02 13:45:56.789', "
        "'2020-01-02 13:45:56.789', 1234.5678901, 12345.6789, 42, '3.5')\n"
        "INSERT INTO Perdas VALUES (2, 7, 12, '2020-01-02', NULL, 1.5, 1.5, NULL, NULL)");
    const QStringList before = snapshot();
    frmDispStruct* f = open("Perdas");
    ASSERT_TRUE(f);
    retype(f, "I", "varchar", 5);
    retype(f, "S", "char", 3);
    retype(f, "D1", "char", 11);
    retype(f, "D2", "varchar", 100);
    retype(f, "F", "varchar", 100);
    retype(f, "M", "varchar", 100);
    retype(f, "Ok", "varchar", 5); // 42 comes back whole
    retype(f, "T", "money");       // '3.5' is read as 3.5: no loss
    {
        ScriptedMsgBox msgs;
        ScriptedListDialog list;
        list.choose("Sim").choose("Sim").choose("Sim").choose("Sim").choose("Sim").choose("Não");
        save(f);
        ASSERT_EQ(msgs.count(), 6);
        const QStringList asked{"I", "S", "D1", "D2", "F", "M"};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(msgs.calls().at(i).text, lossText(asked[i]));
            EXPECT_EQ(msgs.calls().at(i).style, 48);
            EXPECT_EQ(msgs.calls().at(i).title, AppTitle());
        }
        ASSERT_EQ(list.count(), 6);
        EXPECT_EQ(list.last().caption, "Pretende Continuar?");
        EXPECT_EQ(list.last().items, QStringList({"Não", "Sim"}));
        ASSERT_TRUE(frmDispStruct::Loaded());
        EXPECT_EQ(snapshot(), before);
    }
    // Every question answered "Sim": the table holds what the server's conversion gives.
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    for (int i = 0; i < 6; ++i)
        list.choose("Sim");
    save(f);
    EXPECT_EQ(msgs.count(), 6);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(snapshot(),
              QStringList({"Id|int|4", "I|varchar|5", "S|char|3", "D1|char|11", "D2|varchar|100",
                           "F|varchar|100", "M|varchar|100", "Ok|varchar|5", "T|money|8",
                           "1|*|*  |Jan  2 2020|Jan  2 2020  1:45PM|1234.57|12345.68|42|3.5000",
                           "2|7|12 |Jan  2 2020|NULL|1.5|1.50|NULL|NULL"}));
}

TEST_F(SaveConversionLoss, ValuesThatComeBackWholeAreNotAskedAbout) {
    run("CREATE TABLE Perdas (Id int NOT NULL, D datetime NULL, N decimal(9,2) NULL, "
        "R real NULL)\n"
        "INSERT INTO Perdas VALUES (1, '2020-01-02', 12.5, 1.5)");
    frmDispStruct* f = open("Perdas");
    ASSERT_TRUE(f);
    retype(f, "D", "smalldatetime");
    retype(f, "N", "int"); // 12.5 loses its half
    retype(f, "R", "float");
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim");
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text, lossText("N"));
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(snapshot(), QStringList({"Id|int|4", "D|smalldatetime|4", "N|int|4", "R|float|8",
                                       "1|2020-01-02 00:00:00|12|1.5"}));
}

TEST_F(SaveConversionLoss, OddNamesAndUserTypesAreTestedUnderTheirOwnNames) {
    run("EXEC sp_addtype [fone ]]x], 'varchar(4)', 'NULL'\n"
        "CREATE TABLE [Per das]]'] ([<#>a]]b <@>] int NULL, [c]] d] [fone ]]x] NULL)\n"
        "INSERT INTO [Per das]]'] VALUES (123456, 'abcd')");
    const QStringList before = query("SELECT * FROM [Per das]]']");
    frmDispStruct* f = open("Per das]'");
    ASSERT_TRUE(f);
    retype(f, "[<#>a]]b <@>]", "fone ]x (varchar)"); // '*' in a user type over varchar(4)
    retype(f, "[c]] d]", "char", 2);
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim").choose("Não");
    save(f);
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.calls().at(0).text, lossText("[<#>a]]b <@>]"));
    EXPECT_EQ(msgs.calls().at(1).text, lossText("[c]] d]"));
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT * FROM [Per das]]']"), before);
}
