// The designer's buttons pressed from the keyboard (access keys, Enter) do what a click does:
// the box being left is checked first.
#include "test_frmDispStruct_Fixture.h"

#include <QElapsedTimer>

namespace {

// Presses Alt+Key where the focus is, and lets an animated click finish.
void pressAlt(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_TRUE(focus);
    QTest::keyClick(focus, key, Qt::AltModifier);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        bool down = false;
        for (QAbstractButton* b : focus->window()->findChildren<QAbstractButton*>())
            down = down || b->isDown();
        if (!down)
            break;
        QTest::qWait(10);
    }
    QCoreApplication::processEvents();
}

void pressEnter(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Return);
    QTest::qWait(150);
    QCoreApplication::processEvents();
}

} // namespace

TEST_F(DesignerTest, AccessKeyAfterATypeTakesTheTypeSizesAsAClickDoes) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    sql(QStringLiteral("Loja"), QStringLiteral("CREATE TABLE Contas (Num int NULL, Nome "
                                               "varchar(40) NULL)\n"
                                               "INSERT INTO Contas VALUES (123456, 'a')"));
    ASSERT_TRUE(open(QStringLiteral("Contas")));
    const int num = row(QStringLiteral("Num"));
    click(num);
    ASSERT_EQ(form->txtLength->text(), QStringLiteral("4"));
    typeType(QStringLiteral("varchar"));
    pressAlt(Qt::Key_Z); // Actuali&zar
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(value(num, "DataType").toString(), QStringLiteral("varchar"));
    EXPECT_EQ(value(num, "Length").toInt(), 50);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("50"));

    save();
    EXPECT_EQ(msg.count(), 0) << msg.last().text.toStdString();
    EXPECT_EQ(choices.count(), 0);
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_EQ(
        serverColumns(QStringLiteral("Contas")),
        (QStringList{QStringLiteral("Num|varchar|50|1"), QStringLiteral("Nome|varchar|40|1")}));
    EXPECT_EQ(query(QStringLiteral("SELECT Num, Nome FROM Contas")),
              QStringList{QStringLiteral("123456|a")});
}

TEST_F(DesignerTest, AccessKeysAndEnterNeverPassARefusedLength) {
    ScriptedMsgBox msg;
    ScriptedListDialog choices;
    ASSERT_TRUE(open());
    const int nome = row(QStringLiteral("Nome"));
    click(nome);
    const QString range =
        QStringLiteral("O Valor introduzido está fora dos limites aceitáveis!\r(1-8000)");
    type(form->txtLength, QStringLiteral("9000"));
    pressAlt(Qt::Key_Z);
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text, range);
    EXPECT_EQ(QApplication::focusWidget(), form->txtLength);
    EXPECT_EQ(value(nome, "Length").toInt(), 40) << "nothing written";
    // Permite Nulos and Nova by their keys: refused the same way.
    pressAlt(Qt::Key_P);
    EXPECT_EQ(msg.count(), 2);
    EXPECT_FALSE(form->chkAllowNulls->isChecked());
    pressAlt(Qt::Key_N);
    EXPECT_EQ(msg.count(), 3);
    EXPECT_FALSE(form->mNewColumnPending);
    EXPECT_EQ(rows(), 8);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("9000"));

    // Mended, Enter on Actualizar applies it, Enter on Gravar saves.
    type(form->txtLength, QStringLiteral("60"));
    leaveTo(form->cmdOK);
    pressEnter(form->cmdOK);
    EXPECT_EQ(msg.count(), 3);
    EXPECT_EQ(value(nome, "Length").toInt(), 60);
    leaveTo(form->cmdGravar);
    pressEnter(form->cmdGravar);
    EXPECT_EQ(msg.count(), 3) << msg.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded()) << "saved";
    EXPECT_TRUE(
        serverColumns(QStringLiteral("Pedidos")).contains(QStringLiteral("Nome|varchar|60|0")));
}
