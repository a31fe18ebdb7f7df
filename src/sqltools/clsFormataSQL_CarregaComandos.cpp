#include "sqltools/clsFormataSQL.h"

// The keyword table: statements, clauses, data types and DBCC words; then the @@ variables and
// built-in functions; then operators, logical and join words. Duplicates are kept.

namespace {

// clang-format off
constexpr const char* kStatements[] = {
    "all", "as", "Alter Database", "ALTER FUNCTION", "Alter Procedure", "Alter Table",
    "Alter Trigger", "Alter View", "Backup", "BEGIN", "End", "BEGIN DISTRIBUTED TRANSACTION",
    "BEGIN TRANSACTION", "BREAK", "BULK Insert", "Checkpoint", "Close", "COMMIT TRANSACTION",
    "COMMIT WORK", "CONTAINS", "CONTAINSTABLE", "Continue", "values", "into", "inner", "full",
    "GOTO", "IF", "Else", "Return", "WAITFOR", "WHILE", "DECLARE", "EXECUTE", "Print",
    "RAISERROR", "Create", "Database", "distinct", "Default", "FUNCTION", "Index", "Procedure",
    "Rule", "schema", "STATISTICS", "Table", "Trigger", "View", "CURSOR", "DateTime",
    "SMALLDATETIME", "Float", "Real", "decimal", "Money", "smallmoney", "bigint", "int",
    "SmallInt", "tinyint", "Bit", "ntext", "Text", "Image", "TimeStamp", "uniqueidentifier",
    "nvarchar", "Nchar", "Numeric", "VarChar", "Char", "VarBinary", "Binary", "DBCC",
    "CHECKALLOC", "CheckCatalog", "CHECKCONSTRAINTS", "CHECKDB", "CheckFilegroup", "CHECKIDENT",
    "CheckTable", "CLEANTABLE", "CONCURRENCYVIOLATION", "DBREPAIR", "DBREINDEX", "DLLNAME",
    "DROPCLEANBUFFERS", "FREEPROCCACHE", "HELP", "INDEXDEFRAG", "INPUTBUFFER", "NEWALLOC",
    "OPENTRAN", "OUTPUTBUFFER", "PINTABLE", "PROCCACHE", "ROWLOCK", "SHOWCONTIG",
    "SHOW_STATISTICS", "SHRINKDATABASE", "SHRINKFILE", "SQLPERF", "TRACEOFF", "TRACEON",
    "TRACESTATUS", "UNPINTABLE", "UPDATEUSAGE", "USEROPTIONS", "DEALLOCATE", "Delete", "Deny",
    "Drop", "Rule", "View", "DUMP", "FETCH", "FREETEXT", "FREETEXTTABLE", "From", "Grant", "By",
    "Group", "GROUPING", "Having", "schema", "Views", "Columns", "Insert", "IS", "Kill", "Load",
    "Max", "Min", "OPEN", "OPENDATASOURCE", "OPENQUERY", "OPENROWSET", "OPENXML", "Order",
    "READTEXT", "RECONFIGURE", "Restore", "FILELISTONLY", "HEADERONLY", "LABELONLY", "VERIFYONLY",
    "Revoke", "ROLLBACK", "TRANSACTION", "WORK", "Save", "TRANSACTION", "SET", "SETUSER",
    "Shutdown", "SELECT", "SQL_VARIANT", "Table", "top", "TRANSACTION", "Truncate Table", "Union",
    "Update", "STATISTICS", "UPDATETEXT", "use", "Where", "WRITETEXT",
};

constexpr const char* kFunctions[] = {
    "left", "@@CONNECTIONS", "@@CPU_BUSY", "@@CURSOR_ROWS", "@@DATEFIRST", "@@DBTS", "@@ERROR",
    "@@FETCH_STATUS", "@@IDENTITY", "@@IDLE", "@@IO_BUSY", "@@LANGID", "@@LANGUAGE",
    "@@LOCK_TIMEOUT", "@@MAX_CONNECTIONS", "@@MAX_PRECISION", "@@NESTLEVEL", "@@OPTIONS",
    "@@PACK_RECEIVED", "@@PACK_SENT", "@@PACKET_ERRORS", "@@PROCID", "@@REMSERVER", "@@ROWCOUNT",
    "@@SERVERNAME", "@@SERVICENAME", "@@SPID", "@@TEXTSIZE", "@@TIMETICKS", "@@TOTAL_ERRORS",
    "@@TOTAL_READ", "@@TOTAL_WRITE", "@@TRANCOUNT", "@@VERSION", "ABS", "ACOS", "APP_NAME",
    "ASCII", "ASIN", "ATAN", "ATN2", "Avg", "BINARY_CHECKSUM", "CASE", "CAST", "CONVERT",
    "CEILING", "CHARINDEX", "CHECKSUM", "CHECKSUM_AGG", "COALESCE", "COLLATIONPROPERTY",
    "COL_LENGTH", "COL_NAME", "COLUMNPROPERTY", "Cos", "COT", "Count", "COUNT_BIG",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR_STATUS", "DATABASEPROPERTY",
    "DATABASEPROPERTYEX", "DataLength", "DateAdd", "DateDiff", "DATENAME", "DatePart", "Day",
    "DB_ID", "DB_NAME", "DEGREES", "DIFFERENCE", "Exp", "FILE_ID", "FILE_NAME", "FILEGROUP_ID",
    "FILEGROUP_NAME", "FILEGROUPPROPERTY", "FILEPROPERTY", "FLOOR", "FORMATMESSAGE",
    "FULLTEXTCATALOGPROPERTY", "FULLTEXTSERVICEPROPERTY", "GETANSINULL", "GETDATE", "GETUTCDATE",
    "HOST_ID", "HOST_NAME", "IDENT_CURRENT", "IDENT_INCR", "IDENT_SEED", "INDEXKEY_PROPERTY",
    "INDEXPROPERTY", "INDEX_COL", "IS_MEMBER", "IS_SRVROLEMEMBER", "IsDate", "IsNull",
    "IsNumeric", "Left", "LEN", "Log", "LOG10", "LOWER", "LTrim", "Month", "NEWID", "NULLIF",
    "OBJECT_ID", "OBJECT_NAME", "OBJECTPROPERTY", "PARSENAME", "PATINDEX", "Permissions", "PI",
    "POWER", "QUOTENAME", "RADIANS", "RAND", "Replace", "REPLICATE", "REVERSE", "Right", "Round",
    "RTrim", "SCOPE_IDENTITY", "SERVERPROPERTY", "SESSION_USER", "SESSIONPROPERTY", "Sin",
    "SOUNDEX", "Space", "SQUARE", "STATS_DATE", "Stdev", "Stdevp", "Str", "STUFF", "SUBSTRING",
    "Sum", "SUSER_ID", "SUSER_NAME", "SUSER_SID", "SUSER_SNAME", "SYSTEM_USER", "Tan", "TEXTPTR",
    "TEXTVALID", "TYPEPROPERTY", "UNICODE", "UPPER", "USER_ID", "USER_NAME", "Var", "Varp",
    "Year",
};

constexpr const char* kOperators[] = {
    "+", "-", "*", "/", "%", "&", "|", "^", "~", "=", "<", ">", ">=", "<=", "<>", "!=", "!<",
    "NOT", "AND", "ANY", "Between", "Exists", "IN", "NULL", "LIKE", "OR", "Some", "outer", "join",
    "cross",
};
// clang-format on

} // namespace

void clsFormataSQL::CarregaComandos() {
    m_Comandos = std::make_unique<clsFormataSQLCmdCOL>();
    for (const char* c : kStatements)
        m_Comandos->Add(QString::fromUtf8(c), ColorStatement);
    for (const char* c : kFunctions)
        m_Comandos->Add(QString::fromUtf8(c), ColorFunction);
    for (const char* c : kOperators)
        m_Comandos->Add(QString::fromUtf8(c), ColorOperator);
}
