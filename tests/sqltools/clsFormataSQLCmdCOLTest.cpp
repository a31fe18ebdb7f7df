#include "sqltools/clsFormataSQLCmdCOL.h"
#include "core/VarnoltError.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

template <class F> int errorOf(F f) {
    try {
        f();
    } catch (const VarnoltError& e) {
        return e.number();
    }
    return 0;
}

QStringList comandos(const clsFormataSQLCmdCOL& col) {
    QStringList out;
    for (const auto& e : col)
        out << e->Comando();
    return out;
}

} // namespace

TEST(clsFormataSQLCmdCOL, AddKeepsOrderDuplicatesAndKeys) {
    clsFormataSQLCmdCOL col;
    EXPECT_EQ(col.Find("select"), -1); // empty collection
    clsFormataSQLCmd& first = col.Add("SELECT", 0x00FF0000);
    EXPECT_EQ(first.Comando(), "SELECT");
    EXPECT_EQ(first.Tipo(), 0x00FF0000);
    col.Add("SELECT", 0x00FF00FF);
    col.Add("From", 7, "kFrom");
    EXPECT_EQ(col.Count(), 3);
    EXPECT_EQ(col.Item(2).Tipo(), 0x00FF00FF);
    EXPECT_EQ(&col.Item("KFROM"), &col.Item(3));
    EXPECT_EQ(col[3].Comando(), "From");
    EXPECT_EQ(comandos(col), (QStringList{"SELECT", "SELECT", "From"}));
    EXPECT_EQ(col.Find("select"), 1);
    EXPECT_EQ(col.Find("FROM"), 3);
    EXPECT_EQ(col.Find(" from"), -1); // nothing trimmed
}

TEST(clsFormataSQLCmdCOL, RemoveMovesTheFollowingEntriesUp) {
    clsFormataSQLCmdCOL col;
    col.Add("a", 1);
    col.Add("b", 2, "kb");
    col.Add("c", 3);
    col.Remove(1);
    EXPECT_EQ(comandos(col), (QStringList{"b", "c"}));
    col.Remove("kB");
    EXPECT_EQ(comandos(col), QStringList{"c"});
    col.Add("d", 4, "kb"); // the key is free again
    EXPECT_EQ(col.Item("kb").Comando(), "d");
}

TEST(clsFormataSQLCmdCOL, BadPositionsAndKeysFailAndChangeNothing) {
    clsFormataSQLCmdCOL col;
    col.Add("a", 1, "ka");
    col.Add("b", 2);
    EXPECT_EQ(errorOf([&] { col.Item(0); }), 9);
    EXPECT_EQ(errorOf([&] { col.Item(3); }), 9);
    EXPECT_EQ(errorOf([&] { col.Remove(3); }), 9);
    EXPECT_EQ(errorOf([&] { col.Remove(0); }), 9);
    EXPECT_EQ(errorOf([&] { col.Item("kz"); }), 5);
    EXPECT_EQ(errorOf([&] { col.Remove("kz"); }), 5);
    EXPECT_EQ(errorOf([&] { col.Item(""); }), 5);
    EXPECT_EQ(errorOf([&] { col.Add("c", 3, "KA"); }), 457);
    EXPECT_EQ(comandos(col), (QStringList{"a", "b"}));
}

TEST(clsFormataSQLCmdCOL, FindOverflowsPastA16BitCount) {
    clsFormataSQLCmdCOL col;
    for (int i = 0; i < 32767; ++i)
        col.Add(QStringLiteral("w%1").arg(i), 0);
    EXPECT_EQ(col.Find("W32766"), 32767);
    col.Add("last", 0);
    EXPECT_EQ(errorOf([&] { col.Find("w1"); }), 6);
    EXPECT_EQ(col.Count(), 32768);
}
