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
