#pragma once
// Errors of schema changes: altering tables, indexes, constraints, defaults, user types,
// filegroups and procedures. Same catalogue as Errors.h, kept apart by subject.

#include "engine/Engine.h"

namespace engine::Errors {

SqlError duplicateOnCreateIndex(const QString& index, const QString& table); // 1505
SqlError primaryKeyExists(const QString& table);                 // 1779
SqlError defaultExists(const QString& column, const QString& table); // 1781
SqlError constraintFailed();                                     // 1750
SqlError clusteredExists(const QString& index, const QString& table); // 1902
SqlError indexColumnMissing(const QString& column);              // 1911
SqlError indexExists(const QString& index, const QString& table); // 1913
SqlError invalidFileGroup(const QString& name);                  // 1921
SqlError indexNotDroppable(const QString& index, const QString& kind); // 3723
SqlError notAConstraint(const QString& name);                    // 3728
SqlError defaultInUse(const QString& name);                      // 3716
SqlError addNotNullColumn(const QString& column, const QString& table); // 4901
SqlError alterMissingTable(const QString& name);                 // 4902
SqlError alterColumnFailed(const QString& column, bool drop, int count); // 4922
SqlError onlyColumn(const QString& column, const QString& table); // 4923
SqlError columnMissing(const QString& column, const QString& table, bool drop); // 4924
SqlError dependsOnColumn(const QString& object, const QString& column); // 5074
SqlError fileGroupExists(const QString& name);                   // 5035
SqlError invalidCollation(const QString& name);                  // 448
SqlError procedureMissing(const QString& name);                  // 2812
SqlError parameterMissing(const QString& procedure, const QString& parameter); // 201
SqlError tooManyArguments(const QString& procedure);             // 8144
SqlError parameterNotFound(const QString& procedure, const QString& parameter); // 8145
SqlError notOutputParameter(const QString& parameter, const QString& procedure); // 8162
SqlError nestedTooDeep(int levels);                              // 217
SqlError positionalAfterNamed();                                 // 119
SqlError constantAsOutput();                                     // 179
SqlError executeSqlNeedsUnicode(const QString& parameter);       // 214
SqlError executeSqlValueMissing(const QString& parameters, const QString& parameter); // 8178
SqlError typeMissing(const QString& name);                       // 2715
SqlError rowGuidColExists(const QString& table);                 // 8196
SqlError rowGuidColType(const QString& column);                  // 8183

// System procedures (15000 range)
SqlError objectNotInDatabase(const QString& name, const QString& database); // 15009
SqlError noItemByName(const QString& name);                      // 15225
SqlError renameAmbiguous();                                      // 15248
SqlError newNameInUse(const QString& name);                      // 15335
SqlError defaultMissing(const QString& name);                    // 15016
SqlError columnOrTypeMissing(const QString& name);               // 15148
SqlError columnHasDefaultConstraint(const QString& column);      // 15123
SqlError noDefaultBound(const QString& name);                    // 15049
SqlError typeExists(const QString& name);                        // 15029
SqlError typeUnknownBase(const QString& name);                   // 15036
SqlError typeNotFound(const QString& name);                      // 15012
SqlError typeInUse(const QString& name);                         // 15180
SqlError noText(const QString& name);                            // 15197
SqlError badParameter(const QString& procedure, const QString& text); // 15600

} // namespace engine::Errors
