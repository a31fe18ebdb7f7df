// A number typed into the table window's grid is read as the user's locale writes numbers, or
// refused with a message; it never reaches the server as a text the server reads otherwise.
#include "test_frmOpenTable_Fixture.h"

#include <QLocale>

namespace {

class TableNumbersTest : public TableWindowTest {
protected:
    void SetUp() override {
        TableWindowTest::SetUp();
        sql(QStringLiteral("Vendas"),
            QStringLiteral("CREATE TABLE Precos (Id int NOT NULL PRIMARY KEY, M money NULL, "
                           "D decimal(9,2) NULL, F float NULL, N int NULL)\n"
                           "INSERT INTO Precos VALUES (1, 1, 1, 1, 1)"));
    }
    QString stored() {
        return value(QStringLiteral("SELECT CONVERT(varchar(40), M) + '|' + CONVERT(varchar(40), D) + "
                                    "'|' + CONVERT(varchar(40), F) + '|' + CONVERT(varchar(40), N) "
                                    "FROM Precos"));
    }
    // editCell for text beyond ASCII: each character arrives as a key event carrying it.
    void typeCell(int row, int column, const QString& text) {
        QTableView* grid = form->grdGrid;
        grid->setFocus();
        grid->setCurrentIndex(model()->index(row, column));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(editor, Qt::Key_Return);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    struct DefaultLocale {
        QLocale before;
        explicit DefaultLocale(const QLocale& l) { QLocale::setDefault(l); }
        ~DefaultLocale() { QLocale::setDefault(before); }
    };
};

} // namespace

TEST_F(TableNumbersTest, ADecimalCommaIsReadInTheUsersLocale) {
    DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    ScriptedMsgBox box;
    open(QStringLiteral("Precos"));
    editCell(0, 1, QStringLiteral("4,5"));
    editCell(0, 2, QStringLiteral("-1.234,56"));
    editCell(0, 3, QStringLiteral("0,25"));
    editCell(0, 4, QStringLiteral("12"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(stored(), QStringLiteral("4.50|-1234.56|0.25|12"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("4.5000"));
    // A point alone stays the decimal point the grid shows: no fraction goes into an int.
    editCell(0, 4, QStringLiteral("1.234"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, QStringLiteral("The nvarchar value '1.234' cannot be converted to int."));
    EXPECT_EQ(stored(), QStringLiteral("4.50|-1234.56|0.25|12"));
}

TEST_F(TableNumbersTest, ArabicIndicDigitsAreNumbers) {
    DefaultLocale egyptian(QLocale(QLocale::Arabic, QLocale::Egypt));
    ScriptedMsgBox box;
    open(QStringLiteral("Precos"));
    typeCell(0, 1, QStringLiteral("٤٫٥"));
    typeCell(0, 4, QStringLiteral("٤٢"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(stored(), QStringLiteral("4.50|1.00|1|42"));
}

TEST_F(TableNumbersTest, ACommaThatIsNoDecimalSignIsRefused) {
    DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    ScriptedMsgBox box;
    open(QStringLiteral("Precos"));
    editCell(0, 1, QStringLiteral("4,5"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), vbCritical);
    EXPECT_EQ(box.last().text,
              QStringLiteral("The value '4,5' of the field 'M' is not a number."));
    EXPECT_EQ(stored(), QStringLiteral("1.00|1.00|1|1"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("1.0000"));
    // Thousands grouped as this locale groups them are a number.
    editCell(0, 1, QStringLiteral("1,234.5"));
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(stored(), QStringLiteral("1234.50|1.00|1|1"));
}

TEST_F(TableNumbersTest, SignsWithoutDigitsAreRefusedNotStoredAsZero) {
    DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    ScriptedMsgBox box;
    open(QStringLiteral("Precos"));
    editCell(0, 1, QStringLiteral("$"));
    editCell(0, 1, QStringLiteral(","));
    editCell(0, 4, QStringLiteral("-"));
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.calls()[0].text, QStringLiteral("The value '$' of the field 'M' is not a number."));
    EXPECT_EQ(box.calls()[1].text, QStringLiteral("The value ',' of the field 'M' is not a number."));
    EXPECT_EQ(box.calls()[2].text, QStringLiteral("The value '-' of the field 'N' is not a number."));
    EXPECT_EQ(stored(), QStringLiteral("1.00|1.00|1|1"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("1.0000"));
}
