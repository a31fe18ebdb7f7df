#include "dmo/StoredProcedures.h"

#include "dmo/Sql.h"

namespace dmo {

namespace {
// uid 1 is dbo; other owners are not told apart by the catalog.
QString ownerOf(const QVariant& uid) { return uid.toInt() == 1 ? QStringLiteral("dbo") : QString(); }
} // namespace

std::vector<StoredProcedurePtr> StoredProcedures::load() {
    engine::ResultSet rs = conn_->query(
        database_, QStringLiteral("SELECT name, uid FROM sysobjects "
                                  "WHERE xtype = 'P' ORDER BY name"));
    std::vector<StoredProcedurePtr> items;
    for (size_t r = 0; r < rs.rows.size(); ++r) {
        auto procedure = std::make_shared<StoredProcedure>();
        procedure->attach(conn_, database_, rs.text(r, 0), ownerOf(rs.rows[r][1]));
        items.push_back(procedure);
    }
    return items;
}

void StoredProcedures::Add(const StoredProcedurePtr& procedure) {
    if (procedure->attached())
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The procedure '%1' already exists.").arg(procedure->Name()));
    const QString text = procedure->Text();
    QString owner, name;
    if (!StoredProcedure::parseName(text, owner, name))
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The text does not begin with CREATE PROCEDURE."));
    // One batch: a GO line is part of the text, never the start of another batch.
    conn_->executeBatch(database_, text);
    procedure->attach(conn_, database_, name, owner.isEmpty() ? QStringLiteral("dbo") : owner);
    if (loaded_)
        items_.push_back(procedure);
}

void StoredProcedures::Remove(const QString& name) {
    StoredProcedurePtr procedure = Item(name);
    conn_->execute(database_, QStringLiteral("DROP PROCEDURE ") +
                                  sql::qualified(procedure->Owner(), procedure->Name()));
    std::erase(items_, procedure);
}

} // namespace dmo
