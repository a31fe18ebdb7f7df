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
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const int start = i++;
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
            out.append({raw, raw, c != QLatin1Char('\''), depth});
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
    return s;
}

} // namespace ado
