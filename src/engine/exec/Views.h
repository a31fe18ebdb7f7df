#pragma once
// Views: each is kept as its CREATE VIEW text and bound again whenever a statement uses it, so
// that it follows its tables through renames and rebuilds.

#include "engine/exec/SessionImpl.h"
#include "engine/parser/Ast.h"

#include <memory>
#include <optional>
#include <vector>

namespace engine::exec {

// A view found by name, with its text parsed.
struct ViewDefinition {
    QString database; // as recorded
    QString schema;
    catalog::Object object;
    std::shared_ptr<sql::StatementList> parsed;
    const sql::CreateViewStmt& definition() const;
};

// The view `name` refers to; nullopt when there is none (a table is not a view).
std::optional<ViewDefinition> findView(SessionImpl& s, const sql::ObjectName& name);

// A view as a DML statement sees it: the one base table its rows come from and, for each of
// its columns, the base column it shows.
struct ViewBinding {
    QString name;     // the view's name, for messages
    int refusal = 0;  // why its rows cannot be changed (4403, 4405); 0 when they can
    ResolvedTable base;
    std::vector<QString> names;
    std::vector<std::shared_ptr<const catalog::Column>> columns; // null for a computed column
    // Throws the refusal, if any.
    void checkChangeable() const;
    // The base column shown as `name`: 207 when the view has none, 4406 when it is computed.
    const catalog::Column& baseColumn(const QString& name) const;
};

// The base tables and views a view's query names (for INFORMATION_SCHEMA.VIEW_TABLE_USAGE).
void recordViewTables(SessionImpl& s, const catalog::Catalog& c, int viewId, const sql::Query& q);
void forgetViewTables(const catalog::Catalog& c, int viewId);

// The ViewBinding of `name` when it is a view read by a DML statement; nullopt for a table.
std::optional<std::shared_ptr<const ViewBinding>> bindViewForDml(SessionImpl& s, const sql::ObjectName& name);

} // namespace engine::exec
