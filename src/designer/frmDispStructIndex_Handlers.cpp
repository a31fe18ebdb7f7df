// The index editor's event handlers: showing, editing, renaming, new, delete and OK.
#include "designer/frmDispStructIndex.h"

#include "controls/CListViewManager.h"
#include "controls/ShowListDialog.h"
#include "core/FormHelpers.h"
#include "core/MsgBox.h"
#include "core/TextHelpers.h"
#include "designer/M_MainMod.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

const QString kName = QStringLiteral("Name");
const QString kOrder = QStringLiteral("Order");

// Sets a flag for the lifetime of the guard and puts back its old value.
struct FlagGuard {
    explicit FlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = old_; }
    bool& flag_;
    bool old_;
};

} // namespace

void frmDispStructIndex::cboIndex_Click() {
    // Nothing is saved while an index is put on the controls: it shows its own values only.
    FlagGuard showing(mShowing);
    txtIndexName->setText(cboIndex->currentText());
    mNameEdited = false;
    const clsIndexesCOL::Entry e = mWorkIndexes.FindIDX(cboIndex->currentText());
    if (e) {
        const QString group = TrimBlanks(e->Act_FileGroup()).toLower();
        for (int i = 0; i < cboFileGroup->count(); ++i)
            if (TrimBlanks(cboFileGroup->itemText(i)).toLower() == group) {
                cboFileGroup->setCurrentIndex(i);
                break;
            }
        // The index's own settings, also those a plain index keeps for when it is made
        // unique: nothing stays from the index shown before.
        if (e->Act_Constraint())
            optConstraint->setChecked(true);
        else
            optIndex->setChecked(true);
        chkIgnoreDupKeys->setChecked(!e->Act_Constraint() && e->Act_IgnoreDupKeys());
        chkUnique->setChecked(e->Act_Unique());
        txtFillFactor->setText(QString::number(e->Act_FillFactor()));
        mFillFactorEdited = false;
        chkClustered->setChecked(e->Act_Clustered());
        chkNoRecompute->setChecked(e->Act_NoRecompute());
        for (int i = 1; i <= mColumnList->Count(); ++i) {
            mColumnList->SetChecked(i, false);
            mColumnList->SetColumnValue(kOrder, QString(), i);
        }
        for (const M_MainMod::IndexKeyColumn& pair :
             M_MainMod::SplitMarked(e->Act_IndexColumns())) {
            if (pair.ColumnName.isEmpty())
                continue;
            for (int i = 1; i <= mColumnList->Count(); ++i) {
                if (M_MainMod::StripBrackets(mColumnList->GetColumnValue(kName, i).toString()) ==
                    pair.ColumnName) {
                    mColumnList->SetChecked(i, true);
                    mColumnList->SetColumnValue(kOrder, pair.SortOrder, i);
                    break;
                }
            }
        }
    }
    if (cboIndex->currentText().isEmpty()) {
        txtIndexName->clear();
        chkUnique->setChecked(false);
        for (int i = 1; i <= mColumnList->Count(); ++i) {
            mColumnList->SetChecked(i, false);
            mColumnList->SetColumnValue(kOrder, QString(), i);
        }
        chkClustered->setChecked(false);
        txtFillFactor->setText(QStringLiteral("0"));
        chkNoRecompute->setChecked(false);
    }
    // The direction box follows the selected key column of the index now shown.
    if (const int row = mColumnList->SelectedIndex())
        lvwColumns_ItemClick(row);
}

void frmDispStructIndex::cboFileGroup_Click() {
    SaveCurrentIndex({});
}

void frmDispStructIndex::chkClustered_Click() {
    SaveCurrentIndex({});
}

void frmDispStructIndex::chkIgnoreDupKeys_Click() {
    SaveCurrentIndex({});
}

void frmDispStructIndex::chkNoRecompute_Click() {
    SaveCurrentIndex({});
}

void frmDispStructIndex::chkUnique_Click() {
    const bool on = chkUnique->isChecked();
    EnableControls(this, fraUnique, on, true);
    mnuDelete->setEnabled(true);
    mnuNew->setEnabled(true);
    if (on) {
        if (optConstraint->isChecked())
            optConstraint_Click();
        else
            optIndex_Click();
    } else {
        chkIgnoreDupKeys->setEnabled(false);
    }
    SaveCurrentIndex({});
}

void frmDispStructIndex::optConstraint_Click() {
    // A constraint never ignores duplicate keys; the index keeps its own option for when it
    // is made an index again.
    {
        FlagGuard showing(mShowing);
        chkIgnoreDupKeys->setChecked(false);
    }
    chkIgnoreDupKeys->setEnabled(false);
    SaveCurrentIndex({});
}

void frmDispStructIndex::optIndex_Click() {
    {
        FlagGuard showing(mShowing);
        const clsIndexesCOL::Entry e = mWorkIndexes.FindIDX(cboIndex->currentText());
        chkIgnoreDupKeys->setChecked(e && e->Act_IgnoreDupKeys());
    }
    chkIgnoreDupKeys->setEnabled(chkUnique->isChecked());
    SaveCurrentIndex({});
}

void frmDispStructIndex::lvwColumns_ItemCheck(int Item) {
    mColumnList->SetColumnValue(kOrder,
                                mColumnList->Checked(Item) ? QStringLiteral("A") : QString(), Item);
    SaveCurrentIndex({});
    mColumnList->SetSelectedItem(Item);
    lvwColumns_ItemClick(Item);
}

void frmDispStructIndex::lvwColumns_ItemClick(int Item) {
    const QString d = mColumnList->GetColumnValue(kOrder).toString().left(1);
    const QSignalBlocker block(cboOrdem);
    cboOrdem->clear();
    if (mColumnList->Checked(Item)) {
        cboOrdem->setEnabled(true);
        cboOrdem->addItems({QStringLiteral("Ascendente"), QStringLiteral("Descendente")});
        cboOrdem->setCurrentIndex(d == QLatin1String("D") ? 1 : 0);
    } else {
        cboOrdem->setEnabled(false);
        cboOrdem->addItem(QString());
        cboOrdem->setCurrentIndex(0);
    }
}

void frmDispStructIndex::cboOrdem_Click() {
    const QString d = cboOrdem->currentText().left(1);
    mColumnList->SetColumnValue(kOrder, d);
    SaveCurrentIndex({});
}

void frmDispStructIndex::txtIndexName_LostFocus() {
    mNameEdited = false;
    if (cboIndex->currentText().isEmpty())
        return;
    const QString n = txtIndexName->text();
    const int selected = cboIndex->currentIndex();
    if (TrimBlanks(n).isEmpty()) {
        MsgBox(QStringLiteral("Tem que Indicar um Nome para o Índice!"), vbExclamation,
               QStringLiteral("Atenção:"));
        txtIndexName->setText(cboIndex->currentText());
        return;
    }
    if (NameTaken(n, selected)) {
        MsgBox(QStringLiteral("Já Existe um Índice com o Nome Seleccionado!"), vbExclamation,
               QStringLiteral("Os Nomes Têm Que Ser Únicos:"));
        txtIndexName->setText(cboIndex->currentText());
        return;
    }
    SaveCurrentIndex(cboIndex->currentText());
    const QSignalBlocker block(cboIndex);
    cboIndex->setItemText(selected, n);
}

void frmDispStructIndex::txtFillFactor_LostFocus() {
    mFillFactorEdited = false;
    if (!M_MainMod::IsAllDigits(txtFillFactor)) {
        MsgBox(QStringLiteral("Um ou Mais Caracteres Introduzidos Não São Válidos!"),
               vbExclamation);
        txtFillFactor->setText(QStringLiteral("0"));
        txtFillFactor->setFocus();
    }
    const double v = txtFillFactor->text().isEmpty() ? 0.0 : txtFillFactor->text().toDouble();
    if (v < 0 || v > 100) {
        MsgBox(QStringLiteral("O Valor Introduzido está Fora dos Limites Aceitáveis (") +
                   QString::number(0) + QStringLiteral(" a ") + QString::number(100) +
                   QLatin1Char(')'),
               vbExclamation);
        txtFillFactor->setText(QStringLiteral("0"));
        txtFillFactor->setFocus();
    }
    // The box and its index agree: what the box shows is what is saved.
    SaveCurrentIndex({});
}

void frmDispStructIndex::mnuNew_Click() {
    CommitPendingEdits();
    // Joined, not formatted: the table's name may hold "%1".
    QString name = QStringLiteral("IX_") + TableName + QLatin1Char('_') +
                   QString::number(cboIndex->count() + 2);
    for (bool again = true; again;) {
        again = false;
        const QString wanted = TrimBlanks(name).toLower();
        for (int p = 0; p < cboIndex->count(); ++p)
            if (TrimBlanks(cboIndex->itemText(p)).toLower() == wanted) {
                name += QLatin1Char('_') + QString::number(p);
                again = true;
                break;
            }
        if (!again && NameTaken(name, -1)) { // the primary key's name
            name += QLatin1Char('_') + QString::number(cboIndex->count());
            again = true;
        }
    }
    {
        const QSignalBlocker block(cboIndex);
        cboIndex->addItem(name);
    }
    const clsIndexesCOL::Entry e =
        mWorkIndexes.Add(true, name, 0, cboFileGroup->currentText(), 0, false, 0, false, false, 0,
                         false, QString(), false, false, false, false);
    e->setCreatedAgora(true);
    SelectIndexEntry(cboIndex->count() - 1);
    EnableEditing(true);
}

void frmDispStructIndex::mnuDelete_Click() {
    CommitPendingEdits();
    if (cboIndex->currentText().isEmpty())
        return;
    if (ShowListDialog(QStringLiteral("Pretende Eliminar?"),
                       {QStringLiteral("Não"), QStringLiteral("Sim")}) != 2) {
        cboIndex->setFocus();
        return;
    }
    if (const clsIndexesCOL::Entry e = mWorkIndexes.FindIDX(cboIndex->currentText())) {
        e->setDeleted(true);
        e->setDeletedAgora(true);
    }
    const int p = cboIndex->currentIndex();
    {
        const QSignalBlocker block(cboIndex);
        cboIndex->removeItem(p);
        cboIndex->setCurrentIndex(-1);
    }
    if (cboIndex->count() > 0) {
        SelectIndexEntry(p < cboIndex->count() ? p : cboIndex->count() - 1);
    } else {
        EnableEditing(false);
        txtIndexName->clear();
        chkUnique->setChecked(false);
        chkClustered->setChecked(false);
        chkNoRecompute->setChecked(false);
        for (int i = 1; i <= mColumnList->Count(); ++i) {
            mColumnList->SetChecked(i, false);
            lvwColumns_ItemCheck(i);
        }
    }
    cboIndex->setFocus();
}

void frmDispStructIndex::cmdOK_Click() {
    QCoreApplication::processEvents();
    CommitPendingEdits();
    const auto selectListed = [this](const QString& name) {
        const int p = cboIndex->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (p >= 0) {
            SelectIndexEntry(p);
            cboIndex->setFocus();
        }
    };
    if (!cboIndex->currentText().isEmpty()) {
        int clustered = 0;
        clsIndexesCOL::Entry second;
        for (const auto& e : mWorkIndexes) {
            if (e->Deleted())
                continue;
            if (e->Act_Clustered() && ++clustered == 2) {
                second = e;
                break;
            }
            if (e->Act_IndexColumns().isEmpty()) {
                MsgBox(QStringLiteral("Não Pode Introduzir Índices Sem Colunas Definidas!"),
                       vbExclamation, QStringLiteral("Atenção:"));
                selectListed(e->Act_IndexName());
                return;
            }
        }
        if (second) {
            MsgBox(QStringLiteral(
                       "Não Pode Introduzir Mais do que Um Índice Agregado na Mesma Tabela!"),
                   vbExclamation, QStringLiteral("Atenção:"));
            selectListed(second->Act_IndexName());
            return;
        }
    }
    for (const auto& e : mWorkIndexes) {
        e->setDeletedAgora(false);
        e->setCreatedAgora(false);
    }
    mCancelled = false;
    done(Accepted);
}

void frmDispStructIndex::cmdCancelar_Click() {
    mCancelled = true;
    done(Rejected);
}
