#include "dmo/Columns.h"

#include "dmo/DRIDefault.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

#include <QHash>

namespace dmo {

namespace {

std::shared_ptr<Table> lockTable(const std::weak_ptr<Table>& weak) {
    auto table = weak.lock();
    if (!table)
        throw DmoError(Errors::NotAttached, QStringLiteral("The column collection has no table."));
    return table;
}

int intValue(const QVariant& v) { return v.isNull() ? 0 : v.toInt(); }

// Runs an optional catalog query: a server that cannot answer it leaves the facts as they are.
engine::ResultSet optionalQuery(Table& table, const QString& text) {
    try {
        return table.connection()->query(table.database(), text);
    } catch (const DmoError&) {
        return {};
    }
}

// User type names by xusertype.
QHash<int, QString> readUserTypeNames(Table& table) {
    engine::ResultSet rs = optionalQuery(
        table, QStringLiteral("SELECT name, xusertype FROM systypes WHERE xusertype > 256"));
    QHash<int, QString> names;
    for (size_t r = 0; r < rs.rows.size(); ++r)
        names.insert(intValue(rs.rows[r][1]), rs.text(r, 0));
    return names;
}

} // namespace

bool Columns::fromServer() const {
    auto table = table_.lock();
    return table && table->attached();
}

std::vector<ColumnPtr> Columns::load() {
    auto table = lockTable(table_);
    const QString objectName = sql::quoteNString(table->qualifiedName());
    engine::ResultSet rs = table->connection()->query(
        table->database(),
        QStringLiteral("SELECT name, colid, xtype, xusertype, length, prec, scale, isnullable, "
                       "collation FROM syscolumns WHERE id = OBJECT_ID(%1) ORDER BY colid")
            .arg(objectName));
    QHash<int, QString> userTypes;
    std::vector<Column::Facts> facts;
    QHash<QString, size_t> byName;
    for (size_t r = 0; r < rs.rows.size(); ++r) {
        const engine::Row& row = rs.rows[r];
        Column::Facts f;
        f.name = rs.text(r, 0);
        f.id = intValue(row[1]);
        const int xusertype = intValue(row[3]);
        const QString base = sql::typeNameOfXtype(intValue(row[2]));
        if (xusertype > 256) {
            if (userTypes.isEmpty())
                userTypes = readUserTypeNames(*table);
            f.datatype = userTypes.value(xusertype, base);
        } else {
            f.datatype = sql::typeNameOfXtype(xusertype);
        }
        f.length = intValue(row[4]);
        if (sql::isUnicodeType(base) && sql::typeHasLength(base))
            f.length /= 2; // characters, not bytes
        f.precision = intValue(row[5]);
        f.scale = intValue(row[6]);
        f.allowNulls = intValue(row[7]) == 1;
        f.collation = rs.text(r, 8);
        byName.insert(f.name.toLower(), facts.size());
        facts.push_back(f);
    }

    // Identity, row-guid, computed text and defaults.
    engine::ResultSet more = optionalQuery(
        *table, QStringLiteral("SELECT name, isidentity, ident_seed, ident_incr, isrowguidcol, "
                               "computed_text, default_name, default_text, bound_default "
                               "FROM syscolumns WHERE id = OBJECT_ID(%1)")
                    .arg(objectName));
    for (size_t r = 0; r < more.rows.size(); ++r) {
        auto it = byName.find(more.text(r, 0).toLower());
        if (it == byName.end())
            continue;
        const engine::Row& row = more.rows[r];
        Column::Facts& f = facts[*it];
        f.identity = intValue(row[1]) == 1;
        f.seed = row[2].toLongLong();
        f.increment = row[3].toLongLong();
        f.rowGuid = intValue(row[4]) == 1;
        f.computedText = more.text(r, 5);
        f.computed = !f.computedText.isEmpty();
        f.driName = more.text(r, 6);
        f.driText = more.text(r, 7);
        f.defaultName = more.text(r, 8);
    }

    std::vector<ColumnPtr> items;
    for (const Column::Facts& f : facts) {
        auto column = std::make_shared<Column>();
        column->load(f);
        column->setTable(table, true);
        items.push_back(column);
    }
    return items;
}

void Columns::Add(const ColumnPtr& column) {
    if (column->attached())
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The column '%1' already belongs to a table.").arg(column->Name()));
    auto table = lockTable(table_);
    if (table->attached()) {
        ensure();
        table->execute(QStringLiteral("ALTER TABLE %1 ADD %2")
                           .arg(table->qualifiedName(), column->definition()));
        column->setTable(table, true);
        const QString after = column->afterCreateScript();
        if (!after.isEmpty())
            table->execute(after);
        column->reloadDefaultConstraint();
    } else {
        column->setTable(table, false);
    }
    items_.push_back(column);
}

void Columns::Remove(int index) {
    ColumnPtr column = Item(index);
    auto table = lockTable(table_);
    if (table->attached()) {
        QString script;
        if (!column->DRIDefault()->Name().isEmpty())
            script += QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2\n")
                          .arg(table->qualifiedName(), sql::quoteName(column->DRIDefault()->Name()));
        if (!column->Default().isEmpty())
            script += QStringLiteral("EXEC sp_unbindefault %1\n")
                          .arg(sql::quoteNString(column->columnPath()));
        script += QStringLiteral("ALTER TABLE %1 DROP COLUMN %2")
                      .arg(table->qualifiedName(), sql::quoteName(column->Name()));
        table->execute(script);
        table->indexesChanged();
    }
    std::erase(items_, column);
}

void Columns::Remove(const QString& name) {
    const int index = indexOf(name);
    if (index == 0)
        throw DmoError(Errors::NotFound,
                       QStringLiteral("The column '%1' was not found in the collection.").arg(name));
    Remove(index);
}

} // namespace dmo
