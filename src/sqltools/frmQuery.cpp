// The query window: controls, opening, layout and the tab rule.
#include "sqltools/frmQuery.h"

#include "controls/SelOpta.h"
#include "core/FormHelpers.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>

QPointer<frmQuery> frmQuery::s_default;

namespace {

// Designed inner area of the window, twips.
constexpr int kDesignWidth = 9630;
constexpr int kDesignHeight = 10980;
constexpr int kSplitHeight = 75;
constexpr int kStatusHeight = 375;

using SqlEditor::TwipsRect;

} // namespace

frmQuery* frmQuery::Default() {
    if (!s_default) {
        auto* form = new frmQuery;
        s_default = form;
        SqlEditor::AddToDocumentArea(
            form, QSize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight)));
        form->Form_Load();
    }
    return s_default;
}

bool frmQuery::Loaded() {
    return !s_default.isNull();
}

frmQuery::frmQuery(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmQuery"));
    setWindowTitle(QStringLiteral("Queries"));
    const QFont courier = SqlEditor::EditorFont();
    const QFont sans = SqlEditor::WindowFont();
    setFont(sans);

    Label2 = new QLabel(QStringLiteral("Servidor :"), this);
    Label2->setGeometry(TwipsRect(120, 120, 1695, 255));
    lblServer = new QLabel(this);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    lblServer->setGeometry(TwipsRect(840, 120, 2295, 315));
    lblServer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = new QLabel(QStringLiteral("&Base de Dados :"), this);
    Label1->setGeometry(TwipsRect(3360, 120, 1695, 255));
    eselDatabase = new SelOpta(this);
    eselDatabase->setObjectName(QStringLiteral("eselDatabase"));
    eselDatabase->setGeometry(TwipsRect(4680, 120, 2535, 315));
    eselDatabase->setFonte(sans);
    Label1->setBuddy(eselDatabase);

    cmdExecute = new QToolButton(this);
    cmdExecute->setObjectName(QStringLiteral("cmdExecute"));
    cmdExecute->setGeometry(TwipsRect(7320, 120, 495, 315));
    cmdExecute->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdExecute->setToolTip(QStringLiteral("F5 - Executar o(s) comando(s) seleccionado(s)"));
    connect(cmdExecute, &QToolButton::clicked, this, &frmQuery::cmdExecute_Click);

    Label3 = new QLabel(QStringLiteral("Comandos &SQL :"), this);
    Label3->setGeometry(TwipsRect(120, 480, 4815, 255));
    txtQuery = new QTextEdit(this);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    txtQuery->setAcceptRichText(false);
    txtQuery->setFont(courier);
    txtQuery->setLineWrapMode(QTextEdit::NoWrap);
    txtQuery->setGeometry(TwipsRect(0, 720, 7215, 2655));
    txtQuery->installEventFilter(this);
    Label3->setBuddy(txtQuery);
    connect(txtQuery, &QTextEdit::textChanged, this, &frmQuery::txtQuery_Change);

    fraSplit = new QFrame(this);
    fraSplit->setObjectName(QStringLiteral("fraSplit"));
    fraSplit->setFrameShape(QFrame::HLine);
    fraSplit->setCursor(Qt::SplitVCursor);
    fraSplit->setGeometry(TwipsRect(0, mSplitTop, 6525, kSplitHeight));
    fraSplit->installEventFilter(this);

    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    tabMain->setGeometry(TwipsRect(0, 3480, 8295, 5175));
    auto* page0 = new QWidget;
    auto* page1 = new QWidget;
    tabMain->addTab(page0, QStringLiteral("&Resultados"));
    tabMain->addTab(page1, QStringLiteral("&Mensagens"));
    connect(tabMain, &QTabWidget::currentChanged, this, &frmQuery::tabMain_Click);

    grdGrid = new QTableWidget(page0);
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

    txtMsg = new QTextEdit(page1);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setAcceptRichText(false);
    txtMsg->setFont(courier);
    txtMsg->setGeometry(TwipsRect(120, 120, 8055, 4695));

    picTeste = new QLabel(this);
    picTeste->setObjectName(QStringLiteral("picTeste"));
    picTeste->setFont(courier);
    picTeste->setGeometry(TwipsRect(120, 8880, 975, 495));
    picTeste->hide();

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));

    staInfo = new QStatusBar(this);
    staInfo->setObjectName(QStringLiteral("staInfo"));
    staInfo->setSizeGripEnabled(false);
}

frmQuery::~frmQuery() = default;

QSize frmQuery::sizeHint() const {
    return QSize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
}

void frmQuery::Form_Load() {
    try {
        SetupChildForm(this);
    } catch (...) {
    }
    mFormata = std::make_unique<clsFormataSQL>();
    grdGrid->verticalHeader()->setFixedWidth(TwipsToPixelsX(1000));
    Text1->move(TwipsToPixelsX(-5000), Text1->y());
}

void frmQuery::Form_Resize() {
    ResizeControls();
}

void frmQuery::Form_QueryUnload() {
    mFormata.reset();
}

void frmQuery::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    QWidget::closeEvent(event);
}

void frmQuery::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = TwipsToPixelsY(kStatusHeight);
    staInfo->setGeometry(0, height() - h, width(), h);
    Form_Resize();
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
    // 4. The registered server of that name, not the object given.
    try {
        int index = -1;
        cServerCOL& servers = cVarnolt::instance().clsServers();
        servers.GetServerByName(lblServer->text(), &index);
        mServer = index > 0 ? servers.ItemPtr(index) : nullptr;
    } catch (...) {
        mServer.reset();
    }
    // 5. Preselect the database.
    if (!TrimBlanks(Database).isEmpty())
        eselDatabase->setChave(Database);
    // 6. To the front.
    SqlEditor::BringToFront(this);
}

QWidget* frmQuery::OuterWindow() const {
    return SqlEditor::OuterWindow(this);
}

int frmQuery::OuterWidthTwips() const {
    return SqlEditor::OuterWidthTwips(this);
}

int frmQuery::OuterHeightTwips() const {
    return SqlEditor::OuterHeightTwips(this);
}

int frmQuery::SplitTop() const {
    return mSplitTop;
}

void frmQuery::SetSplitTop(int twips) {
    mSplitTop = twips;
    fraSplit->move(fraSplit->x(), TwipsToPixelsY(twips));
}

void frmQuery::ResizeControls() {
    SqlEditor::SplitControls c;
    c.form = this;
    c.editor = txtQuery;
    c.split = fraSplit;
    c.tabs = tabMain;
    c.grid = grdGrid;
    c.messages = txtMsg;
    c.splitHeight = kSplitHeight;
    c.gridMargin = 500;
    SqlEditor::ResizeControls(c, mSplitTop);
}

void frmQuery::tabMain_Click() {
    try {
        SqlEditor::TabClick(tabMain, grdGrid, txtMsg);
    } catch (...) {
    }
}
