// Saves driven through the column editor that must never lose a column, a row or the user's
// design: odd names, a table changed by someone else, long values cut short, refused saves.
#include "test_Save_Fixture.h"

#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"
#include "designer/clsIndexesCOL.h"

#include <functional>
#include <ostream>

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class SaveKeepsData : public SaveFixture {
protected:
    QStringList columns(const QString& table) {
        return query("SELECT c.name, t.name, c.length, c.isnullable FROM syscolumns c "
                     "INNER JOIN systypes t ON t.xusertype = c.xusertype WHERE c.id = "
                     "OBJECT_ID(N'" +
                     QString(table).replace("'", "''") + "') ORDER BY c.colid");
    }
    QStringList indexes(const QString& table) {
        return query("EXEC sp_helpindex N'" + QString(table).replace("'", "''") + "'");
    }
    QStringList defaults(const QString& table) {
        return query("SELECT name, default_name, default_text FROM syscolumns WHERE id = "
                     "OBJECT_ID(N'" +
                     QString(table).replace("'", "''") +
                     "') AND default_text IS NOT NULL ORDER BY colid");
    }
    QString objectId(const QString& table) {
        return query("SELECT OBJECT_ID(N'" + QString(table).replace("'", "''") + "')").value(0);
    }
    QStringList snapshot(const QString& table, const QString& order = "1") {
        return columns(table) + indexes(table) + defaults(table) +
               query("SELECT * FROM " + table + " ORDER BY " + order) +
               QStringList{objectId(table)};
    }
    QString trancount(frmDispStruct* f) {
        return f->mDatabase->ExecuteWithResults("SELECT @@TRANCOUNT")->GetColumnString(1, 1);
    }
};

} // namespace

// Column and index names holding "[", "]", "]]", blanks, apostrophes and accented letters at
// their start, middle and end, saved in place and then through a rebuild.
TEST_F(SaveKeepsData, OddNamesKeepTheirColumnsInPlaceAndThroughARebuild) {
    run("CREATE TABLE K (Id int NOT NULL, [Total]]] int, [[x] varchar(5))\n"
        "INSERT INTO K VALUES (1, 7, 'seven')");
    frmDispStruct* f = open("K");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->mStructure->GetColumnValue("Name", 2).toString(), "Total]");
    EXPECT_EQ(f->mStructure->GetColumnValue("Name", 3).toString(), "[x");
    retype(f, "Id", "bigint");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("K"), QStringList({"Id|bigint|8|0", "Total]|int|4|1", "[x|varchar|5|1"}));
    EXPECT_EQ(query("SELECT * FROM K"), QStringList({"1|7|seven"}));

    const QString table = "dbo.[[Ta]]b' ção]]]";
    run("CREATE TABLE " + table +
        " ([Nº] int NOT NULL, []]a] int NULL, [a[b] varchar(9) NULL, [O'Neil ação] "
        "varchar(9) NULL, [é]]]]] int NULL CONSTRAINT [DF ']]d[] DEFAULT 3, [b c[] int NULL, "
        "[[y]]] int NULL, CONSTRAINT [[PK'] PRIMARY KEY ([Nº]), "
        "CONSTRAINT [UQ]]] UNIQUE ([é]]]]]))\n"
        "CREATE INDEX [[y]]] ON " +
        table + " ([[y]]] DESC)\nCREATE INDEX [IX ]]x[' ç] ON " + table +
        " ([O'Neil ação] DESC, []]a], [b c[])\n"
        "INSERT INTO " +
        table + " VALUES (1, 2, 'ab', 'it''s', 4, 5, 6)\nINSERT INTO " + table +
        " ([Nº]) VALUES (2)");
    const QStringList before = snapshot(table);
    ASSERT_EQ(before.value(before.size() - 3), "1|2|ab|it's|4|5|6");
    f = open("[Ta]b' ção]");
    ASSERT_TRUE(f);
    for (const char* name : {"Nº", "]a", "a[b", "[O'Neil ação]", "é]]", "[b c[]", "[[y]]]"})
        EXPECT_GT(item(f, QString::fromUtf8(name)), 0) << name;
    ASSERT_TRUE(f->mIndexes->FindIDX("IX ]x[' ç"));
    EXPECT_EQ(f->mIndexes->FindIDX("IX ]x[' ç")->Old_IndexColumns(),
              "O'Neil ação<@>D<#>]a<@>A<#>b c[<@>A<#>");
    EXPECT_EQ(f->mIndexes->FindIDX("[y]")->Old_IndexColumns(), "[y]<@>D<#>");
    // In place: a longer column and a retyped one, over every other odd name.
    retype(f, "a[b", "varchar", 20);
    retype(f, "é]]", "bigint");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    QStringList expected = before;
    expected[2] = "a[b|varchar|20|1";
    expected[4] = "é]]|bigint|8|1";
    EXPECT_EQ(snapshot(table), expected);

    // Through a rebuild: a column renamed to an odd name and a new one.
    f = open("[Ta]b' ção]");
    ASSERT_TRUE(f);
    rename(f, "]a", "[z] w");
    addTyped(f, "n]ewç", "int");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_NE(objectId(table), before.last());
    EXPECT_EQ(columns(table), QStringList({"Nº|int|4|0", "[z] w|int|4|1", "a[b|varchar|20|1",
                                           "O'Neil ação|varchar|9|1", "é]]|bigint|8|1",
                                           "b c[|int|4|1", "[y]|int|4|1", "n]ewç|int|4|1"}));
    EXPECT_EQ(query("SELECT * FROM " + table + " ORDER BY 1"),
              QStringList({"1|2|ab|it's|4|5|6|NULL", "2|NULL|NULL|NULL|3|NULL|NULL|NULL"}));
    QStringList renamed = before.mid(7, 4);
    renamed.replaceInStrings("O'Neil ação(-), ]a, b c[", "O'Neil ação(-), [z] w, b c[");
    EXPECT_EQ(indexes(table), renamed);
    EXPECT_EQ(defaults(table), QStringList({"é]]|DF ']d[|(3)"}));
}

// Someone else changed the table while it was open: the save changes nothing.
TEST_F(SaveKeepsData, TableChangedElsewhereIsNotSaved) {
    run("CREATE TABLE Notes (Id int NOT NULL, Note varchar(10) NULL)\n"
        "INSERT INTO Notes VALUES (1, 'a')");
    frmDispStruct* f = open("Notes");
    ASSERT_TRUE(f);
    auto other = connect();
    other->Databases()->Item("Shop")->ExecuteImmediate(
        "ALTER TABLE Notes ADD Extra int NULL\nUPDATE Notes SET Extra = 42");
    const QStringList before = snapshot("Notes");
    retype(f, "Note", "varchar", 30);
    addTyped(f, "Mine", "int");
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text,
              "A Tabela Foi Alterada Desde Que Foi Aberta! Feche-a e Abra-a de Novo.");
    EXPECT_EQ(msgs.last().style, 48);
    EXPECT_EQ(msgs.last().title, AppTitle());
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(trancount(f), "0");
    EXPECT_EQ(snapshot("Notes"), before);
    EXPECT_EQ(query("SELECT Extra FROM Notes"), QStringList({"42"}));
    EXPECT_EQ(f->mStructure->Count(), 3) << "the design stays";

    // A type, a length or the nulls changed elsewhere count as well; opened again, it saves.
    for (const char* change : {"ALTER TABLE Notes ALTER COLUMN Id bigint NOT NULL",
                               "ALTER TABLE Notes ALTER COLUMN Note varchar(12) NULL",
                               "ALTER TABLE Notes ALTER COLUMN Note varchar(12) NOT NULL"}) {
        f = open("Notes");
        ASSERT_TRUE(f);
        other->Databases()->Item("Shop")->ExecuteImmediate(change);
        retype(f, "Note", "varchar", 30);
        msgs.clear();
        save(f);
        ASSERT_EQ(msgs.count(), 1) << change;
        EXPECT_TRUE(frmDispStruct::Loaded()) << change;
    }
    f = open("Notes");
    ASSERT_TRUE(f);
    retype(f, "Note", "varchar", 30);
    msgs.clear();
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Notes"),
              QStringList({"Id|bigint|8|0", "Note|varchar|30|0", "Extra|int|4|1"}));
    EXPECT_EQ(query("SELECT * FROM Notes"), QStringList({"1|a|42"}));
}

// An index, a unique constraint, a default or a primary key added, changed or dropped by
// someone else while the table was open: the save, in place or through a rebuild, would undo
// it, so nothing is saved.
TEST_F(SaveKeepsData, IndexesKeysAndDefaultsChangedElsewhereAreNotSaved) {
    run("CREATE TABLE Notes (Id int NOT NULL, Note varchar(10) NULL, Ref int NULL)\n"
        "CREATE INDEX IX_Ref ON Notes (Ref)\n"
        "INSERT INTO Notes VALUES (1, 'a', 7)");
    auto other = connect();
    ScriptedMsgBox msgs;
    const struct {
        const char* change;
        bool rebuild;
    } changes[] = {
        {"CREATE UNIQUE INDEX UX_Note ON Notes (Note)", true},
        {"ALTER TABLE Notes ADD CONSTRAINT UQ_Ref UNIQUE (Ref)", true},
        {"ALTER TABLE Notes ADD CONSTRAINT DF_Note DEFAULT ('x') FOR Note", true},
        {"ALTER TABLE Notes ADD CONSTRAINT PK_Notes PRIMARY KEY (Id)", false},
        {"DROP INDEX Notes.IX_Ref", true},
        {"DROP INDEX Notes.IX_Ref\nCREATE INDEX IX_Ref ON Notes (Ref) WITH FILLFACTOR = 70", true},
        {"DROP INDEX Notes.IX_Ref\nCREATE INDEX IX_Ref ON Notes (Ref DESC)", true},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.change);
        frmDispStruct* f = open("Notes");
        ASSERT_TRUE(f);
        other->Databases()->Item("Shop")->ExecuteImmediate(c.change);
        const QStringList before = snapshot("Notes");
        retype(f, "Note", "varchar", 30);
        if (c.rebuild)
            addTyped(f, "Mine", "int");
        msgs.clear();
        save(f);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text,
                  "A Tabela Foi Alterada Desde Que Foi Aberta! Feche-a e Abra-a de Novo.");
        ASSERT_TRUE(frmDispStruct::Loaded());
        EXPECT_EQ(trancount(f), "0");
        EXPECT_EQ(snapshot("Notes"), before);
        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The table back as it was for the next change.
        run("DROP TABLE Notes\n"
            "CREATE TABLE Notes (Id int NOT NULL, Note varchar(10) NULL, Ref int NULL)\n"
            "CREATE INDEX IX_Ref ON Notes (Ref)\n"
            "INSERT INTO Notes VALUES (1, 'a', 7)");
    }
    // Opened after the change, the design holds it and the save keeps it.
    run("ALTER TABLE Notes ADD CONSTRAINT PK_Notes PRIMARY KEY (Id)\n"
        "ALTER TABLE Notes ADD CONSTRAINT DF_Note DEFAULT ('x') FOR Note");
    frmDispStruct* f = open("Notes");
    ASSERT_TRUE(f);
    retype(f, "Note", "varchar", 30);
    addTyped(f, "Mine", "int");
    msgs.clear();
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(indexes("Notes"),
              QStringList({"IX_Ref|nonclustered located on PRIMARY|Ref",
                           "PK_Notes|clustered, unique, primary key located on PRIMARY|Id"}));
    EXPECT_EQ(defaults("Notes").value(0), "Note|DF_Note|('x')");
}

// Large-object values longer than the new length: the warning and question come first.
TEST_F(SaveKeepsData, LargeObjectsShortenedAreWarnedAbout) {
    run("CREATE TABLE Docs (Id int NOT NULL, T text NULL, N ntext NULL, I image NULL, "
        "S text NULL)\n"
        "INSERT INTO Docs VALUES (1, REPLICATE('t', 500), REPLICATE(N'ç', 60), "
        "CONVERT(image, REPLICATE('i', 80)), 'short')");
    const QStringList before = snapshot("Docs");
    frmDispStruct* f = open("Docs");
    ASSERT_TRUE(f);
    retype(f, "T", "varchar", 100);
    retype(f, "N", "nvarchar", 50);
    retype(f, "I", "varbinary", 50);
    retype(f, "S", "varchar", 5); // holds nothing longer
    {
        ScriptedMsgBox msgs;
        ScriptedListDialog list;
        list.choose("Sim").choose("Não");
        save(f);
        ASSERT_EQ(msgs.count(), 2);
        EXPECT_EQ(msgs.calls().at(0).text,
                  "A Alteração à Coluna 'T' Poderá Resultar em Perda de Informação!");
        EXPECT_EQ(msgs.calls().at(1).text,
                  "A Alteração à Coluna 'N' Poderá Resultar em Perda de Informação!");
        EXPECT_EQ(msgs.last().style, 48);
        EXPECT_EQ(list.count(), 2);
        EXPECT_EQ(list.last().caption, "Pretende Continuar?");
        ASSERT_TRUE(frmDispStruct::Loaded());
        EXPECT_EQ(snapshot("Docs"), before);
    }
    ScriptedMsgBox msgs;
    ScriptedListDialog list;
    list.choose("Sim").choose("Sim").choose("Sim");
    save(f);
    EXPECT_EQ(msgs.count(), 3);
    EXPECT_EQ(msgs.last().text, "A Alteração à Coluna 'I' Poderá Resultar em Perda de Informação!");
    EXPECT_FALSE(frmDispStruct::Loaded());
    QStringList cols = columns("Docs");
    EXPECT_TRUE(cols.value(2).startsWith("N|nvarchar|")) << cols.value(2).toStdString();
    cols.removeAt(2);
    EXPECT_EQ(cols,
              QStringList({"Id|int|4|0", "T|varchar|100|1", "I|varbinary|50|1", "S|varchar|5|1"}));
    EXPECT_EQ(query("SELECT Id, LEN(T), LEN(N), DATALENGTH(I), S FROM Docs"),
              QStringList({"1|100|50|50|short"}));
}

// A save the server refuses leaves the table as it was and the design in the window; once
// mended, it saves.
TEST_F(SaveKeepsData, RefusedSaveKeepsTheDesignForASecondSave) {
    run("CREATE TABLE Lines (Qty int NULL, Price money NULL, Total AS (Qty * Price), "
        "A int NULL, B varchar(5) NULL)\n"
        "INSERT INTO Lines (Qty, Price, A, B) VALUES (2, 3, 1, 'b')\n"
        "INSERT INTO Lines (Qty, Price, A, B) VALUES (2, 4, 1, 'c')");
    const QStringList before = snapshot("Lines");
    frmDispStruct* f = open("Lines");
    ASSERT_TRUE(f);
    rename(f, "Qty", "Quantity"); // the computed column uses it: 5074
    ScriptedMsgBox msgs;
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_TRUE(msgs.last().text.startsWith("5074 - ")) << msgs.last().text.toStdString();
    EXPECT_EQ(msgs.last().style, 16);
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(trancount(f), "0");
    EXPECT_EQ(snapshot("Lines"), before);
    EXPECT_EQ(item(f, "Quantity"), 1) << "the design stays";
    EXPECT_EQ(f->mStructure->GetColumnValue("OriginalName", 1).toString(), "Qty");

    // Mended: the old name back; with a swap of two names and a unique index that the rows
    // refuse (the save runs further before it stops).
    rename(f, "Quantity", "Qty");
    rename(f, "A", "B2");
    rename(f, "B", "A");
    rename(f, "B2", "B");
    f->mIndexes->Add(true, "UX_B", 0, "PRIMARY", 0, false, 0, false, false, 0, false, "B<@>A<#>",
                     false, false, false, true);
    msgs.clear();
    save(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_TRUE(msgs.last().text.startsWith("1505 - ")) << msgs.last().text.toStdString();
    ASSERT_TRUE(frmDispStruct::Loaded());
    EXPECT_EQ(snapshot("Lines"), before);
    EXPECT_EQ(f->mStructure->GetColumnValue("OriginalName", 4).toString(), "A");

    f->mIndexes->FindIDX("UX_B")->setAct_Unique(false);
    msgs.clear();
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Lines"), QStringList({"Qty|int|4|1", "Price|money|8|1", "Total|money|8|1",
                                             "B|int|4|1", "A|varchar|5|1"}));
    EXPECT_EQ(query("SELECT Qty, Total, B, A FROM Lines ORDER BY A"),
              QStringList({"2|6.0000|1|b", "2|8.0000|1|c"}));
    EXPECT_EQ(indexes("Lines"), QStringList({"UX_B|nonclustered located on PRIMARY|B"}));
}

// A rebuild goes on from the old table's identity counter, never from its largest value.
TEST_F(SaveKeepsData, RebuildContinuesTheIdentityCounter) {
    run("CREATE TABLE Seq (Id int IDENTITY(100,5) NOT NULL, V varchar(5) NULL)\n"
        "CREATE TABLE Unused (Id int IDENTITY(7,3) NOT NULL, V varchar(5) NULL)\n"
        "CREATE TABLE Emptied (Id bigint IDENTITY(-1,-2) NOT NULL, V varchar(5) NULL)\n"
        "INSERT INTO Seq (V) VALUES ('a')\nINSERT INTO Seq (V) VALUES ('b')\n"
        "INSERT INTO Seq (V) VALUES ('c')\nDELETE FROM Seq WHERE Id = 110\n"
        "INSERT INTO Emptied (V) VALUES ('a')\nINSERT INTO Emptied (V) VALUES ('b')\n"
        "DELETE FROM Emptied");
    ScriptedMsgBox msgs;
    for (const char* table : {"Seq", "Unused", "Emptied"}) {
        frmDispStruct* f = open(table);
        ASSERT_TRUE(f);
        addTyped(f, "W", "int"); // a rebuild
        save(f);
        EXPECT_EQ(msgs.count(), 0) << table << msgs.last().text.toStdString();
        EXPECT_FALSE(frmDispStruct::Loaded());
        run(QString("INSERT INTO %1 (V) VALUES ('new')").arg(table));
    }
    EXPECT_EQ(query("SELECT Id, V, W FROM Seq ORDER BY Id"),
              QStringList({"100|a|NULL", "105|b|NULL", "115|new|NULL"}));
    EXPECT_EQ(query("SELECT Id FROM Unused"), QStringList({"7"}));
    EXPECT_EQ(query("SELECT Id FROM Emptied"), QStringList({"-5"}));
    EXPECT_EQ(query("SELECT IDENT_SEED('Seq'), IDENT_INCR('Seq')"), QStringList({"100|5"}));
}

// Default constraints keep their names through an in-place retype and through a rebuild; a
// design that copies no column keeps one row per old row.
TEST_F(SaveKeepsData, DefaultNamesAndRowsWithNothingToCopy) {
    run("CREATE TABLE Cfg (K int NOT NULL CONSTRAINT [DF K'1] DEFAULT 1, N int NULL "
        "CONSTRAINT DF_N DEFAULT (2), T varchar(5) NULL CONSTRAINT DF_T DEFAULT 'x')\n"
        "INSERT INTO Cfg (K, N, T) VALUES (5, 6, 'y')");
    frmDispStruct* f = open("Cfg");
    ASSERT_TRUE(f);
    retype(f, "N", "bigint");
    retype(f, "T", "varchar", 9);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    const QStringList named{"K|DF K'1|(1)", "N|DF_N|(2)", "T|DF_T|('x')"};
    EXPECT_EQ(defaults("Cfg"), named);

    f = open("Cfg");
    ASSERT_TRUE(f);
    rename(f, "N", "Num");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(defaults("Cfg"), QStringList({"K|DF K'1|(1)", "Num|DF_N|(2)", "T|DF_T|('x')"}));
    run("INSERT INTO Cfg DEFAULT VALUES");
    EXPECT_EQ(query("SELECT * FROM Cfg ORDER BY K"), QStringList({"1|2|x", "5|6|y"}));

    // Every column replaced by ones the server fills.
    run("CREATE TABLE Many (A int NULL)\nINSERT INTO Many VALUES (1)\n"
        "INSERT INTO Many SELECT A FROM Many\nINSERT INTO Many SELECT A FROM Many\n"
        "INSERT INTO Many SELECT A FROM Many");
    f = open("Many");
    ASSERT_TRUE(f);
    pick(f, "A");
    ScriptedListDialog list;
    list.choose("Sim");
    QTest::mouseClick(f->cmdEliminar, Qt::LeftButton);
    ASSERT_EQ(f->mStructure->Count(), 0);
    addTyped(f, "Id", "int");
    pick(f, "Id");
    QTest::mouseClick(f->chkAllowNulls, Qt::LeftButton, {},
                      QPoint(2, f->chkAllowNulls->height() / 2));
    QTest::mouseClick(f->chkIdentity, Qt::LeftButton, {}, QPoint(2, f->chkIdentity->height() / 2));
    type(f->txtSeed, "10");
    type(f->txtIncrement, "10");
    apply(f);
    addTyped(f, "Stamp", "timestamp");
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("Many"), QStringList({"Id|int|4|0", "Stamp|timestamp|8|0"}));
    EXPECT_EQ(query("SELECT Id FROM Many ORDER BY Id"),
              QStringList({"10", "20", "30", "40", "50", "60", "70", "80"}));
    EXPECT_EQ(query("SELECT COUNT(DISTINCT Stamp) FROM Many"), QStringList({"8"}));
}

// A batch of awkward designs on a table with rows: after each save every row and value is as
// the user expects, or the refused save left the table exactly as it was.
TEST_F(SaveKeepsData, AdversarialDesignsKeepEveryRowOrChangeNothing) {
    const QString create =
        " (Id int IDENTITY(1,1) NOT NULL, Code varchar(10) NOT NULL, Grp int NOT NULL, "
        "Qty int NULL, Note varchar(20) NULL, [Preço Ú] decimal(9,2) NULL, "
        "CONSTRAINT [PK_Adv ]]'] PRIMARY KEY (Id))\n";
    const QStringList rows{"1|A1|1|5|hello world|1.50", "2|B22|1|NULL|NULL|NULL",
                           "3|123|2|7|a much longer note|99.99"};
    auto fill = [&](const QString& table) {
        run("CREATE TABLE " + table + create + "INSERT INTO " + table +
            " (Code, Grp, Qty, Note, [Preço Ú]) VALUES ('A1', 1, 5, 'hello world', 1.5)\n"
            "INSERT INTO " +
            table + " (Code, Grp) VALUES ('B22', 1)\nINSERT INTO " + table +
            " (Code, Grp, Qty, Note, [Preço Ú]) VALUES ('123', 2, 7, 'a much longer note', "
            "99.99)");
    };
    const QStringList baseColumns{"Id|int|4|0",  "Code|varchar|10|0", "Grp|int|4|0",
                                  "Qty|int|4|1", "Note|varchar|20|1", "Preço Ú|decimal|5|1"};
    auto with = [&](QStringList list, int at, const QString& line) {
        list[at] = line;
        return list;
    };
    struct Design {
        const char* what;
        std::function<void(frmDispStruct*, ScriptedListDialog&)> edit;
        bool refused;
        QStringList columns; // saved: the table's columns and rows afterwards
        QStringList rows;
        QString message = {}; // refused: how the last message begins
    };
    const QList<Design> designs{
        {"a shrink accepted cuts the values",
         [&](frmDispStruct* f, ScriptedListDialog& l) {
             retype(f, "Note", "varchar", 5);
             l.choose("Sim");
         },
         false, with(baseColumns, 4, "Note|varchar|5|1"),
         QStringList({"1|A1|1|5|hello|1.50", "2|B22|1|NULL|NULL|NULL", "3|123|2|7|a muc|99.99"})},
        {"a shrink declined",
         [&](frmDispStruct* f, ScriptedListDialog& l) {
             retype(f, "Note", "varchar", 5);
             l.choose("Não");
         },
         true,
         {},
         {},
         "A Alteração à Coluna 'Note' Poderá Resultar em Perda de Informação!"},
        {"not null over nulls",
         [&](frmDispStruct* f, ScriptedListDialog&) {
             pick(f, "Qty");
             QTest::mouseClick(f->chkAllowNulls, Qt::LeftButton, {},
                               QPoint(2, f->chkAllowNulls->height() / 2));
             apply(f);
         },
         true,
         {},
         {},
         "Não Pode Indicar Colunas que aceitem valores nulos se a tabela contiver registos!"},
        {"two names swapped, one retyped",
         [&](frmDispStruct* f, ScriptedListDialog&) {
             rename(f, "Note", "T");
             pick(f, "Qty");
             type(f->txtColumnName, "Note");
             typeType(f, "varchar");
             type(f->txtLength, "10");
             apply(f);
             rename(f, "T", "Qty");
         },
         false, with(with(baseColumns, 3, "Note|varchar|10|1"), 4, "Qty|varchar|20|1"), rows},
        {"a rename with a type change",
         [&](frmDispStruct* f, ScriptedListDialog&) {
             pick(f, "Code");
             type(f->txtColumnName, "Code Nº");
             type(f->txtLength, "30");
             apply(f);
         },
         false, with(baseColumns, 1, "Code Nº|varchar|30|0"), rows},
        {"a conversion that fails, declined",
         [&](frmDispStruct* f, ScriptedListDialog& l) {
             retype(f, "Code", "int");
             l.choose("Não");
         },
         true,
         {},
         {},
         "A Alteração que Está a Tentar Fazer à Coluna Code Resultará"},
        {"the key moved to another column",
         [&](frmDispStruct* f, ScriptedListDialog&) {
             pick(f, "Code");
             QTest::mouseClick(f->cmdPK, Qt::LeftButton);
         },
         false, baseColumns, rows},
        {"the key moved over duplicate values",
         [&](frmDispStruct* f, ScriptedListDialog&) {
             pick(f, "Grp");
             QTest::mouseClick(f->cmdPK, Qt::LeftButton);
         },
         true,
         {},
         {},
         "1505 - "},
        {"odd names",
         [&](frmDispStruct* f, ScriptedListDialog&) {
             rename(f, "[Preço Ú]", "]Preço[ x");
             rename(f, "Grp", "[g]]");
         },
         false, with(with(baseColumns, 5, "]Preço[ x|decimal|5|1"), 2, "[g]]|int|4|0"), rows},
        {"a precision too small, declined",
         [&](frmDispStruct* f, ScriptedListDialog& l) {
             pick(f, "[Preço Ú]");
             type(f->txtPrecision, "3");
             apply(f);
             l.choose("Não");
         },
         true,
         {},
         {},
         "A Alteração que Está a Tentar Fazer à Coluna [Preço Ú] Resultará"},
    };
    const QString table = "dbo.[Adv ]]T']";
    for (const Design& d : designs) {
        SCOPED_TRACE(d.what);
        run("IF OBJECT_ID(N'dbo.[Adv ]]T'']') IS NOT NULL DROP TABLE " + table);
        fill(table);
        const QStringList before = snapshot(table);
        frmDispStruct* f = open("Adv ]T'");
        ASSERT_TRUE(f);
        ScriptedMsgBox msgs;
        ScriptedListDialog list;
        d.edit(f, list);
        save(f);
        if (d.refused) {
            EXPECT_TRUE(frmDispStruct::Loaded());
            ASSERT_GE(msgs.count(), 1);
            EXPECT_TRUE(msgs.last().text.startsWith(d.message)) << msgs.last().text.toStdString();
            EXPECT_EQ(trancount(f), "0");
            EXPECT_EQ(snapshot(table), before);
            continue;
        }
        EXPECT_FALSE(frmDispStruct::Loaded()) << msgs.last().text.toStdString();
        EXPECT_EQ(columns(table), d.columns);
        EXPECT_EQ(query("SELECT * FROM " + table + " ORDER BY 1"), d.rows);
    }
    // The key moved: it is on Code now, under its own name.
    run("IF OBJECT_ID(N'dbo.[Adv ]]T'']') IS NOT NULL DROP TABLE " + table);
    fill(table);
    frmDispStruct* f = open("Adv ]T'");
    ASSERT_TRUE(f);
    pick(f, "Code");
    QTest::mouseClick(f->cmdPK, Qt::LeftButton);
    save(f);
    EXPECT_EQ(indexes(table),
              QStringList({"PK_Adv ]'|clustered, unique, primary key located on PRIMARY|Code"}));

    // Another owner's table of the same name is the one changed.
    fill("sales.[Adv ]]T']");
    const QStringList dbo = snapshot(table);
    f = open("Adv ]T'", "sales");
    ASSERT_TRUE(f);
    retype(f, "Qty", "bigint");
    rename(f, "Note", "Remark");
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_EQ(columns("sales.[Adv ]]T']"),
              with(with(baseColumns, 3, "Qty|bigint|8|1"), 4, "Remark|varchar|20|1"));
    EXPECT_EQ(query("SELECT * FROM sales.[Adv ]]T'] ORDER BY 1"), rows);
    EXPECT_EQ(snapshot(table), dbo);
}

// A collation, an identity's seed or a computed column's text changed by someone else while
// the table was open: the save would write the loaded ones back, so nothing is saved.
TEST_F(SaveKeepsData, CollationIdentityAndComputedChangedElsewhereAreNotSaved) {
    const QString table = "CREATE TABLE Tags (Id int IDENTITY(1, 1) NOT NULL, "
                          "Tag varchar(10) COLLATE Latin1_General_CI_AS NULL, Two AS Id * 2)";
    run(table + "\nINSERT INTO Tags (Tag) VALUES ('a')");
    auto other = connect();
    ScriptedMsgBox msgs;
    const char* changes[] = {
        "ALTER TABLE Tags ALTER COLUMN Tag varchar(10) COLLATE Latin1_General_BIN NULL",
        "DROP TABLE Tags\nCREATE TABLE Tags (Id int IDENTITY(100, 5) NOT NULL, "
        "Tag varchar(10) COLLATE Latin1_General_CI_AS NULL, Two AS Id * 2)",
        "DROP TABLE Tags\nCREATE TABLE Tags (Id int IDENTITY(1, 1) NOT NULL, "
        "Tag varchar(10) COLLATE Latin1_General_CI_AS NULL, Two AS Id * 3)",
    };
    for (const char* change : changes) {
        SCOPED_TRACE(change);
        frmDispStruct* f = open("Tags");
        ASSERT_TRUE(f);
        other->Databases()->Item("Shop")->ExecuteImmediate(change);
        const QStringList before =
            snapshot("Tags") +
            query("SELECT name, collation, ident_seed, ident_incr, computed_text FROM "
                  "syscolumns WHERE id = OBJECT_ID('Tags') ORDER BY colid");
        retype(f, "Tag", "varchar", 30);
        addTyped(f, "Mine", "int");
        msgs.clear();
        save(f);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text,
                  "A Tabela Foi Alterada Desde Que Foi Aberta! Feche-a e Abra-a de Novo.");
        ASSERT_TRUE(frmDispStruct::Loaded());
        EXPECT_EQ(trancount(f), "0");
        EXPECT_EQ(snapshot("Tags") +
                      query("SELECT name, collation, ident_seed, ident_incr, computed_text FROM "
                            "syscolumns WHERE id = OBJECT_ID('Tags') ORDER BY "
                            "colid"),
                  before);
        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        run("DROP TABLE Tags\n" + table + "\nINSERT INTO Tags (Tag) VALUES ('a')");
    }
}

// Rows added and an identity reseeded elsewhere change no part of the design: the save goes on.
TEST_F(SaveKeepsData, RowsAndReseedElsewhereDoNotRefuseTheSave) {
    run("CREATE TABLE Seq (Id int IDENTITY(10, 2) NOT NULL, Tag varchar(10) NULL)\n"
        "INSERT INTO Seq (Tag) VALUES ('a')");
    frmDispStruct* f = open("Seq");
    ASSERT_TRUE(f);
    auto other = connect();
    other->Databases()->Item("Shop")->ExecuteImmediate(
        "INSERT INTO Seq (Tag) VALUES ('b')\nDBCC CHECKIDENT ('Seq', RESEED, 40)");
    retype(f, "Tag", "varchar", 30);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(columns("Seq"), QStringList({"Id|int|4|0", "Tag|varchar|30|1"}));
    run("INSERT INTO Seq (Tag) VALUES ('c')");
    EXPECT_EQ(query("SELECT Id, Tag FROM Seq ORDER BY Id"),
              QStringList({"10|a", "12|b", "42|c"}));
}
