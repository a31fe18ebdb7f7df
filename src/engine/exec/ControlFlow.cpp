// BEGIN...END, IF, WHILE, PRINT, RAISERROR.

#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/types/Convert.h"

namespace engine::exec {

using namespace engine::sql;

namespace {
QString textOf(SessionImpl& s, const Expr& e)
{
    types::TypeSpec from;
    types::Value v = evaluate(s, e, &from);
    if (v.isNull()) return QString();
    types::TypeSpec to = types::makeSpec(types::Type::NVarChar, 4000, {}, {});
    types::Value t = convertValue(v, from, to, false);
    return QString::fromUtf8(t.s.data(), qsizetype(t.s.size()));
}

// RAISERROR's printf-like substitution: %d %i %u %s %x %X %o, with %% for a percent sign.
QString formatMessage(const QString& fmt, const std::vector<QString>& args)
{
    QString out;
    size_t next = 0;
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        QChar c = fmt[i];
        if (c != QLatin1Char('%') || i + 1 >= fmt.size()) {
            out += c;
            continue;
        }
        if (fmt[i + 1] == QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < fmt.size() && QStringLiteral("-+ #0123456789.lhI64").contains(fmt[j])) ++j;
        if (j < fmt.size() && QStringLiteral("diuosxX").contains(fmt[j])) {
            out += next < args.size() ? args[next] : QStringLiteral("(null)");
            ++next;
            i = j;
        } else {
            out += c;
        }
    }
    return out;
}
} // namespace

void execBlock(SessionImpl& s, const BlockStmt& st) { s.runStatements(st.body); }

void execIf(SessionImpl& s, const IfStmt& st)
{
    const bool yes = evaluateCondition(s, *st.condition);
    s.setRowCount(0); // the test reads @@ROWCOUNT; after it, @@ROWCOUNT is 0
    if (yes) {
        if (st.then) s.runStatement(*st.then);
    } else if (st.otherwise) {
        s.runStatement(*st.otherwise);
    }
}

void execWhile(SessionImpl& s, const WhileStmt& st)
{
    for (;;) {
        const bool yes = evaluateCondition(s, *st.condition);
        s.setRowCount(0); // as after IF's test
        if (!yes) break;
        try {
            if (st.body) s.runStatement(*st.body);
        } catch (const BreakSignal&) {
            break;
        } catch (const ContinueSignal&) {
            continue;
        }
    }
}

void execPrint(SessionImpl& s, const PrintStmt& st)
{
    s.addMessage(Message{0, 0, 1, st.line, textOf(s, *st.value)});
}

void execRaiserror(SessionImpl& s, const RaiserrorStmt& st)
{
    types::TypeSpec t;
    types::Value msg = evaluate(s, *st.message, &t);
    int severity = int(evaluate(s, *st.severity).i);
    int state = st.state ? int(evaluate(s, *st.state).i) : 1;
    if (severity < 0 || severity > 25) throw Errors::make(2754, QStringLiteral("A severity must be from 0 to 25."));
    if (severity > 18 && !(s.isSysadmin() && st.options.contains(QLatin1String("LOG"))))
        throw Errors::make(2754, QStringLiteral("A severity above 18 can be raised only by an administrator, WITH LOG."));
    std::vector<QString> args;
    for (const ExprPtr& a : st.args) args.push_back(textOf(s, *a));
    int number = 50000;
    QString text;
    if (t.category() == types::Category::Integer) {
        number = int(msg.i);
        text = QStringLiteral("User-defined error %1.").arg(number);
    } else {
        text = formatMessage(QString::fromUtf8(msg.s.data(), qsizetype(msg.s.size())), args);
    }
    if (severity <= 10) {
        s.addMessage(Message{number, severity, state, st.line, text});
        return;
    }
    throw SqlError(number, severity, text, st.line, state);
}

} // namespace engine::exec
