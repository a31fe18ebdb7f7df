// The table designer: commands on the column list as a whole, the index editor and the search.
#include "designer/frmDispStruct.h"

#include "controls/CListViewManager.h"
#include "controls/ShowListDialog.h"
#include "core/MsgBox.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>

#include "designer/frmDispStructFind.h"
#include "designer/frmDispStructIndex.h"

void frmDispStruct::AddColumn() {
    // 1. One added row at a time.
    if (mNewColumnPending || !mStructure)
        return;
    // 2.
    lvwStructure->setFocus();
    mNewColumnPending = true;
    EnableEditing(false);
    QApplication::processEvents();
    txtColumnName->setFocus();
    // 3. An empty row at the end.
    const int i = mStructure->AddNewItem();
    mStructure->SetColumnValue(QStringLiteral("NewColumn"), 1, i);
    SetItemIcon(i, 1);
    // 4. The editor keeps the column shown last as the new column's start.
    lvwStructure_ItemClick(i);
}

void frmDispStruct::RemoveColumns() {
    // While a row is pending the list must keep it last and named on apply.
    if (!mStructure || mNewColumnPending)
        return;
    // 1.
    if (mStructure->Count() == 0)
        return;
    // 2.
    if (ShowListDialog(QStringLiteral("Pretende Eliminar?"),
                       {QStringLiteral("Não"), QStringLiteral("Sim")}) != 2) {
        lvwStructure->setFocus();
        return;
    }
    // 3. The selected columns leave every index, then are marked.
    const int count = mStructure->Count();
    for (int i = 1; i <= count; ++i) {
        if (!mStructure->Selected(i))
            continue;
        const QString column = M_MainMod::StripBrackets(
            mStructure->GetColumnValue(QStringLiteral("Name"), i).toString());
        if (mIndexes) {
            for (const clsIndexesCOL::Entry& entry : *mIndexes) {
                QString rebuilt;
                for (const M_MainMod::IndexKeyColumn& key :
                     M_MainMod::SplitMarked(entry->Act_IndexColumns())) {
                    if (key.ColumnName.isEmpty() || key.ColumnName == column)
                        continue;
                    rebuilt += M_MainMod::MarkedColumn(key.ColumnName, key.SortOrder);
                }
                entry->setAct_IndexColumns(rebuilt);
                if (rebuilt.isEmpty())
                    entry->setDeleted(true);
            }
        }
        mStructure->SetTag(i, QStringLiteral("X"));
    }
    // 4.
    mStructure->RemoveMarkedItems(QStringLiteral("X"));
    if (mStructure->SelectedIndex() == 0 && mStructure->Count() > 0)
        mStructure->SetSelectedItem(1);
    // 5.
    lvwStructure_ItemClick(mStructure->SelectedIndex());
    lvwStructure->setFocus();
}

void frmDispStruct::SetPk() {
    if (!mStructure || mNewColumnPending)
        return;
    bool refused = false;
    for (int i = 1; i <= mStructure->Count(); ++i) {
        if (mStructure->Selected(i)) {
            if (mStructure->GetColumnValue(QStringLiteral("AllowNulls"), i).toInt() == 0) {
                mStructure->SetColumnValue(QStringLiteral("PrimaryKey"), QStringLiteral("1"), i);
                SetItemIcon(i, 2);
            } else {
                refused = true;
            }
        } else {
            mStructure->SetColumnValue(QStringLiteral("PrimaryKey"), QStringLiteral("0"), i);
            SetItemIcon(i, 1);
        }
    }
    if (refused)
        MsgBox(QStringLiteral("Na selecção existem colunas que permitem valores nulos.") +
                   QStringLiteral("\r") +
                   QStringLiteral("Chaves Primárias não podem ser definidas em colunas que "
                                  "permitam valores nulos."),
               vbExclamation);
    lvwStructure->setFocus();
}

void frmDispStruct::RemovePk() {
    if (!mStructure)
        return;
    for (int i = 1; i <= mStructure->Count(); ++i) {
        mStructure->SetColumnValue(QStringLiteral("PrimaryKey"), QStringLiteral("0"), i);
        SetItemIcon(i, 1);
    }
    lvwStructure->setFocus();
}

void frmDispStruct::ShowIndexes() {
    if (!mStructure || mStructure->Count() == 0) {
        MsgBox(QStringLiteral("Não Pode Definir Indíces Enquanto Não Existirem Colunas!"),
               vbExclamation, QStringLiteral("Atenção:"));
    } else {
        try {
            frmDispStructIndex::ShowIDX(*mIndexes, *mStructure, mDatabase.get(), mTableName);
        } catch (...) {
        }
    }
    lvwStructure->setFocus();
}

void frmDispStruct::ShowFind() {
    if (mStructure && mStructure->Count() >= 1) {
        try {
            // The editor follows each row the search selects, as it follows a click.
            frmDispStructFind::ShowPesq(*mStructure,
                                        [this](int Row) { lvwStructure_ItemClick(Row); });
        } catch (...) {
        }
    } else {
        MsgBox(QStringLiteral("Não Existem Colunas Criadas!"), vbInformation);
    }
    lvwStructure->setFocus();
}
