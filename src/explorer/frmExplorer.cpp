#include "explorer/frmExplorer.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"
#include "core/HourglassGuard.h"
#include "core/KeyTextList.h"
#include "core/MsgBox.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "designer/frmDispStruct.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/DmoError.h"
#include "dmo/SQLServer.h"
#include "dmo/StoredProcedures.h"
#include "dmo/Tables.h"
#include "explorer/RegisteredServers.h"
#include "sqltools/frmCreateProcedure.h"
#include "sqltools/frmOpenTable.h"
#include "sqltools/frmQuery.h"

#include <QAction>
#include <QCloseEvent>
#include <QHash>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

QPointer<frmExplorer> frmExplorer::s_current;

namespace {

const QString kTables = QStringLiteral("Tabelas");
const QString kProcedures = QStringLiteral("Stored Procedures");

QString connectFailure(const QString& server, const QString& description) {
    return QStringLiteral("Não foi possível ligar ao servidor %1.\n%2").arg(server, description);
}

} // namespace

frmExplorer* frmExplorer::Create(QMdiArea* mdi) {
    auto* explorer = new frmExplorer;
    s_current = explorer;
    if (mdi) {
        QMdiSubWindow* sub = mdi->addSubWindow(explorer);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // Wide enough for every command with its text; showing fits it into the area.
        const int frame =
            2 * sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
        sub->resize(std::max(760, explorer->m_ToolbarTextWidth + frame), 520);
    }
    explorer->Form_Load();
    return explorer;
}

frmExplorer* frmExplorer::Current() {
    return s_current;
}

frmExplorer::frmExplorer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmExplorer"));
    setWindowTitle(QStringLiteral("Explorador"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tbrExplorer = new QToolBar(this);
    tbrExplorer->setObjectName(QStringLiteral("tbrExplorer"));
    tbrExplorer->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    layout->addWidget(tbrExplorer);

    splExplorer = new QSplitter(Qt::Horizontal, this);
    tvwExplorer = new QTreeWidget(splExplorer);
    tvwExplorer->setObjectName(QStringLiteral("tvwExplorer"));
    tvwExplorer->setHeaderHidden(true);
    tvwExplorer->setExpandsOnDoubleClick(true);
    lvwExplorer = new QTreeWidget(splExplorer);
    lvwExplorer->setObjectName(QStringLiteral("lvwExplorer"));
    splExplorer->setStretchFactor(1, 2);
    splExplorer->setSizes({240, 520});
    layout->addWidget(splExplorer, 1);

    mLvw = new CListViewManager(this);
    mLvw->setListView(lvwExplorer);

    auto command = [this](const char* name, const QString& text, QStyle::StandardPixmap icon,
                          bool enabled) {
        auto* a = new QAction(style()->standardIcon(icon), text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(enabled);
        tbrExplorer->addAction(a);
        return a;
    };
    mnuQuery =
        command("mnuQuery", QStringLiteral("&Query"), QStyle::SP_FileDialogContentsView, false);
    connect(mnuQuery, &QAction::triggered, this, &frmExplorer::mnuQuery_Click);
    mnuOpenTable =
        command("mnuOpenTable", QStringLiteral("&Abrir Tabela"), QStyle::SP_FileIcon, false);
    connect(mnuOpenTable, &QAction::triggered, this, &frmExplorer::mnuOpenTable_Click);
    mnuEditTable = command("mnuEditTable", QStringLiteral("&Editar Tabela"),
                           QStyle::SP_FileDialogDetailedView, false);
    mnuNewTable = command("mnuNewTable", QStringLiteral("&Nova Tabela"),
                          QStyle::SP_FileDialogNewFolder, false);
    connect(mnuEditTable, &QAction::triggered, this, &frmExplorer::mnuEditTable_Click);
    connect(mnuNewTable, &QAction::triggered, this, &frmExplorer::mnuNewTable_Click);
    mnuNewProcedure = command("mnuNewProcedure", QStringLiteral("Nova &Stored Procedure"),
                              QStyle::SP_FileLinkIcon, false);
    mnuEditProcedure = command("mnuEditProcedure", QStringLiteral("Editar S&tored Procedure"),
                               QStyle::SP_FileDialogInfoView, false);
    connect(mnuNewProcedure, &QAction::triggered, this, &frmExplorer::mnuNewProcedure_Click);
    connect(mnuEditProcedure, &QAction::triggered, this, &frmExplorer::mnuEditProcedure_Click);
    mnuTablesRefresh =
        command("mnuTablesRefresh", QStringLiteral("Actuali&zar"), QStyle::SP_BrowserReload, false);
    connect(mnuTablesRefresh, &QAction::triggered, this, &frmExplorer::mnuTablesRefresh_Click);
    m_ToolbarTextWidth = tbrExplorer->sizeHint().width();

    connect(tvwExplorer, &QTreeWidget::itemExpanded, this, &frmExplorer::tvwExplorer_Expand);
    connect(tvwExplorer, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* node, int) { tvwExplorer_DblClick(node); });
    connect(tvwExplorer, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node, QTreeWidgetItem*) { tvwExplorer_NodeClick(node); });
    // A click on the node already selected lists its folder again.
    tvwExplorer->viewport()->installEventFilter(this);
    connect(tvwExplorer, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node, int) {
        if (std::exchange(m_ClickOnCurrent, false))
            tvwExplorer_NodeClick(node);
    });
    connect(lvwExplorer, &QTreeWidget::currentItemChanged, this, [this] { UpdateCommands(); });
}

frmExplorer::~frmExplorer() = default;

QList<QAction*> frmExplorer::Commands() const {
    return {mnuQuery,        mnuOpenTable,     mnuEditTable,    mnuNewTable,
            mnuNewProcedure, mnuEditProcedure, mnuTablesRefresh};
}

void frmExplorer::Form_Load() {
    try {
        SetupChildForm(this);
    } catch (...) {
    }
    try {
        LoadRegisteredServers();
    } catch (...) {
    }
    SetListColumns();
    LoadTree();
}

void frmExplorer::LoadTree() {
    tvwExplorer->clear();
    QTreeWidgetItem* root = AddNode(nullptr, QStringLiteral("Servidores"),
                                    QStringLiteral("Servidores"), NodeRoot, {}, {});
    for (const auto& server : cVarnolt::instance().clsServers()) {
        QTreeWidgetItem* node = AddNode(root, server->ServerName(), server->ServerName(),
                                        NodeServer, server->ServerName(), {});
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    root->setExpanded(true);
    tvwExplorer->setCurrentItem(root);
}

QTreeWidgetItem* frmExplorer::AddNode(QTreeWidgetItem* parent, const QString& key,
                                      const QString& text, NodeKind kind, const QString& server,
                                      const QString& database, int index) {
    auto* node = new QTreeWidgetItem;
    if (!parent)
        tvwExplorer->addTopLevelItem(node);
    else if (index >= 0)
        parent->insertChild(index, node);
    else
        parent->addChild(node);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, KindRole, int(kind));
    node->setData(0, ServerRole, server);
    node->setData(0, DatabaseRole, database);
    QStyle::StandardPixmap icon = QStyle::SP_DirIcon;
    if (kind == NodeServer)
        icon = QStyle::SP_ComputerIcon;
    else if (kind == NodeDatabase)
        icon = QStyle::SP_DriveHDIcon;
    node->setIcon(0, style()->standardIcon(icon));
    return node;
}

QTreeWidgetItem* frmExplorer::NodeByKey(const QString& key) const {
    for (QTreeWidgetItemIterator it(tvwExplorer); *it; ++it)
        if ((*it)->data(0, KeyRole).toString().compare(key, Qt::CaseInsensitive) == 0)
            return *it;
    return nullptr;
}

cServer* frmExplorer::SelectedServer() const {
    const QTreeWidgetItem* node = tvwExplorer->currentItem();
    if (!node || !cVarnolt::exists())
        return nullptr;
    return cVarnolt::instance().clsServers().GetServerByName(node->data(0, ServerRole).toString());
}

QString frmExplorer::SelectedDatabase() const {
    const QTreeWidgetItem* node = tvwExplorer->currentItem();
    return node ? node->data(0, DatabaseRole).toString() : QString();
}

bool frmExplorer::OpenServerNode(QTreeWidgetItem* node) {
    if (!node || node->data(0, KindRole).toInt() != NodeServer)
        return false;
    const QString name = node->data(0, ServerRole).toString();
    cServer* server = cVarnolt::instance().clsServers().GetServerByName(name);
    if (!server)
        return false;
    if (server->IsConnected() && node->childCount() > 0)
        return true;
    HourglassGuard hourglass;
    try {
        if (!server->IsConnected())
            server->Connect();
    } catch (const dmo::DmoError& e) {
        hourglass.restore();
        MsgBox(connectFailure(name, e.Description()), vbCritical);
        return false;
    } catch (const std::exception& e) {
        hourglass.restore();
        MsgBox(connectFailure(name, QString::fromLocal8Bit(e.what())), vbCritical);
        return false;
    }
    qDeleteAll(node->takeChildren());
    QTreeWidgetItem* folder = AddNode(node, name + QStringLiteral("\\Databases"),
                                      QStringLiteral("Databases"), NodeDatabases, name, {});
    folder->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    LoadDatabaseNodes(folder);
    const QScopedValueRollback<bool> loaded(m_DatabasesLoaded, true);
    folder->setExpanded(true);
    return true;
}

void frmExplorer::LoadDatabaseNodes(QTreeWidgetItem* folder) {
    const QString name = folder->data(0, ServerRole).toString();
    cServer* server = cVarnolt::instance().clsServers().GetServerByName(name);
    if (!server || !server->IsConnected())
        return;
    HourglassGuard hourglass;
    const QList<KeyText> databases = ParseKeyTextList(server->ListaDatabases(true));
    // Nodes of databases that are gone go; the others stay as they are (opened or not), and
    // new ones come in the server's order.
    for (int i = folder->childCount() - 1; i >= 0; --i) {
        const QString db = folder->child(i)->data(0, DatabaseRole).toString();
        const bool listed = std::any_of(databases.begin(), databases.end(), [&](const KeyText& k) {
            return k.key.compare(db, Qt::CaseInsensitive) == 0;
        });
        if (!listed)
            delete folder->takeChild(i);
    }
    for (int i = 0; i < databases.size(); ++i) {
        const KeyText& db = databases[i];
        QTreeWidgetItem* at = folder->child(i);
        if (at && at->data(0, DatabaseRole).toString().compare(db.key, Qt::CaseInsensitive) == 0)
            continue;
        const QString key = name + u'\\' + db.key;
        QTreeWidgetItem* dbNode = AddNode(folder, key, db.text, NodeDatabase, name, db.key, i);
        AddNode(dbNode, key + QStringLiteral("\\Tables"), kTables, NodeTables, name, db.key);
        AddNode(dbNode, key + QStringLiteral("\\StoredProcedures"), kProcedures, NodeProcedures,
                name, db.key);
    }
}

void frmExplorer::tvwExplorer_Expand(QTreeWidgetItem* node) {
    if (node && node->data(0, KindRole).toInt() == NodeDatabases && !m_DatabasesLoaded) {
        // Opened again: databases made or dropped since show.
        LoadDatabaseNodes(node);
        return;
    }
    if (!node || node->data(0, KindRole).toInt() != NodeServer)
        return;
    if (!OpenServerNode(node))
        node->setExpanded(false);
    UpdateCommands();
}

void frmExplorer::tvwExplorer_NodeClick(QTreeWidgetItem* node) {
    UpdateCommands();
    if (!node)
        return;
    cServer* server = SelectedServer();
    switch (node->data(0, KindRole).toInt()) {
    case NodeTables:
        ListTables(server, SelectedDatabase());
        break;
    case NodeProcedures:
        ListProcedures(server, SelectedDatabase());
        break;
    default:
        mLvw->Clear();
        break;
    }
}

void frmExplorer::tvwExplorer_DblClick(QTreeWidgetItem* node) {
    if (node && node->data(0, KindRole).toInt() == NodeDatabase)
        mnuQuery_Click();
}

void frmExplorer::UpdateCommands() {
    const QTreeWidgetItem* node = tvwExplorer->currentItem();
    const int kind = node ? node->data(0, KindRole).toInt() : NodeRoot;
    mnuQuery->setEnabled(SelectedServer() != nullptr);
    mnuTablesRefresh->setEnabled(kind == NodeTables || kind == NodeProcedures ||
                                 kind == NodeDatabases ||
                                 (kind == NodeServer && node->childCount() > 0));
    const bool listed = mLvw->SelectedIndex() > 0;
    mnuOpenTable->setEnabled(kind == NodeTables && listed);
    mnuEditTable->setEnabled(kind == NodeTables && listed);
    mnuNewTable->setEnabled(SelectedServer() != nullptr &&
                            (kind == NodeDatabase || kind == NodeTables));
    mnuNewProcedure->setEnabled(SelectedServer() != nullptr && !SelectedDatabase().isEmpty());
    mnuEditProcedure->setEnabled(kind == NodeProcedures && listed);
}

void frmExplorer::SetListColumns() {
    mLvw->Clear();
    if (mLvw->ColumnCount() > 0)
        return;
    mLvw->AppendColumns(QStringLiteral("Nome"), 3600, 0, 0, 0, {}, QStringLiteral("Nome"));
    mLvw->AppendColumns(QStringLiteral("Dono"), 1200, 0, 0, 0, {}, QStringLiteral("Dono"));
    mLvw->AppendColumns(QStringLiteral("Tipo"), 1300, 0, 0, 0, {}, QStringLiteral("Tipo"));
    mLvw->AppendColumns(QStringLiteral("Data de Criação"), 2600, 0, 0, 0, {},
                        QStringLiteral("DataCriacao"));
}

namespace {

// Name, owner, system or user, creation date of the objects of those kinds.
void listObjects(CListViewManager* list, const dmo::DatabasePtr& db, const QString& xtypes,
                 const QHash<QString, QString>& owners) {
    const dmo::QueryResultsPtr rs = db->ExecuteWithResults(
        QStringLiteral(
            "SELECT name, xtype, crdate FROM sysobjects WHERE xtype IN (%1) ORDER BY name")
            .arg(xtypes));
    for (int r = 1; rs && r <= rs->Rows(); ++r) {
        const QString name = rs->GetColumnString(r, 1);
        const bool system = rs->GetColumnString(r, 2).trimmed() == QLatin1String("S");
        const int i = list->AddNewItem();
        list->SetColumnValue(QStringLiteral("Nome"), name, i);
        list->SetColumnValue(QStringLiteral("Dono"),
                             owners.value(name.toLower(), QStringLiteral("dbo")), i);
        list->SetColumnValue(QStringLiteral("Tipo"),
                             system ? QStringLiteral("Sistema") : QStringLiteral("Utilizador"), i);
        list->SetColumnValue(QStringLiteral("DataCriacao"), rs->GetColumnString(r, 3), i);
    }
    if (list->Count() > 0)
        list->SetSelectedItem(1);
}

// The owners of a collection's objects, by lower-case name.
template <class CollectionPtr> QHash<QString, QString> ownersOf(const CollectionPtr& objects) {
    objects->Refresh();
    QHash<QString, QString> owners;
    for (const auto& o : objects->items())
        owners.insert(o->Name().toLower(), o->Owner());
    return owners;
}

// Lists the database's objects of those kinds, with the owners readOwners gives; a failure
// is shown to the user.
template <class ReadOwners>
void listDatabaseObjects(CListViewManager* list, cServer* server, const QString& database,
                         const QString& xtypes, ReadOwners readOwners) {
    if (!server || database.isEmpty())
        return;
    HourglassGuard hourglass;
    try {
        dmo::DatabasePtr db = server->SQLDMOServer()->Databases()->Item(database);
        const QHash<QString, QString> owners = readOwners(db);
        listObjects(list, db, xtypes, owners);
    } catch (const dmo::DmoError& e) {
        hourglass.restore();
        MsgBox(e.Description(), vbCritical);
    }
}

} // namespace

void frmExplorer::ListTables(cServer* server, const QString& database) {
    SetListColumns();
    listDatabaseObjects(mLvw, server, database, QStringLiteral("'U', 'S'"),
                        [](const dmo::DatabasePtr& db) { return ownersOf(db->Tables()); });
}

void frmExplorer::ListProcedures(cServer* server, const QString& database) {
    SetListColumns();
    listDatabaseObjects(
        mLvw, server, database, QStringLiteral("'P'"),
        [](const dmo::DatabasePtr& db) { return ownersOf(db->StoredProcedures()); });
}

bool frmExplorer::EnsureConnected(cServer* server) {
    if (!server)
        return false;
    if (!server->IsConnected()) {
        QTreeWidgetItem* node = NodeByKey(server->ServerName());
        if (node && !node->isExpanded())
            node->setExpanded(true); // connects through the expansion
        else if (!OpenServerNode(node))
            return false;
    }
    return server->IsConnected();
}

QString frmExplorer::SelectedListName() const {
    const int index = mLvw->SelectedIndex();
    return index > 0 ? mLvw->GetColumnValue(QStringLiteral("Nome"), index).toString() : QString();
}

void frmExplorer::mnuQuery_Click() {
    cServer* server = SelectedServer();
    if (!EnsureConnected(server))
        return;
    frmQuery::Default()->ShowForm(server, SelectedDatabase());
}

void frmExplorer::mnuOpenTable_Click() {
    cServer* server = SelectedServer();
    const QString table = SelectedListName();
    if (table.isEmpty() || !EnsureConnected(server))
        return;
    frmOpenTable::Default()->ShowForm(server, SelectedDatabase(), table);
}

void frmExplorer::mnuEditTable_Click() {
    cServer* server = SelectedServer();
    const int index = mLvw->SelectedIndex();
    const QString database = SelectedDatabase();
    if (index <= 0 || database.isEmpty())
        return;
    QString table = mLvw->GetColumnValue(QStringLiteral("Nome"), index).toString();
    const QString owner = mLvw->GetColumnValue(QStringLiteral("Dono"), index).toString();
    if (table.isEmpty() || !EnsureConnected(server))
        return;
    frmDispStruct::Open(QStringLiteral("A"), server->SQLDMOServer(), database, table, owner);
}

void frmExplorer::mnuNewTable_Click() {
    cServer* server = SelectedServer();
    const QString database = SelectedDatabase();
    if (database.isEmpty() || !EnsureConnected(server))
        return;
    // The designer takes the name in its own dialog; the table is made by its save.
    QString table;
    frmDispStruct::Open(QStringLiteral("N"), server->SQLDMOServer(), database, table, QString());
}

void frmExplorer::mnuNewProcedure_Click() {
    RunProcedureEditor(QStringLiteral("N"), QString());
}

void frmExplorer::mnuEditProcedure_Click() {
    const QString procedure = SelectedListName();
    if (!procedure.isEmpty())
        RunProcedureEditor(QStringLiteral("A"), procedure);
}

void frmExplorer::RunProcedureEditor(const QString& modo, const QString& procedure) {
    cServer* server = SelectedServer();
    const QString database = SelectedDatabase();
    if (database.isEmpty() || !EnsureConnected(server))
        return;
    const QString serverName = server->ServerName();
    bool saved = false;
    {
        frmCreateProcedure editor(window());
        saved = editor.ShowForm(server, modo, database, procedure);
    }
    if (!saved)
        return;
    // The database's procedures, listed again through their folder.
    QTreeWidgetItem* folder =
        NodeByKey(serverName + u'\\' + database + QStringLiteral("\\StoredProcedures"));
    if (folder && tvwExplorer->currentItem() != folder)
        tvwExplorer->setCurrentItem(folder);
    else
        ListProcedures(SelectedServer(), database);
    if (!procedure.isEmpty()) {
        const int index = mLvw->FindItem(QStringLiteral("Nome"), procedure);
        if (index > 0)
            mLvw->SetSelectedItem(index);
    }
    UpdateCommands();
}

void frmExplorer::mnuTablesRefresh_Click() {
    // Not while the explorer goes (the designer relists when it closes at shutdown).
    if (m_Unloading)
        return;
    QTreeWidgetItem* node = tvwExplorer->currentItem();
    if (!node)
        return;
    // On the server or its "Databases" folder: the databases read again.
    const int kind = node->data(0, KindRole).toInt();
    if (kind == NodeServer || kind == NodeDatabases) {
        QTreeWidgetItem* folder =
            kind == NodeDatabases
                ? node
                : NodeByKey(node->data(0, ServerRole).toString() + QStringLiteral("\\Databases"));
        if (folder)
            LoadDatabaseNodes(folder);
        UpdateCommands();
        return;
    }
    const QString database = SelectedDatabase();
    if (database.isEmpty())
        return;
    // On the procedures folder: its procedures listed again.
    if (kind == NodeProcedures) {
        ListProcedures(SelectedServer(), database);
        lvwExplorer->viewport()->update();
        return;
    }
    if (kind != NodeTables) {
        // Show the database's tables folder, which lists them.
        const QString key =
            node->data(0, ServerRole).toString() + u'\\' + database + QStringLiteral("\\Tables");
        if (QTreeWidgetItem* tables = NodeByKey(key)) {
            tvwExplorer->setCurrentItem(tables);
            return;
        }
    }
    ListTables(SelectedServer(), database);
    lvwExplorer->viewport()->update();
}

void frmExplorer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Too narrow for the texts: icons alone (with the texts as tooltips), none hidden.
    tbrExplorer->setToolButtonStyle(width() >= m_ToolbarTextWidth ? Qt::ToolButtonTextBesideIcon
                                                                  : Qt::ToolButtonIconOnly);
}

void frmExplorer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        FitInParent(sub);
}

bool frmExplorer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvwExplorer->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QTreeWidgetItem* current = tvwExplorer->currentItem();
        m_ClickOnCurrent =
            current &&
            tvwExplorer->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == current;
    }
    return QWidget::eventFilter(watched, event);
}

void frmExplorer::ShowExplorer() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->show();
        show();
        if (QMdiArea* mdi = sub->mdiArea())
            mdi->setActiveSubWindow(sub);
    } else {
        show();
    }
    raise();
}

void frmExplorer::Unload() {
    m_Unloading = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void frmExplorer::closeEvent(QCloseEvent* event) {
    if (m_Unloading) {
        event->accept();
        return;
    }
    // Closing the explorer's window only hides it.
    event->ignore();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->hide();
    else
        hide();
}
