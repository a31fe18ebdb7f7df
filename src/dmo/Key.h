#pragma once
#include "dmo/Names.h"

#include <QString>
#include <memory>
#include <optional>

namespace dmo {

class Table;

enum KeyType : int { SQLDMOKey_Primary = 1, SQLDMOKey_Unique = 2, SQLDMOKey_Foreign = 3 };

// A primary or unique key. A new Key (std::make_shared) is unattached until Keys::Add.
class Key {
public:
    Key() : columns_(std::make_shared<Names>()) {}
    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    int Type() const { return type_; }
    void SetType(int type) { type_ = type; }
    bool Clustered() const { return clustered_.value_or(type_ == SQLDMOKey_Primary); }
    void SetClustered(bool clustered) { clustered_ = clustered; }
    NamesPtr KeyColumns() const { return columns_; }
    // Drops the key's constraint on the server.
    void Remove();

    // Internal.
    void attach(const std::shared_ptr<Table>& table) { table_ = table; }
    bool attached() const { return !table_.expired(); }
    // The constraint clause: [CONSTRAINT [n]] PRIMARY KEY|UNIQUE [CLUSTERED] ([a], [b]).
    QString constraintClause() const;

private:
    std::weak_ptr<Table> table_;
    QString name_;
    int type_ = SQLDMOKey_Primary;
    std::optional<bool> clustered_;
    NamesPtr columns_;
};

using KeyPtr = std::shared_ptr<Key>;

} // namespace dmo
