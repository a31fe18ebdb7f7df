// The table designer: building the window and loading a table into it.
#include "core/PassOver.h"
#include "designer/frmDispStruct.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"
#include "core/MsgBox.h"
#include "core/TextHelpers.h"
#include "designer/ColumnRecord.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"
#include "designer/frmDispStruct_SaveScripts.h"
#include "dmo/Column.h"
#include "dmo/Columns.h"
#include "dmo/DRIDefault.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/Defaults.h"
#include "dmo/Index.h"
#include "dmo/Indexes.h"
#include "dmo/Key.h"
#include "dmo/QueryResults.h"
#include "dmo/SQLServer.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"
#include "dmo/Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include "designer/frmDispStructName.h"

void frmDispStruct::Form_Load() {
    // 1. Help context, then the list's own.
    SetHelpContextID(this, 10000);
    SetHelpContext(this);
    SetHelpContextID(lvwStructure, 100002);
    // 2.
    mStructure = new CListViewManager(this);
    mStructure->setListView(lvwStructure);
    connect(mStructure, &CListViewManager::ItemClick, this, &frmDispStruct::lvwStructure_ItemClick);
    // 3. The column record.
    AppendColumnRecord(*mStructure, this);
    // 4. Captions.
    const struct {
        QWidget* control;
        int caption;
    } captions[] = {
        {lblColumnName, 8},
        {lblDataType, 9},
        {lblLength, 10},
        {chkAllowNulls, 11},
        {lblDescription, 12},
        {lblDefaultValue, 13},
        {lblPrecision, 14},
        {lblScale, 15},
        {chkIdentity, 16},
        {lblIdentitySeed, 17},
        {lblIdentityIncrement, 18},
        {lblFormula, 19},
        {lblCollation, 20},
    };
    for (const auto& c : captions) {
        const QString text = M_MainMod::SetStructCaptions(this, c.caption);
        if (auto* l = qobject_cast<QLabel*>(c.control))
            l->setText(text);
        else if (auto* b = qobject_cast<QCheckBox*>(c.control))
            b->setText(text);
    }
    lblColumnName->setBuddy(txtColumnName);
    lblDataType->setBuddy(cboDataType);
    lblLength->setBuddy(txtLength);
    lblDescription->setBuddy(txtDescription);
    lblDefaultValue->setBuddy(cboDefault);
    lblPrecision->setBuddy(txtPrecision);
    lblScale->setBuddy(txtScale);
    lblIdentitySeed->setBuddy(txtSeed);
    lblIdentityIncrement->setBuddy(txtIncrement);
    lblFormula->setBuddy(txtFormula);
    lblCollation->setBuddy(txtCollation);
    // 5. No column-click sorting, and headers that do not react to clicks.
    mStructure->setAllowSorting(false);
    lvwStructure->header()->setSectionsClickable(false);
    mIndexes = std::make_unique<clsIndexesCOL>();
}

void frmDispStruct::ResetState() {
    PassOver([&] { mStructure->Clear(); });
    mIndexes = std::make_unique<clsIndexesCOL>();
    mTable.reset();
    mTableName.clear();
    mLoadedDefinition.clear();
    mLoadedDefaultNames.clear();
    const QSignalBlocker b1(cboDataType);
    const QSignalBlocker b2(cboDefault);
    cboDataType->clear();
    cboDefault->clear();
    // The editor shows nothing of the table held before.
    for (QLineEdit* box : {txtColumnName, txtLength, txtPrecision, txtScale, txtDescription,
                           txtSeed, txtIncrement, txtFormula, txtCollation})
        box->clear();
    chkAllowNulls->setCheckState(Qt::Unchecked);
    chkIdentity->setCheckState(Qt::Unchecked);
    chkUniqueIdentifier->setCheckState(Qt::Unchecked);
    mEditorType.clear();
    EnableEditing(true);
}

void frmDispStruct::ShowStructure(const QString& Modo,
                                  const std::shared_ptr<dmo::SQLServer>& Server,
                                  const QString& Database, QString& Table, const QString& Owner) {
    // A second opening starts from empty state: the window holds one table at a time.
    ResetState();
    // 1.
    mModo = Modo;
    mOwner = Owner;
    mNewColumnPending = false;
    mSelectingType = false;
    mServer = Server;
    // 2.
    mDatabase.reset();
    PassOver([&] {
        auto databases = mServer->Databases();
        databases->Refresh(true);
        mDatabase = databases->Item(Database);
        mDatabase->Tables()->Refresh(true);
    });
    // 3.
    mTypeList.clear();
    PassOver([&] {
        if (mDatabase)
            mTypeList = M_MainMod::ListaTipos(*mDatabase, true, true, true);
    });
    // 4. (The window was loaded when the instance was made.)
    // 5.
    {
        const QSignalBlocker block(cboDataType);
        for (const QString& line : mTypeList.split(QLatin1Char('\r'), Qt::SkipEmptyParts))
            cboDataType->addItem(line);
        cboDataType->setCurrentIndex(-1);
        cboDataType->setEditText(QString());
    }
    // 6.
    mDatabaseCollation.clear();
    PassOver([&] { mDatabaseCollation = mDatabase->Collation(); });
    mIndexes = std::make_unique<clsIndexesCOL>();
    // 7.
    {
        const QSignalBlocker block(cboDefault);
        cboDefault->addItem(QString());
        PassOver([&] {
            auto defaults = mDatabase->Defaults();
            for (int i = 1; i <= defaults->Count(); ++i)
                cboDefault->addItem(defaults->Item(i)->Name());
        });
        cboDefault->setCurrentIndex(0);
    }
    const QString serverName = [&] {
        try {
            return mServer ? mServer->Name() : QString();
        } catch (...) {
            return QString();
        }
    }();

    if (mModo == QLatin1String("N")) {
        // 8. The new table's name.
        bool accepted = false;
        PassOver([&] { accepted = frmDispStructName::ShowName(mDatabase.get(), mTableName); });
        if (!accepted) {
            mDatabase.reset();
            OuterWindow()->close();
            return;
        }
        Table = mTableName;
        setWindowTitle(M_MainMod::SetStructCaptions(this, 23) + QStringLiteral(" [") + serverName +
                       QStringLiteral("].[") + Database + QStringLiteral("] [") + mTableName +
                       QStringLiteral("]"));
    } else {
        // 9. The existing table.
        mTableName = Table;
        setWindowTitle(M_MainMod::SetStructCaptions(this, 24) + QStringLiteral(" [") + serverName +
                       QStringLiteral("].[") + Database + QStringLiteral("].[") + Owner +
                       QStringLiteral("].[") + Table + QStringLiteral("]"));
        QString foundName;
        PassOver([&] {
            auto tables = mDatabase->Tables();
            tables->Refresh(true);
            mTable = std::make_shared<dmo::Table>();
            mTable = tables->Item(Table, Owner);
            foundName = mTable->Name();
        });
        // 10. Dropped meanwhile.
        if (foundName.isEmpty()) {
            MsgBox(QStringLiteral("A Tabela Seleccionada Foi Eliminada da Base de Dados!"),
                   vbExclamation);
            mTable.reset();
            mTableName.clear();
            OuterWindow()->close();
            return;
        }
        // 11-13.
        LoadColumns();
        LoadIndexes();
        LoadPrimaryKey();
        PassOver([&] { mLoadedDefinition = ServerDefinition(); });
        // 14.
        PassOver([&] {
            txtColumnName->setFocus();
            mStructure->SetSelectedItem(1);
            lvwStructure->setFocus();
            lvwStructure_ItemClick(mStructure->SelectedIndex());
        });
    }
    // 15. Shown without blocking, inside the main window's document area.
    FitListHeader();
    QWidget* outer = OuterWindow();
    outer->show();
    show();
    KeepInsideDocumentArea();
    outer->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(outer))
        if (QMdiArea* mdi = sub->mdiArea())
            mdi->setActiveSubWindow(sub);
    activateWindow();
}

void frmDispStruct::LoadColumns() {
    PassOver([&] { mTable->Refresh(); });
    std::shared_ptr<dmo::Columns> columns;
    PassOver([&] {
        columns = mTable->Columns();
        columns->Refresh(true);
    });
    if (!columns)
        return;
    int count = 0;
    PassOver([&] { count = columns->Count(); });
    for (int c = 1; c <= count; ++c) {
        PassOver([&] {
            const dmo::ColumnPtr col = columns->Item(c);
            const QString typeEntry = M_MainMod::FindInList(mTypeList, col->Datatype());
            const int i = mStructure->AddNewItem();
            mStructure->SetColumnValue(QStringLiteral("OriginalIndex"), i, i);
            const QString name = M_MainMod::BracketName(col->Name());
            QString defaultText;
            PassOver([&] { defaultText = col->Default(); });
            PassOver([&] {
                defaultText += col->DRIDefault()->Text();
                if (!col->DRIDefault()->Text().isEmpty())
                    mLoadedDefaultNames.insert(i, col->DRIDefault()->Name());
            });
            auto set = [&](const char* field, const QVariant& value) {
                PassOver([&] { mStructure->SetColumnValue(QString::fromLatin1(field), value, i); });
            };
            set("Name", name);
            set("DataType", typeEntry);
            set("Length", col->Length());
            set("Precision", col->NumericPrecision());
            set("Scale", col->NumericScale());
            set("AllowNulls", BoolToCheck(col->AllowNulls()));
            set("UpdatedDescription", QString());
            set("UpdatedIdentity", BoolToCheck(col->Identity()));
            set("UpdatedSeed", col->IdentitySeed());
            set("UpdatedIncrement", col->IdentityIncrement());
            set("UpdatedUniqueIdentifier", BoolToCheck(col->IsRowGuidCol()));
            set("UpdatedFormula", col->ComputedText());
            set("UpdatedCollation", col->Collation());
            set("UpdatedDefault", defaultText);
            set("NewColumn", 0);
            set("OriginalName", name);
            set("OriginalDataType", col->Datatype());
            set("OriginalLength", col->Length());
            set("OriginalAllowNulls", BoolToCheck(col->AllowNulls()));
            set("OriginalDescription", QString());
            set("OriginalPrecision", col->NumericPrecision());
            set("OriginalScale", col->NumericScale());
            set("OriginalIdentity", BoolToCheck(col->Identity()));
            set("OriginalSeed", col->IdentitySeed());
            set("OriginalIncrement", col->IdentityIncrement());
            set("OriginalUniqueIdentifier", BoolToCheck(col->IsRowGuidCol()));
            set("OriginalFormula", col->ComputedText());
            set("OriginalCollation", col->Collation());
            set("OriginalDefault", defaultText);
            set("OriginalIndex", i);
            set("PrimaryKey", QStringLiteral("0"));
            SetItemIcon(i, 1);
        });
    }
}

QStringList frmDispStruct::ServerDefinition() const {
    // A value that cannot be read reads empty, at loading and at saving alike.
    auto read = [](const auto& value) -> QString {
        try {
            return value();
        } catch (...) {
            return QString();
        }
    };
    const QChar separator(0x1f);
    QStringList out;
    const auto columns = mTable->Columns();
    for (int c = 1; c <= columns->Count(); ++c) {
        const dmo::ColumnPtr col = columns->Item(c);
        out << QStringList{
            col->Name(),
            col->Datatype().toLower(),
            QString::number(col->Length()),
            QString::number(col->NumericPrecision()),
            QString::number(col->NumericScale()),
            col->AllowNulls() ? QStringLiteral("1") : QStringLiteral("0"),
            col->Collation(),
            col->Identity()
                ? QStringLiteral("%1,%2").arg(col->IdentitySeed()).arg(col->IdentityIncrement())
                : QString(),
            col->IsRowGuidCol() ? QStringLiteral("1") : QStringLiteral("0"),
            col->IsComputed() ? col->ComputedText() : QString(),
            read([&] { return col->Default(); }),
            read([&] { return col->DRIDefault()->Name(); }),
            read([&] {
                return col->DRIDefault()->Text();
            })}.join(separator);
    }
    const auto indexes = mTable->Indexes();
    for (int x = 1; x <= indexes->Count(); ++x) {
        const dmo::IndexPtr idx = indexes->Item(x);
        QStringList index{idx->Name(), QString::number(idx->Type()),
                          QString::number(idx->FillFactor()), idx->FileGroup()};
        const dmo::NamesPtr keys = idx->ListIndexedColumns();
        for (int k = 1; k <= keys->Count(); ++k)
            index << keys->Item(k) + (idx->GetIndexedColumnDESC(keys->Item(k))
                                          ? QStringLiteral("(-)")
                                          : QString());
        out << index.join(separator);
    }
    return out;
}

void frmDispStruct::LoadIndexes() {
    std::shared_ptr<dmo::Indexes> indexes;
    PassOver([&] {
        indexes = mTable->Indexes();
        indexes->Refresh(true);
    });
    if (!indexes)
        return;
    // The server's descriptions of the indexes (the owner's table, whatever its name holds,
    // quoted as a T-SQL string).
    dmo::QueryResultsPtr help;
    PassOver([&] {
        const QString owner = mTable->Owner().isEmpty() ? mOwner : mTable->Owner();
        help = mDatabase->ExecuteWithResults(
            QStringLiteral("sp_helpindex ") +
            dmo::sql::quoteString(dmo::sql::qualified(owner, mTable->Name())));
    });
    int count = 0;
    PassOver([&] { count = indexes->Count(); });
    for (int x = 1; x <= count; ++x) {
        PassOver([&] {
            const dmo::IndexPtr idx = indexes->Item(x);
            QString keyColumns;
            const dmo::NamesPtr cols = idx->ListIndexedColumns();
            for (int k = 1; k <= cols->Count(); ++k) {
                const QString col = cols->Item(k);
                bool desc = false;
                PassOver([&] { desc = idx->GetIndexedColumnDESC(col); });
                keyColumns +=
                    M_MainMod::MarkedColumn(col, desc ? QStringLiteral("D") : QStringLiteral("A"));
                for (int i = 1; i <= mStructure->Count(); ++i) {
                    const QString name =
                        M_MainMod::StripBrackets(mStructure->GetColumnValue("Name", i).toString());
                    if (name == col) {
                        mStructure->SetColumnValue(QStringLiteral("HasBindedIndex"), 1, i);
                        break;
                    }
                }
            }
            bool unique = false, constraint = false, ignoreDup = false, clustered = true;
            bool found = false;
            if (help && help->Rows() > 0) {
                for (int r = 1; r <= help->Rows(); ++r) {
                    if (help->GetColumnString(r, 1) != idx->Name())
                        continue;
                    // The description's pieces, without the filegroup's name that follows
                    // them (whatever words that name holds).
                    QString d = help->GetColumnString(r, 2).toLower();
                    const qsizetype located = d.indexOf(QLatin1String(" located on "));
                    if (located >= 0)
                        d.truncate(located);
                    const QStringList pieces = d.split(QStringLiteral(", "));
                    unique = pieces.contains(QLatin1String("unique"));
                    constraint = pieces.contains(QLatin1String("unique key"));
                    ignoreDup = pieces.contains(QLatin1String("ignore duplicate keys"));
                    if (pieces.contains(QLatin1String("nonclustered")))
                        clustered = false;
                    found = true;
                    break;
                }
            }
            if (found)
                mIndexes->Add(false, idx->Name(), idx->Type(), idx->FileGroup(), idx->FillFactor(),
                              idx->FullTextKey(), idx->ID(), idx->IsOnComputed(),
                              idx->NoRecompute(), 0, idx->StatisticsIndex(), keyColumns, clustered,
                              constraint, ignoreDup, unique);
        });
    }
}

void frmDispStruct::LoadPrimaryKey() {
    PassOver([&] {
        const dmo::KeyPtr pk = mTable->PrimaryKey();
        if (!pk)
            return;
        const QString keyName = pk->Name();
        PassOver([&] {
            if (auto entry = mIndexes->FindIDX(keyName))
                entry->setIndexIsPK(true);
        });
        auto indexes = mTable->Indexes();
        for (int x = 1; x <= indexes->Count(); ++x) {
            const dmo::IndexPtr idx = indexes->Item(x);
            if (idx->Name() != keyName)
                continue;
            const dmo::NamesPtr cols = idx->ListIndexedColumns();
            for (int k = 1; k <= cols->Count(); ++k) {
                const QString col = cols->Item(k);
                for (int i = 1; i <= mStructure->Count(); ++i) {
                    const QString name =
                        M_MainMod::StripBrackets(mStructure->GetColumnValue("Name", i).toString());
                    if (name == col) {
                        mStructure->SetColumnValue(QStringLiteral("PrimaryKey"),
                                                   QStringLiteral("1"), i);
                        SetItemIcon(i, 2);
                    }
                }
            }
        }
    });
}
