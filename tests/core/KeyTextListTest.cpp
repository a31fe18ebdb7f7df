// Key/text lists: plain lists as the windows write them, and entries whose key or text holds
// the separators.
#include "core/KeyTextList.h"

#include <gtest/gtest.h>

namespace {

QStringList flat(const QList<KeyText>& entries) {
    QStringList out;
    for (const KeyText& e : entries)
        out << e.key << e.text;
    return out;
}

} // namespace

TEST(KeyTextList, PlainListsReadAsWritten) {
    EXPECT_EQ(flat(ParseKeyTextList(QStringLiteral("1:Sim;2:Não;"))),
              QStringList({"1", "Sim", "2", "Não"}));
    EXPECT_EQ(flat(ParseKeyTextList(QStringLiteral(":;A:Ascendente;;D"))),
              QStringList({"", "", "A", "Ascendente", "D", "D"}));
    EXPECT_EQ(flat(ParseKeyTextList(QStringLiteral("k:a:b;"))), QStringList({"k", "a:b"}));
}

TEST(KeyTextList, EntriesKeepSeparatorsAndBackslashesWhole) {
    const QStringList names = {"Loja:Sul", "Loja;Norte", "C:\\dados\\", ";", ":", "\\", "a b"};
    QString list;
    QStringList expected;
    for (const QString& name : names) {
        list += KeyTextEntry(name, name + QStringLiteral("!"));
        expected << name << name + QStringLiteral("!");
    }
    EXPECT_EQ(KeyTextEntry(QStringLiteral("Loja:Sul"), QStringLiteral("a;b\\")),
              QStringLiteral("Loja\\:Sul:a\\;b\\\\;"));
    EXPECT_EQ(flat(ParseKeyTextList(list)), expected);
}
