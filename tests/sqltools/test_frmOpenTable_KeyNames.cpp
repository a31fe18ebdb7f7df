// The table window finds an edited row by a key only when the index's key text names the
// table's columns one way; else by all its values, so an edit never reaches a second row.
#include "test_frmOpenTable_Fixture.h"

TEST_F(TableWindowTest, AKeyTextThatAlsoReadsAsOtherColumnsChangesOneRow) {
    sql(QStringLiteral("Vendas"),
        QStringLiteral("CREATE TABLE Pares (a int NULL, b int NULL, [a, b] int NOT NULL PRIMARY KEY)\n"
                       "INSERT INTO Pares VALUES (5, 5, 1)\n"
                       "INSERT INTO Pares VALUES (5, 5, 2)"));
    ScriptedMsgBox box;
    auto pairs = [&] {
        return value(QStringLiteral("SELECT CONVERT(varchar(9), a) + ',' + CONVERT(varchar(9), b) + '|' + "
                                    "(SELECT CONVERT(varchar(9), a) + ',' + CONVERT(varchar(9), b) "
                                    "FROM Pares WHERE [a, b] = 2) FROM Pares WHERE [a, b] = 1"));
    };
    // The key column is not shown: a and b alone cannot tell the rows apart.
    open(QStringLiteral("Pares"));
    form->txtQuery->setPlainText(QStringLiteral("select a, b from Pares"));
    pressF5();
    editCell(1, 1, QStringLiteral("9"));
    ASSERT_EQ(box.count(), 1);
    EXPECT_EQ(box.last().icon(), vbCritical);
    EXPECT_EQ(box.last().text, QStringLiteral("The row cannot be told apart from 1 others with the "
                                              "same values; it was not changed."));
    EXPECT_EQ(pairs(), QStringLiteral("5,5|5,5"));

    // Shown, it is the key.
    form->txtQuery->setPlainText(QStringLiteral("select * from Pares order by [a, b]"));
    pressF5();
    editCell(0, 0, QStringLiteral("7"));
    EXPECT_EQ(box.count(), 1) << box.last().text.toStdString();
    EXPECT_EQ(pairs(), QStringLiteral("7,5|5,5"));
}

TEST_F(TableWindowTest, NamesWithSeparatorsQuotesAndAccentsAreEditedInTheirColumns) {
    sql(QStringLiteral("Vendas"),
        QString::fromUtf8("CREATE TABLE [t;x'<#>] ([I:d] int NOT NULL PRIMARY KEY, [a]]b] varchar(9) NULL, "
                          "[c, d] varchar(9) NULL, [é ] varchar(9) NULL, [select] varchar(9) NULL, "
                          "\"q\"\"r\" varchar(9) NULL)\n"
                          "INSERT INTO [t;x'<#>] VALUES (1, 'a', 'c', 'e', 's', 'q')"));
    ScriptedMsgBox box;
    open(QString::fromUtf8("t;x'<#>"));
    form->txtQuery->setPlainText(QString::fromUtf8(
        "select [I:d], /* x, y */ [a]]b] as [Cidade]]x], \"c, d\", [é ] E, [select], \"q\"\"r\" "
        "from [t;x'<#>]"));
    pressF5();
    ASSERT_EQ(header(1), QStringLiteral("Cidade]x"));
    for (int c = 1; c < 6; ++c)
        editCell(0, c, QStringLiteral("v%1").arg(c));
    EXPECT_EQ(box.count(), 0) << (box.count() ? box.last().text.toStdString() : std::string());
    EXPECT_EQ(value(QString::fromUtf8("SELECT [a]]b] + [c, d] + [é ] + [select] + [q\"r] FROM [t;x'<#>]")),
              QStringLiteral("v1v2v3v4v5"));
}
