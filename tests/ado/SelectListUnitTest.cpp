// The select list of a one-table SELECT: which items read a column unchanged, and their names.
#include "ado/SelectSource.h"

#include <gtest/gtest.h>

using ado::SelectSource;

namespace {

// Each item as "column>name", "*" or "-" for anything else.
std::string items(const char* text) {
    QStringList out;
    for (const SelectSource::Item& i : SelectSource::analyze(QString::fromUtf8(text)).items)
        out << (i.star ? QStringLiteral("*")
                       : i.column.isEmpty() ? QStringLiteral("-") : i.column + QLatin1Char('>') + i.name);
    return out.join(QLatin1Char(' ')).toStdString();
}

} // namespace

TEST(SelectList, ColumnsAliasesAndEverythingElse) {
    EXPECT_EQ(items("select Id, Nome as Cidade, Cidade Nome, N2 = Nome, 'N3' = Nome from t"),
              "Id>Id Nome>Cidade Cidade>Nome Nome>N2 Nome>N3");
    EXPECT_EQ(items("SELECT TOP (5) PERCENT WITH TIES x.[a]]b], dbo.t.c AS \"d\", (e) f FROM t x"),
              "a]b>a]b c>d e>f");
    EXPECT_EQ(items("select 'fixo' as Cidade, N'x' y, Nome + '' Nome, -Id, 1 Id, NULL a, @v b, "
                    "user c, max(Id) m, (select Nome from t) s, case when 1=1 then Id end e, "
                    "IDENTITYCOL i from t"),
              "- - - - - - - - - - - -");
    EXPECT_EQ(items("select *, t.*, Nome from t where Nome = 'a, b'"), "* * Nome>Nome");
    EXPECT_EQ(items("select Nome collate Latin1_General_CS_AS as n, Id from t"), "- Id>Id");
}
