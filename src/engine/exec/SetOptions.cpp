// SET IDENTITY_INSERT and the session SET options.

#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/types/DateTimeValue.h"

#include <algorithm>
#include <limits>

namespace engine::exec {

using namespace engine::sql;

void execSetIdentityInsert(SessionImpl& s, const SetIdentityInsertStmt& st)
{
    ResolvedTable t = s.resolveTable(st.table);
    if (!t.table.identityColumn()) throw Errors::identityNotSet(t.table.name);
    bool same = s.identityInsert && s.identityInsert->tableId == t.table.id &&
                s.identityInsert->database.compare(t.database, Qt::CaseInsensitive) == 0;
    if (st.on) {
        if (s.identityInsert && !same) {
            // a table dropped or rolled back since does not hold the setting any more
            bool exists = false;
            try {
                exists = s.catalogFor(s.identityInsert->database).objectById(s.identityInsert->tableId).has_value();
            } catch (const SqlError&) {
            }
            if (exists) throw Errors::identityInsertOther(s.identityInsert->name);
        }
        s.identityInsert = SessionImpl::IdentityInsert{t.database, t.table.id, t.displayName()};
    } else if (same) {
        s.identityInsert.reset();
    }
}

void execSetOption(SessionImpl& s, const SetOptionStmt& st)
{
    QString value = st.value.toUpper();
    for (const QString& o : st.options) {
        if (o == QLatin1String("NOCOUNT")) {
            s.nocount = value == QLatin1String("ON");
            continue;
        }
        if (o == QLatin1String("LOCK_TIMEOUT")) {
            types::Value v = st.valueExpr ? evaluate(s, *st.valueExpr) : types::Value::null();
            if (v.kind != types::Value::Int) throw Errors::make(102, QStringLiteral("SET LOCK_TIMEOUT takes a number of milliseconds."));
            s.lockTimeout = v.i < 0 ? -1 : int(std::min<long long>(v.i, std::numeric_limits<int>::max()));
            continue;
        }
        static const QStringList ignored = {
            QStringLiteral("ANSI_NULLS"), QStringLiteral("QUOTED_IDENTIFIER"), QStringLiteral("ANSI_PADDING"),
            QStringLiteral("ANSI_WARNINGS"), QStringLiteral("ARITHABORT"), QStringLiteral("CONCAT_NULL_YIELDS_NULL"),
            QStringLiteral("ANSI_NULL_DFLT_ON"), QStringLiteral("NUMERIC_ROUNDABORT"), QStringLiteral("CURSOR_CLOSE_ON_COMMIT"),
            QStringLiteral("TEXTSIZE"), QStringLiteral("DEADLOCK_PRIORITY"),
            QStringLiteral("TRANSACTION"), QStringLiteral("TRANSACTION ISOLATION LEVEL"), QStringLiteral("NOEXEC"),
            QStringLiteral("SHOWPLAN_TEXT"), QStringLiteral("STATISTICS"), QStringLiteral("FMTONLY"), QStringLiteral("ARITHIGNORE"),
            QStringLiteral("ANSI_DEFAULTS"), QStringLiteral("DATEFIRST"),
        };
        bool known = false;
        for (const QString& i : ignored) known |= o.startsWith(i);
        if (known) continue;
        if (o == QLatin1String("ROWCOUNT")) {
            if (value == QLatin1String("0")) continue;
            throw Errors::notSupported(QStringLiteral("SET ROWCOUNT other than 0; use TOP"));
        }
        if (o == QLatin1String("XACT_ABORT") || o == QLatin1String("IMPLICIT_TRANSACTIONS")) {
            if (value == QLatin1String("OFF")) continue;
            throw Errors::notSupported(QStringLiteral("SET %1 ON").arg(o));
        }
        if (o == QLatin1String("DATEFORMAT")) {
            QString f = value.toLower();
            static const QStringList orders = {QStringLiteral("mdy"), QStringLiteral("dmy"), QStringLiteral("ymd"),
                                               QStringLiteral("ydm"), QStringLiteral("myd"), QStringLiteral("dym")};
            if (!orders.contains(f))
                throw Errors::make(1005, QStringLiteral("'%1' is not a valid date format; use mdy, dmy, ymd, ydm, myd or dym.").arg(st.value));
            s.dateFormat = f.toLatin1();
            types::setDateOrder(s.dateFormat.constData());
            continue;
        }
        if (o == QLatin1String("LANGUAGE")) {
            if (value.contains(QLatin1String("ENGLISH"))) continue;
            throw Errors::notSupported(QStringLiteral("SET LANGUAGE %1").arg(st.value));
        }
        throw Errors::notSupported(QStringLiteral("SET %1").arg(o));
    }
}

} // namespace engine::exec
