#include "ado/SelectSource.h"

#include <QStringList>

namespace ado {

namespace {

struct Token {
    QString text; // lower-cased for words
    QString raw;
    bool word = false;
    int depth = 0;
};

// Splits T-SQL into words, bracketed or quoted names, strings and single characters,
// leaving out blanks and comments.
QList<Token> tokenize(const QString& t) {
    QList<Token> out;
    int depth = 0;
    int i = 0;
    const int n = t.size();
    while (i < n) {
        const QChar c = t[i];
        if (c.isSpace()) {
            ++i;
        } else if (t.mid(i, 2) == QLatin1String("--")) {
            while (i < n && t[i] != QLatin1Char('\n'))
                ++i;
        } else if (t.mid(i, 2) == QLatin1String("/*")) {
            int level = 0;
            while (i < n) {
                if (t.mid(i, 2) == QLatin1String("/*")) {
                    ++level;
                    i += 2;
                } else if (t.mid(i, 2) == QLatin1String("*/")) {
                    i += 2;
                    if (--level == 0)
                        break;
                } else {
                    ++i;
                }
            }
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"') || c == QLatin1Char('\'') ||
                   ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n &&
                    t[i + 1] == QLatin1Char('\''))) {
            const bool unicode = c != QLatin1Char('[') && c != QLatin1Char('"') && c != QLatin1Char('\'');
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : unicode ? QLatin1Char('\'') : c;
            const int start = i;
            i += unicode ? 2 : 1;
            while (i < n) {
                if (t[i] == close) {
                    if (i + 1 < n && t[i + 1] == close) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            const QString raw = t.mid(start, i - start);
            out.append({raw, raw, close != QLatin1Char('\''), depth});
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') ||
                   c == QLatin1Char('#')) {
            const int start = i;
            while (i < n && (t[i].isLetterOrNumber() || t[i] == QLatin1Char('_') ||
                             t[i] == QLatin1Char('@') || t[i] == QLatin1Char('#') ||
                             t[i] == QLatin1Char('$')))
                ++i;
            const QString raw = t.mid(start, i - start);
            out.append({raw.toLower(), raw, true, depth});
        } else {
            if (c == QLatin1Char(')'))
                --depth;
            out.append({QString(c), QString(c), false, depth});
            if (c == QLatin1Char('('))
                ++depth;
            ++i;
        }
    }
    return out;
}

bool isNamePart(const Token& t) {
    return t.word && !t.text.isEmpty() && !t.text.startsWith(QLatin1Char('\''));
}

// A name as written: [a]]b], "a""b", 'a''b' (an alias) or a plain word.
QString unquote(const QString& raw) {
    if (raw.size() < 2)
        return raw;
    const QChar open = raw.front();
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : open;
    if ((open != QLatin1Char('[') && open != QLatin1Char('"') && open != QLatin1Char('\'')) ||
        raw.back() != close)
        return raw;
    QString inner = raw.mid(1, raw.size() - 2);
    return inner.replace(QString(2, close), QString(close));
}

// A token that can name a column: a quoted name, or a word that is no literal, variable or
// niladic function.
bool isColumnName(const Token& t) {
    if (!isNamePart(t))
        return false;
    const QChar first = t.raw.front();
    if (first == QLatin1Char('[') || first == QLatin1Char('"'))
        return true;
    static const QStringList words = {"null",         "default",      "current_timestamp",
                                      "current_user", "session_user", "system_user",
                                      "user",         "identitycol",  "rowguidcol"};
    return !first.isDigit() && first != QLatin1Char('@') && !words.contains(t.text);
}

// One select-list item: *, t.*, a column (qualified or not) with or without an alias, or
// anything else.
SelectSource::Item selectItem(QList<Token> part) {
    SelectSource::Item item;
    QString alias;
    const qsizetype n = part.size();
    if (n >= 3 && part[1].text == QLatin1String("=") &&
        (isNamePart(part[0]) || part[0].raw.startsWith(QLatin1Char('\'')))) {
        alias = unquote(part[0].raw);
        part = part.mid(2);
    } else if (n >= 3 && part[n - 2].text == QLatin1String("as")) {
        alias = unquote(part[n - 1].raw);
        part = part.mid(0, n - 2);
    } else if (n >= 2 && (isNamePart(part[n - 1]) || part[n - 1].raw.startsWith(QLatin1Char('\''))) &&
               part[n - 2].text != QLatin1String(".")) {
        alias = unquote(part[n - 1].raw);
        part = part.mid(0, n - 1);
    }
    if (part.isEmpty())
        return item;
    if (part.last().text == QLatin1String("*")) {
        item.star = alias.isEmpty() && (part.size() == 1 || part[part.size() - 2].text == QLatin1String("."));
        return item;
    }
    // (Nome) reads Nome as Nome does.
    while (part.size() >= 3 && part.first().text == QLatin1String("(") &&
           part.last().text == QLatin1String(")") && part.last().depth == part.first().depth) {
        bool enclosed = true;
        for (qsizetype i = 1; i + 1 < part.size(); ++i)
            enclosed = enclosed && part[i].depth > part.first().depth;
        if (!enclosed)
            break;
        part = part.mid(1, part.size() - 2);
    }
    // owner.table.column: names at the even places, dots between.
    if (part.size() % 2 == 0 || part.size() > 7)
        return item;
    for (qsizetype i = 0; i < part.size(); ++i)
        if (i % 2 == 0 ? !isColumnName(part[i]) : part[i].text != QLatin1String("."))
            return item;
    item.column = unquote(part.last().raw);
    item.name = alias.isEmpty() ? item.column : alias;
    return item;
}

// The select list: after SELECT [ALL] [TOP n [PERCENT] [WITH TIES]], up to FROM.
QList<SelectSource::Item> selectList(const QList<Token>& tokens, int from) {
    int i = 1;
    if (i < from && tokens[i].text == QLatin1String("all"))
        ++i;
    if (i < from && tokens[i].text == QLatin1String("top")) {
        ++i;
        if (i < from && tokens[i].text == QLatin1String("(")) {
            while (i < from && !(tokens[i].text == QLatin1String(")") && tokens[i].depth == 0))
                ++i;
        }
        ++i;
        if (i < from && tokens[i].text == QLatin1String("percent"))
            ++i;
        if (i + 1 < from && tokens[i].text == QLatin1String("with") &&
            tokens[i + 1].text == QLatin1String("ties"))
            i += 2;
    }
    QList<SelectSource::Item> items;
    QList<Token> part;
    for (; i <= from; ++i) {
        if (i == from || (tokens[i].depth == 0 && tokens[i].text == QLatin1String(","))) {
            items << selectItem(part);
            part.clear();
        } else {
            part << tokens[i];
        }
    }
    return items;
}

} // namespace

SelectSource SelectSource::analyze(const QString& text) {
    SelectSource s;
    const QList<Token> tokens = tokenize(text);
    if (tokens.isEmpty() || tokens[0].text != QLatin1String("select"))
        return s;
    s.isSelect = true;
    static const QStringList refused = {"distinct", "union", "join", "group", "having", "into",
                                        "compute", "for", "cross", "apply", "except", "intersect"};
    int from = -1;
    for (int i = 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.depth == 0 && t.word && refused.contains(t.text))
            return s;
        if (t.depth == 0 && t.text == QLatin1String("from") && from < 0)
            from = i;
        if (t.text == QLatin1String(";") && i + 1 < tokens.size())
            return s; // more than one statement
    }
    if (from < 0 || from + 1 >= tokens.size())
        return s;
    // The table: name parts joined by dots (db.owner.table, db..table).
    int i = from + 1;
    QString table;
    while (i < tokens.size()) {
        if (isNamePart(tokens[i])) {
            table += tokens[i].raw;
            ++i;
        }
        if (i < tokens.size() && tokens[i].text == QLatin1String(".")) {
            table += QLatin1Char('.');
            ++i;
            continue;
        }
        break;
    }
    if (table.isEmpty() || table.endsWith(QLatin1Char('.')))
        return s;
    // An alias may follow; then the end or a clause that keeps one table.
    if (i < tokens.size() && tokens[i].text == QLatin1String("as"))
        i += 2;
    else if (i < tokens.size() && tokens[i].word && tokens[i].text != QLatin1String("where") &&
             tokens[i].text != QLatin1String("order") && tokens[i].text != QLatin1String("with"))
        ++i;
    if (i < tokens.size() && tokens[i].text == QLatin1String("with") && i + 1 < tokens.size() &&
        tokens[i + 1].text == QLatin1String("(")) {
        while (i < tokens.size() && tokens[i].text != QLatin1String(")"))
            ++i;
        ++i;
    }
    if (i < tokens.size() && tokens[i].text != QLatin1String("where") &&
        tokens[i].text != QLatin1String("order") && tokens[i].text != QLatin1String(";"))
        return s;
    s.singleTable = true;
    s.table = table;
    s.items = selectList(tokens, from);
    return s;
}

} // namespace ado
