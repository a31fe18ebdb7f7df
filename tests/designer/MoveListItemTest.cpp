#include "designer/M_MainMod.h"

#include "controls/CListViewManager.h"

#include <QSignalSpy>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// A list of three rows, each with a name, a number, a tag, an icon, a check state and a
// row-bound value standing for the row's key.
struct ThreeRows {
    QTreeWidget list;
    CListViewManager m;
    QIcon key = QIcon::fromTheme("dummy", QIcon(QPixmap(4, 4)));

    ThreeRows() {
        m.setListView(&list);
        m.setCheckboxes(true);
        m.AppendColumns("Name", 1000, 0, 0, 0, {}, "Name");
        m.AppendColumns("Length", 1000, 1, 1, 0, {}, "Length");
        for (int i = 1; i <= 3; ++i) {
            m.AddNewItem();
            m.SetColumnValue("Name", QString("c%1").arg(i), i);
            m.SetColumnValue("Length", i * 10, i);
            m.SetTag(i, QString("t%1").arg(i));
            m.Item(i)->setData(0, Qt::UserRole, QString("k%1").arg(i));
        }
        m.SetChecked(1, true);
        m.SetSmallIcon(1, key);
    }
    QString names() const {
        QStringList out;
        for (int i = 1; i <= m.Count(); ++i)
            out << m.GetColumnValue("Name", i).toString();
        return out.join(',');
    }
    QString keys() const {
        QStringList out;
        for (int i = 1; i <= m.Count(); ++i)
            out << m.Item(i)->data(0, Qt::UserRole).toString();
        return out.join(',');
    }
};

} // namespace

TEST(MoveListItem, ExchangesContentsWithTheNeighbourAndSelectsIt) {
    ThreeRows r;
    QSignalSpy checks(&r.m, &CListViewManager::ItemCheck);
    QTreeWidgetItem* first = r.m.Item(1);
    M_MainMod::MoveListItem(&r.list, first, 1);

    EXPECT_EQ(r.names(), "c2,c1,c3");
    EXPECT_EQ(r.m.GetColumnValue("Length", 2).toInt(), 10);
    EXPECT_EQ(r.m.GetColumnValue("Length", 1).toInt(), 20);
    EXPECT_EQ(r.m.Tag(2), "t1");
    EXPECT_EQ(r.m.Tag(1), "t2");
    EXPECT_TRUE(r.m.Checked(2));
    EXPECT_FALSE(r.m.Checked(1));
    EXPECT_FALSE(r.m.Item(2)->icon(0).isNull());
    EXPECT_TRUE(r.m.Item(1)->icon(0).isNull());
    EXPECT_EQ(checks.count(), 0);
    // Keys and the item objects themselves stay in place.
    EXPECT_EQ(r.keys(), "k1,k2,k3");
    EXPECT_EQ(r.m.Item(1), first);
    EXPECT_EQ(r.m.SelectedIndex(), 2);

    M_MainMod::MoveListItem(&r.list, r.m.Item(2), 2);
    EXPECT_EQ(r.names(), "c1,c2,c3");
    EXPECT_EQ(r.m.SelectedIndex(), 1);
    EXPECT_TRUE(r.m.Checked(1));
}

TEST(MoveListItem, NothingMovesPastEitherEnd) {
    ThreeRows r;
    r.m.SetSelectedItem(1);
    M_MainMod::MoveListItem(&r.list, r.m.Item(1), 2);
    EXPECT_EQ(r.names(), "c1,c2,c3");
    EXPECT_EQ(r.m.SelectedIndex(), 1);
    r.m.SetSelectedItem(3);
    M_MainMod::MoveListItem(&r.list, r.m.Item(3), 1);
    EXPECT_EQ(r.names(), "c1,c2,c3");
    EXPECT_EQ(r.keys(), "k1,k2,k3");
    EXPECT_EQ(r.m.SelectedIndex(), 3);

    QTreeWidget empty;
    M_MainMod::MoveListItem(&empty, nullptr, 1);
    M_MainMod::MoveListItem(nullptr, nullptr, 2);
}
