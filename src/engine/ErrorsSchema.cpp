#include "engine/ErrorsSchema.h"

#include "engine/Errors.h"

namespace engine::Errors {

namespace {
QString q(const QString& s) { return QLatin1Char('\'') + s + QLatin1Char('\''); }
} // namespace

SqlError duplicateOnCreateIndex(const QString& index, const QString& table)
{
    return make(1505, QStringLiteral("Cannot create unique index %1 on table %2: the table holds duplicate key values.").arg(q(index), q(table)));
}
SqlError primaryKeyExists(const QString& table)
{
    return make(1779, QStringLiteral("Table %1 has a primary key already; a table can have only one.").arg(q(table)));
}
SqlError defaultExists(const QString& column, const QString& table)
{
    return make(1781, QStringLiteral("Column %1 of table %2 has a default already.").arg(q(column), q(table)));
}
SqlError constraintFailed() { return make(1750, QStringLiteral("The constraint could not be created; see the errors before this one.")); }
SqlError clusteredExists(const QString& index, const QString& table)
{
    return make(1902, QStringLiteral("Cannot create clustered index %1 on table %2: the table has a clustered index already.").arg(q(index), q(table)));
}
SqlError indexColumnMissing(const QString& column)
{
    return make(1911, QStringLiteral("Column %1 named in the key does not exist in the table.").arg(q(column)));
}
SqlError indexExists(const QString& index, const QString& table)
{
    return make(1913, QStringLiteral("Table %1 has an index named %2 already.").arg(q(table), q(index)));
}
SqlError invalidFileGroup(const QString& name) { return make(1921, QStringLiteral("Filegroup %1 does not exist in this database.").arg(q(name))); }
SqlError indexNotDroppable(const QString& index, const QString& kind)
{
    return make(3723, QStringLiteral("Index %1 enforces a %2 constraint; drop the constraint instead.").arg(q(index), kind));
}
SqlError notAConstraint(const QString& name) { return make(3728, QStringLiteral("%1 is not a constraint of this table.").arg(q(name))); }
SqlError defaultInUse(const QString& name)
{
    return make(3716, QStringLiteral("Default %1 is bound to columns or types; unbind it before dropping it.").arg(q(name)));
}
SqlError addNotNullColumn(const QString& column, const QString& table)
{
    return make(4901, QStringLiteral("Column %1 refuses nulls and has no default, so it cannot be added to table %2, which holds rows.").arg(q(column), q(table)));
}
SqlError alterMissingTable(const QString& name) { return make(4902, QStringLiteral("Table %1 does not exist, so it cannot be altered.").arg(q(name))); }
SqlError alterColumnFailed(const QString& column, bool drop, int count)
{
    return make(4922, QStringLiteral("%1 of column %2 refused: %3 object(s) depend on the column.")
                              .arg(drop ? QStringLiteral("DROP COLUMN") : QStringLiteral("ALTER COLUMN"), q(column), QString::number(count)));
}
SqlError onlyColumn(const QString& column, const QString& table)
{
    return make(4923, QStringLiteral("Column %1 is the only column of table %2 and cannot be dropped.").arg(q(column), q(table)));
}
SqlError columnMissing(const QString& column, const QString& table, bool drop)
{
    return make(4924, QStringLiteral("%1 refused: table %2 has no column %3.")
                              .arg(drop ? QStringLiteral("DROP COLUMN") : QStringLiteral("ALTER COLUMN"), q(table), q(column)));
}
SqlError dependsOnColumn(const QString& object, const QString& column)
{
    return make(5074, QStringLiteral("Object %1 depends on column %2.").arg(q(object), q(column)));
}
SqlError fileGroupExists(const QString& name) { return make(5035, QStringLiteral("Filegroup %1 exists already in this database.").arg(q(name))); }
SqlError invalidCollation(const QString& name) { return make(448, QStringLiteral("%1 is not a valid collation name.").arg(q(name))); }
SqlError procedureMissing(const QString& name) { return make(2812, QStringLiteral("Stored procedure %1 was not found.").arg(q(name))); }
SqlError nestedTooDeep(int levels) { return make(217, QStringLiteral("Procedures nest more than %1 levels deep.").arg(levels)); }
SqlError positionalAfterNamed()
{
    return make(119, QStringLiteral("After an argument given as @name = value, every argument must be given so."));
}
SqlError constantAsOutput() { return make(179, QStringLiteral("A constant cannot be passed as an OUTPUT argument.")); }
SqlError executeSqlNeedsUnicode(const QString& parameter)
{
    return make(214, QStringLiteral("sp_executesql needs parameter '%1' as ntext, nchar or nvarchar.").arg(parameter));
}
SqlError executeSqlValueMissing(const QString& parameters, const QString& parameter)
{
    return make(8178, QStringLiteral("The statement (%1) needs a value for parameter '%2', which was not given.").arg(parameters, parameter));
}
SqlError parameterMissing(const QString& procedure, const QString& parameter)
{
    return make(201, QStringLiteral("Procedure %1 needs parameter %2, which was not given.").arg(q(procedure), q(parameter)));
}
SqlError tooManyArguments(const QString& procedure)
{
    return make(8144, QStringLiteral("Procedure %1 was given more arguments than it declares.").arg(q(procedure)));
}
SqlError parameterNotFound(const QString& procedure, const QString& parameter)
{
    return make(8145, QStringLiteral("%1 is not a parameter of procedure %2.").arg(parameter, q(procedure)));
}
SqlError notOutputParameter(const QString& parameter, const QString& procedure)
{
    return make(8162, QStringLiteral("Parameter %1 of procedure %2 was passed as OUTPUT but is not declared OUTPUT.").arg(q(parameter), q(procedure)));
}
SqlError typeMissing(const QString& name) { return make(2715, QStringLiteral("Type %1 is not known.").arg(q(name))); }
SqlError rowGuidColExists(const QString& table)
{
    return make(8196, QStringLiteral("Table %1 has a ROWGUIDCOL column already.").arg(q(table)));
}
SqlError rowGuidColType(const QString& column)
{
    return make(8183, QStringLiteral("Only a uniqueidentifier column can be ROWGUIDCOL; %1 is not one.").arg(q(column)));
}

SqlError objectNotInDatabase(const QString& name, const QString& database)
{
    return make(15009, QStringLiteral("Object %1 does not exist in database %2.").arg(q(name), q(database)));
}
SqlError noItemByName(const QString& name) { return make(15225, QStringLiteral("Nothing named %1 was found in the current database.").arg(q(name))); }
SqlError renameAmbiguous()
{
    return make(15248, QStringLiteral("The object name to rename is ambiguous or its object type is wrong."));
}
SqlError newNameInUse(const QString& name) { return make(15335, QStringLiteral("The new name %1 is in use already.").arg(q(name))); }
SqlError defaultMissing(const QString& name) { return make(15016, QStringLiteral("Default %1 does not exist.").arg(q(name))); }
SqlError columnOrTypeMissing(const QString& name)
{
    return make(15148, QStringLiteral("No table column or user type named %1 exists.").arg(q(name)));
}
SqlError columnHasDefaultConstraint(const QString& column)
{
    return make(15123, QStringLiteral("Column %1 has a DEFAULT constraint; a default object cannot be bound to it.").arg(q(column)));
}
SqlError noDefaultBound(const QString& name) { return make(15049, QStringLiteral("No default is bound to %1.").arg(q(name))); }
SqlError typeExists(const QString& name) { return make(15029, QStringLiteral("Type %1 exists already in this database.").arg(q(name))); }
SqlError typeUnknownBase(const QString& name) { return make(15036, QStringLiteral("%1 is not a system data type.").arg(q(name))); }
SqlError typeNotFound(const QString& name) { return make(15012, QStringLiteral("User type %1 does not exist.").arg(q(name))); }
SqlError typeInUse(const QString& name) { return make(15180, QStringLiteral("Type %1 is used by columns and cannot be dropped.").arg(q(name))); }
SqlError noText(const QString& name) { return make(15197, QStringLiteral("Object %1 has no text.").arg(q(name))); }
SqlError badParameter(const QString& procedure, const QString& text) { return make(15600, QStringLiteral("%1: %2").arg(procedure, text)); }

} // namespace engine::Errors
