#include "controls/SplitToArray.h"

#include <gtest/gtest.h>

namespace {

QStringList split(const QString& text, const QString& delim, bool* result = nullptr) {
    QStringList parts{"old", "values"};
    const bool r = SplitToArray(text, delim, parts);
    if (result)
        *result = r;
    return parts;
}

} // namespace

TEST(SplitToArray, BlankTextGivesFalseAndOneEmptyElement) {
    bool r = true;
    EXPECT_EQ(split("", ";", &r), QStringList{""});
    EXPECT_FALSE(r);
    EXPECT_EQ(split("   ", ";", &r), QStringList{""});
    EXPECT_FALSE(r);
}

TEST(SplitToArray, PiecesInOrderUntrimmed) {
    bool r = false;
    EXPECT_EQ(split("a; b ;c", ";", &r), (QStringList{"a", " b ", "c"}));
    EXPECT_TRUE(r);
    EXPECT_EQ(split("abc", ";"), QStringList{"abc"});
    EXPECT_EQ(split("a<#>b<#>c", "<#>"), (QStringList{"a", "b", "c"}));
}

TEST(SplitToArray, AnEmptyPieceIsOverwrittenByTheNextOne) {
    EXPECT_EQ(split("a;;b", ";"), (QStringList{"a", "b"}));
    EXPECT_EQ(split(";a", ";"), QStringList{"a"});
    EXPECT_EQ(split(";;;a;;", ";"), (QStringList{"a", ""}));
    EXPECT_EQ(split("a; ;b", ";"), (QStringList{"a", " ", "b"})); // a blank is not empty
}

TEST(SplitToArray, NothingIsPlacedForADelimiterThatEndsTheText) {
    EXPECT_EQ(split("a;b;", ";"), (QStringList{"a", "b"}));
    EXPECT_EQ(split("a;;", ";"), (QStringList{"a", ""}));
    EXPECT_EQ(split("x<@>A<#>", "<#>"), QStringList{"x<@>A"});
}
