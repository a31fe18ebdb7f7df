// The quoting helper: its texts, and that the lexer reads each back as the one name or value.
#include "engine/TsqlQuote.h"
#include "engine/lexer/Lexer.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace engine::sql;

namespace {

// The token a quoted text reads as, or an End token when it reads as more than one.
Token only(const QString& sql) {
    const std::vector<Token> t = Lexer::tokenize(sql);
    return t.size() == 2 ? t[0] : Token{};
}

} // namespace

TEST(TsqlQuote, Texts) {
    struct Case {
        const char *text, *name, *string;
    };
    const Case cases[] = {{"Order Date", "[Order Date]", "'Order Date'"},
                          {"a]b", "[a]]b]", "'a]b'"},
                          {"[x]", "[[x]]]", "'[x]'"},
                          {"it's", "[it's]", "'it''s'"},
                          {"", "[]", "''"}};
    for (const Case& c : cases) {
        EXPECT_EQ(quoteName(c.text), c.name);
        EXPECT_EQ(quoteString(c.text), c.string);
        EXPECT_EQ(quoteNString(c.text), QLatin1Char('N') + QString::fromUtf8(c.string));
    }
}

TEST(TsqlQuote, ReadBackWhole) {
    const QStringList texts{"Id",
                            "Order Date",
                            "a]b",
                            "]]",
                            "[x",
                            "x]",
                            "[x]",
                            "a'b",
                            "''",
                            "%1 %2",
                            "O'Neil]; DROP TABLE t --",
                            "Ação ç 表",
                            " lead",
                            "trail ",
                            "a\tb",
                            "a\r\nb",
                            "\"q\""};
    for (const QString& text : texts) {
        const Token name = only(quoteName(text));
        EXPECT_EQ(name.type, TokenType::QuotedIdentifier) << text.toStdString();
        EXPECT_EQ(name.text, text);
        const Token plain = only(quoteString(text));
        EXPECT_EQ(plain.type, TokenType::String) << text.toStdString();
        EXPECT_EQ(plain.text, text);
        const Token unicode = only(quoteNString(text));
        EXPECT_EQ(unicode.type, TokenType::NString) << text.toStdString();
        EXPECT_EQ(unicode.text, text);
    }
}

TEST(TsqlQuote, PlainWordsStayBareWhenQuotedIfNeeded) {
    for (const char* plain :
         {"int", "varchar", "phone", "Latin1_General_CI_AS", "_x", "#t", "a$b@1"})
        EXPECT_EQ(quoteNameIfNeeded(plain), plain);
    EXPECT_EQ(quoteNameIfNeeded("Post Code"), "[Post Code]");
    EXPECT_EQ(quoteNameIfNeeded("O'Code"), "[O'Code]");
    EXPECT_EQ(quoteNameIfNeeded("Key"), "[Key]"); // reserved
    EXPECT_EQ(quoteNameIfNeeded("1st"), "[1st]");
    EXPECT_EQ(quoteNameIfNeeded("a]b"), "[a]]b]");
    EXPECT_EQ(quoteNameIfNeeded("x NULL, y int"), "[x NULL, y int]");
    EXPECT_EQ(quoteNameIfNeeded(""), "[]");
}
