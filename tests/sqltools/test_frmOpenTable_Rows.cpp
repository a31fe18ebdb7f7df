// A large table in the table window: the scrollbar spans every row from the start, the keys
// and the thumb reach the last rows, and only the rows looked at are read.
#include "test_frmOpenTable_Fixture.h"

#include "ado/DataControl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

class LargeTableTest : public TableWindowTest {
protected:
    // Grande: 100,000 rows numbered 1 to 100,000.
    void makeLargeTable() {
        QString digits = QStringLiteral("CREATE TABLE Digitos (d int NOT NULL)\n");
        for (int i = 0; i < 10; ++i)
            digits += QStringLiteral("INSERT INTO Digitos VALUES (%1)\n").arg(i);
        sql(QStringLiteral("Vendas"), digits);
        sql(QStringLiteral("Vendas"),
            QStringLiteral("CREATE TABLE Grande (N int NOT NULL PRIMARY KEY, Texto varchar(20) NULL)\n"
                           "INSERT INTO Grande SELECT 1 + a.d + b.d * 10 + c.d * 100 + e.d * 1000 "
                           "+ f.d * 10000, 'linha' FROM Digitos a, Digitos b, Digitos c, Digitos e, "
                           "Digitos f ORDER BY 1"));
    }
    // The lowest row shown in the grid.
    int lastShownRow() const {
        for (int y = form->grdGrid->viewport()->height() - 1; y >= 0; --y)
            if (form->grdGrid->rowAt(y) >= 0)
                return form->grdGrid->rowAt(y);
        return -1;
    }
    int rowsRead() const { return form->datData->Recordset()->RowsRead(); }
};

} // namespace

TEST_F(LargeTableTest, CtrlEndShowsTheLastRowOfAHundredThousand) {
    makeLargeTable();
    open(QStringLiteral("Grande"));
    QCoreApplication::processEvents();
    QTableView* grid = form->grdGrid;
    // Every row is there from the start: the scrollbar covers them all.
    EXPECT_EQ(rows(), 100000);
    QScrollBar* bar = grid->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 100000 - 100);
    EXPECT_EQ(cell(0, 0), QStringLiteral("1"));

    grid->setFocus();
    grid->setCurrentIndex(model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->currentIndex().row(), 99999);
    EXPECT_EQ(cell(99999, 0), QStringLiteral("100000"));
    EXPECT_EQ(lastShownRow(), 99999);
    EXPECT_EQ(model()->headerData(99999, Qt::Vertical).toString(), QStringLiteral("100000"));
    // Back to the top.
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(grid->rowAt(1), 0);
    // Only the pages looked at were read.
    EXPECT_LT(rowsRead(), 2000);
}

TEST_F(LargeTableTest, DraggingTheThumbToTheBottomShowsTheLastRows) {
    makeLargeTable();
    open(QStringLiteral("Grande"));
    QCoreApplication::processEvents();
    QScrollBar* bar = form->grdGrid->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect thumb =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QPoint grip = thumb.center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    const QPoint bottom(grip.x(), bar->height() + 50);
    QMouseEvent move(QEvent::MouseMove, QPointF(bottom), bar->mapToGlobal(QPointF(bottom)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bottom);
    QCoreApplication::processEvents();

    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(lastShownRow(), 99999);
    const int top = form->grdGrid->rowAt(1);
    EXPECT_GT(top, 99000);
    EXPECT_EQ(cell(top, 0), QString::number(top + 1));
    EXPECT_EQ(cell(99999, 1), QStringLiteral("linha"));
    EXPECT_LT(rowsRead(), 2000);
}
