// The explorer: registered servers, connecting, the lists and the query command.
#include "test_WMenu_Fixture.h"

#include "controls/SelOpta.h"
#include "core/MsgBox.h"
#include "core/ScriptedMsgBox.h"
#include "explorer/RegisteredServers.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProcess>
#include <QToolBar>
#include <QToolButton>

TEST_F(MainWindowTest, TheFirstRunRegistersTheEmbeddedServerAsLocal) {
    start();
    EXPECT_EQ(RegGetString(QStringLiteral("(LOCAL)")), QStringLiteral("<@>(LOCAL);1;;"));
    QTreeWidgetItem* local = node(QStringLiteral("(LOCAL)"));
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->text(0), QStringLiteral("(LOCAL)"));
    EXPECT_EQ(cVarnolt::instance().clsServers().Count(), 1);
    EXPECT_TRUE(cVarnolt::instance().clsServers().Item(1).WinAut());
    // Not connected until its node is opened.
    EXPECT_FALSE(cVarnolt::instance().clsServers().Item(1).IsConnected());
    delete main.data();

    // The next run reads it back and registers nothing new.
    start();
    EXPECT_EQ(cVarnolt::instance().clsServers().Count(), 1);
    EXPECT_EQ(RegValueNames().filter(QStringLiteral("(LOCAL)")).size(), 1);
}

TEST_F(MainWindowTest, RecordsReadBackAsWritten) {
    QString name, login, password;
    bool winAut = true;
    ASSERT_TRUE(
        ParseServerRecord(QStringLiteral("<@>SRV\\INST;0;sa;p;w"), name, winAut, login, password));
    EXPECT_EQ(name, QStringLiteral("SRV\\INST"));
    EXPECT_FALSE(winAut);
    EXPECT_EQ(login, QStringLiteral("sa"));
    EXPECT_EQ(password, QStringLiteral("p;w"));
    EXPECT_FALSE(ParseServerRecord(QStringLiteral("1"), name, winAut, login, password));
    EXPECT_FALSE(ParseServerRecord(QStringLiteral("<@>;1;;"), name, winAut, login, password));
    EXPECT_FALSE(ParseServerRecord(QStringLiteral("<@>X;1"), name, winAut, login, password));
}

TEST_F(MainWindowTest, OpeningTheServerConnectsAndShowsItsDatabases) {
    start();
    open(node(QStringLiteral("(LOCAL)")));
    EXPECT_TRUE(cVarnolt::instance().clsServers().Item(1).IsConnected());
    QTreeWidgetItem* dbs = node(QStringLiteral("(LOCAL)\\Databases"));
    ASSERT_NE(dbs, nullptr);
    EXPECT_EQ(dbs->text(0), QStringLiteral("Databases"));
    QStringList names;
    for (int i = 0; i < dbs->childCount(); ++i)
        names << dbs->child(i)->text(0);
    EXPECT_TRUE(names.contains(QStringLiteral("master")));
    EXPECT_TRUE(names.contains(QStringLiteral("Vendas")));
    QTreeWidgetItem* vendas = node(QStringLiteral("(LOCAL)\\Vendas"));
    ASSERT_NE(vendas, nullptr);
    ASSERT_EQ(vendas->childCount(), 2);
    EXPECT_EQ(vendas->child(0)->text(0), QStringLiteral("Tabelas"));
    EXPECT_EQ(vendas->child(1)->text(0), QStringLiteral("Stored Procedures"));
}

TEST_F(MainWindowTest, DatabasesMadeOrDroppedLaterShowWhenTheFolderOpensAgainOrOnRefresh) {
    start();
    open(node(QStringLiteral("(LOCAL)")));
    QTreeWidgetItem* dbs = node(QStringLiteral("(LOCAL)\\Databases"));
    ASSERT_NE(dbs, nullptr);
    QTreeWidgetItem* vendas = node(QStringLiteral("(LOCAL)\\Vendas"));
    ASSERT_NE(vendas, nullptr);
    vendas->setExpanded(true);
    sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Arquivo"));
    sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Bolsa"));
    sql(QStringLiteral("Arquivo"), QStringLiteral("CREATE TABLE Caixas (N int)"));
    EXPECT_EQ(node(QStringLiteral("(LOCAL)\\Arquivo")), nullptr);

    // The user closes the folder and opens it again with the arrow keys.
    click(dbs);
    QTest::keyClick(tree(), Qt::Key_Left);
    ASSERT_FALSE(dbs->isExpanded());
    QTest::keyClick(tree(), Qt::Key_Right);
    EXPECT_TRUE(dbs->isExpanded());
    QTreeWidgetItem* arquivo = node(QStringLiteral("(LOCAL)\\Arquivo"));
    ASSERT_NE(arquivo, nullptr);
    EXPECT_EQ(arquivo->parent(), dbs);
    EXPECT_EQ(arquivo->text(0), QStringLiteral("Arquivo"));
    ASSERT_EQ(arquivo->childCount(), 2);
    // The nodes already there stay as they were.
    EXPECT_EQ(node(QStringLiteral("(LOCAL)\\Vendas")), vendas);
    EXPECT_TRUE(vendas->isExpanded());
    QStringList names;
    for (int i = 0; i < dbs->childCount(); ++i)
        names << dbs->child(i)->text(0);
    EXPECT_EQ(names.count(QStringLiteral("Vendas")), 1);
    EXPECT_EQ(names.count(QStringLiteral("Arquivo")), 1);

    // Its tables list.
    click(node(QStringLiteral("(LOCAL)\\Arquivo\\Tables")));
    EXPECT_GT(main->Explorer()->mLvw->FindItem(QStringLiteral("Nome"), QStringLiteral("Caixas")), 0);

    // Dropped elsewhere: the refresh command on the folder takes it away.
    ASSERT_NE(node(QStringLiteral("(LOCAL)\\Bolsa")), nullptr);
    sql(QStringLiteral("master"), QStringLiteral("DROP DATABASE Bolsa"));
    click(dbs);
    ASSERT_TRUE(main->Explorer()->mnuTablesRefresh->isEnabled());
    main->Explorer()->mnuTablesRefresh->trigger();
    EXPECT_EQ(node(QStringLiteral("(LOCAL)\\Bolsa")), nullptr);
    EXPECT_EQ(node(QStringLiteral("(LOCAL)\\Vendas")), vendas);

    // The refresh command on the server does the same.
    sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Cofre"));
    click(node(QStringLiteral("(LOCAL)")));
    ASSERT_TRUE(main->Explorer()->mnuTablesRefresh->isEnabled());
    main->Explorer()->mnuTablesRefresh->trigger();
    EXPECT_NE(node(QStringLiteral("(LOCAL)\\Cofre")), nullptr);
}

TEST_F(MainWindowTest, AServerThatCannotBeReachedIsReportedAndStaysClosed) {
    RegSetString(QStringLiteral("OUTRA"), QStringLiteral("<@>OUTRA;1;;"));
    start();
    ScriptedMsgBox box;
    QTreeWidgetItem* other = node(QStringLiteral("OUTRA"));
    ASSERT_NE(other, nullptr);
    open(other);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_TRUE(
        box.last().text.startsWith(QStringLiteral("Não foi possível ligar ao servidor OUTRA.")));
    EXPECT_FALSE(other->isExpanded());
}

TEST_F(MainWindowTest, AnInstanceHeldByAnotherProgramIsReportedWithThatProgram) {
    admin.Disconnect(); // this process lets the instance go
    QProcess other;
    other.start(QStringLiteral(INSTANCE_HOLDER), {data.path() + QStringLiteral("/MSSQLSERVER")});
    ASSERT_TRUE(other.waitForReadyRead(30000));
    ASSERT_EQ(other.readLine().trimmed(), QByteArray("ready"));
    start();
    ScriptedMsgBox box;
    QTreeWidgetItem* local = node(QStringLiteral("(LOCAL)"));
    ASSERT_NE(local, nullptr);
    open(local);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_EQ(box.last().text,
              QStringLiteral("Não foi possível ligar ao servidor (LOCAL).\nThe server's data folder %1 is in "
                             "use by another program (instance_holder, process %2). Close that program first.")
                  .arg(data.path() + QStringLiteral("/MSSQLSERVER"), QString::number(other.processId())));
    EXPECT_FALSE(local->isExpanded());
    EXPECT_FALSE(cVarnolt::instance().clsServers().Item(1).IsConnected());

    // once that program has ended, the server opens
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(30000));
    open(local);
    EXPECT_EQ(box.count(), 1);
    EXPECT_TRUE(cVarnolt::instance().clsServers().Item(1).IsConnected());
    EXPECT_NE(node(QStringLiteral("(LOCAL)\\Vendas")), nullptr);
}

TEST_F(MainWindowTest, TablesListNameOwnerKindAndCreationDate) {
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    CListViewManager* list = main->Explorer()->mLvw;
    const int i = list->FindItem(QStringLiteral("Nome"), QStringLiteral("Clientes"));
    ASSERT_GT(i, 0);
    EXPECT_EQ(list->GetColumnValue(QStringLiteral("Dono"), i).toString(), QStringLiteral("dbo"));
    EXPECT_EQ(list->GetColumnValue(QStringLiteral("Tipo"), i).toString(),
              QStringLiteral("Utilizador"));
    EXPECT_FALSE(list->GetColumnValue(QStringLiteral("DataCriacao"), i).toString().isEmpty());
    const int sys = list->FindItem(QStringLiteral("Nome"), QStringLiteral("sysobjects"));
    ASSERT_GT(sys, 0);
    EXPECT_EQ(list->GetColumnValue(QStringLiteral("Tipo"), sys).toString(),
              QStringLiteral("Sistema"));

    // A table made elsewhere shows after the refresh command.
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Produtos (Codigo int)"));
    EXPECT_EQ(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Produtos")), -1);
    main->Explorer()->mnuTablesRefresh_Click();
    EXPECT_GT(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Produtos")), 0);
}

TEST_F(MainWindowTest, ProceduresAreListed) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE PROCEDURE ListaClientes AS SELECT * FROM Clientes"));
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures"));
    CListViewManager* list = main->Explorer()->mLvw;
    const int i = list->FindItem(QStringLiteral("Nome"), QStringLiteral("ListaClientes"));
    ASSERT_GT(i, 0);
    EXPECT_EQ(list->GetColumnValue(QStringLiteral("Dono"), i).toString(), QStringLiteral("dbo"));
    EXPECT_EQ(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Clientes")), -1);
}

TEST_F(MainWindowTest, TheProceduresFolderIsListedAgainByRefreshAndByAnotherClick) {
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures"));
    frmExplorer* explorer = main->Explorer();
    CListViewManager* list = explorer->mLvw;
    EXPECT_EQ(list->Count(), 0);
    // Made elsewhere (the query window): the refresh command lists it.
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Novo AS SELECT 1"));
    ASSERT_TRUE(explorer->mnuTablesRefresh->isEnabled());
    auto* refresh = qobject_cast<QToolButton*>(
        explorer->tbrExplorer->widgetForAction(explorer->mnuTablesRefresh));
    ASSERT_NE(refresh, nullptr);
    QTest::mouseClick(refresh, Qt::LeftButton);
    EXPECT_GT(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Novo")), 0);
    EXPECT_EQ(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Clientes")), -1);
    EXPECT_EQ(tree()->currentItem(), node(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures")));

    // A click on the folder already selected lists it again too.
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Outro AS SELECT 2"));
    click(node(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures")));
    EXPECT_GT(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Outro")), 0);
    EXPECT_EQ(list->Count(), 2);
    // And the tables folder the same way.
    click(node(QStringLiteral("(LOCAL)\\Vendas\\Tables")));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Recente (N int)"));
    click(node(QStringLiteral("(LOCAL)\\Vendas\\Tables")));
    EXPECT_GT(list->FindItem(QStringLiteral("Nome"), QStringLiteral("Recente")), 0);
}

TEST_F(MainWindowTest, TheQueryCommandOpensTheQueryWindowOnTheSelection) {
    start();
    frmExplorer* explorer = main->Explorer();
    EXPECT_FALSE(explorer->mnuQuery->isEnabled()); // the root is selected
    for (QAction* a : {explorer->mnuOpenTable, explorer->mnuEditTable, explorer->mnuNewTable,
                       explorer->mnuNewProcedure, explorer->mnuEditProcedure})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();

    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    ASSERT_TRUE(explorer->mnuQuery->isEnabled());
    auto* button =
        qobject_cast<QToolButton*>(explorer->tbrExplorer->widgetForAction(explorer->mnuQuery));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(frmQuery::Loaded());
    frmQuery* form = frmQuery::Default();
    EXPECT_EQ(form->lblServer->text(), QStringLiteral("(LOCAL)"));
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Vendas"));
    EXPECT_TRUE(form->isVisible());

    // Double-clicking another database brings the same window to it.
    QTreeWidgetItem* master = node(QStringLiteral("(LOCAL)\\master"));
    ASSERT_NE(master, nullptr);
    click(master);
    QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {},
                       tree()->visualItemRect(master).center());
    EXPECT_EQ(frmQuery::Default(), form);
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("master"));
}

TEST_F(MainWindowTest, ClosingTheExplorerOnlyHidesIt) {
    start();
    auto* sub = qobject_cast<QMdiSubWindow*>(main->Explorer()->parentWidget());
    ASSERT_NE(sub, nullptr);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(main->Explorer(), nullptr);
    EXPECT_FALSE(sub->isVisible());
    main->mnuJanelaExplorer->trigger();
    EXPECT_TRUE(main->Explorer()->isVisible());
}
