#include "engine/exec/SessionImpl.h"

#include "engine/Errors.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/Translator.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/parser/Parser.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysprocs/SystemProcedures.h"
#include "engine/sysviews/SystemViews.h"
#include "engine/types/DateTimeValue.h"

#include <QFileInfo>

#include <algorithm>

namespace engine::exec {

using storage::quoteId;
using storage::Statement;

QString ResolvedTable::qualifiedPhys() const { return quoteId(schema) + QLatin1Char('.') + quoteId(table.phys()); }

QString ResolvedTable::displayName() const
{
    return database + QLatin1Char('.') + table.owner + QLatin1Char('.') + (exposedName.isEmpty() ? table.name : exposedName);
}

SessionImpl::SessionImpl(std::shared_ptr<InstanceImpl> instance, QString login, bool sysadmin, QString database)
    : instance_(std::move(instance)), login_(std::move(login)), sysadmin_(sysadmin), database_(std::move(database))
{
    int rc = sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db_);
        throw Errors::internal(QStringLiteral("cannot open a connection"));
    }
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 125);
    // a committed change writes its table's pages and its row count's page: checkpoint (and
    // sync) after as many commits as with the one page alone
    sqlite3_wal_autocheckpoint(db_, 2000);
    // SQLite's join Bloom filters hash texts bytewise: keys that only our collations call equal
    // ('a' and 'A  ', '5' and '5.00') would be dropped from joins. Turn the filters off.
    constexpr int bloomFilter = 0x00080000, bloomPulldown = 0x00100000;
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db_, bloomFilter | bloomPulldown);
    hooks_.nextIdentity = [this](int slot) {
        IdentitySlot& s = identitySlots.at(size_t(slot));
        const catalog::Column* c = s.table.identityColumn();
        std::optional<long long> v = instance_->nextIdentity(s.database, s.table.id, c->seed, c->increment, s.range);
        if (!v && c->type.hasPrecision() && c->type.precision >= 19)
            throw Errors::notSupported(QStringLiteral("identity values of decimal or numeric beyond bigint's range"));
        if (!v) throw Errors::identityOverflow(QString::fromLatin1(c->type.info().name));
        s.lastValue = v;
        return *v;
    };
    hooks_.seenIdentity = [this](int slot, long long v) {
        IdentitySlot& s = identitySlots.at(size_t(slot));
        const catalog::Column* c = s.table.identityColumn();
        instance_->seenIdentity(s.database, s.table.id, v, c->increment);
        s.lastValue = v;
    };
    hooks_.nextTimestamp = [this] { return instance_->nextTimestamp(); };
    functions::registerAll(db_, &hooks_);
    sqlite3_set_authorizer(db_, &SessionImpl::authorize, this);
    spid_ = instance_->registerSession();
    instance_->setSessionLogin(spid_, login_);
    try {
        schemaFor(QStringLiteral("master"));
        useDatabase(database_);
    } catch (...) {
        instance_->unregisterSession(spid_);
        sqlite3_close(db_);
        throw;
    }
}

SessionImpl::~SessionImpl()
{
    if (tranCount_ > 0 || !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    releaseLocks();
    std::vector<QString> temps = std::move(tempTables_);
    dropTables(temps);
    sqlite3_close_v2(db_);
    instance_->unregisterSession(spid_);
}

Instance& SessionImpl::instance() { return *instance_; }

void SessionImpl::dropTempTables(size_t mark)
{
    if (mark >= tempTables_.size()) return;
    std::vector<QString> local;
    for (size_t i = mark; i < tempTables_.size(); ++i)
        if (!tempTables_[i].startsWith(QLatin1String("##"))) local.push_back(tempTables_[i]);
    // what cannot be dropped now (tempdb locked, a cursor reading it) goes when the session ends
    if (!dropTables(local)) return;
    std::erase_if(tempTables_, [&](const QString& n) { return std::find(local.begin(), local.end(), n) != local.end(); });
}

bool SessionImpl::dropTables(const std::vector<QString>& tempNames)
{
    if (tempNames.empty()) return true;
    const bool autocommit = sqlite3_get_autocommit(db_);
    bool dropped = false;
    try {
        if (auto temp = instance_->database(QStringLiteral("tempdb"))) lockDatabase(temp->name, QFileInfo(temp->file).absoluteFilePath(), true);
        catalog::Catalog cat = catalogFor(QStringLiteral("tempdb"));
        storage::exec(db_, QStringLiteral("SAVEPOINT tsql_scope"));
        try {
            for (const QString& name : tempNames) {
                auto t = cat.findTable(QStringLiteral("dbo"), name, QStringLiteral("dbo"));
                if (!t) continue;
                cat.dropTable(*t);
                instance_->forgetIdentity(cat.database(), t->id);
                if (identityInsert && identityInsert->tableId == t->id && sameName(identityInsert->database, cat.database()))
                    identityInsert.reset();
            }
            storage::exec(db_, QStringLiteral("RELEASE tsql_scope"));
            dropped = true;
        } catch (const SqlError&) {
            sqlite3_exec(db_, "ROLLBACK TO tsql_scope", nullptr, nullptr, nullptr);
            sqlite3_exec(db_, "RELEASE tsql_scope", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const SqlError&) {
        // tempdb is made anew at the next start anyway
    }
    if (autocommit) releaseLocks();
    return dropped;
}

QString SessionImpl::serverNameText() const { return instance_->serverName(); }

void SessionImpl::attach(const QString& database, const QString& schema, const QString& file)
{
    restoreCompanionModes(file);
    Statement s(db_, QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(quoteId(schema)));
    s.bind(1, file);
    try {
        s.run();
    } catch (const SqlError& e) {
        // the storage names the file with the server's folder, which logins are not shown
        const Message& m = e.message();
        if (!m.text.contains(file)) throw;
        throw SqlError(m.number, m.severity, QString(m.text).replace(file, QFileInfo(file).fileName()), m.line, m.state);
    }
    // WAL keeps every commit safe from a killed process; NORMAL skips the sync per commit
    // (not possible inside a transaction: such a file keeps the full sync until it is attached again)
    sqlite3_exec(db_, QStringLiteral("PRAGMA %1.synchronous = NORMAL").arg(quoteId(schema)).toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db_, QStringLiteral("PRAGMA %1.mmap_size = 1073741824").arg(quoteId(schema)).toUtf8().constData(), nullptr, nullptr, nullptr);
    attached_[database.toLower()] = schema;
    sysviews::ensureSystemViews(db_, schema);
}

// The database list is read through the instance's own connection, not inside this session's
// transaction (CREATE and DROP DATABASE never run inside one), so that looking a name up does
// not read master ahead of master's lock.
std::optional<QString> SessionImpl::databaseName(const QString& name)
{
    auto e = instance_->database(name);
    if (!e) return std::nullopt;
    return e->name;
}

QString SessionImpl::schemaFor(const QString& database)
{
    QString key = database.toLower();
    auto it = attached_.find(key);
    auto entry = instance_->database(database);
    if (!entry) throw Errors::databaseMissing(database);
    QString file = QFileInfo(entry->file).absoluteFilePath();
    // a module run outside a transaction writes alone from its first read: its statements share
    // one snapshot, and a shared lock there could only end in a deadlock
    const bool write = statementWrites_ || (tranCount_ == 0 && writeIntent_);
    if (locksDatabases() && lockDatabase(entry->name, file, write)) {
        // dropped while this session waited for it?
        entry = instance_->database(database);
        if (!entry || QFileInfo(entry->file).absoluteFilePath() != file) throw Errors::databaseMissing(database);
    }
    if (it != attached_.end()) {
        // still the file of that name? A database dropped and created again may have a new file
        // under the old path: the one attached is then deleted, though still open.
        const QByteArray schema = it->second.toUtf8();
        int moved = 0;
        sqlite3_file_control(db_, schema.constData(), SQLITE_FCNTL_HAS_MOVED, &moved);
        if (!moved && QFileInfo(QString::fromUtf8(sqlite3_db_filename(db_, schema.constData()))).absoluteFilePath() == file)
            return it->second;
        detachDatabase(database);
    }
    QString schema = QStringLiteral("d%1").arg(nextSchema_++);
    attach(database, schema, file);
    return schema;
}

void SessionImpl::reattachWritable()
{
    if (!sqlite3_get_autocommit(db_)) return;
    std::vector<QString> names;
    for (const auto& [name, schema] : attached_) {
        const QByteArray s = schema.toUtf8();
        if (sqlite3_db_readonly(db_, s.constData()) != 1) continue;
        if (QFileInfo(QString::fromUtf8(sqlite3_db_filename(db_, s.constData()))).permission(QFileDevice::WriteOwner)) names.push_back(name);
    }
    for (const QString& n : names) {
        try {
            detachDatabase(n);
            schemaFor(n);
        } catch (const SqlError&) {
            // in use by an open cursor, or gone: attached when next named
        }
    }
}

bool SessionImpl::locksDatabases() const { return !sqlite3_get_autocommit(db_) && (tranCount_ > 0 || writeIntent_); }

bool SessionImpl::lockDatabase(const QString& database, const QString& file, bool write)
{
    auto held = locked_.find(file);
    if (held != locked_.end() && (held->second.write || !write)) return false;
    DatabaseLocks& locks = instance_->databaseLocks();
    switch (locks.acquire(file, spid_, write, lockTimeout < 0 ? kDefaultLockWait : lockTimeout)) {
    case DatabaseLocks::Granted: break;
    case DatabaseLocks::TimedOut: {
        DatabaseLocks::Blocker b = locks.blocker(file, spid_);
        throw Errors::lockTimeout(database, b.spid, b.writing);
    }
    case DatabaseLocks::Deadlock: throw Errors::deadlockVictim(spid_);
    }
    locked_[file] = Held{database, write};
    return true;
}

void SessionImpl::releaseLocks()
{
    for (const auto& [file, held] : locked_) instance_->databaseLocks().release(file, spid_);
    locked_.clear();
}

bool SessionImpl::savepointAlive(int level) const
{
    return level > 0 && liveSavepoints_ >= level && !sqlite3_get_autocommit(db_);
}

void SessionImpl::endStatementSavepoint(int level, bool undo, bool reportFailure)
{
    if (!undo && tranCount_ > 0 && !savepoints_.empty() && savepoints_.back().level >= level) {
        // SAVE TRAN savepoints made inside the statement (a procedure's) outlive it: its own
        // savepoint stays beneath them until the transaction ends
        for (Savepoint& p : savepoints_) p.level = std::min(p.level, level - 1);
        liveSavepoints_ = level - 1;
        return;
    }
    if (undo) sqlite3_exec(db_, "ROLLBACK TO tsql_stmt", nullptr, nullptr, nullptr);
    // the outermost release commits: a file that cannot grow refuses it
    if (reportFailure) storage::exec(db_, QStringLiteral("RELEASE tsql_stmt"));
    else sqlite3_exec(db_, "RELEASE tsql_stmt", nullptr, nullptr, nullptr);
    liveSavepoints_ = level - 1;
    // SAVE TRAN savepoints made inside the statement went with it
    while (!savepoints_.empty() && savepoints_.back().level >= level) savepoints_.pop_back();
}

QString SessionImpl::otherDatabaseWritten(const QString& schema)
{
    for (const auto& [name, attachedAs] : attached_)
        if (attachedAs != schema && name != QLatin1String("tempdb") &&
            sqlite3_txn_state(db_, attachedAs.toUtf8().constData()) == SQLITE_TXN_WRITE)
            return name;
    return {};
}

int SessionImpl::authorize(void* session, int action, const char* a1, const char*, const char* a3, const char*)
{
    switch (action) {
    case SQLITE_INSERT: case SQLITE_UPDATE: case SQLITE_DELETE: case SQLITE_CREATE_TABLE: case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_VIEW: case SQLITE_CREATE_TRIGGER: case SQLITE_DROP_TABLE: case SQLITE_DROP_INDEX: case SQLITE_DROP_VIEW:
    case SQLITE_DROP_TRIGGER: case SQLITE_ALTER_TABLE: case SQLITE_REINDEX: case SQLITE_ANALYZE:
        break;
    default: return SQLITE_OK;
    }
    auto* s = static_cast<SessionImpl*>(session);
    const char* schemaName = action == SQLITE_ALTER_TABLE ? a1 : a3;
    if (!schemaName || !s->spansStatements()) return SQLITE_OK;
    QString schema = QString::fromUtf8(schemaName);
    QString database;
    for (const auto& [name, attachedAs] : s->attached_)
        if (attachedAs == schema) database = name;
    if (database.isEmpty() || database == QLatin1String("tempdb")) return SQLITE_OK; // main, temp: this session's own
    QString other = s->otherDatabaseWritten(schema);
    if (other.isEmpty()) return SQLITE_OK;
    storage::setDenied(Errors::secondDatabaseWrite(s->databaseName(other).value_or(other), s->databaseName(database).value_or(database)));
    return SQLITE_DENY;
}

void SessionImpl::pruneAttached()
{
    if (attached_.size() < 6 || !sqlite3_get_autocommit(db_)) return;
    std::vector<QString> names;
    for (const auto& [name, schema] : attached_)
        if (name != QLatin1String("master") && name != database_.toLower() && name != QLatin1String("tempdb")) names.push_back(name);
    for (const QString& n : names) {
        if (attached_.size() < 4) break;
        try {
            detachDatabase(n);
        } catch (const SqlError&) {
            break; // in use by an open cursor: keep it
        }
    }
}

void SessionImpl::detachDatabase(const QString& name)
{
    auto it = attached_.find(name.toLower());
    if (it == attached_.end()) return;
    storage::exec(db_, QStringLiteral("DETACH DATABASE %1").arg(quoteId(it->second)));
    attached_.erase(it);
}

catalog::Catalog SessionImpl::catalogFor(const QString& database)
{
    QString schema = schemaFor(database);
    return catalog::Catalog(db_, schema, databaseName(database).value_or(database));
}

sql::ObjectName SessionImpl::tempName(const sql::ObjectName& name) const
{
    if (!isTempName(name.name)) return name;
    sql::ObjectName r;
    r.database = QStringLiteral("tempdb");
    r.owner = QStringLiteral("dbo");
    r.name = name.name.startsWith(QLatin1String("##")) ? name.name : QStringLiteral("%1__%2").arg(name.name, QString::number(spid_));
    return r;
}

std::optional<ResolvedTable> SessionImpl::findTable(const sql::ObjectName& written)
{
    if (!written.server.isEmpty()) throw Errors::notSupported(QStringLiteral("linked servers (%1)").arg(written.server));
    sql::ObjectName name = tempName(written);
    QString db = name.database.isEmpty() ? database_ : name.database;
    auto dbName = databaseName(db);
    if (!dbName) throw Errors::databaseMissing(db);
    catalog::Catalog cat = catalogFor(*dbName);
    auto t = cat.findTable(name.owner, name.name, userName());
    if (!t) return std::nullopt;
    ResolvedTable r;
    r.database = *dbName;
    r.schema = cat.schema();
    r.table = std::move(*t);
    if (isTempName(written.name)) r.exposedName = written.name;
    return r;
}

ResolvedTable SessionImpl::resolveTable(const sql::ObjectName& name)
{
    auto t = findTable(name);
    if (!t) throw Errors::invalidObject(name.text());
    return std::move(*t);
}

void SessionImpl::useDatabase(const QString& name)
{
    auto real = databaseName(name);
    if (!real) throw Errors::databaseMissing(name);
    schemaFor(*real);
    database_ = *real;
    instance_->setSessionDatabase(spid_, database_);
}

Variable* SessionImpl::variable(const QString& name)
{
    auto it = variables.find(name.toLower());
    return it == variables.end() ? nullptr : &it.value();
}

void SessionImpl::addMessage(const Message& m)
{
    out_->messages.push_back(m);
    if (m.severity > 10) out_->errors.push_back(m);
}

void SessionImpl::withdrawMessages(size_t from)
{
    auto& m = out_->messages;
    m.erase(std::remove_if(m.begin() + std::ptrdiff_t(from), m.end(), [](const Message& x) { return x.severity <= 10; }), m.end());
}

void SessionImpl::addResultSet(ResultSet rs) { out_->resultSets.push_back(std::move(rs)); }

int SessionImpl::addIdentitySlot(const ResolvedTable& t)
{
    IdentitySlot s;
    s.database = t.database;
    s.schema = t.schema;
    s.table = t.table;
    const catalog::Column* c = t.table.identityColumn();
    s.range = types::integerRange(c->type);
    QString sql = QStringLiteral("SELECT %1(%2) FROM %3").arg(c->increment > 0 ? QStringLiteral("max") : QStringLiteral("min"),
                                                              quoteId(c->phys), t.qualifiedPhys());
    instance_->loadIdentity(t.database, t.table.id, c->increment, c->identCurrent, [&]() -> std::optional<long long> {
        Statement st(db_, sql);
        if (st.step() && !st.isNull(0)) return st.integer(0);
        return std::nullopt;
    });
    identitySlots.push_back(std::move(s));
    return int(identitySlots.size()) - 1;
}

void SessionImpl::noteIdentitySet(const QString& database, int tableId)
{
    countersSet_.emplace_back(database, tableId);
    if (tranCount_ > 0) truncatedTables.emplace_back(database, tableId);
}

void SessionImpl::finishIdentitySlots(bool ok)
{
    if (ok) {
        for (IdentitySlot& s : identitySlots) {
            if (!s.lastValue) continue;
            lastIdentity = s.lastValue;
            scopeIdentity = s.lastValue;
            const catalog::Column* c = s.table.identityColumn();
            catalog::Catalog cat(db_, s.schema, s.database);
            cat.setIdentCurrent(s.table.id, c->colid, instance_->identityCurrent(s.database, s.table.id));
        }
    }
    identitySlots.clear();
}

long long SessionImpl::execSql(const QString& sql, const std::vector<types::Value>& binds)
{
    Statement s(db_, sql);
    for (size_t i = 0; i < binds.size(); ++i) s.bindValue(int(i) + 1, binds[i]);
    s.run();
    return sqlite3_changes64(db_);
}

namespace {

bool leafStatement(sql::StmtKind k)
{
    switch (k) {
    case sql::StmtKind::Block:
    case sql::StmtKind::If:
    case sql::StmtKind::While:
    case sql::StmtKind::Break:
    case sql::StmtKind::Continue:
    case sql::StmtKind::Return:
    case sql::StmtKind::Transaction:
    case sql::StmtKind::CreateDatabase:
    case sql::StmtKind::Use:
    case sql::StmtKind::Declare:
    case sql::StmtKind::Print:
    case sql::StmtKind::Raiserror:
    case sql::StmtKind::SetOption:
    case sql::StmtKind::SetIdentityInsert:
        return false;
    case sql::StmtKind::DropObjects:
        return true;
    default: return true;
    }
}

// Statements that may write: the transaction they open locks the databases it uses.
bool mayWrite(const sql::Stmt& s)
{
    switch (s.kind) {
    case sql::StmtKind::Select: {
        const auto& q = as<sql::SelectStmt>(s).query;
        if (!q) return false;
        for (const sql::SelectCore& c : q->cores)
            if (c.into) return true;
        return false;
    }
    case sql::StmtKind::SetVariable: case sql::StmtKind::Declare: case sql::StmtKind::Print: case sql::StmtKind::Raiserror:
    case sql::StmtKind::SetOption: case sql::StmtKind::Use: case sql::StmtKind::Transaction: case sql::StmtKind::Block:
    case sql::StmtKind::If: case sql::StmtKind::While: case sql::StmtKind::Break: case sql::StmtKind::Continue:
    case sql::StmtKind::Return:
        return false;
    case sql::StmtKind::Exec: {
        // system procedures that only describe objects read as a SELECT does
        const auto& e = as<sql::ExecStmt>(s);
        const QString name = e.procedure.name.toLower();
        return !e.procedureVariable.isEmpty() || !e.procedure.database.isEmpty() ||
               (name != QLatin1String("sp_helpindex") && name != QLatin1String("sp_helptext"));
    }
    default: return true;
    }
}

// Statements that may write themselves; the statements of a module they run take their own locks.
bool writesItself(const sql::Stmt& s)
{
    if (s.kind == sql::StmtKind::ExecString) return false;
    if (s.kind == sql::StmtKind::Exec) {
        const auto& e = as<sql::ExecStmt>(s);
        if (!e.procedureVariable.isEmpty() || !e.procedure.database.isEmpty() || !sysprocs::find(e.procedure.name)) return false;
    }
    return mayWrite(s);
}

bool dmlStatement(sql::StmtKind k)
{
    return k == sql::StmtKind::Insert || k == sql::StmtKind::Update || k == sql::StmtKind::Delete;
}

// Statements after which @@ROWCOUNT reads 0.
bool resetsRowCount(sql::StmtKind k)
{
    switch (k) {
    case sql::StmtKind::Use: case sql::StmtKind::SetOption: case sql::StmtKind::Print: case sql::StmtKind::Raiserror:
    case sql::StmtKind::Transaction: case sql::StmtKind::CreateTable: case sql::StmtKind::DropObjects:
    case sql::StmtKind::CreateDatabase: case sql::StmtKind::AlterTable: case sql::StmtKind::CreateIndex:
    case sql::StmtKind::DropIndex: case sql::StmtKind::AlterDatabase: case sql::StmtKind::CreateDefault:
    case sql::StmtKind::CreateProcedure: case sql::StmtKind::SetIdentityInsert:
        return true;
    default: return false;
    }
}

} // namespace

void SessionImpl::runStatements(const sql::StatementList& list)
{
    for (const auto& s : list) runStatement(*s);
}

void SessionImpl::runStatement(const sql::Stmt& s)
{
    if (tranCount_ == 0) {
        pruneAttached();
        reattachWritable();
    }
    types::setDateOrder(dateFormat.constData());
    bool leaf = leafStatement(s.kind);
    bool savepoint = leaf && !(s.kind == sql::StmtKind::DropObjects && as<sql::DropObjectsStmt>(s).objectType == sql::ObjectType::Database);
    if (sqlite3_get_autocommit(db_)) writeIntent_ = mayWrite(s);
    if (savepoint) ++statementDepth_;
    struct Leave {
        SessionImpl& session;
        bool savepoint;
        bool enclosingWrites;
        ~Leave()
        {
            if (savepoint) --session.statementDepth_;
            session.statementWrites_ = enclosingWrites;
            if (sqlite3_get_autocommit(session.db_)) session.releaseLocks();
        }
    } leave{*this, savepoint, statementWrites_};
    statementWrites_ = writesItself(s);
    // RAISERROR raises any number, but never ends more than its statement
    auto scope = [&](int number) { return s.kind == sql::StmtKind::Raiserror ? Errors::Scope::Statement : Errors::scopeOf(number); };
    const size_t messagesBefore = out_->messages.size();
    try {
        int level = 0;
        if (savepoint) {
            storage::exec(db_, QStringLiteral("SAVEPOINT tsql_stmt"));
            level = ++liveSavepoints_;
        }
        try {
            dispatch(s);
            identitySlots.clear();
            if (savepointAlive(level)) {
                const bool commits = tranCount_ == 0 && statementDepth_ == 1;
                const QString written = commits ? otherDatabaseWritten(QString()) : QString();
                try {
                    endStatementSavepoint(level, false, true);
                } catch (const SqlError& e) {
                    // its commit failed: the statement did nothing, and says nothing of what it did
                    withdrawMessages(messagesBefore);
                    if (e.number() == 9002 && !written.isEmpty()) throw Errors::logFull(databaseName(written).value_or(written));
                    throw;
                }
            }
            if (statementDepth_ <= 1) countersSet_.clear();
        } catch (const SqlError& e) {
            identitySlots.clear();
            statementEndError_.reset();
            if (scope(e.number()) == Errors::Scope::Transaction && tranCount_ > 0) rollbackAll();
            else if (savepointAlive(level)) endStatementSavepoint(level, true);
            // counters set on the way go back to what the files hold
            if (sqlite3_get_autocommit(db_)) countersSet_.insert(countersSet_.end(), truncatedTables.begin(), truncatedTables.end());
            for (const auto& [database, tableId] : countersSet_) instance_->forgetIdentity(database, tableId);
            countersSet_.clear();
            if (sqlite3_get_autocommit(db_)) {
                truncatedTables.clear();
                transactionEnded();
            }
            throw;
        } catch (const BatchAbort&) {
            // a nested batch (procedure, EXEC) ended on an error already recorded: what it did stays
            identitySlots.clear();
            statementEndError_.reset();
            if (savepointAlive(level)) endStatementSavepoint(level, false);
            if (statementDepth_ <= 1) countersSet_.clear();
            throw;
        }
        if (statementEndError_) {
            SqlError e = *statementEndError_;
            statementEndError_.reset();
            throw e;
        }
        if (leaf) lastError = 0;
        if (resetsRowCount(s.kind)) rowCount_ = 0;
    } catch (const SqlError& e) {
        rowCount_ = 0;
        Message m = e.message();
        if (m.line == 0) m.line = s.line;
        lastError = m.number;
        addMessage(m);
        if (dmlStatement(s.kind) && m.severity > 10) addMessage(Errors::terminated());
        if (m.severity > 10 && scope(m.number) != Errors::Scope::Statement) throw BatchAbort{scope(m.number) == Errors::Scope::Transaction};
    }
}

BatchResult SessionImpl::execute(const QString& batch)
{
    BatchResult r;
    out_ = &r;
    variables.clear();
    scopeIdentity.reset();
    sql::StatementList stmts;
    try {
        stmts = sql::parseBatch(batch);
    } catch (const SqlError& e) {
        addMessage(e.message());
        lastError = e.number();
        out_ = nullptr;
        r.rowCount = rowCount_;
        return r;
    } catch (const std::exception& e) {
        addMessage(Errors::internal(QString::fromUtf8(e.what())).message());
        out_ = nullptr;
        return r;
    }
    try {
        runStatements(stmts);
    } catch (const BatchAbort&) {
        // the message is already recorded
    } catch (const SqlError& e) {
        addMessage(e.message());
    } catch (const ReturnSignal&) {
    } catch (const BreakSignal&) {
    } catch (const ContinueSignal&) {
    } catch (const std::exception& e) {
        addMessage(Errors::internal(QString::fromUtf8(e.what())).message());
    }
    r.rowCount = rowCount_;
    out_ = nullptr;
    return r;
}

} // namespace engine::exec
