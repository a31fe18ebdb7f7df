#pragma once
// The table window: runs a SELECT through the data control and shows its rows in an editable
// grid; an edited row is written back to the table. One default instance, a child window of
// the main window's document area; closing it drops the instance.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTextEdit;
class QToolButton;
class cServer;
class clsFormataSQL;
namespace ado {
class DataControl;
}

class frmOpenTable : public QWidget {
    Q_OBJECT
public:
    // The default instance, loaded on first use; Loaded() tells whether it exists.
    static frmOpenTable* Default();
    static bool Loaded();

    ~frmOpenTable() override;
    QSize sizeHint() const override;

    // Shows the window on the table (its name without the owner) and runs its SELECT.
    void ShowForm(cServer* clsServer, const QString& Database, const QString& Tabela);

    // The SELECT written for a table: limited to `rows` rows unless it is 0.
    static QString SelectText(const QString& Tabela, qint32 rows);

    // Controls, named as the window's design names them.
    QLabel* Label2 = nullptr;
    QLabel* lblServer = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblDatabase = nullptr;
    QToolButton* cmdExecute = nullptr;
    QLabel* Label3 = nullptr;
    QTextEdit* txtQuery = nullptr;
    QFrame* fraSplit = nullptr;
    QTabWidget* tabMain = nullptr;
    QTableView* grdGrid = nullptr;
    QTextEdit* txtMsg = nullptr;
    QLabel* picTeste = nullptr;
    QLineEdit* Text1 = nullptr;
    QStatusBar* staInfo = nullptr;
    ado::DataControl* datData = nullptr;

    cServer* Server() const { return mServer.get(); }
    // The splitter's top in twips, within the window.
    int SplitTop() const { return mSplitTop; }

public slots:
    void cmdExecute_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void txtQuery_Change();
    void tabMain_Click();
    void datData_Error(int ErrorNumber, const QString& Description, bool& fCancelDisplay);
    void grdGrid_Error(int DataError, const QString& ErrorText);
    void grdGrid_AfterUpdate();

private:
    explicit frmOpenTable(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload();
    void txtQuery_KeyUp(int KeyCode, int Shift);
    void fraSplit_MouseMove(int Button, int Y);
    void fraSplit_MouseUp(int Button);

    void ExecuteSelect(const QString& SQL);
    void ResizeControls();
    void SetSplitTop(int twips);

    std::shared_ptr<cServer> mServer;
    int mSplitTop = 3360; // twips
    std::unique_ptr<clsFormataSQL> mFormata;
    bool mRunning = false;

    static QPointer<frmOpenTable> s_default;
};
