// The main window: caption, menus, placement, closing, and the grid's copy menu.
#include "test_WMenu_Fixture.h"

#include "controls/ScriptedListDialog.h"
#include "core/Twips.h"
#include "sqltools/QueryGrid.h"

#include <QAction>
#include <QClipboard>
#include <QMdiArea>
#include <QAbstractItemModel>
#include <QTextEdit>

TEST_F(MainWindowTest, CaptionAndPopupMenus) {
    start();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Varnolt ") + QStringLiteral(VARNOLT_VERSION));
    ASSERT_NE(main->mdiArea, nullptr);
    EXPECT_EQ(main->centralWidget(), main->mdiArea);

    QStringList texts;
    for (QAction* a : main->mnuTable->actions()) {
        texts << a->text();
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    }
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("Nova Coluna"),
                           QStringLiteral("Eliminar as Colunas Seleccionadas"),
                           QStringLiteral("Definir Chave Primária"),
                           QStringLiteral("Remover Chave Primária"), QStringLiteral("Índices"),
                           QStringLiteral("Procurar"), QStringLiteral("Gravar")}));
    ASSERT_EQ(main->mnuGrid->actions().size(), 1);
    EXPECT_EQ(main->mnuGrid->actions().front(), main->mnuGridCopiar);
    EXPECT_EQ(main->mnuGridCopiar->text(), QStringLiteral("Copiar"));
    EXPECT_EQ(main->findChild<QMenu*>(QStringLiteral("mnuGrid")), main->mnuGrid);
    // The explorer's commands are in the main window's menu too.
    EXPECT_TRUE(main->mnuFerramentas->actions().contains(main->Explorer()->mnuQuery));
}

TEST_F(MainWindowTest, PlacementIsSavedOnCloseAndRestored) {
    start();
    main->setGeometry(40, 50, 700, 500);
    ASSERT_TRUE(main->close());
    EXPECT_EQ(RegGetString(QStringLiteral("Max")), QStringLiteral("0"));
    EXPECT_EQ(RegGetString(QStringLiteral("WWidth")).toInt(), qRound(PixelsToTwipsX(700)));
    EXPECT_EQ(RegGetString(QStringLiteral("WHeight")).toInt(), qRound(PixelsToTwipsY(500)));
    delete main.data();

    start();
    EXPECT_EQ(main->size(), QSize(700, 500));
    delete main.data();

    RegSetString(QStringLiteral("Max"), QStringLiteral("1"));
    start();
    EXPECT_TRUE(main->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, ClosingAsksWhenConfirmaSaidaIsOneAndDisconnectsTheServers) {
    RegSetString(QStringLiteral("ConfirmaSaida"), QStringLiteral("1"));
    start();
    open(node(QStringLiteral("(LOCAL)")));
    cServer* local = cVarnolt::instance().clsServers().GetServerByName(QStringLiteral("(LOCAL)"));
    ASSERT_TRUE(local && local->IsConnected());

    ScriptedListDialog dialog;
    dialog.choose(QStringLiteral("Não"));
    EXPECT_FALSE(main->close());
    ASSERT_EQ(dialog.count(), 1);
    EXPECT_EQ(dialog.last().caption, QStringLiteral("Quer mesmo Sair?"));
    EXPECT_EQ(dialog.last().items, (QStringList{QStringLiteral("Sim"), QStringLiteral("Não")}));
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(local->IsConnected());

    auto kept = cVarnolt::instance().clsServers().ItemPtr(1);
    dialog.choose(QStringLiteral("Sim"));
    EXPECT_TRUE(main->close());
    EXPECT_FALSE(kept->IsConnected());
    EXPECT_FALSE(cVarnolt::exists());
}

TEST_F(MainWindowTest, ClosingWithoutConfirmationAsksNothing) {
    start();
    ScriptedListDialog dialog;
    EXPECT_TRUE(main->close());
    EXPECT_EQ(dialog.count(), 0);
}

TEST_F(MainWindowTest, TheGridMenuCopiesTheSelectedCells) {
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    main->Explorer()->mnuQuery->trigger();
    ASSERT_TRUE(frmQuery::Loaded());
    frmQuery* form = frmQuery::Default();
    EXPECT_EQ(form->parentWidget()->parentWidget()->parentWidget(), main->mdiArea);

    form->txtQuery->setFocus();
    QTest::keyClicks(form->txtQuery, QStringLiteral("select Id, Nome from Clientes order by Id"));
    QTest::keyClick(form->txtQuery, Qt::Key_F5);
    QueryGrid* grid = form->grdGrid;
    ASSERT_EQ(grid->rowCount(), 2);

    // Select the four cells with the mouse, then right-click: the selection stays.
    QWidget* vp = grid->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 0)).center());
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier,
                      grid->visualRect(grid->model()->index(1, 1)).center());
    QTest::mouseClick(vp, Qt::RightButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
    ASSERT_TRUE(main->mnuGrid->isVisible());
    QTest::mouseClick(main->mnuGrid, Qt::LeftButton, {},
                      main->mnuGrid->actionGeometry(main->mnuGridCopiar).center());
    EXPECT_FALSE(main->mnuGrid->isVisible());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1\tAna\r2\tBartolomeu"));

    // One cell.
    QTest::mouseClick(vp, Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 1)).center());
    main->mnuGridCopiar->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Bartolomeu"));
}
