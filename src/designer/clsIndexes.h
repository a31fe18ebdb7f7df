#pragma once
// One index or unique constraint of the table being designed. Old_ fields hold the index as
// loaded from the server, Act_ fields as edited; a handful of flags carry its state.
// Plain storage: every field is False, 0 or empty until set.

#include <QString>
#include <QtGlobal>

class clsIndexes {
public:
    void setCreatedAgora(bool v) { m_CreatedAgora = v; }
    bool CreatedAgora() const { return m_CreatedAgora; }
    void setIndexIsPK(bool v) { m_IndexIsPK = v; }
    bool IndexIsPK() const { return m_IndexIsPK; }
    void setDeletedAgora(bool v) { m_DeletedAgora = v; }
    bool DeletedAgora() const { return m_DeletedAgora; }
    void setOld_IgnoreDupKeys(bool v) { m_Old_IgnoreDupKeys = v; }
    bool Old_IgnoreDupKeys() const { return m_Old_IgnoreDupKeys; }
    void setAct_IgnoreDupKeys(bool v) { m_Act_IgnoreDupKeys = v; }
    bool Act_IgnoreDupKeys() const { return m_Act_IgnoreDupKeys; }
    void setOld_Constraint(bool v) { m_Old_Constraint = v; }
    bool Old_Constraint() const { return m_Old_Constraint; }
    void setAct_Constraint(bool v) { m_Act_Constraint = v; }
    bool Act_Constraint() const { return m_Act_Constraint; }
    void setOld_Unique(bool v) { m_Old_Unique = v; }
    bool Old_Unique() const { return m_Old_Unique; }
    void setAct_Unique(bool v) { m_Act_Unique = v; }
    bool Act_Unique() const { return m_Act_Unique; }
    void setOld_Clustered(bool v) { m_Old_Clustered = v; }
    bool Old_Clustered() const { return m_Old_Clustered; }
    void setAct_Clustered(bool v) { m_Act_Clustered = v; }
    bool Act_Clustered() const { return m_Act_Clustered; }
    void setDropIndexOnAlter(bool v) { m_DropIndexOnAlter = v; }
    bool DropIndexOnAlter() const { return m_DropIndexOnAlter; }
    void setDeleted(bool v) { m_Deleted = v; }
    bool Deleted() const { return m_Deleted; }
    void setOld_IndexColumns(const QString& v) { m_Old_IndexColumns = v; }
    const QString& Old_IndexColumns() const { return m_Old_IndexColumns; }
    void setAct_IndexColumns(const QString& v) { m_Act_IndexColumns = v; }
    const QString& Act_IndexColumns() const { return m_Act_IndexColumns; }
    void setOld_Type(qint32 v) { m_Old_Type = v; }
    qint32 Old_Type() const { return m_Old_Type; }
    void setOld_StatisticsIndex(bool v) { m_Old_StatisticsIndex = v; }
    bool Old_StatisticsIndex() const { return m_Old_StatisticsIndex; }
    void setOld_NoRecompute(bool v) { m_Old_NoRecompute = v; }
    bool Old_NoRecompute() const { return m_Old_NoRecompute; }
    void setOld_Name(const QString& v) { m_Old_Name = v; }
    const QString& Old_Name() const { return m_Old_Name; }
    void setOld_IsOnComputed(bool v) { m_Old_IsOnComputed = v; }
    bool Old_IsOnComputed() const { return m_Old_IsOnComputed; }
    void setOld_FullTextKey(bool v) { m_Old_FullTextKey = v; }
    bool Old_FullTextKey() const { return m_Old_FullTextKey; }
    void setOld_FillFactor(qint32 v) { m_Old_FillFactor = v; }
    qint32 Old_FillFactor() const { return m_Old_FillFactor; }
    void setOld_FileGroup(const QString& v) { m_Old_FileGroup = v; }
    const QString& Old_FileGroup() const { return m_Old_FileGroup; }
    void setAct_StatisticsIndex(bool v) { m_Act_StatisticsIndex = v; }
    bool Act_StatisticsIndex() const { return m_Act_StatisticsIndex; }
    void setAct_IndexSpaceUsed(qint32 v) { m_Act_IndexSpaceUsed = v; }
    qint32 Act_IndexSpaceUsed() const { return m_Act_IndexSpaceUsed; }
    void setAct_NoRecompute(bool v) { m_Act_NoRecompute = v; }
    bool Act_NoRecompute() const { return m_Act_NoRecompute; }
    void setAct_IsOnComputed(bool v) { m_Act_IsOnComputed = v; }
    bool Act_IsOnComputed() const { return m_Act_IsOnComputed; }
    void setAct_IndexType(qint32 v) { m_Act_IndexType = v; }
    qint32 Act_IndexType() const { return m_Act_IndexType; }
    void setAct_IndexName(const QString& v) { m_Act_IndexName = v; }
    const QString& Act_IndexName() const { return m_Act_IndexName; }
    void setAct_ID(qint32 v) { m_Act_ID = v; }
    qint32 Act_ID() const { return m_Act_ID; }
    void setAct_FullTextKey(bool v) { m_Act_FullTextKey = v; }
    bool Act_FullTextKey() const { return m_Act_FullTextKey; }
    void setAct_FillFactor(qint32 v) { m_Act_FillFactor = v; }
    qint32 Act_FillFactor() const { return m_Act_FillFactor; }
    void setAct_FileGroup(const QString& v) { m_Act_FileGroup = v; }
    const QString& Act_FileGroup() const { return m_Act_FileGroup; }
    void setNewIndex(bool v) { m_NewIndex = v; }
    bool NewIndex() const { return m_NewIndex; }

    bool operator==(const clsIndexes&) const = default;

private:
    bool m_CreatedAgora = false;
    bool m_IndexIsPK = false;
    bool m_DeletedAgora = false;
    bool m_Old_IgnoreDupKeys = false;
    bool m_Act_IgnoreDupKeys = false;
    bool m_Old_Constraint = false;
    bool m_Act_Constraint = false;
    bool m_Old_Unique = false;
    bool m_Act_Unique = false;
    bool m_Old_Clustered = false;
    bool m_Act_Clustered = false;
    bool m_DropIndexOnAlter = false;
    bool m_Deleted = false;
    QString m_Old_IndexColumns;
    QString m_Act_IndexColumns;
    qint32 m_Old_Type = 0;
    bool m_Old_StatisticsIndex = false;
    bool m_Old_NoRecompute = false;
    QString m_Old_Name;
    bool m_Old_IsOnComputed = false;
    bool m_Old_FullTextKey = false;
    qint32 m_Old_FillFactor = 0;
    QString m_Old_FileGroup;
    bool m_Act_StatisticsIndex = false;
    qint32 m_Act_IndexSpaceUsed = 0;
    bool m_Act_NoRecompute = false;
    bool m_Act_IsOnComputed = false;
    qint32 m_Act_IndexType = 0;
    QString m_Act_IndexName;
    qint32 m_Act_ID = 0;
    bool m_Act_FullTextKey = false;
    qint32 m_Act_FillFactor = 0;
    QString m_Act_FileGroup;
    bool m_NewIndex = false;
};
