#pragma once
#include "dmo/Connection.h"
#include "dmo/Names.h"
#include "dmo/QueryResults.h"

#include <QString>
#include <memory>

namespace dmo {

class Tables;
class Defaults;
class StoredProcedures;

// A database of the server. Statements run on the server object's one session, in this
// database.
class Database {
public:
    Database(ConnectionPtr conn, QString name) : conn_(std::move(conn)), name_(std::move(name)) {}
    QString Name() const { return name_; }
    std::shared_ptr<dmo::Tables> Tables();
    std::shared_ptr<dmo::Defaults> Defaults();
    std::shared_ptr<dmo::StoredProcedures> StoredProcedures();
    SQLObjectListPtr SystemDatatypes();
    SQLObjectListPtr UserDefinedDatatypes();
    SQLObjectListPtr FileGroups();
    QString Collation();

    // Runs the text (split at GO lines); a refused statement raises DmoError. length > 0
    // takes that many characters of the text.
    void ExecuteImmediate(const QString& text, int executionType = 0, int length = -1);
    QueryResultsPtr ExecuteWithResults(const QString& text, int length = -1);
    // Also hands back the messages the server sent, one per line.
    QueryResultsPtr ExecuteWithResultsAndMessages2(const QString& text, QString& messages,
                                                   int length = -1);

    const ConnectionPtr& connection() const { return conn_; }

private:
    ConnectionPtr conn_;
    QString name_;
    std::shared_ptr<dmo::Tables> tables_;
    std::shared_ptr<dmo::Defaults> defaults_;
    std::shared_ptr<dmo::StoredProcedures> procedures_;
};

using Database2 = Database;
using DatabasePtr = std::shared_ptr<Database>;

} // namespace dmo
