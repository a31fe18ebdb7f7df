#include "engine/lexer/Lexer.h"

#include "engine/Engine.h"

namespace engine::sql {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') ||
           c == QLatin1Char('@') || c == QLatin1Char('$');
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

QString excerpt(const QString& s) {
    return s.size() > 60 ? s.left(60) + QStringLiteral("...") : s;
}

} // namespace

void Lexer::advance(int n) {
    for (int i = 0; i < n && pos_ < src_.size(); ++i) {
        const QChar c = src_[pos_++];
        if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && at(pos_) != QLatin1Char('\n'))) {
            ++line_;
            lineStart_ = pos_;
        }
    }
}

void Lexer::fail(int number, const QString& text, int line) const {
    throw SqlError(number, 15, text, line);
}

void Lexer::skipBlanksAndComments() {
    while (pos_ < src_.size()) {
        const QChar c = src_[pos_];
        if (c.isSpace() || c == QChar(0) || c == QChar(0xFEFF)) { // a byte-order mark too
            advance();
        } else if (c == QLatin1Char('-') && at(pos_ + 1) == QLatin1Char('-')) {
            while (pos_ < src_.size() && src_[pos_] != QLatin1Char('\n') &&
                   src_[pos_] != QLatin1Char('\r'))
                ++pos_;
        } else if (c == QLatin1Char('/') && at(pos_ + 1) == QLatin1Char('*')) {
            const int startLine = line_;
            int depth = 0;
            do {
                if (pos_ >= src_.size())
                    fail(113, QStringLiteral("A comment opened with '/*' has no closing '*/'."),
                         startLine);
                if (src_[pos_] == QLatin1Char('/') && at(pos_ + 1) == QLatin1Char('*')) {
                    ++depth;
                    advance(2);
                } else if (src_[pos_] == QLatin1Char('*') && at(pos_ + 1) == QLatin1Char('/')) {
                    --depth;
                    advance(2);
                } else {
                    advance();
                }
            } while (depth > 0);
        } else {
            return;
        }
    }
}

// Reads up to the closing character; a doubled closing character stands for itself.
void Lexer::readQuoted(Token& t, QChar close) {
    const int startLine = line_;
    const int contentStart = pos_;
    QString value;
    for (;;) {
        const int stop = src_.indexOf(close, pos_);
        if (stop < 0) {
            const QString what = close == QLatin1Char(']')
                                     ? QStringLiteral("The name '%1' is missing its closing bracket.")
                                     : QStringLiteral("The character string '%1' is missing its "
                                                      "closing quotation mark.");
            fail(105, what.arg(excerpt(src_.mid(contentStart))), startLine);
        }
        value += QStringView(src_).mid(pos_, stop - pos_);
        advance(stop - pos_ + 1);
        if (at(pos_) == close) {
            value += close;
            advance();
            continue;
        }
        break;
    }
    t.text = value;
}

void Lexer::readNumber(Token& t) {
    const int start = pos_;
    bool dot = false;
    while (isDigit(at(pos_)) || (!dot && at(pos_) == QLatin1Char('.'))) {
        if (at(pos_) == QLatin1Char('.'))
            dot = true;
        ++pos_;
    }
    t.type = dot ? TokenType::Decimal : TokenType::Integer;
    QString text = src_.mid(start, pos_ - start);
    if (at(pos_) == QLatin1Char('e') || at(pos_) == QLatin1Char('E')) {
        int p = pos_ + 1;
        if (at(p) == QLatin1Char('+') || at(p) == QLatin1Char('-'))
            ++p;
        t.type = TokenType::Float;
        if (isDigit(at(p))) {
            while (isDigit(at(p)))
                ++p;
            text = src_.mid(start, p - start);
        } else {
            // "1e" means 1e0, as the server reads it
            text += QStringLiteral("e0");
            p = pos_ + 1;
        }
        pos_ = p;
    }
    if (text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('0'));
    t.text = text;
}

void Lexer::readWord(Token& t) {
    const int start = pos_;
    while (pos_ < src_.size() && isWordChar(src_[pos_]))
        ++pos_;
    t.type = TokenType::Identifier;
    t.text = src_.mid(start, pos_ - start);
    t.reserved = isReservedKeyword(t.text);
}

Token Lexer::next() {
    skipBlanksAndComments();
    Token t;
    t.pos = pos_;
    t.line = line_;
    t.column = pos_ - lineStart_ + 1;
    if (pos_ >= src_.size()) {
        t.type = TokenType::End;
        t.end = pos_;
        return t;
    }
    const QChar c = src_[pos_];
    const QChar n = at(pos_ + 1);
    if (c == QLatin1Char('[')) {
        advance();
        t.type = TokenType::QuotedIdentifier;
        readQuoted(t, QLatin1Char(']'));
    } else if (c == QLatin1Char('"')) {
        advance();
        t.type = TokenType::QuotedIdentifier;
        readQuoted(t, QLatin1Char('"'));
    } else if (c == QLatin1Char('\'')) {
        advance();
        t.type = TokenType::String;
        readQuoted(t, QLatin1Char('\''));
    } else if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && n == QLatin1Char('\'')) {
        advance(2);
        t.type = TokenType::NString;
        readQuoted(t, QLatin1Char('\''));
    } else if (c == QLatin1Char('0') && (n == QLatin1Char('x') || n == QLatin1Char('X'))) {
        pos_ += 2;
        const int start = pos_;
        while (isHexDigit(at(pos_)))
            ++pos_;
        t.type = TokenType::Binary;
        t.text = src_.mid(start, pos_ - start);
    } else if (isDigit(c) || (c == QLatin1Char('.') && isDigit(n))) {
        readNumber(t);
    } else if (c == QLatin1Char('$') && (isDigit(n) || (n == QLatin1Char('.') && isDigit(at(pos_ + 2))))) {
        ++pos_;
        readNumber(t);
        t.type = TokenType::Money;
    } else if (c == QLatin1Char('@')) {
        const bool global = n == QLatin1Char('@');
        const int start = pos_;
        pos_ += global ? 2 : 1;
        while (pos_ < src_.size() && isWordChar(src_[pos_]))
            ++pos_;
        if (pos_ - start == (global ? 2 : 1))
            fail(102, QStringLiteral("Syntax error near '%1'.").arg(src_.mid(start, pos_ - start)),
                 line_);
        t.type = global ? TokenType::Global : TokenType::Variable;
        t.text = src_.mid(start, pos_ - start);
    } else if (isWordStart(c)) {
        readWord(t);
    } else {
        static const char* const twoChar[] = {"<>", "!=", "<=", ">=", "!<", "!>", "::"};
        t.type = TokenType::Operator;
        for (const char* op : twoChar) {
            if (c == QLatin1Char(op[0]) && n == QLatin1Char(op[1])) {
                t.text = QLatin1String(op);
                pos_ += 2;
                break;
            }
        }
        if (t.text.isEmpty()) {
            if (!QStringLiteral("(),.;=<>+-*/%&|^~").contains(c))
                fail(102, QStringLiteral("Syntax error near '%1'.").arg(c), line_);
            t.text = c;
            ++pos_;
        }
    }
    t.end = pos_;
    return t;
}

std::vector<Token> Lexer::tokenize() {
    std::vector<Token> out;
    for (;;) {
        out.push_back(next());
        if (out.back().type == TokenType::End)
            return out;
    }
}

} // namespace engine::sql
