#include "core/cServerCOL.h"
#include "core/VarnoltError.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList names(const cServerCOL& col) {
    QStringList out;
    for (const auto& s : col)
        out << s->ServerName();
    return out;
}

} // namespace

TEST(cServerCOL, AddItemCountRemoveAndIteration) {
    cServerCOL col;
    EXPECT_EQ(col.Count(), 0);
    col.Add("ALFA", true, "", "");
    col.Add("BETA\\SQL", false, "sa", "pw", "beta\\sql");
    col.Add("(LOCAL)", true, "", "");
    EXPECT_EQ(col.Count(), 3);
    EXPECT_EQ(col.Item(2).Login(), "sa");
    EXPECT_EQ(col.Item("BETA\\SQL").ServerName(), "BETA\\SQL");
    EXPECT_EQ(names(col), (QStringList{"ALFA", "BETA\\SQL", "(LOCAL)"}));
    col.Remove(1);
    EXPECT_EQ(names(col), (QStringList{"BETA\\SQL", "(LOCAL)"}));
    col.Remove("beta\\SQL");
    EXPECT_EQ(names(col), QStringList{"(LOCAL)"});
}

TEST(cServerCOL, BadPositionsAndKeysThrowAndChangeNothing) {
    cServerCOL col;
    col.Add("ALFA", true, "", "", "alfa");
    const auto number = [](auto f) {
        try {
            f();
        } catch (const VarnoltError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(number([&] { col.Item(0); }), 9);
    EXPECT_EQ(number([&] { col.Item(2); }), 9);
    EXPECT_EQ(number([&] { col.Remove(-1); }), 9);
    EXPECT_EQ(number([&] { col.Item("nada"); }), 5);
    EXPECT_EQ(number([&] { col.Remove("nada"); }), 5);
    EXPECT_EQ(number([&] { col.Add("OUTRO", true, "", "", "ALFA"); }), 457);
    EXPECT_EQ(col.Count(), 1);
    EXPECT_EQ(col.Item(1).ServerName(), "ALFA");
}

TEST(cServerCOL, GetServerByNameCutsAtTheFirstBlankAndIgnoresCase) {
    cServerCOL col;
    col.Add("ALFA", true, "", "");
    col.Add("Beta\\Sql", true, "", "");
    col.Add("beta\\sql", true, "", ""); // a second match: the first one wins
    int pos = 0;
    EXPECT_EQ(col.GetServerByName("beta\\SQL (Ligado)", &pos), &col.Item(2));
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(col.GetServerByName("alfa", &pos), &col.Item(1));
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(col.GetServerByName("  ALFA", &pos), nullptr); // cut before the leading blank
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(col.GetServerByName("GAMA", &pos), nullptr);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(col.GetServerByName("ALFA\t"), &col.Item(1)); // trimmed
}

TEST(cServerCOL, ARemovedServerStaysAliveForWhoeverHoldsIt) {
    cServerCOL col;
    col.Add("ALFA", true, "", "");
    cServerCOL::Ptr held = col.ItemPtr(1);
    col.Remove(1);
    EXPECT_EQ(held->ServerName(), "ALFA");
}
