#include "engine/Errors.h"

namespace engine::Errors {

SqlError make(int number, int severity, const QString& text) { return SqlError(number, severity, text); }

SqlError syntax(const QString& t) { return make(102, 15, QStringLiteral("Syntax error near '%1'.").arg(t)); }
SqlError syntaxKeyword(const QString& k)
{
    return make(156, 15, QStringLiteral("Syntax error near the keyword '%1'.").arg(k));
}
SqlError invalidColumn(const QString& n) { return make(207, 16, QStringLiteral("Invalid column name '%1'.").arg(n)); }
SqlError invalidObject(const QString& n) { return make(208, 16, QStringLiteral("Invalid object name '%1'.").arg(n)); }
SqlError ambiguousColumn(const QString& n) { return make(209, 16, QStringLiteral("Ambiguous column name '%1'.").arg(n)); }
SqlError mustDeclare(const QString& v)
{
    return make(137, 15, QStringLiteral("Must declare the variable '%1'.").arg(v));
}
SqlError alreadyDeclared(const QString& v)
{
    return make(134, 15, QStringLiteral("The variable name '%1' has already been declared. Variable names must be unique within a batch.").arg(v));
}
SqlError conversionFailed(const QString& from, const QString& value, const QString& to)
{
    return make(245, 16, QStringLiteral("Conversion failed when converting the %1 value '%2' to data type %3.").arg(from, value, to));
}
SqlError dateConversion()
{
    return make(241, 16, QStringLiteral("Conversion failed when converting datetime from character string."));
}
SqlError convertError(const QString& from, const QString& to)
{
    return make(8114, 16, QStringLiteral("Error converting data type %1 to %2.").arg(from, to));
}
SqlError overflow(const QString& to)
{
    return make(8115, 16, QStringLiteral("Arithmetic overflow error converting expression to data type %1.").arg(to));
}
SqlError truncation() { return make(8152, 16, QStringLiteral("String or binary data would be truncated.")); }
SqlError divideByZero() { return make(8134, 16, QStringLiteral("Divide by zero error encountered.")); }
SqlError notNull(const QString& column, const QString& table, bool update)
{
    return make(515, 16, QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column does not allow nulls. %3 fails.")
                             .arg(column, table, update ? QStringLiteral("UPDATE") : QStringLiteral("INSERT")));
}
SqlError identityInsertOff(const QString& t)
{
    return make(544, 16, QStringLiteral("Cannot insert explicit value for identity column in table '%1' when IDENTITY_INSERT is set to OFF.").arg(t));
}
SqlError identityInsertOn(const QString& t)
{
    return make(545, 16, QStringLiteral("Explicit value must be specified for identity column in table '%1' when IDENTITY_INSERT is set to ON.").arg(t));
}
SqlError identityColumnList(const QString& t)
{
    return make(8101, 16, QStringLiteral("An explicit value for the identity column in table '%1' can only be specified when a column list is used and IDENTITY_INSERT is ON.").arg(t));
}
SqlError identityUpdate(const QString& c)
{
    return make(8102, 16, QStringLiteral("Cannot update identity column '%1'.").arg(c));
}
SqlError identityInsertOther(const QString& t)
{
    return make(8107, 16, QStringLiteral("IDENTITY_INSERT is already ON for table '%1'. Cannot perform SET operation for another table.").arg(t));
}
SqlError identityNotSet(const QString& t)
{
    return make(8106, 16, QStringLiteral("Table '%1' does not have the identity property. Cannot perform SET operation.").arg(t));
}
SqlError databaseMissing(const QString& n)
{
    return make(911, 16, QStringLiteral("Could not locate entry in sysdatabases for database '%1'. No entry found with that name. Make sure that the name is entered correctly.").arg(n));
}
SqlError databaseMissingDrop(const QString& n)
{
    return make(3701, 11, QStringLiteral("Cannot drop the database '%1', because it does not exist in the system catalog.").arg(n));
}
SqlError databaseExists(const QString& n)
{
    return make(1801, 16, QStringLiteral("Database '%1' already exists.").arg(n));
}
SqlError databaseInUse(const QString& n)
{
    return make(3702, 16, QStringLiteral("Cannot drop the database '%1' because it is currently in use.").arg(n));
}
SqlError objectExists(const QString& n)
{
    return make(2714, 16, QStringLiteral("There is already an object named '%1' in the database.").arg(n));
}
SqlError columnNamesUnique(const QString& c)
{
    return make(2705, 16, QStringLiteral("Column names in each table must be unique. Column name '%1' is specified more than once.").arg(c));
}
SqlError multipleIdentity(const QString& t)
{
    return make(2744, 16, QStringLiteral("Multiple identity columns specified for table '%1'. Only one identity column per table is allowed.").arg(t));
}
SqlError multipleTimestamp()
{
    return make(2738, 16, QStringLiteral("A table can only have one timestamp column."));
}
SqlError cannotDrop(const QString& n)
{
    return make(3701, 11, QStringLiteral("Cannot drop the table '%1', because it does not exist in the system catalog.").arg(n));
}
SqlError commitWithoutBegin()
{
    return make(3902, 16, QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
}
SqlError rollbackWithoutBegin()
{
    return make(3903, 16, QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."));
}
SqlError duplicateKey(const QString& c, const QString& t)
{
    return make(2627, 14, QStringLiteral("Violation of constraint '%1'. Cannot insert duplicate key in object '%2'.").arg(c, t));
}
SqlError duplicateIndexKey(const QString& i, const QString& t)
{
    return make(2601, 14, QStringLiteral("Cannot insert duplicate key row in object '%1' with unique index '%2'.").arg(t, i));
}
SqlError multiplePrimaryKeys(const QString& t)
{
    return make(8110, 16, QStringLiteral("Cannot add multiple PRIMARY KEY constraints to table '%1'.").arg(t));
}
SqlError nullablePrimaryKey(const QString& c, const QString& t)
{
    return make(8111, 16, QStringLiteral("Cannot define PRIMARY KEY constraint on nullable column '%1' in table '%2'.").arg(c, t));
}
SqlError columnCount()
{
    return make(213, 16, QStringLiteral("Insert Error: Column name or number of supplied values does not match table definition."));
}
SqlError notSupported(const QString& what)
{
    return make(40001, 16, QStringLiteral("This server does not support %1.").arg(what));
}
SqlError loginFailed(const QString& l)
{
    return make(18456, 14, QStringLiteral("Login failed for user '%1'.").arg(l));
}
SqlError serverNotFound()
{
    return make(17, 16, QStringLiteral("SQL Server does not exist or access denied."));
}
SqlError userError(const QString& text, int severity, int state) { return SqlError(50000, severity, text, 0, state); }
SqlError internal(const QString& text)
{
    return make(3624, 20, QStringLiteral("Storage failure: %1").arg(text));
}

Message terminated() { return Message{3621, 10, 1, 0, QStringLiteral("The statement has been terminated.")}; }
Message changedDatabase(const QString& n)
{
    return Message{5701, 10, 1, 0, QStringLiteral("Changed database context to '%1'.").arg(n)};
}

} // namespace engine::Errors
