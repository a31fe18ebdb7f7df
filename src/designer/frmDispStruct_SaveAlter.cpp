// Changing an existing table in place: indexes on changed columns, deleted columns, and each
// row of the design (new columns added, loaded ones renamed, retyped, given their default).
#include "designer/frmDispStruct.h"
#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"
#include "dmo/Column.h"
#include "dmo/Columns.h"
#include "dmo/DRIDefault.h"
#include "dmo/Key.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

#include <QSet>
#include <QTime>

namespace {

QString text(const CListViewManager& s, const char* field, int item) {
    return SaveScripts::Text(s, field, item);
}

double number(const CListViewManager& s, const char* field, int item) {
    return SaveScripts::Number(s, field, item);
}

QSet<QString> lowerSet(const QStringList& names) {
    QSet<QString> set;
    for (const QString& n : names)
        set.insert(n.toLower());
    return set;
}

} // namespace

void frmDispStruct::MarkIndexesForAlter() {
    // 1-2. Entries whose key columns changed, or lie on a column changed or deleted.
    for (const clsIndexesCOL::Entry& e : *mIndexes) {
        if (e->Act_IndexColumns() != e->Old_IndexColumns()) {
            e->setDropIndexOnAlter(true);
            continue;
        }
        for (const M_MainMod::IndexKeyColumn& key : M_MainMod::SplitMarked(e->Old_IndexColumns())) {
            if (key.ColumnName.isEmpty())
                continue;
            const int item =
                mStructure->FindItem(QStringLiteral("OriginalName"), key.ColumnName, 1);
            if (item == -1 || ColumnChanged(item))
                e->setDropIndexOnAlter(true);
        }
    }

    // 3. The table's key goes when its index must.
    const dmo::KeyPtr pk = mTable->PrimaryKey();
    for (const clsIndexesCOL::Entry& e : *mIndexes) {
        if (e->DropIndexOnAlter() && !e->NewIndex() && pk && pk->Name() == e->Old_Name())
            mSavePrimaryKey = true;
    }

    // 4. ... and when the design marks no column, or other columns than the key's.
    if (!mSavePrimaryKey) {
        QStringList marked;
        for (int i = 1; i <= mStructure->Count(); ++i)
            if (text(*mStructure, "PrimaryKey", i) == QLatin1String("1"))
                marked << M_MainMod::StripBrackets(text(*mStructure, "Name", i));
        if (marked.isEmpty())
            mSavePrimaryKey = true;
        else if (pk && lowerSet(marked) != lowerSet(pk->KeyColumns()->list()))
            mSavePrimaryKey = true;
    }

    // 5.
    if (mSavePrimaryKey && pk)
        pk->Remove();
}

void frmDispStruct::RemoveDeletedColumns() {
    const auto columns = mTable->Columns();
    for (int p = columns->Count(); p >= 1; --p) {
        const dmo::ColumnPtr column = columns->Item(p);
        bool kept = false;
        for (int i = 1; i <= mStructure->Count() && !kept; ++i)
            kept = M_MainMod::StripBrackets(text(*mStructure, "OriginalName", i)) == column->Name();
        if (kept)
            continue;
        if (columns->Count() >= 2) {
            columns->Remove(p);
        } else {
            // A table keeps one column: the last one waits under another name until the new
            // columns are in.
            const QTime now = QTime::currentTime();
            const QString name =
                QStringLiteral("VARNOLT_Deleted%1%2%3").arg(now.minute()).arg(now.second()).arg(p);
            column->SetName(name);
            mSavePlaceholder = name;
        }
    }
}

void frmDispStruct::SaveColumns() {
    // A column renamed to a name that another renamed column still holds (two names swapped)
    // first moves out of the way under a name of its own.
    if (mModo != QLatin1String("N")) {
        const auto columns = mTable->Columns();
        QSet<QString> wanted;
        for (int i = 1; i <= mStructure->Count(); ++i) {
            if (number(*mStructure, "NewColumn", i) == 1)
                continue;
            const QString bare = M_MainMod::StripBrackets(text(*mStructure, "Name", i));
            if (bare.trimmed().toLower() !=
                M_MainMod::StripBrackets(text(*mStructure, "OriginalName", i)).trimmed().toLower())
                wanted.insert(bare.trimmed().toLower());
        }
        for (int i = 1; i <= mStructure->Count() && !wanted.isEmpty(); ++i) {
            const QString original = M_MainMod::StripBrackets(text(*mStructure, "OriginalName", i));
            if (number(*mStructure, "NewColumn", i) == 1 ||
                !wanted.contains(original.trimmed().toLower()) ||
                M_MainMod::StripBrackets(text(*mStructure, "Name", i)).trimmed().toLower() ==
                    original.trimmed().toLower())
                continue;
            dmo::ColumnPtr column;
            try {
                column = columns->Item(original);
            } catch (...) {
                continue;
            }
            const QString parked = QStringLiteral("VARNOLT_Renamed%1").arg(i);
            column->SetName(parked);
            mStructure->SetColumnValue(QStringLiteral("OriginalName"), parked, i);
        }
    }
    for (int i = 1; i <= mStructure->Count(); ++i) {
        if (number(*mStructure, "NewColumn", i) == 1)
            SaveNewColumn(i);
        else
            SaveExistingColumn(i);
    }
}

void frmDispStruct::SaveNewColumn(int Item) {
    const QString type = text(*mStructure, "DataType", Item);
    const DataTypeRules rules = SaveScripts::Rules(type);
    const bool identity = number(*mStructure, "UpdatedIdentity", Item) == 1;
    // An identity column joins an existing table through the rebuild.
    if (mModo != QLatin1String("N") && rules.UseIdentity && identity) {
        mSaveRebuild = true;
        return;
    }
    auto column = std::make_shared<dmo::Column>();
    column->SetName(dmo::sql::quoteName(M_MainMod::StripBrackets(text(*mStructure, "Name", Item))));
    column->SetDatatype(SaveScripts::TypeName(type));
    if (rules.UseLength)
        column->SetLength(int(number(*mStructure, "Length", Item)));
    if (rules.UsePrecision)
        column->SetNumericPrecision(int(number(*mStructure, "Precision", Item)));
    if (rules.UseScale)
        column->SetNumericScale(int(number(*mStructure, "Scale", Item)));
    if (rules.UseNulls)
        column->SetAllowNulls(text(*mStructure, "AllowNulls", Item) == QLatin1String("1"));
    if (rules.UseIdentity) {
        column->SetIdentity(identity);
        column->SetIdentitySeed(SaveScripts::Whole(*mStructure, "UpdatedSeed", Item));
        column->SetIdentityIncrement(SaveScripts::Whole(*mStructure, "UpdatedIncrement", Item));
    }
    if (rules.UseRowGuid)
        column->SetIsRowGuidCol(number(*mStructure, "UpdatedUniqueIdentifier", Item) == 1);
    if (rules.UseFormula)
        column->SetComputedText(text(*mStructure, "UpdatedFormula", Item));
    const QString def = text(*mStructure, "UpdatedDefault", Item);
    if (rules.UseDefault && !def.isEmpty())
        ApplyColumnDefault(column, def);
    mTable->Columns()->Add(column);
}

void frmDispStruct::SaveExistingColumn(int Item) {
    const QString originalName = text(*mStructure, "OriginalName", Item);
    dmo::ColumnPtr column;
    try {
        column = mTable->Columns()->Item(M_MainMod::StripBrackets(originalName));
    } catch (...) {
        return; // not on the table
    }
    const QString type = text(*mStructure, "DataType", Item);
    const DataTypeRules rules = SaveScripts::Rules(type);
    auto differs = [&](const char* edited, const char* loaded) {
        return text(*mStructure, edited, Item) != text(*mStructure, loaded, Item);
    };

    // 1. A computed column is built again by the rebuild.
    if (ColumnChanged(Item) && column->IsComputed()) {
        mSaveRebuild = true;
        return;
    }

    // 2. Rename (a change of letter case only is the rebuild's).
    const QString bare = M_MainMod::StripBrackets(text(*mStructure, "Name", Item));
    if (bare != M_MainMod::StripBrackets(originalName)) {
        if (bare.trimmed().toLower() != column->Name().trimmed().toLower())
            column->SetName(dmo::sql::quoteName(bare));
        mSaveRebuild = true;
    }

    // 3. Type.
    if (DataTypeChanged(Item)) {
        QString serverDefault;
        try {
            serverDefault = column->DRIDefault()->Text();
        } catch (...) {
        }
        if (!serverDefault.isEmpty() || !column->Default().isEmpty()) {
            ApplyColumnDefault(column, QString());
            mStructure->SetColumnValue(QStringLiteral("OriginalDefault"), QString(), Item);
        }
        const QString typeName = SaveScripts::TypeName(type);
        if (typeName.compare(QLatin1String("timestamp"), Qt::CaseInsensitive) == 0) {
            mSaveRebuild = true; // the server alters no column to timestamp
        } else if (rules.UseLength) {
            const double length = number(*mStructure, "Length", Item);
            if (length < number(*mStructure, "OriginalLength", Item))
                mSaveRebuild = true;
            else if (typeName.compare(text(*mStructure, "OriginalDataType", Item),
                                      Qt::CaseInsensitive) == 0)
                column->AlterDataType(typeName, int(length), -1, -1);
            else
                mSaveRebuild = true;
        } else if (rules.UsePrecision) {
            column->AlterDataType(typeName, -1, int(number(*mStructure, "Precision", Item)),
                                  int(number(*mStructure, "Scale", Item)));
        } else {
            column->AlterDataType(typeName, -1, -1, -1);
        }
    }

    // 4-5. Nulls and identity are the rebuild's.
    if (rules.UseNulls && differs("AllowNulls", "OriginalAllowNulls"))
        mSaveRebuild = true;
    if (rules.UseIdentity &&
        (differs("UpdatedIdentity", "OriginalIdentity") || differs("UpdatedSeed", "OriginalSeed") ||
         differs("UpdatedIncrement", "OriginalIncrement")))
        mSaveRebuild = true;

    // 6. Row-guid mark in place.
    if (rules.UseRowGuid && differs("UpdatedUniqueIdentifier", "OriginalUniqueIdentifier"))
        column->SetIsRowGuidCol(number(*mStructure, "UpdatedUniqueIdentifier", Item) == 1);

    // 7. Formula.
    if (rules.UseFormula && differs("UpdatedFormula", "OriginalFormula"))
        mSaveRebuild = true;

    // 8. A changed collation is given by the rebuild.
    const QString collation = text(*mStructure, "UpdatedCollation", Item).trimmed();
    if (rules.UseCollation && !collation.isEmpty() &&
        collation.compare(text(*mStructure, "OriginalCollation", Item).trimmed(),
                          Qt::CaseInsensitive) != 0)
        mSaveRebuild = true;

    // 9. Default (a default constraint keeps its name).
    if (differs("UpdatedDefault", "OriginalDefault"))
        ApplyColumnDefault(
            column, text(*mStructure, "UpdatedDefault", Item),
            mLoadedDefaultNames.value(int(number(*mStructure, "OriginalIndex", Item))));
}

void frmDispStruct::RemovePlaceholderColumn() {
    if (mSavePlaceholder.isEmpty())
        return;
    const auto columns = mTable->Columns();
    for (int p = columns->Count(); p >= 1; --p) {
        // A table cannot lose its only column; the rebuild leaves it behind then.
        if (columns->Item(p)->Name() == mSavePlaceholder && columns->Count() >= 2)
            columns->Remove(p);
    }
}
