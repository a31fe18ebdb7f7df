#include "engine/sysviews/SystemViews.h"

#include "engine/storage/Sqlite.h"

namespace engine::sysviews {

namespace {

using types::Type;

types::TypeSpec t(Type ty, int len = 0)
{
    types::TypeSpec s = types::makeSpec(ty, len ? std::optional<int>(len) : std::nullopt, {}, {});
    return s;
}

// systypes rows of the system types
QString systemTypeRows()
{
    int n = 0;
    const types::TypeInfo* all = types::allTypes(n);
    QStringList rows;
    for (int i = 0; i < n; ++i) {
        const auto& ti = all[i];
        int length = ti.storage ? ti.storage : ti.maxLength;
        int usertype = ti.type == Type::SysName ? 256 : ti.xtype;
        bool variable = ti.type == Type::VarChar || ti.type == Type::NVarChar || ti.type == Type::VarBinary || ti.type == Type::SysName;
        rows << QString::fromLatin1(i == 0 ? "SELECT '%1' COLLATE TSQL_CI AS name, %2 AS xtype, %3 AS xusertype, %4 AS length, %5 AS prec, %6 AS scale, "
                                             "%7 AS usertype, 1 AS allownulls, %8 AS variable"
                                           : "SELECT '%1', %2, %3, %4, %5, %6, %7, 1, %8")
                    .arg(QLatin1String(ti.name)).arg(ti.xtype).arg(usertype).arg(length).arg(ti.precision).arg(ti.scale)
                    .arg(usertype).arg(variable ? 1 : 0);
    }
    return rows.join(QStringLiteral(" UNION ALL "));
}

QString xtypeCase(const QString& col)
{
    int n = 0;
    const types::TypeInfo* all = types::allTypes(n);
    QString s = QStringLiteral("CASE %1").arg(col);
    for (int i = 0; i < n; ++i) s += QStringLiteral(" WHEN %1 THEN %2").arg(int(all[i].type)).arg(all[i].xtype);
    return s + QStringLiteral(" END");
}

// length in bytes as stored (syscolumns.length)
QString lengthCase()
{
    return QStringLiteral("CASE WHEN c.type IN (%1,%2,%3) THEN c.length * 2 WHEN c.type IN (%4,%5,%6,%7) THEN c.length "
                          "WHEN c.type IN (%8,%9) THEN CASE WHEN c.prec <= 9 THEN 5 WHEN c.prec <= 19 THEN 9 WHEN c.prec <= 28 THEN 13 ELSE 17 END "
                          "ELSE %10 END")
        .arg(int(Type::NChar)).arg(int(Type::NVarChar)).arg(int(Type::SysName)).arg(int(Type::Char)).arg(int(Type::VarChar))
        .arg(int(Type::Binary)).arg(int(Type::VarBinary)).arg(int(Type::Decimal)).arg(int(Type::Numeric))
        .arg([] {
            int n = 0;
            const types::TypeInfo* all = types::allTypes(n);
            QString s = QStringLiteral("CASE c.type");
            for (int i = 0; i < n; ++i) s += QStringLiteral(" WHEN %1 THEN %2").arg(int(all[i].type)).arg(all[i].storage);
            return s + QStringLiteral(" END");
        }());
}

std::vector<SystemView>& views()
{
    static std::vector<SystemView> v = {
        {QStringLiteral("sysobjects"), QStringLiteral("dbo"), QStringLiteral("v_sysobjects"), false,
         {{QStringLiteral("name"), t(Type::SysName)}, {QStringLiteral("id"), t(Type::Int)},
          {QStringLiteral("xtype"), t(Type::Char, 2)}, {QStringLiteral("uid"), t(Type::SmallInt)},
          {QStringLiteral("parent_obj"), t(Type::Int)}, {QStringLiteral("crdate"), t(Type::DateTime)},
          {QStringLiteral("type"), t(Type::Char, 2)}}},
        {QStringLiteral("syscolumns"), QStringLiteral("dbo"), QStringLiteral("v_syscolumns"), false,
         {{QStringLiteral("name"), t(Type::SysName)}, {QStringLiteral("id"), t(Type::Int)},
          {QStringLiteral("colid"), t(Type::SmallInt)}, {QStringLiteral("xtype"), t(Type::TinyInt)},
          {QStringLiteral("xusertype"), t(Type::SmallInt)}, {QStringLiteral("length"), t(Type::SmallInt)},
          {QStringLiteral("prec"), t(Type::SmallInt)}, {QStringLiteral("scale"), t(Type::Int)},
          {QStringLiteral("isnullable"), t(Type::Int)}, {QStringLiteral("iscomputed"), t(Type::Int)},
          {QStringLiteral("collation"), t(Type::SysName)},
          // beyond the server's own columns: what the designer needs of a column
          {QStringLiteral("isidentity"), t(Type::Int)}, {QStringLiteral("ident_seed"), t(Type::BigInt)},
          {QStringLiteral("ident_incr"), t(Type::BigInt)}, {QStringLiteral("isrowguidcol"), t(Type::Int)},
          {QStringLiteral("computed_text"), t(Type::NVarChar, 4000)}, {QStringLiteral("default_name"), t(Type::SysName)},
          {QStringLiteral("default_text"), t(Type::NVarChar, 4000)}, {QStringLiteral("bound_default"), t(Type::SysName)}}},
        {QStringLiteral("sysfilegroups"), QStringLiteral("dbo"), QStringLiteral("v_sysfilegroups"), false,
         {{QStringLiteral("groupid"), t(Type::SmallInt)}, {QStringLiteral("allocpolicy"), t(Type::SmallInt)},
          {QStringLiteral("status"), t(Type::Int)}, {QStringLiteral("groupname"), t(Type::SysName)}}},
        {QStringLiteral("systypes"), QStringLiteral("dbo"), QStringLiteral("v_systypes"), false,
         {{QStringLiteral("name"), t(Type::SysName)}, {QStringLiteral("xtype"), t(Type::TinyInt)},
          {QStringLiteral("xusertype"), t(Type::SmallInt)}, {QStringLiteral("length"), t(Type::SmallInt)},
          {QStringLiteral("prec"), t(Type::SmallInt)}, {QStringLiteral("scale"), t(Type::TinyInt)},
          {QStringLiteral("usertype"), t(Type::SmallInt)}, {QStringLiteral("allownulls"), t(Type::Bit)},
          {QStringLiteral("variable"), t(Type::Bit)}}},
        {QStringLiteral("sysindexes"), QStringLiteral("dbo"), QStringLiteral("v_sysindexes"), false,
         {{QStringLiteral("name"), t(Type::SysName)}, {QStringLiteral("id"), t(Type::Int)},
          {QStringLiteral("indid"), t(Type::SmallInt)}, {QStringLiteral("keycnt"), t(Type::SmallInt)},
          {QStringLiteral("groupid"), t(Type::SmallInt)}, {QStringLiteral("OrigFillFactor"), t(Type::TinyInt)}}},
        {QStringLiteral("sysdatabases"), QStringLiteral("dbo"), QStringLiteral("v_sysdatabases"), true,
         {{QStringLiteral("name"), t(Type::SysName)}, {QStringLiteral("dbid"), t(Type::SmallInt)},
          {QStringLiteral("crdate"), t(Type::DateTime)}, {QStringLiteral("filename"), t(Type::NVarChar, 260)},
          {QStringLiteral("cmptlevel"), t(Type::TinyInt)}}},
        {QStringLiteral("TABLES"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_tables"), false,
         {{QStringLiteral("TABLE_CATALOG"), t(Type::NVarChar, 128)}, {QStringLiteral("TABLE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_NAME"), t(Type::SysName)}, {QStringLiteral("TABLE_TYPE"), t(Type::VarChar, 10)}}},
        {QStringLiteral("COLUMNS"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_columns"), false,
         {{QStringLiteral("TABLE_CATALOG"), t(Type::NVarChar, 128)}, {QStringLiteral("TABLE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_NAME"), t(Type::SysName)}, {QStringLiteral("COLUMN_NAME"), t(Type::SysName)},
          {QStringLiteral("ORDINAL_POSITION"), t(Type::SmallInt)}, {QStringLiteral("COLUMN_DEFAULT"), t(Type::NVarChar, 4000)},
          {QStringLiteral("IS_NULLABLE"), t(Type::VarChar, 3)}, {QStringLiteral("DATA_TYPE"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), t(Type::Int)}, {QStringLiteral("CHARACTER_OCTET_LENGTH"), t(Type::Int)},
          {QStringLiteral("NUMERIC_PRECISION"), t(Type::TinyInt)}, {QStringLiteral("NUMERIC_PRECISION_RADIX"), t(Type::SmallInt)},
          {QStringLiteral("NUMERIC_SCALE"), t(Type::Int)}, {QStringLiteral("DATETIME_PRECISION"), t(Type::SmallInt)},
          {QStringLiteral("CHARACTER_SET_CATALOG"), t(Type::SysName)}, {QStringLiteral("CHARACTER_SET_SCHEMA"), t(Type::SysName)},
          {QStringLiteral("CHARACTER_SET_NAME"), t(Type::SysName)}, {QStringLiteral("COLLATION_CATALOG"), t(Type::SysName)},
          {QStringLiteral("COLLATION_SCHEMA"), t(Type::SysName)}, {QStringLiteral("COLLATION_NAME"), t(Type::SysName)},
          {QStringLiteral("DOMAIN_CATALOG"), t(Type::SysName)}, {QStringLiteral("DOMAIN_SCHEMA"), t(Type::SysName)},
          {QStringLiteral("DOMAIN_NAME"), t(Type::SysName)}}},
        {QStringLiteral("SCHEMATA"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_schemata"), true,
         {{QStringLiteral("CATALOG_NAME"), t(Type::SysName)},
          {QStringLiteral("SCHEMA_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCHEMA_OWNER"), t(Type::NVarChar, 128)},
          {QStringLiteral("DEFAULT_CHARACTER_SET_CATALOG"), t(Type::VarChar, 6)},
          {QStringLiteral("DEFAULT_CHARACTER_SET_SCHEMA"), t(Type::VarChar, 3)},
          {QStringLiteral("DEFAULT_CHARACTER_SET_NAME"), t(Type::SysName)}}},
        {QStringLiteral("VIEWS"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_views"), false,
         {{QStringLiteral("TABLE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_NAME"), t(Type::SysName)},
          {QStringLiteral("VIEW_DEFINITION"), t(Type::NVarChar, 4000)},
          {QStringLiteral("CHECK_OPTION"), t(Type::VarChar, 7)},
          {QStringLiteral("IS_UPDATABLE"), t(Type::VarChar, 2)}}},
        {QStringLiteral("VIEW_TABLE_USAGE"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_view_table_usage"), false,
         {{QStringLiteral("VIEW_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("VIEW_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("VIEW_NAME"), t(Type::SysName)},
          {QStringLiteral("TABLE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_NAME"), t(Type::SysName)}}},
        {QStringLiteral("TABLE_CONSTRAINTS"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_table_constraints"), false,
         {{QStringLiteral("CONSTRAINT_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("CONSTRAINT_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("CONSTRAINT_NAME"), t(Type::SysName)},
          {QStringLiteral("TABLE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_NAME"), t(Type::SysName)},
          {QStringLiteral("CONSTRAINT_TYPE"), t(Type::VarChar, 11)},
          {QStringLiteral("IS_DEFERRABLE"), t(Type::VarChar, 2)},
          {QStringLiteral("INITIALLY_DEFERRED"), t(Type::VarChar, 2)}}},
        {QStringLiteral("KEY_COLUMN_USAGE"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_key_column_usage"), false,
         {{QStringLiteral("CONSTRAINT_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("CONSTRAINT_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("CONSTRAINT_NAME"), t(Type::SysName)},
          {QStringLiteral("TABLE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TABLE_NAME"), t(Type::SysName)},
          {QStringLiteral("COLUMN_NAME"), t(Type::SysName)},
          {QStringLiteral("ORDINAL_POSITION"), t(Type::Int)}}},
        {QStringLiteral("ROUTINES"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_routines"), false,
         {{QStringLiteral("SPECIFIC_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("SPECIFIC_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("SPECIFIC_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("ROUTINE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("ROUTINE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("ROUTINE_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("ROUTINE_TYPE"), t(Type::NVarChar, 20)},
          {QStringLiteral("MODULE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("MODULE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("MODULE_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("UDT_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("UDT_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("UDT_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("DATA_TYPE"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), t(Type::Int)},
          {QStringLiteral("CHARACTER_OCTET_LENGTH"), t(Type::Int)},
          {QStringLiteral("COLLATION_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("COLLATION_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("COLLATION_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_SET_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_SET_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_SET_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("NUMERIC_PRECISION"), t(Type::SmallInt)},
          {QStringLiteral("NUMERIC_PRECISION_RADIX"), t(Type::SmallInt)},
          {QStringLiteral("NUMERIC_SCALE"), t(Type::SmallInt)},
          {QStringLiteral("DATETIME_PRECISION"), t(Type::SmallInt)},
          {QStringLiteral("INTERVAL_TYPE"), t(Type::NVarChar, 30)},
          {QStringLiteral("INTERVAL_PRECISION"), t(Type::SmallInt)},
          {QStringLiteral("TYPE_UDT_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("TYPE_UDT_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("TYPE_UDT_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCOPE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCOPE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCOPE_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("MAXIMUM_CARDINALITY"), t(Type::BigInt)},
          {QStringLiteral("DTD_IDENTIFIER"), t(Type::NVarChar, 128)},
          {QStringLiteral("ROUTINE_BODY"), t(Type::NVarChar, 30)},
          {QStringLiteral("ROUTINE_DEFINITION"), t(Type::NVarChar, 4000)},
          {QStringLiteral("EXTERNAL_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("EXTERNAL_LANGUAGE"), t(Type::NVarChar, 30)},
          {QStringLiteral("PARAMETER_STYLE"), t(Type::NVarChar, 30)},
          {QStringLiteral("IS_DETERMINISTIC"), t(Type::NVarChar, 10)},
          {QStringLiteral("SQL_DATA_ACCESS"), t(Type::NVarChar, 30)},
          {QStringLiteral("IS_NULL_CALL"), t(Type::NVarChar, 10)},
          {QStringLiteral("SQL_PATH"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCHEMA_LEVEL_ROUTINE"), t(Type::NVarChar, 10)},
          {QStringLiteral("MAX_DYNAMIC_RESULT_SETS"), t(Type::SmallInt)},
          {QStringLiteral("IS_USER_DEFINED_CAST"), t(Type::NVarChar, 10)},
          {QStringLiteral("IS_IMPLICITLY_INVOCABLE"), t(Type::NVarChar, 10)},
          {QStringLiteral("CREATED"), t(Type::DateTime)},
          {QStringLiteral("LAST_ALTERED"), t(Type::DateTime)}}},
        {QStringLiteral("PARAMETERS"), QStringLiteral("INFORMATION_SCHEMA"), QStringLiteral("v_is_parameters"), false,
         {{QStringLiteral("SPECIFIC_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("SPECIFIC_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("SPECIFIC_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("ORDINAL_POSITION"), t(Type::SmallInt)},
          {QStringLiteral("PARAMETER_MODE"), t(Type::NVarChar, 10)},
          {QStringLiteral("IS_RESULT"), t(Type::NVarChar, 10)},
          {QStringLiteral("AS_LOCATOR"), t(Type::NVarChar, 10)},
          {QStringLiteral("PARAMETER_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("DATA_TYPE"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), t(Type::Int)},
          {QStringLiteral("CHARACTER_OCTET_LENGTH"), t(Type::Int)},
          {QStringLiteral("COLLATION_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("COLLATION_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("COLLATION_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_SET_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_SET_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("CHARACTER_SET_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("NUMERIC_PRECISION"), t(Type::TinyInt)},
          {QStringLiteral("NUMERIC_PRECISION_RADIX"), t(Type::SmallInt)},
          {QStringLiteral("NUMERIC_SCALE"), t(Type::TinyInt)},
          {QStringLiteral("DATETIME_PRECISION"), t(Type::SmallInt)},
          {QStringLiteral("INTERVAL_TYPE"), t(Type::NVarChar, 30)},
          {QStringLiteral("INTERVAL_PRECISION"), t(Type::SmallInt)},
          {QStringLiteral("USER_DEFINED_TYPE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("USER_DEFINED_TYPE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("USER_DEFINED_TYPE_NAME"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCOPE_CATALOG"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCOPE_SCHEMA"), t(Type::NVarChar, 128)},
          {QStringLiteral("SCOPE_NAME"), t(Type::NVarChar, 128)}}},
    };
    return v;
}

} // namespace

const SystemView* find(const QString& owner, const QString& name)
{
    for (const SystemView& v : views()) {
        if (v.name.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (v.owner == QLatin1String("INFORMATION_SCHEMA")) {
            if (owner.compare(v.owner, Qt::CaseInsensitive) == 0) return &v;
        } else if (owner.isEmpty() || owner.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0) {
            return &v;
        }
    }
    return nullptr;
}

namespace {
const char* const kViewsVersion = "6";
const char* const kViewNames[] = {"v_sysobjects", "v_syscolumns", "v_systypes", "v_sysindexes", "v_sysdatabases",
                                  "v_sysfilegroups", "v_is_tables", "v_is_columns", "v_is_views", "v_is_view_table_usage",
                                  "v_is_table_constraints", "v_is_key_column_usage", "v_is_schemata", "v_is_routines",
                                  "v_is_parameters"};
} // namespace

void ensureSystemViews(sqlite3* db, const QString& schema)
{
    storage::Statement v(db, QStringLiteral("SELECT value FROM %1.cat_settings WHERE key = 'views'").arg(storage::quoteId(schema)));
    if (v.step() && v.text(0) == QLatin1String(kViewsVersion)) return;
    if (!sqlite3_get_autocommit(db)) return; // not inside somebody's transaction; next time
    storage::exec(db, QStringLiteral("SAVEPOINT views"));
    try {
        createSystemViews(db, schema);
        storage::exec(db, QStringLiteral("RELEASE views"));
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO views; RELEASE views", nullptr, nullptr, nullptr);
        throw;
    }
}

namespace {
bool hasDatabases(sqlite3* db, const QString& s)
{
    storage::Statement m(db, QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = 'cat_databases'").arg(s));
    return m.step();
}
} // namespace

void createSystemViews(sqlite3* db, const QString& schema)
{
    QString s = storage::quoteId(schema);
    for (const char* v : kViewNames) storage::exec(db, QStringLiteral("DROP VIEW IF EXISTS %1.%2").arg(s, QLatin1String(v)));
    const QString uid = QStringLiteral("CASE WHEN o.owner = 'dbo' THEN 1 ELSE 5 END");
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_sysobjects AS SELECT o.name COLLATE TSQL_CI AS name, o.id AS id, o.xtype COLLATE TSQL_CI AS xtype, %2 AS uid, "
                                     "o.parent_id AS parent_obj, o.crdate AS crdate, o.xtype COLLATE TSQL_CI AS type FROM cat_objects o "
                                     "UNION ALL SELECT v.n, v.i, 'S', 1, 0, '2000-01-01 00:00:00.000', 'S' FROM (SELECT 'sysobjects' AS n, 1 AS i "
                                     "UNION ALL SELECT 'sysindexes', 2 UNION ALL SELECT 'syscolumns', 3 UNION ALL SELECT 'systypes', 4 "
                                     "UNION ALL SELECT 'sysfilegroups', 96) v")
                          .arg(s, uid));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_syscolumns AS SELECT c.name COLLATE TSQL_CI AS name, c.table_id AS id, c.colid AS colid, "
                                     "%2 AS xtype, coalesce((SELECT usertype FROM cat_types WHERE name = c.user_type), %2) AS xusertype, "
                                     "%3 AS length, "
                                     "c.prec AS prec, c.scale AS scale, c.nullable AS isnullable, c.computed IS NOT NULL AS iscomputed, "
                                     "c.collation COLLATE TSQL_CI AS collation, c.is_identity AS isidentity, "
                                     "CASE WHEN c.is_identity THEN c.seed END AS ident_seed, CASE WHEN c.is_identity THEN c.increment END AS ident_incr, "
                                     "c.rowguid AS isrowguidcol, c.computed AS computed_text, c.default_name COLLATE TSQL_CI AS default_name, "
                                     "c.default_text AS default_text, c.bound_default COLLATE TSQL_CI AS bound_default FROM cat_columns c")
                          .arg(s, xtypeCase(QStringLiteral("c.type")), lengthCase()));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_systypes AS %2 UNION ALL SELECT name, %3, usertype, length, prec, scale, usertype, nullable, 0 "
                                     "FROM cat_types").arg(s, systemTypeRows(), xtypeCase(QStringLiteral("base_type"))));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_sysindexes AS SELECT i.name COLLATE TSQL_CI AS name, i.table_id AS id, i.indid AS indid, "
                                     "(SELECT count(*) FROM cat_index_columns k WHERE k.table_id = i.table_id AND k.indid = i.indid) AS keycnt, "
                                     "coalesce((SELECT groupid FROM cat_filegroups f WHERE f.name = i.filegroup), 1) AS groupid, "
                                     "i.fill_factor AS OrigFillFactor FROM cat_indexes i "
                                     "UNION ALL SELECT o.name, o.id, 0, 0, 1, 0 FROM cat_objects o WHERE o.xtype = 'U' AND NOT EXISTS "
                                     "(SELECT 1 FROM cat_indexes x WHERE x.table_id = o.id AND x.indid = 1)").arg(s));
    storage::Statement master(db, QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = 'cat_databases'").arg(s));
    if (master.step())
        storage::exec(db, QStringLiteral("CREATE VIEW %1.v_sysdatabases AS SELECT name COLLATE TSQL_CI AS name, dbid AS dbid, crdate AS crdate, "
                                         "filename AS filename, 80 AS cmptlevel FROM cat_databases").arg(s));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_sysfilegroups AS SELECT groupid AS groupid, 0 AS allocpolicy, 0 AS status, "
                                     "name COLLATE TSQL_CI AS groupname FROM cat_filegroups").arg(s));
    storage::exec(db, QStringLiteral("CREATE VIEW %1.v_is_tables AS SELECT (SELECT value FROM cat_settings WHERE key = 'name') COLLATE TSQL_CI AS TABLE_CATALOG, "
                                     "o.owner COLLATE TSQL_CI AS TABLE_SCHEMA, o.name COLLATE TSQL_CI AS TABLE_NAME, CASE o.xtype WHEN 'V' THEN 'VIEW' ELSE 'BASE TABLE' END AS TABLE_TYPE "
                                     "FROM cat_objects o WHERE o.xtype IN ('U', 'V')").arg(s));
    createInformationSchemaViews(db, s, hasDatabases(db, s));
    storage::exec(db, QStringLiteral("INSERT OR REPLACE INTO %1.cat_settings (key, value) VALUES ('views', '%2')").arg(s, QLatin1String(kViewsVersion)));
}

} // namespace engine::sysviews
