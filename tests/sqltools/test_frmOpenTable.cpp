// The table window: the SELECT it writes, editing rows through the grid, refused edits and
// texts that are not a SELECT.
#include "test_frmOpenTable_Fixture.h"

#include "core/Twips.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

TEST_F(TableWindowTest, OpensWithTheSelectLimitedByNumRegistos) {
    gNumRegistos = 3;
    open(QStringLiteral("Clientes"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Abrir Tabela"));
    EXPECT_EQ(form->lblServer->text(), QStringLiteral("(LOCAL)"));
    EXPECT_EQ(form->lblDatabase->text(), QStringLiteral("Vendas"));
    EXPECT_EQ(form->Server(), server);
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("Select Top 3 * from [Clientes]"));
    EXPECT_FALSE(form->grdGrid->isHidden());
    EXPECT_EQ(form->tabMain->currentIndex(), 0);
    EXPECT_EQ(rows(), 3);
    ASSERT_EQ(model()->columnCount(), 3);
    EXPECT_EQ(header(0), QStringLiteral("Id"));
    EXPECT_EQ(header(2), QStringLiteral("Cidade"));
    EXPECT_EQ(model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("Bruno"));
    EXPECT_EQ(form->txtMsg->toPlainText(), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TableWindowTest, NoLimitReadsEveryRowAndNamesKeepTheirBlanks) {
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE [Linhas de Venda] (N int)\n"
                                                 "INSERT INTO [Linhas de Venda] VALUES (7)"));
    open(QStringLiteral("Clientes"));
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("Select  * from [Clientes]"));
    EXPECT_EQ(rows(), 5);

    // Opening again on another table runs its SELECT in the same window.
    open(QStringLiteral("Linhas de Venda"));
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("Select  * from [Linhas de Venda]"));
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("7"));
}

TEST_F(TableWindowTest, AClosingBracketInATableNameStaysInsideTheName) {
    EXPECT_EQ(frmOpenTable::SelectText(QStringLiteral("a]b"), 10),
              QStringLiteral("Select Top 10 * from [a]]b]"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE [Preços]]x] (N int)\n"
                                                 "INSERT INTO [Preços]]x] VALUES (9)"));
    open(QStringLiteral("Preços]x"));
    EXPECT_FALSE(form->grdGrid->isHidden());
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("9"));
}

TEST_F(TableWindowTest, AnEditedCellReachesTheServer) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    editCell(2, 2, QStringLiteral("Évora"));
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(cell(2, 2), QStringLiteral("Évora"));
    EXPECT_EQ(value(QStringLiteral("SELECT Cidade FROM Clientes WHERE Id = 3")),
              QStringLiteral("Évora"));
    // Other rows are untouched.
    EXPECT_EQ(value(QStringLiteral("SELECT Cidade FROM Clientes WHERE Id = 1")),
              QStringLiteral("Porto"));
}

TEST_F(TableWindowTest, ARefusedEditShowsTheServersTextOnceAndKeepsTheRow) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));

    // A name that another row has: the unique constraint refuses it.
    editCell(1, 1, QStringLiteral("Ana"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_EQ(box.last().title, AppTitle());
    EXPECT_FALSE(box.last().text.isEmpty());
    EXPECT_EQ(cell(1, 1), QStringLiteral("Bruno"));
    EXPECT_EQ(value(QStringLiteral("SELECT Nome FROM Clientes WHERE Id = 2")),
              QStringLiteral("Bruno"));

    // A text where a number goes.
    box.clear();
    editCell(0, 0, QStringLiteral("abc"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Clientes WHERE Id = 1")),
              QStringLiteral("1"));

    // A text longer than the column.
    box.clear();
    editCell(0, 2, QStringLiteral("Lisboa e arredores"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(cell(0, 2), QStringLiteral("Porto"));

    // The grid still writes after refusals.
    box.clear();
    editCell(0, 2, QStringLiteral("Vila"));
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT Cidade FROM Clientes WHERE Id = 1")),
              QStringLiteral("Vila"));
}

TEST_F(TableWindowTest, TextThatIsNotASelectIsRefusedAndNothingRuns) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    const QStringList refused = {
        QStringLiteral("delete from Clientes"),
        QStringLiteral("-- todos\nselect * from Clientes"),
        QStringLiteral("(select * from Clientes)"),
        QStringLiteral("update Clientes set Nome = 'X'"),
        QStringLiteral("exec sp_who"),
    };
    for (const QString& text : refused) {
        box.clear();
        type(text);
        pressF5();
        ASSERT_EQ(box.count(), 1) << text.toStdString();
        EXPECT_EQ(box.last().text, kOnlySelect);
        EXPECT_EQ(box.last().icon(), int(vbCritical));
        EXPECT_EQ(box.last().title, AppTitle());
    }
    // Nothing reached the server and the grid keeps its rows.
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Clientes")), QStringLiteral("5"));
    EXPECT_FALSE(form->grdGrid->isHidden());
    EXPECT_EQ(rows(), 5);

    // Blank text runs nothing and says nothing.
    box.clear();
    type(QStringLiteral("   "));
    pressF5();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(rows(), 5);
}

TEST_F(TableWindowTest, F5RunsTheEditedSelectOrTheSelectedPart) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));

    // Over several lines, after empty lines and blanks, in any case.
    type(QStringLiteral("\n\n   SeLeCt Nome\nfrom Clientes\nwhere Id = 2"));
    pressF5();
    EXPECT_EQ(box.count(), 0);
    ASSERT_EQ(model()->columnCount(), 1);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Bruno"));
    EXPECT_EQ(form->tabMain->currentIndex(), 0);

    // Only the selection runs; the button does as F5.
    type(QStringLiteral("garbage\nselect Id from Clientes where Id > 3"));
    QTextCursor cursor = form->txtQuery->textCursor();
    cursor.setPosition(8);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    form->txtQuery->setTextCursor(cursor);
    QTest::mouseClick(form->cmdExecute, Qt::LeftButton);
    EXPECT_EQ(box.count(), 0);
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(1, 0), QStringLiteral("5"));
}

TEST_F(TableWindowTest, AFailedSelectHidesTheGridAndShowsTheDescription) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    type(QStringLiteral("select * from NaoExiste"));
    pressF5();
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(form->grdGrid->isHidden());
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    const QString text = form->txtMsg->toPlainText();
    EXPECT_TRUE(text.startsWith(u'\n')) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("NaoExiste"))) << text.toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The next run empties the messages and shows the grid again.
    type(QStringLiteral("select Id from Clientes"));
    pressF5();
    EXPECT_EQ(form->txtMsg->toPlainText(), QString());
    EXPECT_FALSE(form->grdGrid->isHidden());
    EXPECT_EQ(form->tabMain->currentIndex(), 0);
    EXPECT_EQ(rows(), 5);
}

TEST_F(TableWindowTest, ADatabaseThatIsNotThereIsReportedUnderMessages) {
    form = frmOpenTable::Default();
    form->ShowForm(server, QStringLiteral("NaoHa"), QStringLiteral("Clientes"));
    EXPECT_TRUE(form->grdGrid->isHidden());
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_GT(form->txtMsg->toPlainText().trimmed().size(), 0);
}

TEST_F(TableWindowTest, ClosingDropsTheWindowAndReopeningStartsAfresh) {
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Produtos (Codigo int)"));
    open(QStringLiteral("Clientes"));
    type(QStringLiteral("select Nome from Clientes"));
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmOpenTable::Loaded());

    open(QStringLiteral("Produtos"));
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("Select  * from [Produtos]"));
    ASSERT_EQ(model()->columnCount(), 1);
    EXPECT_EQ(header(0), QStringLiteral("Codigo"));
    EXPECT_EQ(rows(), 0);
}

TEST_F(TableWindowTest, TheGridLeavesAThousandTwipsUnderItInItsTab) {
    open(QStringLiteral("Clientes"));
    form->resize(TwipsToPixelsX(9630), TwipsToPixelsY(10980));
    const int tabs = int(PixelsToTwipsY(form->tabMain->height()));
    const int grid = int(PixelsToTwipsY(form->grdGrid->height()));
    EXPECT_NEAR(tabs - grid, 1000, 30);
    EXPECT_EQ(form->txtMsg->height(), form->grdGrid->height());

    // The splitter keeps 2000 twips from the top when released.
    QTest::mousePress(form->fraSplit, Qt::LeftButton, {}, QPoint(5, 1));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, -TwipsToPixelsY(2000)),
                     form->fraSplit->mapToGlobal(QPointF(5, -TwipsToPixelsY(2000))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->fraSplit, &move);
    QTest::mouseRelease(form->fraSplit, Qt::LeftButton, {}, QPoint(5, 1));
    EXPECT_EQ(form->SplitTop(), 2000);
}
