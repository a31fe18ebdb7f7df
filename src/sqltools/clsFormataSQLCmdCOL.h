#pragma once
// The keyword collection: entries in insertion order, positions from 1, optional text keys
// (case-insensitive). Errors: VarnoltError 9 for a position out of range, 5 for a key not in
// the collection, 457 for a key already in use, 6 when Find meets more than 32,767 entries;
// the collection is unchanged after any of them.

#include "sqltools/clsFormataSQLCmd.h"

#include <memory>
#include <vector>

class clsFormataSQLCmdCOL {
public:
    using Ptr = std::shared_ptr<clsFormataSQLCmd>;
    using const_iterator = std::vector<Ptr>::const_iterator;

    // Position from 1 of the first entry whose Comando equals the argument, both lowered;
    // -1 when none.
    qint32 Find(const QString& Comando) const;
    clsFormataSQLCmd& Add(const QString& Comando, qint32 Tipo, const QString& sKey = {});
    clsFormataSQLCmd& Item(int index) const;
    clsFormataSQLCmd& Item(const QString& key) const;
    clsFormataSQLCmd& operator[](int index) const { return Item(index); }
    clsFormataSQLCmd& operator[](const QString& key) const { return Item(key); }
    qint32 Count() const { return qint32(mCol.size()); }
    void Remove(int index);
    void Remove(const QString& key);

    const_iterator begin() const { return mCol.begin(); }
    const_iterator end() const { return mCol.end(); }
    const std::vector<Ptr>& NewEnum() const { return mCol; }

private:
    int indexOfKey(const QString& key) const;

    std::vector<Ptr> mCol;
    std::vector<QString> mKeys; // beside mCol; empty for an entry without a key
};
