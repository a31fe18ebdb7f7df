// The query window sends the text as typed: no-break spaces stay what they are.
#include "test_frmQuery_Fixture.h"

TEST_F(QueryWindowTest, NoBreakSpacesReachTheServerAsTyped) {
    const QChar nbsp(0x00A0);
    const QString literal = QStringLiteral("1") + nbsp + QStringLiteral("234,56");
    type(QStringLiteral("SELECT UNICODE(SUBSTRING(N'") + literal + QStringLiteral("', 2, 1))"));
    pressF5();
    EXPECT_EQ(cell(0, 0), QStringLiteral("160"));

    // A selection is sent as typed too.
    type(QStringLiteral("SELECT N'") + literal + QStringLiteral("' AS v"));
    QTest::keyClick(form->txtQuery, Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(form->txtQuery->textCursor().hasSelection());
    pressF5();
    EXPECT_EQ(cell(0, 0).toStdString(), literal.toStdString());
}
