// The query window: controls, opening and closing.
#include "sqltools/frmQuery.h"

#include "controls/SelOpta.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "sqltools/QueryGrid.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>

QPointer<frmQuery> frmQuery::s_default;

frmQuery* frmQuery::Default() {
    return DefaultInstance(s_default);
}

bool frmQuery::Loaded() {
    return !s_default.isNull();
}

frmQuery::frmQuery(QWidget* parent)
    : SqlEditorWindow(QStringLiteral("frmQuery"), QStringLiteral("Queries"), 500, parent) {
    using SqlEditor::TwipsRect;
    const QFont courier = SqlEditor::EditorFont();

    BuildServerCaption(2295);
    Label1 = new QLabel(QStringLiteral("&Base de Dados :"), this);
    AddToTopRow(Label1, 3360, 120, 1695, 255);
    eselDatabase = new SelOpta(this);
    eselDatabase->setObjectName(QStringLiteral("eselDatabase"));
    eselDatabase->setFonte(SqlEditor::WindowFont());
    AddToTopRow(eselDatabase, 4680, 120, 2535, 315);
    Label1->setBuddy(eselDatabase);

    BuildEditor(7320, QStringLiteral("Comandos &SQL :"));
    QWidget* page0 = BuildTabs();

    grdGrid = new QueryGrid(page0);
    grdGrid->setObjectName(QStringLiteral("grdGrid"));
    grdGrid->setFont(courier);
    grdGrid->setGeometry(TwipsRect(120, 120, 7935, 4695));
    grdGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grdGrid->setWordWrap(false);
    grdGrid->setContextMenuPolicy(Qt::NoContextMenu);
    grdGrid->viewport()->installEventFilter(this);
    // Rows as high as a line of the grid's text.
    const int rowHeight = QFontMetrics(courier).height() + 4;
    grdGrid->verticalHeader()->setMinimumSectionSize(rowHeight);
    grdGrid->verticalHeader()->setDefaultSectionSize(rowHeight);
    SetResultsGrid(grdGrid);

    BuildFooter();
    LayoutTopRow();
}

frmQuery::~frmQuery() = default;

void frmQuery::Form_Load() {
    SqlEditorWindow::Form_Load();
    grdGrid->verticalHeader()->setFixedWidth(TwipsToPixelsX(1000));
}

void frmQuery::Form_QueryUnload() {
    mFormata.reset();
}

void frmQuery::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    QWidget::closeEvent(event);
}

void frmQuery::ShowForm(cServer* clsServer, const QString& Database) {
    // 1. Show without blocking.
    SqlEditor::ShowChild(this);
    // 2-3. Server caption and the database list as last loaded.
    try {
        lblServer->setText(clsServer ? clsServer->ServerName() : QString());
    } catch (...) {
    }
    try {
        eselDatabase->setLista(clsServer ? clsServer->ListaDatabases(false) : QString());
    } catch (...) {
    }
    LayoutTopRow();
    // 4. The registered server of that name, not the object given.
    FindServer();
    // 5. Preselect the database.
    if (!TrimBlanks(Database).isEmpty())
        eselDatabase->setChave(Database);
    // 6. To the front.
    SqlEditor::BringToFront(this);
}
