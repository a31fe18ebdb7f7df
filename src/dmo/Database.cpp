#include "dmo/Database.h"

#include "dmo/Defaults.h"
#include "dmo/Sql.h"
#include "dmo/StoredProcedures.h"
#include "dmo/Tables.h"

#include <QHash>

namespace dmo {

std::shared_ptr<Tables> Database::Tables() {
    if (!tables_)
        tables_ = std::make_shared<dmo::Tables>(conn_, name_);
    return tables_;
}

std::shared_ptr<Defaults> Database::Defaults() {
    if (!defaults_)
        defaults_ = std::make_shared<dmo::Defaults>(conn_, name_);
    return defaults_;
}

std::shared_ptr<StoredProcedures> Database::StoredProcedures() {
    if (!procedures_)
        procedures_ = std::make_shared<dmo::StoredProcedures>(conn_, name_);
    return procedures_;
}

SQLObjectListPtr Database::SystemDatatypes() {
    auto list = std::make_shared<SQLObjectList>();
    for (const QString& name : sql::systemTypeNames())
        list->append(ListMember(name));
    return list;
}

SQLObjectListPtr Database::UserDefinedDatatypes() {
    engine::ResultSet rs = conn_->query(
        name_, QStringLiteral("SELECT name, xtype, xusertype FROM systypes ORDER BY name"));
    QHash<int, QString> names;
    for (size_t r = 0; r < rs.rows.size(); ++r)
        names.insert(rs.rows[r][2].toInt(), rs.text(r, 0));
    auto list = std::make_shared<SQLObjectList>();
    for (size_t r = 0; r < rs.rows.size(); ++r)
        if (rs.rows[r][2].toInt() > 256) // user types; the base type is the system type of xtype
            list->append(ListMember(rs.text(r, 0), names.value(rs.rows[r][1].toInt())));
    return list;
}

SQLObjectListPtr Database::FileGroups() {
    auto list = std::make_shared<SQLObjectList>();
    engine::ResultSet rs;
    try {
        rs = conn_->query(name_,
                          QStringLiteral("SELECT groupname FROM sysfilegroups ORDER BY groupid"));
    } catch (const DmoError& e) {
        if (e.Number() == Errors::NotConnected)
            throw;
        list->append(ListMember(QStringLiteral("PRIMARY"))); // every database has it
        return list;
    }
    for (size_t r = 0; r < rs.rows.size(); ++r)
        list->append(ListMember(rs.text(r, 0)));
    return list;
}

QString Database::Collation() {
    try {
        engine::ResultSet rs =
            conn_->query({}, QStringLiteral("SELECT DATABASEPROPERTYEX(%1, 'Collation')")
                                 .arg(sql::quoteNString(name_)));
        return rs.rows.empty() ? QString() : rs.text(0, 0);
    } catch (const DmoError& e) {
        if (e.Number() == Errors::NotConnected)
            throw;
        return QStringLiteral("SQL_Latin1_General_CP1_CI_AS"); // the server's default
    }
}

namespace {
QString cut(const QString& text, int length) { return length > 0 ? text.left(length) : text; }
} // namespace

void Database::ExecuteImmediate(const QString& text, int executionType, int length) {
    (void)executionType;
    conn_->execute(name_, cut(text, length));
}

QueryResultsPtr Database::ExecuteWithResults(const QString& text, int length) {
    engine::BatchResult r = conn_->execute(name_, cut(text, length));
    return std::make_shared<QueryResults>(std::move(r.resultSets));
}

QueryResultsPtr Database::ExecuteWithResultsAndMessages2(const QString& text, QString& messages,
                                                         int length) {
    engine::BatchResult r = conn_->execute(name_, cut(text, length));
    QStringList lines;
    for (const engine::Message& m : r.messages)
        lines << m.text;
    messages = lines.join(QLatin1Char('\n'));
    return std::make_shared<QueryResults>(std::move(r.resultSets));
}

} // namespace dmo
