// The designer's column editor: rules per type, leave checks, the apply and the cancel.
#include "test_frmDispStruct_Fixture.h"

#include "designer/frmDispCollation.h"

#include <QMenu>
#include <QTimer>

namespace {

bool enabled(QWidget* w) {
    return w->isEnabled();
}

} // namespace

TEST_F(DesignerTest, TypeChangeEnablesTheControlsOfTheType) {
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    EXPECT_TRUE(enabled(form->txtLength));
    EXPECT_FALSE(enabled(form->chkIdentity));
    typeType(QStringLiteral("int"));
    EXPECT_FALSE(enabled(form->txtLength));
    EXPECT_FALSE(enabled(form->txtPrecision));
    EXPECT_TRUE(enabled(form->chkIdentity));
    EXPECT_FALSE(enabled(form->txtCollation));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("40")) << "an existing column keeps sizes";
    typeType(QStringLiteral("decimal"));
    EXPECT_TRUE(enabled(form->txtPrecision));
    EXPECT_TRUE(enabled(form->txtScale));
    EXPECT_TRUE(enabled(form->chkIdentity));
    typeType(QStringLiteral("uniqueidentifier"));
    EXPECT_TRUE(enabled(form->chkUniqueIdentifier));
    EXPECT_FALSE(enabled(form->chkIdentity));
    typeType(QStringLiteral("timestamp"));
    EXPECT_FALSE(enabled(form->cboDefault));
}

TEST_F(DesignerTest, LeavingTheTypeBoxWithANewTypeStartsFromItsSizes) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    // Passing through the box without changing the type keeps the length.
    form->cboDataType->setFocus();
    leaveTo(form->txtDescription);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("40"));
    typeType(QStringLiteral("nvarchar"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("50"));
    EXPECT_EQ(msg.count(), 0);
    // A type that is not in the list.
    typeType(QStringLiteral("varchr"));
    leaveTo(form->txtDescription);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, QStringLiteral("A Sua selecção tem que se encontrar na lista!"));
    EXPECT_EQ(msg.last().icon(), vbExclamation);
    EXPECT_EQ(msg.last().title, AppTitle());
    EXPECT_TRUE(form->cboDataType->hasFocus());
}

TEST_F(DesignerTest, LengthPrecisionAndScaleAreCheckedOnLeaving) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    const QString range = QStringLiteral("O Valor introduzido está fora dos limites aceitáveis!");
    type(form->txtLength, QStringLiteral("8001"));
    leaveTo(form->txtDescription);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, range + QStringLiteral("\r(1-8000)"));
    EXPECT_EQ(msg.last().icon(), vbExclamation);
    EXPECT_EQ(QApplication::focusWidget(), form->txtLength);
    type(form->txtLength, QStringLiteral("0"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.last().text, range + QStringLiteral("\r(1-8000)"));
    type(form->txtLength, QStringLiteral("12a"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Um ou mais caracteres introduzidos não são válidos!"));
    type(form->txtLength, QStringLiteral("99999"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.last().text, range + QStringLiteral("\r(1-8000)"));
    msg.clear();
    type(form->txtLength, QStringLiteral("8000"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 0);

    click(row(QStringLiteral("Obs")));
    type(form->txtLength, QStringLiteral("4001"));
    leaveTo(form->txtDescription);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, range + QStringLiteral("\r(1-4000)"));
    type(form->txtLength, QStringLiteral("100"));

    msg.clear();
    click(row(QStringLiteral("Valor")));
    type(form->txtPrecision, QStringLiteral("39"));
    leaveTo(form->txtDescription);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, range);
    EXPECT_EQ(QApplication::focusWidget(), form->txtPrecision);
    type(form->txtPrecision, QString());
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 2) << "an empty precision is outside 1-38";
    type(form->txtPrecision, QStringLiteral("10"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 2);
    type(form->txtScale, QStringLiteral("19"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 3);
    EXPECT_EQ(msg.last().text, range);
    EXPECT_EQ(QApplication::focusWidget(), form->txtScale);
    type(form->txtScale, QStringLiteral("40000"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 4);
    type(form->txtScale, QString());
    leaveTo(form->txtDescription);
    type(form->txtScale, QStringLiteral("0"));
    leaveTo(form->txtDescription);
    EXPECT_EQ(msg.count(), 4) << "an empty scale and scale 0 are accepted";
}

TEST_F(DesignerTest, IdentityAndNullsExcludeEachOther) {
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Qtd")));
    EXPECT_TRUE(form->chkAllowNulls->isChecked());
    QTest::mouseClick(form->chkIdentity, Qt::LeftButton);
    EXPECT_TRUE(form->chkIdentity->isChecked());
    EXPECT_FALSE(form->chkAllowNulls->isChecked());
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("1"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->txtSeed->isEnabled());
    QTest::mouseClick(form->chkAllowNulls, Qt::LeftButton);
    EXPECT_FALSE(form->chkIdentity->isChecked());
    EXPECT_FALSE(form->txtSeed->isEnabled());
    // The precision resets seed and increment and limits them.
    QTest::mouseClick(form->chkIdentity, Qt::LeftButton);
    type(form->txtSeed, QStringLiteral("123"));
    form->txtPrecision->setText(QStringLiteral("2"));
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("1"));
    type(form->txtSeed, QStringLiteral("123"));
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("12"));
    type(form->txtIncrement, QStringLiteral("456"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("45"));
}

TEST_F(DesignerTest, ApplyRefusesWithTheExactMessages) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    const int nome = row(QStringLiteral("Nome"));
    click(nome);
    type(form->txtColumnName, QStringLiteral("   "));
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, QStringLiteral("Não Pode Continuar Sem Indicar o Nome!"));
    EXPECT_EQ(msg.last().icon(), vbExclamation);
    EXPECT_EQ(msg.last().title, AppTitle());
    EXPECT_EQ(QApplication::focusWidget(), form->txtColumnName);

    // Renaming to another column's name, any case.
    type(form->txtColumnName, QStringLiteral(" QTD "));
    apply();
    EXPECT_EQ(msg.last().text, QStringLiteral("Não Podem Existir Nomes de Colunas Duplicados!"));
    EXPECT_EQ(msg.last().title, QStringLiteral("Atenção:"));
    EXPECT_EQ(QApplication::focusWidget(), form->txtColumnName);
    EXPECT_EQ(value(nome, "Name").toString(), QStringLiteral("Nome")) << "nothing written";

    // A misspelt type.
    type(form->txtColumnName, QStringLiteral("Nome"));
    typeType(QStringLiteral("varchr"));
    msg.clear();
    form->cmdOK_Click(); // as Alt+Z would, without leaving the box first
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, QStringLiteral("A Sua selecção tem que se encontrar na lista!"));
    EXPECT_TRUE(form->cboDataType->hasFocus());

    // A varchar without a length.
    typeType(QStringLiteral("varchar"));
    form->txtLength->setText(QStringLiteral("0"));
    msg.clear();
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Não Pode Introduzir Colunas Deste Tipo Sem Indicar o Comprimento!"));
    EXPECT_EQ(QApplication::focusWidget(), form->txtLength);

    // A decimal without a precision (the length mended first: a click that leaves a box
    // holding a refused value is not carried out).
    type(form->txtLength, QStringLiteral("40"));
    click(row(QStringLiteral("Valor")));
    form->txtPrecision->setText(QStringLiteral("0"));
    msg.clear();
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Não Pode Introduzir Colunas Deste Tipo Sem Indicar a Precisão!"));
    EXPECT_EQ(QApplication::focusWidget(), form->txtPrecision);

    // A second identity column.
    type(form->txtPrecision, QStringLiteral("9"));
    click(row(QStringLiteral("Qtd")));
    QTest::mouseClick(form->chkIdentity, Qt::LeftButton);
    ASSERT_TRUE(form->chkIdentity->isChecked()) << "an int row shown after a decimal one";
    msg.clear();
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Não Pode Especificar Mais Que Uma Coluna de Identidade por Tabela!"));
    EXPECT_EQ(msg.last().title, QStringLiteral("Atenção:"));
    EXPECT_EQ(QApplication::focusWidget(), form->chkIdentity);

    // The identity column itself without an increment; then re-applied as it was.
    click(1);
    form->txtIncrement->setText(QStringLiteral("0"));
    msg.clear();
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("Não Pode Criar uma Coluna ID Sem Indicar o Incremento!"));
    EXPECT_EQ(QApplication::focusWidget(), form->txtIncrement);
    click(1);
    msg.clear();
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(value(1, "UpdatedIdentity").toInt(), 1);
}

TEST_F(DesignerTest, ApplyWritesTheColumnAndRenamesItInTheIndexes) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    const int nome = row(QStringLiteral("Nome"));
    click(nome);
    type(form->txtColumnName, QStringLiteral("Nome Cliente"));
    typeType(QStringLiteral("Varchar"));
    type(form->txtLength, QStringLiteral("60"));
    type(form->txtDescription, QStringLiteral("quem compra"));
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(cell(nome, "Name"), QStringLiteral("[Nome Cliente]"));
    EXPECT_EQ(cell(nome, "DataType"), QStringLiteral("varchar"));
    EXPECT_EQ(cell(nome, "Length"), QStringLiteral("60"));
    EXPECT_EQ(value(nome, "UpdatedDescription").toString(), QStringLiteral("quem compra"));
    EXPECT_EQ(value(nome, "OriginalName").toString(), QStringLiteral("Nome"));
    EXPECT_EQ(form->cboDataType->currentText(), QStringLiteral("varchar"));
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Nome")),
              QStringLiteral("Nome Cliente<@>A<#>Order Date<@>D<#>"));
    // The editor shows the row as written; applying again keeps one pair of brackets.
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Nome Cliente"));
    apply();
    EXPECT_EQ(cell(nome, "Name"), QStringLiteral("[Nome Cliente]"));

    // An apostrophe becomes a grave accent.
    click(row(QStringLiteral("Qtd")));
    type(form->txtColumnName, QStringLiteral("Qtd'x"));
    apply();
    EXPECT_EQ(cell(row(QStringLiteral("Qtd`x")), "Name"), QStringLiteral("Qtd`x"));
}

TEST_F(DesignerTest, TextColumnLeavesEveryIndex) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Obs")));
    typeType(QStringLiteral("ntext"));
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Obs")), QString());
    EXPECT_TRUE(entryDeleted(QStringLiteral("IX_Obs")));
    EXPECT_FALSE(entryDeleted(QStringLiteral("IX_Nome")));
    click(row(QStringLiteral("Nome")));
    typeType(QStringLiteral("text"));
    apply();
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Nome")), QStringLiteral("Order Date<@>D<#>"));
    EXPECT_FALSE(entryDeleted(QStringLiteral("IX_Nome")));
}

TEST_F(DesignerTest, NewColumnStartsAsACopyAndCancelDropsIt) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    QTest::mouseClick(form->cmdNova, Qt::LeftButton);
    EXPECT_TRUE(form->mNewColumnPending);
    EXPECT_FALSE(form->fraBotoes->isEnabled());
    EXPECT_FALSE(form->cmdGravar->isEnabled());
    ASSERT_EQ(rows(), 9);
    EXPECT_EQ(value(9, "NewColumn").toInt(), 1);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Nome")) << "the editor kept its column";
    EXPECT_EQ(QApplication::focusWidget(), form->txtColumnName);
    // A click on another row returns to the new one.
    click(2);
    EXPECT_EQ(list().SelectedIndex(), 9);
    // Applying at once is a duplicate name.
    apply();
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, QStringLiteral("Não Podem Existir Nomes de Colunas Duplicados!"));
    EXPECT_TRUE(form->mNewColumnPending);
    // Cancel: the empty row goes, the editor shows the selected row again.
    QTest::mouseClick(form->cmdCancelar, Qt::LeftButton);
    EXPECT_FALSE(form->mNewColumnPending);
    EXPECT_EQ(rows(), 8);
    EXPECT_TRUE(form->fraBotoes->isEnabled());
    EXPECT_EQ(form->txtColumnName->text(), cell(list().SelectedIndex(), "Name"));
}

TEST_F(DesignerTest, NewColumnTypedAndApplied) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    form->AddColumn();
    form->AddColumn(); // a second click does nothing
    ASSERT_EQ(rows(), 9);
    type(form->txtColumnName, QStringLiteral("Cidade"));
    typeType(QStringLiteral("NVarchar"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("50"))
        << "a new column takes the type's sizes";
    type(form->txtLength, QStringLiteral("80"));
    apply();
    EXPECT_EQ(msg.count(), 0);
    EXPECT_FALSE(form->mNewColumnPending);
    EXPECT_EQ(cell(9, "Name"), QStringLiteral("Cidade"));
    EXPECT_EQ(cell(9, "DataType"), QStringLiteral("nvarchar"));
    EXPECT_EQ(cell(9, "Length"), QStringLiteral("80")) << "the apply kept the typed length";
    EXPECT_EQ(value(9, "NewColumn").toInt(), 1);
    EXPECT_EQ(cell(9, "AllowNulls"), QString()) << "copied from Nome";
    EXPECT_EQ(entryColumns(QStringLiteral("IX_Nome")),
              QStringLiteral("Nome<@>A<#>Order Date<@>D<#>"));
}

TEST_F(DesignerTest, PendingRowWithTheListActiveIsStillChecked) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    form->AddColumn();
    type(form->txtColumnName, QString());
    form->lvwStructure->setFocus();
    form->cmdOK_Click();
    EXPECT_EQ(msg.count(), 1);
    EXPECT_TRUE(form->mNewColumnPending) << "a row is never left pending without a name";
}

TEST_F(DesignerTest, MovesKeepTheEditorOnTheMovedColumn) {
    ASSERT_TRUE(open());
    click(2);
    QTest::keyClick(form->lvwStructure, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(cell(3, "Name"), QStringLiteral("[Order Date]"));
    EXPECT_EQ(cell(2, "Name"), QStringLiteral("Nome"));
    EXPECT_EQ(list().SelectedIndex(), 3);
    EXPECT_EQ(list().SelectedIndexes(), QList<int>{3});
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Order Date"));
    click(1);
    QTest::keyClick(form->lvwStructure, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(cell(1, "Name"), QStringLiteral("Id"));
    EXPECT_EQ(list().SelectedIndex(), 1);
    click(8);
    QTest::mouseClick(form->cmdDown, Qt::LeftButton);
    EXPECT_EQ(cell(8, "Name"), QStringLiteral("Obs"));
    QTest::mouseClick(form->cmdUp, Qt::LeftButton);
    EXPECT_EQ(cell(7, "Name"), QStringLiteral("Obs"));
    EXPECT_EQ(list().SelectedIndex(), 7);
}

TEST_F(DesignerTest, RightButtonShowsTheTableMenuUnlessARowIsPending) {
    QWidget main;
    main.setObjectName(QStringLiteral("WMenu"));
    auto* menu = new QMenu(&main);
    menu->setObjectName(QStringLiteral("mnuTable"));
    menu->addAction(QStringLiteral("Nova Coluna"));
    ASSERT_TRUE(open());
    const QPoint at = form->lvwStructure->visualItemRect(list().Item(1)).center();
    form->AddColumn();
    QTest::mouseClick(form->lvwStructure->viewport(), Qt::RightButton, {}, at);
    EXPECT_FALSE(menu->isVisible());
    form->cmdCancelar_Click();
    QTest::mouseClick(form->lvwStructure->viewport(), Qt::RightButton, {}, at);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(DesignerTest, CollationButtonOpensOnTheDatabaseCollation) {
    ASSERT_TRUE(open());
    click(row(QStringLiteral("Nome")));
    form->txtCollation->clear();
    list().SetColumnValue(QStringLiteral("UpdatedCollation"), QString());
    QString shown;
    QTimer::singleShot(0, [] {
        frmDispCollation* dlg = frmDispCollation::Current();
        ASSERT_TRUE(dlg);
        QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    QTest::mouseClick(form->cmdPesqCollation, Qt::LeftButton);
    EXPECT_EQ(form->txtCollation->text(), form->mDatabaseCollation);
    EXPECT_FALSE(form->mDatabaseCollation.isEmpty());
    EXPECT_EQ(form->focusWidget(), form->txtCollation);
}

TEST_F(DesignerTest, CancelDropsUnappliedEditsOnly) {
    ScriptedMsgBox msg;
    ASSERT_TRUE(open());
    const int nome = row(QStringLiteral("Nome"));
    click(nome);
    type(form->txtColumnName, QStringLiteral("Outro"));
    type(form->txtLength, QStringLiteral("70"));
    QTest::mouseClick(form->cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Nome"));
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("40"));
    EXPECT_EQ(rows(), 8);
    EXPECT_EQ(value(nome, "Length").toInt(), 40);
    EXPECT_EQ(msg.count(), 0);
}
