// DBCC CHECKIDENT: reports a table's identity counter and the largest value in its column,
// and sets the counter (RESEED).
#include "engine/Errors.h"
#include "engine/exec/Statements.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysprocs/ObjectNames.h"
#include "engine/types/IntegerRange.h"

#include <limits>

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;
using storage::Statement;

namespace {

QString shown(std::optional<long long> v) {
    return v ? QString::number(*v) : QStringLiteral("NULL");
}

} // namespace

void execDbccCheckIdent(SessionImpl& s, const DbccCheckIdentStmt& st)
{
    const ObjectName name = st.table.isNull() ? st.name : sysprocs::objectName(st.table);
    ResolvedTable t = s.resolveTable(name);
    const catalog::Column* c = t.table.identityColumn();
    if (!c)
        throw Errors::make(7997, QStringLiteral("'%1' does not contain an identity column.").arg(t.table.name));

    // The column's largest value (smallest for a counter that counts down).
    std::optional<long long> column;
    {
        Statement m(s.db(), QStringLiteral("SELECT %1(%2) FROM %3")
                                .arg(c->increment > 0 ? QStringLiteral("max") : QStringLiteral("min"),
                                     quoteId(c->phys), t.qualifiedPhys()));
        if (m.step() && !m.isNull(0)) column = m.integer(0);
    }
    if (st.value && !types::integerRange(c->type).contains(*st.value))
        throw Errors::identityOverflow(QString::fromLatin1(c->type.info().name));

    InstanceImpl& server = s.server();
    server.loadIdentity(t.database, t.table.id, c->increment, c->identCurrent, [&] { return column; });
    std::optional<long long> current = server.identityCurrent(t.database, t.table.id);

    const auto report = [&](std::optional<long long> value) {
        if (st.noInfoMessages)
            return;
        Message m;
        m.number = 7998;
        m.text = QStringLiteral("Checking identity information: current identity value '%1', current column value '%2'.")
                     .arg(shown(value), shown(column));
        s.addMessage(m);
    };
    report(current);
    std::optional<long long> next = current;
    if (st.value) {
        // A table that has handed out no value yet gives the new value itself next.
        next = current ? *st.value : types::nextInRange(*st.value, c->increment,
                                                             {std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()}, -1);
        if (!next) throw Errors::identityOverflow(QString::fromLatin1(c->type.info().name));
    } else if (!st.noReseed && column &&
               (!current || (c->increment > 0 ? *column > *current : *column < *current))) {
        next = column;
    }
    if (next != current) {
        // the catalog first: a write refused there leaves the counter alone
        s.catalogFor(t.database).setIdentCurrent(t.table.id, c->colid, next);
        s.noteIdentitySet(t.database, t.table.id);
        server.setIdentity(t.database, t.table.id, next);
    }
    if (st.noInfoMessages)
        return;
    Message done;
    done.number = 2528;
    done.text = QStringLiteral("DBCC execution completed. If DBCC printed error messages, contact your system administrator.");
    s.addMessage(done);
}

} // namespace engine::exec
