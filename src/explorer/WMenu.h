#pragma once
// The main window: a multiple-document area holding the explorer and the work windows, the
// menus (among them the popup menus mnuTable and mnuGrid), and the window placement kept in
// the settings.

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMenu;
class frmExplorer;

class WMenu : public QMainWindow {
    Q_OBJECT
public:
    explicit WMenu(QWidget* parent = nullptr);
    ~WMenu() override;

    // The main window while one exists.
    static WMenu* Current();

    QMdiArea* mdiArea = nullptr;

    QMenu* mnuFicheiro = nullptr;
    QAction* mnuFicheiroSair = nullptr;
    QMenu* mnuFerramentas = nullptr;
    QMenu* mnuJanela = nullptr;
    QAction* mnuJanelaExplorer = nullptr;
    QAction* mnuJanelaCascata = nullptr;
    QAction* mnuJanelaLado = nullptr;

    // The table designer's popup menu; each item acts on the open designer.
    QMenu* mnuTable = nullptr;
    QAction* mnuTableAddColumn = nullptr;
    QAction* mnuTableRemoveColumns = nullptr;
    QAction* mnuTableSetPk = nullptr;
    QAction* mnuTableRemovePk = nullptr;
    QAction* mnuTableIndexes = nullptr;
    QAction* mnuTableFind = nullptr;
    QAction* mnuTableSave = nullptr;

    // The result grids' popup menu.
    QMenu* mnuGrid = nullptr;
    QAction* mnuGridCopiar = nullptr;

    frmExplorer* Explorer() const;
    // Whether closing asks "Quer mesmo Sair?" (the "ConfirmaSaida" setting, read on load).
    bool ConfirmaSaida() const { return m_ConfirmaSaida; }

public slots:
    void mnuGridCopiar_Click();
    void mnuJanelaExplorer_Click();
    void mnuTableAddColumn_Click();
    void mnuTableRemoveColumns_Click();
    void mnuTableSetPk_Click();
    void mnuTableRemovePk_Click();
    void mnuTableIndexes_Click();
    void mnuTableFind_Click();
    void mnuTableSave_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    bool Form_QueryUnload();
    void Form_Unload();
    void SavePlacement();
    void RestorePlacement();

    QPointer<frmExplorer> m_Explorer;
    bool m_ConfirmaSaida = false;
    bool m_Unloaded = false;
    static QPointer<WMenu> s_current;
};
