#pragma once
// The query window: runs a T-SQL batch on one database of a registered server and shows the
// first result set in a grid and the server's messages under a second tab. One default
// instance, a child window of the main window's document area.

#include "sqltools/SqlEditorWindow.h"

#include <QPointer>
#include <QString>

class QueryGrid;
class SelOpta;
namespace dmo {
class QueryResults;
}

class frmQuery : public SqlEditorWindow {
    Q_OBJECT
public:
    // The default instance, loaded on first use; Loaded() tells whether it exists.
    static frmQuery* Default();
    static bool Loaded();

    ~frmQuery() override;

    // Shows the window on the server and preselects the database (may be empty).
    void ShowForm(cServer* clsServer, const QString& Database);

    // Copies the grid's selection (tabs between cells, carriage returns between rows).
    void mnuGridCopiar_Click();

    // Controls of this window; the shared ones are SqlEditorWindow's.
    SelOpta* eselDatabase = nullptr;
    QueryGrid* grdGrid = nullptr;

public slots:
    void cmdExecute_Click() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class SqlEditorWindow;
    explicit frmQuery(QWidget* parent = nullptr);

    void Form_Load() override;
    void Form_QueryUnload();
    void grdGrid_MouseUp(int Button, const QPoint& globalPos);

    void ExecuteQuery(const QString& Text);

    // Helpers of ExecuteQuery.
    void FillGrid(const dmo::QueryResults& results);
    void AppendMsg(const QString& text);
    // The selector's list read again from the server, keeping the chosen database.
    void ReloadDatabases();

    static QPointer<frmQuery> s_default;
};
