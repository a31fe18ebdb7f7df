#include "core/TextHelpers.h"

#include <gtest/gtest.h>

TEST(TextHelpers, CheckBoxValues) {
    EXPECT_EQ(BoolToCheck(true), 1);
    EXPECT_EQ(BoolToCheck(false), 0);
    EXPECT_TRUE(CheckToBool(1));
    EXPECT_FALSE(CheckToBool(0));
    EXPECT_FALSE(CheckToBool(2));
    EXPECT_FALSE(CheckToBool(-1));
    EXPECT_EQ(CheckToQt(1), Qt::Checked);
    EXPECT_EQ(CheckToQt(2), Qt::PartiallyChecked);
    EXPECT_EQ(QtToCheck(Qt::Checked), 1);
    EXPECT_EQ(QtToCheck(Qt::Unchecked), 0);
}

TEST(TextHelpers, MaskLineBreaks) {
    EXPECT_EQ(MaskLineBreaks("a\r\nb\nc\r", " "), "a  b c");
    EXPECT_EQ(MaskLineBreaks("  a\r\nb  ", "|x"), "a||b");
    EXPECT_EQ(MaskLineBreaks(" a\r\nb ", ""), "a\r\nb");
    EXPECT_EQ(MaskLineBreaks("\ta ", "_"), "\ta"); // only blanks are trimmed
    EXPECT_EQ(MaskLineBreaks("", "_"), "");
}

TEST(TextHelpers, ReplaceApostrophes) {
    EXPECT_EQ(ReplaceApostrophes("O'Brien's"), "O`Brien`s");
    EXPECT_EQ(ReplaceApostrophes("nada"), "nada");
}
