// The table window edits a result column only when it reads a column of the table unchanged,
// and writes the column it reads, whatever name the SELECT gives it.
#include "test_frmOpenTable_Fixture.h"

namespace {

class TableColumnsTest : public TableWindowTest {
protected:
    void run(const QString& select) {
        open(QStringLiteral("Clientes"));
        type(select);
        pressF5();
        ASSERT_FALSE(form->grdGrid->isHidden()) << form->txtMsg->toPlainText().toStdString();
    }
    bool editable(int column) const {
        return model()->flags(model()->index(0, column)) & Qt::ItemIsEditable;
    }
    QString row1() {
        return value(QStringLiteral("SELECT Nome + '|' + ISNULL(Cidade, 'NULL') FROM Clientes "
                                    "WHERE Id = 1"));
    }
};

} // namespace

TEST_F(TableColumnsTest, AnAliasWritesTheColumnItReads) {
    ScriptedMsgBox box;
    run(QStringLiteral("select Id, Nome as Cidade, Cidade as Nome from Clientes"));
    ASSERT_EQ(header(1), QStringLiteral("Cidade"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ana"));
    editCell(0, 1, QStringLiteral("Alice"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(row1(), QStringLiteral("Alice|Porto"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("Alice"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("Porto"));

    editCell(0, 2, QStringLiteral("Viseu"));
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(row1(), QStringLiteral("Alice|Viseu"));

    // The same column twice: both cells show the new value.
    run(QStringLiteral("select Id, Nome, Nome as N2 from Clientes c where c.Id < 3"));
    editCell(0, 2, QStringLiteral("Amelia"));
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(row1(), QStringLiteral("Amelia|Viseu"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("Amelia"));
}

TEST_F(TableColumnsTest, ConstantsAndExpressionsAreReadOnly) {
    ScriptedMsgBox box;
    run(QStringLiteral("select Id, 'fixo' as Cidade, Nome + '' as Nome, (Cidade) as C2, "
                       "Nome as [x]]y] from Clientes"));
    EXPECT_FALSE(editable(1));
    EXPECT_FALSE(editable(2));
    EXPECT_TRUE(editable(3));
    EXPECT_TRUE(editable(4));
    // Typing over a constant changes nothing.
    form->grdGrid->setFocus();
    form->grdGrid->setCurrentIndex(model()->index(0, 1));
    QTest::keyClick(form->grdGrid, Qt::Key_F2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    EXPECT_EQ(row1(), QStringLiteral("Ana|Porto"));
    // A name holding ] still reaches its column.
    editCell(0, 4, QStringLiteral("Ana B"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(row1(), QStringLiteral("Ana B|Porto"));
}

TEST_F(TableColumnsTest, AViewColumnWritesTheColumnOfTheViewItReads) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE VIEW Moradas AS SELECT Id, Nome AS Cidade, Cidade AS Terra, "
                       "'x' AS Fixo FROM Clientes"));
    ScriptedMsgBox box;
    open(QStringLiteral("Moradas"));
    ASSERT_EQ(header(1), QStringLiteral("Cidade"));
    EXPECT_TRUE(editable(1));
    editCell(0, 2, QStringLiteral("Lagos"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(row1(), QStringLiteral("Ana|Lagos"));
    // The view's constant is the server's to refuse.
    editCell(0, 3, QStringLiteral("y"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().text, QStringLiteral("Column 'Fixo' of view 'Moradas' is computed or constant, "
                                              "so it cannot be given a value."));
    EXPECT_EQ(cell(0, 3), QStringLiteral("x"));
    EXPECT_EQ(row1(), QStringLiteral("Ana|Lagos"));
}

TEST_F(TableColumnsTest, AKeyColumnWhoseNameHoldsACommaIsOneColumn) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE TABLE Pares ([a, b] int NOT NULL PRIMARY KEY, a int NULL, b int NULL)\n"
                       "INSERT INTO Pares VALUES (1, 5, 5)\n"
                       "INSERT INTO Pares VALUES (2, 5, 5)"));
    ScriptedMsgBox box;
    open(QStringLiteral("Pares"));
    editCell(0, 1, QStringLiteral("7"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(value(QStringLiteral("SELECT CONVERT(varchar(9), a) + '|' + "
                                   "CONVERT(varchar(9), (SELECT a FROM Pares WHERE [a, b] = 2)) "
                                   "FROM Pares WHERE [a, b] = 1")),
              QStringLiteral("7|5"));
}
