#include "explorer/WMenu.h"

#include "controls/ShowListDialog.h"
#include "core/AppIcon.h"
#include "core/Settings.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "core/cVarnolt.h"
#include "designer/frmDispStruct.h"
#include "explorer/frmExplorer.h"
#include "sqltools/frmQuery.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

QPointer<WMenu> WMenu::s_current;

WMenu::WMenu(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("WMenu"));
    s_current = this;
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);

    mnuFicheiro = menuBar()->addMenu(QStringLiteral("&Ficheiro"));
    mnuFicheiro->setObjectName(QStringLiteral("mnuFicheiro"));
    mnuFicheiroSair = mnuFicheiro->addAction(QStringLiteral("&Sair"));
    mnuFicheiroSair->setObjectName(QStringLiteral("mnuFicheiroSair"));
    connect(mnuFicheiroSair, &QAction::triggered, this, &QWidget::close);

    // The explorer's commands; filled in by Form_Load once the explorer exists.
    mnuFerramentas = menuBar()->addMenu(QStringLiteral("F&erramentas"));
    mnuFerramentas->setObjectName(QStringLiteral("mnuFerramentas"));

    mnuJanela = menuBar()->addMenu(QStringLiteral("&Janela"));
    mnuJanela->setObjectName(QStringLiteral("mnuJanela"));
    mnuJanelaExplorer = mnuJanela->addAction(QStringLiteral("&Explorador"));
    mnuJanelaExplorer->setObjectName(QStringLiteral("mnuJanelaExplorer"));
    connect(mnuJanelaExplorer, &QAction::triggered, this, &WMenu::mnuJanelaExplorer_Click);
    mnuJanelaCascata = mnuJanela->addAction(QStringLiteral("&Cascata"));
    connect(mnuJanelaCascata, &QAction::triggered, mdiArea, &QMdiArea::cascadeSubWindows);
    mnuJanelaLado = mnuJanela->addAction(QStringLiteral("&Lado a Lado"));
    connect(mnuJanelaLado, &QAction::triggered, mdiArea, &QMdiArea::tileSubWindows);

    // Popup menus: kept in the menu bar but not shown there.
    mnuTable = menuBar()->addMenu(QStringLiteral("Estrutura"));
    mnuTable->setObjectName(QStringLiteral("mnuTable"));
    mnuTable->menuAction()->setVisible(false);
    auto tableItem = [this](const char* name, const QString& text, void (WMenu::*handler)()) {
        QAction* a = mnuTable->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnuTableAddColumn = tableItem("mnuTableAddColumn", QStringLiteral("Nova Coluna"),
                                  &WMenu::mnuTableAddColumn_Click);
    mnuTableRemoveColumns =
        tableItem("mnuTableRemoveColumns", QStringLiteral("Eliminar as Colunas Seleccionadas"),
                  &WMenu::mnuTableRemoveColumns_Click);
    mnuTableSetPk = tableItem("mnuTableSetPk", QStringLiteral("Definir Chave Primária"),
                              &WMenu::mnuTableSetPk_Click);
    mnuTableRemovePk = tableItem("mnuTableRemovePk", QStringLiteral("Remover Chave Primária"),
                                 &WMenu::mnuTableRemovePk_Click);
    mnuTableIndexes =
        tableItem("mnuTableIndexes", QStringLiteral("Índices"), &WMenu::mnuTableIndexes_Click);
    mnuTableFind =
        tableItem("mnuTableFind", QStringLiteral("Procurar"), &WMenu::mnuTableFind_Click);
    mnuTableSave = tableItem("mnuTableSave", QStringLiteral("Gravar"), &WMenu::mnuTableSave_Click);

    mnuGrid = menuBar()->addMenu(QStringLiteral("Grelha"));
    mnuGrid->setObjectName(QStringLiteral("mnuGrid"));
    mnuGrid->menuAction()->setVisible(false);
    mnuGridCopiar = mnuGrid->addAction(QStringLiteral("Copiar"));
    mnuGridCopiar->setObjectName(QStringLiteral("mnuGridCopiar"));
    connect(mnuGridCopiar, &QAction::triggered, this, &WMenu::mnuGridCopiar_Click);

    Form_Load();
}

WMenu::~WMenu() {
    Form_Unload();
}

frmExplorer* WMenu::Explorer() const {
    return m_Explorer;
}

WMenu* WMenu::Current() {
    return s_current;
}

void WMenu::Form_Load() {
    cVarnolt::instance();
    setWindowTitle(QStringLiteral("Varnolt ") + QStringLiteral(VARNOLT_VERSION));
    setWindowIcon(AppIcon());
    RestorePlacement();
    m_ConfirmaSaida =
        RegGetString(RegNames::ConfirmaSaida, QStringLiteral("0")).trimmed() == QLatin1String("1");
    LoadNumRegistos();

    m_Explorer = frmExplorer::Create(mdiArea);
    for (QAction* a : m_Explorer->Commands())
        mnuFerramentas->addAction(a);
    m_Explorer->ShowExplorer();
}

void WMenu::RestorePlacement() {
    bool ok[4] = {};
    const int top = RegGetString(RegNames::WTop).toInt(&ok[0]);
    const int left = RegGetString(RegNames::WLeft).toInt(&ok[1]);
    const int height = RegGetString(RegNames::WHeight).toInt(&ok[2]);
    const int width = RegGetString(RegNames::WWidth).toInt(&ok[3]);
    if (ok[0] && ok[1] && ok[2] && ok[3] && height > 0 && width > 0) {
        resize(TwipsToPixelsX(width), TwipsToPixelsY(height));
        move(TwipsToPixelsX(left), TwipsToPixelsY(top));
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->availableGeometry();
        resize(s.width() * 4 / 5, s.height() * 4 / 5);
        move(s.left() + s.width() / 10, s.top() + s.height() / 10);
    }
    if (RegGetString(RegNames::Max).trimmed() == QLatin1String("1"))
        setWindowState(windowState() | Qt::WindowMaximized);
}

void WMenu::SavePlacement() {
    const bool max = isMaximized();
    RegSetString(RegNames::Max, max ? QStringLiteral("1") : QStringLiteral("0"));
    const QRect g = max ? normalGeometry() : geometry();
    if (!g.isValid())
        return;
    const QRect f = max ? g : frameGeometry();
    RegSetString(RegNames::WTop, QString::number(qRound(PixelsToTwipsY(f.top()))));
    RegSetString(RegNames::WLeft, QString::number(qRound(PixelsToTwipsX(f.left()))));
    RegSetString(RegNames::WHeight, QString::number(qRound(PixelsToTwipsY(g.height()))));
    RegSetString(RegNames::WWidth, QString::number(qRound(PixelsToTwipsX(g.width()))));
}

bool WMenu::Form_QueryUnload() {
    SavePlacement();
    if (m_ConfirmaSaida && ShowListDialog(QStringLiteral("Quer mesmo Sair?"),
                                          {QStringLiteral("Sim"), QStringLiteral("Não")}) != 1)
        return false;
    return true;
}

void WMenu::Form_Unload() {
    if (m_Unloaded)
        return;
    m_Unloaded = true;
    // The work windows and the explorer go with the main window, before the servers are
    // disconnected: the designer renews its server's connection when it closes.
    if (m_Explorer)
        m_Explorer->Unload();
    if (mdiArea)
        mdiArea->closeAllSubWindows();
    if (cVarnolt::exists()) {
        for (const auto& server : cVarnolt::instance().clsServers()) {
            try {
                if (server->IsConnected())
                    server->Disconnect();
            } catch (...) {
            }
        }
    }
    cVarnolt::release();
}

void WMenu::closeEvent(QCloseEvent* event) {
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void WMenu::mnuGridCopiar_Click() {
    if (frmQuery::Loaded())
        frmQuery::Default()->mnuGridCopiar_Click();
}

void WMenu::mnuJanelaExplorer_Click() {
    if (m_Explorer)
        m_Explorer->ShowExplorer();
}

// The designer's popup menu: each item runs on the open designer only (Default() would make
// one).
void WMenu::mnuTableAddColumn_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->AddColumn();
}

void WMenu::mnuTableRemoveColumns_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->RemoveColumns();
}

void WMenu::mnuTableSetPk_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->SetPk();
}

void WMenu::mnuTableRemovePk_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->RemovePk();
}

void WMenu::mnuTableIndexes_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->ShowIndexes();
}

void WMenu::mnuTableFind_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->ShowFind();
}

void WMenu::mnuTableSave_Click() {
    if (frmDispStruct::Loaded())
        frmDispStruct::Default()->SaveStruct();
}
