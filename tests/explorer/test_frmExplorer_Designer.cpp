// The explorer's edit-table and new-table commands open the table designer; the main window's
// table menu works on it; closing it lists the explorer's tables again.
#include "test_WMenu_Fixture.h"

#include "core/ScriptedMsgBox.h"
#include "designer/frmDispStruct.h"
#include "designer/frmDispStructName.h"
#include "dmo/Tables.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace {

class ExplorerDesignerTest : public MainWindowTest {
protected:
    void TearDown() override {
        if (frmDispStruct::Loaded())
            frmDispStruct::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainWindowTest::TearDown();
    }

    frmExplorer* explorer() const { return main->Explorer(); }
    CListViewManager* list() const { return explorer()->mLvw; }
    void pick(const QString& name) {
        const int index = list()->FindItem(QStringLiteral("Nome"), name);
        ASSERT_GT(index, 0) << name.toStdString();
        QTreeWidget* lvw = explorer()->lvwExplorer;
        QTreeWidgetItem* item = list()->Item(index);
        lvw->scrollToItem(item);
        QTest::mouseClick(lvw->viewport(), Qt::LeftButton, {}, lvw->visualItemRect(item).center());
    }
    bool listed(const QString& name) const {
        return list()->FindItem(QStringLiteral("Nome"), name) > 0;
    }

    // The open designer (nullptr when none), made the active window.
    frmDispStruct* designer() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!frmDispStruct::Loaded())
            return nullptr;
        frmDispStruct* form = frmDispStruct::Default();
        QApplication::setActiveWindow(form->window());
        return form;
    }
    QStringList designedColumns(frmDispStruct* form) {
        QStringList names;
        for (int i = 1; i <= form->mStructure->Count(); ++i)
            names << form->mStructure->GetColumnValue(QStringLiteral("Name"), i).toString();
        return names;
    }

    // Runs the new-table command; the name dialog is answered with `name`, or cancelled
    // when it is empty.
    void newTable(const QString& name) {
        nameAsked = false;
        QTimer::singleShot(0, main, [this, name] {
            frmDispStructName* dlg = frmDispStructName::Current();
            nameAsked = dlg != nullptr;
            if (!dlg)
                return;
            if (name.isEmpty()) {
                QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
                return;
            }
            QTest::keyClicks(dlg->txtNome, name);
            QTest::mouseClick(dlg->cmdOk, Qt::LeftButton);
        });
        explorer()->mnuNewTable->trigger();
    }

    void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }

    bool nameAsked = false;
};

} // namespace

TEST_F(ExplorerDesignerTest, EditTableOpensTheDesignerOnTheListedTable) {
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Produtos (Codigo int NOT NULL)"));
    start();
    QAction* command = explorer()->mnuEditTable;
    EXPECT_FALSE(command->isEnabled());
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    pick(QStringLiteral("Clientes"));
    ASSERT_TRUE(command->isEnabled());
    EXPECT_TRUE(main->mnuFerramentas->actions().contains(command));
    command->trigger();

    frmDispStruct* form = designer();
    ASSERT_NE(form, nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->mdiArea(), main->mdiArea);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Estrutura da Tabela [(LOCAL)].[Vendas].[dbo].[Clientes]"));
    EXPECT_EQ(form->mOwner, QStringLiteral("dbo"));
    EXPECT_EQ(designedColumns(form), (QStringList{QStringLiteral("Id"), QStringLiteral("Nome")}));
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Id"));

    // Another table replaces the first one in the same window.
    pick(QStringLiteral("Produtos"));
    command->trigger();
    EXPECT_EQ(designer(), form);
    EXPECT_EQ(designedColumns(form), QStringList{QStringLiteral("Codigo")});
    EXPECT_EQ(main->mdiArea->subWindowList().count(sub), 1);

    // Not with the procedures listed, nor on a database.
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures"));
    EXPECT_FALSE(command->isEnabled());
    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    EXPECT_FALSE(command->isEnabled());
}

TEST_F(ExplorerDesignerTest, EditTableOnATableDroppedMeanwhileSaysSo) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Temporaria (x int)"));
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    pick(QStringLiteral("Temporaria"));
    sql(QStringLiteral("Vendas"), QStringLiteral("DROP TABLE Temporaria"));
    explorer()->mnuEditTable->trigger();
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text,
              QStringLiteral("A Tabela Seleccionada Foi Eliminada da Base de Dados!"));
    EXPECT_EQ(designer(), nullptr);
    // The designer's closing listed the tables again: the dropped one is gone.
    EXPECT_FALSE(listed(QStringLiteral("Temporaria")));
    EXPECT_TRUE(listed(QStringLiteral("Clientes")));
}

TEST_F(ExplorerDesignerTest, NewTableAsksTheNameAndOpensAnEmptyDesign) {
    ScriptedMsgBox box;
    start();
    QAction* command = explorer()->mnuNewTable;
    EXPECT_FALSE(command->isEnabled());
    open(node(QStringLiteral("(LOCAL)")));
    EXPECT_FALSE(command->isEnabled()) << "on the server";
    click(node(QStringLiteral("(LOCAL)\\Databases")));
    EXPECT_FALSE(command->isEnabled());
    click(node(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures")));
    EXPECT_FALSE(command->isEnabled());
    click(node(QStringLiteral("(LOCAL)\\Vendas\\Tables")));
    EXPECT_TRUE(command->isEnabled());
    click(node(QStringLiteral("(LOCAL)\\Vendas")));
    ASSERT_TRUE(command->isEnabled());

    // Cancelled: no window.
    newTable(QString());
    EXPECT_TRUE(nameAsked);
    EXPECT_EQ(designer(), nullptr);
    EXPECT_EQ(main->mdiArea->subWindowList().size(), 1) << "only the explorer";

    newTable(QStringLiteral("Fornecedores"));
    EXPECT_TRUE(nameAsked);
    frmDispStruct* form = designer();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Nova Tabela no Servidor  [(LOCAL)].[Vendas] [Fornecedores]"));
    EXPECT_EQ(form->OpenTable(), QStringLiteral("Fornecedores"));
    EXPECT_EQ(form->mStructure->Count(), 0);
    EXPECT_EQ(box.count(), 0);
}

TEST_F(ExplorerDesignerTest, TableMenuWorksOnTheOpenDesignerOnly) {
    ScriptedMsgBox box;
    start();
    QList<QAction*> items = main->mnuTable->actions();
    ASSERT_EQ(items.size(), 7);
    for (QAction* a : items)
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    // No designer: nothing happens and none is made.
    for (QAction* a : items)
        a->trigger();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(box.count(), 0);

    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    pick(QStringLiteral("Clientes"));
    explorer()->mnuEditTable->trigger();
    frmDispStruct* form = designer();
    ASSERT_NE(form, nullptr);

    // The designer's right button shows the main window's menu.
    QTreeWidgetItem* first = form->mStructure->Item(1);
    QTest::mouseClick(form->lvwStructure->viewport(), Qt::RightButton, {},
                      form->lvwStructure->visualItemRect(first).center());
    EXPECT_TRUE(main->mnuTable->isVisible());
    main->mnuTable->hide();

    main->mnuTableAddColumn->trigger();
    EXPECT_EQ(form->mStructure->Count(), 3);
    EXPECT_TRUE(form->mNewColumnPending);
    QTest::mouseClick(form->cmdCancelar, Qt::LeftButton);
    EXPECT_EQ(form->mStructure->Count(), 2);

    // "Definir Chave Primária" on the selected Id, "Remover Chave Primária" takes it off.
    form->mStructure->SetSelectedItem(1);
    main->mnuTableSetPk->trigger();
    EXPECT_EQ(form->mStructure->GetColumnValue(QStringLiteral("PrimaryKey"), 1).toString(),
              QStringLiteral("1"));
    main->mnuTableRemovePk->trigger();
    EXPECT_EQ(form->mStructure->GetColumnValue(QStringLiteral("PrimaryKey"), 1).toString(),
              QStringLiteral("0"));
    EXPECT_EQ(box.count(), 0);

    // "Índices" on a design without columns refuses with the designer's own message.
    form->mStructure->Clear();
    main->mnuTableIndexes->trigger();
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text,
              QStringLiteral("Não Pode Definir Indíces Enquanto Não Existirem Colunas!"));
    main->mnuTableFind->trigger();
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.last().text, QStringLiteral("Não Existem Colunas Criadas!"));
}

TEST_F(ExplorerDesignerTest, ANewTableDesignedThroughTheMenuIsSavedAndListed) {
    ScriptedMsgBox box;
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    newTable(QStringLiteral("Fornecedores"));
    frmDispStruct* form = designer();
    ASSERT_NE(form, nullptr);

    main->mnuTableAddColumn->trigger();
    ASSERT_EQ(form->mStructure->Count(), 1);
    type(form->txtColumnName, QStringLiteral("Codigo"));
    form->cboDataType->setFocus();
    form->cboDataType->lineEdit()->selectAll();
    QTest::keyClick(form->cboDataType->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(form->cboDataType->lineEdit(), QStringLiteral("int"));
    QTest::mouseClick(form->cmdOK, Qt::LeftButton);
    ASSERT_EQ(box.count(), 0) << box.last().text.toStdString();
    EXPECT_FALSE(form->mNewColumnPending);

    main->mnuTableSave->trigger();
    EXPECT_EQ(box.count(), 0) << box.last().text.toStdString();
    EXPECT_EQ(designer(), nullptr) << "a save closes the designer";
    // The explorer shows the database's tables, the new one among them.
    EXPECT_EQ(tree()->currentItem(), node(QStringLiteral("(LOCAL)\\Vendas\\Tables")));
    EXPECT_TRUE(listed(QStringLiteral("Fornecedores")));
    auto tables = admin.Databases()->Item(QStringLiteral("Vendas"))->Tables();
    tables->Refresh();
    EXPECT_EQ(tables->Item(QStringLiteral("Fornecedores"))->Name(), QStringLiteral("Fornecedores"));
}

TEST_F(ExplorerDesignerTest, ClosingTheDesignerListsTheTablesAgain) {
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    pick(QStringLiteral("Clientes"));
    explorer()->mnuEditTable->trigger();
    frmDispStruct* form = designer();
    ASSERT_NE(form, nullptr);
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Produtos (Codigo int)"));
    EXPECT_FALSE(listed(QStringLiteral("Produtos")));

    // The user closes the document window.
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(sub, nullptr);
    sub->close();
    EXPECT_EQ(designer(), nullptr);
    EXPECT_EQ(main->mdiArea->subWindowList().size(), 1) << "only the explorer is left";
    EXPECT_TRUE(listed(QStringLiteral("Produtos")));

    // The server the designer renewed still serves the explorer and the commands.
    cServer* local = cVarnolt::instance().clsServers().GetServerByName(QStringLiteral("(LOCAL)"));
    ASSERT_NE(local, nullptr);
    EXPECT_TRUE(local->IsConnected());
    pick(QStringLiteral("Produtos"));
    explorer()->mnuEditTable->trigger();
    form = designer();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(designedColumns(form), QStringList{QStringLiteral("Codigo")});
}

TEST_F(ExplorerDesignerTest, ShutdownWithTheDesignerOpenLeavesTheServerDisconnected) {
    ScriptedMsgBox box;
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    pick(QStringLiteral("Clientes"));
    explorer()->mnuEditTable->trigger();
    ASSERT_NE(designer(), nullptr);
    std::shared_ptr<dmo::SQLServer> dmoServer = cVarnolt::instance()
                                                    .clsServers()
                                                    .GetServerByName(QStringLiteral("(LOCAL)"))
                                                    ->SQLDMOServer();
    ASSERT_TRUE(dmoServer->IsConnected());

    ASSERT_TRUE(main->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_FALSE(dmoServer->IsConnected()) << "the designer's renewal came before the shutdown";
    EXPECT_EQ(box.count(), 0);
}
