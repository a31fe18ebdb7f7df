// The table window writes only what the user changed: an edit that leaves the shown text as it
// was sends nothing, columns the server fills itself cannot be edited, and what the user sees
// and types is what is stored, in any locale.
#include "test_frmOpenTable_Fixture.h"

#include "common/DecimalCommaLocale.h"

#include <QImage>
#include <QLocale>
#include <QStyledItemDelegate>
#include <QTextEdit>

namespace {

class TableEditsTest : public TableWindowTest {
protected:
    // Opens the cell's editor with F2, as the user does; nullptr when none opens.
    QLineEdit* startEdit(int row, int column) {
        QTableView* grid = form->grdGrid;
        grid->setFocus();
        grid->setCurrentIndex(model()->index(row, column));
        QTest::keyClick(grid, Qt::Key_F2);
        return qobject_cast<QLineEdit*>(QApplication::focusWidget());
    }
    void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // "NULL" for a null value, else the value, read behind the window's back.
    QString stored(const QString& column, const QString& table, const QString& where) {
        return value(QStringLiteral("SELECT CASE WHEN %1 IS NULL THEN 'NULL' ELSE "
                                    "'[' + CONVERT(varchar(40), %1) + ']' END FROM %2 WHERE %3")
                         .arg(column, table, where));
    }
};

} // namespace

TEST_F(TableEditsTest, EnterOnAnUntouchedNullCellLeavesItNull) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    QLineEdit* editor = startEdit(2, 2);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QString());
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(cell(2, 2), QString());
    EXPECT_EQ(stored(QStringLiteral("Cidade"), QStringLiteral("Clientes"), QStringLiteral("Id = 3")),
              QStringLiteral("NULL"));

    // Typing a text and taking it back is no change either.
    editor = startEdit(2, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("ab"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(stored(QStringLiteral("Cidade"), QStringLiteral("Clientes"), QStringLiteral("Id = 3")),
              QStringLiteral("NULL"));

    // A real change still goes through, and an emptied text is then written as typed.
    editCell(2, 2, QStringLiteral("Elvas"));
    EXPECT_EQ(stored(QStringLiteral("Cidade"), QStringLiteral("Clientes"), QStringLiteral("Id = 3")),
              QStringLiteral("[Elvas]"));
    EXPECT_EQ(box.count(), 0);
}

TEST_F(TableEditsTest, AnEditorThatLosesTheFocusUnchangedWritesNothing) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    QLineEdit* editor = startEdit(2, 2);
    ASSERT_NE(editor, nullptr);
    // The user clicks into the editor above the grid.
    QTest::mouseClick(form->txtQuery->viewport(), Qt::LeftButton);
    settle();
    EXPECT_TRUE(form->txtQuery->hasFocus());
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(stored(QStringLiteral("Cidade"), QStringLiteral("Clientes"), QStringLiteral("Id = 3")),
              QStringLiteral("NULL"));

    // The same on a number.
    editor = startEdit(0, 0);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("1"));
    QTest::mouseClick(form->txtQuery->viewport(), Qt::LeftButton);
    settle();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Clientes")), QStringLiteral("5"));
}

TEST_F(TableEditsTest, UntouchedNullsOfAKeylessTableWithTwinRowsRaiseNoMessage) {
    sql(QStringLiteral("Vendas"), QStringLiteral("CREATE TABLE Notas (Texto varchar(10) NULL, N int NULL)\n"
                                                 "INSERT INTO Notas VALUES (NULL, NULL)\n"
                                                 "INSERT INTO Notas VALUES (NULL, NULL)"));
    ScriptedMsgBox box;
    open(QStringLiteral("Notas"));
    ASSERT_EQ(rows(), 2);
    for (int column : {0, 1}) {
        QLineEdit* editor = startEdit(1, column);
        ASSERT_NE(editor, nullptr) << column;
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
        EXPECT_EQ(box.count(), 0) << column;
    }
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Notas WHERE Texto IS NULL AND N IS NULL")),
              QStringLiteral("2"));
}

TEST_F(TableEditsTest, IdentityComputedAndTimestampColumnsAreReadOnly) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE TABLE Pedidos (Num int IDENTITY(10, 5) NOT NULL PRIMARY KEY, "
                       "Qtd int NULL, Preco int NULL, Total AS Qtd * Preco, Versao timestamp)\n"
                       "INSERT INTO Pedidos (Qtd, Preco) VALUES (2, 3)"));
    ScriptedMsgBox box;
    open(QStringLiteral("Pedidos"));
    ASSERT_EQ(rows(), 1);
    ASSERT_EQ(header(3), QStringLiteral("Total"));
    const QString before = cell(0, 4);
    for (int column : {0, 3, 4}) {
        EXPECT_FALSE(model()->flags(model()->index(0, column)) & Qt::ItemIsEditable) << column;
        // F2 opens no editor, and typing changes nothing.
        EXPECT_EQ(startEdit(0, column), nullptr) << column;
        QTest::keyClicks(form->grdGrid, QStringLiteral("77"));
        QTest::keyClick(form->grdGrid, Qt::Key_Return);
        settle();
        EXPECT_EQ(box.count(), 0) << column;
    }
    EXPECT_EQ(cell(0, 0), QStringLiteral("10"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("6"));
    EXPECT_EQ(cell(0, 4), before);
    // They are drawn in a light text; the editable ones in the usual dark text.
    const QImage shot = form->grdGrid->viewport()->grab().toImage();
    auto darkest = [&](int column) {
        const QRect r = form->grdGrid->visualRect(model()->index(0, column));
        int least = 255;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                least = qMin(least, qGray(shot.pixel(x, y)));
        return least;
    };
    EXPECT_LT(darkest(1), 80);
    for (int column : {0, 3, 4})
        EXPECT_GT(darkest(column), 100) << column;

    // The plain columns stay editable, and the server recomputes the total.
    editCell(0, 1, QStringLiteral("5"));
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(value(QStringLiteral("SELECT Total FROM Pedidos")), QStringLiteral("15"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("15"));
}

// Under a German desktop (decimal comma in the C library and in Qt) the cells show the server's
// texts and a typed number, money, decimal or date is stored as typed.
TEST_F(TableEditsTest, NumbersAndDatesAreStoredAsShownAndTypedUnderADecimalComma) {
    DecimalCommaLocale comma;
    if (!comma.set())
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    struct DefaultLocale {
        QLocale before;
        explicit DefaultLocale(const QLocale& l) { QLocale::setDefault(l); }
        ~DefaultLocale() { QLocale::setDefault(before); }
    } german(QLocale(QLocale::German, QLocale::Germany));
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE TABLE Precos (Id int NOT NULL PRIMARY KEY, F float NULL, M money NULL, "
                       "D decimal(9,2) NULL, T datetime NULL)\n"
                       "INSERT INTO Precos VALUES (1, 2.5, 12.34, 1.5, '2020-01-02 03:04:05.007')"));
    ScriptedMsgBox box;
    open(QStringLiteral("Precos"));
    ASSERT_EQ(rows(), 1);
    QTableView* grid = form->grdGrid;
    auto shown = [&](int column) {
        const QModelIndex index = model()->index(0, column);
        auto* delegate = qobject_cast<QStyledItemDelegate*>(grid->itemDelegateForIndex(index));
        return delegate ? delegate->displayText(index.data(), grid->locale()) : QStringLiteral("<none>");
    };
    EXPECT_EQ(shown(1), QStringLiteral("2.5"));
    EXPECT_EQ(shown(2), QStringLiteral("12.3400"));
    EXPECT_EQ(shown(3), QStringLiteral("1.50"));
    EXPECT_EQ(shown(4), QStringLiteral("2020-01-02 03:04:05.007"));

    editCell(0, 1, QStringLiteral("3.75"));
    editCell(0, 2, QStringLiteral("7.5"));
    editCell(0, 3, QStringLiteral("-2.25"));
    editCell(0, 4, QStringLiteral("2021-02-03 04:05:06.250"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(value(QStringLiteral("SELECT CONVERT(varchar(40), F) + '|' + CONVERT(varchar(40), M) + '|' + "
                                   "CONVERT(varchar(40), D) + '|' + CONVERT(varchar(40), T, 121) FROM Precos")),
              QStringLiteral("3.75|7.50|-2.25|2021-02-03 04:05:06.250"));
    EXPECT_EQ(shown(1), QStringLiteral("3.75"));
    EXPECT_EQ(shown(2), QStringLiteral("7.5000"));
    EXPECT_EQ(shown(3), QStringLiteral("-2.25"));
}
