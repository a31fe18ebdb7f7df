// The T-SQL texts of a design's save, built from the column record and the index model.
#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "designer/ColumnRecord.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

struct Record {
    QWidget form;
    QTreeWidget* list = new QTreeWidget(&form);
    CListViewManager s;

    Record() {
        s.setListView(list);
        AppendColumnRecord(s, &form);
    }
    // A loaded column: every edited field equal to its twin.
    int loaded(const QString& name, const QString& type, int length, int precision = 0,
               int scale = 0, bool identity = false) {
        const int i = s.AddNewItem();
        auto set = [&](const char* f, const QVariant& v) {
            s.SetColumnValue(QString::fromLatin1(f), v, i);
        };
        set("Name", name);
        set("OriginalName", name);
        set("DataType", type);
        set("OriginalDataType", type);
        set("Length", length);
        set("OriginalLength", length);
        set("Precision", precision);
        set("OriginalPrecision", precision);
        set("Scale", scale);
        set("OriginalScale", scale);
        set("AllowNulls", "1");
        set("OriginalAllowNulls", "1");
        set("UpdatedIdentity", identity ? 1 : 0);
        set("OriginalIdentity", identity ? 1 : 0);
        set("NewColumn", 0);
        set("OriginalIndex", i);
        return i;
    }
    int added(const QString& name, const QString& type, int length = 0, bool identity = false) {
        const int i = s.AddNewItem();
        s.SetColumnValue("NewColumn", 1, i);
        s.SetColumnValue("Name", name, i);
        s.SetColumnValue("DataType", type, i);
        s.SetColumnValue("Length", length, i);
        s.SetColumnValue("AllowNulls", "1", i);
        s.SetColumnValue("UpdatedIdentity", identity ? 1 : 0, i);
        return i;
    }
};

clsIndexesCOL::Entry index(clsIndexesCOL& col, const QString& name, const QString& columns,
                           bool clustered, bool constraint, bool ignoreDup, bool unique,
                           int fillFactor = 0, bool noRecompute = false) {
    return col.Add(true, name, 0, "PRIMARY", fillFactor, false, 0, false, noRecompute, 0, false,
                   columns, clustered, constraint, ignoreDup, unique);
}

} // namespace

TEST(SaveScripts, IndexAndConstraintStatementsKeepTheirBlanks) {
    clsIndexesCOL col;
    EXPECT_EQ(SaveScripts::CreateIndexStatement(
                  *index(col, "IX_Orders_2", "Code<@>D<#>Id<@>A<#>", false, false, true, true, 80),
                  "[Orders]"),
              "Create UNIQUE  NONCLUSTERED Index [IX_Orders_2] on [Orders] ([Code] DESC, "
              "[Id])With FillFactor=80, IGNORE_DUP_KEY ON [PRIMARY]");
    EXPECT_EQ(
        SaveScripts::CreateIndexStatement(
            *index(col, "IX_Orders_3", "Created<@>A<#>", true, false, false, false), "[Orders]"),
        "Create  CLUSTERED Index [IX_Orders_3] on [Orders] ([Created]) ON [PRIMARY]");
    EXPECT_EQ(
        SaveScripts::CreateIndexStatement(
            *index(col, "UQ_Code", "Code<@>A<#>", false, true, false, true, 90, true), "[Orders]"),
        "Alter Table [Orders] ADD Constraint [UQ_Code] UNIQUE NONCLUSTERED ([Code])With "
        "FillFactor=90, STATISTICS_NORECOMPUTE ON [PRIMARY]");
    // A constraint never ignores duplicate keys, whatever its entry kept from an index; one
    // no longer unique is a plain index.
    EXPECT_EQ(SaveScripts::CreateIndexStatement(
                  *index(col, "UQ_Code", "Code<@>A<#>", true, true, true, true), "[Orders]"),
              "Alter Table [Orders] ADD Constraint [UQ_Code] UNIQUE CLUSTERED ([Code]) ON "
              "[PRIMARY]");
    EXPECT_EQ(SaveScripts::CreateIndexStatement(
                  *index(col, "UQ_Code", "Code<@>A<#>", false, true, true, false), "[Orders]"),
              "Create  NONCLUSTERED Index [UQ_Code] on [Orders] ([Code]) ON [PRIMARY]");
    // A key column whose name holds the list's markers stays whole.
    EXPECT_EQ(SaveScripts::KeyColumnList(M_MainMod::MarkedColumn("a<#>b]", "D") +
                                         M_MainMod::MarkedColumn("<lt>", "A")),
              "([a<#>b]]] DESC, [<lt>])");
    EXPECT_EQ(SaveScripts::DropConstraintStatement("[Orders]", "UQ_Code"),
              "Alter Table [Orders] Drop Constraint [UQ_Code]");

    // Not unique: no IGNORE_DUP_KEY, and with nothing else no With at all; fill factor 100
    // counts, one out of range adds nothing; a key column with a blank is bracketed once.
    EXPECT_EQ(SaveScripts::CreateIndexStatement(
                  *index(col, "IX", "Order Date<@>A<#>", false, false, true, false), "[T]"),
              "Create  NONCLUSTERED Index [IX] on [T] ([Order Date]) ON [PRIMARY]");
    EXPECT_EQ(SaveScripts::CreateIndexStatement(
                  *index(col, "IX", "a<@>A<#>", false, false, false, false, 100), "[T]"),
              "Create  NONCLUSTERED Index [IX] on [T] ([a])With FillFactor=100 ON [PRIMARY]");
    EXPECT_EQ(SaveScripts::CreateIndexStatement(
                  *index(col, "IX", "a<@>A<#>", false, false, false, false, 150), "[T]"),
              "Create  NONCLUSTERED Index [IX] on [T] ([a]) ON [PRIMARY]");

    // Without a filegroup the server's default one is left to take it.
    auto noGroup = index(col, "IX", "a<@>A<#>", false, false, false, false);
    noGroup->setAct_FileGroup("");
    EXPECT_EQ(SaveScripts::CreateIndexStatement(*noGroup, "[T]"),
              "Create  NONCLUSTERED Index [IX] on [T] ([a])");
    EXPECT_EQ(SaveScripts::TableRef("dbo", "Orders"), "[Orders]");
    EXPECT_EQ(SaveScripts::TableRef("sales", "Or]ders"), "[sales].[Or]]ders]");
}

TEST(SaveScripts, ConversionTestAndNullCountReadTheLoadedColumn) {
    Record r;
    const int code = r.loaded("Code", "varchar", 50);
    r.s.SetColumnValue("Length", 20, code);
    r.s.SetColumnValue("Name", "Codigo", code);
    EXPECT_EQ(SaveScripts::ConversionTestStatement(r.s, code, "[Orders]"),
              "Select Convert(varchar(20), [Code]) From [Orders]");
    r.s.SetColumnValue("DataType", "decimal", code);
    r.s.SetColumnValue("Precision", 10, code);
    r.s.SetColumnValue("Scale", 2, code);
    EXPECT_EQ(SaveScripts::ConversionTestStatement(r.s, code, "[Orders]"),
              "Select Convert(decimal(10, 2), [Code]) From [Orders]");
    r.s.SetColumnValue("DataType", "int", code);
    EXPECT_EQ(SaveScripts::ConversionTestStatement(r.s, code, "[Orders]"),
              "Select Convert(int, [Code]) From [Orders]");
    // A user type is converted to by its name, in brackets when it is no plain word.
    const std::pair<QString, QString> userTypes[] = {{"phone (varchar)", "phone"},
                                                     {"Post Code (varchar)", "[Post Code]"},
                                                     {"O'Code (int)", "[O'Code]"}};
    for (const auto& [entry, declared] : userTypes) {
        r.s.SetColumnValue("DataType", entry, code);
        EXPECT_EQ(SaveScripts::ConversionTestStatement(r.s, code, "[Orders]"),
                  "Select Convert(" + declared + ", [Code]) From [Orders]");
    }

    const int blank = r.loaded("[Order Date]", "datetime", 8);
    EXPECT_EQ(SaveScripts::NullCountStatement(r.s, blank, "[Orders]"),
              "Select IsNull(Count(*),0) as Contagem from [Orders] Where [Order Date] Is Null");
    const int fresh = r.added("New", "int");
    EXPECT_EQ(SaveScripts::NullCountStatement(r.s, fresh, "[Orders]"),
              "Select IsNull(Count(*),0) as Contagem from [Orders]");
}

TEST(SaveScripts, ChangesAreSeenFieldByFieldAndSizesOnlyAsTheTypeHasThem) {
    Record r;
    const int id = r.loaded("Id", "int", 4);
    const int code = r.loaded("Code", "varchar", 50);
    const int phone = r.loaded("Tel", "phone", 20);
    r.s.SetColumnValue("DataType", "phone (varchar)", phone);
    EXPECT_FALSE(SaveScripts::ColumnChanged(r.s, id));
    EXPECT_FALSE(SaveScripts::ColumnChanged(r.s, phone)); // a user type's entry is its name
    EXPECT_FALSE(SaveScripts::DataTypeChanged(r.s, phone));

    r.s.SetColumnValue("Name", "code", code); // letter case counts
    EXPECT_TRUE(SaveScripts::ColumnChanged(r.s, code));
    EXPECT_FALSE(SaveScripts::DataTypeChanged(r.s, code));
    r.s.SetColumnValue("Length", 20, code);
    EXPECT_TRUE(SaveScripts::DataTypeChanged(r.s, code));

    r.s.SetColumnValue("Length", 8, id); // int has no length
    EXPECT_FALSE(SaveScripts::DataTypeChanged(r.s, id));
    EXPECT_TRUE(SaveScripts::ColumnChanged(r.s, id));

    const int fresh = r.added("New", "int");
    EXPECT_FALSE(SaveScripts::DataTypeChanged(r.s, fresh));
}

TEST(SaveScripts, RebuildCopiesConvertedColumnsAndLeavesComputedAndNumberedOnesOut) {
    Record r;
    r.loaded("Id", "int", 4, 10, 0, true);
    const int code = r.loaded("Code", "varchar", 50);
    r.s.SetColumnValue("Length", 20, code);
    r.loaded("Amount", "decimal", 9, 10, 2);
    r.loaded("[When]", "datetime", 8);
    r.loaded("Stamp", "timestamp", 8);
    r.added("Extra", "int");
    const int total = r.added("Total", "int");
    r.s.SetColumnValue("UpdatedFormula", "Amount * 2", total);
    r.added("Seq", "int", 4, true);

    const SaveScripts::CopyLists lists = SaveScripts::RebuildCopyLists(r.s);
    EXPECT_TRUE(lists.IdentityCopy);
    EXPECT_EQ(lists.Targets, "[Id], [Code], [Amount], [When], [Extra]");
    EXPECT_EQ(lists.Sources, "[Id], Convert (varchar(20), [Code]), Convert (decimal(10, 2), "
                             "[Amount]), Convert (datetime, [When]), NULL");
    EXPECT_EQ(SaveScripts::CopyStatement("dbo", "Varnolt_Temp201135147", lists, "Orders"),
              "Insert Into [dbo].[Varnolt_Temp201135147] ([Id], [Code], [Amount], [When], "
              "[Extra]) (Select [Id], Convert (varchar(20), [Code]), Convert (decimal(10, 2), "
              "[Amount]), Convert (datetime, [When]), NULL From [dbo].[Orders])");
    Record odd;
    odd.loaded("Zip", "Post Code (varchar)", 10);
    EXPECT_EQ(SaveScripts::RebuildCopyLists(odd.s).Sources, "Convert ([Post Code], [Zip])");
    EXPECT_EQ(SaveScripts::IdentityInsertStatement("dbo", "T1", true),
              "SET IDENTITY_INSERT [dbo].[T1]  ON");
    EXPECT_EQ(SaveScripts::IdentityInsertStatement("dbo", "T1", false),
              "SET IDENTITY_INSERT [dbo].[T1]  OFF\r");

    EXPECT_EQ(SaveScripts::TemporaryTableName(QDateTime(QDate(2011, 3, 5), QTime(14, 7))),
              "Varnolt_Temp201135147");
    EXPECT_EQ(SaveScripts::TemporaryTableName(QDateTime(QDate(2011, 11, 12), QTime(9, 5))),
              "Varnolt_Temp2011111295");
}
