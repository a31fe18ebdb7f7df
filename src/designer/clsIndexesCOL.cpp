#include "designer/clsIndexesCOL.h"

#include "core/TextHelpers.h"
#include "core/VarnoltError.h"

namespace {

QString normalisedName(const QString& name) {
    return TrimBlanks(name).toLower();
}

} // namespace

clsIndexesCOL::Entry clsIndexesCOL::Add(bool NewIndex, const QString& Act_IndexName,
                                        qint32 Act_IndexType, const QString& Act_FileGroup,
                                        qint32 Act_FillFactor, bool Act_FullTextKey, qint32 Act_ID,
                                        bool Act_IsOnComputed, bool Act_NoRecompute,
                                        qint32 Act_IndexSpaceUsed, bool Act_StatisticsIndex,
                                        const QString& Act_IndexColumns, bool Act_Clustered,
                                        bool Act_Constraint, bool Act_IgnoreDupKeys,
                                        bool Act_Unique, const QString& sKey) {
    auto e = std::make_shared<clsIndexes>();
    e->setNewIndex(NewIndex);
    e->setAct_IndexName(Act_IndexName);
    e->setOld_Name(Act_IndexName);
    e->setAct_IndexType(Act_IndexType);
    e->setOld_Type(Act_IndexType);
    e->setAct_FileGroup(Act_FileGroup);
    e->setOld_FileGroup(Act_FileGroup);
    e->setAct_FillFactor(Act_FillFactor);
    e->setOld_FillFactor(Act_FillFactor);
    e->setAct_FullTextKey(Act_FullTextKey);
    e->setOld_FullTextKey(Act_FullTextKey);
    e->setAct_ID(Act_ID);
    e->setAct_IsOnComputed(Act_IsOnComputed);
    e->setOld_IsOnComputed(Act_IsOnComputed);
    e->setAct_NoRecompute(Act_NoRecompute);
    e->setOld_NoRecompute(Act_NoRecompute);
    e->setAct_IndexSpaceUsed(Act_IndexSpaceUsed);
    e->setAct_StatisticsIndex(Act_StatisticsIndex);
    e->setOld_StatisticsIndex(Act_StatisticsIndex);
    e->setAct_IndexColumns(Act_IndexColumns);
    e->setOld_IndexColumns(Act_IndexColumns);
    e->setAct_Clustered(Act_Clustered);
    e->setOld_Clustered(Act_Clustered);
    e->setAct_Constraint(Act_Constraint);
    e->setOld_Constraint(Act_Constraint);
    e->setAct_IgnoreDupKeys(Act_IgnoreDupKeys);
    e->setOld_IgnoreDupKeys(Act_IgnoreDupKeys);
    e->setAct_Unique(Act_Unique);
    e->setOld_Unique(Act_Unique);
    return append(std::move(e), sKey);
}

clsIndexesCOL::Entry clsIndexesCOL::AddObject(const clsIndexes& cIndex) {
    return append(std::make_shared<clsIndexes>(cIndex), QString());
}

clsIndexesCOL::Entry clsIndexesCOL::Item(int vntIndexKey) const {
    return find(vntIndexKey)->entry;
}

clsIndexesCOL::Entry clsIndexesCOL::Item(const QString& vntIndexKey) const {
    return find(vntIndexKey)->entry;
}

void clsIndexesCOL::Remove(int vntIndexKey) {
    m_col.erase(find(vntIndexKey));
}

void clsIndexesCOL::Remove(const QString& vntIndexKey) {
    m_col.erase(find(vntIndexKey));
}

clsIndexesCOL::Entry clsIndexesCOL::FindIDX(const QString& IndexName) const {
    const QString wanted = normalisedName(IndexName);
    for (const Slot& s : m_col) {
        if (!s.entry->Deleted() && normalisedName(s.entry->Act_IndexName()) == wanted)
            return s.entry;
    }
    return nullptr;
}

clsIndexesCOL::Entry clsIndexesCOL::append(Entry entry, const QString& key) {
    if (!key.isEmpty()) {
        for (const Slot& s : m_col) {
            if (s.key.compare(key, Qt::CaseInsensitive) == 0)
                throw VarnoltError::duplicateKey();
        }
    }
    m_col.push_back(Slot{key, entry});
    return entry;
}

clsIndexesCOL::Slots::const_iterator clsIndexesCOL::find(int position) const {
    if (position < 1 || position > Count())
        throw VarnoltError::subscriptOutOfRange();
    return m_col.begin() + (position - 1);
}

clsIndexesCOL::Slots::const_iterator clsIndexesCOL::find(const QString& key) const {
    for (auto it = m_col.begin(); it != m_col.end(); ++it) {
        if (!key.isEmpty() && it->key.compare(key, Qt::CaseInsensitive) == 0)
            return it;
    }
    throw VarnoltError::invalidProcedureCall();
}
