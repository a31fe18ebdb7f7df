#pragma once
// The column-search window "Procura de Colunas": finds the next column of the designer's
// column list whose name matches a pattern with wildcards and selects it. It stays loaded
// between searches (hidden) until it is closed with its close box or unloaded.

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class CListViewManager;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmDispStructFind : public QDialog {
    Q_OBJECT
public:
    // Shows the search window modally over clsStruct (the designer's column list, field Name);
    // returns when the window is hidden. The window keeps its text and options for the next
    // call until it is unloaded. Selected, when given, runs with the row's 1-based index
    // each time the search selects a row.
    static void ShowPesq(CListViewManager& clsStruct, std::function<void(int)> Selected = {});

    // The single instance, nullptr when not loaded.
    static frmDispStructFind* Instance();
    static bool Loaded();
    // Discards the instance (the designer does it when it closes).
    static void Unload();

    ~frmDispStructFind() override;

    QLabel* lblFind = nullptr;
    QLineEdit* txtFind = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* optInicio = nullptr;
    QPushButton* cmdProcurar = nullptr;
    QPushButton* cmdCancelar = nullptr;

    int SearchPass() const { return mSearchPass; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmDispStructFind(QWidget* parent = nullptr);

    void Form_Load();
    void cmdProcurar_Click();
    void cmdCancelar_Click();

    // Selects a row of the list and reports it.
    void SelectRow(int Row);

    QPointer<CListViewManager> mStruct;
    std::function<void(int)> mSelected;
    int mSearchPass = 0;
};

// The runtime's Like over one text: "*" any run of characters, "?" any one character, "#" one
// digit, "[list]" one of the list's characters or ranges (a-z), "[!list]" any other one; a "["
// without its "]" stands for itself. Case counts.
bool LikePattern(const QString& Text, const QString& Pattern);
