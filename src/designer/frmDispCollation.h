#pragma once
// The collation picker "Páginas de Código (Collations)": lists the server's SQL Server
// collations whole and its Windows collations by designator (the name before its sort-order
// options), and composes from the sort order and sensitivity options a Windows collation name
// the server has.

#include <QDialog>
#include <QHash>
#include <QString>

class CListViewManager;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTreeWidget;
namespace dmo {
class SQLServer;
}

class frmDispCollation : public QDialog {
    Q_OBJECT
public:
    // Opens the picker modally, centred over ParentForm (may be null: the screen), with
    // OriginalCollation preselected. Returns the chosen name after "&Ok", OriginalCollation
    // unchanged after "&Cancelar" or a close. A server whose collation list cannot be read
    // (null, disconnected) also gives OriginalCollation: no error reaches the caller.
    static QString ShowCollation(dmo::SQLServer* Server, QWidget* ParentForm,
                                 const QString& OriginalCollation);

    // The window while ShowCollation runs (tests find it here), else nullptr.
    static frmDispCollation* Current();

    ~frmDispCollation() override;

    QPushButton* cmdCancelar = nullptr;
    QPushButton* cmdOk = nullptr;
    QGroupBox* fraOrdena = nullptr;
    QRadioButton* optDictionary = nullptr;
    QRadioButton* optBinary = nullptr;
    QGroupBox* fraDictionary = nullptr;
    QCheckBox* chkWithSensitive = nullptr;
    QCheckBox* chkKanaSensitive = nullptr;
    QCheckBox* chkAccentSensitive = nullptr;
    QCheckBox* chkCaseSensitive = nullptr;
    QRadioButton* optWindows = nullptr;
    QRadioButton* optSQL = nullptr;
    QGroupBox* fraSQL = nullptr;
    QTreeWidget* lvwSQL = nullptr;
    QGroupBox* fraWindows = nullptr;
    QTreeWidget* lvwWindows = nullptr;

    CListViewManager* SQLList() const { return mSQLList; }
    CListViewManager* WindowsList() const { return mWindowsList; }

    // The server's collation the current choices give; empty when the chosen group's list has
    // no selection or the server has no collation of that name.
    QString ChosenCollation() const;

private:
    explicit frmDispCollation(QWidget* parent = nullptr);

    void Form_Load();
    void ApplyEnabledStates();
    void cmdOk_Click();
    void cmdCancelar_Click();

    bool mCancel = true;
    // The server's collations by lower-case name.
    QHash<QString, QString> mServerCollations;
    CListViewManager* mSQLList = nullptr;
    CListViewManager* mWindowsList = nullptr;
};
