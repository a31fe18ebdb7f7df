// CREATE [UNIQUE] [CLUSTERED | NONCLUSTERED] INDEX name ON table (keys) [WITH options] [ON filegroup]
#include "engine/Errors.h"
#include "engine/ErrorsSchema.h"
#include "engine/exec/SchemaStatements.h"
#include "engine/exec/SchemaSupport.h"

namespace engine::exec {

void execCreateIndex(SessionImpl& s, const sql::CreateIndexStmt& st)
{
    TableUnderChange tc = tableForChange(s, st.table);
    catalog::Index ix;
    ix.name = st.name;
    ix.unique = st.unique;
    ix.clustered = st.clustered.value_or(false);
    ix.keys = indexKeys(tc.table(), st.columns);
    ix.fillFactor = st.fillFactor.value_or(0);
    ix.padIndex = st.padIndex;
    ix.ignoreDupKey = st.ignoreDupKey;
    ix.noRecompute = st.statisticsNoRecompute;
    ix.fileGroup = st.fileGroup;
    if (st.dropExisting) {
        const catalog::Index* old = tc.table().index(st.name);
        if (!old)
            throw Errors::make(7999, QStringLiteral("Index '%1' does not exist on table '%2', so DROP_EXISTING cannot replace it.")
                                             .arg(st.name, tc.name()));
        if (old->isConstraint()) throw Errors::indexNotDroppable(old->name, old->primaryKey ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE"));
        removeIndex(tc, old->name);
    }
    addIndex(tc, ix);
}

void execDropIndex(SessionImpl& s, const sql::DropIndexStmt& st)
{
    for (const sql::IndexName& n : st.indexes) {
        const QString display = n.table.name + QLatin1Char('.') + n.index;
        auto rt = s.findTable(n.table);
        if (!rt) throw Errors::cannotDrop(QStringLiteral("index"), display);
        TableUnderChange tc{*rt, s.catalogFor(rt->database)};
        const catalog::Index* ix = tc.table().index(n.index);
        if (!ix) throw Errors::cannotDrop(QStringLiteral("index"), display);
        if (ix->isConstraint())
            throw Errors::indexNotDroppable(display, ix->primaryKey ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE"));
        removeIndex(tc, ix->name);
    }
}

} // namespace engine::exec
