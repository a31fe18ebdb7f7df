#include "designer/M_MainMod.h"

namespace M_MainMod {

namespace {

// Only "sysname" itself (and a nameless type) is kept out of the list.
bool excluded(const QString& name) {
    return name.isEmpty() || name.compare(QLatin1String("sysname"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString ListaTipos(const QStringList& SystemDatatypes, const QList<UserDatatype>& UserDatatypes,
                   bool ExcludeSysname, bool SystemTypes, bool UserTypes) {
    QString list;
    if (SystemTypes) {
        for (const QString& name : SystemDatatypes) {
            if (ExcludeSysname && excluded(name))
                continue;
            list += name + QLatin1Char('\r');
        }
    }
    if (UserTypes) {
        for (const UserDatatype& type : UserDatatypes) {
            if (ExcludeSysname && excluded(type.Name))
                continue;
            list += type.Name + QLatin1String(" (") + type.BaseType + QLatin1String(")\r");
        }
    }
    return list;
}

} // namespace M_MainMod
