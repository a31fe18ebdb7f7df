#include "controls/SelOpta.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(SelOpta, ListaShowsTheTextsAndSelectsTheFirstEntry) {
    SelOpta sel;
    sel.setLista(QString::fromUtf8("1:Sim;2:Não;"));
    ASSERT_EQ(sel.count(), 2);
    EXPECT_EQ(sel.itemText(1), QString::fromUtf8("Não"));
    EXPECT_EQ(sel.currentText(), "Sim");
    EXPECT_EQ(sel.Chave(), "1");
    EXPECT_EQ(sel.Texto(), "Sim");
    sel.setLista("");
    EXPECT_EQ(sel.count(), 0);
    EXPECT_EQ(sel.Chave(), "");
}

TEST(SelOpta, ChaveSelectsByKeyIgnoringCaseElseTheFirstEntry) {
    SelOpta sel;
    sel.setLista("master:master;Vendas:Vendas;tempdb:tempdb;");
    sel.setChave("VENDAS");
    EXPECT_TRUE(sel.Found());
    EXPECT_EQ(sel.Chave(), "Vendas");
    sel.setChave("nada");
    EXPECT_FALSE(sel.Found());
    EXPECT_EQ(sel.Chave(), "master");
}

TEST(SelOpta, TheUserChoosesWithTheKeyboardUnlessLocked) {
    SelOpta sel;
    sel.setLista("a:Alfa;b:Beta;");
    sel.show();
    QSignalSpy clicks(&sel, &SelOpta::Click);
    QTest::keyClick(&sel, Qt::Key_Down);
    EXPECT_EQ(sel.Chave(), "b");
    EXPECT_EQ(clicks.count(), 1);
    sel.setLocked(true);
    QTest::keyClick(&sel, Qt::Key_Up);
    EXPECT_EQ(sel.Chave(), "b");
    EXPECT_TRUE(sel.isEnabled()); // locked, not greyed
    sel.setLocked(false);
    QTest::keyClick(&sel, Qt::Key_Up);
    EXPECT_EQ(sel.Chave(), "a");
}

TEST(SelOpta, AppearanceProperties) {
    SelOpta sel;
    sel.setBackCor(QColor(255, 255, 192));
    EXPECT_EQ(sel.BackCor(), QColor(255, 255, 192));
    QFont f("Sans Serif", 8);
    sel.setFonte(f);
    EXPECT_EQ(sel.Fonte().pointSize(), 8);
    sel.setEnabledState(false);
    EXPECT_FALSE(sel.Enabled());
    sel.Refresh();
}
