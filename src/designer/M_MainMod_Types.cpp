#include "designer/M_MainMod.h"

#include "dmo/Database.h"

#include <exception>

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

QString ListaTipos(dmo::Database& Database, bool ExcludeSysname, bool SystemTypes, bool UserTypes) {
    QStringList systemTypes;
    if (SystemTypes) {
        try {
            const dmo::SQLObjectListPtr list = Database.SystemDatatypes();
            for (int i = 1; i <= list->Count(); ++i)
                systemTypes << list->Item(i)->Name();
        } catch (const std::exception&) {
            // An unreadable list adds nothing.
        }
    }
    QList<UserDatatype> userTypes;
    if (UserTypes) {
        try {
            const dmo::SQLObjectListPtr list = Database.UserDefinedDatatypes();
            for (int i = 1; i <= list->Count(); ++i) {
                const auto type = list->Item(i);
                userTypes.append({type->Name(), type->BaseType()});
            }
        } catch (const std::exception&) {
        }
    }
    return ListaTipos(systemTypes, userTypes, ExcludeSysname, SystemTypes, UserTypes);
}

} // namespace M_MainMod
