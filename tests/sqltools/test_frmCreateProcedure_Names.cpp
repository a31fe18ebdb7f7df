// The stored-procedure editor altering procedures whose names the server reads in ways a
// plain word does not cover: '$', '#' and '@' inside the name, blanks around the owner's dot.
#include "SqlToolsFixture.h"
#include "core/ScriptedMsgBox.h"
#include "dmo/StoredProcedures.h"
#include "sqltools/frmCreateProcedure.h"

#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

class ProcedureNamesTest : public SqlToolsServerTest {
protected:
    void SetUp() override { StartServer(); }
    void TearDown() override { StopServer(); }

    QString textOf(const QString& name) {
        auto procedures =
            server->SQLDMOServer()->Databases()->Item(QStringLiteral("Vendas"))->StoredProcedures();
        procedures->Refresh();
        for (const dmo::StoredProcedurePtr& p : procedures->items())
            if (p->Name() == name)
                return p->Text();
        return QStringLiteral("<none>");
    }

    // Opens the procedure as the explorer does, replaces its text and presses OK.
    bool alter(const QString& sp, const QString& text) {
        frmCreateProcedure dialog;
        QTimer::singleShot(0, &dialog, [&] {
            if (dialog.isVisible()) {
                TypeInto(dialog.txtQuery, text);
                QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
            }
            if (dialog.isVisible())
                dialog.close();
        });
        return dialog.ShowForm(server, QStringLiteral("A"), QStringLiteral("Vendas"), sp);
    }
};

} // namespace

TEST_F(ProcedureNamesTest, NamesHoldingDollarHashOrAtAndBlanksAroundTheDotAreTheirOwn) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Total$Mes AS SELECT 1 AS a"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Total AS SELECT 2 AS a"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE dbo . Lista#2 AS SELECT 3 AS a"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE x@y AS SELECT 4 AS a"));

    const QString dollar = QStringLiteral("CREATE PROCEDURE Total$Mes AS SELECT 10 AS a");
    EXPECT_TRUE(alter(QStringLiteral("Total$Mes"), dollar));
    const QString hash = QStringLiteral("CREATE PROCEDURE dbo /* o dono */ . Lista#2 AS SELECT 30 AS a");
    EXPECT_TRUE(alter(QStringLiteral("Lista#2"), hash));
    const QString at = QStringLiteral("CREATE PROCEDURE x@y AS SELECT 40 AS a");
    EXPECT_TRUE(alter(QStringLiteral("x@y"), at));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(textOf(QStringLiteral("Total$Mes")).toStdString(), dollar.toStdString());
    EXPECT_EQ(textOf(QStringLiteral("Lista#2")).toStdString(), hash.toStdString());
    EXPECT_EQ(textOf(QStringLiteral("x@y")).toStdString(), at.toStdString());

    // A text naming the shorter procedure is still another procedure.
    box.clear();
    EXPECT_FALSE(alter(QStringLiteral("Total$Mes"),
                       QStringLiteral("CREATE PROCEDURE Total AS SELECT 99 AS a")));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text.toStdString(),
              std::string("50005\nThe text defines the procedure [Total], not [dbo].[Total$Mes]: "
                             "a procedure is altered under its own name."));
    EXPECT_EQ(textOf(QStringLiteral("Total")).toStdString(), "CREATE PROCEDURE Total AS SELECT 2 AS a");
}

TEST_F(ProcedureNamesTest, BlanksAtTheEndOfTheNameDoNotMakeAnotherProcedure) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE [Saldo ] AS SELECT 1 AS a"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE [ Saldo] AS SELECT 2 AS a"));

    // The server takes [Saldo] and [Saldo ] for one name, as it takes them on ALTER.
    const QString plain = QStringLiteral("CREATE PROCEDURE Saldo AS SELECT 10 AS a");
    EXPECT_TRUE(alter(QStringLiteral("Saldo "), plain));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(textOf(QStringLiteral("Saldo ")).toStdString(), plain.toStdString());

    // Blanks at the start are part of the name: that is the other procedure.
    box.clear();
    EXPECT_FALSE(alter(QStringLiteral("Saldo "),
                       QStringLiteral("CREATE PROCEDURE [ Saldo] AS SELECT 99 AS a")));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(textOf(QStringLiteral(" Saldo")).toStdString(),
              "CREATE PROCEDURE [ Saldo] AS SELECT 2 AS a");
}

TEST_F(ProcedureNamesTest, NoBreakSpacesInTheNameAndTheTextReachTheServerAsTyped) {
    ScriptedMsgBox box;
    const QChar nbsp(0x00A0);
    const QString text = QStringLiteral("CREATE PROCEDURE [Preço") + nbsp +
                         QStringLiteral("Total] AS SELECT N'1") + nbsp + QStringLiteral("234,56' AS v");
    sql(QStringLiteral("Vendas"), text);
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE [Preço Total] AS SELECT 0 AS v"));
    const QString name = QStringLiteral("Preço") + nbsp + QStringLiteral("Total");

    // Opened and saved unchanged: the same procedure, the same text.
    frmCreateProcedure dialog;
    QTimer::singleShot(0, &dialog, [&] {
        if (dialog.isVisible())
            QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        if (dialog.isVisible())
            dialog.close();
    });
    EXPECT_TRUE(dialog.ShowForm(server, QStringLiteral("A"), QStringLiteral("Vendas"), name));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(textOf(name).toStdString(), text.toStdString());
    EXPECT_EQ(textOf(QStringLiteral("Preço Total")).toStdString(),
              "CREATE PROCEDURE [Preço Total] AS SELECT 0 AS v");
}

TEST_F(ProcedureNamesTest, ANameWithTheDatabaseAndNoOwnerIsStillReadForAnotherProcedure) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Curto AS SELECT 1 AS a"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Outro AS SELECT 2 AS a"));

    EXPECT_FALSE(alter(QStringLiteral("Curto"),
                       QStringLiteral("CREATE PROCEDURE Vendas..Outro AS SELECT 99 AS a")));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text.toStdString(),
              "50005\nThe text defines the procedure [Outro], not [dbo].[Curto]: "
              "a procedure is altered under its own name.");
    EXPECT_EQ(textOf(QStringLiteral("Outro")).toStdString(), "CREATE PROCEDURE Outro AS SELECT 2 AS a");

    // Its own name so written is the procedure opened.
    box.clear();
    const QString own = QStringLiteral("CREATE PROCEDURE [Vendas] . . Curto AS SELECT 10 AS a");
    EXPECT_TRUE(alter(QStringLiteral("Curto"), own));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(textOf(QStringLiteral("Curto")).toStdString(), own.toStdString());
}
