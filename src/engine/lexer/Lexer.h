#pragma once
// Splits T-SQL text into tokens. Comments and blanks are dropped.

#include "engine/lexer/Token.h"

#include <vector>

namespace engine::sql {

class Lexer {
public:
    explicit Lexer(const QString& text) : src_(text) {}
    // All tokens, ending with one End token. Throws engine::SqlError: 105 for an unclosed
    // quotation mark or bracket, 113 for an unclosed comment, 102 for a stray character.
    std::vector<Token> tokenize();
    static std::vector<Token> tokenize(const QString& text) { return Lexer(text).tokenize(); }

private:
    QChar at(int i) const { return i < src_.size() ? src_[i] : QChar(); }
    void advance(int n = 1);
    void skipBlanksAndComments();
    Token next();
    void readQuoted(Token& t, QChar close);
    void readNumber(Token& t);
    void readWord(Token& t);
    [[noreturn]] void fail(int number, const QString& text, int line) const;

    const QString& src_;
    int pos_ = 0;
    int line_ = 1;
    int lineStart_ = 0;
};

} // namespace engine::sql
