#pragma once
// The index editor "Índices": edits a private copy of the designer's index model (indexes and
// unique constraints of the table) and, on OK, hands the copy back. Nothing reaches the server;
// the primary key's entry travels along but is neither listed nor edited here.

#include "designer/clsIndexesCOL.h"

#include <QDialog>
#include <QString>

class CListViewManager;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
namespace dmo {
class Database;
}

class frmDispStructIndex : public QDialog {
    Q_OBJECT
public:
    // Opens the editor modally over the main window on a copy of clsIDX. The key columns
    // offered are the rows of clsLvwColumns (the designer's column list: fields Name, DataType,
    // OriginalName) whose type is neither text nor ntext; oDataBase (may be null) gives the
    // filegroups; TableName makes new index names. True after OK, with every entry of clsIDX
    // replaced by a copy of the edited ones (deleted ones included, flagged Deleted); False
    // after Cancel or a close, and when no column can be indexed (nothing is shown then); on
    // False clsIDX is left untouched.
    static bool ShowIDX(clsIndexesCOL& clsIDX, CListViewManager& clsLvwColumns,
                        dmo::Database* oDataBase, const QString& TableName);

    // The window while ShowIDX runs (tests find it here), else nullptr.
    static frmDispStructIndex* Current();

    ~frmDispStructIndex() override;

    // Controls, named as the window's design names them.
    QMenuBar* menuBar = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuDelete = nullptr;
    QGroupBox* fraControlos = nullptr;
    QLabel* lblIndex = nullptr;
    QComboBox* cboIndex = nullptr;
    QLabel* lblIndexName = nullptr;
    QLineEdit* txtIndexName = nullptr;
    QGroupBox* fraList = nullptr;
    QLabel* lblColumns = nullptr;
    QTreeWidget* lvwColumns = nullptr;
    QLabel* lblOrdem = nullptr;
    QComboBox* cboOrdem = nullptr;
    QLabel* lblFileGroup = nullptr;
    QComboBox* cboFileGroup = nullptr;
    QLabel* lblFillFactor = nullptr;
    QLineEdit* txtFillFactor = nullptr;
    QLabel* lblPercent = nullptr;
    QCheckBox* chkPadIndex = nullptr;
    QCheckBox* chkUnique = nullptr;
    QGroupBox* fraUnique = nullptr;
    QRadioButton* optConstraint = nullptr;
    QRadioButton* optIndex = nullptr;
    QCheckBox* chkIgnoreDupKeys = nullptr;
    QCheckBox* chkClustered = nullptr;
    QCheckBox* chkNoRecompute = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancelar = nullptr;

    // The key-column list's manager (fields Name, Order, OldName).
    CListViewManager* ColumnList() const { return mColumnList; }
    // The working copy of the model.
    const clsIndexesCOL& WorkIndexes() const { return mWorkIndexes; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    explicit frmDispStructIndex(QWidget* parent = nullptr);

    void Form_Load();
    void FillColumns();
    void SaveCurrentIndex(const QString& IndexName);
    // The key-column list of the checked rows, in the key order of Current.
    QString CheckedKeyColumns(const QString& Current) const;
    void EnableEditing(bool enabled);
    // Selects an entry of cboIndex and shows its index, even when it was already selected.
    void SelectIndexEntry(int position);
    // Runs the focus-loss checks of the name and fill-factor boxes for text typed since.
    void CommitPendingEdits();
    bool NameTaken(const QString& name, int exceptPosition) const;

    void cboIndex_Click();
    void cboFileGroup_Click();
    void chkClustered_Click();
    void chkIgnoreDupKeys_Click();
    void chkNoRecompute_Click();
    void chkUnique_Click();
    void optConstraint_Click();
    void optIndex_Click();
    void lvwColumns_ItemCheck(int Item);
    void lvwColumns_ItemClick(int Item);
    void cboOrdem_Click();
    void txtIndexName_LostFocus();
    void txtFillFactor_LostFocus();
    void mnuNew_Click();
    void mnuDelete_Click();
    void cmdOK_Click();
    void cmdCancelar_Click();

    clsIndexesCOL mWorkIndexes;
    bool mCancelled = false;
    bool mLoading = false;
    bool mShowing = false; // an index is being put on the controls: no saves
    bool mNameEdited = false;
    bool mFillFactorEdited = false;
    CListViewManager* clsLvwColumns = nullptr;
    QString TableName;
    CListViewManager* mColumnList = nullptr;
    QString mOrderList;
};
