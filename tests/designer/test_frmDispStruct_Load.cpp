// Opening a table in the designer: what the list and the editor show.
#include "test_frmDispStruct_Fixture.h"

#include "designer/frmDispStructName.h"
#include "dmo/Tables.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <QLocale>
#include <QTimer>

TEST_F(DesignerTest, ExistingTableListsItsColumnsAsLoaded) {
    ASSERT_TRUE(open());
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Estrutura da Tabela [(LOCAL)].[Loja].[dbo].[Pedidos]"));
    EXPECT_EQ(form->OpenTable(), QStringLiteral("Pedidos"));
    ASSERT_EQ(rows(), 8);
    EXPECT_EQ(form->lvwStructure->headerItem()->text(0), QStringLiteral("Nome da Coluna"));

    // Types, lengths, nulls: "Sim" or nothing.
    EXPECT_EQ(cell(1, "Name"), QStringLiteral("Id"));
    EXPECT_EQ(cell(1, "DataType"), QStringLiteral("int"));
    EXPECT_EQ(cell(1, "Length"), QStringLiteral("4"));
    EXPECT_EQ(cell(1, "AllowNulls"), QString());
    EXPECT_EQ(value(1, "AllowNulls").toInt(), 0);
    EXPECT_EQ(cell(3, "Name"), QStringLiteral("Nome"));
    EXPECT_EQ(cell(3, "DataType"), QStringLiteral("varchar"));
    EXPECT_EQ(cell(3, "Length"), QStringLiteral("40"));
    EXPECT_EQ(cell(4, "AllowNulls"), QStringLiteral("Sim"));
    EXPECT_EQ(value(4, "Precision").toInt(), 9);
    EXPECT_EQ(value(4, "Scale").toInt(), 2);
    EXPECT_EQ(value(8, "Length").toInt(), 100) << "nvarchar counts characters";

    // A name with a blank stands in brackets, in Name and OriginalName.
    EXPECT_EQ(cell(2, "Name"), QStringLiteral("[Order Date]"));
    EXPECT_EQ(value(2, "OriginalName").toString(), QStringLiteral("[Order Date]"));

    // Identity with its seed and increment; a computed formula; defaults of both kinds.
    EXPECT_EQ(value(1, "UpdatedIdentity").toInt(), 1);
    EXPECT_EQ(value(1, "UpdatedSeed").toInt(), 10);
    EXPECT_EQ(value(1, "UpdatedIncrement").toInt(), 5);
    EXPECT_EQ(value(5, "UpdatedIdentity").toInt(), 0);
    EXPECT_FALSE(value(6, "UpdatedFormula").toString().isEmpty());
    EXPECT_TRUE(value(6, "UpdatedFormula").toString().contains(QStringLiteral("Valor")));
    EXPECT_EQ(value(4, "UpdatedDefault").toString(), QStringLiteral("(0)"));
    EXPECT_EQ(value(4, "OriginalDefault").toString(), QStringLiteral("(0)"));
    EXPECT_EQ(value(5, "UpdatedDefault").toString(), QStringLiteral("dfZero"));

    // A user type: the type list's entry, the bare name as loaded.
    EXPECT_EQ(cell(7, "DataType"), QStringLiteral("phone (varchar)"));
    EXPECT_EQ(value(7, "OriginalDataType").toString(), QStringLiteral("phone"));

    // Record bookkeeping.
    for (int i = 1; i <= rows(); ++i) {
        EXPECT_EQ(value(i, "NewColumn").toInt(), 0);
        EXPECT_EQ(value(i, "OriginalIndex").toInt(), i);
    }

    // The primary key: mark and key picture on its column only.
    EXPECT_EQ(value(1, "PrimaryKey").toString(), QStringLiteral("1"));
    EXPECT_TRUE(hasKeyIcon(1));
    EXPECT_EQ(value(3, "PrimaryKey").toString(), QStringLiteral("0"));
    EXPECT_FALSE(hasKeyIcon(3));

    // Key columns of indexes are marked, the bracketed name included.
    EXPECT_EQ(value(2, "HasBindedIndex").toInt(), 1);
    EXPECT_EQ(value(3, "HasBindedIndex").toInt(), 1);
    EXPECT_EQ(value(5, "HasBindedIndex").toInt(), 0);
}

TEST_F(DesignerTest, IndexModelFollowsTheServersDescriptions) {
    ASSERT_TRUE(open());
    ASSERT_EQ(form->mIndexes->Count(), 3);
    auto nome = form->mIndexes->FindIDX(QStringLiteral("IX_Nome"));
    ASSERT_TRUE(nome);
    EXPECT_EQ(nome->Act_IndexColumns(), QStringLiteral("Nome<@>A<#>Order Date<@>D<#>"));
    EXPECT_TRUE(nome->Act_Unique());
    EXPECT_FALSE(nome->Act_Clustered());
    EXPECT_FALSE(nome->Act_Constraint());
    EXPECT_FALSE(nome->NewIndex());
    auto pk = form->mIndexes->FindIDX(QStringLiteral("PK_Pedidos"));
    ASSERT_TRUE(pk);
    EXPECT_TRUE(pk->IndexIsPK());
    EXPECT_TRUE(pk->Act_Clustered());
    EXPECT_TRUE(pk->Act_Unique());
    EXPECT_FALSE(pk->Act_Constraint());
    auto obs = form->mIndexes->FindIDX(QStringLiteral("IX_Obs"));
    ASSERT_TRUE(obs);
    EXPECT_FALSE(obs->Act_Unique());
    EXPECT_FALSE(obs->IndexIsPK());
}

TEST_F(DesignerTest, UniqueConstraintLoadsAsConstraint) {
    sql(QStringLiteral("Loja"),
        QStringLiteral(
            "CREATE TABLE [Com Aspa's] (a int NOT NULL CONSTRAINT UQ_a UNIQUE, b int NULL)"));
    ASSERT_TRUE(open(QStringLiteral("Com Aspa's")));
    ASSERT_EQ(rows(), 2);
    auto uq = form->mIndexes->FindIDX(QStringLiteral("UQ_a"));
    ASSERT_TRUE(uq) << "sp_helpindex answered for a name holding an apostrophe";
    EXPECT_TRUE(uq->Act_Constraint());
    EXPECT_TRUE(uq->Act_Unique());
    EXPECT_FALSE(uq->Act_Clustered());
}

TEST_F(DesignerTest, EditorShowsTheFirstColumnAfterLoading) {
    ASSERT_TRUE(open());
    EXPECT_EQ(list().SelectedIndex(), 1);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Id"));
    EXPECT_EQ(form->cboDataType->currentText(), QStringLiteral("int"));
    EXPECT_TRUE(form->chkIdentity->isChecked());
    EXPECT_TRUE(form->chkIdentity->isEnabled());
    EXPECT_FALSE(form->chkAllowNulls->isChecked());
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("10"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("5"));
    EXPECT_TRUE(form->txtSeed->isEnabled());
    EXPECT_FALSE(form->txtLength->isEnabled());
    EXPECT_FALSE(form->txtPrecision->isEnabled());

    // A column with a blank: the editor shows it without brackets.
    click(2);
    EXPECT_EQ(form->txtColumnName->text(), QStringLiteral("Order Date"));
    EXPECT_FALSE(form->chkIdentity->isChecked());
    EXPECT_FALSE(form->txtSeed->isEnabled());
    click(3);
    EXPECT_EQ(form->txtLength->text(), QStringLiteral("40"));
    EXPECT_TRUE(form->txtLength->isEnabled());
    EXPECT_TRUE(form->txtCollation->isEnabled());
    click(5);
    EXPECT_EQ(form->cboDefault->currentText(), QStringLiteral("dfZero"));
    // The default box offers an empty entry and the database's default objects.
    EXPECT_EQ(form->cboDefault->itemText(0), QString());
    EXPECT_NE(form->cboDefault->findText(QStringLiteral("dfZero")), -1);
    // The type box offers the server's types without sysname, and the user types.
    EXPECT_NE(form->cboDataType->findText(QStringLiteral("phone (varchar)")), -1);
    EXPECT_EQ(form->cboDataType->findText(QStringLiteral("sysname")), -1);
}

TEST_F(DesignerTest, DroppedTableIsReportedAndNoWindowStays) {
    ScriptedMsgBox msg;
    QString name = QStringLiteral("Sumida");
    frmDispStruct::Open(QStringLiteral("A"), server, QStringLiteral("Loja"), name,
                        QStringLiteral("dbo"));
    ASSERT_EQ(msg.count(), 1);
    EXPECT_EQ(msg.last().text,
              QStringLiteral("A Tabela Seleccionada Foi Eliminada da Base de Dados!"));
    EXPECT_EQ(msg.last().icon(), vbExclamation);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStruct::Loaded());
}

TEST_F(DesignerTest, NewTableTakesTheNameFromTheDialog) {
    QString name;
    QTimer::singleShot(0, [] {
        frmDispStructName* dlg = frmDispStructName::Current();
        ASSERT_TRUE(dlg);
        QTest::keyClicks(dlg->txtNome, QStringLiteral("Nova"));
        QTest::mouseClick(dlg->cmdOk, Qt::LeftButton);
    });
    frmDispStruct::Open(QStringLiteral("N"), server, QStringLiteral("Loja"), name, QString());
    ASSERT_TRUE(activate());
    EXPECT_EQ(name, QStringLiteral("Nova"));
    EXPECT_EQ(form->OpenTable(), QStringLiteral("Nova"));
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Nova Tabela no Servidor  [(LOCAL)].[Loja] [Nova]"));
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(form->mTable);
    EXPECT_EQ(form->mIndexes->Count(), 0);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(DesignerTest, CancelledNewTableShowsNothing) {
    QString name = QStringLiteral("antes");
    QTimer::singleShot(0, [] {
        frmDispStructName* dlg = frmDispStructName::Current();
        ASSERT_TRUE(dlg);
        QTest::mouseClick(dlg->cmdCancelar, Qt::LeftButton);
    });
    ScriptedMsgBox msg;
    frmDispStruct::Open(QStringLiteral("N"), server, QStringLiteral("Loja"), name, QString());
    EXPECT_EQ(msg.count(), 0);
    EXPECT_EQ(name, QStringLiteral("antes"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStruct::Loaded());
}

TEST_F(DesignerTest, SecondOpeningReplacesTheFirstTable) {
    sql(QStringLiteral("Loja"), QStringLiteral("CREATE TABLE Outra (x int NOT NULL)"));
    ASSERT_TRUE(open());
    ASSERT_TRUE(open(QStringLiteral("Outra")));
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(1, "Name"), QStringLiteral("x"));
    EXPECT_EQ(form->mIndexes->Count(), 0);
    EXPECT_EQ(form->cboDefault->count(), 2) << "the default list is not appended twice";
    EXPECT_EQ(form->OpenTable(), QStringLiteral("Outra"));
}

TEST_F(DesignerTest, WindowDoesNotShrinkBelowItsMinimum) {
    ASSERT_TRUE(open());
    QWidget* outer = form->OuterWindow();
    outer->resize(100, 80);
    QApplication::processEvents();
    EXPECT_GE(form->OuterWidthTwips(), 9795);
    EXPECT_GE(form->OuterHeightTwips(), 5190);
    // The list and the editor keep inside the window.
    EXPECT_GT(form->lvwStructure->height(), 0);
    EXPECT_LE(form->fraControlos->geometry().bottom(), form->height());
}

TEST_F(DesignerTest, ClosingRenewsTheServerAndReleasesTheWindow) {
    ASSERT_TRUE(open());
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_TRUE(server->IsConnected());
    // Nothing was saved: the table is as it was.
    auto table = server->Databases()->Item(QStringLiteral("Loja"))->Tables();
    table->Refresh();
    EXPECT_NO_THROW(table->Item(QStringLiteral("Pedidos")));
}

TEST_F(DesignerTest, OpensAsAChildOfTheMainWindowsDocumentArea) {
    QMainWindow main;
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.resize(1200, 900);
    main.show();
    ASSERT_TRUE(open());
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_TRUE(sub);
    EXPECT_EQ(mdi->subWindowList().size(), 1);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(rows(), 8);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
}

TEST_F(DesignerTest, DroppedTableInTheDocumentAreaLeavesNoEmptyChild) {
    QMainWindow main;
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.show();
    ScriptedMsgBox msg;
    QString name = QStringLiteral("Sumida");
    frmDispStruct::Open(QStringLiteral("A"), server, QStringLiteral("Loja"), name,
                        QStringLiteral("dbo"));
    EXPECT_EQ(msg.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
}

namespace {

// Stands for the explorer: a window named frmExplorer with its relisting slot and list.
class FakeExplorer : public QWidget {
    Q_OBJECT
public:
    FakeExplorer() {
        setObjectName(QStringLiteral("frmExplorer"));
        auto* list = new QTreeWidget(this);
        list->setObjectName(QStringLiteral("lvwExplorer"));
    }
    int relisted = 0;
public slots:
    void mnuTablesRefresh_Click() { ++relisted; }
};

} // namespace

TEST_F(DesignerTest, ClosingMakesTheExplorerListTheTablesAgain) {
    FakeExplorer explorer;
    ASSERT_TRUE(open());
    EXPECT_EQ(explorer.relisted, 0);
    form->close();
    EXPECT_EQ(explorer.relisted, 1);
}

#include "test_frmDispStruct_Load.moc"

// The column list shows lengths and seeds as the editor's boxes and the SQL hold them: plain
// digits and a "-" sign, in any locale.
TEST_F(DesignerTest, ColumnListShowsPlainDigitsInAnArabicLocale) {
    struct DefaultLocale {
        QLocale before;
        explicit DefaultLocale(const QLocale& l) { QLocale::setDefault(l); }
        ~DefaultLocale() { QLocale::setDefault(before); }
    } arabic(QLocale(QLocale::Arabic, QLocale::Egypt));
    sql(QStringLiteral("Loja"),
        QStringLiteral("CREATE TABLE Neg (Id int IDENTITY(-5,10) NOT NULL, Nome varchar(40) NULL)"));
    ASSERT_TRUE(open(QStringLiteral("Neg")));
    EXPECT_EQ(cell(1, "Length"), QStringLiteral("4"));
    EXPECT_EQ(cell(2, "Length"), QStringLiteral("40"));
    EXPECT_EQ(cell(1, "UpdatedSeed"), QStringLiteral("-5"));
    EXPECT_EQ(cell(1, "OriginalIncrement"), QStringLiteral("10"));
    EXPECT_EQ(value(1, "UpdatedSeed").toLongLong(), -5);
    click(2);
    click(1);
    EXPECT_EQ(form->txtSeed->text(), QStringLiteral("-5"));
    EXPECT_EQ(form->txtIncrement->text(), QStringLiteral("10"));
}
