// The table window beside another session that holds a transaction on the same database.
#include "test_frmOpenTable_Fixture.h"

#include <QElapsedTimer>

TEST_F(TableWindowTest, AnotherSessionsTransactionNeitherDelaysTheOpenNorHidesTheKey) {
    std::unique_ptr<engine::Session> other =
        engine::Instance::forServer(QStringLiteral("(LOCAL)"))->connectIntegrated();
    engine::BatchResult held = other->execute(
        QStringLiteral("USE Vendas\nBEGIN TRAN\nUPDATE Clientes SET Nome = 'Ana Maria' WHERE Id = 1"));
    ASSERT_FALSE(held.failed());

    ScriptedMsgBox box;
    QElapsedTimer clock;
    clock.start();
    open(QStringLiteral("Clientes"));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(form->grdGrid->isHidden());
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ana")); // the last committed value
    ASSERT_FALSE(other->execute(QStringLiteral("COMMIT")).failed());

    // The row is found by its key, though its name changed after it was read.
    editCell(0, 2, QStringLiteral("Viseu"));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(value(QStringLiteral("SELECT Nome + '|' + Cidade FROM Clientes WHERE Id = 1")),
              QStringLiteral("Ana Maria|Viseu"));
}

TEST_F(TableWindowTest, ATableMadeAgainWithoutItsKeyIsNotEditedByTheOldKey) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    std::unique_ptr<engine::Session> other =
        engine::Instance::forServer(QStringLiteral("(LOCAL)"))->connectIntegrated();
    engine::BatchResult made = other->execute(QStringLiteral(
        "USE Vendas\nDROP TABLE Clientes\n"
        "CREATE TABLE Clientes (Id int NOT NULL, Nome varchar(20) NOT NULL, Cidade varchar(5) NULL)\n"
        "INSERT INTO Clientes VALUES (1, 'Ana', 'Porto')\n"
        "INSERT INTO Clientes VALUES (1, 'Rui', 'Porto')"));
    ASSERT_FALSE(made.failed()) << made.errors[0].text.toStdString();

    editCell(0, 2, QStringLiteral("Viseu"));
    // Then the grid, reading the rows again, finds fewer than it showed.
    ASSERT_GE(box.count(), 1);
    EXPECT_EQ(box.calls()[0].icon(), vbCritical);
    EXPECT_EQ(box.calls()[0].text, QStringLiteral("The row cannot be told apart from 1 others with "
                                                  "the same values; it was not changed."));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM Clientes WHERE Cidade = 'Porto'")),
              QStringLiteral("2"));
}

TEST_F(TableWindowTest, AValueAnotherSessionChangedAfterTheReadIsNotOverwritten) {
    ScriptedMsgBox box;
    open(QStringLiteral("Clientes"));
    ASSERT_EQ(cell(0, 2), QStringLiteral("Porto"));
    std::unique_ptr<engine::Session> other =
        engine::Instance::forServer(QStringLiteral("(LOCAL)"))->connectIntegrated();
    ASSERT_FALSE(other->execute(QStringLiteral("USE Vendas\nUPDATE Clientes SET Cidade = 'Viseu' "
                                               "WHERE Id = 1")).failed());

    editCell(0, 2, QStringLiteral("Faro"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), vbCritical);
    EXPECT_EQ(box.last().text, QStringLiteral("The row was not found: it was changed or deleted "
                                              "after it was read."));
    EXPECT_EQ(value(QStringLiteral("SELECT Cidade FROM Clientes WHERE Id = 1")), QStringLiteral("Viseu"));
    // Another column of the same row is still edited.
    editCell(0, 1, QStringLiteral("Ana Rita"));
    EXPECT_EQ(box.count(), 1);
    EXPECT_EQ(value(QStringLiteral("SELECT Nome + '|' + Cidade FROM Clientes WHERE Id = 1")),
              QStringLiteral("Ana Rita|Viseu"));
}
