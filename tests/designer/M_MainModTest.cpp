#include "designer/M_MainMod.h"

#include "core/FormHelpers.h"

#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <gtest/gtest.h>

using namespace M_MainMod;

namespace {

const QStringList kSystemTypes{"bigint", "int", "smalldatetime", "sysname", "varchar"};

} // namespace

TEST(ListaTipos, SystemTypesThenUserTypesEachEndedByCarriageReturn) {
    const QList<UserDatatype> users{{"phone", "varchar"}, {"intcode", "int"}};
    EXPECT_EQ(ListaTipos(kSystemTypes, users, true, true, true),
              "bigint\rint\rsmalldatetime\rvarchar\rphone (varchar)\rintcode (int)\r");
    EXPECT_EQ(ListaTipos(kSystemTypes, users, false, true, false),
              "bigint\rint\rsmalldatetime\rsysname\rvarchar\r");
    EXPECT_EQ(ListaTipos(kSystemTypes, users, true, false, true),
              "phone (varchar)\rintcode (int)\r");
    EXPECT_EQ(ListaTipos(kSystemTypes, users, true, false, false), "");
}

TEST(ListaTipos, ExclusionKeepsOutSysnameOnlyNotItsPieces) {
    const QList<UserDatatype> users{
        {"name", "varchar"}, {"SysName", "nvarchar"}, {"", "int"}, {"sys", "char"}};
    EXPECT_EQ(ListaTipos({"SYSNAME", "int"}, users, true, true, true),
              "int\rname (varchar)\rsys (char)\r");
}

TEST(FindInList, FindsATypesOwnEntryBeforeOneThatOnlyBeginsWithIt) {
    const QString list =
        ListaTipos(kSystemTypes, {{"intcode", "int"}, {"small", "varchar"}}, true, true, true);
    EXPECT_EQ(FindInList(list, "int"), "int");
    EXPECT_EQ(FindInList(list, "INT"), "int");
    EXPECT_EQ(FindInList(list, "IntCode"), "intcode (int)");
    // A user type named like the start of an earlier system type gets its own entry.
    EXPECT_EQ(FindInList(list, "small"), "small (varchar)");
    EXPECT_EQ(FindInList(list, "smalldatetime"), "smalldatetime");
    // Without an entry of that name the first entry beginning with it is taken.
    EXPECT_EQ(FindInList(list, "smalld"), "smalldatetime");
    EXPECT_EQ(FindInList(list, "var"), "varchar");
    EXPECT_EQ(FindInList(list, ""), "bigint");
    EXPECT_EQ(FindInList(list, "sysname"), "");
    EXPECT_EQ(FindInList(list, "money"), "");
    EXPECT_EQ(FindInList("", "int"), "");
    EXPECT_EQ(FindInList("", ""), "");
}

TEST(DesignerTexts, OnlyTheDesignerWindowGetsCaptionsAndMessages) {
    QWidget designer;
    SetHelpContextID(&designer, 10000);
    QWidget other;
    SetHelpContextID(&other, 100002);

    EXPECT_EQ(GridErrorMessage(&designer, 1), "A Sua selecção tem que se encontrar na lista!");
    EXPECT_EQ(GridErrorMessage(&designer, 2),
              "Um ou mais caracteres introduzidos não são válidos!");
    EXPECT_EQ(GridErrorMessage(&designer, 3),
              "O Valor introduzido está fora dos limites aceitáveis!");
    EXPECT_EQ(GridErrorMessage(&designer, 4),
              "A nova coluna não aceita valores nulos e não tem fórmula definida!");
    EXPECT_EQ(GridErrorMessage(&designer, 5), "");
    EXPECT_EQ(GridErrorMessage(&designer, 0), "");
    EXPECT_EQ(GridErrorMessage(&other, 1), "");
    EXPECT_EQ(GridErrorMessage(nullptr, 1), "");

    EXPECT_EQ(SetStructCaptions(&designer, 1), "Estrutura da Tabela");
    EXPECT_EQ(SetStructCaptions(&designer, 5), "Precisão");
    EXPECT_EQ(SetStructCaptions(&designer, 20), "Pá&g. Código");
    EXPECT_EQ(SetStructCaptions(&designer, 23) + "[srv]", "Nova Tabela no Servidor [srv]");
    EXPECT_EQ(SetStructCaptions(&designer, 24), "Estrutura da Tabela");
    EXPECT_EQ(SetStructCaptions(&designer, 25), "");
    EXPECT_EQ(SetStructCaptions(&other, 1), "");
}

TEST(IsAllDigits, OnlyDecimalDigits) {
    QLineEdit box;
    EXPECT_TRUE(IsAllDigits(&box));
    box.setText("0123456789");
    EXPECT_TRUE(IsAllDigits(&box));
    for (const char* text : {"12a", "-1", "1.5", " 1", "1,0", "+2"}) {
        box.setText(text);
        EXPECT_FALSE(IsAllDigits(&box)) << text;
    }
    // Digits of other scripts are not decimal digits 0 to 9.
    EXPECT_FALSE(IsAllDigits(QString::fromUtf8("١٢")));
}

TEST(SplitMarked, KeyColumnListsIntoNamesAndOrders) {
    EXPECT_EQ(SplitMarked("Id<@>A<#>Data<@>d<#>"),
              (QList<IndexKeyColumn>{{"Id", "A"}, {"Data", "D"}}));
    EXPECT_EQ(SplitMarked("[Order Date]<@>D<#>"), (QList<IndexKeyColumn>{{"[Order Date]", "D"}}));
    // Without the closing mark the last column is still read.
    EXPECT_EQ(SplitMarked("Id<@>A<#>Data<@>D"),
              (QList<IndexKeyColumn>{{"Id", "A"}, {"Data", "D"}}));
    // An empty text gives one element with both fields empty.
    EXPECT_EQ(SplitMarked(""), (QList<IndexKeyColumn>{{"", ""}}));
    // A piece too short for a name keeps only its order letter.
    EXPECT_EQ(SplitMarked("a<#>"), (QList<IndexKeyColumn>{{"", "A"}}));
    // Names holding the marks, or the escape itself, come back whole.
    const QList<IndexKeyColumn> odd{{"a<#>b", "A"}, {"x<@>D<#>", "D"}, {"<lt>", "A"}, {"<", "D"}};
    QString text;
    for (const IndexKeyColumn& k : odd)
        text += MarkedColumn(k.ColumnName, k.SortOrder);
    EXPECT_EQ(SplitMarked(text), odd);
    EXPECT_EQ(MarkedColumn("Id", "A"), "Id<@>A<#>");
}

TEST(StripBrackets, TakesOffOnlyAMatchedEscapedPair) {
    EXPECT_EQ(StripBrackets("[Order Date]"), "Order Date");
    EXPECT_EQ(StripBrackets("[a]]b]"), "a]b");
    EXPECT_EQ(StripBrackets("[Total]]]"), "Total]");
    EXPECT_EQ(StripBrackets("[[x]"), "[x");
    EXPECT_EQ(StripBrackets("[]"), "");
    // A lone bracket, or a pair around an unescaped "]", is part of the name.
    EXPECT_EQ(StripBrackets("[Id"), "[Id");
    EXPECT_EQ(StripBrackets("Id]"), "Id]");
    EXPECT_EQ(StripBrackets("Total]]"), "Total]]");
    EXPECT_EQ(StripBrackets("[a]b]"), "[a]b]");
    EXPECT_EQ(StripBrackets("[[x]]"), "[[x]]");
    EXPECT_EQ(StripBrackets("["), "[");
    EXPECT_EQ(StripBrackets("]"), "]");
    EXPECT_EQ(StripBrackets(""), "");
    EXPECT_EQ(StripBrackets("a[b]c"), "a[b]c");
}

TEST(StripBrackets, ListAndEditorFormsGiveTheNameBack) {
    const QStringList names{"Id",    "Order Date", "Total]", "[x",     "a]b",  "[x]",      "a] b",
                            " lead", "trail ",     "O'Neil", "Ação ç", "[ ]]", "]] [[ ]]", "[]"};
    for (const QString& name : names) {
        const QString listed = BracketName(name);
        EXPECT_EQ(StripBrackets(listed), name) << listed.toStdString();
        // What the editor shows and writes back reads as the same name.
        EXPECT_EQ(StripBrackets(ListName(EditName(listed))), name) << listed.toStdString();
    }
    EXPECT_EQ(BracketName("Order Date"), "[Order Date]");
    EXPECT_EQ(BracketName("Total]"), "Total]");
    EXPECT_EQ(BracketName("[x]"), "[[x]]]");
    EXPECT_EQ(BracketName("a] b"), "[a]] b]");
    EXPECT_EQ(EditName("[Order Date]"), "Order Date");
    EXPECT_EQ(EditName("[[x]]]"), "[[x]]]");
    EXPECT_EQ(ListName("[Full Name]"), "[Full Name]");
    EXPECT_EQ(ListName("Full Name"), "[Full Name]");
    EXPECT_EQ(ListName("Total]"), "Total]");
}

TEST(IsFormLoaded, FindsLoadedWindowsByNameAndNormalisesTheArgument) {
    QString name = "  frmdispstructfind ";
    EXPECT_FALSE(IsFormLoaded(name));
    EXPECT_EQ(name, "FRMDISPSTRUCTFIND");

    {
        QDialog find;
        find.setObjectName("frmDispStructFind");
        QString again = " frmDispStructfind";
        EXPECT_TRUE(IsFormLoaded(again));
        EXPECT_EQ(again, "FRMDISPSTRUCTFIND");
    }
    EXPECT_FALSE(IsFormLoaded(name));

    // A child window of the main window counts; a control of that name does not.
    QMdiArea area;
    auto* form = new QWidget;
    form->setObjectName("frmDispStruct");
    area.addSubWindow(form);
    auto* control = new QLineEdit(form);
    control->setObjectName("txtScale");
    QString designer = "frmDispStruct";
    EXPECT_TRUE(IsFormLoaded(designer));
    QString box = "txtScale";
    EXPECT_FALSE(IsFormLoaded(box));
    QString empty;
    EXPECT_FALSE(IsFormLoaded(empty));
}
