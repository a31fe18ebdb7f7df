// Strings carved from a shared block behave as any QString: the same text as Qt makes, alive
// after the pool and their neighbours are gone, and changed alone.

#include "engine/exec/TextPool.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using engine::exec::TextPool;

namespace {
QString pooled(TextPool& pool, const std::string& utf8) { return pool.fromUtf8(utf8.data(), qsizetype(utf8.size())); }
} // namespace

TEST(TextPool, MakesTheSameStringsAsQt)
{
    TextPool pool;
    const std::string texts[] = {"C12", "note 5", "", "olá", "\xF0\x9F\x99\x82 smile", "bad \xC3", std::string(300, 'x'), "tail"};
    for (const std::string& t : texts) {
        QString s = pooled(pool, t);
        QString q = QString::fromUtf8(t.data(), qsizetype(t.size()));
        EXPECT_EQ(s, q) << t;
        EXPECT_EQ(s.size(), q.size()) << t;
        EXPECT_EQ(s.isNull(), q.isNull()) << t;
        EXPECT_EQ(s.utf16()[s.size()], 0) << t;
    }
    QString amount = pool.fromLatin1("1234.56", 7);
    EXPECT_EQ(amount, QStringLiteral("1234.56"));
    EXPECT_EQ(pool.fromLatin1("\xE9", 1), QString(QChar(0xE9)));
}

TEST(TextPool, StringsOutliveThePoolAndEachOther)
{
    std::vector<QString> kept;
    {
        TextPool pool;
        for (int i = 0; i < 50000; ++i) kept.push_back(pooled(pool, "value " + std::to_string(i)));
    }
    for (size_t i = 0; i < kept.size(); i += 2) kept[i] = QString(); // drop every other one
    for (size_t i = 1; i < kept.size(); i += 2) ASSERT_EQ(kept[i], QStringLiteral("value %1").arg(i));
}

TEST(TextPool, ChangingOneLeavesItsNeighboursAlone)
{
    auto pool = std::make_unique<TextPool>();
    QString a = pooled(*pool, "alpha");
    QString b = pooled(*pool, "beta");
    QString c = pooled(*pool, "gamma");
    a.append(QStringLiteral(" and more text than the block had room for after it"));
    b[0] = QLatin1Char('B');
    c.prepend(QStringLiteral(">"));
    EXPECT_EQ(a, QStringLiteral("alpha and more text than the block had room for after it"));
    EXPECT_EQ(b, QStringLiteral("Beta"));
    EXPECT_EQ(c, QStringLiteral(">gamma"));

    // the last string of a block, alone in it, grows in place
    QString d = pooled(*pool, "delta");
    QString e = pooled(*pool, "epsilon");
    pool.reset();
    a = b = c = e = QString();
    d.append(QString(2000, QLatin1Char('!')));
    d.squeeze();
    EXPECT_EQ(d, QStringLiteral("delta") + QString(2000, QLatin1Char('!')));
}
