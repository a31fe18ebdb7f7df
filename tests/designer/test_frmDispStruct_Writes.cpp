// What the column editor writes, and what reaches the server: loaded identity values kept
// whole, the row a search selects, values refused on leaving a box, the keyboard moves and the
// names of new indexes.
#include "test_frmDispStruct_Fixture.h"

#include "designer/frmDispStructFind.h"
#include "designer/frmDispStructIndex.h"

#include <QAction>
#include <QTimer>

TEST_F(DesignerTest, LoadedIdentityValuesAreShownAndSavedWhole) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    sql(QStringLiteral("Loja"),
        QStringLiteral(
            "CREATE TABLE Neg (Id int IDENTITY(-2147483648,1) NOT NULL, x int NULL)\n"
            "CREATE TABLE Big (Id bigint IDENTITY(-9000000000000000000,1000000000000000000) "
            "NOT NULL, y int NULL)"));
    ASSERT_TRUE(open(QStringLiteral("Big")));
    click(2);
    click(1);
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-9000000000000000000"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("1000000000000000000"));
    apply();
    EXPECT_EQ(value(1, "UpdatedSeed").toLongLong(), -9000000000000000000LL);
    EXPECT_EQ(value(1, "UpdatedIncrement").toLongLong(), 1000000000000000000LL);
    form->close();

    ASSERT_TRUE(open(QStringLiteral("Neg")));
    click(2);
    click(1);
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-2147483648"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("1"));
    // Typing stays limited to the precision's ten characters, in both boxes.
    type(form->txtIncrement, QStringLiteral("123456789012"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("1234567890"));
    type(form->txtIncrement, QStringLiteral("1"));
    form->txtSeed->setFocus();
    form->txtSeed->end(false);
    QTest::keyClicks(form->txtSeed, QStringLiteral("7"));
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-2147483648"))
        << "a longer text does not grow";
    // Shortened, it takes no more than the ten characters.
    QTest::keyClick(form->txtSeed, Qt::Key_Backspace);
    QTest::keyClicks(form->txtSeed, QStringLiteral("8"));
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-214748364"));
    // A seed typed anew.
    type(form->txtSeed, QStringLiteral("-2147483648"));
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-214748364"));
    // Cancelar shows the loaded values again, whole.
    QTest::mouseClick(form->cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-2147483648"));
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(value(1, "UpdatedSeed").toLongLong(), -2147483648LL);
    EXPECT_EQ(value(1, "UpdatedIncrement").toLongLong(), 1);

    click(2);
    typeType(QStringLiteral("bigint"));
    apply();
    save();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    sql(QStringLiteral("Loja"), QStringLiteral("INSERT INTO Neg (x) VALUES (5)\n"
                                               "INSERT INTO Neg (x) VALUES (6)"));
    EXPECT_EQ(query(QStringLiteral("SELECT Id, x FROM Neg ORDER BY x")),
              (QStringList{QStringLiteral("-2147483648|5"), QStringLiteral("-2147483647|6")}));
}

TEST_F(DesignerTest, SearchShowsTheFoundColumnInTheEditor) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    // An edit left unapplied goes, as with a click on another row.
    type(form->txtColumnName, QStringLiteral("Cliente"));
    QTimer::singleShot(0, [] {
        frmDispStructFind* dlg = frmDispStructFind::Instance();
        ASSERT_TRUE(dlg);
        dlg->txtFind->setText(QStringLiteral("obs"));
        QTest::mouseClick(dlg->cmdProcurar, Qt::LeftButton);
        QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    QTest::mouseClick(form->cmdProcurar, Qt::LeftButton);
    const int obs = row(QStringLiteral("Obs"));
    EXPECT_EQ(list().SelectedIndex(), obs);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Obs"));
    EXPECT_EQ(form->cboDataType->currentText(), QStringLiteral("nvarchar"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("100"));

    type(form->txtLength, QStringLiteral("200"));
    apply();
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_EQ(cell(obs, "Name"), QStringLiteral("Obs"));
    EXPECT_EQ(cell(row(QStringLiteral("Nome")), "Name"), QStringLiteral("Nome"));
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Obs")), QStringLiteral("Obs<@>A<#>"));

    // A search that runs off the end and starts again from the first row shows that row.
    QTimer::singleShot(0, [&choices] {
        frmDispStructFind* dlg = frmDispStructFind::Instance();
        ASSERT_TRUE(dlg);
        dlg->txtFind->setText(QStringLiteral("nada"));
        choices.answer(1);
        QTest::mouseClick(dlg->cmdProcurar, Qt::LeftButton);
    });
    QTest::mouseClick(form->cmdProcurar, Qt::LeftButton);
    EXPECT_EQ(list().SelectedIndex(), 1);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Id"));

    msg.clear();
    save();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    const QStringList columns = serverColumns(QStringLiteral("Pedidos"));
    EXPECT_TRUE(columns.contains(QStringLiteral("Nome|varchar|40|0")))
        << columns.join(u' ').toStdString();
    EXPECT_TRUE(columns.contains(QStringLiteral("Obs|nvarchar|400|1")))
        << columns.join(u' ').toStdString();
    EXPECT_EQ(query(QStringLiteral("EXEC sp_helpindex 'Pedidos'")).filter(QStringLiteral("IX_Obs")),
              QStringList{QStringLiteral("IX_Obs|nonclustered located on PRIMARY|Obs")});
}

TEST_F(DesignerTest, ValueRefusedOnLeavingIsNeverWritten) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    ASSERT_TRUE(open());
    const int nome = row(QStringLiteral("Nome"));
    click(nome);
    const QString range =
        QStringLiteral("O Valor introduzido está fora dos limites aceitáveis!\r(1-8000)");
    // Actualizar: the message, then no apply.
    type(form->txtLength, QStringLiteral("9000"));
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, range);
    EXPECT_EQ(QApplication::focusWidget(), form->txtLength);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("9000"));
    EXPECT_EQ(value(nome, "Length").toInt(), 40);
    // The click on another row, on Gravar or on a check box is not carried out either.
    click(1);
    EXPECT_EQ(msg.count(), 2);
    EXPECT_EQ(list().SelectedIndex(), nome);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Nome"));
    QTest::mouseClick(form->chkAllowNulls, Qt::LeftButton, {},
                      QPoint(8, form->chkAllowNulls->height() / 2));
    EXPECT_EQ(msg.count(), 3);
    EXPECT_FALSE(form->chkAllowNulls->isChecked());
    QTest::mouseClick(form->cmdGravar, Qt::LeftButton);
    EXPECT_EQ(msg.count(), 4);
    EXPECT_TRUE(frmDispStruct::Loaded());
    // Refused on Tab: Actualizar pressed from the keyboard while the focus is back in the box
    // does nothing either.
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 5);
    EXPECT_EQ(msg.last().text, range);
    form->cmdOK->click();
    EXPECT_EQ(msg.count(), 5);
    EXPECT_EQ(value(nome, "Length").toInt(), 40);

    // Mended, the next click goes through.
    type(form->txtLength, QStringLiteral("60"));
    apply();
    EXPECT_EQ(msg.count(), 5);
    EXPECT_EQ(value(nome, "Length").toInt(), 60);
    // A precision refused the same way.
    click(row(QStringLiteral("Valor")));
    type(form->txtPrecision, QStringLiteral("39"));
    apply();
    EXPECT_EQ(msg.count(), 6);
    EXPECT_EQ(value(row(QStringLiteral("Valor")), "Precision").toInt(), 9);
    // Cancelar drops the refused value, as it drops every unapplied edit.
    QTest::mouseClick(form->cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(form->txtPrecision->text(), QStringLiteral("9"));
    EXPECT_EQ(msg.count(), 6) << "leaving towards Cancelar checks nothing";

    save();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    const QStringList columns = serverColumns(QStringLiteral("Pedidos"));
    EXPECT_TRUE(columns.contains(QStringLiteral("Nome|varchar|60|0")))
        << columns.join(u' ').toStdString();
    EXPECT_TRUE(columns.contains(QStringLiteral("Valor|decimal|5|1")))
        << columns.join(u' ').toStdString();
}

TEST_F(DesignerTest, KeyboardMovesKeepUnappliedEdits) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    type(form->txtDescription, QStringLiteral("quem compra"));
    type(form->txtLength, QStringLiteral("70"));
    leaveTo(form->lvwStructure);
    QTest::keyClick(form->lvwStructure, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(cell(4, "Name"), QStringLiteral("Nome"));
    EXPECT_EQ(list().SelectedIndex(), 4);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Nome"));
    EXPECT_EQ(form->txtDescription->text(), QStringLiteral("quem compra"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("70"));
    QTest::keyClick(form->lvwStructure, Qt::Key_U, Qt::ControlModifier);
    QTest::keyClick(form->lvwStructure, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(cell(2, "Name"), QStringLiteral("Nome"));
    EXPECT_EQ(list().SelectedIndex(), 2);
    EXPECT_EQ(form->txtDescription->text(), QStringLiteral("quem compra"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("70"));
    // The buttons do the same.
    QTest::mouseClick(form->cmdDown, Qt::LeftButton);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("70"));
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(value(3, "UpdatedDescription").toString(), QStringLiteral("quem compra"));
    EXPECT_EQ(value(3, "Length").toInt(), 70);

    save();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    const QStringList columns = serverColumns(QStringLiteral("Pedidos"));
    ASSERT_GE(columns.size(), 3);
    EXPECT_EQ(columns.mid(0, 3),
              (QStringList{QStringLiteral("Id|int|4|0"), QStringLiteral("Order Date|datetime|8|1"),
                           QStringLiteral("Nome|varchar|70|0")}));
}

TEST_F(DesignerTest, NewIndexNamesTakeTheTableNameLiterally) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    sql(QStringLiteral("Loja"),
        QStringLiteral("CREATE TABLE [Taxa%1] (a int NOT NULL, b int NULL)\n"
                       "CREATE TABLE [%2 %1] (c int NULL)"));
    QStringList names;
    auto addIndex = [&names] {
        QTimer::singleShot(0, [&names] {
            frmDispStructIndex* dlg = frmDispStructIndex::Current();
            ASSERT_TRUE(dlg);
            dlg->mnuNew->trigger();
            names << dlg->cboIndex->currentText() << dlg->txtIndexName->text();
            dlg->lvwColumns->topLevelItem(0)->setCheckState(0, Qt::Checked);
            QTest::mouseClick(dlg->cmdOk, Qt::LeftButton);
        });
    };
    ASSERT_TRUE(open(QStringLiteral("%2 %1")));
    addIndex();
    QTest::mouseClick(form->cmdIdx, Qt::LeftButton);
    EXPECT_EQ(names, (QStringList{QStringLiteral("IX_%2 %1_2"), QStringLiteral("IX_%2 %1_2")}));
    form->close();

    names.clear();
    ASSERT_TRUE(open(QStringLiteral("Taxa%1")));
    addIndex();
    QTest::mouseClick(form->cmdIdx, Qt::LeftButton);
    EXPECT_EQ(names, (QStringList{QStringLiteral("IX_Taxa%1_2"), QStringLiteral("IX_Taxa%1_2")}));
    save();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_EQ(query(QStringLiteral("EXEC sp_helpindex 'Taxa%1'")),
              QStringList{QStringLiteral("IX_Taxa%1_2|nonclustered located on PRIMARY|a")});
}
