#include "engine/Errors.h"

namespace engine::Errors {

SqlError syntax(const QString& t) { return make(102, QStringLiteral("Syntax error near '%1'.").arg(t)); }
SqlError syntaxKeyword(const QString& k)
{
    return make(156, QStringLiteral("Syntax error near the keyword '%1'.").arg(k));
}
SqlError invalidColumn(const QString& n) { return make(207, QStringLiteral("Column '%1' does not exist.").arg(n)); }
SqlError invalidObject(const QString& n) { return make(208, QStringLiteral("Object '%1' does not exist.").arg(n)); }
SqlError ambiguousColumn(const QString& n) { return make(209, QStringLiteral("Column name '%1' could refer to more than one table.").arg(n)); }
SqlError mustDeclare(const QString& v)
{
    return make(137, QStringLiteral("Variable '%1' has not been declared.").arg(v));
}
SqlError jumpOutsideLoop(bool isBreak, int line)
{
    return SqlError(isBreak ? 135 : 136, 15,
                    QStringLiteral("%1 can be used only inside a WHILE loop.").arg(isBreak ? QStringLiteral("BREAK") : QStringLiteral("CONTINUE")),
                    line);
}
SqlError alreadyDeclared(const QString& v)
{
    return make(134, QStringLiteral("Variable '%1' is declared twice in this batch.").arg(v));
}
SqlError conversionFailed(const QString& from, const QString& value, const QString& to)
{
    return make(245, QStringLiteral("The %1 value '%2' cannot be converted to %3.").arg(from, value, to));
}
SqlError dateConversion()
{
    return make(241, QStringLiteral("The character string is not a valid date and time."));
}
SqlError convertError(const QString& from, const QString& to)
{
    return make(8114, QStringLiteral("A value of type %1 could not be converted to %2.").arg(from, to));
}
SqlError overflow(const QString& to)
{
    return make(8115, QStringLiteral("The value is too large for type %1.").arg(to));
}
SqlError identityOverflow(const QString& t)
{
    return make(8115, QStringLiteral("The identity value is outside the range of type %1.").arg(t));
}
SqlError truncation() { return make(8152, QStringLiteral("A string or binary value is too long for its column.")); }
SqlError divideByZero() { return make(8134, QStringLiteral("Division by zero.")); }
SqlError notNull(const QString& column, const QString& table, bool update)
{
    return make(515, QStringLiteral("Column '%1' of table '%2' does not take NULL; the %3 was refused.")
                             .arg(column, table, update ? QStringLiteral("UPDATE") : QStringLiteral("INSERT")));
}
SqlError identityInsertOff(const QString& t)
{
    return make(544, QStringLiteral("Table '%1' has IDENTITY_INSERT OFF, so its identity column cannot be given a value.").arg(t));
}
SqlError identityInsertOn(const QString& t)
{
    return make(545, QStringLiteral("Table '%1' has IDENTITY_INSERT ON, so a value for its identity column must be given.").arg(t));
}
SqlError identityColumnList(const QString& t)
{
    return make(8101, QStringLiteral("A value for the identity column of table '%1' needs a column list and IDENTITY_INSERT ON.").arg(t));
}
SqlError identityUpdate(const QString& c)
{
    return make(8102, QStringLiteral("Identity column '%1' cannot be updated.").arg(c));
}
SqlError identityInsertOther(const QString& t)
{
    return make(8107, QStringLiteral("IDENTITY_INSERT is ON for table '%1' already; only one table at a time can have it ON.").arg(t));
}
SqlError identityNotSet(const QString& t)
{
    return make(8106, QStringLiteral("Table '%1' has no identity column, so IDENTITY_INSERT cannot be set for it.").arg(t));
}
SqlError databaseMissing(const QString& n)
{
    return make(911, QStringLiteral("There is no database named '%1'.").arg(n));
}
SqlError databaseExists(const QString& n)
{
    return make(1801, QStringLiteral("A database named '%1' exists already.").arg(n));
}
SqlError databaseInUse(const QString& n)
{
    return make(3702, QStringLiteral("Database '%1' is in use and cannot be dropped.").arg(n));
}
SqlError objectExists(const QString& n)
{
    return make(2714, QStringLiteral("An object named '%1' already exists in this database.").arg(n));
}
SqlError systemTableWrite(const QString& n)
{
    return make(259, QStringLiteral("'%1' is a system table: statements cannot change it.").arg(n));
}
SqlError systemTableWriteThroughView(const QString& v)
{
    return make(259, QStringLiteral("View '%1' shows a system table: statements cannot change it through the view.").arg(v));
}
SqlError columnNamesUnique(const QString& c)
{
    return make(2705, QStringLiteral("Column name '%1' is given more than once; the columns of a table need distinct names.").arg(c));
}
SqlError multipleIdentity(const QString& t)
{
    return make(2744, QStringLiteral("Table '%1' is given more than one identity column; a table can have only one.").arg(t));
}
SqlError multipleTimestamp()
{
    return make(2738, QStringLiteral("A table can have at most one timestamp column."));
}
SqlError cannotDrop(const QString& kind, const QString& n)
{
    return make(3701, QStringLiteral("Cannot drop %1 '%2': it does not exist.").arg(kind, n));
}
SqlError commitWithoutBegin()
{
    return make(3902, QStringLiteral("No transaction is open to commit."));
}
SqlError rollbackWithoutBegin()
{
    return make(3903, QStringLiteral("No transaction is open to roll back."));
}
SqlError saveWithoutTransaction() { return make(628, QStringLiteral("SAVE TRANSACTION needs an open transaction.")); }
SqlError duplicateKey(const QString& c, const QString& t)
{
    return make(2627, QStringLiteral("Constraint '%1' refused a duplicate key in object '%2'.").arg(c, t));
}
SqlError duplicateIndexKey(const QString& i, const QString& t)
{
    return make(2601, QStringLiteral("Unique index '%2' of object '%1' refused a duplicate key row.").arg(t, i));
}
SqlError multiplePrimaryKeys(const QString& t)
{
    return make(8110, QStringLiteral("Table '%1' is given more than one PRIMARY KEY constraint.").arg(t));
}
SqlError nullablePrimaryKey(const QString& c, const QString& t)
{
    return make(8111, QStringLiteral("Column '%1' of table '%2' allows nulls, so it cannot be in a PRIMARY KEY.").arg(c, t));
}
SqlError columnCount()
{
    return make(213, QStringLiteral("The number of values given does not match the columns of the table."));
}
SqlError notSupported(const QString& what)
{
    return make(40001, QStringLiteral("This server does not support %1.").arg(what));
}
SqlError loginFailed(const QString& l)
{
    return make(18456, QStringLiteral("User '%1' could not log in.").arg(l));
}
SqlError serverNotFound()
{
    return make(17, QStringLiteral("The server was not found or refused the connection."));
}
SqlError userError(const QString& text, int severity, int state) { return SqlError(50000, severity, text, 0, state); }
SqlError lockTimeout(const QString& database, int holderSpid, bool writing)
{
    QString who = holderSpid ? QStringLiteral("session %1").arg(holderSpid) : QStringLiteral("another session");
    return make(1222, QStringLiteral("The lock request timed out: %1 is %2 database '%3'.")
                              .arg(who, writing ? QStringLiteral("writing to") : QStringLiteral("reading"), database));
}

SqlError deadlockVictim(int spid)
{
    return make(1205, QStringLiteral("Session %1 and another were waiting for each other's locks; this transaction "
                                         "was chosen to end the deadlock and was rolled back. Run it again.").arg(spid));
}

SqlError tranCountChanged(int before, int after)
{
    return make(266, QStringLiteral("The transaction count was %1 when the module began and is %2 when it ends: "
                                        "a COMMIT or ROLLBACK TRANSACTION is missing or extra.").arg(before).arg(after));
}

SqlError noSuchSavepoint(const QString& name)
{
    return make(6401, QStringLiteral("'%1' cannot be rolled back: no transaction or savepoint has that name.").arg(name));
}

SqlError secondDatabaseWrite(const QString& written, const QString& other)
{
    return make(40003, QStringLiteral("A transaction can write to one database only (besides tempdb): this one has written to "
                                          "'%1', so it cannot write to '%2'. Commit it first.").arg(written, other));
}

SqlError instanceInUse(const QString& dataDir, const QString& program, long long pid)
{
    return make(17, QStringLiteral("The server's data folder %1 is in use by another program (%2, process %3). "
                                       "Close that program first.").arg(dataDir, program, QString::number(pid)));
}

SqlError masterMissing(const QString& dataDir)
{
    return make(17, QStringLiteral("The server's data folder %1 holds databases but not master.db, which lists them: "
                                       "put master.db back, or move the folder's files away to start a new server.").arg(dataDir));
}

SqlError internal(const QString& text)
{
    return make(3624, QStringLiteral("Storage failure: %1").arg(text));
}

SqlError noSpace(const QString& database)
{
    return make(1105, QStringLiteral("No space could be allocated for database '%1': there is no space left on the disk.").arg(database));
}

SqlError logFull(const QString& database)
{
    return make(9002, QStringLiteral("The log of database '%1' is full: there is no space left on the disk.").arg(database));
}

SqlError databaseReadOnly(const QString& database)
{
    return make(3906, QStringLiteral("Database '%1' is read-only; it cannot be changed.").arg(database));
}

Message terminated() { return Message{3621, 10, 1, 0, QStringLiteral("The statement was stopped.")}; }
Message changedDatabase(const QString& n)
{
    return Message{5701, 10, 1, 0, QStringLiteral("The current database is now '%1'.").arg(n)};
}

} // namespace engine::Errors
