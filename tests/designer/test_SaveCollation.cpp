// A column's collation chosen in the collation picker from the designer and saved.
#include "test_Save_Fixture.h"

#include "core/ScriptedMsgBox.h"
#include "designer/frmDispCollation.h"

#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

class SaveCollation : public SaveFixture {
protected:
    // Presses the collation button and runs the script in the picker as the user.
    void pickCollation(frmDispStruct* f, const std::function<void(frmDispCollation*)>& script) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            frmDispCollation* d = frmDispCollation::Current();
            if (!d || !d->isVisible())
                return;
            shown = true;
            QApplication::setActiveWindow(d);
            script(d);
        });
        QTest::mouseClick(f->cmdPesqCollation, Qt::LeftButton);
        EXPECT_TRUE(shown);
    }
    QStringList collations() {
        return query("SELECT name, collation FROM syscolumns WHERE id = OBJECT_ID('Names') "
                     "AND collation IS NOT NULL ORDER BY colid");
    }
    ScriptedMsgBox msgs;
};

} // namespace

// OK on the collation a column has leaves it as it is; a collation composed in the picker is
// one the server takes.
TEST_F(SaveCollation, PickedCollationsAreTheServersOwn) {
    run("CREATE TABLE Names (Id int NOT NULL, A varchar(10) COLLATE Latin1_General_BIN NULL, "
        "B varchar(10) COLLATE French_CI_AS NULL)\n"
        "INSERT INTO Names VALUES (1, 'a', 'b')");
    frmDispStruct* f = open("Names");
    ASSERT_TRUE(f);
    pick(f, "A");
    pickCollation(f, [](frmDispCollation* d) {
        QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    });
    EXPECT_EQ(f->txtCollation->text(), "Latin1_General_BIN");
    apply(f);
    pick(f, "B");
    pickCollation(f, [](frmDispCollation* d) {
        QTest::mouseClick(d->chkCaseSensitive, Qt::LeftButton, {},
                          QPoint(8, d->chkCaseSensitive->height() / 2));
        QTest::mouseClick(d->cmdOk, Qt::LeftButton);
    });
    EXPECT_EQ(f->txtCollation->text(), "French_CS_AS");
    apply(f);
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(collations(), QStringList({"A|Latin1_General_BIN", "B|French_CS_AS"}));
    EXPECT_EQ(query("SELECT * FROM Names"), QStringList({"1|a|b"}));
}
