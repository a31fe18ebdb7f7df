// Collation picker: the two groups, preselection from the given name, composition, cancel.
#include "test_frmDispSmallDialogs_Fixture.h"

#include "controls/CListViewManager.h"
#include "designer/frmDispCollation.h"
#include "dmo/QueryResults.h"

#include <QGroupBox>
#include <QRegularExpression>
#include <QTreeWidget>

namespace {

using Form = frmDispCollation;

QString selectedName(CListViewManager* list) {
    return list->GetColumnValue(QStringLiteral("Name")).toString();
}

QStringList names(CListViewManager* list) {
    QStringList out;
    for (int i = 1; i <= list->Count(); ++i)
        out << list->GetColumnValue(QStringLiteral("Name"), i).toString();
    return out;
}

} // namespace

class CollationPickerTest : public SmallDialogTest {
protected:
    // The server's own list of collations.
    QStringList serverNames() {
        QStringList out;
        const dmo::QueryResultsPtr r =
            db->ExecuteWithResults(QStringLiteral("SELECT name FROM ::fn_helpcollations()"));
        for (int i = 1; i <= r->Rows(); ++i)
            out << r->GetColumnString(i, 1);
        return out;
    }
    QString pick(const QString& given, const std::function<void(Form*)>& script,
                 QWidget* parent = nullptr) {
        DialogScript<Form> run([] { return Form::Current(); }, script);
        const QString result = Form::ShowCollation(server.get(), parent, given);
        EXPECT_TRUE(run.shown);
        return result;
    }
};

TEST_F(CollationPickerTest, ListsSqlCollationsWholeAndWindowsOnesByDesignatorOnce) {
    pick(QStringLiteral("SQL_Latin1_General_CP1_CI_AS"), [this](Form* f) {
        EXPECT_EQ(f->windowTitle(), "Páginas de Código (Collations)");
        const QStringList sql = names(f->SQLList());
        const QStringList windows = names(f->WindowsList());
        EXPECT_EQ(sql.count(QStringLiteral("SQL_Latin1_General_CP1_CI_AS")), 1);
        // The designator is the whole name before its sort-order options.
        for (const char* d : {"Latin1_General", "Chinese_PRC", "Chinese_PRC_Stroke", "French",
                              "Japanese_Unicode", "Lithuanian_Classic", "Georgian_Modern_Sort"})
            EXPECT_EQ(windows.count(QString::fromLatin1(d)), 1) << d;
        for (const char* part : {"Latin1", "Chinese", "Korean", "Modern"})
            EXPECT_FALSE(windows.contains(QString::fromLatin1(part))) << part;
        EXPECT_EQ(windows.size(), 40);
        EXPECT_EQ(sql.size(), serverNames().filter(QRegularExpression("^SQL_")).size());
        QStringList sorted = windows;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        EXPECT_EQ(windows, sorted);
        EXPECT_EQ(f->lvwSQL->headerItem()->text(0), "Name");
    });
}

// Every choice the picker offers is a collation of the server, and every collation of the
// server is one of its choices.
TEST_F(CollationPickerTest, EveryChoiceIsAServerCollationAndEveryOneCanBeChosen) {
    QStringList offered;
    pick(QStringLiteral("Latin1_General_CI_AS"), [&offered](Form* f) {
        QCheckBox* boxes[] = {f->chkCaseSensitive, f->chkAccentSensitive, f->chkKanaSensitive,
                              f->chkWithSensitive};
        for (int row = 1; row <= f->WindowsList()->Count(); ++row) {
            f->WindowsList()->SetSelectedItem(row);
            f->optBinary->setChecked(true);
            offered << f->ChosenCollation();
            f->optDictionary->setChecked(true);
            for (int bits = 0; bits < 16; ++bits) {
                for (int b = 0; b < 4; ++b)
                    boxes[b]->setChecked(bits & (1 << b));
                offered << f->ChosenCollation();
            }
        }
        f->optSQL->setChecked(true);
        for (int row = 1; row <= f->SQLList()->Count(); ++row) {
            f->SQLList()->SetSelectedItem(row);
            offered << f->ChosenCollation();
        }
        click(f->cmdCancelar);
    });
    QStringList server = serverNames();
    offered.sort();
    server.sort();
    EXPECT_EQ(offered, server);
}

TEST_F(CollationPickerTest, SqlCollationOpensInTheSqlGroupAndOkReturnsIt) {
    const QString result = pick(QStringLiteral("SQL_Latin1_General_CP1_CI_AS"), [](Form* f) {
        EXPECT_TRUE(f->optSQL->isChecked());
        EXPECT_EQ(selectedName(f->SQLList()), "SQL_Latin1_General_CP1_CI_AS");
        EXPECT_TRUE(f->lvwSQL->isEnabled());
        EXPECT_FALSE(f->lvwWindows->isEnabled());
        EXPECT_FALSE(f->optBinary->isEnabled());
        EXPECT_FALSE(f->chkCaseSensitive->isEnabled());
        click(f->cmdOk);
    });
    EXPECT_EQ(result, "SQL_Latin1_General_CP1_CI_AS");
}

TEST_F(CollationPickerTest, WindowsCollationIsTakenApartAndComposedAgain) {
    const QString result = pick(QStringLiteral("Latin1_General_CS_AS_KS"), [](Form* f) {
        EXPECT_TRUE(f->optWindows->isChecked());
        EXPECT_EQ(selectedName(f->WindowsList()), "Latin1_General");
        EXPECT_TRUE(f->optDictionary->isChecked());
        EXPECT_TRUE(f->chkCaseSensitive->isChecked());
        EXPECT_TRUE(f->chkAccentSensitive->isChecked());
        EXPECT_TRUE(f->chkKanaSensitive->isChecked());
        EXPECT_FALSE(f->chkWithSensitive->isChecked());
        EXPECT_TRUE(f->chkCaseSensitive->isEnabled());
        EXPECT_FALSE(f->lvwSQL->isEnabled());
        click(f->cmdOk);
    });
    EXPECT_EQ(result, "Latin1_General_CS_AS_KS");
}

// OK without a change gives the collation back as it was given.
TEST_F(CollationPickerTest, OkWithoutAChangeReturnsTheGivenCollation) {
    for (const char* given :
         {"Latin1_General_BIN", "Chinese_PRC_Stroke_BIN", "Japanese_Unicode_CS_AS_KS_WS",
          "Lithuanian_Classic_CI_AI", "Hungarian_Technical_CS_AI_WS", "latin1_general_ci_as",
          "SQL_Latin1_General_CP850_BIN"}) {
        SCOPED_TRACE(given);
        EXPECT_EQ(pick(QString::fromLatin1(given), [](Form* f) { click(f->cmdOk); }),
                  QString::fromLatin1(given));
    }
    const QString binary = pick(QStringLiteral("Chinese_PRC_Stroke_BIN"), [](Form* f) {
        EXPECT_TRUE(f->optBinary->isChecked());
        EXPECT_EQ(selectedName(f->WindowsList()), "Chinese_PRC_Stroke");
        EXPECT_FALSE(f->chkCaseSensitive->isEnabled());
        EXPECT_TRUE(f->optDictionary->isEnabled());
        click(f->optDictionary);
        click(f->chkCaseSensitive);
        click(f->optBinary);
        click(f->cmdOk);
    });
    EXPECT_EQ(binary, "Chinese_PRC_Stroke_BIN");
}

TEST_F(CollationPickerTest, DictionaryOrderWithoutBoxesIsCaseAndAccentInsensitive) {
    const QString result = pick(QStringLiteral("French_BIN"), [](Form* f) {
        click(f->optDictionary);
        EXPECT_TRUE(f->chkCaseSensitive->isEnabled());
        click(f->chkWithSensitive);
        click(f->chkWithSensitive);
        click(f->cmdOk);
    });
    EXPECT_EQ(result, "French_CI_AI");

    const QString composed = pick(QStringLiteral("French_BIN"), [](Form* f) {
        click(f->optDictionary);
        click(f->chkWithSensitive);
        click(f->chkCaseSensitive);
        // Another designator, chosen by a click on its row.
        QTreeWidgetItem* item = f->WindowsList()->Item(
            f->WindowsList()->FindItem(QStringLiteral("Name"), "Latin1_General"));
        ASSERT_NE(item, nullptr);
        f->lvwWindows->scrollToItem(item);
        QTest::mouseClick(f->lvwWindows->viewport(), Qt::LeftButton, {},
                          f->lvwWindows->visualItemRect(item).center());
        click(f->cmdOk);
    });
    EXPECT_EQ(composed, "Latin1_General_CS_AI_WS");
}

TEST_F(CollationPickerTest, CancelAndCloseReturnTheGivenText) {
    EXPECT_EQ(pick(QStringLiteral("Nenhuma_Coisa"),
                   [](Form* f) {
                       click(f->optSQL);
                       click(f->cmdCancelar);
                   }),
              "Nenhuma_Coisa");
    EXPECT_EQ(pick(QStringLiteral("Latin1_General_CI_AS"),
                   [](Form* f) {
                       click(f->optBinary);
                       f->close();
                   }),
              "Latin1_General_CI_AS");
}

TEST_F(CollationPickerTest, EachCallStartsAfresh) {
    pick(QStringLiteral("Latin1_General_CS_AS_KS_WS"), [](Form* f) { click(f->cmdOk); });
    pick(QStringLiteral("Latin1_General_CI_AS"), [](Form* f) {
        EXPECT_FALSE(f->chkCaseSensitive->isChecked());
        EXPECT_TRUE(f->chkAccentSensitive->isChecked());
        EXPECT_FALSE(f->chkKanaSensitive->isChecked());
        EXPECT_FALSE(f->chkWithSensitive->isChecked());
        const QStringList sql = names(f->SQLList());
        EXPECT_EQ(sql.count(QStringLiteral("SQL_Latin1_General_CP1_CI_AS")), 1);
        click(f->cmdOk);
    });
}

TEST_F(CollationPickerTest, CentredOverTheCallingForm) {
    QWidget parent;
    parent.setGeometry(100, 100, 1000, 800);
    parent.show();
    pick(
        QStringLiteral("SQL_Latin1_General_CP1_CI_AS"),
        [&parent](Form* f) {
            const QPoint centre = f->frameGeometry().center();
            EXPECT_NEAR(centre.x(), parent.frameGeometry().center().x(), 2);
            EXPECT_NEAR(centre.y(), parent.frameGeometry().center().y(), 2);
            click(f->cmdOk);
        },
        &parent);
}

TEST(CollationPickerNoServer, ServerThatCannotListGivesTheGivenText) {
    EXPECT_EQ(
        frmDispCollation::ShowCollation(nullptr, nullptr, QStringLiteral("Latin1_General_CI_AS")),
        "Latin1_General_CI_AS");
    dmo::SQLServer disconnected;
    EXPECT_EQ(frmDispCollation::ShowCollation(&disconnected, nullptr, QStringLiteral("X_CI")),
              "X_CI");
}
