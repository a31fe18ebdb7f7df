#include "designer/clsIndexesCOL.h"

#include "core/VarnoltError.h"

#include <gtest/gtest.h>

namespace {

// An index as the loader adds it, with every flag set and non-zero numbers.
clsIndexesCOL::Entry addFull(clsIndexesCOL& col, const QString& name, const QString& key = {}) {
    return col.Add(false, name, 0x812, "SECONDARY", 80, true, 7, true, true, 0, true,
                   "Id<@>A<#>Data<@>D<#>", true, true, true, true, key);
}

void expectOldEqualsAct(const clsIndexes& e) {
    EXPECT_EQ(e.Old_Name(), e.Act_IndexName());
    EXPECT_EQ(e.Old_Type(), e.Act_IndexType());
    EXPECT_EQ(e.Old_FileGroup(), e.Act_FileGroup());
    EXPECT_EQ(e.Old_FillFactor(), e.Act_FillFactor());
    EXPECT_EQ(e.Old_FullTextKey(), e.Act_FullTextKey());
    EXPECT_EQ(e.Old_IsOnComputed(), e.Act_IsOnComputed());
    EXPECT_EQ(e.Old_NoRecompute(), e.Act_NoRecompute());
    EXPECT_EQ(e.Old_StatisticsIndex(), e.Act_StatisticsIndex());
    EXPECT_EQ(e.Old_IndexColumns(), e.Act_IndexColumns());
    EXPECT_EQ(e.Old_Clustered(), e.Act_Clustered());
    EXPECT_EQ(e.Old_Constraint(), e.Act_Constraint());
    EXPECT_EQ(e.Old_IgnoreDupKeys(), e.Act_IgnoreDupKeys());
    EXPECT_EQ(e.Old_Unique(), e.Act_Unique());
}

} // namespace

TEST(clsIndexesCOL, AddSetsActAndOldTwinsAndLeavesStateFlagsFalse) {
    clsIndexesCOL col;
    auto e = col.Add(true, "IX_Orders", 0x812, "SECONDARY", 80, true, 7, true, true, 3, true,
                     "Id<@>A<#>", true, true, true, true);
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->NewIndex());
    EXPECT_EQ(e->Act_IndexName(), "IX_Orders");
    EXPECT_EQ(e->Act_IndexType(), 0x812);
    EXPECT_EQ(e->Act_FileGroup(), "SECONDARY");
    EXPECT_EQ(e->Act_FillFactor(), 80);
    EXPECT_EQ(e->Act_ID(), 7);
    EXPECT_EQ(e->Act_IndexSpaceUsed(), 3);
    EXPECT_EQ(e->Act_IndexColumns(), "Id<@>A<#>");
    EXPECT_TRUE(e->Act_FullTextKey() && e->Act_IsOnComputed() && e->Act_NoRecompute() &&
                e->Act_StatisticsIndex() && e->Act_Clustered() && e->Act_Constraint() &&
                e->Act_IgnoreDupKeys() && e->Act_Unique());
    expectOldEqualsAct(*e);
    EXPECT_FALSE(e->CreatedAgora() || e->IndexIsPK() || e->DeletedAgora() ||
                 e->DropIndexOnAlter() || e->Deleted());
    EXPECT_EQ(col.Count(), 1);
    EXPECT_EQ(col.Item(1), e);

    // A fresh entry is all False, 0 and empty.
    EXPECT_EQ(clsIndexes(), clsIndexes());
    clsIndexes blank;
    EXPECT_FALSE(blank.NewIndex());
    EXPECT_EQ(blank.Old_FillFactor(), 0);
    EXPECT_TRUE(blank.Act_IndexName().isEmpty());
}

TEST(clsIndexesCOL, ItemHandsOutTheStoredEntryButAddObjectCopies) {
    clsIndexesCOL col;
    addFull(col, "IX_A");
    col.Item(1)->setDropIndexOnAlter(true);
    col.Item(1)->setAct_IndexColumns("Id<@>D<#>");
    EXPECT_TRUE(col.Item(1)->DropIndexOnAlter());
    EXPECT_EQ(col.Item(1)->Act_IndexColumns(), "Id<@>D<#>");

    // Copies carry every field, the state flags included; a copy of a copy too.
    col.Item(1)->setIndexIsPK(true);
    col.Item(1)->setCreatedAgora(true);
    col.Item(1)->setDeleted(true);
    clsIndexesCOL work;
    auto copy = work.AddObject(*col.Item(1));
    EXPECT_NE(copy, col.Item(1));
    EXPECT_EQ(*copy, *col.Item(1));
    clsIndexesCOL back;
    auto copy2 = back.AddObject(*copy);
    EXPECT_EQ(*copy2, *col.Item(1));

    // Editing the copy leaves the source alone, and the other way round.
    copy->setAct_IndexName("IX_B");
    copy->setDeleted(false);
    EXPECT_EQ(col.Item(1)->Act_IndexName(), "IX_A");
    EXPECT_TRUE(col.Item(1)->Deleted());
    col.Item(1)->setAct_FillFactor(10);
    EXPECT_EQ(copy->Act_FillFactor(), 80);
    EXPECT_EQ(copy2->Act_IndexName(), "IX_A");
}

TEST(clsIndexesCOL, PositionsKeysRemoveAndIteration) {
    clsIndexesCOL col;
    auto a = addFull(col, "A");
    auto b = addFull(col, "B", "kb");
    auto c = addFull(col, "C");
    EXPECT_EQ(col.Item("KB"), b);
    EXPECT_THROW(addFull(col, "D", "Kb"), VarnoltError);
    EXPECT_EQ(col.Count(), 3);

    std::vector<clsIndexesCOL::Entry> walked;
    for (const auto& e : col)
        walked.push_back(e);
    EXPECT_EQ(walked, (std::vector<clsIndexesCOL::Entry>{a, b, c}));

    col.Remove("kb");
    EXPECT_EQ(col.Count(), 2);
    EXPECT_EQ(col.Item(2), c);
    col.Remove(1);
    EXPECT_EQ(col.Item(1), c);
    // The removed entry lives on for whoever still holds it.
    EXPECT_EQ(a->Act_IndexName(), "A");

    try {
        col.Item(2);
        FAIL();
    } catch (const VarnoltError& e) {
        EXPECT_EQ(e.number(), VarnoltError::SubscriptOutOfRange);
    }
    EXPECT_THROW(col.Item(0), VarnoltError);
    EXPECT_THROW(col.Item("kb"), VarnoltError);
    EXPECT_THROW(col.Item(QString()), VarnoltError);
    EXPECT_THROW(col.Remove(5), VarnoltError);
    EXPECT_EQ(col.Count(), 1);
}

TEST(clsIndexesCOL, FindIDXNormalisesAndPassesOverDeletedEntries) {
    clsIndexesCOL col;
    EXPECT_EQ(col.FindIDX("ix_orders"), nullptr);

    auto deleted = addFull(col, "ix_orders");
    deleted->setDeleted(true);
    EXPECT_EQ(col.FindIDX("ix_orders"), nullptr);

    auto other = addFull(col, "IX_Other");
    auto live = addFull(col, " ix_orders ");
    EXPECT_EQ(col.FindIDX("  IX_Orders  "), live);
    EXPECT_EQ(col.FindIDX("ix_other"), other);
    EXPECT_EQ(col.FindIDX("ix_order"), nullptr);

    // Looked up by the edited name, not the loaded one.
    other->setAct_IndexName("IX_Renamed");
    EXPECT_EQ(col.FindIDX("IX_Other"), nullptr);
    EXPECT_EQ(col.FindIDX("ix_renamed"), other);
}
