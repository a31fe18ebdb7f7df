#include "dmo/StoredProcedure.h"

#include "dmo/DmoError.h"
#include "dmo/Sql.h"

namespace dmo {

namespace {

// Position of the first character after blanks and comments from pos.
int skipBlanks(const QString& t, int pos) {
    while (pos < t.size()) {
        if (t[pos].isSpace()) {
            ++pos;
        } else if (t.mid(pos, 2) == QLatin1String("--")) {
            while (pos < t.size() && t[pos] != QLatin1Char('\n'))
                ++pos;
        } else if (t.mid(pos, 2) == QLatin1String("/*")) {
            int depth = 0;
            while (pos < t.size()) {
                if (t.mid(pos, 2) == QLatin1String("/*")) {
                    ++depth;
                    pos += 2;
                } else if (t.mid(pos, 2) == QLatin1String("*/")) {
                    pos += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++pos;
                }
            }
        } else {
            break;
        }
    }
    return pos;
}

int wordEnd(const QString& t, int pos) {
    while (pos < t.size() && (t[pos].isLetterOrNumber() || t[pos] == QLatin1Char('_')))
        ++pos;
    return pos;
}

// End of an unquoted name from pos: T-SQL names also hold '@', '#' and '$'.
int nameEnd(const QString& t, int pos) {
    while (pos < t.size() && (t[pos].isLetterOrNumber() || t[pos] == QLatin1Char('_') ||
                              t[pos] == QLatin1Char('@') || t[pos] == QLatin1Char('#') ||
                              t[pos] == QLatin1Char('$')))
        ++pos;
    return pos;
}

// Finds CREATE|ALTER PROC[EDURE]: the verb's start and the position after PROC[EDURE].
bool findHead(const QString& t, int& verbStart, int& afterProc) {
    verbStart = skipBlanks(t, 0);
    const int verbEnd = wordEnd(t, verbStart);
    const QString verb = t.mid(verbStart, verbEnd - verbStart).toLower();
    if (verb != QLatin1String("create") && verb != QLatin1String("alter"))
        return false;
    const int procStart = skipBlanks(t, verbEnd);
    afterProc = wordEnd(t, procStart);
    const QString proc = t.mid(procStart, afterProc - procStart).toLower();
    return proc == QLatin1String("proc") || proc == QLatin1String("procedure");
}

// Names as the server compares them: any case, blanks at the end left out.
bool sameName(const QString& a, const QString& b) {
    auto chopped = [](const QString& n) {
        qsizetype end = n.size();
        while (end > 0 && n[end - 1] == QLatin1Char(' '))
            --end;
        return QStringView(n).left(end);
    };
    return chopped(a).compare(chopped(b), Qt::CaseInsensitive) == 0;
}

[[noreturn]] void notAProcedure() {
    throw DmoError(Errors::InvalidOperation,
                   QStringLiteral("The text does not begin with CREATE PROCEDURE."));
}

} // namespace

bool StoredProcedure::parseName(const QString& text, QString& owner, QString& name) {
    int verbStart = 0, pos = 0;
    if (!findHead(text, verbStart, pos))
        return false;
    pos = skipBlanks(text, pos);
    QStringList parts;
    while (pos < text.size()) {
        QString part;
        if (text[pos] == QLatin1Char('[') || text[pos] == QLatin1Char('"')) {
            const QChar close = text[pos] == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == close) {
                    if (pos + 1 < text.size() && text[pos + 1] == close) {
                        part += close;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                part += text[pos++];
            }
        } else {
            const int end = nameEnd(text, pos);
            part = text.mid(pos, end - pos);
            pos = end;
        }
        // Blanks and comments may stand on either side of a dot.
        const int next = skipBlanks(text, pos);
        const bool dot = next < text.size() && text[next] == QLatin1Char('.');
        // Only an owner may be left out, between the database and the name ("db..name").
        if (part.isEmpty() && (!dot || parts.isEmpty()))
            return false;
        parts << part;
        if (!dot)
            break;
        pos = skipBlanks(text, next + 1);
    }
    if (parts.isEmpty() || parts.last().isEmpty())
        return false;
    name = parts.last();
    owner = parts.size() >= 2 ? parts[parts.size() - 2] : QString();
    return true;
}

QString StoredProcedure::alterText(const QString& createText) {
    int verbStart = 0, afterProc = 0;
    if (!findHead(createText, verbStart, afterProc))
        notAProcedure();
    QString text = createText;
    const int verbEnd = wordEnd(text, verbStart);
    return text.replace(verbStart, verbEnd - verbStart, QStringLiteral("ALTER"));
}

void StoredProcedure::attach(ConnectionPtr conn, QString database, QString name, QString owner) {
    conn_ = std::move(conn);
    database_ = std::move(database);
    name_ = std::move(name);
    owner_ = std::move(owner);
    textLoaded_ = false;
}

QString StoredProcedure::Text() {
    if (conn_ && !textLoaded_) {
        engine::ResultSet rs =
            conn_->query(database_, QStringLiteral("EXEC sp_helptext %1")
                                        .arg(sql::quoteNString(sql::qualified(owner_, name_))));
        QString text;
        for (size_t r = 0; r < rs.rows.size(); ++r)
            text += rs.text(r, 0);
        // Text is the statement that creates the procedure.
        int verbStart = 0, afterProc = 0;
        if (findHead(text, verbStart, afterProc) &&
            text.mid(verbStart, 5).compare(QLatin1String("alter"), Qt::CaseInsensitive) == 0)
            text.replace(verbStart, 5, QStringLiteral("CREATE"));
        text_ = text;
        textLoaded_ = true;
    }
    return text_;
}

void StoredProcedure::SetText(const QString& text) {
    if (conn_)
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("Use Alter to change the existing procedure '%1'.").arg(name_));
    QString owner, name;
    if (parseName(text, owner, name)) {
        name_ = name;
        owner_ = owner;
    }
    text_ = text;
}

void StoredProcedure::Alter(const QString& text) {
    if (!conn_)
        throw DmoError(Errors::NotAttached,
                       QStringLiteral("The procedure has not been added to a database."));
    const QString alter = alterText(text);
    // This procedure only: a text naming another one would rewrite that one.
    QString owner, name;
    if (parseName(text, owner, name) &&
        (!sameName(name, name_) ||
         (!owner.isEmpty() && !owner_.isEmpty() && !sameName(owner, owner_))))
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The text defines the procedure %1, not %2: a procedure is "
                                      "altered under its own name.")
                           .arg(sql::qualified(owner, name), sql::qualified(owner_, name_)));
    // One batch: a GO line is part of the text, never the start of another batch.
    conn_->executeBatch(database_, alter);
    textLoaded_ = false;
}

} // namespace dmo
