// New-table-name dialog: refusals, the accepted name as typed, cancel and close.
#include "test_frmDispSmallDialogs_Fixture.h"

#include "core/FormHelpers.h"
#include "core/ScriptedMsgBox.h"
#include "designer/frmDispStructName.h"
#include "dmo/Tables.h"

namespace {
using Form = frmDispStructName;
}

class NewTableNameTest : public SmallDialogTest {
protected:
    bool ask(QString& name, const std::function<void(Form*)>& script) {
        DialogScript<Form> run([] { return Form::Current(); }, script);
        const bool result = Form::ShowName(db.get(), name);
        EXPECT_TRUE(run.shown);
        return result;
    }
    ScriptedMsgBox msgs;
};

TEST_F(NewTableNameTest, RefusesBlankAndExistingNamesThenTakesTheNameAsTyped) {
    db->ExecuteImmediate(QStringLiteral("CREATE TABLE Clientes (Id int)"));
    QString name = QStringLiteral("antes");
    const bool ok = ask(name, [this](Form* f) {
        EXPECT_EQ(f->windowTitle(), "Nome da Nova Tabela");
        EXPECT_EQ(HelpContextID(f), 10004);
        type(f->txtNome, "   ");
        click(f->cmdOk);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "Tem que Indicar um Nome para a Tabela!");
        EXPECT_EQ(msgs.last().icon(), vbCritical);
        EXPECT_EQ(msgs.last().title, "Varnolt");
        EXPECT_TRUE(f->isVisible());
        EXPECT_TRUE(f->txtNome->hasFocus());

        type(f->txtNome, " CLIENTES  ");
        click(f->cmdOk);
        ASSERT_EQ(msgs.count(), 2);
        EXPECT_EQ(msgs.last().text, "Já Existe uma Tabela com o Nome Indicado!");
        EXPECT_EQ(msgs.last().icon(), vbExclamation);
        EXPECT_EQ(msgs.last().title, "Atenção:");
        EXPECT_TRUE(f->isVisible());

        type(f->txtNome, " Pedidos ");
        click(f->cmdOk);
        EXPECT_EQ(msgs.count(), 2);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(name, " Pedidos ");
}

TEST_F(NewTableNameTest, TablesOfAnyOwnerAndMadeSinceCountToo) {
    QString name;
    db->Tables()->Count(); // the list read before the tables below exist
    db->ExecuteImmediate(QStringLiteral("CREATE TABLE guest.Produtos (Id int)"));
    db->ExecuteImmediate(QStringLiteral("CREATE TABLE Novos (Id int)"));
    const bool ok = ask(name, [this](Form* f) {
        type(f->txtNome, "produtos");
        click(f->cmdOk);
        type(f->txtNome, "novos");
        click(f->cmdOk);
        EXPECT_EQ(msgs.count(), 2);
        click(f->cmdCancelar);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(name, "");
}

// The system tables are tables of the database too: a new table may not take their names.
TEST_F(NewTableNameTest, SystemTableNamesAreTaken) {
    QString name;
    const bool ok = ask(name, [this](Form* f) {
        for (const char* taken : {"sysobjects", " SysColumns ", "SYSINDEXES"}) {
            type(f->txtNome, taken);
            click(f->cmdOk);
            ASSERT_TRUE(f->isVisible()) << taken;
            EXPECT_EQ(msgs.last().text, "Já Existe uma Tabela com o Nome Indicado!") << taken;
        }
        EXPECT_EQ(msgs.count(), 3);
        type(f->txtNome, "sysobjects2");
        click(f->cmdOk);
        EXPECT_EQ(msgs.count(), 3);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(name, "sysobjects2");
}

// Every system table a database has counts, the filegroups' one included, in any case and
// with blanks at the ends.
TEST_F(NewTableNameTest, EverySystemTableOfTheDatabaseIsTaken) {
    QString name;
    const bool ok = ask(name, [this](Form* f) {
        for (const char* taken : {"sysfilegroups", " SysFileGroups ", "SYSTYPES"}) {
            type(f->txtNome, taken);
            click(f->cmdOk);
            ASSERT_TRUE(f->isVisible()) << taken;
            EXPECT_EQ(msgs.last().text, "Já Existe uma Tabela com o Nome Indicado!") << taken;
        }
        EXPECT_EQ(msgs.count(), 3);
        click(f->cmdCancelar);
    });
    EXPECT_FALSE(ok);
}

TEST_F(NewTableNameTest, CancelAndCloseLeaveTheNameAlone) {
    QString name = QStringLiteral("antes");
    EXPECT_FALSE(ask(name, [](Form* f) {
        type(f->txtNome, "Nova");
        click(f->cmdCancelar);
    }));
    EXPECT_FALSE(ask(name, [](Form* f) {
        type(f->txtNome, "Nova");
        f->close();
    }));
    EXPECT_EQ(name, "antes");
}
