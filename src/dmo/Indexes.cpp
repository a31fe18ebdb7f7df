#include "dmo/Indexes.h"

#include "dmo/Sql.h"
#include "dmo/Table.h"

#include <QHash>

namespace dmo {

namespace {

// Type bits from an index description of sp_helpindex.
int typeFromDescription(const QString& description) {
    const QString d = description.toLower();
    int type = 0;
    if (!d.contains(QLatin1String("nonclustered")) && d.contains(QLatin1String("clustered")))
        type |= SQLDMOIndex_Clustered;
    if (d.contains(QLatin1String("ignore duplicate keys")))
        type |= SQLDMOIndex_IgnoreDupKey;
    if (d.contains(QLatin1String("unique")))
        type |= SQLDMOIndex_Unique;
    if (d.contains(QLatin1String("hypothetical")))
        type |= SQLDMOIndex_Hypothetical;
    if (d.contains(QLatin1String("primary key")))
        type |= SQLDMOIndex_DRIPrimaryKey;
    if (d.contains(QLatin1String("unique key")))
        type |= SQLDMOIndex_DRIUniqueKey;
    if (d.contains(QLatin1String("stats no recompute")))
        type |= SQLDMOIndex_NoRecompute;
    return type;
}

} // namespace

bool Indexes::fromServer() const {
    auto table = table_.lock();
    return table && table->attached();
}

std::vector<IndexPtr> Indexes::load() {
    auto table = table_.lock();
    const QString objectName = sql::quoteNString(table->qualifiedName());
    engine::ResultSet rs = table->connection()->query(
        table->database(), QStringLiteral("EXEC sp_helpindex %1").arg(objectName));
    std::vector<Index::Facts> facts;
    for (size_t r = 0; r < rs.rows.size(); ++r) {
        Index::Facts f;
        f.name = rs.text(r, 0);
        const QString description = rs.text(r, 1);
        f.type = typeFromDescription(description);
        const int at = description.indexOf(QLatin1String(" located on "));
        if (at >= 0)
            f.fileGroup = description.mid(at + 12).trimmed();
        for (QString key : rs.text(r, 2).split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
            const bool desc = key.endsWith(QLatin1String("(-)"));
            if (desc)
                key.chop(3);
            f.columns << key;
            f.descending << desc;
        }
        facts.push_back(f);
    }
    // Identifier and fill factor come from sysindexes when the server has it; the position
    // order is the identifier order.
    try {
        engine::ResultSet ids = table->connection()->query(
            table->database(),
            QStringLiteral("SELECT name, indid, OrigFillFactor FROM sysindexes "
                           "WHERE id = OBJECT_ID(%1) AND indid > 0 AND indid < 255")
                .arg(objectName));
        QHash<QString, std::pair<int, int>> byName;
        for (size_t r = 0; r < ids.rows.size(); ++r)
            byName.insert(ids.text(r, 0), {ids.rows[r][1].toInt(), ids.rows[r][2].toInt()});
        for (Index::Facts& f : facts) {
            auto it = byName.find(f.name);
            if (it != byName.end()) {
                f.id = it->first;
                f.fillFactor = it->second;
            }
        }
        std::stable_sort(facts.begin(), facts.end(),
                         [](const Index::Facts& a, const Index::Facts& b) { return a.id < b.id; });
    } catch (const DmoError&) {
    }
    std::vector<IndexPtr> items;
    for (Index::Facts& f : facts)
        items.push_back(std::make_shared<Index>(table_, std::move(f)));
    return items;
}

} // namespace dmo
