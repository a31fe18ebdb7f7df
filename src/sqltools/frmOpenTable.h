#pragma once
// The table window: runs a SELECT through the data control and shows its rows in an editable
// grid; an edited row is written back to the table. One default instance, a child window of
// the main window's document area; closing it drops the instance.

#include "sqltools/SqlEditorWindow.h"

#include <QPointer>
#include <QString>

class QTableView;
namespace ado {
class DataControl;
}

class frmOpenTable : public SqlEditorWindow {
    Q_OBJECT
public:
    // The default instance, loaded on first use; Loaded() tells whether it exists.
    static frmOpenTable* Default();
    static bool Loaded();

    ~frmOpenTable() override;

    // Shows the window on the table (its name without the owner) and runs its SELECT.
    void ShowForm(cServer* clsServer, const QString& Database, const QString& Tabela);

    // The SELECT written for a table: limited to `rows` rows unless it is 0.
    static QString SelectText(const QString& Tabela, qint32 rows);

    // Controls of this window; the shared ones are SqlEditorWindow's.
    QLabel* lblDatabase = nullptr;
    QTableView* grdGrid = nullptr;
    ado::DataControl* datData = nullptr;

public slots:
    void cmdExecute_Click() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void datData_Error(int ErrorNumber, const QString& Description, bool& fCancelDisplay);
    void grdGrid_Error(int DataError, const QString& ErrorText);
    void grdGrid_AfterUpdate();

private:
    friend class SqlEditorWindow;
    explicit frmOpenTable(QWidget* parent = nullptr);

    void Form_QueryUnload();
    void ExecuteSelect(const QString& SQL);

    bool mRunning = false;

    static QPointer<frmOpenTable> s_default;
};
