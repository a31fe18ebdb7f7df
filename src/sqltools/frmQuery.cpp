// The query window: controls, opening, layout and the tab rule.
#include "sqltools/frmQuery.h"

#include "controls/SelOpta.h"
#include "core/FormHelpers.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
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

QFont editorFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(9.75);
    return f;
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                 TwipsToPixelsY(height));
}

// The document area of the main window, when there is one.
QMdiArea* mainMdiArea() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(w))
            if (auto* mdi = qobject_cast<QMdiArea*>(main->centralWidget()))
                return mdi;
    return nullptr;
}

} // namespace

frmQuery* frmQuery::Default() {
    if (!s_default) {
        auto* form = new frmQuery;
        s_default = form;
        form->setAttribute(Qt::WA_DeleteOnClose);
        const QSize inner(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
        if (QMdiArea* mdi = mainMdiArea()) {
            form->resize(inner);
            QMdiSubWindow* sub = mdi->addSubWindow(form);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            // The designed size, as far as the document area holds it.
            sub->resize(
                sub->sizeHint().boundedTo(mdi->viewport()->size().expandedTo(QSize(320, 240))));
        } else {
            form->resize(inner);
        }
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
    const QFont courier = editorFont();
    QFont sans(QStringLiteral("MS Sans Serif"));
    sans.setStyleHint(QFont::SansSerif);
    sans.setPointSizeF(8.25);
    setFont(sans);

    Label2 = new QLabel(QStringLiteral("Servidor :"), this);
    Label2->setGeometry(twipsRect(120, 120, 1695, 255));
    lblServer = new QLabel(this);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    lblServer->setGeometry(twipsRect(840, 120, 2295, 315));
    lblServer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = new QLabel(QStringLiteral("&Base de Dados :"), this);
    Label1->setGeometry(twipsRect(3360, 120, 1695, 255));
    eselDatabase = new SelOpta(this);
    eselDatabase->setObjectName(QStringLiteral("eselDatabase"));
    eselDatabase->setGeometry(twipsRect(4680, 120, 2535, 315));
    eselDatabase->setFonte(sans);
    Label1->setBuddy(eselDatabase);

    cmdExecute = new QToolButton(this);
    cmdExecute->setObjectName(QStringLiteral("cmdExecute"));
    cmdExecute->setGeometry(twipsRect(7320, 120, 495, 315));
    cmdExecute->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdExecute->setToolTip(QStringLiteral("F5 - Executar o(s) comando(s) seleccionado(s)"));
    connect(cmdExecute, &QToolButton::clicked, this, &frmQuery::cmdExecute_Click);

    Label3 = new QLabel(QStringLiteral("Comandos &SQL :"), this);
    Label3->setGeometry(twipsRect(120, 480, 4815, 255));
    txtQuery = new QTextEdit(this);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    txtQuery->setAcceptRichText(false);
    txtQuery->setFont(courier);
    txtQuery->setLineWrapMode(QTextEdit::NoWrap);
    txtQuery->setGeometry(twipsRect(0, 720, 7215, 2655));
    txtQuery->installEventFilter(this);
    Label3->setBuddy(txtQuery);
    connect(txtQuery, &QTextEdit::textChanged, this, &frmQuery::txtQuery_Change);

    fraSplit = new QFrame(this);
    fraSplit->setObjectName(QStringLiteral("fraSplit"));
    fraSplit->setFrameShape(QFrame::HLine);
    fraSplit->setCursor(Qt::SplitVCursor);
    fraSplit->setGeometry(twipsRect(0, mSplitTop, 6525, kSplitHeight));
    fraSplit->installEventFilter(this);

    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    tabMain->setGeometry(twipsRect(0, 3480, 8295, 5175));
    auto* page0 = new QWidget;
    auto* page1 = new QWidget;
    tabMain->addTab(page0, QStringLiteral("&Resultados"));
    tabMain->addTab(page1, QStringLiteral("&Mensagens"));
    connect(tabMain, &QTabWidget::currentChanged, this, &frmQuery::tabMain_Click);

    grdGrid = new QTableWidget(page0);
    grdGrid->setObjectName(QStringLiteral("grdGrid"));
    grdGrid->setFont(courier);
    grdGrid->setGeometry(twipsRect(120, 120, 7935, 4695));
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
    txtMsg->setGeometry(twipsRect(120, 120, 8055, 4695));

    picTeste = new QLabel(this);
    picTeste->setObjectName(QStringLiteral("picTeste"));
    picTeste->setFont(courier);
    picTeste->setGeometry(twipsRect(120, 8880, 975, 495));
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
    QWidget* outer = OuterWindow();
    outer->show();
    show();
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
    outer->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(outer))
        if (QMdiArea* mdi = sub->mdiArea())
            mdi->setActiveSubWindow(sub);
    activateWindow();
}

QWidget* frmQuery::OuterWindow() const {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        return sub;
    return const_cast<frmQuery*>(this);
}

int frmQuery::OuterWidthTwips() const {
    const QWidget* outer = OuterWindow();
    const int w = outer->isWindow() ? outer->frameGeometry().width() : outer->width();
    return int(PixelsToTwipsX(w));
}

int frmQuery::OuterHeightTwips() const {
    const QWidget* outer = OuterWindow();
    const int h = outer->isWindow() ? outer->frameGeometry().height() : outer->height();
    return int(PixelsToTwipsY(h));
}

int frmQuery::SplitTop() const {
    return mSplitTop;
}

void frmQuery::SetSplitTop(int twips) {
    mSplitTop = twips;
    fraSplit->move(fraSplit->x(), TwipsToPixelsY(twips));
}

void frmQuery::ResizeControls() {
    const int W = OuterWidthTwips();
    const int H = OuterHeightTwips();
    // Each rule on its own: a negative size is skipped.
    const int editorWidth = W - 120;
    if (editorWidth >= 0)
        txtQuery->resize(TwipsToPixelsX(editorWidth), txtQuery->height());
    const int editorHeight = mSplitTop - 750;
    if (editorHeight >= 0)
        txtQuery->resize(txtQuery->width(), TwipsToPixelsY(editorHeight));
    txtQuery->update();
    const int tabsTop = mSplitTop + kSplitHeight;
    tabMain->move(tabMain->x(), TwipsToPixelsY(tabsTop));
    const int tabsHeight = H - tabsTop - 1300;
    if (tabsHeight >= 0)
        tabMain->resize(tabMain->width(), TwipsToPixelsY(tabsHeight));
    if (editorWidth >= 0)
        tabMain->resize(TwipsToPixelsX(editorWidth), tabMain->height());
    const int tabsWidthTw = int(PixelsToTwipsX(tabMain->width()));
    const int tabsHeightTw = int(PixelsToTwipsY(tabMain->height()));
    grdGrid->move(grdGrid->x(), TwipsToPixelsY(120));
    const int gridWidth = tabsWidthTw - 240;
    if (gridWidth >= 0)
        grdGrid->resize(TwipsToPixelsX(gridWidth), grdGrid->height());
    const int gridHeight = tabsHeightTw - 500;
    if (gridHeight >= 0)
        grdGrid->resize(grdGrid->width(), TwipsToPixelsY(gridHeight));
    grdGrid->viewport()->update();
    txtMsg->setGeometry(txtMsg->x(), grdGrid->y(), grdGrid->width(), grdGrid->height());
    fraSplit->setGeometry(fraSplit->x(), TwipsToPixelsY(mSplitTop), txtQuery->width(),
                          TwipsToPixelsY(kSplitHeight));
}

void frmQuery::tabMain_Click() {
    try {
        if (tabMain->currentIndex() == 0 && !grdGrid->isHidden())
            grdGrid->setFocus();
        else if (tabMain->currentIndex() == 1)
            txtMsg->setFocus();
    } catch (...) {
    }
}
