// Indexes and unique constraints edited in the index editor and saved by the designer: the
// server then holds each as the editor showed it, its key order, its columns whatever their
// names hold, and only the options its kind has.
#include "test_Save_Fixture.h"

#include "core/ScriptedMsgBox.h"
#include "designer/frmDispStructIndex.h"

#include <QAction>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <ostream>

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

using Editor = frmDispStructIndex;

class SaveIndexes : public SaveFixture {
protected:
    // Presses "In&díces" and runs the script in the editor as the user; an editor the script
    // leaves open is closed (a cancel).
    void editIndexes(frmDispStruct* f, const std::function<void(Editor*)>& script) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            Editor* d = Editor::Current();
            if (!d || !d->isVisible())
                return;
            shown = true;
            QApplication::setActiveWindow(d);
            script(d);
            if (Editor::Current() && Editor::Current()->isVisible())
                Editor::Current()->close();
        });
        QTest::mouseClick(f->cmdIdx, Qt::LeftButton);
        EXPECT_TRUE(shown);
    }
    static void choose(QComboBox* box, const QString& text) {
        box->setFocus(Qt::MouseFocusReason);
        box->setCurrentIndex(box->findText(text));
    }
    static void click(QAbstractButton* button) {
        const bool mark = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, {},
                          mark ? QPoint(8, button->height() / 2) : button->rect().center());
    }
    static void check(Editor* d, const QString& column, bool on) {
        QTreeWidgetItem* item =
            d->ColumnList()->Item(d->ColumnList()->FindItem(QStringLiteral("Name"), column));
        ASSERT_NE(item, nullptr) << column.toStdString();
        item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
    // The checked key columns as the editor shows them, "Name:Ascendente ...".
    static QString shownKeys(Editor* d) {
        QStringList out;
        CListViewManager* list = d->ColumnList();
        const int order = list->ColumnIndex(QStringLiteral("Order"));
        for (int i = 1; i <= list->Count(); ++i)
            if (list->Checked(i))
                out << list->Item(i)->text(0) + u':' + list->Item(i)->text(order);
        return out.join(u' ');
    }
    QStringList indexes(const QString& table) {
        return query("EXEC sp_helpindex N'" + QString(table).replace("'", "''") + "'");
    }
    // Each index's fill factor as the server keeps it: name|fill factor.
    QStringList fillFactors(const QString& table) {
        return query("SELECT name, OrigFillFactor FROM sysindexes WHERE id = OBJECT_ID(N'" +
                     QString(table).replace("'", "''") + "') ORDER BY name");
    }
    // What a batch gives: its error number, 0 when it runs.
    int error(const QString& sql) {
        try {
            run(sql);
        } catch (const dmo::DmoError& e) {
            return e.Number();
        }
        return 0;
    }

    ScriptedMsgBox msgs;
};

} // namespace

// An index whose options alone change keeps its key order, and so a clustered table keeps its
// row order; changing its columns keeps the order of those that stay, new ones after them.
TEST_F(SaveIndexes, KeyOrderStaysWhenOnlyOptionsOrSomeColumnsChange) {
    run("CREATE TABLE Stock (Id int NOT NULL, Code varchar(10) NOT NULL, Qty int NOT NULL)\n"
        "CREATE CLUSTERED INDEX IX_Stock ON Stock (Qty, Code DESC)\n"
        "CREATE INDEX IX_Two ON Stock (Qty, Code)\n"
        "INSERT INTO Stock VALUES (1, 'b', 2)\nINSERT INTO Stock VALUES (2, 'a', 1)");
    frmDispStruct* f = open("Stock");
    ASSERT_TRUE(f);
    editIndexes(f, [](Editor* d) {
        ASSERT_EQ(d->cboIndex->currentText(), "IX_Stock");
        d->txtFillFactor->setFocus(Qt::TabFocusReason);
        d->txtFillFactor->selectAll();
        QTest::keyClicks(d->txtFillFactor, "80");
        choose(d->cboIndex, "IX_Two");
        check(d, "Qty", false);
        check(d, "Id", true);
        EXPECT_EQ(shownKeys(d), "Id:Ascendente Code:Ascendente");
        click(d->cmdOk);
    });
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(indexes("Stock"),
              QStringList({"IX_Stock|clustered located on PRIMARY|Qty, Code(-)",
                           "IX_Two|nonclustered located on PRIMARY|Code, Id"}));
    EXPECT_EQ(fillFactors("Stock"), QStringList({"IX_Stock|80", "IX_Two|0"}));
    EXPECT_EQ(query("SELECT Id FROM Stock"), QStringList({"2", "1"}));
}

// Column names holding the key-column list's own markers stay whole in the editor, through a
// rename in the column editor and through a rebuild.
TEST_F(SaveIndexes, ColumnNamesHoldingTheListsMarkersKeepTheirIndexes) {
    run("CREATE TABLE Odd (Id int NOT NULL, [a<#>b] int NULL, b int NULL, "
        "[x<@>A<#>y] int NULL, [c<lt>] int NULL, [<] int NULL)\n"
        "CREATE INDEX IX_Odd ON Odd ([a<#>b], [x<@>A<#>y] DESC)\n"
        "CREATE INDEX IX_Lt ON Odd ([c<lt>], [<])\n"
        "INSERT INTO Odd VALUES (1, 2, 3, 4, 5, 6)");
    frmDispStruct* f = open("Odd");
    ASSERT_TRUE(f);
    editIndexes(f, [](Editor* d) {
        choose(d->cboIndex, "IX_Odd");
        EXPECT_EQ(shownKeys(d), "a<#>b:Ascendente x<@>A<#>y:Descendente");
        choose(d->cboIndex, "IX_Lt");
        EXPECT_EQ(shownKeys(d), "c<lt>:Ascendente <:Ascendente");
        click(d->chkNoRecompute);
        click(d->cmdOk);
    });
    rename(f, "a<#>b", "a<#>c");
    addTyped(f, "Novo", "int");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(indexes("Odd"),
              QStringList({"IX_Lt|nonclustered, stats no recompute located on PRIMARY|c<lt>, <",
                           "IX_Odd|nonclustered located on PRIMARY|a<#>c, x<@>A<#>y(-)"}));
    EXPECT_EQ(query("SELECT * FROM Odd"), QStringList({"1|2|3|4|5|6|NULL"}));
}

// A unique constraint never ignores duplicates: not when a unique index that did is made a
// constraint, nor when a new one follows an index that does. A new index starts with the
// option off, and a constraint made not unique becomes a plain index.
TEST_F(SaveIndexes, ConstraintsRefuseDuplicatesWhateverTheIndexShownBefore) {
    run("CREATE TABLE Codes (Id int NOT NULL, Code varchar(10) NULL, Ref int NULL, "
        "Alt int NULL, CONSTRAINT UQ_Alt UNIQUE (Alt))\n"
        "CREATE UNIQUE INDEX IX_Code ON Codes (Code) WITH IGNORE_DUP_KEY\n"
        "INSERT INTO Codes VALUES (1, 'a', 1, 1)");
    frmDispStruct* f = open("Codes");
    ASSERT_TRUE(f);
    editIndexes(f, [](Editor* d) {
        choose(d->cboIndex, "IX_Code");
        EXPECT_TRUE(d->optIndex->isChecked());
        EXPECT_TRUE(d->chkIgnoreDupKeys->isChecked());
        d->mnuNew->trigger();
        EXPECT_EQ(d->cboIndex->currentText(), "IX_Codes_4");
        EXPECT_FALSE(d->chkIgnoreDupKeys->isChecked());
        check(d, "Ref", true);
        click(d->chkUnique);
        EXPECT_TRUE(d->optIndex->isChecked());
        EXPECT_FALSE(d->chkIgnoreDupKeys->isChecked());
        click(d->optConstraint);
        EXPECT_FALSE(d->chkIgnoreDupKeys->isChecked());
        EXPECT_FALSE(d->chkIgnoreDupKeys->isEnabled());

        choose(d->cboIndex, "IX_Code");
        EXPECT_TRUE(d->chkIgnoreDupKeys->isChecked());
        click(d->optConstraint);
        EXPECT_FALSE(d->chkIgnoreDupKeys->isChecked()) << "a constraint shows no such option";
        EXPECT_FALSE(d->chkIgnoreDupKeys->isEnabled());
        click(d->optIndex);
        EXPECT_TRUE(d->chkIgnoreDupKeys->isChecked()) << "the index's own option comes back";
        click(d->optConstraint);

        choose(d->cboIndex, "UQ_Alt");
        EXPECT_TRUE(d->optConstraint->isChecked());
        click(d->chkUnique);
        click(d->cmdOk);
    });
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(indexes("Codes"),
              QStringList({"IX_Code|nonclustered, unique, unique key located on PRIMARY|Code",
                           "IX_Codes_4|nonclustered, unique, unique key located on PRIMARY|Ref",
                           "UQ_Alt|nonclustered located on PRIMARY|Alt"}));
    EXPECT_EQ(error("INSERT INTO Codes VALUES (2, 'a', 2, 1)"), 2627);
    EXPECT_EQ(error("INSERT INTO Codes VALUES (3, 'c', 1, 1)"), 2627);
    EXPECT_EQ(query("SELECT Id FROM Codes"), QStringList({"1"}));
}

// A filegroup whose name holds the words of an index's description ("unique key",
// "nonclustered", "ignore duplicate keys"): the editor shows each index's own kind, and a
// rebuild keeps it.
TEST_F(SaveIndexes, FilegroupNamesHoldingDescriptionWordsKeepEachIndexsKind) {
    run("ALTER DATABASE Shop ADD FILEGROUP [nonclustered, ignore duplicate keys, unique key]\n"
        "CREATE TABLE Parts (Id int NOT NULL, Code varchar(10) NULL, Ref int NULL)\n"
        "CREATE CLUSTERED INDEX IX_Ref ON Parts (Ref) "
        "ON [nonclustered, ignore duplicate keys, unique key]\n"
        "INSERT INTO Parts VALUES (1, 'a', 7)\nINSERT INTO Parts VALUES (2, 'a', 7)");
    const QStringList before = indexes("Parts");
    frmDispStruct* f = open("Parts");
    ASSERT_TRUE(f);
    editIndexes(f, [](Editor* d) {
        choose(d->cboIndex, "IX_Ref");
        EXPECT_TRUE(d->chkClustered->isChecked());
        EXPECT_FALSE(d->chkUnique->isChecked());
        EXPECT_FALSE(d->chkIgnoreDupKeys->isChecked());
        click(d->cmdOk);
    });
    addTyped(f, "Novo", "int");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(indexes("Parts"), before);
    EXPECT_EQ(before, QStringList({"IX_Ref|clustered located on nonclustered, ignore duplicate "
                                   "keys, unique key|Ref"}));
    EXPECT_EQ(query("SELECT Id FROM Parts ORDER BY Id"), QStringList({"1", "2"}));
}

// The primary key made again by a rebuild or by a change to one of its columns keeps its key
// order, directions and fill factor.
TEST_F(SaveIndexes, PrimaryKeyMadeAgainKeepsItsDirectionsAndFillFactor) {
    const QString table =
        "CREATE TABLE Lines (Id int NOT NULL, Ln smallint NOT NULL, Qty int NULL, "
        "CONSTRAINT PK_Lines PRIMARY KEY NONCLUSTERED (Ln DESC, Id) WITH FILLFACTOR = 70)\n"
        "INSERT INTO Lines VALUES (1, 2, 3)";
    run(table);
    const QStringList before = indexes("Lines") + fillFactors("Lines");
    ASSERT_EQ(before, QStringList({"PK_Lines|nonclustered, unique, primary key located on "
                                   "PRIMARY|Ln(-), Id",
                                   "Lines|0", "PK_Lines|70"}));
    for (const bool rebuild : {true, false}) {
        SCOPED_TRACE(rebuild ? "rebuild" : "in place");
        frmDispStruct* f = open("Lines");
        ASSERT_TRUE(f);
        if (rebuild)
            addTyped(f, "Novo", "int");
        else
            retype(f, "Ln", "int");
        msgs.clear();
        save(f);
        EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
        EXPECT_FALSE(frmDispStruct::Loaded());
        const QStringList after = indexes("Lines") + fillFactors("Lines");
        EXPECT_EQ(after, before) << after.join(" / ").toStdString();
        run("DROP TABLE Lines\n" + table);
    }
}

// A primary key over a column whose name is written in brackets keeps its key order when it is
// made again.
TEST_F(SaveIndexes, PrimaryKeyOverABracketedNameKeepsItsKeyOrder) {
    run("CREATE TABLE Marks (Id int NOT NULL, [[a]]] int NOT NULL, Qty int NULL, "
        "CONSTRAINT PK_Marks PRIMARY KEY ([[a]]], Id))\n"
        "INSERT INTO Marks VALUES (1, 2, 3)");
    const QStringList before = indexes("Marks");
    ASSERT_EQ(before, QStringList({"PK_Marks|clustered, unique, primary key located on "
                                   "PRIMARY|[a], Id"}));
    frmDispStruct* f = open("Marks");
    ASSERT_TRUE(f);
    addTyped(f, "Novo", "int");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    const QStringList after = indexes("Marks");
    EXPECT_EQ(after, before) << after.join(" / ").toStdString();
}

// Two indexes over the same columns, one of them on a computed column and descending, and a
// unique constraint with its fill factor: a rebuild keeps each as it was.
TEST_F(SaveIndexes, IndexesOnTheSameAndOnComputedColumnsSurviveARebuild) {
    run("CREATE TABLE Calc (Id int NOT NULL, Qty int NULL, Twice AS Qty * 2, "
        "CONSTRAINT UQ_Calc UNIQUE NONCLUSTERED (Qty DESC) WITH FILLFACTOR = 60)\n"
        "CREATE INDEX IX_A ON Calc (Qty, Id)\nCREATE INDEX IX_B ON Calc (Qty, Id)\n"
        "CREATE INDEX IX_Twice ON Calc (Twice DESC)\n"
        "INSERT INTO Calc (Id, Qty) VALUES (1, 2)");
    const QStringList before = indexes("Calc") + fillFactors("Calc");
    frmDispStruct* f = open("Calc");
    ASSERT_TRUE(f);
    addTyped(f, "Novo", "int");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    const QStringList after = indexes("Calc") + fillFactors("Calc");
    EXPECT_EQ(after, before) << after.join(" / ").toStdString();
    EXPECT_EQ(query("SELECT * FROM Calc"), QStringList({"1|2|4|NULL"}));
}
