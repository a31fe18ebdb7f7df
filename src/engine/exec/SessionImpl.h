#pragma once
// A session: the SQLite connection with every database it touches attached, the session state
// (current database, transaction count, identity insert, @@ globals, variables) and the batch
// runner. Statement families are implemented in their own files (Dispatch.cpp routes them).

#include "engine/Engine.h"
#include "engine/catalog/Catalog.h"
#include "engine/functions/Functions.h"
#include "engine/parser/Ast.h"
#include "engine/types/IntegerRange.h"
#include "engine/types/TypeInfo.h"
#include "engine/types/Value.h"

#include <QHash>

#include <map>
#include <memory>
#include <optional>

struct sqlite3;

namespace engine {
class InstanceImpl;
}

namespace engine::exec {

struct Variable {
    types::TypeSpec type;
    types::Value value;
};

// A table named in a statement, resolved to its database and catalog record.
struct ResolvedTable {
    QString database;      // the database's name as recorded
    QString schema;        // attached SQLite schema of that database
    catalog::Table table;
    QString exposedName;   // the name statements use when it differs (#temp tables)
    QString qualifiedPhys() const; // "d5"."t12"
    QString displayName() const;   // database.owner.name, for messages
};

// Control flow out of statements.
struct BreakSignal {};
struct ContinueSignal {};
struct ReturnSignal {};
// An error that ends the batch was recorded. One that also ends the transaction ends the
// batches that ran this one (EXEC of a string, sp_executesql) as well.
struct BatchAbort {
    bool endsCallers = false;
};

class SessionImpl : public Session {
public:
    SessionImpl(std::shared_ptr<InstanceImpl> instance, QString login, bool sysadmin, QString database);
    ~SessionImpl() override;

    BatchResult execute(const QString& batch) override;
    std::unique_ptr<Cursor> openQuery(const QString& select) override;
    QString currentDatabase() const override { return database_; }
    QString loginName() const override { return login_; }
    int spid() const override { return spid_; }
    int tranCount() const override { return tranCount_; }
    Instance& instance() override;
    InstanceImpl& server() { return *instance_; }

    // --- used by the statement implementations ---
    sqlite3* db() const { return db_; }
    // The attached schema of a database (attaching it on first use); 911 when unknown.
    QString schemaFor(const QString& database);
    QString masterSchema() { return schemaFor(QStringLiteral("master")); }
    QString currentSchema() { return schemaFor(database_); }
    catalog::Catalog catalogFor(const QString& database);
    // The catalog of a table resolved by this statement (its database is attached already).
    catalog::Catalog catalogOf(const ResolvedTable& t) { return catalog::Catalog(db_, t.schema, t.database); }
    catalog::Catalog currentCatalog() { return catalogFor(database_); }
    // The database name as recorded in master (for letter case), or nullopt.
    std::optional<QString> databaseName(const QString& name);
    void detachDatabase(const QString& name);

    // Tables: 208 when missing. `database` and `owner` may be empty.
    ResolvedTable resolveTable(const sql::ObjectName& name);
    std::optional<ResolvedTable> findTable(const sql::ObjectName& name);
    QString userName() const { return sysadmin_ ? QStringLiteral("dbo") : login_; }
    // Administrator rights: the login's server role, never its name.
    bool isSysadmin() const { return sysadmin_; }
    // #name (this session's) and ##name (global) temporary tables live in tempdb under a name
    // of their own; this maps a written name to it (other names are returned unchanged).
    sql::ObjectName tempName(const sql::ObjectName& name) const;
    static bool isTempName(const QString& name) { return name.startsWith(QLatin1Char('#')); }
    void noteTempTable(const QString& storedName) { tempTables_.push_back(storedName); }
    // The #tables made from here on are dropped by dropTempTables(mark) (##tables stay).
    size_t tempTableMark() const { return tempTables_.size(); }
    void dropTempTables(size_t mark);
    QString defaultOwner() const { return userName(); }

    // Output
    BatchResult& out() { return *out_; }
    void addMessage(const Message& m);
    // Drops the informational messages added since out().messages held `from` of them.
    void withdrawMessages(size_t from);
    void addResultSet(ResultSet rs);
    void setRowCount(long long n) { rowCount_ = n; }
    long long rowCount() const { return rowCount_; }

    // Session state
    // Transactions (Transaction.cpp). BEGIN TRAN's name counts at the outermost level only.
    void beginTransaction(const QString& name);
    void commitTransaction();
    // ROLLBACK TRAN: everything; to a savepoint; or 6401 for a name neither of them has.
    void rollbackTransaction(const QString& name);
    void saveTransaction(const QString& name);
    // Rolls the open transaction back whole, whatever ended it.
    void rollbackAll();
    // An error reported once the running statement has kept its work (266 when a module ends).
    void raiseAtStatementEnd(const SqlError& e) { statementEndError_ = e; }
    QString& databaseRef() { return database_; }
    void useDatabase(const QString& name);
    std::optional<long long> lastIdentity;  // @@IDENTITY
    std::optional<long long> scopeIdentity; // SCOPE_IDENTITY(): the running module's (batch, procedure, dynamic batch)
    int lastError = 0;
    int returnStatus = 0;   // RETURN n of the running procedure or batch
    int procedureDepth = 0; // nesting of running modules (@@NESTLEVEL)
    std::vector<QString> callerDatabases; // where each running module's caller goes back to: in use
    bool nocount = false;
    // SET LOCK_TIMEOUT: how long (ms) a statement waits for a database another session writes;
    // -1, the default, waits kDefaultLockWait.
    int lockTimeout = -1;
    static constexpr int kDefaultLockWait = 5000;
    QByteArray dateFormat = "mdy"; // SET DATEFORMAT
    // SET IDENTITY_INSERT: the table that has it on
    struct IdentityInsert {
        QString database;
        int tableId = 0;
        QString name;
    };
    std::optional<IdentityInsert> identityInsert;
    // Tables whose identity TRUNCATE put back inside the open transaction: their counters are
    // read again from the catalog when it is rolled back.
    std::vector<std::pair<QString, int>> truncatedTables;
    // A statement set a table's identity counter (after writing it to the catalog): when the
    // statement, or the transaction it is part of, fails, the counter is read again from disk.
    void noteIdentitySet(const QString& database, int tableId);

    // Variables of the batch
    QHash<QString, Variable> variables; // key: lower-case name with '@'
    Variable* variable(const QString& name);

    // Identity slots for the statement being run (see functions::Hooks)
    struct IdentitySlot {
        QString database;
        QString schema;
        catalog::Table table;
        std::optional<long long> lastValue;
        types::IntegerRange range; // of the identity column's type
    };
    int addIdentitySlot(const ResolvedTable& t);
    std::vector<IdentitySlot> identitySlots;
    void finishIdentitySlots(bool ok);

    // Runs one statement (with its savepoint when it is a leaf statement).
    void runStatement(const sql::Stmt& s);
    void runStatements(const sql::StatementList& list);
    // Runs statements without a savepoint (DDL/DML bodies call this through Dispatch).
    void dispatch(const sql::Stmt& s);

    // Runs SQLite SQL with bound values; returns sqlite3_changes().
    long long execSql(const QString& sql, const std::vector<types::Value>& binds = {});

    QString serverNameText() const;

private:
    void attach(const QString& database, const QString& schema, const QString& file);
    // A transaction (and a statement that may write) locks each database before it first reads
    // it, so that its snapshot is never overtaken: to read, shared with other readers; to write,
    // alone. The locks go when the transaction ends.
    bool locksDatabases() const;
    // Between statements, files attached read-only that may be written now are attached again.
    void reattachWritable();
    // True when the lock is newly taken (this session may have waited for it).
    bool lockDatabase(const QString& database, const QString& file, bool write);
    void releaseLocks();
    // The transaction ended (committed or rolled back): its names and savepoints go.
    void transactionEnded();
    // Statement savepoints: `level` counts them from the outermost; a commit, a rollback or a
    // rollback to an older savepoint of SAVE TRAN takes them away.
    bool savepointAlive(int level) const;
    void endStatementSavepoint(int level, bool undo, bool reportFailure = false);
    // A transaction of more than one statement writes to one database at most, besides tempdb:
    // commits are atomic per file only. Writes elsewhere are refused when they are prepared.
    bool spansStatements() const { return tranCount_ > 0 || statementDepth_ > 1; }
    QString otherDatabaseWritten(const QString& schema);
    static int authorize(void* session, int action, const char* a1, const char* a2, const char* a3, const char* a4);
    // Drops these #tables of tempdb (stored names), in one step of their own; false when it could not.
    bool dropTables(const std::vector<QString>& tempNames);
    // SQLite attaches at most 10 files: between statements, files not in use are let go.
    void pruneAttached();

    std::shared_ptr<InstanceImpl> instance_;
    sqlite3* db_ = nullptr;
    QString login_;
    bool sysadmin_ = false;
    QString database_;
    int spid_ = 0;
    int tranCount_ = 0;
    long long rowCount_ = 0;
    BatchResult* out_ = nullptr;
    std::map<QString, QString> attached_; // lower-case database name -> schema
    int nextSchema_ = 1;
    functions::Hooks hooks_;
    std::vector<QString> tempTables_; // dropped when the session ends
    bool writeIntent_ = false;            // the open SQLite transaction began with a writing statement
    bool statementWrites_ = false;        // the running statement may write (its locks are exclusive)
    struct Held {
        QString database;
        bool write = false;
    };
    std::map<QString, Held> locked_;      // file -> lock held by this transaction
    int statementDepth_ = 0;              // statements running inside each other's savepoints
    std::vector<std::pair<QString, int>> countersSet_; // by the outermost statement running (noteIdentitySet)
    int liveSavepoints_ = 0;              // statement savepoints open in SQLite
    struct Savepoint {
        QString name;
        int level; // statement savepoints under it
    };
    std::vector<Savepoint> savepoints_;   // SAVE TRAN, oldest first
    QString tranName_;                    // the outermost BEGIN TRAN's name
    std::optional<SqlError> statementEndError_;
};

// Conversion helpers shared by statements.
types::Value convertValue(const types::Value& v, const types::TypeSpec& from, const types::TypeSpec& to, bool assignment);
QVariant toVariant(const types::Value& v, const ColumnInfo& col);
ColumnInfo columnInfo(const QString& name, const types::TypeSpec& t, bool nullable);
types::TypeSpec specOf(const sql::DataType& dt, SessionImpl* session = nullptr, bool inConvert = false);

} // namespace engine::exec
