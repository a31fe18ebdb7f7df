// The query window runs batches as the user types them: results, messages and errors.
#include "test_frmQuery_Fixture.h"

#include "core/Twips.h"
#include "dmo/QueryResults.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString kSuccess = QStringLiteral("Comando executado com sucesso!");

int measuredTwips(const frmQuery* form, const QString& text) {
    return int(PixelsToTwipsX(QFontMetrics(form->picTeste->font()).horizontalAdvance(text))) + 120;
}

// The width a column of that measure gets: no narrower than the header lets a section be.
int columnPixels(const frmQuery* form, int twips) {
    return qMax(TwipsToPixelsX(twips), form->grdGrid->horizontalHeader()->minimumSectionSize());
}
} // namespace

TEST_F(QueryWindowTest, OpensOnTheServerAndDatabaseGiven) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Queries"));
    EXPECT_EQ(form->lblServer->text(), QStringLiteral("(LOCAL)"));
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Vendas"));
    EXPECT_EQ(form->Server(), server);
    EXPECT_TRUE(form->eselDatabase->Lista().contains(QStringLiteral("master:master;")));

    // Opening again keeps the editor's text; an unknown database leaves the first entry.
    type(QStringLiteral("select 1"));
    frmQuery::Default()->ShowForm(server, QStringLiteral("NaoExiste"));
    EXPECT_EQ(frmQuery::Default(), form);
    EXPECT_EQ(form->txtQuery->toPlainText(), QStringLiteral("select 1"));
    EXPECT_EQ(form->eselDatabase->currentIndex(), 0);
}

TEST_F(QueryWindowTest, RowsShowUnderHeadersWithRowNumbersAndMeasuredWidths) {
    type(QStringLiteral("select Id, Nome from Clientes order by Id"));
    pressF5();

    ASSERT_FALSE(form->grdGrid->isHidden());
    EXPECT_EQ(form->tabMain->currentIndex(), 0);
    EXPECT_EQ(messages(), QString());
    ASSERT_EQ(form->grdGrid->rowCount(), 2);
    ASSERT_EQ(form->grdGrid->columnCount(), 2);
    EXPECT_EQ(header(0), QStringLiteral("Id"));
    EXPECT_EQ(header(1), QStringLiteral("Nome"));
    EXPECT_EQ(rowHeader(0), QStringLiteral("1"));
    EXPECT_EQ(rowHeader(1), QStringLiteral("2"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("Bartolomeu Dias de Novais"));
    // Widths: the header's when it is wider, the widest value's otherwise.
    EXPECT_EQ(form->grdGrid->columnWidth(0),
              columnPixels(form, measuredTwips(form, QStringLiteral("Id"))));
    EXPECT_EQ(form->grdGrid->columnWidth(1),
              columnPixels(form, measuredTwips(form, QStringLiteral("Bartolomeu Dias de Novais"))));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QueryWindowTest, ColumnWidthsAreTheTextsMeasuredInTheGridsFont) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE TABLE Textos (Id int, T nvarchar(60))\n"
                       "INSERT INTO Textos VALUES (1, N'Ação ÃÕÇ fi ffl')\n"
                       "INSERT INTO Textos VALUES (2, N'日本語のテキスト')\n"
                       "INSERT INTO Textos VALUES (3, N'   blanks around   ')\n"
                       "INSERT INTO Textos VALUES (4, N'x')"));
    QStringList values;
    for (int id = 1; id <= 4; ++id) {
        type(QStringLiteral("select T from Textos where Id = %1").arg(id));
        pressF5();
        ASSERT_EQ(form->grdGrid->rowCount(), 1);
        values << cell(0, 0);
        const int expected = qMax(measuredTwips(form, QStringLiteral("T")),
                                  measuredTwips(form, values.back().trimmed()));
        EXPECT_EQ(form->grdGrid->columnWidth(0), columnPixels(form, expected)) << id;
    }
    // Cells keep the value as returned, blanks included.
    EXPECT_EQ(values[2], QStringLiteral("   blanks around   "));
}

TEST_F(QueryWindowTest, AnEmptyResultSetShowsHeadersOneEmptyRowAndASpareColumn) {
    type(QStringLiteral("select Id, Nome from Clientes where Id < 0"));
    pressF5();

    EXPECT_EQ(form->tabMain->currentIndex(), 0);
    ASSERT_EQ(form->grdGrid->rowCount(), 1);
    ASSERT_EQ(form->grdGrid->columnCount(), 3);
    EXPECT_EQ(header(0), QStringLiteral("Id"));
    EXPECT_EQ(header(1), QStringLiteral("Nome"));
    EXPECT_EQ(header(2), QString());
    EXPECT_EQ(rowHeader(0), QString());
    EXPECT_EQ(cell(0, 0), QString());
}

TEST_F(QueryWindowTest, EachRunReplacesTheWholeGridWhichStaysReadOnly) {
    type(QStringLiteral("select Id, Nome from Clientes order by Id"));
    pressF5();
    ASSERT_EQ(form->grdGrid->rowCount(), 2);
    const int idWidth = form->grdGrid->columnWidth(0);

    // Fewer rows and columns: nothing of the earlier result is left.
    type(QStringLiteral("select Nome from Clientes where Id = 2"));
    pressF5();
    ASSERT_EQ(form->grdGrid->rowCount(), 1);
    ASSERT_EQ(form->grdGrid->columnCount(), 1);
    EXPECT_EQ(header(0), QStringLiteral("Nome"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("Bartolomeu Dias de Novais"));
    EXPECT_EQ(cell(1, 0), QString());
    EXPECT_EQ(cell(0, 1), QString());
    EXPECT_EQ(form->grdGrid->columnWidth(0),
              columnPixels(form, measuredTwips(form, QStringLiteral("Bartolomeu Dias de Novais"))));

    // Rows are numbered again after an empty result.
    type(QStringLiteral("select Id from Clientes where Id < 0"));
    pressF5();
    ASSERT_EQ(rowHeader(0), QString());
    type(QStringLiteral("select Id, Nome from Clientes order by Id"));
    pressF5();
    EXPECT_EQ(rowHeader(0), QStringLiteral("1"));
    EXPECT_EQ(rowHeader(1), QStringLiteral("2"));
    EXPECT_EQ(form->grdGrid->columnWidth(0), idWidth);

    // Keys select and move but never edit a cell.
    form->grdGrid->setFocus();
    form->grdGrid->setCurrentIndex(form->grdGrid->model()->index(0, 1));
    QTest::keyClick(form->grdGrid, Qt::Key_F2);
    QTest::keyClicks(form->grdGrid, QStringLiteral("Zx"));
    EXPECT_EQ(form->grdGrid->viewport()->findChild<QLineEdit*>(), nullptr);
    QTest::keyClick(form->grdGrid, Qt::Key_Return);
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ana"));
    QTest::keyClick(form->grdGrid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(form->grdGrid, Qt::Key_Left, Qt::ShiftModifier);
    form->mnuGridCopiar_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1\tAna\r2\tBartolomeu Dias de Novais"));
}

TEST_F(QueryWindowTest, ABatchWithoutResultSetReportsSuccessWithTheGridHidden) {
    type(QStringLiteral("select Id from Clientes"));
    pressF5();
    ASSERT_FALSE(form->grdGrid->isHidden());

    type(QStringLiteral("create table Produtos (Codigo int)"));
    pressF5();
    EXPECT_TRUE(form->grdGrid->isHidden());
    EXPECT_EQ(messages(), QStringLiteral("\n") + kSuccess);
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // It reached the server, in the database chosen.
    auto rs = server->SQLDMOServer()
                  ->Databases()
                  ->Item(QStringLiteral("Vendas"))
                  ->ExecuteWithResults(
                      QStringLiteral("select count(*) from sysobjects where name = 'Produtos'"));
    EXPECT_EQ(rs->GetColumnString(1, 1), QStringLiteral("1"));

    // The next query shows the grid again.
    type(QStringLiteral("select Codigo from Produtos"));
    pressF5();
    EXPECT_FALSE(form->grdGrid->isHidden());
    EXPECT_EQ(messages(), QString());
}

TEST_F(QueryWindowTest, MessagesShowAfterALineBreakAndReloadTheListKeepingTheDatabase) {
    // A database made behind the window's back appears after a run with messages.
    sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Arquivo"));
    EXPECT_FALSE(form->eselDatabase->Lista().contains(QStringLiteral("Arquivo")));

    type(QStringLiteral("print 'Ola mundo'\nselect Nome from Clientes where Id = 1"));
    pressF5();

    EXPECT_EQ(messages(), QStringLiteral("\nOla mundo"));
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Ana"));
    EXPECT_TRUE(form->eselDatabase->Lista().contains(QStringLiteral("Arquivo:Arquivo;")));
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Vendas"));
}

TEST_F(QueryWindowTest, ADatabaseTheBatchCreatesIsListedAndTheNextBatchCanUseIt) {
    type(QStringLiteral("create database Arquivo"));
    pressF5();
    EXPECT_TRUE(messages().startsWith(QStringLiteral("\nAllocating space for database 'Arquivo'.")))
        << messages().toStdString();
    EXPECT_TRUE(messages().endsWith(QStringLiteral("\n") + kSuccess));
    EXPECT_TRUE(form->eselDatabase->Lista().contains(QStringLiteral("Arquivo:Arquivo;")));
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Vendas"));

    type(QStringLiteral("use Arquivo\ncreate table Caixas (N int)\nselect db_name() as Base"));
    pressF5();
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("Arquivo"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("Arquivo"));
    // The table went to the new database, not to master.
    auto rs = server->SQLDMOServer()->Databases()->Item(QStringLiteral("Arquivo"))->ExecuteWithResults(
        QStringLiteral("select count(*) from sysobjects where name = 'Caixas'"));
    EXPECT_EQ(rs->GetColumnString(1, 1), QStringLiteral("1"));

    // A dropped database leaves the list; the chosen one stays chosen.
    type(QStringLiteral("use master\ndrop database Arquivo"));
    pressF5();
    EXPECT_TRUE(messages().contains(QStringLiteral("Removing database file"))) << messages().toStdString();
    EXPECT_TRUE(messages().endsWith(QStringLiteral("\n") + kSuccess));
    EXPECT_FALSE(form->eselDatabase->Lista().contains(QStringLiteral("Arquivo")));
    EXPECT_EQ(form->eselDatabase->Chave(), QStringLiteral("master"));
}

TEST_F(QueryWindowTest, ARefusedBatchShowsTheErrorUnderMessagesAndHidesTheGrid) {
    type(QStringLiteral("select Id, Nome from Clientes"));
    pressF5();
    ASSERT_EQ(form->grdGrid->rowCount(), 2);

    type(QStringLiteral("select * from NaoExiste"));
    pressF5();
    EXPECT_TRUE(form->grdGrid->isHidden());
    EXPECT_TRUE(messages().startsWith(u'\n'));
    EXPECT_TRUE(messages().contains(QStringLiteral("NaoExiste"), Qt::CaseInsensitive))
        << messages().toStdString();
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Nonsense does not crash either.
    for (const QString& text :
         {QStringLiteral("select ((( from"), QStringLiteral("'"), QStringLiteral("]]]["),
          QStringLiteral("use"), QStringLiteral("use ["), QStringLiteral("exec nada")}) {
        type(text);
        pressF5();
        EXPECT_EQ(form->tabMain->currentIndex(), 1) << text.toStdString();
        EXPECT_FALSE(messages().trimmed().isEmpty()) << text.toStdString();
    }
}

TEST_F(QueryWindowTest, ADroppedConnectionIsAnErrorUnderMessages) {
    server->Disconnect();
    type(QStringLiteral("select 1"));
    pressF5();
    EXPECT_TRUE(form->grdGrid->isHidden());
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_GT(messages().trimmed().size(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QueryWindowTest, AnEmptyDatabaseListReportsTheError) {
    cServer& other = cVarnolt::instance().clsServers().Add(QStringLiteral("."), true, {}, {});
    other.Connect(); // connected, its database list never loaded
    form->ShowForm(&other, QStringLiteral("master"));
    EXPECT_EQ(form->eselDatabase->count(), 0);
    type(QStringLiteral("select 1"));
    pressF5();
    EXPECT_EQ(form->tabMain->currentIndex(), 1);
    EXPECT_GT(messages().trimmed().size(), 0);
    EXPECT_TRUE(form->grdGrid->isHidden());
}

TEST_F(QueryWindowTest, BlankTextRunsNothing) {
    type(QStringLiteral("   "));
    form->tabMain->setCurrentIndex(0);
    form->cmdExecute->click();
    EXPECT_EQ(messages(), QString());
    EXPECT_EQ(form->tabMain->currentIndex(), 0);
}

TEST_F(QueryWindowTest, AnImageColumnShowsTheServerStringsAndKeepsTheHeaderWidth) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral(
            "CREATE TABLE Fotos (Id int, Foto image)\n"
            "INSERT INTO Fotos VALUES (1, 0x0102030405060708090A0B0C0D0E0F10111213141516)"));
    type(QStringLiteral("select Id, Foto from Fotos"));
    pressF5();

    auto rs = server->SQLDMOServer()
                  ->Databases()
                  ->Item(QStringLiteral("Vendas"))
                  ->ExecuteWithResults(QStringLiteral("select Id, Foto from Fotos"));
    ASSERT_EQ(rs->ColumnType(2), -4);
    ASSERT_EQ(form->grdGrid->rowCount(), 1);
    EXPECT_EQ(cell(0, 1), rs->GetColumnString(1, 2));
    EXPECT_EQ(form->grdGrid->columnWidth(1),
              columnPixels(form, measuredTwips(form, QStringLiteral("Foto"))));
    EXPECT_EQ(form->grdGrid->textAlignment(0, 1), int(Qt::AlignLeft | Qt::AlignVCenter));
}

TEST_F(QueryWindowTest, ClosingReleasesTheWindowAndALaterShowFormLoadsItAgain) {
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmQuery::Loaded());
    frmQuery::Default()->ShowForm(server, QStringLiteral("master"));
    EXPECT_TRUE(frmQuery::Loaded());
    EXPECT_EQ(frmQuery::Default()->eselDatabase->Chave(), QStringLiteral("master"));
}
