#include "core/cServerCOL.h"

#include "core/VarnoltError.h"

cServer& cServerCOL::Add(const QString& ServerName, bool WinAut, const QString& Login,
                         const QString& Password, const QString& sKey) {
    return Add(std::make_shared<cServer>(ServerName, WinAut, Login, Password), sKey);
}

cServer& cServerCOL::Add(Ptr server, const QString& sKey) {
    if (!server)
        throw VarnoltError::invalidProcedureCall();
    if (!sKey.isEmpty() && indexOfKey(sKey) >= 0)
        throw VarnoltError::duplicateKey();
    m_Col.push_back(std::move(server));
    m_Keys.push_back(sKey);
    return *m_Col.back();
}

int cServerCOL::indexOfKey(const QString& key) const {
    for (std::size_t i = 0; i < m_Keys.size(); ++i)
        if (!m_Keys[i].isEmpty() && m_Keys[i].compare(key, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

cServerCOL::Ptr cServerCOL::ItemPtr(int index) const {
    if (index < 1 || index > Count())
        throw VarnoltError::subscriptOutOfRange();
    return m_Col[std::size_t(index - 1)];
}

cServer& cServerCOL::Item(int index) const {
    return *ItemPtr(index);
}

cServer& cServerCOL::Item(const QString& key) const {
    const int i = key.isEmpty() ? -1 : indexOfKey(key);
    if (i < 0)
        throw VarnoltError::invalidProcedureCall();
    return *m_Col[std::size_t(i)];
}

void cServerCOL::Remove(int index) {
    if (index < 1 || index > Count())
        throw VarnoltError::subscriptOutOfRange();
    m_Col.erase(m_Col.begin() + (index - 1));
    m_Keys.erase(m_Keys.begin() + (index - 1));
}

void cServerCOL::Remove(const QString& key) {
    const int i = key.isEmpty() ? -1 : indexOfKey(key);
    if (i < 0)
        throw VarnoltError::invalidProcedureCall();
    Remove(i + 1);
}

void cServerCOL::Clear() {
    m_Col.clear();
    m_Keys.clear();
}

cServer* cServerCOL::GetServerByName(const QString& ServerName, int* byrefColIndex) const {
    QString name = ServerName;
    const qsizetype blank = name.indexOf(u' ');
    if (blank >= 0)
        name.truncate(blank);
    name = name.trimmed();
    for (std::size_t i = 0; i < m_Col.size(); ++i) {
        if (m_Col[i]->ServerName().compare(name, Qt::CaseInsensitive) == 0) {
            if (byrefColIndex)
                *byrefColIndex = int(i + 1);
            return m_Col[i].get();
        }
    }
    if (byrefColIndex)
        *byrefColIndex = -1;
    return nullptr;
}
