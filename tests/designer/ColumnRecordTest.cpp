#include "designer/ColumnRecord.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The designer's column list as its Load builds it.
struct StructureList {
    QWidget form;
    QTreeWidget* lvwStructure = new QTreeWidget(&form);
    CListViewManager mStructure;

    explicit StructureList(int helpContext = 10000) {
        SetHelpContextID(&form, helpContext);
        mStructure.setListView(lvwStructure);
        AppendColumnRecord(mStructure, &form);
    }
};

} // namespace

TEST(ColumnRecord, ThirtyTwoFieldsInOrderWithDesignerHeaders) {
    StructureList list;
    ASSERT_EQ(list.mStructure.ColumnCount(), 32);
    const char* order[] = {"Name",
                           "DataType",
                           "Length",
                           "Precision",
                           "Scale",
                           "AllowNulls",
                           "UpdatedDescription",
                           "UpdatedIdentity",
                           "UpdatedSeed",
                           "UpdatedIncrement",
                           "UpdatedUniqueIdentifier",
                           "UpdatedFormula",
                           "UpdatedCollation",
                           "UpdatedDefault",
                           "NewColumn",
                           "OriginalName",
                           "OriginalDataType",
                           "OriginalLength",
                           "OriginalAllowNulls",
                           "OriginalDescription",
                           "OriginalPrecision",
                           "OriginalScale",
                           "OriginalIdentity",
                           "OriginalSeed",
                           "OriginalIncrement",
                           "OriginalUniqueIdentifier",
                           "OriginalFormula",
                           "OriginalCollation",
                           "OriginalDefault",
                           "HasBindedIndex",
                           "PrimaryKey",
                           "OriginalIndex"};
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(list.mStructure.ColumnIndex(order[i]), i) << order[i];

    QTreeWidgetItem* header = list.lvwStructure->headerItem();
    const QStringList visible{"Nome da Coluna", "Tipo",   "Comprimento",
                              "Precisão",       "Escala", "Permite Nulos"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(header->text(i), visible[i]);
        EXPECT_FALSE(list.lvwStructure->isColumnHidden(i));
    }
    EXPECT_EQ(header->text(6), "UpdatedDescription");
    EXPECT_EQ(header->text(30), "Pk");
    for (int i = 6; i < 31; ++i)
        EXPECT_TRUE(list.lvwStructure->isColumnHidden(i)) << i;
    // OriginalIndex is one twip wide, not hidden.
    EXPECT_FALSE(list.lvwStructure->isColumnHidden(31));

    // Another window gets no header texts.
    StructureList other(1);
    EXPECT_EQ(other.lvwStructure->headerItem()->text(0), "");
}

TEST(ColumnRecord, FieldsReadBackByNameAndAllowNullsShowsSimOrNothing) {
    StructureList list;
    auto& m = list.mStructure;
    const int nullable = m.AddNewItem();
    m.SetColumnValue("Name", "[Order Date]", nullable);
    m.SetColumnValue("DataType", "phone (varchar)", nullable);
    m.SetColumnValue("Length", 20, nullable);
    m.SetColumnValue("AllowNulls", 1, nullable);
    m.SetColumnValue("OriginalAllowNulls", 1, nullable);
    m.SetColumnValue("PrimaryKey", "0", nullable);
    m.SetColumnValue("OriginalIndex", nullable, nullable);
    const int notNull = m.AddNewItem();
    m.SetColumnValue("AllowNulls", 0, notNull);
    m.SetColumnValue("NewColumn", 1, notNull);

    EXPECT_EQ(m.GetColumnValue("name", nullable).toString(), "[Order Date]");
    EXPECT_EQ(m.GetColumnValue(" DataType ", nullable).toString(), "phone (varchar)");
    EXPECT_EQ(m.GetColumnValue("Length", nullable).toInt(), 20);
    EXPECT_EQ(m.GetColumnValue("OriginalIndex", nullable).toInt(), 1);
    EXPECT_EQ(m.GetColumnValue("PrimaryKey", nullable).toString(), "0");
    EXPECT_EQ(m.GetColumnValue("AllowNulls", nullable).toString(), "1");
    EXPECT_EQ(m.GetColumnValue("OriginalAllowNulls", nullable).toString(), "1");
    EXPECT_EQ(m.GetColumnValue("AllowNulls", notNull).toString(), "0");
    EXPECT_EQ(m.GetColumnValue("NewColumn", notNull).toInt(), 1);

    const int col = m.ColumnIndex("AllowNulls");
    EXPECT_EQ(m.Item(nullable)->text(col), "Sim");
    EXPECT_EQ(m.Item(notNull)->text(col), "");
    // The hidden twin has an empty list: its cell shows nothing.
    EXPECT_EQ(m.Item(nullable)->text(m.ColumnIndex("OriginalAllowNulls")), "");

    // A new row's empty number fields read as 0.
    EXPECT_EQ(m.GetColumnValue("OriginalIndex", notNull).toInt(), 0);
}
