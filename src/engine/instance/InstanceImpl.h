#pragma once
// A server instance on its data directory: system databases, the database list, logins, and
// state shared by its sessions (identity counters, which session uses which database).

#include "engine/Engine.h"
#include "engine/instance/InstanceLock.h"
#include "engine/instance/DatabaseLocks.h"
#include "engine/types/IntegerRange.h"

#include <QMutex>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <set>

struct sqlite3;

namespace engine {

struct DatabaseEntry {
    int dbid = 0;
    QString name;
    QString file;      // absolute path of the SQLite file
    QString crdate;
    QString collation;
};

class InstanceImpl : public Instance, public std::enable_shared_from_this<InstanceImpl> {
public:
    InstanceImpl(QString serverName, QString dataDir);
    ~InstanceImpl() override;

    // Creates or opens the data directory; throws SqlError.
    void start();

    std::unique_ptr<Session> connectIntegrated() override;
    std::unique_ptr<Session> connect(const QString& login, const QString& password) override;
    QString serverName() const override { return serverName_; }
    QString dataDir() const override { return dataDir_; }

    // Databases (read from master on each call; master is the truth).
    std::optional<DatabaseEntry> database(const QString& name) const;
    std::vector<DatabaseEntry> databases() const;
    // Creates the file as a copy of model and records it in master through `db` (the caller's
    // connection, so that the record follows its transaction).
    DatabaseEntry createDatabase(sqlite3* db, const QString& masterSchema, const QString& name, const QString& collation);
    // Removes the record through `db`; the file is deleted once that is committed.
    void dropDatabase(sqlite3* db, const QString& masterSchema, const DatabaseEntry& e);
    void deleteDatabaseFile(const QString& file);
    QString newDatabaseFile(const QString& name) const;

    // Logins
    void addLogin(sqlite3* db, const QString& masterSchema, const QString& name, const QString& password, const QString& defaultDb);
    QString integratedLogin() const;

    // Sessions
    int registerSession();
    void unregisterSession(int spid);
    void setSessionDatabase(int spid, const QString& database);
    bool databaseInUseByOthers(int spid, const QString& database) const;
    void setSessionLogin(int spid, const QString& login);
    struct SessionEntry {
        int spid;
        QString login;
        QString database;
    };
    std::vector<SessionEntry> sessions() const;

    // Identity values, shared by the sessions and not rolled back. Key: database + table id.
    // Loads the counter once from the catalog value and the largest value in the table.
    void loadIdentity(const QString& database, int tableId, long long increment, std::optional<long long> catalogCurrent,
                      const std::function<std::optional<long long>()>& maxInTable);
    // The next value, nullopt (and the counter left alone) when it would leave `range`.
    std::optional<long long> nextIdentity(const QString& database, int tableId, long long seed, long long increment,
                                          const types::IntegerRange& range);
    void seenIdentity(const QString& database, int tableId, long long value, long long increment);
    std::optional<long long> identityCurrent(const QString& database, int tableId) const;
    void forgetIdentity(const QString& database, int tableId);
    // Forgets every counter of a database that was dropped.
    void forgetDatabase(const QString& database);
    // Sets the counter (DBCC CHECKIDENT); nullopt: no value handed out yet.
    void setIdentity(const QString& database, int tableId, std::optional<long long> current);
    long long nextTimestamp();

    // Many readers or one writer per database file at a time (see DatabaseLocks).
    DatabaseLocks& databaseLocks() { return databaseLocks_; }

    QString serverCollation() const { return QStringLiteral("SQL_Latin1_General_CP1_CI_AS"); }
    QString masterFile() const;

private:
    // True when the folder holds no database but those an unfinished first start makes.
    bool onlyFirstStartFiles() const;
    void createSystemDatabases();
    void copyModel(const QString& file, const QString& name);

    QString serverName_;
    QString dataDir_;
    mutable QMutex mutex_;
    int nextSpid_ = 51;
    std::map<int, QString> sessionDb_;
    std::map<int, QString> sessionLogin_;
    struct IdentState {
        bool loaded = false;
        std::optional<long long> current;
    };
    std::map<std::pair<QString, int>, IdentState> identity_;
    long long timestamp_ = 0;
    DatabaseLocks databaseLocks_;
    std::unique_ptr<InstanceLock> lock_; // this process's hold on the data folder
    sqlite3* master_ = nullptr; // a private connection for instance-level reads
};

// Opens a SQLite file with the engine's settings (WAL, busy timeout, functions); a file it
// creates is readable by the user alone, and so are its -wal and -shm files after it.
sqlite3* openDatabaseFile(const QString& file);
// SQLite makes -wal and -shm files with the mode their database file has then: made while it
// was read-only they would keep it read-only. They get its mode back, writable by the owner.
void restoreCompanionModes(const QString& file);
// Creates an empty file readable and writable by the user alone (whatever the umask).
void createPrivateFile(const QString& file);

} // namespace engine
