#include "engine/instance/InstanceImpl.h"

#include "engine/Errors.h"
#include "engine/catalog/Catalog.h"
#include "engine/exec/SessionImpl.h"
#include "engine/functions/Functions.h"
#include "engine/storage/Sqlite.h"
#include "engine/sysviews/SystemViews.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>

#include <sodium.h>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

using storage::quoteId;
using storage::Statement;

void createPrivateFile(const QString& file)
{
    int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) throw Errors::internal(QStringLiteral("cannot create %1").arg(QFileInfo(file).fileName()));
    ::fchmod(fd, 0600);
    ::close(fd);
}

void restoreCompanionModes(const QString& file)
{
    const QByteArray path = QFile::encodeName(file);
    struct stat db{};
    if (::stat(path.constData(), &db) != 0) return;
    // writable even beside a read-only file: the process shares one -shm mapping per file, and
    // one opened read-only would refuse writes to all its sessions after the file is writable
    for (const char* suffix : {"-wal", "-shm"}) {
        const QByteArray companion = path + suffix;
        struct stat st{};
        if (::stat(companion.constData(), &st) == 0 && !(st.st_mode & S_IWUSR)) ::chmod(companion.constData(), (db.st_mode | S_IWUSR) & 0777);
    }
}

sqlite3* openDatabaseFile(const QString& file)
{
    // SQLite gives -wal and -shm files the mode of their database file
    if (!QFileInfo::exists(file)) createPrivateFile(file);
    restoreCompanionModes(file);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        // the name alone: logins are not shown the server's folder
        throw Errors::internal(QStringLiteral("cannot open %1: %2").arg(QFileInfo(file).fileName(), msg));
    }
    sqlite3_busy_timeout(db, 5000);
    functions::registerAll(db, nullptr);
    return db;
}

InstanceImpl::InstanceImpl(QString serverName, QString dataDir) : serverName_(std::move(serverName)), dataDir_(std::move(dataDir)) {}

InstanceImpl::~InstanceImpl() { sqlite3_close(master_); }

QString InstanceImpl::masterFile() const { return QDir(dataDir_).filePath(QStringLiteral("master.db")); }

void InstanceImpl::start()
{
    if (sodium_init() < 0) throw Errors::internal(QStringLiteral("password hashing unavailable"));
    if (!QDir().mkpath(dataDir_)) throw Errors::internal(QStringLiteral("cannot create %1").arg(dataDir_));
    ::chmod(QFile::encodeName(dataDir_).constData(), 0700); // master holds the password hashes
    // one process at a time: the start below recreates tempdb, and identity counters live here
    lock_ = std::make_unique<InstanceLock>(dataDir_);
    bool fresh = !QFileInfo::exists(masterFile());
    if (fresh && !onlyFirstStartFiles()) throw Errors::masterMissing(dataDir_);
    if (fresh) createSystemDatabases();
    master_ = openDatabaseFile(masterFile());
    storage::exec(master_, QStringLiteral("PRAGMA journal_mode=WAL"));
    // tempdb starts empty at each start
    QString temp = QDir(dataDir_).filePath(QStringLiteral("tempdb.db"));
    deleteDatabaseFile(temp);
    copyModel(temp, QStringLiteral("tempdb"));
    // files made by earlier builds get their row counts (one that cannot be read fails when used)
    for (const DatabaseEntry& e : databases()) {
        if (!QFileInfo::exists(e.file)) continue;
        sqlite3* db = openDatabaseFile(e.file);
        try {
            catalog::Catalog::ensureRowCounts(db, QStringLiteral("main"));
        } catch (const SqlError&) {
        }
        sqlite3_close(db);
    }
    Statement s(master_, QStringLiteral("SELECT coalesce(max(value), 0) FROM cat_settings WHERE key = 'timestamp'"));
    if (s.step()) timestamp_ = s.integer(0);
    timestamp_ = std::max<long long>(timestamp_, QDateTime::currentMSecsSinceEpoch() * 10);
}

bool InstanceImpl::onlyFirstStartFiles() const
{
    // tempdb is made after master: with it, or with any other database, a start has finished
    const QStringList files = QDir(dataDir_).entryList({QStringLiteral("*.db")}, QDir::Files | QDir::Hidden | QDir::System);
    return std::all_of(files.begin(), files.end(), [](const QString& f) { return f == QLatin1String("model.db") || f == QLatin1String("msdb.db"); });
}

void InstanceImpl::createSystemDatabases()
{
    // model first: every other database is a copy of it
    QString modelFile = QDir(dataDir_).filePath(QStringLiteral("model.db"));
    QString msdbFile = QDir(dataDir_).filePath(QStringLiteral("msdb.db"));
    QString masterTmp = masterFile() + QStringLiteral(".new");
    // without master no creation has finished: whatever an interrupted one made goes
    for (const QString& f : {modelFile, msdbFile, masterTmp}) deleteDatabaseFile(f);
    {
        sqlite3* db = openDatabaseFile(modelFile);
        try {
            storage::exec(db, QStringLiteral("PRAGMA journal_mode=WAL"));
            storage::exec(db, QStringLiteral("BEGIN"));
            catalog::Catalog::createSchema(db, QStringLiteral("main"));
            catalog::Catalog cat(db, QStringLiteral("main"), QStringLiteral("model"));
            cat.setSetting(QStringLiteral("name"), QStringLiteral("model"));
            cat.setSetting(QStringLiteral("collation"), serverCollation());
            storage::exec(db, QStringLiteral("COMMIT"));
        } catch (...) {
            sqlite3_close(db);
            throw;
        }
        sqlite3_close(db);
    }
    copyModel(msdbFile, QStringLiteral("msdb"));
    copyModel(masterTmp, QStringLiteral("master"));
    sqlite3* db = openDatabaseFile(masterTmp);
    try {
        storage::exec(db, QStringLiteral("BEGIN"));
        // master's own views over the database list
        storage::exec(db, QStringLiteral("CREATE TABLE cat_databases (dbid INTEGER PRIMARY KEY, name TEXT NOT NULL, filename TEXT NOT NULL, "
                                         "crdate TEXT NOT NULL, collation TEXT, status INTEGER NOT NULL DEFAULT 0)"));
        storage::exec(db, QStringLiteral("CREATE TABLE cat_logins (name TEXT PRIMARY KEY, password_hash TEXT, sysadmin INTEGER NOT NULL, "
                                         "default_db TEXT NOT NULL, createdate TEXT NOT NULL)"));
        sysviews::createSystemViews(db, QStringLiteral("main"));
        QString now = catalog::nowText();
        int dbid = 1;
        for (const char* n : {"master", "tempdb", "model", "msdb"}) {
            Statement s(db, QStringLiteral("INSERT INTO cat_databases (dbid, name, filename, crdate, collation) VALUES (?1, ?2, ?3, ?4, ?5)"));
            s.bind(1, dbid++).bind(2, QLatin1String(n)).bind(3, QLatin1String(n) + QStringLiteral(".db")).bind(4, now).bind(5, serverCollation());
            s.run();
        }
        storage::exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    // master appears last, complete: its presence marks a created instance
    deleteDatabaseFile(masterFile());
    if (!QFile::rename(masterTmp, masterFile())) throw Errors::internal(QStringLiteral("cannot create master"));
}

void InstanceImpl::copyModel(const QString& file, const QString& name)
{
    QString modelFile = QDir(dataDir_).filePath(QStringLiteral("model.db"));
    sqlite3* src = openDatabaseFile(modelFile);
    try {
        createPrivateFile(file); // VACUUM INTO fills an empty file and keeps its mode
        Statement v(src, QStringLiteral("VACUUM INTO ?1"));
        v.bind(1, file);
        v.run();
    } catch (...) {
        sqlite3_close(src);
        throw;
    }
    sqlite3_close(src);
    sqlite3* db = openDatabaseFile(file);
    try {
        storage::exec(db, QStringLiteral("PRAGMA journal_mode=WAL"));
        catalog::Catalog cat(db, QStringLiteral("main"), name);
        cat.setSetting(QStringLiteral("name"), name);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

void InstanceImpl::deleteDatabaseFile(const QString& file)
{
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(file + suffix);
}

QString InstanceImpl::newDatabaseFile(const QString& name) const
{
    QString base = name;
    base.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
    base = base.left(40);
    QDir dir(dataDir_);
    for (int n = 0;; ++n) {
        QString f = n ? QStringLiteral("%1_%2.db").arg(base, QString::number(n)) : base + QStringLiteral(".db");
        if (!QFileInfo::exists(dir.filePath(f))) return f;
    }
}

std::optional<DatabaseEntry> InstanceImpl::database(const QString& name) const
{
    QMutexLocker lock(&mutex_);
    Statement s(master_, QStringLiteral("SELECT dbid, name, filename, crdate, collation FROM cat_databases WHERE name = ?1 COLLATE TSQL_CI"));
    s.bind(1, name);
    if (!s.step()) return std::nullopt;
    DatabaseEntry e;
    e.dbid = int(s.integer(0));
    e.name = s.text(1);
    e.file = QDir(dataDir_).filePath(s.text(2));
    e.crdate = s.text(3);
    e.collation = s.text(4);
    return e;
}

std::vector<DatabaseEntry> InstanceImpl::databases() const
{
    QMutexLocker lock(&mutex_);
    Statement s(master_, QStringLiteral("SELECT dbid, name, filename, crdate, collation FROM cat_databases ORDER BY dbid"));
    std::vector<DatabaseEntry> r;
    while (s.step()) {
        DatabaseEntry e;
        e.dbid = int(s.integer(0));
        e.name = s.text(1);
        e.file = QDir(dataDir_).filePath(s.text(2));
        e.crdate = s.text(3);
        e.collation = s.text(4);
        r.push_back(e);
    }
    return r;
}

DatabaseEntry InstanceImpl::createDatabase(sqlite3* db, const QString& masterSchema, const QString& name, const QString& collation)
{
    QString fileName = newDatabaseFile(name);
    QString path = QDir(dataDir_).filePath(fileName);
    try {
        try {
            copyModel(path, name);
        } catch (const SqlError& e) {
            if (e.number() == 9002) throw Errors::noSpace(name); // the new file could not grow
            throw;
        }
        DatabaseEntry e;
        Statement id(db, QStringLiteral("SELECT coalesce(max(dbid), 4) + 1 FROM %1.cat_databases").arg(quoteId(masterSchema)));
        id.step();
        e.dbid = int(id.integer(0));
        e.name = name;
        e.file = path;
        e.crdate = catalog::nowText();
        e.collation = collation.isEmpty() ? serverCollation() : collation;
        Statement s(db, QStringLiteral("INSERT INTO %1.cat_databases (dbid, name, filename, crdate, collation) VALUES (?1,?2,?3,?4,?5)")
                            .arg(quoteId(masterSchema)));
        try {
            s.bind(1, e.dbid).bind(2, name).bind(3, fileName).bind(4, e.crdate).bind(5, e.collation).run();
        } catch (const SqlError& x) {
            // the full disk that ends the write to master leaves it unnamed
            if (x.number() == 9002) throw Errors::logFull(QStringLiteral("master"));
            throw;
        }
        return e;
    } catch (...) {
        deleteDatabaseFile(path);
        throw;
    }
}

void InstanceImpl::dropDatabase(sqlite3* db, const QString& masterSchema, const DatabaseEntry& e)
{
    Statement s(db, QStringLiteral("DELETE FROM %1.cat_databases WHERE dbid = ?1").arg(quoteId(masterSchema)));
    try {
        s.bind(1, e.dbid).run();
    } catch (const SqlError& x) {
        // its commit failed, ending the write that names master
        if (x.number() == 9002) throw Errors::logFull(QStringLiteral("master"));
        throw;
    }
}

QString InstanceImpl::integratedLogin() const
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty()) user = QStringLiteral("user");
    return user;
}

void InstanceImpl::addLogin(sqlite3* db, const QString& masterSchema, const QString& name, const QString& password, const QString& defaultDb)
{
    char hash[crypto_pwhash_STRBYTES];
    QByteArray pw = password.toUtf8();
    if (crypto_pwhash_str(hash, pw.constData(), static_cast<unsigned long long>(pw.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw Errors::internal(QStringLiteral("password hashing failed"));
    sodium_memzero(pw.data(), size_t(pw.size()));
    Statement s(db, QStringLiteral("INSERT INTO %1.cat_logins (name, password_hash, sysadmin, default_db, createdate) VALUES (?1, ?2, 0, ?3, ?4)")
                        .arg(quoteId(masterSchema)));
    s.bind(1, name).bind(2, QString::fromLatin1(hash)).bind(3, defaultDb.isEmpty() ? QStringLiteral("master") : defaultDb)
        .bind(4, catalog::nowText()).run();
}

std::unique_ptr<Session> InstanceImpl::connectIntegrated()
{
    return std::make_unique<exec::SessionImpl>(shared_from_this(), integratedLogin(), true, QStringLiteral("master"));
}

std::unique_ptr<Session> InstanceImpl::connect(const QString& login, const QString& password)
{
    QString hash, defaultDb;
    bool sysadmin = false;
    {
        QMutexLocker lock(&mutex_);
        Statement s(master_, QStringLiteral("SELECT password_hash, default_db, sysadmin FROM cat_logins WHERE name = ?1 COLLATE TSQL_CI"));
        s.bind(1, login);
        if (!s.step()) throw Errors::loginFailed(login);
        hash = s.text(0);
        defaultDb = s.text(1);
        sysadmin = s.integer(2) != 0;
    }
    QByteArray h = hash.toLatin1(), pw = password.toUtf8();
    if (h.isEmpty() || crypto_pwhash_str_verify(h.constData(), pw.constData(), static_cast<unsigned long long>(pw.size())) != 0)
        throw Errors::loginFailed(login);
    if (!database(defaultDb)) defaultDb = QStringLiteral("master");
    return std::make_unique<exec::SessionImpl>(shared_from_this(), login, sysadmin, defaultDb);
}

int InstanceImpl::registerSession()
{
    QMutexLocker lock(&mutex_);
    int spid = nextSpid_++;
    sessionDb_[spid] = QStringLiteral("master");
    return spid;
}

void InstanceImpl::unregisterSession(int spid)
{
    QMutexLocker lock(&mutex_);
    sessionDb_.erase(spid);
    sessionLogin_.erase(spid);
}

void InstanceImpl::setSessionLogin(int spid, const QString& login)
{
    QMutexLocker lock(&mutex_);
    sessionLogin_[spid] = login;
}

std::vector<InstanceImpl::SessionEntry> InstanceImpl::sessions() const
{
    QMutexLocker lock(&mutex_);
    std::vector<SessionEntry> r;
    for (const auto& [spid, db] : sessionDb_) {
        auto it = sessionLogin_.find(spid);
        r.push_back({spid, it == sessionLogin_.end() ? QString() : it->second, db});
    }
    return r;
}

void InstanceImpl::setSessionDatabase(int spid, const QString& database)
{
    QMutexLocker lock(&mutex_);
    sessionDb_[spid] = database;
}

bool InstanceImpl::databaseInUseByOthers(int spid, const QString& database) const
{
    QMutexLocker lock(&mutex_);
    for (const auto& [id, db] : sessionDb_)
        if (id != spid && db.compare(database, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void InstanceImpl::loadIdentity(const QString& database, int tableId, long long increment, std::optional<long long> catalogCurrent,
                                const std::function<std::optional<long long>()>& maxInTable)
{
    {
        QMutexLocker lock(&mutex_);
        if (identity_[{database.toLower(), tableId}].loaded) return;
    }
    auto m = maxInTable(); // rows copied in with IDENTITY_INSERT or left by a crash
    QMutexLocker lock(&mutex_);
    IdentState& st = identity_[{database.toLower(), tableId}];
    if (st.loaded) return;
    st.loaded = true;
    st.current = catalogCurrent;
    if (m && (!st.current || (increment > 0 ? *m > *st.current : *m < *st.current))) st.current = m;
}

std::optional<long long> InstanceImpl::nextIdentity(const QString& database, int tableId, long long seed, long long increment,
                                                   const types::IntegerRange& range)
{
    QMutexLocker lock(&mutex_);
    IdentState& st = identity_[{database.toLower(), tableId}];
    std::optional<long long> v = st.current ? types::nextInRange(*st.current, increment, range)
                                            : range.contains(seed) ? std::optional<long long>(seed) : std::nullopt;
    if (v) st.current = v;
    return v;
}

void InstanceImpl::seenIdentity(const QString& database, int tableId, long long value, long long increment)
{
    QMutexLocker lock(&mutex_);
    IdentState& st = identity_[{database.toLower(), tableId}];
    if (!st.loaded) return; // loaded later from the table itself
    if (!st.current || (increment > 0 ? value > *st.current : value < *st.current)) st.current = value;
}

std::optional<long long> InstanceImpl::identityCurrent(const QString& database, int tableId) const
{
    QMutexLocker lock(&mutex_);
    auto it = identity_.find({database.toLower(), tableId});
    if (it == identity_.end() || !it->second.loaded) return std::nullopt;
    return it->second.current;
}

void InstanceImpl::setIdentity(const QString& database, int tableId, std::optional<long long> current)
{
    QMutexLocker lock(&mutex_);
    IdentState& st = identity_[{database.toLower(), tableId}];
    st.loaded = true;
    st.current = current;
}

void InstanceImpl::forgetIdentity(const QString& database, int tableId)
{
    QMutexLocker lock(&mutex_);
    identity_.erase({database.toLower(), tableId});
}

void InstanceImpl::forgetDatabase(const QString& database)
{
    QMutexLocker lock(&mutex_);
    const QString key = database.toLower();
    std::erase_if(identity_, [&](const auto& e) { return e.first.first == key; });
}

long long InstanceImpl::nextTimestamp()
{
    QMutexLocker lock(&mutex_);
    return ++timestamp_;
}

} // namespace engine
