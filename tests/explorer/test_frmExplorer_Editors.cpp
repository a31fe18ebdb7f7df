// The explorer's open-table and procedure commands: which selection enables them, the windows
// they open, and the procedure list after a save.
#include "test_WMenu_Fixture.h"

#include "core/ScriptedMsgBox.h"
#include "dmo/StoredProcedures.h"
#include "sqltools/frmCreateProcedure.h"
#include "sqltools/frmOpenTable.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>

#include <functional>

namespace {

class ExplorerEditorsTest : public MainWindowTest {
protected:
    void TearDown() override {
        if (frmOpenTable::Loaded())
            frmOpenTable::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainWindowTest::TearDown();
    }

    CListViewManager* list() const { return main->Explorer()->mLvw; }
    // Clicks the listed object of that name.
    void pick(const QString& name) {
        const int index = list()->FindItem(QStringLiteral("Nome"), name);
        ASSERT_GT(index, 0) << name.toStdString();
        QTreeWidget* lvw = main->Explorer()->lvwExplorer;
        QTreeWidgetItem* item = list()->Item(index);
        lvw->scrollToItem(item);
        QTest::mouseClick(lvw->viewport(), Qt::LeftButton, {}, lvw->visualItemRect(item).center());
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 1; i <= list()->Count(); ++i)
            names << list()->GetColumnValue(QStringLiteral("Nome"), i).toString();
        return names;
    }
    // Triggers the command; `user` works the procedure editor once it is shown.
    void runEditor(QAction* command, const std::function<void(frmCreateProcedure&)>& user) {
        editorShown = false;
        QTimer::singleShot(0, main, [&] {
            auto* editor = qobject_cast<frmCreateProcedure*>(QApplication::activeModalWidget());
            editorShown = editor != nullptr;
            if (editor)
                user(*editor);
            if (editor && editor->isVisible())
                editor->close();
        });
        command->trigger();
    }

    bool editorShown = false;
};

} // namespace

TEST_F(ExplorerEditorsTest, OpenTableOpensTheListedTableInADocumentWindow) {
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Produtos (Codigo int)"));
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    QAction* command = main->Explorer()->mnuOpenTable;
    pick(QStringLiteral("Clientes"));
    ASSERT_TRUE(command->isEnabled());
    command->trigger();

    ASSERT_TRUE(frmOpenTable::Loaded());
    frmOpenTable* form = frmOpenTable::Default();
    EXPECT_NE(qobject_cast<QMdiSubWindow*>(form->parentWidget()), nullptr);
    EXPECT_EQ(form->lblDatabase->text(), QStringLiteral("Vendas"));
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("Select  * from [Clientes]"));
    EXPECT_EQ(form->grdGrid->model()->rowCount(), 2);

    // Another table opens in the same window.
    pick(QStringLiteral("Produtos"));
    command->trigger();
    EXPECT_EQ(frmOpenTable::Default(), form);
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("Select  * from [Produtos]"));

    // Not with the procedures listed, nor on a database.
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures"));
    EXPECT_FALSE(command->isEnabled());
    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    EXPECT_FALSE(command->isEnabled());
}

TEST_F(ExplorerEditorsTest, ANewProcedureSavedIsListed) {
    ScriptedMsgBox box;
    start();
    EXPECT_FALSE(main->Explorer()->mnuNewProcedure->isEnabled());
    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    ASSERT_TRUE(main->Explorer()->mnuNewProcedure->isEnabled());
    QString text;
    runEditor(main->Explorer()->mnuNewProcedure, [&](frmCreateProcedure& editor) {
        text = editor.txtQuery->toPlainText();
        QTest::mouseClick(editor.cmdOK, Qt::LeftButton);
    });
    EXPECT_TRUE(editorShown);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Create Procedure NomeProcedimento\n")));
    EXPECT_EQ(box.count(), 0);
    // The procedures folder is shown, listing the new one.
    EXPECT_EQ(tree()->currentItem(), node(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures")));
    EXPECT_TRUE(listed().contains(QStringLiteral("NomeProcedimento")))
        << listed().join(u',').toStdString();

    // Cancelled, nothing is listed again and nothing is made.
    runEditor(main->Explorer()->mnuNewProcedure, [&](frmCreateProcedure& editor) {
        editor.txtQuery->setPlainText(QStringLiteral("Create Procedure Outro AS RETURN"));
        QTest::mouseClick(editor.cmdCancel, Qt::LeftButton);
    });
    EXPECT_TRUE(editorShown);
    EXPECT_FALSE(listed().contains(QStringLiteral("Outro")));
}

TEST_F(ExplorerEditorsTest, EditProcedureAltersTheListedProcedure) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Id FROM Clientes"));
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE PROCEDURE Contar AS\nSELECT COUNT(*) FROM Clientes"));
    ScriptedMsgBox box;
    start();
    QAction* command = main->Explorer()->mnuEditProcedure;
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\Tables"));
    EXPECT_FALSE(command->isEnabled());
    openAndClick(QStringLiteral("(LOCAL)\\Vendas\\StoredProcedures"));
    pick(QStringLiteral("Listar"));
    ASSERT_TRUE(command->isEnabled());
    QString caption;
    runEditor(command, [&](frmCreateProcedure& editor) {
        caption = editor.windowTitle();
        editor.txtQuery->setPlainText(
            QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Nome FROM Clientes"));
        QTest::mouseClick(editor.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(caption, QStringLiteral("Procedimentos [Listar]"));
    // Listed again, the edited procedure still selected.
    EXPECT_EQ(listed(), QStringList({QStringLiteral("Contar"), QStringLiteral("Listar")}));
    EXPECT_EQ(list()->GetColumnValue(QStringLiteral("Nome"), list()->SelectedIndex()).toString(),
              QStringLiteral("Listar"));
    admin.Databases()->Refresh();
    auto procedures = admin.Databases()->Item(QStringLiteral("Vendas"))->StoredProcedures();
    procedures->Refresh();
    EXPECT_TRUE(
        procedures->Item(QStringLiteral("Listar"))->Text().contains(QStringLiteral("SELECT Nome")));
}
