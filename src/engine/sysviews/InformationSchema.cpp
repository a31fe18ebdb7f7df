// INFORMATION_SCHEMA views over the catalog: columns, views and their tables, routines and
// their parameters, key constraints and their columns, and (in master) the databases.
#include "engine/sysviews/SystemViews.h"

#include "engine/storage/Sqlite.h"

namespace engine::sysviews {

namespace {

QString typeNames(const QString& col)
{
    int n = 0;
    const types::TypeInfo* all = types::allTypes(n);
    QString s = QStringLiteral("CASE %1").arg(col);
    for (int i = 0; i < n; ++i) s += QStringLiteral(" WHEN %1 THEN '%2'").arg(QString::number(int(all[i].type)), QLatin1String(all[i].name));
    return s + QStringLiteral(" END");
}

QString typeIn(const QString& col, std::initializer_list<types::Type> list)
{
    QStringList codes;
    for (types::Type t : list) codes << QString::number(int(t));
    return QStringLiteral("%1 IN (%2)").arg(col, codes.join(QStringLiteral(", ")));
}

// The number types: the ones with a numeric precision, radix and scale.
QString numeric(const QString& col)
{
    using types::Type;
    return typeIn(col, {Type::BigInt, Type::Int, Type::SmallInt, Type::TinyInt, Type::Decimal, Type::Numeric, Type::Money,
                        Type::SmallMoney, Type::Float, Type::Real});
}

const char* const kCatalogName = "(SELECT value FROM cat_settings WHERE key = 'name') COLLATE TSQL_CI";

} // namespace

void ensureInformationTables(sqlite3* db, const QString& s)
{
    storage::exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1.cat_view_tables (view_id INTEGER NOT NULL, "
                                     "table_schema TEXT NOT NULL, table_name TEXT NOT NULL)").arg(s));
    storage::exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1.cat_view_checks (view_id INTEGER PRIMARY KEY)").arg(s));
    storage::exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1.cat_parameters (proc_id INTEGER NOT NULL, ordinal INTEGER NOT NULL, "
                                     "name TEXT NOT NULL, is_output INTEGER NOT NULL, type INTEGER NOT NULL, user_type TEXT, "
                                     "length INTEGER NOT NULL, prec INTEGER NOT NULL, scale INTEGER NOT NULL, PRIMARY KEY (proc_id, ordinal))")
                          .arg(s));
}

void createInformationSchemaViews(sqlite3* db, const QString& s, bool master)
{
    using types::Type;
    const QString cat = QLatin1String(kCatalogName);
    ensureInformationTables(db, s);
    // columns of tables; a user type is the column's domain, its system type the data type
    const QString cunicode = typeIn(QStringLiteral("c.type"), {Type::NChar, Type::NVarChar, Type::SysName});
    const QString cansi = typeIn(QStringLiteral("c.type"), {Type::Char, Type::VarChar});
    const QString cbinary = typeIn(QStringLiteral("c.type"), {Type::Binary, Type::VarBinary});
    const QString ctext = typeIn(QStringLiteral("c.type"), {Type::Text, Type::NText, Type::Image});
    const QString capprox = typeIn(QStringLiteral("c.type"), {Type::Float, Type::Real});
    const QString cstring = typeIn(QStringLiteral("c.type"), {Type::Char, Type::VarChar, Type::Text, Type::NChar, Type::NVarChar,
                                                             Type::NText, Type::SysName});
    const QString ntext = QString::number(int(Type::NText));
    QStringList column;
    column << cat + QStringLiteral(" AS TABLE_CATALOG") << QStringLiteral("o.owner COLLATE TSQL_CI AS TABLE_SCHEMA")
           << QStringLiteral("o.name COLLATE TSQL_CI AS TABLE_NAME") << QStringLiteral("c.name COLLATE TSQL_CI AS COLUMN_NAME")
           << QStringLiteral("c.colid AS ORDINAL_POSITION") << QStringLiteral("c.default_text AS COLUMN_DEFAULT")
           << QStringLiteral("CASE WHEN c.nullable THEN 'YES' ELSE 'NO' END AS IS_NULLABLE")
           << typeNames(QStringLiteral("c.type")) + QStringLiteral(" AS DATA_TYPE")
           << QStringLiteral("CASE WHEN %1 OR %2 OR %3 THEN c.length WHEN c.type = %4 THEN 1073741823 WHEN %5 THEN 2147483647 END "
                             "AS CHARACTER_MAXIMUM_LENGTH").arg(cunicode, cansi, cbinary, ntext, ctext)
           << QStringLiteral("CASE WHEN %1 THEN c.length * 2 WHEN %2 OR %3 THEN c.length WHEN c.type = %4 THEN 2147483646 "
                             "WHEN %5 THEN 2147483647 END AS CHARACTER_OCTET_LENGTH").arg(cunicode, cansi, cbinary, ntext, ctext)
           << QStringLiteral("CASE WHEN %1 THEN c.prec END AS NUMERIC_PRECISION").arg(numeric(QStringLiteral("c.type")))
           << QStringLiteral("CASE WHEN %1 THEN CASE WHEN %2 THEN 2 ELSE 10 END END AS NUMERIC_PRECISION_RADIX")
                  .arg(numeric(QStringLiteral("c.type")), capprox)
           << QStringLiteral("CASE WHEN %1 AND NOT %2 THEN c.scale END AS NUMERIC_SCALE").arg(numeric(QStringLiteral("c.type")), capprox)
           << QStringLiteral("CASE c.type WHEN %1 THEN 3 WHEN %2 THEN 0 END AS DATETIME_PRECISION")
                  .arg(QString::number(int(Type::DateTime)), QString::number(int(Type::SmallDateTime)))
           << QStringLiteral("NULL AS CHARACTER_SET_CATALOG") << QStringLiteral("NULL AS CHARACTER_SET_SCHEMA")
           << QStringLiteral("CASE WHEN %1 THEN 'UNICODE' WHEN %2 THEN 'iso_1' END AS CHARACTER_SET_NAME")
                  .arg(typeIn(QStringLiteral("c.type"), {Type::NChar, Type::NVarChar, Type::NText, Type::SysName}),
                       typeIn(QStringLiteral("c.type"), {Type::Char, Type::VarChar, Type::Text}))
           << QStringLiteral("NULL AS COLLATION_CATALOG") << QStringLiteral("NULL AS COLLATION_SCHEMA")
           << QStringLiteral("CASE WHEN %1 THEN coalesce(c.collation, (SELECT value FROM cat_settings WHERE key = 'collation')) END "
                             "AS COLLATION_NAME").arg(cstring)
           << QStringLiteral("CASE WHEN c.user_type IS NOT NULL THEN %1 END AS DOMAIN_CATALOG").arg(cat)
           << QStringLiteral("CASE WHEN c.user_type IS NOT NULL THEN 'dbo' END AS DOMAIN_SCHEMA")
           << QStringLiteral("c.user_type AS DOMAIN_NAME");
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_columns AS SELECT %2 FROM cat_columns c JOIN cat_objects o ON o.id = c.table_id")
                          .arg(s, column.join(QStringLiteral(", "))));

    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_views AS SELECT %2 AS TABLE_CATALOG, o.owner COLLATE TSQL_CI AS TABLE_SCHEMA, "
                                     "o.name COLLATE TSQL_CI AS TABLE_NAME, substr(o.text, 1, 4000) AS VIEW_DEFINITION, "
                                     "CASE WHEN o.id IN (SELECT view_id FROM cat_view_checks) THEN 'CASCADE' ELSE 'NONE' END AS CHECK_OPTION, "
                                     "'NO' AS IS_UPDATABLE FROM cat_objects o WHERE o.xtype = 'V'").arg(s, cat));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_view_table_usage AS SELECT %2 AS VIEW_CATALOG, o.owner COLLATE TSQL_CI AS VIEW_SCHEMA, "
                                     "o.name COLLATE TSQL_CI AS VIEW_NAME, %2 AS TABLE_CATALOG, u.table_schema COLLATE TSQL_CI AS TABLE_SCHEMA, "
                                     "u.table_name COLLATE TSQL_CI AS TABLE_NAME FROM cat_view_tables u JOIN cat_objects o ON o.id = u.view_id")
                          .arg(s, cat));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_table_constraints AS SELECT %2 AS CONSTRAINT_CATALOG, "
                                     "k.owner COLLATE TSQL_CI AS CONSTRAINT_SCHEMA, k.name COLLATE TSQL_CI AS CONSTRAINT_NAME, %2 AS TABLE_CATALOG, "
                                     "t.owner COLLATE TSQL_CI AS TABLE_SCHEMA, t.name COLLATE TSQL_CI AS TABLE_NAME, "
                                     "CASE k.xtype WHEN 'PK' THEN 'PRIMARY KEY' ELSE 'UNIQUE' END AS CONSTRAINT_TYPE, "
                                     "'NO' AS IS_DEFERRABLE, 'NO' AS INITIALLY_DEFERRED "
                                     "FROM cat_objects k JOIN cat_objects t ON t.id = k.parent_id WHERE k.xtype IN ('PK', 'UQ')").arg(s, cat));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_key_column_usage AS SELECT %2 AS CONSTRAINT_CATALOG, "
                                     "k.owner COLLATE TSQL_CI AS CONSTRAINT_SCHEMA, k.name COLLATE TSQL_CI AS CONSTRAINT_NAME, %2 AS TABLE_CATALOG, "
                                     "t.owner COLLATE TSQL_CI AS TABLE_SCHEMA, t.name COLLATE TSQL_CI AS TABLE_NAME, "
                                     "c.name COLLATE TSQL_CI AS COLUMN_NAME, ic.keyno AS ORDINAL_POSITION "
                                     "FROM cat_indexes i JOIN cat_objects k ON k.id = i.constraint_id JOIN cat_objects t ON t.id = i.table_id "
                                     "JOIN cat_index_columns ic ON ic.table_id = i.table_id AND ic.indid = i.indid "
                                     "JOIN cat_columns c ON c.table_id = i.table_id AND c.colid = ic.colid WHERE i.constraint_id <> 0").arg(s, cat));
    if (master)
        storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_schemata AS SELECT name COLLATE TSQL_CI AS CATALOG_NAME, 'dbo' AS SCHEMA_NAME, "
                                         "'dbo' AS SCHEMA_OWNER, NULL AS DEFAULT_CHARACTER_SET_CATALOG, NULL AS DEFAULT_CHARACTER_SET_SCHEMA, "
                                         "'iso_1' AS DEFAULT_CHARACTER_SET_NAME FROM cat_databases").arg(s));

    QStringList routine;
    routine << cat + QStringLiteral(" AS SPECIFIC_CATALOG") << QStringLiteral("o.owner COLLATE TSQL_CI AS SPECIFIC_SCHEMA")
            << QStringLiteral("o.name COLLATE TSQL_CI AS SPECIFIC_NAME") << cat + QStringLiteral(" AS ROUTINE_CATALOG")
            << QStringLiteral("o.owner COLLATE TSQL_CI AS ROUTINE_SCHEMA") << QStringLiteral("o.name COLLATE TSQL_CI AS ROUTINE_NAME")
            << QStringLiteral("'PROCEDURE' AS ROUTINE_TYPE");
    for (const char* c : {"MODULE_CATALOG", "MODULE_SCHEMA", "MODULE_NAME", "UDT_CATALOG", "UDT_SCHEMA", "UDT_NAME", "DATA_TYPE",
                          "CHARACTER_MAXIMUM_LENGTH", "CHARACTER_OCTET_LENGTH", "COLLATION_CATALOG", "COLLATION_SCHEMA", "COLLATION_NAME",
                          "CHARACTER_SET_CATALOG", "CHARACTER_SET_SCHEMA", "CHARACTER_SET_NAME", "NUMERIC_PRECISION",
                          "NUMERIC_PRECISION_RADIX", "NUMERIC_SCALE", "DATETIME_PRECISION", "INTERVAL_TYPE", "INTERVAL_PRECISION",
                          "TYPE_UDT_CATALOG", "TYPE_UDT_SCHEMA", "TYPE_UDT_NAME", "SCOPE_CATALOG", "SCOPE_SCHEMA", "SCOPE_NAME",
                          "MAXIMUM_CARDINALITY", "DTD_IDENTIFIER"})
        routine << QStringLiteral("NULL AS %1").arg(QLatin1String(c));
    routine << QStringLiteral("'SQL' AS ROUTINE_BODY") << QStringLiteral("substr(o.text, 1, 4000) AS ROUTINE_DEFINITION")
            << QStringLiteral("NULL AS EXTERNAL_NAME") << QStringLiteral("NULL AS EXTERNAL_LANGUAGE") << QStringLiteral("NULL AS PARAMETER_STYLE")
            << QStringLiteral("'NO' AS IS_DETERMINISTIC") << QStringLiteral("'MODIFIES' AS SQL_DATA_ACCESS") << QStringLiteral("NULL AS IS_NULL_CALL")
            << QStringLiteral("NULL AS SQL_PATH") << QStringLiteral("'YES' AS SCHEMA_LEVEL_ROUTINE") << QStringLiteral("-1 AS MAX_DYNAMIC_RESULT_SETS")
            << QStringLiteral("'NO' AS IS_USER_DEFINED_CAST") << QStringLiteral("'NO' AS IS_IMPLICITLY_INVOCABLE")
            << QStringLiteral("o.crdate AS CREATED") << QStringLiteral("o.crdate AS LAST_ALTERED");
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_routines AS SELECT %2 FROM cat_objects o WHERE o.xtype = 'P'")
                          .arg(s, routine.join(QStringLiteral(", "))));

    const QString unicode = typeIn(QStringLiteral("p.type"), {Type::NChar, Type::NVarChar, Type::NText, Type::SysName});
    const QString ansi = typeIn(QStringLiteral("p.type"), {Type::Char, Type::VarChar, Type::Text});
    const QString binary = typeIn(QStringLiteral("p.type"), {Type::Binary, Type::VarBinary, Type::Image});
    const QString approx = typeIn(QStringLiteral("p.type"), {Type::Float, Type::Real});
    QStringList param;
    param << cat + QStringLiteral(" AS SPECIFIC_CATALOG") << QStringLiteral("o.owner COLLATE TSQL_CI AS SPECIFIC_SCHEMA")
          << QStringLiteral("o.name COLLATE TSQL_CI AS SPECIFIC_NAME") << QStringLiteral("p.ordinal AS ORDINAL_POSITION")
          << QStringLiteral("CASE WHEN p.is_output THEN 'INOUT' ELSE 'IN' END AS PARAMETER_MODE") << QStringLiteral("'NO' AS IS_RESULT")
          << QStringLiteral("'NO' AS AS_LOCATOR") << QStringLiteral("p.name COLLATE TSQL_CI AS PARAMETER_NAME")
          << QStringLiteral("coalesce(p.user_type, %1) AS DATA_TYPE").arg(typeNames(QStringLiteral("p.type")))
          << QStringLiteral("CASE WHEN %1 OR %2 OR %3 THEN p.length END AS CHARACTER_MAXIMUM_LENGTH").arg(unicode, ansi, binary)
          << QStringLiteral("CASE WHEN %1 THEN p.length * 2 WHEN %2 OR %3 THEN p.length END AS CHARACTER_OCTET_LENGTH").arg(unicode, ansi, binary)
          << QStringLiteral("NULL AS COLLATION_CATALOG") << QStringLiteral("NULL AS COLLATION_SCHEMA")
          << QStringLiteral("CASE WHEN %1 OR %2 THEN 'SQL_Latin1_General_CP1_CI_AS' END AS COLLATION_NAME").arg(unicode, ansi)
          << QStringLiteral("NULL AS CHARACTER_SET_CATALOG") << QStringLiteral("NULL AS CHARACTER_SET_SCHEMA")
          << QStringLiteral("CASE WHEN %1 THEN 'UNICODE' WHEN %2 THEN 'iso_1' END AS CHARACTER_SET_NAME").arg(unicode, ansi)
          << QStringLiteral("CASE WHEN %1 THEN p.prec END AS NUMERIC_PRECISION").arg(numeric(QStringLiteral("p.type")))
          << QStringLiteral("CASE WHEN %1 THEN CASE WHEN %2 THEN 2 ELSE 10 END END AS NUMERIC_PRECISION_RADIX")
                 .arg(numeric(QStringLiteral("p.type")), approx)
          << QStringLiteral("CASE WHEN %1 AND NOT %2 THEN p.scale END AS NUMERIC_SCALE").arg(numeric(QStringLiteral("p.type")), approx)
          << QStringLiteral("CASE p.type WHEN %1 THEN 3 WHEN %2 THEN 0 END AS DATETIME_PRECISION").arg(QString::number(int(Type::DateTime)), QString::number(int(Type::SmallDateTime)));
    for (const char* c : {"INTERVAL_TYPE", "INTERVAL_PRECISION", "USER_DEFINED_TYPE_CATALOG", "USER_DEFINED_TYPE_SCHEMA",
                          "USER_DEFINED_TYPE_NAME", "SCOPE_CATALOG", "SCOPE_SCHEMA", "SCOPE_NAME"})
        param << QStringLiteral("NULL AS %1").arg(QLatin1String(c));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_parameters AS SELECT %2 FROM cat_parameters p JOIN cat_objects o ON o.id = p.proc_id")
                          .arg(s, param.join(QStringLiteral(", "))));
}

} // namespace engine::sysviews
