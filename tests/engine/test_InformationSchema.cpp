// The INFORMATION_SCHEMA views a query window reads: their columns, named and ordered as
// SQL Server 2000 has them.

#include "common/TempDir.h"
#include "engine/Engine.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

QStringList columnsOf(Session& s, const QString& view)
{
    BatchResult r = s.execute(QStringLiteral("SELECT * FROM INFORMATION_SCHEMA.") + view);
    if (r.failed() || r.resultSets.size() != 1) return {QStringLiteral("error")};
    QStringList names;
    for (const ColumnInfo& c : r.resultSets[0].columns) names << c.name;
    return names;
}

QStringList split(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); }

} // namespace

TEST(InformationSchema, ViewsHaveTheServersColumns)
{
    TempDir tmp;
    auto inst = Instance::open(QStringLiteral("X"), tmp.path());
    auto s = inst->connectIntegrated();
    const char* const tableNames = "TABLE_CATALOG TABLE_SCHEMA TABLE_NAME";
    EXPECT_EQ(columnsOf(*s, QStringLiteral("TABLES")), split("TABLE_CATALOG TABLE_SCHEMA TABLE_NAME TABLE_TYPE"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("COLUMNS")),
              split("TABLE_CATALOG TABLE_SCHEMA TABLE_NAME COLUMN_NAME ORDINAL_POSITION COLUMN_DEFAULT IS_NULLABLE DATA_TYPE "
                    "CHARACTER_MAXIMUM_LENGTH CHARACTER_OCTET_LENGTH NUMERIC_PRECISION NUMERIC_PRECISION_RADIX NUMERIC_SCALE "
                    "DATETIME_PRECISION CHARACTER_SET_CATALOG CHARACTER_SET_SCHEMA CHARACTER_SET_NAME COLLATION_CATALOG "
                    "COLLATION_SCHEMA COLLATION_NAME DOMAIN_CATALOG DOMAIN_SCHEMA DOMAIN_NAME"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("VIEWS")),
              split("TABLE_CATALOG TABLE_SCHEMA TABLE_NAME VIEW_DEFINITION CHECK_OPTION IS_UPDATABLE"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("VIEW_TABLE_USAGE")),
              split("VIEW_CATALOG VIEW_SCHEMA VIEW_NAME TABLE_CATALOG TABLE_SCHEMA TABLE_NAME"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("TABLE_CONSTRAINTS")),
              split("CONSTRAINT_CATALOG CONSTRAINT_SCHEMA CONSTRAINT_NAME TABLE_CATALOG TABLE_SCHEMA TABLE_NAME "
                    "CONSTRAINT_TYPE IS_DEFERRABLE INITIALLY_DEFERRED"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("KEY_COLUMN_USAGE")),
              split("CONSTRAINT_CATALOG CONSTRAINT_SCHEMA CONSTRAINT_NAME TABLE_CATALOG TABLE_SCHEMA TABLE_NAME "
                    "COLUMN_NAME ORDINAL_POSITION"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("SCHEMATA")),
              split("CATALOG_NAME SCHEMA_NAME SCHEMA_OWNER DEFAULT_CHARACTER_SET_CATALOG DEFAULT_CHARACTER_SET_SCHEMA "
                    "DEFAULT_CHARACTER_SET_NAME"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("ROUTINES")),
              split("SPECIFIC_CATALOG SPECIFIC_SCHEMA SPECIFIC_NAME ROUTINE_CATALOG ROUTINE_SCHEMA ROUTINE_NAME ROUTINE_TYPE "
                    "MODULE_CATALOG MODULE_SCHEMA MODULE_NAME UDT_CATALOG UDT_SCHEMA UDT_NAME DATA_TYPE "
                    "CHARACTER_MAXIMUM_LENGTH CHARACTER_OCTET_LENGTH COLLATION_CATALOG COLLATION_SCHEMA COLLATION_NAME "
                    "CHARACTER_SET_CATALOG CHARACTER_SET_SCHEMA CHARACTER_SET_NAME NUMERIC_PRECISION NUMERIC_PRECISION_RADIX "
                    "NUMERIC_SCALE DATETIME_PRECISION INTERVAL_TYPE INTERVAL_PRECISION TYPE_UDT_CATALOG TYPE_UDT_SCHEMA "
                    "TYPE_UDT_NAME SCOPE_CATALOG SCOPE_SCHEMA SCOPE_NAME MAXIMUM_CARDINALITY DTD_IDENTIFIER ROUTINE_BODY "
                    "ROUTINE_DEFINITION EXTERNAL_NAME EXTERNAL_LANGUAGE PARAMETER_STYLE IS_DETERMINISTIC SQL_DATA_ACCESS "
                    "IS_NULL_CALL SQL_PATH SCHEMA_LEVEL_ROUTINE MAX_DYNAMIC_RESULT_SETS IS_USER_DEFINED_CAST "
                    "IS_IMPLICITLY_INVOCABLE CREATED LAST_ALTERED"));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("PARAMETERS")),
              split("SPECIFIC_CATALOG SPECIFIC_SCHEMA SPECIFIC_NAME ORDINAL_POSITION PARAMETER_MODE IS_RESULT AS_LOCATOR "
                    "PARAMETER_NAME DATA_TYPE CHARACTER_MAXIMUM_LENGTH CHARACTER_OCTET_LENGTH COLLATION_CATALOG "
                    "COLLATION_SCHEMA COLLATION_NAME CHARACTER_SET_CATALOG CHARACTER_SET_SCHEMA CHARACTER_SET_NAME "
                    "NUMERIC_PRECISION NUMERIC_PRECISION_RADIX NUMERIC_SCALE DATETIME_PRECISION INTERVAL_TYPE "
                    "INTERVAL_PRECISION USER_DEFINED_TYPE_CATALOG USER_DEFINED_TYPE_SCHEMA USER_DEFINED_TYPE_NAME "
                    "SCOPE_CATALOG SCOPE_SCHEMA SCOPE_NAME"));
    // the views are there in a database made after the server started, too
    ASSERT_FALSE(s->execute(QStringLiteral("CREATE DATABASE d")).failed());
    ASSERT_FALSE(s->execute(QStringLiteral("USE d")).failed());
    EXPECT_EQ(columnsOf(*s, QStringLiteral("VIEWS")).mid(0, 3), split(tableNames));
    EXPECT_EQ(columnsOf(*s, QStringLiteral("KEY_COLUMN_USAGE")).size(), 8);
}
