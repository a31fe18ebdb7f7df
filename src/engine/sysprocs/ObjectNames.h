#pragma once
// Helpers of the schema system procedures: names given as text, arguments, messages, and
// sp_helpindex's index texts.

#include "engine/catalog/CatalogTypes.h"
#include "engine/exec/SessionImpl.h"
#include "engine/parser/Ast.h"
#include "engine/sysprocs/SystemProcedures.h"

#include <QStringList>

#include <optional>

namespace engine::sysprocs {

// The parts of a name written as text, e.g. 'dbo.[Order Details].[Unit Price]': brackets and
// double quotes removed, "]]" unescaped.
QStringList splitName(const QString& text);
// 'name', 'owner.name' or 'db.owner.name' as an object name.
sql::ObjectName objectName(const QString& text);

// The argument's text; 201 naming the parameter when it is missing or NULL.
QString requiredArg(const std::vector<ProcArg>& args, int position, const char* name, const char* procedure);
std::optional<QString> optionalArg(const std::vector<ProcArg>& args, int position, const char* name);

// An informational message (severity 0).
void inform(exec::SessionImpl& s, int number, const QString& text);

// sp_helpindex's description of an index, "clustered, unique, primary key located on PRIMARY",
// and its key list, "OrderDate(-), Id".
QString indexDescription(const catalog::Index& ix);
QString indexKeysText(const catalog::Table& t, const catalog::Index& ix);

} // namespace engine::sysprocs
