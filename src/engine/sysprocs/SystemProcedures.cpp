#include "engine/sysprocs/SystemProcedures.h"

namespace engine::sysprocs {

namespace {
// Add new system procedures here.
const Entry kProcedures[] = {
    {"sp_addlogin", sp_addlogin},
    {"sp_droplogin", sp_droplogin},
    {"sp_who", sp_who},
    {"sp_databases", sp_databases},
    {"sp_helpindex", sp_helpindex},
    {"sp_rename", sp_rename},
    {"sp_bindefault", sp_bindefault},
    {"sp_unbindefault", sp_unbindefault},
    {"sp_addtype", sp_addtype},
    {"sp_droptype", sp_droptype},
    {"sp_helptext", sp_helptext},
    {"sp_refreshview", sp_refreshview},
};
} // namespace

Procedure find(const QString& name)
{
    for (const Entry& e : kProcedures)
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) return e.fn;
    return nullptr;
}

QString ProcArg::text() const
{
    if (value.isNull()) return QString();
    if (value.kind == types::Value::Int) return QString::number(value.i);
    if (value.kind == types::Value::Real) return QString::number(value.d);
    return QString::fromUtf8(value.s.data(), qsizetype(value.s.size()));
}

const ProcArg* arg(const std::vector<ProcArg>& args, int position, const char* name)
{
    for (const ProcArg& a : args)
        if (!a.name.isEmpty() && a.name.compare(QLatin1Char('@') + QLatin1String(name), Qt::CaseInsensitive) == 0)
            return a.isDefault ? nullptr : &a;
    int i = 0;
    for (const ProcArg& a : args) {
        if (!a.name.isEmpty()) break;
        if (i++ == position) return a.isDefault ? nullptr : &a;
    }
    return nullptr;
}

} // namespace engine::sysprocs
