// Database names holding the key/text list's separators, through the explorer and the query
// window's database selector.
#include "test_WMenu_Fixture.h"

#include "controls/SelOpta.h"
#include "sqltools/QueryGrid.h"

#include <QAction>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace {

class OddDatabaseNamesTest : public MainWindowTest {
protected:
    void TearDown() override {
        if (frmQuery::Loaded())
            frmQuery::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainWindowTest::TearDown();
    }

    // Runs the text in the query window with F5 and gives the first cell of the result.
    QString run(frmQuery* form, const QString& text) {
        form->txtQuery->setFocus();
        form->txtQuery->selectAll();
        QTest::keyClicks(form->txtQuery, text);
        QTest::keyClick(form->txtQuery, Qt::Key_F5);
        return form->grdGrid->text(0, 0);
    }

    // Moves the selector to the entry showing that text with the arrow keys, as the user does.
    static void choose(SelOpta* selector, const QString& text) {
        selector->setFocus();
        QTest::keyClick(selector, Qt::Key_Home);
        for (int i = 0; i < selector->count() && selector->currentText() != text; ++i)
            QTest::keyClick(selector, Qt::Key_Down);
    }
};

} // namespace

TEST_F(OddDatabaseNamesTest, NamesWithColonSemicolonAndBackslashStayWhole) {
    const QStringList names = {QStringLiteral("Loja:Sul"), QStringLiteral("Loja;Norte"),
                               QStringLiteral("Loja\\:Oeste;")};
    for (const QString& name : names) {
        sql(QStringLiteral("master"),
            QStringLiteral("CREATE DATABASE [") + name + QLatin1Char(']'));
        sql(name, QStringLiteral("CREATE TABLE Caixa (Loja sysname)\n"
                                 "INSERT INTO Caixa VALUES (DB_NAME())"));
    }
    start();
    open(node(QStringLiteral("(LOCAL)")));
    QTreeWidgetItem* dbs = node(QStringLiteral("(LOCAL)\\Databases"));
    ASSERT_NE(dbs, nullptr);
    QStringList shown;
    for (int i = 0; i < dbs->childCount(); ++i)
        shown << dbs->child(i)->text(0);
    for (const QString& name : names)
        EXPECT_EQ(shown.count(name), 1) << name.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("Loja")));

    // Each database's tables folder lists its own table; the query command opens the window
    // on that database and a batch runs there.
    frmExplorer* explorer = main->Explorer();
    for (const QString& name : names) {
        QTreeWidgetItem* tables =
            node(QStringLiteral("(LOCAL)\\") + name + QStringLiteral("\\Tables"));
        ASSERT_NE(tables, nullptr) << name.toStdString();
        click(tables);
        EXPECT_GT(explorer->mLvw->FindItem(QStringLiteral("Nome"), QStringLiteral("Caixa")), 0)
            << name.toStdString();
        click(node(QStringLiteral("(LOCAL)\\") + name));
        QTest::mouseClick(
            qobject_cast<QToolButton*>(explorer->tbrExplorer->widgetForAction(explorer->mnuQuery)),
            Qt::LeftButton);
        ASSERT_TRUE(frmQuery::Loaded());
        frmQuery* form = frmQuery::Default();
        EXPECT_EQ(form->eselDatabase->Chave(), name);
        EXPECT_EQ(form->eselDatabase->currentText(), name);
        EXPECT_EQ(run(form, QStringLiteral("SELECT Loja FROM Caixa")), name);
    }

    // Chosen in the selector: the batch runs in the database chosen, and the list reloaded
    // after a message keeps each name whole.
    frmQuery* form = frmQuery::Default();
    for (const QString& name : names) {
        choose(form->eselDatabase, name);
        ASSERT_EQ(form->eselDatabase->currentText(), name);
        EXPECT_EQ(form->eselDatabase->Chave(), name);
        EXPECT_EQ(run(form, QStringLiteral("PRINT 'x' SELECT DB_NAME()")), name);
        EXPECT_EQ(form->eselDatabase->Chave(), name);
    }
}
