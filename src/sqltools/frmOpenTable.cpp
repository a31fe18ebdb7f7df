// The table window: controls, opening, layout, the editor's keys and the splitter.
#include "sqltools/frmOpenTable.h"

#include "ado/DataControl.h"
#include "core/FormHelpers.h"
#include "core/Settings.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

QPointer<frmOpenTable> frmOpenTable::s_default;

namespace {

// Designed inner area of the window, twips.
constexpr int kDesignWidth = 9630;
constexpr int kDesignHeight = 10980;
constexpr int kSplitHeight = 75;
constexpr int kStatusHeight = 375;

using SqlEditor::TwipsRect;

} // namespace

frmOpenTable* frmOpenTable::Default() {
    if (!s_default) {
        auto* form = new frmOpenTable;
        s_default = form;
        SqlEditor::AddToDocumentArea(
            form, QSize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight)));
        form->Form_Load();
    }
    return s_default;
}

bool frmOpenTable::Loaded() {
    return !s_default.isNull();
}

frmOpenTable::frmOpenTable(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmOpenTable"));
    setWindowTitle(QStringLiteral("Abrir Tabela"));
    const QFont courier = SqlEditor::EditorFont();
    const QFont sans = SqlEditor::WindowFont();
    setFont(sans);

    Label2 = new QLabel(QStringLiteral("Servidor :"), this);
    Label2->setGeometry(TwipsRect(120, 120, 1695, 255));
    lblServer = new QLabel(this);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    lblServer->setGeometry(TwipsRect(840, 120, 2055, 315));
    lblServer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1 = new QLabel(QStringLiteral("Base de Dados :"), this);
    Label1->setGeometry(TwipsRect(3000, 120, 1695, 255));
    lblDatabase = new QLabel(this);
    lblDatabase->setObjectName(QStringLiteral("lblDatabase"));
    lblDatabase->setGeometry(TwipsRect(4200, 120, 2055, 315));
    lblDatabase->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdExecute = new QToolButton(this);
    cmdExecute->setObjectName(QStringLiteral("cmdExecute"));
    cmdExecute->setGeometry(TwipsRect(6600, 120, 495, 315));
    cmdExecute->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdExecute->setToolTip(QStringLiteral("F5 - Executar o(s) comando(s) seleccionado(s)"));
    connect(cmdExecute, &QToolButton::clicked, this, &frmOpenTable::cmdExecute_Click);

    Label3 = new QLabel(QStringLiteral("Comandos &SQL (Select) :"), this);
    Label3->setGeometry(TwipsRect(120, 480, 4815, 255));
    txtQuery = new QTextEdit(this);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    txtQuery->setAcceptRichText(false);
    txtQuery->setFont(courier);
    txtQuery->setLineWrapMode(QTextEdit::NoWrap);
    txtQuery->setGeometry(TwipsRect(0, 720, 7215, 2655));
    txtQuery->installEventFilter(this);
    Label3->setBuddy(txtQuery);
    connect(txtQuery, &QTextEdit::textChanged, this, &frmOpenTable::txtQuery_Change);

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
    connect(tabMain, &QTabWidget::currentChanged, this, &frmOpenTable::tabMain_Click);

    datData = new ado::DataControl(this);
    datData->setObjectName(QStringLiteral("datData"));
    connect(datData, &ado::DataControl::Error, this, &frmOpenTable::datData_Error);

    grdGrid = new QTableView(page0);
    grdGrid->setObjectName(QStringLiteral("grdGrid"));
    grdGrid->setFont(sans);
    grdGrid->setGeometry(TwipsRect(120, 120, 8055, 4575));
    grdGrid->setModel(datData->model());
    grdGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    grdGrid->setWordWrap(false);
    grdGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(sans).height() + 6);
    // The message waits until the grid has closed its editor, so that it comes once.
    connect(datData->model(), &ado::RecordsetModel::writeFailed, this, &frmOpenTable::grdGrid_Error,
            Qt::QueuedConnection);
    connect(datData->model(), &ado::RecordsetModel::rowUpdated, this,
            &frmOpenTable::grdGrid_AfterUpdate);

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

frmOpenTable::~frmOpenTable() = default;

QSize frmOpenTable::sizeHint() const {
    return QSize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
}

void frmOpenTable::Form_Load() {
    try {
        SetupChildForm(this);
    } catch (...) {
    }
    mFormata = std::make_unique<clsFormataSQL>();
    Text1->move(TwipsToPixelsX(-5000), Text1->y());
}

void frmOpenTable::Form_Resize() {
    ResizeControls();
}

void frmOpenTable::Form_QueryUnload() {
    mFormata.reset();
    mServer.reset();
}

void frmOpenTable::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    // The next opening makes a new window.
    if (s_default == this)
        s_default = nullptr;
    QWidget::closeEvent(event);
}

void frmOpenTable::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = TwipsToPixelsY(kStatusHeight);
    staInfo->setGeometry(0, height() - h, width(), h);
    Form_Resize();
}

QString frmOpenTable::SelectText(const QString& Tabela, qint32 rows) {
    // A closing bracket inside the name is doubled, so that the name stays one identifier.
    QString name = Tabela;
    name.replace(QLatin1Char(']'), QStringLiteral("]]"));
    if (rows != 0)
        return QStringLiteral("Select Top %1 * from [%2]").arg(rows).arg(name);
    return QStringLiteral("Select  * from [%1]").arg(name);
}

void frmOpenTable::ShowForm(cServer* clsServer, const QString& Database, const QString& Tabela) {
    // 1. Show without blocking.
    SqlEditor::ShowChild(this);
    // 2. Server and database captions.
    try {
        lblServer->setText(clsServer ? clsServer->ServerName() : QString());
        lblDatabase->setText(Database);
    } catch (...) {
    }
    // 3. The registered server of that name.
    try {
        int index = -1;
        cServerCOL& servers = cVarnolt::instance().clsServers();
        servers.GetServerByName(lblServer->text(), &index);
        mServer = index > 0 ? servers.ItemPtr(index) : nullptr;
    } catch (...) {
        mServer.reset();
    }
    // 4-5. The table's SELECT, run at once.
    txtQuery->setPlainText(SelectText(Tabela, gNumRegistos));
    cmdExecute_Click();
    // 6. To the front.
    SqlEditor::BringToFront(this);
}

void frmOpenTable::ResizeControls() {
    SqlEditor::SplitControls c;
    c.form = this;
    c.editor = txtQuery;
    c.split = fraSplit;
    c.tabs = tabMain;
    c.grid = grdGrid;
    c.messages = txtMsg;
    c.splitHeight = kSplitHeight;
    c.gridMargin = 1000;
    SqlEditor::ResizeControls(c, mSplitTop);
}

void frmOpenTable::SetSplitTop(int twips) {
    mSplitTop = twips;
    fraSplit->move(fraSplit->x(), TwipsToPixelsY(twips));
}

void frmOpenTable::tabMain_Click() {
    try {
        SqlEditor::TabClick(tabMain, grdGrid, txtMsg);
    } catch (...) {
    }
}

bool frmOpenTable::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtQuery && event->type() == QEvent::KeyRelease) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (!e->isAutoRepeat())
            txtQuery_KeyUp(SqlEditor::KeyCodeOf(e), SqlEditor::ShiftOf(e->modifiers()));
    } else if (watched == fraSplit && event->type() == QEvent::MouseMove) {
        auto* e = static_cast<QMouseEvent*>(event);
        fraSplit_MouseMove(SqlEditor::ButtonOf(e->buttons()),
                           int(PixelsToTwipsY(int(e->position().y()))));
        return true;
    } else if (watched == fraSplit && event->type() == QEvent::MouseButtonRelease) {
        fraSplit_MouseUp(SqlEditor::ButtonOf(static_cast<QMouseEvent*>(event)->button()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmOpenTable::txtQuery_Change() {
    SqlEditor::EditorChange(mFormata.get(), txtQuery, Text1, true);
}

void frmOpenTable::txtQuery_KeyUp(int KeyCode, int Shift) {
    SqlEditor::EditorKeyUp(mFormata.get(), txtQuery, KeyCode, Shift);
    try {
        if (KeyCode == 116)
            cmdExecute_Click();
    } catch (...) {
    }
}

void frmOpenTable::fraSplit_MouseMove(int Button, int Y) {
    if (Button != 1)
        return;
    try {
        SetSplitTop(mSplitTop + Y);
        ResizeControls();
    } catch (...) {
    }
}

void frmOpenTable::fraSplit_MouseUp(int Button) {
    if (Button != 1)
        return;
    try {
        SetSplitTop(SqlEditor::ClampSplitTop(mSplitTop, SqlEditor::OuterHeightTwips(this)));
        ResizeControls();
    } catch (...) {
    }
}
