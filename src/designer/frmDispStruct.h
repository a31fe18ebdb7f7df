#pragma once
// The table designer: the columns of one table (existing, "A", or new, "N") as a list, an
// editor for one column at a time, the primary key, the indexes and the save. One default
// instance, a child window of the main window's document area; closing releases it.

#include "designer/DataTypeRules.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>

class CListViewManager;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class clsIndexesCOL;
namespace dmo {
class SQLServer;
class Database;
class Table;
class Column;
} // namespace dmo

class frmDispStruct : public QWidget {
    Q_OBJECT
public:
    // The default instance, created (and loaded) on first use; Loaded() tells whether it
    // exists.
    static frmDispStruct* Default();
    static bool Loaded();

    ~frmDispStruct() override;
    QSize sizeHint() const override;

    // Opens a table of Database on Server: Modo "A" the existing table Table of Owner, "N" a
    // new table whose name the user enters (written back into Table). Shown without
    // blocking. A second call while the window is open starts again from empty state.
    void ShowStructure(const QString& Modo, const std::shared_ptr<dmo::SQLServer>& Server,
                       const QString& Database, QString& Table, const QString& Owner);
    // Convenience: opens the default instance (created when needed).
    static void Open(const QString& Modo, const std::shared_ptr<dmo::SQLServer>& Server,
                     const QString& Database, QString& Table, const QString& Owner);

    // The open table's name; empty when none.
    QString OpenTable() const { return mTableName; }

    // Column-list commands (buttons and the main window's mnuTable).
    void AddColumn();
    void RemoveColumns();
    void SetPk();
    void RemovePk();
    void ShowIndexes();
    void ShowFind();

    // The data-type rules of TypeName over this window's editor controls and database.
    DataTypeRules GetDataTypeRules(const QString& TypeName, bool SetDefaults, bool RulesOnly);

    // The window's outer size in twips (frame and caption included).
    int OuterWidthTwips() const;
    int OuterHeightTwips() const;
    QWidget* OuterWindow() const;

    // Controls, named as the window's design names them.
    QFrame* fraBotoes = nullptr;
    QPushButton* cmdGravar = nullptr;
    QPushButton* cmdProcurar = nullptr;
    QPushButton* cmdRemovePK = nullptr;
    QPushButton* cmdPK = nullptr;
    QPushButton* cmdIdx = nullptr;
    QPushButton* cmdEliminar = nullptr;
    QPushButton* cmdNova = nullptr;

    QFrame* fraList = nullptr;
    QTreeWidget* lvwStructure = nullptr;
    QFrame* fraUpDown = nullptr;
    QToolButton* cmdUp = nullptr;
    QToolButton* cmdDown = nullptr;

    QFrame* fraControlos = nullptr;
    QLabel* lblColumnName = nullptr;
    QLineEdit* txtColumnName = nullptr;
    QLabel* lblDataType = nullptr;
    QComboBox* cboDataType = nullptr;
    QLabel* lblLength = nullptr;
    QLineEdit* txtLength = nullptr;
    QLabel* lblPrecision = nullptr;
    QLineEdit* txtPrecision = nullptr;
    QLabel* lblScale = nullptr;
    QLineEdit* txtScale = nullptr;
    QCheckBox* chkAllowNulls = nullptr;
    QLabel* lblDescription = nullptr;
    QLineEdit* txtDescription = nullptr;
    QCheckBox* chkIdentity = nullptr;
    QFrame* fraIdentity = nullptr;
    QLabel* lblIdentitySeed = nullptr;
    QLineEdit* txtSeed = nullptr;
    QLabel* lblIdentityIncrement = nullptr;
    QLineEdit* txtIncrement = nullptr;
    QCheckBox* chkUniqueIdentifier = nullptr;
    QLabel* lblFormula = nullptr;
    QLineEdit* txtFormula = nullptr;
    QLabel* lblCollation = nullptr;
    QLineEdit* txtCollation = nullptr;
    QToolButton* cmdPesqCollation = nullptr;
    QLabel* lblDefaultValue = nullptr;
    QComboBox* cboDefault = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancelar = nullptr;

    // imgListStruct: icon 1 a column, icon 2 a key (1-based as the list uses them).
    QList<QIcon> imgListStruct;

    // Window state.
    QString mModo;
    QString mOwner;
    std::shared_ptr<dmo::SQLServer> mServer;
    std::shared_ptr<dmo::Database> mDatabase;
    std::shared_ptr<dmo::Table> mTable;
    CListViewManager* mStructure = nullptr;
    QString mTypeList;
    QString mDatabaseCollation;
    std::unique_ptr<clsIndexesCOL> mIndexes;
    QString mTableName;
    bool mNewColumnPending = false;
    bool mSelectingType = false;
    // The type the editor's length, precision and scale belong to (loaded or last defaulted).
    QString mEditorType;
    // The user has just typed in the type box (the change that follows is theirs), and the
    // box's completion of that text may follow in the same key press.
    bool mTypeTyped = false;
    bool mTypeCompletionDue = false;
    // While true the data-type rules leave the identity box's value alone.
    bool mTypingType = false;
    // True while a box's leave check shows its message and puts the focus back.
    bool mChecking = false;
    // The table as loaded (ServerDefinition), for the save's check.
    QStringList mLoadedDefinition;
    // Names of the loaded columns' default constraints, by OriginalIndex.
    QHash<int, QString> mLoadedDefaultNames;
    // The box whose value its leave check refused last (cleared when it passes or the editor
    // is loaded again), and why the focus was leaving.
    QPointer<QWidget> mRefusedBox;
    Qt::FocusReason mLeaveReason = Qt::OtherFocusReason;

public slots:
    // Editor handlers.
    void lvwStructure_ItemClick(int Item);
    void cboDataType_Change();
    void cboDataType_Click();
    void cboDataType_LostFocus();
    void chkAllowNulls_Click();
    void chkIdentity_Click();
    void chkUniqueIdentifier_Click();
    void txtLength_LostFocus();
    void txtPrecision_LostFocus();
    void txtScale_LostFocus();
    void txtPrecision_Change();
    void cmdOK_Click();
    void cmdCancelar_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdPesqCollation_Click();

    // Buttons that forward to the commands.
    void cmdNova_Click() { AddColumn(); }
    void cmdEliminar_Click() { RemoveColumns(); }
    void cmdPK_Click() { SetPk(); }
    void cmdRemovePK_Click() { RemovePk(); }
    void cmdIdx_Click() { ShowIndexes(); }
    void cmdProcurar_Click() { ShowFind(); }
    void cmdGravar_Click();

    // ---------------------------------------------------------------------------------
    // Saving
    // (members of the save, its checks, scripting and rebuild)
public:
    void SaveStruct();
    bool Gravar();

    // Checks of the save, by 1-based item of the column list.
    bool ColumnChanged(int Item);
    bool DataTypeChanged(int Item);
    bool TestConversion(int Item);
    bool CheckNotNullColumns();
    // KeepName: the name a default constraint created here takes.
    void ApplyColumnDefault(const std::shared_ptr<dmo::Column>& Column, const QString& Default,
                            const QString& KeepName = QString());
    // Index, constraint and primary-key scripting.
    void ScriptIndexes(bool Drop, bool Create, bool Force);
    void CreatePrimaryKey();

private:
    // The design as it stood before a save, put back when the server refuses the save.
    struct DesignCopy {
        QList<QList<QVariant>> Rows;
        QList<bool> DropIndexOnAlter;
    };
    DesignCopy CopyDesign() const;
    void RestoreDesign(const DesignCopy& Copy);
    // The table as the check against a change made elsewhere compares it: its columns with
    // their collations, identities, computed texts and defaults, and its indexes and keys.
    QStringList ServerDefinition() const;
    // True when a stored value of the loaded column is longer than the item's new length.
    bool StoredValuesLonger(int Item);
    // True when a stored value of the loaded column, converted to the item's new type and
    // back, is no longer the same (the server converts int 123456 to varchar(5) as '*').
    bool ConversionChangesValues(int Item);
    // The loaded column's system type, lower case: a user type's base type.
    QString LoadedSystemType(int Item) const;
    void SaveExecute(const QString& Text);
    QString SaveTableRef() const;
    void MarkIndexesForAlter();
    void RemoveDeletedColumns();
    void SaveColumns();
    void SaveNewColumn(int Item);
    void SaveExistingColumn(int Item);
    void RemovePlaceholderColumn();
    void RebuildTable();
    // After the rebuild's copy: the new table's identity goes on from the old one's counter.
    void ContinueIdentity(const QString& OldRef, const QString& TempRef);
    // State of one Gravar.
    bool mSaveTransaction = false;
    bool mSaveRebuild = false;
    bool mSavePrimaryKey = false;
    QString mSavePlaceholder;
    // ---------------------------------------------------------------------------------

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmDispStruct(QWidget* parent = nullptr);

    void BuildControls();
    void Form_Load();
    void Form_Resize();
    // Places the buttons and the editor's controls for the current fonts (designed places in
    // twips as the least) and records the width they need.
    void LayoutControls();
    // Widens the list's columns whose header caption would be cut, and the type column to the
    // widest type of the type list.
    void FitListHeader();
    // Gives the name column the list's width that the other columns leave.
    void FitNameColumn();
    // The width of the list's visible columns other than NameColumn, in pixels.
    int OtherColumnsWidth(int NameColumn) const;
    // The least width of the list that shows every column, the name's with its caption whole,
    // beside a vertical scroll bar, in pixels.
    int ListLeastWidth() const;
    // Moves the window back inside the main window's document area as far as it fits.
    void KeepInsideDocumentArea();
    // Relist: the explorer lists its tables again (not when the window is destroyed alone).
    void Form_QueryUnload(bool Relist = true);

    void EnableEditing(bool Enabled);
    void ReselectItem();
    // Clears the list, the index model and the editor's lists for a new opening.
    void ResetState();
    // Loading of an existing table (steps after the caption).
    void LoadColumns();
    void LoadIndexes();
    void LoadPrimaryKey();

    // Editor.
    bool ApplyColumnEdit();
    void RenameInIndexes(const QString& OldName, const QString& NewName);
    void RemoveFromIndexes(const QString& ColumnName);
    void MarkEmptiedIndexes();
    void SetItemIcon(int ItemIndex, int Icon);
    void SelectAllText_GotFocus(QWidget* control);
    bool lvwStructure_KeyPress(int KeyAscii);
    void lvwStructure_MouseUp(int Button, const QPoint& globalPos);
    void FocusBack(QWidget* control);
    // A leave check refused Box's value: the focus goes back to it, and the click that took
    // the focus away is not carried out.
    void RefuseLeave(QWidget* Box);
    // True while the focus is back in a box whose value was refused: a button activated from
    // the keyboard then does nothing either.
    bool LeaveRefused() const;

    bool mUnloaded = false;
    // The width, in pixels, that the buttons and the editor need (LayoutControls).
    int mContentWidth = 0;
    static QPointer<frmDispStruct> s_default;
};
