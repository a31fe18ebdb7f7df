#pragma once
// The base of the T-SQL editor windows: the captions, the run button, the editor, the
// splitter, the result tabs and the status bar, with their shared handlers. Each window adds
// its own grid and database control and runs the text its own way.

#include "core/CaptionRow.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QStatusBar;
class QTabWidget;
class QTextEdit;
class QToolButton;
class cServer;
class clsFormataSQL;

class SqlEditorWindow : public QWidget {
    Q_OBJECT
public:
    ~SqlEditorWindow() override;
    QSize sizeHint() const override;

    // Controls, named as the window's design names them.
    QLabel* Label2 = nullptr;
    QLabel* lblServer = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* cmdExecute = nullptr;
    QLabel* Label3 = nullptr;
    QTextEdit* txtQuery = nullptr;
    QFrame* fraSplit = nullptr;
    QTabWidget* tabMain = nullptr;
    QTextEdit* txtMsg = nullptr;
    QLabel* picTeste = nullptr;
    QLineEdit* Text1 = nullptr;
    QStatusBar* staInfo = nullptr;

    cServer* Server() const { return mServer.get(); }

    // The splitter's top in twips, within the window.
    int SplitTop() const { return mSplitTop; }
    // The window's outer width and height in twips (frame and caption included).
    int OuterWidthTwips() const;
    int OuterHeightTwips() const;

public slots:
    virtual void cmdExecute_Click() = 0;

protected:
    // gridMargin: the result tabs' height less the grid's, twips.
    SqlEditorWindow(const QString& name, const QString& caption, int gridMargin,
                    QWidget* parent = nullptr);

    // The controls, built in the window's order; the window puts its grid on the results
    // page between BuildTabs and BuildFooter, and its database control between the server
    // caption and the run button.
    void BuildServerCaption(int serverWidth);
    void BuildEditor(int executeLeft, const QString& editorCaption);
    QWidget* BuildTabs(); // the results page
    void BuildFooter();
    // The grid the layout and the tab rule place.
    void SetResultsGrid(QWidget* grid) { mResultsGrid = grid; }
    // Puts a control of the top row at its designed place (twips) and in the row's layout.
    void AddToTopRow(QWidget* control, int left, int top, int width, int height);
    // The top row placed for its texts in the window's font (see CaptionRow.h).
    void LayoutTopRow();

    // The default instance kept in `slot`: made, put in the document area and loaded on first
    // use. The window makes SqlEditorWindow its friend for its private constructor.
    template <class Form> static Form* DefaultInstance(QPointer<Form>& slot) {
        if (!slot) {
            slot = new Form;
            slot->Open();
        }
        return slot;
    }
    // Puts the window in the document area and loads it.
    void Open();
    virtual void Form_Load();
    void Form_Resize();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    void txtQuery_Change();
    void txtQuery_KeyUp(int KeyCode, int Shift);
    void fraSplit_MouseMove(int Button, int Y);
    void fraSplit_MouseUp(int Button);
    void tabMain_Click();

    void ResizeControls();
    void SetSplitTop(int twips);
    // The registered server named by the server caption, or none.
    void FindServer();

    std::shared_ptr<cServer> mServer;
    std::unique_ptr<clsFormataSQL> mFormata;

private:
    int mSplitTop = 3360; // twips
    int mGridMargin;
    QWidget* mResultsGrid = nullptr;
    std::vector<CaptionRowItem> mTopRow;
};
