#pragma once
// The query window: runs a T-SQL batch on one database of a registered server and shows the
// first result set in a grid and the server's messages under a second tab. One default
// instance, a child window of the main window's document area.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QTextEdit;
class QToolButton;
class SelOpta;
class cServer;
class clsFormataSQL;
namespace dmo {
class QueryResults;
}

class frmQuery : public QWidget {
    Q_OBJECT
public:
    // The default instance, loaded on first use; Loaded() tells whether it exists.
    static frmQuery* Default();
    static bool Loaded();

    ~frmQuery() override;
    QSize sizeHint() const override;

    // Shows the window on the server and preselects the database (may be empty).
    void ShowForm(cServer* clsServer, const QString& Database);

    // Copies the grid's selection (tabs between cells, carriage returns between rows).
    void mnuGridCopiar_Click();

    // Controls, named as the window's design names them.
    QLabel* Label2 = nullptr;
    QLabel* lblServer = nullptr;
    QLabel* Label1 = nullptr;
    SelOpta* eselDatabase = nullptr;
    QToolButton* cmdExecute = nullptr;
    QLabel* Label3 = nullptr;
    QTextEdit* txtQuery = nullptr;
    QFrame* fraSplit = nullptr;
    QTabWidget* tabMain = nullptr;
    QTableWidget* grdGrid = nullptr;
    QTextEdit* txtMsg = nullptr;
    QLabel* picTeste = nullptr;
    QLineEdit* Text1 = nullptr;
    QStatusBar* staInfo = nullptr;

    cServer* Server() const { return mServer.get(); }

    // The splitter's top in twips, within the window.
    int SplitTop() const;
    // The window's outer width and height in twips (frame and caption included).
    int OuterWidthTwips() const;
    int OuterHeightTwips() const;

public slots:
    void cmdExecute_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void txtQuery_Change();
    void tabMain_Click();

private:
    explicit frmQuery(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload();
    void txtQuery_KeyUp(int KeyCode, int Shift);
    void fraSplit_MouseMove(int Button, int Y);
    void fraSplit_MouseUp(int Button);
    void grdGrid_MouseUp(int Button, const QPoint& globalPos);

    void ExecuteQuery(const QString& Text);
    void ResizeControls();

    // Helpers of ExecuteQuery.
    void FillGrid(const dmo::QueryResults& results);
    void AppendMsg(const QString& text);
    void SetSplitTop(int twips);
    QWidget* OuterWindow() const;

    std::shared_ptr<cServer> mServer;
    int mSplitTop = 3360; // twips
    std::unique_ptr<clsFormataSQL> mFormata;

    static QPointer<frmQuery> s_default;
};
