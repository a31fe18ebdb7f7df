// Numbers typed under one locale reach the server in its own form, or not at all.
#include "ado/NumberText.h"

#include <gtest/gtest.h>

using ado::NumberText;

TEST(NumberText, ReadsTheLocalesSeparatorsAndAnyScriptsDigits) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale egyptian(QLocale::Arabic, QLocale::Egypt);
    const QLocale french(QLocale::French, QLocale::France);
    EXPECT_EQ(NumberText(QStringLiteral("4,5"), german).value_or(QStringLiteral("<none>")), QStringLiteral("4.5"));
    EXPECT_EQ(NumberText(QStringLiteral("-1.234,56"), german).value_or(QStringLiteral("<none>")), QStringLiteral("-1234.56"));
    EXPECT_EQ(NumberText(QStringLiteral(" 7.5 "), german).value_or(QStringLiteral("<none>")), QStringLiteral("7.5"));
    EXPECT_EQ(NumberText(QStringLiteral("1,234.5"), english).value_or(QStringLiteral("<none>")), QStringLiteral("1234.5"));
    EXPECT_EQ(NumberText(QStringLiteral("1e5"), english).value_or(QStringLiteral("<none>")), QStringLiteral("1e5"));
    EXPECT_EQ(NumberText(QStringLiteral("٤٫٥"), egyptian).value_or(QStringLiteral("<none>")), QStringLiteral("4.5"));
    EXPECT_EQ(NumberText(QStringLiteral("\u061C-٤٢"), egyptian).value_or(QStringLiteral("<none>")), QStringLiteral("-42"));
    EXPECT_EQ(NumberText(QStringLiteral("٤.٥"), german).value_or(QStringLiteral("<none>")), QStringLiteral("4.5"));
    EXPECT_EQ(NumberText(QStringLiteral("1 234,5"), french).value_or(QStringLiteral("<none>")), QStringLiteral("1234.5"));
    EXPECT_EQ(NumberText(QStringLiteral("1\u202F234,5"), french).value_or(QStringLiteral("<none>")), QStringLiteral("1234.5"));
    for (const QString& refused : {QStringLiteral("4,5"), QStringLiteral("12,34,567"), QStringLiteral("1.234,56"),
                                   QStringLiteral("abc"), QStringLiteral("4.5.6"), QStringLiteral("")})
        EXPECT_FALSE(NumberText(refused, english).has_value()) << refused.toStdString();
}
