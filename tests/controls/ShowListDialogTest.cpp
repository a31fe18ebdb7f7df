#include "controls/ShowListDialog.h"
#include "controls/ScriptedListDialog.h"
#include "controls/WAlert1.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QStringList kNaoSim{QString::fromUtf8("Não"), "Sim"};

// Answers the next choice window through its controls, as the user would.
void driveNext(std::function<void(WAlert1*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dlg = qobject_cast<WAlert1*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        act(dlg);
        if (dlg->isVisible()) { // the act did not close it: fail without hanging
            ADD_FAILURE() << "the choice window is still open";
            dlg->reject();
        }
    });
}

void clickItem(WAlert1* dlg, int row) {
    const QRect r = dlg->lstItems->visualItemRect(dlg->lstItems->item(row));
    QTest::mouseClick(dlg->lstItems->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

TEST(ShowListDialog, ScriptedAnswersAndRecordedCalls) {
    ScriptedListDialog dlg;
    dlg.answer(2).choose("Sim").choose("Talvez");
    EXPECT_EQ(ShowListDialog("Pretende Eliminar?", kNaoSim), 2);
    EXPECT_EQ(ShowListDialog("Pretende Continuar?", {"Sim", QString::fromUtf8("Não")}), 1);
    EXPECT_EQ(ShowListDialog("Outra?", kNaoSim), 0); // not offered
    EXPECT_EQ(ShowListDialog("Sem resposta", kNaoSim), 0);
    ASSERT_EQ(dlg.count(), 4);
    EXPECT_EQ(dlg.calls()[0].caption, "Pretende Eliminar?");
    EXPECT_EQ(dlg.calls()[0].items, kNaoSim);
}

TEST(ShowListDialog, TheUserPicksAnItemAndPressesOK) {
    QString shownCaption;
    QStringList shown;
    driveNext([&](WAlert1* dlg) {
        shownCaption = dlg->lblCaption->text();
        for (int i = 0; i < dlg->lstItems->count(); ++i)
            shown << dlg->lstItems->item(i)->text();
        clickItem(dlg, 1);
        QTest::mouseClick(dlg->cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(ShowListDialog("Pretende Eliminar?", kNaoSim), 2);
    EXPECT_EQ(shownCaption, "Pretende Eliminar?");
    EXPECT_EQ(shown, kNaoSim);
}

TEST(ShowListDialog, CancelarAndEscapeGiveZero) {
    QString cancelCaption;
    driveNext([&](WAlert1* dlg) {
        cancelCaption = dlg->cmdCancelar->text();
        clickItem(dlg, 1);
        QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    EXPECT_EQ(ShowListDialog("Pretende Eliminar?", kNaoSim), 0);
    EXPECT_EQ(cancelCaption, "&Cancelar");
    driveNext([](WAlert1* dlg) { QTest::keyClick(dlg->lstItems, Qt::Key_Escape); });
    EXPECT_EQ(ShowListDialog("Pretende Eliminar?", kNaoSim), 0);
}

TEST(ShowListDialog, EnterChooses) {
    driveNext([](WAlert1* dlg) {
        QTest::keyClick(dlg->lstItems, Qt::Key_Down);
        QTest::keyClick(dlg->lstItems, Qt::Key_Return);
    });
    EXPECT_EQ(ShowListDialog("Deseja Procurar Apartir do Ínicio?", {"Sim", "Não", "Talvez"}), 2);
}

TEST(ShowListDialog, DoubleClickChooses) {
    driveNext([](WAlert1* dlg) {
        const QRect r = dlg->lstItems->visualItemRect(dlg->lstItems->item(2));
        QTest::mouseClick(dlg->lstItems->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(dlg->lstItems->viewport(), Qt::LeftButton, {}, r.center());
    });
    EXPECT_EQ(ShowListDialog("Escolha", {"a", "b", "c"}), 3);
}

TEST(ShowListDialog, AnEmptyListCanOnlyBeCancelled) {
    driveNext([](WAlert1* dlg) {
        QTest::mouseClick(dlg->cmdOK, Qt::LeftButton);
        EXPECT_TRUE(dlg->isVisible());
        QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    EXPECT_EQ(ShowListDialog("Nada", {}), 0);
}
