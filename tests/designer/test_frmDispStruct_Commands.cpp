// The designer's commands on the column list: remove, primary key, indexes and search.
#include "test_frmDispStruct_Fixture.h"

#include "designer/M_MainMod.h"
#include "designer/frmDispStructFind.h"
#include "designer/frmDispStructIndex.h"

#include <QTimer>

TEST_F(DesignerTest, RemoveColumnsAsksAndTakesThemOutOfTheIndexes) {
    ScriptedMsgBox msg;
    ScriptedListDialog choice;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    choice.choose(QStringLiteral("Não"));
    QTest::mouseClick(form->cmdEliminar, Qt::LeftButton);
    ASSERT_EQ(choice.count(), 1);
    EXPECT_EQ(choice.last().caption, QStringLiteral("Pretende Eliminar?"));
    EXPECT_EQ(choice.last().items, (QStringList{QStringLiteral("Não"), QStringLiteral("Sim")}));
    EXPECT_EQ(rows(), 8);
    choice.answer(0); // cancelled
    form->RemoveColumns();
    EXPECT_EQ(rows(), 8);

    choice.choose(QStringLiteral("Sim"));
    form->RemoveColumns();
    EXPECT_EQ(rows(), 7);
    EXPECT_EQ(row(QStringLiteral("Nome")), -1);
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Nome")), QStringLiteral("Order Date<@>D<#>"));
    EXPECT_FALSE(entryDeleted(QStringLiteral("IX_Nome")));
    // The bracketed column leaves the lists under its bare name; the index is emptied.
    click(row(QStringLiteral("[Order Date]")));
    choice.choose(QStringLiteral("Sim"));
    form->RemoveColumns();
    EXPECT_EQ(rows(), 6);
    EXPECT_TRUE(entryDeleted(QStringLiteral("IX_Nome")));
    EXPECT_EQ(msg.count(), 0);
    // The editor follows the selected row.
    EXPECT_EQ(form->txtColumnName->text(),
              M_MainMod::StripBrackets(cell(list().SelectedIndex(), "Name")));
}

TEST_F(DesignerTest, RemoveColumnsOnAnEmptyListDoesNothing) {
    ScriptedListDialog choice;
    ASSERT_TRUE(open());
    list().Clear();
    form->RemoveColumns();
    EXPECT_EQ(choice.count(), 0);
}

TEST_F(DesignerTest, SetPkTakesTheSelectionWithoutNulls) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    const int nome = row(QStringLiteral("Nome"));
    const int valor = row(QStringLiteral("Valor"));
    list().SetItemSelected(1, false);
    list().SetItemSelected(nome, true);
    list().SetItemSelected(valor, true);
    QTest::mouseClick(form->cmdPK, Qt::LeftButton);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Na selecção existem colunas que permitem valores nulos.\r"
                             "Chaves Primárias não podem ser definidas em colunas que permitam "
                             "valores nulos."));
    EXPECT_EQ(msg.last().icon(), vbExclamation);
    EXPECT_EQ(value(nome, "PrimaryKey").toString(), QStringLiteral("1"));
    EXPECT_TRUE(hasKeyIcon(nome));
    EXPECT_EQ(value(valor, "PrimaryKey").toString(), QStringLiteral("0")) << "kept as it was";
    EXPECT_EQ(value(1, "PrimaryKey").toString(), QStringLiteral("0")) << "left the key";
    EXPECT_FALSE(hasKeyIcon(1));

    // Nothing selected: every mark cleared, no message.
    msg.clear();
    for (int i = 1; i <= rows(); ++i)
        list().SetItemSelected(i, false);
    form->SetPk();
    EXPECT_EQ(msg.count(), 0);
    for (int i = 1; i <= rows(); ++i)
        EXPECT_EQ(value(i, "PrimaryKey").toString(), QStringLiteral("0"));
}

TEST_F(DesignerTest, RemovePkClearsEveryMarkOnly) {
    ASSERT_TRUE(open());
    QTest::mouseClick(form->cmdRemovePK, Qt::LeftButton);
    for (int i = 1; i <= rows(); ++i) {
        EXPECT_EQ(value(i, "PrimaryKey").toString(), QStringLiteral("0"));
        EXPECT_FALSE(hasKeyIcon(i));
    }
    EXPECT_TRUE(form->mIndexes->FindIDX(QStringLiteral("PK_Pedidos"))->IndexIsPK());
    EXPECT_EQ(QApplication::focusWidget(), form->lvwStructure);
}

TEST_F(DesignerTest, IndexesAndSearchNeedColumns) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    list().Clear();
    QTest::mouseClick(form->cmdIdx, Qt::LeftButton);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Não Pode Definir Indíces Enquanto Não Existirem Colunas!"));
    EXPECT_EQ(msg.last().icon(), vbExclamation);
    EXPECT_EQ(msg.last().title, QStringLiteral("Atenção:"));
    QTest::mouseClick(form->cmdProcurar, Qt::LeftButton);
    ASSERT_EQ(msg.count(), 2);
    EXPECT_EQ(msg.last().text, QStringLiteral("Não Existem Colunas Criadas!"));
    EXPECT_EQ(msg.last().icon(), vbInformation);
    EXPECT_EQ(msg.last().title, AppTitle());
    EXPECT_EQ(QApplication::focusWidget(), form->lvwStructure);
}

TEST_F(DesignerTest, IndexButtonOpensTheIndexEditorOnTheDesign) {
    ASSERT_TRUE(open());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        frmDispStructIndex* dlg = frmDispStructIndex::Current();
        shown = dlg != nullptr;
        if (dlg)
            QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    QTest::mouseClick(form->cmdIdx, Qt::LeftButton);
    EXPECT_TRUE(shown);
    EXPECT_EQ(form->mIndexes->Count(), 3) << "cancelled: the model is as loaded";
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Nome")),
              QStringLiteral("Nome<@>A<#>Order Date<@>D<#>"));
    EXPECT_EQ(form->focusWidget(), form->lvwStructure);
}

TEST_F(DesignerTest, SearchButtonOpensTheSearchWindowAndClosingUnloadsIt) {
    ASSERT_TRUE(open());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        frmDispStructFind* dlg = frmDispStructFind::Instance();
        shown = dlg != nullptr && dlg->isVisible();
        if (dlg)
            QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    QTest::mouseClick(form->cmdProcurar, Qt::LeftButton);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(frmDispStructFind::Loaded()) << "hidden, kept for the next search";
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStructFind::Loaded());
}

TEST_F(DesignerTest, RenameTouchesOnlyTheExactKeyColumn) {
    ScriptedMsgBox msg;
    sql(QStringLiteral("Loja"),
        QStringLiteral("CREATE TABLE T2 (a int NOT NULL, ab int NULL, b int NULL)\n"
                       "CREATE INDEX IX_ab ON T2 (a, b DESC)\n"
                       "CREATE INDEX IX_ab2 ON T2 (ab)"));
    ASSERT_TRUE(open(QStringLiteral("T2")));
    click(1);
    type(form->txtColumnName, QStringLiteral("x"));
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(entryColumns(QStringLiteral("IX_ab")), QStringLiteral("x<@>A<#>b<@>D<#>"));
    EXPECT_EQ(entryColumns(QStringLiteral("IX_ab2")), QStringLiteral("ab<@>A<#>"));
    EXPECT_EQ(form->mIndexes->FindIDX(QStringLiteral("IX_ab"))->Old_IndexColumns(),
              QStringLiteral("a<@>A<#>b<@>D<#>"));
    // Applying a column unchanged keeps its name and its index lists.
    click(2);
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(cell(2, "Name"), QStringLiteral("ab"));
    EXPECT_EQ(entryColumns(QStringLiteral("IX_ab2")), QStringLiteral("ab<@>A<#>"));
}

TEST_F(DesignerTest, BoxesSelectTheirTextOnFocus) {
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    form->txtLength->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(form->txtLength->selectedText(), QStringLiteral("40"));
    form->txtColumnName->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(form->txtColumnName->selectedText(), QStringLiteral("Nome"));
}
