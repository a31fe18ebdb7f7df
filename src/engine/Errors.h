#pragma once
// The engine's error catalogue: one factory per server message, numbered as SQL Server numbers
// them, worded in our own words.

#include "engine/Engine.h"

namespace engine::Errors {

// What an error ends besides its statement: the batch, or the batch and the open transaction.
enum class Scope { Statement, Batch, Transaction };
// One entry of the catalogue (ErrorCatalogue.cpp).
struct Kind {
    int number;
    int severity;
    Scope scope;
};
const Kind* find(int number); // nullptr for a number the server never raises itself
Scope scopeOf(int number);

// An error of the catalogue, with the severity it gives the number.
SqlError make(int number, const QString& text);

SqlError syntax(const QString& nearToken);             // 102
SqlError syntaxKeyword(const QString& keyword);        // 156
SqlError invalidColumn(const QString& name);           // 207
SqlError invalidObject(const QString& name);           // 208
SqlError ambiguousColumn(const QString& name);         // 209
SqlError mustDeclare(const QString& variable);         // 137
SqlError jumpOutsideLoop(bool isBreak, int line);      // 135 BREAK, 136 CONTINUE outside a WHILE
SqlError alreadyDeclared(const QString& variable);     // 134
SqlError conversionFailed(const QString& fromType, const QString& value, const QString& toType); // 245
SqlError dateConversion();                             // 241
SqlError convertError(const QString& fromType, const QString& toType); // 8114
SqlError overflow(const QString& toType);              // 8115
SqlError identityOverflow(const QString& type);        // 8115 for an identity value or seed
SqlError truncation();                                 // 8152
SqlError divideByZero();                               // 8134
SqlError notNull(const QString& column, const QString& table, bool update); // 515
SqlError identityInsertOff(const QString& table);      // 544
SqlError identityInsertOn(const QString& table);       // 545
SqlError identityColumnList(const QString& table);     // 8101
SqlError identityUpdate(const QString& column);        // 8102
SqlError identityInsertOther(const QString& table);    // 8107
SqlError identityNotSet(const QString& table);         // 8106
SqlError databaseMissing(const QString& name);         // 911
SqlError databaseExists(const QString& name);          // 1801
SqlError databaseInUse(const QString& name);           // 3702
SqlError objectExists(const QString& name);            // 2714
SqlError systemTableWrite(const QString& name);        // 259
SqlError systemTableWriteThroughView(const QString& view); // 259 for a view over a system table
SqlError columnNamesUnique(const QString& column);     // 2705
SqlError multipleIdentity(const QString& table);       // 2744
SqlError multipleTimestamp();                          // 2738
SqlError cannotDrop(const QString& kind, const QString& name); // 3701: DROP of a missing table, index, view...
SqlError commitWithoutBegin();                         // 3902
SqlError rollbackWithoutBegin();                       // 3903
SqlError saveWithoutTransaction();                     // 628
SqlError duplicateKey(const QString& constraint, const QString& table); // 2627
SqlError duplicateIndexKey(const QString& index, const QString& table); // 2601
SqlError multiplePrimaryKeys(const QString& table);    // 8110
SqlError nullablePrimaryKey(const QString& column, const QString& table); // 8111
SqlError columnCount();                                // 213
SqlError notSupported(const QString& what);            // 40000 range: our own
SqlError loginFailed(const QString& login);            // 18456
SqlError serverNotFound();                             // 17
SqlError userError(const QString& text, int severity, int state); // 50000 (RAISERROR)
SqlError internal(const QString& text);                // 3624-like: storage failure
SqlError noSpace(const QString& database);             // 1105: a data file cannot grow (disk full)
SqlError logFull(const QString& database);             // 9002: the log cannot grow (disk full)
SqlError databaseReadOnly(const QString& database);    // 3906: its file cannot be written
SqlError lockTimeout(const QString& database, int holderSpid, bool writing); // 1222
SqlError deadlockVictim(int spid);                     // 1205
SqlError tranCountChanged(int before, int after);      // 266
SqlError noSuchSavepoint(const QString& name);         // 6401
SqlError secondDatabaseWrite(const QString& written, const QString& other); // 40003: our own
SqlError instanceInUse(const QString& dataDir, const QString& program, long long pid); // 17
SqlError masterMissing(const QString& dataDir);        // 17: databases without master

// The informational message that follows a failed DML statement.
Message terminated();                                  // 3621
Message changedDatabase(const QString& name);          // 5701

} // namespace engine::Errors
