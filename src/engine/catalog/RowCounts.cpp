// The row count kept for each table, so that a whole table's size is known without reading it.
#include "engine/catalog/Catalog.h"

#include "engine/Engine.h"
#include "engine/storage/Sqlite.h"

namespace engine::catalog {

using storage::quoteId;
using storage::Statement;

std::optional<long long> Catalog::rowCount(int tableId) const
{
    Statement s(db_, QStringLiteral("SELECT n FROM %1.cat_rowcounts WHERE table_id = ?1").arg(quoteId(schema_)));
    s.bind(1, tableId);
    if (!s.step()) return std::nullopt;
    return s.integer(0);
}

void Catalog::addRows(int tableId, long long delta)
{
    if (delta == 0) return;
    Statement s(db_, QStringLiteral("UPDATE %1.cat_rowcounts SET n = n + ?2 WHERE table_id = ?1").arg(quoteId(schema_)));
    s.bind(1, tableId).bind(2, delta).run();
}

void Catalog::setRowCount(int tableId, long long n)
{
    Statement s(db_, QStringLiteral("INSERT OR REPLACE INTO %1.cat_rowcounts (table_id, n) VALUES (?1, ?2)").arg(quoteId(schema_)));
    s.bind(1, tableId).bind(2, n).run();
}

void Catalog::ensureRowCounts(sqlite3* db, const QString& schema)
{
    const QString q = quoteId(schema);
    Statement kept(db, QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = 'cat_rowcounts'").arg(q));
    if (kept.step()) return;
    kept = Statement();
    storage::exec(db, QStringLiteral("SAVEPOINT rowcounts"));
    try {
        storage::exec(db, QStringLiteral("CREATE TABLE %1.cat_rowcounts (table_id INTEGER PRIMARY KEY, n INTEGER NOT NULL)").arg(q));
        Catalog cat(db, schema, QString());
        for (const Object& o : cat.tables()) {
            Table t;
            t.id = o.id;
            try {
                Statement c(db, QStringLiteral("SELECT count(*) FROM %1").arg(cat.qualified(t.phys())));
                if (c.step()) cat.setRowCount(o.id, c.integer(0));
            } catch (const SqlError&) {
                // a table that cannot be read keeps no figure: its rows are counted when asked
            }
        }
        storage::exec(db, QStringLiteral("RELEASE rowcounts"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO rowcounts; RELEASE rowcounts", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace engine::catalog
