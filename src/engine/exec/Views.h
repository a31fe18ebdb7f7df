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
    int refusal = 0;  // why its rows cannot be changed (259, 4403, 4405); 0 when they can
    ResolvedTable base;
    std::vector<QString> names;
    std::vector<std::shared_ptr<const catalog::Column>> columns; // null for a computed column
    sql::ObjectName checkView; // the outermost view on the way made WITH CHECK OPTION; empty when none
    // Throws the refusal, if any.
    void checkChangeable() const;
    // The base column shown as `name`: 207 when the view has none, 4406 when it is computed.
    const catalog::Column& baseColumn(const QString& name) const;
};

// WITH CHECK OPTION: rows an INSERT or UPDATE through the view changes must still be seen
// through it afterwards, else the statement fails with 550 (and is rolled back).
class ViewCheck {
public:
    ViewCheck(SessionImpl& s, const ViewBinding* view);
    bool active() const { return !view_.name.isEmpty(); }
    // UPDATE: `ridsSql` selects the rowids about to change (column "rid").
    void noteRows(const QString& ridsSql, const std::vector<types::Value>& binds);
    // INSERT: the new rows are those after the last rowid of now.
    void noteInsert(const ResolvedTable& base);
    void verify();

private:
    SessionImpl& s_;
    sql::ObjectName view_;
    QString rowsJson_;            // UPDATE: the rowids as a JSON array
    std::optional<long long> lastRowid_; // INSERT
    QString baseTable_;
};

// Records the view's columns anew from its tables as they are now (sp_refreshview).
void refreshViewColumns(SessionImpl& s, const ViewDefinition& v);

// Whether the view was made WITH CHECK OPTION (INFORMATION_SCHEMA.VIEWS.CHECK_OPTION).
void recordCheckOption(const catalog::Catalog& c, int viewId, bool on);

// The base tables and views a view's query names (for INFORMATION_SCHEMA.VIEW_TABLE_USAGE).
void recordViewTables(SessionImpl& s, const catalog::Catalog& c, int viewId, const sql::Query& q);
void forgetViewTables(const catalog::Catalog& c, int viewId);

// The ViewBinding of `name` when it is a view read by a DML statement; nullopt for a table.
std::optional<std::shared_ptr<const ViewBinding>> bindViewForDml(SessionImpl& s, const sql::ObjectName& name);

} // namespace engine::exec
