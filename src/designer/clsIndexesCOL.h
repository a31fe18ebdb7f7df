#pragma once
// The designer's collection of index entries: 1-based positions, optional keys (compared
// without regard to case). Entries are shared: Item hands out the stored entry itself, so
// changes made through it reach the collection; AddObject is the only way to copy one.

#include "designer/clsIndexes.h"

#include <QString>

#include <memory>
#include <vector>

class clsIndexesCOL {
public:
    using Entry = std::shared_ptr<clsIndexes>;

private:
    struct Slot {
        QString key;
        Entry entry;
    };
    using Slots = std::vector<Slot>;

public:
    clsIndexesCOL() = default;
    // Copying would share the entries; copy entry by entry with AddObject instead.
    clsIndexesCOL(const clsIndexesCOL&) = delete;
    clsIndexesCOL& operator=(const clsIndexesCOL&) = delete;
    clsIndexesCOL(clsIndexesCOL&&) = default;
    clsIndexesCOL& operator=(clsIndexesCOL&&) = default;

    // New entry with NewIndex and every Act_ field from its argument and each Old_ twin equal
    // to it; the state flags stay False. Appended under sKey when sKey is not empty.
    // Throws VarnoltError when sKey is already in the collection.
    Entry Add(bool NewIndex, const QString& Act_IndexName, qint32 Act_IndexType,
              const QString& Act_FileGroup, qint32 Act_FillFactor, bool Act_FullTextKey,
              qint32 Act_ID, bool Act_IsOnComputed, bool Act_NoRecompute, qint32 Act_IndexSpaceUsed,
              bool Act_StatisticsIndex, const QString& Act_IndexColumns, bool Act_Clustered,
              bool Act_Constraint, bool Act_IgnoreDupKeys, bool Act_Unique,
              const QString& sKey = QString());

    // Appends, without a key, a new entry holding a copy of all the fields of cIndex.
    Entry AddObject(const clsIndexes& cIndex);

    // The stored entry at a 1-based position or under a key; throws VarnoltError when there
    // is none.
    Entry Item(int vntIndexKey) const;
    Entry Item(const QString& vntIndexKey) const;

    // Number of entries, deleted ones included.
    int Count() const { return static_cast<int>(m_col.size()); }

    // Takes the entry out of the collection; throws VarnoltError when there is none.
    void Remove(int vntIndexKey);
    void Remove(const QString& vntIndexKey);

    // First entry not marked Deleted whose Act_IndexName equals IndexName, both trimmed of
    // blanks and compared in lower case; nullptr when none.
    Entry FindIDX(const QString& IndexName) const;

    // Walks the entries in position order (range-for yields Entry).
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const Entry*;
        using reference = const Entry&;

        const_iterator() = default;
        explicit const_iterator(Slots::const_iterator it) : m_it(it) {}
        reference operator*() const { return m_it->entry; }
        pointer operator->() const { return &m_it->entry; }
        const_iterator& operator++() {
            ++m_it;
            return *this;
        }
        const_iterator operator++(int) {
            auto old = *this;
            ++m_it;
            return old;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        Slots::const_iterator m_it;
    };
    const_iterator begin() const { return const_iterator(m_col.begin()); }
    const_iterator end() const { return const_iterator(m_col.end()); }

private:
    Entry append(Entry entry, const QString& key);
    Slots::const_iterator find(int position) const;
    Slots::const_iterator find(const QString& key) const;

    Slots m_col;
};
