#pragma once
// System tables and views belong to the server: INSERT, UPDATE, DELETE and TRUNCATE naming one
// fail with 259, as the server does while ad hoc catalog updates are off, and no object
// is made under a name that resolves to one.

#include "engine/parser/Ast.h"

#include <vector>

namespace engine::exec {

// 259 when `target` is a system table or view.
void refuseSystemTableWrite(const sql::ObjectName& target);
// The same for UPDATE and DELETE with a FROM clause, where `target` may be the alias of one.
void refuseSystemTableWrite(const sql::ObjectName& target, const std::vector<sql::TableRefPtr>& from);

// 2714 when a table, view, procedure or default made as `written` would take the name of a
// system table or view.
void refuseSystemTableName(const sql::ObjectName& written);

} // namespace engine::exec
