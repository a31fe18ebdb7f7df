// The table window: controls, opening and closing.
#include "sqltools/frmOpenTable.h"

#include "ado/DataControl.h"
#include "core/Settings.h"
#include "core/TextHelpers.h"
#include "core/cServer.h"
#include "dmo/Sql.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextEdit>

QPointer<frmOpenTable> frmOpenTable::s_default;

namespace {

// Draws the cells the user cannot edit (columns the server fills) in the disabled text colour.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(index.flags() & Qt::ItemIsEditable))
            option->palette.setColor(QPalette::Text,
                                     option->palette.color(QPalette::Disabled, QPalette::Text));
    }
};

} // namespace

frmOpenTable* frmOpenTable::Default() {
    return DefaultInstance(s_default);
}

bool frmOpenTable::Loaded() {
    return !s_default.isNull();
}

frmOpenTable::frmOpenTable(QWidget* parent)
    : SqlEditorWindow(QStringLiteral("frmOpenTable"), QStringLiteral("Abrir Tabela"), 1000,
                      parent) {
    using SqlEditor::TwipsRect;
    const QFont sans = SqlEditor::WindowFont();

    BuildServerCaption(2055);
    Label1 = new QLabel(QStringLiteral("Base de Dados :"), this);
    AddToTopRow(Label1, 3000, 120, 1695, 255);
    lblDatabase = new QLabel(this);
    lblDatabase->setObjectName(QStringLiteral("lblDatabase"));
    lblDatabase->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    AddToTopRow(lblDatabase, 4200, 120, 2055, 315);

    BuildEditor(6600, QStringLiteral("Comandos &SQL (Select) :"));
    QWidget* page0 = BuildTabs();

    datData = new ado::DataControl(this);
    datData->setObjectName(QStringLiteral("datData"));
    connect(datData, &ado::DataControl::Error, this, &frmOpenTable::datData_Error);

    grdGrid = new QTableView(page0);
    grdGrid->setObjectName(QStringLiteral("grdGrid"));
    grdGrid->setFont(sans);
    grdGrid->setGeometry(TwipsRect(120, 120, 8055, 4575));
    grdGrid->setModel(datData->model());
    grdGrid->setItemDelegate(new GridDelegate(grdGrid));
    grdGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    grdGrid->setWordWrap(false);
    grdGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(sans).height() + 6);
    // The message waits until the grid has closed its editor, so that it comes once.
    connect(datData->model(), &ado::RecordsetModel::writeFailed, this, &frmOpenTable::grdGrid_Error,
            Qt::QueuedConnection);
    connect(datData->model(), &ado::RecordsetModel::rowUpdated, this,
            &frmOpenTable::grdGrid_AfterUpdate);
    SetResultsGrid(grdGrid);

    BuildFooter();
    LayoutTopRow();
}

frmOpenTable::~frmOpenTable() = default;

void frmOpenTable::Form_QueryUnload() {
    mFormata.reset();
    mServer.reset();
}

void frmOpenTable::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    // The next opening makes a new window.
    if (s_default == this)
        s_default = nullptr;
    QWidget::closeEvent(event);
}

QString frmOpenTable::SelectText(const QString& Tabela, qint32 rows) {
    const QString name = dmo::sql::quoteName(Tabela);
    if (rows != 0)
        return QStringLiteral("Select Top ") + QString::number(rows) + QStringLiteral(" * from ") +
               name;
    return QStringLiteral("Select  * from ") + name;
}

void frmOpenTable::ShowForm(cServer* clsServer, const QString& Database, const QString& Tabela) {
    // 1. Show without blocking.
    SqlEditor::ShowChild(this);
    // 2. Server and database captions.
    try {
        lblServer->setText(clsServer ? clsServer->ServerName() : QString());
        lblDatabase->setText(Database);
    } catch (...) {
    }
    LayoutTopRow();
    // 3. The registered server of that name.
    FindServer();
    // 4-5. The table's SELECT, run at once.
    txtQuery->setPlainText(SelectText(Tabela, gNumRegistos));
    cmdExecute_Click();
    // 6. To the front.
    SqlEditor::BringToFront(this);
}
