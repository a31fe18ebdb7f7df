// The save's index, unique-constraint and primary-key statements.
#include "designer/frmDispStruct.h"
#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"
#include "dmo/Database.h"
#include "dmo/Index.h"
#include "dmo/Indexes.h"
#include "dmo/Key.h"
#include "dmo/Keys.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

void frmDispStruct::ScriptIndexes(bool Drop, bool Create, bool Force) {
    if (!mIndexes)
        return;
    const QString table = SaveTableRef();

    // Entries whose definition was edited are dropped and created again.
    for (const clsIndexesCOL::Entry& e : *mIndexes) {
        if (e->IndexIsPK() || e->Deleted())
            continue;
        if (e->Act_IndexName() != e->Old_Name() || e->Act_Clustered() != e->Old_Clustered() ||
            e->Act_Constraint() != e->Old_Constraint() || e->Act_Unique() != e->Old_Unique() ||
            e->Act_FileGroup() != e->Old_FileGroup() ||
            e->Act_IndexColumns() != e->Old_IndexColumns() ||
            e->Act_IgnoreDupKeys() != e->Old_IgnoreDupKeys() ||
            e->Act_FillFactor() != e->Old_FillFactor() ||
            e->Act_NoRecompute() != e->Old_NoRecompute())
            e->setDropIndexOnAlter(true);
    }

    if (Drop) {
        // Under the name and kind the index has on the server; one that is not there is
        // passed over.
        for (const clsIndexesCOL::Entry& e : *mIndexes) {
            if (!(e->Deleted() || e->DropIndexOnAlter()) || e->NewIndex() || e->IndexIsPK())
                continue;
            try {
                if (e->Old_Constraint())
                    SaveExecute(SaveScripts::DropConstraintStatement(table, e->Old_Name()));
                else
                    mTable->Indexes()->Item(e->Old_Name())->Remove();
            } catch (...) {
            }
            if (mTable)
                mTable->indexesChanged();
        }
    }

    if (Create) {
        // A refused creation is the save's error: the index is not lost without a word.
        for (const clsIndexesCOL::Entry& e : *mIndexes) {
            if (e->Deleted() || e->IndexIsPK() || e->Act_IndexColumns().isEmpty())
                continue;
            const QString sql = SaveScripts::CreateIndexStatement(*e, table);
            if (e->DropIndexOnAlter() || e->NewIndex() || Force) {
                SaveExecute(sql);
                mTable->indexesChanged();
            }
        }
    }
}

void frmDispStruct::CreatePrimaryKey() {
    if (!mTable || !mStructure || mTable->PrimaryKey())
        return;
    QStringList marked;
    for (int i = 1; i <= mStructure->Count(); ++i) {
        if (SaveScripts::Text(*mStructure, "PrimaryKey", i) == QLatin1String("1"))
            marked << M_MainMod::StripBrackets(SaveScripts::Text(*mStructure, "Name", i));
    }
    auto key = std::make_shared<dmo::Key>();
    key->SetType(dmo::SQLDMOKey_Primary);
    if (marked.isEmpty())
        return;

    // The loaded key keeps its name and stays nonclustered when it was; a clustered index of
    // the design leaves the key nonclustered, whatever the order they are created in.
    clsIndexesCOL::Entry loadedKey;
    bool otherClustered = false;
    if (mIndexes) {
        for (const clsIndexesCOL::Entry& e : *mIndexes) {
            if (e->Deleted())
                continue;
            if (e->IndexIsPK())
                loadedKey = e;
            else if (e->Act_Clustered() && !e->Act_IndexColumns().isEmpty())
                otherClustered = true;
        }
    }
    if (loadedKey && !loadedKey->Act_IndexName().trimmed().isEmpty()) {
        bool taken = false;
        for (const clsIndexesCOL::Entry& e : *mIndexes)
            if (e != loadedKey && !e->Deleted() &&
                e->Act_IndexName().compare(loadedKey->Act_IndexName(), Qt::CaseInsensitive) == 0)
                taken = true;
        if (!taken)
            key->SetName(loadedKey->Act_IndexName());
    }
    if (otherClustered || (loadedKey && !loadedKey->Act_Clustered()))
        key->SetClustered(false);

    // Over the same columns the loaded key keeps its own column order.
    if (loadedKey) {
        QStringList loaded;
        for (const M_MainMod::IndexKeyColumn& k :
             M_MainMod::SplitMarked(loadedKey->Act_IndexColumns()))
            if (!k.ColumnName.isEmpty())
                loaded << k.ColumnName; // key-column lists hold bare names
        auto lowered = [](const QStringList& names) {
            QStringList l;
            for (const QString& n : names)
                l << n.toLower();
            l.sort();
            return l;
        };
        if (lowered(loaded) == lowered(marked))
            marked = loaded;
    }
    // The loaded key's directions, fill factor and filegroup, which a key object cannot
    // carry: the constraint is written out whole then.
    QString keyColumns;
    bool descending = false;
    for (const QString& name : marked) {
        QString order = QStringLiteral("A");
        if (loadedKey)
            for (const M_MainMod::IndexKeyColumn& k :
                 M_MainMod::SplitMarked(loadedKey->Act_IndexColumns()))
                if (k.ColumnName.compare(name, Qt::CaseInsensitive) == 0)
                    order = k.SortOrder;
        descending |= order == QLatin1String("D");
        keyColumns += M_MainMod::MarkedColumn(name, order);
    }
    const int fillFactor = loadedKey ? loadedKey->Act_FillFactor() : 0;
    const QString fileGroup = loadedKey ? loadedKey->Act_FileGroup().trimmed() : QString();
    const bool ownFileGroup =
        !fileGroup.isEmpty() && fileGroup.compare(QLatin1String("PRIMARY"), Qt::CaseInsensitive);
    if (descending || (fillFactor >= 1 && fillFactor <= 100) || ownFileGroup) {
        QString sql = QStringLiteral("Alter Table ") + SaveTableRef() + QStringLiteral(" ADD ");
        if (!key->Name().isEmpty())
            sql +=
                QStringLiteral("Constraint ") + dmo::sql::quoteName(key->Name()) + QLatin1Char(' ');
        sql +=
            QStringLiteral("PRIMARY KEY") +
            (key->Clustered() ? QStringLiteral(" CLUSTERED ") : QStringLiteral(" NONCLUSTERED ")) +
            SaveScripts::KeyColumnList(keyColumns);
        if (fillFactor >= 1 && fillFactor <= 100)
            sql += QStringLiteral(" With FillFactor=") + QString::number(fillFactor);
        if (ownFileGroup)
            sql += QStringLiteral(" ON ") + dmo::sql::quoteName(fileGroup);
        SaveExecute(sql);
        mTable->Refresh();
        return;
    }
    for (const QString& name : marked)
        key->KeyColumns()->Add(dmo::sql::quoteName(name));
    mTable->Keys()->Add(key);
}
