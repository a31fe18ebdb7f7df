#include "controls/CListViewManager.h"

#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        lvw.resize(700, 300);
        mgr.setListView(&lvw);
        mgr.AppendColumns("Nome", 1500, 0, 0, 0, "", "Name");
        mgr.AppendColumns("Tamanho", 900, 1, 1, 0, "", "Length");
        mgr.AppendColumns("Nulos", 900, 0, 4, 0, "1:Sim;2:Não;", "AllowNulls");
        mgr.AppendColumns("", 0, 0, 0, 0, "", "Original");
        lvw.show();
    }

    void addRow(const QString& name, const QVariant& length, const QString& nulls = "1") {
        const int i = mgr.AddNewItem();
        mgr.SetColumnValue("Name", name, i);
        mgr.SetColumnValue("Length", length, i);
        mgr.SetColumnValue("AllowNulls", nulls, i);
    }

    QStringList names() const {
        QStringList out;
        for (int i = 1; i <= mgr.Count(); ++i)
            out << mgr.GetColumnValue("Name", i).toString();
        return out;
    }

    void clickHeader(int column) {
        QHeaderView* h = lvw.header();
        const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2,
                        h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
    }

    void clickRow(int index, Qt::KeyboardModifiers mods = {}) {
        const QRect r = lvw.visualItemRect(mgr.Item(index));
        QTest::mouseClick(lvw.viewport(), Qt::LeftButton, mods, r.center());
    }

    QTreeWidget lvw;
    CListViewManager mgr;
};

} // namespace

TEST_F(ListTest, ColumnsAreStyledAndAHiddenColumnHasWidthZero) {
    EXPECT_EQ(lvw.columnCount(), 4);
    EXPECT_EQ(lvw.headerItem()->text(1), "Tamanho");
    EXPECT_TRUE(lvw.isColumnHidden(3));
    EXPECT_FALSE(lvw.isColumnHidden(0));
    EXPECT_EQ(lvw.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(lvw.rootIsDecorated());
    EXPECT_EQ(mgr.ColumnIndex("  allownulls "), 2);
    EXPECT_EQ(mgr.ColumnIndex("Nada"), -1);
}

TEST_F(ListTest, CellsKeepTextAndValue) {
    addRow("Id", 4, "2");
    EXPECT_EQ(mgr.Item(1)->text(1), "4");
    EXPECT_EQ(mgr.GetColumnValue("Length", 1).toDouble(), 4.0);
    EXPECT_EQ(mgr.Item(1)->text(2), "Não");
    EXPECT_EQ(mgr.GetColumnValue("ALLOWNULLS", 1).toString(), "2");
    EXPECT_EQ(mgr.Item(1)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    // A key the lookup list lacks shows nothing and is kept.
    mgr.SetColumnValue("AllowNulls", "9", 1);
    EXPECT_EQ(mgr.Item(1)->text(2), "");
    EXPECT_EQ(mgr.GetColumnValue("AllowNulls", 1).toString(), "9");

    // An empty number cell reads 0.
    mgr.SetColumnValue("Length", "", 1);
    EXPECT_EQ(mgr.Item(1)->text(1), "");
    EXPECT_EQ(mgr.GetColumnValue("Length", 1).toDouble(), 0.0);
    EXPECT_TRUE(mgr.GetColumnValue("Length", 1).isValid());

    // A number written into the list directly is read back.
    mgr.Item(1)->setText(1, "12");
    EXPECT_EQ(mgr.GetColumnValue("Length", 1).toInt(), 12);

    // Unknown fields and items: empty value, nothing written, no error.
    EXPECT_FALSE(mgr.GetColumnValue("Nada", 1).isValid());
    EXPECT_FALSE(mgr.GetColumnValue("Name", 7).isValid());
    mgr.SetColumnValue("Nada", "x", 1);
    mgr.SetColumnValue("Name", "x", 7);
    EXPECT_EQ(names(), QStringList{"Id"});
}

TEST_F(ListTest, DecimalPlacesFormatTheShownText) {
    mgr.AppendColumns("Preço", 900, 1, 1, 2, "", "Price");
    mgr.AddNewItem();
    mgr.SetColumnValue("Price", 3.14159);
    EXPECT_EQ(mgr.Item(1)->text(4), "3.14");
    EXPECT_DOUBLE_EQ(mgr.GetColumnValue("Price").toDouble(), 3.14159);
}

// Whole numbers beyond a double's 53 bits keep their last digit, written as numbers or as
// text; a fraction is a double as before.
TEST_F(ListTest, WholeNumbersKeepEveryDigit) {
    addRow("a", Q_INT64_C(9007199254740993));
    addRow("b", " -9223372036854775807 ");
    EXPECT_EQ(mgr.Item(1)->text(1), "9007199254740993");
    EXPECT_EQ(mgr.GetColumnValue("Length", 1).toString(), "9007199254740993");
    EXPECT_EQ(mgr.GetColumnValue("Length", 2).toLongLong(), -Q_INT64_C(9223372036854775807));
    mgr.Item(2)->setText(1, "9007199254740995");
    EXPECT_EQ(mgr.GetColumnValue("Length", 2).toString(), "9007199254740995");
    mgr.SetColumnValue("Length", 2.6, 1);
    EXPECT_EQ(mgr.Item(1)->text(1), "3");
    EXPECT_DOUBLE_EQ(mgr.GetColumnValue("Length", 1).toDouble(), 2.6);
}

// Number cells show plain digits with a minus sign and no group separator, whatever the
// user's locale, and each text reads back to its value.
TEST_F(ListTest, NumbersArePlainDigitsInEveryLocale) {
    mgr.AppendColumns("Preço", 900, 1, 1, 2, "", "Price");
    const QLocale before;
    for (const QLocale& loc :
         {QLocale(QLocale::Arabic, QLocale::Egypt), QLocale(QLocale::Persian, QLocale::Iran),
          QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France)}) {
        SCOPED_TRACE(loc.name().toStdString());
        QLocale::setDefault(loc);
        lvw.clear();
        addRow("a", 80);
        addRow("b", Q_INT64_C(-5));
        addRow("c", "1234567");
        addRow("d", -9.6);
        mgr.SetColumnValue("Price", -1234.5, 1);
        EXPECT_EQ(mgr.Item(1)->text(1), "80");
        EXPECT_EQ(mgr.Item(2)->text(1), "-5");
        EXPECT_EQ(mgr.Item(3)->text(1), "1234567");
        EXPECT_EQ(mgr.Item(4)->text(1), "-10");
        EXPECT_EQ(mgr.Item(1)->text(4), "-1234.50");
        EXPECT_EQ(mgr.GetColumnValue("Length", 2).toLongLong(), -5);
        EXPECT_DOUBLE_EQ(mgr.GetColumnValue("Length", 4).toDouble(), -9.6);
        EXPECT_DOUBLE_EQ(mgr.GetColumnValue("Price", 1).toDouble(), -1234.5);

        // A cell's own text, put back into a cell, reads as the same number.
        const qint64 wanted[] = {80, -5, 1234567, -10};
        for (int i = 1; i <= 4; ++i) {
            const QString shown = mgr.Item(i)->text(1);
            addRow("copy", "");
            mgr.Item(mgr.Count())->setText(1, shown);
            EXPECT_EQ(mgr.GetColumnValue("Length", mgr.Count()).toLongLong(), wanted[i - 1]);
        }
        mgr.Item(2)->setText(4, mgr.Item(1)->text(4));
        EXPECT_DOUBLE_EQ(mgr.GetColumnValue("Price", 2).toDouble(), -1234.5);

        // The numeric sort and the search by value hold too.
        mgr.OrderByField("Length");
        EXPECT_EQ(names(), (QStringList{"copy", "d", "b", "copy", "a", "copy", "c", "copy"}));
        EXPECT_EQ(mgr.FindItem("Length", -5), 3);
    }
    QLocale::setDefault(before);
}

TEST_F(ListTest, PositionZeroMeansTheSelectedItem) {
    addRow("a", 1);
    addRow("b", 2);
    addRow("c", 3);
    EXPECT_EQ(mgr.SelectedIndex(), 3); // the new item is selected
    clickRow(2);
    EXPECT_EQ(mgr.SelectedIndex(), 2);
    EXPECT_EQ(mgr.GetColumnValue("Name").toString(), "b");
    mgr.SetColumnValue("Name", "B2");
    EXPECT_EQ(names(), (QStringList{"a", "B2", "c"}));
}

TEST_F(ListTest, AddNewItemInsertsAtAPosition) {
    addRow("a", 1);
    addRow("c", 3);
    EXPECT_EQ(mgr.AddNewItem(2), 2);
    mgr.SetColumnValue("Name", "b");
    EXPECT_EQ(names(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(mgr.AddNewItem(99), 4); // past the end: appended
}

TEST_F(ListTest, FindItemMatchesExactlyFromTheStartingItem) {
    EXPECT_EQ(mgr.FindItem("Name", "x"), -1);
    addRow("abc", 10);
    addRow("ABC", 20);
    addRow("abc", 30);
    EXPECT_EQ(mgr.FindItem("Name", "ABC"), 2);
    EXPECT_EQ(mgr.FindItem("name", "abc"), 1);
    EXPECT_EQ(mgr.FindItem("Name", "abc", 2), 3);
    EXPECT_EQ(mgr.FindItem("Name", "ab"), -1);
    EXPECT_EQ(mgr.FindItem("Name", "abc "), -1);
    EXPECT_EQ(mgr.FindItem("Length", 20), 2);
    EXPECT_EQ(mgr.FindItem("Length", "30"), 3);
    EXPECT_EQ(mgr.FindItem("AllowNulls", "1"), 1);
    EXPECT_EQ(mgr.FindItem("Nada", ""), -1);
}

TEST_F(ListTest, HeaderClicksSortNumbersByValueAndToggleTheOrder) {
    addRow("b", 100);
    addRow("C", 2);
    addRow("a", 10);
    clickHeader(1);
    EXPECT_EQ(names(), (QStringList{"C", "a", "b"}));
    clickHeader(1);
    EXPECT_EQ(names(), (QStringList{"b", "a", "C"}));
    clickHeader(0);
    EXPECT_EQ(names(), (QStringList{"a", "b", "C"}));
    // Values stay with their rows.
    EXPECT_EQ(mgr.GetColumnValue("Length", 3).toInt(), 2);
}

TEST_F(ListTest, NoSortingWhenNotAllowed) {
    QSignalSpy clicks(&mgr, &CListViewManager::ColumnClick);
    mgr.setAllowSorting(false);
    addRow("b", 1);
    addRow("a", 2);
    clickHeader(0);
    EXPECT_EQ(names(), (QStringList{"b", "a"}));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ListTest, OrderByFieldSortsBothWaysKeepingTheSelection) {
    addRow("b", 1);
    addRow("c", 2);
    addRow("a", 3);
    mgr.SetSelectedItem(2); // "c"
    mgr.OrderByField("Name");
    EXPECT_EQ(names(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(mgr.GetColumnValue("Name").toString(), "c");
    mgr.OrderByField("Length", 1);
    EXPECT_EQ(names(), (QStringList{"a", "c", "b"}));
}

TEST_F(ListTest, SetSelectedItemClampsScrollsAndMovesTheBoldMark) {
    for (int i = 0; i < 40; ++i)
        addRow(QString("c%1").arg(i), i);
    mgr.SetSelectedItem(1);
    EXPECT_EQ(mgr.BoldIndex(), 1);
    EXPECT_TRUE(mgr.Item(1)->font(0).bold());
    mgr.SetSelectedItem(500);
    EXPECT_EQ(mgr.SelectedIndex(), 40);
    EXPECT_EQ(mgr.SelectedIndexes(), QList<int>{40});
    EXPECT_EQ(mgr.BoldIndex(), 40);
    EXPECT_FALSE(mgr.Item(1)->font(0).bold());
    EXPECT_TRUE(mgr.Item(40)->font(1).bold());
    EXPECT_TRUE(lvw.viewport()->rect().intersects(lvw.visualItemRect(mgr.Item(40))));
}

TEST_F(ListTest, RemoveMarkedItemsRemovesOnlyTaggedOnes) {
    addRow("a", 1);
    addRow("b", 2);
    addRow("c", 3);
    addRow("d", 4);
    mgr.SetTag(2, "X");
    mgr.SetTag(4, "X");
    mgr.SetTag(3, "x");
    mgr.RemoveMarkedItems("X");
    EXPECT_EQ(names(), (QStringList{"a", "c"}));
    mgr.RemoveMarkedItems(); // "X" by default; none left
    EXPECT_EQ(mgr.Count(), 2);
}

TEST_F(ListTest, UserCheckMarksRaiseItemCheckAndCodeDoesNot) {
    mgr.setCheckboxes(true);
    addRow("a", 1);
    addRow("b", 2);
    QSignalSpy checks(&mgr, &CListViewManager::ItemCheck);
    mgr.SetChecked(1, true);
    EXPECT_TRUE(mgr.Checked(1));
    EXPECT_EQ(checks.count(), 0);

    lvw.setFocus();
    clickRow(2);
    QTest::keyClick(&lvw, Qt::Key_Space);
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks[0][0].toInt(), 2);
    EXPECT_TRUE(checks[0][1].toBool());
    EXPECT_EQ(mgr.Item(2)->checkState(0), Qt::Checked);
    QTest::keyClick(&lvw, Qt::Key_Space);
    ASSERT_EQ(checks.count(), 2);
    EXPECT_FALSE(checks[1][1].toBool());

    // A click on the check box itself.
    QStyleOptionViewItem opt;
    opt.initFrom(&lvw);
    opt.rect = lvw.visualRect(lvw.model()->index(0, 0));
    opt.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        lvw.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, &lvw);
    QTest::mouseClick(lvw.viewport(), Qt::LeftButton, {}, box.center());
    ASSERT_EQ(checks.count(), 3);
    EXPECT_EQ(checks[2][0].toInt(), 1);
    EXPECT_FALSE(mgr.Checked(1));
}

TEST_F(ListTest, ClicksAndArrowKeysRaiseItemClick) {
    addRow("a", 1);
    addRow("b", 2);
    addRow("c", 3);
    QSignalSpy clicks(&mgr, &CListViewManager::ItemClick);
    mgr.SetSelectedItem(1);
    EXPECT_EQ(clicks.count(), 0);
    clickRow(2);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.last()[0].toInt(), 2);
    lvw.setFocus();
    QTest::keyClick(&lvw, Qt::Key_Down);
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.last()[0].toInt(), 3);
    EXPECT_EQ(mgr.SelectedIndex(), 3);
}

TEST_F(ListTest, MultiSelectLetsTheUserPickSeveralRows) {
    addRow("a", 1);
    addRow("b", 2);
    addRow("c", 3);
    clickRow(1);
    clickRow(3, Qt::ControlModifier);
    EXPECT_EQ(mgr.SelectedIndexes(), QList<int>{3}); // single selection
    mgr.setMultiSelect(true);
    EXPECT_EQ(lvw.selectionMode(), QAbstractItemView::ExtendedSelection);
    clickRow(1);
    clickRow(3, Qt::ControlModifier);
    EXPECT_EQ(mgr.SelectedIndexes(), (QList<int>{1, 3}));
}

TEST(CListViewManager, ColumnsAppendedBeforeTheListIsAttached) {
    CListViewManager mgr;
    mgr.AppendColumns("Nome", 1500, 0, 0, 0, "", "Name");
    mgr.AppendColumns("Oculto", 0, 0, 0, 0, "", "Hidden");
    EXPECT_EQ(mgr.AddNewItem(), 0); // no list yet
    QTreeWidget lvw;
    mgr.setListView(&lvw);
    EXPECT_EQ(lvw.columnCount(), 2);
    EXPECT_TRUE(lvw.isColumnHidden(1));
    EXPECT_EQ(mgr.AddNewItem(), 1);
    mgr.SetSmallIcon(1, QIcon());
    mgr.RemoveItem(1);
    EXPECT_EQ(mgr.Count(), 0);
}
