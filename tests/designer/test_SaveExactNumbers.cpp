// Identity seeds and increments beyond a double's 53 bits, loaded, typed and saved through the
// designer: what the editor shows and what the server holds afterwards, to the last digit.
#include "test_Save_Fixture.h"

#include "core/ScriptedMsgBox.h"

#include <QToolButton>

namespace {

class SaveExactNumbers : public SaveFixture {
protected:
    QString value(frmDispStruct* f, const char* field) {
        return f->mStructure->GetColumnValue(field, 1).toString();
    }
    QString ident() { return query("SELECT IDENT_SEED('Big'), IDENT_INCR('Big')").value(0); }
};

} // namespace

// Loaded values are shown whole and a rebuild (the column moved) keeps them, the rows and the
// counter.
TEST_F(SaveExactNumbers, LoadedIdentityValuesSurviveARebuild) {
    run("CREATE TABLE Big (Id bigint IDENTITY(9007199254740993, 2305843009213693951) NOT NULL, "
        "V varchar(5) NULL)\nINSERT INTO Big (V) VALUES ('a')\nINSERT INTO Big (V) VALUES ('b')");
    frmDispStruct* f = open("Big");
    ASSERT_TRUE(f);
    pick(f, "V");
    pick(f, "Id");
    EXPECT_EQ(f->txtSeed->text().toStdString(), "9007199254740993");
    EXPECT_EQ(f->txtIncrement->text().toStdString(), "2305843009213693951");
    apply(f);
    EXPECT_EQ(value(f, "UpdatedSeed").toStdString(), "9007199254740993");
    EXPECT_EQ(value(f, "OriginalSeed").toStdString(), "9007199254740993");
    QTest::mouseClick(f->cmdDown, Qt::LeftButton);
    ScriptedMsgBox msgs;
    save(f);
    EXPECT_EQ(msgs.count(), 0) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(ident().toStdString(), "9007199254740993|2305843009213693951");
    run("INSERT INTO Big (V) VALUES ('c')");
    EXPECT_EQ(query("SELECT V, Id FROM Big ORDER BY Id").join(' ').toStdString(),
              "a|9007199254740993 b|2314850208468434944 c|4620693217682128895");
}

// A typed seed beyond bigint is refused, never written as another number; one a double cannot
// tell from the loaded seed is a change, saved as typed.
TEST_F(SaveExactNumbers, TypedSeedIsSavedAsTypedOrRefused) {
    run("CREATE TABLE Big (Id decimal(38,0) IDENTITY(9007199254740993, 1) NOT NULL, "
        "V varchar(5) NULL)\nINSERT INTO Big (V) VALUES ('a')");
    frmDispStruct* f = open("Big");
    ASSERT_TRUE(f);
    pick(f, "Id");
    type(f->txtSeed, "12345678901234567890123");
    ScriptedMsgBox msgs;
    apply(f);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.last().text.toStdString(),
              "O Valor introduzido está fora dos limites aceitáveis!");
    EXPECT_EQ(QApplication::focusWidget(), f->txtSeed);
    EXPECT_EQ(value(f, "UpdatedSeed").toStdString(), "9007199254740993");
    type(f->txtSeed, "9007199254740992");
    type(f->txtIncrement, "9223372036854775808");
    apply(f);
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.last().text.toStdString(),
              "O Valor introduzido está fora dos limites aceitáveis!");
    EXPECT_EQ(QApplication::focusWidget(), f->txtIncrement);
    type(f->txtIncrement, "1");
    apply(f);
    save(f);
    EXPECT_EQ(msgs.count(), 2) << msgs.last().text.toStdString();
    EXPECT_FALSE(frmDispStruct::Loaded());
    EXPECT_EQ(ident().toStdString(), "9007199254740992|1");
    EXPECT_EQ(query("SELECT Id, V FROM Big").join(' ').toStdString(), "9007199254740993|a");
}
