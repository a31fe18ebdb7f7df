// The stored-procedure editor: a new procedure from the template, altering one, refusals
// that keep the dialog open, and cancelling.
#include "SqlToolsFixture.h"
#include "core/MsgBox.h"
#include "core/ScriptedMsgBox.h"
#include "dmo/QueryResults.h"
#include "dmo/StoredProcedures.h"
#include "sqltools/EditLineMessages.h"
#include "sqltools/frmCreateProcedure.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTimer>

#include <functional>

namespace {

class ProcedureEditorTest : public SqlToolsServerTest {
protected:
    void SetUp() override {
        StartServer();
        sql(QStringLiteral("Vendas"),
            QStringLiteral("CREATE TABLE Clientes (Id int NOT NULL, Nome varchar(40) NULL)"));
        sql(QStringLiteral("Vendas"),
            QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Id FROM Clientes"));
    }

    void TearDown() override { StopServer(); }

    dmo::StoredProcedurePtr procedure(const QString& name) {
        auto procedures =
            server->SQLDMOServer()->Databases()->Item(QStringLiteral("Vendas"))->StoredProcedures();
        procedures->Refresh();
        for (const dmo::StoredProcedurePtr& p : procedures->items())
            if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
                return p;
        return nullptr;
    }

    // Opens the editor as the explorer does; `user` runs once the dialog is shown.
    bool show(const QString& modo, const QString& sp,
              const std::function<void(frmCreateProcedure&)>& user) {
        frmCreateProcedure dialog;
        shown = false;
        QTimer::singleShot(0, &dialog, [&] {
            shown = dialog.isVisible();
            if (shown)
                user(dialog);
            if (dialog.isVisible())
                dialog.close();
        });
        return dialog.ShowForm(server, modo, QStringLiteral("Vendas"), sp);
    }

    static void type(frmCreateProcedure& d, const QString& text) { TypeInto(d.txtQuery, text); }

    bool shown = false;
};

} // namespace

TEST_F(ProcedureEditorTest, OKOnTheTemplateCreatesTheProcedure) {
    ScriptedMsgBox box;
    QString caption, text;
    const bool saved = show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) {
        caption = d.windowTitle();
        text = d.txtQuery->toPlainText();
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(caption, QStringLiteral("Procedimentos"));
    EXPECT_EQ(text, QStringLiteral("Create Procedure NomeProcedimento\n@Par1 varchar(1)\nAS\n"
                                   "Declare @LocalVar varchar(1)\nReturn"));
    ASSERT_NE(procedure(QStringLiteral("NomeProcedimento")), nullptr);
    // It takes its one parameter.
    EXPECT_NO_THROW(sql(QStringLiteral("Vendas"), QStringLiteral("EXEC NomeProcedimento 'x'")));
}

TEST_F(ProcedureEditorTest, AlteringShowsTheServersTextAndOKSendsTheEditedOne) {
    ScriptedMsgBox box;
    QString caption, text;
    const bool saved =
        show(QStringLiteral("A"), QStringLiteral("Listar"), [&](frmCreateProcedure& d) {
            caption = d.windowTitle();
            text = d.txtQuery->toPlainText();
            type(d, QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Nome FROM Clientes"));
            QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        });
    EXPECT_TRUE(saved);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(caption, QStringLiteral("Procedimentos [Listar]"));
    EXPECT_EQ(text, QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Id FROM Clientes"));
    dmo::StoredProcedurePtr p = procedure(QStringLiteral("Listar"));
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Text().contains(QStringLiteral("SELECT Nome FROM Clientes")))
        << p->Text().toStdString();
}

TEST_F(ProcedureEditorTest, ARefusedSaveShowsNumberAndDescriptionAndKeepsTheDialog) {
    ScriptedMsgBox box;
    bool stillOpen = false;
    QString keptText;
    const QString wrong = QStringLiteral("Create Procedure Contar AS\nSELEC COUNT(*) FROM");
    const bool saved = show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) {
        type(d, wrong);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        stillOpen = d.isVisible();
        keptText = d.txtQuery->toPlainText();
        // Corrected, a second OK saves.
        type(d, QStringLiteral("Create Procedure Contar AS\nSELECT COUNT(*) FROM Clientes"));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    ASSERT_EQ(box.count(), 1);
    const MsgBoxCall& call = box.calls().first();
    EXPECT_EQ(call.icon(), int(vbCritical));
    EXPECT_EQ(call.title, AppTitle());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d+)\\n(.+)$"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(call.text);
    ASSERT_TRUE(m.hasMatch()) << call.text.toStdString();
    EXPECT_TRUE(m.captured(1) == QLatin1String("102") || m.captured(1) == QLatin1String("156"))
        << call.text.toStdString();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keptText, wrong);
    EXPECT_TRUE(saved);
    EXPECT_NE(procedure(QStringLiteral("Contar")), nullptr);
}

TEST_F(ProcedureEditorTest, ANameThatExistsIsRefused) {
    ScriptedMsgBox box;
    const bool saved = show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) {
        type(d, QStringLiteral("Create Procedure Listar AS\nRETURN"));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_FALSE(saved);
    ASSERT_EQ(box.count(), 1);
    EXPECT_TRUE(box.last().text.startsWith(QStringLiteral("2714\n")))
        << box.last().text.toStdString();
    EXPECT_TRUE(procedure(QStringLiteral("Listar"))->Text().contains(QStringLiteral("SELECT Id")));
}

TEST_F(ProcedureEditorTest, CancelAndTheCloseBoxReturnFalseAndSendNothing) {
    ScriptedMsgBox box;
    bool saved = show(QStringLiteral("A"), QStringLiteral("Listar"), [&](frmCreateProcedure& d) {
        type(d, QStringLiteral("CREATE PROCEDURE Listar AS\nRETURN"));
        QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(saved);
    EXPECT_TRUE(shown);
    saved = show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) { d.close(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(box.count(), 0);
    EXPECT_TRUE(procedure(QStringLiteral("Listar"))->Text().contains(QStringLiteral("SELECT Id")));
    EXPECT_EQ(procedure(QStringLiteral("NomeProcedimento")), nullptr);
}

TEST_F(ProcedureEditorTest, AProcedureDroppedMeanwhileIsReportedAndTheDialogNeverShows) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"), QStringLiteral("DROP PROCEDURE Listar"));
    const bool saved =
        show(QStringLiteral("A"), QStringLiteral("Listar"), [](frmCreateProcedure&) {});
    EXPECT_FALSE(saved);
    EXPECT_FALSE(shown);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_TRUE(box.last().text.contains(u'\n'));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ProcedureEditorTest, F5RunsNothingAndFillingDoesNotReachTheLineFormatter) {
    int lineCalls = 0;
    const EditMessageObserver previous =
        SetEditMessageObserver([&](unsigned msg, qintptr, const void*) {
            if (msg == EM_LINEFROMCHAR)
                ++lineCalls;
        });
    int callsWhenShown = -1, callsAfterKey = -1;
    bool openAfterF5 = false;
    const bool saved =
        show(QStringLiteral("A"), QStringLiteral("Listar"), [&](frmCreateProcedure& d) {
            callsWhenShown = lineCalls;
            d.txtQuery->setFocus();
            QTest::keyClick(d.txtQuery, Qt::Key_End);
            QTest::keyClicks(d.txtQuery, QStringLiteral(" "));
            callsAfterKey = lineCalls;
            QTest::keyClick(d.txtQuery, Qt::Key_F5);
            openAfterF5 = d.isVisible();
        });
    SetEditMessageObserver(previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(callsWhenShown, 0);
    EXPECT_GT(callsAfterKey, 0);
    EXPECT_TRUE(openAfterF5);
    EXPECT_TRUE(procedure(QStringLiteral("Listar"))->Text().contains(QStringLiteral("SELECT Id")));
}

namespace {

// The rows of a table, counted behind the window's back.
int rowCount(cServer* server, const QString& table) {
    auto db = server->SQLDMOServer()->Databases()->Item(QStringLiteral("Vendas"));
    return db->ExecuteWithResults(QStringLiteral("SELECT COUNT(*) FROM ") + table)
        ->GetColumnString(1, 1)
        .toInt();
}

} // namespace

TEST_F(ProcedureEditorTest, AGoLineIsPartOfTheTextAndNothingAfterItRunsOnOK) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"),
        QStringLiteral("INSERT INTO Clientes VALUES (1, 'Ana')\nINSERT INTO Clientes VALUES (99, 'Rui')"));
    const QString text = QStringLiteral(
        "CREATE PROCEDURE Limpar AS\nDELETE FROM Clientes WHERE Id = 99\nGO\nDELETE FROM Clientes");
    bool stillOpen = false;
    QString keptText;
    bool saved = show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) {
        type(d, text);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        stillOpen = d.isVisible();
        keptText = d.txtQuery->toPlainText();
    });
    // The server refuses the text as one batch; nothing of it ran.
    EXPECT_FALSE(saved);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keptText, text);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_TRUE(box.last().text.startsWith(QStringLiteral("102\n"))) << box.last().text.toStdString();
    EXPECT_TRUE(box.last().text.contains(QStringLiteral("GO"))) << box.last().text.toStdString();
    EXPECT_EQ(procedure(QStringLiteral("Limpar")), nullptr);
    EXPECT_EQ(rowCount(server, QStringLiteral("Clientes")), 2);

    // Altering: what follows GO belongs to the procedure and is not run at once.
    box.clear();
    const QString altered =
        QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Nome FROM Clientes\nGO\nDELETE FROM Clientes");
    saved = show(QStringLiteral("A"), QStringLiteral("Listar"), [&](frmCreateProcedure& d) {
        type(d, altered);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(rowCount(server, QStringLiteral("Clientes")), 2);
    EXPECT_EQ(procedure(QStringLiteral("Listar"))->Text(), altered);
}

TEST_F(ProcedureEditorTest, AlteringRefusesATextThatNamesAnotherProcedure) {
    ScriptedMsgBox box;
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE Curto AS SELECT 1 AS a"));
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE PROCEDURE [Meu Proc] AS SELECT 2 AS b"));
    const QString other = QStringLiteral("CREATE PROCEDURE [Meu Proc] AS SELECT 99 AS z");
    QString caption, keptText;
    bool stillOpen = false;
    bool saved = show(QStringLiteral("A"), QStringLiteral("Curto"), [&](frmCreateProcedure& d) {
        caption = d.windowTitle();
        type(d, other);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        stillOpen = d.isVisible();
        keptText = d.txtQuery->toPlainText();
    });
    EXPECT_EQ(caption, QStringLiteral("Procedimentos [Curto]"));
    EXPECT_FALSE(saved);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keptText, other);
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), int(vbCritical));
    EXPECT_EQ(box.last().text,
              QStringLiteral("50005\nThe text defines the procedure [Meu Proc], not [dbo].[Curto]: "
                             "a procedure is altered under its own name."));
    EXPECT_EQ(procedure(QStringLiteral("Meu Proc"))->Text(),
              QStringLiteral("CREATE PROCEDURE [Meu Proc] AS SELECT 2 AS b"));
    EXPECT_EQ(procedure(QStringLiteral("Curto"))->Text(),
              QStringLiteral("CREATE PROCEDURE Curto AS SELECT 1 AS a"));

    // Its own name in another case, bracketed and with its owner, is the same procedure.
    box.clear();
    saved = show(QStringLiteral("A"), QStringLiteral("Curto"), [&](frmCreateProcedure& d) {
        type(d, QStringLiteral("create procedure [dbo].[CURTO] AS SELECT 3 AS c"));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(procedure(QStringLiteral("Curto"))->Text(),
              QStringLiteral("CREATE procedure [dbo].[CURTO] AS SELECT 3 AS c"));
}

TEST_F(ProcedureEditorTest, CommentsBeforeCreateAreKeptThroughSaveOpenAndAlter) {
    ScriptedMsgBox box;
    const QString text = QStringLiteral("/* Autor: Ana -- 2024 */\n-- cabecalho\n"
                                        "CREATE PROCEDURE Comentado AS\nSELECT '--' + '/*' AS x");
    bool saved = show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) {
        type(d, text);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(box.count(), 0);
    QString shown;
    const QString altered = text + QStringLiteral(", 1 AS y");
    saved = show(QStringLiteral("A"), QStringLiteral("Comentado"), [&](frmCreateProcedure& d) {
        shown = d.txtQuery->toPlainText();
        d.txtQuery->moveCursor(QTextCursor::End);
        QTest::keyClicks(d.txtQuery, QStringLiteral(", 1 AS y"));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(shown, text);
    EXPECT_TRUE(saved);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(procedure(QStringLiteral("Comentado"))->Text(), altered);
    auto db = server->SQLDMOServer()->Databases()->Item(QStringLiteral("Vendas"));
    const dmo::QueryResultsPtr rs = db->ExecuteWithResults(QStringLiteral("EXEC Comentado"));
    EXPECT_EQ(rs->GetColumnString(1, 1), QStringLiteral("--/*"));
    EXPECT_EQ(rs->GetColumnString(1, 2), QStringLiteral("1"));
}

TEST_F(ProcedureEditorTest, AProcedureDroppedByAnotherSessionWhileOpenIsReportedAndTheTextKept) {
    ScriptedMsgBox box;
    const QString text = QStringLiteral("CREATE PROCEDURE Listar AS\nSELECT Nome FROM Clientes");
    bool stillOpen = false;
    QString keptText;
    const bool saved = show(QStringLiteral("A"), QStringLiteral("Listar"), [&](frmCreateProcedure& d) {
        type(d, text);
        std::unique_ptr<engine::Session> other = engine::Instance::forServer(QStringLiteral("(LOCAL)"))
                                                     ->connectIntegrated();
        other->execute(QStringLiteral("USE Vendas"));
        ASSERT_FALSE(other->execute(QStringLiteral("DROP PROCEDURE Listar")).failed());
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        stillOpen = d.isVisible();
        keptText = d.txtQuery->toPlainText();
    });
    EXPECT_FALSE(saved);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keptText, text);
    ASSERT_EQ(box.count(), 1);
    EXPECT_TRUE(box.last().text.startsWith(QStringLiteral("208\n"))) << box.last().text.toStdString();
    EXPECT_EQ(procedure(QStringLiteral("Listar")), nullptr);
}

TEST_F(ProcedureEditorTest, OddNamesAreCreatedOpenedAndAlteredUnderTheirOwnName) {
    ScriptedMsgBox box;
    const QStringList names = {QStringLiteral("a]b"), QStringLiteral("O'Brien"),
                               QStringLiteral("x;y"), QStringLiteral("c:d"),
                               QStringLiteral("e<#>f"), QStringLiteral("use master")};
    auto quoted = [](QString name) {
        return QLatin1Char('[') + name.replace(u']', QStringLiteral("]]")) + QLatin1Char(']');
    };
    for (const QString& name : names) {
        // "use" in a comment does not move the procedure to another database.
        const QString created = QStringLiteral("-- use master\nCREATE PROCEDURE ") + quoted(name) +
                                QStringLiteral(" AS SELECT 1 AS um");
        EXPECT_TRUE(show(QStringLiteral("N"), QString(), [&](frmCreateProcedure& d) {
            type(d, created);
            QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        })) << name.toStdString();
        QString caption, shown;
        const QString altered = created.left(created.size() - 1) + QStringLiteral("2");
        EXPECT_TRUE(show(QStringLiteral("A"), name, [&](frmCreateProcedure& d) {
            caption = d.windowTitle();
            shown = d.txtQuery->toPlainText();
            type(d, altered);
            QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        })) << name.toStdString();
        EXPECT_EQ(caption, QStringLiteral("Procedimentos [") + name + QLatin1Char(']'));
        EXPECT_EQ(shown, created);
        ASSERT_NE(procedure(name), nullptr) << name.toStdString();
        EXPECT_EQ(procedure(name)->Text(), altered);
    }
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    auto master = server->SQLDMOServer()->Databases()->Item(QStringLiteral("master"));
    EXPECT_EQ(master->ExecuteWithResults(QStringLiteral("SELECT COUNT(*) FROM sysobjects WHERE "
                                                        "xtype = 'P' AND name = 'c:d'"))
                  ->GetColumnString(1, 1),
              QStringLiteral("0"));
}
