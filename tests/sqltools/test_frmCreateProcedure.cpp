// The stored-procedure editor: a new procedure from the template, altering one, refusals
// that keep the dialog open, and cancelling.
#include "SqlToolsFixture.h"
#include "core/MsgBox.h"
#include "core/ScriptedMsgBox.h"
#include "dmo/StoredProcedures.h"
#include "sqltools/EditLineMessages.h"
#include "sqltools/frmCreateProcedure.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
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
