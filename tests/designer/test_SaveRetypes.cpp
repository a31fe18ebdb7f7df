// Retyped columns saved: values a new type changes are asked about, and the server holds the
// types, identity and values the design shows.
#include "test_Save_Fixture.h"

#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"

#include <QElapsedTimer>

namespace {

class SaveRetypes : public SaveFixture {
protected:
    // name|type|prec|scale|identity of each column.
    QStringList columns(const QString& table) {
        return query("SELECT c.name, t.name, c.prec, c.scale, COLUMNPROPERTY(c.id, c.name, "
                     "'IsIdentity') FROM syscolumns c INNER JOIN systypes t ON t.xusertype = "
                     "c.xusertype WHERE c.id = OBJECT_ID('" + table + "') ORDER BY c.colid");
    }
    // Alt+Key in the focused box, then the animated click let finish.
    static void pressAlt(Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QElapsedTimer waited;
        waited.start();
        auto down = [] {
            for (QAbstractButton* b :
                 frmDispStruct::Default()->findChildren<QAbstractButton*>())
                if (b->isDown())
                    return true;
            return false;
        };
        while (down() && waited.elapsed() < 5000)
            QTest::qWait(10);
        QCoreApplication::processEvents();
    }
};

QString lossText(const QString& column) {
    return "A Alteração à Coluna '" + column + "' Poderá Resultar em Perda de Informação!";
}

} // namespace

TEST_F(SaveRetypes, TrailingBlanksCutByAUserTypeAreAskedAbout) {
    run("EXEC sp_addtype curto, 'varchar(2)', 'NULL'\n"
        "CREATE TABLE Brancos (Id int NOT NULL, V varchar(10) NULL, N nvarchar(10) NULL, "
        "C char(10) NULL, W varchar(10) NULL)\n"
        "INSERT INTO Brancos VALUES (1, 'ab  ', N'ab ', 'ab', 'ab')");
    const QString rows = "SELECT Id, V + '|', N + '|', C + '|', W + '|' FROM Brancos";
    const QStringList before = query(rows);
    frmDispStruct* f = open("Brancos");
    ASSERT_TRUE(f);
    retype(f, "V", "curto (varchar)");
    retype(f, "N", "curto (varchar)");
    retype(f, "C", "curto (varchar)"); // a char column's blanks are its padding
    retype(f, "W", "char", 10);        // padding added is no loss
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim").choose("Não");
    save(f);
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.calls().at(0).text, lossText("V"));
    EXPECT_EQ(msgs.calls().at(1).text, lossText("N"));
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(query(rows), before);
}

TEST_F(SaveRetypes, UserTypesOverNumbersAreAskedAboutAsTheirBase) {
    run("EXEC sp_addtype preco, 'decimal(10,2)', 'NULL'\n"
        "EXEC sp_addtype largo, 'decimal(12,4)', 'NULL'\n"
        "CREATE TABLE Precos (Id int NOT NULL, A decimal(10,4) NULL, B largo NULL, C preco NULL)\n"
        "INSERT INTO Precos VALUES (1, 1.2345, 1.2345, 1.25)");
    const QStringList before = query("SELECT * FROM Precos");
    frmDispStruct* f = open("Precos");
    ASSERT_TRUE(f);
    retype(f, "A", "preco (decimal)");
    retype(f, "B", "decimal");
    retype(f, "C", "largo (decimal)"); // 1.25 comes back whole
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim").choose("Não");
    save(f);
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.calls().at(0).text, lossText("A"));
    EXPECT_EQ(msgs.calls().at(1).text, lossText("B"));
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT * FROM Precos"), before);
}

TEST_F(SaveRetypes, OverflowIsRefusedAndTimestampBecomesBinaryUnasked) {
    run("CREATE TABLE Grandes (Id int NOT NULL, B bigint NULL, T timestamp NULL)\n"
        "INSERT INTO Grandes (Id, B) VALUES (1, 3000000000)");
    frmDispStruct* f = open("Grandes");
    ASSERT_TRUE(f);
    retype(f, "B", "int");
    retype(f, "T", "binary", 8);
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim"); // put B back as loaded, save the rest
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text, "A Alteração que Está a Tentar Fazer à Coluna B Resultará em "
                                "Perda de Informação e Não Será Efectuada!");
    EXPECT_EQ(list.last().caption, "Pretende Anular as Alterações?");
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Grandes"),
              QStringList({"Id|int|10|0|0", "B|bigint|19|0|0", "T|binary|0|0|0"}));
    EXPECT_EQ(query("SELECT Id, B, DataLength(T) FROM Grandes"), QStringList{"1|3000000000|8"});
}

TEST_F(SaveRetypes, IdentityTypedOverAndAppliedByItsAccessKey) {
    run("CREATE TABLE Ids (Id int IDENTITY(10,5) NOT NULL, N varchar(10) NULL)\n"
        "INSERT INTO Ids (N) VALUES ('a')");
    frmDispStruct* f = open("Ids");
    ASSERT_TRUE(f);
    // decimal holds identity: kept, with the seed the precision box resets.
    pick(f, "Id");
    typeType(f, "decimal");
    pressAlt(Qt::Key_Z);
    EXPECT_TRUE(f->chkIdentity->isChecked());
    EXPECT_EQ(f->txtSeed->text(), "1");
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Ids"), QStringList({"Id|decimal|18|0|1", "N|varchar|0|0|0"}));
    run("INSERT INTO Ids (N) VALUES ('b')");
    EXPECT_EQ(query("SELECT Id, N FROM Ids ORDER BY Id"), QStringList({"10|a", "11|b"}));

    // varchar holds none: the key applies the type without it.
    f = open("Ids");
    ASSERT_TRUE(f);
    pick(f, "Id");
    typeType(f, "varchar");
    pressAlt(Qt::Key_Z);
    EXPECT_FALSE(f->chkIdentity->isChecked());
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Ids"), QStringList({"Id|varchar|0|0|0", "N|varchar|0|0|0"}));
    EXPECT_EQ(query("SELECT Id, N FROM Ids ORDER BY Id"), QStringList({"10|a", "11|b"}));
}

TEST_F(SaveRetypes, StampedColumnsAreAskedAboutAndComputedOnesAreNot) {
    run("CREATE TABLE Calc (A int NULL, C AS (A * 1000), B binary(8) NULL, S char(8) NULL, "
        "E binary(8) NULL)\n"
        "INSERT INTO Calc (A, B, S) VALUES (123, 0x0102, 'abcdefgh')");
    const QString rows = "SELECT A, C, B, S, E FROM Calc";
    const QStringList before = query(rows);
    frmDispStruct* f = open("Calc");
    ASSERT_TRUE(f);
    retype(f, "C", "varchar", 5); // computed again from A: nothing stored to lose
    retype(f, "B", "timestamp");   // stamped anew by the server
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Não");
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text, lossText("B"));
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(query(rows), before);

    // Put back; a char column and a column of nulls become timestamp.
    retype(f, "B", "binary", 8);
    retype(f, "S", "timestamp");
    list.choose("Não");
    save(f);
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.last().text, lossText("S"));
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(query(rows), before);
    retype(f, "S", "char", 8);
    retype(f, "E", "timestamp");
    save(f);
    EXPECT_EQ(msgs.count(), 2) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT A, C, B, S, DataLength(E) FROM Calc"),
              QStringList{"123|123000|0x0102000000000000|abcdefgh|8"});
}

TEST_F(SaveRetypes, NumbersDatesAndGuidsAskOnlyWhenAValueChanges) {
    run("CREATE TABLE Tipos (Id int NOT NULL, D decimal(10,4) NULL, F float NULL, "
        "T datetime NULL, B bit NULL, G uniqueidentifier NULL, Y tinyint NULL, "
        "E decimal(10,4) NULL, Z datetime NULL)\n"
        "INSERT INTO Tipos VALUES (1, 1.2345, 0.1, '2020-01-02 13:45:56', 1, "
        "'6F9619FF-8B86-D011-B42D-00C04FC964FF', 5, 1.25, '2020-01-02 13:45:00')\n"
        "INSERT INTO Tipos (Id) VALUES (2)");
    const QStringList before = query("SELECT * FROM Tipos ORDER BY Id");
    frmDispStruct* f = open("Tipos");
    ASSERT_TRUE(f);
    pick(f, "D");
    typeType(f, "decimal");
    type(f->txtPrecision, "10");
    type(f->txtScale, "2");
    apply(f);
    retype(f, "F", "real");
    retype(f, "T", "smalldatetime");
    retype(f, "B", "tinyint");         // 1 stays 1
    retype(f, "G", "char", 36);        // the same identifier as text
    retype(f, "Y", "bit");             // 5 becomes 1
    pick(f, "E");
    typeType(f, "decimal");
    type(f->txtPrecision, "10");
    type(f->txtScale, "2");
    apply(f);                          // 1.25 is whole in two places
    retype(f, "Z", "smalldatetime");   // no seconds to round
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim").choose("Sim").choose("Sim").choose("Não");
    save(f);
    ASSERT_EQ(msgs.count(), 4);
    const QStringList asked{"D", "F", "T", "Y"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(msgs.calls().at(i).text, lossText(asked[i]));
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT * FROM Tipos ORDER BY Id"), before);
}

TEST_F(SaveRetypes, ColumnsNamedWithEndBlanksAreCopiedFromTheirLoadedNames) {
    run("EXEC sp_addtype [curto;%1], 'varchar(2)', 'NULL'\n"
        "CREATE TABLE [select] (Id int NOT NULL, [ %1 ] varchar(10) NULL, [ b] int NULL)\n"
        "INSERT INTO [select] VALUES (1, 'ab  ', 7)");
    frmDispStruct* f = open("select");
    ASSERT_TRUE(f);
    retype(f, "[ %1 ]", "curto;%1 (varchar)"); // the editor trims the name as well
    pick(f, "[ b]");
    apply(f);
    EXPECT_EQ(f->mStructure->GetColumnValue("Name", 2).toString(), "%1");
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim");
    save(f);
    ASSERT_EQ(msgs.count(), 1) << msgs.last().text.toStdString();
    EXPECT_EQ(msgs.last().text, lossText("%1"));
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(query("SELECT c.name, t.name FROM syscolumns c INNER JOIN systypes t ON "
                    "t.xusertype = c.xusertype WHERE c.id = OBJECT_ID('select') ORDER BY c.colid"),
              QStringList({"Id|int", "%1|curto;%1", "b|int"}));
    EXPECT_EQ(query("SELECT Id, [%1] + '|', b FROM [select]"), QStringList{"1|ab||7"});
}
