#include "designer/frmDispStructName.h"

#include "core/FormHelpers.h"
#include "core/MsgBox.h"
#include "core/TextHelpers.h"
#include "dmo/Database.h"
#include "dmo/DmoError.h"
#include "dmo/QueryResults.h"
#include "dmo/Tables.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {
QPointer<frmDispStructName> s_current;
}

frmDispStructName* frmDispStructName::Current() {
    return s_current;
}

frmDispStructName::frmDispStructName(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDispStructName"));
    setWindowTitle(QStringLiteral("Nome da Nova Tabela"));
    lblNome = new QLabel(QStringLiteral("&Nome :"), this);
    txtNome = new QLineEdit(this);
    txtNome->setObjectName(QStringLiteral("txtNome"));
    lblNome->setBuddy(txtNome);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblNome, 0, 0);
    grid->addWidget(txtNome, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancelar);
    grid->addLayout(buttons, 1, 0, 1, 2);
    resize(360, sizeHint().height());

    txtNome->installEventFilter(this);
    connect(cmdOk, &QPushButton::clicked, this, &frmDispStructName::cmdOk_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmDispStructName::cmdCancelar_Click);
    Form_Load();
}

frmDispStructName::~frmDispStructName() = default;

void frmDispStructName::Form_Load() {
    CenterForm(this, nullptr);
    SetHelpContextID(this, 10004);
    SetHelpContext(this);
}

bool frmDispStructName::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtNome && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtNome, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

bool frmDispStructName::ShowName(dmo::Database* Database, QString& ByRefName) {
    frmDispStructName form;
    s_current = &form;
    form.mCancel = true;
    form.mDatabase = Database;
    form.exec();
    bool result = false;
    if (!form.mCancel) {
        ByRefName = form.txtNome->text();
        result = true;
    }
    form.mDatabase = nullptr;
    return result;
}

void frmDispStructName::cmdOk_Click() {
    const QString name = txtNome->text();
    if (TrimBlanks(name).isEmpty()) {
        MsgBox(QStringLiteral("Tem que Indicar um Nome para a Tabela!"), vbCritical);
        txtNome->setFocus();
        return;
    }
    const QString wanted = TrimBlanks(name).toLower();
    for (const QString& table : TableNames()) {
        if (TrimBlanks(table).toLower() == wanted) {
            MsgBox(QStringLiteral("Já Existe uma Tabela com o Nome Indicado!"), vbExclamation,
                   QStringLiteral("Atenção:"));
            txtNome->setFocus();
            return;
        }
    }
    mCancel = false;
    done(Accepted);
}

QStringList frmDispStructName::TableNames() const {
    QStringList names;
    if (!mDatabase)
        return names;
    try {
        auto tables = mDatabase->Tables();
        tables->Refresh(); // tables made since the list was read count too
        for (int i = 1; i <= tables->Count(); ++i)
            names << tables->Item(i)->Name();
    } catch (const dmo::DmoError&) {
        // The list cannot be read: its names are taken as free.
    }
    try {
        // The system tables are tables of the database too.
        const dmo::QueryResultsPtr system = mDatabase->ExecuteWithResults(
            QStringLiteral("SELECT name FROM sysobjects WHERE xtype = 'S'"));
        for (int r = 1; r <= system->Rows(); ++r)
            names << system->GetColumnString(r, 1);
    } catch (const dmo::DmoError&) {
    }
    return names;
}

void frmDispStructName::cmdCancelar_Click() {
    mCancel = true;
    done(Rejected);
}
