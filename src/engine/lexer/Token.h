#pragma once
// One token of T-SQL text.

#include <QString>

namespace engine::sql {

enum class TokenType {
    End,              // end of input
    Identifier,       // plain word, keywords included
    QuotedIdentifier, // [name] or "name"
    String,           // '...'
    NString,          // N'...'
    Integer,          // 123
    Decimal,          // 1.5, .5, 1.
    Float,            // 1e5, 1.5E-3
    Money,            // $12.50 (text holds the digits without '$')
    Binary,           // 0x1F (text holds the hex digits without "0x")
    Variable,         // @name
    Global,           // @@name
    Operator,         // ( ) , . ; = <> != < <= > >= !< !> + - * / % & | ^ ~ ::
};

struct Token {
    TokenType type = TokenType::End;
    QString text;  // decoded: names without brackets, strings without quotes and doubled quotes
    int pos = 0;   // offset of the first character in the source
    int end = 0;   // offset just past the last character
    int line = 1;  // 1-based
    int column = 1; // 1-based, in characters
    bool reserved = false; // a plain word that is a reserved keyword

    bool is(TokenType t) const { return type == t; }
    // A plain word equal to kw ignoring case (kw in upper case). Quoted names never match.
    bool isWord(const char* kw) const;
    bool isOp(const char* op) const { return type == TokenType::Operator && text == QLatin1String(op); }
    bool isName() const { return type == TokenType::Identifier || type == TokenType::QuotedIdentifier; }
};

// True when word (any case) is a reserved T-SQL keyword.
bool isReservedKeyword(const QString& word);

} // namespace engine::sql
