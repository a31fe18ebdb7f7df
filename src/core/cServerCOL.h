#pragma once
// The registered servers: an ordered collection, positions from 1, optional text keys
// (compared without regard to case). Item/Remove out of range throw VarnoltError 9, by a
// missing key 5, and leave the collection unchanged; Add with a key in use throws 457.

#include "core/cServer.h"

#include <QString>

#include <memory>
#include <vector>

class cServerCOL {
public:
    using Ptr = std::shared_ptr<cServer>;
    using const_iterator = std::vector<Ptr>::const_iterator;

    cServer& Add(const QString& ServerName, bool WinAut, const QString& Login,
                 const QString& Password, const QString& sKey = {});
    cServer& Add(Ptr server, const QString& sKey = {});

    cServer& Item(int index) const;
    cServer& Item(const QString& key) const;
    cServer& operator[](int index) const { return Item(index); }
    cServer& operator[](const QString& key) const { return Item(key); }
    // The shared handle, for a caller that keeps the server after a Remove.
    Ptr ItemPtr(int index) const;

    int Count() const { return int(m_Col.size()); }
    void Remove(int index);
    void Remove(const QString& key);
    void Clear();

    // In position order: for (const auto& s : col) s->ServerName().
    const_iterator begin() const { return m_Col.begin(); }
    const_iterator end() const { return m_Col.end(); }
    const std::vector<Ptr>& NewEnum() const { return m_Col; }

    // The first server whose name equals ServerName (cut before its first blank, trimmed),
    // without regard to case; its position from 1 goes to byrefColIndex. nullptr and -1 when
    // none matches.
    cServer* GetServerByName(const QString& ServerName, int* byrefColIndex = nullptr) const;

private:
    int indexOfKey(const QString& key) const;

    std::vector<Ptr> m_Col;
    std::vector<QString> m_Keys; // beside m_Col; empty when the entry has no key
};
