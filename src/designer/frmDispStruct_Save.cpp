// Saving a design: the command, and Gravar, which creates a new table or changes an existing
// one inside one transaction (in place, or through a rebuild).
#include "designer/frmDispStruct.h"
#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "controls/ShowListDialog.h"
#include "core/HourglassGuard.h"
#include "core/MsgBox.h"
#include "core/PassOver.h"
#include "core/VarnoltError.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"
#include "dmo/Columns.h"
#include "dmo/Database.h"
#include "dmo/DmoError.h"
#include "dmo/QueryResults.h"
#include "dmo/Table.h"
#include "dmo/Tables.h"

#include <QApplication>
#include <QTreeWidget>

#include <cmath>
#include <exception>

namespace {

QString text(const CListViewManager& s, const char* field, int item) {
    return SaveScripts::Text(s, field, item);
}

} // namespace

void frmDispStruct::SaveStruct() {
    if (!mStructure)
        return;
    // 1. A pending new row is dropped first.
    if (mNewColumnPending)
        cmdCancelar_Click();

    // 2. A shrinking column may lose data: the user decides. A large-object column's loaded
    // length says nothing of its values: only values longer than the new length count there.
    // Nor may a new type that the server converts to without an error but changes values.
    for (int i = 1; i <= mStructure->Count(); ++i) {
        if (!DataTypeChanged(i))
            continue;
        bool mayLose = false;
        if (SaveScripts::Rules(text(*mStructure, "DataType", i)).UseLength) {
            const bool shorter =
                !SaveScripts::IsLargeObject(text(*mStructure, "OriginalDataType", i)) &&
                SaveScripts::Number(*mStructure, "Length", i) <
                    SaveScripts::Number(*mStructure, "OriginalLength", i);
            mayLose = shorter || StoredValuesLonger(i);
        }
        if (!mayLose && !ConversionChangesValues(i))
            continue;
        MsgBox(QStringLiteral("A Alteração à Coluna '") + text(*mStructure, "Name", i) +
                   QStringLiteral("' Poderá Resultar em Perda de Informação!"),
               vbExclamation);
        if (ShowListDialog(QStringLiteral("Pretende Continuar?"),
                           {QStringLiteral("Não"), QStringLiteral("Sim")}) != 2) {
            lvwStructure->setFocus();
            return;
        }
    }

    bool notSaved = false;
    {
        HourglassGuard hourglass;
        notSaved = Gravar();
    }
    if (notSaved)
        lvwStructure->setFocus();
    else
        OuterWindow()->close();
}

void frmDispStruct::SaveExecute(const QString& Text) {
    mDatabase->ExecuteImmediate(Text, 0);
}

frmDispStruct::DesignCopy frmDispStruct::CopyDesign() const {
    DesignCopy copy;
    if (mStructure) {
        for (int i = 1; i <= mStructure->Count(); ++i) {
            QList<QVariant> row;
            for (int c = 0; c < mStructure->ColumnCount(); ++c)
                row << mStructure->GetColumnValue(mStructure->ColumnField(c), i);
            copy.Rows << row;
        }
    }
    if (mIndexes)
        for (const clsIndexesCOL::Entry& e : *mIndexes)
            copy.DropIndexOnAlter << e->DropIndexOnAlter();
    return copy;
}

void frmDispStruct::RestoreDesign(const DesignCopy& Copy) {
    if (mStructure && mStructure->Count() == Copy.Rows.size()) {
        for (int i = 1; i <= mStructure->Count(); ++i)
            for (int c = 0; c < mStructure->ColumnCount(); ++c)
                mStructure->SetColumnValue(mStructure->ColumnField(c), Copy.Rows[i - 1].value(c),
                                           i);
    }
    if (mIndexes) {
        qsizetype x = 0;
        for (const clsIndexesCOL::Entry& e : *mIndexes)
            e->setDropIndexOnAlter(Copy.DropIndexOnAlter.value(x++));
    }
    // The table object again as the server holds it after the rollback.
    if (mModo == QLatin1String("N")) {
        mTable.reset();
        return;
    }
    PassOver([&] {
        auto tables = mDatabase->Tables();
        tables->Refresh(true);
        mTable = tables->Item(mTableName, mOwner);
        mTable->Refresh();
    });
}

bool frmDispStruct::StoredValuesLonger(int Item) {
    const QString target = SaveScripts::TypeName(text(*mStructure, "DataType", Item)).toLower();
    const QString source = LoadedSystemType(Item);
    if (!SaveScripts::HoldsBytes(source))
        return false;
    double longest = 0;
    try {
        HourglassGuard hourglass;
        const dmo::QueryResultsPtr r = mDatabase->ExecuteWithResults(
            SaveScripts::LongestValueStatement(*mStructure, Item, SaveTableRef()));
        if (r->Rows() > 0 && !r->IsNull(1, 1))
            longest = r->GetColumnString(1, 1).toDouble();
    } catch (...) {
        return false;
    }
    // Characters stored two bytes each count as one in a character type.
    const bool twoByteSource = source.startsWith(QLatin1Char('n'));
    const bool characterTarget = target.endsWith(QLatin1String("char"));
    if (twoByteSource && characterTarget)
        longest = std::ceil(longest / 2);
    return longest > SaveScripts::Number(*mStructure, "Length", Item);
}

bool frmDispStruct::Gravar() {
    bool result = false;
    const DesignCopy design = CopyDesign();
    mSaveTransaction = false;
    mSaveRebuild = false;
    mSavePrimaryKey = false;
    mSavePlaceholder.clear();

    auto rollBack = [this] {
        try {
            SaveExecute(QStringLiteral("RollBack Transaction"));
        } catch (...) {
        }
        mSaveTransaction = false;
    };

    try {
        if (!mStructure || !mDatabase)
            throw VarnoltError::invalidProcedureCall();
        const bool alter = mModo != QLatin1String("N");

        // 1. No columns.
        if (mStructure->Count() == 0) {
            MsgBox(QStringLiteral("Não Pode Gravar Sem Indicar Colunas para a Tabela!"),
                   vbExclamation, QStringLiteral("Atenção:"));
            return true;
        }

        // 2. A new table.
        if (!alter) {
            mTable = std::make_shared<dmo::Table>();
            mTable->SetName(mTableName);
        }
        if (!mTable)
            throw VarnoltError::invalidProcedureCall();

        // 3. Everything the save does is one transaction, so that a failure leaves the table
        // as it was (a new table is not left half built either).
        SaveExecute(QStringLiteral("Begin Transaction"));
        mSaveTransaction = true;

        if (alter) {
            // A table changed by someone else since it was loaded would lose what they
            // added: nothing is saved then.
            mTable->Refresh();
            if (ServerDefinition() != mLoadedDefinition) {
                MsgBox(QStringLiteral("A Tabela Foi Alterada Desde Que Foi Aberta! Feche-a e "
                                      "Abra-a de Novo."),
                       vbExclamation);
                rollBack();
                return true;
            }

            // 4. Type changes the server cannot convert.
            for (int i = 1; i <= mStructure->Count(); ++i) {
                if (SaveScripts::Number(*mStructure, "NewColumn", i) != 0 || !DataTypeChanged(i))
                    continue;
                if (!TestConversion(i))
                    continue;
                MsgBox(
                    QStringLiteral("A Alteração que Está a Tentar Fazer à Coluna ") +
                        text(*mStructure, "Name", i) +
                        QStringLiteral(" Resultará em Perda de Informação e Não Será Efectuada!"),
                    vbExclamation);
                int answer = 0;
                {
                    const bool busy = QApplication::overrideCursor() != nullptr;
                    if (busy)
                        QApplication::setOverrideCursor(Qt::ArrowCursor);
                    answer = ShowListDialog(QStringLiteral("Pretende Anular as Alterações?"),
                                            {QStringLiteral("Sim"), QStringLiteral("Não")});
                    if (busy)
                        QApplication::restoreOverrideCursor();
                }
                if (answer != 1) {
                    rollBack();
                    return true;
                }
                // The column keeps its loaded type.
                const QString loadedType = text(*mStructure, "OriginalDataType", i);
                const QString entry = M_MainMod::FindInList(mTypeList, loadedType);
                mStructure->SetColumnValue(QStringLiteral("DataType"),
                                           entry.isEmpty() ? loadedType : entry, i);
                for (const char* f : {"Length", "Precision", "Scale"})
                    mStructure->SetColumnValue(
                        QString::fromLatin1(f),
                        SaveScripts::Number(*mStructure,
                                            QByteArray("Original").append(f).constData(), i),
                        i);
            }

            // 5.
            mTable->Refresh();
            mTable->Columns()->Refresh();

            // 6. Columns that refuse nulls over rows that hold them.
            if (!CheckNotNullColumns()) {
                MsgBox(QStringLiteral("Não Pode Indicar Colunas que aceitem valores nulos se a "
                                      "tabela contiver registos!"),
                       vbExclamation);
                rollBack();
                return true;
            }

            // 7. Columns moved or added.
            for (int i = 1; i <= mStructure->Count(); ++i) {
                if (SaveScripts::Number(*mStructure, "OriginalIndex", i) != i) {
                    mSaveRebuild = true;
                    break;
                }
            }

            // 8. Indexes and key on changed columns go, then the deleted columns.
            MarkIndexesForAlter();
            ScriptIndexes(true, false, false);
            RemoveDeletedColumns();
        }

        // 9.
        SaveColumns();

        if (alter) {
            // 10.
            RemovePlaceholderColumn();
        }

        if (!mSaveRebuild || !alter) {
            // 11.
            if (!alter) {
                mDatabase->Tables()->Add(mTable);
                CreatePrimaryKey();
                ScriptIndexes(false, true, true);
            } else {
                CreatePrimaryKey();
                ScriptIndexes(false, true, false);
            }
            mTable->Columns()->Refresh(true);
            mTable->Refresh();
            SaveExecute(QStringLiteral("Commit Transaction"));
            mSaveTransaction = false;
        } else {
            // 12. Ends with the commit.
            RebuildTable();
        }

        // 13.
        mSaveTransaction = false;
        mTable.reset();
    } catch (const std::exception& e) {
        QString message;
        if (const auto* d = dynamic_cast<const dmo::DmoError*>(&e))
            message = QString::number(d->Number()) + QStringLiteral(" - ") + d->Description();
        else if (const auto* v = dynamic_cast<const VarnoltError*>(&e))
            message = QString::number(v->number()) + QStringLiteral(" - ") + v->description();
        else
            message = QStringLiteral("0 - ") + QString::fromLocal8Bit(e.what());
        MsgBox(message, vbCritical);
        if (mSaveTransaction)
            rollBack();
        // Nothing was saved: the window keeps the user's design, over the table as it is.
        RestoreDesign(design);
        result = true;
    }
    return result;
}
