// The query window's editor, "use " rule, selection, keys, splitter, layout and tabs.
#include "test_frmQuery_Fixture.h"

#include "core/Twips.h"

#include <QClipboard>
#include <QFrame>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTextCursor>

namespace {

// Selects the editor's text from..to with the keyboard (Home, then Shift+Right).
void selectWithKeys(QTextEdit* editor, int from, int to) {
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < from; ++i)
        QTest::keyClick(editor, Qt::Key_Right);
    for (int i = from; i < to; ++i)
        QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier);
}

} // namespace

TEST_F(QueryWindowTest, UseMovesTheSelectorAndTheWholeTextRunsThere) {
    for (const QString& text : {QStringLiteral("use master\nselect db_name() as Base"),
                                QStringLiteral("  use master\nselect db_name() as Base"),
                                QStringLiteral("USE master\nselect db_name() as Base"),
                                QStringLiteral("use master;\nselect db_name() as Base")}) {
        form->eselDatabase->setChave(QStringLiteral("Vendas"));
        type(text);
        pressF5();
        EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("master")) << text.toStdString();
        EXPECT_EQ(cell(0, 0), QStringLiteral("master")) << text.toStdString();
    }
}

TEST_F(QueryWindowTest, UseWithABracketedNameSelectsThatDatabase) {
    sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE [Minha Base]"));
    server->LoadDatabases();
    form->ShowForm(server, QStringLiteral("master"));

    type(QStringLiteral("use [Minha Base]\nselect db_name() as Base"));
    pressF5();
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Minha Base"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("Minha Base"));

    type(QStringLiteral("use [Vendas]\nselect db_name() as Base"));
    pressF5();
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Vendas"));

    // A name that is not in the list leaves the selector on its first entry.
    type(QStringLiteral("use Nenhuma\nselect 1"));
    pressF5();
    EXPECT_EQ(form->eselDatabase->currentIndex(), 0);
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
}

TEST_F(QueryWindowTest, ASelectionRunsAloneAndAnEmptySelectionRunsTheWholeText) {
    const QString first = QStringLiteral("select 'um' as A");
    const QString second = QStringLiteral("select 'dois' as B");
    type(first + u'\n' + second);

    selectWithKeys(form->txtQuery, int(first.size()) + 1, int(first.size() + 1 + second.size()));
    pressF5();
    EXPECT_EQ(header(0), QStringLiteral("B"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("dois"));

    // The caret alone (no selection): the whole text, whose first result set is shown.
    selectWithKeys(form->txtQuery, 3, 3);
    pressF5();
    EXPECT_EQ(header(0), QStringLiteral("A"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("um"));
}

TEST_F(QueryWindowTest, PasteKeysLeaveThePastedTextAndKeyReleasesResetTheColour) {
    QApplication::clipboard()->setText(QStringLiteral("select Nome from Clientes"));
    form->txtQuery->setFocus();
    QTest::keyClick(form->txtQuery, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("select Nome from Clientes"));
    QTest::keyClick(form->txtQuery, Qt::Key_Return);
    QTest::keyClick(form->txtQuery, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(form->txtQuery->toPlainText(),
              QStringLiteral("select Nome from Clientes\nselect Nome from Clientes"));

    form->txtQuery->setTextColor(Qt::red);
    QTest::keyClick(form->txtQuery, Qt::Key_Left);
    EXPECT_EQ(form->txtQuery->textColor(), QApplication::palette().color(QPalette::ButtonText));

    // Key releases leave the undo history to the typing.
    form->txtQuery->clear();
    QTest::keyClicks(form->txtQuery, QStringLiteral("abc"));
    QTest::keyClick(form->txtQuery, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->txtQuery->toPlainText(), QString());
    QTest::keyClicks(form->txtQuery, QStringLiteral("select Nome from Clientes"));

    // The execute button runs as F5 does.
    form->cmdExecute->click();
    EXPECT_EQ(cell(0, 0), QStringLiteral("Ana"));
}

TEST_F(QueryWindowTest, TheSplitterIsClampedWhenReleased) {
    auto drag = [this](int targetTopTwips) {
        QFrame* bar = form->fraSplit;
        const QPoint grip(20, 1);
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        const int dy = TwipsToPixelsY(targetTopTwips) - bar->y();
        QTest::mouseMove(bar, QPoint(grip.x(), dy));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(grip.x(), 0));
    };
    const int H = form->OuterHeightTwips();
    ASSERT_GT(H, 4000);

    drag(500);
    EXPECT_EQ(form->SplitTop(), 2000);
    drag(H + 3000);
    EXPECT_EQ(form->SplitTop(), H - 2000);
    drag(4000);
    EXPECT_NEAR(form->SplitTop(), 4000, 30);

    // The layout follows the splitter.
    EXPECT_NEAR(PixelsToTwipsY(form->txtQuery->height()), form->SplitTop() - 750, 30);
    EXPECT_NEAR(PixelsToTwipsY(form->tabMain->y()), form->SplitTop() + 75, 30);
    EXPECT_NEAR(PixelsToTwipsY(form->tabMain->height()), H - (form->SplitTop() + 75) - 1300, 30);
    EXPECT_EQ(form->txtMsg->geometry(), form->grdGrid->geometry());
    EXPECT_EQ(form->fraSplit->width(), form->txtQuery->width());

    // In a window shorter than 4000 twips the top stays at 2000.
    form->resize(form->width(), TwipsToPixelsY(3000));
    QCoreApplication::processEvents();
    drag(2600);
    EXPECT_EQ(form->SplitTop(), 2000);

    // A move with the right button does nothing.
    const int before = form->SplitTop();
    QTest::mousePress(form->fraSplit, Qt::RightButton, {}, QPoint(20, 1));
    QTest::mouseMove(form->fraSplit, QPoint(20, 40));
    QTest::mouseRelease(form->fraSplit, Qt::RightButton, {}, QPoint(20, 40));
    EXPECT_EQ(form->SplitTop(), before);
}

TEST_F(QueryWindowTest, TheLayoutFollowsTheWindowSize) {
    QWidget* outer = form->parentWidget() && qobject_cast<QMdiSubWindow*>(form->parentWidget())
                         ? form->parentWidget()
                         : form;
    outer->resize(900, 700);
    QCoreApplication::processEvents();
    const int W = form->OuterWidthTwips();
    EXPECT_NEAR(PixelsToTwipsX(form->txtQuery->width()), W - 120, 30);
    EXPECT_NEAR(PixelsToTwipsX(form->tabMain->width()), W - 120, 30);
    EXPECT_NEAR(PixelsToTwipsX(form->grdGrid->width()),
                PixelsToTwipsX(form->tabMain->width()) - 240, 30);
    // Too short: the heights that would be negative keep their last value, widths follow.
    const int tabsHeight = form->tabMain->height();
    const int gridHeight = form->grdGrid->height();
    outer->resize(300, 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->tabMain->height(), tabsHeight);
    EXPECT_EQ(form->grdGrid->height(), gridHeight);
    EXPECT_NEAR(PixelsToTwipsX(form->txtQuery->width()), form->OuterWidthTwips() - 120, 30);
}

TEST_F(QueryWindowTest, ClickingATabGivesItsControlTheFocus) {
    type(QStringLiteral("select Id from Clientes"));
    pressF5();
    ASSERT_EQ(form->tabMain->currentIndex(), 0);
    QTabBar* bar = form->tabMain->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_TRUE(form->txtMsg->hasFocus());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_TRUE(form->grdGrid->hasFocus());
}
