#pragma once
#include "dmo/Names.h"

#include <QList>
#include <QString>
#include <memory>

namespace dmo {

class Table;

// Index.Type bits.
enum IndexType : int {
    SQLDMOIndex_IgnoreDupKey = 0x1,
    SQLDMOIndex_Unique = 0x2,
    SQLDMOIndex_Clustered = 0x10,
    SQLDMOIndex_Hypothetical = 0x20,
    SQLDMOIndex_PadIndex = 0x100,
    SQLDMOIndex_DRIPrimaryKey = 0x800,
    SQLDMOIndex_DRIUniqueKey = 0x1000,
    SQLDMOIndex_NoRecompute = 0x01000000,
};

// An index of a table, as read from the server.
class Index {
public:
    struct Facts {
        QString name, fileGroup;
        int type = 0, id = 0, fillFactor = 0;
        bool onComputed = false;
        QStringList columns;
        QList<bool> descending;
    };
    Index(std::weak_ptr<Table> table, Facts facts)
        : table_(std::move(table)), f_(std::move(facts)) {}

    QString Name() const { return f_.name; }
    int Type() const { return f_.type; }
    int ID() const { return f_.id; }
    int FillFactor() const { return f_.fillFactor; }
    QString FileGroup() const { return f_.fileGroup; }
    bool FullTextKey() const { return false; }
    bool NoRecompute() const { return f_.type & SQLDMOIndex_NoRecompute; }
    bool StatisticsIndex() const { return false; }
    bool IsOnComputed() const { return f_.onComputed; }
    // The key columns in key order.
    NamesPtr ListIndexedColumns() const { return std::make_shared<Names>(f_.columns); }
    // True when the named key column is descending.
    bool GetIndexedColumnDESC(const QString& column) const;
    // Drops the index (a primary or unique key through its constraint).
    void Remove();

private:
    std::weak_ptr<Table> table_;
    Facts f_;
};

using Index2 = Index;
using IndexPtr = std::shared_ptr<Index>;

} // namespace dmo
