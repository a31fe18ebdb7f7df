// Typing in the designer's type box: the box completes what is typed, but only the type finally
// chosen takes its sizes or drops identity.
#include "test_frmDispStruct_Fixture.h"

TEST_F(DesignerTest, TypingOverAnIdentityColumnKeepsItUntilTheTypeCannotHoldOne) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    sql(QStringLiteral("Loja"), QStringLiteral("INSERT INTO Pedidos (Nome) VALUES ('a')"));
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Id")));
    ASSERT_TRUE(form->chkIdentity->isChecked());
    // A type without identity: kept while typing, gone when the box is left.
    typeType(QStringLiteral("varchar"));
    EXPECT_TRUE(form->chkIdentity->isChecked());
    leaveTo(form->txtDescription);
    EXPECT_FALSE(form->chkIdentity->isChecked());
    QTest::mouseClick(form->cmdCancelar, Qt::LeftButton);
    ASSERT_TRUE(form->chkIdentity->isChecked());
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("10"));

    // "b", completed to bigint, then left with the completion.
    typeType(QStringLiteral("b"));
    EXPECT_EQ(form->cboDataType->currentText(), QStringLiteral("bigint"));
    EXPECT_TRUE(form->chkIdentity->isChecked());
    leaveTo(form->txtDescription);
    EXPECT_TRUE(form->chkIdentity->isChecked());
    EXPECT_TRUE(form->chkIdentity->isEnabled());
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("10"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("5"));
    apply();
    const int id = row(QStringLiteral("Id"));
    EXPECT_EQ(value(id, "DataType").toString(), QStringLiteral("bigint"));
    EXPECT_EQ(value(id, "UpdatedIdentity").toInt(), 1);
    save();
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_EQ(serverColumns(QStringLiteral("Pedidos")).value(0), QStringLiteral("Id|bigint|8|0"));
    EXPECT_EQ(query(QStringLiteral("SELECT IDENT_SEED('Pedidos'), IDENT_INCR('Pedidos')")),
              QStringList{QStringLiteral("10|5")});
    sql(QStringLiteral("Loja"), QStringLiteral("INSERT INTO Pedidos (Nome) VALUES ('b')"));
    EXPECT_EQ(query(QStringLiteral("SELECT Id, Nome FROM Pedidos ORDER BY Id")),
              (QStringList{QStringLiteral("10|a"), QStringLiteral("15|b")}));
}

TEST_F(DesignerTest, TypingANewColumnsTypeWritesOnlyTheSizesOfATypeItNames) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    QTest::mouseClick(form->cmdNova, Qt::LeftButton);
    type(form->txtColumnName, QStringLiteral("Preco"));
    const QString precision = form->txtPrecision->text();
    const QString scale = form->txtScale->text();
    // "d" shows datetime, but names no type: nothing is written.
    typeType(QStringLiteral("d"));
    EXPECT_EQ(form->cboDataType->currentText(), QStringLiteral("datetime"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("40"));
    EXPECT_EQ(form->txtPrecision->text(), precision);
    EXPECT_EQ(form->txtScale->text(), scale);
    // Typed on to decimal: its precision and scale; the greyed length keeps its text.
    QTest::keyClicks(form->cboDataType->lineEdit(), QStringLiteral("ecimal"));
    EXPECT_EQ(form->cboDataType->currentText(), QStringLiteral("decimal"));
    EXPECT_EQ(form->txtPrecision->text(), QStringLiteral("18"));
    EXPECT_EQ(form->txtScale->text(), QStringLiteral("0"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("40"));
    EXPECT_FALSE(form->txtLength->isEnabled());
    type(form->txtPrecision, QStringLiteral("12"));
    type(form->txtScale, QStringLiteral("3"));
    apply();
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_EQ(cell(9, "DataType"), QStringLiteral("decimal"));
    EXPECT_EQ(cell(9, "Precision"), QStringLiteral("12"));
    EXPECT_EQ(cell(9, "Scale"), QStringLiteral("3"));
    save();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_EQ(serverColumns(QStringLiteral("Pedidos")).value(8),
              QStringLiteral("Preco|decimal|9|0"));
    EXPECT_EQ(query(QStringLiteral("SELECT COLUMNPROPERTY(OBJECT_ID('Pedidos'), 'Preco', "
                                   "'Precision'), COLUMNPROPERTY(OBJECT_ID('Pedidos'), "
                                   "'Preco', 'Scale')")),
              QStringList{QStringLiteral("12|3")});
}

TEST_F(DesignerTest, KeyColumnRetypedToAUserTypeOverTextLeavesItsIndexes) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    sql(QStringLiteral("Loja"),
        QStringLiteral("EXEC sp_addtype memo, 'text', 'NULL'\n"
                       "EXEC sp_addtype nmemo, 'ntext', 'NULL'\n"
                       "CREATE TABLE Notas (Id int NOT NULL CONSTRAINT PK_Notas PRIMARY KEY, "
                       "Texto varchar(100) NULL, Outro int NULL, Mais nvarchar(10) NULL)\n"
                       "CREATE INDEX IX_Texto ON Notas (Texto, Outro DESC)\n"
                       "CREATE UNIQUE INDEX IX_Mais ON Notas (Mais)\n"
                       "INSERT INTO Notas VALUES (1, 'um', 2, N'três')"));
    ASSERT_TRUE(open(QStringLiteral("Notas")));
    click(row(QStringLiteral("Texto")));
    typeType(QStringLiteral("memo (text)"));
    apply();
    click(row(QStringLiteral("Mais")));
    typeType(QStringLiteral("nmemo (ntext)"));
    apply();
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Texto")), QStringLiteral("Outro<@>D<#>"));
    EXPECT_TRUE(entryDeleted(QStringLiteral("IX_Mais")));
    save();
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_EQ(serverColumns(QStringLiteral("Notas")),
              (QStringList{QStringLiteral("Id|int|4|0"), QStringLiteral("Texto|memo|16|1"),
                           QStringLiteral("Outro|int|4|1"), QStringLiteral("Mais|nmemo|16|1")}));
    EXPECT_EQ(query(QStringLiteral("EXEC sp_helpindex 'Notas'")),
              (QStringList{QStringLiteral("IX_Texto|nonclustered located on PRIMARY|Outro(-)"),
                           QStringLiteral(
                               "PK_Notas|clustered, unique, primary key located on PRIMARY|Id")}));
    EXPECT_EQ(query(QStringLiteral("SELECT Id, Texto, Outro, Mais FROM Notas")),
              QStringList{QStringLiteral("1|um|2|três")});
}
