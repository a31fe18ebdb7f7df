#pragma once
// The explorer: the registered servers as a tree (server, "Databases", each database with
// "Tabelas" and "Stored Procedures") beside a list of the chosen folder's tables or
// procedures, and the commands that work on the selection.

#include <QPointer>
#include <QWidget>

#include <memory>

class QAction;
class QMdiArea;
class QSplitter;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class CListViewManager;
class cServer;

class frmExplorer : public QWidget {
    Q_OBJECT
public:
    // Node kinds of the tree (ItemKindRole).
    enum NodeKind { NodeRoot, NodeServer, NodeDatabases, NodeDatabase, NodeTables, NodeProcedures };
    enum Roles { KeyRole = Qt::UserRole + 1, KindRole, ServerRole, DatabaseRole };

    // Creates the explorer as a child window of the document area (or alone without one);
    // it loads the registered servers and builds the tree.
    static frmExplorer* Create(QMdiArea* mdi = nullptr);
    // The explorer while it exists.
    static frmExplorer* Current();
    ~frmExplorer() override;

    // Shows the explorer (again, after its window was closed) and brings it to the front.
    void ShowExplorer();
    // Closes it for good (shutdown).
    void Unload();

    // The commands, in the order the main window's menu lists them.
    QList<QAction*> Commands() const;

    // The server and database of the tree's selection (nullptr / empty when none).
    cServer* SelectedServer() const;
    QString SelectedDatabase() const;
    // The node of that key ("(LOCAL)", "(LOCAL)\Databases", "(LOCAL)\master\Tables"...).
    QTreeWidgetItem* NodeByKey(const QString& key) const;

    QToolBar* tbrExplorer = nullptr;
    QSplitter* splExplorer = nullptr;
    QTreeWidget* tvwExplorer = nullptr;
    QTreeWidget* lvwExplorer = nullptr;
    CListViewManager* mLvw = nullptr;

    QAction* mnuQuery = nullptr;
    QAction* mnuOpenTable = nullptr;
    QAction* mnuEditTable = nullptr;
    QAction* mnuNewTable = nullptr;
    QAction* mnuNewProcedure = nullptr;
    QAction* mnuEditProcedure = nullptr;
    QAction* mnuTablesRefresh = nullptr;

public slots:
    // Opens the query window on the selected server and database.
    void mnuQuery_Click();
    // Lists again the tables of the database selected in the explorer; on its procedures
    // folder, its procedures; on a server or its "Databases" folder, reads its databases again.
    void mnuTablesRefresh_Click();
    // Opens the table window on the table selected in the list.
    void mnuOpenTable_Click();
    // The designer on the table selected in the list, or on a new table of the selected
    // database.
    void mnuEditTable_Click();
    void mnuNewTable_Click();
    // The procedure editor on a new procedure of the selected database, or on the procedure
    // selected in the list; a save lists the database's procedures again.
    void mnuNewProcedure_Click();
    void mnuEditProcedure_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    explicit frmExplorer(QWidget* parent = nullptr);

    void Form_Load();
    void LoadTree();
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text,
                             NodeKind kind, const QString& server, const QString& database,
                             int index = -1);
    // Connects the server of that node when needed and adds its folders; false on failure.
    bool OpenServerNode(QTreeWidgetItem* node);
    // The databases under the server's "Databases" folder, read again from the server.
    void LoadDatabaseNodes(QTreeWidgetItem* folder);
    void tvwExplorer_Expand(QTreeWidgetItem* node);
    void tvwExplorer_NodeClick(QTreeWidgetItem* node);
    void tvwExplorer_DblClick(QTreeWidgetItem* node);
    void ListTables(cServer* server, const QString& database);
    void ListProcedures(cServer* server, const QString& database);
    void SetListColumns();
    void UpdateCommands();
    // Connects the server when needed (through its node); false when it stays unconnected.
    bool EnsureConnected(cServer* server);
    // The name of the object selected in the list (empty when none).
    QString SelectedListName() const;
    void RunProcedureEditor(const QString& modo, const QString& procedure);

    bool m_Unloading = false;
    bool m_DatabasesLoaded = false; // the folder being opened was just filled
    bool m_ClickOnCurrent = false;  // the mouse went down on the node already selected
    int m_ToolbarTextWidth = 0;     // the toolbar's width with every command's text, pixels
    static QPointer<frmExplorer> s_current;
};
