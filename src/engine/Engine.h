#pragma once
// Public interface of the embedded server: instances, sessions, batches and their results.
// Everything above the engine (dmo, ado) talks to it only through this header.

#include <QString>
#include <QVariant>

#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

// A numbered server message: an error (severity above 10) or an informational one.
struct Message {
    int number = 0;
    int severity = 0;
    int state = 1;
    int line = 0;
    QString text;
};

// The one exception type of the engine; carries a server message.
class SqlError : public std::exception {
public:
    SqlError(int number, int severity, QString text, int line = 0, int state = 1);
    const Message& message() const { return msg_; }
    int number() const { return msg_.number; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    Message msg_;
    std::string what_;
};

// One column of a result set, with its T-SQL type.
struct ColumnInfo {
    QString name;
    QString typeName; // lower-case T-SQL type name: "int", "varchar", "image", ...
    int length = 0;   // as stored, in bytes
    int precision = 0;
    int scale = 0;
    bool nullable = true;
};

// A row's values; a null QVariant is SQL NULL. Integers and bit are qlonglong, float and
// real are double, character data QString, binary data QByteArray, datetime QDateTime;
// decimal, numeric, money and smallmoney are QString holding the exact value.
using Row = std::vector<QVariant>;

// Text of a value as a client shows it (empty text for NULL; callers test isNull()).
QString valueText(const QVariant& value, const ColumnInfo& column);

struct ResultSet {
    std::vector<ColumnInfo> columns;
    std::vector<Row> rows;
    QString text(size_t row, size_t col) const { return valueText(rows[row][col], columns[col]); }
};

// Everything one batch produced, in order of production.
struct BatchResult {
    std::vector<ResultSet> resultSets;  // none for a batch without SELECT
    std::vector<Message> messages;      // PRINT, RAISERROR below 11, informational, and errors, in order
    std::vector<Message> errors;        // the errors (severity above 10) alone
    long long rowCount = -1;            // @@ROWCOUNT after the last statement
    bool failed() const { return !errors.empty(); }
};

// Rows of one SELECT fetched on demand, for large tables.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    virtual bool fetch(Row& row) = 0; // false when no row is left
    // Passes over up to n rows without reading their values; returns how many it passed.
    virtual long long skip(long long n) = 0;
    // How many rows the whole SELECT gives, counted without reading them. Throws SqlError.
    virtual long long count() = 0;
};

class Instance;

// One connection: login, current database, transaction count, identity-insert table, variables.
class Session {
public:
    virtual ~Session() = default;
    // Runs one batch (the caller splits scripts at GO lines). Never throws for T-SQL errors.
    virtual BatchResult execute(const QString& batch) = 0;
    // Opens one SELECT whose rows are fetched as needed. Throws SqlError.
    virtual std::unique_ptr<Cursor> openQuery(const QString& select) = 0;
    virtual QString currentDatabase() const = 0;
    virtual QString loginName() const = 0;
    virtual int spid() const = 0;
    virtual int tranCount() const = 0;
    virtual Instance& instance() = 0;
};

// A server instance: a name and a data directory holding one SQLite file per database.
class Instance {
public:
    virtual ~Instance() = default;
    // Opens the instance kept in dataDir, creating it with its system databases when missing.
    static std::shared_ptr<Instance> open(const QString& serverName, const QString& dataDir);
    // The instance a client names: "(LOCAL)", ".", "localhost" and this machine's name are the
    // default instance, "MACHINE\NAME" a named one; another machine is error 17. Instances are
    // shared within the process and kept under dataRoot().
    static std::shared_ptr<Instance> forServer(const QString& serverName);
    static void setDataRoot(const QString& root); // tests point this at a temporary directory
    static QString dataRoot();

    // Integrated login: the operating-system user.
    virtual std::unique_ptr<Session> connectIntegrated() = 0;
    // SQL Server login; a wrong login or password throws SqlError 18456.
    virtual std::unique_ptr<Session> connect(const QString& login, const QString& password) = 0;
    virtual QString serverName() const = 0;
    virtual QString dataDir() const = 0;
};

} // namespace engine
