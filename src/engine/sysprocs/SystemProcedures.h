#pragma once
// System stored procedures (sp_...): looked up by name by EXEC. Each procedure lives in its own
// file; SystemProcedures.cpp lists them.

#include "engine/exec/SessionImpl.h"
#include "engine/types/TypeInfo.h"
#include "engine/types/Value.h"

#include <QString>

#include <vector>

namespace engine::sysprocs {

// One evaluated argument of EXEC.
struct ProcArg {
    QString name;           // "@name" when passed by name, else empty
    types::Value value;
    types::TypeSpec type;
    bool isDefault = false; // DEFAULT or left out
    QString text() const;   // the value as text (empty for NULL)
};

using Procedure = void (*)(exec::SessionImpl& s, const std::vector<ProcArg>& args);

struct Entry {
    const char* name;
    Procedure fn;
};

// Null when there is no system procedure of that name (case-insensitive).
Procedure find(const QString& name);

// Argument i (positional) or the one named `name`; null when missing.
const ProcArg* arg(const std::vector<ProcArg>& args, int position, const char* name);

// Procedures
void sp_addlogin(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_droplogin(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_who(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_databases(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_helpindex(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_rename(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_bindefault(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_unbindefault(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_addtype(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_droptype(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_helptext(exec::SessionImpl& s, const std::vector<ProcArg>& args);
void sp_refreshview(exec::SessionImpl& s, const std::vector<ProcArg>& args);
// Takes the EXEC statement itself: its OUTPUT arguments are written back.
void sp_executesql(exec::SessionImpl& s, const sql::ExecStmt& st);

} // namespace engine::sysprocs
