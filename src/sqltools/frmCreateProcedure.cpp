#include "sqltools/frmCreateProcedure.h"

#include "core/FormHelpers.h"
#include "core/HourglassGuard.h"
#include "core/MsgBox.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/DmoError.h"
#include "dmo/SQLServer.h"
#include "dmo/StoredProcedures.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

namespace {

// Designed inner area of the window, twips.
constexpr int kDesignWidth = 6765;
constexpr int kDesignHeight = 6870;
constexpr int kStatusHeight = 255;
constexpr int kMinWidth = 3600;
constexpr int kMinHeight = 3000;

using SqlEditor::TwipsRect;

// Line breaks as the editor keeps them (one line feed each).
QString editorText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The server session of a registered server; throws when it has none.
std::shared_ptr<dmo::SQLServer> sessionOf(const cServer* server) {
    std::shared_ptr<dmo::SQLServer> session = server ? server->SQLDMOServer() : nullptr;
    if (!session)
        throw dmo::DmoError(dmo::Errors::NotConnected,
                            QStringLiteral("O servidor não está ligado."));
    return session;
}

} // namespace

frmCreateProcedure::frmCreateProcedure(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCreateProcedure"));
    setWindowTitle(QStringLiteral("Procedimentos"));
    setModal(true);
    setFont(SqlEditor::WindowFont());
    resize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
    // Small enough to get out of the way, large enough to keep the buttons and a few lines.
    setMinimumSize(TwipsToPixelsX(kMinWidth), TwipsToPixelsY(kMinHeight));

    Label1 = new QLabel(QStringLiteral("&Procedimento :"), this);
    Label1->setGeometry(TwipsRect(120, 0, 1695, 255));
    txtQuery = new QTextEdit(this);
    txtQuery->setObjectName(QStringLiteral("txtQuery"));
    txtQuery->setAcceptRichText(false);
    txtQuery->setFont(SqlEditor::EditorFont());
    txtQuery->setLineWrapMode(QTextEdit::NoWrap);
    txtQuery->setGeometry(TwipsRect(0, 240, 6735, 5775));
    txtQuery->installEventFilter(this);
    Label1->setBuddy(txtQuery);
    connect(txtQuery, &QTextEdit::textChanged, this, &frmCreateProcedure::txtQuery_Change);

    fraBotoes = new QFrame(this);
    fraBotoes->setObjectName(QStringLiteral("fraBotoes"));
    fraBotoes->setGeometry(TwipsRect(4440, 6240, 2295, 375));
    cmdOK = new QPushButton(QStringLiteral("&OK"), fraBotoes);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(0, 0, 1095, 375));
    cmdOK->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmCreateProcedure::cmdOK_Click);
    cmdCancel = new QPushButton(QStringLiteral("&Cancelar"), fraBotoes);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(TwipsRect(1200, 0, 1095, 375));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCreateProcedure::cmdCancel_Click);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
}

frmCreateProcedure::~frmCreateProcedure() = default;

QString frmCreateProcedure::Template() {
    return QStringLiteral("Create Procedure NomeProcedimento\n"
                          "@Par1 varchar(1)\n"
                          "AS\n"
                          "Declare @LocalVar varchar(1)\n"
                          "Return");
}

void frmCreateProcedure::Form_Load() {
    try {
        SetupChildForm(this);
    } catch (...) {
    }
    try {
        CenterForm(this);
    } catch (...) {
    }
    try {
        SetHelpContext(this);
    } catch (...) {
    }
    mFormata = std::make_unique<clsFormataSQL>();
    Text1->move(TwipsToPixelsX(-5000), Text1->y());
}

void frmCreateProcedure::Form_Resize() {
    const int W = SqlEditor::OuterWidthTwips(this);
    const int H = SqlEditor::OuterHeightTwips(this);
    // Each rule on its own: a negative size is skipped.
    if (H - 1500 >= 0)
        txtQuery->resize(txtQuery->width(), TwipsToPixelsY(H - 1500));
    if (W - 120 >= 0)
        txtQuery->resize(TwipsToPixelsX(W - 120), txtQuery->height());
    const int frameWidth = int(PixelsToTwipsX(fraBotoes->width()));
    const int frameHeight = int(PixelsToTwipsY(fraBotoes->height()));
    fraBotoes->move(TwipsToPixelsX(W - frameWidth - 120), TwipsToPixelsY(H - frameHeight - 650));
}

void frmCreateProcedure::Form_QueryUnload() {
    mFormata.reset();
}

void frmCreateProcedure::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int h = TwipsToPixelsY(kStatusHeight);
    StatusBar1->setGeometry(0, height() - h, width(), h);
    Form_Resize();
}

void frmCreateProcedure::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    QDialog::closeEvent(event);
}

void frmCreateProcedure::ShowError(const std::exception& error) {
    int number = 0;
    QString description = QString::fromLocal8Bit(error.what());
    if (const auto* e = dynamic_cast<const dmo::DmoError*>(&error)) {
        number = e->Number();
        description = e->Description();
    }
    MsgBox(QString::number(number) + QLatin1Char('\n') + description, vbCritical);
}

bool frmCreateProcedure::ShowForm(cServer* clsServer, const QString& Modo, const QString& Database,
                                  const QString& SP) {
    // 1-3.
    mServer = clsServer;
    mModo = Modo;
    mDatabase = Database;
    mProcedure = SP;
    mLoading = true;
    {
        HourglassGuard hourglass;
        try {
            Form_Load();
            // 4. A new procedure starts from the template.
            if (mModo != QLatin1String("A"))
                txtQuery->setPlainText(Template());
            // 5. An existing one shows its definition as the server holds it.
            if (mModo == QLatin1String("A")) {
                dmo::DatabasePtr db = sessionOf(mServer)->Databases()->Item(Database);
                auto procedures = db->StoredProcedures();
                procedures->Refresh();
                dmo::StoredProcedurePtr procedure = procedures->Item(SP);
                const QString text = editorText(procedure->Text());
                setWindowTitle(QStringLiteral("Procedimentos [") + procedure->Name() +
                               QLatin1Char(']'));
                txtQuery->setPlainText(text);
            }
        } catch (const std::exception& e) {
            hourglass.restore();
            mLoading = false;
            ShowError(e);
            return false;
        }
        // 6-7.
        try {
            if (mFormata)
                mFormata->FormataTudo(txtQuery);
        } catch (...) {
        }
        mLoading = false;
    }
    // 8-9.
    exec();
    return mSaved;
}

void frmCreateProcedure::cmdOK_Click() {
    HourglassGuard hourglass;
    try {
        dmo::DatabasePtr db = sessionOf(mServer)->Databases()->Item(mDatabase);
        const QString text = SqlEditor::EditorText(txtQuery);
        if (mModo != QLatin1String("N")) {
            auto procedures = db->StoredProcedures();
            procedures->Item(mProcedure)->Alter(text);
        }
        if (mModo == QLatin1String("N")) {
            auto procedure = std::make_shared<dmo::StoredProcedure2>();
            procedure->SetText(text);
            db->StoredProcedures()->Add(procedure);
        }
        db.reset();
        hourglass.restore();
        mSaved = true;
        hide();
    } catch (const std::exception& e) {
        hourglass.restore();
        ShowError(e);
    }
}

void frmCreateProcedure::cmdCancel_Click() {
    mSaved = false;
    hide();
}

bool frmCreateProcedure::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtQuery && event->type() == QEvent::KeyRelease) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (!e->isAutoRepeat())
            txtQuery_KeyUp(SqlEditor::KeyCodeOf(e), SqlEditor::ShiftOf(e->modifiers()));
    }
    return QDialog::eventFilter(watched, event);
}

void frmCreateProcedure::txtQuery_Change() {
    if (mLoading)
        return;
    SqlEditor::EditorChange(mFormata.get(), txtQuery, Text1, false);
}

void frmCreateProcedure::txtQuery_KeyUp(int KeyCode, int Shift) {
    // No F5 here: the editor only formats on the paste keys.
    SqlEditor::EditorKeyUp(mFormata.get(), txtQuery, KeyCode, Shift);
}
