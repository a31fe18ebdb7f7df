#include "sqltools/clsFormataSQL.h"
#include "core/VarnoltError.h"
#include "sqltools/EditLineMessages.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

constexpr qint32 kBlue = 0x00FF0000;
constexpr qint32 kMagenta = 0x00FF00FF;
constexpr qint32 kGrey = qint32(0x80000011u);

// Records the edit messages sent while it lives, with the line buffer's first two bytes.
struct MessageLog {
    struct Sent {
        unsigned msg;
        qintptr wParam;
        int byte0 = -1, byte1 = -1;
    };
    MessageLog() {
        previous = SetEditMessageObserver([this](unsigned m, qintptr w, const void* l) {
            Sent s{m, w};
            if (m == EM_GETLINE && l) {
                s.byte0 = static_cast<const unsigned char*>(l)[0];
                s.byte1 = static_cast<const unsigned char*>(l)[1];
            }
            sent.push_back(s);
        });
    }
    ~MessageLog() { SetEditMessageObserver(std::move(previous)); }
    QList<unsigned> messages() const {
        QList<unsigned> out;
        for (const Sent& s : sent)
            out << s.msg;
        return out;
    }
    std::vector<Sent> sent;
    EditMessageObserver previous;
};

} // namespace

TEST(clsFormataSQL, TheTableHas357EntriesInThreeColours) {
    clsFormataSQL fmt;
    const clsFormataSQLCmdCOL& t = fmt.Comandos();
    ASSERT_EQ(t.Count(), 357);
    EXPECT_EQ(t.Item(1).Comando(), "all");
    EXPECT_EQ(t.Item(1).Tipo(), kBlue);
    EXPECT_EQ(t.Item(169).Comando(), "WRITETEXT");
    EXPECT_EQ(t.Item(169).Tipo(), kBlue);
    EXPECT_EQ(t.Item(170).Comando(), "left");
    EXPECT_EQ(t.Item(170).Tipo(), kMagenta);
    EXPECT_EQ(t.Item(203).Comando(), "@@VERSION");
    EXPECT_EQ(t.Item(327).Comando(), "Year");
    EXPECT_EQ(t.Item(327).Tipo(), kMagenta);
    EXPECT_EQ(t.Item(328).Comando(), "+");
    EXPECT_EQ(t.Item(328).Tipo(), kGrey);
    EXPECT_EQ(t.Item(357).Comando(), "cross");
    EXPECT_EQ(t.Item(357).Tipo(), kGrey);
    int blue = 0, magenta = 0, grey = 0;
    for (const auto& e : t)
        (e->Tipo() == kBlue ? blue : e->Tipo() == kMagenta ? magenta : grey)++;
    EXPECT_EQ(blue, 169);
    EXPECT_EQ(magenta, 158);
    EXPECT_EQ(grey, 30);
    EXPECT_EQ(t.Item(1).Color(), QColor(0, 0, 255));
    EXPECT_EQ(t.Item(170).Color(), QColor(255, 0, 255));
}

TEST(clsFormataSQL, FindIgnoresCaseAndReportsTheFirstOfDuplicates) {
    clsFormataSQL fmt;
    const clsFormataSQLCmdCOL& t = fmt.Comandos();
    EXPECT_EQ(t.Find("select"), 157);
    EXPECT_EQ(t.Find("SELECT"), 157);
    EXPECT_EQ(t.Find("Select"), 157);
    EXPECT_EQ(t.Find("LEFT"), 170);
    EXPECT_EQ(t.Find("Left"), 170);
    EXPECT_EQ(t.Find("transaction"), 150);
    EXPECT_EQ(t.Find("view"), 49);
    EXPECT_EQ(t.Find("rule"), 44);
    EXPECT_EQ(t.Find("alter table"), 6);
    EXPECT_EQ(t.Find("!<"), 344);
    EXPECT_EQ(t.Find("varnolt"), -1);
    EXPECT_EQ(t.Find(""), -1);
}

TEST(clsFormataSQL, FormattingLeavesTheEditorAsItIs) {
    clsFormataSQL fmt;
    QTextEdit txtQuery;
    QLineEdit temp;
    txtQuery.setHtml("<p>select <span style='color:#ff0000'>*</span> from t</p><p>go</p>");
    QTextCursor c = txtQuery.textCursor();
    c.setPosition(2);
    c.setPosition(9, QTextCursor::KeepAnchor);
    txtQuery.setTextCursor(c);
    const QString html = txtQuery.toHtml();
    fmt.FormataTudo(&txtQuery);
    fmt.FormataLinha(&txtQuery, 1, 15, &temp);
    fmt.FormataLinha(&txtQuery, -5, 100000, nullptr);
    EXPECT_EQ(txtQuery.toHtml(), html);
    EXPECT_EQ(txtQuery.textCursor().anchor(), 2);
    EXPECT_EQ(txtQuery.textCursor().position(), 9);
}

TEST(clsFormataSQL, LineOperationsOverTypedText) {
    clsFormataSQL fmt;
    QTextEdit txtQuery;
    txtQuery.show();
    QTest::keyClicks(&txtQuery, "abc");
    QTest::keyClick(&txtQuery, Qt::Key_Return);
    QTest::keyClick(&txtQuery, Qt::Key_Return);
    QTest::keyClicks(&txtQuery, "def");
    ASSERT_EQ(txtQuery.toPlainText(), "abc\n\ndef");

    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, 0), 0);
    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, 3), 0); // the line break belongs to its line
    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, 4), 1);
    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, 5), 2);
    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, 8), 2);
    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, 500), 2); // past the end: the last line
    EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, -1), 2);  // the caret's line

    EXPECT_EQ(fmt.GetCharFromLine(&txtQuery, 0), 0);
    EXPECT_EQ(fmt.GetCharFromLine(&txtQuery, 1), 4);
    EXPECT_EQ(fmt.GetCharFromLine(&txtQuery, 2), 5);
    EXPECT_EQ(fmt.GetCharFromLine(&txtQuery, 3), -1);

    EXPECT_EQ(fmt.LineLen(&txtQuery, 1), 3);
    EXPECT_EQ(fmt.LineLen(&txtQuery, 4), 0);
    EXPECT_EQ(fmt.LineLen(&txtQuery, 8), 3);
    EXPECT_EQ(fmt.LineLen(&txtQuery, 9), 0);

    EXPECT_EQ(fmt.GetLine(&txtQuery, 0), "abc");
    EXPECT_EQ(fmt.GetLine(&txtQuery, 2), "def"); // last line, no line break
    EXPECT_EQ(fmt.GetLine(&txtQuery, 7), "");    // no such line

    for (int line = 0; line < 3; ++line)
        EXPECT_EQ(fmt.GetLineFromChar(&txtQuery, fmt.GetCharFromLine(&txtQuery, line)), line);
}

TEST(clsFormataSQL, AnEmptyLineIsReadWithoutAskingForItsText) {
    clsFormataSQL fmt;
    QPlainTextEdit editor("select 1\n\nfrom t");
    MessageLog log;
    EXPECT_EQ(fmt.GetLine(&editor, 1), "");
    EXPECT_EQ(log.messages(), (QList<unsigned>{EM_LINEINDEX, EM_LINELENGTH}));
    log.sent.clear();
    EXPECT_EQ(fmt.GetLine(&editor, 2), "from t");
    EXPECT_EQ(log.messages(), (QList<unsigned>{EM_LINEINDEX, EM_LINELENGTH, EM_GETLINE}));
    EXPECT_EQ(log.sent[0].wParam, 2);
    EXPECT_EQ(log.sent[1].wParam, 10);
    EXPECT_EQ(log.sent[2].wParam, 2);
}

TEST(clsFormataSQL, TheLineBufferCarriesA16BitCount) {
    clsFormataSQL fmt;
    QPlainTextEdit editor;
    const auto countBytes = [&](int length) {
        editor.setPlainText("x\n" + QString(length, u'a') + "\ny");
        MessageLog log;
        EXPECT_EQ(fmt.GetLine(&editor, 1).size(), length);
        const auto& s = log.sent.back();
        EXPECT_EQ(s.msg, EM_GETLINE);
        return std::pair{s.byte0, s.byte1};
    };
    EXPECT_EQ(countBytes(255), std::pair(255, 0));
    EXPECT_EQ(countBytes(256), std::pair(0, 1));
    EXPECT_EQ(countBytes(65535), std::pair(255, 255));

    editor.setPlainText(QString(65536, u'b'));
    MessageLog log;
    try {
        fmt.GetLine(&editor, 0);
        ADD_FAILURE() << "no overflow";
    } catch (const VarnoltError& e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_FALSE(log.messages().contains(EM_GETLINE));
}

TEST(clsFormataSQL, LinesKeepEveryCharacter) {
    clsFormataSQL fmt;
    QTextEdit editor;
    editor.setPlainText(QString::fromUtf8("-- ação ✓ 日本\nselect 'x'"));
    EXPECT_EQ(fmt.GetLine(&editor, 0), QString::fromUtf8("-- ação ✓ 日本"));
    EXPECT_EQ(fmt.LineLen(&editor, 0), 12);
}

TEST(clsFormataSQL, LineLengthOfMinusOneCountsTheUnselectedCharactersOfTheSelectedLines) {
    QTextEdit editor;
    editor.setPlainText("abc\ndefg");
    QTextCursor c = editor.textCursor();
    c.setPosition(1);
    c.setPosition(6, QTextCursor::KeepAnchor); // "bc\nde"
    editor.setTextCursor(c);
    EXPECT_EQ(SendEditMessage(&editor, EM_LINELENGTH, -1), 1 + 2);
    EXPECT_EQ(SendEditMessage(&editor, EM_LINEFROMCHAR, -1), 0); // the selection's start
}

TEST(clsFormataSQL, AWidgetThatIsNoEditorAnswersNothing) {
    clsFormataSQL fmt;
    QLineEdit box("abc");
    EXPECT_EQ(fmt.GetLineFromChar(&box, 1), 0);
    EXPECT_EQ(fmt.LineLen(&box, 0), 0);
    EXPECT_EQ(fmt.GetLine(&box, 0), "");
    EXPECT_EQ(fmt.GetLine(nullptr, 0), "");
}
