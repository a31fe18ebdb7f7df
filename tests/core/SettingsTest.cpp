#include "core/Settings.h"
#include "core/ScopedSettingsFile.h"

#include "common/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetSettingsFile(dir.path() + "/Varnolt.ini"); }
    void TearDown() override { SetSettingsFile({}); }
    TempDir dir;
};

TEST_F(SettingsTest, TextValuesAreWrittenReadAndDeleted) {
    EXPECT_EQ(RegGetString("Spl"), "");
    EXPECT_EQ(RegGetString("Spl", "2500"), "2500");
    RegSetString(RegNames::Spl, "3120");
    EXPECT_EQ(RegGetString("Spl"), "3120");
    EXPECT_TRUE(QFile::exists(dir.path() + "/Varnolt.ini"));
    RegDelValue("Spl");
    EXPECT_FALSE(RegValueExists("Spl"));
    RegDelValue("Spl"); // nothing to delete: no error
}

TEST_F(SettingsTest, TheFileIsReadableByTheUserAloneWhateverTheUmask) {
    const QByteArray file = QFile::encodeName(dir.path() + "/Varnolt.ini");
    auto mode = [&] {
        struct stat st{};
        return ::stat(file.constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    };
    const mode_t old = ::umask(0);
    RegSetString("(LOCAL)", "<@>(LOCAL);0;sa;secret;");
    EXPECT_EQ(mode(), 0600);
    RegSetString("Spl", "3120"); // rewritten through a new file
    EXPECT_EQ(mode(), 0600);
    // a file left readable by an older version is closed up on the next use
    ::chmod(file.constData(), 0644);
    EXPECT_EQ(RegGetString("Spl"), "3120");
    EXPECT_EQ(mode(), 0600);
    ::umask(old);
}

TEST_F(SettingsTest, NamesCompareWithoutRegardToCase) {
    RegSetString("ConfirmaSaida", "1");
    EXPECT_EQ(RegGetString("confirmasaida"), "1");
    RegSetString("CONFIRMASAIDA", "0");
    EXPECT_EQ(RegValueNames(), QStringList{"ConfirmaSaida"});
    EXPECT_EQ(RegGetString("ConfirmaSaida"), "0");
    RegDelValue("confirmaSAIDA");
    EXPECT_TRUE(RegValueNames().isEmpty());
}

TEST_F(SettingsTest, ServerNamesWithSlashesStayOneValue) {
    RegSetString("MAQUINA\\INST", "AB12");
    RegSetString("a/b", "x");
    RegSetString("100%", "y");
    RegSetString("(LOCAL)", "CD34");
    QStringList names = RegValueNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"(LOCAL)", "100%", "MAQUINA\\INST", "a/b"}));
    EXPECT_EQ(RegGetString("maquina\\inst"), "AB12");
    EXPECT_EQ(RegGetString("MAQUINA/INST"), "");
    EXPECT_EQ(RegGetString("a/b"), "x");
    EXPECT_EQ(RegGetString("100%"), "y");
}

TEST_F(SettingsTest, ValuesKeepTheirTextExactly) {
    const QString text = QString::fromUtf8("@Não; = \"x\" , 'y'\\ ");
    RegSetString("Texto", text);
    EXPECT_EQ(RegGetString("Texto"), text);
}

TEST(ScopedSettingsFile, RedirectsAndRestores) {
    const QString before = SettingsFile();
    {
        ScopedSettingsFile temp;
        EXPECT_NE(SettingsFile(), before);
        RegSetString("Spl", "10");
        EXPECT_EQ(RegGetString("Spl"), "10");
        {
            ScopedSettingsFile other;
            EXPECT_EQ(RegGetString("Spl"), "");
        }
        EXPECT_EQ(RegGetString("Spl"), "10");
    }
    EXPECT_EQ(SettingsFile(), before);
}

TEST_F(SettingsTest, NumRegistosReadsZeroUnlessAPositiveNumber) {
    EXPECT_EQ(LoadNumRegistos(), 0);
    RegSetString("NumRegistos", "500");
    EXPECT_EQ(LoadNumRegistos(), 500);
    EXPECT_EQ(gNumRegistos, 500);
    RegSetString("NumRegistos", " 20 ");
    EXPECT_EQ(LoadNumRegistos(), 20);
    RegSetString("NumRegistos", "abc");
    EXPECT_EQ(LoadNumRegistos(), 0);
    RegSetString("NumRegistos", "-5");
    EXPECT_EQ(LoadNumRegistos(), 0);
    RegSetString("NumRegistos", "99999999999");
    EXPECT_EQ(LoadNumRegistos(), 0);
}
