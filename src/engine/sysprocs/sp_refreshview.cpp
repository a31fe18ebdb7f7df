// sp_refreshview 'name': the view's recorded columns (syscolumns, INFORMATION_SCHEMA.COLUMNS)
// made again from its tables as they are now.
#include "engine/Errors.h"
#include "engine/exec/Views.h"
#include "engine/sysprocs/ObjectNames.h"

namespace engine::sysprocs {

void sp_refreshview(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString name = requiredArg(args, 0, "viewname", "sp_refreshview");
    auto v = exec::findView(s, objectName(name));
    if (!v) throw Errors::make(15165, QStringLiteral("There is no view named '%1' in this database.").arg(name));
    exec::refreshViewColumns(s, *v);
}

} // namespace engine::sysprocs
