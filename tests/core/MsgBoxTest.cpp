#include "core/MsgBox.h"
#include "core/ScriptedMsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MsgBox, ScriptedAnswererRecordsWhatTheUserWouldSee) {
    ScriptedMsgBox box;
    box.answer(vbNo);
    EXPECT_EQ(MsgBox("Quer mesmo Sair?", vbYesNo + vbQuestion), vbNo);
    EXPECT_EQ(MsgBox("Nome inválido.", vbExclamation, "Atenção:"), vbOK);
    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.calls()[0].text, "Quer mesmo Sair?");
    EXPECT_EQ(box.calls()[0].title, "Varnolt");
    EXPECT_EQ(box.calls()[0].icon(), vbQuestion);
    EXPECT_EQ(box.calls()[0].buttons(), vbYesNo);
    EXPECT_EQ(box.last().title, "Atenção:");
    EXPECT_EQ(box.last().icon(), vbExclamation);
}

TEST(MsgBox, UnscriptedCallsGetTheDefaultButton) {
    ScriptedMsgBox box;
    EXPECT_EQ(MsgBox("x", vbYesNo), vbYes);
    EXPECT_EQ(MsgBox("x", vbYesNo + vbDefaultButton2), vbNo);
    EXPECT_EQ(MsgBox("x", vbYesNoCancel + vbDefaultButton3), vbCancel);
    EXPECT_EQ(MsgBox("x", vbCritical), vbOK);
}

TEST(MsgBox, NestedAnswerersRestoreThePreviousOne) {
    ScriptedMsgBox outer;
    {
        ScriptedMsgBox inner;
        MsgBox("inner");
        EXPECT_EQ(inner.count(), 1);
    }
    MsgBox("outer");
    ASSERT_EQ(outer.count(), 1);
    EXPECT_EQ(outer.last().text, "outer");
}

TEST(MsgBox, RealDialogShowsTextIconTitleAndButtons) {
    QString seenText, seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QStringList captions;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        for (QAbstractButton* b : box->buttons())
            captions << b->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MsgBox("Pretende gravar?", vbYesNo + vbCritical), vbNo);
    EXPECT_EQ(seenText, "Pretende gravar?");
    EXPECT_EQ(seenTitle, "Varnolt");
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
    EXPECT_TRUE(captions.contains("&Sim"));
    EXPECT_TRUE(captions.contains("&Não"));
}

TEST(MsgBox, RealDialogClosedWithEscapeGivesCancel) {
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            qobject_cast<QMessageBox*>(w)->reject();
    });
    EXPECT_EQ(MsgBox("Continuar?", vbOKCancel + vbInformation), vbCancel);
}
