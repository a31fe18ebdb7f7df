// Column search: Like patterns, from the selected row or the start, running off the end.
#include "test_frmDispSmallDialogs_Fixture.h"

#include "controls/CListViewManager.h"
#include "controls/ScriptedListDialog.h"
#include "core/FormHelpers.h"
#include "core/ScriptedMsgBox.h"
#include "designer/M_MainMod.h"
#include "designer/frmDispStructFind.h"

#include <QTreeWidget>

namespace {
using Form = frmDispStructFind;
}

TEST(LikePattern, WildcardsListsAndDigits) {
    EXPECT_TRUE(LikePattern("nome", "no*"));
    EXPECT_TRUE(LikePattern("nome", "*"));
    EXPECT_TRUE(LikePattern("", "*"));
    EXPECT_FALSE(LikePattern("nome", "no"));
    EXPECT_TRUE(LikePattern("id", "?d"));
    EXPECT_FALSE(LikePattern("aid", "?d"));
    EXPECT_TRUE(LikePattern("col1", "col#"));
    EXPECT_FALSE(LikePattern("cola", "col#"));
    EXPECT_TRUE(LikePattern("cab", "c[a-c]b"));
    EXPECT_FALSE(LikePattern("cdb", "c[a-c]b"));
    EXPECT_TRUE(LikePattern("cdb", "c[!a-c]b"));
    EXPECT_TRUE(LikePattern("[data venda]", "*data venda*"));
    EXPECT_FALSE(LikePattern("[data venda]", "data venda"));
    EXPECT_TRUE(LikePattern("a[b", "a[b")); // no closing bracket: itself
    EXPECT_TRUE(LikePattern("abcabcabd", "*abd"));
    EXPECT_FALSE(LikePattern(QString(60, u'a'), QString(30, u'*') + u'b'));
}

class ColumnSearchTest : public SmallDialogTest {
protected:
    void SetUp() override {
        list = new QTreeWidget(&designer);
        structure.setListView(list);
        structure.AppendColumns(QStringLiteral("Nome da Coluna"), 3500, 0, 0, 0, {},
                                QStringLiteral("Name"));
        for (const char* name : {"Id", "Nome", "[Data Venda]", "NomeCurto", "xd", "Valor"}) {
            const int row = structure.AddNewItem();
            structure.SetColumnValue(QStringLiteral("Name"), QString::fromUtf8(name), row);
        }
        structure.SetSelectedItem(1);
    }
    void TearDown() override { Form::Unload(); }

    void search(const std::function<void(Form*)>& script) {
        DialogScript<Form> run([] { return Form::Instance(); }, script);
        Form::ShowPesq(structure);
        EXPECT_TRUE(run.shown);
    }
    int selected() const { return structure.SelectedIndex(); }
    // Types a search text and presses "&Procurar".
    void find(Form* f, const QString& text) {
        if (f->txtFind->text() != text)
            type(f->txtFind, text);
        click(f->cmdProcurar);
    }

    QWidget designer;
    QTreeWidget* list = nullptr;
    CListViewManager structure;
    ScriptedMsgBox msgs;
    ScriptedListDialog choices;
};

TEST_F(ColumnSearchTest, FindsTheNextMatchingColumnAfterTheSelectedOne) {
    search([this](Form* f) {
        EXPECT_EQ(f->windowTitle(), "Procura de Colunas");
        EXPECT_EQ(HelpContextID(f), 10001);
        EXPECT_TRUE(f->Option1->isChecked());
        find(f, "NOM* ");
        EXPECT_EQ(selected(), 2);
        EXPECT_EQ(structure.BoldIndex(), 2);
        EXPECT_TRUE(f->isVisible());
        find(f, "NOM* ");
        EXPECT_EQ(selected(), 4);
        find(f, "?d");
        EXPECT_EQ(selected(), 5);
        // Without wildcards only the whole name, in any case, with blanks around it.
        structure.SetSelectedItem(1);
        find(f, " NOME ");
        EXPECT_EQ(selected(), 2);
        EXPECT_EQ(msgs.count(), 0);
        click(f->cmdCancelar);
    });
    EXPECT_TRUE(Form::Loaded());
}

TEST_F(ColumnSearchTest, BracketedNamesNeedTheirBracketsAllowedFor) {
    search([this](Form* f) {
        choices.choose("Não");
        find(f, "data venda");
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(selected(), 1);
    search([this](Form* f) {
        EXPECT_EQ(f->txtFind->text(), "data venda"); // kept while the window stays loaded
        find(f, "*data venda*");
        EXPECT_EQ(selected(), 3);
        click(f->cmdCancelar);
    });
}

TEST_F(ColumnSearchTest, FromTheStartOnceThenOnFromTheFoundRow) {
    structure.SetSelectedItem(4);
    search([this](Form* f) {
        click(f->optInicio);
        find(f, "nome*");
        EXPECT_EQ(selected(), 2);
        EXPECT_TRUE(f->Option1->isChecked());
        find(f, "nome*");
        EXPECT_EQ(selected(), 4);
        click(f->cmdCancelar);
    });
}

TEST_F(ColumnSearchTest, RunningOffTheEndAsksOnceThenCloses) {
    structure.SetSelectedItem(2);
    search([this](Form* f) {
        choices.choose("Sim");
        find(f, "id");
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "Atingiu a Última Coluna.");
        EXPECT_EQ(msgs.last().icon(), vbInformation);
        ASSERT_EQ(choices.count(), 1);
        EXPECT_EQ(choices.last().caption, "Deseja Procurar Apartir do Ínicio?");
        EXPECT_EQ(choices.last().items, QStringList({"Sim", "Não"}));
        EXPECT_EQ(selected(), 1); // found in row 1 on the second pass
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->SearchPass(), 1);
        // Past the end again with the same text: closed without a word.
        find(f, "id");
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_EQ(choices.count(), 1);
        EXPECT_FALSE(f->isVisible());
    });
    // A new text asks again; "Não" closes.
    search([this](Form* f) {
        EXPECT_EQ(f->SearchPass(), 0);
        structure.SetSelectedItem(6);
        choices.choose("Não");
        find(f, "valor");
        EXPECT_EQ(msgs.count(), 2);
        EXPECT_EQ(choices.count(), 2);
        EXPECT_FALSE(f->isVisible());
    });
    EXPECT_EQ(selected(), 6);
}

TEST_F(ColumnSearchTest, CloseBoxUnloadsTheWindowAndAnEmptyListEndsTheSearch) {
    search([](Form* f) {
        type(f->txtFind, "abc");
        click(f->optInicio);
        f->close();
    });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Form::Loaded());
    QString windowName = QStringLiteral(" frmdispstructfind ");
    EXPECT_FALSE(M_MainMod::IsFormLoaded(windowName));

    structure.Clear();
    search([this](Form* f) {
        EXPECT_EQ(f->txtFind->text(), "");
        EXPECT_TRUE(f->Option1->isChecked());
        choices.choose("Sim");
        find(f, "*");
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_FALSE(f->isVisible());
    });
    windowName = QStringLiteral("frmDispStructFind");
    EXPECT_TRUE(M_MainMod::IsFormLoaded(windowName));
    Form::Unload();
    EXPECT_FALSE(M_MainMod::IsFormLoaded(windowName));
}
