#include "sqltools/clsFormataSQLCmdCOL.h"

#include "core/VarnoltError.h"

qint32 clsFormataSQLCmdCOL::Find(const QString& Comando) const {
    if (Count() > 32767)
        throw VarnoltError::overflow();
    const QString wanted = Comando.toLower();
    for (int i = 1; i <= Count(); ++i)
        if (Item(i).Comando().toLower() == wanted)
            return i;
    return -1;
}

clsFormataSQLCmd& clsFormataSQLCmdCOL::Add(const QString& Comando, qint32 Tipo,
                                           const QString& sKey) {
    if (!sKey.isEmpty() && indexOfKey(sKey) >= 0)
        throw VarnoltError::duplicateKey();
    auto entry = std::make_shared<clsFormataSQLCmd>();
    entry->setComando(Comando);
    entry->setTipo(Tipo);
    mCol.push_back(entry);
    mKeys.push_back(sKey);
    return *entry;
}

int clsFormataSQLCmdCOL::indexOfKey(const QString& key) const {
    for (std::size_t i = 0; i < mKeys.size(); ++i)
        if (!mKeys[i].isEmpty() && mKeys[i].compare(key, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

clsFormataSQLCmd& clsFormataSQLCmdCOL::Item(int index) const {
    if (index < 1 || index > Count())
        throw VarnoltError::subscriptOutOfRange();
    return *mCol[std::size_t(index - 1)];
}

clsFormataSQLCmd& clsFormataSQLCmdCOL::Item(const QString& key) const {
    const int i = key.isEmpty() ? -1 : indexOfKey(key);
    if (i < 0)
        throw VarnoltError::invalidProcedureCall();
    return *mCol[std::size_t(i)];
}

void clsFormataSQLCmdCOL::Remove(int index) {
    if (index < 1 || index > Count())
        throw VarnoltError::subscriptOutOfRange();
    mCol.erase(mCol.begin() + (index - 1));
    mKeys.erase(mKeys.begin() + (index - 1));
}

void clsFormataSQLCmdCOL::Remove(const QString& key) {
    const int i = key.isEmpty() ? -1 : indexOfKey(key);
    if (i < 0)
        throw VarnoltError::invalidProcedureCall();
    Remove(i + 1);
}
