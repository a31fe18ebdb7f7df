#include "sqltools/SqlEditorWindow.h"

#include "core/FormHelpers.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

namespace {

// Designed inner area of the window, twips.
constexpr int kDesignWidth = 9630;
constexpr int kDesignHeight = 10980;
constexpr int kSplitHeight = 75;
constexpr int kStatusHeight = 375;

using SqlEditor::TwipsRect;

} // namespace

SqlEditorWindow::SqlEditorWindow(const QString& name, const QString& caption, int gridMargin,
                                 QWidget* parent)
    : QWidget(parent), mGridMargin(gridMargin) {
    setObjectName(name);
    setWindowTitle(caption);
    setFont(SqlEditor::WindowFont());
}

SqlEditorWindow::~SqlEditorWindow() = default;

QSize SqlEditorWindow::sizeHint() const {
    return QSize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
}

void SqlEditorWindow::BuildServerCaption(int serverWidth) {
    Label2 = new QLabel(QStringLiteral("Servidor :"), this);
    AddToTopRow(Label2, 120, 120, 1695, 255);
    lblServer = new QLabel(this);
    lblServer->setObjectName(QStringLiteral("lblServer"));
    lblServer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    AddToTopRow(lblServer, 840, 120, serverWidth, 315);
}

void SqlEditorWindow::AddToTopRow(QWidget* control, int left, int top, int width, int height) {
    const QRect designed = TwipsRect(left, top, width, height);
    control->setGeometry(designed);
    mTopRow.push_back({control, designed});
}

void SqlEditorWindow::LayoutTopRow() {
    LayoutCaptionRow(mTopRow, TwipsToPixelsX(60));
}

void SqlEditorWindow::BuildEditor(int executeLeft, const QString& editorCaption) {
    cmdExecute = new QToolButton(this);
    cmdExecute->setObjectName(QStringLiteral("cmdExecute"));
    AddToTopRow(cmdExecute, executeLeft, 120, 495, 315);
    cmdExecute->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    cmdExecute->setToolTip(QStringLiteral("F5 - Executar o(s) comando(s) seleccionado(s)"));
    connect(cmdExecute, &QToolButton::clicked, this, &SqlEditorWindow::cmdExecute_Click);

    Label3 = new QLabel(editorCaption, this);
    Label3->setGeometry(TwipsRect(120, 480, 4815, 255));
    txtQuery = new QTextEdit(this);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    txtQuery->setAcceptRichText(false);
    txtQuery->setFont(SqlEditor::EditorFont());
    txtQuery->setLineWrapMode(QTextEdit::NoWrap);
    txtQuery->setGeometry(TwipsRect(0, 720, 7215, 2655));
    txtQuery->installEventFilter(this);
    Label3->setBuddy(txtQuery);
    connect(txtQuery, &QTextEdit::textChanged, this, &SqlEditorWindow::txtQuery_Change);

    fraSplit = new QFrame(this);
    fraSplit->setObjectName(QStringLiteral("fraSplit"));
    fraSplit->setFrameShape(QFrame::HLine);
    fraSplit->setCursor(Qt::SplitVCursor);
    fraSplit->setGeometry(TwipsRect(0, mSplitTop, 6525, kSplitHeight));
    fraSplit->installEventFilter(this);
}

QWidget* SqlEditorWindow::BuildTabs() {
    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    tabMain->setGeometry(TwipsRect(0, 3480, 8295, 5175));
    auto* page0 = new QWidget;
    auto* page1 = new QWidget;
    tabMain->addTab(page0, QStringLiteral("&Resultados"));
    tabMain->addTab(page1, QStringLiteral("&Mensagens"));
    connect(tabMain, &QTabWidget::currentChanged, this, &SqlEditorWindow::tabMain_Click);
    return page0;
}

void SqlEditorWindow::BuildFooter() {
    const QFont courier = SqlEditor::EditorFont();
    txtMsg = new QTextEdit(tabMain->widget(1));
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

void SqlEditorWindow::Open() {
    SqlEditor::AddToDocumentArea(this, sizeHint());
    Form_Load();
}

void SqlEditorWindow::Form_Load() {
    try {
        SetupChildForm(this);
    } catch (...) {
    }
    mFormata = std::make_unique<clsFormataSQL>();
    Text1->move(TwipsToPixelsX(-5000), Text1->y());
}

void SqlEditorWindow::Form_Resize() {
    ResizeControls();
}

void SqlEditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = TwipsToPixelsY(kStatusHeight);
    staInfo->setGeometry(0, height() - h, width(), h);
    Form_Resize();
}

int SqlEditorWindow::OuterWidthTwips() const {
    return SqlEditor::OuterWidthTwips(this);
}

int SqlEditorWindow::OuterHeightTwips() const {
    return SqlEditor::OuterHeightTwips(this);
}

void SqlEditorWindow::FindServer() {
    try {
        int index = -1;
        cServerCOL& servers = cVarnolt::instance().clsServers();
        servers.GetServerByName(lblServer->text(), &index);
        mServer = index > 0 ? servers.ItemPtr(index) : nullptr;
    } catch (...) {
        mServer.reset();
    }
}

void SqlEditorWindow::SetSplitTop(int twips) {
    mSplitTop = twips;
    fraSplit->move(fraSplit->x(), TwipsToPixelsY(twips));
}

void SqlEditorWindow::ResizeControls() {
    SqlEditor::SplitControls c;
    c.form = this;
    c.editor = txtQuery;
    c.split = fraSplit;
    c.tabs = tabMain;
    c.grid = mResultsGrid;
    c.messages = txtMsg;
    c.splitHeight = kSplitHeight;
    c.gridMargin = mGridMargin;
    SqlEditor::ResizeControls(c, mSplitTop);
}

void SqlEditorWindow::tabMain_Click() {
    try {
        SqlEditor::TabClick(tabMain, mResultsGrid, txtMsg);
    } catch (...) {
    }
}

bool SqlEditorWindow::eventFilter(QObject* watched, QEvent* event) {
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

void SqlEditorWindow::txtQuery_Change() {
    SqlEditor::EditorChange(mFormata.get(), txtQuery, Text1, true);
}

void SqlEditorWindow::txtQuery_KeyUp(int KeyCode, int Shift) {
    SqlEditor::EditorKeyUp(mFormata.get(), txtQuery, KeyCode, Shift);
    try {
        if (KeyCode == 116)
            cmdExecute_Click();
    } catch (...) {
    }
}

void SqlEditorWindow::fraSplit_MouseMove(int Button, int Y) {
    if (Button != 1)
        return;
    try {
        SetSplitTop(mSplitTop + Y);
        ResizeControls();
    } catch (...) {
    }
}

void SqlEditorWindow::fraSplit_MouseUp(int Button) {
    if (Button != 1)
        return;
    try {
        SetSplitTop(SqlEditor::ClampSplitTop(mSplitTop, OuterHeightTwips()));
        ResizeControls();
    } catch (...) {
    }
}
