#include "dmo/Keys.h"

#include "dmo/Indexes.h"
#include "dmo/Table.h"

namespace dmo {

bool Keys::fromServer() const {
    auto table = table_.lock();
    return table && table->attached();
}

std::vector<KeyPtr> Keys::load() {
    auto table = table_.lock();
    std::vector<KeyPtr> items;
    for (const IndexPtr& index : table->Indexes()->items()) {
        const int type = index->Type();
        if (!(type & (SQLDMOIndex_DRIPrimaryKey | SQLDMOIndex_DRIUniqueKey)))
            continue;
        auto key = std::make_shared<Key>();
        key->SetName(index->Name());
        key->SetType(type & SQLDMOIndex_DRIPrimaryKey ? SQLDMOKey_Primary : SQLDMOKey_Unique);
        key->SetClustered(type & SQLDMOIndex_Clustered);
        NamesPtr columns = index->ListIndexedColumns();
        for (int i = 1; i <= columns->Count(); ++i)
            key->KeyColumns()->Add(columns->Item(i));
        key->attach(table);
        items.push_back(key);
    }
    return items;
}

void Keys::Add(const KeyPtr& key) {
    if (key->attached())
        throw DmoError(Errors::InvalidOperation, QStringLiteral("The key already belongs to a table."));
    auto table = table_.lock();
    if (!table)
        throw DmoError(Errors::NotAttached, QStringLiteral("The key collection has no table."));
    const QString clause = key->constraintClause();
    if (table->attached()) {
        table->execute(QStringLiteral("ALTER TABLE %1 ADD %2").arg(table->qualifiedName(), clause));
        key->attach(table);
        table->indexesChanged(); // the server-made name is read with the keys
    } else {
        items_.push_back(key);
    }
}

} // namespace dmo
