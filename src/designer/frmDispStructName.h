#pragma once
// The new-table-name dialog "Nome da Nova Tabela": asks the name of a new table and refuses an
// empty name or the name of a table the database already has.

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
namespace dmo {
class Database;
}

class frmDispStructName : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modally, centred on the screen. True when a name was accepted: it is
    // then in ByRefName exactly as typed; False when cancelled or closed, ByRefName untouched.
    // Database (may be null) gives the existing tables.
    static bool ShowName(dmo::Database* Database, QString& ByRefName);

    // The window while ShowName runs (tests find it here), else nullptr.
    static frmDispStructName* Current();

    ~frmDispStructName() override;

    QLabel* lblNome = nullptr;
    QLineEdit* txtNome = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancelar = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmDispStructName(QWidget* parent = nullptr);

    void Form_Load();
    void cmdOk_Click();
    void cmdCancelar_Click();
    // The names of every table of the database, of any owner, system tables included.
    QStringList TableNames() const;

    bool mCancel = true;
    dmo::Database* mDatabase = nullptr;
};
