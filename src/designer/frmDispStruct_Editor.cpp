// The table designer: the column editor, its checks, the apply and cancel, and the moves.
#include "core/PassOver.h"
#include "designer/frmDispStruct.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"
#include "core/MsgBox.h"
#include "core/TextHelpers.h"
#include "designer/M_MainMod.h"
#include "designer/TypingLimit.h"
#include "designer/clsIndexesCOL.h"
#include "designer/frmDispStruct_SaveScripts.h"
#include "dmo/Database.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>
#include <limits>

#include "designer/frmDispCollation.h"

namespace {

// The number a text begins with (blanks skipped, a sign allowed, and a decimal part when
// decimals is true), as text: empty when it begins with none.
QString NumberPrefix(const QString& text, bool decimals) {
    int i = 0;
    const int n = int(text.size());
    auto digits = [&] {
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
    };
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    const int start = i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    digits();
    if (decimals && i < n && text[i] == QLatin1Char('.')) {
        ++i;
        digits();
    }
    return text.mid(start, i - start);
}

// The number a text begins with (blanks skipped, a sign and a decimal part allowed); 0 when
// it begins with none.
double Val(const QString& text) {
    bool ok = false;
    const double v = NumberPrefix(text, true).toDouble(&ok);
    return ok ? v : 0.0;
}

// The whole number a text begins with, exact to the last digit (a seed may be any bigint);
// a decimal part is dropped, a number beyond bigint's range is held at its end.
qlonglong WholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong v = NumberPrefix(text, false).toLongLong(&ok);
    if (ok)
        return v;
    const double d = Val(text);
    if (d >= 9.2e18)
        return std::numeric_limits<qlonglong>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<qlonglong>::min();
    return qlonglong(d);
}

// True when the whole number a text begins with lies beyond bigint's range.
bool BeyondBigint(const QString& text) {
    const QString digits = NumberPrefix(text, false);
    bool ok = false;
    digits.toLongLong(&ok);
    return !ok && !digits.isEmpty() && digits.back().isDigit();
}

// A digits-only text as a 16-bit number; above 32767 reads as -1 (outside every range).
int Int16Of(const QString& digits) {
    if (digits.isEmpty())
        return 0;
    if (digits.size() > 5)
        return -1;
    const int v = digits.toInt();
    return v > 32767 ? -1 : v;
}

QString NumText(const QVariant& v) {
    return QString::number(v.toLongLong());
}

QString LowerTrim(const QString& s) {
    return TrimBlanks(s).toLower();
}

} // namespace

DataTypeRules frmDispStruct::GetDataTypeRules(const QString& TypeName, bool SetDefaults,
                                              bool RulesOnly) {
    DataTypeRuleControls controls;
    controls.txtLength = txtLength;
    controls.chkAllowNulls = chkAllowNulls;
    controls.cboDefault = cboDefault;
    controls.txtFormula = txtFormula;
    controls.txtCollation = txtCollation;
    controls.txtPrecision = txtPrecision;
    controls.txtScale = txtScale;
    controls.chkIdentity = chkIdentity;
    controls.chkUniqueIdentifier = chkUniqueIdentifier;
    controls.txtSeed = txtSeed;
    controls.txtIncrement = txtIncrement;
    controls.KeepIdentity = mTypingType;
    return ::GetDataTypeRules(TypeName, SetDefaults, RulesOnly, mDatabase.get(), controls);
}

void frmDispStruct::lvwStructure_ItemClick(int Item) {
    if (!mStructure)
        return;
    if (mNewColumnPending) {
        // The pending row is the last one; the editor keeps what it shows.
        QApplication::processEvents();
        PassOver([&] { mStructure->SetSelectedItem(mStructure->Count()); });
        txtColumnName->setFocus();
        return;
    }
    const int i = Item;
    if (i < 1 || i > mStructure->Count())
        return;
    mRefusedBox = nullptr; // the refused value goes with the rest of the editor
    auto value = [&](const char* field) {
        return mStructure->GetColumnValue(QString::fromLatin1(field), i);
    };
    // The order matters: each change runs that control's own handler.
    PassOver([&] { txtColumnName->setText(M_MainMod::EditName(value("Name").toString())); });
    PassOver([&] {
        mEditorType = value("DataType").toString();
        cboDataType->setEditText(mEditorType);
    });
    PassOver([&] { txtLength->setText(NumText(value("Length"))); });
    PassOver([&] { txtPrecision->setText(NumText(value("Precision"))); });
    PassOver([&] { txtScale->setText(NumText(value("Scale"))); });
    // The rules again now that the sizes are the row's: the type was applied while the boxes
    // still held the previous row's scale, which may have disabled identity.
    PassOver([&] { GetDataTypeRules(cboDataType->currentText(), false, false); });
    PassOver([&] { chkAllowNulls->setCheckState(CheckToQt(value("AllowNulls").toInt())); });
    PassOver([&] { txtDescription->setText(value("UpdatedDescription").toString()); });
    PassOver([&] { chkIdentity->setCheckState(CheckToQt(value("UpdatedIdentity").toInt())); });
    PassOver([&] { txtSeed->setText(NumText(value("UpdatedSeed"))); });
    PassOver([&] { txtIncrement->setText(NumText(value("UpdatedIncrement"))); });
    PassOver([&] {
        chkUniqueIdentifier->setCheckState(CheckToQt(value("UpdatedUniqueIdentifier").toInt()));
    });
    PassOver([&] { txtFormula->setText(value("UpdatedFormula").toString()); });
    PassOver([&] { txtCollation->setText(value("UpdatedCollation").toString()); });
    PassOver([&] { cboDefault->setEditText(value("UpdatedDefault").toString()); });
    // The identity frame follows the box even when its value did not change.
    PassOver([&] { EnableControls(this, fraIdentity, chkIdentity->isChecked(), true); });
}

void frmDispStruct::cboDataType_Change() {
    // Typed by the user, or the box's completion of what they typed: the type is not chosen
    // yet, so identity stays until the box is left; a completion writes no sizes either.
    const bool typed = mTypeTyped;
    const bool completed = !typed && mTypeCompletionDue && cboDataType->hasFocus();
    mTypeTyped = false;
    mTypeCompletionDue = typed;
    if (typed)
        QTimer::singleShot(0, this, [this] { mTypeCompletionDue = false; });
    // While the apply selects the matched entry the user's sizes are kept.
    const bool defaults = mNewColumnPending && !mSelectingType && !completed;
    mTypingType = typed || completed;
    GetDataTypeRules(cboDataType->currentText(), defaults, false);
    mTypingType = false;
}

void frmDispStruct::cboDataType_Click() {}

void frmDispStruct::cboDataType_LostFocus() {
    if (mChecking)
        return;
    mRefusedBox = nullptr;
    const QString typed = LowerTrim(cboDataType->currentText());
    for (int i = 0; i < cboDataType->count(); ++i) {
        if (LowerTrim(cboDataType->itemText(i)) != typed)
            continue;
        // Sizes start from the type's defaults when the type changed, not on every leave.
        const bool changed = typed != LowerTrim(mEditorType);
        GetDataTypeRules(cboDataType->currentText(), changed && !mSelectingType, false);
        if (changed && !mSelectingType)
            mEditorType = cboDataType->currentText();
        return;
    }
    mChecking = true;
    MsgBox(M_MainMod::GridErrorMessage(this, 1), vbExclamation);
    RefuseLeave(cboDataType);
    mChecking = false;
}

void frmDispStruct::chkAllowNulls_Click() {
    GetDataTypeRules(cboDataType->currentText(), false, false);
    if (chkAllowNulls->isChecked())
        chkIdentity->setCheckState(Qt::Unchecked);
}

void frmDispStruct::chkIdentity_Click() {
    const bool on = chkIdentity->checkState() == Qt::Checked;
    EnableControls(this, fraIdentity, on, true);
    GetDataTypeRules(cboDataType->currentText(), false, false);
    if (chkIdentity->checkState() == Qt::Checked) {
        txtIncrement->setText(QStringLiteral("1"));
        txtSeed->setText(QStringLiteral("1"));
        chkAllowNulls->setCheckState(Qt::Unchecked);
    }
}

void frmDispStruct::chkUniqueIdentifier_Click() {
    GetDataTypeRules(cboDataType->currentText(), false, false);
}

void frmDispStruct::txtPrecision_Change() {
    // The limit holds for typing only: a loaded seed such as -2147483648 is shown whole.
    const int p = int(std::lround(Val(txtPrecision->text())));
    TypingLimit::Set(txtIncrement, std::max(p, 0));
    TypingLimit::Set(txtSeed, std::max(p, 0));
    txtIncrement->setText(QStringLiteral("1"));
    txtSeed->setText(QStringLiteral("1"));
}

void frmDispStruct::txtLength_LostFocus() {
    // A box disabled by the type's rules is not checked.
    if (mChecking || !txtLength->isEnabled())
        return;
    mRefusedBox = nullptr;
    mChecking = true;
    if (!M_MainMod::IsAllDigits(txtLength)) {
        MsgBox(M_MainMod::GridErrorMessage(this, 2), vbExclamation);
        RefuseLeave(txtLength);
        mChecking = false;
        return;
    }
    const int n = Int16Of(txtLength->text());
    const QString type = LowerTrim(cboDataType->currentText());
    int lower = 0, upper = 0;
    if (type == QLatin1String("char") || type == QLatin1String("varchar") ||
        type == QLatin1String("binary") || type == QLatin1String("varbinary")) {
        lower = 1;
        upper = 8000;
    } else if (type == QLatin1String("nchar") || type == QLatin1String("nvarchar")) {
        lower = 1;
        upper = 4000;
    }
    if (n < lower || n > upper) {
        MsgBox(M_MainMod::GridErrorMessage(this, 3) + QStringLiteral("\r(") +
                   QString::number(lower) + QLatin1Char('-') + QString::number(upper) +
                   QLatin1Char(')'),
               vbExclamation);
        RefuseLeave(txtLength);
    }
    mChecking = false;
}

void frmDispStruct::txtPrecision_LostFocus() {
    // A box disabled by the type's rules is not checked.
    if (mChecking || !txtPrecision->isEnabled())
        return;
    mRefusedBox = nullptr;
    mChecking = true;
    GetDataTypeRules(cboDataType->currentText(), false, false);
    if (!M_MainMod::IsAllDigits(txtPrecision)) {
        MsgBox(M_MainMod::GridErrorMessage(this, 2), vbExclamation);
        RefuseLeave(txtPrecision);
    } else {
        const int n = Int16Of(txtPrecision->text());
        if (n < 1 || n > 38) {
            MsgBox(M_MainMod::GridErrorMessage(this, 3), vbExclamation);
            RefuseLeave(txtPrecision);
        }
    }
    mChecking = false;
}

void frmDispStruct::txtScale_LostFocus() {
    // A box disabled by the type's rules is not checked.
    if (mChecking || !txtScale->isEnabled())
        return;
    mRefusedBox = nullptr;
    mChecking = true;
    GetDataTypeRules(cboDataType->currentText(), false, false);
    if (!M_MainMod::IsAllDigits(txtScale)) {
        MsgBox(M_MainMod::GridErrorMessage(this, 2), vbExclamation);
        RefuseLeave(txtScale);
    } else {
        const int n = Int16Of(txtScale->text());
        if (n < 0 || n > 18) {
            MsgBox(M_MainMod::GridErrorMessage(this, 3), vbExclamation);
            RefuseLeave(txtScale);
        }
    }
    mChecking = false;
}

void frmDispStruct::cmdOK_Click() {
    if (!mStructure)
        return;
    if (mNewColumnPending) {
        QApplication::processEvents();
        PassOver([&] { mStructure->SetSelectedItem(mStructure->Count()); });
    }
    if (ApplyColumnEdit())
        return;
    QApplication::processEvents();
    EnableEditing(true);
    mNewColumnPending = false;
    lvwStructure->setFocus();
    lvwStructure_ItemClick(mStructure->SelectedIndex());
}

bool frmDispStruct::ApplyColumnEdit() {
    // A refusal: the message, the focus on the control to correct.
    auto refuse = [this](const QString& text, QWidget* control, const QString& title = {}) {
        mChecking = true;
        MsgBox(text, vbExclamation, title);
        FocusBack(control);
        mChecking = false;
        return true;
    };
    const QString attention = QStringLiteral("Atenção:");
    // 1. The list is the active control: nothing to apply (a pending row is still checked,
    //    so that it can never be left without a name).
    if (!mNewColumnPending && QApplication::focusWidget() == lvwStructure)
        return false;
    const int selected = mStructure->SelectedIndex();
    if (selected < 1)
        return false;
    // 2. The name.
    QString name = TrimBlanks(txtColumnName->text());
    if (name.isEmpty())
        return refuse(QStringLiteral("Não Pode Continuar Sem Indicar o Nome!"), txtColumnName);
    name = M_MainMod::ListName(name);
    txtColumnName->setText(name);
    // 3. The type must be an entry of the list; the combo then shows it as listed.
    const QString typed = LowerTrim(cboDataType->currentText());
    int match = -1;
    for (int i = 0; i < cboDataType->count(); ++i)
        if (LowerTrim(cboDataType->itemText(i)) == typed) {
            match = i;
            break;
        }
    if (match < 0)
        return refuse(M_MainMod::GridErrorMessage(this, 1), cboDataType);
    mSelectingType = true;
    cboDataType->setCurrentIndex(match);
    cboDataType->setEditText(cboDataType->itemText(match));
    cboDataType_Click();
    mSelectingType = false;
    // 4. Duplicate names; the identity column.
    int duplicates = 0;
    int identityItem = 0;
    const QString nameKey = LowerTrim(txtColumnName->text());
    for (int i = 1; i <= mStructure->Count(); ++i) {
        if (i != selected &&
            LowerTrim(mStructure->GetColumnValue(QStringLiteral("Name"), i).toString()) == nameKey)
            ++duplicates;
        if (mStructure->GetColumnValue(QStringLiteral("UpdatedIdentity"), i).toInt() == 1)
            identityItem = i;
    }
    if (duplicates > 0)
        return refuse(QStringLiteral("Não Podem Existir Nomes de Colunas Duplicados!"),
                      txtColumnName, attention);
    // 5. One identity column per table.
    if (identityItem > 0 && chkIdentity->isChecked() && identityItem != selected)
        return refuse(
            QStringLiteral("Não Pode Especificar Mais Que Uma Coluna de Identidade por Tabela!"),
            chkIdentity, attention);
    // 6-9. Sizes the type needs.
    const DataTypeRules rules = GetDataTypeRules(cboDataType->currentText(), false, true);
    if (rules.UseLength && Val(txtLength->text()) <= 0)
        return refuse(
            QStringLiteral("Não Pode Introduzir Colunas Deste Tipo Sem Indicar o Comprimento!"),
            txtLength);
    if (rules.UsePrecision && Val(txtPrecision->text()) <= 0)
        return refuse(
            QStringLiteral("Não Pode Introduzir Colunas Deste Tipo Sem Indicar a Precisão!"),
            txtPrecision);
    if (rules.UseIdentity && chkIdentity->isChecked() && Val(txtIncrement->text()) <= 0)
        return refuse(QStringLiteral("Não Pode Criar uma Coluna ID Sem Indicar o Incremento!"),
                      txtIncrement);
    // A seed or increment the server cannot hold is refused rather than written otherwise.
    if (rules.UseIdentity && chkIdentity->isChecked())
        for (QLineEdit* box : {txtSeed, txtIncrement})
            if (BeyondBigint(box->text()))
                return refuse(M_MainMod::GridErrorMessage(this, 3), box);
    // 10.
    txtColumnName->setText(TrimBlanks(ReplaceApostrophes(txtColumnName->text())));
    // 11. The indexes follow an existing column.
    if (!mNewColumnPending && mIndexes) {
        const QString oldName = M_MainMod::StripBrackets(
            mStructure->GetColumnValue(QStringLiteral("Name"), selected).toString());
        const QString newName = M_MainMod::StripBrackets(txtColumnName->text());
        RenameInIndexes(oldName, newName);
        const QString type = LowerTrim(SaveScripts::SystemType(cboDataType->currentText()));
        if (type == QLatin1String("text") || type == QLatin1String("ntext"))
            RemoveFromIndexes(newName);
        MarkEmptiedIndexes();
    }
    // 12. Write-back.
    auto set = [&](const char* field, const QVariant& value) {
        PassOver([&] { mStructure->SetColumnValue(QString::fromLatin1(field), value, selected); });
    };
    auto number = [](const QLineEdit* box) { return WholeNumber(box->text()); };
    set("Name", txtColumnName->text());
    set("DataType", cboDataType->currentText());
    set("Length", number(txtLength));
    set("Precision", number(txtPrecision));
    set("Scale", number(txtScale));
    set("AllowNulls", chkAllowNulls->isChecked() ? 1 : 0);
    set("UpdatedDescription", txtDescription->text());
    set("UpdatedIdentity", chkIdentity->isChecked() ? 1 : 0);
    set("UpdatedSeed", number(txtSeed));
    set("UpdatedIncrement", number(txtIncrement));
    set("UpdatedUniqueIdentifier", chkUniqueIdentifier->isChecked() ? 1 : 0);
    set("UpdatedFormula", txtFormula->text());
    set("UpdatedCollation", txtCollation->text());
    set("UpdatedDefault", cboDefault->currentText());
    mEditorType = cboDataType->currentText();
    return false;
}

namespace {

// Rebuilds a key-column list from its pairs: names without brackets, order letters upper-cased.
// Pairs whose name equals Drop are left out; a pair named From takes the name To.
QString RebuildKeyColumns(const QString& text, const QString& From, const QString& To,
                          const QString& Drop) {
    QString out;
    for (const M_MainMod::IndexKeyColumn& key : M_MainMod::SplitMarked(text)) {
        if (key.ColumnName.isEmpty())
            continue;
        if (!Drop.isNull() && key.ColumnName == Drop)
            continue;
        const QString name = !From.isNull() && key.ColumnName == From ? To : key.ColumnName;
        // Key-column lists hold bare names, taken as they are.
        out += M_MainMod::MarkedColumn(name, key.SortOrder.toUpper());
    }
    return out;
}

} // namespace

void frmDispStruct::RenameInIndexes(const QString& OldName, const QString& NewName) {
    if (!mIndexes || OldName.isEmpty())
        return;
    for (const clsIndexesCOL::Entry& entry : *mIndexes)
        if (entry->Act_IndexColumns().contains(M_MainMod::MarkedName(OldName), Qt::CaseSensitive))
            entry->setAct_IndexColumns(
                RebuildKeyColumns(entry->Act_IndexColumns(), OldName, NewName, QString()));
}

void frmDispStruct::RemoveFromIndexes(const QString& ColumnName) {
    if (!mIndexes || ColumnName.isEmpty())
        return;
    for (const clsIndexesCOL::Entry& entry : *mIndexes)
        if (entry->Act_IndexColumns().contains(M_MainMod::MarkedName(ColumnName),
                                               Qt::CaseSensitive))
            entry->setAct_IndexColumns(
                RebuildKeyColumns(entry->Act_IndexColumns(), QString(), QString(), ColumnName));
}

void frmDispStruct::MarkEmptiedIndexes() {
    if (!mIndexes)
        return;
    for (const clsIndexesCOL::Entry& entry : *mIndexes)
        if (TrimBlanks(entry->Act_IndexColumns()).isEmpty())
            entry->setDeleted(true);
}

void frmDispStruct::cmdCancelar_Click() {
    if (!mStructure)
        return;
    if (mNewColumnPending) {
        for (int i = 1; i <= mStructure->Count(); ++i)
            if (mStructure->GetColumnValue(QStringLiteral("Name"), i).toString().isEmpty())
                mStructure->SetTag(i, QStringLiteral("X"));
        mStructure->RemoveMarkedItems(QStringLiteral("X"));
        EnableEditing(true);
        mNewColumnPending = false;
        if (mStructure->SelectedIndex() == 0 && mStructure->Count() > 0)
            mStructure->SetSelectedItem(mStructure->Count());
    }
    lvwStructure->setFocus();
    lvwStructure_ItemClick(mStructure->SelectedIndex());
}

void frmDispStruct::cmdUp_Click() {
    if (!mStructure || mNewColumnPending) // the pending row stays last
        return;
    // The editor keeps what it shows: the move is no click on a row, whether a button or
    // Ctrl+U made it.
    const QSignalBlocker keepEditor(mStructure);
    M_MainMod::MoveListItem(lvwStructure, mStructure->Item(mStructure->SelectedIndex()), 2);
    mStructure->SetSelectedItem(mStructure->SelectedIndex());
    ReselectItem();
    lvwStructure->setFocus();
}

void frmDispStruct::cmdDown_Click() {
    if (!mStructure || mNewColumnPending)
        return;
    const QSignalBlocker keepEditor(mStructure);
    M_MainMod::MoveListItem(lvwStructure, mStructure->Item(mStructure->SelectedIndex()), 1);
    mStructure->SetSelectedItem(mStructure->SelectedIndex());
    ReselectItem();
    lvwStructure->setFocus();
}

bool frmDispStruct::lvwStructure_KeyPress(int KeyAscii) {
    if (KeyAscii == 21) {
        cmdUp_Click();
        return true;
    }
    if (KeyAscii == 4) {
        cmdDown_Click();
        return true;
    }
    return false;
}

void frmDispStruct::lvwStructure_MouseUp(int Button, const QPoint& globalPos) {
    if (Button != 2 || !fraBotoes->isEnabled())
        return;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* menu = top->findChild<QMenu*>(QStringLiteral("mnuTable"))) {
            menu->setDefaultAction(nullptr);
            menu->popup(globalPos);
            return;
        }
    }
}

void frmDispStruct::cmdPesqCollation_Click() {
    QString current;
    PassOver([&] {
        current = mStructure->GetColumnValue(QStringLiteral("UpdatedCollation")).toString();
    });
    if (current.isEmpty())
        current = mDatabaseCollation;
    PassOver([&] {
        txtCollation->setText(frmDispCollation::ShowCollation(mServer.get(), this, current));
    });
    txtCollation->setFocus();
}
