#include "engine/Engine.h"
#include "engine/lexer/Lexer.h"

#include <gtest/gtest.h>

using namespace engine::sql;

namespace {

std::vector<Token> lex(const QString& s) {
    return Lexer::tokenize(s);
}

int errorOf(const QString& s, int* line = nullptr) {
    try {
        lex(s);
    } catch (const engine::SqlError& e) {
        if (line)
            *line = e.message().line;
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Lexer, BracketedAndQuotedNamesUnescape) {
    auto t = lex(QStringLiteral("[a]]b] \"x\"\"y\" [with blank] [ç]"));
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].type, TokenType::QuotedIdentifier);
    EXPECT_EQ(t[0].text, QStringLiteral("a]b"));
    EXPECT_EQ(t[1].text, QStringLiteral("x\"y"));
    EXPECT_EQ(t[2].text, QStringLiteral("with blank"));
    EXPECT_EQ(t[3].text, QStringLiteral("ç"));
    EXPECT_EQ(t[4].type, TokenType::End);
}

TEST(Lexer, StringsWithDoubledQuotesAndUnicodePrefix) {
    auto t = lex(QStringLiteral("'it''s' N'São' n'x' '' 'a\nb'"));
    EXPECT_EQ(t[0].type, TokenType::String);
    EXPECT_EQ(t[0].text, QStringLiteral("it's"));
    EXPECT_EQ(t[1].type, TokenType::NString);
    EXPECT_EQ(t[1].text, QStringLiteral("São"));
    EXPECT_EQ(t[2].type, TokenType::NString);
    EXPECT_EQ(t[3].type, TokenType::String);
    EXPECT_TRUE(t[3].text.isEmpty());
    EXPECT_EQ(t[4].text, QStringLiteral("a\nb"));
    // A name N followed by a blank is a word, not a Unicode string.
    auto u = lex(QStringLiteral("N 'x'"));
    EXPECT_EQ(u[0].type, TokenType::Identifier);
    EXPECT_EQ(u[1].type, TokenType::String);
}

TEST(Lexer, Numbers) {
    auto t = lex(QStringLiteral("12 1.5 .5 3. 1e5 2.5E-3 $12.50 $3 0x1F 0x 0xABC 1e"));
    const TokenType types[] = {TokenType::Integer, TokenType::Decimal, TokenType::Decimal,
                               TokenType::Decimal, TokenType::Float,   TokenType::Float,
                               TokenType::Money,   TokenType::Money,   TokenType::Binary,
                               TokenType::Binary,  TokenType::Binary,  TokenType::Float};
    const char* texts[] = {"12", "1.5", "0.5", "3.", "1e5", "2.5E-3", "12.50", "3", "1F", "", "ABC",
                           "1e0"};
    ASSERT_EQ(t.size(), 13u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(t[i].type, types[i]) << i;
        EXPECT_EQ(t[i].text, QLatin1String(texts[i])) << i;
    }
}

TEST(Lexer, VariablesGlobalsAndOperators) {
    auto t = lex(QStringLiteral("@a @@IDENTITY <> != <= >= !< !> = - ~ @b1#"));
    EXPECT_EQ(t[0].type, TokenType::Variable);
    EXPECT_EQ(t[0].text, QStringLiteral("@a"));
    EXPECT_EQ(t[1].type, TokenType::Global);
    EXPECT_EQ(t[1].text, QStringLiteral("@@IDENTITY"));
    EXPECT_TRUE(t[2].isOp("<>"));
    EXPECT_TRUE(t[3].isOp("!="));
    EXPECT_TRUE(t[4].isOp("<="));
    EXPECT_TRUE(t[5].isOp(">="));
    EXPECT_TRUE(t[6].isOp("!<"));
    EXPECT_TRUE(t[7].isOp("!>"));
    EXPECT_EQ(t[11].text, QStringLiteral("@b1#"));
}

TEST(Lexer, CommentsNestAndLinesAreCounted) {
    auto t = lex(QStringLiteral("a -- x\r\n/* one /* two */ still */ b\n\n  c /*\n*/ d"));
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].line, 1);
    EXPECT_EQ(t[1].text, QStringLiteral("b"));
    EXPECT_EQ(t[1].line, 2);
    EXPECT_EQ(t[2].line, 4);
    EXPECT_EQ(t[2].column, 3);
    EXPECT_EQ(t[3].line, 5);
    // a string spanning lines moves the following tokens down
    auto u = lex(QStringLiteral("'a\nb\nc' x"));
    EXPECT_EQ(u[1].line, 3);
}

TEST(Lexer, KeywordsMatchInAnyCase) {
    auto t = lex(QStringLiteral("sElEcT [select]"));
    EXPECT_TRUE(t[0].isWord("SELECT"));
    EXPECT_FALSE(t[1].isWord("SELECT"));
    EXPECT_TRUE(isReservedKeyword(QStringLiteral("nonclustered")));
    EXPECT_FALSE(isReservedKeyword(QStringLiteral("Orders")));
}

TEST(Lexer, UnterminatedInputIsAnErrorWithTheStartingLine) {
    int line = 0;
    EXPECT_EQ(errorOf(QStringLiteral("select\n'abc"), &line), 105);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(errorOf(QStringLiteral("select [abc"), &line), 105);
    EXPECT_EQ(errorOf(QStringLiteral("select \"abc"), &line), 105);
    EXPECT_EQ(errorOf(QStringLiteral("'it''"), &line), 105);
    EXPECT_EQ(errorOf(QStringLiteral("a\n\n/* /* */"), &line), 113);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(errorOf(QStringLiteral("select ?"), &line), 102);
    EXPECT_EQ(errorOf(QStringLiteral("select @"), &line), 102);
    EXPECT_EQ(errorOf(QStringLiteral("-- only a comment")), 0);
    EXPECT_EQ(errorOf(QString(QChar(0xFEFF)) + QStringLiteral("select 1")), 0);
}
