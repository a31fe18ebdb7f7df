#pragma once
// The stored-procedure editor: a modal dialog that creates a procedure from a template or
// alters an existing one with the text the user edits.

#include <QDialog>
#include <QString>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTextEdit;
class cServer;
class clsFormataSQL;

class frmCreateProcedure : public QDialog {
    Q_OBJECT
public:
    explicit frmCreateProcedure(QWidget* parent = nullptr);
    ~frmCreateProcedure() override;

    // Modo "N" (new, SP empty) or "A" (alter SP). Shows the dialog modally; true when the
    // procedure was saved. An error while opening is shown and gives false at once.
    bool ShowForm(cServer* clsServer, const QString& Modo, const QString& Database,
                  const QString& SP);

    // The new-procedure template, lines joined by line feeds as the editor holds them.
    static QString Template();

    // Controls, named as the window's design names them.
    QLabel* Label1 = nullptr;
    QTextEdit* txtQuery = nullptr;
    QFrame* fraBotoes = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLineEdit* Text1 = nullptr;

    bool Loading() const { return mLoading; }
    bool Saved() const { return mSaved; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void txtQuery_Change();

private:
    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload();
    void txtQuery_KeyUp(int KeyCode, int Shift);
    // The error's number, a line break and its description, in a critical message box.
    static void ShowError(const std::exception& error);

    cServer* mServer = nullptr;
    QString mModo;
    QString mDatabase;
    QString mProcedure;
    bool mLoading = false;
    bool mSaved = false;
    std::unique_ptr<clsFormataSQL> mFormata;
};
